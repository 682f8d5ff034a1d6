#pragma once
#include <string>

namespace verdo {

class Window;

// Hands a file name, web address or mail address to the desktop, owned by the calling
// window. Trailing spaces are removed; the outcome is not examined and nothing is
// reported when no program takes the document.
void OpenDocument(Window* window, const std::string& text);

}  // namespace verdo
