#pragma once

#include "cli/console.h"
#include "merge/merge_screen.h"
#include "merge/shared_progress.h"

#include <chrono>
#include <optional>
#include <string>

// A progress bar and status text drawn on one line of a terminal.
class TerminalBar : public ProgressView {
  public:
    explicit TerminalBar(std::ostream& terminal) : terminal_(terminal) {}
    void showRange(std::uint16_t minimum, std::uint16_t maximum) override;
    void showPosition(int position) override;
    void showText(const std::string& text) override;
    // Takes the bar off its line, so that what is written next starts on an empty line.
    void clear();

  private:
    void draw();

    std::ostream& terminal_;
    int minimum_ = 0;
    int maximum_ = 100;
    int position_ = 0;
    std::string text_;
    bool drawn_ = false;
};

// The job's progress drawn on a terminal bar, at most every few hundredths of a second: a
// terminal needs no more, and the job steps once for every line.
class TerminalProgress : public ProgressDisplay, public StatusLine {
  public:
    explicit TerminalProgress(TerminalBar& bar) : bar_(bar) {}
    void setRange(std::uint16_t minimum, std::uint16_t maximum) override;
    void setStep(int step) override;
    void setPosition(int position) override;
    void step() override;
    void setText(const std::string& text) override;

  private:
    void drawWhenDue();

    TerminalBar& bar_;
    SharedProgress state_;
    std::chrono::steady_clock::time_point lastDrawn_;
};

// A merge's screen on the console: the progress bar on standard error when that is a
// terminal (nothing at all otherwise), questions asked there and answered on standard input,
// errors written there.
class TerminalScreen : public ConflictQuestion, public ErrorMessages {
  public:
    explicit TerminalScreen(Console& console);
    TerminalScreen(const TerminalScreen&) = delete;
    TerminalScreen& operator=(const TerminalScreen&) = delete;

    MergeScreen screen();
    // Takes the bar off the screen before the job's results are written.
    void clearProgress();

    // Shows the source path, the add-on line and the database line, and reads r or s;
    // Stop when the input ends first.
    Answer ask(const std::string& sourcePath, const std::string& baseLine,
               const std::string& customLine) override;
    void showError(const std::string& text, const std::string& caption) override;

  private:
    Console& console_;
    TerminalBar bar_;
    std::optional<TerminalProgress> progress_; // only on a terminal
    HiddenProgress hidden_;
};
