#include "settings/settings.h"

#include "test_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

// Runs each test in a fresh current directory, where the settings file is looked up.
class SettingsFile : public ::testing::Test {
  protected:
    void SetUp() override {
        previous_ = fs::current_path();
        fs::current_path(dir_.path());
        settings_ = Settings::instance();
        settings_->userDirectory.clear();
    }
    void TearDown() override { fs::current_path(previous_); }

    std::string settingsPath() const { return dir_.file(kSettingsFileName); }

    TempDir dir_;
    fs::path previous_;
    Settings* settings_ = nullptr;
};

struct LoadCase {
    const char* what;
    std::string fileText; // written with CR LF line ends
    std::string path;
    std::int32_t sameName, sameCallsign, restriction; // as the file's codes stand for them
};

const std::string kLongPath = "D:\\" + std::string(260, 'p');

const LoadCase kLoadCases[] = {
    {"four lines", "D:\\Sim\\X-Plane.exe\n1018\n1019\n0\n", "D:\\Sim\\X-Plane.exe", 1018, 1019, 0},
    {"as saved by a previous run", "D:\\Sim\\X-Plane.exe\n\n1016\n1021\n0\n",
     "D:\\Sim\\X-Plane.exe", 1016, 1021, 0},
    {"empty lines anywhere", "\n\nD:\\X.exe\n\n1018\n\n\n1021\n0\n\n", "D:\\X.exe", 1018, 1021, 0},
    {"path alone", "D:\\X.exe\n", "D:\\X.exe", 1017, 1020, 1},
    {"nothing counted", "\n\n\n", kDefaultXPlaneExePath, 1017, 1020, 1},
    {"last line of one character without line feed", "D:\\X.exe\n1018\n1021\n0", "D:\\X.exe", 1018,
     1021, 1},
    {"numbers by atoi", "D:\\X.exe\nabc\n  1018  \n-7x\n", "D:\\X.exe", 0, 1018, -7},
    {"lines after the fourth", "D:\\X.exe\n1016\n1019\n0\n1017\n1020\n", "D:\\X.exe", 1016, 1019,
     0},
    // A 263-character path line arrives as a piece of 259 characters and one of 4 letters,
    // which counts as the first number (0) and shifts the others by one line.
    {"path line longer than a read", kLongPath + "\n1018\n1021\n0\n", kLongPath.substr(0, 259), 0,
     1018, 1021},
    {"path line of exactly 259 characters", kLongPath.substr(0, 259) + "\n1018\n1021\n0\n",
     kLongPath.substr(0, 259), 1018, 1021, 0},
    // Byte-order marks at a line's start are dropped, so a path saved first in the file reads
    // back the same; a line of marks alone does not count.
    {"byte-order marks at a line's start",
     "\n\xEF\xBB\xBF\xEF\xBB\xBF\n\xEF\xBB\xBF"
     "D:\\X.exe\n1018\n1021\n0\n",
     "D:\\X.exe", 1018, 1021, 0},
    // A line's text ends at its first NUL byte: "\0\n" and "7\0\n" are too short to count.
    {"lines cut at a NUL byte", "\0\nD:\\X\0.exe\n7\0\n12\0003\n\0001021\n1021\n0\n"s, "D:\\X", 12,
     1021, 0},
};

TEST_F(SettingsFile, LoadsCountedLines) {
    for (const LoadCase& c : kLoadCases) {
        SCOPED_TRACE(c.what);
        writeBytes(settingsPath(), crlf(c.fileText));
        settings_->options = MergeOptions{ConflictAction::Replace, ConflictAction::Skip, false};
        settings_->load();
        EXPECT_EQ(settings_->xplaneExePath, c.path);
        const MergeOptions expected = mergeOptionsOf(c.sameName, c.sameCallsign, c.restriction);
        EXPECT_EQ(settings_->options.sameName, expected.sameName);
        EXPECT_EQ(settings_->options.sameCallsign, expected.sameCallsign);
        EXPECT_EQ(settings_->options.distanceRestriction, expected.distanceRestriction);
    }
}

TEST_F(SettingsFile, MissingFileGivesDefaultsAndSavesFourLines) {
    settings_->load();
    EXPECT_EQ(settings_->xplaneExePath, "C:\\X-Plane\\X-Plane.exe");
    EXPECT_EQ(settings_->options.sameName, ConflictAction::Ask);
    EXPECT_EQ(settings_->options.sameCallsign, ConflictAction::Ask);
    EXPECT_TRUE(settings_->options.distanceRestriction);

    settings_->startDirectory = dir_.path();
    EXPECT_TRUE(settings_->save());
    EXPECT_EQ(readBytes(settingsPath()), "C:\\X-Plane\\X-Plane.exe\r\n1017\r\n1020\r\n1\r\n");
}

TEST_F(SettingsFile, LoadAndSaveSettlesOnFiveStableLines) {
    writeBytes(settingsPath(), "C:\\X-Plane\\X-Plane.exe\r\n1017\r\n1020\r\n1\r\n");
    settings_->startDirectory = dir_.path();
    const std::string settled = "C:\\X-Plane\\X-Plane.exe\r\n\r\n1017\r\n1020\r\n1\r\n";
    for (int run = 0; run < 2; ++run) {
        settings_->load();
        EXPECT_TRUE(settings_->save());
        EXPECT_EQ(readBytes(settingsPath()), settled) << "after run " << run + 1;
    }
}

// The file keeps the codes of the options it stands for: a code the dialog never writes is
// saved as the action it acted as; a path chosen anew is saved without the empty line.
TEST_F(SettingsFile, SavesTheOptionsCodesAndAChosenPathInFourLines) {
    writeBytes(settingsPath(), "D:\\X.exe\r\n1021\r\n1020\r\n7\r\n");
    settings_->startDirectory = dir_.path();
    settings_->load();
    EXPECT_TRUE(settings_->save());
    EXPECT_EQ(readBytes(settingsPath()), "D:\\X.exe\r\n\r\n1016\r\n1020\r\n0\r\n");

    settings_->xplaneExePath = "E:\\Y.exe";
    settings_->options.sameCallsign = ConflictAction::Replace;
    EXPECT_TRUE(settings_->save());
    EXPECT_EQ(readBytes(settingsPath()), "E:\\Y.exe\r\n1016\r\n1021\r\n0\r\n");
}

TEST_F(SettingsFile, SaveGoesToStartDirectoryNotCurrentDirectory) {
    TempDir elsewhere;
    settings_->load();
    settings_->startDirectory = elsewhere.path();
    EXPECT_TRUE(settings_->save());
    EXPECT_TRUE(fs::exists(elsewhere.file(kSettingsFileName)));
    EXPECT_FALSE(fs::exists(settingsPath()));
}

TEST_F(SettingsFile, SaveThatCannotOpenTheFileChangesNothing) {
    // A folder standing where the file should be cannot be opened for writing.
    fs::create_directory(settingsPath());
    settings_->load();
    settings_->startDirectory = dir_.path();
    const FileResult saved = settings_->save();
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.error().path, settingsPath());
    EXPECT_TRUE(fs::is_directory(settingsPath()));
}

TEST_F(SettingsFile, WhereTheStartFolderTakesNoFileTheUsersFolderKeepsIt) {
    // A folder standing where the file should be: the start folder takes no settings file.
    fs::create_directory(settingsPath());
    settings_->load();
    settings_->startDirectory = dir_.path();
    settings_->userDirectory = dir_.file("AppData/Quillet");
    settings_->xplaneExePath = "C:\\Program Files\\X-Plane 12\\X-Plane.exe";
    ASSERT_TRUE(settings_->save());
    EXPECT_EQ(readBytes(dir_.file("AppData/Quillet/q-config.qcf")),
              crlf("C:\\Program Files\\X-Plane 12\\X-Plane.exe\n1017\n1020\n1\n"));
    // Read back from there, as the current folder holds none.
    settings_->xplaneExePath.clear();
    settings_->load();
    EXPECT_EQ(settings_->xplaneExePath, "C:\\Program Files\\X-Plane 12\\X-Plane.exe");

    // Where neither takes it, the error names the user's folder's file.
    fs::remove_all(dir_.file("AppData"));
    writeBytes(dir_.file("AppData"), "a file, not a folder");
    const FileResult saved = settings_->save();
    ASSERT_FALSE(saved);
    EXPECT_NE(saved.error().path.find("AppData"), std::string::npos) << saved.error().path;
    settings_->userDirectory.clear();
}

TEST_F(SettingsFile, APathInUtf8IsReadAsItIsAndOtherBytesAsTheSystemReadsThem) {
    const std::string utf8 =
        "C:\\X-Plane 12 \xD0\x9F\xD0\xBE\xD0\xBB\xD1\x8C \xE6\x9D\xB1\xE4\xBA\xAC\\X-Plane.exe";
    writeBytes(settingsPath(), crlf(utf8 + "\n1017\n1020\n1\n"));
    settings_->load();
    EXPECT_EQ(settings_->xplaneExePath, utf8);
    settings_->startDirectory = dir_.path();
    ASSERT_TRUE(settings_->save());
    // Saved unchanged, as the file has always been written: with an empty line after the path.
    EXPECT_EQ(readBytes(settingsPath()), crlf(utf8 + "\n\n1017\n1020\n1\n"));

    // An older file's ANSI bytes: on Windows in the system's code page (Windows-1252 under the
    // tests' Wine), elsewhere as the bytes they are, which file names are there.
    writeBytes(settingsPath(), crlf("C:\\J\xFCrgen\\X-Plane.exe\n1017\n1020\n1\n"));
    settings_->load();
#ifdef _WIN32
    EXPECT_EQ(settings_->xplaneExePath, "C:\\J\xC3\xBCrgen\\X-Plane.exe");
#else
    EXPECT_EQ(settings_->xplaneExePath, "C:\\J\xFCrgen\\X-Plane.exe");
#endif
}

TEST(SettingsInstance, IsOneObjectUntilDestroyed) {
    Settings* first = Settings::instance();
    EXPECT_EQ(Settings::instance(), first);
    delete first;
    Settings* second = Settings::instance();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(Settings::instance(), second);
    second->load();
}

} // namespace
