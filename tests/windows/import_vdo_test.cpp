#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <iterator>
#include <random>
#include <string>

#include "core/Records.h"
#include "runtime/platform/ProfileFile.h"
#include "runtime/text/Text.h"
#include "tests/support/TempProgramDir.h"
#include "windows/ImportVDOFile.h"

using namespace verdo;
using verdo::test::TempProgramDir;
using verdo::test::WriteFileBytes;

namespace {

struct Span {
    size_t offset;
    size_t size;
};

// The imported fields lie in three runs: FV_1..FV_4, PV_1..PV_4, Comments..SpecialBuild.
const Span kImported[] = {
    {offsetof(RESFileRecord, FV_1), 4 * sizeof(uint16_t)},
    {offsetof(RESFileRecord, PV_1), 4 * sizeof(uint16_t)},
    {offsetof(RESFileRecord, Comments), 10 * 255},
};

bool IsImported(size_t offset) {
    for (const Span& span : kImported)
        if (offset >= span.offset && offset < span.offset + span.size) return true;
    return false;
}

// The offset of the first byte outside the imported fields that differs, or -1.
long FirstStrayChange(const RESFileRecord& before, const RESFileRecord& after) {
    auto* a = reinterpret_cast<const unsigned char*>(&before);
    auto* b = reinterpret_cast<const unsigned char*>(&after);
    for (size_t i = 0; i < sizeof(RESFileRecord); ++i)
        if (a[i] != b[i] && !IsImported(i)) return static_cast<long>(i);
    return -1;
}

// Every byte non-zero and no field like its neighbour, so a skipped or swapped field shows.
RESFileRecord Patterned() {
    RESFileRecord record;
    auto* bytes = reinterpret_cast<unsigned char*>(&record);
    for (size_t i = 0; i < sizeof record; ++i) bytes[i] = static_cast<unsigned char>(1 + (i * 37 + i / 251) % 254);
    return record;
}

std::string Field(const char* field, size_t width) { return std::string(field, width); }
template <size_t N>
std::string Field(const char (&field)[N]) {
    return Field(field, N);
}

std::string Padded(const std::string& text) { return text + std::string(255 - text.size(), ' '); }
const std::string kEmpty(255, ' ');

class ImportVDO : public ::testing::Test {
protected:
    // Imports the bytes as a file into a patterned record; fails the test when anything
    // but the imported fields changed.
    RESFileRecord Import(const std::string& bytes) {
        WriteFileBytes(file_, bytes);
        return ImportFrom(file_);
    }

    RESFileRecord ImportFrom(const std::string& fileName) {
        RESFileRecord before = Patterned();
        RESFileRecord after = before;
        ReadVDOFile(fileName, after);
        EXPECT_EQ(FirstStrayChange(before, after), -1);
        return after;
    }

    static void ExpectAllMissing(const RESFileRecord& r) {
        for (uint16_t part : {r.PV_1, r.PV_2, r.PV_3, r.PV_4, r.FV_1, r.FV_2, r.FV_3, r.FV_4}) EXPECT_EQ(part, 0);
        for (const char* text : {r.Comments, r.CompanyName, r.FileDescription, r.InternalName, r.LegalCopyright,
                                 r.LegalTrademarks, r.OriginalFileName, r.PrivateBuild, r.ProductName,
                                 r.SpecialBuild})
            EXPECT_EQ(Field(text, 255), kEmpty);
    }

    uint16_t FileVersion1Of(const std::string& value) { return Import("[Verdo]\nFileVersion1=" + value + "\n").FV_1; }

    TempProgramDir dir_;
    std::string file_ = dir_.File("OLD.VDO");
};

TEST_F(ImportVDO, OnlyCompanyNameSetsItAndEmptiesEverythingElseImported) {
    RESFileRecord r = Import("[Verdo]\r\nCompanyName=Acme Ltd\r\n");
    EXPECT_EQ(Field(r.CompanyName), Padded("Acme Ltd"));
    AssignField(r.CompanyName, "");
    ExpectAllMissing(r);
}

TEST_F(ImportVDO, EachKeyFillsItsOwnFieldWhateverItsCaseQuotesAndBlanks) {
    RESFileRecord r = Import(
        "[Other]\n"
        "CompanyName=not this one\n"
        "[ verdo ]\n"
        "PRODUCTVERSION1 =  1 \n"
        "productversion2=\"2\"\n"
        "ProductVersion3=3\n"
        "ProductVersion4=4\n"
        "fileVersion1=5\n"
        "FileVersion2=6\n"
        "FileVersion3=7\n"
        "FileVersion4=8\n"
        "FileVersion4=99\n"
        "comments = \"  spaced and quoted  \" \n"
        "CompanyName=\tCompany\t\n"
        "FileDescription=Description\n"
        "InternalName=Internal\n"
        "LegalCopyright=\"Copyright\"\n"
        "LegalTrademarks=Trademarks\n"
        "ORIGINALFILENAME=Original.exe\n"
        "PrivateBuild=Private\n"
        "ProductName=Product\n"
        "SpecialBuild=Special\n"
        "ProductName=second of a key\n"
        "[Verdo]\n"
        "InternalName=second of a section\n");
    EXPECT_EQ(r.PV_1, 1);
    EXPECT_EQ(r.PV_2, 2);
    EXPECT_EQ(r.PV_3, 3);
    EXPECT_EQ(r.PV_4, 4);
    EXPECT_EQ(r.FV_1, 5);
    EXPECT_EQ(r.FV_2, 6);
    EXPECT_EQ(r.FV_3, 7);
    EXPECT_EQ(r.FV_4, 8);
    EXPECT_EQ(Field(r.Comments), Padded("  spaced and quoted  "));
    EXPECT_EQ(Field(r.CompanyName), Padded("Company"));
    EXPECT_EQ(Field(r.FileDescription), Padded("Description"));
    EXPECT_EQ(Field(r.InternalName), Padded("Internal"));
    EXPECT_EQ(Field(r.LegalCopyright), Padded("Copyright"));
    EXPECT_EQ(Field(r.LegalTrademarks), Padded("Trademarks"));
    EXPECT_EQ(Field(r.OriginalFileName), Padded("Original.exe"));
    EXPECT_EQ(Field(r.PrivateBuild), Padded("Private"));
    EXPECT_EQ(Field(r.ProductName), Padded("Product"));
    EXPECT_EQ(Field(r.SpecialBuild), Padded("Special"));
}

TEST_F(ImportVDO, VersionPartsKeepTheLeadingWholeNumberModulo65536) {
    EXPECT_EQ(FileVersion1Of("70000"), 4464);
    EXPECT_EQ(FileVersion1Of("65536"), 0);
    EXPECT_EQ(FileVersion1Of("65535"), 65535);
    EXPECT_EQ(FileVersion1Of("-1"), 65535);
    EXPECT_EQ(FileVersion1Of("-65537"), 65535);
    EXPECT_EQ(FileVersion1Of("2.7"), 2);
    EXPECT_EQ(FileVersion1Of("12abc"), 12);
    EXPECT_EQ(FileVersion1Of("007"), 7);
    EXPECT_EQ(FileVersion1Of("\" 9\""), 9);
    EXPECT_EQ(FileVersion1Of(""), 0);
    EXPECT_EQ(FileVersion1Of("abc12"), 0);
    EXPECT_EQ(FileVersion1Of("-"), 0);
    EXPECT_EQ(FileVersion1Of("--1"), 0);
    EXPECT_EQ(FileVersion1Of("+1"), 0);
    // Up to 64 bits the low 16 bits count; beyond, the value is not some wrapped remainder.
    EXPECT_EQ(FileVersion1Of("18446744073709551615"), 65535);
    EXPECT_EQ(FileVersion1Of("18446744073709551617"), 0);
    EXPECT_EQ(FileVersion1Of("-18446744073709551615"), 1);
    EXPECT_EQ(FileVersion1Of("99999999999999999999999999"), 0);
    // Only 1023 characters of a value are read.
    EXPECT_EQ(FileVersion1Of(std::string(1022, '0') + "5"), 5);
    EXPECT_EQ(FileVersion1Of(std::string(1023, '0') + "5"), 0);
}

TEST_F(ImportVDO, LongTextsAreCutAt255) {
    std::string long2000(2000, 'x');
    for (size_t i = 0; i < long2000.size(); ++i) long2000[i] = static_cast<char>('a' + i % 26);
    RESFileRecord r = Import("[Verdo]\nComments=" + long2000 + "\nSpecialBuild=" + std::string(256, 's') +
                             "\nProductName=" + std::string(255, 'p') + "\n");
    EXPECT_EQ(Field(r.Comments), long2000.substr(0, 255));
    EXPECT_EQ(Field(r.SpecialBuild), std::string(255, 's'));
    EXPECT_EQ(Field(r.ProductName), std::string(255, 'p'));
    EXPECT_EQ(Field(r.PrivateBuild), kEmpty);
}

TEST_F(ImportVDO, AnyLineEndingWorks) {
    for (const char* bytes : {"[Verdo]\rFileVersion2=3\rCompanyName=Acme\r",
                              "[Verdo]\nFileVersion2=3\nCompanyName=Acme",
                              "\xEF\xBB\xBF[Verdo]\r\nFileVersion2=3\r\nCompanyName=Acme"}) {
        RESFileRecord r = Import(bytes);
        EXPECT_EQ(r.FV_2, 3) << bytes;
        EXPECT_EQ(Field(r.CompanyName), Padded("Acme")) << bytes;
    }
}

TEST_F(ImportVDO, SingleByteFilesKeepTheirBytesAndUtf8FilesAreDecoded) {
    RESFileRecord r = Import("[Verdo]\nLegalCopyright=\xA9 1998 M\xFCller\n");
    EXPECT_EQ(Field(r.LegalCopyright), Padded("\xA9 1998 M\xFCller"));

    r = Import("[Verdo]\nLegalCopyright=\xC2\xA9 2024 M\xC3\xBCller \xE2\x82\xAC\n");
    EXPECT_EQ(Field(r.LegalCopyright), Padded("\xA9 2024 M\xFCller ?"));

    // Decoding comes before the cut, which therefore counts characters, not bytes.
    std::string accents;
    for (int i = 0; i < 300; ++i) accents += "\xC3\xA9";
    r = Import("[Verdo]\nComments=" + accents + "\n");
    EXPECT_EQ(Field(r.Comments), std::string(255, '\xE9'));

    // A file that only looks like UTF-8 in part is single-byte.
    r = Import("[Verdo]\nComments=\xC3\xA9\nCompanyName=\xE9t\xE9\n");
    EXPECT_EQ(Field(r.Comments), Padded("\xC3\xA9"));
    EXPECT_EQ(Field(r.CompanyName), Padded("\xE9t\xE9"));
}

TEST_F(ImportVDO, FilesWithoutTheSectionEmptyEveryImportedField) {
    ExpectAllMissing(Import("[Other]\nCompanyName=Acme\nFileVersion1=1\n"));
    ExpectAllMissing(Import("CompanyName=Acme\nFileVersion1=1\n"));
    ExpectAllMissing(Import(""));
    ExpectAllMissing(Import(std::string("[Verdo]\nCompanyName=Acme\nFileVersion1=1\n\0\x01\x02", 43)));
    ExpectAllMissing(Import("[Verdo]\nCompanyName=Acme\nComments=" + std::string(kProfileTextLimit, 'c') + "\n"));
    ExpectAllMissing(ImportFrom(dir_.File("missing.VDO")));
    std::filesystem::create_directory(dir_.File("folder.VDO"));
    ExpectAllMissing(ImportFrom(dir_.File("folder.VDO")));
}

// Random and mutated files, from a fixed seed so that a failure can be repeated.
TEST_F(ImportVDO, ArbitraryFilesChangeNothingButTheImportedFields) {
    const std::string valid =
        "[Verdo]\r\nProductVersion1=1\r\nProductVersion2=\"70000\"\r\nFileVersion3=-1\r\nFileVersion4=2.7\r\n"
        "Comments=\"A comment\"\r\nCompanyName=Acme \xC2\xA9\r\nLegalCopyright=\xA9 1998\r\n[Other]\r\nKey=v\r\n";
    const std::string tokens[] = {"[", "]", "=", "\"", "\r", "\n", "\r\n", " ", "\t", ";", "#", "[Verdo]",
                                  "verdo", "FileVersion1=", "CompanyName=", std::string(1, '\0'), "\xEF\xBB\xBF",
                                  "\xC3", "\xA9", "\xF4\x90\x80\x80", "-", "99999999999999999999", "0"};
    std::mt19937 random(20240611);
    auto below = [&](size_t n) { return static_cast<size_t>(random() % n); };
    for (int round = 0; round < 3000; ++round) {
        std::string bytes;
        if (round % 4 == 0) {
            size_t length = below(400);
            for (size_t i = 0; i < length; ++i)
                bytes += below(2) ? tokens[below(std::size(tokens))] : std::string(1, static_cast<char>(random()));
        } else {
            bytes = valid;
            for (size_t edits = 1 + below(8); edits > 0 && !bytes.empty(); --edits) {
                size_t at = below(bytes.size());
                switch (below(4)) {
                    case 0: bytes.insert(at, tokens[below(std::size(tokens))]); break;
                    case 1: bytes.erase(at, 1 + below(16)); break;
                    case 2: bytes[at] = static_cast<char>(random()); break;
                    default: bytes.insert(at, bytes.substr(below(bytes.size()), below(64))); break;
                }
            }
        }
        WriteFileBytes(file_, bytes);
        RESFileRecord before;
        auto* raw = reinterpret_cast<unsigned char*>(&before);
        for (size_t i = 0; i < sizeof before; ++i) raw[i] = static_cast<unsigned char>(random());
        RESFileRecord after = before;
        ReadVDOFile(file_, after);
        long stray = FirstStrayChange(before, after);
        ASSERT_EQ(stray, -1) << "round " << round << ", file: " << ::testing::PrintToString(bytes);
    }
}

}  // namespace
