#include "runtime/bytes/VersionResourceReader.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <set>
#include <vector>

#include "runtime/bytes/ByteReader.h"

namespace verdo {

namespace {

constexpr uint32_t VersionType = 16;

struct Section {
    uint32_t VirtualAddress, VirtualSize, RawSize, RawOffset;
};

// The file offset of a relative virtual address, with the bytes that follow it in its
// section; nothing when no section holds it.
std::optional<uint64_t> OffsetOf(const std::vector<Section>& sections, uint32_t rva, uint64_t count,
                                 const ByteReader& bytes) {
    for (const Section& s : sections) {
        uint64_t span = std::max(s.VirtualSize, s.RawSize);
        if (rva < s.VirtualAddress || rva - s.VirtualAddress >= span) continue;
        uint64_t within = rva - s.VirtualAddress;
        if (within + count > s.RawSize) return std::nullopt;
        uint64_t at = uint64_t{s.RawOffset} + within;
        if (!bytes.Has(at, count)) return std::nullopt;
        return at;
    }
    return std::nullopt;
}

VersionSearch Unreadable(std::string& why, const char* what) {
    why = what;
    return VersionSearch::Unreadable;
}

// A compiled resource file: a chain of resource headers, each followed by its data.
VersionSearch FromResourceFile(const ByteReader& bytes, std::string& data, std::string& why) {
    uint64_t at = 0;
    while (at < bytes.Size()) {
        auto size = bytes.U32(at), headerSize = bytes.U32(at + 4);
        if (!size || !headerSize || *headerSize < 16 || !bytes.Has(at, uint64_t{*headerSize} + *size))
            return Unreadable(why, "a resource in it reaches past its end");
        auto typeMark = bytes.U16(at + 8), type = bytes.U16(at + 10);
        if (typeMark == 0xFFFFu && type == VersionType) {
            data = bytes.Slice(at + *headerSize, *size);
            return VersionSearch::Found;
        }
        at = (at + *headerSize + *size + 3) & ~uint64_t{3};
    }
    why = "it holds no version resource";
    return VersionSearch::NoResource;
}

// The PE image's resource tree: type, then name, then language; the first name and
// language of RT_VERSION are the version resource.
VersionSearch FromImage(const ByteReader& bytes, std::string& data, std::string& why) {
    auto peAt = bytes.U32(0x3C);
    if (!peAt || bytes.U32(*peAt) != 0x00004550u) return Unreadable(why, "its PE header lies outside it");
    uint64_t coff = uint64_t{*peAt} + 4;
    auto sectionCount = bytes.U16(coff + 2), optionalSize = bytes.U16(coff + 16);
    uint64_t optional = coff + 20;
    auto magic = bytes.U16(optional);
    if (!sectionCount || !optionalSize || !magic) return Unreadable(why, "its headers are cut off");
    bool wide = *magic == 0x20B;
    if (!wide && *magic != 0x10B) return Unreadable(why, "its optional header is neither PE32 nor PE32+");
    auto directories = bytes.U32(optional + (wide ? 108 : 92));
    if (!directories) return Unreadable(why, "its headers are cut off");
    if (*directories < 3) {
        why = "it holds no resources";
        return VersionSearch::NoResource;
    }
    auto resourceRva = bytes.U32(optional + (wide ? 112 : 96) + 2 * 8);
    if (!resourceRva) return Unreadable(why, "its headers are cut off");
    if (*resourceRva == 0) {
        why = "it holds no resources";
        return VersionSearch::NoResource;
    }
    std::vector<Section> sections;
    uint64_t table = optional + *optionalSize;
    for (uint32_t i = 0; i < *sectionCount; ++i) {
        uint64_t s = table + uint64_t{i} * 40;
        auto virtualSize = bytes.U32(s + 8), address = bytes.U32(s + 12), rawSize = bytes.U32(s + 16),
             rawOffset = bytes.U32(s + 20);
        if (!virtualSize || !address || !rawSize || !rawOffset) return Unreadable(why, "its section table is cut off");
        sections.push_back({*address, *virtualSize, *rawSize, *rawOffset});
    }
    auto root = OffsetOf(sections, *resourceRva, 16, bytes);
    if (!root) return Unreadable(why, "its resource directory lies outside it");

    // Each directory, by its offset in the resource section, is entered once at most.
    std::set<uint32_t> entered;
    uint32_t directory = 0;
    for (int level = 0; level < 3; ++level) {
        if (!entered.insert(directory).second) return Unreadable(why, "its resource directories lead in a circle");
        uint64_t at = *root + directory;
        auto named = bytes.U16(at + 12), numbered = bytes.U16(at + 14);
        if (!named || !numbered) return Unreadable(why, "a resource directory is cut off");
        std::optional<uint32_t> next;
        for (uint32_t i = 0; i < *named + *numbered && !next; ++i) {
            auto id = bytes.U32(at + 16 + uint64_t{i} * 8), offset = bytes.U32(at + 20 + uint64_t{i} * 8);
            if (!id || !offset) return Unreadable(why, "a resource directory is cut off");
            // At the top the version resource's type; below it the first name and language.
            if (level == 0 && *id != VersionType) continue;
            bool isDirectory = *offset & 0x80000000u;
            if (isDirectory != (level < 2)) return Unreadable(why, "its resource tree is not of three levels");
            next = *offset & 0x7FFFFFFFu;
        }
        if (!next) {
            if (level == 0) {
                why = "it holds no version resource";
                return VersionSearch::NoResource;
            }
            return Unreadable(why, "its version resource has no data");
        }
        if (level < 2) {
            directory = *next;
            continue;
        }
        uint64_t entry = *root + *next;
        auto dataRva = bytes.U32(entry), size = bytes.U32(entry + 4);
        if (!dataRva || !size) return Unreadable(why, "its version resource's entry lies outside it");
        auto found = OffsetOf(sections, *dataRva, *size, bytes);
        if (!found) return Unreadable(why, "its version resource's data lies outside it");
        data = bytes.Slice(*found, *size);
        return VersionSearch::Found;
    }
    return Unreadable(why, "its resource tree is not of three levels");
}

}  // namespace

VersionSearch FindVersionResource(std::string_view file, std::string& data, std::string& why) {
    ByteReader bytes(file);
    // A compiled resource file opens with the empty resource header.
    static constexpr char EmptyHeader[] = "\0\0\0\0\x20\0\0\0\xFF\xFF\0\0\xFF\xFF\0\0";
    if (file.size() >= 16 && file.substr(0, 16) == std::string_view(EmptyHeader, 16))
        return FromResourceFile(bytes, data, why);
    if (file.size() >= 0x40 && file.substr(0, 2) == "MZ") return FromImage(bytes, data, why);
    why = "it is neither a compiled resource file nor a Windows program";
    return VersionSearch::NotAProgram;
}

}  // namespace verdo
