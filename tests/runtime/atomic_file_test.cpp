#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "runtime/RuntimeError.h"
#include "runtime/bytes/AtomicFile.h"
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

TEST(AtomicFile, NewFileGetsTheUmaskedDefaultMode) {
    TempProgramDir dir;
    mode_t old = umask(022);
    bool written = WriteFileAtomically(dir.File("a"), "x");
    umask(027);
    written = WriteFileAtomically(dir.File("b"), "x") && written;
    umask(old);
    ASSERT_TRUE(written);
    struct stat a {}, b {};
    ASSERT_EQ(stat(dir.File("a").c_str(), &a), 0);
    ASSERT_EQ(stat(dir.File("b").c_str(), &b), 0);
    EXPECT_EQ(a.st_mode & 07777, 0644u);
    EXPECT_EQ(b.st_mode & 07777, 0640u);
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
