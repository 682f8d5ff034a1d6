#include "export/JsonText.h"

#include <cstdio>

#include "runtime/text/Text.h"

namespace verdo {

std::string JsonUtf8(const std::string& utf8) {
    std::string literal = "\"";
    for (unsigned char c : utf8) {
        switch (c) {
            case '"': literal += "\\\""; break;
            case '\\': literal += "\\\\"; break;
            case '\n': literal += "\\n"; break;
            case '\r': literal += "\\r"; break;
            case '\t': literal += "\\t"; break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    char escape[8];
                    std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
                    literal += escape;
                } else {
                    literal += static_cast<char>(c);
                }
        }
    }
    return literal + "\"";
}

std::string JsonString(const std::string& singleByte) { return JsonUtf8(Latin1ToUtf8(singleByte)); }

}  // namespace verdo
