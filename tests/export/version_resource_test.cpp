#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "core/Records.h"
#include "export/VersionResource.h"
#include "runtime/bytes/VersionLayout.h"
#include "runtime/text/Text.h"
#include "tests/support/TempProgramDir.h"

using namespace verdo;

namespace {

// Expected bytes are spelt out here independently of the code under test.
std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out.push_back(static_cast<char>(v));
    return out;
}

std::string Zeros(size_t n) { return std::string(n, '\0'); }

// A text as 16-bit units with the zero terminator.
std::string Wide(const std::string& text) {
    std::string out;
    for (char c : text) {
        out.push_back(c);
        out.push_back('\0');
    }
    return out + Zeros(2);
}

unsigned Word(const std::string& image, size_t offset) {
    return static_cast<unsigned char>(image[offset]) | static_cast<unsigned char>(image[offset + 1]) << 8;
}

uint32_t Dword(const std::string& image, size_t offset) { return Word(image, offset) | Word(image, offset + 2) << 16; }

// A primed project with versions 1.0.0.0 and nothing else filled in.
RESFileRecord Project() {
    RESFileRecord p;
    ClearRecord(RESFileTable(), &p);
    p.FV_1 = 1;
    p.PV_1 = 1;
    std::memcpy(p.FileOS, "\x04\x00\x04\x00", 4);
    p.FileType[0] = 1;
    AssignField(p.LangID, "0409");
    AssignField(p.CodePage, "04b0");
    return p;
}

std::string Compose(const RESFileRecord& p, const std::vector<ExtraItem>& extras = {}) {
    std::optional<std::string> image = ComposeVersionResource(p, extras);
    EXPECT_TRUE(image.has_value());
    return image.value_or(std::string());
}

// The four length words: resource data size, VS_VERSION_INFO, StringFileInfo, StringTable.
void ExpectLengthWords(const std::string& image, unsigned n) {
    EXPECT_EQ(image.size(), 64 + n);
    EXPECT_EQ(Dword(image, 32), n);
    EXPECT_EQ(Word(image, 64), n);
    EXPECT_EQ(Word(image, 156), n - 160);
    EXPECT_EQ(Word(image, 192), n - 196);
}

const std::string FileVersion10 = Bytes({48, 0, 8, 0, 1, 0}) + Wide("FileVersion") + Zeros(2) + Wide("1.0.0.0");
const std::string ProductVersion10 = Bytes({52, 0, 8, 0, 1, 0}) + Wide("ProductVersion") + Wide("1.0.0.0");

}  // namespace

TEST(VersionResource, ProjectWithoutStringsIsTheWholeExpectedImage) {
    const std::string expected =
        // empty leading resource header
        Bytes({0, 0, 0, 0, 0x20, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0xFF, 0xFF, 0, 0}) + Zeros(16) +
        // version resource header: size 320, RT_VERSION, name 1, flags 0x30, language 0x0409
        Bytes({0x40, 0x01, 0, 0, 0x20, 0, 0, 0, 0xFF, 0xFF, 0x10, 0, 0xFF, 0xFF, 0x01, 0}) +
        Bytes({0, 0, 0, 0, 0x30, 0, 0x09, 0x04}) + Zeros(8) +
        // VS_VERSION_INFO at 64
        Bytes({0x40, 0x01, 0x34, 0, 0, 0}) + Wide("VS_VERSION_INFO") + Zeros(2) +
        // fixed file information at 104
        Bytes({0xBD, 0x04, 0xEF, 0xFE, 0, 0, 1, 0}) +   // signature, structure version
        Bytes({0, 0, 1, 0, 0, 0, 0, 0}) +               // file version 1.0.0.0
        Bytes({0, 0, 1, 0, 0, 0, 0, 0}) +               // product version 1.0.0.0
        Bytes({0x3F, 0, 0, 0, 0, 0, 0, 0}) +            // flags mask, flags
        Bytes({4, 0, 4, 0, 1, 0, 0, 0}) + Zeros(12) +   // OS, type, subtype, date
        // StringFileInfo at 156, StringTable at 192
        Bytes({160, 0, 0, 0, 1, 0}) + Wide("StringFileInfo") +
        Bytes({124, 0, 0, 0, 1, 0}) + Wide("040904b0") +
        // the two entries at 216 and 264
        FileVersion10 + ProductVersion10 +
        // VarFileInfo at 316, Translation at 348
        Bytes({0x44, 0, 0, 0, 1, 0}) + Wide("VarFileInfo") + Zeros(2) +
        Bytes({0x24, 0, 4, 0, 0, 0}) + Wide("Translation") + Zeros(2) + Bytes({0x09, 0x04, 0xB0, 0x04});

    ASSERT_EQ(expected.size(), 384u);
    const std::string image = Compose(Project());
    EXPECT_EQ(image, expected);
    ExpectLengthWords(image, 320);
}

TEST(VersionResource, KeyAndValuePaddingFollowOddAndEvenLengths) {
    RESFileRecord p = Project();
    AssignField(p.Comments, "abc");  // even key, odd value: no padding at all
    std::string image = Compose(p);
    EXPECT_EQ(image.substr(216, 32), Bytes({32, 0, 4, 0, 1, 0}) + Wide("Comments") + Wide("abc"));
    EXPECT_EQ(image.substr(248, 48), FileVersion10);
    ExpectLengthWords(image, 320 + 32);

    AssignField(p.Comments, "abcd");  // even value: two bytes after the entry, outside its length
    image = Compose(p);
    EXPECT_EQ(image.substr(216, 36), Bytes({34, 0, 5, 0, 1, 0}) + Wide("Comments") + Wide("abcd") + Zeros(2));
    EXPECT_EQ(image.substr(252, 48), FileVersion10);
    ExpectLengthWords(image, 320 + 36);

    p = Project();
    AssignField(p.CompanyName, "ACME");  // odd key and even value: padding on both sides
    image = Compose(p);
    EXPECT_EQ(image.substr(216, 44),
              Bytes({42, 0, 5, 0, 1, 0}) + Wide("CompanyName") + Zeros(2) + Wide("ACME") + Zeros(2));
    ExpectLengthWords(image, 320 + 44);
}

TEST(VersionResource, StandardStringsComeInTheirFixedOrderAndEmptyOnesAreLeftOut) {
    RESFileRecord p = Project();
    AssignField(p.SpecialBuild, "L");
    AssignField(p.ProductName, "K");
    AssignField(p.PrivateBuild, "J");
    AssignField(p.OriginalFileName, "I");
    AssignField(p.LegalTrademarks, "H");
    AssignField(p.LegalCopyright, "   ");  // only spaces: counts as empty
    AssignField(p.InternalName, " G");     // leading spaces stay
    AssignField(p.FileDescription, "F  ");  // trailing ones go
    AssignField(p.CompanyName, "C");
    p.FV_1 = 65535;
    p.FV_2 = 0;
    p.FV_3 = 12;
    p.FV_4 = 7;
    p.PV_1 = 2;
    const std::string image = Compose(p);

    auto entry = [](const std::string& key, const std::string& value) {
        std::string e = Bytes({0, 0, static_cast<int>(value.size() + 1), 0, 1, 0}) + Wide(key);
        if (key.size() % 2) e += Zeros(2);
        e += Wide(value);
        e[0] = static_cast<char>(e.size());
        if (value.size() % 2 == 0) e += Zeros(2);
        return e;
    };
    const std::string strings = entry("CompanyName", "C") + entry("FileDescription", "F") +
                                entry("FileVersion", "65535.0.12.7") + entry("InternalName", " G") +
                                entry("LegalTrademarks", "H") + entry("OriginalFilename", "I") +
                                entry("PrivateBuild", "J") + entry("ProductName", "K") +
                                entry("ProductVersion", "2.0.0.0") + entry("SpecialBuild", "L");
    EXPECT_EQ(image.substr(216, strings.size()), strings);
    ExpectLengthWords(image, static_cast<unsigned>(220 + strings.size()));
    EXPECT_EQ(Dword(image, 112), 0xFFFF0000u);  // 65535.0
    EXPECT_EQ(Dword(image, 116), 0x000C0007u);  // 12.7
    EXPECT_EQ(Dword(image, 120), 0x00020000u);
}

TEST(VersionResource, ExtrasFollowInTheirOrderWithNamesAsTheyAre) {
    RESFileRecord p = Project();
    const std::vector<ExtraItem> extras = {
        {"Build   ", "42  "},     // both trimmed
        {"Skipped", "     "},    // empty value: no entry
        {"", "x"},               // empty name: the key is the terminator alone
        {"Comments", "again"},   // a standard key may come a second time
    };
    const std::string image = Compose(p, extras);
    const std::string expected = Bytes({26, 0, 3, 0, 1, 0}) + Wide("Build") + Zeros(2) + Wide("42") + Zeros(2) +
                                 Bytes({12, 0, 2, 0, 1, 0}) + Wide("") + Wide("x") +
                                 Bytes({36, 0, 6, 0, 1, 0}) + Wide("Comments") + Wide("again");
    ASSERT_EQ(expected.size(), 28u + 12u + 36u);
    EXPECT_EQ(image.substr(316, expected.size()), expected);
    ExpectLengthWords(image, 320 + 76);
    EXPECT_EQ(image.substr(316 + 76, 6), Bytes({0x44, 0, 0, 0, 1, 0}));
}

TEST(VersionResource, TextBytesAreWidenedWithoutTranslation) {
    RESFileRecord p = Project();
    std::string high;
    for (int c = 0x80; c <= 0xFF; ++c) high.push_back(static_cast<char>(c));
    AssignField(p.Comments, high);
    const std::string image = Compose(p);
    std::string expected;
    for (int c = 0x80; c <= 0xFF; ++c) expected += Bytes({c, 0});
    // "Comments": 6-byte header and 18-byte key, then the value.
    EXPECT_EQ(image.substr(216 + 24, 256), expected);
    EXPECT_EQ(Word(image, 216 + 2), 129u);
}

TEST(VersionResource, LanguageAndCodePageMakeTheTableKeyAndTheTranslation) {
    RESFileRecord p = Project();
    AssignField(p.LangID, "XXXX");  // no language chosen: written as U.S. English
    AssignField(p.CodePage, "04E4");
    std::string image = Compose(p);
    EXPECT_EQ(image.substr(198, 18), Wide("040904E4"));
    EXPECT_EQ(image.substr(image.size() - 4), Bytes({0x09, 0x04, 0xE4, 0x04}));

    AssignField(p.LangID, "0c07");
    AssignField(p.CodePage, "04b0");
    image = Compose(p);
    EXPECT_EQ(image.substr(198, 18), Wide("0c0704b0"));  // letter case kept in the key
    EXPECT_EQ(image.substr(image.size() - 4), Bytes({0x07, 0x0C, 0xB0, 0x04}));
    EXPECT_EQ(Word(image, 54), 0x0409u);  // the resource header's language never changes

    // Pair reading: a trailing "H" is dropped, any other non-digit counts -1.
    AssignField(p.LangID, "4H0h");
    AssignField(p.CodePage, "ZZ04");
    image = Compose(p);
    EXPECT_EQ(image.substr(image.size() - 4), Bytes({0x00, 0x04, 0x04, 0xEF}));
}

TEST(VersionResource, FlagsOperatingSystemAndTypeComeFromTheRecord) {
    struct Case {
        uint8_t debug, preRelease;
        uint32_t flags;
    };
    for (Case c : {Case{0, 0, 0}, Case{1, 0, 1}, Case{0, 1, 2}, Case{1, 1, 3}, Case{1, 2, 0}, Case{2, 0, 0},
                   Case{0xFF, 1, 0}}) {
        RESFileRecord p = Project();
        p.FFDebug = c.debug;
        p.FFPreRelease = c.preRelease;
        EXPECT_EQ(Dword(Compose(p), 132), c.flags) << int(c.debug) << "/" << int(c.preRelease);
    }

    RESFileRecord p = Project();
    EXPECT_EQ(Dword(Compose(p), 136), 0x00040004u);
    std::memcpy(p.FileOS, "\x01\x02\x83\x20", 4);  // raw bytes, spaces included
    p.FileType[0] = static_cast<char>(0x83);
    const std::string image = Compose(p);
    EXPECT_EQ(image.substr(136, 8), Bytes({0x01, 0x02, 0x83, 0x20, 0x83, 0, 0, 0}));
}

TEST(VersionResource, ResourceDataMustStayBelow65536Bytes) {
    // One extra with an empty name and v characters (v odd) takes 10 + 2v bytes;
    // with v = 32601 the data is 320 + 65212 = 65532 bytes, the largest aligned size.
    const RESFileRecord p = Project();
    const std::string image = Compose(p, {{"", std::string(32601, 'v')}});
    ExpectLengthWords(image, 65532);
    EXPECT_EQ(Word(image, 316), 65212u);
    EXPECT_EQ(Dword(image, 32), 65532u);

    EXPECT_FALSE(ComposeVersionResource(p, {{"", std::string(32603, 'v')}}).has_value());
    // Many items that only together pass the limit are refused as well.
    std::vector<ExtraItem> many(125, ExtraItem{"Item", std::string(255, 'v')});
    EXPECT_FALSE(ComposeVersionResource(p, many).has_value());
    // And a value too long for its own length word.
    EXPECT_FALSE(ComposeVersionResource(p, {{"", std::string(70000, 'v')}}).has_value());
}

// Decodes the image with an independent resource reader to show that the layout is one
// that tools accept, not only one that matches our own expectations.
TEST(VersionResource, IndependentDecoderReadsItBack) {
    // Where binutils-mingw-w64-x86-64 puts it; tools/deps.sh installs that package, so
    // a missing decoder is a broken setup, not a reason to pass.
    const char* windres = "/usr/bin/x86_64-w64-mingw32-windres";
    ASSERT_EQ(access(windres, X_OK), 0) << windres << " is missing: install the Debian package binutils-mingw-w64-x86-64";

    RESFileRecord p = Project();
    p.FV_1 = 2;
    p.FV_2 = 1;
    p.FV_3 = 300;
    p.FV_4 = 65535;
    // Every part of both versions its own value, so that a swapped or skipped part shows.
    p.PV_1 = 3;
    p.PV_2 = 4;
    p.PV_3 = 7;
    p.PV_4 = 40000;
    p.FFDebug = 1;
    AssignField(p.CompanyName, "ACME Tools");
    AssignField(p.LegalCopyright, "\xA9 2024");
    AssignField(p.LangID, "0407");
    AssignField(p.CodePage, "04E4");
    const std::string image = Compose(p, {{"BuildHost", "ci-7"}, {"Odd", "abc"}});

    test::TempProgramDir dir;
    test::WriteFileBytes(dir.File("in.res"), image);
    const std::string command = std::string(windres) + " -J res -O rc -i '" + dir.File("in.res") + "' -o '" +
                                dir.File("out.rc") + "' 2>'" + dir.File("err.txt") + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << test::ReadFileBytes(dir.File("err.txt"));
    const std::string rc = test::ReadFileBytes(dir.File("out.rc"));

    EXPECT_NE(rc.find("FILEVERSION 2, 1, 300, 65535"), std::string::npos) << rc;
    EXPECT_NE(rc.find("PRODUCTVERSION 3, 4, 7, 40000"), std::string::npos) << rc;
    EXPECT_NE(rc.find("VALUE \"ProductVersion\", \"3.4.7.40000\""), std::string::npos) << rc;
    EXPECT_NE(rc.find("FILEFLAGS 0x1"), std::string::npos) << rc;
    EXPECT_NE(rc.find("FILEOS 0x40004"), std::string::npos) << rc;
    EXPECT_NE(rc.find("BLOCK \"040704E4\""), std::string::npos) << rc;
    EXPECT_NE(rc.find("VALUE \"CompanyName\", \"ACME Tools\""), std::string::npos) << rc;
    EXPECT_NE(rc.find("VALUE \"FileVersion\", \"2.1.300.65535\""), std::string::npos) << rc;
    // The decoder writes U+00A9 in octal: the byte was widened, not translated.
    EXPECT_NE(rc.find("VALUE \"LegalCopyright\", L\"\\251 2024\""), std::string::npos) << rc;
    EXPECT_NE(rc.find("VALUE \"BuildHost\", \"ci-7\""), std::string::npos) << rc;
    EXPECT_NE(rc.find("VALUE \"Odd\", \"abc\""), std::string::npos) << rc;
    EXPECT_NE(rc.find("VALUE \"Translation\", 0x407, 1252"), std::string::npos) << rc;
}

namespace {

std::string DataOf(const std::string& image) { return image.substr(64); }

void PutWord(std::string& data, size_t at, unsigned value) {
    data[at] = static_cast<char>(value & 0xFF);
    data[at + 1] = static_cast<char>(value >> 8);
}

// Where the blocks of a composed resource's data begin: the string file information
// after the 92 bytes of the root's header, key and fixed information, its string table,
// and the table's first string.
constexpr size_t StringFileInfoAt = 92, StringTableAt = 128, FirstStringAt = 152;

}  // namespace

TEST(VersionLayout, WhatVERDOWritesIsLaidOutAgainByteForByte) {
    RESFileRecord odd = Project();
    AssignField(odd.CompanyName, "Odd Co");      // the value needs padding after it
    AssignField(odd.FileDescription, "Even");    // the value ends aligned
    AssignField(odd.LegalTrademarks, "Last");
    const std::vector<std::string> images = {
        Compose(Project()), Compose(odd),
        Compose(odd, {{"Build", "42"}, {"", "x"}, {"Odd", "Stream 1"}}),
    };
    for (const std::string& image : images) {
        std::optional<std::string> relaid = RelaidVersionData(DataOf(image));
        ASSERT_TRUE(relaid.has_value());
        EXPECT_EQ(*relaid, DataOf(image));
    }
}

TEST(VersionLayout, OtherLengthConventionsGiveTheBytesVERDOWrote) {
    RESFileRecord p = Project();
    AssignField(p.CompanyName, "Sample Co");
    p.PV_4 = 10;  // the last string, "1.0.0.10", has two bytes of padding after it
    const std::string ours = DataOf(Compose(p));

    // Parents that leave out the padding after their last child, a text value counted
    // in bytes, and padding that is not zero.
    std::string theirs = ours;
    PutWord(theirs, StringFileInfoAt, Word(ours, StringFileInfoAt) - 2);
    PutWord(theirs, StringTableAt, Word(ours, StringTableAt) - 2);
    PutWord(theirs, FirstStringAt + 2, Word(ours, FirstStringAt + 2) * 2);
    const size_t padding = StringFileInfoAt + Word(ours, StringFileInfoAt) - 2;
    theirs[padding] = theirs[padding + 1] = '\x5A';
    ASSERT_NE(theirs, ours);
    EXPECT_EQ(RelaidVersionData(theirs), ours);

    // One character changed is another resource, however it is laid out.
    std::string edited = theirs;
    edited[edited.find(Wide("Sample Co").substr(0, 18)) + 16] = 'p';
    EXPECT_NE(RelaidVersionData(edited), ours);
}

TEST(VersionLayout, DamagedTreesAreRefusedWithoutReadingOutsideThem) {
    RESFileRecord p = Project();
    AssignField(p.CompanyName, "Sample Co");
    const std::string data = DataOf(Compose(p));

    for (size_t size = 0; size < data.size(); ++size) {
        // Cut anywhere before its end, the root block runs past the data.
        std::string cut(data.data(), size);
        EXPECT_FALSE(RelaidVersionData(cut).has_value()) << size;
    }
    std::string zero = data;
    PutWord(zero, FirstStringAt, 0);  // a block of no length would be read for ever
    EXPECT_FALSE(RelaidVersionData(zero).has_value());
    std::string longer = data;
    PutWord(longer, FirstStringAt, Word(data, StringTableAt) + 4);  // past its parent
    EXPECT_FALSE(RelaidVersionData(longer).has_value());
    std::string binary = data;
    PutWord(binary, 2, 0xFFF0);  // a binary value past the block's end
    EXPECT_FALSE(RelaidVersionData(binary).has_value());
    std::string unended = data;
    for (size_t at = 6; at < 38; at += 2) PutWord(unended, at, 'A');  // the root's key has no end
    PutWord(unended, 0, 38);
    EXPECT_FALSE(RelaidVersionData(unended.substr(0, 38)).has_value());

    // Blocks nested deeper than any version resource goes.
    std::string deep;
    for (int level = 0; level < 12; ++level) deep += Bytes({0, 0, 0, 0, 1, 0, 'k', 0, 0, 0, 0, 0});
    for (size_t level = 0; level < 12; ++level) PutWord(deep, level * 12, static_cast<unsigned>(deep.size() - level * 12));
    EXPECT_FALSE(RelaidVersionData(deep).has_value());
}
