#include "merge/stage_progress.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

namespace {

// Keeps the bar's range and position, and counts the positions set that moved nothing.
class BarLog : public ProgressDisplay {
  public:
    void setRange(std::uint16_t minimum, std::uint16_t maximum) override {
        rangeMinimum = minimum;
        rangeMaximum = maximum;
    }
    void setStep(int) override { ADD_FAILURE() << "a stage sets positions, it does not step"; }
    void setPosition(int newPosition) override {
        standstills += newPosition == position;
        position = newPosition;
    }
    void step() override { ADD_FAILURE() << "a stage sets positions, it does not step"; }

    int rangeMinimum = -1, rangeMaximum = -1, position = -1;
    int standstills = 0;
};

TEST(StageProgress, ScalesTheWorkDoneIntoTheBarsRangeFromEmptyToFull) {
    for (const std::uint64_t total :
         {1ull, 7ull, 65535ull, 65536ull, 70000ull, 131071ull, 3000000ull, 5000000000ull}) {
        SCOPED_TRACE("total " + std::to_string(total));
        BarLog bar;
        StageProgress stage(bar, total);
        const std::uint64_t maximum = std::min<std::uint64_t>(total, 65535);
        EXPECT_EQ(bar.rangeMinimum, 0);
        EXPECT_EQ(bar.rangeMaximum, static_cast<int>(maximum));
        EXPECT_EQ(bar.position, 0);
        // Uneven amounts, some of which do not move the bar.
        const std::uint64_t stride = std::max<std::uint64_t>(1, total / 100000);
        for (std::uint64_t done = 0, i = 0; done <= total; done += stride * (i++ % 3)) {
            stage.advanceTo(done);
            ASSERT_EQ(static_cast<std::uint64_t>(bar.position), done * maximum / total)
                << "done " << done;
        }
        stage.finish();
        EXPECT_EQ(bar.position, static_cast<int>(maximum));
        EXPECT_EQ(bar.standstills, 0);
    }
}

TEST(StageProgress, AStageWithoutWorkFillsTheBarWhenItEnds) {
    BarLog bar;
    StageProgress stage(bar, 0);
    EXPECT_EQ(bar.rangeMaximum, 1);
    EXPECT_EQ(bar.position, 0);
    stage.advanceTo(0);
    EXPECT_EQ(bar.position, 0);
    stage.finish();
    EXPECT_EQ(bar.position, 1);
    stage.finish();
    EXPECT_EQ(bar.standstills, 0);
}

} // namespace
