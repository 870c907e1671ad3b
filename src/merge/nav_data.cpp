#include "merge/nav_data.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <vector>

namespace {
bool isSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

char upperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
} // namespace

std::optional<int> rowCode(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && isSpace(line[i]))
        ++i;
    bool negative = false;
    if (i < line.size() && (line[i] == '+' || line[i] == '-'))
        negative = line[i++] == '-';
    if (i == line.size() || !std::isdigit(static_cast<unsigned char>(line[i])))
        return std::nullopt;
    // Values beyond int saturate, so an overlong number never wraps into a navaid code.
    long long value = 0;
    for (; i < line.size() && std::isdigit(static_cast<unsigned char>(line[i])); ++i) {
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
    record.line = std::string(line);
    // Each word fits in a buffer as long as the line itself.
    std::vector<char> callsign(line.size() + 1), name(line.size() + 1), rwyName(line.size() + 1);
    std::sscanf(record.line.c_str(), "%d %*f %*f %*f %*d %*d %*f %s %s %s", &record.type,
                callsign.data(), name.data(), rwyName.data());
    record.callsign = callsign.data();
    record.name = name.data();
    record.rwyName = rwyName.data();
    return record;
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
