#pragma once
#include <string>

namespace verdo {

// The full path of the running program file, as the system reports it.
std::string ModuleFileName();

}  // namespace verdo
