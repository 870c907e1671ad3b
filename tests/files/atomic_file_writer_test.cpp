// The atomic writer, on every platform: a committed file replaces its target whole; until then,
// and after any failure, the target is as it was and no temporary file is left beside it.
#include "base/atomic_file_writer.h"

#include "test_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using LineFeeds = AtomicFileWriter::LineFeeds;

// The names in the folder that look like a temporary file of target: target's own name,
// a dot, then whatever a writer adds, ending in ".tmp". (Names only: on Windows an open
// temporary file cannot be read.)
std::vector<std::string> temporaryFilesOf(const std::string& folder, const std::string& target) {
    std::vector<std::string> names;
    for (const std::string& name : entryNames(folder)) {
        if (name.size() > target.size() + 5 &&
            name.compare(0, target.size() + 1, target + ".") == 0 &&
            name.compare(name.size() - 4, 4, ".tmp") == 0)
            names.push_back(name);
    }
    return names;
}

TEST(AtomicFileWriter, CommitReplacesTheTargetWithWhatWasWritten) {
    const std::string longPiece(200'000, 'x'); // longer than the writer's buffer
    const struct {
        const char* name;
        LineFeeds lineFeeds;
        std::vector<std::string> pieces;
        std::string bytes;
    } cases[] = {
        {"line feeds become CR LF",
         LineFeeds::ToCrLf,
         {"I\n810 \xa9\n", "no end", "\n\n99\n"},
         "I\r\n810 \xa9\r\nno end\r\n\r\n99\r\n"},
        {"bytes as given",
         LineFeeds::AsGiven,
         {"I\r\n", "lone\rcr\n", "\n", std::string(1, '\0')},
         "I\r\nlone\rcr\n\n" + std::string(1, '\0')},
        {"a piece longer than the buffer, between short ones",
         LineFeeds::ToCrLf,
         {"a\n", longPiece + "\n", "b\n"},
         "a\r\n" + longPiece + "\r\nb\r\n"},
        {"nothing written", LineFeeds::ToCrLf, {}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        writeBytes(dir.file("out.dat"), "the old file");
        AtomicFileWriter writer(dir.file("out.dat"), c.lineFeeds);
        for (const std::string& piece : c.pieces)
            writer.write(piece);
        // Nothing reaches the target before the commit.
        EXPECT_EQ(readBytes(dir.file("out.dat")), "the old file");
        EXPECT_TRUE(writer.commit());
        EXPECT_EQ(folderContents(dir.path()), (FolderContents{{"out.dat", c.bytes}}));
    }
}

TEST(AtomicFileWriter, CreatesATargetThatDidNotExist) {
    TempDir dir;
    {
        AtomicFileWriter writer(dir.file("new.dat"));
        writer.write("text\n");
        EXPECT_TRUE(writer.commit());
    }
    EXPECT_EQ(folderContents(dir.path()), (FolderContents{{"new.dat", "text\r\n"}}));
    EXPECT_FALSE(isReadOnly(dir.file("new.dat")));
}

TEST(AtomicFileWriter, AnUncommittedWriterLeavesTheTargetAndRemovesItsTemporaryFile) {
    TempDir dir;
    writeBytes(dir.file("out.dat"), "the old file");
    {
        AtomicFileWriter writer(dir.file("out.dat"));
        writer.write(std::string(100'000, 'y'));
        // Its file is beside the target, in the same folder.
        EXPECT_EQ(temporaryFilesOf(dir.path(), "out.dat").size(), 1u);
    }
    EXPECT_EQ(folderContents(dir.path()), (FolderContents{{"out.dat", "the old file"}}));
}

TEST(AtomicFileWriter, AFinishedFileWaitsBesideTheTargetUntilCommittedOrDropped) {
    for (const bool committed : {true, false}) {
        SCOPED_TRACE(committed ? "committed" : "dropped");
        TempDir dir;
        writeBytes(dir.file("out.dat"), "the old file");
        {
            AtomicFileWriter writer(dir.file("out.dat"), LineFeeds::AsGiven);
            writer.write("the new file");
            EXPECT_TRUE(writer.finishWriting());
            writer.write(" and more"); // too late: the file is finished
            EXPECT_EQ(readBytes(dir.file("out.dat")), "the old file");
            EXPECT_EQ(temporaryFilesOf(dir.path(), "out.dat").size(), 1u);
            if (committed) {
                EXPECT_TRUE(writer.commit());
            }
        }
        EXPECT_EQ(folderContents(dir.path()),
                  (FolderContents{{"out.dat", committed ? "the new file" : "the old file"}}));
    }
}

TEST(AtomicFileWriter, WritersForOneTargetAtOnceUseTheirOwnTemporaryFiles) {
    TempDir dir;
    writeBytes(dir.file("out.dat"), "the old file");
    AtomicFileWriter first(dir.file("out.dat"), LineFeeds::AsGiven);
    AtomicFileWriter second(dir.file("out.dat"), LineFeeds::AsGiven);
    first.write("first");
    second.write("second");
    const std::vector<std::string> temporary = temporaryFilesOf(dir.path(), "out.dat");
    ASSERT_EQ(temporary.size(), 2u);
    EXPECT_NE(temporary[0], temporary[1]);

    EXPECT_TRUE(first.commit());
    EXPECT_EQ(readBytes(dir.file("out.dat")), "first");
    EXPECT_TRUE(second.commit());
    EXPECT_EQ(folderContents(dir.path()), (FolderContents{{"out.dat", "second"}}));
}

TEST(AtomicFileWriter, AFailureNamesItsFileAndChangesNothing) {
    const struct {
        const char* name;
        const char* target; // in the scratch folder
        void (*prepare)(const TempDir& dir);
    } cases[] = {
        {"no folder to write in", "missing/out.dat", [](const TempDir&) {}},
        {"target is a folder with a file in it", "out.dat",
         [](const TempDir& dir) { writeBytes(dir.file("out.dat/kept"), "kept"); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        writeBytes(dir.file("other"), "other");
        c.prepare(dir);
        const FolderContents before = folderContents(dir.path());

        AtomicFileWriter writer(dir.file(c.target));
        writer.write("lost\n");
        const FileResult result = writer.commit();
        ASSERT_FALSE(result);
        // The target, even where its temporary file could not be made.
        EXPECT_EQ(result.error().path, dir.file(c.target));
        EXPECT_FALSE(result.error().reason.empty());
        EXPECT_EQ(folderContents(dir.path()), before);
    }
}

} // namespace
