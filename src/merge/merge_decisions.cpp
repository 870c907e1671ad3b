#include "merge/merge_decisions.h"

#include "merge/candidate_index.h"
#include "merge/stage_progress.h"

#include <optional>

namespace {

class Decider {
  public:
    Decider(const DatabaseText& database, const AddOnRows& addOns, const MergeOptions& options,
            const MergeScreen& screen)
        : database_(database), addOns_(addOns.records()), options_(options), screen_(screen),
          index_(database.format(), addOns_,
                 options.distanceRestriction ? &addOns.cells() : nullptr) {}

    // The drop of a database row, if any; stopped_ once a question is answered Stop.
    std::optional<Drop> dropOf(const NavaidRecord& base);
    bool stopped() const { return stopped_; }

  private:
    const DatabaseText& database_;
    const std::vector<NavaidRecord>& addOns_;
    const MergeOptions& options_;
    const MergeScreen& screen_;
    const CandidateIndex index_;
    std::vector<std::uint32_t> candidates_; // reused for every database row
    bool stopped_ = false;
};

std::optional<Drop> Decider::dropOf(const NavaidRecord& base) {
    // Only the candidates can be duplicates of base or conflict with it; they are taken in
    // load order, as a search through every add-on row would meet them. A duplicate shares
    // both keys, a NAME conflict the NAME key, a CALLSIGN conflict the callsign key: a kind of
    // conflict whose setting keeps the row needs no look at its key's rows.
    const bool bySameCallsign = options_.sameCallsign != ConflictAction::Skip;
    const bool bySameName = options_.sameName != ConflictAction::Skip || !bySameCallsign;
    index_.find(base, bySameCallsign, bySameName, candidates_);
    for (const std::uint32_t i : candidates_) {
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
    decisions.kept.assign(database.rowCount(), true);
    StageProgress progress(screen.progress, database.rowCount());
    status.show("Proccesing: ", "");
    for (std::size_t i = 0; i < database.rowCount(); ++i) {
        const NavaidRecord base = database.row(i);
        status.show("Proccesing: ", base.line);
        if (std::optional<Drop> drop = decider.dropOf(base)) {
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
