#include "directui/edit_utf.h"

namespace exdui {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Length in units of the code point starting at `i`: 2 for a proper pair, else 1.
size_t UnitsAt(std::u16string_view text, size_t i) {
  if (i + 1 < text.size() && IsHighSurrogate(text[i]) && IsLowSurrogate(text[i + 1])) return 2;
  return 1;
}

// Bytes of the UTF-8 form of the code point starting at `i` (lone surrogates
// turn into U+FFFD, three bytes).
size_t Utf8BytesAt(std::u16string_view text, size_t i) {
  char16_t u = text[i];
  if (u < 0x80) return 1;
  if (u < 0x800) return 2;
  if (UnitsAt(text, i) == 2) return 4;
  return 3;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

void AppendUtf16(std::u16string& out, char32_t cp) {
  if (cp < 0x10000) {
    out += static_cast<char16_t>(cp);
  } else {
    cp -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (cp >> 10));
    out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
  }
}

bool IsContinuation(unsigned char b) {
  return (b & 0xC0) == 0x80;
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    unsigned char b = static_cast<unsigned char>(utf8[i]);
    size_t need;
    char32_t cp;
    char32_t min;
    if (b < 0x80) {
      out += static_cast<char16_t>(b);
      ++i;
      continue;
    } else if (b >= 0xC2 && b <= 0xDF) {
      need = 1, cp = b & 0x1F, min = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
      need = 2, cp = b & 0x0F, min = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
      need = 3, cp = b & 0x07, min = 0x10000;
    } else {
      out += static_cast<char16_t>(kReplacement);
      ++i;
      continue;
    }
    // Take as many continuation bytes as fit; a short or invalid sequence
    // becomes one U+FFFD and decoding resumes at the first byte not taken.
    size_t j = 1;
    while (j <= need && i + j < utf8.size() &&
           IsContinuation(static_cast<unsigned char>(utf8[i + j]))) {
      cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + j]) & 0x3F);
      ++j;
    }
    if (j <= need || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      out += static_cast<char16_t>(kReplacement);
      i += j;
      continue;
    }
    AppendUtf16(out, cp);
    i += j;
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size() * 3);
  for (size_t i = 0; i < utf16.size();) {
    size_t n = UnitsAt(utf16, i);
    char32_t cp = utf16[i];
    if (n == 2) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = kReplacement;
    }
    AppendUtf8(out, cp);
    i += n;
  }
  return out;
}

size_t Utf8OffsetOfUnit(std::u16string_view text, size_t unit) {
  size_t offset = 0;
  for (size_t i = 0; i < text.size() && i < unit;) {
    offset += Utf8BytesAt(text, i);
    i += UnitsAt(text, i);
  }
  return offset;
}

size_t UnitOfUtf8Offset(std::u16string_view text, size_t offset) {
  size_t bytes = 0;
  size_t i = 0;
  while (i < text.size()) {
    size_t next = bytes + Utf8BytesAt(text, i);
    if (next > offset) break;
    bytes = next;
    i += UnitsAt(text, i);
  }
  return i;
}

size_t UnitsOfCodePoints(std::u16string_view text, size_t codePoints) {
  size_t i = 0;
  for (size_t n = 0; n < codePoints && i < text.size(); ++n) i += UnitsAt(text, i);
  return i;
}

}  // namespace exdui
