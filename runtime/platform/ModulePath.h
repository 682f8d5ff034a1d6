#pragma once
#include <string>

namespace verdo {

// The full path of the running program file, as the system reports it.
std::string ModuleFileName();

// Where an installed program's modules lie, from the program's folder.
inline constexpr const char* InstalledModuleDir = "../lib/verdo/";

bool IsRegularFile(const std::string& path);
bool IsDirectory(const std::string& path);

// A module of the program's own, by its file name: beside the program, or, for an
// installed program, in ../lib/verdo from the program's folder (which ends with "/").
// The place beside the program when it is in neither.
std::string ProgramModule(const std::string& programDir, const std::string& file);

}  // namespace verdo
