#pragma once
#include <gtest/gtest.h>

#include <string>

#include "tests/support/ScriptedMessageDialog.h"
#include "tests/support/TempProgramDir.h"

namespace verdo::test {

// A program started up in a fresh temporary directory, as far as the store goes: the
// names composed, the message manager answering from a script, the six tables' managers
// set up. A fatal message is counted instead of ending the test.
class ProgramFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Adds a project through the file manager and returns its number.
    int32_t AddProject(const std::string& name, const std::string& path = std::string());
    void AddExtraItem(int32_t project, const std::string& name, const std::string& data);
    // Runs SQL on the store file from outside, as another program would.
    void StoreSql(const std::string& sql);
    std::string StoreValue(const std::string& sql);

    TempProgramDir dir;
    ScriptedMessageDialog dialog;
    int halts = 0;
};

}  // namespace verdo::test
