#include "runtime/bytes/ByteSink.h"

namespace verdo {

void ByteSink::PutU8(uint8_t value) { bytes_.push_back(static_cast<char>(value)); }

void ByteSink::PutU16(uint16_t value) {
    PutU8(static_cast<uint8_t>(value & 0xFF));
    PutU8(static_cast<uint8_t>(value >> 8));
}

void ByteSink::PutU32(uint32_t value) {
    PutU16(static_cast<uint16_t>(value & 0xFFFF));
    PutU16(static_cast<uint16_t>(value >> 16));
}

void ByteSink::PutBytes(std::string_view bytes) { bytes_.append(bytes); }

void ByteSink::AlignTo(size_t alignment) {
    if (alignment == 0) return;
    size_t rest = bytes_.size() % alignment;
    if (rest != 0) bytes_.append(alignment - rest, '\0');
}

bool ByteSink::PatchU16(size_t offset, uint16_t value) {
    if (offset > bytes_.size() || bytes_.size() - offset < 2) return false;
    bytes_[offset] = static_cast<char>(value & 0xFF);
    bytes_[offset + 1] = static_cast<char>(value >> 8);
    return true;
}

bool ByteSink::PatchLength16(size_t offset, size_t length) {
    if (length > 0xFFFF) return false;
    return PatchU16(offset, static_cast<uint16_t>(length));
}

}  // namespace verdo
