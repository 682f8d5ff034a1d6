#include "tests/support/ProgramFixture.h"

#include <cstdlib>

#include "core/Dictionary.h"
#include "core/ProgramNames.h"
#include "core/Records.h"
#include "framework/FileManager.h"
#include "framework/MessageManager.h"
#include "runtime/text/Text.h"
#include "tests/support/StoreClient.h"

namespace verdo::test {

void ProgramFixture::SetUp() {
    const char* store = std::getenv("VERDO_TEST_STORE");
    onServer = onServer || (store && std::string(store) == "server");
    // A server named for the user's own runs must not receive the tests' stores.
    unsetenv("VERDO_STORE");
    if (onServer) {
        schema = std::make_unique<ServerSchema>();
        WriteFileBytes(dir.File("VERDO.INI"), "[Store]\nServer=" + schema->Connection() + "\n");
    }
    ComposeNames(dir.Path() + "verdo", "");
    MessageManager& messages = GlobalMessages();
    messages.Initialise();
    messages.SetDialog(&dialog);
    messages.SetHaltHandler([this] { ++halts; });
    DictionaryStartup(messages);
}

void ProgramFixture::TearDown() {
    DictionaryShutdown();
    MessageManager& messages = GlobalMessages();
    messages.SetDialog(nullptr);
    messages.SetHaltHandler(nullptr);
    messages.Shutdown();
}

int32_t ProgramFixture::AddProject(const std::string& name, const std::string& path) {
    FileManager& res = *Access_RESFile;
    res.Open();
    EXPECT_EQ(res.PrimeRecord(), LevelNone);
    AssignField(RES.ProjectName, name);
    AssignField(RES.ProjectPath, path);
    EXPECT_EQ(res.Insert(), LevelNone);
    int32_t number = RES.RESNumber;
    res.Close();
    return number;
}

void ProgramFixture::AddExtraItem(int32_t project, const std::string& name, const std::string& data) {
    FileManager& seg = *Access_ExtraSeg;
    seg.Open();
    ClearRecord(ExtraSegTable(), &SEG);
    SEG.RESNumber = project;
    AssignField(SEG.SegName, name);
    AssignField(SEG.SegData, data);
    EXPECT_EQ(seg.Insert(), LevelNone);
    seg.Close();
}

void ProgramFixture::StoreSql(const std::string& sql) { test::StoreSql(StoreName, sql); }

std::string ProgramFixture::StoreValue(const std::string& sql) { return test::StoreValue(StoreName, sql); }

}  // namespace verdo::test
