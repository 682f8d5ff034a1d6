#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace verdo {

// Runs the program from start-up to shut-down: composes the names from the program's
// path, starts the message manager, the dictionary and the settings file, then either
// runs `buildTime` with the project number on the command tail (the build-time run, no
// window) or `interactive`, the editor; then shuts down in the reverse order. The
// process always ends with status 0, so the result is 0.
int RunProgram(const std::string& modulePath, const std::string& commandTail,
               const std::function<void(int32_t)>& buildTime, const std::function<void()>& interactive);

}  // namespace verdo
