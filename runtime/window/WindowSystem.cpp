#include "runtime/window/WindowSystem.h"

namespace verdo {

namespace {
WindowSystem* current = nullptr;
}

WindowSystem* CurrentWindowSystem() { return current; }
void SetWindowSystem(WindowSystem* system) { current = system; }

}  // namespace verdo
