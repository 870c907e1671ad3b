#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Small helpers for text taken as bytes, as the "C" locale sees it: ASCII letter case, blanks,
// digits and words, line ends, the UTF-8 byte-order mark. Bytes above 127 are never letters,
// blanks or digits.

// ---- The UTF-8 byte-order mark.

inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

inline bool startsWithByteOrderMark(std::string_view text) {
    return text.substr(0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark;
}

// The text after a byte-order mark at its start; the text itself when it starts with none.
inline std::string_view withoutByteOrderMark(std::string_view text) {
    return startsWithByteOrderMark(text) ? text.substr(kUtf8ByteOrderMark.size()) : text;
}

// ---- Letter case: only a-z and A-Z are letters.

inline char upperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Upper-cases the letters of text in place.
void makeUpperAscii(std::string& text);
// A copy of the text with its letters upper-cased.
std::string upperCased(std::string_view text);

// Letters compared without regard to case; every other byte must be equal.
bool equalsIgnoringCase(std::string_view a, std::string_view b);
// A hash that is the same for texts that equalsIgnoringCase finds equal, on every platform.
std::size_t caseBlindHash(std::string_view text);

// ---- Blanks, digits and words, as isspace and isdigit see them.

inline bool isBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
inline bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The text without the blanks at its start and end.
std::string_view trimmed(std::string_view text);

// The next word of text from `at` on, or an empty view at the end.
inline std::string_view nextWord(std::string_view text, std::size_t& at) {
    while (at < text.size() && isBlank(text[at]))
        ++at;
    const std::size_t start = at;
    while (at < text.size() && !isBlank(text[at]))
        ++at;
    return text.substr(start, at - start);
}

// ---- UTF-8.

// Whether the text is valid UTF-8: no stray, overlong or surrogate sequence, nothing above
// U+10FFFF.
bool isValidUtf8(std::string_view text);

// ---- Numbers written as plain decimals: an optional sign, then digits with at most one point
// among or after them ("12", "-0.5", "7.", ".25").

bool isPlainDecimal(std::string_view text);
// An optional sign and digits alone.
bool isWholeNumber(std::string_view text);

// A plain decimal of up to 15 digits as strtod converts it: the digits make a whole number
// that a double holds exactly, and so does the power of ten it is divided by, so the one
// division rounds as strtod does. "-0" gives -0. None for any other text.
std::optional<double> plainDecimal(std::string_view text);

// ---- Line ends.

// The line without the line feeds and carriage returns at its end.
inline std::string_view withoutLineEnd(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.remove_suffix(1);
    return line;
}
