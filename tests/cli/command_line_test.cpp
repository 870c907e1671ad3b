// The command line run in-process as `quillet ARGS...`: exit codes, what it writes on
// standard output and standard error, and the files it leaves.
#include "cli/command_line.h"

#include "base/file_lock.h"
#include "base/path.h"
#include "base/text.h"
#include "scenery/xplane_paths.h"

#include "test_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string kHeader = "810 Version - data cycle 2601, \xa9 demo\n";
const std::string kNdb = "2  47.63 -122.38 0 362 50 0.000 BF   NOLLA NDB\n";
const std::string kVor = "3  47.43 -122.30 354 11680 130 19.000 SEA  SEATTLE VORTAC\n";
const std::string kDatabase = "I\n" + kHeader + kNdb + kVor + "99\n";
// Near the NDB: the same NAME (a NAME conflict), then a line far from everything.
const std::string kSameName = "2  47.70 -122.40 0 362 50 0.000 xy   nolla ndb\n";
const std::string kAlpha = "2  10.10 10.10 0 300 50 0.000 AA   ALPHA NDB\n";
const std::string kBravo = "3  20.20 20.20 0 11000 130 0.000 BB   BRAVO VOR\n";

struct Outcome {
    int code;
    std::string out, err;
};

class CommandLine : public ::testing::Test {
  protected:
    void SetUp() override {
        // The settings file is read from the current folder.
        previousFolder_ = fs::current_path();
        fs::current_path(dir_.path());
        xplane_ = dir_.file("X-Plane");
        database_ = in({"Resources", "default data", "earth_nav.dat"});
        writeBytes(database_, crlf(kDatabase));
        addAirport("Conflict Field", {kSameName});
        addAirport("Alpha Field", {kAlpha});
        addAirport("bravo Field", {kBravo});
    }
    void TearDown() override { fs::current_path(previousFolder_); }

    // A path below the X-Plane folder.
    std::string in(const std::vector<std::string>& names) const {
        std::string path = xplane_;
        for (const std::string& name : names)
            path = joinPath(path, name);
        return path;
    }
    std::string navDat(const std::string& folder) const {
        return in({"Custom Scenery", folder, "Earth nav data", "nav.dat"});
    }
    void addAirport(const std::string& folder, const std::vector<std::string>& lines) const {
        std::string text = "I\n810 Version\n";
        for (const std::string& line : lines)
            text += line;
        writeBytes(navDat(folder), crlf(text + "99\n"));
    }

    Outcome run(const std::vector<std::string>& args, const std::string& answers = "",
                bool terminal = false) {
        std::ostringstream out, err;
        std::istringstream in(answers);
        Console console{out, err, in, terminal, terminal};
        const int code = runCommandLine(args, console);
        return {code, out.str(), err.str()};
    }
    // The merge command on this X-Plane folder.
    Outcome merge(std::vector<std::string> args, const std::string& answers = "",
                  bool terminal = false) {
        args.insert(args.begin(), {"merge", "--xplane", xplane_});
        return run(args, answers, terminal);
    }

    // The database as merged: the lines kept, then every custom line upper-cased.
    static std::string merged(const std::vector<std::string>& kept,
                              const std::vector<std::string>& custom) {
        std::string text = "I\n" + kHeader + "\n";
        for (const std::string& line : kept)
            text += line;
        text += "\n";
        for (std::string line : custom) {
            makeUpperAscii(line);
            text += line + "\n";
        }
        return crlf(text + "\n99\n");
    }

    void expectUnchanged() const {
        EXPECT_EQ(readBytes(database_), crlf(kDatabase));
        EXPECT_EQ(databaseFolder(), std::vector<std::string>{"earth_nav.dat"});
    }

    // What is in the database's folder, temporary files included.
    std::vector<std::string> databaseFolder() const {
        return entryNames(fs::path(database_).parent_path());
    }

    TempDir dir_;
    std::string xplane_;
    std::string database_;

  private:
    fs::path previousFolder_;
};

TEST_F(CommandLine, ListsTheAirportsInListingOrder) {
    const Outcome plain = run({"list", "--xplane", xplane_});
    EXPECT_EQ(plain.code, 0);
    EXPECT_EQ(plain.out, "Alpha Field\nbravo Field\nConflict Field\n");
    EXPECT_EQ(plain.err, "");

    writeBytes(navDat("Alpha Field"), "I\n810 Version\n" + kAlpha + kBravo + "99\n");
    const Outcome json = run({"list", "--json", "--xplane", xplane_});
    EXPECT_EQ(json.code, 0);
    const auto quoted = [](std::string path) {
        std::string escaped;
        for (char c : path)
            escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
        return "\"" + escaped + "\"";
    };
    EXPECT_EQ(json.out,
              "{\n  \"xplane\": " + quoted(xplane_) + ",\n  \"database\": " + quoted(database_) +
                  ",\n  \"databaseVersion\": 810,\n  \"airports\": [\n" +
                  "    {\"name\": \"Alpha Field\", \"navDat\": " + quoted(navDat("Alpha Field")) +
                  ", \"navaidRows\": 2},\n" +
                  "    {\"name\": \"bravo Field\", \"navDat\": " + quoted(navDat("bravo Field")) +
                  ", \"navaidRows\": 1},\n" + "    {\"name\": \"Conflict Field\", \"navDat\": " +
                  quoted(navDat("Conflict Field")) + ", \"navaidRows\": 1}\n  ]\n}\n");
}

// On an X-Plane 12 folder the command line merges into (and restores) the database X-Plane reads,
// in its format, says which add-on rows it left out, and refuses a navdata update it cannot place.
TEST_F(CommandLine, MergesIntoTheDatabaseXPlane12Reads) {
    const std::string header = "I\n1200 Version - data cycle 2601\n";
    const std::string vor =
        "3  47.43538889 -122.30961111    354 11680 130   19.000 SEA  ENRT K1 SEATTLE VORTAC\n";
    const std::string original = header + vor + "99\n";
    writeBytes(database_, original);
    const std::string customData = in({"Custom Data", "earth_nav.dat"});
    // A navdata update's database, with the empty third line some providers' files have.
    const std::string updated = header + "\n" + vor + "99\n";
    writeBytes(customData, updated);
    // An 810 NDB near the VOR takes the VOR's region; a marker without its localizer cannot go in.
    const std::string ndb = "2  47.50 -122.40 0 362 50 0.000 xy   Near NDB\n";
    const std::string marker = "8  47.45 -122.31 0 0 0 340.000 ---- KXXX 34 MM\n";
    addAirport("Alpha Field", {ndb, marker});

    const Outcome listed = run({"list", "--json", "--xplane", xplane_});
    EXPECT_NE(listed.out.find("\"databaseVersion\": 1200,"), std::string::npos) << listed.out;

    const Outcome merged =
        merge({"Alpha Field", "--name-conflicts", "skip", "--callsign-conflicts", "skip"});
    EXPECT_EQ(merged.code, 0) << merged.err;
    EXPECT_EQ(readBytes(customData),
              header + "\n" + vor + "2  47.50 -122.40 0 362 50 0.000 XY ENRT K1 NEAR NDB\n99\n");
    EXPECT_EQ(readBytes(customData + ".bak"), updated);
    EXPECT_EQ(readBytes(database_), original); // the default database, which X-Plane does not read
    EXPECT_FALSE(fs::exists(database_ + ".bak"));
    EXPECT_EQ(merged.err, "quillet: These add-on rows were not merged:\n\n" +
                              navDat("Alpha Field") + "\n  " + marker.substr(0, marker.size() - 1) +
                              "\n    no localizer of KXXX runway 34 to take the marker's "
                              "identifier from\n");

    // Restore puts back the backup of the same database.
    const Outcome restored = run({"restore", "--xplane", xplane_});
    EXPECT_EQ(restored.code, 0) << restored.err;
    EXPECT_EQ(readBytes(customData), updated);

    // A navdata update without its earth_nav.dat: which database X-Plane reads is not known.
    fs::remove(customData);
    writeBytes(in({"Custom Data", "earth_fix.dat"}), "I\n1200 Version\n99\n");
    const Outcome refused =
        merge({"Alpha Field", "--name-conflicts", "skip", "--callsign-conflicts", "skip"});
    EXPECT_EQ(refused.code, 2);
    EXPECT_EQ(refused.out, "");
    EXPECT_NE(refused.err.find("no earth_nav.dat"), std::string::npos) << refused.err;
    EXPECT_EQ(readBytes(database_), original);
    EXPECT_FALSE(fs::exists(database_ + ".bak"));
}

TEST_F(CommandLine, TakesTheXPlaneFolderWithSeparatorsAtItsEnd) {
    const std::string given = xplane_ + kPathSeparator + kPathSeparator;
    const Outcome listed = run({"list", "--xplane", given});
    EXPECT_EQ(listed.code, 0) << listed.err;
    EXPECT_EQ(listed.out, "Alpha Field\nbravo Field\nConflict Field\n");
    const Outcome merged = run({"merge", "--xplane", given, "--all", "--name-conflicts", "skip",
                                "--callsign-conflicts", "skip"});
    EXPECT_EQ(merged.code, 0) << merged.err;
    EXPECT_EQ(readBytes(database_), this->merged({kNdb, kVor}, {kAlpha, kBravo, kSameName}));
}

TEST_F(CommandLine, ListWithoutAirportsIsEmpty) {
    fs::remove_all(in({"Custom Scenery"}));
    const Outcome plain = run({"list", "--xplane", xplane_});
    EXPECT_EQ(plain.code, 0);
    EXPECT_EQ(plain.out, "");
    const Outcome json = run({"list", "--json", "--xplane", xplane_});
    EXPECT_EQ(json.code, 0);
    EXPECT_EQ(json.out.substr(json.out.find("  \"airports\"")), "  \"airports\": []\n}\n");
}

TEST_F(CommandLine, MergesTheNamedAirportsInListingOrderAsGoDoes) {
    // Given last first: the listing order decides, as the table's order does for GO!.
    const Outcome merged1 = merge(
        {"bravo Field", "Alpha Field", "--name-conflicts", "skip", "--callsign-conflicts", "skip"});
    EXPECT_EQ(merged1.code, 0);
    EXPECT_EQ(merged1.out,
              "Merged 2 add-on airports into " + database_ +
                  ": 0 database lines dropped, 2 lines added. The old database is in " + database_ +
                  ".bak.\n");
    EXPECT_EQ(merged1.err, "");
    EXPECT_EQ(readBytes(database_), merged({kNdb, kVor}, {kAlpha, kBravo}));
    EXPECT_EQ(readBytes(database_ + ".bak"), crlf(kDatabase));
}

// The custom line is a NAME conflict of the NDB, in its whole-degree cell or in the next one:
// whether the NDB stays shows which options were in force.
TEST_F(CommandLine, OptionsComeFromTheFlagsThenTheSettingsFileThenTheDefaults) {
    const std::string replaceSkipOn = "C:\\X-Plane\\X-Plane.exe\n1018\n1019\n1\n";
    const std::string replaceSkipOff = "C:\\X-Plane\\X-Plane.exe\n1018\n1019\n0\n";
    const std::string skipSkipOff = "C:\\X-Plane\\X-Plane.exe\n1016\n1019\n0\n";
    const struct {
        const char* what;
        std::string settingsFile; // empty: none
        std::vector<std::string> flags;
        bool otherCell;
        bool ndbKept;
    } cases[] = {
        {"the file's Replace", replaceSkipOn, {}, false, false},
        {"a flag over the file's Replace",
         replaceSkipOn,
         {"--name-conflicts", "skip"},
         false,
         true},
        {"the file's Skip", skipSkipOff, {}, false, true},
        {"the file's restriction off", replaceSkipOff, {}, true, false},
        {"the default restriction on",
         "",
         {"--name-conflicts", "replace", "--callsign-conflicts", "skip"},
         true,
         true},
        {"a flag over the file's restriction off",
         replaceSkipOff,
         {"--distance-restriction", "on"},
         true,
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeBytes(database_, crlf(kDatabase));
        fs::remove(dir_.file("q-config.qcf"));
        if (!c.settingsFile.empty())
            writeBytes(dir_.file("q-config.qcf"), crlf(c.settingsFile));
        const std::string custom =
            c.otherCell ? "2  48.70 -122.40 0 362 50 0.000 xy   nolla ndb\n" : kSameName;
        addAirport("Conflict Field", {custom});
        std::vector<std::string> args = c.flags;
        args.push_back("Conflict Field");
        const Outcome result = merge(args);
        EXPECT_EQ(result.code, 0) << result.err;
        const std::vector<std::string> kept =
            c.ndbKept ? std::vector<std::string>{kNdb, kVor} : std::vector<std::string>{kVor};
        EXPECT_EQ(readBytes(database_), merged(kept, {custom}));
    }
}

TEST_F(CommandLine, AsksOnTheTerminalAndReadsROrS) {
    const Outcome replaced = merge({"Conflict Field"}, "x\nR\n", true);
    EXPECT_EQ(replaced.code, 0);
    const std::string question = "I distrust in identity two strings, in CALLSIGN or NAME:\n"
                                 "String from Custom Scenery " +
                                 navDat("Conflict Field") +
                                 "\n"
                                 "  " +
                                 kSameName +
                                 "String from X-Plane :\n"
                                 "  " +
                                 kNdb;
    const std::string prompt = "Replace this String (r) or Skip this String (s)? ";
    // The progress bar comes and goes around the question; the question itself is whole.
    EXPECT_NE(replaced.err.find(question + prompt + prompt), std::string::npos) << replaced.err;
    EXPECT_EQ(readBytes(database_), merged({kVor}, {kSameName}));

    writeBytes(database_, crlf(kDatabase));
    EXPECT_EQ(merge({"Conflict Field"}, "s\n", true).code, 0);
    EXPECT_EQ(readBytes(database_), merged({kNdb, kVor}, {kSameName}));
}

TEST_F(CommandLine, ShowsAProgressBarOnlyOnATerminal) {
    const Outcome quiet =
        merge({"--all", "--name-conflicts", "skip", "--callsign-conflicts", "skip"});
    EXPECT_EQ(quiet.code, 0);
    EXPECT_EQ(quiet.err, "");
    writeBytes(database_, crlf(kDatabase));
    const Outcome shown =
        merge({"--all", "--name-conflicts", "skip", "--callsign-conflicts", "skip"}, "", true);
    EXPECT_EQ(shown.code, 0);
    EXPECT_EQ(shown.err.rfind("\r[                        ]   0% ", 0), 0u) << shown.err;
    // The bar is taken off its line before the summary.
    const std::string cleared = "\r" + std::string(79, ' ') + "\r";
    EXPECT_EQ(shown.err.substr(shown.err.size() - cleared.size()), cleared);
    EXPECT_EQ(shown.out, quiet.out);
}

TEST_F(CommandLine, ADryRunReportsTheMergeAndWritesNothing) {
    const Outcome report = merge({"--all", "--dry-run", "--name-conflicts", "replace",
                                  "--callsign-conflicts", "skip", "--distance-restriction", "off"});
    EXPECT_EQ(report.code, 0);
    EXPECT_EQ(report.err, "");
    expectUnchanged();
    EXPECT_EQ(report.out.rfind("Preview of the merge into " + database_ + "\n", 0), 0u)
        << report.out;
    EXPECT_NE(report.out.find("  dropped  " + kNdb +
                              "  by       2  47.70 -122.40 0 362 50 0.000 "
                              "XY   NOLLA NDB\n  from     " +
                              navDat("Conflict Field") +
                              "\n  why      NAME conflict (same NAME, other CALLSIGN): setting "
                              "Replace\n"),
              std::string::npos)
        << report.out;
    EXPECT_NE(report.out.find("Counts: 2 database navaid lines, 1 dropped"), std::string::npos);

    const Outcome diff = merge({"--all", "--diff", "--name-conflicts", "replace",
                                "--callsign-conflicts", "skip", "--distance-restriction", "off"});
    EXPECT_EQ(diff.code, 0);
    expectUnchanged();
    EXPECT_EQ(diff.out, "--- " + database_ + "\n+++ " + database_ + "\n" +
                            "@@ -1,5 +1,13 @@\n I\n " + kHeader + "-" + kNdb + "+\n " + kVor +
                            "+\n+2  10.10 10.10 0 300 50 0.000 AA   ALPHA NDB\n+\n"
                            "+3  20.20 20.20 0 11000 130 0.000 BB   BRAVO VOR\n+\n"
                            "+2  47.70 -122.40 0 362 50 0.000 XY   NOLLA NDB\n+\n+\n 99\n");
}

TEST_F(CommandLine, RestoreGivesBackTheBackupExactly) {
    ASSERT_EQ(merge({"--all", "--name-conflicts", "replace", "--callsign-conflicts", "skip"}).code,
              0);
    const std::string backup = readBytes(database_ + ".bak");
    ASSERT_NE(readBytes(database_), backup);
    const Outcome restored = run({"restore", "--xplane", xplane_});
    EXPECT_EQ(restored.code, 0);
    EXPECT_EQ(restored.out, "Restored " + database_ + " from " + database_ + ".bak.\n");
    EXPECT_EQ(restored.err, "");
    EXPECT_EQ(readBytes(database_), backup);
    EXPECT_EQ(backup, crlf(kDatabase));
    EXPECT_FALSE(fs::exists(database_ + ".before-restore"));
}

TEST_F(CommandLine, HelpAndVersion) {
    const Outcome help = run({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("Usage: quillet [OPTIONS] SUBCOMMAND"), std::string::npos);
    const Outcome mergeHelp = run({"merge", "--help"});
    EXPECT_EQ(mergeHelp.code, 0);
    EXPECT_NE(mergeHelp.out.find("--name-conflicts skip|replace|ask"), std::string::npos)
        << mergeHelp.out;
    const Outcome version = run({"--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out, "quillet 1.0.0.3\n");
}

// Every failure: its exit code and its one line, and nothing changed.
TEST_F(CommandLine, EachFailureHasItsExitCodeAndOneLineAndChangesNothing) {
    const std::string missing = dir_.file("nowhere");
    const std::string customScenery = in({"Custom Scenery"});
    const struct {
        const char* what;
        std::vector<std::string> args;
        int code;
        std::string err;
    } cases[] = {
        {"no command", {}, 2, "quillet: A subcommand is required (see quillet --help)\n"},
        {"unknown command",
         {"frob"},
         2,
         "quillet: there is no command \"frob\"; the commands are list, merge and restore (see "
         "quillet --help)\n"},
        {"unknown option",
         {"merge", "--xplane", xplane_, "--all", "--bogus"},
         2,
         "quillet: The following argument was not expected: --bogus (see quillet --help)\n"},
        {"no --xplane",
         {"merge", "--all"},
         2,
         "quillet: --xplane is required (see quillet --help)\n"},
        {"--xplane without a folder",
         {"list", "--xplane"},
         2,
         "quillet: --xplane: 1 required DIR missing (see quillet --help)\n"},
        {"bad action",
         {"merge", "--xplane", xplane_, "--all", "--name-conflicts", "maybe"},
         2,
         "quillet: --name-conflicts: maybe not in {skip,replace,ask} (see quillet --help)\n"},
        {"bad switch",
         {"merge", "--xplane", xplane_, "--all", "--distance-restriction", "1"},
         2,
         "quillet: --distance-restriction: 1 not in {on,off} (see quillet --help)\n"},
        {"names and --all",
         {"merge", "--xplane", xplane_, "--all", "Alpha Field"},
         2,
         "quillet: AIRPORT excludes --all (see quillet --help)\n"},
        {"no X-Plane folder",
         {"merge", "--xplane", missing, "--all"},
         2,
         "quillet: there is no X-Plane folder " + missing + "; nothing was changed.\n"},
        {"no X-Plane folder to list",
         {"list", "--xplane", missing},
         2,
         "quillet: there is no X-Plane folder " + missing + "\n"},
        {"no X-Plane folder to restore",
         {"restore", "--xplane", missing},
         2,
         "quillet: there is no X-Plane folder " + missing + "; nothing was changed.\n"},
        {"no selection",
         {"merge", "--xplane", xplane_},
         1,
         "quillet: name the add-on airports to merge, or give --all (see quillet list).\n"},
        {"an airport not listed",
         {"merge", "--xplane", xplane_, "Alpha Field", "alpha field"},
         1,
         "quillet: there is no add-on airport \"alpha field\" with navaid data in " +
             customScenery + " (see quillet list); nothing was changed.\n"},
        {"ask without a terminal",
         {"merge", "--xplane", xplane_, "--all"},
         2,
         "quillet: --name-conflicts is ask (the default), but there is no terminal to ask on; "
         "choose skip or replace. Nothing was changed.\n"},
        {"ask given without a terminal",
         {"merge", "--xplane", xplane_, "--all", "--name-conflicts", "skip", "--callsign-conflicts",
          "ask"},
         2,
         "quillet: --callsign-conflicts is ask, but there is no terminal to ask on; choose skip "
         "or replace. Nothing was changed.\n"},
        {"no backup to restore",
         {"restore", "--xplane", xplane_},
         2,
         "quillet: There is no backup " + database_ + ".bak to restore; nothing was changed.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Outcome result = run(c.args);
        EXPECT_EQ(result.code, c.code);
        EXPECT_EQ(result.err, c.err);
        EXPECT_EQ(result.out, "");
        expectUnchanged();
    }
}

TEST_F(CommandLine, ADatabaseThatAnotherMergeHoldsEndsWithExitCode4AndNothingChanged) {
    writeBytes(database_, crlf(kDatabase));
    FileLock other;
    ASSERT_EQ(other.tryLock(database_ + ".lock"), FileLock::Outcome::Locked);
    const std::string busy = "quillet: " + database_ +
                             " is in use by another merge or restore of Quillet; nothing was "
                             "changed.\n";
    const Outcome merged =
        merge({"--all", "--name-conflicts", "skip", "--callsign-conflicts", "skip"});
    EXPECT_EQ(merged.code, 4);
    EXPECT_EQ(merged.err, busy);
    writeBytes(database_ + ".bak", crlf(kDatabase));
    const Outcome restored = run({"restore", "--xplane", xplane_});
    EXPECT_EQ(restored.code, 4);
    EXPECT_EQ(restored.err, busy);
    EXPECT_EQ(readBytes(database_), crlf(kDatabase));
}

TEST_F(CommandLine, EachFileFailureHasItsExitCodeAndLeavesTheDatabaseAsItWas) {
    const std::vector<std::string> skipAll = {"--all", "--name-conflicts", "skip",
                                              "--callsign-conflicts", "skip"};
    const struct {
        const char* what;
        void (*prepare)(const std::string& database);
        int code;
        std::string err;
    } cases[] = {
        {"no database", [](const std::string& db) { fs::remove(db); }, 2,
         "quillet: I can't open \"To\" file!\n%s: " + missingFileReason() + "\n"},
        {"no navaid database", [](const std::string& db) { writeBytes(db, "Dear diary,\n"); }, 2,
         "quillet: earth_nav.dat is not a navaid database (no version line); nothing was "
         "changed.\n"},
        {"backup blocked", [](const std::string& db) { fs::create_directory(db + ".bak"); }, 3,
         "quillet: I can't write \".bak\" file!\n%s.bak: " + folderInTheWayReason() + "\n"},
        {"read-only database",
         [](const std::string& db) {
             fs::permissions(
                 db, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                 fs::perm_options::remove);
         },
         3, "quillet: %s is read-only, so I can't replace it; nothing was changed.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeBytes(database_, crlf(kDatabase));
        c.prepare(database_);
        const std::string before = fs::exists(database_) ? readBytes(database_) : "";
        const std::vector<std::string> namesBefore = databaseFolder();
        const Outcome result = merge(skipAll);
        EXPECT_EQ(result.code, c.code);
        std::string err = c.err;
        if (const std::size_t path = err.find("%s"); path != std::string::npos)
            err.replace(path, 2, database_);
        EXPECT_EQ(result.err, err);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(fs::exists(database_) ? readBytes(database_) : "", before);
        EXPECT_EQ(databaseFolder(), namesBefore);
        if (fs::exists(database_))
            fs::permissions(database_, fs::perms::owner_write, fs::perm_options::add);
        fs::remove_all(database_ + ".bak");
    }

    // Restore: a backup that is no navaid database, and a database that asks to be kept.
    writeBytes(database_ + ".bak", "");
    Outcome restore = run({"restore", "--xplane", xplane_});
    EXPECT_EQ(restore.code, 2);
    EXPECT_EQ(restore.err, "quillet: " + database_ + ".bak is empty; nothing was changed.\n");
    writeBytes(database_ + ".bak", crlf(kDatabase));
    writeBytes(database_, "the current database");
    setReadOnly(database_, true);
    restore = run({"restore", "--xplane", xplane_});
    setReadOnly(database_, false);
    EXPECT_EQ(restore.code, 3);
    EXPECT_EQ(restore.err, "quillet: " + database_ +
                               " is read-only, so I can't replace it; nothing was changed.\n");
    EXPECT_EQ(readBytes(database_), "the current database");
    EXPECT_EQ(databaseFolder(), (std::vector<std::string>{"earth_nav.dat", "earth_nav.dat.bak"}));
}

TEST_F(CommandLine, InputThatEndsBeforeAnAnswerStopsTheMergeBeforeItWrites) {
    const Outcome stopped = merge({"Conflict Field"}, "", true);
    EXPECT_EQ(stopped.code, 2);
    EXPECT_NE(stopped.err.find("quillet: the input ended before an answer; stopped, " + database_ +
                               " was not changed.\n"),
              std::string::npos)
        << stopped.err;
    EXPECT_EQ(readBytes(database_), crlf(kDatabase));
    // The backup was written before the question; nothing else is left.
    EXPECT_EQ(databaseFolder(), (std::vector<std::string>{"earth_nav.dat", "earth_nav.dat.bak"}));
}

TEST_F(CommandLine, NothingToMergeIsExitCode1) {
    fs::remove_all(in({"Custom Scenery"}));
    const Outcome result = merge({"--all"});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.err, "quillet: there are no add-on airports with navaid data in " +
                              in({"Custom Scenery"}) + "; nothing to do.\n");
    expectUnchanged();
}

} // namespace
