#pragma once

#include "screenshots.h"

// A merge from the main window with the airports that are selected: saves the progress
// dialog during the run and the first conflict prompt ("progress-dialog",
// "conflict-prompt"), answers every prompt, and saves "Process is complete!"
// ("process-complete"). True when all three were saved.
bool shootMergeRun(const ScreenshotSession& session);
