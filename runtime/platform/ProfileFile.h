#pragma once
#include <string>
#include <string_view>

namespace verdo {

// Settings-style text files: "[section]" headers and "key=value" lines. Sections and
// keys match without regard to letter case; where a section or a key occurs more than
// once, the first occurrence counts. Lines starting with ';' or '#' are comments; lines
// that are neither a header nor hold an '=' are ignored but kept.

// The value of the key, trimmed and with one pair of enclosing double quotes removed;
// defaultValue when the file, the section or the key is missing.
std::string ReadProfileString(std::string_view section, std::string_view key, std::string_view defaultValue,
                              const std::string& fileName);

// Sets the key to the value, creating the file, the section and the key when missing;
// every other line stays byte for byte as it was. The new file replaces the old one in a
// single rename, so a write that fails or is cut short leaves the old file intact.
// False when nothing could be written, or when a name or the value cannot be stored
// as one line (empty names, line breaks, '=' in a key, ']' in a section).
bool WriteProfileString(std::string_view section, std::string_view key, std::string_view value,
                        const std::string& fileName);

}  // namespace verdo
