#include "merge/merge_decisions.h"

#include "merge/candidate_index.h"
#include "merge/stage_progress.h"

#include <future>
#include <optional>

namespace {

class Decider {
  public:
    Decider(const DatabaseText& database, const AddOnRows& addOns, const MergeOptions& options,
            const MergeScreen& screen)
        : database_(database), addOns_(addOns.records()), options_(options), screen_(screen),
          index_(database.format(), addOns_,
                 options.distanceRestriction ? &addOns.cells() : nullptr) {}

    // Whether deciding a row may ask a question. When it may not, rows can be decided on
    // several threads at once, each with a candidates buffer of its own.
    bool mayAsk() const {
        return options_.sameName == ConflictAction::Ask ||
               options_.sameCallsign == ConflictAction::Ask;
    }
    // The drop of a database row, if any; stopped_ once a question is answered Stop.
    std::optional<Drop> dropOf(const NavaidRecord& base, std::vector<std::uint32_t>& candidates);
    bool stopped() const { return stopped_; }

  private:
    const DatabaseText& database_;
    const std::vector<NavaidRecord>& addOns_;
    const MergeOptions& options_;
    const MergeScreen& screen_;
    const CandidateIndex index_;
    bool stopped_ = false;
};

std::optional<Drop> Decider::dropOf(const NavaidRecord& base,
                                    std::vector<std::uint32_t>& candidates) {
    // Only the candidates can be duplicates of base or conflict with it; they are taken in
    // load order, as a search through every add-on row would meet them. A duplicate shares
    // both keys, a NAME conflict the NAME key, a CALLSIGN conflict the callsign key: a kind of
    // conflict whose setting keeps the row needs no look at its key's rows.
    const bool bySameCallsign = options_.sameCallsign != ConflictAction::Skip;
    const bool bySameName = options_.sameName != ConflictAction::Skip || !bySameCallsign;
    index_.find(base, bySameCallsign, bySameName, candidates);
    for (const std::uint32_t i : candidates) {
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
    // Without questions, the second half of the database is decided on another thread while
    // the first half is decided here; the rows are shown in their order all the same.
    const std::size_t half = decider.mayAsk() ? rows : rows / 2;
    std::future<std::vector<Drop>> secondHalf;
    if (half < rows) {
        secondHalf = std::async(std::launch::async, [&decider, &database, half, rows] {
            std::vector<std::uint32_t> candidates;
            std::vector<Drop> drops;
            for (std::size_t i = half; i < rows; ++i) {
                if (std::optional<Drop> drop = decider.dropOf(database.row(i), candidates)) {
                    drop->databaseRow = i;
                    drops.push_back(*drop);
                }
            }
            return drops;
        });
    }
    std::vector<std::uint32_t> candidates;
    std::vector<Drop> decidedAhead;
    std::size_t nextAhead = 0;
    for (std::size_t i = 0; i < rows; ++i) {
        if (i == half && half < rows)
            decidedAhead = secondHalf.get();
        const NavaidRecord base = database.row(i);
        status.show("Proccesing: ", base.line);
        std::optional<Drop> drop;
        if (i < half) {
            drop = decider.dropOf(base, candidates);
        } else if (nextAhead < decidedAhead.size() && decidedAhead[nextAhead].databaseRow == i) {
            drop = decidedAhead[nextAhead++];
        }
        if (drop) {
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
