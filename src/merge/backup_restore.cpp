#include "merge/backup_restore.h"

#include "base/file_ops.h"
#include "base/folder_listing.h"
#include "base/text_file.h"

#include <cstdio>
#include <optional>

namespace {
// What keeps a text from being a navaid database, or none: the file frame of every version
// puts a version line ("810 Version ...") second.
std::optional<std::string> databaseProblem(const std::string& text) {
    if (text.empty())
        return "it is empty";
    if (text.find('\0') != std::string::npos)
        return "it holds NUL bytes";
    const std::size_t firstEnd = text.find('\n');
    if (firstEnd == std::string::npos)
        return "no version line";
    std::size_t at = firstEnd + 1;
    const std::size_t digits = at;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9')
        ++at;
    if (at == digits || text.compare(at, 8, " Version") != 0)
        return "no version line";
    return std::nullopt;
}
} // namespace

RestoreResult restoreBackup(const std::string& earthNavPath) {
    const std::string backupPath = earthNavPath + ".bak";
    const std::string keptPath = earthNavPath + ".before-restore";
    const std::string newPath = earthNavPath + ".new";

    std::string text;
    if (!readTextFile(backupPath, text)) {
        if (!pathExists(backupPath))
            return RestoreResult{RestoreEnd::InputError, "There is no backup " + backupPath +
                                                             " to restore; nothing was changed."};
        return RestoreResult{RestoreEnd::InputError,
                             "I can't read " + backupPath + "; nothing was changed."};
    }
    if (const std::optional<std::string> problem = databaseProblem(text))
        return RestoreResult{RestoreEnd::InputError, backupPath + " is not a navaid database (" +
                                                         *problem + "); nothing was changed."};

    const bool hadDatabase = pathExists(earthNavPath);
    if (hadDatabase && !copyFile(earthNavPath, keptPath))
        return RestoreResult{RestoreEnd::WriteError, "I can't keep " + earthNavPath + " as " +
                                                         keptPath + "; nothing was changed."};
    const bool copied = copyFile(backupPath, newPath);
    if (!copied || !replaceFile(newPath, earthNavPath)) {
        // Only what the copy wrote goes; a folder in the copy's place stays.
        if (!isFolder(newPath))
            std::remove(newPath.c_str());
        return RestoreResult{RestoreEnd::WriteError, "I can't put " + backupPath +
                                                         " back in place of " + earthNavPath +
                                                         "; it was not changed."};
    }
    if (hadDatabase)
        std::remove(keptPath.c_str());
    return {RestoreEnd::Restored, "Restored " + earthNavPath + " from " + backupPath + "."};
}
