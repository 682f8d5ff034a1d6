#include "runtime/bytes/VersionLayout.h"

#include <cstdint>
#include <vector>

#include "runtime/bytes/ByteSink.h"

namespace verdo {

namespace {

constexpr uint16_t TextValue = 1;
// VS_VERSION_INFO, StringFileInfo, a string table, a string: four levels; a little room
// beyond them, and no recursion as deep as hostile data could nest.
constexpr int DeepestBlock = 8;

size_t Aligned(size_t offset) { return (offset + 3) & ~size_t{3}; }

class BlockReader {
public:
    explicit BlockReader(std::string_view data) : data_(data) {}

    uint16_t Word(size_t at) const {
        return static_cast<uint16_t>(static_cast<unsigned char>(data_[at]) |
                                     static_cast<unsigned char>(data_[at + 1]) << 8);
    }

    // The block at `at`, which must end by `limit`, written to `sink` in VERDO's layout.
    bool Copy(size_t at, size_t limit, int depth, ByteSink& sink) const {
        if (depth > DeepestBlock || at + 6 > limit) return false;
        const size_t length = Word(at), valueLength = Word(at + 2), type = Word(at + 4);
        const size_t end = at + length;
        if (length < 6 || end > limit) return false;

        std::vector<uint16_t> key;
        size_t next = at + 6;
        if (!ReadText(next, end, key)) return false;
        next = Aligned(next);

        std::vector<uint16_t> text;
        std::string_view binary;
        if (type == TextValue) {
            // Counted in characters by some compilers and in bytes by others: the text
            // runs to its zero either way.
            if (valueLength > 0 && next < end && !ReadText(next, end, text)) return false;
        } else {
            if (next + valueLength > end) return false;
            binary = data_.substr(next, valueLength);
            next += valueLength;
        }

        const size_t start = sink.Tell();
        sink.PutU16(0);
        sink.PutU16(static_cast<uint16_t>(type == TextValue ? text.size() : binary.size()));
        sink.PutU16(static_cast<uint16_t>(type));
        for (uint16_t unit : key) sink.PutU16(unit);
        sink.AlignTo(4);
        for (uint16_t unit : text) sink.PutU16(unit);
        sink.PutBytes(binary);

        // Children follow the value; fewer bytes than a block header are only padding.
        for (size_t child = Aligned(next); child + 6 <= end; child = Aligned(child + Word(child))) {
            sink.AlignTo(4);
            if (!Copy(child, end, depth + 1, sink)) return false;
            sink.AlignTo(4);
        }
        return sink.PatchLength16(start, sink.Tell() - start);
    }

private:
    // UTF-16 units up to and with their terminating zero, which must come before `end`.
    bool ReadText(size_t& at, size_t end, std::vector<uint16_t>& units) const {
        for (; at + 2 <= end; at += 2) {
            units.push_back(Word(at));
            if (units.back() == 0) {
                at += 2;
                return true;
            }
        }
        return false;
    }

    std::string_view data_;
};

}  // namespace

std::optional<std::string> RelaidVersionData(std::string_view data) {
    ByteSink sink;
    if (!BlockReader(data).Copy(0, data.size(), 0, sink)) return std::nullopt;
    return sink.Bytes();
}

}  // namespace verdo
