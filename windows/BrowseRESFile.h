#pragma once

namespace verdo {

// The browse of all projects, in four orders: insert, change and delete through the
// project form, export, preview and help. Only one is open at a time; a second start
// ends at once. Runs on a thread of its own, started by the frame.
void BrowseRESFile();

}  // namespace verdo
