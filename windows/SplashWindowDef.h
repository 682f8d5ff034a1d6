#pragma once
#include "runtime/window/WindowDef.h"

namespace verdo {

// The splash: the logo and the maker's notice, without a title bar.
const WindowDef& SplashWindowDef();

}  // namespace verdo
