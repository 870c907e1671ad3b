#include "cli/terminal_screen.h"

#include "base/text.h"

#include <algorithm>
#include <chrono>
#include <istream>
#include <ostream>

namespace {
// Within the 80 columns of a classic terminal, so the bar never wraps.
constexpr std::size_t kLineWidth = 79;
constexpr int kBarCells = 24;
constexpr std::chrono::milliseconds kRedrawInterval{50};
} // namespace

void TerminalBar::showRange(std::uint16_t minimum, std::uint16_t maximum) {
    minimum_ = minimum;
    maximum_ = maximum;
    draw();
}

void TerminalBar::showPosition(int position) {
    position_ = position;
    draw();
}

void TerminalBar::showText(const std::string& text) {
    text_ = withoutLineEnd(text);
    for (char& c : text_) {
        if (c == '\t' || c == '\r' || c == '\n')
            c = ' ';
    }
    draw();
}

void TerminalBar::draw() {
    const int span = maximum_ - minimum_;
    const int done = span > 0 ? std::clamp((position_ - minimum_) * 100 / span, 0, 100) : 100;
    const int cells = done * kBarCells / 100;
    std::string line = "[" + std::string(static_cast<std::size_t>(cells), '#') +
                       std::string(static_cast<std::size_t>(kBarCells - cells), ' ') + "] ";
    const std::string percent = std::to_string(done) + "% ";
    line += std::string(5 - percent.size(), ' ') + percent + text_;
    line.resize(kLineWidth, ' ');
    terminal_ << '\r' << line << std::flush;
    drawn_ = true;
}

void TerminalBar::clear() {
    if (!drawn_)
        return;
    terminal_ << '\r' << std::string(kLineWidth, ' ') << '\r' << std::flush;
    drawn_ = false;
}

void TerminalProgress::setRange(std::uint16_t minimum, std::uint16_t maximum) {
    state_.setRange(minimum, maximum);
    drawWhenDue();
}

void TerminalProgress::setStep(int step) {
    state_.setStep(step);
}

void TerminalProgress::setPosition(int position) {
    state_.setPosition(position);
    drawWhenDue();
}

void TerminalProgress::step() {
    state_.step();
    drawWhenDue();
}

void TerminalProgress::setText(const std::string& text) {
    state_.setText(text);
    drawWhenDue();
}

void TerminalProgress::drawWhenDue() {
    const auto now = std::chrono::steady_clock::now();
    if (now - lastDrawn_ < kRedrawInterval)
        return;
    lastDrawn_ = now;
    state_.showChanges(bar_);
}

TerminalScreen::TerminalScreen(Console& console) : console_(console), bar_(console.err) {
    if (console.showsProgress)
        progress_.emplace(bar_);
}

MergeScreen TerminalScreen::screen() {
    if (progress_)
        return {*progress_, *progress_, *this, *this};
    return {hidden_, hidden_, *this, *this};
}

void TerminalScreen::clearProgress() {
    bar_.clear();
}

Answer TerminalScreen::ask(const std::string& sourcePath, const std::string& baseLine,
                           const std::string& customLine) {
    clearProgress();
    std::ostream& err = console_.err;
    err << "I distrust in identity two strings, in CALLSIGN or NAME:\n"
        << "String from Custom Scenery " << sourcePath << "\n"
        << "  " << withoutLineEnd(customLine) << "\n"
        << "String from X-Plane :\n"
        << "  " << withoutLineEnd(baseLine) << "\n";
    for (;;) {
        err << "Replace this String (r) or Skip this String (s)? " << std::flush;
        std::string answer;
        if (!std::getline(console_.in, answer)) {
            err << "\n";
            return Answer::Stop;
        }
        answer.resize(withoutLineEnd(answer).size());
        if (answer == "r" || answer == "R")
            return Answer::Replace;
        if (answer == "s" || answer == "S")
            return Answer::Skip;
    }
}

void TerminalScreen::showError(const std::string& text, const std::string&) {
    clearProgress();
    console_.err << "quillet: " << text << "\n";
}
