#include "cli/json_string.h"

#include <cstdio>

namespace {
// The length of the UTF-8 sequence that starts at text[at], or 0 when none does.
std::size_t utf8SequenceAt(const std::string& text, std::size_t at) {
    const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    const std::size_t length = lead >= 0xF0 && lead <= 0xF4   ? 4
                               : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xC2 && lead <= 0xDF ? 2
                                                              : 0;
    if (length == 0 || at + length > text.size())
        return 0;
    for (std::size_t i = at + 1; i < at + length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
    }
    return length;
}
} // namespace

std::string jsonString(const std::string& text) {
    std::string json = "\"";
    for (std::size_t at = 0; at < text.size();) {
        const auto byte = static_cast<unsigned char>(text[at]);
        char escaped[8];
        if (byte == '"' || byte == '\\') {
            json += '\\';
            json += text[at++];
        } else if (byte < 0x20) {
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            json += escaped;
            ++at;
        } else if (byte < 0x80) {
            json += text[at++];
        } else if (const std::size_t length = utf8SequenceAt(text, at)) {
            json.append(text, at, length);
            at += length;
        } else {
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            json += escaped;
            ++at;
        }
    }
    return json + "\"";
}
