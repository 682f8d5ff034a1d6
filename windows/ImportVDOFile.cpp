#include "windows/ImportVDOFile.h"

#include "core/Records.h"
#include "runtime/platform/ProfileFile.h"
#include "runtime/text/Text.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

namespace verdo {

namespace {

constexpr std::string_view kSection = "Verdo";

// Version 1.0 read its values through a 1024-byte buffer.
constexpr size_t kValueLimit = 1023;

// Text files hold no NUL byte; a file that does is some other kind of file, and the
// entries that chance puts into it are not version information.
bool IsBinary(std::string_view bytes) { return bytes.find('\0') != std::string_view::npos; }

// A hand-edited file may hold more than a plain whole number: the leading whole number
// counts ("2.7" is 2, "12abc" is 12), a value without one gives 0, and so does one too
// large for 64 bits rather than some wrapped remainder. The field keeps the low 16 bits,
// so "-1" is 65535.
uint16_t VersionPart(std::string_view text) {
    size_t i = text.find_first_not_of(" \t");
    if (i == std::string_view::npos) return 0;
    bool negative = text[i] == '-';
    if (negative) ++i;
    uint64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        auto digit = static_cast<uint64_t>(text[i] - '0');
        if (magnitude > (std::numeric_limits<uint64_t>::max() - digit) / 10) return 0;
        magnitude = magnitude * 10 + digit;
    }
    uint64_t value = negative ? 0 - magnitude : magnitude;
    return static_cast<uint16_t>(value & 0xFFFF);
}

}  // namespace

void ReadVDOFile(const std::string& fileName, RESFileRecord& record) {
    const ProfileText profile = ProfileText::FromFile(fileName);
    const bool binary = IsBinary(profile.Text());
    // Version 1.0 wrote its files in a single-byte code page, but a file saved since by an
    // editor on Linux is UTF-8.
    const bool utf8 = !binary && IsMultiByteUtf8(profile.Text());

    auto value = [&](std::string_view key) {
        std::optional<std::string_view> found = binary ? std::nullopt : profile.Find(kSection, key);
        if (!found) return std::string();
        std::string text = utf8 ? Utf8ToLatin1(*found) : std::string(*found);
        if (text.size() > kValueLimit) text.resize(kValueLimit);
        return text;
    };
    auto number = [&](std::string_view key) { return VersionPart(value(key)); };

    record.PV_1 = number("ProductVersion1");
    record.PV_2 = number("ProductVersion2");
    record.PV_3 = number("ProductVersion3");
    record.PV_4 = number("ProductVersion4");
    record.FV_1 = number("FileVersion1");
    record.FV_2 = number("FileVersion2");
    record.FV_3 = number("FileVersion3");
    record.FV_4 = number("FileVersion4");
    AssignField(record.Comments, value("Comments"));
    AssignField(record.CompanyName, value("CompanyName"));
    AssignField(record.FileDescription, value("FileDescription"));
    AssignField(record.InternalName, value("InternalName"));
    AssignField(record.LegalCopyright, value("LegalCopyright"));
    AssignField(record.LegalTrademarks, value("LegalTrademarks"));
    AssignField(record.OriginalFileName, value("OriginalFileName"));
    AssignField(record.PrivateBuild, value("PrivateBuild"));
    AssignField(record.ProductName, value("ProductName"));
    AssignField(record.SpecialBuild, value("SpecialBuild"));
}

}  // namespace verdo
