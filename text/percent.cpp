// Percent coding of query values and extraction of text between markers.
#include "text/text.h"

namespace {

// The value of one percent digit: 0-15, -2 for a byte that is no
// hexadecimal digit, 0 for a digit missing at the end of the text.
int DigitValue(const std::string& in, size_t i) {
  if (i >= in.size()) return 0;
  auto c = static_cast<uint8_t>(in[i]);
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -2;
}

bool IsUnreserved(uint8_t c) {
  return c == '-' || c == '.' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
         (c >= 'a' && c <= 'z');
}

}  // namespace

Text PercentEncode(const Text& text, bool keepUnreserved, bool encodeUtf8) {
  if (text.empty()) return Text();
  static const char kDigits[] = "0123456789ABCDEF";
  Text utf8;
  if (encodeUtf8) utf8 = GbkToUtf8(text);
  const std::string& in = encodeUtf8 ? utf8.str() : text.str();
  std::string out;
  out.resize(in.size() * 3);
  char* o = out.data();
  for (char ch : in) {
    auto c = static_cast<uint8_t>(ch);
    if (keepUnreserved && IsUnreserved(c)) {
      *o++ = ch;
    } else {
      o[0] = '%';
      o[1] = kDigits[c >> 4];
      o[2] = kDigits[c & 0xF];
      o += 3;
    }
  }
  out.resize(static_cast<size_t>(o - out.data()));
  return Text(std::move(out));
}

Text PercentDecode(const Text& text, bool decodeUtf8) {
  const std::string& in = text.str();
  std::string out;
  out.reserve(in.size());
  size_t n = in.size();
  for (size_t i = 0; i < n;) {
    if (in[i] != '%') {
      out.push_back(in[i++]);
      continue;
    }
    int value = 16 * DigitValue(in, i + 1) + DigitValue(in, i + 2);
    char byte = static_cast<char>(static_cast<uint32_t>(value) & 0xFF);
    if (byte != 0) out.push_back(byte);  // a zero byte cannot be part of a Text
    i += 3;
  }
  Text decoded(std::move(out));
  return decodeUtf8 ? Utf8ToGbk(decoded) : decoded;
}

Text TextBetween(const Text& text, const Text& startMarker, const Text& endMarker, int start,
                 bool ignoreCase) {
  // "#引号" (code page 936 bytes D2FD BAC5) stands for a double quote.
  const Text quoteWord("#\xD2\xFD\xBA\xC5");
  Text opening = ReplaceText(startMarker, quoteWord, "\"");
  Text closing = ReplaceText(endMarker, quoteWord, "\"");
  int p = FindText(text, opening, start, ignoreCase);
  if (p == -1) return Text();
  p += opening.size();  // the marker lies inside the text, so this stays in range
  int q = FindText(text, closing, p, ignoreCase);
  if (q == -1) return Text();
  return TextMid(text, p, q - p);
}
