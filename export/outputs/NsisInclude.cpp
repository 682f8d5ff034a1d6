#include <string>

#include "export/outputs/OutputFormat.h"
#include "runtime/text/Text.h"

namespace verdo {

namespace {

// NSIS reads a script as UTF-8 when it opens with the byte order mark.
constexpr const char* ByteOrderMark = "\xEF\xBB\xBF";

// A quoted NSIS string. For a define, which the installer's run-time strings use, a
// dollar sign is doubled; in the version keys, which NSIS takes as they are, it is the
// character U+24 instead. Quotes and line breaks have escapes of their own; any other
// control character becomes a space, which no NSIS string can do without.
std::string NsisString(const std::string& singleByte, bool forDefine) {
    std::string literal = "\"";
    for (unsigned char c : singleByte) {
        switch (c) {
            case '"': literal += "$\\\""; break;
            case '\r': literal += "$\\r"; break;
            case '\n': literal += "$\\n"; break;
            case '\t': literal += "$\\t"; break;
            case '$': literal += forDefine ? "$$" : "${U+24}"; break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    literal += ' ';
                } else {
                    literal += Latin1ToUtf8(std::string(1, static_cast<char>(c)));
                }
        }
    }
    return literal + "\"";
}

}  // namespace

std::string ComposeNsisInclude(const VersionValues& values, const OutputOptions&) {
    std::string text = ByteOrderMark;
    text += "; " + WrittenBy(values) + "\n";
    for (const VersionText& define : InstallerValues(values))
        text += "!define VERDO_" + UpperSnake(define.Key) + " " + NsisString(define.Value, true) + "\n";
    // The installer's own file properties carry the program's version and strings.
    text += "VIProductVersion \"" + VersionString(values.ProductVersion) + "\"\n";
    text += "VIFileVersion \"" + VersionString(values.FileVersion) + "\"\n";
    const std::string language = " /LANG=" + std::to_string(values.LanguageNumber) + " ";
    // NSIS refuses a key without a name, which a resource file can hold.
    for (const VersionText& entry : values.Entries())
        if (!entry.Key.empty())
            text += "VIAddVersionKey" + language + NsisString(entry.Key, false) + " " + NsisString(entry.Value, false) + "\n";
    return text;
}

}  // namespace verdo
