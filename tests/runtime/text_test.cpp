#include <gtest/gtest.h>

#include "runtime/text/Text.h"

using namespace verdo;

TEST(Text, FieldsArePaddedCutAndTrimmedOnTheRightOnly) {
    char field[6];
    AssignField(field, "  ab");
    EXPECT_EQ(std::string(field, 6), "  ab  ");
    EXPECT_EQ(FieldText(field), "  ab");
    AssignField(field, "abcdefgh");
    EXPECT_EQ(std::string(field, 6), "abcdef");
}

TEST(Text, SingleByteTextRoundTripsThroughUtf8) {
    std::string all;
    for (int c = 1; c < 256; ++c) all.push_back(static_cast<char>(c));
    EXPECT_EQ(Utf8ToLatin1(Latin1ToUtf8(all)), all);
    EXPECT_EQ(Latin1ToUtf8("\xA9"), "\xC2\xA9");
    EXPECT_EQ(Utf8ToLatin1("\xE2\x82\xAC x \xC3"), "? x ?");
}
