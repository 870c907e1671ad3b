#include "merge/add_on_rows.h"

#include "base/text.h"
#include "base/text_file.h"
#include "merge/row_conversion.h"
#include "merge/stage_progress.h"

#include <algorithm>
#include <unordered_set>

namespace {
// Lines compared whole, letters A-Z without regard to case.
struct CaseBlindHash {
    std::size_t operator()(std::string_view text) const { return caseBlindHash(text); }
};
struct CaseBlindEqual {
    bool operator()(std::string_view a, std::string_view b) const {
        return equalsIgnoringCase(a, b);
    }
};
using LineSet = std::unordered_set<std::string_view, CaseBlindHash, CaseBlindEqual>;

// Why a navaid row of a file in rowFormat cannot go into a database of 1100 or later as its
// columns stand; none when it can.
std::optional<std::string> misfitOf(NavFormat rowFormat, const NavaidRecord& row) {
    if (!hasColumnsOf(rowFormat, row))
        return "it does not have the columns of its file's format " +
               std::to_string(versionOf(rowFormat));
    return columnFault(rowFormat, row.line);
}

// takenLines: the navaid rows taken so far, without their line ends.
void readRows(AddOnFile& file, ProgressDisplay& bar, MergeStatus& status, LineSet& takenLines) {
    // The bar counts the characters read.
    StageProgress progress(bar, file.text.size());
    status.show("Loading strings from ", file.path);
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
} // namespace

std::deque<AddOnFile> loadAddOnFiles(const std::vector<CustomAirport>& airports,
                                     const MergeScreen& screen, MergeStatus& status) {
    std::deque<AddOnFile> files;
    LineSet takenLines;
    for (const CustomAirport& airport : airports) {
        AddOnFile& file = files.emplace_back();
        const FileResult read = readTextFile(airport.navDatPath, file.text, kLargestAddOnFileBytes);
        if (!read) {
            files.pop_back();
            screen.errors.showError("I can't open \"From\" file!\n" + describe(read.error()),
                                    kErrorCaption);
            continue;
        }
        file.path = airport.navDatPath;
        readRows(file, screen.progress, status, takenLines);
    }
    return files;
}

AddOnRows::AddOnRows(const DatabaseText& database, AirportLookup& airports)
    : database_(database), airports_(airports) {}

AddOnRows::~AddOnRows() = default;

void AddOnRows::take(const std::deque<AddOnFile>& files) {
    for (const AddOnFile& file : files)
        takeFile(file);
    if (database_.format() != NavFormat::V810) {
        leaveOutTwins();
        leaveOutOrphans();
    }
}

void AddOnRows::takeFile(const AddOnFile& file) {
    const NavFormat format = database_.format();
    const NavFormat rowFormat = addOnRowFormat(file.version);
    const bool checksColumns = format != NavFormat::V810;

    std::vector<NavaidRecord> fileRows;
    std::vector<std::string_view> otherRows;
    for (std::string_view line : file.rows) {
        if (isNavaidRowCode(*rowCode(line)))
            fileRows.push_back(parseNavaidRow(line, rowFormat));
        else
            otherRows.push_back(line);
    }
    const bool rowsFit810 =
        checksColumns && !file.version &&
        std::none_of(fileRows.begin(), fileRows.end(), [](const NavaidRecord& row) {
            return misfitOf(NavFormat::V810, row).has_value();
        });
    const std::optional<std::string> refusal = addOnFileRefusal(format, file.version, rowsFit810);
    if (!refusal && checksColumns) {
        for (std::string_view line : otherRows)
            leaveOut(file.path, line,
                     "Quillet does not merge rows of code " + std::to_string(*rowCode(line)));
    }
    const AddOnFileRows rowsOfFile{file.path, fileRows};
    for (const NavaidRecord& row : fileRows) {
        if (refusal) {
            leaveOut(file.path, row.line, *refusal, true);
            continue;
        }
        if (checksColumns) {
            if (std::optional<std::string> misfit = misfitOf(rowFormat, row)) {
                leaveOut(file.path, row.line, std::move(*misfit));
                continue;
            }
        }
        NavaidRecord record = row;
        if (RowConverter::needsConversion(format, rowFormat, record.type)) {
            if (!converter_)
                converter_ = std::make_unique<RowConverter>(database_, airports_);
            const Result<std::string> converted = converter_->convert(rowFormat, row, rowsOfFile);
            if (!converted) {
                leaveOut(file.path, row.line, converted.reason());
                continue;
            }
            record = parseNavaidRow(convertedRows_.emplace_back(*converted), format);
        }
        record.sourcePath = std::string_view(file.path);
        records_.push_back(record);
        cells_.push_back(coordinateCell(record.line));
        addOnLines_.push_back(row.line);
    }
}

namespace {
// A hash of a row's identity in 1100 and later, the same for duplicates.
std::size_t identityHash(const NavaidRecord& row) {
    return ((caseBlindHash(row.callsign) * 31 + caseBlindHash(row.terminal)) * 31 +
            caseBlindHash(row.region)) *
               31 +
           static_cast<std::size_t>(row.type);
}

// A localizer's identifier and airport, compared without regard to case.
struct LocalizerKey {
    std::string_view ident, terminal;
};
struct LocalizerKeyHash {
    std::size_t operator()(const LocalizerKey& key) const {
        return caseBlindHash(key.ident) * 31 + caseBlindHash(key.terminal);
    }
};
struct LocalizerKeyEqual {
    bool operator()(const LocalizerKey& a, const LocalizerKey& b) const {
        return equalsIgnoringCase(a.ident, b.ident) && equalsIgnoringCase(a.terminal, b.terminal);
    }
};

// Glideslopes, markers and ILS DMEs belong to a localizer of their identifier and airport.
bool needsLocalizer(const NavaidRecord& row) {
    return row.type == 6 || isMarker(row.type) ||
           (isDme(row.type) && !equalsIgnoringCase(row.terminal, kEnRouteTerminal) &&
            isIlsDmeName(row.name));
}
} // namespace

void AddOnRows::leaveOutTwins() {
    // The records by the hash of their identity, in load order within a hash.
    std::vector<std::pair<std::size_t, std::uint32_t>> byIdentity;
    byIdentity.reserve(records_.size());
    for (std::size_t i = 0; i < records_.size(); ++i)
        byIdentity.emplace_back(identityHash(records_[i]), static_cast<std::uint32_t>(i));
    std::sort(byIdentity.begin(), byIdentity.end());
    std::vector<bool> twin(records_.size());
    for (std::size_t first = 0; first < byIdentity.size();) {
        std::size_t end = first + 1;
        while (end < byIdentity.size() && byIdentity[end].first == byIdentity[first].first)
            ++end;
        for (std::size_t later = first + 1; later < end; ++later) {
            const std::uint32_t row = byIdentity[later].second;
            for (std::size_t earlier = first; earlier < later && !twin[row]; ++earlier) {
                const std::uint32_t taken = byIdentity[earlier].second;
                twin[row] = !twin[taken] && isSameNavaid(records_[taken], records_[row]);
            }
        }
        first = end;
    }
    leaveOutRecords([&](std::size_t i) -> std::optional<std::string> {
        if (!twin[i])
            return std::nullopt;
        return "it is the same navaid as an add-on row before it";
    });
}

void AddOnRows::leaveOutOrphans() {
    if (std::none_of(records_.begin(), records_.end(), needsLocalizer))
        return;
    std::unordered_set<LocalizerKey, LocalizerKeyHash, LocalizerKeyEqual> localizers;
    for (std::size_t i = 0; i < database_.rowCount(); ++i) {
        const NavaidRecord row = database_.row(i);
        if (isLocalizer(row.type))
            localizers.insert({row.callsign, row.terminal});
    }
    for (const NavaidRecord& row : records_) {
        if (isLocalizer(row.type))
            localizers.insert({row.callsign, row.terminal});
    }
    leaveOutRecords([&](std::size_t i) -> std::optional<std::string> {
        const NavaidRecord& row = records_[i];
        if (!needsLocalizer(row) || localizers.count({row.callsign, row.terminal}))
            return std::nullopt;
        return "its localizer " + std::string(row.callsign) + " of " + std::string(row.terminal) +
               " is neither in the database nor merged";
    });
}

template <typename ReasonOf> void AddOnRows::leaveOutRecords(ReasonOf&& reasonOf) {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < records_.size(); ++i) {
        if (std::optional<std::string> reason = reasonOf(i)) {
            leaveOut(records_[i].sourcePath, addOnLines_[i], std::move(*reason));
            continue;
        }
        records_[kept] = records_[i];
        cells_[kept] = cells_[i];
        addOnLines_[kept++] = addOnLines_[i];
    }
    records_.resize(kept);
    cells_.resize(kept);
    addOnLines_.resize(kept);
}

void AddOnRows::leaveOut(std::string_view path, std::string_view row, std::string reason,
                         bool wholeFile) {
    leftOut_.push_back(
        {std::string(path), std::string(withoutLineEnd(row)), std::move(reason), wholeFile});
}
