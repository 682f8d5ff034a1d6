#include "runtime/platform/OutsideProgram.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

#include "runtime/bytes/UniqueFd.h"

extern char** environ;

namespace verdo {

namespace {

// The spawn's file actions, released whichever way the run ends.
class FileActions {
public:
    FileActions() { ok_ = posix_spawn_file_actions_init(&actions_) == 0; }
    ~FileActions() {
        if (ok_) posix_spawn_file_actions_destroy(&actions_);
    }
    FileActions(const FileActions&) = delete;
    FileActions& operator=(const FileActions&) = delete;
    posix_spawn_file_actions_t* Get() { return ok_ ? &actions_ : nullptr; }

private:
    posix_spawn_file_actions_t actions_{};
    bool ok_ = false;
};

}  // namespace

ProgramAnswer AskProgram(const std::vector<std::string>& arguments, const std::string& folder, int timeoutMs,
                         size_t cap) {
    ProgramAnswer answer;
    if (arguments.empty()) return answer;
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) return answer;
    UniqueFd reading(ends[0]), writing(ends[1]);
    FileActions actions;
    posix_spawn_file_actions_t* a = actions.Get();
    if (!a || posix_spawn_file_actions_addopen(a, 0, "/dev/null", O_RDONLY, 0) != 0 ||
        posix_spawn_file_actions_adddup2(a, writing.Get(), 1) != 0 ||
        posix_spawn_file_actions_addopen(a, 2, "/dev/null", O_WRONLY, 0) != 0 ||
        (!folder.empty() && posix_spawn_file_actions_addchdir_np(a, folder.c_str()) != 0))
        return answer;
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], a, nullptr, argv.data(), environ) != 0) return answer;
    writing.Reset(-1);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    bool killed = false;
    char buffer[4096];
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            ::kill(pid, SIGKILL);
            killed = true;
            break;
        }
        pollfd wait{reading.Get(), POLLIN, 0};
        int ready = ::poll(&wait, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno != EINTR) break;
        if (ready <= 0) continue;
        ssize_t n = ::read(reading.Get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        size_t room = cap > answer.Output.size() ? cap - answer.Output.size() : 0;
        answer.Output.append(buffer, std::min(room, static_cast<size_t>(n)));
    }
    // A program that closed its output may still be running: it has until the deadline.
    int status = 0;
    for (;;) {
        pid_t done = ::waitpid(pid, &status, killed ? 0 : WNOHANG);
        if (done == pid || (done < 0 && errno != EINTR)) break;
        if (done == 0 && std::chrono::steady_clock::now() >= deadline) {
            ::kill(pid, SIGKILL);
            killed = true;
        } else if (done == 0) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    }
    answer.Ran = !killed && WIFEXITED(status);
    answer.Status = answer.Ran ? WEXITSTATUS(status) : -1;
    return answer;
}

}  // namespace verdo
