#pragma once
#include <cstdint>

namespace verdo {

struct OutputSet;

// The ways of exporting, as AutoInc.
inline constexpr uint8_t UserExport = 0;
inline constexpr uint8_t BuildTimeRun = 1;
inline constexpr uint8_t BuildKeepingNumbers = 2;

// Exports one project: stamps it with the export date and time, writes its compiled
// version resource file and, for a user's export (AutoInc 0), its project include file
// and a message with the outcome. The build-time run (AutoInc 1) first raises the
// version numbers by their steps and shows nothing; when the store does not take the
// new numbers, or the project's name or path cannot name a file, it leaves the .RES file
// as it was and says so in one line on standard error. A build that keeps the numbers
// (AutoInc 2, a release rebuild) does the same without raising them. At build time, a
// resource file that already holds the bytes to write is left as it is. The shared project buffer
// holds again what it held before the call. True when the files were written.
// A build may ask for files of other formats beside the .RES (`outputs`): they are made
// from the same values, put in place right after it, and left as they are when they
// already hold their bytes; one that cannot be made stops the run before the store
// takes the new numbers.
bool ExportRESFile(int32_t projectNumber, uint8_t AutoInc, const OutputSet* outputs = nullptr);

}  // namespace verdo
