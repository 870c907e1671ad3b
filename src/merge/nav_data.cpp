#include "merge/nav_data.h"

#include <climits>
#include <cstdlib>

namespace {
// White space of the "C" locale, as isspace and scanf see it.
bool isSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isHexDigit(char c) {
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The C runtimes part in one corner of hexadecimal numbers: glibc wants a hexadecimal digit
// before the binary exponent ("0xp1" stops after "0x" and does not convert), mingw-w64 counts
// the 0 of the "0x" prefix as that digit.
#ifdef __MINGW32__
constexpr bool kHexPrefixIsADigit = true;
#else
constexpr bool kHexPrefixIsADigit = false;
#endif

// Reads the fields of a line one conversion at a time, exactly as the C runtime's sscanf
// reads "%d", "%f" and "%s": each conversion first skips white space, and the text ends at
// its first NUL byte, as a C string does.
class FieldScanner {
  public:
    explicit FieldScanner(std::string_view text) : text_(text.substr(0, text.find('\0'))) {}

    // "%d": an optional sign, then decimal digits up to the first other character.
    bool skipInteger() {
        if (!skipSpace())
            return false;
        std::size_t i = pos_;
        if (at(i) == '+' || at(i) == '-')
            ++i;
        const std::size_t digits = i;
        while (isDigit(at(i)))
            ++i;
        if (i == digits)
            return false;
        pos_ = i;
        return true;
    }

    // "%f": an optional sign, then "nan", "inf", "infinity" (any letter case), a decimal
    // number with an optional point and exponent, or a "0x" number with a binary exponent.
    // Like scanf it takes the longest text that begins a number, even when that text is not
    // a whole number itself ("1e+" converts as 1 and is gone from the input).
    bool skipDecimal() {
        if (!skipSpace())
            return false;
        std::size_t i = pos_;
        if (at(i) == '+' || at(i) == '-')
            ++i;
        if (lowerAscii(at(i)) == 'n') {
            if (!matchesWord(i, "nan"))
                return false;
            pos_ = i + 3;
            return true;
        }
        if (lowerAscii(at(i)) == 'i') {
            if (!matchesWord(i, "inf"))
                return false;
            i += 3;
            if (lowerAscii(at(i)) == 'i') { // then it must be "infinity" in full
                if (!matchesWord(i, "inity"))
                    return false;
                i += 5;
            }
            pos_ = i;
            return true;
        }

        const std::size_t start = i;
        bool hex = false, digit = false, point = false, exponent = false;
        if (at(i) == '0') {
            ++i;
            if (lowerAscii(at(i)) == 'x') {
                hex = true;
                digit = kHexPrefixIsADigit;
                ++i;
            } else {
                digit = true;
            }
        }
        const char exponentMark = hex ? 'p' : 'e';
        for (bool afterMark = false;; ++i) {
            const char c = at(i);
            const bool signMayFollow = afterMark;
            afterMark = false;
            if (isDigit(c) || (hex && !exponent && isHexDigit(c))) {
                digit = true;
            } else if (signMayFollow && (c == '+' || c == '-')) {
                // the exponent's sign
            } else if (digit && !exponent && lowerAscii(c) == exponentMark) {
                exponent = point = afterMark = true;
            } else if (!point && c == '.') {
                point = true;
            } else {
                break;
            }
        }
        // Nothing read, a bare "0x", or a bare "." does not convert.
        if (i == start || (hex && i - start == 2) || (!hex && !digit))
            return false;
        pos_ = i;
        return true;
    }

    // "%s": a run of characters other than white space.
    bool word(std::string_view& word) {
        if (!skipSpace())
            return false;
        const std::size_t start = pos_;
        while (pos_ < text_.size() && !isSpace(text_[pos_]))
            ++pos_;
        word = text_.substr(start, pos_ - start);
        return true;
    }

  private:
    // False when only white space is left.
    bool skipSpace() {
        while (pos_ < text_.size() && isSpace(text_[pos_]))
            ++pos_;
        return pos_ < text_.size();
    }

    char at(std::size_t i) const { return i < text_.size() ? text_[i] : '\0'; }

    bool matchesWord(std::size_t i, std::string_view lowerWord) const {
        for (char c : lowerWord) {
            if (lowerAscii(at(i++)) != c)
                return false;
        }
        return true;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

// The whole-degree part of a coordinate text: the characters before its last '.'.
double wholeDegrees(std::string_view coordinate) {
    const std::size_t dot = coordinate.rfind('.');
    const std::string part(coordinate.substr(0, dot));
    return std::strtod(part.c_str(), nullptr);
}
} // namespace

std::optional<int> rowCode(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && isSpace(line[i]))
        ++i;
    bool negative = false;
    if (i < line.size() && (line[i] == '+' || line[i] == '-'))
        negative = line[i++] == '-';
    if (i == line.size() || !isDigit(line[i]))
        return std::nullopt;
    // Values beyond int saturate, so an overlong number never wraps into a navaid code.
    long long value = 0;
    for (; i < line.size() && isDigit(line[i]); ++i) {
        if (value <= INT_MAX)
            value = value * 10 + (line[i] - '0');
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

NavaidRecord parseNavaidRow(std::string_view line) {
    NavaidRecord record;
    record.line = line;
    FieldScanner scan(line);
    if (!scan.skipInteger())
        return record;
    record.type = *rowCode(line);
    if (!(scan.skipDecimal() && scan.skipDecimal() && scan.skipDecimal() && scan.skipInteger() &&
          scan.skipInteger() && scan.skipDecimal()))
        return record;
    std::string_view callsign, name, rwyName;
    if (scan.word(callsign) && scan.word(name))
        scan.word(rwyName);
    record.callsign = callsign;
    record.name = name;
    record.rwyName = rwyName;
    return record;
}

CoordinateCell coordinateCell(std::string_view line) {
    // Skip the first word (the row code), then take the next two.
    std::string_view words[3];
    std::size_t i = 0;
    for (std::string_view& word : words) {
        while (i < line.size() && isSpace(line[i]))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && !isSpace(line[i]))
            ++i;
        word = line.substr(start, i - start);
    }
    return {wholeDegrees(words[1]), wholeDegrees(words[2])};
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
