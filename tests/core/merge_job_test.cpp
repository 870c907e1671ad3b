#include "merge/database_text.h"
#include "merge/merge_job.h"
#include "base/text.h"
#include "settings/settings.h"

#include "recording_screen.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string kHeader = "810 Version - data cycle 2612, \xa9 X-Plane nav data\n";

// An X-Plane folder in a temporary directory: earth_nav.dat and add-on airports.
class MergeJob : public ::testing::Test {
  protected:
    void SetUp() override {
        earthNav_ = dir_.file("Resources/default data/earth_nav.dat");
        fs::create_directories(fs::path(earthNav_).parent_path());
    }

    // Writes earth_nav.dat with CR LF line ends, as X-Plane ships it.
    void writeDatabase(const std::string& text) { writeBytes(earthNav_, crlf(text)); }

    // Adds an airport to the table, with a nav.dat of the given text (none if null).
    void addAirport(const std::string& folder, const char* navDat, bool selected = true) {
        const std::string path = dir_.file("Custom Scenery/" + folder + "/Earth nav data/nav.dat");
        if (navDat != nullptr)
            writeBytes(path, crlf(navDat));
        airports_.push_back({path, folder, selected});
    }

    MergeOutcome merge(JobPurpose purpose = JobPurpose::Merge) {
        return ::runMerge({earthNav_, pickedAirports(airports_), options_, purpose},
                          screen_.screen());
    }

    // Merges, and gives the database as it is then.
    std::string runMerge() {
        merge();
        return readBytes(earthNav_);
    }

    // What is in the database's folder, temporary files included.
    std::vector<std::string> databaseFolder() const {
        return entryNames(fs::path(earthNav_).parent_path());
    }

    TempDir dir_;
    std::string earthNav_;
    std::vector<CustomAirport> airports_;
    MergeOptions options_{ConflictAction::Skip, ConflictAction::Skip, true};
    RecordingScreen screen_;
};

TEST_F(MergeJob, WithoutCustomLinesRewritesTheDatabaseInItsFrameAndBacksItUp) {
    const std::string database = "I\n" + kHeader +
                                 "2  47.53 -122.31 0 362 25 0.0 BF NOLLA NDB\n"
                                 "3  47.43 -122.30 338 11680 130 19.0 SEA SEATTLE VORTAC\n"
                                 "99\n";
    writeDatabase(database);
    fs::copy_file(earthNav_, earthNav_ + ".bak");
    writeBytes(earthNav_ + ".bak", "an older backup");

    EXPECT_EQ(runMerge(), crlf("I\n" + kHeader + "\n" +
                               "2  47.53 -122.31 0 362 25 0.0 BF NOLLA NDB\n"
                               "3  47.43 -122.30 338 11680 130 19.0 SEA SEATTLE VORTAC\n"
                               "\n\n99\n"));
    EXPECT_EQ(readBytes(earthNav_ + ".bak"), crlf(database));
    EXPECT_TRUE(screen_.errors.empty());
    EXPECT_EQ(databaseFolder(), (std::vector<std::string>{"earth_nav.dat", "earth_nav.dat.bak"}));
}

TEST_F(MergeJob, AppendsCustomLinesUpperCasedAfterTheKeptDatabaseLines) {
    writeDatabase("I\n" + kHeader + "2  47.53 -122.31 0 362 25 0.0 BF NOLLA NDB\n99\n");
    addAirport("KXYZ", "I\n810 ignored in a custom file\n"
                       "12 47.1 -122.1 0 11100 40 0.0 ixyz kxyz 16 dme-ils\n"
                       "3  40.1 -100.1 0 11500 40 0.0 abc abcvor vor-dme");
    EXPECT_EQ(runMerge(), crlf("I\n" + kHeader + "\n" +
                               "2  47.53 -122.31 0 362 25 0.0 BF NOLLA NDB\n"
                               "\n"
                               "12 47.1 -122.1 0 11100 40 0.0 IXYZ KXYZ 16 DME-ILS\n\n"
                               "3  40.1 -100.1 0 11500 40 0.0 ABC ABCVOR VOR-DME\n"
                               "\n99\n"));
}

TEST_F(MergeJob, ADatabaseWithoutNavaidRowsOrMostlyOtherLinesIsLeftAlone) {
    addAirport("A", "2 1.0 1.0 0 300 25 0.0 AB ALPHA NDB\n");
    const struct {
        std::string database, why;
    } cases[] = {
        {"I\n" + kHeader + "99\n", "it holds no navaid row"},
        {"I\n" + kHeader + "2 1.0 1.0 0 300 25 0.0 ZZ ZULU NDB\nA letter,\nnot a database.\n99\n",
         "most of its lines are no navaid rows"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        writeDatabase(c.database);
        screen_ = RecordingScreen();
        EXPECT_EQ(runMerge(), crlf(c.database));
        EXPECT_FALSE(fileExists(earthNav_ + ".bak"));
        EXPECT_EQ(screen_.errors, std::vector<std::string>{"Error!: earth_nav.dat is not a navaid "
                                                           "database (" +
                                                           c.why + "); nothing was changed."});
    }
}

TEST_F(MergeJob, ShowsProgressAndStatusInOrder) {
    const std::string from = "I\n2 1.0 1.0 0 300 25 0.0 AB ALPHA NDB\n99\n";
    const std::string to =
        "I\n" + kHeader +
        "3 5.0 5.0 0 11000 25 0.0 XY XRAY VOR\n3 6.0 6.0 0 11000 25 0.0 YZ Y VOR\n";
    writeDatabase(to);
    addAirport("A", from.c_str());
    runMerge();

    // Loading counts the characters read (line ends as one), up to the end of each line.
    const std::string fromPath = airports_[0].navDatPath;
    const auto at = [](const std::string& text, int lines) {
        std::size_t end = 0;
        for (int i = 0; i < lines; ++i)
            end = text.find('\n', end) + 1;
        return "pos " + std::to_string(end);
    };
    const std::vector<std::string> expected = {
        "range 0 " + std::to_string(from.size()),
        "pos 0",
        "status Loading strings from " + fromPath + "\n",
        at(from, 1),
        at(from, 2),
        at(from, 3), // three lines of the custom file
        "range 0 1",
        "pos 0",
        "status Writing .bak for " + earthNav_ + "\n",
        "pos 1",
        "range 0 " + std::to_string(to.size()),
        "pos 0",
        "status Loading strings from " + earthNav_ + "\n",
        at(to, 1),
        at(to, 2),
        at(to, 3),
        at(to, 4), // four lines of the database
        "range 0 2",
        "pos 0",
        "status Proccesing: \n",
        "status Proccesing: 3 5.0 5.0 0 11000 25 0.0 XY XRAY VOR\n\n",
        "pos 1",
        "status Proccesing: 3 6.0 6.0 0 11000 25 0.0 YZ Y VOR\n\n",
        "pos 2"};
    EXPECT_EQ(screen_.events, expected);
}

TEST_F(MergeJob, EachStageFillsTheBarOnceWhateverItsSize) {
    // 70,000 rows: over 65,535 characters and over 65,535 navaids.
    const std::string row = "2 1.0 1.0 0 300 25 0.0 AB ALPHA NDB\n";
    std::string rows = "I\n" + kHeader;
    for (int i = 0; i < 70000; ++i)
        rows += row;
    writeDatabase(rows);
    addAirport("A", row.c_str());
    addAirport("Empty", "");
    runMerge();

    // Each stage opens with its range and moves the bar only forward, from 0 to the maximum.
    struct Stage {
        int maximum = 0;
        std::vector<int> positions;
    };
    std::vector<Stage> stages;
    for (const std::string& event : screen_.events) {
        if (event.rfind("range 0 ", 0) == 0)
            stages.push_back({std::stoi(event.substr(8)), {}});
        else if (event.rfind("pos ", 0) == 0)
            stages.back().positions.push_back(std::stoi(event.substr(4)));
        else
            EXPECT_EQ(event.rfind("status ", 0), 0u) << event;
    }
    // The two custom files (one empty), the backup, the database, the merge.
    const std::vector<int> maxima = {static_cast<int>(row.size()), 1, 1, 65535, 65535};
    ASSERT_EQ(stages.size(), maxima.size());
    for (std::size_t i = 0; i < stages.size(); ++i) {
        SCOPED_TRACE("stage " + std::to_string(i + 1));
        const Stage& stage = stages[i];
        EXPECT_EQ(stage.maximum, maxima[i]);
        ASSERT_GE(stage.positions.size(), 2u);
        EXPECT_EQ(stage.positions.front(), 0);
        EXPECT_EQ(stage.positions.back(), stage.maximum);
        EXPECT_TRUE(std::is_sorted(stage.positions.begin(), stage.positions.end()));
        EXPECT_EQ(std::adjacent_find(stage.positions.begin(), stage.positions.end()),
                  stage.positions.end());
    }
    // 70,000 navaids merged set each of the 65,536 positions once.
    EXPECT_EQ(stages[4].positions.size(), 65536u);
}

TEST_F(MergeJob, LoadsSelectedAirportsInTableOrderAndReportsMissingFiles) {
    writeDatabase("I\n" + kHeader + "3  40.1 -100.1 0 11500 40 0.0 ABC ABCVOR VOR-DME\n99\n");
    addAirport("Zulu", "2 1.0 1.0 0 300 25 0.0 Z1 ZULU NDB\n2 1.0 1.0 0 300 25 0.0 Z2 ZULU NDB\n");
    addAirport("Gone", nullptr);
    fs::create_directories(fs::path(airports_.back().navDatPath).parent_path()); // nav.dat gone
    addAirport("Unselected", "2 1.0 1.0 0 300 25 0.0 U1 UNI NDB\n", false);
    addAirport("Alpha", "2 1.0 1.0 0 300 25 0.0 A1 ALPHA NDB\n");

    const MergeOutcome outcome = merge();
    std::vector<std::string> callsigns, sources;
    for (const AddedLine& added : outcome.report.added) {
        callsigns.emplace_back(parseNavaidRow(added.line).callsign);
        sources.push_back(added.sourcePath);
    }
    EXPECT_EQ(callsigns, (std::vector<std::string>{"Z1", "Z2", "A1"}));
    EXPECT_EQ(sources, (std::vector<std::string>{airports_[0].navDatPath, airports_[0].navDatPath,
                                                 airports_[3].navDatPath}));
    EXPECT_EQ(screen_.errors,
              (std::vector<std::string>{"Error!: I can't open \"From\" file!\n" +
                                        airports_[1].navDatPath + ": " + missingFileReason()}));
}

TEST_F(MergeJob, KeepsTheLastHeaderRowAndReadsPastTheEndRow) {
    writeDatabase("I\n810 Version, first header\n" + kHeader +
                  "99\n2 1.0 1.0 0 300 25 0.0 AFTER END NDB\n\n  5 1.0 1.0 0 1 1 0.0 LATE X Y");
    const Result<DatabaseText> database = DatabaseText::read(readBytes(earthNav_), "earth_nav.dat");
    ASSERT_TRUE(database) << database.reason();
    EXPECT_EQ(database->headerLine(), kHeader);
    ASSERT_EQ(database->rowCount(), 2u);
    EXPECT_EQ(database->row(0).callsign, "AFTER");
    EXPECT_EQ(database->row(1).type, 5);
    EXPECT_EQ(database->row(1).line, "  5 1.0 1.0 0 1 1 0.0 LATE X Y");
}

// One database line B against one custom line C: is B kept, and how often was the user asked?
struct DecisionCase {
    const char* what;
    const char* base;
    const char* custom;
    int sameNameAction, sameCallsignAction, restriction;
    std::vector<Answer> answers;
    bool baseKept;
    std::size_t questions;
};

// clang-format off
const DecisionCase kDecisionCases[] = {
    {"exact duplicate despite letter case and other columns",
     "3 47.43 -122.30 338 11680 130 19.0 SEA SEATTLE VORTAC",
     "3 47.99 -122.01 0 11690 40 0.0 sea Seattle vor",
     kSameNameSkip, kSameCallsignSkip, 1, {}, false, 0},
    {"codes 4 to 12 also compare the runway name: no relation",
     "4 47.4 -122.3 0 11030 18 163.7 ISNQ KSEA 16L ILS-cat-III",
     "4 47.4 -122.3 0 11030 18 163.7 ISNQ KSEA 34R ILS-cat-I",
     kSameNameRequest, kSameCallsignRequest, 1, {}, true, 0},
    {"codes 4 to 12 duplicate when the runway names agree",
     "4 47.4 -122.3 0 11030 18 163.7 ISNQ KSEA 16L ILS-cat-III",
     "4 47.4 -122.3 0 11030 18 163.7 isnq ksea 16l ILS",
     kSameNameSkip, kSameCallsignSkip, 1, {}, false, 0},
    {"another row code is never related",
     "3 47.43 -122.30 0 11680 130 19.0 SEA SEATTLE VORTAC",
     "2 47.43 -122.30 0 11680 130 19.0 SEA SEATTLE VORTAC",
     kSameNameReplace, kSameCallsignReplace, 1, {}, true, 0},
    {"NAME conflict, Skip",
     "3 47.4 -122.3 0 11680 130 19.0 SEA SEATTLE VORTAC",
     "3 47.4 -122.3 0 11680 130 19.0 SEX SEATTLE VORTAC",
     kSameNameSkip, kSameCallsignReplace, 1, {}, true, 0},
    {"NAME conflict, Replace",
     "3 47.4 -122.3 0 11680 130 19.0 SEA SEATTLE VORTAC",
     "3 47.4 -122.3 0 11680 130 19.0 SEX SEATTLE VORTAC",
     kSameNameReplace, kSameCallsignSkip, 1, {}, false, 0},
    {"NAME conflict, Request answered Replace",
     "3 47.4 -122.3 0 11680 130 19.0 SEA SEATTLE V",
     "3 47.4 -122.3 0 11680 130 19.0 SEX SEATTLE V",
     kSameNameRequest, kSameCallsignSkip, 1, {Answer::Replace}, false, 1},
    {"NAME conflict, Request answered Skip",
     "3 47.4 -122.3 0 11680 130 19.0 SEA SEATTLE V",
     "3 47.4 -122.3 0 11680 130 19.0 SEX SEATTLE V",
     kSameNameRequest, kSameCallsignReplace, 1, {Answer::Skip}, true, 1},
    {"unknown action code acts as Skip",
     "3 47.4 -122.3 0 1 1 0.0 SEA SEATTLE V",
     "3 47.4 -122.3 0 1 1 0.0 SEX SEATTLE V",
     0, 0, 1, {}, true, 0},
    {"the other group's Replace code acts as Skip",
     "3 47.4 -122.3 0 1 1 0.0 SEA SEATTLE V",
     "3 47.4 -122.3 0 1 1 0.0 SEX SEATTLE V",
     kSameCallsignReplace, kSameNameReplace, 1, {}, true, 0},
    {"the other group's Request code acts as Skip",
     "4 47.4 -122.3 0 1 1 0.0 ISNQ KSEA 16L ILS",
     "4 47.4 -122.3 0 1 1 0.0 ISNQ KBFI 14R ILS",
     kSameCallsignRequest, kSameNameRequest, 1, {}, true, 0},
    {"CALLSIGN conflict, Skip",
     "4 47.4 -122.3 0 11030 18 163.7 ISNQ KSEA 16L ILS",
     "4 47.4 -122.3 0 11030 18 163.7 ISNQ KBFI 14R ILS",
     kSameNameReplace, kSameCallsignSkip, 1, {}, true, 0},
    {"CALLSIGN conflict, Replace",
     "4 47.4 -122.3 0 11030 18 163.7 ISNQ KSEA 16L ILS",
     "4 47.4 -122.3 0 11030 18 163.7 ISNQ KBFI 14R ILS",
     kSameNameSkip, kSameCallsignReplace, 1, {}, false, 0},
    {"CALLSIGN conflict, Request answered Replace",
     "4 47.4 -122.3 0 11030 18 163.7 ISNQ KSEA 16L ILS",
     "4 47.4 -122.3 0 11030 18 163.7 ISNQ KBFI 14R ILS",
     kSameNameSkip, kSameCallsignRequest, 1, {Answer::Replace}, false, 1},
    {"CALLSIGN conflict, Request answered Skip",
     "4 47.4 -122.3 0 11030 18 163.7 ISNQ KSEA 16L ILS",
     "4 47.4 -122.3 0 11030 18 163.7 ISNQ KBFI 14R ILS",
     kSameNameReplace, kSameCallsignRequest, 1, {Answer::Skip}, true, 1},
    {"same callsign, one NAME field equal: no relation",
     "4 47.4 -122.3 0 11030 18 163.7 ISNQ KSEA 16L ILS",
     "4 47.4 -122.3 0 11030 18 163.7 ISNQ KBFI 16L ILS",
     kSameNameReplace, kSameCallsignReplace, 1, {}, true, 0},
    {"identifiers are compared whole, past four characters",
     "3 47.4 -122.3 0 1 1 0.0 ABCDEF SAME VOR",
     "3 47.4 -122.3 0 1 1 0.0 ABCDEX SAME VOR",
     kSameNameSkip, kSameCallsignSkip, 1, {}, true, 0},
    {"duplicate in another whole-degree cell stays",
     "3 47.9 -122.3 0 1 1 0.0 SEA SEATTLE V",
     "3 48.1 -122.3 0 1 1 0.0 SEA SEATTLE V",
     kSameNameSkip, kSameCallsignSkip, 1, {}, true, 0},
    {"without the restriction the cell does not matter",
     "3 47.9 -122.3 0 1 1 0.0 SEA SEATTLE V",
     "3 -33.1 151.3 0 1 1 0.0 SEA SEATTLE V",
     kSameNameSkip, kSameCallsignSkip, 0, {}, false, 0},
};
// clang-format on

TEST_F(MergeJob, DecidesEachPairByItsRelationAndTheSettings) {
    for (const DecisionCase& c : kDecisionCases) {
        SCOPED_TRACE(c.what);
        options_ = mergeOptionsOf(c.sameNameAction, c.sameCallsignAction, c.restriction);
        screen_ = RecordingScreen();
        screen_.answers.assign(c.answers.begin(), c.answers.end());
        airports_.clear();
        writeDatabase("I\n" + kHeader + c.base + "\n99\n");
        addAirport("A", (std::string(c.custom) + "\n").c_str());

        const std::string output = runMerge();
        std::string upperCustom = c.custom;
        makeUpperAscii(upperCustom);
        const std::string keptBlock = c.baseKept ? std::string(c.base) + "\n" : "";
        EXPECT_EQ(output,
                  crlf("I\n" + kHeader + "\n" + keptBlock + "\n" + upperCustom + "\n\n\n99\n"));
        EXPECT_EQ(screen_.questions.size(), c.questions);
    }
}

TEST_F(MergeJob, SkipGoesOnToLaterCustomLinesAndTheFirstDropEndsTheSearch) {
    options_.sameName = ConflictAction::Ask;
    const std::string base = "3 47.4 -122.3 0 1 1 0.0 SEA SEATTLE V\n";
    writeDatabase("I\n" + kHeader + base);
    addAirport("One", "3 47.4 -122.3 0 1 1 0.0 se1 seattle v\n");
    addAirport("Two", "3 47.4 -122.3 0 1 1 0.0 se2 SEATTLE V\n"
                      "3 47.4 -122.3 0 1 1 0.0 se3 SEATTLE V\n");
    screen_.answers = {Answer::Skip, Answer::Replace};

    const std::string output = runMerge();
    ASSERT_EQ(screen_.questions.size(), 2u);
    EXPECT_EQ(screen_.questions[0].sourcePath, airports_[0].navDatPath);
    EXPECT_EQ(screen_.questions[0].baseLine, base);
    EXPECT_EQ(screen_.questions[0].customLine, "3 47.4 -122.3 0 1 1 0.0 se1 seattle v\n");
    EXPECT_EQ(screen_.questions[1].sourcePath, airports_[1].navDatPath);
    EXPECT_EQ(screen_.questions[1].customLine, "3 47.4 -122.3 0 1 1 0.0 se2 SEATTLE V\n");
    EXPECT_EQ(output.find(crlf(base)), std::string::npos);
}

TEST_F(MergeJob, AnExactDuplicateFoundFirstAsksNothing) {
    options_.sameName = ConflictAction::Ask;
    writeDatabase("I\n" + kHeader + "3 47.4 -122.3 0 1 1 0.0 SEA SEATTLE V\n");
    addAirport("A",
               "3 47.4 -122.3 0 1 1 0.0 SEA SEATTLE V\n3 47.4 -122.3 0 1 1 0.0 SEX SEATTLE V\n");
    runMerge();
    EXPECT_TRUE(screen_.questions.empty());
}

TEST(WholeDegreeCell, NearMeansTheSameCell) {
    const struct {
        const char *base, *custom;
        bool near;
    } cases[] = {
        {"3 47.9 10.5 x", "3 47.1 10.0 x", true},
        {"3 47.9 10.5 x", "3 48.1 10.5 x", false},
        {"3 -0.5 10.5 x", "3 0.5 10.5 x", true},
        {"3 -1.5 10.5 x", "3 -0.5 10.5 x", false},
        {"3 47.9 10.5 x", "3 47.9 11.5 x", false},
        {"3 +047.25 -010.5 x", "3 47.75 -10.1 x", true},
        {"3 -0.999 -0.01 x", "3 0.001 0.99 x", true},
        {"  3\t47.5\t10.5", "3 47.5 10.5", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sameCell(coordinateCell(c.base), coordinateCell(c.custom)), c.near)
            << c.base << " / " << c.custom;
}

TEST_F(MergeJob, ASecondMergeOfTheSameSelectionGivesTheSameFile) {
    for (int replace = 0; replace < 2; ++replace) {
        const ConflictAction action = replace ? ConflictAction::Replace : ConflictAction::Skip;
        options_ = {action, action, true};
        airports_.clear();
        writeDatabase("I\n" + kHeader +
                      "3 47.4 -122.3 0 1 1 0.0 SEA SEATTLE V\n"
                      "2 47.5 -122.5 0 1 1 0.0 NB NDBX NDB\n99\n");
        addAirport("A", "3 47.4 -122.3 0 1 1 0.0 sea seattle v\n3 47.1 -122.1 0 1 1 0.0 NEW N V\n");
        const std::string first = runMerge();
        EXPECT_EQ(runMerge(), first) << (replace ? "Replace" : "Skip");
    }
}

TEST_F(MergeJob, LongLinesAndWordsStayWhole) {
    const std::string longTail(400, 'q');
    writeDatabase("I\n" + kHeader + "5 47.4 -122.3 0 1 1 0.0 LONGID1 NAME RWY " + longTail + "\n");
    addAirport("A", ("3 47.4 -122.3 0 1 1 0.0 LONGID2 NAME V " + longTail + "\n").c_str());
    const std::string output = runMerge();
    std::string upperTail = longTail;
    makeUpperAscii(upperTail);
    EXPECT_NE(output.find("5 47.4 -122.3 0 1 1 0.0 LONGID1 NAME RWY " + longTail + "\r\n"),
              std::string::npos);
    EXPECT_NE(output.find("3 47.4 -122.3 0 1 1 0.0 LONGID2 NAME V " + upperTail + "\r\n"),
              std::string::npos);
}

TEST_F(MergeJob, APreviewDecidesAsTheMergeAndWritesNothing) {
    options_ = {ConflictAction::Replace, ConflictAction::Ask, true};
    const std::string ndb = "2 47.53 -122.31 0 362 25 0.0 BF NOLLA NDB";
    const std::string vor = "3 47.43 -122.30 338 11680 130 19.0 SEA SEATTLE VORTAC";
    const std::string ils = "4 47.4 -122.3 0 11030 18 163.7 ISNQ KSEA 16L ILS";
    const std::string far = "2 10.1 10.1 0 300 25 0.0 FF FAR NDB";
    writeDatabase("I\n" + kHeader + ndb + "\n" + vor + "\n" + ils + "\n" + far + "\n99\n");
    const std::string database = readBytes(earthNav_);
    addAirport("One", "3 47.43 -122.30 0 1 1 0.0 sea seattle vortac\n"     // duplicate of vor
                      "2 47.5 -122.3 0 362 25 0.0 xy nolla ndb\n");        // NAME conflict, ndb
    addAirport("Two", "4 47.4 -122.3 0 11030 18 163.7 ISNQ KBFI 14R ILS\n" // CALLSIGN, ils
                      "2 20.2 20.2 0 300 25 0.0 NEW NEWNDB NDB");
    screen_.answers = {Answer::Replace};

    const MergeOutcome preview = merge(JobPurpose::Preview);
    EXPECT_EQ(preview.end, MergeEnd::Previewed);
    EXPECT_EQ(readBytes(earthNav_), database);
    EXPECT_FALSE(fs::exists(earthNav_ + ".bak"));
    EXPECT_EQ(databaseFolder(), std::vector<std::string>{"earth_nav.dat"});
    EXPECT_EQ(std::count(screen_.events.begin(), screen_.events.end(),
                         "status Writing .bak for " + earthNav_ + "\n"),
              0);
    ASSERT_EQ(screen_.questions.size(), 1u);
    EXPECT_EQ(screen_.questions[0].baseLine, ils + "\n");

    const MergeReport& report = preview.report;
    EXPECT_EQ(report.databasePath, earthNav_);
    EXPECT_EQ(report.databaseNavaids, 4u);
    const std::string one = airports_[0].navDatPath, two = airports_[1].navDatPath;
    const struct {
        std::string line;
        DropReason reason;
        DecidedBy decidedBy;
        std::string customLine, sourcePath;
    } dropped[] = {
        {ndb, DropReason::NameConflict, DecidedBy::Setting,
         "2 47.5 -122.3 0 362 25 0.0 XY NOLLA NDB", one},
        {vor, DropReason::Duplicate, DecidedBy::Rule,
         "3 47.43 -122.30 0 1 1 0.0 SEA SEATTLE VORTAC", one},
        {ils, DropReason::CallsignConflict, DecidedBy::Answer,
         "4 47.4 -122.3 0 11030 18 163.7 ISNQ KBFI 14R ILS", two},
    };
    ASSERT_EQ(report.dropped.size(), std::size(dropped));
    for (std::size_t i = 0; i < std::size(dropped); ++i) {
        SCOPED_TRACE(dropped[i].line);
        EXPECT_EQ(report.dropped[i].line, dropped[i].line);
        EXPECT_EQ(report.dropped[i].reason, dropped[i].reason);
        EXPECT_EQ(report.dropped[i].decidedBy, dropped[i].decidedBy);
        EXPECT_EQ(report.dropped[i].customLine, dropped[i].customLine);
        EXPECT_EQ(report.dropped[i].sourcePath, dropped[i].sourcePath);
    }
    std::vector<std::string> added;
    for (const AddedLine& line : report.added)
        added.push_back(line.sourcePath + ": " + line.line);
    EXPECT_EQ(added,
              (std::vector<std::string>{one + ": 3 47.43 -122.30 0 1 1 0.0 SEA SEATTLE VORTAC",
                                        one + ": 2 47.5 -122.3 0 362 25 0.0 XY NOLLA NDB",
                                        two + ": 4 47.4 -122.3 0 11030 18 163.7 ISNQ KBFI 14R ILS",
                                        two + ": 2 20.2 20.2 0 300 25 0.0 NEW NEWNDB NDB"}));

    // Given the same answers, the merge writes the text the preview shows, and what the diff
    // is taken against is the database as read.
    screen_ = RecordingScreen();
    screen_.answers = {Answer::Replace};
    EXPECT_EQ(merge().end, MergeEnd::Written);
    EXPECT_EQ(readBytes(earthNav_), crlf(preview.mergedText));
    EXPECT_EQ(crlf(preview.databaseText), database);
    EXPECT_EQ(readBytes(earthNav_ + ".bak"), database);
}

TEST_F(MergeJob, MissingDatabaseIsReportedAndNothingIsWritten) {
    addAirport("A", "3 47.4 -122.3 0 1 1 0.0 SEA SEATTLE V\n");
    EXPECT_EQ(merge().end, MergeEnd::InputError);
    EXPECT_EQ(screen_.errors, (std::vector<std::string>{"Error!: I can't open \"To\" file!\n" +
                                                        earthNav_ + ": " + missingFileReason()}));
    EXPECT_FALSE(fs::exists(earthNav_));
    EXPECT_FALSE(fs::exists(earthNav_ + ".bak"));
    EXPECT_EQ(databaseFolder(), std::vector<std::string>{});
}

TEST_F(MergeJob, FailedBackupLeavesTheDatabaseUntouched) {
    const std::string database = "I\n" + kHeader + "3 47.4 -122.3 0 1 1 0.0 SEA SEATTLE V\n99\n";
    writeDatabase(database);
    fs::create_directory(earthNav_ + ".bak"); // a folder where the backup should go
    addAirport("A", "3 47.4 -122.3 0 1 1 0.0 SEA SEATTLE V\n");

    EXPECT_EQ(merge().end, MergeEnd::WriteError);
    EXPECT_EQ(screen_.errors,
              (std::vector<std::string>{"Error!: I can't write \".bak\" file!\n" + earthNav_ +
                                        ".bak: " + folderInTheWayReason()}));
    EXPECT_EQ(readBytes(earthNav_), crlf(database));
    EXPECT_TRUE(fs::is_directory(earthNav_ + ".bak"));
    EXPECT_EQ(databaseFolder(), (std::vector<std::string>{"earth_nav.dat", "earth_nav.dat.bak"}));
}

std::string utf16LittleEndian(const std::string& text) {
    std::string bytes;
    for (char c : text)
        bytes += std::string(1, c) + '\0';
    return bytes;
}

TEST_F(MergeJob, ADatabaseItCannotMergeIntoIsLeftAloneWithItsBackup) {
    const std::string rows = "3 47.4 -122.3 0 1 1 0.0 SEA SEATTLE V\r\n99\r\n";
    const struct {
        const char* what;
        std::string bytes;
        std::string error;
    } cases[] = {
        {"empty", "", "earth_nav.dat is empty; nothing was changed."},
        {"UTF-16 with its byte-order mark",
         "\xFF\xFE" + utf16LittleEndian("I\r\n810 Version\r\n" + rows),
         "earth_nav.dat is UTF-16 text, which Quillet cannot read; nothing was changed."},
        {"UTF-16 without a byte-order mark", utf16LittleEndian("I\r\n810 Version\r\n" + rows),
         "earth_nav.dat is UTF-16 text, which Quillet cannot read; nothing was changed."},
        {"NUL bytes", "I\r\n810 Version\r\n" + std::string("3 47.4\0\0", 8) + rows,
         "earth_nav.dat is not a navaid database (it holds NUL bytes); nothing was changed."},
        {"no version line", "I\r\n" + rows,
         "earth_nav.dat is not a navaid database (no version line); nothing was changed."},
        {"a format newer than X-Plane 12's", "I\r\n1300 Version - data cycle 3001\r\n" + rows,
         "earth_nav.dat is in format 1300 (newer than X-Plane 12), which this version of Quillet "
         "cannot merge; nothing was changed."},
        {"a format between known ones", "I\r\n1000 Version\r\n" + rows,
         "earth_nav.dat is in format 1000, which this version of Quillet cannot merge; nothing "
         "was changed."},
        {"an older format", "I\r\n740 Version\r\n" + rows,
         "earth_nav.dat is in format 740 (older than X-Plane 8.10), which this version of "
         "Quillet cannot merge; nothing was changed."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        screen_ = RecordingScreen();
        airports_.clear();
        writeBytes(earthNav_, c.bytes);
        writeBytes(earthNav_ + ".bak", "a good older backup\r\n");
        addAirport("A", "3 47.4 -122.3 0 1 1 0.0 SEA SEATTLE V\n");

        EXPECT_EQ(merge().end, MergeEnd::InputError);
        EXPECT_EQ(screen_.errors, std::vector<std::string>{"Error!: " + c.error});
        EXPECT_EQ(readBytes(earthNav_), c.bytes);
        EXPECT_EQ(readBytes(earthNav_ + ".bak"), "a good older backup\r\n");
        EXPECT_EQ(databaseFolder(),
                  (std::vector<std::string>{"earth_nav.dat", "earth_nav.dat.bak"}));
        // No stage of the database began: no backup, no loading.
        for (const std::string& event : screen_.events)
            EXPECT_EQ(event.find(earthNav_), std::string::npos) << event;
    }
}

TEST_F(MergeJob, ReadsLoneCrLineEndsAndAByteOrderMarkInEveryFile) {
    // As a database saved on an old Mac, and with a byte-order mark glued to its first line.
    writeBytes(earthNav_, "\xEF\xBB\xBFI\r" + kHeader.substr(0, kHeader.size() - 1) +
                              "\r2  47.53 -122.31 0 362 25 0.0 BF NOLLA NDB\r99\r");
    // A byte-order mark right before the first row.
    addAirport("A", "\xEF\xBB\xBF"
                    "3 40.1 -100.1 0 11500 40 0.0 abc abcvor vor\n");
    EXPECT_EQ(runMerge(), crlf("I\n" + kHeader + "\n" +
                               "2  47.53 -122.31 0 362 25 0.0 BF NOLLA NDB\n"
                               "\n"
                               "3 40.1 -100.1 0 11500 40 0.0 ABC ABCVOR VOR\n"
                               "\n\n99\n"));
    EXPECT_TRUE(screen_.errors.empty());
}

TEST_F(MergeJob, ACustomLineGivenTwiceIsTakenOnceTheFirstInTableOrder) {
    options_ = {ConflictAction::Ask, ConflictAction::Ask, true};
    // A NAME conflict for every copy of the custom line.
    const std::string base = "3 47.4 -122.3 0 1 1 0.0 SEA SEATTLE V\n";
    writeDatabase("I\n" + kHeader + base + "99\n");
    const std::string line = "3 47.4 -122.3 0 1 1 0.0 sex seattle v";
    addAirport("First", (line + "\n2 1.0 1.0 0 300 25 0.0 AB ALPHA NDB\n" + line + "\n").c_str());
    addAirport("Second", ("3 47.4 -122.3 0 1 1 0.0 SEX Seattle V\n"
                          "3 47.4 -122.3 0 1 1 0.0 sex seattle v \n" + // not the same: a blank
                          line)
                             .c_str());

    const std::string output = runMerge();
    ASSERT_EQ(screen_.questions.size(), 2u);
    EXPECT_EQ(screen_.questions[0].sourcePath, airports_[0].navDatPath);
    EXPECT_EQ(screen_.questions[0].customLine, line + "\n");
    EXPECT_EQ(screen_.questions[1].sourcePath, airports_[1].navDatPath);
    EXPECT_EQ(screen_.questions[1].customLine, line + " \n");
    EXPECT_EQ(output, crlf("I\n" + kHeader + "\n" + base + "\n" +
                           "3 47.4 -122.3 0 1 1 0.0 SEX SEATTLE V\n\n"
                           "2 1.0 1.0 0 300 25 0.0 AB ALPHA NDB\n\n"
                           "3 47.4 -122.3 0 1 1 0.0 SEX SEATTLE V \n\n"
                           "\n99\n"));
}

TEST_F(MergeJob, ADatabaseChangedByAnotherProgramMeanwhileIsNotOverwritten) {
    // A question is asked; meanwhile a navdata update rewrites the database.
    struct UpdateWhileAsking : RecordingScreen {
        std::function<void()> update;
        Answer ask(const std::string& sourcePath, const std::string& baseLine,
                   const std::string& customLine) override {
            update();
            return RecordingScreen::ask(sourcePath, baseLine, customLine);
        }
    } screen;
    const std::string updated =
        crlf("I\n" + kHeader + "3 40.1 -100.1 0 11500 40 0.0 NEW NEWER VOR\n99\n");
    screen.update = [&] { writeBytes(earthNav_, updated); };
    screen.answers = {Answer::Replace};
    writeDatabase("I\n" + kHeader + "3  40.1 -100.1 0 11500 40 0.0 ABC ABCVOR VOR-DME\n99\n");
    writeBytes(earthNav_ + ".bak", "an older backup");
    addAirport("A", "3  40.1 -100.1 0 11500 40 0.0 ABC OTHER VOR\n");
    options_ = {ConflictAction::Ask, ConflictAction::Ask, true};
    const MergeOutcome outcome =
        ::runMerge({earthNav_, pickedAirports(airports_), options_}, screen.screen());
    EXPECT_EQ(outcome.end, MergeEnd::WriteError);
    EXPECT_EQ(screen.questions.size(), 1u);
    EXPECT_EQ(screen.errors, std::vector<std::string>{"Error!: " + earthNav_ +
                                                      " was changed by another program during "
                                                      "the merge; nothing was changed."});
    EXPECT_EQ(readBytes(earthNav_), updated);
    EXPECT_EQ(readBytes(earthNav_ + ".bak"), "an older backup");
}

TEST_F(MergeJob, AReadOnlyDatabaseOrBackupIsNamedAndNothingIsChanged) {
    const std::string database = "I\n" + kHeader + "3 47.4 -122.3 0 1 1 0.0 SEA SEATTLE V\n99\n";
    const std::string backup = earthNav_ + ".bak";
    addAirport("A", "3 10.4 10.3 0 1 1 0.0 ABC ALPHA V\n");
    for (const std::string& readOnly : {earthNav_, backup}) {
        SCOPED_TRACE(readOnly);
        writeDatabase(database);
        writeBytes(backup, "an older backup");
        setReadOnly(readOnly, true);
        const FolderContents before = folderContents(fs::path(earthNav_).parent_path());
        screen_.errors.clear();

        EXPECT_EQ(merge().end, MergeEnd::WriteError);
        EXPECT_EQ(screen_.errors,
                  std::vector<std::string>{"Error!: " + readOnly +
                                           " is read-only, so I can't replace it; nothing was "
                                           "changed."});
        EXPECT_EQ(folderContents(fs::path(earthNav_).parent_path()), before);
        EXPECT_TRUE(isReadOnly(readOnly));
        setReadOnly(readOnly, false);
    }
}

} // namespace
