#pragma once
#include "runtime/window/WindowDef.h"

namespace verdo {

// The about box: title, notice, icon, the maker's addresses under click regions, Close.
const WindowDef& AboutWindowDef();

}  // namespace verdo
