#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace verdo {

// Texts in records are single-byte: each byte is the character of the same number
// (U+0000 to U+00FF). These helpers move between that form, fixed-width fields and UTF-8.

// The text with trailing spaces removed; leading spaces are kept.
std::string_view TrimRight(std::string_view text);

// A fixed-width field's contents with trailing spaces removed.
inline std::string FieldText(const char* field, size_t width) {
    return std::string(TrimRight(std::string_view(field, width)));
}
template <size_t N>
std::string FieldText(const char (&field)[N]) {
    return FieldText(field, N);
}

// Assigns a value to a fixed-width field: padded with spaces, cut at the width.
void AssignField(char* field, size_t width, std::string_view value);
template <size_t N>
void AssignField(char (&field)[N], std::string_view value) {
    AssignField(field, N, value);
}

// Single-byte text to UTF-8, byte n becoming U+00nn.
std::string Latin1ToUtf8(std::string_view text);

// UTF-8 to single-byte text; a character above U+00FF becomes '?', and so does each
// malformed piece: overlong forms, surrogates, code points beyond U+10FFFF, stray or
// missing continuation bytes.
std::string Utf8ToLatin1(std::string_view text);

// Whether the bytes are valid UTF-8 throughout (no overlong forms, surrogates or code
// points beyond U+10FFFF) and hold at least one multi-byte sequence: single-byte text
// with accents almost never passes for it.
bool IsMultiByteUtf8(std::string_view bytes);

}  // namespace verdo
