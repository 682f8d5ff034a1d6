#pragma once
#include <string>

namespace verdo {

struct RESFileRecord;

// Reads the project's version numbers and strings from section "Verdo" of a version 1.0
// file: ProductVersion1..4 and FileVersion1..4 into PV_1..PV_4 and FV_1..FV_4, and the
// ten version strings (Comments .. SpecialBuild) into their fields. A key that is
// missing gives 0 or an empty string; a file that cannot be read, is binary or lacks the
// section gives that for every key. No other field of the record changes, and nothing is
// ever reported: the user sees the result in the form.
void ReadVDOFile(const std::string& fileName, RESFileRecord& record);

}  // namespace verdo
