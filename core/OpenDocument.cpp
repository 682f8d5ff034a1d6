#include "core/OpenDocument.h"

#include "runtime/text/Text.h"
#include "runtime/window/WindowSystem.h"

namespace verdo {

void OpenDocument(Window* window, const std::string& text) {
    WindowSystem* system = CurrentWindowSystem();
    std::string target(TrimRight(text));
    if (system && !target.empty()) system->ShellOpen(window, target);
}

}  // namespace verdo
