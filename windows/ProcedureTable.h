#pragma once
#include <functional>
#include <string>

namespace verdo {

// The window procedures that can be started by name on a thread of their own.
void RegisterProcedure(const std::string& name, std::function<void()> procedure);

// Starts the named procedure on a new logical thread; the caller does not wait for it.
// An unknown name starts nothing.
void StartProcedure(const std::string& name, int stackSize);

}  // namespace verdo
