#pragma once

#include "merge/merge_screen.h"

#include <cstdint>

// One stage of a merge on the progress bar (a file loaded, the backup, the decisions): the bar
// starts empty and is full when the stage's work is done, whatever its amount. The work is
// counted in units of the stage's choosing and scaled into the bar's 16-bit range: the range
// is the total itself up to 65535, else 65535.
class StageProgress {
  public:
    static constexpr std::uint64_t kLargestRange = 0xFFFF;

    // Sets the bar's range and empties it. A stage without work gets the range 0 to 1.
    StageProgress(ProgressDisplay& bar, std::uint64_t total);

    // Shows that `done` units of the total are done. Cheap enough for every line: the bar is
    // told only when its position changes.
    void advanceTo(std::uint64_t done) {
        if (done >= nextMove_)
            moveTo(done);
    }

    // Fills the bar.
    void finish();

  private:
    void moveTo(std::uint64_t done);

    ProgressDisplay& bar_;
    const std::uint64_t total_;
    const std::uint64_t maximum_;
    std::uint64_t position_ = 0;
    std::uint64_t nextMove_; // the least amount done that moves the bar on
};
