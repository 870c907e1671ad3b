// Merges into databases of every format, on small fixtures written from X-Plane's format
// descriptions: which lines stay, where the add-on rows go and in which format, and which
// add-on rows are left out and why.

#include "merge/magnetic_model.h"
#include "merge/merge_job.h"
#include "scenery/nav_format.h"

#include "recording_screen.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A database near Seattle with a row of every code from 2 to 16. The localizers' bearings
// are true courses in 1100 and magnetic x 360 + true from 1150 on (SEA's variation is 19 E).
struct Database {
    NavFormat format;
    std::string header, ndb, vor, localizer, bfiLocalizer, glideslope, outerMarker, vorDme, ilsDme,
        dme, biskra, fpap, gls, ltp;

    explicit Database(NavFormat f) : format(f) {
        const bool magnetic = f >= NavFormat::V1150;
        header = std::to_string(versionOf(f)) +
                 " Version - data cycle 2301, build 20230101. Copyright \xa9 2023 test data.\n";
        ndb = "2  47.63252778 -122.38952778      0   362  50    0.000 BF   ENRT K1 NOLLA/KBFI "
              "LOM\n";
        vor = "3  47.43538889 -122.30961111    354 11680 130   19.000 SEA  ENRT K1 SEATTLE "
              "VORTAC\n";
        localizer = std::string("4  47.42939200 -122.30805600    338 11030  18 ") +
                    (magnetic ? "58140.343" : "180.343") + " ISNQ KSEA K1 16L ILS-cat-I\n";
        bfiLocalizer = std::string("5  47.53000000 -122.30000000     21 11090  18 ") +
                       (magnetic ? "41173.400" : "133.400") + " IBFI KBFI K1 14R LOC\n";
        glideslope = "6  47.46081700 -122.30939400    425 11030  10 300180.343 ISNQ KSEA K1 16L "
                     "GS\n";
        outerMarker = "7  47.53953300 -122.30827900      0     0   0  180.343 ISNQ KSEA K1 16L "
                      "OM\n";
        vorDme = "12 47.43538889 -122.30961111    354 11680 130    0.000 SEA  ENRT K1 SEATTLE "
                 "VORTAC DME\n";
        ilsDme = "12 47.43433300 -122.30630000    369 11030  18    0.000 ISNQ KSEA K1 "
                 "SEATTLE-TACOMA INTL DME-ILS\n";
        dme = "13 47.90000000 -122.50000000    100 11300  40    0.000 PAE  ENRT K1 PAINE DME\n";
        biskra = "3  34.79333333    5.73916667    280 11320 130    1.000 BIS  ENRT DA BISKRA "
                 "VOR-DME\n";
        fpap = "14 47.43000000 -122.30800000    369     0   0  180.343 R16L KSEA K1 W16L LPV\n";
        gls = "15 47.44000000 -122.31000000    369 20000  30    0.000 G16L KSEA K1 GLS\n";
        ltp = "16 47.46400000 -122.30800000    369     0   0  180.343 R16L KSEA K1 W16L LPV\n";
    }

    std::vector<std::string> rows() const {
        return {ndb,    vor, localizer, bfiLocalizer, glideslope, outerMarker, vorDme,
                ilsDme, dme, biskra,    fpap,         gls,        ltp};
    }
    // The file with the given rows in place of rows(); blank3: the empty third line some
    // navdata providers write.
    std::string text(const std::vector<std::string>& body, bool blank3 = false) const {
        std::string file = "I\n" + header + (blank3 ? "\n" : "");
        for (const std::string& row : body)
            file += row;
        return file + "99\n";
    }
    std::string text() const { return text(rows()); }
};

class FormatMerge : public ::testing::Test {
  protected:
    void SetUp() override {
        earthNav_ = dir_.file("Custom Data/earth_nav.dat");
        globalAirports_ = dir_.file("Global Scenery/Global Airports/Earth nav data/apt.dat");
        fs::create_directories(fs::path(earthNav_).parent_path());
    }

    void addAirport(const std::string& folder, const std::string& navDat) {
        const std::string path = dir_.file("Custom Scenery/" + folder + "/Earth nav data/nav.dat");
        writeBytes(path, crlf(navDat));
        airports_.push_back({path, folder, true});
    }

    // Merges into a database of these bytes; returns the bytes it leaves.
    std::string merge(const std::string& database) {
        writeBytes(earthNav_, database);
        screen_ = RecordingScreen();
        screen_.answers.assign(answers_.begin(), answers_.end());
        leftOut_ = runMerge({earthNav_,
                             pickedAirports(airports_),
                             options_,
                             JobPurpose::Merge,
                             {globalAirports_}},
                            screen_.screen())
                       .report.leftOut;
        return readBytes(earthNav_);
    }

    std::vector<std::string> leftOutReasons() const {
        std::vector<std::string> reasons;
        for (const LeftOutRow& row : leftOut_)
            reasons.push_back(row.row + " | " + row.reason);
        return reasons;
    }

    TempDir dir_;
    std::string earthNav_, globalAirports_;
    std::vector<CustomAirport> airports_;
    MergeOptions options_{ConflictAction::Skip, ConflictAction::Skip, true};
    std::vector<Answer> answers_;
    RecordingScreen screen_;
    std::vector<LeftOutRow> leftOut_;
};

TEST_F(FormatMerge, DatabasesOf1100AndLaterKeepEveryLineAndTakeNewRowsBeforeTheFinal99) {
    for (NavFormat format : {NavFormat::V1100, NavFormat::V1150, NavFormat::V1200}) {
        const Database db(format);
        // A new NDB, and the VOR again (a duplicate: the database's row gives way).
        const std::string newNdb =
            "2  47.39000000 -122.29500000      0   396  25    0.000 TC   ENRT K1 TACOMA NDB\n";
        const std::string sameVor =
            "3  47.43538889 -122.30961111    354 11680 130   19.000 sea  enrt k1 Seattle  Vortac\n";
        airports_.clear();
        addAirport("KSEA", "I\n" + db.header + newNdb + sameVor + "99\n");
        std::vector<std::string> kept = db.rows();
        kept.erase(kept.begin() + 1);
        for (const bool windows : {false, true}) {
            for (const bool blank3 : {false, true}) {
                SCOPED_TRACE(db.header + (windows ? "CR LF" : "LF") + (blank3 ? ", blank 3" : ""));
                const auto bytes = [&](const std::string& text) {
                    return windows ? crlf(text) : text;
                };
                std::vector<std::string> expected = kept;
                expected.push_back(newNdb);
                expected.push_back(sameVor);
                // Lines after the final "99" stay after it; an earlier "99" stays too.
                const std::string tail = "\n; a comment\n";
                std::string database = db.text(db.rows(), blank3) + tail;
                database.insert(database.find(db.dme), "99\n");
                std::string merged = db.text(expected, blank3) + tail;
                merged.insert(merged.find(db.dme), "99\n");
                EXPECT_EQ(merge(bytes(database)), bytes(merged));
                EXPECT_EQ(readBytes(earthNav_ + ".bak"), bytes(database));
                EXPECT_TRUE(leftOut_.empty());
                EXPECT_TRUE(screen_.errors.empty());
            }
        }
    }
}

TEST_F(FormatMerge, ConflictsOf1100RowsNeedTheSameTerminalAreaAndRegion) {
    const Database db(NavFormat::V1200);
    options_ = {ConflictAction::Ask, ConflictAction::Ask, false};
    // BIS of Bissau (region GG) is not BIS of Biskra (DA); the SEA VORTAC renamed is a
    // CALLSIGN conflict, the 16L localizer with a new identifier a NAME conflict.
    const std::string bissau =
        "3  11.88333333  -15.65000000     39 11320 130   -6.000 BIS  ENRT GG BISSAU VOR-DME\n";
    const std::string seatac =
        "3  47.43538889 -122.30961111    354 11680 130   19.000 SEA  ENRT K1 SEATAC VORTAC\n";
    const std::string newLocalizer =
        "4  47.42939200 -122.30805600    338 11030  18 58140.343 IXYZ KSEA K1 16L ILS-cat-I\n";
    addAirport("Mixed", "I\n" + db.header + bissau + seatac + newLocalizer + "99\n");
    answers_ = {Answer::Replace, Answer::Replace};
    std::vector<std::string> kept = db.rows();
    kept.erase(kept.begin() + 1, kept.begin() + 3); // the VOR and the localizer
    kept.insert(kept.end(), {bissau, seatac, newLocalizer});
    EXPECT_EQ(merge(crlf(db.text())), crlf(db.text(kept)));
    ASSERT_EQ(screen_.questions.size(), 2u);
    EXPECT_EQ(screen_.questions[0].baseLine, db.vor);
    EXPECT_EQ(screen_.questions[0].customLine, seatac);
    EXPECT_EQ(screen_.questions[1].baseLine, db.localizer);
}

// An 810 add-on for Seattle: each row with what it becomes in a database of 1100 (the same
// from 1150 on but for the localizers' bearings), or why it stays out. The rows converted are
// written in the order of their row codes.
struct Conversion {
    std::string row810;
    std::string row1100, bearing1150; // row1100 empty: left out
    std::string reason;
};

// clang-format off
const Conversion kConversions[] = {
    // The database's localizer again: its 1100 form is the database's row, which it
    // duplicates, spelling and magnetic course included.
    {"4  47.42939200 -122.30805600    338 11030  18  180.343 ISNQ KSEA 16L ILS-CAT-I\n",
     "4  47.42939200 -122.30805600    338 11030  18  180.343 ISNQ KSEA K1 16L ILS-cat-I\n",
     "58140.343", ""},
    // A new localizer: its magnetic course from the variation of the airport's other one.
    {"4  47.44000000 -122.31000000    338 11050  18  180.000 isez ksea 16C ils-cat-i\n",
     "4  47.44000000 -122.31000000    338 11050  18  180.000 ISEZ KSEA K1 16C ILS-cat-I\n",
     "58140.000", ""},
    // Markers take the identifier of the add-on's localizer, else of the database's.
    {"7  47.60000000 -122.31000000      0     0   0  180.000 ---- KSEA 16C OM\n",
     "7  47.60000000 -122.31000000      0     0   0  180.000 ISEZ KSEA K1 16C OM\n", "", ""},
    {"8  47.50000000 -122.31000000      0     0   0  180.343 ---- KBFI 14R  MM\n",
     "8  47.50000000 -122.31000000      0     0   0  180.343 IBFI KBFI K1 14R MM\n", "", ""},
    {"9  47.45000000 -122.31000000      0     0   0  340.000 ---- KSEA 34R IM\n", "", "",
     "no localizer of KSEA runway 34R to take the marker's identifier from"},
    // A DME of the add-on's localizer, named after the airport as the database's ILS DMEs
    // name it, and one of the database's VOR.
    {"12 47.44000000 -122.31000000    338 11050  18    0.000 ISEZ KSEA 16C DME-ILS\n",
     "12 47.44000000 -122.31000000    338 11050  18    0.000 ISEZ KSEA K1 SEATTLE-TACOMA INTL "
     "DME-ILS\n", "", ""},
    {"12 47.43538889 -122.30961111    354 11680 130    0.000 SEA  SEATTLE VORTAC DME\n",
     "12 47.43538889 -122.30961111    354 11680 130    0.000 SEA ENRT K1 SEATTLE VORTAC DME\n",
     "", ""},
    {"12 47.40000000 -122.20000000    300 11500 130    0.000 TCM  TACOMA VORTAC DME\n", "", "",
     "it is a DME of no localizer, NDB or VOR that is known"},
    // En-route navaids take the region of the nearest database navaid.
    {"2  47.39000000 -122.29500000      0   396  25    0.000 tc   tacoma ndb\n",
     "2  47.39000000 -122.29500000      0   396  25    0.000 TC ENRT K1 TACOMA NDB\n", "", ""},
    {"13 10.50000000   10.50000000      0 11300  40    0.000 XX   NOWHERE DME\n", "", "",
     "no ICAO region is known for it: no airport data names one, and no database navaid is "
     "within 150 nm"},
    {"10 47.40000000 -122.20000000      0     0   0    0.000 XY   ODD ROW\n", "", "",
     "row code 10 has no rule for format 1100"},
    // Rows whose columns do not fit: an 1100 row, and a glideslope without its frequency,
    // as X-Plane 10's own database has some.
    {"3  47.43538889 -122.30961111    354 11680 130   19.000 SEA  ENRT K1 SEATTLE VORTAC\n",
     "", "", "it does not have the columns of its file's format 810"},
    {"6  47.44500000 -122.31000000    338  10 300180.000 ISEZ KSEA 16C GS\n", "", "",
     "it has 10 columns, and a row of code 6 in format 810 has at least 11"},
    {"6  47.44500000 -122.31000000    338 11050 10 300180,000 ISEZ KSEA 16C GS\n", "", "",
     "its seventh column \"300180,000\" is not a number"},
    // The marker above given again with its identifier: the same navaid. Twins, then rows
    // without their localizer, are listed after the other rows left out.
    {"7  47.60000000 -122.31000000      0     0   0  180.000 ISEZ KSEA 16C OM\n", "", "",
     "it is the same navaid as an add-on row before it"},
    // A glideslope whose localizer is neither in the database nor in the add-on.
    {"6  47.41000000 -122.31000000    338 11070  10 300340.000 IXYZ KSEA 34R GS\n", "", "",
     "its localizer IXYZ of KSEA is neither in the database nor merged"},
};
// clang-format on

TEST_F(FormatMerge, RowsOf810AreWrittenInTheDatabasesFormatOrLeftOut) {
    std::string navDat = "I\n810 Version - Seattle add-on\n";
    for (const Conversion& c : kConversions)
        navDat += c.row810;
    addAirport("KSEA 810", navDat + "99\n");
    for (NavFormat format : {NavFormat::V1100, NavFormat::V1150, NavFormat::V1200}) {
        const Database db(format);
        SCOPED_TRACE(db.header);
        std::vector<std::string> expected = db.rows();
        // The localizer and the VOR's DME, duplicated.
        expected.erase(expected.begin() + 6);
        expected.erase(expected.begin() + 2);
        std::vector<std::string> added, reasons;
        for (const Conversion& c : kConversions) {
            std::string row = c.row1100;
            if (!c.bearing1150.empty() && format >= NavFormat::V1150)
                row.replace(row.find(" 180."), 8, " " + c.bearing1150);
            if (c.row1100.empty())
                reasons.push_back(
                    c.row810.substr(0, c.row810.size() - 1) + " | " +
                    (c.reason == "row code 10 has no rule for format 1100"
                         ? "row code 10 has no rule for format " + std::to_string(versionOf(format))
                         : c.reason));
            else
                added.push_back(row);
        }
        std::stable_sort(
            added.begin(), added.end(),
            [](const std::string& a, const std::string& b) { return std::stoi(a) < std::stoi(b); });
        expected.insert(expected.end(), added.begin(), added.end());
        EXPECT_EQ(merge(crlf(db.text())), crlf(db.text(expected)));
        EXPECT_EQ(leftOutReasons(), reasons);
    }
}

TEST_F(FormatMerge, RowsOf810TakeTheFactsTheyLackFromXPlanesAirportDataAndTheDatabase) {
    const std::string header = "I\n1200 Version - data cycle 2406, build 20240601\n";
    const std::string database =
        header +
        "3  48.60000000   14.40000000   2000 11500 130      4.000 XYZ  ENRT LO SOMEWHERE VOR\n"
        "4  47.42939200 -122.30805600    338 11030  18  58140.343 ISNQ KSEA K1 16L ILS-cat-I\n"
        "4  51.47000000   -0.45000000     83 10950  18  97470.000 ILL  EGLL EG 27L ILS-cat-I\n"
        "4  51.46000000   -0.48000000     83 10970  18  32850.000 IAA  EGLL EG 09R ILS-cat-I\n"
        "99\n";
    // Ceske Budejovice lies 20 nm from an Austrian VOR, Lucknow 200 nm from any navaid.
    writeBytes(globalAirports_, "I\n1200 Version\n"
                                "1 1417 0 0 LKCS Ceske Budejovice\n"
                                "1302 region_code LK\n"
                                "1 410 0 0 VILK Amausi\n"
                                "1302 region_code VI\n"
                                "99\n");
    addAirport("LKCS", "I\n810 Version\n"
                       "4  48.94000000   14.43000000   1417 10950  18    270.000 ICS  LKCS 27 "
                       "ILS-cat-I\n"
                       "12 48.94000000   14.43000000   1417 10950  18      0.000 ICS  LKCS 27 "
                       "DME-ILS\n"
                       "99\n");
    addAirport("VILK", "I\n810 Version\n"
                       "4  26.76000000   80.88000000    410 10990  18    270.000 ILK  VILK 27 "
                       "ILS-cat-I\n"
                       "12 26.76000000   80.88000000    410 10990  18      0.000 ILK  VILK 27 "
                       "DME-ILS\n"
                       "99\n");
    writeBytes(dir_.file("Custom Scenery/VILK/Earth nav data/apt.dat"),
               "I\n1000 Version\n1 410 0 0 VILK Chaudhary Charan Singh Intl\n99\n");
    addAirport("EGLL and more",
               "I\n810 Version\n"
               "4  51.46000000   -0.48000000     83 10970  18     90.000 IAA  EGLL "
               "09R ILS-cat-I\n"
               "7  51.46000000   -0.40000000      0     0   0    270.000 ---- EGLL "
               "27L OM\n"
               "5  47.50000000 -122.20000000    100 11100  18    160.000 IXY  KXYZ "
               "16 LOC\n"
               "99\n");
    // Lucknow and the airport near Seattle have no VOR near enough: their magnetic courses
    // are the magnetic model's.
    const auto modelBearing = [&](double latitude, double longitude, const char* trueCourse) {
        return *bearingWithMagneticCourse(
            trueCourse, magneticDeclination(latitude, longitude, *dataCycleYear(header)));
    };
    const std::string iaa =
        "4  51.46000000   -0.48000000     83 10970  18  32850.000 IAA  EGLL EG 09R ILS-cat-I\n";
    std::string merged = database.substr(0, database.size() - 3);
    merged.erase(merged.find(iaa), iaa.size()); // given again by the add-on
    merged +=
        // The regions the airport data gives, not the nearest navaid's; the magnetic course
        // from the nearest VOR's variation.
        "4  48.94000000   14.43000000   1417 10950  18    96030.000 ICS LKCS LK 27 ILS-cat-I\n"
        "4  26.76000000   80.88000000    410 10990  18    " +
        modelBearing(26.76, 80.88, "270.000") +
        " ILK VILK VI 27 ILS-cat-I\n"
        // The replaced localizer's magnetic course, not the airport's other one's, and the
        // region of the airport's rows.
        "4  51.46000000   -0.48000000     83 10970  18     32850.000 IAA EGLL EG 09R ILS-cat-I\n"
        // An airport of neither: the nearest navaid's region.
        "5  47.50000000 -122.20000000    100 11100  18    " +
        modelBearing(47.5, -122.2, "160.000") +
        " IXY KXYZ K1 16 LOC\n"
        "7  51.46000000   -0.40000000      0     0   0    270.000 ILL EGLL EG 27L OM\n"
        // ILS DMEs are named after the airport, by the add-on's airport data first.
        "12 48.94000000   14.43000000   1417 10950  18      0.000 ICS LKCS LK CESKE BUDEJOVICE "
        "DME-ILS\n"
        "12 26.76000000   80.88000000    410 10990  18      0.000 ILK VILK VI CHAUDHARY CHARAN "
        "SINGH INTL DME-ILS\n"
        "99\n";
    EXPECT_EQ(merge(database), merged);
    EXPECT_EQ(leftOutReasons(), std::vector<std::string>{});
    // The global airport data is read only when a row needs it, on a stage of its own.
    EXPECT_NE(std::find(screen_.events.begin(), screen_.events.end(),
                        "status Loading strings from " + globalAirports_ + "\n"),
              screen_.events.end());
}

TEST_F(FormatMerge, RowsOf1100AndLaterGoInAsTheyAreButForTheMagneticCourse) {
    const Database db(NavFormat::V1200);
    // An 1100 localizer needs its magnetic course in 1200; rows of 1150 and 1200 stay as they
    // are, letter case too; path points and GLS stations are not merged.
    const std::string localizer1100 =
        "4  47.44000000 -122.31000000    338 11050  18  180.000 ISEZ KSEA K1 16C ILS-cat-I\n";
    const std::string ndb1100 =
        "2  47.39000000 -122.29500000      0   396  25    0.000 TC   ENRT K1 Tacoma NDB\n";
    const std::string gs1150 =
        "6  47.44000000 -122.31000000    338 11050  10 300180.000 ISEZ KSEA K1 16C GS\n";
    addAirport("A 1100", "I\n1100 Version\n" + localizer1100 + ndb1100 + db.fpap + "99\n");
    addAirport("B 1150", "A\n1150 Version\n" + gs1150 + db.gls + "99\n");
    // Added in the order of their row codes.
    std::vector<std::string> expected = db.rows();
    expected.push_back(ndb1100);
    expected.push_back(
        "4  47.44000000 -122.31000000    338 11050  18  58140.000 ISEZ KSEA K1 16C ILS-cat-I\n");
    expected.push_back(gs1150);
    EXPECT_EQ(merge(db.text()), db.text(expected));
    EXPECT_EQ(
        leftOutReasons(),
        (std::vector<std::string>{
            db.fpap.substr(0, db.fpap.size() - 1) + " | Quillet does not merge rows of code 14",
            db.gls.substr(0, db.gls.size() - 1) + " | Quillet does not merge rows of code 15"}));
}

TEST_F(FormatMerge, FilesOfANewerOrUnknownFormatAreLeftOutWhole) {
    const Database db1100(NavFormat::V1100);
    const Database db1200(NavFormat::V1200);
    const std::string ndb =
        "2  47.39000000 -122.29500000      0   396  25    0.000 TC   ENRT K1 TACOMA NDB\n";
    const std::string ndb2 =
        "2  47.38000000 -122.29500000      0   398  25    0.000 TD   ENRT K1 TACOMA NDB\n";
    addAirport("Newer", "I\n1200 Version\n" + ndb + ndb2 + "99\n");
    // Rows given once more are passed over: each file has rows of its own.
    const std::string ndb3 =
        "2  47.37000000 -122.29500000      0   399  25    0.000 TE   ENRT K1 TACOMA NDB\n";
    const std::string ndb4 =
        "2  47.36000000 -122.29500000      0   400  25    0.000 TF   ENRT K1 TACOMA NDB\n";
    addAirport("Unknown", "I\n1300 Version\n" + ndb3 + "99\n");
    addAirport("No version", ndb4);
    // A file without a version line whose rows all have 810's columns is read as 810.
    addAirport("No version, 810 rows",
               "2  47.35000000 -122.29500000      0   401  25    0.000 TG   TACOMA NDB\n");
    const std::string tacoma810 =
        "2  47.35000000 -122.29500000      0   401  25    0.000 TG ENRT K1 TACOMA NDB\n";
    std::vector<std::string> rows = db1100.rows();
    rows.push_back(tacoma810);
    EXPECT_EQ(merge(db1100.text()), db1100.text(rows));
    ASSERT_EQ(leftOut_.size(), 4u);
    const std::string row = ndb.substr(0, ndb.size() - 1);
    const std::string row2 = ndb2.substr(0, ndb2.size() - 1);
    const std::string row3 = ndb3.substr(0, ndb3.size() - 1);
    const std::string row4 = ndb4.substr(0, ndb4.size() - 1);
    EXPECT_EQ(leftOutReasons(),
              (std::vector<std::string>{
                  row + " | their file's format 1200 is newer than the database's format 1100",
                  row2 + " | their file's format 1200 is newer than the database's format 1100",
                  row3 + " | their file's version 1300 is not one that Quillet knows",
                  row4 + " | their file has no version line, so their format is not known"}));
    EXPECT_TRUE(leftOut_[0].wholeFile);
    EXPECT_EQ(leftOut_[0].sourcePath, airports_[0].navDatPath);

    // The 1200 file goes into a 1200 database.
    rows = db1200.rows();
    rows.insert(rows.end(), {ndb, ndb2, tacoma810});
    EXPECT_EQ(merge(db1200.text()), db1200.text(rows));
    EXPECT_EQ(leftOut_.size(), 2u);
}

TEST_F(FormatMerge, TheSameNavaidFromSeveralRowsGoesInOnce) {
    const Database db(NavFormat::V1200);
    const std::string ndb810 =
        "2  47.39000000 -122.29500000      0   396  25    0.000 TC   TACOMA NDB\n";
    const std::string ndb1200 =
        "2  47.39000000 -122.29500000 0 396 25 0.000 TC ENRT K1 TACOMA NDB\n";
    const std::string localizer =
        "4  47.44000000 -122.31000000    338 11050  18  58140.000 ISEZ KSEA K1 16C ILS-cat-I\n";
    const std::string movedLocalizer =
        "4  47.44100000 -122.31000000    338 11050  18  58140.000 ISEZ KSEA K1 16C ILS-cat-I\n";
    addAirport("A 810", "I\n810 Version\n" + ndb810 + "99\n");
    addAirport("B 1200", "I\n1200 Version\n" + ndb1200 + localizer + movedLocalizer + "99\n");
    std::vector<std::string> rows = db.rows();
    rows.push_back(
        "2  47.39000000 -122.29500000      0   396  25    0.000 TC ENRT K1 TACOMA NDB\n");
    rows.push_back(localizer);
    EXPECT_EQ(merge(db.text()), db.text(rows));
    const std::string twin = " | it is the same navaid as an add-on row before it";
    EXPECT_EQ(leftOutReasons(), (std::vector<std::string>{
                                    ndb1200.substr(0, ndb1200.size() - 1) + twin,
                                    movedLocalizer.substr(0, movedLocalizer.size() - 1) + twin}));
}

TEST_F(FormatMerge, AnEnRouteNavaidFarFromEveryDatabaseNavaidGetsNoRegion) {
    addAirport("A 810", "I\n810 Version\n"
                        "2  47.39000000 -122.29500000      0   396  25    0.000 TC   TACOMA NDB\n"
                        "99\n");
    const std::string database = "I\n1200 Version\n"
                                 "3 -33.94 151.18 13 11280 130 12.0 SY ENRT YM SYDNEY VOR\n99\n";
    EXPECT_EQ(merge(database), database);
    EXPECT_EQ(
        leftOutReasons(),
        std::vector<std::string>{
            "2  47.39000000 -122.29500000      0   396  25    0.000 TC   TACOMA NDB | no ICAO "
            "region is known for it: no airport data names one, and no database navaid is "
            "within 150 nm"});
}

TEST(LeftOutMessage, ListsRowsWithTheirReasonsAndSumsUpWholeFiles) {
    EXPECT_EQ(leftOutMessage({}), "");
    std::vector<LeftOutRow> rows = {
        {"C:\\A\\nav.dat", "2 1 1 0 1 1 0 AB ALPHA NDB", "why A", false},
        {"C:\\B\\nav.dat", "2 1 1 0 1 1 0 B1 B NDB", "newer", true},
        {"C:\\B\\nav.dat", "2 1 1 0 1 1 0 B2 B NDB", "newer", true},
    };
    EXPECT_EQ(leftOutMessage(rows), "These add-on rows were not merged:\n"
                                    "\nC:\\A\\nav.dat\n"
                                    "  2 1 1 0 1 1 0 AB ALPHA NDB\n"
                                    "    why A\n"
                                    "\nC:\\B\\nav.dat\n"
                                    "  all 2 rows: newer\n");
    // Every row is listed, however many there are.
    for (int i = 0; i < 14; ++i)
        rows.push_back({"C:\\C\\nav.dat", "row " + std::to_string(i), "why C", false});
    const std::string whole = leftOutMessage(rows);
    for (int i = 0; i < 14; ++i)
        EXPECT_NE(whole.find("  row " + std::to_string(i) + "\n    why C\n"), std::string::npos)
            << i;
}

TEST_F(FormatMerge, An810DatabaseKeepsInPlaceTheLinesItsFrameDoesNotReplace) {
    // The frame replaces the marker, the (last) header row, blank lines and "99"; an earlier
    // header row, rows of other codes and comments stay where they were.
    const std::string header = "810 Version - data cycle 2612\n";
    const std::string ndb = "2  47.53 -122.31 0 362 25 0.0 BF NOLLA NDB\n";
    const std::string vor = "3  47.43 -122.30 338 11680 130 19.0 SEA SEATTLE VORTAC\n"
                            "3  47.60 -122.30 338 11700 130 19.0 SEB SEATTLE B VORTAC\n"
                            "3  47.70 -122.30 338 11720 130 19.0 SEC SEATTLE C VORTAC\n"
                            "3  47.80 -122.30 338 11740 130 19.0 SED SEATTLE D VORTAC\n";
    const std::string others =
        "810 Version - an earlier header\n14 47.4 -122.3 0 0 0 0.0 X Y Z\n; a note\n";
    const std::string newNdb = "2  47.39 -122.29 0 396 25 0.0 tc tacoma ndb\n";
    addAirport("810", "I\n810 Version\n" + newNdb + "99\n");
    addAirport("1200", "I\n1200 Version\n2 47.3 -122.2 0 396 25 0.0 TD ENRT K1 T NDB\n99\n");
    EXPECT_EQ(merge(crlf("A\n" + others + header + "\n" + ndb + "I\n" + vor + "99\nlast\n")),
              crlf("I\n" + header + "\n" + others + ndb + "I\n" + vor + "last\n\n" +
                   "2  47.39 -122.29 0 396 25 0.0 TC TACOMA NDB\n\n\n99\n"));
    EXPECT_EQ(leftOutReasons(),
              std::vector<std::string>{"2 47.3 -122.2 0 396 25 0.0 TD ENRT K1 T NDB | their "
                                       "file's format 1200 is newer than the database's format "
                                       "810"});
}

TEST_F(FormatMerge, ADatabaseOfAnUnknownVersionOrWhoseRowsAreNotOfItsVersionIsLeftUntouched) {
    const Database db(NavFormat::V1100);
    const std::string row810 = "3  47.43 -122.30 338 11680 130 19.0 SEA SEATTLE VORTAC\n";
    const struct {
        std::string database;
        std::string error;
    } cases[] = {
        {"I\n1100 Version\n" + db.ndb + row810 + "99\n",
         " line 4 does not have the columns of format 1100, which its version line declares: " +
             row810.substr(0, row810.size() - 1)},
        {"I\n810 Version\n" + db.ndb + "99\n",
         " line 3 does not have the columns of format 810, which its version line declares: " +
             db.ndb.substr(0, db.ndb.size() - 1)},
        {"I\n1300 Version - from the future\n" + db.ndb + "99\n",
         " is in format 1300 (newer than X-Plane 12), which this version of Quillet cannot "
         "merge"},
    };
    addAirport("A", "I\n810 Version\n" + row810 + "99\n");
    for (const auto& c : cases) {
        fs::remove(earthNav_ + ".bak");
        EXPECT_EQ(merge(crlf(c.database)), crlf(c.database));
        EXPECT_EQ(screen_.errors, std::vector<std::string>{"Error!: earth_nav.dat" + c.error +
                                                           "; nothing was changed."});
        EXPECT_EQ(entryNames(fs::path(earthNav_).parent_path()),
                  std::vector<std::string>{"earth_nav.dat"});
    }
}

} // namespace
