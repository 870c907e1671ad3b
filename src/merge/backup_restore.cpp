#include "merge/backup_restore.h"

#include "base/file_ops.h"
#include "base/folder_listing.h"
#include "base/text_file.h"
#include "merge/database_check.h"
#include "scenery/nav_format.h"

#include <cstdio>

RestoreResult restoreBackup(const std::string& earthNavPath, std::chrono::milliseconds lockWait) {
    FileLock lock;
    if (lockDatabase(lock, earthNavPath, lockWait, {}) == FileLock::Outcome::Busy)
        return RestoreResult{RestoreEnd::Busy, busyMessage(earthNavPath)};
    const std::string backupPath = backupPathOf(earthNavPath);
    const std::string keptPath = earthNavPath + ".before-restore";

    std::string text;
    if (const FileResult read = readTextFile(backupPath, text, kLargestDatabaseBytes); !read) {
        if (!pathExists(backupPath))
            return RestoreResult{RestoreEnd::InputError, "There is no backup " + backupPath +
                                                             " to restore; nothing was changed."};
        return RestoreResult{RestoreEnd::InputError,
                             "I can't read " + describe(read.error()) + "; nothing was changed."};
    }
    // A database of another format is a database all the same.
    const DatabaseCheck check = checkDatabase(text);
    if (check.verdict != DatabaseVerdict::Mergeable &&
        check.verdict != DatabaseVerdict::OtherVersion)
        return RestoreResult{RestoreEnd::InputError, refusalMessage(check, backupPath)};

    // A database marked read-only asks to be kept, as it does for a merge.
    if (isReadOnlyFile(earthNavPath))
        return RestoreResult{RestoreEnd::WriteError,
                             earthNavPath + " is read-only, so I can't replace it; nothing was "
                                            "changed."};
    const bool hadDatabase = pathExists(earthNavPath);
    if (hadDatabase) {
        if (const FileResult kept = copyFile(earthNavPath, keptPath); !kept)
            return RestoreResult{RestoreEnd::WriteError,
                                 "I can't keep " + earthNavPath + " as " + keptPath + " (" +
                                     describe(kept.error()) + "); nothing was changed."};
    }
    // The copy is written beside the database and swapped in whole; the database's own copy
    // goes either way, so that a restore leaves nothing behind.
    const FileResult restored = copyFile(backupPath, earthNavPath);
    if (hadDatabase)
        std::remove(keptPath.c_str());
    if (!restored)
        return RestoreResult{RestoreEnd::WriteError,
                             "I can't put " + backupPath + " back in place of " + earthNavPath +
                                 " (" + describe(restored.error()) + "); it was not changed."};
    return {RestoreEnd::Restored, "Restored " + earthNavPath + " from " + backupPath + "."};
}
