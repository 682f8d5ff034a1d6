#include <gtest/gtest.h>

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

// The two roles of the installed SQL on the test server, each given to a login of this
// test's own; the store's tables are made by the owner first, as a team sets it up.
class StoreRoles : public ::testing::Test {
protected:
    void SetUp() override {
        program = dir.InstallProgram();
        tool = dir.InstallStoreTool();
        dir.InstallServerModule();
        owner = verdo::ServerStoreName(schema.Connection());
        ASSERT_EQ(RunProcess(program, {"1"}, {{"VERDO_STORE", schema.Connection()}}).ExitCode, 0);
        out = dir.Path() + "out/";
        std::filesystem::create_directory(out);
        StoreSql(owner, "INSERT INTO RESFile (RESNumber, ProjectName, ProjectPath, FV_4, INC_FV_4, CompanyName, LangID, "
                        "CodePage) VALUES (12, 'MYAPP', '" + out + "', 7, 1, 'ACME', '0409', '04b0')");
        StoreSql(owner, ReadFileBytes(VERDO_SOURCE_DIR "/resources/store/roles.sql"));
        agent = schema.Name() + "_agent";
        person = schema.Name() + "_person";
        StoreSql(owner, "CREATE ROLE " + agent + " LOGIN IN ROLE verdo_build; CREATE ROLE " + person +
                            " LOGIN IN ROLE verdo_editor");
    }
    void TearDown() override { StoreSql(owner, "DROP ROLE IF EXISTS " + agent + "; DROP ROLE IF EXISTS " + person); }

    // The store as a login sees it: its own user, the test's schema.
    std::string As(const std::string& user) { return schema.Connection() + " user=" + user; }
    // Whether the login may run the statement.
    bool Allowed(const std::string& user, const std::string& sql) {
        StoreClient client(verdo::ServerStoreName(As(user)));
        return client.Exec(sql, true);
    }

    ServerSchema schema;
    TempProgramDir dir;
    std::string program, tool, owner, out, agent, person;
};

}  // namespace

TEST_F(StoreRoles, ABuildAgentRaisesNumbersAndAddsLedgerRowsButChangesNothingElse) {
    ProcessResult built = RunProcess(program, {"12"}, {{"VERDO_STORE", As(agent)}});
    EXPECT_EQ(built.Errors, "");
    EXPECT_EQ(StoreValue(owner, "SELECT FV_4 FROM RESFile WHERE RESNumber = 12"), "8");
    EXPECT_EQ(StoreValue(owner, "SELECT count(*) FROM RESBuild"), "1");
    ProcessResult tool = RunProcess(this->tool, {"build", "12"}, {{"VERDO_STORE", As(agent)}});
    EXPECT_EQ(tool.ExitCode, 0) << tool.Errors;
    EXPECT_EQ(StoreValue(owner, "SELECT count(*) FROM RESBuild"), "2");

    for (const char* refused :
         {"UPDATE RESFile SET CompanyName = 'Other' WHERE RESNumber = 12", "DELETE FROM RESFile WHERE RESNumber = 12",
          "INSERT INTO ExtraSeg (RESNumber, SegName, SegData) VALUES (12, 'a', 'b')",
          "UPDATE RESBuild SET CommitId = 'forged'", "DELETE FROM RESBuild", "UPDATE LangID SET LangID = 'x'"})
        EXPECT_FALSE(Allowed(agent, refused)) << refused;
    EXPECT_TRUE(Allowed(agent, "SELECT count(*) FROM RESFile"));
    EXPECT_EQ(StoreValue(owner, "SELECT CompanyName FROM RESFile WHERE RESNumber = 12"), "ACME");
}

TEST_F(StoreRoles, APersonChangesProjectsAndExportsButLeavesTheLedgerAsItIs) {
    for (const char* allowed :
         {"INSERT INTO RESFile (RESNumber, ProjectName, LangID, CodePage) VALUES (13, 'NEW', '0409', '04b0')",
          "UPDATE RESFile SET CompanyName = 'Other' WHERE RESNumber = 12",
          "INSERT INTO ExtraSeg (RESNumber, SegName, SegData) VALUES (12, 'Branch', 'main')",
          "DELETE FROM RESFile WHERE RESNumber = 13"})
        EXPECT_TRUE(Allowed(person, allowed)) << allowed;
    ProcessResult exported = RunProcess(tool, {"export", "12"}, {{"VERDO_STORE", As(person)}});
    EXPECT_EQ(exported.ExitCode, 0) << exported.Errors;
    EXPECT_EQ(StoreValue(owner, "SELECT Kind FROM RESBuild"), "export");
    for (const char* refused : {"UPDATE RESBuild SET CommitId = 'forged'", "DELETE FROM RESBuild"})
        EXPECT_FALSE(Allowed(person, refused)) << refused;
    EXPECT_EQ(StoreValue(owner, "SELECT count(*) FROM RESBuild"), "1");
}
