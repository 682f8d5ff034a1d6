#pragma once
#include <string>

namespace verdo {

// Whether the window library can open a display; when not, `why` says so in one line.
// The window library itself would end the process when it cannot connect.
bool DisplayReachable(std::string& why);

}  // namespace verdo
