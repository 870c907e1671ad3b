#include "merge/stage_progress.h"

#include <algorithm>
#include <limits>

StageProgress::StageProgress(ProgressDisplay& bar, std::uint64_t total)
    : bar_(bar), total_(total), maximum_(std::clamp<std::uint64_t>(total, 1, kLargestRange)),
      nextMove_(total == 0 ? std::numeric_limits<std::uint64_t>::max()
                           : (total + maximum_ - 1) / maximum_) {
    bar_.setRange(0, static_cast<std::uint16_t>(maximum_));
    bar_.setPosition(0);
}

void StageProgress::moveTo(std::uint64_t done) {
    // position = done * maximum / total, cut to a whole number; the next move comes at the
    // least amount that gives one more.
    position_ = std::min(done, total_) * maximum_ / total_;
    bar_.setPosition(static_cast<int>(position_));
    nextMove_ = position_ == maximum_ ? std::numeric_limits<std::uint64_t>::max()
                                      : ((position_ + 1) * total_ + maximum_ - 1) / maximum_;
}

void StageProgress::finish() {
    if (position_ == maximum_)
        return;
    position_ = maximum_;
    nextMove_ = std::numeric_limits<std::uint64_t>::max();
    bar_.setPosition(static_cast<int>(maximum_));
}
