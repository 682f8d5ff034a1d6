#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/ProgramNames.h"
#include "runtime/store/StoreEngines.h"
#include "tests/support/TempProgramDir.h"

using namespace verdo;

TEST(ProgramNames, EveryNameComesFromTheProgramsDirectoryWhateverTheFileIsCalled) {
    test::TempProgramDir home;
    std::string dir = home.File("tools with spaces/" + std::string(200, 'd') + "/");
    std::filesystem::create_directories(dir);
    ComposeNames(dir + "myver", "  12 ");
    EXPECT_EQ(ProgramDir, dir) << "no limit on the length of the path";
    EXPECT_EQ(ProgramFile, dir + "verdo");
    EXPECT_EQ(SettingsFileName, dir + "VERDO.INI");
    EXPECT_EQ(ManualFileName, dir + "VERDO.PDF");
    EXPECT_EQ(RESFileName, dir + "VERDO\\!RESFile");
    EXPECT_EQ(ExtraSegName, dir + "VERDO\\!ExtraSeg");
    EXPECT_EQ(LangIDName, dir + "VERDO\\!LangID");
    EXPECT_EQ(CommandTail, "12 ");
}

TEST(ProgramNames, CommandTailReadsAsAProjectNumber) {
    struct Case {
        const char* tail;
        int32_t number;
    };
    for (Case c : {Case{"12", 12}, {"12x", 12}, {"x12", 0}, {"  7", 7}, {"-5", -5}, {"1,5", 1}, {"3.9", 3},
                   {"-", 0}, {"--5", 0}, {"+5", 0}, {"\xE9" "12", 0}, {"2147483647", 2147483647},
                   {"-2147483648", INT32_MIN}, {"2147483648", 0}, {"99999999999", 0}, {"4294967308", 0},
                   {"00012", 12}, {"", 0}})
        EXPECT_EQ(ReadProjectNumber(c.tail), c.number) << "tail \"" << c.tail << "\"";
}

TEST(ProgramNames, CommandTailJoinsTheArguments) {
    char program[] = "verdo", a[] = "12", b[] = "x";
    char* argv[] = {program, a, b};
    EXPECT_EQ(CommandTailFrom(3, argv), "12 x");
    EXPECT_EQ(CommandTailFrom(1, argv), "");
}

// A build agent is pointed at the server by the environment; the settings file points
// every user of the program's folder there; without either the store is the file.
TEST(ProgramNames, TheStoreIsOnTheServerThatTheEnvironmentOrTheSettingsFileNames) {
    test::TempProgramDir dir;
    unsetenv("VERDO_STORE");
    ComposeNames(dir.Path() + "verdo", "");
    EXPECT_EQ(StoreName, dir.Path() + "VERDO");

    test::WriteFileBytes(dir.File("VERDO.INI"), "[store]\nserver = \"host=builddb dbname=verdo user=ci\"\n");
    ComposeNames(dir.Path() + "verdo", "");
    EXPECT_EQ(RESFileName, ServerStoreName("host=builddb dbname=verdo user=ci") + "\\!RESFile");
    EXPECT_EQ(LangIDName, ServerStoreName("host=builddb dbname=verdo user=ci") + "\\!LangID");

    setenv("VERDO_STORE", "  service=verdo ", 1);
    EXPECT_EQ(ConfiguredServer(dir.File("VERDO.INI")), "service=verdo");
    setenv("VERDO_STORE", " ", 1);
    EXPECT_EQ(ConfiguredServer(dir.File("VERDO.INI")), "host=builddb dbname=verdo user=ci");
    unsetenv("VERDO_STORE");

    test::WriteFileBytes(dir.File("VERDO.INI"), "[Store]\nServer=\n");
    ComposeNames(dir.Path() + "verdo", "");
    EXPECT_EQ(StoreName, dir.Path() + "VERDO");
}
