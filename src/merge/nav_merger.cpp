#include "merge/nav_merger.h"

#include "merge/candidate_index.h"
#include "merge/database_check.h"
#include "merge/stage_progress.h"
#include "base/file_ops.h"
#include "base/path.h"
#include "base/text_file.h"

#include <cstdio>
#include <utility>

namespace {
constexpr const char* kErrorCaption = "Error!";

// Texts of the database are found by 32-bit positions.
constexpr std::uint64_t kLargestDatabase = 0xFFFFFFFFu;

std::string_view withoutLineEnd(std::string_view line) {
    return line.substr(0, line.size() - (!line.empty() && line.back() == '\n'));
}

// How a custom record of the same row code relates to a database record: the reason it
// may drop it, or none.
std::optional<DropReason> relationOf(const NavaidRecord& base, const NavaidRecord& custom) {
    const bool twoNameFields = nameIncludesRunway(base.type);
    const bool sameCallsign = equalsIgnoringCase(base.callsign, custom.callsign);
    const bool sameName = equalsIgnoringCase(base.name, custom.name);
    const bool sameRwyName = equalsIgnoringCase(base.rwyName, custom.rwyName);
    const bool allNamesEqual = sameName && (!twoNameFields || sameRwyName);
    const bool allNamesDiffer = !sameName && (!twoNameFields || !sameRwyName);
    if (allNamesEqual)
        return sameCallsign ? DropReason::Duplicate : DropReason::NameConflict;
    if (sameCallsign && allNamesDiffer)
        return DropReason::CallsignConflict;
    return std::nullopt;
}

// Gathers the merged text in memory.
struct TextOutput {
    std::string text;
    void write(std::string_view piece) { text += piece; }
};
} // namespace

NavMerger::NavMerger(const MergeScreen& screen, std::string databasePath,
                     const std::vector<CustomAirport>& airports, const MergeOptions& options,
                     JobPurpose purpose)
    : screen_(screen), earthNavPath_(std::move(databasePath)), options_(options),
      purpose_(purpose) {
    loadCustomFiles(airports);

    if (!readTextFile(earthNavPath_, baseText_) ||
        static_cast<std::uint64_t>(baseText_.size()) > kLargestDatabase) {
        showError("I can't open \"To\" file!");
        return;
    }
    // A file the merge cannot read, or of another format, is not touched at all.
    const DatabaseCheck check = checkDatabase(baseText_);
    if (check.verdict != DatabaseVerdict::Mergeable) {
        showError(refusalMessage(check, fileName(earthNavPath_)));
        return;
    }
    if (purpose_ == JobPurpose::Merge && !backUp()) {
        notReady_ = MergeEnd::WriteError;
        return;
    }
    loadBaseRecords();
    baseReady_ = true;
}

void NavMerger::loadCustomFiles(const std::vector<CustomAirport>& airports) {
    LineSet takenLines;
    for (const CustomAirport& airport : airports) {
        if (airport.selected != 1)
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

bool NavMerger::backUp() {
    StageProgress progress(screen_.progress, 1);
    showStatus("Writing .bak for ", earthNavPath_);
    const std::string backupPath = earthNavPath_ + ".bak";
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

std::size_t NavMerger::CaseBlindHash::operator()(std::string_view text) const {
    std::uint64_t hash = 0xcbf29ce484222325ull; // FNV-1a
    for (const char c : text)
        hash = (hash ^ static_cast<unsigned char>(upperAscii(c))) * 0x100000001b3ull;
    return static_cast<std::size_t>(hash ^ (hash >> 32));
}

void NavMerger::loadCustomRecords(const CustomFile& file, LineSet& takenLines) {
    // The bar counts the characters read.
    StageProgress progress(screen_.progress, file.text.size());
    showStatus("Loading strings from ", file.path);
    const char* const start = file.text.data();
    forEachLine(file.text, [&](std::string_view line) {
        const std::optional<int> code = rowCode(line);
        if (code && isNavaidRowCode(*code) && takenLines.insert(withoutLineEnd(line)).second) {
            NavaidRecord& record = customRecords_.emplace_back(parseNavaidRow(line));
            record.sourcePath = std::string_view(file.path);
            customCells_.push_back(coordinateCell(line));
        }
        progress.advanceTo(static_cast<std::size_t>(line.data() + line.size() - start));
    });
    progress.finish();
}

void NavMerger::loadBaseRecords() {
    // Room for one record per line, so the records are never moved while loading.
    std::size_t lines = 1;
    forEachLine(baseText_, [&lines](std::string_view) { ++lines; });
    baseRecords_.reserve(lines);
    StageProgress progress(screen_.progress, baseText_.size());
    showStatus("Loading strings from ", earthNavPath_);
    const char* const start = baseText_.data();
    forEachLine(baseText_, [&](std::string_view line) {
        const std::optional<int> code = rowCode(line);
        if (code == kHeaderRowCode)
            headerLine_ = std::string(line);
        else if (code && isNavaidRowCode(*code))
            baseRecords_.push_back(pack(parseNavaidRow(line)));
        progress.advanceTo(static_cast<std::size_t>(line.data() + line.size() - start));
    });
    progress.finish();
}

NavMerger::PackedRecord NavMerger::pack(const NavaidRecord& record) const {
    const auto span = [this](std::string_view text) {
        if (text.empty())
            return TextSpan{};
        return TextSpan{static_cast<std::uint32_t>(text.data() - baseText_.data()),
                        static_cast<std::uint32_t>(text.size())};
    };
    return {record.type, span(record.line), span(record.callsign), span(record.name),
            span(record.rwyName)};
}

NavaidRecord NavMerger::unpack(const PackedRecord& record) const {
    const auto text = [this](TextSpan span) {
        return std::string_view(baseText_).substr(span.offset, span.length);
    };
    NavaidRecord unpacked;
    unpacked.type = record.type;
    unpacked.line = text(record.line);
    unpacked.callsign = text(record.callsign);
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
    statusText_ += '\n';
    screen_.status.setText(statusText_);
}

void NavMerger::showError(const std::string& text) {
    screen_.errors.showError(text, kErrorCaption);
}

int NavMerger::showConflictPrompt(std::string_view sourcePath, std::string_view baseLine,
                                  std::string_view customLine) {
    return screen_.question.ask(std::string(sourcePath), std::string(baseLine),
                                std::string(customLine));
}

int NavMerger::isNear(std::string_view baseLine, std::string_view customLine) const {
    if (!options_.distanceRestriction)
        return 1;
    return sameCell(coordinateCell(baseLine), coordinateCell(customLine)) ? 1 : 0;
}

void NavMerger::upperCase(std::string& text) {
    // The "C" locale's upper case: a-z become A-Z, every other byte stays.
    for (char& c : text)
        c = upperAscii(c);
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
        const std::optional<DropReason> reason = relationOf(base, custom);
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
        if (action == ConflictAction::Ask &&
            showConflictPrompt(custom.sourcePath, base.line, custom.line) == kAnswerReplace) {
            drop.decidedBy = DecidedBy::Answer;
            return drop;
        }
    }
    return std::nullopt;
}

void NavMerger::decide() {
    const CandidateIndex index(customRecords_,
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
        progress.advanceTo(i + 1);
    }
    progress.finish();
    // Custom lines are written upper-cased: upper-case their files in place.
    for (CustomFile& file : customFiles_)
        upperCase(file.text);
}

MergeEnd NavMerger::merge() {
    if (!baseReady_)
        return notReady_;
    decide();
    if (purpose_ == JobPurpose::Preview)
        return MergeEnd::Previewed;
    return writeDatabase();
}

template <typename Output> void NavMerger::writeMerged(Output& output) const {
    output.write("I\n");
    output.write(headerLine_);
    output.write("\n");
    for (std::size_t i = 0; i < baseRecords_.size(); ++i) {
        if (kept_[i])
            output.write(unpack(baseRecords_[i]).line);
    }
    output.write("\n");
    for (const NavaidRecord& custom : customRecords_) {
        output.write(custom.line);
        output.write("\n");
    }
    output.write("\n99\n");
}

MergeEnd NavMerger::writeDatabase() {
    // Write beside the database, then swap it in, so earth_nav.dat is never half-written.
    const std::string newPath = earthNavPath_ + ".new";
    TextFileWriter file;
    if (file.open(newPath)) {
        writeMerged(file);
        if (file.close() && replaceFile(newPath, earthNavPath_))
            return MergeEnd::Written;
        std::remove(newPath.c_str());
    }
    showError("I can't write \"To\" file!");
    return MergeEnd::WriteError;
}

std::string NavMerger::mergedText() const {
    TextOutput output;
    output.text.reserve(baseText_.size());
    writeMerged(output);
    return std::move(output.text);
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
    return report;
}
