#include "merge/merge_report.h"

#include <array>

namespace {
// The settings dialog's names of the actions.
const char* actionName(ConflictAction action) {
    switch (action) {
    case ConflictAction::Skip:
        return "Skip";
    case ConflictAction::Ask:
        return "Request";
    case ConflictAction::Replace:
        return "Replace";
    }
    return "";
}

const char* reasonText(DropReason reason) {
    switch (reason) {
    case DropReason::Duplicate:
        return "duplicate (same CALLSIGN and NAME)";
    case DropReason::NameConflict:
        return "NAME conflict (same NAME, other CALLSIGN)";
    case DropReason::CallsignConflict:
        return "CALLSIGN conflict (same CALLSIGN, other NAME)";
    }
    return "";
}

std::string decisionText(const DroppedLine& line) {
    switch (line.decidedBy) {
    case DecidedBy::Rule:
        return "always replaced";
    case DecidedBy::Setting:
        return "setting Replace";
    case DecidedBy::Answer:
        return "answer \"Replace this String\"";
    }
    return "";
}

std::string plural(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}
} // namespace

std::string reportText(const MergeReport& report) {
    std::string text = "Preview of the merge into " + report.databasePath + "\n";
    text += "Settings: same NAME, other CALLSIGN: ";
    text += actionName(report.options.sameName);
    text += "; same CALLSIGN, other NAME: ";
    text += actionName(report.options.sameCallsign);
    text += "; distance restriction: ";
    text += report.options.distanceRestriction ? "on\n" : "off\n";

    text +=
        "\nDatabase lines that would be dropped: " + std::to_string(report.dropped.size()) + "\n";
    std::array<std::size_t, 3> byReason = {};
    for (const DroppedLine& line : report.dropped) {
        ++byReason[static_cast<std::size_t>(line.reason)];
        text += "\n  dropped  " + line.line + "\n";
        text += "  by       " + line.customLine + "\n";
        text += "  from     " + line.sourcePath + "\n";
        text +=
            "  why      " + std::string(reasonText(line.reason)) + ": " + decisionText(line) + "\n";
    }

    text += "\nLines that would be added: " + std::to_string(report.added.size()) + "\n";
    for (std::size_t i = 0; i < report.added.size();) {
        // One block for each run of lines from the same file.
        std::size_t end = i;
        while (end < report.added.size() &&
               report.added[end].sourcePath == report.added[i].sourcePath)
            ++end;
        text += "\n  from " + report.added[i].sourcePath + " (" + std::to_string(end - i) + ")\n";
        for (; i < end; ++i)
            text += "    " + report.added[i].line + "\n";
    }

    if (!report.leftOut.empty())
        text += "\n" + leftOutMessage(report.leftOut);

    const std::size_t kept = report.databaseNavaids - report.dropped.size();
    text += "\nCounts: " +
            plural(report.databaseNavaids, "database navaid line", "database navaid lines") + ", " +
            std::to_string(report.dropped.size()) + " dropped (" +
            plural(byReason[0], "duplicate", "duplicates") + ", " +
            plural(byReason[1], "NAME conflict", "NAME conflicts") + ", " +
            plural(byReason[2], "CALLSIGN conflict", "CALLSIGN conflicts") + "), " +
            std::to_string(kept) + " kept; " + std::to_string(report.added.size()) + " added; " +
            plural(kept + report.added.size(), "navaid line", "navaid lines") +
            " after the merge.\n";
    text += "Nothing was written.\n";
    return text;
}

std::string leftOutMessage(const std::vector<LeftOutRow>& rows) {
    if (rows.empty())
        return {};
    std::string text = "These add-on rows were not merged:\n";
    std::string_view file;
    const auto startFile = [&](const std::string& path) {
        if (path != file)
            text += "\n" + path + "\n";
        file = path;
    };
    for (std::size_t i = 0; i < rows.size();) {
        const LeftOutRow& row = rows[i];
        if (row.wholeFile) {
            std::size_t count = 0;
            for (; i < rows.size() && rows[i].wholeFile && rows[i].sourcePath == row.sourcePath;
                 ++i)
                ++count;
            startFile(row.sourcePath);
            text += "  all " + std::to_string(count) + " rows: " + row.reason + "\n";
            continue;
        }
        ++i;
        startFile(row.sourcePath);
        text += "  " + row.row + "\n    " + row.reason + "\n";
    }
    return text;
}
