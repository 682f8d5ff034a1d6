#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/DataFolders.h"
#include "runtime/store/StoreEngines.h"
#include "tests/support/Process.h"
#include "tests/support/StoreClient.h"
#include "tests/support/TempProgramDir.h"
#include "tests/support/TestServer.h"

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
    EXPECT_EQ(folders.StoreProblem + folders.SettingsProblem, "");
}

TEST(DataFolders, AnInstalledProgramKeepsThemInTheUsersFoldersMadeOnFirstUse) {
    TempProgramDir dir;
    std::string bin = InstalledTree(dir);
    std::map<std::string, std::string> env = {{"XDG_DATA_HOME", dir.File("data")},
                                              {"XDG_CONFIG_HOME", dir.File("config/")}};
    DataFolders folders = ChooseDataFolders(bin, [&](const char* name) { return env[name]; });
    EXPECT_EQ(folders.StoreProblem + folders.SettingsProblem, "");
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

    // A system that leaves out the documentation still installs the modules.
    std::filesystem::remove_all(dir.File("usr/share"));
    std::filesystem::create_directories(dir.File("usr/lib/verdo"));
    folders = ChooseDataFolders(bin, [&](const char* name) { return env[name]; });
    EXPECT_EQ(folders.Store, dir.File("home/.local/share/verdo/"));
}

TEST(DataFolders, AUserFolderThatIsAFileIsAProblemSaidInOneLine) {
    TempProgramDir dir;
    std::string bin = InstalledTree(dir);
    WriteFileBytes(dir.File("plain"), "not a folder");
    std::map<std::string, std::string> env = {{"XDG_DATA_HOME", dir.File("plain")}, {"HOME", dir.File("home")}};
    DataFolders folders = ChooseDataFolders(bin, [&](const char* name) { return env[name]; });
    EXPECT_NE(folders.StoreProblem.find(dir.File("plain")), std::string::npos) << folders.StoreProblem;
    EXPECT_NE(folders.StoreProblem.find("Not a directory"), std::string::npos) << folders.StoreProblem;
    EXPECT_EQ(folders.StoreProblem.find('\n'), std::string::npos);
    EXPECT_EQ(folders.SettingsProblem, "");
}

// The program and its store tool, run as a user runs them: both find one store, beside
// the program or in the user's folders, and a server named in the environment wins.
TEST(DataFolders, TheProgramAndItsToolAgreeOnOneStoreWhereverItLies) {
    TempProgramDir dir;
    const std::string home = dir.File("home/");
    std::filesystem::create_directories(home);
    const std::vector<std::pair<std::string, std::string>> user = {
        {"HOME", home}, {"XDG_DATA_HOME", home + "data"}, {"XDG_CONFIG_HOME", home + "config"}};

    // A folder the program may write keeps everything beside it.
    std::string program = dir.InstallProgram("own/");
    ASSERT_EQ(RunProcess(program, {"1"}, user).ExitCode, 0);
    EXPECT_TRUE(FileExists(dir.File("own/VERDO")));
    EXPECT_FALSE(FileExists(home + "data"));

    // One it may not write puts them in the user's folders. Root may write anywhere, so
    // a run as root goes on as an unprivileged user.
    program = dir.InstallProgram("shared/");
    dir.InstallStoreTool("shared/");
    std::filesystem::permissions(dir.Path(), std::filesystem::perms::owner_all | std::filesystem::perms::group_exec |
                                                 std::filesystem::perms::others_exec);
    std::filesystem::permissions(dir.File("shared"), std::filesystem::perms::owner_read |
                                                         std::filesystem::perms::owner_exec |
                                                         std::filesystem::perms::others_read |
                                                         std::filesystem::perms::others_exec);
    auto asUser = [&](const std::string& file, std::vector<std::string> arguments,
                      std::vector<std::pair<std::string, std::string>> environment) {
        if (geteuid() != 0) return RunProcess(file, arguments, environment);
        arguments.insert(arguments.begin(), {"--reuid=65534", "--regid=65534", "--clear-groups", file});
        return RunProcess("/usr/bin/setpriv", arguments, environment);
    };
    if (geteuid() == 0) {
        ASSERT_EQ(chown(home.c_str(), 65534, 65534), 0);
    }
    ProcessResult first = asUser(program, {"1"}, user);
    EXPECT_EQ(first.ExitCode, 0);
    EXPECT_EQ(first.Errors, "VERDO: project 1 was not exported: there is no such project\n");
    ASSERT_TRUE(FileExists(home + "data/verdo/VERDO"));
    EXPECT_TRUE(FileExists(home + "config/verdo/VERDO.INI"));
    EXPECT_FALSE(FileExists(dir.File("shared/VERDO")));
    StoreSql(home + "data/verdo/VERDO", "INSERT INTO RESFile (RESNumber, ProjectName, ProjectPath) VALUES (12, 'MYAPP', '/x')");
    ProcessResult path = asUser(dir.File("shared/verdo-store"), {"path", "12"}, user);
    EXPECT_EQ(path.Output, "/x/MYAPP.RES\n") << path.Errors;

    // A data folder that cannot be made is said in one line, and nothing is written.
    WriteFileBytes(dir.File("plain"), "a file");
    auto broken = user;
    broken[1].second = dir.File("plain");
    ProcessResult refused = asUser(program, {"12"}, broken);
    EXPECT_EQ(refused.ExitCode, 0);
    EXPECT_EQ(refused.Errors, "VERDO: File Access Error: VERDO cannot keep its files in the folder " +
                                  dir.File("plain") + "/verdo: Not a directory.\n");
    EXPECT_EQ(asUser(dir.File("shared/verdo-store"), {"path", "12"}, broken).ExitCode, 1);

    // A server named in the environment takes the place of the file, wherever it lies.
    dir.InstallServerModule();
    program = dir.InstallProgram();
    ServerSchema schema;
    auto onServer = user;
    onServer.push_back({"VERDO_STORE", schema.Connection()});
    EXPECT_EQ(RunProcess(program, {"1"}, onServer).ExitCode, 0);
    EXPECT_FALSE(FileExists(dir.File("VERDO")));
    EXPECT_EQ(StoreValue(verdo::ServerStoreName(schema.Connection()), "SELECT count(*) FROM FileOS"),
              StoreValue(dir.File("own/VERDO"), "SELECT count(*) FROM FileOS"));
}
