#include "base/text.h"

#include <algorithm>
#include <cstdint>

void makeUpperAscii(std::string& text) {
    for (char& c : text)
        c = upperAscii(c);
}

std::string upperCased(std::string_view text) {
    std::string upper(text);
    makeUpperAscii(upper);
    return upper;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
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

namespace {
// The text after an optional sign.
std::string_view withoutSign(std::string_view text) {
    if (!text.empty() && (text[0] == '+' || text[0] == '-'))
        text.remove_prefix(1);
    return text;
}
} // namespace

bool isPlainDecimal(std::string_view text) {
    bool point = false, digit = false;
    for (const char c : withoutSign(text)) {
        if (c == '.' && !point)
            point = true;
        else if (isDigit(c))
            digit = true;
        else
            return false;
    }
    return digit;
}

bool isWholeNumber(std::string_view text) {
    const std::string_view digits = withoutSign(text);
    return !digits.empty() && std::all_of(digits.begin(), digits.end(), isDigit);
}

std::optional<double> plainDecimal(std::string_view text) {
    constexpr int kMostDigits = 15;
    constexpr double kPowersOfTen[kMostDigits + 1] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                      1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const bool negative = !text.empty() && text[0] == '-';
    long long value = 0;
    int digits = 0, decimals = 0;
    bool point = false;
    for (const char c : withoutSign(text)) {
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        if (!isDigit(c) || ++digits > kMostDigits)
            return std::nullopt;
        value = value * 10 + (c - '0');
        decimals += point ? 1 : 0;
    }
    if (digits == 0)
        return std::nullopt;
    const double magnitude = static_cast<double>(value) / kPowersOfTen[decimals];
    return negative ? -magnitude : magnitude;
}

bool isValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
        const unsigned char lead = byte(i);
        std::size_t length = 1;
        unsigned least = 0; // the least code point that needs this many bytes
        if (lead < 0x80) {
            ++i;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2, least = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3, least = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4, least = 0x10000;
        } else {
            return false;
        }
        if (i + length > text.size())
            return false;
        unsigned codePoint = lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            if ((byte(i + k) & 0xC0) != 0x80)
                return false;
            codePoint = (codePoint << 6) | (byte(i + k) & 0x3F);
        }
        if (codePoint < least || codePoint > 0x10FFFF ||
            (codePoint >= 0xD800 && codePoint <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}
