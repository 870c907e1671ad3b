#include "merge/merge_job.h"

#include "base/atomic_file_writer.h"
#include "base/file_ops.h"
#include "base/path.h"
#include "base/text.h"
#include "base/text_file.h"
#include "merge/add_on_rows.h"
#include "merge/airport_lookup.h"
#include "merge/backup_restore.h"
#include "merge/database_text.h"
#include "merge/merge_decisions.h"
#include "merge/merged_text.h"
#include "merge/stage_progress.h"

#include <deque>
#include <future>
#include <optional>

namespace {

void showError(const MergeScreen& screen, const std::string& text) {
    screen.errors.showError(text, kErrorCaption);
}

// A message about a file, followed on its own line by the file and why it failed.
void showFileError(const MergeScreen& screen, const std::string& text, const FileError& error) {
    showError(screen, text + "\n" + describe(error));
}

// The database's bytes as they are on disk, when there are not too many for a database.
FileResult readDatabaseBytes(const std::string& path, std::string& bytes) {
    static_assert(kLargestDatabaseBytes <= DatabaseText::kLargestText);
    return readFileBytes(path, bytes, kLargestDatabaseBytes);
}

// The database or its backup when one is marked read-only: such a file asks to be kept, and
// then neither file is touched.
std::optional<std::string> readOnlyFileOf(const std::string& databasePath) {
    const std::string backupPath = backupPathOf(databasePath);
    if (isReadOnlyFile(databasePath))
        return databasePath;
    if (isReadOnlyFile(backupPath))
        return backupPath;
    return std::nullopt;
}

// The backup's stage: puts the copy written meanwhile in the backup's place, unless a file is
// read-only. The previous backup is kept aside until the new database is in place.
bool backUp(const std::string& databasePath, const std::optional<std::string>& readOnly,
            std::future<PendingCopy>& copying, FileKeptAside& previousBackup,
            const MergeScreen& screen, MergeStatus& status) {
    StageProgress progress(screen.progress, 1);
    status.show("Writing .bak for ", databasePath);
    if (readOnly) {
        progress.finish();
        showError(screen, *readOnly + " is read-only, so I can't replace it; nothing was changed.");
        return false;
    }
    PendingCopy copy = copying.get();
    FileResult copied = previousBackup.keep(backupPathOf(databasePath));
    if (copied)
        copied = copy.commit();
    progress.finish();
    if (!copied) {
        static_cast<void>(previousBackup.putBack());
        showFileError(screen, "I can't write \".bak\" file!", copied.error());
    }
    return static_cast<bool>(copied);
}

// The database's own stage on the bar, which counts its characters.
void showDatabaseLoaded(const DatabaseText& database, const std::string& path,
                        const MergeScreen& screen, MergeStatus& status) {
    StageProgress progress(screen.progress, database.text().size());
    status.show("Loading strings from ", path);
    const char* const start = database.text().data();
    forEachLine(database.text(), [&](std::string_view line) {
        progress.advanceTo(static_cast<std::size_t>(line.data() + line.size() - start));
    });
    progress.finish();
}

// Writes the new database beside the old one and swaps it in, so the database is never
// half-written.
bool writeDatabase(const std::string& path, const std::optional<FileStamp>& stampRead,
                   const DatabaseText& database, const MergeDecisions& decisions,
                   const AddOnRows& addOns, const MergeScreen& screen) {
    AtomicFileWriter file(path, database.format() == NavFormat::V810
                                    ? AtomicFileWriter::LineFeeds::ToCrLf
                                    : AtomicFileWriter::LineFeeds::AsGiven);
    writeMergedText(database, decisions.kept, addOns.records(),
                    [&file](std::string_view text) { file.write(text); });
    // Another program (a navdata update, an editor) may have written the database meanwhile:
    // its changes are not overwritten.
    FileResult written = file.finishWriting();
    if (written && fileStampOf(path) != stampRead) {
        showError(screen, path + " was changed by another program during the merge; nothing was "
                                 "changed.");
        return false;
    }
    if (written)
        written = file.commit();
    if (!written)
        showFileError(screen, "I can't write \"To\" file!", written.error());
    return static_cast<bool>(written);
}

MergeReport reportOf(const MergeRequest& request, const DatabaseText& database,
                     const MergeDecisions& decisions, const AddOnRows& addOns) {
    MergeReport report;
    report.databasePath = request.databasePath;
    report.options = request.options;
    report.databaseNavaids = database.rowCount();
    for (const Drop& drop : decisions.drops) {
        const NavaidRecord& addOn = addOns.records()[drop.addOnRow];
        report.dropped.push_back({std::string(withoutLineEnd(database.rowLine(drop.databaseRow))),
                                  drop.reason, drop.decidedBy,
                                  std::string(withoutLineEnd(addOn.line)),
                                  std::string(addOn.sourcePath)});
    }
    for (const NavaidRecord& addOn : addOns.records())
        report.added.push_back(
            {std::string(withoutLineEnd(addOn.line)), std::string(addOn.sourcePath)});
    report.leftOut = addOns.leftOut();
    return report;
}

} // namespace

MergeOutcome runMerge(const MergeRequest& request, const MergeScreen& screen) {
    MergeStatus status(screen.status);
    MergeOutcome outcome;
    const std::string& databasePath = request.databasePath;
    // A database linked in from elsewhere is merged into the file the link names: the new file
    // is swapped in beside that one, and the link stays.
    const std::string fileWritten = fileBehind(databasePath);
    const bool writes = request.purpose == JobPurpose::Merge;
    // One writer at a time: held until the new database is in place. Where no lock file can be
    // made, nothing can be written either, which the backup's stage then tells.
    FileLock lock;
    if (writes && lockDatabase(lock, fileWritten, request.lockWait, [&] {
                      status.show("Waiting for another merge or restore to finish with ",
                                  databasePath);
                  }) == FileLock::Outcome::Busy) {
        showError(screen, busyMessage(databasePath));
        outcome.end = MergeEnd::Busy;
        return outcome;
    }
    // The database is read on a second thread while the add-on files load, and its backup
    // written on one while the add-on rows are taken: the screen sees every step in its order.
    std::string bytes;
    const std::optional<FileStamp> stampRead = fileStampOf(fileWritten);
    const FileResult read = readDatabaseBytes(databasePath, bytes);
    std::future<Result<DatabaseText>> reading;
    if (read) {
        reading = std::async(std::launch::async, [&bytes, &databasePath] {
            return DatabaseText::read(std::move(bytes), fileName(databasePath));
        });
    }
    std::deque<AddOnFile> files = loadAddOnFiles(request.airports, screen, status);
    if (!read) {
        showFileError(screen, "I can't open \"To\" file!", read.error());
        return outcome;
    }
    const Result<DatabaseText> database = reading.get();
    if (!database) {
        showError(screen, database.reason());
        return outcome;
    }

    if (writes && nameCountOf(fileWritten) > 1) {
        showError(screen, databasePath +
                              " has other names (hard links), which a merge would leave with the "
                              "old database; nothing was changed.");
        return outcome;
    }
    const std::optional<std::string> readOnly =
        writes ? readOnlyFileOf(databasePath) : std::nullopt;
    std::future<PendingCopy> copying;
    if (writes && !readOnly) {
        copying = std::async(std::launch::async, [&databasePath] {
            return writeCopy(databasePath, backupPathOf(databasePath));
        });
    }
    AirportLookup airports(request.airportDataPaths, screen, status);
    AddOnRows addOns(*database, airports);
    addOns.take(files);
    FileKeptAside previousBackup;
    if (writes && !backUp(databasePath, readOnly, copying, previousBackup, screen, status)) {
        outcome.end = MergeEnd::WriteError;
        return outcome;
    }
    showDatabaseLoaded(*database, databasePath, screen, status);

    const MergeDecisions decisions =
        decideDrops(*database, addOns, request.options, screen, status);
    if (decisions.stopped) {
        outcome.end = MergeEnd::Stopped;
        return outcome;
    }
    // 810 add-on rows are written upper-cased: so are the files' texts that they view.
    if (database->format() == NavFormat::V810) {
        for (AddOnFile& file : files)
            makeUpperAscii(file.text);
    }
    outcome.report = reportOf(request, *database, decisions, addOns);
    if (!writes) {
        outcome.databaseText = database->text();
        outcome.mergedText = mergedText(*database, decisions.kept, addOns.records());
        outcome.end = MergeEnd::Previewed;
        return outcome;
    }
    if (!writeDatabase(fileWritten, stampRead, *database, decisions, addOns, screen)) {
        // Nothing changed: the previous backup goes back in its place.
        static_cast<void>(previousBackup.putBack());
        outcome.end = MergeEnd::WriteError;
        return outcome;
    }
    outcome.end = MergeEnd::Written;
    return outcome;
}
