#pragma once

#include "merge/merge_screen.h"

#include <cstdint>
#include <mutex>
#include <string>

// Where a SharedProgress shows its state: a bar's range and position, a status line's text.
class ProgressView {
  public:
    virtual ~ProgressView() = default;
    virtual void showRange(std::uint16_t minimum, std::uint16_t maximum) = 0;
    virtual void showPosition(int position) = 0;
    virtual void showText(const std::string& text) = 0;
};

// A progress bar and status line that the job works on from its thread, and that windows of
// another thread show when they choose: each operation only changes the state kept here, and
// showChanges() puts on a view the current range, position and latest text, each only if it
// was set since it was last shown. It keeps the bar's state itself and steps as the platform's
// bar does. Every member may be called from any thread.
class SharedProgress : public ProgressDisplay, public StatusLine {
  public:
    // Starts from the bar as the progress dialog sets it up: range 0 to 100, step 1,
    // position 0, shown already.
    SharedProgress() = default;
    SharedProgress(const SharedProgress&) = delete;
    SharedProgress& operator=(const SharedProgress&) = delete;

    void setRange(std::uint16_t minimum, std::uint16_t maximum) override;
    void setStep(int step) override;
    void setPosition(int position) override;
    void step() override;
    void setText(const std::string& text) override;

    // Shows on the view whatever it does not show yet. The view is called without the state
    // locked, so the job goes on meanwhile.
    void showChanges(ProgressView& view);

  private:
    void clampPosition();

    std::mutex mutex_; // guards everything below
    int minimum_ = 0;
    int maximum_ = 100;
    int step_ = 1;
    int position_ = 0;
    std::string text_;
    bool rangeChanged_ = false;
    bool positionChanged_ = false;
    bool textChanged_ = false;
};
