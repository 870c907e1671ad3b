// Conversion measured on real rows: three airports of X-Plane 12's database (data cycle 2406)
// and the navaids around them, among them the two that an ICAO region border or a region of
// their own put in the way (Ceske Budejovice near Austria, Lucknow near Kanpur), written as an
// X-Plane 10 era add-on writes them, then merged back.

#include "merge/merge_job.h"

#include "recording_screen.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace {

// clang-format off
const char* const kDatabaseRows =
    " 3  48.969175000   15.545577778     1600    11315   130      5.000  OKF ENRT LK DESNA VOR/DME\n"
    "12  48.969175000   15.545577778     1600    11315   130      0.000  OKF ENRT LK DESNA VOR/DME\n"
    " 3  49.532327778   14.874663889     2200    11695   130      5.000  VOZ ENRT LK VOZICE VOR/DME\n"
    "12  49.532327778   14.874663889     2200    11695   130      0.000  VOZ ENRT LK VOZICE VOR/DME\n"
    " 4  48.946366667   14.405211111     1415    11050    18  95669.979   BW LKCS LK 27 ILS-cat-I\n"
    " 6  48.945300000   14.436994444     1415    11050    18 300269.979   BW LKCS LK 27 GS\n"
    "12  48.945300000   14.436994444     1415    11050    25      0.000   BW LKCS LK CESKE BUDEJOVICE DME-ILS\n"
    " 3  53.299888889   -6.447777778      300    11580   130     -2.000  BAL ENRT EI BALDONNEL VOR/DME\n"
    "12  53.299888889   -6.447777778      300    11580   130      0.000  BAL ENRT EI BALDONNEL VOR/DME\n"
    " 3  53.423611111   -6.302777778      300    11120   130     -2.000  DAP ENRT EI COLLINSTOWN VOR/DME\n"
    "12  53.423611111   -6.302777778      300    11120   130      0.000  DAP ENRT EI COLLINSTOWN VOR/DME\n"
    " 3  53.499388889   -6.307111111      200    11490   130     -2.000  DUB ENRT EI DUBLIN VOR/DME\n"
    "12  53.499388889   -6.307111111      200    11490   130      0.000  DUB ENRT EI DUBLIN VOR/DME\n"
    "13  48.431780556   14.129830556     2014    11350   130      0.000  FRE ENRT LO FREISTADT DME\n"
    "13  53.646805556   -6.234916667      100    11290   130      0.000  GMN ENRT EI GORMANSTON DME\n"
    "13  52.853083333   -6.145527778     1000    11415   130      0.000  GTG ENRT EI GLENTEIG DME\n"
    " 3  48.229711111   14.103155556     1145    11660   130      4.000  LNZ ENRT LO LINZ VOR/DME\n"
    "12  48.229691667   14.103319444     1145    11660   130      0.000  LNZ ENRT LO LINZ VOR/DME\n"
    "13  53.910333333   -6.901277778     1100    11440    40      0.000  MCM ENRT EI MOHERCROM DME\n"
    " 3  53.352777778   -6.493916667      200    11470    40     -1.000  WST ENRT EI WESTON VOR/DME\n"
    "12  53.352777778   -6.493916667      200    11470    40      0.000  WST ENRT EI WESTON VOR/DME\n"
    "13  53.095888889   -7.591277778     1700    11630    40      0.000  WTP ENRT EI WOLFTRAP DME\n"
    " 2  53.648111111   -6.226666667        0      334    25      0.000  GMN ENRT EI GORMANSTON NDB\n"
    " 2  53.269555556   -6.106444444        0      378    50      0.000  KLY ENRT EI KILLINEY NDB\n"
    " 2  48.237102778   14.321788889        0      327    25      0.000  LNZ ENRT LO LINZ NDB\n"
    " 2  53.430166667   -6.428805556        0      316    25      0.000   OE ENRT EI DUBLIN NDB\n"
    " 2  53.413805556   -6.138361111        0      397    25      0.000   OP ENRT EI DUBLIN NDB\n"
    " 4  53.300938889   -6.439186111      320    10935    18  37901.967   IB EIME EI 10 ILS-cat-I\n"
    " 6  53.303072222   -6.464950000      320    10935    18 300101.967   IB EIME EI 10 GS\n"
    "12  53.303072222   -6.464950000      320    10935    25      0.200   IB EIME EI CASEMENT DME-ILS\n"
    " 4  48.232430556   14.164736111      996    10930    18  94947.042  OEL LOWL LO 26 ILS-cat-III\n"
    " 6  48.232613889   14.201708333      996    10930    18 300267.042  OEL LOWL LO 26 GS\n"
    "12  48.232350000   14.201658333      987    10930    25      0.000  OEL LOWL LO LINZ DME-ILS\n"
    " 4  48.234200000   14.215997222      998    11055    18  29967.042  OEM LOWL LO 08 ILS-cat-I\n"
    " 6  48.231697222   14.175086111      998    11055    18 300087.042  OEM LOWL LO 08 GS\n"
    "12  48.231438889   14.175216667      998    11055    25      0.000  OEM LOWL LO LINZ DME-ILS\n"
    " 3  26.405588889   80.420825000      442    11530   130      1.000  KCH ENRT VE KANPUR VOR/DME\n"
    "12  26.405588889   80.420825000      442    11530   130      0.000  KCH ENRT VE KANPUR VOR/DME\n"
    " 3  26.758611111   80.894444444      440    11740   130     -0.000  LKN ENRT VI LUCKNOW VOR/DME\n"
    "12  26.758611111   80.894444444      440    11740   130      0.000  LKN ENRT VI LUCKNOW VOR/DME\n"
    " 2  26.421230556   80.396655556        0      292    25      0.000   KA ENRT VE KANPUR NDB\n"
    " 4  26.404022222   80.398836111      455    10970    18  96748.883 IKCH VECX VE 27 ILS-cat-I\n"
    " 6  26.403500000   80.425822222      455    10970    18 300268.883 IKCH VECX VE 27 GS\n"
    "12  26.403500000   80.425822222      455    10970    25      0.000 IKCH VECX VE CHAKERI DME-ILS\n"
    " 4  26.760333333   80.872555556      427    10990    18  97109.142 ILUC VILK VI 27 ILS-cat-III\n"
    " 6  26.761888889   80.899805556      427    10990    18 300269.142 ILUC VILK VI 27 GS\n"
    "12  26.761888889   80.899805556      427    10990    25      0.000 ILUC VILK VI CHAUDHARY CHARAN SINGH IN DME-ILS\n";

// The 810 forms of three airports' equipment (and Lucknow's VOR): no terminal area, no region,
// true courses, ILS DMEs named after the runway.
const char* const kAirports[][2] = {
    {"LKCS",
     "4 48.946366667 14.405211111 1415 11050 18 269.979 BW LKCS 27 ILS-cat-I\n"
     "6 48.945300000 14.436994444 1415 11050 18 300269.979 BW LKCS 27 GS\n"
     "12 48.945300000 14.436994444 1415 11050 25 0.000 BW LKCS 27 DME-ILS\n"},
    {"EIME",
     "4 53.300938889 -6.439186111 320 10935 18 101.967 IB EIME 10 ILS-cat-I\n"
     "6 53.303072222 -6.464950000 320 10935 18 300101.967 IB EIME 10 GS\n"
     "12 53.303072222 -6.464950000 320 10935 25 0.200 IB EIME 10 DME-ILS\n"},
    {"VILK",
     "3 26.758611111 80.894444444 440 11740 130 -0.000 LKN LUCKNOW VOR/DME\n"
     "12 26.758611111 80.894444444 440 11740 130 0.000 LKN LUCKNOW VOR/DME\n"
     "4 26.760333333 80.872555556 427 10990 18 269.142 ILUC VILK 27 ILS-cat-III\n"
     "6 26.761888889 80.899805556 427 10990 18 300269.142 ILUC VILK 27 GS\n"
     "12 26.761888889 80.899805556 427 10990 25 0.000 ILUC VILK 27 DME-ILS\n"},
};
// clang-format on

std::vector<std::string> wordsOf(const std::string& line) {
    std::istringstream words(line);
    std::vector<std::string> result;
    for (std::string word; words >> word;)
        result.push_back(word);
    return result;
}

// The navaid rows of a text, each as its words, sorted.
std::vector<std::vector<std::string>> navaidRows(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> words = wordsOf(line);
        if (words.size() > 8 && words[1] != "Version")
            rows.push_back(std::move(words));
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

class RealConversion : public ::testing::Test {
  protected:
    std::string merge(const std::string& rows) {
        const std::string database = dir_.writeFile(
            "X-Plane 12/Custom Data/earth_nav.dat",
            "I\n1200 Version - data cycle 2406, build 20251002, metadata NavXP1200.\n" + rows +
                "99\n");
        const std::string airportData =
            dir_.writeFile("X-Plane 12/Global Scenery/Global Airports/Earth nav data/apt.dat",
                           "I\n1200 Version\n"
                           "1 1417 0 0 LKCS Ceske Budejovice\n1302 region_code LK\n"
                           "1 319 0 0 EIME Casement\n1302 region_code EI\n"
                           "1 410 0 0 VILK Chaudhary Charan Singh In\n1302 region_code VI\n99\n");
        std::vector<CustomAirport> airports;
        for (const auto& airport : kAirports) {
            const std::string folder = std::string(airport[0]) + " X-Plane 10";
            airports.push_back(
                {dir_.writeFile("X-Plane 12/Custom Scenery/" + folder + "/Earth nav data/nav.dat",
                                crlf(std::string("I\n810 Version\n") + airport[1] + "99\n")),
                 folder, true});
        }
        RecordingScreen screen;
        const MergeOutcome outcome =
            runMerge({database,
                      airports,
                      {ConflictAction::Replace, ConflictAction::Replace, true},
                      JobPurpose::Merge,
                      {airportData}},
                     screen.screen());
        EXPECT_EQ(outcome.end, MergeEnd::Written);
        EXPECT_TRUE(outcome.report.leftOut.empty());
        return readBytes(database);
    }

    TempDir dir_;
};

TEST_F(RealConversion, NavaidsReplacedByTheir810FormsAreTheDatabasesRowsAgain) {
    EXPECT_EQ(navaidRows(merge(kDatabaseRows)), navaidRows(kDatabaseRows));
}

TEST_F(RealConversion, NavaidsAddedAgainTakeTheirAirportsRegionAndName) {
    // The database without the airports' rows.
    std::string pack, rest;
    for (const auto& airport : kAirports)
        pack += airport[1];
    std::istringstream lines(kDatabaseRows);
    std::vector<std::vector<std::string>> removed;
    for (std::string line; std::getline(lines, line);) {
        const std::vector<std::string> words = wordsOf(line);
        const bool inPack =
            std::any_of(std::begin(kAirports), std::end(kAirports),
                        [&](const auto& airport) { return words[8] == airport[0]; }) ||
            words[7] == "LKN";
        if (inPack)
            removed.push_back(words);
        else
            rest += line + "\n";
    }
    std::vector<std::vector<std::string>> added = navaidRows(merge(rest));
    for (const std::vector<std::string>& row : navaidRows(rest))
        added.erase(std::find(added.begin(), added.end(), row));
    std::sort(removed.begin(), removed.end());
    ASSERT_EQ(added.size(), removed.size());
    for (std::size_t i = 0; i < added.size(); ++i) {
        std::vector<std::string> got = added[i], want = removed[i];
        SCOPED_TRACE(testing::PrintToString(want));
        if (want[7] == "LKN") {
            // An en-route navaid takes the region of the nearest database navaid: Kanpur's.
            EXPECT_EQ(got[9], "VE");
            got[9] = want[9];
        }
        if (want[0] == "4") {
            // A localizer's magnetic course is an estimate: within two degrees.
            const double gotField = std::stod(got[6]), wantField = std::stod(want[6]);
            EXPECT_NEAR(std::fmod(gotField, 360), std::fmod(wantField, 360), 1e-6);
            EXPECT_LE(std::abs(std::floor(gotField / 360) - std::floor(wantField / 360)), 2);
            got[6] = want[6];
        }
        EXPECT_EQ(got, want);
    }
}

} // namespace
