// File handling under faults, on POSIX: missing files, failing and interrupted calls, a full
// disk, a read-only folder. Each failure reaches the caller with its file and the system's
// words; the database and its backup are always either the old file or the whole new one, and
// new files reach the disk before they are swapped in.
#include "base/atomic_file_writer.h"
#include "base/file_ops.h"
#include "base/file_lock.h"
#include "base/text_file.h"
#include "merge/merge_job.h"
#include "scenery/nav_format.h"
#include "merge/backup_restore.h"
#include "scenery/airport_data.h"

#include "interposed_calls_posix.h"
#include "recording_screen.h"
#include "test_files.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <optional>
#include <regex>
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
        backup_ = backupPathOf(earthNav_);
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

// The log with each temporary file's own part of its name (between its target's name and
// ".tmp") shown as #1, #2... in the order they first appear.
std::vector<std::string> withTemporaryFilesNumbered(std::vector<std::string> entries) {
    const std::regex temporaryPart(R"(\.[0-9]+\.[0-9]+\.tmp\b)");
    std::vector<std::string> parts;
    for (std::string& entry : entries) {
        std::string numbered;
        auto from = entry.cbegin();
        for (std::sregex_iterator match(entry.begin(), entry.end(), temporaryPart), end;
             match != end; ++match) {
            const std::string part = match->str();
            auto known = std::find(parts.begin(), parts.end(), part);
            if (known == parts.end())
                known = parts.insert(parts.end(), part);
            numbered.append(from, (*match)[0].first);
            numbered += "#" + std::to_string(known - parts.begin() + 1);
            from = (*match)[0].second;
        }
        numbered.append(from, entry.cend());
        entry = numbered;
    }
    return entries;
}

TEST_F(FaultyMerge, NewFilesReachTheDiskBeforeTheyAreSwappedIn) {
    writeBytes(earthNav_, databaseOfSize(1000));
    CallLog calls;
    ASSERT_EQ(merge(), MergeEnd::Written);
    const std::string folder = fs::canonical(fs::path(earthNav_).parent_path()).string();
    // Each file is written under a name of its own beside its target, then renamed.
    EXPECT_EQ(withTemporaryFilesNumbered(calls.entries()),
              (std::vector<std::string>{
                  "fsync " + folder + "/earth_nav.dat.bak#1",
                  "rename " + backup_ + "#1 " + backup_,
                  "fsync " + folder,
                  "fsync " + folder + "/earth_nav.dat#2",
                  "rename " + earthNav_ + "#2 " + earthNav_,
                  "fsync " + folder,
              }));
    EXPECT_EQ(databaseFolder().size(), 2u);
}

TEST_F(FaultyMerge, OneWriterAtATime) {
    const std::string database = databaseOfSize(1000);
    writeBytes(earthNav_, database);
    writeBytes(backup_, "an older backup");
    // A second process holds the database's lock until told to go.
    int locked[2], done[2];
    ASSERT_EQ(pipe(locked), 0);
    ASSERT_EQ(pipe(done), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        FileLock lock;
        const char state = lock.tryLock(lockPathOf(earthNav_)) == FileLock::Outcome::Locked;
        static_cast<void>(write(locked[1], &state, 1));
        char go = 0;
        static_cast<void>(read(done[0], &go, 1));
        _exit(0);
    }
    char state = 0;
    ASSERT_EQ(read(locked[0], &state, 1), 1);
    ASSERT_EQ(state, 1);

    // A merge waits a while, then changes nothing; so does a restore.
    MergeRequest request{earthNav_, airports_, {ConflictAction::Skip, ConflictAction::Skip, true}};
    request.lockWait = std::chrono::milliseconds(300);
    EXPECT_EQ(runMerge(request, screen_.screen()).end, MergeEnd::Busy);
    EXPECT_EQ(screen_.errors, std::vector<std::string>{"Error!: " + busyMessage(earthNav_)});
    EXPECT_NE(
        std::find(screen_.events.begin(), screen_.events.end(),
                  "status Waiting for another merge or restore to finish with " + earthNav_ + "\n"),
        screen_.events.end());
    const RestoreResult restore = restoreBackup(earthNav_, std::chrono::milliseconds(300));
    EXPECT_EQ(restore.end, RestoreEnd::Busy);
    EXPECT_EQ(restore.message, busyMessage(earthNav_));
    EXPECT_EQ(databaseFolder(), (FolderContents{{"earth_nav.dat", database},
                                                {"earth_nav.dat.bak", "an older backup"},
                                                {"earth_nav.dat.lock", ""}}));

    // Once the other has gone, the merge goes ahead and leaves no lock file.
    const char go = 1;
    ASSERT_EQ(write(done[1], &go, 1), 1);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    screen_.errors.clear();
    EXPECT_EQ(runMerge(request, screen_.screen()).end, MergeEnd::Written);
    EXPECT_EQ(screen_.errors, std::vector<std::string>{});
    EXPECT_EQ(entryNames(fs::path(earthNav_).parent_path()),
              (std::vector<std::string>{"earth_nav.dat", "earth_nav.dat.bak"}));
    for (int end : {locked[0], locked[1], done[0], done[1]})
        close(end);
}

TEST_F(FaultyMerge, ALinkedDatabaseIsMergedWhereItLivesAndAHardLinkedOneIsLeftAlone) {
    // One database shared by two X-Plane folders through a symbolic link.
    const std::string shared = dir_.file("shared/earth_nav.dat");
    const std::string database = databaseOfSize(1000);
    writeBytes(shared, database);
    ASSERT_EQ(symlink(shared.c_str(), earthNav_.c_str()), 0);
    ASSERT_EQ(merge(), MergeEnd::Written);
    struct stat link;
    ASSERT_EQ(lstat(earthNav_.c_str(), &link), 0);
    EXPECT_TRUE(S_ISLNK(link.st_mode));
    EXPECT_NE(readBytes(shared), database); // merged, through the link
    EXPECT_EQ(readBytes(earthNav_), readBytes(shared));
    EXPECT_EQ(readBytes(backup_), database);
    EXPECT_EQ(entryNames(dir_.file("shared")), std::vector<std::string>{"earth_nav.dat"});

    // A second name of the file: a merge would leave it with the old content.
    ASSERT_EQ(unlink(earthNav_.c_str()), 0);
    ASSERT_EQ(unlink(backup_.c_str()), 0);
    writeBytes(shared, database);
    ASSERT_EQ(::link(shared.c_str(), earthNav_.c_str()), 0);
    screen_.errors.clear();
    EXPECT_EQ(merge(), MergeEnd::InputError);
    EXPECT_EQ(screen_.errors,
              std::vector<std::string>{"Error!: " + earthNav_ +
                                       " has other names (hard links), which a merge would leave "
                                       "with the old database; nothing was changed."});
    EXPECT_EQ(databaseFolder(), (FolderContents{{"earth_nav.dat", database}}));
}

TEST_F(FaultyMerge, AFailedCallLeavesTheOldFilesAndNoneOfItsOwn) {
    const struct {
        const char* name;
        Call call;
        int error;
        int after; // calls of that kind that pass first: the add-on's file and the database
                   // are read first, in two reads each (their bytes, then the end)
        const char* message;
        bool namesBackup; // else the database
    } cases[] = {
        {"backup: read fails", Call::Read, EIO, 4, "I can't write \".bak\" file!", false},
        {"backup: disk full", Call::Write, ENOSPC, 0, "I can't write \".bak\" file!", true},
        {"backup: flush fails", Call::Fsync, EIO, 0, "I can't write \".bak\" file!", true},
        {"backup: swap fails", Call::Rename, EIO, 0, "I can't write \".bak\" file!", true},
        // The backup's file and its folder are flushed before the database is written; the
        // previous backup goes back when the database cannot take the new file's place.
        {"database: disk full", Call::Write, ENOSPC, 1, "I can't write \"To\" file!", false},
        {"database: flush fails", Call::Fsync, EIO, 2, "I can't write \"To\" file!", false},
        {"database: swap fails", Call::Rename, EIO, 1, "I can't write \"To\" file!", false},
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
        EXPECT_EQ(screen_.errors,
                  std::vector<std::string>{std::string("Error!: ") + c.message + "\n" +
                                           (c.namesBackup ? backup_ : earthNav_) + ": " +
                                           std::strerror(c.error)});
        EXPECT_EQ(databaseFolder(), (FolderContents{{"earth_nav.dat", database},
                                                    {"earth_nav.dat.bak", "an older backup"}}));
    }
}

TEST(FaultyRestore, AFailedSwapLeavesTheDatabaseAsItWasAndNothingBehind) {
    TempDir dir;
    const std::string database = dir.file("earth_nav.dat");
    const std::string backup = backupPathOf(database);
    const std::string current = databaseOfSize(1000), older = databaseOfSize(2000);
    writeBytes(database, current);
    writeBytes(backup, older);
    CallLog calls;
    // The copy kept as earth_nav.dat.before-restore is swapped in first, then the backup's.
    calls.failNext(Call::Rename, EIO, 1, 1);
    const RestoreResult result = restoreBackup(database);
    EXPECT_EQ(calls.failuresLeft(Call::Rename), 0);
    EXPECT_EQ(result.end, RestoreEnd::WriteError);
    EXPECT_EQ(result.message, "I can't put " + backup + " back in place of " + database + " (" +
                                  database + ": Input/output error); it was not changed.");
    EXPECT_EQ(folderContents(dir.path()),
              (FolderContents{{"earth_nav.dat", current}, {"earth_nav.dat.bak", older}}));
}

TEST(BoundedReads, OnlyRegularFilesOfANavaidFilesSizeAreRead) {
    // A FIFO without a writer, and a link to an endless device, are refused at once: the test
    // program's time limit catches a read that waits or never ends.
    TempDir dir;
    const std::string fifo = dir.file("nav.dat");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string endless = dir.file("earth_nav.dat");
    ASSERT_EQ(symlink("/dev/zero", endless.c_str()), 0);
    // Sparse: no disk space for its 64 MB and a byte.
    const std::string huge = dir.file("huge.dat");
    writeBytes(huge, "");
    ASSERT_EQ(truncate(huge.c_str(), static_cast<off_t>(kLargestDatabaseBytes + 1)), 0);
    std::string bytes;
    const struct {
        const char* name;
        FileResult result;
        std::string path;
        const char* reason;
    } cases[] = {
        {"FIFO", readTextFile(fifo, bytes, kLargestAddOnFileBytes), fifo,
         "it is not a regular file"},
        {"/dev/zero", readFileBytes(endless, bytes, kLargestDatabaseBytes), endless,
         "it is not a regular file"},
        {"FIFO's start", readFileStart(fifo, 100, bytes), fifo, "it is not a regular file"},
        {"too large", readFileBytes(huge, bytes, kLargestDatabaseBytes), huge,
         "it is larger than 64 MB"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_FALSE(c.result);
        EXPECT_EQ(c.result.error().path, c.path);
        EXPECT_EQ(c.result.error().reason, c.reason);
    }
    EXPECT_TRUE(readFileBytes(huge, bytes, kLargestDatabaseBytes + 1));
    EXPECT_EQ(bytes.size(), kLargestDatabaseBytes + 1);

    // In a merge, such a nav.dat is told like any file that cannot be read, and the merge goes
    // on; X-Plane's airport data is read the same way.
    const std::string database = dir.file("merged/earth_nav.dat");
    writeBytes(database, "I\n810 Version\n2 47.5 -122.3 0 362 25 0.0 BF NOLLA NDB\n99\n");
    RecordingScreen screen;
    const MergeOutcome outcome = runMerge(
        {database, {{fifo, "FIFO", true}}, {ConflictAction::Skip, ConflictAction::Skip, true}},
        screen.screen());
    EXPECT_EQ(outcome.end, MergeEnd::Written);
    EXPECT_EQ(screen.errors, std::vector<std::string>{"Error!: I can't open \"From\" file!\n" +
                                                      fifo + ": it is not a regular file"});
    AirportData data;
    EXPECT_FALSE(data.read(fifo, {}));
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

        {
            CallLog calls;
            calls.failNext(call, EINTR, 3);
            std::string read;
            EXPECT_TRUE(readFileBytes(dir.file("from"), read));
            EXPECT_EQ(calls.failuresLeft(call), call == Call::Open || call == Call::Read ? 0 : 3);
            EXPECT_EQ(read, bytes);
        }

        CallLog calls;
        calls.failNext(call, EINTR, 3);
        AtomicFileWriter writer(dir.file("text"));
        writer.write("I\n810 Version\n99\n");
        EXPECT_TRUE(writer.commit());
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
        bool namesBackup; // else the database
    } cases[] = {
        {"no room for the backup", true, "I can't write \".bak\" file!", true},
        {"no room for the new database", false, "I can't write \"To\" file!", false},
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
        EXPECT_EQ(screen_.errors,
                  std::vector<std::string>{std::string("Error!: ") + c.message + "\n" +
                                           (c.namesBackup ? backup_ : earthNav_) +
                                           ": No space left on device"});
        // Nothing changed: without an older backup, no backup either.
        FolderContents expected{{"earth_nav.dat", database}};
        if (c.olderBackup)
            expected.insert_or_assign("earth_nav.dat.bak", std::string(22'000, 'b'));
        EXPECT_EQ(databaseFolder(), expected);
    }
}

// A folder that cannot be written in. Root ignores permissions: for root it is a small file
// system mounted read-only, for anyone else a folder without write permission.
class ReadOnlyFolder {
  public:
    // folder: the folder to use when not root.
    explicit ReadOnlyFolder(std::string folder) : root_(geteuid() == 0), path_(std::move(folder)) {
        if (root_) {
            disk_.emplace(1 << 20);
            path_ = disk_->folder();
        }
    }
    ~ReadOnlyFolder() {
        if (!root_)
            fs::permissions(path_, fs::perms::owner_all);
    }
    // Empty when the folder can be had.
    std::string whyNot() const { return root_ && !disk_->mounted() ? disk_->whyNotMounted() : ""; }
    const std::string& path() const { return path_; }
    bool makeReadOnly() {
        if (root_)
            return disk_->makeReadOnly();
        fs::permissions(path_, fs::perms::owner_read | fs::perms::owner_exec);
        return true;
    }
    // What the system says to a file created in it.
    const char* reason() const { return root_ ? "Read-only file system" : "Permission denied"; }

  private:
    bool root_;
    std::string path_;
    std::optional<SmallDisk> disk_;
};

TEST_F(FaultyMerge, AReadOnlyFolderIsLeftAlone) {
    ReadOnlyFolder folder(dir_.file("default data"));
    if (!folder.whyNot().empty())
        GTEST_SKIP() << folder.whyNot();
    useDatabaseFolder(folder.path());
    const std::string database = databaseOfSize(1000);
    writeBytes(earthNav_, database);
    writeBytes(backup_, "an older backup");
    const FolderContents before = databaseFolder();
    ASSERT_TRUE(folder.makeReadOnly()) << std::strerror(errno);

    EXPECT_EQ(merge(), MergeEnd::WriteError);
    EXPECT_EQ(screen_.errors, std::vector<std::string>{"Error!: I can't write \".bak\" file!\n" +
                                                       backup_ + ": " + folder.reason()});
    EXPECT_EQ(databaseFolder(), before);
}

TEST(FileErrors, AFileThatCannotBeWrittenGivesTheSystemsReason) {
    TempDir dir;
    ReadOnlyFolder folder(dir.makeFolder("read-only"));
    if (!folder.whyNot().empty())
        GTEST_SKIP() << folder.whyNot();
    const std::string target = folder.path() + "/out.dat";
    writeBytes(target, "the old file");
    ASSERT_TRUE(folder.makeReadOnly()) << std::strerror(errno);

    AtomicFileWriter writer(target);
    writer.write("lost\n");
    const FileResult result = writer.commit();
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().reason, folder.reason());
    EXPECT_EQ(result.error().path, target);
    EXPECT_EQ(folderContents(folder.path()), (FolderContents{{"out.dat", "the old file"}}));
}

TEST(FileErrors, AFileThatCannotBeReadGivesTheSystemsReason) {
    TempDir dir;
    writeBytes(dir.file("copy"), "an older copy");
    const std::string missing = dir.file("missing.dat");
    const std::string folder = dir.makeFolder("folder");
    std::string bytes;
    const struct {
        const char* name;
        FileResult result;
        std::string path;
        const char* reason;
    } cases[] = {
        {"missing file", readFileBytes(missing, bytes), missing, "No such file or directory"},
        {"missing text file", readTextFile(missing, bytes), missing, "No such file or directory"},
        {"missing file's start", readFileStart(missing, 10, bytes), missing,
         "No such file or directory"},
        {"copy of a missing file", copyFile(missing, dir.file("copy")), missing,
         "No such file or directory"},
        {"folder", readTextFile(folder, bytes), folder, "it is not a regular file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_FALSE(c.result);
        EXPECT_EQ(c.result.error().path, c.path);
        EXPECT_EQ(c.result.error().reason, c.reason);
    }
    EXPECT_EQ(readBytes(dir.file("copy")), "an older copy");
}

TEST(FileFaults, EachFailingStepOfAWriteNamesItsFileAndChangesNothing) {
    enum class Names { Source, Target };
    const struct {
        const char* name;
        bool copy; // by copyFile, else by an AtomicFileWriter
        Call call;
        int error;
        int after; // calls of that kind that pass first
        Names names;
        const char* reason;
    } cases[] = {
        {"create", false, Call::Open, EACCES, 0, Names::Target, "Permission denied"},
        {"write", false, Call::Write, ENOSPC, 0, Names::Target, "No space left on device"},
        {"flush", false, Call::Fsync, EIO, 0, Names::Target, "Input/output error"},
        {"rename", false, Call::Rename, EIO, 0, Names::Target, "Input/output error"},
        {"copy: read", true, Call::Read, EIO, 1, Names::Source, "Input/output error"},
        {"copy: create", true, Call::Open, EACCES, 1, Names::Target, "Permission denied"},
        {"copy: write", true, Call::Write, ENOSPC, 1, Names::Target, "No space left on device"},
        {"copy: flush", true, Call::Fsync, EIO, 0, Names::Target, "Input/output error"},
        {"copy: rename", true, Call::Rename, EIO, 0, Names::Target, "Input/output error"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string source = databaseOfSize(150'000); // more than one block
        writeBytes(dir.file("from"), source);
        writeBytes(dir.file("to"), "the old file");
        const FolderContents before = folderContents(dir.path());

        CallLog calls;
        calls.failNext(c.call, c.error, 1, c.after);
        FileResult result;
        if (c.copy) {
            result = copyFile(dir.file("from"), dir.file("to"));
        } else {
            AtomicFileWriter writer(dir.file("to"));
            writer.write(source);
            result = writer.commit();
        }
        EXPECT_EQ(calls.failuresLeft(c.call), 0);
        ASSERT_FALSE(result);
        EXPECT_EQ(result.error().reason, c.reason);
        const std::string& path = result.error().path;
        switch (c.names) {
        case Names::Source:
            EXPECT_EQ(path, dir.file("from"));
            break;
        case Names::Target:
            EXPECT_EQ(path, dir.file("to"));
            break;
        }
        EXPECT_EQ(folderContents(dir.path()), before);
    }
}

} // namespace
