#pragma once

#include "settings/merge_options.h"

#include <cstddef>
#include <string>
#include <vector>

// What a merge decided, as a preview shows it before anything is written.

// Why a database line gives way to an add-on line.
enum class DropReason { Duplicate, NameConflict, CallsignConflict };

// What decided it: a duplicate always gives way; a conflict by the setting Replace, or by the
// answer "Replace this String" to the question that the setting Request asks.
enum class DecidedBy { Rule, Setting, Answer };

struct DroppedLine {
    std::string line; // the database line, without its line end
    DropReason reason;
    DecidedBy decidedBy;
    std::string customLine; // the add-on line that drops it, as it is written
    std::string sourcePath; // the nav.dat that holds the add-on line
};

struct AddedLine {
    std::string line; // as it is written (upper-cased), without its line end
    std::string sourcePath;
};

// An add-on row that a merge leaves out, and why.
struct LeftOutRow {
    std::string sourcePath; // the nav.dat it is in
    std::string row;        // without its line end
    std::string reason;
    bool wholeFile; // the reason is its file's format, shared by every navaid row of the file
};

struct MergeReport {
    std::string databasePath;
    MergeOptions options;
    std::size_t databaseNavaids = 0;  // navaid lines of the database
    std::vector<DroppedLine> dropped; // in database order
    std::vector<AddedLine> added;     // in the order they were taken
    std::vector<LeftOutRow> leftOut;  // in load order
};

// The report as a person reads it: the settings, every database line that would be dropped
// with the add-on line that drops it and why, the lines that would be added by file, the
// add-on rows left out and why, and the counts.
std::string reportText(const MergeReport& report);

// The one message that tells the user which add-on rows were left out and why; empty when
// none were. It lists every row.
std::string leftOutMessage(const std::vector<LeftOutRow>& rows);
