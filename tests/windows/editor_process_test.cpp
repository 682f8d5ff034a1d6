#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "runtime/platform/ProfileFile.h"
#include "tests/support/Process.h"
#include "tests/support/TempProgramDir.h"

using namespace verdo;
using namespace verdo::test;

namespace {

extern "C" char** environ;

// A program of the machine started in the background, ended with its scope.
class Background {
public:
    Background(const std::vector<std::string>& command, const std::string& display) {
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e)
            if (std::string(*e).rfind("DISPLAY=", 0) != 0 && std::string(*e).rfind("QT_QPA_PLATFORM=", 0) != 0)
                env.push_back(*e);
        env.push_back("DISPLAY=" + display);
        std::vector<char*> argv, envp;
        for (const std::string& a : command) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        for (std::string& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        if (posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) pid_ = 0;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~Background() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    bool Started() const { return pid_ > 0; }

private:
    pid_t pid_ = 0;
};

bool WaitFor(const std::function<bool()>& condition) {
    for (int i = 0; i < 100; ++i) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

// A display number no X server uses yet.
int FreeDisplay() {
    for (int n = 70; n < 100; ++n)
        if (!std::filesystem::exists("/tmp/.X" + std::to_string(n) + "-lock") &&
            !std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(n)))
            return n;
    return 0;
}

}  // namespace

// A window manager puts its frame around the frame window after VERDO placed it; the
// place kept must be the one the window comes back to, not one title bar higher.
TEST(EditorProcess, UnderAWindowManagerTheFrameReopensWhereItClosed) {
    int number = FreeDisplay();
    ASSERT_NE(number, 0);
    std::string display = ":" + std::to_string(number);
    Background server({"Xvfb", display, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"}, "");
    ASSERT_TRUE(server.Started()) << "Xvfb is installed by tools/deps.sh";
    ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(number)); }));
    Background manager({"openbox"}, display);
    ASSERT_TRUE(manager.Started()) << "openbox is installed by tools/deps.sh";
    std::this_thread::sleep_for(std::chrono::milliseconds(500));

    TempProgramDir dir;
    std::string program = dir.InstallProgram();
    std::filesystem::copy_file(std::filesystem::path(VERDO_BINARY).parent_path() / "libverdo_gui.so",
                               dir.File("libverdo_gui.so"));
    WriteFileBytes(dir.File("lsan"), "leak:libdbus-1.so\n");
    std::vector<std::string> places;
    for (int run = 0; run < 3; ++run) {
        ProcessResult result = RunProcess(program, {},
                                          {{"DISPLAY", display},
                                           {"VERDO_STARTUP_REPORT", dir.File("report")},
                                           {"VERDO_STARTUP_HOLD_MS", "700"},
                                           // The desktop bus library of a real display keeps a
                                           // buffer to the end; a sanitized build would call it a leak.
                                           {"LSAN_OPTIONS", "suppressions=" + dir.File("lsan")}});
        ASSERT_EQ(result.ExitCode, 0) << result.Errors;
        std::string ini = dir.File("VERDO.INI");
        places.push_back(ReadProfileString("Main", "XPos", "", ini) + "," + ReadProfileString("Main", "YPos", "", ini));
    }
    EXPECT_NE(places[0], ",");
    EXPECT_EQ(places[1], places[0]);
    EXPECT_EQ(places[2], places[0]);
}

TEST(EditorProcess, ADisplayThatCannotBeOpenedIsSaidInOneLineAndTheProgramEndsCleanly) {
    TempProgramDir dir;
    std::string program = dir.InstallProgram();
    std::filesystem::copy_file(std::filesystem::path(VERDO_BINARY).parent_path() / "libverdo_gui.so",
                               dir.File("libverdo_gui.so"));
    std::string display = ":" + std::to_string(FreeDisplay());
    ProcessResult result = RunProcess(program, {}, {{"DISPLAY", display}});
    EXPECT_EQ(result.ExitCode, 0) << result.Errors;
    EXPECT_NE(result.Errors.find("the display " + display + " could not be opened"), std::string::npos) << result.Errors;
    EXPECT_EQ(std::count(result.Errors.begin(), result.Errors.end(), '\n'), 1) << result.Errors;
    EXPECT_FALSE(FileExists(dir.File("VERDO"))) << "nothing was started";
}

TEST(EditorProcess, AFrameKeptOnTheSecondScreenComesBackThere) {
    TempProgramDir dir;
    std::string program = dir.InstallProgram();
    std::filesystem::copy_file(std::filesystem::path(VERDO_BINARY).parent_path() / "libverdo_gui.so",
                               dir.File("libverdo_gui.so"));
    WriteFileBytes(dir.File("screens.json"),
                   R"({"screens": [{"name": "left", "x": 0, "y": 0, "width": 1024, "height": 768},
                                   {"name": "right", "x": 1024, "y": 0, "width": 1280, "height": 1024}]})");
    WriteFileBytes(dir.File("VERDO.INI"), "[Main]\nMaximize=No\nXPos=700\nYPos=40\nWidth=421\nHeight=237\n");
    ProcessResult result = RunProcess(program, {},
                                      {{"QT_QPA_PLATFORM", "offscreen:configfile=" + dir.File("screens.json")},
                                       {"VERDO_STARTUP_REPORT", dir.File("report")}});
    ASSERT_EQ(result.ExitCode, 0) << result.Errors;
    EXPECT_EQ(ReadProfileString("Main", "XPos", "", dir.File("VERDO.INI")), "700");
    EXPECT_EQ(ReadProfileString("Main", "YPos", "", dir.File("VERDO.INI")), "40");
}
