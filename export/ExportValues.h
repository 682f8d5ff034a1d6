#pragma once
#include <string>

#include "core/Records.h"

namespace verdo {

// The language an export writes: RES.LangID with trailing spaces removed, except that
// "XXXX" (no language chosen) stands for U.S. English, "0409".
std::string ExportLanguage(const RESFileRecord& project);

// True when any of the eight automatic-increment steps is not 0.
bool IncrementsConfigured(const RESFileRecord& project);

}  // namespace verdo
