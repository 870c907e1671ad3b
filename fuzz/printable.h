#pragma once

#include <cstdio>
#include <string>
#include <string_view>

// Text for a fuzz target's report: printable ASCII as it is, every other byte and the
// backslash as \xNN.
inline std::string printable(std::string_view text) {
    std::string out;
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7f && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
            out += escaped;
        }
    }
    return out;
}
