#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "runtime/platform/ProfileFile.h"
#include "tests/support/TempProgramDir.h"

using namespace verdo;
using verdo::test::FileExists;
using verdo::test::ReadFileBytes;
using verdo::test::TempProgramDir;
using verdo::test::WriteFileBytes;

namespace {

size_t EntriesIn(const std::string& directory) {
    size_t count = 0;
    for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(directory)) ++count;
    return count;
}

}  // namespace

TEST(ProfileFile, ReadMatchesWithoutCaseTrimsAndRemovesOnePairOfQuotes) {
    TempProgramDir dir;
    std::string file = dir.File("OLD.VDO");
    WriteFileBytes(file,
                   "Orphan=before any section\r\n"
                   "  [ Verdo ]  trailing\r\n"
                   ";CompanyName=commented out\r\n"
                   "  CompanyName =   \"  Acme Ltd  \"  \r\n"
                   "FileVersion1 =  2 \r\n"
                   "Empty=\r\n"
                   "Quoted=\"\"\r\n"
                   "Inner=\"a\"b\"\r\n"
                   "Lone=\"\r\n"
                   "Twice=\"\"x\"\"\r\n"
                   "Equals=a=b\r\n"
                   "[Other]\r\n"
                   "Key=other");
    EXPECT_EQ(ReadProfileString("verdo", "COMPANYNAME", "-", file), "  Acme Ltd  ");
    EXPECT_EQ(ReadProfileString("VERDO", "fileversion1", "-", file), "2");
    EXPECT_EQ(ReadProfileString("Verdo", "Empty", "-", file), "");
    EXPECT_EQ(ReadProfileString("Verdo", "Quoted", "-", file), "");
    EXPECT_EQ(ReadProfileString("Verdo", "Inner", "-", file), "a\"b");
    EXPECT_EQ(ReadProfileString("Verdo", "Lone", "-", file), "\"");
    EXPECT_EQ(ReadProfileString("Verdo", "Twice", "-", file), "\"x\"");
    EXPECT_EQ(ReadProfileString("Verdo", "Equals", "-", file), "a=b");
    EXPECT_EQ(ReadProfileString("other", "key", "-", file), "other");
    EXPECT_EQ(ReadProfileString("Verdo", "Key", "default", file), "default");
    EXPECT_EQ(ReadProfileString("Verdo", "Orphan", "default", file), "default");
    EXPECT_EQ(ReadProfileString("Missing", "CompanyName", "default", file), "default");
    EXPECT_EQ(ReadProfileString("Verdo", "CompanyName", "default", dir.File("NONE.VDO")), "default");
}

TEST(ProfileFile, FirstOfDuplicateSectionsAndKeysIsReadAndWritten) {
    TempProgramDir dir;
    std::string file = dir.File("VERDO.INI");
    WriteFileBytes(file, "[Main]\nXPos=1\nxpos=9\n[main]\nXPos=2\nYPos=3\n");
    EXPECT_EQ(ReadProfileString("Main", "XPos", "", file), "1");
    EXPECT_EQ(ReadProfileString("Main", "YPos", "none", file), "none");
    ASSERT_TRUE(WriteProfileString("MAIN", "XPos", "5", file));
    ASSERT_TRUE(WriteProfileString("Main", "YPos", "6", file));
    EXPECT_EQ(ReadFileBytes(file), "[Main]\nXPos=5\nxpos=9\nYPos=6\n[main]\nXPos=2\nYPos=3\n");
}

TEST(ProfileFile, WriteChangesOnlyItsLineAndKeepsEveryOtherByte) {
    TempProgramDir dir;
    std::string file = dir.File("VERDO.INI");
    std::string before =
        "\xEF\xBB\xBF[VERDO]\r\n"
        "; a comment\r\n"
        "BrowseFormat = old value ; not a comment\r\n"
        "garbage line without equals\r\n"
        "\r\n"
        "  Other=\tkept  \r\n"
        "\r\n"
        "[Main]\r\n"
        "Maximize=No";
    WriteFileBytes(file, before);

    ASSERT_TRUE(WriteProfileString("verdo", "browseformat", "new", file));
    std::string changed = before;
    changed.replace(changed.find("old value ; not a comment"), 25, "new");
    EXPECT_EQ(ReadFileBytes(file), changed);

    // A new key goes after the section's last entry, with the file's own line ending.
    ASSERT_TRUE(WriteProfileString("VERDO", "Added", "1", file));
    changed.insert(changed.find("\r\n\r\n[Main]") + 2, "Added=1\r\n");
    EXPECT_EQ(ReadFileBytes(file), changed);

    // The last line had no ending: it gets one before the new key and the new section.
    ASSERT_TRUE(WriteProfileString("Main", "XPos", "10", file));
    changed += "\r\nXPos=10\r\n";
    EXPECT_EQ(ReadFileBytes(file), changed);
    ASSERT_TRUE(WriteProfileString("PreviewRES", "Maximize", "Yes", file));
    changed += "[PreviewRES]\r\nMaximize=Yes\r\n";
    EXPECT_EQ(ReadFileBytes(file), changed);
    EXPECT_EQ(ReadProfileString("VERDO", "Other", "", file), "kept");
}

TEST(ProfileFile, WriteCreatesFileSectionAndKeyAndLeavesNoTemporaryFile) {
    TempProgramDir dir;
    std::string file = dir.File("VERDO.INI");
    ASSERT_TRUE(WriteProfileString("Main", "Maximize", "No", file));
    EXPECT_EQ(ReadFileBytes(file), "[Main]\nMaximize=No\n");
    ASSERT_TRUE(WriteProfileString("Main", "XPos", "", file));
    ASSERT_TRUE(WriteProfileString("Main", "Maximize", "Yes", file));
    EXPECT_EQ(ReadFileBytes(file), "[Main]\nMaximize=Yes\nXPos=\n");
    EXPECT_EQ(EntriesIn(dir.Path()), 1u);
}

TEST(ProfileFile, HugeLinesAreKeptAndFilesAreReadAndWrittenUpToTheLimit) {
    TempProgramDir dir;
    std::string file = dir.File("VERDO.INI");
    std::string garbage(400'000, 'g');
    std::string huge(200'000, 'v');
    WriteFileBytes(file, garbage + "\n[S]\n" + garbage + "\n");
    ASSERT_TRUE(WriteProfileString("S", "Key", huge, file));
    // A section without entries gets its first key right under its header.
    EXPECT_TRUE(ReadFileBytes(file) == garbage + "\n[S]\nKey=" + huge + "\n" + garbage + "\n");
    EXPECT_TRUE(ReadProfileString("S", "Key", "none", file) == huge);

    std::string upToTheLimit = "[S]\nKey=" + std::string(kProfileTextLimit - 8, 'v');
    WriteFileBytes(file, upToTheLimit);
    EXPECT_EQ(ReadProfileString("S", "Key", "", file).size(), kProfileTextLimit - 8);
    // A write that would take the file past what look-ups read is refused.
    EXPECT_FALSE(WriteProfileString("S", "Other", "1", file));
    EXPECT_TRUE(ReadFileBytes(file) == upToTheLimit);
    // A file past the limit reads as empty, so it is not rewritten either: the rewrite
    // would keep lines that nothing reads, beside a key that could not be read back.
    WriteFileBytes(file, upToTheLimit + "v");
    EXPECT_EQ(ReadProfileString("S", "Key", "none", file), "none");
    EXPECT_FALSE(WriteProfileString("S", "Key", "short", file));
    EXPECT_TRUE(ReadFileBytes(file) == upToTheLimit + "v");
}

TEST(ProfileFile, WhatIsNotARegularFileReadsAsEmpty) {
    TempProgramDir dir;
    // A pipe without a writer would block a plain open for ever.
    ASSERT_EQ(mkfifo(dir.File("pipe").c_str(), 0600), 0);
    EXPECT_EQ(ReadProfileString("S", "K", "none", dir.File("pipe")), "none");
    std::filesystem::create_directory(dir.File("folder"));
    EXPECT_EQ(ReadProfileString("S", "K", "none", dir.File("folder")), "none");
    EXPECT_TRUE(ProfileText::FromFile("/dev/zero").Text().empty());
}

TEST(ProfileFile, LinesMayEndInALoneCarriageReturn) {
    TempProgramDir dir;
    std::string file = dir.File("VERDO.INI");
    WriteFileBytes(file, "[Main]\rXPos=1\r\rYPos= 2 \r[Other]\rXPos=3");
    ProfileText text = ProfileText::FromFile(file);
    EXPECT_EQ(text.Find("main", "xpos"), "1");
    EXPECT_EQ(text.Find("Main", "YPos"), "2");
    EXPECT_EQ(text.Find("Other", "XPos"), "3");
    EXPECT_EQ(text.Find("Main", "Maximize"), std::nullopt);

    ASSERT_TRUE(WriteProfileString("Main", "XPos", "5", file));
    ASSERT_TRUE(WriteProfileString("Main", "Maximize", "No", file));
    ASSERT_TRUE(WriteProfileString("Other", "YPos", "6", file));
    EXPECT_EQ(ReadFileBytes(file), "[Main]\rXPos=5\r\rYPos= 2 \rMaximize=No\r[Other]\rXPos=3\rYPos=6\r");
}

TEST(ProfileFile, FailedWritesReturnFalseAndLeaveTheOldFile) {
    TempProgramDir dir;
    EXPECT_FALSE(WriteProfileString("S", "K", "v", dir.File("missing/VERDO.INI")));
    EXPECT_FALSE(FileExists(dir.File("missing")));

    WriteFileBytes(dir.File("plain"), "not a directory");
    EXPECT_FALSE(WriteProfileString("S", "K", "v", dir.File("plain/VERDO.INI")));
    EXPECT_EQ(ReadFileBytes(dir.File("plain")), "not a directory");

    std::filesystem::create_directory(dir.File("folder"));
    EXPECT_FALSE(WriteProfileString("S", "K", "v", dir.File("folder")));
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("folder")));

    std::string file = dir.File("VERDO.INI");
    std::string before = "[S]\r\nK=old\r\n";
    WriteFileBytes(file, before);
    // Nothing that would break the file's line structure is written.
    EXPECT_FALSE(WriteProfileString("S", "K", "two\nlines", file));
    EXPECT_FALSE(WriteProfileString("S", "K=J", "v", file));
    EXPECT_FALSE(WriteProfileString("S]", "K", "v", file));
    EXPECT_FALSE(WriteProfileString("", "K", "v", file));
    EXPECT_FALSE(WriteProfileString("S", " ", "v", file));
    EXPECT_EQ(ReadFileBytes(file), before);

    // A directory its user may not write into. File permissions do not hold root back, so
    // a root test run writes from a child process as an unprivileged user who owns it.
    constexpr uid_t nobody = 65534;
    const bool root = geteuid() == 0;
    if (root) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.Path()))
            ASSERT_EQ(chown(entry.path().c_str(), nobody, nobody), 0);
        ASSERT_EQ(chown(dir.Path().c_str(), nobody, nobody), 0);
    }
    std::filesystem::permissions(dir.Path(), std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);
    pid_t child = fork();
    if (child == 0) {
        if (root && (setgroups(0, nullptr) != 0 || setgid(nobody) != 0 || setuid(nobody) != 0)) _exit(2);
        _exit(WriteProfileString("S", "K", "new", file) ? 1 : 0);
    }
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the write was not refused: " << status;
    std::filesystem::permissions(dir.Path(), std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    EXPECT_EQ(ReadFileBytes(file), before);
    EXPECT_EQ(EntriesIn(dir.Path()), 3u);
}

TEST(ProfileFile, WriteThroughALinkChangesTheLinkedFile) {
    TempProgramDir dir;
    WriteFileBytes(dir.File("real.ini"), "[S]\nK=1\n");
    std::filesystem::create_symlink(dir.File("real.ini"), dir.File("link.ini"));
    ASSERT_TRUE(WriteProfileString("S", "K", "2", dir.File("link.ini")));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.ini")));
    EXPECT_EQ(ReadFileBytes(dir.File("real.ini")), "[S]\nK=2\n");
}
