#pragma once

#include "merge/merge_screen.h"

#include <windows.h>

// The merge's screen in the progress dialog: its bar, its status line, the conflict prompt
// owned by the dialog, and error message boxes. Used on the worker thread; every call waits
// until the user-interface thread has handled it.

class ProgressBarDisplay : public ProgressDisplay {
  public:
    explicit ProgressBarDisplay(HWND bar) : bar_(bar) {}
    void setRange(std::uint16_t minimum, std::uint16_t maximum) override;
    void setStep(int step) override;
    void setPosition(int position) override;
    void step() override;

  private:
    HWND bar_;
};

// The dialog's one static text (id -1).
class DialogStatusLine : public StatusLine {
  public:
    explicit DialogStatusLine(HWND dialog) : dialog_(dialog) {}
    void setText(const std::string& text) override;

  private:
    HWND dialog_;
};

class ConflictPromptQuestion : public ConflictQuestion {
  public:
    ConflictPromptQuestion(HINSTANCE instance, HWND owner) : instance_(instance), owner_(owner) {}
    int ask(const std::string& sourcePath, const std::string& baseLine,
            const std::string& customLine) override;

  private:
    HINSTANCE instance_;
    HWND owner_;
};

class ErrorMessageBoxes : public ErrorMessages {
  public:
    void showError(const std::string& text, const std::string& caption) override;
};

// All four for one progress dialog and its bar.
class ProgressDialogScreen {
  public:
    ProgressDialogScreen(HINSTANCE instance, HWND dialog, HWND bar)
        : progress_(bar), status_(dialog), question_(instance, dialog) {}
    MergeScreen screen() { return {progress_, status_, question_, errors_}; }

  private:
    ProgressBarDisplay progress_;
    DialogStatusLine status_;
    ConflictPromptQuestion question_;
    ErrorMessageBoxes errors_;
};
