#pragma once
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace verdo::test {

// What a version resource holds, read back from its blocks: the 52 bytes of the fixed
// file information, the string entries in their order (key and value as UTF-16 units,
// without the terminators), the string table's key and the translation's four bytes.
struct VersionBlocks {
    std::string Fixed;
    std::string TableKey;
    std::vector<std::pair<std::u16string, std::u16string>> Strings;
    std::string Translation;
};

// The version resource of a compiled resource file (.res), whichever tool made it;
// nothing when the file holds none or its blocks do not add up.
std::optional<VersionBlocks> ReadVersionBlocks(const std::string& resFile);

// A single-byte text as the UTF-16 units a version resource holds for it.
std::u16string Widened(const std::string& singleByte);

}  // namespace verdo::test
