#include "merge/candidate_index.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr std::uint64_t kBytes01 = 0x0101010101010101ull;
constexpr std::uint64_t kBytes80 = 0x8080808080808080ull;

// Up to 8 bytes of text as one number, letters a-z turned to A-Z in all of them at once.
std::uint64_t upperChunk(const char* text, std::size_t length) {
    std::uint64_t x = 0;
    if (length > 0) // an empty word may have no text at all
        std::memcpy(&x, text, length);
    const std::uint64_t low7 = x & ~kBytes80;
    const std::uint64_t atLeastA = low7 + (0x80 - 'a') * kBytes01;
    const std::uint64_t aboveZ = low7 + (0x80 - 'z' - 1) * kBytes01;
    const std::uint64_t lower = atLeastA & ~aboveZ & ~x & kBytes80;
    return x ^ (lower >> 2); // clears the 0x20 bit of each lower-case letter
}

// A hash of a row code and words, letters compared without regard to case.
class KeyHash {
  public:
    KeyHash(std::uint64_t kind, int type) : hash_(kind << 32 ^ static_cast<std::uint32_t>(type)) {}

    // Each word of text, however many blanks part them.
    void addWords(std::string_view text) {
        std::size_t at = 0;
        for (std::string_view word = nextWord(text, at); !word.empty(); word = nextWord(text, at))
            add(word);
    }

    void add(std::string_view word) {
        const char* text = word.data();
        std::size_t left = word.size();
        for (; left > 8; left -= 8, text += 8)
            step(upperChunk(text, 8));
        if (left > 0)
            step(upperChunk(text, left));
        // The length keeps "AB"+"C" apart from "A"+"BC".
        step(word.size());
    }

    std::uint64_t value() const {
        std::uint64_t h = hash_;
        h = (h ^ (h >> 32)) * 0xd6e8feb86659fd93ull;
        return h ^ (h >> 32);
    }

  private:
    void step(std::uint64_t value) {
        hash_ = (hash_ ^ value) * 0x9e3779b97f4a7c15ull;
        hash_ = hash_ << 27 | hash_ >> 37;
    }

    std::uint64_t hash_;
};

bool hasNaN(const CoordinateCell& cell) {
    return cell.latitude != cell.latitude || cell.longitude != cell.longitude;
}

// A number that orders like the coordinate; -0 and 0 give the same. Not for NaN.
std::uint64_t ordered(double coordinate) {
    coordinate += 0.0; // -0 + 0 is +0
    std::uint64_t bits;
    std::memcpy(&bits, &coordinate, sizeof bits);
    return bits >> 63 ? ~bits : bits | (1ull << 63);
}

// A cheap stand-in for a key: the row code and the first word's first 8 letters, upper-cased,
// with its length up to 8. Records whose keys are equal have equal stand-ins.
std::uint64_t quickKey(int type, std::string_view text) {
    std::size_t at = 0;
    const std::string_view word = nextWord(text, at);
    const std::size_t length = std::min<std::size_t>(word.size(), 8);
    const std::uint64_t mixed = upperChunk(word.data(), length) ^
                                (std::uint64_t{length} << 59 | static_cast<std::uint32_t>(type));
    return mixed * 0x9e3779b97f4a7c15ull;
}
} // namespace

void CandidateIndex::QuickFilter::reset(std::size_t entries) {
    std::size_t bits = 4096;
    while (bits < entries * 16)
        bits *= 2;
    shift_ = 64;
    for (std::size_t b = bits; b > 1; b /= 2)
        --shift_;
    words_.assign(bits / 64, 0);
}

void CandidateIndex::QuickFilter::add(std::uint64_t key) {
    const std::uint64_t bit = key >> shift_;
    words_[bit / 64] |= 1ull << (bit % 64);
}

bool CandidateIndex::QuickFilter::mayHold(std::uint64_t key) const {
    const std::uint64_t bit = key >> shift_;
    return (words_[bit / 64] >> (bit % 64) & 1) != 0;
}

// Both keys hold the terminal area and region, empty in 810: rows of other ones never relate.
std::uint64_t CandidateIndex::callsignKey(const NavaidRecord& record) const {
    KeyHash hash(1, record.type);
    hash.add(record.terminal);
    hash.add(record.region);
    hash.add(record.callsign);
    return hash.value();
}

std::uint64_t CandidateIndex::nameKey(const NavaidRecord& record) const {
    KeyHash hash(2, record.type);
    hash.add(record.terminal);
    hash.add(record.region);
    hash.addWords(record.name);
    if (nameIncludesRunway(format_, record.type))
        hash.add(record.rwyName);
    return hash.value();
}

CandidateIndex::CandidateIndex(NavFormat format, const std::vector<NavaidRecord>& customRecords,
                               const std::vector<CoordinateCell>* cells)
    : format_(format), byCell_(cells != nullptr) {
    struct Keyed {
        std::uint64_t key;
        Entry entry;
        bool operator<(const Keyed& o) const {
            if (key != o.key)
                return key < o.key;
            if (entry.latitude != o.entry.latitude)
                return entry.latitude < o.entry.latitude;
            if (entry.longitude != o.entry.longitude)
                return entry.longitude < o.entry.longitude;
            return entry.record < o.entry.record;
        }
    };
    std::vector<Keyed> keyed;
    keyed.reserve(customRecords.size() * 2);
    quickCallsigns_.reset(customRecords.size());
    quickNames_.reset(customRecords.size());
    for (std::uint32_t i = 0; i < customRecords.size(); ++i) {
        Entry entry{0, 0, i};
        if (byCell_) {
            const CoordinateCell& cell = (*cells)[i];
            if (hasNaN(cell)) // a cell that is not a number is near nothing
                continue;
            entry.latitude = ordered(cell.latitude);
            entry.longitude = ordered(cell.longitude);
        }
        const NavaidRecord& record = customRecords[i];
        keyed.push_back({callsignKey(record), entry});
        keyed.push_back({nameKey(record), entry});
        quickCallsigns_.add(quickKey(record.type, record.callsign));
        quickNames_.add(quickKey(record.type, record.name));
    }
    if (keyed.empty())
        return;
    std::sort(keyed.begin(), keyed.end());

    std::vector<Slot> groups;
    entries_.reserve(keyed.size());
    for (std::size_t i = 0; i < keyed.size(); ++i) {
        const auto at = static_cast<std::uint32_t>(i);
        if (i == 0 || keyed[i].key != keyed[i - 1].key)
            groups.push_back({keyed[i].key, at, at});
        groups.back().end = at + 1;
        entries_.push_back(keyed[i].entry);
    }
    keyed = {}; // freed before the table is made, for a lower peak of memory

    std::size_t slotCount = 1;
    while (slotCount < groups.size() * 2)
        slotCount *= 2;
    slots_.resize(slotCount);
    for (const Slot& group : groups) {
        std::size_t s = group.key & (slotCount - 1);
        while (slots_[s].begin != slots_[s].end)
            s = (s + 1) & (slotCount - 1);
        slots_[s] = group;
    }
}

CandidateIndex::Range CandidateIndex::lookUp(std::uint64_t key) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t s = key & mask; slots_[s].begin != slots_[s].end; s = (s + 1) & mask) {
        if (slots_[s].key == key)
            return {&entries_[slots_[s].begin], &entries_[0] + slots_[s].end};
    }
    return {};
}

void CandidateIndex::find(const NavaidRecord& base, bool sameCallsign, bool sameName,
                          std::vector<std::uint32_t>& candidates) const {
    candidates.clear();
    if (slots_.empty())
        return;
    // Most database rows share neither stand-in with any add-on row: their keys are never made.
    Range a = sameCallsign && quickCallsigns_.mayHold(quickKey(base.type, base.callsign))
                  ? lookUp(callsignKey(base))
                  : Range{};
    Range b = sameName && quickNames_.mayHold(quickKey(base.type, base.name))
                  ? lookUp(nameKey(base))
                  : Range{};
    if (a.begin == a.end && b.begin == b.end)
        return;
    if (byCell_) {
        // Only now is the database line's cell worth reading.
        const CoordinateCell cell = coordinateCell(base.line);
        if (hasNaN(cell))
            return;
        const Entry at{ordered(cell.latitude), ordered(cell.longitude), 0};
        const auto cellBefore = [](const Entry& x, const Entry& y) {
            return x.latitude != y.latitude ? x.latitude < y.latitude : x.longitude < y.longitude;
        };
        for (Range* range : {&a, &b}) {
            range->begin = std::lower_bound(range->begin, range->end, at, cellBefore);
            range->end = std::upper_bound(range->begin, range->end, at, cellBefore);
        }
    }
    // Merge the two ascending ranges; a record in both is taken once.
    while (a.begin != a.end || b.begin != b.end) {
        const bool fromA =
            b.begin == b.end || (a.begin != a.end && a.begin->record <= b.begin->record);
        const std::uint32_t next = fromA ? (a.begin++)->record : (b.begin++)->record;
        if (candidates.empty() || candidates.back() != next)
            candidates.push_back(next);
    }
}
