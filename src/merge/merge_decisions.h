#pragma once

#include "merge/add_on_rows.h"
#include "merge/database_text.h"
#include "merge/merge_report.h"
#include "merge/merge_screen.h"
#include "settings/merge_options.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// A database row that gives way to an add-on row, and why.
struct Drop {
    std::size_t databaseRow = 0;
    std::uint32_t addOnRow = 0;
    DropReason reason = DropReason::Duplicate;
    DecidedBy decidedBy = DecidedBy::Rule;
};

struct MergeDecisions {
    std::vector<bool> kept;  // for each database row
    std::vector<Drop> drops; // the rows not kept, in database order
    bool stopped = false;    // a question was answered Stop, and nothing more was decided
};

// Decides for each database row, in file order, whether it stays: it gives way to the first
// add-on row, in load order, that duplicates it, or that conflicts with it when the options
// (or the answer to the question they have asked) say Replace. Shows each row on the status
// line and the rows done on the progress bar.
MergeDecisions decideDrops(const DatabaseText& database, const AddOnRows& addOns,
                           const MergeOptions& options, const MergeScreen& screen,
                           MergeStatus& status);
