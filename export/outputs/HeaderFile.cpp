#include <string>

#include "export/outputs/OutputFormat.h"
#include "runtime/text/Text.h"

namespace verdo {

namespace {

// A C string literal holding the text's UTF-8 bytes, whatever the compiler takes its
// source's characters for: printable ASCII as it is, every other byte in octal (three
// digits, so that a digit after it is no part of it); a question mark is escaped too,
// so that no two of them start a trigraph.
std::string CString(const std::string& singleByte) {
    std::string literal = "\"";
    for (unsigned char c : Latin1ToUtf8(singleByte)) {
        if (c == '"' || c == '\\' || c == '?') {
            literal += '\\';
            literal += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F) {
            literal += static_cast<char>(c);
        } else {
            literal += '\\';
            literal += static_cast<char>('0' + (c >> 6));
            literal += static_cast<char>('0' + ((c >> 3) & 7));
            literal += static_cast<char>('0' + (c & 7));
        }
    }
    return literal + "\"";
}

void Version(std::string& text, const std::string& name, const VersionParts& parts) {
    const char* const partNames[] = {"MAJOR", "MINOR", "PATCH", "BUILD"};
    text += "#define " + name + " " + std::to_string(parts[0]) + "," + std::to_string(parts[1]) + "," +
            std::to_string(parts[2]) + "," + std::to_string(parts[3]) + "\n";
    text += "#define " + name + "_STRING \"" + VersionString(parts) + "\"\n";
    for (size_t i = 0; i < parts.size(); ++i)
        text += "#define " + name + "_" + partNames[i] + " " + std::to_string(parts[i]) + "\n";
}

}  // namespace

std::string ComposeHeader(const VersionValues& values, const OutputOptions& options) {
    const std::string prefix = options.Prefix.empty() ? DefaultPrefix(values) : options.Prefix;
    const std::string guard = prefix + "_VERDO_VERSION_H";
    std::string text = "/* " + WrittenBy(values) + " */\n";
    text += "#ifndef " + guard + "\n#define " + guard + "\n\n";
    Version(text, prefix + "_FILE_VERSION", values.FileVersion);
    Version(text, prefix + "_PRODUCT_VERSION", values.ProductVersion);
    text += "\n";
    for (const VersionText& standard : values.Standard)
        if (!standard.Value.empty())
            text += "#define " + prefix + "_" + UpperSnake(standard.Key) + " " + CString(standard.Value) + "\n";
    return text + "\n#endif\n";
}

}  // namespace verdo
