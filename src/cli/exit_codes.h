#pragma once

// The command line's exit codes, which scripts rely on.
enum ExitCode : int {
    kExitSuccess = 0,     // merged (or previewed, listed, restored)
    kExitNothingToDo = 1, // no add-on airport to merge, or one named that is not listed
    kExitInputError = 2,  // a bad argument, or a file that cannot be read: nothing was changed
    kExitWriteError = 3,  // a file that cannot be written: nothing was changed
    kExitBusy = 4,        // another merge or restore held the database: nothing was changed
};
