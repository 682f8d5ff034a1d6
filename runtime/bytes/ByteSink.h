#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace verdo {

// An in-memory binary image built front to back. Numbers go out little-endian whatever
// the host's order; lengths that are only known later are written as a placeholder and
// patched at their offset, range-checked against the width of the word.
class ByteSink {
public:
    size_t Tell() const { return bytes_.size(); }
    const std::string& Bytes() const { return bytes_; }

    void PutU8(uint8_t value);
    void PutU16(uint16_t value);
    void PutU32(uint32_t value);
    void PutBytes(std::string_view bytes);

    // Zero bytes up to the next offset that is a multiple of alignment.
    void AlignTo(size_t alignment);

    // Overwrites two already written bytes. False, and nothing changed, when the word
    // does not lie inside what has been written.
    bool PatchU16(size_t offset, uint16_t value);

    // PatchU16 for a length: false, and nothing changed, when it needs more than 16 bits.
    bool PatchLength16(size_t offset, size_t length);

private:
    std::string bytes_;
};

}  // namespace verdo
