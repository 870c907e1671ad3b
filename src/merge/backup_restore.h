#pragma once

#include "merge/database_lock.h"

#include <chrono>
#include <string>
#include <string_view>

// The backup of a database, beside it, and putting it back in place of the database.

// The backup of a database, which a merge writes before it changes the database.
inline std::string backupPathOf(std::string_view databasePath) {
    return std::string(databasePath) + ".bak";
}

enum class RestoreEnd {
    Restored,
    InputError, // no backup, or one that is not a navaid database: nothing was changed
    WriteError, // the backup could not be put in place: earth_nav.dat is as it was
    Busy,       // another merge or restore held the database: nothing was changed
};

struct RestoreResult {
    RestoreEnd end;
    std::string message; // one line that says what happened
};

// Checks that earthNavPath + ".bak" exists and looks like a navaid database, and that
// earth_nav.dat is not marked read-only; keeps the current earth_nav.dat as
// earth_nav.dat.before-restore until the swap has ended, and puts a copy of the backup in its
// place in one atomic step. The backup stays; a restore that fails leaves nothing behind.
// Holds the database's lock meanwhile, waiting up to lockWait for another to finish.
RestoreResult restoreBackup(const std::string& earthNavPath,
                            std::chrono::milliseconds lockWait = kLockWait);
