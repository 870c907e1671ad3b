#include "merge/merge_screen.h"

namespace {
void showLineEndAsLineFeed(std::string& text) {
    if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0)
        text.erase(text.size() - 2, 1);
}
} // namespace

std::string shownLine(std::string_view line) {
    std::string text(line);
    showLineEndAsLineFeed(text);
    return text;
}

void MergeStatus::show(std::string_view prefix, std::string_view text) {
    text_.assign(prefix);
    text_ += text;
    showLineEndAsLineFeed(text_);
    text_ += '\n';
    line_.setText(text_);
}
