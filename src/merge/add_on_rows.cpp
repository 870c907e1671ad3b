#include "merge/add_on_rows.h"

#include "base/text.h"
#include "base/text_file.h"
#include "merge/row_conversion.h"
#include "merge/stage_progress.h"

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
        const FileResult read = readTextFile(airport.navDatPath, file.text);
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

AddOnRows::AddOnRows(const DatabaseText& database) : database_(database) {}

AddOnRows::~AddOnRows() = default;

void AddOnRows::take(const AddOnFile& file) {
    const NavFormat format = database_.format();
    const NavFormat rowFormat = addOnRowFormat(file.version);
    const std::optional<std::string> refusal = addOnFileRefusal(format, file.version);

    std::vector<NavaidRecord> fileRows;
    for (std::string_view line : file.rows) {
        const int code = *rowCode(line);
        if (isNavaidRowCode(code))
            fileRows.push_back(parseNavaidRow(line, rowFormat));
        else if (!refusal && format != NavFormat::V810)
            leaveOut(file, line, "Quillet does not merge rows of code " + std::to_string(code));
    }
    for (const NavaidRecord& row : fileRows) {
        if (refusal) {
            leaveOut(file, row.line, *refusal, true);
            continue;
        }
        NavaidRecord record = row;
        if (RowConverter::needsConversion(format, rowFormat, record.type)) {
            if (!converter_)
                converter_ = std::make_unique<RowConverter>(
                    format, database_.rowCount(),
                    [this](std::size_t i) { return database_.row(i); });
            const Result<std::string> converted = converter_->convert(rowFormat, record, fileRows);
            if (!converted) {
                leaveOut(file, record.line, converted.reason());
                continue;
            }
            record = parseNavaidRow(convertedRows_.emplace_back(*converted), format);
        } else if (format != NavFormat::V810 && !hasColumnsOf(rowFormat, record)) {
            leaveOut(file, record.line,
                     "it does not have the columns of its file's format " +
                         std::to_string(versionOf(rowFormat)));
            continue;
        }
        record.sourcePath = std::string_view(file.path);
        records_.push_back(record);
        cells_.push_back(coordinateCell(record.line));
    }
}

void AddOnRows::leaveOut(const AddOnFile& file, std::string_view row, std::string reason,
                         bool wholeFile) {
    leftOut_.push_back({file.path, std::string(withoutLineEnd(row)), std::move(reason), wholeFile});
}
