#pragma once

#include "merge/merge_screen.h"

#include <string>

// A merge screen that shows nothing. With Skip or Replace settings no question should be
// asked and no error shown: both are counted, so a benchmark can tell a run went wrong.
class QuietScreen : public ProgressDisplay,
                    public StatusLine,
                    public ConflictQuestion,
                    public ErrorMessages {
  public:
    MergeScreen screen() { return {*this, *this, *this, *this}; }
    void setRange(std::uint16_t, std::uint16_t) override {}
    void setStep(int) override {}
    void setPosition(int) override {}
    void step() override {}
    void setText(const std::string&) override {}
    Answer ask(const std::string&, const std::string&, const std::string&) override {
        ++questions;
        return Answer::Skip;
    }
    void showError(const std::string&, const std::string&) override { ++errors; }

    int questions = 0;
    int errors = 0;
};
