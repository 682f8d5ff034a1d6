#include "tests/support/ResourceReader.h"

#include <cstdint>

namespace verdo::test {

namespace {

struct Reader {
    const std::string& data;
    size_t end;
    bool ok = true;

    unsigned Word(size_t at) {
        if (at + 2 > end) {
            ok = false;
            return 0;
        }
        return static_cast<unsigned char>(data[at]) | static_cast<unsigned char>(data[at + 1]) << 8;
    }
    uint32_t Dword(size_t at) { return Word(at) | static_cast<uint32_t>(Word(at + 2)) << 16; }
    // A zero-terminated UTF-16 text from `at`; `at` moves past its terminator.
    std::u16string Text(size_t& at) {
        std::u16string text;
        while (ok) {
            unsigned unit = Word(at);
            at += 2;
            if (unit == 0) break;
            text += static_cast<char16_t>(unit);
        }
        return text;
    }
};

size_t Aligned(size_t at) { return (at + 3) & ~size_t{3}; }

struct Block {
    size_t Start, Length, ValueLength, Value;
    std::u16string Key;
};

Block ReadBlock(Reader& r, size_t at) {
    Block b{at, r.Word(at), r.Word(at + 2), 0, {}};
    size_t key = at + 6;
    b.Key = r.Text(key);
    b.Value = Aligned(key);
    if (b.Length < 6 || at + b.Length > r.end) r.ok = false;
    return b;
}

std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

}  // namespace

std::optional<VersionBlocks> ReadVersionBlocks(const std::string& file) {
    size_t at = 0;
    while (at + 32 <= file.size()) {
        Reader header{file, file.size()};
        uint32_t size = header.Dword(at), headerSize = header.Dword(at + 4);
        bool version = header.Word(at + 8) == 0xFFFF && header.Word(at + 10) == 16;
        size_t data = at + headerSize;
        if (!version) {
            at = Aligned(data + size);
            continue;
        }
        Reader r{file, data + size};
        VersionBlocks found;
        Block info = ReadBlock(r, data);
        found.Fixed = file.substr(info.Value, info.ValueLength);
        for (size_t child = Aligned(info.Value + info.ValueLength); r.ok && child < info.Start + info.Length;) {
            Block part = ReadBlock(r, child);
            for (size_t inner = part.Value; r.ok && inner < part.Start + part.Length;) {
                Block table = ReadBlock(r, inner);
                if (Narrow(part.Key) == "VarFileInfo") {
                    found.Translation = file.substr(table.Value, table.ValueLength);
                } else {
                    found.TableKey = Narrow(table.Key);
                    for (size_t entry = table.Value; r.ok && entry < table.Start + table.Length;) {
                        Block string = ReadBlock(r, entry);
                        size_t value = string.Value;
                        std::u16string text = string.ValueLength ? r.Text(value) : std::u16string();
                        found.Strings.emplace_back(string.Key, text);
                        entry = Aligned(string.Start + string.Length);
                    }
                }
                inner = Aligned(table.Start + table.Length);
            }
            child = Aligned(part.Start + part.Length);
        }
        if (!r.ok) return std::nullopt;
        return found;
    }
    return std::nullopt;
}

std::u16string Widened(const std::string& singleByte) {
    std::u16string text;
    for (unsigned char c : singleByte) text += static_cast<char16_t>(c);
    return text;
}

}  // namespace verdo::test
