// File handling under faults, on POSIX: failing and interrupted calls, a full disk, a
// read-only folder. The database and its backup are always either the old file or the whole
// new one, and new files reach the disk before they are swapped in.
#include "base/file_ops.h"
#include "base/text_file.h"
#include "merge/merge_job.h"
#include "scenery/nav_format.h"

#include "interposed_calls_posix.h"
#include "recording_screen.h"
#include "test_files.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string kRow = "3 47.4 -122.3 0 1 1 0.0 SEA SEATTLE V\n";

// A database of about `size` bytes on disk (CR LF line ends).
std::string databaseOfSize(std::size_t size) {
    std::string text = "I\n810 Version - data cycle 2612\n";
    while (text.size() + text.size() / 30 < size)
        text += kRow;
    return crlf(text + "99\n");
}

// earth_nav.dat in a folder of its own, and one add-on airport elsewhere.
class FaultyMerge : public ::testing::Test {
  protected:
    void useDatabaseFolder(const std::string& folder) {
        earthNav_ = folder + "/earth_nav.dat";
        backup_ = earthNav_ + ".bak";
    }
    void SetUp() override {
        useDatabaseFolder(dir_.file("default data"));
        fs::create_directories(dir_.file("default data"));
        const std::string navDat = dir_.file("Custom Scenery/A/Earth nav data/nav.dat");
        writeBytes(navDat, crlf("3 10.4 10.3 0 1 1 0.0 ABC ALPHA V\n"));
        airports_.push_back({navDat, "A", true});
    }

    // Runs a merge; returns how it ended.
    MergeEnd merge() {
        return runMerge({earthNav_, airports_, {ConflictAction::Skip, ConflictAction::Skip, true}},
                        screen_.screen())
            .end;
    }
    FolderContents databaseFolder() const {
        return folderContents(fs::path(earthNav_).parent_path());
    }

    TempDir dir_;
    std::string earthNav_, backup_;
    std::vector<CustomAirport> airports_;
    RecordingScreen screen_;
};

TEST_F(FaultyMerge, NewFilesReachTheDiskBeforeTheyAreSwappedIn) {
    writeBytes(earthNav_, databaseOfSize(1000));
    CallLog calls;
    ASSERT_EQ(merge(), MergeEnd::Written);
    const std::string folder = fs::canonical(fs::path(earthNav_).parent_path()).string();
    EXPECT_EQ(calls.entries(), (std::vector<std::string>{
                                   "fsync " + folder + "/earth_nav.dat.bak.new",
                                   "rename " + backup_ + ".new " + backup_,
                                   "fsync " + folder,
                                   "fsync " + folder + "/earth_nav.dat.new",
                                   "rename " + earthNav_ + ".new " + earthNav_,
                                   "fsync " + folder,
                               }));
}

TEST_F(FaultyMerge, AFailedCallLeavesTheOldFilesAndNoneOfItsOwn) {
    const struct {
        const char* name;
        Call call;
        int error;
        int after; // calls of that kind that pass first
        const char* message;
        bool backedUp;
    } cases[] = {
        {"backup: read fails", Call::Read, EIO, 0, "I can't write \".bak\" file!", false},
        {"backup: disk full", Call::Write, ENOSPC, 0, "I can't write \".bak\" file!", false},
        {"backup: flush fails", Call::Fsync, EIO, 0, "I can't write \".bak\" file!", false},
        {"backup: swap fails", Call::Rename, EIO, 0, "I can't write \".bak\" file!", false},
        // The backup's file and its folder are flushed before the database is written.
        {"database: disk full", Call::Write, ENOSPC, 1, "I can't write \"To\" file!", true},
        {"database: flush fails", Call::Fsync, EIO, 2, "I can't write \"To\" file!", true},
        {"database: swap fails", Call::Rename, EIO, 1, "I can't write \"To\" file!", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string database = databaseOfSize(1000);
        writeBytes(earthNav_, database);
        writeBytes(backup_, "an older backup");
        screen_.errors.clear();
        CallLog calls;
        calls.failNext(c.call, c.error, 1, c.after);
        EXPECT_EQ(merge(), MergeEnd::WriteError);
        EXPECT_EQ(calls.failuresLeft(c.call), 0);
        EXPECT_EQ(screen_.errors, std::vector<std::string>{std::string("Error!: ") + c.message});
        EXPECT_EQ(databaseFolder(), (FolderContents{{"earth_nav.dat", database},
                                                    {"earth_nav.dat.bak",
                                                     c.backedUp ? database : "an older backup"}}));
    }
}

TEST(FileFaults, InterruptedCallsAreRetried) {
    const Call kinds[] = {Call::Open, Call::Read, Call::Write, Call::Fsync};
    for (const Call call : kinds) {
        SCOPED_TRACE(static_cast<int>(call));
        TempDir dir;
        const std::string bytes = databaseOfSize(150'000);
        writeBytes(dir.file("from"), bytes);
        writeBytes(dir.file("to"), "old");
        {
            CallLog calls;
            calls.failNext(call, EINTR, 3);
            EXPECT_TRUE(copyFile(dir.file("from"), dir.file("to")));
            EXPECT_EQ(calls.failuresLeft(call), 0);
        }
        EXPECT_EQ(folderContents(dir.path()), (FolderContents{{"from", bytes}, {"to", bytes}}));

        CallLog calls;
        calls.failNext(call, EINTR, 3);
        TextFileWriter writer;
        ASSERT_TRUE(writer.open(dir.file("text")));
        writer.write("I\n810 Version\n99\n");
        EXPECT_TRUE(writer.close());
        EXPECT_EQ(calls.failuresLeft(call), call == Call::Read ? 3 : 0);
        EXPECT_EQ(readBytes(dir.file("text")), "I\r\n810 Version\r\n99\r\n");
    }
}

// A signal that interrupts system calls: its handler is installed without SA_RESTART.
class InterruptingTimer {
  public:
    explicit InterruptingTimer(long microseconds) {
        struct sigaction action = {};
        action.sa_handler = [](int) {};
        sigemptyset(&action.sa_mask);
        sigaction(SIGALRM, &action, &previous_);
        const itimerval timer = {{0, microseconds}, {0, microseconds}};
        setitimer(ITIMER_REAL, &timer, nullptr);
    }
    ~InterruptingTimer() {
        const itimerval stopped = {};
        setitimer(ITIMER_REAL, &stopped, nullptr);
        sigaction(SIGALRM, &previous_, nullptr);
    }

  private:
    struct sigaction previous_;
};

TEST(FileFaults, CopiesSucceedWhileASignalKeepsInterruptingThem) {
    TempDir dir;
    const std::string bytes = databaseOfSize(100'000);
    writeBytes(dir.file("earth_nav.dat"), bytes);
    int failed = 0, different = 0;
    {
        InterruptingTimer timer(50);
        for (int i = 0; i < 2000; ++i) {
            if (!copyFile(dir.file("earth_nav.dat"), dir.file("earth_nav.dat.bak")))
                ++failed;
            else if (fs::file_size(dir.file("earth_nav.dat.bak")) != bytes.size())
                ++different;
        }
    }
    EXPECT_EQ(failed, 0);
    EXPECT_EQ(different, 0);
    EXPECT_EQ(folderContents(dir.path()),
              (FolderContents{{"earth_nav.dat", bytes}, {"earth_nav.dat.bak", bytes}}));
}

// A small RAM file system mounted on a fresh folder; only root may mount one.
class SmallDisk {
  public:
    explicit SmallDisk(std::size_t bytes) {
        const std::string options = "size=" + std::to_string(bytes);
        if (geteuid() != 0)
            whyNotMounted_ = "needs root, to mount a small tmpfs";
        else if (mount("quillet-test", dir_.path().c_str(), "tmpfs", 0, options.c_str()) != 0)
            whyNotMounted_ = std::string("cannot mount a tmpfs here: ") + std::strerror(errno);
    }
    ~SmallDisk() {
        if (mounted())
            umount2(dir_.path().c_str(), MNT_DETACH);
    }
    bool mounted() const { return whyNotMounted_.empty(); }
    const std::string& whyNotMounted() const { return whyNotMounted_; }
    std::string folder() const { return dir_.path(); }
    // Makes the whole file system read-only.
    bool makeReadOnly() {
        return mount(nullptr, dir_.path().c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

  private:
    TempDir dir_;
    std::string whyNotMounted_;
};

TEST_F(FaultyMerge, AFullDiskLeavesTheOldFiles) {
    // 16 pages of 4 KB; the database and an older backup take 6 pages each.
    const struct {
        const char* name;
        bool olderBackup;
        const char* message;
    } cases[] = {
        {"no room for the backup", true, "I can't write \".bak\" file!"},
        {"no room for the new database", false, "I can't write \"To\" file!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SmallDisk disk(16 * 4096);
        if (!disk.mounted())
            GTEST_SKIP() << disk.whyNotMounted();
        useDatabaseFolder(disk.folder());
        const std::string database = databaseOfSize(22'000);
        writeBytes(earthNav_, database);
        if (c.olderBackup)
            writeBytes(backup_, std::string(22'000, 'b'));
        screen_.errors.clear();

        EXPECT_EQ(merge(), MergeEnd::WriteError);
        EXPECT_EQ(screen_.errors, std::vector<std::string>{std::string("Error!: ") + c.message});
        EXPECT_EQ(databaseFolder(),
                  (FolderContents{
                      {"earth_nav.dat", database},
                      {"earth_nav.dat.bak", c.olderBackup ? std::string(22'000, 'b') : database}}));
    }
}

TEST_F(FaultyMerge, AReadOnlyFolderIsLeftAlone) {
    // Root ignores permissions: for root the folder is a file system mounted read-only.
    const bool root = geteuid() == 0;
    std::optional<SmallDisk> disk;
    if (root) {
        disk.emplace(1 << 20);
        if (!disk->mounted())
            GTEST_SKIP() << disk->whyNotMounted();
        useDatabaseFolder(disk->folder());
    }
    const std::string folder = fs::path(earthNav_).parent_path().string();
    const std::string database = databaseOfSize(1000);
    writeBytes(earthNav_, database);
    writeBytes(backup_, "an older backup");
    const FolderContents before = databaseFolder();
    if (root)
        ASSERT_TRUE(disk->makeReadOnly()) << std::strerror(errno);
    else
        fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);

    EXPECT_EQ(merge(), MergeEnd::WriteError);
    EXPECT_EQ(screen_.errors, std::vector<std::string>{"Error!: I can't write \".bak\" file!"});
    EXPECT_EQ(databaseFolder(), before);
    if (!root)
        fs::permissions(folder, fs::perms::owner_all);
}

} // namespace
