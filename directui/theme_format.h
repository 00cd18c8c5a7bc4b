// The theme package's binary layout, shared by the library's parser and the
// build's packer (resources/theme/pack_theme.cpp).
//
//   offset  size  field
//   0       4     magic "EXPK"
//   4       2     format version, 1 (all integers little-endian)
//   6       2     number of entries
//   8       4     body length in bytes
//   12      4     CRC-32 (IEEE 802.3) of the body
//   16      ...   body: the entries, back to back, and nothing after them
//
// An entry: key (2 bytes), type (1), reserved 0 (1), value length (2), value.
// Types: 1 colour (4 bytes, 0xAARRGGBB), 2 integer (4 bytes, signed),
// 3 text (UTF-8, 1 to 255 bytes, no NUL).
#pragma once

#include <cstddef>
#include <cstdint>

namespace exdui {

constexpr char kThemeMagic[4] = {'E', 'X', 'P', 'K'};
constexpr uint16_t kThemeVersion = 1;
constexpr size_t kThemeHeaderSize = 16;
constexpr size_t kThemeEntryHeaderSize = 6;

enum class ThemeType : uint8_t { Colour = 1, Integer = 2, Text = 3 };

enum class ThemeKey : uint16_t {
  WindowBackground = 1,
  CaptionBackground,
  CaptionText,
  CaptionHeight,
  CaptionTitleSize,
  CaptionTitleLeft,
  ButtonWidth,
  ButtonGlyph,
  ButtonHover,
  ButtonPressed,
  ButtonCloseHover,
  ScrollBarWidth,
  ScrollBarTrack,
  ScrollBarThumb,
  ScrollBarThumbHover,
  ScrollBarThumbPressed,
  ScrollBarMinThumb,
  EditText,
  EditCaret,
  EditCaretWidth,
  EditCaretBlink,
  EditSelection,
  EditSelectionText,
  EditComposition,
  EditPadding,
  FontFamily,
  FontSize,
  ResizeBorder,
};

struct ThemeKeyInfo {
  ThemeKey key;
  const char* name;  // as written in the package's source
  ThemeType type;
  int32_t minValue;  // integers outside [minValue, maxValue] are ignored
  int32_t maxValue;
};

inline constexpr ThemeKeyInfo kThemeKeys[] = {
    {ThemeKey::WindowBackground, "window.background", ThemeType::Colour, 0, 0},
    {ThemeKey::CaptionBackground, "caption.background", ThemeType::Colour, 0, 0},
    {ThemeKey::CaptionText, "caption.text", ThemeType::Colour, 0, 0},
    {ThemeKey::CaptionHeight, "caption.height", ThemeType::Integer, 16, 120},
    {ThemeKey::CaptionTitleSize, "caption.title-size", ThemeType::Integer, 6, 64},
    {ThemeKey::CaptionTitleLeft, "caption.title-left", ThemeType::Integer, 0, 200},
    {ThemeKey::ButtonWidth, "button.width", ThemeType::Integer, 16, 120},
    {ThemeKey::ButtonGlyph, "button.glyph", ThemeType::Colour, 0, 0},
    {ThemeKey::ButtonHover, "button.hover", ThemeType::Colour, 0, 0},
    {ThemeKey::ButtonPressed, "button.pressed", ThemeType::Colour, 0, 0},
    {ThemeKey::ButtonCloseHover, "button.close-hover", ThemeType::Colour, 0, 0},
    {ThemeKey::ScrollBarWidth, "scrollbar.width", ThemeType::Integer, 4, 32},
    {ThemeKey::ScrollBarTrack, "scrollbar.track", ThemeType::Colour, 0, 0},
    {ThemeKey::ScrollBarThumb, "scrollbar.thumb", ThemeType::Colour, 0, 0},
    {ThemeKey::ScrollBarThumbHover, "scrollbar.thumb-hover", ThemeType::Colour, 0, 0},
    {ThemeKey::ScrollBarThumbPressed, "scrollbar.thumb-pressed", ThemeType::Colour, 0, 0},
    {ThemeKey::ScrollBarMinThumb, "scrollbar.min-thumb", ThemeType::Integer, 8, 200},
    {ThemeKey::EditText, "edit.text", ThemeType::Colour, 0, 0},
    {ThemeKey::EditCaret, "edit.caret", ThemeType::Colour, 0, 0},
    {ThemeKey::EditCaretWidth, "edit.caret-width", ThemeType::Integer, 1, 8},
    {ThemeKey::EditCaretBlink, "edit.caret-blink", ThemeType::Integer, 0, 5000},
    {ThemeKey::EditSelection, "edit.selection", ThemeType::Colour, 0, 0},
    {ThemeKey::EditSelectionText, "edit.selection-text", ThemeType::Colour, 0, 0},
    {ThemeKey::EditComposition, "edit.composition", ThemeType::Colour, 0, 0},
    {ThemeKey::EditPadding, "edit.padding", ThemeType::Integer, 0, 64},
    {ThemeKey::FontFamily, "font.family", ThemeType::Text, 1, 255},
    {ThemeKey::FontSize, "font.size", ThemeType::Integer, 6, 96},
    {ThemeKey::ResizeBorder, "window.resize-border", ThemeType::Integer, 0, 32},
};

inline const ThemeKeyInfo* FindThemeKey(uint16_t key) {
  for (const ThemeKeyInfo& info : kThemeKeys)
    if (static_cast<uint16_t>(info.key) == key) return &info;
  return nullptr;
}

// CRC-32 as in zlib and PNG (reflected polynomial 0xEDB88320).
inline uint32_t ThemeCrc32(const uint8_t* data, size_t length) {
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < length; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

}  // namespace exdui
