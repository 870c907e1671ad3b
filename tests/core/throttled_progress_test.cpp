#include "merge/throttled_progress.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using std::chrono::milliseconds;

// Records what reaches the view, one text per call.
class RecordingView : public ProgressView {
  public:
    void showRange(std::uint16_t minimum, std::uint16_t maximum) override {
        shown.push_back("range " + std::to_string(minimum) + " " + std::to_string(maximum));
    }
    void showPosition(int position) override { shown.push_back("pos " + std::to_string(position)); }
    void showText(const std::string& text) override { shown.push_back("text " + text); }

    // What was shown since the last call.
    std::vector<std::string> take() {
        std::vector<std::string> taken;
        taken.swap(shown);
        return taken;
    }

    std::vector<std::string> shown;
};

class ThrottledProgressTest : public ::testing::Test {
  protected:
    void advance(milliseconds time) { now += time; }
    // Where the bar stands: the last position shown, once everything is.
    int position() {
        progress.showNow();
        const std::vector<std::string> shown = view.take();
        for (auto it = shown.rbegin(); it != shown.rend(); ++it)
            if (it->rfind("pos ", 0) == 0)
                return std::stoi(it->substr(4));
        ADD_FAILURE() << "no position shown";
        return -1;
    }

    std::chrono::steady_clock::time_point now{};
    RecordingView view;
    ThrottledProgress progress{view, [this] { return now; }};
};

using Shown = std::vector<std::string>;

TEST_F(ThrottledProgressTest, ShowsTheLatestStateOncePerIntervalAndOnlyWhatChanged) {
    progress.setRange(0, 1000);
    progress.setStep(1);
    progress.setPosition(0);
    for (int i = 1; i <= 5; ++i) {
        progress.setText("line " + std::to_string(i));
        progress.step();
        advance(milliseconds(5));
    }
    EXPECT_EQ(view.take(), Shown{}); // 25 ms: not yet

    advance(milliseconds(5));
    progress.setText("line 6");
    EXPECT_EQ(view.take(), (Shown{"range 0 1000", "pos 5", "text line 6"}));
    progress.step();
    EXPECT_EQ(view.take(), Shown{}); // the interval starts again

    advance(ThrottledProgress::kInterval);
    progress.step();
    EXPECT_EQ(view.take(), Shown{"pos 7"}); // neither range nor text changed

    // A text set again counts as changed, even when it is the same.
    advance(ThrottledProgress::kInterval);
    progress.setText("line 6");
    EXPECT_EQ(view.take(), Shown{"text line 6"});
}

TEST_F(ThrottledProgressTest, ShowsTheEndOfEachStageBeforeTheNextOneAndWhenAskedTo) {
    // A stage far shorter than the interval: a loaded file, then the backup.
    progress.setRange(0, 20);
    progress.setStep(1);
    progress.setPosition(0);
    progress.setText("Loading strings from a\n");
    for (int i = 0; i < 4; ++i)
        progress.step();
    progress.setRange(0, 1);
    EXPECT_EQ(view.take(), (Shown{"range 0 20", "pos 4", "text Loading strings from a\n"}));

    progress.setStep(1);
    progress.setPosition(0);
    progress.setText("Writing .bak for b\n");
    progress.step();
    EXPECT_EQ(view.take(), Shown{});
    progress.showNow(); // before an error message, a question or the end of the run
    EXPECT_EQ(view.take(), (Shown{"range 0 1", "pos 1", "text Writing .bak for b\n"}));
    progress.showNow();
    EXPECT_EQ(view.take(), Shown{});

    // Shown now, the state waits the interval again.
    progress.step();
    advance(ThrottledProgress::kInterval - milliseconds(1));
    progress.step();
    EXPECT_EQ(view.take(), Shown{});
}

TEST_F(ThrottledProgressTest, StepsClampsAndStartsOverAsThePlatformBarDoes) {
    // Measured on the platform's bar (Wine 8), one case per row.
    const struct {
        std::uint16_t minimum, maximum;
        int step, from, steps, expected;
    } cases[] = {
        {0, 100, 10, 50, 3, 80},        // within the range
        {0, 100, 10, 100, 1, 10},       // past the maximum: modulo the range
        {0, 1, 10, 0, 1, 0},            // a step longer than the range
        {0, 3, 10, 1, 1, 2},            //
        {5, 10, 1, 10, 1, 6},           // a minimum above 0
        {5, 10, -3, 6, 1, 8},           // below the minimum: from the maximum down
        {0, 0, 1, 0, 3, 0},             // a range of one value stays
        {0, 65535, 1, 65535, 1, 1},     // the widest 16-bit range
        {0, 65535, 1, 65534, 1, 65535}, //
        {10, 5, 1, 7, 1, 1},            // minimum above the maximum
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.minimum) + ".." + std::to_string(c.maximum) + " step " +
                     std::to_string(c.step) + " from " + std::to_string(c.from));
        progress.setRange(c.minimum, c.maximum);
        progress.setStep(c.step);
        progress.setPosition(c.from);
        for (int i = 0; i < c.steps; ++i)
            progress.step();
        EXPECT_EQ(position(), c.expected);
    }

    // A position is held within the range, and so is a position a new range leaves outside.
    progress.setRange(10, 50);
    progress.setPosition(0);
    EXPECT_EQ(position(), 10);
    progress.setPosition(70);
    EXPECT_EQ(position(), 50);
    progress.setRange(0, 20);
    EXPECT_EQ(position(), 20);
    progress.setRange(30, 40);
    EXPECT_EQ(position(), 30);
}

TEST_F(ThrottledProgressTest, AWholeRunReachesTheViewInAFewUpdatesEndingWithItsLastState) {
    // A merge of 30,000 database lines, one operation every 10 microseconds.
    progress.setRange(0, 30000);
    progress.setStep(1);
    progress.setPosition(0);
    progress.setText("Proccesing: \n");
    for (int i = 0; i < 30000; ++i) {
        progress.setText("Proccesing: " + std::to_string(i) + "\n");
        now += std::chrono::microseconds(10);
        progress.step();
    }
    progress.showNow();
    const Shown shown = view.take();
    // 0.3 s of work: about ten updates of position and text, and the range once.
    EXPECT_LE(shown.size(), 1u + 2 * 11);
    ASSERT_GE(shown.size(), 3u);
    EXPECT_EQ(shown.front(), "range 0 30000");
    EXPECT_EQ(Shown(shown.end() - 2, shown.end()),
              (Shown{"pos 30000", "text Proccesing: 29999\n"}));
}

} // namespace
