// Replacing, splitting, trimming and changing case.
#include <climits>

#include <gtest/gtest.h>

#include "text/text.h"

namespace {

struct ReplaceRow {
  const char* name;
  std::string text;
  std::string sought;
  std::string replacement;
  int start;
  std::optional<int> count;
  bool caseSensitive;
  std::string result;
};

TEST(ReplaceText, Table) {
  const ReplaceRow rows[] = {
      {"header prefix", "Set-Cookie: a=1", "set-cookie:", "", 1, std::nullopt, false, " a=1"},
      {"case-sensitive miss", "Set-Cookie: a=1", "set-cookie:", "", 1, std::nullopt, true,
       "Set-Cookie: a=1"},
      {"all", "a.b.c", ".", "--", 1, std::nullopt, true, "a--b--c"},
      {"count 1", "a.b.c", ".", "-", 1, 1, true, "a-b.c"},
      {"count 0 leaves it", "a.b.c", ".", "-", 1, 0, true, "a.b.c"},
      {"negative count replaces all", "a.b.c", ".", "-", 1, -1, true, "a-b-c"},
      {"INT_MIN count replaces all", "a.b.c", ".", "-", 1, INT_MIN, true, "a-b-c"},
      {"from a start", "a.b.c", ".", "-", 3, std::nullopt, true, "a.b-c"},
      {"start beyond", "a.b.c", ".", "-", 6, std::nullopt, true, "a.b.c"},
      {"start negative", "a.b", ".", "-", INT_MIN, std::nullopt, true, "a-b"},
      {"empty sought", "abc", "", "x", 1, std::nullopt, true, "abc"},
      {"empty text", "", "a", "x", 1, std::nullopt, true, ""},
      {"not searched again", "aa", "a", "aa", 1, std::nullopt, true, "aaaa"},
      {"non-overlapping", "aaa", "aa", "b", 1, std::nullopt, true, "ba"},
      {"trail byte A untouched",
       "\xC4"
       "AA",
       "A", "b", 1, std::nullopt, true,
       "\xC4"
       "Ab"},
      {"double-byte sought", "x\xC4\xE3y\xC4\xE3", "\xC4\xE3", "!", 1, std::nullopt, true, "x!y!"},
      {"lone lead dropped at the end", "ab\xC4", "x", "y", 1, std::nullopt, true, "ab"},
      {"lone lead kept when the scan stops before it", "ab\xC4", "xy", "z", 1, std::nullopt, true,
       "ab\xC4"},
      {"lone lead kept after the last allowed replacement", "a.\xC4", ".", "-", 1, 1, true,
       "a-\xC4"},
      {"lone lead after a match", "a.\xC4", ".", "-", 1, std::nullopt, true, "a-"},
      {"replaced with nothing", "a, b, c", ", ", "", 1, std::nullopt, true, "abc"},
      {"start on a trail byte",
       "\xC4"
       "A",
       "A", "b", 2, std::nullopt, true,
       "\xC4"
       "b"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(
        ReplaceText(row.text, row.sought, row.replacement, row.start, row.count, row.caseSensitive)
            .str(),
        row.result)
        << row.name;
  }
  EXPECT_EQ(ReplaceText("a-b", "-").str(), "ab");  // the defaults
}

struct SplitRow {
  const char* name;
  std::string text;
  std::string delimiter;
  std::vector<std::string> pieces;
};

TEST(SplitText, Table) {
  const SplitRow rows[] = {
      {"empty between", "a;;b", ";", {"a", "", "b"}},
      {"leading", ";a", ";", {"", "a"}},
      {"trailing", "a;", ";", {"a"}},
      {"only a delimiter", ";", ";", {""}},
      {"no delimiter", "ab", ";", {"ab"}},
      {"empty text", "", ";", {}},
      {"empty delimiter", "ab", "", {"ab"}},
      {"CR LF lines", "a\r\nb\r\n", "\r\n", {"a", "b"}},
      {"trail byte is no delimiter", "\xC4;x;y", ";", {"\xC4;x", "y"}},
      {"lone lead ends the last piece", "a;\xC4", ";", {"a", "\xC4"}},
      {"delimiter longer than the text", "a", "ab", {"a"}},
      {"double-byte delimiter",
       "a\xA1\xA2"
       "b",
       "\xA1\xA2",
       {"a", "b"}},
  };
  for (const auto& row : rows) {
    TextArray pieces = SplitText(row.text, row.delimiter);
    std::vector<std::string> got;
    for (const Text& piece : pieces.items()) got.push_back(piece.str());
    EXPECT_EQ(got, row.pieces) << row.name;
  }
}

TEST(TrimText, Table) {
  const std::pair<std::string, std::string> rows[] = {
      {" \ta \r", "\ta \r"},
      {"\xA1\xA1"
       "a\xA1\xA1",
       "a"},
      {"  a b  ", "a b"},
      {"", ""},
      {"   ", ""},
      {"\xA1\xA1 \xA1\xA1", ""},
      {"a \xC4", "a "},  // a lone lead byte is cut instead of the spaces
      {" \xC4", ""},
      {"\xC4\xA1\xA1", "\xC4\xA1"},  // C4 A1 is a character; the last A1 a lone lead
      {"\xB0\xA1\xA1\xA1", "\xB0\xA1"},
      {"a\xA1", "a"},  // a lone 0xA1 is a lone lead byte, not half a space
      {"x\xA1\xA1 y", "x\xA1\xA1 y"},
  };
  for (const auto& [text, trimmed] : rows) EXPECT_EQ(TrimText(text).str(), trimmed) << text;
}

TEST(ChangeCase, AsciiOnlyAndNeverASecondByte) {
  EXPECT_EQ(ToUpperCase("abc-XYZ").str(), "ABC-XYZ");
  EXPECT_EQ(ToLowerCase("abc-XYZ").str(), "abc-xyz");
  EXPECT_EQ(ToUpperCase("\xC4"
                        "a"
                        "b")
                .str(),
            "\xC4"
            "aB");
  EXPECT_EQ(ToLowerCase("\xC4"
                        "A"
                        "B")
                .str(),
            "\xC4"
            "Ab");
  EXPECT_EQ(ToUpperCase("\xE0\xE1").str(), "\xE0\xE1");
  EXPECT_EQ(ToUpperCase("x\xC4").str(), "X\xC4");
  EXPECT_EQ(ToLowerCase("@[`{").str(), "@[`{");
  EXPECT_EQ(ToUpperCase("@[`{").str(), "@[`{");
  EXPECT_EQ(ToUpperCase(Text()), Text());
}

}  // namespace
