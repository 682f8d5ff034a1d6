#include "core/LookupRows.h"

#include <cstdlib>
#include <sstream>

namespace verdo {

namespace {
// "0x00040004" becomes its bytes, least significant first, as many as the value field holds.
std::string RawValue(const std::string& hex, size_t width) {
    unsigned long value = std::strtoul(hex.c_str(), nullptr, 16);
    std::string bytes;
    for (size_t i = 0; i < width; ++i) bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    return bytes;
}
}  // namespace

std::vector<LookupRow> StandardLookupRows(const std::string& table) {
    size_t rawWidth = table == "FileOS" ? 4 : table == "FileType" ? 1 : 0;
    std::vector<LookupRow> rows;
    std::istringstream in(LookupRowsText(table));
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        size_t tab = line.find('\t');
        if (tab == std::string::npos) continue;
        std::string value = line.substr(0, tab);
        std::string name = line.substr(tab + 1);
        rows.push_back({name, rawWidth ? RawValue(value, rawWidth) : value});
    }
    return rows;
}

}  // namespace verdo
