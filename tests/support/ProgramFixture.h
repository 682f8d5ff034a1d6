#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/support/ScriptedMessageDialog.h"
#include "tests/support/TempProgramDir.h"
#include "tests/support/TestServer.h"

namespace verdo::test {

// A program started up in a fresh temporary directory, as far as the store goes: the
// names composed, the message manager answering from a script, the six tables' managers
// set up. A fatal message is counted instead of ending the test. The store is the file
// beside the program, or, with `onServer` set before SetUp, a schema of its own on the
// test server, named in the settings file as a user names it. VERDO_TEST_STORE=server in
// the environment puts every such test on the server.
class ProgramFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Adds a project through the file manager and returns its number.
    int32_t AddProject(const std::string& name, const std::string& path = std::string());
    void AddExtraItem(int32_t project, const std::string& name, const std::string& data);
    // Runs SQL on the store from outside, as another program would.
    void StoreSql(const std::string& sql);
    std::string StoreValue(const std::string& sql);

    bool onServer = false;
    std::unique_ptr<ServerSchema> schema;
    TempProgramDir dir;
    ScriptedMessageDialog dialog;
    int halts = 0;
};

}  // namespace verdo::test
