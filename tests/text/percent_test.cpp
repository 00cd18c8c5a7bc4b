// Percent coding and the extraction of text between markers.
#include <climits>

#include <gtest/gtest.h>

#include "text/text.h"

namespace {

struct EncodeRow {
  std::string text;
  bool keep;
  bool utf8;
  std::string encoded;
};

TEST(PercentEncode, Table) {
  const EncodeRow rows[] = {
      {"hi", false, true, "%68%69"},
      {"\xC4\xE3", false, true, "%E4%BD%A0"},
      {" ", false, true, "%20"},
      {"", false, true, ""},
      {"", true, false, ""},
      {"a-b_c.~/", true, false, "a-b%5Fc.%7E%2F"},
      {"\xC4\xE3", true, false, "%C4%E3"},
      {"\n", true, false, "%0A"},
      {"AZaz09", true, false, "AZaz09"},
      {"AZaz09", false, false, "%41%5A%61%7A%30%39"},
      {"\x7F\x80\xFF", true, true, "%7F%E2%82%AC%EF%BF%BD"},  // euro, then a bad 0xFF
  };
  for (const auto& row : rows) {
    EXPECT_EQ(PercentEncode(row.text, row.keep, row.utf8).str(), row.encoded) << row.text;
  }
}

struct DecodeRow {
  std::string text;
  bool utf8;
  std::string decoded;
};

TEST(PercentDecode, Table) {
  const DecodeRow rows[] = {
      {"%E4%BD%A0", true, "\xC4\xE3"},
      {"%e4%bd%a0", true, "\xC4\xE3"},
      {"a+b", true, "a+b"},
      {"100%", false, "100"},
      {"x%7", false, "xp"},
      {"%00x", false, "x"},
      {"%zz", false, "\xDE"},
      {"%41%42", false, "AB"},
      {"%4", false, "@"},  // 16 * 4 + 0
      {"%%41", false,
       "\xE4"
       "1"},  // "%%4": 16 * -2 + 4, then "1"
      {"", false, ""},
      {"%", true, ""},
      {"%F0%9F%98%80!", true, "?!"},
      {"plain", true, "plain"},
      {"%C4", false, "\xC4"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(PercentDecode(row.text, row.utf8).str(), row.decoded) << row.text;
}

TEST(PercentDecode, ALiteralPercentEatsTheTwoBytesAfterIt) {
  // "50%ok": "%ok" reads 'o' and 'k' as digits worth -2 each.
  EXPECT_EQ(PercentDecode("50%ok").str(), "50\xDE");
}

TEST(Percent, RoundTripOfEveryByte) {
  std::string all;
  for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(PercentDecode(PercentEncode(all)).str(), all);
  EXPECT_EQ(PercentDecode(PercentEncode(all, true)).str(), all);
}

struct BetweenRow {
  const char* name;
  std::string text;
  std::string startMarker;
  std::string endMarker;
  int start;
  bool ignoreCase;
  std::string result;
};

TEST(TextBetween, Table) {
  const std::string reply = "{\"code\": 0, \"text\": \"hi\", \"type\": \"chat\"}";
  const BetweenRow rows[] = {
      {"reply", reply, "\"text\": \"", "\"", 1, false, "hi"},
      {"no start marker", reply, "\"answer\": \"", "\"", 1, false, ""},
      {"no end marker after it", "\"text\": \"hi", "\"text\": \"", "\"", 1, false, ""},
      {"escaped quote ends the answer", "\"text\": \"say \\\"x\\\"\"", "\"text\": \"", "\"", 1,
       false, "say \\"},
      {"empty start marker", "abc;def", "", ";", 1, false, "abc"},
      {"empty end marker", "abc;def", "a", "", 1, false, ""},
      {"quote word", "x\"a\"yz\"",
       "#\xD2\xFD\xBA\xC5"
       "a#\xD2\xFD\xBA\xC5",
       "z", 1, false, "y"},
      {"quote word in the end marker", "k=\"v\"", "=#\xD2\xFD\xBA\xC5", "#\xD2\xFD\xBA\xC5", 1,
       false, "v"},
      {"user agent", "Accept: */*\r\nUser-Agent: X\r\n", "User-Agent:", "\r\n", 1, false, " X"},
      {"host", "https://example.org/path", "https://", "/", 1, false, "example.org"},
      {"from a later start", "[a][b]", "[", "]", 2, false, "b"},
      {"start beyond the text", "[a]", "[", "]", 99, false, ""},
      {"negative start", "[a]", "[", "]", INT_MIN, false, "a"},
      {"ignore case", "<B>x</b>", "<b>", "</B>", 1, true, "x"},
      {"case matters", "<B>x</b>", "<b>", "</B>", 1, false, ""},
      {"trail byte is no start marker", "\xC4[x][y]", "[", "]", 1, false, "y"},
      {"trail byte is no end marker", "[x\xB0]y]", "[", "]", 1, false, "x\xB0]y"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(
        TextBetween(row.text, row.startMarker, row.endMarker, row.start, row.ignoreCase).str(),
        row.result)
        << row.name;
  }
}

}  // namespace
