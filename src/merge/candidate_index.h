#pragma once

#include "merge/nav_data.h"

#include <cstdint>
#include <vector>

// Finds, for a database record, the custom records that can relate to it in a merge: those
// of the same row code, terminal area and region with the same callsign or the same NAME
// fields, letters A-Z compared without regard to case, and under the distance restriction in
// the same whole-degree cell. Any other custom record is neither a duplicate of the database
// record nor in conflict with it, so the merge need look at these alone.
class CandidateIndex {
  public:
    // cells: the cell of each custom record when the distance restriction is on, else null.
    CandidateIndex(NavFormat format, const std::vector<NavaidRecord>& customRecords,
                   const std::vector<CoordinateCell>* cells);

    // Sets `candidates` to the indices of those custom records, ascending (load order):
    // those with the same callsign, those with the same NAME fields, or both. It may hold a
    // few more records whose keys only share a hash: the merge's own comparison tells them
    // apart.
    void find(const NavaidRecord& base, bool sameCallsign, bool sameName,
              std::vector<std::uint32_t>& candidates) const;

  private:
    // A custom record under one of its keys, with its cell as two numbers that order like
    // the coordinates and are equal exactly when they are.
    struct Entry {
        std::uint64_t latitude;
        std::uint64_t longitude;
        std::uint32_t record;
    };
    // The entries of one key: entries_[begin, end), ordered by cell, then by record. A slot
    // is empty while begin == end.
    struct Slot {
        std::uint64_t key = 0;
        std::uint32_t begin = 0;
        std::uint32_t end = 0;
    };
    struct Range {
        const Entry* begin = nullptr;
        const Entry* end = nullptr;
    };

    // A bit for each of a set of cheap stand-ins for keys: a clear bit rules a key out.
    class QuickFilter {
      public:
        void reset(std::size_t entries);
        void add(std::uint64_t key);
        bool mayHold(std::uint64_t key) const;

      private:
        std::vector<std::uint64_t> words_;
        unsigned shift_ = 64; // the top bits of a stand-in pick its bit
    };

    Range lookUp(std::uint64_t key) const;
    std::uint64_t callsignKey(const NavaidRecord& record) const;
    std::uint64_t nameKey(const NavaidRecord& record) const;

    NavFormat format_;
    bool byCell_;
    std::vector<Entry> entries_;
    std::vector<Slot> slots_; // open addressing; the size is a power of two
    QuickFilter quickCallsigns_, quickNames_;
};
