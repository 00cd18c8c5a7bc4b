// The theme: colours and metrics of the library's own elements. Ex_Init parses
// the package it is given; whatever is missing or unreadable keeps the
// built-in value, so a theme is always complete.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace exdui {

struct Theme {
  uint32_t windowBackground = 0xFFFFFFFF;
  uint32_t captionBackground = 0xFF0088FF;
  uint32_t captionText = 0xFFFFFFFF;
  int32_t captionHeight = 42;
  int32_t captionTitleSize = 14;  // pixels
  int32_t captionTitleLeft = 12;
  int32_t buttonWidth = 42;
  uint32_t buttonGlyph = 0xFFFFFFFF;
  uint32_t buttonHover = 0x33FFFFFF;
  uint32_t buttonPressed = 0x66FFFFFF;
  uint32_t buttonCloseHover = 0xFFE81123;
  int32_t scrollBarWidth = 12;
  uint32_t scrollBarTrack = 0x14000000;
  uint32_t scrollBarThumb = 0x66000000;
  uint32_t scrollBarThumbHover = 0x88000000;
  uint32_t scrollBarThumbPressed = 0xAA000000;
  int32_t scrollBarMinThumb = 24;
  uint32_t editText = 0xFF000000;
  uint32_t editCaret = 0xFF000000;
  int32_t editCaretWidth = 1;
  int32_t editCaretBlink = 530;  // milliseconds per phase; 0 keeps the caret on
  uint32_t editSelection = 0xFF3399FF;
  uint32_t editSelectionText = 0xFFFFFFFF;
  uint32_t editComposition = 0xFF3399FF;
  int32_t editPadding = 8;
  std::string fontFamily = "Microsoft YaHei,WenQuanYi Micro Hei,Noto Sans CJK SC,sans-serif";
  int32_t fontSize = 14;  // pixels
  int32_t resizeBorder = 5;
};

enum class ThemeStatus { Loaded, Empty, Truncated, Corrupt };

// Reads a package into *theme. Only a package that is sound as a whole is
// taken; otherwise *theme is reset to the built-in values. Never reads
// outside [data, data + length).
ThemeStatus ParseTheme(const void* data, size_t length, Theme* theme);

// The theme in force (built-in values until Ex_Init loads one).
const Theme& CurrentTheme();
void SetCurrentTheme(const Theme& theme);

}  // namespace exdui
