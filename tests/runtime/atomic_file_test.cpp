#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <random>
#include <memory>
#include <set>
#include <string>
#include <thread>

#include "runtime/RuntimeError.h"
#include "runtime/bytes/AtomicFile.h"
#include "tests/support/RecordingDisk.h"
#include "tests/support/TempProgramDir.h"

using namespace verdo;
using verdo::test::ReadFileBytes;
using verdo::test::TempProgramDir;
using verdo::test::WriteFileBytes;

namespace {

size_t EntriesIn(const std::string& dir) {
    size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir)) ++count;
    return count;
}

std::set<std::string> NamesIn(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) names.insert(entry.path().filename().string());
    return names;
}

// A process number that no process has now.
pid_t GonePid() {
    pid_t child = fork();
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

}  // namespace

TEST(AtomicFile, CreatesAndReplacesWithExactlyTheNewBytes) {
    TempProgramDir dir;
    const std::string path = dir.File("MYAPP.RES");
    const std::string first("\x00\x01\r\n\xFF", 5);
    ASSERT_TRUE(WriteFileAtomically(path, first));
    EXPECT_EQ(ReadFileBytes(path), first);

    WriteFileBytes(path, std::string(5000, 'o'));
    ASSERT_TRUE(WriteFileAtomically(path, "short"));
    EXPECT_EQ(ReadFileBytes(path), "short");  // nothing of the longer old file is left
    EXPECT_EQ(EntriesIn(dir.Path()), 1u);     // and no temporary file

    ASSERT_TRUE(WriteFileAtomically(path, ""));
    EXPECT_TRUE(ReadFileBytes(path).empty());
}

TEST(AtomicFile, NewFilesGetTheUmaskedDefaultModeAndReplacedOnesKeepTheirs) {
    TempProgramDir dir;
    mode_t old = umask(022);
    bool written = WriteFileAtomically(dir.File("a"), "x");
    umask(027);
    written = WriteFileAtomically(dir.File("b"), "x") && written;
    written = CreateFileAtomically(dir.File("c"), "x") == CreateOutcome::Created && written;
    ASSERT_EQ(chmod(dir.File("a").c_str(), 0604), 0);
    written = WriteFileAtomically(dir.File("a"), "y") && written;
    umask(old);
    ASSERT_TRUE(written);
    auto mode = [&](const char* name) {
        struct stat info {};
        EXPECT_EQ(stat(dir.File(name).c_str(), &info), 0);
        return info.st_mode & 07777;
    };
    EXPECT_EQ(mode("a"), 0604u);
    EXPECT_EQ(mode("b"), 0640u);
    EXPECT_EQ(mode("c"), 0640u);
}

TEST(AtomicFile, CreatingKeepsWhatIsThereAlready) {
    TempProgramDir dir;
    EXPECT_EQ(CreateFileAtomically(dir.File("VERDO"), "first"), CreateOutcome::Created);
    EXPECT_EQ(CreateFileAtomically(dir.File("VERDO"), "second"), CreateOutcome::AlreadyThere);
    EXPECT_EQ(ReadFileBytes(dir.File("VERDO")), "first");
    EXPECT_EQ(CreateFileAtomically(dir.File("missing/VERDO"), "x"), CreateOutcome::Failed);
    EXPECT_EQ(NamesIn(dir.Path()), std::set<std::string>{"VERDO"});
}

TEST(AtomicFile, KilledWritersLeaveNothingOnceTheNextWriteIsDone) {
    TempProgramDir dir;
    const std::string path = dir.File("MYAPP.RES");
    const std::string big(2'000'000, 'b');
    std::mt19937 random(12345);
    for (int round = 0; round < 20; ++round) {
        pid_t writer = fork();
        if (writer == 0) {
            for (;;) WriteFileAtomically(path, big);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 8000));
        kill(writer, SIGKILL);
        waitpid(writer, nullptr, 0);
    }
    ASSERT_TRUE(WriteFileAtomically(path, "done"));
    EXPECT_EQ(NamesIn(dir.Path()), std::set<std::string>{"MYAPP.RES"});
    EXPECT_EQ(ReadFileBytes(path), "done");
}

TEST(AtomicFile, OnlyTemporaryFilesWhoseWriterIsGoneAreRemoved) {
    TempProgramDir dir;
    const std::string gone = std::to_string(GonePid());
    const std::string alive = std::to_string(getppid());
    const std::set<std::string> kept = {
        ".VERDO." + alive + ".abc123.tmp",      // its writer is still at work
        ".VERDO." + gone + ".held01.tmp",       // a writer that holds its lock, wherever it runs
        ".VERDO.x." + gone + ".abc123.tmp",     // another file's
        ".VERDO.0123456789.tmp",                // of an earlier version, but new
        "VERDO.new-" + alive,
    };
    const std::set<std::string> removed = {
        ".VERDO." + gone + ".abc123.tmp",
        ".VERDO.abcdefghij.tmp",                // of an earlier version, and old
        "VERDO.new-" + gone,
        "VERDO.new-" + gone + "-journal",
    };
    for (const std::string& name : kept) WriteFileBytes(dir.File(name), "part");
    for (const std::string& name : removed) WriteFileBytes(dir.File(name), "part");
    const std::filesystem::path old = dir.File(".VERDO.abcdefghij.tmp");
    std::filesystem::last_write_time(old, std::filesystem::last_write_time(old) - std::chrono::hours(2));
    int held = open(dir.File(".VERDO." + gone + ".held01.tmp").c_str(), O_RDONLY);
    ASSERT_EQ(flock(held, LOCK_EX), 0);

    ASSERT_TRUE(WriteFileAtomically(dir.File("VERDO"), "store"));
    close(held);
    std::set<std::string> expected = kept;
    expected.insert("VERDO");
    EXPECT_EQ(NamesIn(dir.Path()), expected);
}

TEST(AtomicFile, FailureLeavesTheOldFileAndNoTemporaryFile) {
    TempProgramDir dir;
    ClearLastError();
    // The parent is a regular file: no file can be created below it, even for root.
    WriteFileBytes(dir.File("plain"), "old");
    EXPECT_FALSE(WriteFileAtomically(dir.File("plain/MYAPP.RES"), "new"));
    EXPECT_EQ(LastError().Code, FileSystemErr);
    EXPECT_EQ(LastError().FileCode, ENOTDIR);
    EXPECT_FALSE(WriteFileAtomically(dir.File("missing/MYAPP.RES"), "new"));
    EXPECT_EQ(LastError().FileCode, ENOENT);

    // The target is a directory that cannot be replaced: the rename fails after the
    // temporary file was fully written, and the temporary file must go again.
    std::filesystem::create_directory(dir.File("MYAPP.RES"));
    WriteFileBytes(dir.File("MYAPP.RES/keep"), "old");
    EXPECT_FALSE(WriteFileAtomically(dir.File("MYAPP.RES"), "new"));
    EXPECT_EQ(ReadFileBytes(dir.File("MYAPP.RES/keep")), "old");
    EXPECT_EQ(ReadFileBytes(dir.File("plain")), "old");
    EXPECT_EQ(EntriesIn(dir.Path()), 2u);  // "plain" and the directory, nothing else
}

TEST(AtomicFile, APendingFileIsInPlaceOnlyOncePlacedAndDroppedLeavesNothing) {
    TempProgramDir dir;
    WriteFileBytes(dir.File("APP.RES"), "old");
    {
        std::unique_ptr<PendingFile> dropped = PendingFile::Prepare(dir.File("APP.RES"), "never");
        ASSERT_NE(dropped, nullptr);
        EXPECT_EQ(ReadFileBytes(dir.File("APP.RES")), "old");
    }
    EXPECT_EQ(ReadFileBytes(dir.File("APP.RES")), "old");
    EXPECT_EQ(EntriesIn(dir.Path()), 1u) << "nothing of the dropped file is left";

    std::unique_ptr<PendingFile> pending = PendingFile::Prepare(dir.File("APP.RES"), "new");
    ASSERT_NE(pending, nullptr);
    EXPECT_EQ(ReadFileBytes(dir.File("APP.RES")), "old") << "prepared, not yet in place";
    EXPECT_EQ(pending->Place(), CreateOutcome::Created);
    EXPECT_EQ(ReadFileBytes(dir.File("APP.RES")), "new");
    EXPECT_EQ(pending->Place(), CreateOutcome::Failed) << "a file is placed once";
    EXPECT_EQ(EntriesIn(dir.Path()), 1u);
}

// A file reaches its name only once its data is on disk, and its name is made durable
// after: a crash at any point leaves the old file or the complete new one.
TEST(AtomicFile, TheDataIsOnDiskBeforeTheFileIsNamedAndTheNameAfter) {
    TempProgramDir dir;
    const std::string path = dir.File("MYAPP.RES");
    WriteFileBytes(path, "old");
    for (bool replace : {true, false}) {
        SCOPED_TRACE(replace ? "replacing" : "creating");
        if (!replace) std::filesystem::remove(path);
        test::RecordingDisk disk;
        if (replace) {
            ASSERT_TRUE(WriteFileAtomically(path, "new bytes"));
        } else {
            ASSERT_EQ(CreateFileAtomically(path, "new bytes"), CreateOutcome::Created);
        }
        EXPECT_EQ(ReadFileBytes(path), "new bytes");
        const std::initializer_list<std::string> naming = {"link", "rename", "rename absent"};
        int synced = disk.Last({"fsync file"});
        ASSERT_GE(synced, 0);
        ASSERT_GE(disk.First(naming), 0);
        EXPECT_GT(synced, disk.Last({"write"}));
        EXPECT_LT(synced, disk.First(naming)) << "named before its data reached the disk";
        EXPECT_GT(disk.Last({"fsync folder"}), disk.Last(naming)) << "the new name is not made durable";
    }
}

// A full disk and a failing device: the write fails with the system's words, the old
// file stays as it was, and nothing is left behind.
TEST(AtomicFile, AFullDiskOrAFailedSyncLeavesTheOldFileAndSaysWhy) {
    TempProgramDir dir;
    const std::string path = dir.File("MYAPP.RES");
    WriteFileBytes(path, "old");
    struct Case {
        const char* Call;
        int Error;
    };
    for (Case failing : {Case{"write", ENOSPC}, Case{"fsync file", EIO}}) {
        SCOPED_TRACE(failing.Call);
        test::RecordingDisk disk;
        disk.Fail(failing.Call, failing.Error);
        EXPECT_FALSE(WriteFileAtomically(path, "new bytes"));
        EXPECT_EQ(LastError().FileCode, failing.Error);
        EXPECT_EQ(LastError().FileText, std::strerror(failing.Error));
        EXPECT_EQ(disk.First({"link", "rename", "rename absent"}), -1);
        EXPECT_EQ(ReadFileBytes(path), "old");
        EXPECT_EQ(EntriesIn(dir.Path()), 1u) << "a temporary file is left";
        EXPECT_EQ(CreateFileAtomically(dir.File("NEW.RES"), "x"), CreateOutcome::Failed);
        EXPECT_FALSE(test::FileExists(dir.File("NEW.RES")));
    }
}
