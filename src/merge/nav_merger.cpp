#include "merge/nav_merger.h"

#include "merge/backup_restore.h"
#include "merge/candidate_index.h"
#include "merge/database_check.h"
#include "merge/row_conversion.h"
#include "merge/stage_progress.h"
#include "base/atomic_file_writer.h"
#include "base/file_ops.h"
#include "base/path.h"
#include "base/text.h"
#include "base/text_file.h"

#include <algorithm>
#include <utility>

namespace {
constexpr const char* kErrorCaption = "Error!";

// Texts of the database are found by 32-bit positions.
constexpr std::uint64_t kLargestDatabase = 0xFFFFFFFFu;

bool isBlankLine(std::string_view line) {
    return std::all_of(line.begin(), line.end(), isBlank);
}

// A text as the user is shown it: a CR LF line end at its end as a line feed.
void showLineEndAsLineFeed(std::string& text) {
    if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0)
        text.erase(text.size() - 2, 1);
}

std::string shown(std::string_view line) {
    std::string text(line);
    showLineEndAsLineFeed(text);
    return text;
}
} // namespace

NavMerger::NavMerger(const MergeScreen& screen, std::string databasePath,
                     const std::vector<CustomAirport>& airports, const MergeOptions& options,
                     JobPurpose purpose)
    : screen_(screen), earthNavPath_(std::move(databasePath)), options_(options),
      purpose_(purpose) {
    loadCustomFiles(airports);

    // The database is read as it is on disk: a format of 1100 or later is written back byte
    // for byte.
    if (!readFileBytes(earthNavPath_, baseText_) ||
        static_cast<std::uint64_t>(baseText_.size()) > kLargestDatabase) {
        showError("I can't open \"To\" file!");
        return;
    }
    // A file the merge cannot read, of an unknown format, or whose rows are not of its
    // format, is not touched at all.
    const DatabaseCheck check = checkDatabase(baseText_);
    if (check.verdict != DatabaseVerdict::Mergeable) {
        showError(refusalMessage(check, fileName(earthNavPath_)));
        return;
    }
    if (!readBaseLines())
        return;
    if (purpose_ == JobPurpose::Merge && !backUp()) {
        notReady_ = MergeEnd::WriteError;
        return;
    }
    showLoadingProgress();
    takeCustomRows();
    baseReady_ = true;
}

void NavMerger::loadCustomFiles(const std::vector<CustomAirport>& airports) {
    LineSet takenLines;
    for (const CustomAirport& airport : airports) {
        if (!airport.selected)
            continue;
        CustomFile& file = customFiles_.emplace_back();
        if (!readTextFile(airport.navDatPath, file.text)) {
            customFiles_.pop_back();
            showError("I can't open \"From\" file!");
            continue;
        }
        file.path = airport.navDatPath;
        loadCustomRecords(file, takenLines);
    }
}

NavMerger::~NavMerger() = default;

bool NavMerger::backUp() {
    StageProgress progress(screen_.progress, 1);
    showStatus("Writing .bak for ", earthNavPath_);
    const std::string backupPath = backupPathOf(earthNavPath_);
    // A file marked read-only asks to be kept: then neither file is touched.
    const std::string* readOnly = isReadOnlyFile(earthNavPath_) ? &earthNavPath_
                                  : isReadOnlyFile(backupPath)  ? &backupPath
                                                                : nullptr;
    const bool copied = readOnly == nullptr && copyFile(earthNavPath_, backupPath);
    progress.finish();
    if (readOnly != nullptr)
        showError(*readOnly + " is read-only, so I can't replace it; nothing was changed.");
    else if (!copied)
        showError("I can't write \".bak\" file!");
    return copied;
}

void NavMerger::loadCustomRecords(CustomFile& file, LineSet& takenLines) {
    // The bar counts the characters read.
    StageProgress progress(screen_.progress, file.text.size());
    showStatus("Loading strings from ", file.path);
    file.version = declaredVersion(file.text);
    const char* const start = file.text.data();
    forEachLine(file.text, [&](std::string_view line) {
        const std::optional<int> code = rowCode(line);
        if (code && *code > 1 && *code <= 16 &&
            (!isNavaidRowCode(*code) || takenLines.insert(withoutLineEnd(line)).second))
            file.rows.push_back(line);
        progress.advanceTo(static_cast<std::size_t>(line.data() + line.size() - start));
    });
    progress.finish();
}

bool NavMerger::readBaseLines() {
    const std::optional<int> version = declaredVersion(baseText_);
    format_ = version ? navFormatOf(*version).value_or(NavFormat::V810) : NavFormat::V810;
    if (format_ == NavFormat::V810) {
        normalizeLineEnds(baseText_);
    } else {
        const std::size_t firstEnd = baseText_.find('\n');
        if (firstEnd != std::string::npos && firstEnd > 0 && baseText_[firstEnd - 1] == '\r')
            lineEnd_ = "\r\n";
    }

    // Room for one record per line, so the records are never moved while reading.
    std::size_t lines = 1;
    forEachLine(baseText_, [&lines](std::string_view) { ++lines; });
    baseRecords_.reserve(lines);
    std::size_t number = 0, mismatch = 0;
    std::string_view mismatchLine;
    std::vector<TextSpan> headerRows;
    finalEndRow_ = std::string::npos;
    forEachLine(baseText_, [&](std::string_view line) {
        const std::optional<int> code = rowCode(line);
        ++number;
        if (code && isNavaidRowCode(*code)) {
            const NavaidRecord record = parseNavaidRow(line, format_);
            if (mismatch == 0 && !hasColumnsOf(format_, record)) {
                mismatch = number;
                mismatchLine = line;
            }
            baseRecords_.push_back(pack(record));
        } else if (format_ != NavFormat::V810) {
            if (number == 2)
                headerLine_ = std::string(line);
            if (code == 99)
                finalEndRow_ = otherLines_.size();
            otherLines_.push_back(span(line));
        } else if (code == kHeaderRowCode) {
            headerRows.push_back(span(line));
        } else if (!(code == 99 || isBlankLine(line) || (number == 1 && isMarkerLine(line)))) {
            otherLines_.push_back(span(line));
        }
    });
    if (!headerRows.empty()) {
        // The last header row is the frame's; earlier ones stay where they are.
        const TextSpan last = headerRows.back();
        headerLine_ = std::string(baseText_.substr(last.offset, last.length));
        headerRows.pop_back();
        otherLines_.insert(otherLines_.end(), headerRows.begin(), headerRows.end());
        std::sort(otherLines_.begin(), otherLines_.end(),
                  [](TextSpan a, TextSpan b) { return a.offset < b.offset; });
    }
    if (mismatch == 0)
        return true;
    showError(std::string(fileName(earthNavPath_)) + " line " + std::to_string(mismatch) +
              " does not have the columns of format " + std::to_string(versionOf(format_)) +
              ", which its version line declares: " + std::string(withoutLineEnd(mismatchLine)) +
              "; nothing was changed.");
    return false;
}

void NavMerger::showLoadingProgress() {
    // The bar counts the characters read.
    StageProgress progress(screen_.progress, baseText_.size());
    showStatus("Loading strings from ", earthNavPath_);
    const char* const start = baseText_.data();
    forEachLine(baseText_, [&](std::string_view line) {
        progress.advanceTo(static_cast<std::size_t>(line.data() + line.size() - start));
    });
    progress.finish();
}

void NavMerger::takeCustomRows() {
    for (const CustomFile& file : customFiles_)
        takeRowsOf(file);
}

void NavMerger::takeRowsOf(const CustomFile& file) {
    const std::optional<NavFormat> fileFormat =
        file.version ? navFormatOf(*file.version) : std::nullopt;
    const NavFormat rowFormat = fileFormat.value_or(NavFormat::V810);
    const std::string database = std::to_string(versionOf(format_));
    std::string refusal; // why none of the file's rows go in
    if (format_ == NavFormat::V810) {
        // As X-Plane 8 to 10 know it: the header of an add-on does not count, unless it
        // declares a newer format.
        if (file.version && *file.version > versionOf(NavFormat::V810))
            refusal = "their file's format " + std::to_string(*file.version) +
                      " is newer than the database's format " + database;
    } else if (!file.version) {
        refusal = "their file has no version line, so their format is not known";
    } else if (!fileFormat) {
        refusal = "their file's version " + std::to_string(*file.version) +
                  " is not one that Quillet knows";
    } else if (rowFormat > format_) {
        refusal = "their file's format " + std::to_string(*file.version) +
                  " is newer than the database's format " + database;
    }

    std::vector<NavaidRecord> fileRows;
    for (std::string_view line : file.rows) {
        const std::optional<int> code = rowCode(line);
        if (isNavaidRowCode(*code))
            fileRows.push_back(parseNavaidRow(line, rowFormat));
        else if (refusal.empty() && format_ != NavFormat::V810)
            leaveOut(file, line, "Quillet does not merge rows of code " + std::to_string(*code));
    }
    for (const NavaidRecord& row : fileRows) {
        NavaidRecord record = row;
        if (!refusal.empty()) {
            leaveOut(file, record.line, refusal, true);
            continue;
        }
        if (RowConverter::needsConversion(format_, rowFormat, record.type)) {
            if (!converter_)
                converter_ = std::make_unique<RowConverter>(
                    format_, baseRecords_.size(),
                    [this](std::size_t i) { return unpack(baseRecords_[i]); });
            const RowConverter::Result converted = converter_->convert(rowFormat, record, fileRows);
            if (converted.row.empty()) {
                leaveOut(file, record.line, converted.reason);
                continue;
            }
            record = parseNavaidRow(convertedRows_.emplace_back(converted.row), format_);
        } else if (format_ != NavFormat::V810 && !hasColumnsOf(rowFormat, record)) {
            leaveOut(file, record.line,
                     "it does not have the columns of its file's format " +
                         std::to_string(versionOf(rowFormat)));
            continue;
        }
        record.sourcePath = std::string_view(file.path);
        customRecords_.push_back(record);
        customCells_.push_back(coordinateCell(record.line));
    }
}

void NavMerger::leaveOut(const CustomFile& file, std::string_view row, std::string reason,
                         bool wholeFile) {
    leftOut_.push_back({file.path, std::string(withoutLineEnd(row)), std::move(reason), wholeFile});
}

NavMerger::TextSpan NavMerger::span(std::string_view text) const {
    if (text.empty())
        return TextSpan{};
    return TextSpan{static_cast<std::uint32_t>(text.data() - baseText_.data()),
                    static_cast<std::uint32_t>(text.size())};
}

NavMerger::PackedRecord NavMerger::pack(const NavaidRecord& record) const {
    return {record.type,         span(record.line), span(record.callsign), span(record.terminal),
            span(record.region), span(record.name), span(record.rwyName)};
}

NavaidRecord NavMerger::unpack(const PackedRecord& record) const {
    const auto text = [this](TextSpan span) {
        return std::string_view(baseText_).substr(span.offset, span.length);
    };
    NavaidRecord unpacked;
    unpacked.type = record.type;
    unpacked.line = text(record.line);
    unpacked.callsign = text(record.callsign);
    unpacked.terminal = text(record.terminal);
    unpacked.region = text(record.region);
    unpacked.name = text(record.name);
    unpacked.rwyName = text(record.rwyName);
    return unpacked;
}

std::vector<NavaidRecord> NavMerger::baseRecords() const {
    std::vector<NavaidRecord> records;
    for (const PackedRecord& record : baseRecords_)
        records.push_back(unpack(record));
    return records;
}

void NavMerger::showStatus(std::string_view prefix, std::string_view text) {
    statusText_.assign(prefix);
    statusText_ += text;
    showLineEndAsLineFeed(statusText_);
    statusText_ += '\n';
    screen_.status.setText(statusText_);
}

void NavMerger::showError(const std::string& text) {
    screen_.errors.showError(text, kErrorCaption);
}

Answer NavMerger::showConflictPrompt(std::string_view sourcePath, std::string_view baseLine,
                                     std::string_view customLine) {
    return screen_.question.ask(std::string(sourcePath), shown(baseLine), shown(customLine));
}

int NavMerger::isNear(std::string_view baseLine, std::string_view customLine) const {
    if (!options_.distanceRestriction)
        return 1;
    return sameCell(coordinateCell(baseLine), coordinateCell(customLine)) ? 1 : 0;
}

std::optional<NavMerger::Drop> NavMerger::dropOf(const NavaidRecord& base,
                                                 const CandidateIndex& index) {
    // Only the candidates can be duplicates of base or conflict with it; they are taken in
    // load order, as a search through every custom record would meet them. A duplicate
    // shares both keys, a NAME conflict the NAME key, a CALLSIGN conflict the callsign key:
    // a kind of conflict whose setting keeps the line needs no look at its key's records.
    const ConflictAction onNameConflict = options_.sameName;
    const ConflictAction onCallsignConflict = options_.sameCallsign;
    const bool bySameCallsign = onCallsignConflict != ConflictAction::Skip;
    const bool bySameName = onNameConflict != ConflictAction::Skip || !bySameCallsign;
    index.find(base, bySameCallsign, bySameName, candidates_);
    for (const std::uint32_t i : candidates_) {
        const NavaidRecord& custom = customRecords_[i];
        if (custom.type != base.type)
            continue;
        std::optional<DropReason> reason;
        switch (relationOf(format_, base, custom)) {
        case Relation::Duplicate:
            reason = DropReason::Duplicate;
            break;
        case Relation::NameConflict:
            reason = DropReason::NameConflict;
            break;
        case Relation::CallsignConflict:
            reason = DropReason::CallsignConflict;
            break;
        case Relation::None:
            break;
        }
        if (!reason)
            continue;
        Drop drop;
        drop.custom = i;
        drop.reason = *reason;
        if (*reason == DropReason::Duplicate)
            return drop;
        const ConflictAction action =
            *reason == DropReason::NameConflict ? onNameConflict : onCallsignConflict;
        // Only Replace drops the line: Skip, or a question that could not be shown, keeps
        // it and goes on with the next custom line.
        if (action == ConflictAction::Replace) {
            drop.decidedBy = DecidedBy::Setting;
            return drop;
        }
        if (action != ConflictAction::Ask)
            continue;
        const Answer answer = showConflictPrompt(custom.sourcePath, base.line, custom.line);
        if (answer == Answer::Stop) {
            stopped_ = true;
            return std::nullopt;
        }
        if (answer == Answer::Replace) {
            drop.decidedBy = DecidedBy::Answer;
            return drop;
        }
    }
    return std::nullopt;
}

void NavMerger::decide() {
    const CandidateIndex index(format_, customRecords_,
                               options_.distanceRestriction ? &customCells_ : nullptr);
    kept_.assign(baseRecords_.size(), true);
    drops_.clear();
    StageProgress progress(screen_.progress, baseRecords_.size());
    showStatus("Proccesing: ", "");
    for (std::size_t i = 0; i < baseRecords_.size(); ++i) {
        const NavaidRecord base = unpack(baseRecords_[i]);
        showStatus("Proccesing: ", base.line);
        if (std::optional<Drop> drop = dropOf(base, index)) {
            drop->base = i;
            drops_.push_back(*drop);
            kept_[i] = false;
        }
        if (stopped_)
            return;
        progress.advanceTo(i + 1);
    }
    progress.finish();
    // 810 add-on rows are written upper-cased: upper-case their files in place.
    if (format_ == NavFormat::V810) {
        for (CustomFile& file : customFiles_)
            makeUpperAscii(file.text);
    }
}

MergeEnd NavMerger::merge() {
    if (!baseReady_)
        return notReady_;
    decide();
    if (stopped_)
        return MergeEnd::Stopped;
    if (purpose_ == JobPurpose::Preview)
        return MergeEnd::Previewed;
    return writeDatabase();
}

template <typename Write> void NavMerger::writeLines(Write&& write) const {
    const auto writeCustomRows = [&] {
        for (const NavaidRecord& custom : customRecords_) {
            if (format_ == NavFormat::V810) {
                write(custom.line);
                write("\n");
            } else {
                write(withoutLineEnd(custom.line));
                write(lineEnd_);
            }
        }
    };
    if (format_ == NavFormat::V810) {
        write("I\n");
        write(headerLine_);
        write("\n");
    }
    // The database's lines in file order: its kept records and its other lines.
    std::size_t record = 0, other = 0;
    while (record < baseRecords_.size() || other < otherLines_.size()) {
        const bool recordFirst = other == otherLines_.size() ||
                                 (record < baseRecords_.size() &&
                                  baseRecords_[record].line.offset < otherLines_[other].offset);
        if (recordFirst) {
            if (kept_[record])
                write(unpack(baseRecords_[record]).line);
            ++record;
            continue;
        }
        if (other == finalEndRow_)
            writeCustomRows();
        const TextSpan line = otherLines_[other++];
        write(std::string_view(baseText_).substr(line.offset, line.length));
    }
    if (format_ == NavFormat::V810) {
        write("\n");
        writeCustomRows();
        write("\n99\n");
    } else if (finalEndRow_ == std::string::npos) {
        if (!baseText_.empty() && baseText_.back() != '\n')
            write(lineEnd_);
        writeCustomRows();
    }
}

MergeEnd NavMerger::writeDatabase() {
    // Written beside the database, then swapped in, so earth_nav.dat is never half-written.
    AtomicFileWriter file(earthNavPath_, format_ == NavFormat::V810
                                             ? AtomicFileWriter::LineFeeds::ToCrLf
                                             : AtomicFileWriter::LineFeeds::AsGiven);
    writeLines([&file](std::string_view text) { file.write(text); });
    if (file.commit())
        return MergeEnd::Written;
    showError("I can't write \"To\" file!");
    return MergeEnd::WriteError;
}

std::string NavMerger::mergedText() const {
    std::string text;
    text.reserve(baseText_.size());
    writeLines([&text](std::string_view piece) { text += piece; });
    return text;
}

MergeReport NavMerger::report() const {
    MergeReport report;
    report.databasePath = earthNavPath_;
    report.options = options_;
    report.databaseNavaids = baseRecords_.size();
    for (const Drop& drop : drops_) {
        const NavaidRecord& custom = customRecords_[drop.custom];
        report.dropped.push_back({std::string(withoutLineEnd(unpack(baseRecords_[drop.base]).line)),
                                  drop.reason, drop.decidedBy,
                                  std::string(withoutLineEnd(custom.line)),
                                  std::string(custom.sourcePath)});
    }
    for (const NavaidRecord& custom : customRecords_)
        report.added.push_back(
            {std::string(withoutLineEnd(custom.line)), std::string(custom.sourcePath)});
    report.leftOut = leftOut_;
    return report;
}
