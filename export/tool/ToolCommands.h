#pragma once
#include <string>
#include <vector>

namespace verdo::tool {

// The commands of verdo-store, each given the arguments after its name. A command ends
// with a status of ToolSupport.h, or with Misused when its arguments are not its own,
// for the tool to show how it is used.
inline constexpr int Misused = -1;

int Copy(const std::vector<std::string>& arguments);
int Check(const std::vector<std::string>& arguments);
int Path(const std::vector<std::string>& arguments);
int Build(const std::vector<std::string>& arguments);
int Export(const std::vector<std::string>& arguments);
int Show(const std::vector<std::string>& arguments);
int Write(const std::vector<std::string>& arguments);
int Log(const std::vector<std::string>& arguments);
int Which(const std::vector<std::string>& arguments);
int Verify(const std::vector<std::string>& arguments);

}  // namespace verdo::tool
