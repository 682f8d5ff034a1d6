#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "runtime/platform/ProfileFile.h"
#include "tests/support/TempProgramDir.h"

using namespace verdo;
using verdo::test::ReadFileBytes;
using verdo::test::TempProgramDir;
using verdo::test::WriteFileBytes;

namespace {

// Runs the write in a child process, so that one that hangs or aborts fails the test
// instead of ending the test program. 0: refused, 1: written, anything else: it hung or
// died.
int WriteInChild(const std::function<bool()>& write) {
    pid_t child = fork();
    if (child == 0) {
        alarm(10);
        _exit(write() ? 1 : 0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}

}  // namespace

TEST(ProfileWrite, APipeOrADeviceIsLeftAloneInsteadOfWaitedOnOrReadForEver) {
    TempProgramDir dir;
    const std::string pipe = dir.File("VERDO.INI");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(WriteInChild([&] { return WriteProfileString("VERDO", "Sectors", "0", pipe); }), 0);
    struct stat info {};
    ASSERT_EQ(lstat(pipe.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));

    const std::string link = dir.File("ZERO.INI");
    std::filesystem::create_symlink("/dev/zero", link);
    EXPECT_EQ(WriteInChild([&] { return WriteProfileString("VERDO", "Sectors", "0", link); }), 0);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
}

TEST(ProfileWrite, AWriterWaitsForAnotherOnlySoLong) {
    TempProgramDir dir;
    const std::string file = dir.File("VERDO.INI");
    WriteFileBytes(file, "[Main]\nXPos=1\n");
    int holder = open(file.c_str(), O_RDONLY);
    ASSERT_EQ(flock(holder, LOCK_EX), 0);
    EXPECT_EQ(WriteInChild([&] { return WriteProfileString("Main", "XPos", "2", file); }), 0);
    EXPECT_EQ(ReadFileBytes(file), "[Main]\nXPos=1\n");
    close(holder);
    EXPECT_TRUE(WriteProfileString("Main", "XPos", "2", file));
    EXPECT_EQ(ReadFileBytes(file), "[Main]\nXPos=2\n");
}
