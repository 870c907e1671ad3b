#include "merge/candidate_index.h"

#include <algorithm>
#include <utility>

namespace {
// FNV-1a over the words with letters folded to upper case, then a final mix so that the
// low bits, which pick the slot, depend on every byte.
class KeyHash {
  public:
    explicit KeyHash(std::uint64_t kind, int type)
        : hash_((0xcbf29ce484222325ull ^ kind) * 0x100000001b3ull ^
                static_cast<std::uint32_t>(type)) {}

    void add(std::string_view word) {
        for (char c : word)
            hash_ = (hash_ ^ static_cast<unsigned char>(upperAscii(c))) * 0x100000001b3ull;
        // A blank can't occur in a word: it keeps "AB"+"C" apart from "A"+"BC".
        hash_ = (hash_ ^ ' ') * 0x100000001b3ull;
    }

    std::uint64_t value() const {
        std::uint64_t h = hash_;
        h ^= h >> 33;
        h *= 0xff51afd7ed558ccdull;
        h ^= h >> 33;
        return h;
    }

  private:
    std::uint64_t hash_;
};

std::uint64_t callsignKey(const NavaidRecord& record) {
    KeyHash hash(1, record.type);
    hash.add(record.callsign);
    return hash.value();
}

std::uint64_t nameKey(const NavaidRecord& record) {
    KeyHash hash(2, record.type);
    hash.add(record.name);
    if (nameIncludesRunway(record.type))
        hash.add(record.rwyName);
    return hash.value();
}
} // namespace

CandidateIndex::CandidateIndex(const std::vector<NavaidRecord>& customRecords) {
    if (customRecords.empty())
        return;
    std::vector<std::pair<std::uint64_t, std::uint32_t>> keyed;
    keyed.reserve(customRecords.size() * 2);
    for (std::uint32_t i = 0; i < customRecords.size(); ++i) {
        keyed.emplace_back(callsignKey(customRecords[i]), i);
        keyed.emplace_back(nameKey(customRecords[i]), i);
    }
    std::sort(keyed.begin(), keyed.end());

    std::vector<Slot> groups;
    records_.reserve(keyed.size());
    for (std::size_t i = 0; i < keyed.size(); ++i) {
        const auto at = static_cast<std::uint32_t>(i);
        if (i == 0 || keyed[i].first != keyed[i - 1].first)
            groups.push_back({keyed[i].first, at, at});
        groups.back().end = at + 1;
        records_.push_back(keyed[i].second);
    }

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

const CandidateIndex::Slot* CandidateIndex::lookUp(std::uint64_t key) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t s = key & mask; slots_[s].begin != slots_[s].end; s = (s + 1) & mask) {
        if (slots_[s].key == key)
            return &slots_[s];
    }
    return nullptr;
}

void CandidateIndex::find(const NavaidRecord& base, std::vector<std::uint32_t>& candidates) const {
    candidates.clear();
    if (slots_.empty())
        return;
    const Slot* bySign = lookUp(callsignKey(base));
    const Slot* byName = lookUp(nameKey(base));
    const std::uint32_t* a = bySign ? &records_[bySign->begin] : nullptr;
    const std::uint32_t* aEnd = bySign ? a + (bySign->end - bySign->begin) : nullptr;
    const std::uint32_t* b = byName ? &records_[byName->begin] : nullptr;
    const std::uint32_t* bEnd = byName ? b + (byName->end - byName->begin) : nullptr;
    // Merge the two ascending groups; a record in both is taken once.
    while (a != aEnd || b != bEnd) {
        const std::uint32_t next = (b == bEnd || (a != aEnd && *a <= *b)) ? *a++ : *b++;
        if (candidates.empty() || candidates.back() != next)
            candidates.push_back(next);
    }
}
