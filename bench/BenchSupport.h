#pragma once
// What the benchmarks share: the median of their timings and a timed run of a program.
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

extern char** environ;

namespace verdo::bench {

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Runs a program with its arguments to its end: milliseconds, or -1 when it could not
// be started or did not end with status 0.
inline double RunOnce(const std::string& program, const std::vector<std::string>& arguments,
                      char** environment = environ) {
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environment) != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return elapsed.count();
}

// The same with one argument, or none when it is empty.
inline double RunOnce(const std::string& program, const std::string& argument, char** environment = environ) {
    return RunOnce(program, argument.empty() ? std::vector<std::string>() : std::vector<std::string>{argument},
                   environment);
}

}  // namespace verdo::bench
