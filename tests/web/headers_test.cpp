// Header block helpers.
#include "web/headers.h"

#include <gtest/gtest.h>

namespace {

struct NormalizeRow {
  const char* block;
  const char* normalized;
};

class NormalizeHeaderNamesTest : public ::testing::TestWithParam<NormalizeRow> {};

TEST_P(NormalizeHeaderNamesTest, CapitalisesEachWordOfTheName) {
  EXPECT_EQ(NormalizeHeaderNames(GetParam().block).str(), GetParam().normalized);
}

INSTANTIATE_TEST_SUITE_P(
    Table, NormalizeHeaderNamesTest,
    ::testing::Values(NormalizeRow{"user-agent: X", "User-Agent: X"},
                      NormalizeRow{"content-TYPE: a-b", "Content-TYPE: a-b"},
                      NormalizeRow{"USER-AGENT: x", "USER-AGENT: x"},
                      NormalizeRow{"accept:*/*\r\n\r\nno colon\r\nx-a-b:1\r\n",
                                   "Accept:*/*\r\nX-A-B:1"},
                      // Hyphens at either end of the name stay where they were.
                      NormalizeRow{"-a: 1", "-A: 1"}, NormalizeRow{"a-: 1", "A-: 1"},
                      NormalizeRow{"a--b: 1", "A--B: 1"}, NormalizeRow{": v", ": v"},
                      NormalizeRow{"", ""}, NormalizeRow{"\r\n\r\n", ""},
                      NormalizeRow{"\xc4\xe3-a: v", "\xc4\xe3-A: v"}));

TEST(CapitalizeFirst, OnlyTheFirstAsciiLetterChanges) {
  EXPECT_EQ(CapitalizeFirst("abc").str(), "Abc");
  EXPECT_EQ(CapitalizeFirst("aBC").str(), "ABC");
  EXPECT_EQ(CapitalizeFirst("1a").str(), "1a");
  EXPECT_EQ(CapitalizeFirst("").str(), "");
  EXPECT_EQ(CapitalizeFirst("\xe1\x61").str(), "\xe1\x61");
}

TEST(HeaderValue, TrimmedTextAfterTheFirstColon) {
  EXPECT_EQ(HeaderValue("Name:  a: b  ").str(), "a: b");
  EXPECT_EQ(HeaderValue("no colon").str(), "");
  EXPECT_EQ(HeaderValue("x:").str(), "");
  EXPECT_EQ(HeaderValue("").str(), "");
}

}  // namespace
