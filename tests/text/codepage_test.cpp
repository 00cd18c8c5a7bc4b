// Code page functions and the conversions built on them, by exact bytes.
#include <climits>
#include <random>

#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "text/text.h"

namespace {

std::u16string ToWide(UINT codePage, std::string_view narrow) {
  int n =
      MultiByteToWideChar(codePage, 0, narrow.data(), static_cast<int>(narrow.size()), nullptr, 0);
  std::u16string wide(static_cast<size_t>(n), u'\0');
  if (n > 0) {
    int done = MultiByteToWideChar(codePage, 0, narrow.data(), static_cast<int>(narrow.size()),
                                   wide.data(), n);
    EXPECT_EQ(done, n) << "counting and converting disagree";
  }
  return wide;
}

std::string ToNarrow(UINT codePage, std::u16string_view wide) {
  int n = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string narrow(static_cast<size_t>(n), '\0');
  if (n > 0) {
    int done = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()),
                                   narrow.data(), n, nullptr, nullptr);
    EXPECT_EQ(done, n) << "counting and converting disagree";
  }
  return narrow;
}

struct NarrowToWideRow {
  UINT codePage;
  std::string narrow;
  std::u16string wide;
};

TEST(MultiByteToWideChar, ExactUnits) {
  const NarrowToWideRow rows[] = {
      {CP_GBK, "A", u"A"},
      {CP_GBK, "\xC4\xE3", u"\u4F60"},
      {CP_ACP, "\xC4\xE3", u"\u4F60"},
      {CP_GBK, "\x80", u"\u20AC"},  // the euro sign, one byte
      {CP_GBK, "\xA1\xA1", u"\u3000"},
      {CP_GBK, "\xA3\xA1", u"\uFF01"},
      {CP_GBK, "\xA1\xA4", u"\u00B7"},
      {CP_GBK, "\xA1\xAA", u"\u2014"},
      {CP_GBK, "\x81\x40", u"\u4E02"},
      {CP_GBK, "\xC4", u"\uFFFD"},  // truncated at the end
      {CP_GBK,
       "\xC4"
       "0",
       u"\uFFFD"
       "0"},  // not a trail byte: 0 stays
      {CP_GBK,
       "\xC4"
       "A",
       u"\u8141"},  // a trail byte that looks like A
      {CP_GBK, "\xC4\x7F", u"\uFFFD\x7F"},
      {CP_GBK,
       "\xFF"
       "a",
       u"\uFFFD"
       "a"},
      {CP_GBK, "\xC4\xFF", u"\uFFFD\uFFFD"},
      {CP_UTF8, "\xE4\xBD\xA0", u"\u4F60"},
      {CP_UTF8, "\xF0\x9F\x98\x80", u"\U0001F600"},
      {CP_UTF8, "\xC3\xA9", u"\u00E9"},
      {CP_UTF8, "\xC0\xAF", u"\uFFFD\uFFFD"},  // overlong: each byte its own subpart
      {CP_UTF8,
       "\xE4\xBD"
       "a",
       u"\uFFFD"
       "a"},                                             // truncated: one maximal subpart
      {CP_UTF8, "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},  // a surrogate encoded
      {CP_UTF8, "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {CP_UTF8, "\xF0\x9F\x98", u"\uFFFD"},
      {CP_UTF8, "\x80\xBF", u"\uFFFD\uFFFD"},
      {CP_UTF8, "\xFE", u"\uFFFD"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(ToWide(row.codePage, row.narrow), row.wide) << row.codePage << " " << row.narrow;
  }
}

struct WideToNarrowRow {
  UINT codePage;
  std::u16string wide;
  std::string narrow;
};

TEST(WideCharToMultiByte, ExactBytes) {
  const WideToNarrowRow rows[] = {
      {CP_GBK, u"A\u4F60", "A\xC4\xE3"},
      {CP_GBK, u"\u20AC", "\x80"},
      {CP_GBK, u"\uFFFD", "?"},        // not in code page 936
      {CP_GBK, u"\U0001F600x", "?x"},  // one "?" for the pair
      {CP_GBK, u"\xD800z", "?z"},      // lone surrogate
      {CP_GBK, u"\u0E01", "?"},        // Thai: not in code page 936
      {CP_UTF8, u"\u4F60", "\xE4\xBD\xA0"},
      {CP_UTF8, u"\U0001F600", "\xF0\x9F\x98\x80"},
      {CP_UTF8, u"\xDC00", "\xEF\xBF\xBD"},  // lone surrogate becomes U+FFFD
      {CP_UTF8, u"\u07FF\u0800", "\xDF\xBF\xE0\xA0\x80"},
  };
  for (const auto& row : rows) EXPECT_EQ(ToNarrow(row.codePage, row.wide), row.narrow);
}

TEST(WideCharToMultiByte, ReportsTheDefaultCharacter) {
  BOOL used = 7;
  char out[4];
  EXPECT_EQ(WideCharToMultiByte(CP_GBK, 0, u"\u0E01", 1, out, 4, nullptr, &used), 1);
  EXPECT_EQ(used, 1);
  EXPECT_EQ(WideCharToMultiByte(CP_GBK, 0, u"a", 1, out, 4, nullptr, &used), 1);
  EXPECT_EQ(used, 0);
}

TEST(CodePageFunctions, TerminatedSourceCountsTheTerminator) {
  WCHAR wide[8] = {};
  EXPECT_EQ(MultiByteToWideChar(CP_GBK, 0, "a\xC4\xE3", -1, nullptr, 0), 3);
  EXPECT_EQ(MultiByteToWideChar(CP_GBK, 0, "a\xC4\xE3", -1, wide, 8), 3);
  EXPECT_EQ(wide[1], 0x4F60);
  EXPECT_EQ(wide[2], 0);
  char narrow[8];
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"\u4F60", -1, narrow, 8, nullptr, nullptr), 4);
  EXPECT_STREQ(narrow, "\xE4\xBD\xA0");
}

TEST(CodePageFunctions, TooSmallOutputFailsWithoutWritingPastIt) {
  WCHAR wide[4] = {0x1111, 0x1111, 0x1111, 0x1111};
  EXPECT_EQ(MultiByteToWideChar(CP_GBK, 0, "abc", 3, wide, 2), 0);
  EXPECT_EQ(wide[2], 0x1111);
  char narrow[4] = {'#', '#', '#', '#'};
  EXPECT_EQ(WideCharToMultiByte(CP_GBK, 0, u"\u4F60\u4F60", 2, narrow, 3, nullptr, nullptr), 0);
  EXPECT_EQ(narrow[3], '#');
  narrow[2] = '#';
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"\u4F60", 1, narrow, 2, nullptr, nullptr), 0);
  EXPECT_EQ(narrow[2], '#');
}

TEST(CodePageFunctions, RefusesBadArguments) {
  WCHAR wide[4];
  char narrow[4];
  EXPECT_EQ(MultiByteToWideChar(1252, 0, "a", 1, nullptr, 0), 0);
  EXPECT_EQ(MultiByteToWideChar(CP_GBK, 1, "a", 1, nullptr, 0), 0);
  EXPECT_EQ(MultiByteToWideChar(CP_GBK, 0, nullptr, 1, nullptr, 0), 0);
  EXPECT_EQ(MultiByteToWideChar(CP_GBK, 0, "a", 0, nullptr, 0), 0);
  EXPECT_EQ(MultiByteToWideChar(CP_GBK, 0, "a", -2, nullptr, 0), 0);
  EXPECT_EQ(MultiByteToWideChar(CP_GBK, 0, "a", 1, wide, -1), 0);
  EXPECT_EQ(MultiByteToWideChar(CP_GBK, 0, "a", 1, nullptr, 4), 0);
  EXPECT_EQ(WideCharToMultiByte(CP_GBK, 0, u"a", 1, narrow, 4, "*", nullptr), 0);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"a", INT_MIN, narrow, 4, nullptr, nullptr), 0);
}

TEST(CodePageFunctions, Lengths) {
  EXPECT_EQ(lstrlenA(nullptr), 0);
  EXPECT_EQ(lstrlenA("ab\xC4\xE3"), 4);
  EXPECT_EQ(lstrlenW(nullptr), 0);
  EXPECT_EQ(lstrlenW(u"ab\u4F60"), 3);
}

// Every double-byte character that code page 936 maps goes to UTF-16 and
// back unchanged, and counting agrees with converting for all of them.
TEST(CodePageFunctions, EveryMappedDoubleByteCharacterRoundTrips) {
  std::string all;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F) continue;
      all.push_back(static_cast<char>(lead));
      all.push_back(static_cast<char>(trail));
    }
  }
  std::u16string wide = ToWide(CP_GBK, all);
  ASSERT_EQ(wide.size(), all.size() / 2);  // one unit a pair, mapped or not
  size_t mapped = 0;
  for (size_t i = 0; i < wide.size(); ++i) {
    if (wide[i] == 0xFFFD) continue;
    ++mapped;
    EXPECT_EQ(ToNarrow(CP_GBK, std::u16string(1, wide[i])), all.substr(2 * i, 2)) << i;
  }
  EXPECT_GT(mapped, 21000u);  // GBK maps 21886 double-byte characters
}

struct TextConversionRow {
  const char* name;
  std::string input;
  std::string output;
};

TEST(Conversions, AnsiToWide) {
  EXPECT_EQ(AnsiToWide(Text()).str(), std::string("\0\0", 2));
  EXPECT_EQ(AnsiToWide("A").str(), std::string("A\0\0\0", 4));
  EXPECT_EQ(AnsiToWide("\xC4\xE3").str(), std::string("\x60\x4F\0\0", 4));
  EXPECT_EQ(AnsiToWide("\xE4\xBD\xA0", 65001).str(), std::string("\x60\x4F\0\0", 4));
  EXPECT_EQ(AnsiToWide("x", 1252).str(), std::string("\0\0", 2));  // refused: the zero unit alone
}

TEST(Conversions, WideToAnsi) {
  EXPECT_EQ(WideToAnsi(Bytes(std::string("\x60\x4F\0\0", 4))).str(), "\xC4\xE3");
  EXPECT_EQ(WideToAnsi(Bytes(std::string("A\0\0\0B\0", 6))).str(), "A");
  EXPECT_EQ(WideToAnsi(Bytes(std::string("A", 1))), Text());
  EXPECT_EQ(WideToAnsi(Bytes(std::string("A\0B", 3))).str(), "A");  // odd last byte ignored
  EXPECT_EQ(WideToAnsi(Bytes()), Text());
  EXPECT_EQ(WideToAnsi(Bytes(std::string("\x60\x4F", 2)), 65001).str(), "\xE4\xBD\xA0");
}

TEST(Conversions, CodePageToWideEndsInOneZeroUnit) {
  EXPECT_EQ(CodePageToWide(Text()).str(), std::string("\0\0", 2));
  EXPECT_EQ(CodePageToWide("\xE4\xBD\xA0").str(), std::string("\x60\x4F\0\0", 4));
  EXPECT_EQ(CodePageToWide("\xC4\xE3", 936).str(), std::string("\x60\x4F\0\0", 4));
}

TEST(Conversions, WideToCodePage) {
  EXPECT_EQ(WideToCodePage(Bytes()), Text());
  EXPECT_EQ(WideToCodePage(Bytes(std::string("\x60\x4F\0\0", 4))).str(), "\xC4\xE3");
  EXPECT_EQ(WideToCodePage(Bytes(std::string("a\0\0\0b\0", 6))).str(), "a");
  // A value without a zero unit is converted whole, not read past its end.
  EXPECT_EQ(WideToCodePage(Bytes(std::string("a\0b\0", 4))).str(), "ab");
}

TEST(Conversions, GbkAndUtf8) {
  const TextConversionRow toUtf8[] = {
      {"ni", "\xC4\xE3", "\xE4\xBD\xA0"},
      {"ascii", "Hello, world!", "Hello, world!"},
      {"empty", "", ""},
      {"euro", "\x80", "\xE2\x82\xAC"},
      {"lone lead", "a\xC4", "a\xEF\xBF\xBD"},
  };
  for (const auto& row : toUtf8) EXPECT_EQ(GbkToUtf8(row.input).str(), row.output) << row.name;
  const TextConversionRow toGbk[] = {
      {"ni", "\xE4\xBD\xA0", "\xC4\xE3"},
      {"ascii", "Hello, world!", "Hello, world!"},
      {"empty", "", ""},
      {"invalid replaced, not emptied",
       "a\xFF"
       "b",
       "a?b"},
      {"unmappable in place", "x\xE0\xB8\x81y", "x?y"},
      {"emoji", "\xE4\xBD\xA0\xF0\x9F\x98\x80\xE4\xBD\xA0", "\xC4\xE3?\xC4\xE3"},
      {"truncated at the end", "ok\xE4\xBD", "ok?"},
  };
  for (const auto& row : toGbk) EXPECT_EQ(Utf8ToGbk(row.input).str(), row.output) << row.name;
}

// A mixed file of ASCII lines and Chinese text, through UTF-8 and back.
TEST(Conversions, MixedFileRoundTrip) {
  std::mt19937 random(7);
  std::string file;
  while (file.size() < 200000) {
    if (random() % 3 == 0) {
      file += "line " + std::to_string(random() % 1000) + ": ASCII text, \"quoted\" & 100%\r\n";
    } else {
      int lead = 0xB0 + static_cast<int>(random() % 0x28);  // the common hanzi rows
      int trail = 0xA1 + static_cast<int>(random() % 0x5E);
      file.push_back(static_cast<char>(lead));
      file.push_back(static_cast<char>(trail));
    }
  }
  // Row 0xD7 ends at 0xF9; the rest of it is unassigned and would not survive.
  for (size_t i = 0; i + 1 < file.size();) {
    auto lead = static_cast<uint8_t>(file[i]);
    if (lead < 0x80) {
      ++i;
      continue;
    }
    if (lead == 0xD7 && static_cast<uint8_t>(file[i + 1]) > 0xF9)
      file[i + 1] = static_cast<char>(0xA1);
    i += 2;
  }
  Text utf8 = GbkToUtf8(file);
  EXPECT_GT(utf8.size(), static_cast<int>(file.size()));
  EXPECT_EQ(Utf8ToGbk(utf8).str(), file);
  Bytes wide = AnsiToWide(file);
  EXPECT_EQ(WideToAnsi(wide).str(), file);
}

}  // namespace
