#include "merge/database_check.h"

#include "base/text.h"
#include "merge/nav_data.h"
#include "scenery/nav_format.h"

#include <algorithm>
#include <cstddef>
#include <optional>

namespace {

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

struct RowCounts {
    std::size_t navaidRows = 0;
    std::size_t notRows = 0; // lines that are neither blank nor rows of the format
};

RowCounts rowCountsOf(std::string_view text, NavFormat format) {
    RowCounts counts;
    std::size_t lineNumber = 0;
    // Line ends may be CR LF, LF or a lone CR.
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = text.substr(start, end - start);
        start = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);
        if (++lineNumber <= 2 || line.find_first_not_of(" \t\v\f") == std::string_view::npos)
            continue;
        const std::optional<int> code = rowCode(line);
        if (code && isNavaidRowCode(*code))
            ++counts.navaidRows;
        else if (!code ||
                 !(*code == 99 || (hasTerminalAndRegion(format) && *code >= 14 && *code <= 16)))
            ++counts.notRows;
    }
    return counts;
}

// What a format's number says to the user.
const char* simulatorsOf(int version) {
    if (version > versionOf(NavFormat::V1200))
        return " (newer than X-Plane 12)";
    if (version < versionOf(NavFormat::V810))
        return " (older than X-Plane 8.10)";
    return "";
}
} // namespace

DatabaseCheck checkDatabase(std::string_view text) {
    text = withoutByteOrderMark(text);
    if (text.empty())
        return {DatabaseVerdict::Empty};
    if (looksLikeUtf16(text))
        return {DatabaseVerdict::Utf16};
    if (text.find('\0') != std::string_view::npos)
        return {DatabaseVerdict::NulBytes};
    const std::optional<int> version = declaredVersion(text);
    if (!version)
        return {DatabaseVerdict::NoVersionLine};
    const std::optional<NavFormat> format = navFormatOf(*version);
    if (!format)
        return {DatabaseVerdict::OtherVersion, *version};
    const RowCounts counts = rowCountsOf(text, *format);
    if (counts.navaidRows == 0)
        return {DatabaseVerdict::NoNavaidRows, *version};
    if (counts.notRows > counts.navaidRows)
        return {DatabaseVerdict::MostlyNotRows, *version};
    return {DatabaseVerdict::Mergeable, *version};
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
    case DatabaseVerdict::NoNavaidRows:
        message += " is not a navaid database (it holds no navaid row)";
        break;
    case DatabaseVerdict::MostlyNotRows:
        message += " is not a navaid database (most of its lines are no navaid rows)";
        break;
    case DatabaseVerdict::OtherVersion:
        message += " is in format " + std::to_string(check.version) + simulatorsOf(check.version) +
                   ", which this version of Quillet cannot merge";
        break;
    }
    return message + "; nothing was changed.";
}
