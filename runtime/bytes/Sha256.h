#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace verdo {

// The SHA-256 digest of the bytes (FIPS 180-4), and the same as 64 lower-case
// hexadecimal digits.
std::array<uint8_t, 32> Sha256(std::string_view bytes);
std::string Sha256Hex(std::string_view bytes);

}  // namespace verdo
