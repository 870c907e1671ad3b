#pragma once

#include "merge/merge_screen.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

// Where a ThrottledProgress shows its state: a bar's range and position, a status line's text.
class ProgressView {
  public:
    virtual ~ProgressView() = default;
    virtual void showRange(std::uint16_t minimum, std::uint16_t maximum) = 0;
    virtual void showPosition(int position) = 0;
    virtual void showText(const std::string& text) = 0;
};

// A progress bar and status line that take every operation at once but show them on a view
// that is slow to update (windows of another thread) at most once per interval: then the
// current range, position and latest text, each only if it was set since it was last shown.
// It keeps the bar's state itself and steps as the platform's bar does.
//
// The end of each stage is always shown: a new range first shows the state reached so far,
// and so does showNow(), for the moments the user waits at (a question, an error message,
// the end of the run).
class ThrottledProgress : public ProgressDisplay, public StatusLine {
  public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    static constexpr std::chrono::milliseconds kInterval{30};

    // Starts from the bar as the progress dialog sets it up: range 0 to 100, step 1,
    // position 0, shown already.
    ThrottledProgress(ProgressView& view, Clock clock);

    void setRange(std::uint16_t minimum, std::uint16_t maximum) override;
    void setStep(int step) override;
    void setPosition(int position) override;
    void step() override;
    void setText(const std::string& text) override;

    // Shows whatever the view does not show yet.
    void showNow();

  private:
    void showWhenDue();
    void clampPosition();

    ProgressView& view_;
    Clock clock_;
    std::chrono::steady_clock::time_point lastShown_;
    int minimum_ = 0;
    int maximum_ = 100;
    int step_ = 1;
    int position_ = 0;
    std::string text_;
    bool rangeChanged_ = false;
    bool positionChanged_ = false;
    bool textChanged_ = false;
};
