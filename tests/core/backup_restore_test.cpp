#include "merge/backup_restore.h"

#include "test_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

// Every byte matters: CR LF line ends, a Latin-1 copyright sign, no line end at the end.
const std::string kBackup = "I\r\n810 Version - data cycle 2601, \xa9 X-Plane\r\n3 47.4 -122.3 0 1 "
                            "1 0.0 SEA SEATTLE V\r\n99";
const std::string kCurrent = "I\r\n810 Version - merged\r\n\r\n99\r\n";

class Restore : public ::testing::Test {
  protected:
    void SetUp() override { database_ = dir_.file("earth_nav.dat"); }

    TempDir dir_;
    std::string database_;
};

TEST_F(Restore, PutsTheBackupBackByteForByteAndKeepsIt) {
    writeBytes(database_, kCurrent);
    writeBytes(database_ + ".bak", kBackup);
    const RestoreResult result = restoreBackup(database_);
    EXPECT_EQ(result.end, RestoreEnd::Restored);
    EXPECT_EQ(result.message, "Restored " + database_ + " from " + database_ + ".bak.");
    EXPECT_EQ(readBytes(database_), kBackup);
    EXPECT_EQ(readBytes(database_ + ".bak"), kBackup);
    // The current file was kept only until the swap succeeded.
    EXPECT_EQ(entryNames(dir_.path()),
              (std::vector<std::string>{"earth_nav.dat", "earth_nav.dat.bak"}));
}

TEST_F(Restore, PutsTheBackupBackWhereTheDatabaseIsGone) {
    writeBytes(database_ + ".bak", kBackup);
    EXPECT_EQ(restoreBackup(database_).end, RestoreEnd::Restored);
    EXPECT_EQ(readBytes(database_), kBackup);
}

TEST_F(Restore, PutsBackABackupOfAnotherFormat) {
    const std::string xplane12 =
        "I\r\n1200 Version - data cycle 2601\r\n"
        "2  47.63 -122.38 0 362 50 0.000 BF ENRT K1 NOLLA/KBFI LOM\r\n99\r\n";
    writeBytes(database_, kCurrent);
    writeBytes(database_ + ".bak", xplane12);
    EXPECT_EQ(restoreBackup(database_).end, RestoreEnd::Restored);
    EXPECT_EQ(readBytes(database_), xplane12);
}

TEST_F(Restore, RefusesABackupThatIsMissingOrNoNavaidDatabase) {
    const struct {
        const char* what;
        std::optional<std::string> backup;
        std::string message;
    } cases[] = {
        {"no backup", std::nullopt, "There is no backup %s.bak to restore; nothing was changed."},
        {"empty", ""s, "%s.bak is empty; nothing was changed."},
        {"NUL bytes", "I\n810 Version\n\0\0\0"s,
         "%s.bak is not a navaid database (it holds NUL bytes); nothing was changed."},
        {"one line", "I"s,
         "%s.bak is not a navaid database (no version line); nothing was changed."},
        {"UTF-16", "\xff\xfeI\0\n\0"s,
         "%s.bak is UTF-16 text, which Quillet cannot read; nothing was changed."},
        {"a text file", "Dear diary,\nnot today.\n"s,
         "%s.bak is not a navaid database (no version line); nothing was changed."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeBytes(database_, kCurrent);
        fs::remove(database_ + ".bak");
        if (c.backup)
            writeBytes(database_ + ".bak", *c.backup);
        const RestoreResult result = restoreBackup(database_);
        EXPECT_EQ(result.end, RestoreEnd::InputError);
        std::string expected = c.message;
        expected.replace(expected.find("%s"), 2, database_);
        EXPECT_EQ(result.message, expected);
        EXPECT_EQ(readBytes(database_), kCurrent);
        EXPECT_FALSE(fs::exists(database_ + ".before-restore"));
    }
}

TEST_F(Restore, LeavesADatabaseMarkedReadOnlyAlone) {
    writeBytes(database_, kCurrent);
    writeBytes(database_ + ".bak", kBackup);
    const auto writable = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    fs::permissions(database_, writable, fs::perm_options::remove);
    const RestoreResult result = restoreBackup(database_);
    fs::permissions(database_, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(result.end, RestoreEnd::WriteError);
    EXPECT_EQ(result.message,
              database_ + " is read-only, so I can't replace it; nothing was changed.");
    EXPECT_EQ(readBytes(database_), kCurrent);
    EXPECT_FALSE(fs::exists(database_ + ".before-restore"));
}

} // namespace
