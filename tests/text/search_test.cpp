// Forward, reverse and marker search, with the double-byte rules.
#include <climits>

#include <gtest/gtest.h>

#include "text/text.h"

namespace {

struct FindRow {
  const char* name;
  std::string text;
  std::string sought;
  int start;
  bool ignoreCase;
  int position;
};

TEST(FindText, Table) {
  const FindRow rows[] = {
      {"empty sought", "abc", "", 1, false, 1},
      {"empty sought from 2", "abc", "", 2, false, 1},
      {"empty sought from 3", "abc", "", 3, false, 1},
      {"empty sought beyond", "abc", "", 5, false, -1},
      {"empty sought just beyond", "abc", "", 4, false, -1},
      {"empty sought in empty text", "", "", 1, false, -1},
      {"empty text", "", "a", 1, false, -1},
      {"case differs", "aXb", "x", 1, false, -1},
      {"ignore case", "aXb", "x", 1, true, 2},
      {"ignore case upper sought", "axb", "X", 1, true, 2},
      {"start 0", "abc", "a", 0, false, 1},
      {"start negative", "abc", "a", INT_MIN, false, 1},
      {"start INT_MAX", "abc", "a", INT_MAX, false, -1},
      {"start past first", "abab", "ab", 2, false, 3},
      {"at the very end", "abc", "c", 1, false, 3},
      {"longer than text", "ab", "abc", 1, false, -1},
      {"whole text", "abc", "abc", 1, false, 1},
      {"trail byte looks like A",
       "\xC4"
       "A",
       "A", 1, false, -1},
      {"trail byte A, then a real one",
       "\xC4"
       "AA",
       "A", 1, false, 3},
      {"trail byte ignoring case",
       "\xC4"
       "a",
       "A", 1, true, -1},
      {"after a double-byte character",
       "\xC4\xE3"
       "x",
       "x", 1, false, 3},
      {"double-byte sought", "a\xC4\xE3\xC4\xE3", "\xC4\xE3", 1, false, 2},
      {"sought straddling two characters", "\xC4\xE3\xC4\xE3", "\xE3\xC4", 1, false, -1},
      {"start on a trail byte makes it a candidate",
       "\xC4"
       "A",
       "A", 2, false, 2},
      {"lone lead byte at the end", "ab\xC4", "\xC4", 1, false, 3},
      {"lone lead byte, sought beyond it", "\xC4", "x", 1, false, -1},
      {"0x80 takes the next byte",
       "\x80"
       "A",
       "A", 1, false, -1},
      {"trail bytes fold too",
       "\xC4"
       "ab",
       "\xC4"
       "A",
       1, true, 1},
      {"no folding beyond ASCII", "\xC4\xE3", "\xC4\xC3", 1, true, -1},
      {"sign does not fold", "a@b", "`", 1, true, -1},
      {"run of ASCII after Chinese", "\xB0\xA1\xB0\xA1zz", "zz", 1, false, 5},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(FindText(row.text, row.sought, row.start, row.ignoreCase), row.position) << row.name;
  }
  EXPECT_EQ(FindText("abc", "b"), 2);  // the defaults
}

TEST(FindText, BoundaryFarFromAnySyncPoint) {
  // A long run of double-byte characters whose trail bytes are all 'A',
  // then the sought pair: every 'A' before the last two is a trail byte.
  std::string text;
  for (int i = 0; i < 5000; ++i)
    text +=
        "\xC4"
        "A";
  std::string odd = "Z" + text;  // the same run shifted by one byte
  EXPECT_EQ(FindText(text + "AA", "AA"), static_cast<int>(text.size()) + 1);
  EXPECT_EQ(FindText(text, "A"), -1);
  EXPECT_EQ(FindText(text, "a", 1, true), -1);
  EXPECT_EQ(FindText(odd, "A"), -1);
  EXPECT_EQ(FindText(text, "A", 2), 2);  // the start makes a trail byte a candidate
  EXPECT_EQ(FindText(text, "A", 3), -1);
}

TEST(FindText, IgnoreCaseAcrossChunks) {
  // Long enough to need more than one folded chunk, with the match across
  // a chunk border.
  std::string text(64 * 1024 - 2, 'x');
  text += "NeedLE";
  EXPECT_EQ(FindText(text, "needle", 1, true), 64 * 1024 - 1);
  EXPECT_EQ(FindText(text, "needle", 1, false), -1);
  std::string longer(200000, 'y');
  longer += "Tail";
  EXPECT_EQ(FindText(longer, "TAIL", 1, true), 200001);
}

struct ReverseRow {
  const char* name;
  std::string text;
  std::string sought;
  std::optional<int> start;
  bool ignoreCase;
  int position;
};

TEST(FindTextReverse, Table) {
  const ReverseRow rows[] = {
      {"last dot", "a.b.c", ".", std::nullopt, false, 4},
      {"before 4", "a.b.c", ".", 4, false, 2},
      {"before 2", "a.b.c", ".", 2, false, -1},
      {"start 1", "a.b.c", ".", 1, false, -1},
      {"start beyond", "a.b.c", ".", 99, false, 4},
      {"start INT_MIN", "a.b.c", ".", INT_MIN, false, -1},
      {"overlapping", "aaa", "aa", std::nullopt, false, 2},
      {"must end before the start", "abab", "ab", 4, false, 1},
      {"ends right before the start", "abab", "ab", 5, false, 3},
      {"empty sought", "abc", "", std::nullopt, false, 1},
      {"empty sought, start 1", "abc", "", 1, false, -1},
      {"empty sought in empty text", "", "", std::nullopt, false, -1},
      {"ignore case", "xAxa", "A", std::nullopt, true, 4},
      {"case matters", "xAxa", "A", std::nullopt, false, 2},
      {"trail byte skipped",
       "A\xC4"
       "A",
       "A", std::nullopt, false, 1},
      {"lone lead at the end", "a\xC4", "\xC4", std::nullopt, false, 2},
      {"longer than text", "ab", "abc", std::nullopt, false, -1},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(FindTextReverse(row.text, row.sought, row.start, row.ignoreCase), row.position)
        << row.name;
  }
}

TEST(FindTextReverse, WalksBackThroughEveryOccurrence) {
  Text text("x;y;z;w");
  std::vector<int> found;
  for (int p = FindTextReverse(text, ";"); p != -1; p = FindTextReverse(text, ";", p)) {
    found.push_back(p);
  }
  EXPECT_EQ(found, (std::vector<int>{6, 4, 2}));
}

struct MarkerRow {
  const char* name;
  std::string text;
  std::string marker;
  int start;
  bool ignoreCase;
  std::string left;
};

TEST(TextLeftOfMarker, Table) {
  const MarkerRow rows[] = {
      {"header name", "Content-Type: text", ": ", 1, false, "Content-Type"},
      {"missing", "Content-Type", ": ", 1, false, ""},
      {"empty text", "", ":", 1, false, ""},
      {"empty marker", "a:b", "", 1, false, ""},
      {"marker longer than the rest", "a:b", ":b", 3, false, ""},
      {"from a start", "a:b:c", ":", 3, false, "a:b"},
      {"start INT_MAX", "a:b:c", ":", INT_MAX, false, ""},
      {"start negative", "a:b", ":", INT_MIN, false, "a"},
      {"at position 1", ":b", ":", 1, false, ""},
      {"trail byte is no marker",
       "\xC4"
       "A=A",
       "A", 1, false,
       "\xC4"
       "A="},
      {"counted from the first byte whatever the start",
       "\xC4"
       "AxA",
       "A", 2, false,
       "\xC4"
       "Ax"},
      {"0x80 stands alone here",
       "\x80"
       "A",
       "A", 1, false, "\x80"},
      {"ignore case", "a Set-Cookie: x", "set-cookie:", 1, true, "a "},
      {"ignore case later", "a; SET-COOKIE: x", "set-cookie", 1, true, "a; "},
      {"ignore case keeps second bytes exact",
       "\xC4"
       "a\xC4"
       "A",
       "\xC4"
       "A",
       1, true,
       "\xC4"
       "a"},
      {"second byte differs in case only",
       "x\xC4"
       "A",
       "\xC4"
       "a",
       1, true, ""},
      {"lone lead in the marker", "x\xC4", "\xC4", 1, false, "x"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(TextLeftOfMarker(row.text, row.marker, row.start, row.ignoreCase).str(), row.left)
        << row.name;
  }
}

}  // namespace
