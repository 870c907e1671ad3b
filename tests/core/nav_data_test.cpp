#include "merge/nav_data.h"
#include "base/text_file.h"

#include "test_files.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
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

TEST(EqualsIgnoringCase, FoldsOnlyAsciiLetters) {
    EXPECT_TRUE(equalsIgnoringCase("kSea", "KSEA"));
    EXPECT_TRUE(equalsIgnoringCase("", ""));
    EXPECT_FALSE(equalsIgnoringCase("SEA", "SEAT"));
    EXPECT_FALSE(equalsIgnoringCase("SEA1", "SEA2"));
    EXPECT_FALSE(equalsIgnoringCase("\xe9", "\xc9")); // e-acute and E-acute in Latin-1
    EXPECT_FALSE(equalsIgnoringCase("[", "{"));       // differ by the case bit, not letters
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

TEST(TextFile, WritesEveryLineFeedAsCrLf) {
    TempDir dir;
    TextFileWriter writer;
    ASSERT_TRUE(writer.open(dir.file("out.dat")));
    writer.write("I\n810 \xa9\n");
    writer.write("no end");
    writer.write("\n\n99\n");
    EXPECT_TRUE(writer.close());
    EXPECT_EQ(readBytes(dir.file("out.dat")), "I\r\n810 \xa9\r\nno end\r\n\r\n99\r\n");
}

TEST(TextFile, WriterReportsAFileThatCannotBeCreated) {
    TempDir dir;
    TextFileWriter writer;
    EXPECT_FALSE(writer.open(dir.path()));
    writer.write("lost\n");
    EXPECT_FALSE(writer.close());
}

} // namespace
