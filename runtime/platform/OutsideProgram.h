#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace verdo {

// What another program answered: whether it ran to its end, its exit status, and the
// start of its standard output.
struct ProgramAnswer {
    bool Ran = false;  // false: not found, not started, killed at the time-out or by a signal
    int Status = -1;
    std::string Output;
};

// Runs a program, looked up on PATH, with an argument vector (never through a shell), in
// `folder` (the current one when empty), with an empty standard input and its standard
// error thrown away. After `timeoutMs` it is killed; at most `cap` bytes of its output are
// kept, and the rest is read and dropped so that it is not held up writing.
ProgramAnswer AskProgram(const std::vector<std::string>& arguments, const std::string& folder, int timeoutMs,
                         size_t cap);

}  // namespace verdo
