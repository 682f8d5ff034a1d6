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

TEST(Text, EachMalformedPieceOfUtf8ReadsAsOneQuestionMark) {
    using namespace std::string_literals;
    // Overlong forms of "/" and "." never read as those characters.
    EXPECT_EQ(Utf8ToLatin1("a\xC0\xAF" "b"), "a??b");
    EXPECT_EQ(Utf8ToLatin1("\xE0\x80\xAF"), "???");
    EXPECT_EQ(Utf8ToLatin1("\xF0\x80\x80\xAE"), "????");
    EXPECT_EQ(Utf8ToLatin1("\xC1\xBF"), "??");
    // Surrogates, code points beyond U+10FFFF and bytes that begin nothing.
    EXPECT_EQ(Utf8ToLatin1("\xED\xA0\x80"), "???");
    EXPECT_EQ(Utf8ToLatin1("\xF4\x90\x80\x80"), "????");
    EXPECT_EQ(Utf8ToLatin1("\xF5\x80"), "??");
    EXPECT_EQ(Utf8ToLatin1("\x80\xFF"), "??");
    // A sequence cut short is one '?', and the byte that cut it is read afresh.
    EXPECT_EQ(Utf8ToLatin1("\xE2\x82(\xC3\xA9"), "?(\xE9");
    EXPECT_EQ(Utf8ToLatin1("\xF0\x9F\x98"), "?");
    // Well-formed characters: the longest forms, and U+0000 as byte 0.
    EXPECT_EQ(Utf8ToLatin1("\xC3\xBF\xC4\x80\xF4\x8F\xBF\xBF\xED\x9F\xBF"), "\xFF???");
    EXPECT_EQ(Utf8ToLatin1("a\0b"s), "a\0b"s);
}
