// Fuzz target: the row reader against the C runtime. The input is one line, any bytes.
// - rowCode reads the leading integer as sscanf's "%d" does;
// - parseNavaidRow gives the row code and the three words that sscanf gives with
//   "%d %*f %*f %*f %*d %*d %*f %s %s %s" (scanNavaidRow of the reference merge);
// - coordinateCell gives the whole-degree parts that strtod gives for the two words after
//   the row code, each cut before its last '.'.
// A difference aborts with both readings, so libFuzzer keeps the line.

#include "merge/nav_data.h"

#include "printable.h"
#include "reference_merge.h"

#include <cctype>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace {

[[noreturn]] void differ(const char* what, std::string_view line, const std::string& expected,
                         const std::string& actual) {
    std::fprintf(stderr,
                 "row reader: %s differs\n  line:     \"%s\"\n  expected: %s\n  actual:   %s\n",
                 what, printable(line).c_str(), expected.c_str(), actual.c_str());
    std::abort();
}

std::string describe(const std::optional<int>& code) {
    return code ? std::to_string(*code) : "none";
}

// The leading integer as sscanf's "%d" reads it. sscanf leaves a value beyond int undefined;
// the reader saturates it, which is strtoll's value clamped to int.
std::optional<int> scannedCode(const std::string& text) {
    int code = 0;
    if (std::sscanf(text.c_str(), "%d", &code) != 1)
        return std::nullopt;
    const long long wide = std::strtoll(text.c_str(), nullptr, 10);
    return static_cast<int>(wide > INT_MAX ? INT_MAX : wide < INT_MIN ? INT_MIN : wide);
}

// The two words after the first, as the distance restriction reads them, and the part of
// each before its last '.' converted with strtod.
void expectedCell(const std::string& text, double& latitude, double& longitude) {
    std::string words[3];
    std::size_t i = 0;
    for (std::string& word : words) {
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
            ++i;
        const std::size_t start = i;
        while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i])))
            ++i;
        word = text.substr(start, i - start);
    }
    const auto wholeDegrees = [](const std::string& word) {
        return std::strtod(word.substr(0, word.rfind('.')).c_str(), nullptr);
    };
    latitude = wholeDegrees(words[1]);
    longitude = wholeDegrees(words[2]);
}

bool sameNumber(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

void checkWord(const char* what, std::string_view line, const std::string& expected,
               std::string_view actual) {
    if (actual != expected)
        differ(what, line, "\"" + printable(expected) + "\"", "\"" + printable(actual) + "\"");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string_view line(text);

    const std::optional<int> code = rowCode(line);
    const std::optional<int> expectedCode = scannedCode(text);
    if (code != expectedCode)
        differ("row code", line, describe(expectedCode), describe(code));

    // The loaders read only rows whose code is a navaid's, but the scan of the fields after
    // the code is the same for any code, so every line is compared.
    const ReferenceRecord expected = scanNavaidRow(line);
    const NavaidRecord actual = parseNavaidRow(line);
    const int expectedType = expectedCode.value_or(0);
    if (actual.type != expectedType)
        differ("type", line, std::to_string(expectedType), std::to_string(actual.type));
    checkWord("callsign", line, expected.callsign, actual.callsign);
    checkWord("name", line, expected.name, actual.name);
    checkWord("runway name", line, expected.rwyName, actual.rwyName);
    if (actual.line != line)
        differ("line", line, "the whole input", "\"" + printable(actual.line) + "\"");

    double latitude = 0, longitude = 0;
    expectedCell(text, latitude, longitude);
    const CoordinateCell cell = coordinateCell(line);
    if (!sameNumber(cell.latitude, latitude) || !sameNumber(cell.longitude, longitude))
        differ("whole-degree cell", line,
               std::to_string(latitude) + " " + std::to_string(longitude),
               std::to_string(cell.latitude) + " " + std::to_string(cell.longitude));
    return 0;
}
