#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

#include "runtime/bytes/VersionResourceReader.h"

using namespace verdo;

namespace {

void Put16(std::string& image, size_t at, uint32_t value) {
    image[at] = static_cast<char>(value & 0xFF);
    image[at + 1] = static_cast<char>(value >> 8 & 0xFF);
}

void Put32(std::string& image, size_t at, uint32_t value) {
    Put16(image, at, value & 0xFFFF);
    Put16(image, at + 2, value >> 16);
}

// The places in the image below that the hostile variants spoil.
constexpr size_t PeOffsetAt = 0x3C, SectionAt = 0x40 + 24 + 240, ResourceAt = 0x200;
constexpr size_t DataEntry = ResourceAt + 0x48;
const std::string VersionData = "VS_VERSION_INFO data, 32 bytes.";

// A PE32+ image with one section at 0x1000 (file 0x200) holding a resource tree of three
// levels, type 16, name 1, language 0x409, and its data. With `wide` false, PE32.
std::string Image(bool wide = true, uint32_t type = 16) {
    std::string image(0x400, '\0');
    image[0] = 'M', image[1] = 'Z';
    Put32(image, PeOffsetAt, 0x40);
    image.replace(0x40, 4, std::string("PE\0\0", 4));
    const size_t coff = 0x44, optional = coff + 20;
    Put16(image, coff + 2, 1);
    Put16(image, coff + 16, 240);
    Put16(image, optional, wide ? 0x20B : 0x10B);
    Put32(image, optional + (wide ? 108 : 92), 16);
    Put32(image, optional + (wide ? 112 : 96) + 16, 0x1000);
    Put32(image, optional + (wide ? 112 : 96) + 20, 0x100);
    Put32(image, SectionAt + 8, 0x200);
    Put32(image, SectionAt + 12, 0x1000);
    Put32(image, SectionAt + 16, 0x200);
    Put32(image, SectionAt + 20, ResourceAt);
    // Root: one numbered entry, the type, leading to the names at 0x18.
    Put16(image, ResourceAt + 14, 1);
    Put32(image, ResourceAt + 16, type);
    Put32(image, ResourceAt + 20, 0x80000018);
    Put16(image, ResourceAt + 0x18 + 14, 1);
    Put32(image, ResourceAt + 0x18 + 16, 1);
    Put32(image, ResourceAt + 0x18 + 20, 0x80000030);
    Put16(image, ResourceAt + 0x30 + 14, 1);
    Put32(image, ResourceAt + 0x30 + 16, 0x409);
    Put32(image, ResourceAt + 0x30 + 20, 0x48);
    Put32(image, DataEntry, 0x1060);
    Put32(image, DataEntry + 4, static_cast<uint32_t>(VersionData.size()));
    image.replace(ResourceAt + 0x60, VersionData.size(), VersionData);
    return image;
}

VersionSearch Search(const std::string& file, std::string* data = nullptr) {
    std::string found, why;
    VersionSearch result = FindVersionResource(file, found, why);
    if (data) *data = found;
    return result;
}

}  // namespace

TEST(VersionResourceReader, FindsTheVersionDataOfImagesAndResourceFiles) {
    std::string data;
    EXPECT_EQ(Search(Image(true), &data), VersionSearch::Found);
    EXPECT_EQ(data, VersionData);
    EXPECT_EQ(Search(Image(false), &data), VersionSearch::Found);
    EXPECT_EQ(data, VersionData);
    EXPECT_EQ(Search(Image(true, 3)), VersionSearch::NoResource) << "icons only";

    // A resource file: the empty header, an icon resource, then the version resource.
    std::string res(32, '\0');
    Put32(res, 4, 32), Put16(res, 8, 0xFFFF), Put16(res, 12, 0xFFFF);
    std::string icon(32, '\0');
    Put32(icon, 0, 6), Put32(icon, 4, 32), Put16(icon, 8, 0xFFFF), Put16(icon, 10, 3);
    std::string version(32, '\0');
    Put32(version, 0, static_cast<uint32_t>(VersionData.size())), Put32(version, 4, 32);
    Put16(version, 8, 0xFFFF), Put16(version, 10, 16);
    std::string file = res + icon + std::string("iconXX\0\0", 8) + version + VersionData;
    EXPECT_EQ(Search(file, &data), VersionSearch::Found);
    EXPECT_EQ(data, VersionData);
    EXPECT_EQ(Search(res + icon + std::string("iconXX\0\0", 8)), VersionSearch::NoResource);
    EXPECT_EQ(Search(file.substr(0, file.size() - 1)), VersionSearch::Unreadable);

    EXPECT_EQ(Search("#!/bin/sh\necho hello\n"), VersionSearch::NotAProgram);
    EXPECT_EQ(Search(""), VersionSearch::NotAProgram);
}

// Offsets past the end, sizes that reach beyond a section, a directory that leads back
// into the tree and a cut-off file are all unreadable; none is read outside the file.
TEST(VersionResourceReader, HostileImagesAreUnreadableAndNeverReadOutsideTheFile) {
    struct Spoil {
        const char* What;
        size_t At;
        uint32_t Value;
    };
    for (const Spoil& spoil : {Spoil{"PE header past the end", PeOffsetAt, 0xFFFFFFF0},
                               Spoil{"section data past the end", SectionAt + 20, 0x7FFFFF00},
                               Spoil{"data larger than its section", DataEntry + 4, 0x10000},
                               Spoil{"data outside every section", DataEntry, 0x9000},
                               Spoil{"names leading back to the root", ResourceAt + 0x18 + 20, 0x80000000},
                               Spoil{"entries to search past the end", ResourceAt + 14, 0xFFFF}}) {
        // The entries counted past the end are searched when the first is no version.
        std::string image = Image(true, spoil.At == ResourceAt + 14 ? 3 : 16);
        if (spoil.At == ResourceAt + 14)
            Put16(image, spoil.At, spoil.Value);
        else
            Put32(image, spoil.At, spoil.Value);
        EXPECT_EQ(Search(image), VersionSearch::Unreadable) << spoil.What;
    }
    const std::string whole = Image();
    for (size_t length : {size_t{0x41}, SectionAt + 10, ResourceAt + 0x20, DataEntry + 2, ResourceAt + 0x70})
        EXPECT_EQ(Search(whole.substr(0, length)), VersionSearch::Unreadable) << "cut at " << length;

    // Random damage anywhere: an answer every time, and (under the sanitizers) no read
    // outside the file.
    std::mt19937 random(7);
    for (int trial = 0; trial < 3000; ++trial) {
        std::string image = whole;
        for (int flips = 0; flips < 4; ++flips) image[random() % image.size()] = static_cast<char>(random());
        std::string data, why;
        VersionSearch result = FindVersionResource(image, data, why);
        if (result == VersionSearch::Found) {
            EXPECT_LE(data.size(), image.size());
        }
    }
}
