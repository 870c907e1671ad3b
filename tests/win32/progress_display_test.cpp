// The merge's progress keeps the bar's position itself, so that the dialog can show it on
// the real bar only now and then. Here it must agree with the platform's bar at every step.
#include "merge/shared_progress.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <string>

namespace {

// Keeps the last position shown.
class PositionView : public ProgressView {
  public:
    void showRange(std::uint16_t, std::uint16_t) override {}
    void showPosition(int shown) override { position = shown; }
    void showText(const std::string&) override {}

    int position = -1;
};

class PlatformBar {
  public:
    PlatformBar() {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
        bar_ = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_POPUP, 0, 0, 200, 20, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    }
    ~PlatformBar() { DestroyWindow(bar_); }
    PlatformBar(const PlatformBar&) = delete;
    PlatformBar& operator=(const PlatformBar&) = delete;

    bool exists() const { return bar_ != nullptr; }
    void setRange(std::uint16_t minimum, std::uint16_t maximum) {
        SendMessageA(bar_, PBM_SETRANGE, 0, MAKELPARAM(minimum, maximum));
    }
    void setStep(int step) { SendMessageA(bar_, PBM_SETSTEP, static_cast<WPARAM>(step), 0); }
    void setPosition(int position) {
        SendMessageA(bar_, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    }
    void step() { SendMessageA(bar_, PBM_STEPIT, 0, 0); }
    int position() const { return static_cast<int>(SendMessageA(bar_, PBM_GETPOS, 0, 0)); }

  private:
    HWND bar_ = nullptr;
};

TEST(ProgressDisplayTest, StepsClampsAndStartsOverExactlyAsThePlatformBar) {
    PlatformBar bar;
    ASSERT_TRUE(bar.exists());
    PositionView view;
    SharedProgress progress;
    auto expectSamePosition = [&](const std::string& what) {
        progress.showChanges(view);
        EXPECT_EQ(view.position, bar.position()) << what;
    };

    const struct {
        std::uint16_t minimum, maximum;
    } ranges[] = {{0, 0}, {0, 1}, {0, 3}, {5, 10}, {0, 100}, {10, 5}, {0, 65535}, {65530, 65535}};
    for (const auto& range : ranges) {
        const int middle = (range.minimum + range.maximum) / 2;
        for (int start : {-5, int(range.minimum), middle, int(range.maximum), range.maximum + 5}) {
            for (int step : {1, 3, 10, 100, -3, -7}) {
                const std::string what = std::to_string(range.minimum) + ".." +
                                         std::to_string(range.maximum) + " from " +
                                         std::to_string(start) + " step " + std::to_string(step);
                bar.setRange(range.minimum, range.maximum);
                progress.setRange(range.minimum, range.maximum);
                expectSamePosition(what + ", new range");
                bar.setStep(step);
                progress.setStep(step);
                bar.setPosition(start);
                progress.setPosition(start);
                expectSamePosition(what + ", position set");
                for (int i = 1; i <= 12; ++i) {
                    bar.step();
                    progress.step();
                    expectSamePosition(what + ", step " + std::to_string(i));
                }
            }
        }
    }
}

} // namespace
