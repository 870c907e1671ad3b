#pragma once

#include "merge/merge_options.h"
#include "scenery/custom_airports.h"

#include <windows.h>

#include <string>
#include <vector>

// The modal progress dialog of a merge. When it is first shown it starts one detached
// worker thread, which runs the merge and ends the dialog; the user cannot end it. The dialog
// shows the merge's progress every few hundredths of a second, and at once when the worker
// asks (kShowProgressNow).

// What a merge merges: the airports marked selected go into the database.
struct MergeJobInput {
    std::string databasePath;
    std::vector<CustomAirport> airports;
    MergeOptions options;
};

// Runs the merge of input behind the dialog, owned by owner; returns when the merge has ended
// and the dialog has closed. caption: that of the message boxes that tell how the run ended.
void runMergeDialog(HINSTANCE instance, HWND owner, const char* caption,
                    const MergeJobInput& input);
