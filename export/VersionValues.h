#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/Records.h"

namespace verdo {

// One extra version string of a project, as stored (single-byte texts, trailing
// spaces allowed).
struct ExtraItem {
    std::string Name;
    std::string Data;
};

// One version string as a file carries it: key and value in the record's single-byte
// text (byte n is U+00nn), trailing spaces removed.
struct VersionText {
    std::string Key;
    std::string Value;
};

using VersionParts = std::array<uint16_t, 4>;

// The values of one project that a run writes: the one source of its .RES and of every
// file beside it, so that all of them carry the same numbers and strings.
struct VersionValues {
    int32_t Project = 0;
    std::string Name;          // single-byte, trailing spaces removed
    std::string Path;          // single-byte, as stored
    std::string ResourceFile;  // the .RES file's full name, as the file system names it
    VersionParts FileVersion{};
    VersionParts ProductVersion{};
    // The ten standard strings in the order the resource file lists them, empty ones too.
    std::vector<VersionText> Standard;
    // The extra items in the order of their key, empty values too.
    std::vector<VersionText> Extras;
    uint8_t DebugFlag = 0;
    uint8_t PreReleaseFlag = 0;
    uint32_t FileFlags = 0;
    uint32_t FileOS = 0;
    uint8_t FileType = 0;
    std::string Language;  // the export language: four hexadecimal digits, "XXXX" as "0409"
    std::string CodePage;  // as stored
    // The translation of the resource file: the language and code page as numbers.
    uint16_t LanguageNumber = 0;
    uint16_t CodePageNumber = 0;
    Date EnterDate{};
    Date LastSaved{};
    Date ExportDate{};
    Time ExportTime{};
    VersionParts FileSteps{};
    VersionParts ProductSteps{};
    // What the next build-time run gives: each part raised by its step.
    VersionParts NextFileVersion{};
    VersionParts NextProductVersion{};
    // The names the lookup tables give the codes; empty until looked up.
    std::string LanguageName, CodePageName, FileOSName, FileTypeName;

    // The string entries of the resource file, in its order: the standard strings that
    // are not empty, FileVersion and ProductVersion among them, then the extra items whose
    // values are not empty.
    std::vector<VersionText> Entries() const;
    // A standard string's value by its key ("CompanyName"); empty when it is empty.
    std::string StandardValue(const std::string& key) const;
};

// The values of a project record as it is now, with its extra items.
VersionValues ValuesOf(const RESFileRecord& project, const std::vector<ExtraItem>& extras);

// "3.1.7.40"
std::string VersionString(const VersionParts& parts);

}  // namespace verdo
