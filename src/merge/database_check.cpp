#include "merge/database_check.h"

#include <algorithm>
#include <cstddef>

namespace {
constexpr std::size_t kLongestVersionNumber = 9;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isLetterOrDigit(char c) {
    return isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// UTF-16 text starts with its byte-order mark (FF FE or FE FF) or, without one, shows its
// ASCII characters as a character and a NUL byte: over the first 64 bytes, every byte on one
// side of each pair is NUL and none on the other.
bool looksLikeUtf16(std::string_view text) {
    const std::string_view start = text.substr(0, 2);
    if (start == "\xFF\xFE" || start == "\xFE\xFF")
        return true;
    const std::size_t pairs = std::min<std::size_t>(text.size(), 64) / 2;
    if (pairs == 0)
        return false;
    bool nulFirst = true, nulSecond = true;
    for (std::size_t i = 0; i < pairs; ++i) {
        const bool first = text[2 * i] == '\0';
        const bool second = text[2 * i + 1] == '\0';
        nulFirst = nulFirst && first && !second;
        nulSecond = nulSecond && second && !first;
    }
    return nulFirst || nulSecond;
}

// The number of a version line, or -1 when the line is none.
int versionOf(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && isBlank(line[i]))
        ++i;
    const std::size_t digits = i;
    int version = 0;
    for (; i < line.size() && isDigit(line[i]); ++i) {
        if (i - digits == kLongestVersionNumber)
            return -1;
        version = version * 10 + (line[i] - '0');
    }
    const std::size_t blanks = i;
    while (i < line.size() && isBlank(line[i]))
        ++i;
    if (blanks == digits || i == blanks)
        return -1;
    constexpr std::string_view kWord = "version";
    if (line.size() - i < kWord.size())
        return -1;
    for (std::size_t k = 0; k < kWord.size(); ++k) {
        if ((line[i + k] | 0x20) != kWord[k])
            return -1;
    }
    i += kWord.size();
    return i < line.size() && isLetterOrDigit(line[i]) ? -1 : version;
}

// What a format's number says to the user.
const char* simulatorsOf(int version) {
    if (version >= 1200)
        return " (X-Plane 12 or later)";
    if (version >= 1100)
        return " (X-Plane 11 or later)";
    if (version < kMergeableVersion)
        return " (older than X-Plane 8.10)";
    return "";
}
} // namespace

DatabaseCheck checkDatabase(std::string_view text) {
    if (text.empty())
        return {DatabaseVerdict::Empty};
    if (looksLikeUtf16(text))
        return {DatabaseVerdict::Utf16};
    if (text.find('\0') != std::string_view::npos)
        return {DatabaseVerdict::NulBytes};
    const std::size_t firstEnd = text.find('\n');
    if (firstEnd == std::string_view::npos)
        return {DatabaseVerdict::NoVersionLine};
    const std::string_view rest = text.substr(firstEnd + 1);
    const int version = versionOf(rest.substr(0, rest.find('\n')));
    if (version < 0)
        return {DatabaseVerdict::NoVersionLine};
    if (version != kMergeableVersion)
        return {DatabaseVerdict::OtherVersion, version};
    return {DatabaseVerdict::Mergeable, version};
}

std::string refusalMessage(const DatabaseCheck& check, std::string_view fileName) {
    std::string message(fileName);
    switch (check.verdict) {
    case DatabaseVerdict::Mergeable:
        return {};
    case DatabaseVerdict::Empty:
        message += " is empty";
        break;
    case DatabaseVerdict::Utf16:
        message += " is UTF-16 text, which Quillet cannot read";
        break;
    case DatabaseVerdict::NulBytes:
        message += " is not a navaid database (it holds NUL bytes)";
        break;
    case DatabaseVerdict::NoVersionLine:
        message += " is not a navaid database (no version line)";
        break;
    case DatabaseVerdict::OtherVersion:
        message += " is in format " + std::to_string(check.version) + simulatorsOf(check.version) +
                   ", which this version of Quillet cannot merge";
        break;
    }
    return message + "; nothing was changed.";
}
