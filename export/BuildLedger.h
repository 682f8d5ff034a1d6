#pragma once
#include <string>

#include "core/Records.h"
#include "export/BuildOrigin.h"
#include "export/VersionValues.h"
#include "runtime/datetime/DateTime.h"

namespace verdo {

// What wrote a ledger row.
inline constexpr const char* LedgerBuild = "build";
inline constexpr const char* LedgerExport = "export";

// The SHA-256 of a compiled resource file's version resource data: the bytes after its
// resource header, as a linker takes them into a program (verify lays out again what a
// resource compiler rewrote). Empty for a file without a version resource.
std::string VersionDataHash(const std::string& resFile);

// The ledger's row for a .RES file a run puts in place: its project and numbers from the
// values it was written from, its hash, the run's reading of the clock and its origin.
RESBuildRecord LedgerRow(const VersionValues& values, const std::string& resFile, const char* kind,
                         const ClockReading& clock, const BuildOrigin& origin);

// Adds the row to the ledger, within the store's transaction when one is open. A user is
// told by the store's message when it fails; otherwise LastError() says why.
bool AddToLedger(const RESBuildRecord& row, bool tellUser);

}  // namespace verdo
