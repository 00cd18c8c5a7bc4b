#include "directui/text_utf8.h"

namespace exdui {

std::u16string_view TextView(const char16_t* text, int32_t length) {
  if (text == nullptr || length == 0) return {};
  const int32_t limit = (length < 0 || length > kMaxTextUnits) ? kMaxTextUnits : length;
  int32_t n = 0;
  while (n < limit && text[n] != 0) ++n;
  return {text, static_cast<size_t>(n)};
}

namespace {

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

bool IsLineBreak(char32_t c) {
  return c == u'\r' || c == u'\n' || c == 0x2028 || c == 0x2029;
}

}  // namespace

std::string Utf16ToUtf8(std::u16string_view text, bool lineBreaksAsSpaces) {
  std::string out;
  out.reserve(text.size() * 3);
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    if (lineBreaksAsSpaces && IsLineBreak(c)) c = u' ';
    AppendUtf8(out, c);
  }
  return out;
}

}  // namespace exdui
