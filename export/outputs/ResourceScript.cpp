#include <cstdio>
#include <string>

#include "export/outputs/OutputFormat.h"

namespace verdo {

namespace {

// A wide string that every resource compiler reads alike, whatever its code page:
// printable ASCII as it is, and every other character, the quote, the backslash and the
// question mark (no trigraph may start) as a four-digit escape of its UTF-16 unit. The
// record's bytes are those units.
std::string WideString(const std::string& singleByte) {
    std::string literal = "L\"";
    for (unsigned char c : singleByte) {
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\' && c != '?') {
            literal += static_cast<char>(c);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%04x", static_cast<unsigned>(c));
            literal += escape;
        }
    }
    return literal + "\"";
}

// The string table's key, which a block takes only as a narrow string: printable ASCII as
// it is, any other byte (a stored code page is four hexadecimal digits) escaped.
std::string NarrowString(const std::string& singleByte) {
    std::string literal = "\"";
    for (unsigned char c : singleByte) {
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\' && c != '?') {
            literal += static_cast<char>(c);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02x", static_cast<unsigned>(c));
            literal += escape;
        }
    }
    return literal + "\"";
}

std::string Hex(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

std::string Parts(const VersionParts& parts) {
    return std::to_string(parts[0]) + "," + std::to_string(parts[1]) + "," + std::to_string(parts[2]) + "," +
           std::to_string(parts[3]);
}

}  // namespace

std::string ComposeResourceScript(const VersionValues& values, const OutputOptions&) {
    std::string text = "// " + WrittenBy(values) + "\n";
    // The resource is U.S. English, as in VERDO's own .RES, whatever its strings' language.
    text += "LANGUAGE 0x9, 0x1\n";
    text += "1 VERSIONINFO\n";
    text += "FILEVERSION " + Parts(values.FileVersion) + "\n";
    text += "PRODUCTVERSION " + Parts(values.ProductVersion) + "\n";
    text += "FILEFLAGSMASK 0x3F\n";
    text += "FILEFLAGS " + Hex(values.FileFlags) + "\n";
    text += "FILEOS " + Hex(values.FileOS) + "\n";
    text += "FILETYPE " + Hex(values.FileType) + "\n";
    text += "FILESUBTYPE 0x0\n";
    text += "BEGIN\n";
    text += "    BLOCK \"StringFileInfo\"\n    BEGIN\n";
    text += "        BLOCK " + NarrowString(values.Language + values.CodePage) + "\n        BEGIN\n";
    for (const VersionText& entry : values.Entries())
        text += "            VALUE " + WideString(entry.Key) + ", " + WideString(entry.Value) + "\n";
    text += "        END\n    END\n";
    text += "    BLOCK \"VarFileInfo\"\n    BEGIN\n";
    text += "        VALUE \"Translation\", " + Hex(values.LanguageNumber) + ", " + Hex(values.CodePageNumber) + "\n";
    text += "    END\nEND\n";
    return text;
}

}  // namespace verdo
