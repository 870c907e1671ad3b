#pragma once

#include "merge/merge_job.h"

#include <windows.h>

// The modal progress dialog of a merge. When it is first shown it starts one detached
// worker thread, which runs the merge and ends the dialog; the user cannot end it. The dialog
// shows the merge's progress every few hundredths of a second, and at once when the worker
// asks (kShowProgressNow).

// Runs the merge behind the dialog, owned by owner; returns when the merge has ended
// and the dialog has closed. caption: that of the message boxes that tell how the run ended.
void runMergeDialog(HINSTANCE instance, HWND owner, const char* caption,
                    const MergeRequest& request);
