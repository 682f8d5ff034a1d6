#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "runtime/store/StoreEngines.h"
#include "tests/support/Process.h"
#include "tests/support/StoreClient.h"
#include "tests/support/TempProgramDir.h"
#include "tests/support/TestServer.h"

using namespace verdo::test;

namespace {

const std::string Tool = (std::filesystem::path(VERDO_BINARY).parent_path() / "verdo-store").string();

// A store file as the program makes it, with projects whose values a record cannot hold
// whole and two of the same name, in the order they were added.
std::string MadeStore(const TempProgramDir& dir) {
    std::string program = dir.InstallProgram();
    EXPECT_EQ(RunProcess(program, {"1"}).ExitCode, 0);
    std::string store = dir.File("VERDO");
    StoreSql(store,
             "INSERT INTO RESFile (RESNumber, ProjectName, Description, FileOS, INC_PV_1) VALUES "
             "(7, 'SAME', 'first', x'04000400', 4000000000), "
             "(3, 'same but longer than eight', '\xE2\x82\xAC is above U+00FF', x'', 0);"
             "INSERT INTO ExtraSeg (RESNumber, SegName, SegData) VALUES (7, 'Build', 'b'), (3, 'Alpha', 'a');"
             "INSERT INTO RESBuild (RESNumber, ProjectName, Kind, FV_4, CommitId, Sha256) VALUES "
             "(7, 'SAME', 'build', 41, 'c41', 'aa'), (3, 'same', 'export', 9, 'c9', 'bb');"
             "UPDATE LangID SET LangID = 'Mine' WHERE LangIDVal = '0409'");
    return store;
}

std::string Projects(const std::string& store) {
    StoreClient client(store);
    std::string rows;
    for (int n : {7, 3})
        rows += client.Value("SELECT ProjectName || '|' || Description || '|' || " + HexOf(store, "FileOS") +
                             " || '|' || INC_PV_1 FROM RESFile WHERE RESNumber = " + std::to_string(n)) + "\n";
    return rows + client.Value("SELECT RESNumber FROM RESFile ORDER BY rowid LIMIT 1") +
           client.Value("SELECT count(*) FROM ExtraSeg") + client.Value("SELECT LangID FROM LangID WHERE LangIDVal = '0409'") +
           client.Value("SELECT CommitId FROM RESBuild ORDER BY rowid LIMIT 1") +
           client.Value("SELECT CommitId FROM RESBuild ORDER BY rowid DESC LIMIT 1");
}

}  // namespace

// A store moves to a server and back whole: values the program's records could not hold,
// the order of the rows, the lookup rows as the user left them.
TEST(StoreTool, CopiesAStoreToAServerAndBackWholeAndRefusesATargetThatHoldsProjects) {
    TempProgramDir dir;
    std::string file = MadeStore(dir);
    ServerSchema schema;
    std::string server = verdo::ServerStoreName(schema.Connection());
    ASSERT_EQ(Projects(file), "SAME|first|04000400|4000000000\nsame but longer than eight|\xE2\x82\xAC is above "
                              "U+00FF||0\n72Minec41c9");

    ProcessResult there = RunProcess(Tool, {"copy", file, schema.Connection()});
    EXPECT_EQ(there.ExitCode, 0) << there.Errors;
    EXPECT_NE(there.Output.find("copied 2 projects, 2 extra strings, 2 builds on record"), std::string::npos)
        << there.Output;
    EXPECT_EQ(Projects(server), Projects(file));

    ProcessResult again = RunProcess(Tool, {"copy", file, schema.Connection()});
    EXPECT_EQ(again.ExitCode, 1);
    EXPECT_NE(again.Errors.find("is not empty: RESFile holds 2 rows; nothing was copied"), std::string::npos)
        << again.Errors;

    ProcessResult back = RunProcess(Tool, {"copy", schema.Connection(), dir.File("BACK")});
    EXPECT_EQ(back.ExitCode, 0) << back.Errors;
    EXPECT_EQ(Projects(dir.File("BACK")), Projects(file));
    EXPECT_EQ(RunProcess(Tool, {"check", dir.File("BACK")}).ExitCode, 0);
}

// The rows go over in batches: a table of exactly one batch and one of two batches and a
// row arrive whole, in their order.
TEST(StoreTool, CopiesTablesLargerThanOneBatchWhole) {
    TempProgramDir dir;
    std::string program = dir.InstallProgram();
    ASSERT_EQ(RunProcess(program, {"1"}).ExitCode, 0);
    std::string file = dir.File("VERDO");
    StoreSql(file,
             "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 500) "
             "INSERT INTO RESFile (RESNumber, ProjectName) SELECT i, 'P' || i FROM n;"
             "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1001) "
             "INSERT INTO ExtraSeg (RESNumber, SegName, SegData) SELECT 1 + i % 500, 'S' || i, 'D' || i FROM n;");
    auto contents = [](const std::string& store) {
        return StoreValue(store, "SELECT count(*) || ':' || sum(RESNumber * length(ProjectName)) FROM RESFile") + "/" +
               StoreValue(store, "SELECT count(*) || ':' || group_concat(SegName || SegData, ',') FROM "
                                 "(SELECT SegName, SegData FROM ExtraSeg ORDER BY rowid)");
    };
    ProcessResult copied = RunProcess(Tool, {"copy", file, dir.File("COPY")});
    EXPECT_EQ(copied.ExitCode, 0) << copied.Errors;
    EXPECT_NE(copied.Output.find("copied 500 projects, 1001 extra strings"), std::string::npos) << copied.Output;
    EXPECT_EQ(contents(dir.File("COPY")), contents(file));
    EXPECT_EQ(StoreValue(dir.File("COPY"), "SELECT SegName FROM ExtraSeg ORDER BY rowid DESC LIMIT 1"), "S1001");
}

TEST(StoreTool, CheckNamesWhatIsMissingOrUnusable) {
    TempProgramDir dir;
    std::string file = MadeStore(dir);
    StoreSql(file, "DROP INDEX SEG_SegNameK; UPDATE CodePage SET CodePageVal = 'xyz' WHERE rowid = 1");
    ProcessResult check = RunProcess(Tool, {"check", file});
    EXPECT_EQ(check.ExitCode, 1);
    EXPECT_NE(check.Errors.find("a key of ExtraSeg is missing"), std::string::npos) << check.Errors;
    EXPECT_NE(check.Errors.find("1 rows of CodePage have a CodePageVal the program cannot use"), std::string::npos)
        << check.Errors;

    ProcessResult nothing = RunProcess(Tool, {"check", dir.File("NONE")});
    EXPECT_EQ(nothing.ExitCode, 1);
    EXPECT_FALSE(FileExists(dir.File("NONE"))) << "checking creates nothing";
    EXPECT_EQ(RunProcess(Tool, {"copy", file}).ExitCode, 2);
}

// What a build that links the file asks of the program's own store: where the file goes,
// counted from the folder the build runs in, and the file written without a new number.
TEST(StoreTool, NamesAProjectsResourceFileAndWritesItWithOrWithoutANewNumber) {
    TempProgramDir dir;
    std::string program = dir.InstallProgram();
    dir.InstallStoreTool();
    ASSERT_EQ(RunProcess(program, {"1"}).ExitCode, 0);
    StoreSql(dir.File("VERDO"),
             "INSERT INTO RESFile (RESNumber, ProjectName, ProjectPath, FV_1, FV_4, INC_FV_4, LangID, CodePage, FileOS, "
             "FileType) VALUES (12, 'MYAPP', '.', 1, 7, 1, '0409', '04b0', x'04000400', x'01')");
    std::filesystem::create_directory(dir.File("tree"));
    auto inTree = [&](std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"-C", dir.File("tree")});
        return RunProcess("/usr/bin/env", arguments);
    };
    auto fv4 = [&] { return StoreValue(dir.File("VERDO"), "SELECT FV_4 FROM RESFile WHERE RESNumber = 12"); };
    const std::string res = dir.File("tree/MYAPP.RES");

    ProcessResult path = inTree({dir.File("verdo-store"), "path", "12"});
    EXPECT_EQ(path.ExitCode, 0) << path.Errors;
    EXPECT_EQ(path.Output, res + "\n");
    EXPECT_FALSE(FileExists(res)) << "naming the file writes nothing";

    ProcessResult missing = inTree({dir.File("verdo-store"), "path", "13"});
    EXPECT_EQ(missing.ExitCode, 1);
    EXPECT_EQ(missing.Errors, "VERDO: there is no project 13\n");
    EXPECT_EQ(missing.Output, "");
    EXPECT_EQ(inTree({dir.File("verdo-store"), "path", "12x"}).ExitCode, 2);

    ProcessResult kept = inTree({dir.File("verdo-store"), "export", "12"});
    EXPECT_EQ(kept.ExitCode, 0) << kept.Errors;
    EXPECT_EQ(kept.Errors, "");
    const std::string first = ReadFileBytes(res);
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(fv4(), "7");
    struct stat before {};
    ASSERT_EQ(stat(res.c_str(), &before), 0);
    EXPECT_EQ(inTree({dir.File("verdo-store"), "export", "12"}).ExitCode, 0);
    struct stat after {};
    ASSERT_EQ(stat(res.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino) << "an unchanged file is not written again";
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);

    // A build that links another file than the project now writes stops before any increment.
    ProcessResult moved = inTree({dir.File("verdo-store"), "build", "12", dir.File("old/MYAPP.RES")});
    EXPECT_EQ(moved.ExitCode, 1);
    EXPECT_EQ(moved.Errors, "VERDO: project 12 now writes " + res + ", not " + dir.File("old/MYAPP.RES") +
                                ": configure the build again\n");
    EXPECT_EQ(fv4(), "7");

    // The build-time run through the tool raises the number as verdo 12 does.
    ProcessResult built = inTree({dir.File("verdo-store"), "build", "12", res});
    EXPECT_EQ(built.ExitCode, 0) << built.Errors;
    EXPECT_EQ(fv4(), "8");
    EXPECT_NE(ReadFileBytes(res), first);

    // Either fails in its status, so that a build stops without a new file.
    for (const char* run : {"export", "build"}) {
        ProcessResult none = inTree({dir.File("verdo-store"), run, "13"});
        EXPECT_EQ(none.ExitCode, 1) << run;
        EXPECT_EQ(none.Errors, "VERDO: project 13 was not exported: there is no such project\n");
    }
}
