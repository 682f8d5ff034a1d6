#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

namespace verdo {

// Little-endian reads of a file's bytes that fail, instead of reading, outside them.
class ByteReader {
public:
    explicit ByteReader(std::string_view file) : file_(file) {}
    size_t Size() const { return file_.size(); }
    bool Has(uint64_t at, uint64_t count) const { return at <= file_.size() && count <= file_.size() - at; }
    std::optional<uint32_t> U16(uint64_t at) const {
        if (!Has(at, 2)) return std::nullopt;
        return static_cast<uint32_t>(Byte(at) | Byte(at + 1) << 8);
    }
    std::optional<uint32_t> U32(uint64_t at) const {
        if (!Has(at, 4)) return std::nullopt;
        return Byte(at) | Byte(at + 1) << 8 | Byte(at + 2) << 16 | static_cast<uint32_t>(Byte(at + 3)) << 24;
    }
    std::string_view Slice(uint64_t at, uint64_t count) const { return file_.substr(at, count); }

private:
    uint32_t Byte(uint64_t at) const { return static_cast<unsigned char>(file_[at]); }
    std::string_view file_;
};

}  // namespace verdo
