#include "merge/shared_progress.h"

#include <optional>
#include <utility>

void SharedProgress::setRange(std::uint16_t minimum, std::uint16_t maximum) {
    const std::lock_guard<std::mutex> lock(mutex_);
    // As the platform's bar: the same range again leaves the position as it is.
    if (minimum != minimum_ || maximum != maximum_) {
        minimum_ = minimum;
        maximum_ = maximum;
        clampPosition();
    }
    rangeChanged_ = true;
    positionChanged_ = true;
}

void SharedProgress::setStep(int step) {
    const std::lock_guard<std::mutex> lock(mutex_);
    step_ = step;
}

void SharedProgress::setPosition(int position) {
    const std::lock_guard<std::mutex> lock(mutex_);
    // As the platform's bar: the same position again is left as it is.
    if (position != position_) {
        position_ = position;
        clampPosition();
    }
    positionChanged_ = true;
}

void SharedProgress::step() {
    const std::lock_guard<std::mutex> lock(mutex_);
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
}

void SharedProgress::setText(const std::string& text) {
    const std::lock_guard<std::mutex> lock(mutex_);
    text_ = text;
    textChanged_ = true;
}

void SharedProgress::showChanges(ProgressView& view) {
    std::optional<std::pair<std::uint16_t, std::uint16_t>> range;
    std::optional<int> position;
    std::optional<std::string> text;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (rangeChanged_)
            range.emplace(static_cast<std::uint16_t>(minimum_),
                          static_cast<std::uint16_t>(maximum_));
        if (positionChanged_)
            position = position_;
        if (textChanged_)
            text = text_;
        rangeChanged_ = positionChanged_ = textChanged_ = false;
    }
    if (range)
        view.showRange(range->first, range->second);
    if (position)
        view.showPosition(*position);
    if (text)
        view.showText(*text);
}

void SharedProgress::clampPosition() {
    // The bar's order: first up to the minimum, then down to the maximum.
    if (position_ < minimum_)
        position_ = minimum_;
    if (position_ > maximum_)
        position_ = maximum_;
}
