#include <gtest/gtest.h>

#include <filesystem>
#include <string>

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
           client.Value("SELECT count(*) FROM ExtraSeg") + client.Value("SELECT LangID FROM LangID WHERE LangIDVal = '0409'");
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
                              "U+00FF||0\n72Mine");

    ProcessResult there = RunProcess(Tool, {"copy", file, schema.Connection()});
    EXPECT_EQ(there.ExitCode, 0) << there.Errors;
    EXPECT_NE(there.Output.find("copied 2 projects, 2 extra strings"), std::string::npos) << there.Output;
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
