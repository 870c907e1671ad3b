// The merge job against the plain merge of reference_merge.h: the same lines read the same way,
// and on many generated databases and custom sets, under every combination of the settings,
// the same files, questions, progress and status texts.

#include "base/text_file.h"
#include "merge/nav_data.h"
#include "merge/merge_job.h"
#include "scenery/nav_format.h"

#include "recording_screen.h"
#include "reference_merge.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A small deterministic generator, the same on every platform.
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}

    std::uint32_t below(std::uint32_t n) {
        state_ += 0x9e3779b97f4a7c15ull;
        std::uint64_t z = state_;
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        return static_cast<std::uint32_t>((z ^ (z >> 31)) % n);
    }
    bool chance(std::uint32_t percent) { return below(100) < percent; }
    template <typename T> const T& pick(const std::vector<T>& items) {
        return items[below(static_cast<std::uint32_t>(items.size()))];
    }

  private:
    std::uint64_t state_;
};

// Where two texts part, by line, for a readable failure message.
::testing::AssertionResult sameText(const std::string& expected, const std::string& actual) {
    if (expected == actual)
        return ::testing::AssertionSuccess();
    std::size_t at = 0;
    while (at < expected.size() && at < actual.size() && expected[at] == actual[at])
        ++at;
    const std::size_t lineStart = expected.rfind('\n', at == 0 ? 0 : at - 1);
    const std::size_t from = lineStart == std::string::npos ? 0 : lineStart + 1;
    return ::testing::AssertionFailure()
           << "texts part at byte " << at << " (sizes " << expected.size() << " and "
           << actual.size() << ")\n  expected: " << expected.substr(from, at - from + 60)
           << "\n  actual:   " << actual.substr(from, at - from + 60);
}

::testing::AssertionResult sameLines(const std::vector<std::string>& expected,
                                     const std::vector<std::string>& actual) {
    for (std::size_t i = 0; i < expected.size() && i < actual.size(); ++i) {
        if (expected[i] != actual[i])
            return ::testing::AssertionFailure() << "entry " << i << ": expected \"" << expected[i]
                                                 << "\", got \"" << actual[i] << "\"";
    }
    if (expected.size() != actual.size())
        return ::testing::AssertionFailure()
               << expected.size() << " entries expected, " << actual.size() << " got";
    return ::testing::AssertionSuccess();
}

// ---------------------------------------------------------------------------------------
// Reading a navaid row

void expectSameRow(const std::string& line) {
    const ReferenceRecord expected = scanNavaidRow(line);
    const NavaidRecord actual = parseNavaidRow(line);
    EXPECT_EQ(actual.type, expected.type) << "line: \"" << line << "\"";
    EXPECT_EQ(std::string(actual.callsign), expected.callsign) << "line: \"" << line << "\"";
    EXPECT_EQ(std::string(actual.name), expected.name) << "line: \"" << line << "\"";
    EXPECT_EQ(std::string(actual.rwyName), expected.rwyName) << "line: \"" << line << "\"";
    EXPECT_EQ(actual.line, line);
}

// Texts that begin a number, or nearly do, in the forms a scanf conversion treats apart.
const std::vector<std::string> kNumberTexts = {
    "0",        "47.43", "-122.3", "+300",   "05",   "1e5",      "1E-5",     "1e",
    "1e+",      "1e+5",  "1e5.3",  ".5",     "5.",   ".",        "-.",       "-.5",
    "+",        "-",     "+-5",    "1.5.3",  "1..2", "nan",      "NaN",      "-nan",
    "nan(1)",   "na",    "inf",    "-INF",   "infx", "infin",    "infinity", "Infinity1",
    "infinite", "0x",    "0X1A",   "0x1p3",  "0x1P", "0x1.8p+3", "0x.p1",    "0xp1",
    "0x.",      "0x.1",  "0xg",    "0x1e+5", "-0x1", "00x1",     "0xp",      "0x1p-2p",
    "1p5",      "0e",    "e5",     "116.80", "5-3",  "12abc",    "1,5",      "0x1.p",
};

TEST(ParseNavaidRow, ReadsEachNumericFieldAsSscanfDoes) {
    const std::vector<std::string> fields = {"47.43", "-122.30", "338", "11680",
                                             "130",   "19.0",    "SEA", "SEATTLE VORTAC"};
    for (std::size_t position = 0; position < 6; ++position) {
        for (const std::string& text : kNumberTexts) {
            std::string line = "3";
            for (std::size_t f = 0; f < fields.size(); ++f)
                line += " " + (f == position ? text : fields[f]);
            expectSameRow(line + "\n");
            // The same text joined to the next field: what it leaves must start that field.
            std::string joined = "3";
            for (std::size_t f = 0; f < fields.size(); ++f)
                joined += (f == position + 1 ? "" : " ") + (f == position ? text : fields[f]);
            expectSameRow(joined);
        }
    }
}

TEST(ParseNavaidRow, MatchesSscanfOnTrickyLines) {
    const std::string longWord(300, 'W');
    const std::string lines[] = {
        "2",
        "2\n",
        "  +05 1 2 3 4 5 6 A B C",
        "13\t1\t2\t3\t4\t5\t6\tA\tB\tC\n",
        "4\v1\f2\r3 4 5 6 A\rB C\n",
        "4 1 2 3 4 5 6 A B C D E F\n",
        "4 1 2 3 4 5 6 A B",
        "4 1 2 3 4 5 6 A\n",
        "4 1 2 3 4 5 6\n",
        "4 1 2 3 4 5\n",
        "4 1 2 3 4 5 6    \n",
        "4 1 2 3 4 5 6 " + longWord + " " + longWord + "x " + longWord + "y\n",
        std::string("4 1 2 3 4 5 6 AB\0CD EF GH\n", 26),
        std::string("4 1 2\0 3 4 5 6 A B C\n", 22),
        std::string("4\0 1 2 3 4 5 6 A B C\n", 22),
        "4 1 2 3 4 5 6 \xc9\xa9 \xff\xa0x \x85\n",
        "3 47.4 -122.3 0 116.80 130 19.0 SEA SEATTLE VORTAC\n",
        "3 47.4 -122.3 0 11680 130.5 19.0 SEA SEATTLE VORTAC\n",
        "3 47.4 -122.3 0 11680 130 19.0SEA SEATTLE VORTAC\n",
        "3 47.4 -122.3 0 11680 130 19.0e SEA SEATTLE VORTAC\n",
        "3 47.4 -122.3 0 11680 130 0x1fSEA SEATTLE VORTAC\n",
        "3 47.4 -122.3 0 11680 130 infinitySEA SEATTLE VORTAC\n",
        "3 47.4 -122.3 0 11680 130 nanSEA SEATTLE VORTAC\n",
        "3 47.4-122.3 0 11680 130 19 SEA SEATTLE VORTAC\n",
        "3 47.4.5 0 11680 130 19 SEA SEATTLE VORTAC\n",
        "3 1e5e5 0 0 1 1 1 A B C\n",
    };
    for (const std::string& line : lines)
        expectSameRow(line);
}

TEST(ParseNavaidRow, MatchesSscanfOnGeneratedLines) {
    const std::vector<std::string> words = {"SEA", "ksea", "16L", "ILS-cat-I", "-", "+", ".",
                                            "e",   "x",    "p",   "i",         "n", "(", "Z9"};
    const std::vector<std::string> separators = {" ", " ", " ", "\t", "  ", "", "", "\r", "\v"};
    const std::vector<std::string> codes = {"2", "3", "4", "6", "12", "13", " 5", "+7", "009"};
    Random random(2026);
    for (int n = 0; n < 20000; ++n) {
        std::string line = random.pick(codes);
        const std::uint32_t fields = random.below(13);
        for (std::uint32_t f = 0; f < fields; ++f) {
            line += random.pick(separators);
            line += random.chance(70) ? random.pick(kNumberTexts) : random.pick(words);
        }
        if (random.chance(60))
            line += "\n";
        expectSameRow(line);
        if (HasFailure())
            return;
    }
}

// ---------------------------------------------------------------------------------------
// The whole merge

// One navaid as generated: the fields the merge compares and where it lies.
struct Navaid {
    int type;
    std::string callsign, name, rwyName, latitude, longitude;
};

const std::vector<int> kTypes = {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
const std::vector<std::string> kCallsigns = {"SEA",  "sea",  "SeA",   "SEX", "ISNQ",
                                             "isnq", "IBFI", "ABCDE", "AB",  "Z9"};
const std::vector<std::string> kNames = {"SEATTLE", "seattle", "KSEA",   "ksea",
                                         "KBFI",    "BOEING",  "Boeing", "X"};
const std::vector<std::string> kRwyNames = {"16L", "16l", "34R", "14R", "ILS", "DME", "VORTAC"};
// Coordinates on the edges of whole-degree cells, and texts that isNear reads oddly.
const std::vector<std::string> kLatitudes = {
    "47.0",  "47.43", "47.999",  "48.0",   "48.1",  "-0.5", "0.5",     "-0.0",
    "0.0",   "-1.0",  "-1.5",    "-0.999", "0.001", "47",   "+047.25", "047.9",
    "nan.5", "1e1.5", "0x1p3.5", "-.5",    ".5",    "47.",  "inf.0",   "47.123456789012345",
    "1.5",   "1.0",   "-47.43"};
const std::vector<std::string> kLongitudes = {
    "-122.3", "-122.9", "-123.0", "-122",  "10.5",          "-0.5",  "0.5",   "-0.0",
    "0.0",    "-0.01",  "0.99",   "151.2", "-122.30961111", "122.9", "-10.5", "-151.2"};
// The four numeric fields after the coordinates, some of which stop the scan early.
const std::vector<std::string> kMiddleFields = {"338 11680 130 19.0", "0 362 25 0.0",
                                                "364 11030 18 163.7", "0 11030 10 300163.7",
                                                "-12.5 1 1 0",        "0 116.80 130 19.0",
                                                "1e5 1 1 nan",        "0 11680 130.5 19",
                                                "0 0x1A 1 1",         "0 1 1",
                                                "inf 1 -1 -0x1p3",    "0 +-5 1 1"};

Navaid randomNavaid(Random& random) {
    return {random.pick(kTypes),    random.pick(kCallsigns), random.pick(kNames),
            random.pick(kRwyNames), random.pick(kLatitudes), random.pick(kLongitudes)};
}

std::string navaidLine(Random& random, const Navaid& navaid) {
    const std::string separator = random.chance(85) ? " " : random.chance(50) ? "\t" : "   ";
    std::string line = random.chance(90) ? "" : " ";
    line += (random.chance(95) ? "" : "0") + std::to_string(navaid.type);
    for (const std::string* field : {&navaid.latitude, &navaid.longitude})
        line += separator + *field;
    line += separator + random.pick(kMiddleFields);
    for (const std::string* word : {&navaid.callsign, &navaid.name, &navaid.rwyName})
        line += separator + *word;
    if (random.chance(40))
        line += " ILS-cat-I";
    return line + "\n";
}

// A custom navaid made from a database navaid: a duplicate, a conflict of either kind, a near
// miss, or something new.
Navaid relatedNavaid(Random& random, Navaid navaid) {
    switch (random.below(8)) {
    case 0: // duplicate, other letter case
        for (char& c : navaid.name)
            c = static_cast<char>(c ^ (std::isalpha(static_cast<unsigned char>(c)) ? 0x20 : 0));
        break;
    case 1: // NAME conflict
        navaid.callsign = random.pick(kCallsigns);
        break;
    case 2: // CALLSIGN conflict
        navaid.name = random.pick(kNames);
        navaid.rwyName = random.pick(kRwyNames);
        break;
    case 3: // one NAME field changed
        navaid.rwyName = random.pick(kRwyNames);
        break;
    case 4: // another row code
        navaid.type = random.pick(kTypes);
        break;
    case 5: // elsewhere
        navaid.latitude = random.pick(kLatitudes);
        navaid.longitude = random.pick(kLongitudes);
        break;
    case 6:
        return randomNavaid(random);
    default: // the very same
        break;
    }
    if (random.chance(30))
        navaid.latitude = random.pick(kLatitudes);
    return navaid;
}

// Lines that a database may hold besides its version line and navaid rows: those that give
// way to the frame of the merged file, those that stay in their place (other row codes,
// another header row, a marker that is not the first line, comments), and navaid rows whose
// words could not be read.
const std::vector<std::string> kDatabaseOtherLines = {
    "\n",
    "99\n",
    "  \n",
    "\t\v\n",
    "810 another header\n",
    "14 47.0 -122.0 0 0 0 0 X Y Z\n",
    "1 47.0 -122.0 0 0 0 0 X Y Z\n",
    "-3 47.0 -122.0\n",
    "I\n",
    "; a note\n",
    "3 47.5 -122.3 0 116.80 1 0 SEA SEATTLE VOR\n",
    "3 47.5 -122.3\n"};
// Lines that are no navaid rows, and navaid rows whose words could not be read.
const std::vector<std::string> kOtherLines = {"\n",
                                              "I\n",
                                              "99\n",
                                              "1 47.0 -122.0 0 0 0 0 X Y Z\n",
                                              "14 47.0 -122.0 0 0 0 0 X Y Z\n",
                                              "  \n",
                                              "810 another header\n",
                                              "-3 47.0 -122.0\n",
                                              "x\n",
                                              "3 47.5 -122.3 0 116.80 1 0 SEA SEATTLE VOR\n",
                                              "3 47.5 -122.3\n"};
// A navaid row cut at a NUL byte: a database holding one is refused, a custom file's is read.
const std::string kRowWithNul("3 47.5\0 -122.3 0 1 1 0 SEA S V\n", 31);
// Version lines of the one format the merge takes, as it accepts them.
const std::vector<std::string> kVersionLines = {"810 Version - generated \xa9 data\n",
                                                "810 Version\n", " 0810\tVERSION, cycle 1\n",
                                                "810  version\n"};

struct Airport {
    std::string folder;
    std::optional<std::string> navDat; // none: the file is missing
    int selected;
};

struct MergeInputs {
    std::string database;
    std::vector<Airport> airports;
};

// Line ends as on Windows most of the time, else as elsewhere or as on old Macs (a lone CR);
// now and then a file without a final one, or with a UTF-8 byte-order mark.
std::string fileBytes(Random& random, std::string text) {
    if (random.chance(20) && !text.empty() && text.back() == '\n')
        text.pop_back();
    const std::uint32_t lineEnds = random.below(10);
    if (lineEnds < 6)
        text = crlf(text);
    else if (lineEnds < 8)
        std::replace(text.begin(), text.end(), '\n', '\r');
    return random.chance(10) ? "\xEF\xBB\xBF" + text : text;
}

// Letters turned to the other case now and then.
std::string flipSomeLetters(Random& random, std::string text) {
    for (char& c : text) {
        if (std::isalpha(static_cast<unsigned char>(c)) && random.chance(30))
            c = static_cast<char>(c ^ 0x20);
    }
    return text;
}

MergeInputs generateInputs(std::uint64_t seed) {
    Random random(seed);
    std::vector<Navaid> database;
    std::string text = (random.chance(80) ? "I\n" : "x\n") + random.pick(kVersionLines);
    const std::uint32_t count = 100 + random.below(200);
    for (std::uint32_t i = 0; i < count; ++i) {
        if (random.chance(5))
            text += random.pick(kDatabaseOtherLines);
        const Navaid navaid = database.empty() || random.chance(80)
                                  ? randomNavaid(random)
                                  : relatedNavaid(random, random.pick(database));
        database.push_back(navaid);
        text += navaidLine(random, navaid);
    }
    text += "99\n";
    if (random.chance(50))
        text += navaidLine(random, randomNavaid(random)); // a row after the end row
    MergeInputs inputs;
    inputs.database = fileBytes(random, text);

    const std::uint32_t airports = seed == 1 ? 0 : 1 + random.below(4);
    std::vector<std::string> customLines; // of every airport so far
    for (std::uint32_t a = 0; a < airports; ++a) {
        Airport airport{"Airport" + std::to_string(a), std::nullopt, 1};
        if (random.chance(10))
            airport.selected = random.chance(50) ? 0 : 2;
        if (!random.chance(8)) {
            std::string navDat = "I\n810 ignored\n";
            const std::uint32_t rows = random.below(45);
            for (std::uint32_t r = 0; r < rows; ++r) {
                if (random.chance(5))
                    navDat += random.chance(80) ? random.pick(kOtherLines) : kRowWithNul;
                if (!customLines.empty() && random.chance(10)) {
                    // a line given before, in this file or another
                    navDat += flipSomeLetters(random, random.pick(customLines));
                    continue;
                }
                const Navaid navaid = random.chance(75)
                                          ? relatedNavaid(random, random.pick(database))
                                          : randomNavaid(random);
                customLines.push_back(navaidLine(random, navaid));
                navDat += customLines.back();
            }
            airport.navDat = fileBytes(random, navDat + "99\n");
        }
        inputs.airports.push_back(airport);
    }
    return inputs;
}

// What one merge job did: the files it left and everything it showed.
struct Outcome {
    int result = 0;
    std::string database, backup;
    std::vector<std::string> events, questions, errors;
};

// Runs a job of type Job on the inputs in `dir`, answering its questions from the script.
template <typename Job>
Outcome runJob(const TempDir& dir, const MergeInputs& inputs, const SettingCodes& codes,
               const std::vector<Answer>& answers) {
    const std::string earthNav = dir.file("Resources/default data/earth_nav.dat");
    writeBytes(earthNav, inputs.database);
    fs::remove(earthNav + ".bak");
    std::vector<CustomAirport> airports;
    for (const Airport& airport : inputs.airports) {
        const std::string path =
            dir.file("Custom Scenery/" + airport.folder + "/Earth nav data/nav.dat");
        if (airport.navDat && !fs::exists(path))
            writeBytes(path, *airport.navDat);
        airports.push_back({path, airport.folder, airport.selected == 1});
    }

    RecordingScreen screen;
    screen.answers.assign(answers.begin(), answers.end());
    Outcome outcome;
    outcome.result = mergeOnce<Job>(screen.screen(), earthNav, airports, codes);
    outcome.database = readBytes(earthNav);
    outcome.backup = fs::exists(earthNav + ".bak") ? readBytes(earthNav + ".bak") : "(none)";
    outcome.events = screen.events;
    for (const RecordingScreen::Question& q : screen.questions)
        outcome.questions.push_back(q.sourcePath + " | " + q.baseLine + " | " + q.customLine);
    outcome.errors = screen.errors;
    return outcome;
}

// How many database navaid lines the merge dropped: those it examined ("Proccesing: " with a
// line) less the navaid rows written in the block after the header.
std::size_t droppedBaseLines(const Outcome& outcome) {
    std::size_t examined = 0;
    for (const std::string& event : outcome.events)
        examined += event.rfind("status Proccesing: ", 0) == 0 && event != "status Proccesing: \n";
    std::string text;
    for (char c : outcome.database)
        if (c != '\r')
            text += c;
    // "I", the header, a blank line, the kept lines, a blank line.
    const std::size_t header = text.find("\n\n");
    const std::size_t blockEnd = text.find("\n\n", header + 1);
    if (outcome.result != 0 || blockEnd == std::string::npos)
        return 0;
    const std::size_t blockStart = header + 2;
    std::size_t kept = 0;
    forEachLine(std::string_view(text).substr(blockStart, blockEnd + 1 - blockStart),
                [&kept](std::string_view line) {
                    const std::optional<int> code = rowCode(line);
                    kept += code && isNavaidRowCode(*code);
                });
    return examined > kept ? examined - kept : 0;
}

TEST(MergeMatchesReference, OnGeneratedInputsUnderEverySetting) {
    std::vector<SettingCodes> combinations;
    for (int name : {kSameNameSkip, kSameNameRequest, kSameNameReplace})
        for (int callsign : {kSameCallsignSkip, kSameCallsignRequest, kSameCallsignReplace})
            for (int restriction : {0, 1})
                combinations.push_back({name, callsign, restriction});
    // Codes the settings file may hold though the dialog never writes them.
    combinations.push_back({kSameCallsignReplace, kSameNameRequest, 1});
    combinations.push_back({kSameCallsignRequest, 0, 0});
    combinations.push_back({0, kSameNameReplace, 1});
    combinations.push_back({7, 7, 2});

    std::size_t questionsAsked = 0, linesDropped = 0;
    for (std::uint64_t seed = 1; seed <= 6; ++seed) {
        const MergeInputs inputs = generateInputs(seed);
        TempDir dir;
        Random answerRandom(seed * 31);
        for (const SettingCodes& c : combinations) {
            SCOPED_TRACE("seed " + std::to_string(seed) + ", settings " +
                         std::to_string(c.sameNameAction) + "/" +
                         std::to_string(c.sameCallsignAction) + "/" +
                         std::to_string(c.distanceRestriction));
            std::vector<Answer> answers;
            for (int i = 0; i < 40; ++i)
                answers.push_back(answerRandom.pick(
                    std::vector<Answer>{Answer::Replace, Answer::Skip, Answer::Skip}));

            const Outcome expected = runJob<ReferenceMerger>(dir, inputs, c, answers);
            const Outcome actual = runJob<ProgramMerge>(dir, inputs, c, answers);
            EXPECT_EQ(actual.result, expected.result);
            EXPECT_TRUE(sameText(expected.database, actual.database));
            EXPECT_TRUE(sameText(expected.backup, actual.backup));
            EXPECT_TRUE(sameLines(expected.questions, actual.questions));
            EXPECT_TRUE(sameLines(expected.events, actual.events));
            EXPECT_TRUE(sameLines(expected.errors, actual.errors));
            if (HasFailure())
                return;
            questionsAsked += expected.questions.size();
            linesDropped += droppedBaseLines(expected);
        }
    }
    // The generated data must reach the interesting cases at all.
    EXPECT_GT(questionsAsked, 100u);
    EXPECT_GT(linesDropped, 500u);
}

// ASCII text as UTF-16, little- or big-endian.
std::string utf16(const std::string& text, bool bigEndian) {
    std::string bytes;
    for (char c : text) {
        bytes += bigEndian ? '\0' : c;
        bytes += bigEndian ? c : '\0';
    }
    return bytes;
}

// (Databases of 1100 and later, which the plain merge does not know: format_merge_test.cpp.)
TEST(MergeMatchesReference, OnDatabasesItMayOrMayNotMergeInto) {
    const std::string rows = "3 47.4 -122.3 0 1 1 0.0 SEA SEATTLE V\n99\n";
    const struct {
        std::string database;
        bool mergeable;
    } cases[] = {
        {"I\n810 Version\n" + rows, true},
        {"A\r\n810\tversion - cycle\r\n" + rows, true},
        {"\xEF\xBB\xBFI\r\n 810  VERSION\r\n" + rows, true},
        {"I\r0810 Version,\r" + rows, true},
        // No navaid row, or more lines that are not rows than navaid rows: no database.
        {"\n810 Version", false},
        {"I\n810 Version\n99\n", false},
        {"I\n810 Version\n" + rows + "Dear user,\nthis is no database.\n", false},
        {"I\n810 Version\n\x81\xC7#x\n\xF3\xB2~~\n" + rows, false},
        {"I\n810 Version\n\n\n" + rows + "a stray line\n", true},
        {"", false},
        {"\xEF\xBB\xBF", false},
        {"\xFF\xFE" + utf16("I\r\n810 Version\r\n" + rows, false), false},
        {"\xFE\xFF" + utf16("I\r\n810 Version\r\n" + rows, true), false},
        {utf16("I\r\n810 Version\r\n" + rows, false), false},
        {utf16("I\r\n810 Version\r\n" + rows, true), false},
        {"I\n810 Version\n" + std::string("3 47.4\0 -122.3 0 1 1 0.0 X Y Z\n", 31), false},
        {"I\n810 Version\n" + std::string(1, '\0'), false},
        {"I\n810 Version\n3 47.4 -122.3 0 1 1 0.0 SEA ENRT K1 SEATTLE V\n99\n", false},
        {"I\n810 Version\n3 47.4 -122.3 0 1 1 0.0 SEA enrt K12 SEATTLE V\n99\n", true},
        {"I", false},
        {"I\n", false},
        {"810 Version\n" + rows, false},
        {"I\n3 47.4 -122.3 0 1 1 0.0 SEA SEATTLE V\n810 Version\n", false},
        {"I\n810Version\n" + rows, false},
        {"I\n810 Versions\n" + rows, false},
        {"I\n810 Version2\n" + rows, false},
        {"I\n810 Vers\n" + rows, false},
        {"I\nVersion 810\n" + rows, false},
        {"I\n\v810 Version\n" + rows, false},
        {"I\n1234567890 Version\n" + rows, false},
        {"I\n740 Version\n" + rows, false},
        {"I\n0 Version\n" + rows, false},
        {"I\n999999999 Version\n" + rows, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("database: " + c.database.substr(0, 40));
        const MergeInputs inputs = {
            c.database, {{"A", std::string("3 47.4 -122.3 0 1 1 0.0 sea seattle v\n"), 1}}};
        TempDir dir;
        const SettingCodes codes;
        const Outcome expected = runJob<ReferenceMerger>(dir, inputs, codes, {});
        const Outcome actual = runJob<ProgramMerge>(dir, inputs, codes, {});
        EXPECT_EQ(expected.result == 0, c.mergeable);
        EXPECT_EQ(actual.result, expected.result);
        EXPECT_TRUE(sameText(expected.database, actual.database));
        EXPECT_TRUE(sameText(expected.backup, actual.backup));
        EXPECT_TRUE(sameLines(expected.events, actual.events));
        EXPECT_TRUE(sameLines(expected.errors, actual.errors));
    }
}

} // namespace
