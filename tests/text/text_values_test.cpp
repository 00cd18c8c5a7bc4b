// The value types and the byte-counting primitives.
#include <climits>

#include <gtest/gtest.h>

#include "text/text.h"

namespace {

TEST(TextValue, CutsAtTheFirstZeroByte) {
  EXPECT_EQ(Text(std::string_view("ab\0c", 4)).str(), "ab");
  EXPECT_EQ(Text(std::string("\0x", 2)).str(), "");
  std::string owned("q\0r", 3);
  EXPECT_EQ(Text(std::move(owned)).str(), "q");
  EXPECT_EQ(Text(static_cast<const char*>(nullptr)).str(), "");
}

TEST(TextValue, NeverAssignedIsTheEmptyText) {
  Text never;
  EXPECT_EQ(TextLength(never), 0);
  EXPECT_EQ(CompareText(never, ""), 0);
  EXPECT_EQ(TextData(never), nullptr);
  EXPECT_STREQ(never.c_str(), "");
  EXPECT_STREQ(TextData(Text("a")), "a");
}

TEST(TextBasics, LengthCountsBytes) {
  EXPECT_EQ(TextLength("\xC4\xE3"
                       "a"),
            3);
  EXPECT_EQ(TextLength(""), 0);
}

TEST(TextBasics, Concat) {
  EXPECT_EQ(ConcatText(Text(), Text()), Text());
  EXPECT_EQ(ConcatText(Text("a"), Text("\xC4"), "\xE3", std::string("z")).str(), "a\xC4\xE3z");
}

struct CompareRow {
  const char* a;
  const char* b;
  int sign;
};

TEST(TextBasics, CompareIsUnsignedByteOrder) {
  const CompareRow rows[] = {
      {"", "", 0},      {"a", "a", 0},     {"a", "b", -1},
      {"b", "a", 1},    {"ab", "abc", -1}, {"abc", "ab", 1},
      {"\x80", "a", 1}, {"a", "\xFF", -1}, {"\xC4\xE3", "\xC4\xE4", -1},
  };
  for (const auto& row : rows) {
    int r = CompareText(row.a, row.b);
    EXPECT_EQ((r > 0) - (r < 0), row.sign) << row.a << " vs " << row.b;
  }
}

struct CutRow {
  const char* text;
  int start;  // TextMid only
  int n;
  const char* left;
  const char* right;
  const char* mid;
};

TEST(TextBasics, LeftRightMidLimitTheirCounts) {
  const CutRow rows[] = {
      {"abc", 3, 5, "abc", "abc", "c"},
      {"abc", 4, 1, "a", "c", ""},
      {"abc", 0, 2, "ab", "bc", ""},
      {"abc", 1, 0, "", "", ""},
      {"abc", 1, -1, "", "", ""},
      {"abc", 2, INT_MAX, "abc", "abc", "bc"},
      {"abc", INT_MAX, INT_MAX, "abc", "abc", ""},
      {"abc", INT_MIN, INT_MIN, "", "", ""},
      {"", 1, 1, "", "", ""},
      // Byte counting may cut a double-byte character in two.
      {"\xC4\xE3z", 2, 1, "\xC4", "z", "\xE3"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(TextLeft(row.text, row.n).str(), row.left) << row.text << " " << row.n;
    EXPECT_EQ(TextRight(row.text, row.n).str(), row.right) << row.text << " " << row.n;
    EXPECT_EQ(TextMid(row.text, row.start, row.n).str(), row.mid)
        << row.text << " " << row.start << " " << row.n;
  }
}

TEST(TextBasics, BlankText) {
  EXPECT_EQ(BlankText(3).str(), "   ");
  EXPECT_EQ(BlankText(0), Text());
  EXPECT_EQ(BlankText(INT_MIN), Text());
}

TEST(Characters, CharCodeIsSignedFirstByte) {
  EXPECT_EQ(CharCode("\xB0"), -80);
  EXPECT_EQ(CharCode("A"), 65);
  EXPECT_EQ(CharCode("\x7F"), 127);
  EXPECT_EQ(CharCode("\x80"), -128);
  EXPECT_EQ(CharCode(""), 0);
}

TEST(Characters, CharFromCodeTakesTheLowByte) {
  EXPECT_EQ(CharFromCode(0), Text());
  EXPECT_EQ(CharFromCode(0x141).str(), "A");
  EXPECT_EQ(CharFromCode(0x100), Text());
  EXPECT_EQ(CharFromCode(-1).str(), "\xFF");
  EXPECT_EQ(CharFromCode(INT_MIN), Text());
}

TEST(Characters, ToHexText) {
  const std::pair<int32_t, const char*> rows[] = {
      {0, "0"}, {15, "F"}, {255, "FF"}, {0x1A2B, "1A2B"}, {-1, "FFFFFFFF"}, {INT_MIN, "80000000"},
  };
  for (const auto& [value, hex] : rows) EXPECT_EQ(ToHexText(value).str(), hex) << value;
}

TEST(Characters, TextToInt) {
  const std::pair<const char*, int> rows[] = {
      {"\xA3\xB8\xA3\xB0", 80},  // full-width 8 0
      {"80/x", 80},
      {"", 0},
      {"abc", 0},
      {"  \t\r\n\v\f42", 42},
      {"-17", -17},
      {"+5", 5},
      {"--5", 0},
      {"\xA3\xAD\xA3\xB3", -3},  // full-width minus 3
      {"\xA1\xA1"
       "7",
       7},  // full-width space
      {"\xA3\xAB"
       "9",
       9},  // full-width plus
      {"2147483647", INT_MAX},
      {"2147483648", INT_MAX},  // beyond the range: limited
      {"-2147483648", INT_MIN},
      {"-99999999999999999999", INT_MIN},
      {"12\xA3\xB3", 123},
      {"\xB0\xA3\xB3", 0},  // 0xA3 here is a trail byte, not a full-width lead
      {"7\xC4", 7},
  };
  for (const auto& [text, value] : rows) EXPECT_EQ(TextToInt(text), value) << text;
}

TEST(Characters, IntegerDivideCutsTowardZero) {
  EXPECT_EQ(IntegerDivide(7, 2), 3);
  EXPECT_EQ(IntegerDivide(-7, 2), -3);
  EXPECT_EQ(IntegerDivide(7.9, 1), 7);
}

TEST(Characters, BitOrAndRoutineAddress) {
  EXPECT_EQ(BitOr(1, 2), 3);
  EXPECT_EQ(BitOr(1, 2, 4, 0x40000000), 0x40000007);
  EXPECT_EQ(BitOr(INT_MIN, 1), INT_MIN | 1);
  EXPECT_EQ(RoutineAddress(&TextLength), reinterpret_cast<intptr_t>(&TextLength));
  EXPECT_NE(RoutineAddress(&TextLength), 0);
}

TEST(BytesValue, DataIsNullForEmpty) {
  Bytes empty;
  EXPECT_EQ(BytesData(empty), nullptr);
  EXPECT_EQ(BytesLength(empty), 0);
  Bytes one("x", 1);
  EXPECT_EQ(BytesData(one)[0], 'x');
  EXPECT_EQ(Bytes(nullptr, 5), Bytes());
  EXPECT_EQ(Bytes("abc", -1), Bytes());
}

TEST(BytesValue, BlankBytesAreZero) {
  Bytes blank = BlankBytes(3);
  EXPECT_EQ(blank.str(), std::string(3, '\0'));
  EXPECT_EQ(BlankBytes(-3), Bytes());
}

struct BytesCutRow {
  int start;
  int n;
  std::string mid;
};

TEST(BytesValue, MidAndLeftLimit) {
  Bytes five("12345", 5);
  const BytesCutRow rows[] = {
      {4, 10, "45"},
      {1, 5, "12345"},
      {0, 2, "12"},
      {-5, 2, "12"},
      {6, 1, ""},
      {2, -1, ""},
      {INT_MIN, INT_MAX, "12345"},
      {INT_MAX, INT_MAX, ""},
      {3, INT_MAX, "345"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(BytesMid(five, row.start, row.n).str(), row.mid) << row.start << " " << row.n;
  }
  EXPECT_EQ(BytesLeft(five, 2).str(), "12");
  EXPECT_EQ(BytesLeft(five, 99).str(), "12345");
  EXPECT_EQ(BytesLeft(five, -1), Bytes());
}

TEST(BytesValue, ConcatCompareAndConvert) {
  Bytes a("a\0", 2), b("b", 1);
  EXPECT_EQ(ConcatBytes(a, b).str(), std::string("a\0b", 3));
  EXPECT_EQ(CompareBytes(Bytes(), Bytes()), 0);
  EXPECT_EQ(CompareBytes(a, Bytes("a\0", 2)), 0);
  EXPECT_NE(CompareBytes(a, Bytes("a", 1)), 0);
  EXPECT_NE(CompareBytes(a, b), 0);
  EXPECT_EQ(BytesToText(Bytes("ab\0c", 4)).str(), "ab");
  EXPECT_EQ(BytesToText(Bytes("abc", 3)).str(), "abc");
  EXPECT_EQ(TextToBytes("\xC4\xE3").str(), "\xC4\xE3");
  EXPECT_EQ(TextToBytes(Text()), Bytes());
  EXPECT_EQ(ByteAt(Bytes("\x01\xFF", 2), 2), 0xFF);
  EXPECT_EQ(ByteAt(Bytes("\x01\xFF", 2), 3), 0);  // outside: 0, not a read past the end
  EXPECT_EQ(ByteAt(Bytes("\x01\xFF", 2), 0), 0);
}

TEST(Lists, OneBasedAccessAndAppendCopies) {
  TextArray list;
  EXPECT_EQ(ArraySize(list), 0);
  Text item("x");
  ArrayAppend(list, item);
  ArrayAppend(list, "y");
  item = "changed";
  EXPECT_EQ(ArraySize(list), 2);
  EXPECT_EQ(ArrayElement(list, 1).str(), "x");
  EXPECT_EQ(ArrayElement(list, 2).str(), "y");
  EXPECT_EQ(ArrayElement(list, 0), Text());
  EXPECT_EQ(ArrayElement(list, 3), Text());
}

struct ColorRow {
  uint32_t color;
  int32_t alpha;
  int32_t useAlpha;
  uint32_t argb;
};

TEST(Colors, ColorToArgb) {
  const ColorRow rows[] = {
      {0xFFFFFF, 0, 0, 0xFFFFFFFF},
      {0xFF8800, 0, 1, 0x000088FF},
      {0x7D491A, 255, 1, 0xFF1A497D},
      {0xAB123456, 0x180, 1, 0x80563412},  // top byte of the colour and high alpha bits ignored
      {0x000000, 7, 0, 0xFF000000},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(ColorToArgb(row.color, row.alpha, row.useAlpha), row.argb) << std::hex << row.color;
  }
}

}  // namespace
