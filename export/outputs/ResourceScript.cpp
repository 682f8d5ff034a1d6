#include <cstdio>
#include <string>

#include "export/outputs/OutputFormat.h"

namespace verdo {

namespace {

// A string that every resource compiler reads alike, whatever its code page: printable
// ASCII as it is, and every other character, the quote, the backslash and the question
// mark (no trigraph may start) as an escape. A wide string's escape is the character's
// UTF-16 unit in four digits (the record's bytes are those units); a narrow string, which
// is all a block's key may be, takes the byte in two.
std::string ScriptString(const std::string& singleByte, bool wide) {
    std::string literal = wide ? "L\"" : "\"";
    for (unsigned char c : singleByte) {
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\' && c != '?') {
            literal += static_cast<char>(c);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, wide ? "\\x%04x" : "\\x%02x", static_cast<unsigned>(c));
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
    text += "        BLOCK " + ScriptString(values.Language + values.CodePage, false) + "\n        BEGIN\n";
    for (const VersionText& entry : values.Entries())
        text += "            VALUE " + ScriptString(entry.Key, true) + ", " + ScriptString(entry.Value, true) + "\n";
    text += "        END\n    END\n";
    text += "    BLOCK \"VarFileInfo\"\n    BEGIN\n";
    text += "        VALUE \"Translation\", " + Hex(values.LanguageNumber) + ", " + Hex(values.CodePageNumber) + "\n";
    text += "    END\nEND\n";
    return text;
}

}  // namespace verdo
