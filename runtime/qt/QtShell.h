#pragma once
#include <string>

namespace verdo {

// Opens a file, web address or "mailto:" address with the desktop's program for it.
void QtShellOpen(const std::string& target);

}  // namespace verdo
