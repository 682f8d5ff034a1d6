#include "export/VersionResource.h"

#include <cctype>
#include <cstdint>
#include <string_view>

#include "export/ExportValues.h"
#include "runtime/bytes/ByteSink.h"
#include "runtime/text/Text.h"

namespace verdo {

namespace {

constexpr size_t ResourceDataStart = 64;
constexpr uint16_t TextValue = 1;
constexpr uint16_t BinaryValue = 0;

// Each byte becomes the 16-bit unit of the same number: the texts are single-byte, and
// reading them as their code page would change what the user typed.
void PutWideText(ByteSink& sink, std::string_view text) {
    for (unsigned char c : text) sink.PutU16(c);
    sink.PutU16(0);
}

// Writes a block's header and key; its length is a placeholder until EndBlock.
size_t BeginBlock(ByteSink& sink, uint16_t valueLength, uint16_t type, std::string_view key) {
    size_t start = sink.Tell();
    sink.PutU16(0);
    sink.PutU16(valueLength);
    sink.PutU16(type);
    PutWideText(sink, key);
    sink.AlignTo(4);
    return start;
}

bool EndBlock(ByteSink& sink, size_t start) { return sink.PatchLength16(start, sink.Tell() - start); }

void PutResourceHeaders(ByteSink& sink) {
    // The empty header that opens every 32-bit compiled resource file.
    sink.PutU32(0);
    sink.PutU32(32);
    sink.PutU32(0x0000FFFF);
    sink.PutU32(0x0000FFFF);
    sink.PutU32(0);
    sink.PutU16(0);
    sink.PutU16(0);
    sink.PutU32(0);
    sink.PutU32(0);

    sink.PutU32(0);  // data size, patched at the end
    sink.PutU32(32);
    sink.PutU16(0xFFFF);
    sink.PutU16(16);  // RT_VERSION
    sink.PutU16(0xFFFF);
    sink.PutU16(1);
    sink.PutU32(0);
    sink.PutU16(0x0030);  // moveable, pure
    sink.PutU16(0x0409);  // the resource's language, whatever the strings' language is
    sink.PutU32(0);
    sink.PutU32(0);
}

uint32_t FileFlags(const RESFileRecord& project) {
    uint8_t debug = project.FFDebug;
    uint8_t preRelease = project.FFPreRelease;
    if (debug > 1 || preRelease > 1) return 0;
    return debug | (preRelease << 1);
}

void PutFixedFileInfo(ByteSink& sink, const RESFileRecord& project) {
    sink.PutU32(0xFEEF04BD);
    sink.PutU32(0x00010000);
    sink.PutU16(project.FV_2);
    sink.PutU16(project.FV_1);
    sink.PutU16(project.FV_4);
    sink.PutU16(project.FV_3);
    sink.PutU16(project.PV_2);
    sink.PutU16(project.PV_1);
    sink.PutU16(project.PV_4);
    sink.PutU16(project.PV_3);
    sink.PutU32(0x0000003F);
    sink.PutU32(FileFlags(project));
    sink.PutBytes(std::string_view(project.FileOS, sizeof project.FileOS));
    sink.PutU8(static_cast<uint8_t>(project.FileType[0]));
    sink.PutU8(0);
    sink.PutU16(0);
    sink.PutU32(0);
    sink.PutU32(0);
    sink.PutU32(0);
}

std::string VersionText(uint16_t a, uint16_t b, uint16_t c, uint16_t d) {
    return std::to_string(a) + "." + std::to_string(b) + "." + std::to_string(c) + "." + std::to_string(d);
}

// One String entry; nothing at all for a value that is empty once its trailing spaces
// are gone. False when the entry does not fit its 16-bit length words.
bool PutStringEntry(ByteSink& sink, std::string_view key, std::string_view value) {
    value = TrimRight(value);
    if (value.empty()) return true;
    if (value.size() + 1 > 0xFFFF) return false;
    size_t start = BeginBlock(sink, static_cast<uint16_t>(value.size() + 1), TextValue, TrimRight(key));
    PutWideText(sink, value);
    // The entry's length leaves out the padding that follows it.
    bool fits = EndBlock(sink, start);
    sink.AlignTo(4);
    return fits;
}

bool PutStandardStrings(ByteSink& sink, const RESFileRecord& p) {
    auto field = [](const auto& f) { return std::string_view(f, sizeof f); };
    return PutStringEntry(sink, "Comments", field(p.Comments)) &&
           PutStringEntry(sink, "CompanyName", field(p.CompanyName)) &&
           PutStringEntry(sink, "FileDescription", field(p.FileDescription)) &&
           PutStringEntry(sink, "FileVersion", VersionText(p.FV_1, p.FV_2, p.FV_3, p.FV_4)) &&
           PutStringEntry(sink, "InternalName", field(p.InternalName)) &&
           PutStringEntry(sink, "LegalCopyright", field(p.LegalCopyright)) &&
           PutStringEntry(sink, "LegalTrademarks", field(p.LegalTrademarks)) &&
           PutStringEntry(sink, "OriginalFilename", field(p.OriginalFileName)) &&
           PutStringEntry(sink, "PrivateBuild", field(p.PrivateBuild)) &&
           PutStringEntry(sink, "ProductName", field(p.ProductName)) &&
           PutStringEntry(sink, "ProductVersion", VersionText(p.PV_1, p.PV_2, p.PV_3, p.PV_4)) &&
           PutStringEntry(sink, "SpecialBuild", field(p.SpecialBuild));
}

bool DataTooLong(const ByteSink& sink) { return sink.Tell() - ResourceDataStart > 0xFFFF; }

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

// Language, then code page, each as a little-endian word: "0409" gives 09 04.
void PutTranslation(ByteSink& sink, std::string language, std::string codePage) {
    language.resize(4, ' ');
    codePage.resize(4, ' ');
    sink.PutU8(HexPair(language[2], language[3]));
    sink.PutU8(HexPair(language[0], language[1]));
    sink.PutU8(HexPair(codePage[2], codePage[3]));
    sink.PutU8(HexPair(codePage[0], codePage[1]));
}

}  // namespace

std::optional<std::string> ComposeVersionResource(const RESFileRecord& project, const std::vector<ExtraItem>& extras) {
    const std::string language = ExportLanguage(project);
    const std::string codePage = FieldText(project.CodePage);

    ByteSink sink;
    PutResourceHeaders(sink);
    size_t versionInfo = BeginBlock(sink, 52, BinaryValue, "VS_VERSION_INFO");
    PutFixedFileInfo(sink, project);
    size_t stringFileInfo = BeginBlock(sink, 0, TextValue, "StringFileInfo");
    size_t stringTable = BeginBlock(sink, 0, TextValue, language + codePage);

    if (!PutStandardStrings(sink, project)) return std::nullopt;
    for (const ExtraItem& extra : extras) {
        if (!PutStringEntry(sink, extra.Name, extra.Data) || DataTooLong(sink)) return std::nullopt;
    }
    if (!EndBlock(sink, stringTable) || !EndBlock(sink, stringFileInfo)) return std::nullopt;

    size_t varFileInfo = BeginBlock(sink, 0, TextValue, "VarFileInfo");
    size_t var = BeginBlock(sink, 4, BinaryValue, "Translation");
    PutTranslation(sink, language, codePage);
    if (!EndBlock(sink, var) || !EndBlock(sink, varFileInfo) || !EndBlock(sink, versionInfo)) return std::nullopt;

    // A dword in the header, but the data is below 65,536 bytes, so its high word stays 0.
    if (!sink.PatchLength16(32, sink.Tell() - ResourceDataStart)) return std::nullopt;
    return sink.Bytes();
}

}  // namespace verdo
