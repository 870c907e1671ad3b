#include "merge/shared_progress.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

// Records what reaches the view, one text per call.
class RecordingView : public ProgressView {
  public:
    void showRange(std::uint16_t minimum, std::uint16_t maximum) override {
        shown.push_back("range " + std::to_string(minimum) + " " + std::to_string(maximum));
    }
    void showPosition(int position) override { shown.push_back("pos " + std::to_string(position)); }
    void showText(const std::string& text) override { shown.push_back("text " + text); }

    std::vector<std::string> shown;
};

using Shown = std::vector<std::string>;

// What the view gets from the progress now.
Shown changes(SharedProgress& progress) {
    RecordingView view;
    progress.showChanges(view);
    return view.shown;
}

// Where the bar stands: the position shown once everything is.
int position(SharedProgress& progress) {
    for (const std::string& shown : changes(progress))
        if (shown.rfind("pos ", 0) == 0)
            return std::stoi(shown.substr(4));
    ADD_FAILURE() << "no position shown";
    return -1;
}

TEST(SharedProgressTest, ShowsTheLatestStateAndOnlyWhatChangedSinceItWasLastShown) {
    SharedProgress progress;
    EXPECT_EQ(changes(progress), Shown{}); // as the dialog set the bar up

    // However many operations came between, the view gets the state they left, once.
    progress.setRange(0, 1000);
    progress.setStep(1);
    progress.setPosition(0);
    for (int i = 1; i <= 30000; ++i) {
        progress.setText("line " + std::to_string(i));
        progress.step();
    }
    EXPECT_EQ(changes(progress), (Shown{"range 0 1000", "pos 1000", "text line 30000"}));
    EXPECT_EQ(changes(progress), Shown{});

    progress.step();
    EXPECT_EQ(changes(progress), Shown{"pos 1"}); // neither range nor text changed
    progress.setStep(5);
    EXPECT_EQ(changes(progress), Shown{}); // a step alone moves nothing

    // A text set again counts as changed, even when it is the same; so does a range, which
    // shows the position with it, as the platform's bar may move it.
    progress.setText("line 30000");
    EXPECT_EQ(changes(progress), Shown{"text line 30000"});
    progress.setRange(0, 1000);
    EXPECT_EQ(changes(progress), (Shown{"range 0 1000", "pos 1"}));
}

TEST(SharedProgressTest, StepsClampsAndStartsOverAsThePlatformBarDoes) {
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
    SharedProgress progress;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.minimum) + ".." + std::to_string(c.maximum) + " step " +
                     std::to_string(c.step) + " from " + std::to_string(c.from));
        progress.setRange(c.minimum, c.maximum);
        progress.setStep(c.step);
        progress.setPosition(c.from);
        for (int i = 0; i < c.steps; ++i)
            progress.step();
        EXPECT_EQ(position(progress), c.expected);
    }

    // A position is held within the range, and so is a position a new range leaves outside.
    progress.setRange(10, 50);
    progress.setPosition(0);
    EXPECT_EQ(position(progress), 10);
    progress.setPosition(70);
    EXPECT_EQ(position(progress), 50);
    progress.setRange(0, 20);
    EXPECT_EQ(position(progress), 20);
    progress.setRange(30, 40);
    EXPECT_EQ(position(progress), 30);
}

// The job's thread works on the progress while another shows it: each showing is of one
// moment of the job, never a position of one moment with a text of another.
TEST(SharedProgressTest, ShowsOneMomentOfTheJobWhileItWorksOnAnotherThread) {
    constexpr int kLines = 20000;
    SharedProgress progress;
    progress.setRange(0, kLines);
    std::atomic<bool> done{false};
    std::thread job([&] {
        for (int i = 1; i <= kLines; ++i) {
            progress.step();
            progress.setText(std::to_string(i));
        }
        done = true;
    });

    // What the view shows: the last position and text it was given.
    class LatestView : public ProgressView {
      public:
        void showRange(std::uint16_t, std::uint16_t) override {}
        void showPosition(int shown) override { position = shown; }
        void showText(const std::string& shown) override { text = std::stoi(shown); }
        int position = 0;
        int text = 0;
    } view;
    bool finished = false;
    while (!finished) {
        finished = done; // read before the last showing, so that it shows the end
        progress.showChanges(view);
        // Line i is stepped to, then named: the text is the position's line or the one before.
        if (view.text != view.position && view.text != view.position - 1) {
            ADD_FAILURE() << "position " << view.position << " with text " << view.text;
            break;
        }
        std::this_thread::yield();
    }
    job.join();
    EXPECT_EQ(view.position, kLines);
    EXPECT_EQ(view.text, kLines);
}

} // namespace
