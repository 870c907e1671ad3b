#include "merge/nav_data.h"
#include "base/text_file.h"

#include "test_files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

TEST(RowCode, ReadsTheLeadingIntegerAsPercentDDoes) {
    const struct {
        const char* line;
        std::optional<int> code;
    } cases[] = {
        {"3  47.43 -122.30 0 11680 130 19.0 SEA SEATTLE VORTAC\n", 3},
        {"   5 47.4 ...", 5},
        {"05 47.4", 5},
        {"\t13 1.0", 13},
        {"+2 1.0", 2},
        {"-4 1.0", -4},
        {"810 Version - data cycle\n", 810},
        {"99\n", 99},
        {"99", 99},
        {"I\n", std::nullopt},
        {"\n", std::nullopt},
        {"", std::nullopt},
        {"- 3", std::nullopt},
        {"x3", std::nullopt},
        {"12abc", 12},
        {"99999999999999999999 1.0", 2147483647},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rowCode(c.line), c.code) << "line: " << c.line;
}

TEST(RowCode, NavaidCodesAreTwoToThirteen) {
    for (int code : {2, 3, 12, 13})
        EXPECT_TRUE(isNavaidRowCode(code)) << code;
    for (int code : {-3, 0, 1, 14, 99, 810})
        EXPECT_FALSE(isNavaidRowCode(code)) << code;
}

TEST(ParseNavaidRow, TakesTheThreeWordsAfterTheNumbers) {
    const std::string longName(60, 'N');
    const struct {
        std::string line;
        int type;
        std::string callsign, name, rwyName;
    } cases[] = {
        {"3  47.43538889 -122.30961111 338 11680 130 19.0 SEA SEATTLE VORTAC\n", 3, "SEA",
         "SEATTLE", "VORTAC"},
        {"4 47.4 -122.3 0 11030 18 163.7 ISNQ KSEA 16L ILS-cat-III\n", 4, "ISNQ", "KSEA", "16L"},
        {"\t2\t1.5e1\t-0x1p3\t-12\t+300\t-50\tinf\tKOTTO KOTTO NDB", 2, "KOTTO", "KOTTO", "NDB"},
        {"12 1 2 3 4 5 6 ABCDEFGHIJ " + longName + " R\n", 12, "ABCDEFGHIJ", longName, "R"},
        // A frequency with a decimal point stops the scan: no word is read.
        {"3 47.4 -122.3 0 116.80 130 19.0 SEA SEATTLE VORTAC\n", 3, "", "", ""},
        {"13 47.4 -122.3 0 11680 130\n", 13, "", "", ""},
        {"6 47.4 -122.3 0 11030 18 300163.7 ISNQ\n", 6, "ISNQ", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const NavaidRecord record = parseNavaidRow(c.line);
        EXPECT_EQ(record.type, c.type);
        EXPECT_EQ(record.callsign, c.callsign);
        EXPECT_EQ(record.name, c.name);
        EXPECT_EQ(record.rwyName, c.rwyName);
        EXPECT_EQ(record.line, c.line);
    }
}

// strtod's reading of the whole text, as finiteNumber promises it.
std::optional<double> strtodOfWhole(const std::string& text) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// The same number to the last bit, -0 apart from 0.
bool sameBits(std::optional<double> a, std::optional<double> b) {
    return a.has_value() == b.has_value() && (!a || std::memcmp(&*a, &*b, sizeof(double)) == 0);
}

TEST(FiniteNumber, GivesStrtodsValueOfTheWholeTextToTheLastBit) {
    const char* const texts[] = {"47.43538889",
                                 "-122.30961111",
                                 "0",
                                 "-0",
                                 "-0.000",
                                 "+5",
                                 "5.",
                                 ".5",
                                 "-.5",
                                 "180.343",
                                 "58140.343",
                                 "300180.343",
                                 "0.1",
                                 "0.3",
                                 "123456789012345",
                                 "1234567890123456",
                                 "9007199254740993",
                                 "0.000000000000001",
                                 "1.23456789012345",
                                 "00000000000000047.5",
                                 "1e5",
                                 "-1.5E-3",
                                 "0x1p3",
                                 "inf",
                                 "-infinity",
                                 "nan",
                                 "",
                                 ".",
                                 "-",
                                 "+",
                                 "1.2.3",
                                 "12abc",
                                 " 5",
                                 "5 ",
                                 "1e999",
                                 "0.",
                                 "--1"};
    for (const char* text : texts)
        EXPECT_TRUE(sameBits(finiteNumber(text), strtodOfWhole(text))) << "text: " << text;

    // Decimals of every length up to and past the 15 digits a double holds exactly, the
    // point anywhere.
    std::uint64_t state = 1;
    const auto next = [&state](std::uint64_t below) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return (state >> 33) % below;
    };
    for (int i = 0; i < 20000; ++i) {
        std::string text = next(2) == 0 ? "-" : "";
        const std::uint64_t digits = 1 + next(17);
        const std::uint64_t point = next(digits + 1);
        for (std::uint64_t d = 0; d < digits; ++d) {
            if (d == point && d > 0)
                text += '.';
            text += static_cast<char>('0' + next(10));
        }
        ASSERT_TRUE(sameBits(finiteNumber(text), strtodOfWhole(text))) << "text: " << text;
    }
}

TEST(EqualsIgnoringCase, FoldsOnlyAsciiLetters) {
    EXPECT_TRUE(equalsIgnoringCase("kSea", "KSEA"));
    EXPECT_TRUE(equalsIgnoringCase("", ""));
    EXPECT_FALSE(equalsIgnoringCase("SEA", "SEAT"));
    EXPECT_FALSE(equalsIgnoringCase("SEA1", "SEA2"));
    EXPECT_FALSE(equalsIgnoringCase("\xe9", "\xc9")); // e-acute and E-acute in Latin-1
    EXPECT_FALSE(equalsIgnoringCase("[", "{"));       // differ by the case bit, not letters
}

TEST(EqualsIgnoringCase, TextsItFindsEqualHashAlikeAndOthersApart) {
    const std::pair<const char*, const char*> equal[] = {
        {"kSea", "KSEA"}, {"n10", "N10"}, {"", ""}, {"enrt", "ENRT"}, {"q1A ils", "Q1a ILS"}};
    for (const auto& [a, b] : equal)
        EXPECT_EQ(caseBlindHash(a), caseBlindHash(b)) << a << " " << b;
    const std::pair<const char*, const char*> different[] = {
        {"SEA", "SEAT"}, {"\xe9", "\xc9"}, {"[", "{"}, {"KSEA", "KSEB"}, {"AB", "BA"}};
    for (const auto& [a, b] : different)
        EXPECT_NE(caseBlindHash(a), caseBlindHash(b)) << a << " " << b;
}

TEST(TextFile, ReadsEveryLineEndAsOneLineFeedAndSkipsAByteOrderMarkAtTheStart) {
    const std::string longLine(5000, 'x');
    const struct {
        std::string bytes, text;
    } cases[] = {
        {"I\r\n810 Version \xa9 2026\r\nlone\rCR\r\n\r\nlast",
         "I\n810 Version \xa9 2026\nlone\nCR\n\nlast"},
        {"I\r810 Version\r3 1.0 1.0\r", "I\n810 Version\n3 1.0 1.0\n"},
        {"a\r\r\nb\n\rc\r", "a\n\nb\n\nc\n"},
        {longLine + "\r" + longLine + "\r\n" + longLine,
         longLine + "\n" + longLine + "\n" + longLine},
        {"\xEF\xBB\xBFI\r\n810 Version\r\n", "I\n810 Version\n"},
        {"\xEF\xBB\xBF", ""},
        {"\xEF\xBB\xBF\xEF\xBB\xBF\n", "\xEF\xBB\xBF\n"}, // only the first mark is one
        {"I\n\xEF\xBB\xBF"
         "3 1.0\n",
         "I\n\xEF\xBB\xBF"
         "3 1.0\n"},
        {"\xEF\xBBx\n", "\xEF\xBBx\n"},
        {std::string("I\0\r\0\n\0", 6), std::string("I\0\n\0\n\0", 6)},
        {"", ""},
    };
    TempDir dir;
    for (const auto& c : cases) {
        writeBytes(dir.file("f.dat"), c.bytes);
        std::string text = "old";
        ASSERT_TRUE(readTextFile(dir.file("f.dat"), text));
        EXPECT_EQ(text, c.text) << "bytes: " << c.bytes.substr(0, 40);
    }
}

TEST(TextFile, LinesKeepTheirLineFeedsAndTheLastMayLackOne) {
    std::vector<std::string> lines;
    forEachLine("I\n810 Version\n\nlast", [&](std::string_view line) { lines.emplace_back(line); });
    EXPECT_EQ(lines, (std::vector<std::string>{"I\n", "810 Version\n", "\n", "last"}));
}

TEST(TextFile, MissingFileOrFolderCannotBeRead) {
    TempDir dir;
    std::string text;
    EXPECT_FALSE(readTextFile(dir.file("missing.dat"), text));
    EXPECT_FALSE(readTextFile(dir.path(), text));
}

TEST(TextFile, SplitsLongLinesIntoPiecesOnlyWhenAsked) {
    std::vector<std::string> pieces;
    forEachLinePiece("abcdefg\nhi\n", 3, [&](std::string_view p) { pieces.emplace_back(p); });
    EXPECT_EQ(pieces, (std::vector<std::string>{"abc", "def", "g\n", "hi\n"}));

    const std::string longLine(5000, 'x');
    pieces.clear();
    forEachLine(longLine + "\n", [&](std::string_view p) { pieces.emplace_back(p); });
    EXPECT_EQ(pieces, (std::vector<std::string>{longLine + "\n"}));
}

} // namespace
