#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "export/VersionValues.h"

namespace verdo {

// The extra items of a project, in the order of SEG:RESNumberK. A read that fails
// before the end of the table sets failure: a file without some of its strings must
// not count as written. With `tellUser` the store's message says why; otherwise the
// store's words are given back in `unread`, for the caller's one line (empty when
// opening the table has said why already).
std::vector<ExtraItem> ReadExtraItems(int32_t projectNumber, bool tellUser, bool& failure, std::string& unread);

}  // namespace verdo
