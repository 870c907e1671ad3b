#include "merge/merge_report.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ReportText, ListsEachDropWithItsCauseTheAddedLinesByFileAndTheCounts) {
    MergeReport report;
    report.databasePath = "X/earth_nav.dat";
    report.options = {ConflictAction::Replace, ConflictAction::Ask, false};
    report.databaseNavaids = 5;
    report.dropped = {
        {"3 1.0 1.0 0 1 1 0.0 SEA SEATTLE V", DropReason::Duplicate, DecidedBy::Rule,
         "3 1.0 1.0 0 1 1 0.0 SEA SEATTLE V", "A/nav.dat"},
        {"2 1.0 1.0 0 1 1 0.0 BF NOLLA NDB", DropReason::NameConflict, DecidedBy::Setting,
         "2 1.0 1.0 0 1 1 0.0 XY NOLLA NDB", "A/nav.dat"},
        {"4 1.0 1.0 0 1 1 0.0 ISNQ KSEA 16L ILS", DropReason::CallsignConflict, DecidedBy::Answer,
         "4 1.0 1.0 0 1 1 0.0 ISNQ KBFI 14R ILS", "B/nav.dat"},
    };
    report.added = {{"3 1.0 1.0 0 1 1 0.0 SEA SEATTLE V", "A/nav.dat"},
                    {"2 1.0 1.0 0 1 1 0.0 XY NOLLA NDB", "A/nav.dat"},
                    {"4 1.0 1.0 0 1 1 0.0 ISNQ KBFI 14R ILS", "B/nav.dat"}};

    EXPECT_EQ(reportText(report),
              "Preview of the merge into X/earth_nav.dat\n"
              "Settings: same NAME, other CALLSIGN: Replace; same CALLSIGN, other NAME: Request; "
              "distance restriction: off\n"
              "\n"
              "Database lines that would be dropped: 3\n"
              "\n"
              "  dropped  3 1.0 1.0 0 1 1 0.0 SEA SEATTLE V\n"
              "  by       3 1.0 1.0 0 1 1 0.0 SEA SEATTLE V\n"
              "  from     A/nav.dat\n"
              "  why      duplicate (same CALLSIGN and NAME): always replaced\n"
              "\n"
              "  dropped  2 1.0 1.0 0 1 1 0.0 BF NOLLA NDB\n"
              "  by       2 1.0 1.0 0 1 1 0.0 XY NOLLA NDB\n"
              "  from     A/nav.dat\n"
              "  why      NAME conflict (same NAME, other CALLSIGN): setting Replace\n"
              "\n"
              "  dropped  4 1.0 1.0 0 1 1 0.0 ISNQ KSEA 16L ILS\n"
              "  by       4 1.0 1.0 0 1 1 0.0 ISNQ KBFI 14R ILS\n"
              "  from     B/nav.dat\n"
              "  why      CALLSIGN conflict (same CALLSIGN, other NAME): answer \"Replace this "
              "String\"\n"
              "\n"
              "Lines that would be added: 3\n"
              "\n"
              "  from A/nav.dat (2)\n"
              "    3 1.0 1.0 0 1 1 0.0 SEA SEATTLE V\n"
              "    2 1.0 1.0 0 1 1 0.0 XY NOLLA NDB\n"
              "\n"
              "  from B/nav.dat (1)\n"
              "    4 1.0 1.0 0 1 1 0.0 ISNQ KBFI 14R ILS\n"
              "\n"
              "Counts: 5 database navaid lines, 3 dropped (1 duplicate, 1 NAME conflict, 1 "
              "CALLSIGN conflict), 2 kept; 3 added; 5 navaid lines after the merge.\n"
              "Nothing was written.\n");
}

TEST(ReportText, SaysSoWhenNothingWouldChange) {
    MergeReport report;
    report.databasePath = "X/earth_nav.dat";
    report.databaseNavaids = 1;
    const std::string text = reportText(report);
    EXPECT_NE(text.find("Database lines that would be dropped: 0\n\nLines that would be added: "
                        "0\n\nCounts: 1 database navaid line, 0 dropped (0 duplicates, 0 NAME "
                        "conflicts, 0 CALLSIGN conflicts), 1 kept; 0 added; 1 navaid line after "
                        "the merge.\n"),
              std::string::npos)
        << text;
}

TEST(ReportText, ListsTheAddOnRowsLeftOutBeforeTheCounts) {
    MergeReport report;
    report.databasePath = "X/earth_nav.dat";
    report.databaseNavaids = 1;
    report.leftOut = {{"A/nav.dat", "16 1.0 1.0 0 0 0 0.0 R16L KSEA K1 W16L LPV",
                       "Quillet does not merge rows of code 16", false}};
    const std::string text = reportText(report);
    EXPECT_NE(text.find("Lines that would be added: 0\n\nThese add-on rows were not merged:\n\nA/"
                        "nav.dat\n  16 1.0 1.0 0 0 0 0.0 R16L KSEA K1 W16L LPV\n    Quillet does "
                        "not merge rows of code 16\n\nCounts: "),
              std::string::npos)
        << text;
}

} // namespace
