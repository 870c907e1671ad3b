#pragma once

#include "merge/merge_screen.h"

#include <deque>
#include <string>
#include <vector>

// Records everything a merge shows, one text per event, and answers its questions from a
// script (Skip once the script runs out).
class RecordingScreen : public ProgressDisplay,
                        public StatusLine,
                        public ConflictQuestion,
                        public ErrorMessages {
  public:
    struct Question {
        std::string sourcePath, baseLine, customLine;
    };

    MergeScreen screen() { return {*this, *this, *this, *this}; }

    void setRange(std::uint16_t minimum, std::uint16_t maximum) override {
        events.push_back("range " + std::to_string(minimum) + " " + std::to_string(maximum));
    }
    void setStep(int step) override { events.push_back("step " + std::to_string(step)); }
    void setPosition(int position) override { events.push_back("pos " + std::to_string(position)); }
    void step() override { events.push_back("stepit"); }
    void setText(const std::string& text) override { events.push_back("status " + text); }
    Answer ask(const std::string& sourcePath, const std::string& baseLine,
               const std::string& customLine) override {
        questions.push_back({sourcePath, baseLine, customLine});
        if (answers.empty())
            return Answer::Skip;
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void showError(const std::string& text, const std::string& caption) override {
        errors.push_back(caption + ": " + text);
    }

    std::vector<std::string> events;
    std::vector<Question> questions;
    std::vector<std::string> errors;
    std::deque<Answer> answers;
};
