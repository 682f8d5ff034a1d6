#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "core/DataFolders.h"
#include "tests/support/TempProgramDir.h"

using namespace verdo;
using namespace verdo::test;

namespace {

// An installed tree: the program in usr/bin, its manual in usr/share/doc/verdo.
std::string InstalledTree(const TempProgramDir& dir) {
    std::filesystem::create_directories(dir.File("usr/bin"));
    std::filesystem::create_directories(dir.File("usr/share/doc/verdo"));
    WriteFileBytes(dir.File("usr/share/doc/verdo/VERDO.PDF"), "%PDF");
    return dir.File("usr/bin/");
}

}  // namespace

TEST(DataFolders, AProgramInAFolderOfItsOwnKeepsItsFilesBesideIt) {
    TempProgramDir dir;
    DataFolders folders = ChooseDataFolders(dir.Path(), [](const char*) { return std::string(); });
    EXPECT_EQ(folders.Store, dir.Path());
    EXPECT_EQ(folders.Settings, dir.Path());
    EXPECT_EQ(folders.Manual, dir.Path() + "VERDO.PDF");
    EXPECT_EQ(folders.Problem, "");
}

TEST(DataFolders, AnInstalledProgramKeepsThemInTheUsersFoldersMadeOnFirstUse) {
    TempProgramDir dir;
    std::string bin = InstalledTree(dir);
    std::map<std::string, std::string> env = {{"XDG_DATA_HOME", dir.File("data")},
                                              {"XDG_CONFIG_HOME", dir.File("config/")}};
    DataFolders folders = ChooseDataFolders(bin, [&](const char* name) { return env[name]; });
    EXPECT_EQ(folders.Problem, "");
    EXPECT_EQ(folders.Store, dir.File("data/verdo/"));
    EXPECT_EQ(folders.Settings, dir.File("config/verdo/"));
    EXPECT_TRUE(std::filesystem::is_directory(folders.Store));
    EXPECT_TRUE(std::filesystem::is_directory(folders.Settings));
    EXPECT_EQ(std::filesystem::weakly_canonical(folders.Manual),
              std::filesystem::path(dir.File("usr/share/doc/verdo/VERDO.PDF")));

    // Unset or relative variables give the standard folders under the home folder.
    env = {{"HOME", dir.File("home")}, {"XDG_DATA_HOME", "relative/data"}};
    folders = ChooseDataFolders(bin, [&](const char* name) { return env[name]; });
    EXPECT_EQ(folders.Store, dir.File("home/.local/share/verdo/"));
    EXPECT_EQ(folders.Settings, dir.File("home/.config/verdo/"));
}

TEST(DataFolders, AUserFolderThatIsAFileIsAProblemSaidInOneLine) {
    TempProgramDir dir;
    std::string bin = InstalledTree(dir);
    WriteFileBytes(dir.File("plain"), "not a folder");
    std::map<std::string, std::string> env = {{"XDG_DATA_HOME", dir.File("plain")}, {"HOME", dir.File("home")}};
    DataFolders folders = ChooseDataFolders(bin, [&](const char* name) { return env[name]; });
    EXPECT_NE(folders.Problem.find(dir.File("plain")), std::string::npos) << folders.Problem;
    EXPECT_NE(folders.Problem.find("Not a directory"), std::string::npos) << folders.Problem;
    EXPECT_EQ(folders.Problem.find('\n'), std::string::npos);
}
