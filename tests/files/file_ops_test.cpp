// Copying and replacing files, on every platform: a copy is whole, writable and swapped in at
// once, and a failed one changes nothing in its folder.
#include "base/file_ops.h"

#include "test_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

// Every byte value, CR LF and lone CRs, over more than one 64 KB block.
std::string awkwardBytes() {
    std::string bytes;
    for (int i = 0; bytes.size() < 200'000; ++i)
        bytes += static_cast<char>(i * 7 % 256);
    return bytes + "\r\n\r";
}

TEST(CopyFile, CopiesEveryByteOfAReadOnlyFileIntoAWritableOne) {
    TempDir dir;
    const std::string source = dir.file("earth_nav.dat");
    const std::string target = dir.file("earth_nav.dat.bak");
    writeBytes(source, awkwardBytes());
    writeBytes(target, "an older backup");
    setReadOnly(source, true);

    EXPECT_TRUE(copyFile(source, target));
    EXPECT_EQ(readBytes(target), awkwardBytes());
    EXPECT_FALSE(isReadOnly(target));
    EXPECT_TRUE(isReadOnly(source));
    setReadOnly(source, false);
    EXPECT_EQ(folderContents(dir.path()), (FolderContents{{"earth_nav.dat", awkwardBytes()},
                                                          {"earth_nav.dat.bak", awkwardBytes()}}));
}

TEST(CopyFile, AnEmptyFileGivesAnEmptyCopy) {
    TempDir dir;
    writeBytes(dir.file("empty"), "");
    writeBytes(dir.file("copy"), "old");
    EXPECT_TRUE(copyFile(dir.file("empty"), dir.file("copy")));
    EXPECT_EQ(readBytes(dir.file("copy")), "");
}

TEST(CopyFile, AFailedCopyChangesNothingInTheFolder) {
    const struct {
        const char* name;
        void (*prepare)(const TempDir& dir);
    } cases[] = {
        {"source missing", [](const TempDir& dir) { fs::remove(dir.file("earth_nav.dat")); }},
        {"source is a folder",
         [](const TempDir& dir) {
             fs::remove(dir.file("earth_nav.dat"));
             fs::create_directory(dir.file("earth_nav.dat"));
         }},
        {"target is a folder",
         [](const TempDir& dir) {
             fs::remove(dir.file("earth_nav.dat.bak"));
             fs::create_directory(dir.file("earth_nav.dat.bak"));
         }},
        {"target is a folder with a file in it",
         [](const TempDir& dir) {
             fs::remove(dir.file("earth_nav.dat.bak"));
             writeBytes(dir.file("earth_nav.dat.bak/kept"), "kept");
         }},
        // The copy is written beside the target, as earth_nav.dat.bak.new, and swapped in.
        {"temporary file's place taken by a folder",
         [](const TempDir& dir) { writeBytes(dir.file("earth_nav.dat.bak.new/kept"), "kept"); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        writeBytes(dir.file("earth_nav.dat"), "the database");
        writeBytes(dir.file("earth_nav.dat.bak"), "an older backup");
        c.prepare(dir);
        const FolderContents before = folderContents(dir.path());

        EXPECT_FALSE(copyFile(dir.file("earth_nav.dat"), dir.file("earth_nav.dat.bak")));
        EXPECT_EQ(folderContents(dir.path()), before);
    }
}

TEST(ReplaceFile, PutsTheNewFileInTheTargetsPlaceOrLeavesBoth) {
    TempDir dir;
    writeBytes(dir.file("new"), "new text");
    writeBytes(dir.file("target"), "old text");
    EXPECT_TRUE(replaceFile(dir.file("new"), dir.file("target")));
    EXPECT_EQ(folderContents(dir.path()), (FolderContents{{"target", "new text"}}));

    writeBytes(dir.file("new"), "newer text");
    fs::remove(dir.file("target"));
    writeBytes(dir.file("target/kept"), "kept");
    const FolderContents before = folderContents(dir.path());
    EXPECT_FALSE(replaceFile(dir.file("new"), dir.file("target")));
    EXPECT_EQ(folderContents(dir.path()), before);
}

} // namespace
