#include "scenery/xplane_paths.h"

#include "base/path.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(XPlaneFolder, IsThePathUpToItsLastBackslash) {
    const auto folder = xplaneFolderOf("C:\\X-Plane\\X-Plane.exe");
    ASSERT_TRUE(folder);
    EXPECT_EQ(folder->directory, "C:\\X-Plane\\");
    EXPECT_EQ(folder->earthNavPath, "C:\\X-Plane\\Resources\\default data\\earth_nav.dat");
    EXPECT_EQ(folder->searchPattern, "C:\\X-Plane\\Custom Scenery\\*.*");

    // A path read from the settings file keeps its line feed; the folder does not.
    const auto fromFile = xplaneFolderOf("D:\\Sim\\X-Plane.exe\n");
    ASSERT_TRUE(fromFile);
    EXPECT_EQ(fromFile->directory, "D:\\Sim\\");
}

TEST(XPlaneFolder, NoneForAPathThatNamesNoUsableFolder) {
    const std::string folder220 = "C:\\" + std::string(216, 'f') + "\\";
    ASSERT_EQ(folder220.size(), 220u);
    // 223 characters of folder make a database path of exactly 259 characters.
    const std::string folder223 = "C:\\" + std::string(219, 'f') + "\\";
    const std::string folder224 = "C:\\" + std::string(220, 'f') + "\\";
    EXPECT_TRUE(xplaneFolderOf(folder220 + "X-Plane.exe"));
    const auto longest = xplaneFolderOf(folder223 + "X.exe");
    ASSERT_TRUE(longest);
    EXPECT_EQ(longest->earthNavPath.size(), kMaxPathLength);

    for (const std::string& path :
         {std::string(), std::string("C"), std::string("X-Plane.exe"), folder224 + "X.exe",
          "C:\\" + std::string(400, 'f') + "\\X-Plane.exe"})
        EXPECT_FALSE(xplaneFolderOf(path)) << path;
}

TEST(CustomNavDatPath, IsComposedWhole) {
    EXPECT_EQ(customNavDatPath("C:\\X-Plane\\", "KSEA Demo"),
              "C:\\X-Plane\\Custom Scenery\\KSEA Demo\\Earth nav data\\nav.dat");
    // The longest: a 259-character folder and a 259-character name, 556 characters.
    const std::string directory = "C:\\" + std::string(255, 'd') + "\\";
    const std::string name(259, 'n');
    const std::string path = customNavDatPath(directory, name);
    EXPECT_EQ(path.size(), 556u);
    EXPECT_EQ(path.substr(path.size() - 23), "\\Earth nav data\\nav.dat");
}

TEST(XPlaneFolderAt, JoinsThePathsWithThePlatformSeparator) {
    const std::string sep(1, kPathSeparator);
    const std::string directory = "sim" + sep + "X-Plane 12" + sep;
    // Separators at the end are dropped, the root keeps its own.
    for (const std::string& given : {"sim" + sep + "X-Plane 12", directory, directory + sep}) {
        SCOPED_TRACE(given);
        const XPlaneFolder folder = xplaneFolderAt(given);
        EXPECT_EQ(folder.directory, directory);
        EXPECT_EQ(folder.earthNavPath,
                  directory + "Resources" + sep + "default data" + sep + "earth_nav.dat");
        EXPECT_EQ(customSceneryPath(folder), directory + "Custom Scenery");
        EXPECT_EQ(customNavDatPath(folder, "KSEA Demo"), directory + "Custom Scenery" + sep +
                                                             "KSEA Demo" + sep + "Earth nav data" +
                                                             sep + "nav.dat");
    }
    EXPECT_EQ(xplaneFolderAt(sep).directory, sep);
    EXPECT_EQ(xplaneFolderAt("").directory, "." + sep);
}

TEST(XPlaneFolderAt, GivesTheWindowsPathsOfTheWindowOnWindows) {
    if (kPathSeparator != '\\')
        GTEST_SKIP() << "Windows paths only";
    const auto ofExe = xplaneFolderOf("C:\\X-Plane\\X-Plane.exe");
    ASSERT_TRUE(ofExe);
    for (const char* given : {"C:\\X-Plane", "C:\\X-Plane\\", "C:\\X-Plane/"}) {
        const XPlaneFolder folder = xplaneFolderAt(given);
        EXPECT_EQ(folder.directory, ofExe->directory);
        EXPECT_EQ(folder.earthNavPath, ofExe->earthNavPath);
        EXPECT_EQ(customNavDatPath(folder, "KSEA"), customNavDatPath(ofExe->directory, "KSEA"));
    }
}

TEST(FolderLabelText, IsThePrefixThenThePathAsItStands) {
    EXPECT_EQ(folderLabelText("C:\\X-Plane\\X-Plane.exe"),
              "X-Plane folder: C:\\X-Plane\\X-Plane.exe");
    EXPECT_EQ(folderLabelText("D:\\Sim\\X-Plane.exe\n"), "X-Plane folder: D:\\Sim\\X-Plane.exe\n");
}

} // namespace
