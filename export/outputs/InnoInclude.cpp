#include <string>

#include "export/outputs/OutputFormat.h"
#include "runtime/text/Text.h"

namespace verdo {

namespace {

// Inno Setup reads a script as UTF-8 when it opens with the byte order mark.
constexpr const char* ByteOrderMark = "\xEF\xBB\xBF";

// A string expression of the preprocessor: its literals take a quote doubled and a
// backslash as it is. "{#" would start an inline directive, so such a brace ends one
// literal and the next one begins with the "#"; a control character, which no literal
// can hold, becomes a space.
std::string InnoString(const std::string& singleByte) {
    std::string literal = "\"";
    for (size_t i = 0; i < singleByte.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(singleByte[i]);
        if (c == '"') {
            literal += "\"\"";
        } else if (c < 0x20 || c == 0x7F) {
            literal += ' ';
        } else if (c == '{' && i + 1 < singleByte.size() && singleByte[i + 1] == '#') {
            literal += "{\" + \"";
        } else {
            literal += Latin1ToUtf8(std::string(1, static_cast<char>(c)));
        }
    }
    return literal + "\"";
}

}  // namespace

std::string ComposeInnoInclude(const VersionValues& values, const OutputOptions&) {
    std::string text = ByteOrderMark;
    text += "; " + WrittenBy(values) + "\n";
    for (const VersionText& define : InstallerValues(values))
        text += "#define Verdo" + define.Key + " " + InnoString(define.Value) + "\n";
    return text;
}

}  // namespace verdo
