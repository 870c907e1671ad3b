// Reading, copying and replacing files, on every platform: a copy is whole, writable and
// swapped in at once, a failed one changes nothing in its folder, and every failure names its
// file and the system's reason.
#include "base/file_ops.h"
#include "base/text_file.h"

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

TEST(CopyFile, AFailedCopyNamesTheFileAndChangesNothingInTheFolder) {
    const struct {
        const char* name;
        void (*prepare)(const TempDir& dir);
        const char* failing; // the file the error names
    } cases[] = {
        {"source missing", [](const TempDir& dir) { fs::remove(dir.file("earth_nav.dat")); },
         "earth_nav.dat"},
        {"source is a folder",
         [](const TempDir& dir) {
             fs::remove(dir.file("earth_nav.dat"));
             fs::create_directory(dir.file("earth_nav.dat"));
         },
         "earth_nav.dat"},
        {"target is a folder",
         [](const TempDir& dir) {
             fs::remove(dir.file("earth_nav.dat.bak"));
             fs::create_directory(dir.file("earth_nav.dat.bak"));
         },
         "earth_nav.dat.bak"},
        {"target is a folder with a file in it",
         [](const TempDir& dir) {
             fs::remove(dir.file("earth_nav.dat.bak"));
             writeBytes(dir.file("earth_nav.dat.bak/kept"), "kept");
         },
         "earth_nav.dat.bak"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        writeBytes(dir.file("earth_nav.dat"), "the database");
        writeBytes(dir.file("earth_nav.dat.bak"), "an older backup");
        c.prepare(dir);
        const FolderContents before = folderContents(dir.path());

        const FileResult copied =
            copyFile(dir.file("earth_nav.dat"), dir.file("earth_nav.dat.bak"));
        ASSERT_FALSE(copied);
        EXPECT_EQ(copied.error().path, dir.file(c.failing));
        EXPECT_FALSE(copied.error().reason.empty());
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
    const FileResult replaced = replaceFile(dir.file("new"), dir.file("target"));
    ASSERT_FALSE(replaced);
    EXPECT_EQ(replaced.error().path, dir.file("target"));
    EXPECT_EQ(folderContents(dir.path()), before);
}

// The system's reason, as a message shows it after the file's name: one line, no line end.
TEST(FileErrors, AReadThatFailsNamesTheFileAndTheSystemsReason) {
    TempDir dir;
    const std::string missing = dir.file("missing.dat");
    std::string bytes;
    const FileResult results[] = {
        readFileBytes(missing, bytes),
        readTextFile(missing, bytes),
        readFileStart(missing, 100, bytes),
        copyFile(missing, dir.file("copy")),
    };
    for (const FileResult& result : results) {
        ASSERT_FALSE(result);
        EXPECT_EQ(result.error().path, missing);
        const std::string& reason = result.error().reason;
        EXPECT_FALSE(reason.empty());
        EXPECT_EQ(reason.find_first_of("\r\n"), std::string::npos) << reason;
        // The same failure gives the same words.
        EXPECT_EQ(reason, results[0].error().reason);
    }
    EXPECT_EQ(folderContents(dir.path()), FolderContents{});
}

TEST(FileReads, GiveTheWholeFileOrAsMuchOfItsStartAsAsked) {
    TempDir dir;
    writeBytes(dir.file("f.dat"), awkwardBytes());
    std::string bytes = "old";
    EXPECT_TRUE(readFileBytes(dir.file("f.dat"), bytes));
    EXPECT_EQ(bytes, awkwardBytes());
    EXPECT_TRUE(readFileStart(dir.file("f.dat"), 100'000, bytes));
    EXPECT_EQ(bytes, awkwardBytes().substr(0, 100'000));
    EXPECT_TRUE(readFileStart(dir.file("f.dat"), 300'000, bytes));
    EXPECT_EQ(bytes, awkwardBytes());
}

} // namespace
