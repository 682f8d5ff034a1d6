#pragma once
#include <cstdint>
#include <string>

namespace verdo {

// The builds of a project that the ledger holds, newest first, a page at a time, with
// every field of the highlighted one to read and copy. Modal on the calling thread;
// writes nothing.
void BuildHistory(int32_t resourceNumber, const std::string& projectName);

}  // namespace verdo
