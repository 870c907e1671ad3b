#include "merge/merge_decisions.h"

#include "merge/candidate_index.h"
#include "merge/stage_progress.h"

#include <future>
#include <optional>

namespace {

// The add-on rows that may relate to each of a run of database rows, found ahead of the
// decisions: the candidates of row `first + k` are candidates[starts[k], starts[k + 1]).
struct CandidateLists {
    std::size_t first = 0;
    std::vector<std::uint32_t> starts;
    std::vector<std::uint32_t> candidates;
};

class Decider {
  public:
    Decider(const DatabaseText& database, const AddOnRows& addOns, const MergeOptions& options,
            const MergeScreen& screen)
        : database_(database), addOns_(addOns.records()), options_(options), screen_(screen),
          index_(database.format(), addOns_,
                 options.distanceRestriction ? &addOns.cells() : nullptr) {}

    // The candidates of the database rows from `first` to `last`; safe on any thread.
    CandidateLists findCandidates(std::size_t first, std::size_t last) const;
    // The drop of a database row, if any, among its candidates in `lists`; stopped_ once a
    // question is answered Stop.
    std::optional<Drop> dropOf(std::size_t row, const NavaidRecord& base,
                               const CandidateLists& lists);
    bool stopped() const { return stopped_; }

  private:
    const DatabaseText& database_;
    const std::vector<NavaidRecord>& addOns_;
    const MergeOptions& options_;
    const MergeScreen& screen_;
    const CandidateIndex index_;
    bool stopped_ = false;
};

CandidateLists Decider::findCandidates(std::size_t first, std::size_t last) const {
    CandidateLists lists;
    lists.first = first;
    lists.starts.reserve(last - first + 1);
    lists.starts.push_back(0);
    // Only the candidates can be duplicates of a row or conflict with it; they are taken in
    // load order, as a search through every add-on row would meet them. A duplicate shares
    // both keys, a NAME conflict the NAME key, a CALLSIGN conflict the callsign key: a kind of
    // conflict whose setting keeps the row needs no look at its key's rows.
    const bool bySameCallsign = options_.sameCallsign != ConflictAction::Skip;
    const bool bySameName = options_.sameName != ConflictAction::Skip || !bySameCallsign;
    std::vector<std::uint32_t> found;
    for (std::size_t i = first; i < last; ++i) {
        index_.find(database_.row(i), bySameCallsign, bySameName, found);
        lists.candidates.insert(lists.candidates.end(), found.begin(), found.end());
        lists.starts.push_back(static_cast<std::uint32_t>(lists.candidates.size()));
    }
    return lists;
}

std::optional<Drop> Decider::dropOf(std::size_t row, const NavaidRecord& base,
                                    const CandidateLists& lists) {
    const std::size_t k = row - lists.first;
    const std::uint32_t* const first = lists.candidates.data() + lists.starts[k];
    const std::uint32_t* const last = lists.candidates.data() + lists.starts[k + 1];
    for (const std::uint32_t* candidate = first; candidate != last; ++candidate) {
        const std::uint32_t i = *candidate;
        const NavaidRecord& addOn = addOns_[i];
        if (addOn.type != base.type)
            continue;
        Drop drop;
        drop.addOnRow = i;
        switch (relationOf(database_.format(), base, addOn)) {
        case Relation::Duplicate:
            return drop;
        case Relation::NameConflict:
            drop.reason = DropReason::NameConflict;
            break;
        case Relation::CallsignConflict:
            drop.reason = DropReason::CallsignConflict;
            break;
        case Relation::None:
            continue;
        }
        const ConflictAction action =
            drop.reason == DropReason::NameConflict ? options_.sameName : options_.sameCallsign;
        // Only Replace drops the row: Skip keeps it and goes on with the next add-on row.
        if (action == ConflictAction::Replace) {
            drop.decidedBy = DecidedBy::Setting;
            return drop;
        }
        if (action != ConflictAction::Ask)
            continue;
        const Answer answer = screen_.question.ask(std::string(addOn.sourcePath),
                                                   shownLine(base.line), shownLine(addOn.line));
        if (answer == Answer::Stop) {
            stopped_ = true;
            return std::nullopt;
        }
        if (answer == Answer::Replace) {
            drop.decidedBy = DecidedBy::Answer;
            return drop;
        }
    }
    return std::nullopt;
}

} // namespace

MergeDecisions decideDrops(const DatabaseText& database, const AddOnRows& addOns,
                           const MergeOptions& options, const MergeScreen& screen,
                           MergeStatus& status) {
    Decider decider(database, addOns, options, screen);
    MergeDecisions decisions;
    const std::size_t rows = database.rowCount();
    decisions.kept.assign(rows, true);
    StageProgress progress(screen.progress, rows);
    status.show("Proccesing: ", "");
    // The candidates of each half of the database are found on a thread of its own: only the
    // decisions, with their questions, must go in order.
    const std::size_t half = rows / 2;
    std::future<CandidateLists> secondHalf = std::async(
        std::launch::async, [&decider, half, rows] { return decider.findCandidates(half, rows); });
    CandidateLists candidates = decider.findCandidates(0, half);
    for (std::size_t i = 0; i < rows; ++i) {
        if (i == half)
            candidates = secondHalf.get();
        const NavaidRecord base = database.row(i);
        status.show("Proccesing: ", base.line);
        if (std::optional<Drop> drop = decider.dropOf(i, base, candidates)) {
            drop->databaseRow = i;
            decisions.drops.push_back(*drop);
            decisions.kept[i] = false;
        }
        if (decider.stopped()) {
            decisions.stopped = true;
            return decisions;
        }
        progress.advanceTo(i + 1);
    }
    progress.finish();
    return decisions;
}
