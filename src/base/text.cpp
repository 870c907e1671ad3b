#include "base/text.h"

#include <cstdint>

void makeUpperAscii(std::string& text) {
    for (char& c : text)
        c = upperAscii(c);
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (upperAscii(a[i]) != upperAscii(b[i]))
            return false;
    }
    return true;
}

std::size_t caseBlindHash(std::string_view text) {
    std::uint64_t hash = 0xcbf29ce484222325ull; // FNV-1a, in 64 bits on every platform
    for (const char c : text)
        hash = (hash ^ static_cast<unsigned char>(upperAscii(c))) * 0x100000001b3ull;
    return static_cast<std::size_t>(hash ^ (hash >> 32));
}
