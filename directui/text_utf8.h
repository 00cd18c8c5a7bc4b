// UTF-16 texts as the drawing calls take them, turned into the UTF-8 that
// Pango lays out.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace exdui {

// The most UTF-16 code units of one text that measuring and drawing look at;
// the rest of a longer text is ignored.
constexpr int32_t kMaxTextUnits = 1 << 20;

// The text a drawing call means: up to its first NUL, at most `length` units
// when length >= 0, never more than kMaxTextUnits. A null text is empty.
std::u16string_view TextView(const char16_t* text, int32_t length);

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD. With lineBreaksAsSpaces
// CR, LF and the Unicode line and paragraph separators become spaces.
std::string Utf16ToUtf8(std::u16string_view text, bool lineBreaksAsSpaces = false);

}  // namespace exdui
