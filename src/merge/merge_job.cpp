#include "merge/merge_job.h"

#include "base/atomic_file_writer.h"
#include "base/file_ops.h"
#include "base/path.h"
#include "base/text.h"
#include "base/text_file.h"
#include "merge/add_on_rows.h"
#include "merge/backup_restore.h"
#include "merge/database_text.h"
#include "merge/merge_decisions.h"
#include "merge/merged_text.h"
#include "merge/stage_progress.h"

#include <deque>
#include <optional>

namespace {

void showError(const MergeScreen& screen, const std::string& text) {
    screen.errors.showError(text, kErrorCaption);
}

// A message about a file, followed on its own line by the file and why it failed.
void showFileError(const MergeScreen& screen, const std::string& text, const FileError& error) {
    showError(screen, text + "\n" + describe(error));
}

// The database as it is on disk, when it is one to merge into; else none, after saying why.
std::optional<DatabaseText> readDatabase(const std::string& path, const MergeScreen& screen) {
    std::string bytes;
    FileResult read = readFileBytes(path, bytes);
    if (read && static_cast<std::uint64_t>(bytes.size()) > DatabaseText::kLargestText)
        read = FileError{path, "it is larger than 4 GB, too large for a navaid database"};
    if (!read) {
        showFileError(screen, "I can't open \"To\" file!", read.error());
        return std::nullopt;
    }
    Result<DatabaseText> database = DatabaseText::read(std::move(bytes), fileName(path));
    if (!database) {
        showError(screen, database.reason());
        return std::nullopt;
    }
    return std::move(*database);
}

// Copies the database to its backup. A file marked read-only asks to be kept: then neither
// file is touched.
bool backUp(const std::string& databasePath, const MergeScreen& screen, MergeStatus& status) {
    StageProgress progress(screen.progress, 1);
    status.show("Writing .bak for ", databasePath);
    const std::string backupPath = backupPathOf(databasePath);
    const std::string* readOnly = isReadOnlyFile(databasePath) ? &databasePath
                                  : isReadOnlyFile(backupPath) ? &backupPath
                                                               : nullptr;
    if (readOnly != nullptr) {
        progress.finish();
        showError(screen, *readOnly + " is read-only, so I can't replace it; nothing was changed.");
        return false;
    }
    const FileResult copied = copyFile(databasePath, backupPath);
    progress.finish();
    if (!copied)
        showFileError(screen, "I can't write \".bak\" file!", copied.error());
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
bool writeDatabase(const std::string& path, const DatabaseText& database,
                   const MergeDecisions& decisions, const AddOnRows& addOns,
                   const MergeScreen& screen) {
    AtomicFileWriter file(path, database.format() == NavFormat::V810
                                    ? AtomicFileWriter::LineFeeds::ToCrLf
                                    : AtomicFileWriter::LineFeeds::AsGiven);
    writeMergedText(database, decisions.kept, addOns.records(),
                    [&file](std::string_view text) { file.write(text); });
    const FileResult written = file.commit();
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
    std::deque<AddOnFile> files = loadAddOnFiles(request.airports, screen, status);
    const std::optional<DatabaseText> database = readDatabase(request.databasePath, screen);
    if (!database)
        return outcome;
    const bool writes = request.purpose == JobPurpose::Merge;
    if (writes && !backUp(request.databasePath, screen, status)) {
        outcome.end = MergeEnd::WriteError;
        return outcome;
    }
    showDatabaseLoaded(*database, request.databasePath, screen, status);

    AddOnRows addOns(*database);
    for (const AddOnFile& file : files)
        addOns.take(file);
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
    outcome.end = writeDatabase(request.databasePath, *database, decisions, addOns, screen)
                      ? MergeEnd::Written
                      : MergeEnd::WriteError;
    return outcome;
}
