// Random bytes, positions and counts through every primitive: under the
// sanitizer build any read or write outside a buffer fails the test.
#include <climits>
#include <random>

#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "text/text.h"

namespace {

class BadInput : public ::testing::Test {
 protected:
  std::string RandomBytes(size_t maxLength) {
    size_t n = random_() % (maxLength + 1);
    std::string s(n, '\0');
    for (char& c : s) c = static_cast<char>(random_() % 255 + 1);  // Text holds no zero byte
    return s;
  }
  int RandomNumber() {
    static const int kEdges[] = {INT_MIN, INT_MIN + 1, -1, 0, 1, 2, 3, INT_MAX - 1, INT_MAX};
    if (random_() % 2 == 0) return kEdges[random_() % (sizeof kEdges / sizeof kEdges[0])];
    return static_cast<int>(random_() % 40) - 5;
  }
  std::mt19937 random_{2024};
};

TEST_F(BadInput, TextPrimitivesStayInsideTheirBuffers) {
  for (int round = 0; round < 4000; ++round) {
    Text t = RandomBytes(40), s = RandomBytes(4);
    int a = RandomNumber(), b = RandomNumber();
    bool flag = random_() % 2 == 0;
    EXPECT_LE(TextLeft(t, a).size(), t.size());
    EXPECT_LE(TextRight(t, a).size(), t.size());
    EXPECT_LE(TextMid(t, a, b).size(), t.size());
    int found = FindText(t, s, a, flag);
    EXPECT_TRUE(found == -1 || (found >= 1 && found <= t.size() + 1));
    int back = FindTextReverse(t, s, a, flag);
    EXPECT_TRUE(back == -1 || (back >= 1 && back <= t.size()));
    ReplaceText(t, s, RandomBytes(3), a, b, flag);
    ReplaceText(t, s, RandomBytes(3), a, std::nullopt, flag);
    SplitText(t, s);
    TrimText(t);
    ToUpperCase(t);
    ToLowerCase(t);
    EXPECT_LE(TextLeftOfMarker(t, s, a, flag).size(), t.size());
    TextBetween(t, s, RandomBytes(2), a, flag);
    PercentDecode(t, flag);
    PercentEncode(t, flag, !flag);
    TextToInt(t);
    CharCode(t);
    Bytes bytes(t.str());
    EXPECT_LE(BytesMid(bytes, a, b).size(), bytes.size());
    EXPECT_LE(BytesLeft(bytes, a).size(), bytes.size());
    ByteAt(bytes, a);
  }
}

TEST_F(BadInput, ConversionsOfRandomBytesAgreeAndStayInside) {
  for (int round = 0; round < 3000; ++round) {
    std::string raw = RandomBytes(48);
    Text t(raw);
    Text utf8 = GbkToUtf8(t);
    Text gbk = Utf8ToGbk(t);
    AnsiToWide(t);
    AnsiToWide(t, 65001);
    EXPECT_EQ(CodePageToWide(t).size() % 2, 0);
    // Any bytes as UTF-16, odd lengths and missing terminators included.
    Bytes wide(raw.data(), static_cast<int>(raw.size()));
    WideToAnsi(wide);
    WideToAnsi(wide, 65001);
    WideToCodePage(wide);
    WideToCodePage(wide, 65001);
    // Counting and converting agree for every length, and a one-unit
    // smaller buffer fails without writing past it.
    for (UINT page : {CP_GBK, CP_UTF8}) {
      if (raw.empty()) continue;
      int n = MultiByteToWideChar(page, 0, raw.data(), static_cast<int>(raw.size()), nullptr, 0);
      ASSERT_GT(n, 0);
      std::u16string out(static_cast<size_t>(n), u'\0');
      ASSERT_EQ(
          MultiByteToWideChar(page, 0, raw.data(), static_cast<int>(raw.size()), out.data(), n), n);
      if (n > 1) {  // a size of 0 would only count
        std::vector<WCHAR> small(static_cast<size_t>(n), 0x7777);
        EXPECT_EQ(MultiByteToWideChar(page, 0, raw.data(), static_cast<int>(raw.size()),
                                      small.data(), n - 1),
                  0);
        EXPECT_EQ(small.back(), 0x7777);
      }
      int m = WideCharToMultiByte(page, 0, out.data(), n, nullptr, 0, nullptr, nullptr);
      ASSERT_GT(m, 0);
      std::string back(static_cast<size_t>(m), '\0');
      ASSERT_EQ(WideCharToMultiByte(page, 0, out.data(), n, back.data(), m, nullptr, nullptr), m);
    }
  }
}

TEST_F(BadInput, SeveralMebibytesWithALoneLeadByteAtTheEnd) {
  std::string big;
  big.reserve(4 << 20);
  int blocks = 0;
  for (; big.size() < (4u << 20); ++blocks)
    big +=
        "\xC4\xE3"
        "ab;\xB0\xA1 x";
  big += "\xC4";
  Text t(big);
  EXPECT_EQ(FindText(t, "zz"), -1);
  EXPECT_EQ(FindText(t, "\xC4", t.size()), t.size());
  EXPECT_EQ(FindTextReverse(t, "\xC4"), t.size());
  EXPECT_EQ(ReplaceText(t, ";", ",").size(), t.size() - 1);  // the lone lead byte is dropped
  EXPECT_EQ(ArraySize(SplitText(t, ";")), blocks + 1);
  EXPECT_EQ(TrimText(t).size(), t.size() - 1);
  EXPECT_EQ(Utf8ToGbk(GbkToUtf8(TextLeft(t, t.size() - 1))).size(), t.size() - 1);
  EXPECT_EQ(PercentDecode(PercentEncode(t)).size(), t.size());
}

}  // namespace
