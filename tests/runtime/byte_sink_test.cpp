#include <gtest/gtest.h>

#include <string>

#include "runtime/bytes/ByteSink.h"

using namespace verdo;

TEST(ByteSink, NumbersGoOutLittleEndianAndAlignmentPadsWithZeros) {
    ByteSink sink;
    sink.PutU8(0xAB);
    sink.PutU16(0x1234);
    sink.PutU32(0xFEEF04BD);
    EXPECT_EQ(sink.Tell(), 7u);
    sink.AlignTo(4);
    EXPECT_EQ(sink.Tell(), 8u);
    sink.AlignTo(4);  // already aligned: nothing added
    sink.PutBytes(std::string("x\0y", 3));
    EXPECT_EQ(sink.Bytes(), std::string("\xAB\x34\x12\xBD\x04\xEF\xFE\x00x\0y", 11));
}

TEST(ByteSink, PatchesOnlyInsideWhatWasWrittenAndOnlyLengthsThatFit) {
    ByteSink sink;
    sink.PutU32(0);
    EXPECT_TRUE(sink.PatchU16(2, 0xBEEF));
    EXPECT_TRUE(sink.PatchLength16(0, 0xFFFF));
    EXPECT_EQ(sink.Bytes(), std::string("\xFF\xFF\xEF\xBE", 4));

    EXPECT_FALSE(sink.PatchU16(3, 1));  // would run one byte past the end
    EXPECT_FALSE(sink.PatchU16(size_t(-1), 1));
    EXPECT_FALSE(sink.PatchLength16(0, 0x10000));
    EXPECT_EQ(sink.Bytes(), std::string("\xFF\xFF\xEF\xBE", 4));
}
