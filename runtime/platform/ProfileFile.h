#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace verdo {

// Settings-style text files: "[section]" headers and "key=value" lines, ending in LF,
// CR LF or a lone CR. Sections and keys match without regard to letter case; where a
// section or a key occurs more than once, the first occurrence counts. Lines starting
// with ';' or '#' are comments; lines that are neither a header nor hold an '=' are
// ignored but kept.

// The largest file that is read or written.
inline constexpr size_t kProfileTextLimit = 1'048'576;

struct ProfileLine;

// A settings-style file split once, so that many look-ups cost one read of the file.
class ProfileText {
public:
    explicit ProfileText(std::string text);
    // Only a regular file of at most kProfileTextLimit bytes is read. Anything else (a
    // missing or unreadable file, a directory, a device, a pipe, a larger file) reads as
    // an empty file; a pipe with no writer is never waited on.
    static ProfileText FromFile(const std::string& fileName);
    ~ProfileText();
    // The look-ups point into the text, which must therefore stay where it is.
    ProfileText(const ProfileText&) = delete;
    ProfileText& operator=(const ProfileText&) = delete;

    // The file's bytes as they were read.
    const std::string& Text() const { return text_; }

    // The value of the key, trimmed and with one pair of enclosing double quotes
    // removed; nothing when the section or the key is missing. Valid while this lives.
    std::optional<std::string_view> Find(std::string_view section, std::string_view key) const;

    // Whether WriteProfileString of this value would leave the text exactly as it is.
    bool Holds(std::string_view section, std::string_view key, std::string_view value) const;

private:
    std::string text_;
    std::vector<ProfileLine> lines_;
};

// The value of the key as ProfileText::Find gives it; defaultValue when the file, the
// section or the key is missing.
std::string ReadProfileString(std::string_view section, std::string_view key, std::string_view defaultValue,
                              const std::string& fileName);

// Sets the key to the value, creating the file, the section and the key when missing;
// every other line stays byte for byte as it was. The new file replaces the old one in a
// single rename, so a write that fails or is cut short leaves the old file intact.
// Writers of one file, in any process, take turns, so none loses another's keys; a
// writer that cannot have its turn within a few seconds gives up.
// False when nothing could be written: when the file is not a regular one (a pipe or a
// device is neither waited on nor read), when it or the result would be larger than
// look-ups read, or when a name or the value cannot be stored as one line (empty
// names, line breaks, '=' in a key, ']' in a section).
bool WriteProfileString(std::string_view section, std::string_view key, std::string_view value,
                        const std::string& fileName);

}  // namespace verdo
