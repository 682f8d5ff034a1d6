#include <string>

#include "export/outputs/OutputFormat.h"
#include "runtime/text/Text.h"

namespace verdo {

namespace {

// The value of a preprocessor definition, which an XML processing instruction holds as
// it is: a dollar sign is doubled, so that "$(" starts no variable of the preprocessor;
// a "?" before ">" is followed by a space, as the instruction would end there; a control
// character, which XML does not allow, becomes a space.
std::string WixValue(const std::string& singleByte) {
    std::string value;
    for (size_t i = 0; i < singleByte.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(singleByte[i]);
        if (c == '$') {
            value += "$$";
        } else if ((c < 0x20 && c != '\t') || c == 0x7F) {
            value += ' ';
        } else if (c == '?' && i + 1 < singleByte.size() && singleByte[i + 1] == '>') {
            value += "? ";
        } else {
            value += Latin1ToUtf8(std::string(1, static_cast<char>(c)));
        }
    }
    return value;
}

}  // namespace

std::string ComposeWixInclude(const VersionValues& values, const OutputOptions&) {
    std::string text = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";
    text += "<!-- " + WrittenBy(values) + " -->\n";
    text += "<Include xmlns=\"http://schemas.microsoft.com/wix/2006/wi\">\n";
    for (const VersionText& define : InstallerValues(values))
        text += "  <?define Verdo" + define.Key + " = \"" + WixValue(define.Value) + "\" ?>\n";
    return text + "</Include>\n";
}

}  // namespace verdo
