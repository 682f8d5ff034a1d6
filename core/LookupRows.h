#pragma once
#include <string>
#include <vector>

namespace verdo {

// A standard row of a lookup table: its display name and its value, in the exact
// bytes of the value field (raw bytes for FileOS and FileType, hex digits otherwise).
struct LookupRow {
    std::string Name;
    std::string Value;
};

// The tab-separated source text of a lookup table's standard rows (value, then name).
const char* LookupRowsText(const std::string& table);

// The standard rows of "FileOS", "FileType", "CodePage" or "LangID", in file order.
std::vector<LookupRow> StandardLookupRows(const std::string& table);

}  // namespace verdo
