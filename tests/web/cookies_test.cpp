// Cookie merging and its helpers.
#include "web/cookies.h"

#include <gtest/gtest.h>

namespace {

struct MergeRow {
  const char* sent;
  const char* received;
  const char* merged;
  const char* receivedAfter;  // the trimmed form left in the caller's variable
};

class MergeCookiesTest : public ::testing::TestWithParam<MergeRow> {};

TEST_P(MergeCookiesTest, MergesAndWritesBothVariables) {
  const MergeRow& row = GetParam();
  Text sent = row.sent;
  Text received = row.received;
  Text merged = MergeCookies(sent, received);
  EXPECT_EQ(merged.str(), row.merged);
  EXPECT_EQ(sent.str(), row.merged);
  EXPECT_EQ(received.str(), row.receivedAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MergeCookiesTest,
    ::testing::Values(MergeRow{"a=1; b=2", "b=3", "b=3; a=1", "b=3"},
                      MergeRow{"a=1; c=3", "a=deleted", "c=3", "a=deleted"},
                      MergeRow{"", "", "", ""}, MergeRow{"", "a=1;", "a=1", "a=1; "},
                      MergeRow{"", " a=1 ", "a=1", "a=1"}, MergeRow{"a=1;b=2", "", "a=1;b=2", ""},
                      MergeRow{"x=1; x=2", "", "x=1", ""},
                      MergeRow{"", "a=1; a=2", "a=1; a=2", "a=1; a=2"},
                      MergeRow{"", "a=1; a=1", "a=1", "a=1; a=1"},
                      MergeRow{"z=deleted; y=1", "", "y=1", ""},
                      MergeRow{" k=v ; ", "n=1", "n=1; k=v ", "n=1"},
                      MergeRow{"a=1", "b=2; c=3", "b=2; c=3; a=1", "b=2; c=3"}));

TEST(MergeCookies, SameVariableForResultAndReceivedIsSafe) {
  Text sent = "a=1; b=2";
  Text received = "b=3";
  received = MergeCookies(sent, received);
  EXPECT_EQ(received.str(), "b=3; a=1");
}

TEST(CookieName, TrimmedTextBeforeTheFirstEquals) {
  EXPECT_EQ(CookieName(" a =1=2").str(), "a");
  EXPECT_EQ(CookieName(" lone ").str(), "lone");
  EXPECT_EQ(CookieName("=v").str(), "");
  EXPECT_EQ(CookieName("").str(), "");
}

TEST(HasCookieName, ComparesNamesExactly) {
  TextArray pairs{"a=1", " B=2"};
  EXPECT_TRUE(HasCookieName(pairs, "a"));
  EXPECT_TRUE(HasCookieName(pairs, "B"));
  EXPECT_FALSE(HasCookieName(pairs, "b"));
  EXPECT_FALSE(HasCookieName(TextArray{}, ""));
}

struct DuplicatesRow {
  const char* text;
  const char* separator;
  bool byPieces;
  const char* result;
};

class RemoveDuplicatesTest : public ::testing::TestWithParam<DuplicatesRow> {};

TEST_P(RemoveDuplicatesTest, FirstOccurrencesStay) {
  const DuplicatesRow& row = GetParam();
  EXPECT_EQ(RemoveDuplicates(row.text, row.separator, row.byPieces).str(), row.result);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RemoveDuplicatesTest,
    ::testing::Values(DuplicatesRow{"aab", ",", false, "a,b"},
                      DuplicatesRow{"a\r\na\r\n", ",", false, "a,\r\n"},
                      DuplicatesRow{"\r\r\n", "", false, "\r\r\n"},
                      // Two equal double-byte characters are a repeat.
                      DuplicatesRow{"\xc4\xe3\xc4\xe3x", "|", false, "\xc4\xe3|x"},
                      // 0x80 is a byte of its own.
                      DuplicatesRow{"\x80\x41\x41", "|", false, "\x80|A"},
                      // A lead byte as the last byte is an item of its own.
                      DuplicatesRow{"a\xc4", "|", false, "a|\xc4"},
                      DuplicatesRow{"x; y; x", "; ", true, "x; y"},
                      DuplicatesRow{"", "; ", true, ""}, DuplicatesRow{"", ",", false, ""}));

TEST(SplitCharacters, ReplacesTheArrayAndCountsCharacters) {
  TextArray characters{"old"};
  EXPECT_EQ(SplitCharacters("a\xb0\xa1\r\nb\x80", characters), 5);
  EXPECT_EQ(characters, (TextArray{"a", "\xb0\xa1", "\r\n", "b", "\x80"}));
  EXPECT_EQ(SplitCharacters("", characters), 0);
  EXPECT_EQ(ArraySize(characters), 0);
}

TEST(FindInArray, FirstExactMatchOrMinusOne) {
  TextArray array{"a", "B", "a"};
  EXPECT_EQ(FindInArray(array, "a"), 1);
  EXPECT_EQ(FindInArray(array, "B"), 2);
  EXPECT_EQ(FindInArray(array, "b"), -1);
  EXPECT_EQ(FindInArray(TextArray{}, ""), -1);
  EXPECT_EQ(FindInArray(TextArray{""}, ""), 1);
}

}  // namespace
