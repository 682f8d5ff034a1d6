#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/Records.h"
#include "export/VersionResource.h"
#include "export/VersionValues.h"
#include "export/outputs/OutputFormat.h"
#include "runtime/text/Text.h"
#include "tests/support/Process.h"
#include "tests/support/ResourceReader.h"
#include "tests/support/TempProgramDir.h"

using namespace verdo;
using namespace verdo::test;

namespace {

// Texts that break a language written naively: quotes, backslashes, dollar signs and
// variables, comment and instruction ends, trigraphs, inline directives, line breaks,
// other control characters and text beyond ASCII. Every part of every number differs.
VersionValues Hostile() {
    RESFileRecord p;
    ClearRecord(RESFileTable(), &p);
    p.RESNumber = 12;
    AssignField(p.ProjectName, "my-app");
    AssignField(p.ProjectPath, "/tmp");
    p.FV_1 = 3, p.FV_2 = 1, p.FV_3 = 7, p.FV_4 = 40;
    p.PV_1 = 4, p.PV_2 = 2, p.PV_3 = 9, p.PV_4 = 65535;
    AssignField(p.CompanyName, "Quote\" back\\ $HOME ${X} */ ?\?= {#x} ?> $(var) 50% done\\");
    AssignField(p.ProductName, "Caf\xE9 \xA9 \xFF");
    AssignField(p.LegalCopyright, "line1\r\nline2\ttab\x01" "end");
    AssignField(p.FileDescription, "/* not a comment */ // nor this");
    p.FFDebug = 1;
    p.FFPreRelease = 1;
    std::memcpy(p.FileOS, "\x04\x00\x04\x00", 4);
    p.FileType[0] = 2;
    AssignField(p.LangID, "0407");
    AssignField(p.CodePage, "04E4");
    return ValuesOf(p, {{"Br\"anch", "ma\\in"}, {"", "empty key"}, {"Empty", ""}});
}

std::string Compose(const char* format, const VersionValues& values, const OutputOptions& options = {}) {
    return FindOutputFormat(format)->Compose(values, options);
}

std::string Shell(const std::string& command) {
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    std::string out;
    char buffer[4096];
    for (size_t n; pipe && (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    int status = pipe ? pclose(pipe) : -1;
    return status == 0 ? out : "FAILED(" + std::to_string(status) + "): " + out;
}

// Each value written to standard output between markers, as the program's bytes.
std::string Between(const std::string& printed, const std::string& name) {
    size_t start = printed.find("<" + name + ">");
    size_t end = printed.find("</" + name + ">");
    if (start == std::string::npos || end == std::string::npos) return "(missing " + name + ")";
    start += name.size() + 2;
    return printed.substr(start, end - start);
}

}  // namespace

// The header compiles as C and as C++, and a program reads back from it exactly the
// numbers and texts the values hold, in UTF-8.
TEST(OutputFormats, TheHeaderCompilesAndHoldsEveryValueExactly) {
    const VersionValues values = Hostile();
    TempProgramDir dir;
    WriteFileBytes(dir.File("version.h"), Compose("h", values));
    WriteFileBytes(dir.File("show.c"),
                   "#include <stdio.h>\n#include \"version.h\"\n#include \"version.h\"\n"
                   "static const int file[] = {MY_APP_FILE_VERSION};\n"
                   "int main(void) {\n"
                   "  printf(\"<fv>%d.%d.%d.%d</fv>\", file[0], file[1], file[2], file[3]);\n"
                   "  printf(\"<fvs>%s</fvs><pv>%d.%d.%d.%d</pv>\", MY_APP_FILE_VERSION_STRING,\n"
                   "         MY_APP_PRODUCT_VERSION_MAJOR, MY_APP_PRODUCT_VERSION_MINOR,\n"
                   "         MY_APP_PRODUCT_VERSION_PATCH, MY_APP_PRODUCT_VERSION_BUILD);\n"
                   "  printf(\"<c>%s</c><p>%s</p>\", MY_APP_COMPANY_NAME, MY_APP_PRODUCT_NAME);\n"
                   "  printf(\"<l>%s</l><d>%s</d>\", MY_APP_LEGAL_COPYRIGHT, MY_APP_FILE_DESCRIPTION);\n"
                   "#ifdef MY_APP_COMMENTS\n  printf(\"<e>empty strings have no macro</e>\");\n#endif\n"
                   "  return 0;\n}\n");
    for (const char* compiler : {"cc -std=c99 -x c", "c++ -std=c++20 -x c++"}) {
        SCOPED_TRACE(compiler);
        std::string built = Shell(std::string(compiler) + " -Wall -Werror -o " + dir.File("show") + " " + dir.File("show.c"));
        ASSERT_EQ(built, "");
        std::string printed = Shell(dir.File("show"));
        EXPECT_EQ(Between(printed, "fv"), "3.1.7.40");
        EXPECT_EQ(Between(printed, "fvs"), "3.1.7.40");
        EXPECT_EQ(Between(printed, "pv"), "4.2.9.65535");
        EXPECT_EQ(Between(printed, "c"), "Quote\" back\\ $HOME ${X} */ ?\?= {#x} ?> $(var) 50% done\\");
        EXPECT_EQ(Between(printed, "p"), "Caf\xC3\xA9 \xC2\xA9 \xC3\xBF");
        EXPECT_EQ(Between(printed, "l"), "line1\r\nline2\ttab\x01" "end");
        EXPECT_EQ(Between(printed, "d"), "/* not a comment */ // nor this");
        EXPECT_EQ(printed.find("<e>"), std::string::npos);
    }
    OutputOptions prefixed;
    prefixed.Prefix = "Viewer_2";
    EXPECT_NE(Compose("h", values, prefixed).find("#define Viewer_2_FILE_VERSION_BUILD 40\n"), std::string::npos);
    EXPECT_TRUE(IsIdentifier("_a1") && IsIdentifier("Z"));
    EXPECT_FALSE(IsIdentifier("") || IsIdentifier("1a") || IsIdentifier("a-b") || IsIdentifier("a b") ||
                 IsIdentifier("\xE9"));
}

// Compiled by both resource compilers, the script gives the fixed information, the
// string table's key, the strings in their order and the translation of VERDO's own .RES.
TEST(OutputFormats, TheResourceScriptCompilesLikeTheResFileWithEitherCompiler) {
    const VersionValues values = Hostile();
    std::optional<std::string> res = ComposeVersionResource(values);
    ASSERT_TRUE(res.has_value());
    std::optional<VersionBlocks> expected = ReadVersionBlocks(*res);
    ASSERT_TRUE(expected.has_value());
    ASSERT_EQ(expected->Strings.size(), 8u) << "seven entries of the standard strings and versions, two extras";

    TempProgramDir dir;
    WriteFileBytes(dir.File("version.rc"), Compose("rc", values));
    const std::string windres = "x86_64-w64-mingw32-windres -i " + dir.File("version.rc") + " -O res -o " +
                                dir.File("windres.res");
    const std::string llvm = "llvm-rc /fo " + dir.File("llvm.res") + " " + dir.File("version.rc");
    for (const auto& [command, file] : {std::pair{windres, "windres.res"}, std::pair{llvm, "llvm.res"}}) {
        SCOPED_TRACE(command);
        ASSERT_EQ(Shell(command), "");
        std::optional<VersionBlocks> compiled = ReadVersionBlocks(ReadFileBytes(dir.File(file)));
        ASSERT_TRUE(compiled.has_value());
        EXPECT_EQ(compiled->Fixed, expected->Fixed);
        EXPECT_EQ(compiled->TableKey, "040704E4");
        EXPECT_TRUE(compiled->Strings == expected->Strings);
        EXPECT_EQ(compiled->Translation, expected->Translation);
    }
}

// NSIS takes the include, and the installer's own properties carry the program's
// versions and strings.
TEST(OutputFormats, AnInstallerMadeWithTheNsisIncludeCarriesTheProgramsVersion) {
    const VersionValues values = Hostile();
    TempProgramDir dir;
    WriteFileBytes(dir.File("version.nsh"), Compose("nsh", values));
    WriteFileBytes(dir.File("setup.nsi"),
                   "Unicode true\n!include \"version.nsh\"\nName \"${VERDO_PRODUCT_NAME} ${VERDO_COMPANY_NAME}\"\n"
                   "Caption \"${VERDO_LEGAL_COPYRIGHT} ${VERDO_PRODUCT_VERSION} ${VERDO_FILE_VERSION}\"\n"
                   "OutFile \"setup.exe\"\nRequestExecutionLevel user\nSection\nSectionEnd\n");
    ASSERT_EQ(Shell("cd " + dir.Path() + " && makensis -V1 setup.nsi"), "");
    std::string read = Shell("/usr/bin/python3 " VERDO_SOURCE_DIR "/tests/package/read_version.py --exact " +
                           dir.File("setup.exe"));
    EXPECT_NE(read.find("FILE 3.1.7.40\n"), std::string::npos) << read;
    EXPECT_NE(read.find("PRODUCT 4.2.9.65535\n"), std::string::npos) << read;
    auto hex = [](const std::u16string& text) {
        std::string out;
        char pair[8];
        for (char16_t unit : text) {
            std::snprintf(pair, sizeof pair, "%02x%02x", unit & 0xFF, unit >> 8);
            out += pair;
        }
        return out;
    };
    for (const VersionText& entry : values.Entries()) {
        if (entry.Key.empty()) continue;  // NSIS has no key without a name
        // A control character NSIS cannot write stands as a space.
        std::string value = entry.Value;
        for (char& c : value)
            if (c == '\x01') c = ' ';
        EXPECT_NE(read.find(hex(Widened(entry.Key)) + "=" + hex(Widened(value)) + "\n"), std::string::npos)
            << entry.Key;
    }
}

// The JSON is one object of valid UTF-8 whose texts read back exactly as stored.
TEST(OutputFormats, TheJsonObjectReadsBackExactly) {
    VersionValues values = Hostile();
    values.LanguageName = "German (Germany)";
    TempProgramDir dir;
    WriteFileBytes(dir.File("values.json"), Compose("json", values));
    std::string read = Shell("/usr/bin/python3 -c \"import json,sys; d=json.load(open(sys.argv[1],encoding='utf-8')); "
                           "print(d['strings']['CompanyName'].encode().hex(), d['strings']['LegalCopyright'].encode().hex(), "
                           "d['extra_strings'][0]['name'], d['extra_strings'][2]['value'] == '', d['product_version'], "
                           "d['next_file_version'], d['debug'], d['prerelease'], d['file_os']['code'], "
                           "d['language']['code'], d['language']['name'], d['export_date'])\" " +
                           dir.File("values.json"));
    auto hex = [](const std::string& utf8) {
        std::string out;
        char pair[4];
        for (unsigned char c : utf8) {
            std::snprintf(pair, sizeof pair, "%02x", c);
            out += pair;
        }
        return out;
    };
    EXPECT_EQ(read, hex(Latin1ToUtf8(values.StandardValue("CompanyName"))) + " " +
                        hex(Latin1ToUtf8(values.StandardValue("LegalCopyright"))) +
                        " Br\"anch True 4.2.9.65535 3.1.7.40 True True 0x00040004 0407 German (Germany) None\n");
}

// Inno Setup and WiX are not at hand here: their includes are checked against the rules
// of their languages, and the WiX one is well-formed XML.
TEST(OutputFormats, TheInnoAndWixIncludesKeepTheirLanguagesRules) {
    const VersionValues values = Hostile();
    const std::string inno = Compose("iss", values);
    EXPECT_EQ(inno.rfind("\xEF\xBB\xBF", 0), 0u) << "read as UTF-8";
    EXPECT_NE(inno.find("#define VerdoCompanyName \"Quote\"\" back\\ $HOME ${X} */ ?\?= {\" + \"#x} ?> $(var) 50% done\\\"\n"),
              std::string::npos)
        << inno;
    EXPECT_NE(inno.find("#define VerdoLegalCopyright \"line1  line2 tab end\"\n"), std::string::npos) << inno;
    EXPECT_NE(inno.find("#define VerdoProductVersion \"4.2.9.65535\"\n"), std::string::npos);

    const std::string wix = Compose("wxi", values);
    TempProgramDir dir;
    WriteFileBytes(dir.File("version.wxi"), wix);
    std::string defines = Shell("/usr/bin/python3 -c \"import sys, xml.dom.minidom as m; "
                              "d=m.parse(sys.argv[1]); print('|'.join(n.data for n in d.documentElement.childNodes "
                              "if n.nodeType == n.PROCESSING_INSTRUCTION_NODE))\" " + dir.File("version.wxi"));
    EXPECT_EQ(defines,
              "VerdoFileVersion = \"3.1.7.40\" |VerdoProductVersion = \"4.2.9.65535\" |"
              "VerdoProductName = \"Caf\xC3\xA9 \xC2\xA9 \xC3\xBF\" |"
              "VerdoCompanyName = \"Quote\" back\\ $$HOME $${X} */ ?\?= {#x} ? > $$(var) 50% done\\\" |"
              "VerdoLegalCopyright = \"line1  line2\ttab end\" \n");
}
