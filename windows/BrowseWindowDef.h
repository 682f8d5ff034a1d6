#pragma once
#include <string>

#include "runtime/window/WindowDef.h"

namespace verdo {

// The project browse: the list of projects over four tabs, one per order, with the
// update, export, preview, close and help buttons.
const WindowDef& BrowseWindowDef();

// The list's column format as defined, before any the user left in the settings file.
extern const std::string BrowseListFormat;

}  // namespace verdo
