#include "merge/throttled_progress.h"

#include <utility>

ThrottledProgress::ThrottledProgress(ProgressView& view, Clock clock)
    : view_(view), clock_(std::move(clock)), lastShown_(clock_()) {}

void ThrottledProgress::setRange(std::uint16_t minimum, std::uint16_t maximum) {
    // A new stage: the user sees where the last one ended.
    showNow();
    // As the platform's bar: the same range again leaves the position as it is.
    if (minimum != minimum_ || maximum != maximum_) {
        minimum_ = minimum;
        maximum_ = maximum;
        clampPosition();
    }
    rangeChanged_ = true;
    positionChanged_ = true;
    showWhenDue();
}

void ThrottledProgress::setStep(int step) {
    step_ = step;
}

void ThrottledProgress::setPosition(int position) {
    // As the platform's bar: the same position again is left as it is.
    if (position != position_) {
        position_ = position;
        clampPosition();
    }
    positionChanged_ = true;
    showWhenDue();
}

void ThrottledProgress::step() {
    // As the platform's bar steps: a position carried past either bound starts over from the
    // other side, modulo the range; a range of one value keeps its position.
    if (minimum_ != maximum_) {
        const long long span = maximum_ - minimum_;
        long long position = static_cast<long long>(position_) + step_;
        if (position > maximum_)
            position = (position - minimum_) % span + minimum_;
        if (position < minimum_)
            position = (position - minimum_) % span + maximum_;
        position_ = static_cast<int>(position);
    }
    positionChanged_ = true;
    showWhenDue();
}

void ThrottledProgress::setText(const std::string& text) {
    text_ = text;
    textChanged_ = true;
    showWhenDue();
}

void ThrottledProgress::showNow() {
    if (rangeChanged_)
        view_.showRange(static_cast<std::uint16_t>(minimum_), static_cast<std::uint16_t>(maximum_));
    if (positionChanged_)
        view_.showPosition(position_);
    if (textChanged_)
        view_.showText(text_);
    rangeChanged_ = positionChanged_ = textChanged_ = false;
    lastShown_ = clock_();
}

void ThrottledProgress::showWhenDue() {
    if (clock_() - lastShown_ >= kInterval)
        showNow();
}

void ThrottledProgress::clampPosition() {
    // The bar's order: first up to the minimum, then down to the maximum.
    if (position_ < minimum_)
        position_ = minimum_;
    if (position_ > maximum_)
        position_ = maximum_;
}
