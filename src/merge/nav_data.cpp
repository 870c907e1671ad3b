#include "merge/nav_data.h"

#include "base/text_file.h"

#include <climits>
#include <cmath>
#include <cstdlib>

namespace {
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
// its first NUL byte, as a C string does (no conversion reads a NUL, and none starts there).
class FieldScanner {
  public:
    explicit FieldScanner(std::string_view text)
        : at_(text.data()), end_(text.data() + text.size()) {}

    // "%d": an optional sign, then decimal digits up to the first other character. Values
    // beyond int saturate, so an overlong number never wraps into a navaid code.
    bool integer(int* value = nullptr) {
        if (!skipSpace())
            return false;
        const char* p = at_;
        const bool negative = *p == '-';
        if (*p == '+' || *p == '-')
            ++p;
        const char* const digits = p;
        long long magnitude = 0;
        for (; p != end_ && isDigit(*p); ++p) {
            if (magnitude <= INT_MAX)
                magnitude = magnitude * 10 + (*p - '0');
        }
        if (p == digits)
            return false;
        at_ = p;
        if (value != nullptr) {
            const long long signedValue = negative ? -magnitude : magnitude;
            *value = static_cast<int>(signedValue > INT_MAX   ? INT_MAX
                                      : signedValue < INT_MIN ? INT_MIN
                                                              : signedValue);
        }
        return true;
    }

    // "%f": an optional sign, then "nan", "inf", "infinity" (any letter case), a decimal
    // number with an optional point and exponent, or a "0x" number with a binary exponent.
    // Like scanf it takes the longest text that begins a number, even when that text is not
    // a whole number itself ("1e+" converts as 1 and is gone from the input).
    bool skipDecimal() {
        if (!skipSpace())
            return false;
        const char* p = at_;
        if (*p == '+' || *p == '-')
            ++p;
        return skipPlainDecimal(p) || skipOtherDecimal(p);
    }

    // "%s": a run of characters other than white space.
    bool word(std::string_view& word) {
        if (!skipSpace())
            return false;
        const char* p = at_;
        while (p != end_ && !isBlank(*p) && *p != '\0')
            ++p;
        word = std::string_view(at_, static_cast<std::size_t>(p - at_));
        at_ = p;
        return true;
    }

  private:
    // The usual case, digits with an optional point and more digits up to white space or
    // the end, read without the general rules (which would read it the same way).
    bool skipPlainDecimal(const char* p) {
        const char* const digits = p;
        while (p != end_ && isDigit(*p))
            ++p;
        if (p == digits)
            return false;
        if (p != end_ && *p == '.') {
            ++p;
            while (p != end_ && isDigit(*p))
                ++p;
        }
        if (p != end_ && !isBlank(*p))
            return false;
        at_ = p;
        return true;
    }

    // "%f" after its sign, p, for every other text.
    bool skipOtherDecimal(const char* p) {
        if (lowerAscii(charAt(p)) == 'n') {
            if (!matchesWord(p, "nan"))
                return false;
            at_ = p + 3;
            return true;
        }
        if (lowerAscii(charAt(p)) == 'i') {
            if (!matchesWord(p, "inf"))
                return false;
            p += 3;
            if (lowerAscii(charAt(p)) == 'i') { // then it must be "infinity" in full
                if (!matchesWord(p, "inity"))
                    return false;
                p += 5;
            }
            at_ = p;
            return true;
        }

        const char* const start = p;
        bool hex = false, digit = false, point = false, exponent = false;
        if (charAt(p) == '0') {
            ++p;
            if (lowerAscii(charAt(p)) == 'x') {
                hex = true;
                digit = kHexPrefixIsADigit;
                ++p;
            } else {
                digit = true;
            }
        }
        const char exponentMark = hex ? 'p' : 'e';
        for (bool afterMark = false;; ++p) {
            const char c = charAt(p);
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
        if (p == start || (hex && p - start == 2) || (!hex && !digit))
            return false;
        at_ = p;
        return true;
    }

    // False when nothing but white space is left before the end or a NUL.
    bool skipSpace() {
        const char* p = at_;
        while (p != end_ && isBlank(*p))
            ++p;
        at_ = p;
        return p != end_ && *p != '\0';
    }

    char charAt(const char* p) const { return p < end_ ? *p : '\0'; }

    bool matchesWord(const char* p, std::string_view lowerWord) const {
        for (char c : lowerWord) {
            if (lowerAscii(charAt(p++)) != c)
                return false;
        }
        return true;
    }

    const char* at_;
    const char* const end_;
};

// The whole-degree part of a coordinate text: the characters before its last '.', as strtod
// converts them.
double wholeDegrees(std::string_view coordinate) {
    const std::string_view part = coordinate.substr(0, coordinate.rfind('.'));
    if (const std::optional<double> value = plainDecimal(part))
        return *value;
    const std::string text(part);
    return std::strtod(text.c_str(), nullptr);
}
} // namespace

std::optional<int> rowCode(std::string_view line) {
    int code = 0;
    if (!FieldScanner(line).integer(&code))
        return std::nullopt;
    return code;
}

namespace {
// The row code and the six numbers after it.
bool readNumbers(FieldScanner& scan, NavaidRecord& record) {
    return scan.integer(&record.type) && scan.skipDecimal() && scan.skipDecimal() &&
           scan.skipDecimal() && scan.integer() && scan.integer() && scan.skipDecimal();
}
} // namespace

NavaidRecord parseNavaidRow(std::string_view line) {
    NavaidRecord record;
    record.line = line;
    FieldScanner scan(line);
    if (!readNumbers(scan, record))
        return record;
    std::string_view callsign, name, rwyName;
    if (scan.word(callsign) && scan.word(name))
        scan.word(rwyName);
    record.callsign = callsign;
    record.name = name;
    record.rwyName = rwyName;
    return record;
}

NavaidRecord parseNavaidRow(std::string_view line, NavFormat format) {
    if (!hasTerminalAndRegion(format))
        return parseNavaidRow(line);
    NavaidRecord record;
    record.line = line;
    FieldScanner scan(line);
    if (!readNumbers(scan, record))
        return record;
    std::string_view callsign, terminal, region, word;
    if (!(scan.word(callsign) && scan.word(terminal) && scan.word(region)))
        return record;
    record.callsign = callsign;
    record.terminal = terminal;
    record.region = region;
    // The name runs from its first word to the end of its last, before any NUL byte.
    if (scan.word(word)) {
        std::string_view name = line.substr(static_cast<std::size_t>(word.data() - line.data()));
        name = name.substr(0, name.find('\0'));
        while (isBlank(name.back()))
            name.remove_suffix(1);
        record.name = name;
    }
    return record;
}

std::optional<double> finiteNumber(std::string_view text) {
    if (const std::optional<double> value = plainDecimal(text))
        return value;
    const std::string copy(text);
    char* end = nullptr;
    const double value = std::strtod(copy.c_str(), &end);
    if (copy.empty() || end != copy.c_str() + copy.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

CoordinateCell coordinateCell(std::string_view line) {
    std::size_t at = 0;
    nextWord(line, at); // the row code
    const std::string_view latitude = nextWord(line, at);
    const std::string_view longitude = nextWord(line, at);
    return {wholeDegrees(latitude), wholeDegrees(longitude)};
}

std::size_t countNavaidRows(std::string_view text) {
    std::size_t rows = 0;
    forEachLine(text, [&rows](std::string_view line) {
        const std::optional<int> code = rowCode(line);
        rows += code && isNavaidRowCode(*code);
    });
    return rows;
}
