#pragma once

namespace verdo {

// The interactive program: the splash, then the application frame until it is closed.
void Main();

// The browse of the project database runs on a thread of its own with this stack.
inline constexpr int BrowseStackSize = 50000;

}  // namespace verdo
