#include "export/VersionResource.h"

#include <cstdint>
#include <string_view>

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

void PutFixedFileInfo(ByteSink& sink, const VersionValues& v) {
    sink.PutU32(0xFEEF04BD);
    sink.PutU32(0x00010000);
    sink.PutU16(v.FileVersion[1]);
    sink.PutU16(v.FileVersion[0]);
    sink.PutU16(v.FileVersion[3]);
    sink.PutU16(v.FileVersion[2]);
    sink.PutU16(v.ProductVersion[1]);
    sink.PutU16(v.ProductVersion[0]);
    sink.PutU16(v.ProductVersion[3]);
    sink.PutU16(v.ProductVersion[2]);
    sink.PutU32(0x0000003F);
    sink.PutU32(v.FileFlags);
    sink.PutU32(v.FileOS);
    sink.PutU8(v.FileType);
    sink.PutU8(0);
    sink.PutU16(0);
    sink.PutU32(0);
    sink.PutU32(0);
    sink.PutU32(0);
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

bool DataTooLong(const ByteSink& sink) { return sink.Tell() - ResourceDataStart > 0xFFFF; }

// Language, then code page, each as a little-endian word: "0409" gives 09 04.
void PutTranslation(ByteSink& sink, const VersionValues& v) {
    sink.PutU16(v.LanguageNumber);
    sink.PutU16(v.CodePageNumber);
}

}  // namespace

std::optional<std::string> ComposeVersionResource(const VersionValues& values) {
    ByteSink sink;
    PutResourceHeaders(sink);
    size_t versionInfo = BeginBlock(sink, 52, BinaryValue, "VS_VERSION_INFO");
    PutFixedFileInfo(sink, values);
    size_t stringFileInfo = BeginBlock(sink, 0, TextValue, "StringFileInfo");
    size_t stringTable = BeginBlock(sink, 0, TextValue, values.Language + values.CodePage);

    for (const VersionText& entry : values.Entries())
        if (!PutStringEntry(sink, entry.Key, entry.Value) || DataTooLong(sink)) return std::nullopt;
    if (!EndBlock(sink, stringTable) || !EndBlock(sink, stringFileInfo)) return std::nullopt;

    size_t varFileInfo = BeginBlock(sink, 0, TextValue, "VarFileInfo");
    size_t var = BeginBlock(sink, 4, BinaryValue, "Translation");
    PutTranslation(sink, values);
    if (!EndBlock(sink, var) || !EndBlock(sink, varFileInfo) || !EndBlock(sink, versionInfo)) return std::nullopt;

    // A dword in the header, but the data is below 65,536 bytes, so its high word stays 0.
    if (!sink.PatchLength16(32, sink.Tell() - ResourceDataStart)) return std::nullopt;
    return sink.Bytes();
}

}  // namespace verdo
