#pragma once

#include "screenshots.h"

// A merge from the main window with the airports that are selected: saves the progress
// dialog during the run and the first conflict prompt ("progress-dialog",
// "conflict-prompt"), answers every prompt, saves the list of the add-on rows left out if
// there is one ("rows-left-out") and "Process is complete!" ("process-complete"). True when
// all were saved.
bool shootMergeRun(const ScreenshotSession& session);

// A preview of a merge of the airports that are selected: skips every conflict prompt and
// saves the preview ("merge-preview"). True when it was saved.
bool shootPreview(const ScreenshotSession& session);
