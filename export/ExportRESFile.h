#pragma once
#include <cstdint>

namespace verdo {

// Exports one project: stamps it with the export date and time, writes its compiled
// version resource file and, for a user's export (AutoInc 0), its project include file
// and a message with the outcome. The build-time run (AutoInc 1) first raises the
// version numbers by their steps and shows nothing. The shared project buffer holds
// again what it held before the call.
void ExportRESFile(int32_t projectNumber, uint8_t AutoInc);

}  // namespace verdo
