#include "base/legacy_text.h"

std::string legacyTextAsUtf8(std::string_view text) {
    // File names and texts here are bytes; no code page tells them apart.
    return std::string(text);
}
