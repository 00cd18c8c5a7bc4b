// UTF-8 <-> UTF-16 conversion for the edit box: SDL and Pango speak UTF-8,
// the box keeps UTF-16. Malformed input never stops a conversion: each bad
// sequence or lone surrogate becomes U+FFFD, so text always reaches the screen.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace exdui {

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// Byte offset in Utf16ToUtf8(text) of the code unit at `unit` (clamped to the text).
size_t Utf8OffsetOfUnit(std::u16string_view text, size_t unit);
// Code unit of `text` whose UTF-8 form begins at or contains `offset`.
size_t UnitOfUtf8Offset(std::u16string_view text, size_t offset);
// Number of code units of the first `codePoints` code points of `text`.
size_t UnitsOfCodePoints(std::u16string_view text, size_t codePoints);

inline bool IsHighSurrogate(char16_t u) {
  return u >= 0xD800 && u <= 0xDBFF;
}
inline bool IsLowSurrogate(char16_t u) {
  return u >= 0xDC00 && u <= 0xDFFF;
}

}  // namespace exdui
