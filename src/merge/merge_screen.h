#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// What a merge shows on screen. The windows implement these; tests record them.

// A progress bar: a 16-bit range, a step, a position; a step past the maximum starts over
// from the minimum.
class ProgressDisplay {
  public:
    virtual ~ProgressDisplay() = default;
    virtual void setRange(std::uint16_t minimum, std::uint16_t maximum) = 0;
    virtual void setStep(int step) = 0;
    virtual void setPosition(int position) = 0;
    virtual void step() = 0;
};

class StatusLine {
  public:
    virtual ~StatusLine() = default;
    virtual void setText(const std::string& text) = 0;
};

// A bar and a status line where nothing is shown.
class HiddenProgress : public ProgressDisplay, public StatusLine {
  public:
    void setRange(std::uint16_t, std::uint16_t) override {}
    void setStep(int) override {}
    void setPosition(int) override {}
    void step() override {}
    void setText(const std::string&) override {}
};

// The answer to the conflict question: the add-on line replaces the database line, the
// database line stays, or the merge stops before it writes anything (no answer can be had).
enum class Answer { Replace, Skip, Stop };

// Asks whether a custom line replaces a conflicting database line.
class ConflictQuestion {
  public:
    virtual ~ConflictQuestion() = default;
    virtual Answer ask(const std::string& sourcePath, const std::string& baseLine,
                       const std::string& customLine) = 0;
};

// A modal error message with an error icon and no owner window.
class ErrorMessages {
  public:
    virtual ~ErrorMessages() = default;
    virtual void showError(const std::string& text, const std::string& caption) = 0;
};

struct MergeScreen {
    ProgressDisplay& progress;
    StatusLine& status;
    ConflictQuestion& question;
    ErrorMessages& errors;
};

// A line of a file as the user is shown it: a CR LF at its end as a line feed.
std::string shownLine(std::string_view line);

// A merge's status line: a prefix and a text shown with a line feed after them, a CR LF at
// the text's end shown as a line feed. One buffer serves every text, since a merge shows one
// for every database row.
class MergeStatus {
  public:
    explicit MergeStatus(StatusLine& line) : line_(line) {}
    void show(std::string_view prefix, std::string_view text);

  private:
    StatusLine& line_;
    std::string text_;
};

// The caption of the merge's file errors.
inline constexpr const char* kErrorCaption = "Error!";
