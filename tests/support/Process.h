#pragma once
#include <string>
#include <utility>
#include <vector>

namespace verdo::test {

struct ProcessResult {
    int ExitCode = -1;      // -1 when the process did not exit normally
    std::string Output;     // standard output
    std::string Errors;     // standard error
};

// Runs a program with the given arguments and no display: DISPLAY, WAYLAND_DISPLAY and
// QT_QPA_PLATFORM are removed from its environment. Standard input is empty.
// `environment` is set on top, name and value.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::vector<std::pair<std::string, std::string>>& environment = {});

}  // namespace verdo::test
