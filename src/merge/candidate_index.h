#pragma once

#include "merge/nav_data.h"

#include <cstdint>
#include <vector>

// Finds, for a database record, the custom records that can relate to it in a merge: those
// of the same row code with the same callsign or the same NAME fields, letters A-Z compared
// without regard to case. Any other custom record is neither a duplicate of the database
// record nor in conflict with it, so the merge need look at these alone.
class CandidateIndex {
  public:
    explicit CandidateIndex(const std::vector<NavaidRecord>& customRecords);

    // Sets `candidates` to the indices of those custom records, ascending (load order). It
    // may hold a few more records whose keys only share a hash: the merge's own comparison
    // tells them apart.
    void find(const NavaidRecord& base, std::vector<std::uint32_t>& candidates) const;

  private:
    // A group of records with one key: records_[begin, end). Empty while begin == end.
    struct Slot {
        std::uint64_t key = 0;
        std::uint32_t begin = 0;
        std::uint32_t end = 0;
    };

    const Slot* lookUp(std::uint64_t key) const;

    std::vector<std::uint32_t> records_; // record indices grouped by key, ascending in a group
    std::vector<Slot> slots_;            // open addressing; the size is a power of two
};
