#include "export/VersionValues.h"

#include <cctype>
#include <cstring>

#include "export/ExportValues.h"
#include "export/ResourceFilePath.h"
#include "runtime/text/Text.h"

namespace verdo {

namespace {

// Two characters read as one hexadecimal byte. Tolerates a trailing "H" (as in "09H");
// any other character counts as digit -1, and only the low 8 bits are kept.
uint8_t HexPair(char first, char second) {
    std::string pair{static_cast<char>(std::toupper(static_cast<unsigned char>(first))),
                     static_cast<char>(std::toupper(static_cast<unsigned char>(second)))};
    if (pair.back() == 'H') pair.pop_back();
    int value = 0;
    for (char c : pair) {
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        value = value * 16 + digit;
    }
    return static_cast<uint8_t>(value & 0xFF);
}

// "0409" gives 0x0409.
uint16_t HexWord(std::string digits) {
    digits.resize(4, ' ');
    return static_cast<uint16_t>(HexPair(digits[0], digits[1]) << 8 | HexPair(digits[2], digits[3]));
}

uint32_t FileFlagsOf(uint8_t debug, uint8_t preRelease) {
    if (debug > 1 || preRelease > 1) return 0;
    return static_cast<uint32_t>(debug | (preRelease << 1));
}

VersionParts Raised(const VersionParts& parts, const VersionParts& steps) {
    VersionParts raised{};
    for (size_t i = 0; i < parts.size(); ++i) raised[i] = static_cast<uint16_t>(parts[i] + steps[i]);
    return raised;
}

}  // namespace

std::string VersionString(const VersionParts& parts) {
    return std::to_string(parts[0]) + "." + std::to_string(parts[1]) + "." + std::to_string(parts[2]) + "." +
           std::to_string(parts[3]);
}

VersionValues ValuesOf(const RESFileRecord& p, const std::vector<ExtraItem>& extras) {
    VersionValues v;
    v.Project = p.RESNumber;
    v.Name = FieldText(p.ProjectName);
    v.Path = FieldText(p.ProjectPath);
    ExportTarget target = ExportTargetOf(p);
    if (target.Usable) v.ResourceFile = FullFileName(target.ResFile());
    v.FileVersion = {p.FV_1, p.FV_2, p.FV_3, p.FV_4};
    v.ProductVersion = {p.PV_1, p.PV_2, p.PV_3, p.PV_4};
    v.Standard = {
        {"Comments", FieldText(p.Comments)},
        {"CompanyName", FieldText(p.CompanyName)},
        {"FileDescription", FieldText(p.FileDescription)},
        {"InternalName", FieldText(p.InternalName)},
        {"LegalCopyright", FieldText(p.LegalCopyright)},
        {"LegalTrademarks", FieldText(p.LegalTrademarks)},
        {"OriginalFilename", FieldText(p.OriginalFileName)},
        {"PrivateBuild", FieldText(p.PrivateBuild)},
        {"ProductName", FieldText(p.ProductName)},
        {"SpecialBuild", FieldText(p.SpecialBuild)},
    };
    for (const ExtraItem& extra : extras)
        v.Extras.push_back({std::string(TrimRight(extra.Name)), std::string(TrimRight(extra.Data))});
    v.DebugFlag = p.FFDebug;
    v.PreReleaseFlag = p.FFPreRelease;
    v.FileFlags = FileFlagsOf(p.FFDebug, p.FFPreRelease);
    unsigned char os[4];
    std::memcpy(os, p.FileOS, sizeof os);
    v.FileOS = static_cast<uint32_t>(os[0]) | static_cast<uint32_t>(os[1]) << 8 | static_cast<uint32_t>(os[2]) << 16 |
               static_cast<uint32_t>(os[3]) << 24;
    v.FileType = static_cast<uint8_t>(p.FileType[0]);
    v.Language = ExportLanguage(p);
    v.CodePage = FieldText(p.CodePage);
    v.LanguageNumber = HexWord(v.Language);
    v.CodePageNumber = HexWord(v.CodePage);
    v.EnterDate = p.EnterDate;
    v.LastSaved = p.LastSaved;
    v.ExportDate = p.ExportDate;
    v.ExportTime = p.ExportTime;
    v.FileSteps = {p.INC_FV_1, p.INC_FV_2, p.INC_FV_3, p.INC_FV_4};
    v.ProductSteps = {static_cast<uint16_t>(p.INC_PV_1 % 65536), p.INC_PV_2, p.INC_PV_3, p.INC_PV_4};
    v.NextFileVersion = Raised(v.FileVersion, v.FileSteps);
    v.NextProductVersion = Raised(v.ProductVersion, v.ProductSteps);
    return v;
}

std::vector<VersionText> VersionValues::Entries() const {
    std::vector<VersionText> entries;
    for (const VersionText& text : Standard) {
        if (!text.Value.empty()) entries.push_back(text);
        // The numbers stand in the alphabetical order of the keys.
        if (text.Key == "FileDescription") entries.push_back({"FileVersion", VersionString(FileVersion)});
        if (text.Key == "ProductName") entries.push_back({"ProductVersion", VersionString(ProductVersion)});
    }
    for (const VersionText& extra : Extras)
        if (!extra.Value.empty()) entries.push_back(extra);
    return entries;
}

std::string VersionValues::StandardValue(const std::string& key) const {
    for (const VersionText& text : Standard)
        if (text.Key == key) return text.Value;
    return {};
}

}  // namespace verdo
