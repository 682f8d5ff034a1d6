#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/Records.h"
#include "export/VersionValues.h"

namespace verdo {

// What the ledger answers, read through its keys, never by reading the whole table.
// Each is false, with the store's words in `why`, when the ledger cannot be read.

// The builds of a project, newest first, down to the first on `since` (UTC) when given.
bool ProjectBuilds(int32_t project, const Date& since, std::vector<RESBuildRecord>& rows, std::string& why);

// The builds that wrote a file version, oldest first; of one project when given.
bool VersionBuilds(const VersionParts& version, std::optional<int32_t> project, std::vector<RESBuildRecord>& rows,
                   std::string& why);

// The builds whose version resource data had this SHA-256, oldest first.
bool HashBuilds(const std::string& sha256, std::vector<RESBuildRecord>& rows, std::string& why);

// A row as people read it, on one line, and the rows as a JSON array of objects.
std::string LedgerLine(const RESBuildRecord& row);
std::string LedgerJson(const std::vector<RESBuildRecord>& rows);

// Every field of a row, one line each, in the row's single-byte text: what the editor
// shows of a build and copies.
std::string LedgerDetails(const RESBuildRecord& row);

// "3.1.0.42" of a row's file or product version.
std::string FileVersionOf(const RESBuildRecord& row);
std::string ProductVersionOf(const RESBuildRecord& row);
// "2026-12-11 14:26:52", the row's time in UTC.
std::string UtcTimeOf(const RESBuildRecord& row);
// The commit with "(clean)" or "(changed)" after it when git told, or "unknown".
std::string CommitOf(const RESBuildRecord& row);

// "3.1.0.42" read as four parts; false for anything else.
bool ParseVersion(const std::string& text, VersionParts& parts);

}  // namespace verdo
