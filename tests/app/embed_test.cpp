// The embed step: bytes come through exactly, an empty file included, and
// each array is followed by a zero byte its length does not count.
#include <gtest/gtest.h>

#include <string>

#include "tests/app/run_program.h"

extern const unsigned char kEmbedTestEveryByte[];
extern const int kEmbedTestEveryByteLength;
extern const unsigned char kEmbedTestEmpty[];
extern const int kEmbedTestEmptyLength;

namespace {

TEST(Embed, KeepsEveryByteValueInOrder) {
  const std::string expected = ReadFileBytes(EMBED_TEST_EVERY_BYTE_FILE);
  ASSERT_EQ(expected.size(), 256u * 3);
  ASSERT_EQ(kEmbedTestEveryByteLength, 256 * 3);
  EXPECT_TRUE(std::string(reinterpret_cast<const char*>(kEmbedTestEveryByte),
                          kEmbedTestEveryByteLength) == expected);
  EXPECT_EQ(kEmbedTestEveryByte[kEmbedTestEveryByteLength], 0);
}

TEST(Embed, AnEmptyFileGivesLengthZero) {
  EXPECT_EQ(kEmbedTestEmptyLength, 0);
  EXPECT_EQ(kEmbedTestEmpty[0], 0);
}

}  // namespace
