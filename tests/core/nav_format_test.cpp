#include "merge/nav_data.h"
#include "scenery/nav_format.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>

namespace {

TEST(NavFormat, VersionIsTheNumberOfTheSecondLineBeforeTheWordVersion) {
    const struct {
        const char* text;
        std::optional<int> version;
    } cases[] = {
        {"I\n1200 Version - data cycle 2301\n", 1200},
        {"A\r\n1100 Version\r\n", 1100},
        {"I\r810 VERSION\r2 1 1 0 1 1 0 AB A NDB\r", 810},
        {"\xEF\xBB\xBFI\n \t1150\tversion\n", 1150},
        {"I\n1300 Version\n", 1300},
        {"I\n740 Version.\n", 740},
        {"I\n123456789 Version\n", 123456789},
        {"I\n1234567890 Version\n", std::nullopt}, // ten digits
        {"I\n1200\n", std::nullopt},               // no word
        {"I\n1200Version\n", std::nullopt},        // no blank
        {"I\n1200 Versions\n", std::nullopt},
        {"I\n1200 Version2\n", std::nullopt},
        {"I\nVersion 1200\n", std::nullopt},
        {"I\n-810 Version\n", std::nullopt},
        {"I\n99\n", std::nullopt},
        {"1200 Version\nI\n", std::nullopt}, // the first line is not the version line
        {"I\n", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(declaredVersion(c.text), c.version) << c.text;
}

TEST(NavFormat, KnowsFourVersionsAndNamesThem) {
    EXPECT_EQ(navFormatOf(810), NavFormat::V810);
    EXPECT_EQ(navFormatOf(1100), NavFormat::V1100);
    EXPECT_EQ(navFormatOf(1150), NavFormat::V1150);
    EXPECT_EQ(navFormatOf(1200), NavFormat::V1200);
    for (int unknown : {0, 740, 1000, 1101, 1300})
        EXPECT_EQ(navFormatOf(unknown), std::nullopt) << unknown;
    EXPECT_EQ(formatName(NavFormat::V810), "X-Plane 8 to 10 format 810");
    EXPECT_EQ(formatName(NavFormat::V1100), "X-Plane 11 format 1100");
    EXPECT_EQ(formatName(NavFormat::V1150), "X-Plane 11.50 format 1150");
    EXPECT_EQ(formatName(NavFormat::V1200), "X-Plane 12 format 1200");
    EXPECT_FALSE(readsCustomData(NavFormat::V810));
    EXPECT_TRUE(readsCustomData(NavFormat::V1100));
    EXPECT_TRUE(readsCustomData(NavFormat::V1200));
}

TEST(NavFormat, RowsOf1100AndLaterHaveTheirOwnColumns) {
    const NavaidRecord vor = parseNavaidRow(
        "3  47.43538889 -122.30961111    354 11680 130   19.000 SEA  ENRT K1 SEATTLE  VORTAC \r\n",
        NavFormat::V1200);
    EXPECT_EQ(vor.type, 3);
    EXPECT_EQ(vor.callsign, "SEA");
    EXPECT_EQ(vor.terminal, "ENRT");
    EXPECT_EQ(vor.region, "K1");
    EXPECT_EQ(vor.name, "SEATTLE  VORTAC");
    EXPECT_EQ(vor.rwyName, "");
    EXPECT_TRUE(hasColumnsOf(NavFormat::V1200, vor));

    const NavaidRecord localizer =
        parseNavaidRow("4 47.429392 -122.308056 338 11030 18 58140.343 ISNQ KSEA K1 16L ILS-cat-I",
                       NavFormat::V1150);
    EXPECT_EQ(localizer.terminal, "KSEA");
    EXPECT_EQ(localizer.name, "16L ILS-cat-I");
    EXPECT_TRUE(hasColumnsOf(NavFormat::V1150, localizer));

    // A name ends at a NUL byte, as every word does.
    using namespace std::string_literals;
    for (const auto& [row, name] :
         {std::pair{"3 1.0 2.0 0 11680 130 19.0 SEA ENRT K1 SEATTLE VORTAC\0 JUNK"s,
                    "SEATTLE VORTAC"},
          std::pair{"3 1.0 2.0 0 11680 130 19.0 SEA ENRT K1 SEATTLE \0VORTAC"s, "SEATTLE"},
          std::pair{"3 1.0 2.0 0 11680 130 19.0 SEA ENRT K1 SEA\0TTLE"s, "SEA"}})
        EXPECT_EQ(parseNavaidRow(row, NavFormat::V1200).name, name);

    // The same 810 row in both formats.
    const std::string row810 = "3 47.435 -122.309 354 11680 130 19.0 SEA SEATTLE VORTAC";
    EXPECT_EQ(parseNavaidRow(row810, NavFormat::V810).name, "SEATTLE");
    EXPECT_EQ(parseNavaidRow(row810, NavFormat::V1100).region, "VORTAC");
}

TEST(NavFormat, TellsRowsThatDoNotHaveTheColumnsOfTheirFormat) {
    const struct {
        NavFormat format;
        const char* row;
        bool fits;
    } cases[] = {
        {NavFormat::V1100, "2 47.6 -122.3 0 362 50 0.0 BF ENRT K1 NOLLA/KBFI LOM", true},
        {NavFormat::V1100, "2 47.6 -122.3 0 362 50 0.0 BF NOLLA NDB", false},         // 810 row
        {NavFormat::V1100, "4 47.4 -122.3 0 11030 18 180.3 ISNQ KSEA 16 ILS", false}, // 810 row
        {NavFormat::V1100, "4 47.4 -122.3 0 11030 18 180.3 ISNQ KSEA K1 16L", false}, // no type
        {NavFormat::V1100, "3 47.4 -122.3 0 116.80 130 19.0 SEA ENRT K1 SEATTLE", false},
        {NavFormat::V1100, "3 47.4 -122.3 0 11680 130 19.0 SEA ENRT K1", false},
        {NavFormat::V810, "3 47.4 -122.3 0 11680 130 19.0 SEA SEATTLE VORTAC", true},
        {NavFormat::V810, "3 47.4 -122.3 0 116.80 130 19.0 SEA SEATTLE VORTAC", true},
        {NavFormat::V810, "3 47.4 -122.3 0 11680 130 19.0 SEA ENRT K1 SEATTLE VORTAC", false},
        {NavFormat::V810, "3 47.4 -122.3 0 11680 130 19.0 SEA ENRT NORTH VOR", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(hasColumnsOf(c.format, parseNavaidRow(c.row, c.format)), c.fits) << c.row;
}

TEST(NavFormat, RelationsOf1100AndLaterNeedTheSameTerminalAreaAndRegion) {
    const struct {
        const char* what;
        const char *base, *custom;
        Relation relation;
    } cases[] = {
        {"duplicate, letter case and blanks aside",
         "3 47.4 -122.3 0 11680 130 19.0 SEA ENRT K1 SEATTLE VORTAC",
         "3 47.5 -122.3 0 11680 130 19.0 sea enrt k1 Seattle   vortac", Relation::Duplicate},
        {"the same identifier in another region",
         "3 34.8 5.7 0 11000 130 0.0 BIS ENRT DA BISKRA VOR",
         "3 11.9 -15.6 0 11000 130 0.0 BIS ENRT GG BISSAU VOR", Relation::None},
        {"the same identifier and name in another region",
         "3 34.8 5.7 0 11000 130 0.0 BIS ENRT DA BISKRA VOR",
         "3 34.8 5.7 0 11000 130 0.0 BIS ENRT GG BISKRA VOR", Relation::None},
        {"the same identifier at another airport",
         "12 47.4 -122.3 0 1 1 0.0 IXYZ KSEA K1 16L DME-ILS",
         "12 47.4 -122.3 0 1 1 0.0 IXYZ KBFI K1 16L DME-ILS", Relation::None},
        {"another name is a CALLSIGN conflict",
         "3 47.4 -122.3 0 1 1 19.0 SEA ENRT K1 SEATTLE VORTAC",
         "3 47.4 -122.3 0 1 1 19.0 SEA ENRT K1 SEATAC VORTAC", Relation::CallsignConflict},
        {"another runway is another name", "4 47.4 -122.3 0 1 1 180.0 ISNQ KSEA K1 16L ILS-cat-I",
         "4 47.4 -122.3 0 1 1 180.0 ISNQ KSEA K1 34R ILS-cat-I", Relation::CallsignConflict},
        {"another identifier is a NAME conflict",
         "4 47.4 -122.3 0 1 1 180.0 ISNQ KSEA K1 16C ILS-cat-I",
         "4 47.4 -122.3 0 1 1 180.0 IBEJ KSEA K1 16C ILS-cat-I", Relation::NameConflict},
        {"another identifier and name", "4 47.4 -122.3 0 1 1 180.0 ISNQ KSEA K1 16C ILS-cat-I",
         "4 47.4 -122.3 0 1 1 180.0 IBEJ KSEA K1 34C ILS-cat-I", Relation::None},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(relationOf(NavFormat::V1200, parseNavaidRow(c.base, NavFormat::V1200),
                             parseNavaidRow(c.custom, NavFormat::V1200)),
                  c.relation);
    }
    // In 810 runway equipment has two NAME fields: changing one of them relates nothing.
    EXPECT_EQ(relationOf(NavFormat::V810,
                         parseNavaidRow("4 47.4 -122.3 0 1 1 180.0 ISNQ KSEA 16L ILS-cat-I"),
                         parseNavaidRow("4 47.4 -122.3 0 1 1 180.0 ISNQ KSEA 34R ILS-cat-I")),
              Relation::None);
}

TEST(NavFormat, OneNavaidIsOneIdentityAndNameAndAMarkerOneRunway) {
    const auto row = [](const char* line) { return parseNavaidRow(line, NavFormat::V1200); };
    const NavaidRecord marker = row("7 47.5 -122.3 0 0 0 180.3 ISNQ KSEA K1 16L OM");
    EXPECT_TRUE(isSameNavaid(marker, row("7 47.6 -122.3 0 0 0 180.0 isnq ksea k1 16L  O\xbbM")));
    EXPECT_FALSE(isSameNavaid(marker, row("7 47.5 -122.3 0 0 0 180.3 ISNQ KSEA K1 16R OM")));
    EXPECT_FALSE(isSameNavaid(marker, row("8 47.5 -122.3 0 0 0 180.3 ISNQ KSEA K1 16L OM")));
    EXPECT_FALSE(isSameNavaid(marker, row("7 47.5 -122.3 0 0 0 180.3 ISNQ KSEA K2 16L OM")));
    const NavaidRecord vor = row("3 47.4 -122.3 354 11680 130 19.0 SEA ENRT K1 SEATTLE VORTAC");
    EXPECT_TRUE(
        isSameNavaid(vor, row("3 47.5 -122.3 354 11680 130 19.0 SEA ENRT K1 SEATTLE  vortac")));
    EXPECT_FALSE(
        isSameNavaid(vor, row("3 47.4 -122.3 354 11680 130 19.0 SEA ENRT K1 SEATTLE VOR")));
    EXPECT_FALSE(
        isSameNavaid(vor, row("3 47.4 -122.3 354 11680 130 19.0 SEB ENRT K1 SEATTLE VORTAC")));
}

TEST(NavFormat, MagneticCourseIsTrueLessVariationInWholeDegreesTimes360PlusTrue) {
    const struct {
        const char* trueCourse;
        double variation;
        std::optional<std::string> field;
    } cases[] = {
        {"132.474", 5.474, "45852.474"}, // 127 degrees magnetic, as the format's example
        {"180.343", 19.0, "58140.343"},  // 161.343 rounds to 161
        {"180.343", -15.8, "70740.343"}, // 196.143 west variation
        {"5.000", 10.0, "127805.000"},   // 355 degrees magnetic
        {"0.4", 0.0, "0.4"},             // magnetic 0
        {"359.6", 0.0, "359.6"},         // 359.6 rounds to 360, which is 0
        {"90", 2.6, "31410"},
        {"360.0", 0.0, std::nullopt},
        {"-10.0", 0.0, std::nullopt},
        {"1e2", 0.0, std::nullopt},
        {"58140.343", 19.0, std::nullopt}, // already carries a magnetic course
        {"", 0.0, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(bearingWithMagneticCourse(c.trueCourse, c.variation), c.field)
            << c.trueCourse << " " << c.variation;
}

TEST(NavFormat, TellsWhyARowsColumnsDoNotFitItsRowCode) {
    const struct {
        NavFormat format;
        std::string row;
        std::optional<std::string> fault;
    } cases[] = {
        {NavFormat::V810, "6  47.46 -122.31    425 11030  10 300180.343 ISNQ KSEA 16L GS", {}},
        {NavFormat::V810, "2  47.63 -122.38 0 362 50 0.000 BF NOLLA LOM", {}},
        {NavFormat::V810, "2  +47.63 -122. 0 -362 50 .5 BF NOLLA", {}},
        {NavFormat::V1200,
         "4  47.43 -122.31 338 11030 18 58140.343 ISNQ KSEA K1 16L ILS-cat-I",
         {}},
        // X-Plane 10's glideslopes without their frequency.
        {NavFormat::V810, "6  47.46 -122.31    425  10 300180.343 ISNQ KSEA 16L GS",
         "it has 10 columns, and a row of code 6 in format 810 has at least 11"},
        {NavFormat::V1100, "4  47.43 -122.31 338 11030 18 180.343 ISNQ KSEA K1 ILS-cat-I",
         "it has 11 columns, and a row of code 4 in format 1100 has at least 12"},
        {NavFormat::V1200, "3  47.43 -122.31 354 11680 130 19.000 SEA ENRT K1",
         "it has 10 columns, and a row of code 3 in format 1200 has at least 11"},
        {NavFormat::V810, "2  47.63 -122.38 0 362.5 50 0.000 BF NOLLA LOM",
         "its frequency \"362.5\" is not a whole number"},
        {NavFormat::V810, "2  47.63 -122.38 0 362 50 1e3 BF NOLLA LOM",
         "its seventh column \"1e3\" is not a number"},
        {NavFormat::V810, "2  47.63 -122.38 0x10 362 50 0.000 BF NOLLA LOM",
         "its elevation \"0x10\" is not a whole number"},
        {NavFormat::V810, "2  91.0 -122.38 0 362 50 0.000 BF NOLLA LOM",
         "its latitude 91.0 is not from -90 to 90"},
        {NavFormat::V810, "2  47.63 -180.5 0 362 50 0.000 BF NOLLA LOM",
         "its longitude -180.5 is not from -180 to 180"},
        {NavFormat::V810, "12-24.86 151.18 13 10930 18 0.000 IKN YSSY 34R DME-ILS",
         "its row code \"12-24.86\" is not a whole number"},
        {NavFormat::V810, "+2  47.63 -122.38 0 362 50 0.000 BF NOLLA LOM",
         "its row code \"+2\" is not a whole number"},
        {NavFormat::V810, std::string("2  47.63 -122.38 0 362 50 0.000 B\0F NOLLA LOM", 45),
         "it holds a NUL byte"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(columnFault(c.format, c.row), c.fault) << c.row;
}

TEST(NavFormat, NamesAreSpelledAsXPlanesDataSpellsThem) {
    EXPECT_EQ(spelledNameWord("ILS-CAT-I"), "ILS-cat-I");
    EXPECT_EQ(spelledNameWord("ils-cat-ii"), "ILS-cat-II");
    EXPECT_EQ(spelledNameWord("ILS-cat-III"), "ILS-cat-III");
    EXPECT_EQ(spelledNameWord("ILS-cat-IV"), "ILS-CAT-IV");
    EXPECT_EQ(spelledNameWord("loc"), "LOC");
    EXPECT_EQ(spelledNameWord("16l"), "16L");
    EXPECT_TRUE(isIlsDmeName("SEATTLE-TACOMA INTL DME-ILS"));
    EXPECT_TRUE(isIlsDmeName("dme-ils "));
    EXPECT_FALSE(isIlsDmeName("SEATTLE VORTAC DME"));
    EXPECT_FALSE(isIlsDmeName("XDME-ILS"));
    EXPECT_EQ(airportNameOfIlsDme("SEATTLE-TACOMA  INTL DME-ILS"), "SEATTLE-TACOMA  INTL");
    EXPECT_EQ(ilsDmeName(" CASEMENT "), "CASEMENT DME-ILS");
}

TEST(NavFormat, ReadsTheVariationOfA1150BearingAndTheDateOfADataCycle) {
    EXPECT_NEAR(*variationOfBearing("45852.474"), 5.474, 1e-9);   // 127 magnetic, 132.474 true
    EXPECT_NEAR(*variationOfBearing("123840.337"), 16.337, 1e-9); // 344 magnetic, 0.337 true
    EXPECT_NEAR(*variationOfBearing("26729.913"), 15.913, 1e-9);
    EXPECT_NEAR(*variationOfBearing("70740.343"), -15.657, 1e-9); // 196 magnetic, 180.343 true
    EXPECT_EQ(variationOfBearing("ILS"), std::nullopt);
    EXPECT_NEAR(*dataCycleYear("1200 Version - data cycle 2406, build 20251002"), 2024.42, 0.01);
    EXPECT_NEAR(*dataCycleYear("1100 Version - data cycle 1901"), 2019.04, 0.01);
    EXPECT_EQ(dataCycleYear("1200 Version - build 20251002"), std::nullopt);
    EXPECT_EQ(dataCycleYear("1200 Version - data cycle 2415"), std::nullopt);
}

} // namespace
