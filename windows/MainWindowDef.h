#pragma once
#include "runtime/window/WindowDef.h"

namespace verdo {

// The application frame: menus, toolbar, two-zone status bar, wallpaper.
const WindowDef& MainWindowDef();

}  // namespace verdo
