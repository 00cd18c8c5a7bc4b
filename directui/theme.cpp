#include "directui/theme.h"

#include <cstring>

#include "directui/theme_format.h"

namespace exdui {
namespace {

uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t ReadU32(const uint8_t* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

// The field of the theme that a colour or integer key sets.
uint32_t* ColourField(Theme& t, ThemeKey key) {
  switch (key) {
    case ThemeKey::WindowBackground: return &t.windowBackground;
    case ThemeKey::CaptionBackground: return &t.captionBackground;
    case ThemeKey::CaptionText: return &t.captionText;
    case ThemeKey::ButtonGlyph: return &t.buttonGlyph;
    case ThemeKey::ButtonHover: return &t.buttonHover;
    case ThemeKey::ButtonPressed: return &t.buttonPressed;
    case ThemeKey::ButtonCloseHover: return &t.buttonCloseHover;
    case ThemeKey::ScrollBarTrack: return &t.scrollBarTrack;
    case ThemeKey::ScrollBarThumb: return &t.scrollBarThumb;
    case ThemeKey::ScrollBarThumbHover: return &t.scrollBarThumbHover;
    case ThemeKey::ScrollBarThumbPressed: return &t.scrollBarThumbPressed;
    case ThemeKey::EditText: return &t.editText;
    case ThemeKey::EditCaret: return &t.editCaret;
    case ThemeKey::EditSelection: return &t.editSelection;
    case ThemeKey::EditSelectionText: return &t.editSelectionText;
    case ThemeKey::EditComposition: return &t.editComposition;
    default: return nullptr;
  }
}

int32_t* IntegerField(Theme& t, ThemeKey key) {
  switch (key) {
    case ThemeKey::CaptionHeight: return &t.captionHeight;
    case ThemeKey::CaptionTitleSize: return &t.captionTitleSize;
    case ThemeKey::CaptionTitleLeft: return &t.captionTitleLeft;
    case ThemeKey::ButtonWidth: return &t.buttonWidth;
    case ThemeKey::ScrollBarWidth: return &t.scrollBarWidth;
    case ThemeKey::ScrollBarMinThumb: return &t.scrollBarMinThumb;
    case ThemeKey::EditCaretWidth: return &t.editCaretWidth;
    case ThemeKey::EditCaretBlink: return &t.editCaretBlink;
    case ThemeKey::EditPadding: return &t.editPadding;
    case ThemeKey::FontSize: return &t.fontSize;
    case ThemeKey::ResizeBorder: return &t.resizeBorder;
    default: return nullptr;
  }
}

// A font family is taken only as printable UTF-8 without control bytes.
bool IsAcceptableFamily(const uint8_t* p, size_t n) {
  for (size_t i = 0; i < n; ++i)
    if (p[i] < 0x20 || p[i] == 0x7F) return false;
  return true;
}

ThemeStatus ParseBody(const uint8_t* body, size_t length, uint16_t count, Theme& out) {
  size_t at = 0;
  for (uint16_t i = 0; i < count; ++i) {
    if (length - at < kThemeEntryHeaderSize) return ThemeStatus::Truncated;
    const uint16_t key = ReadU16(body + at);
    const uint8_t type = body[at + 2];
    const uint16_t size = ReadU16(body + at + 4);
    at += kThemeEntryHeaderSize;
    if (length - at < size) return ThemeStatus::Truncated;
    const uint8_t* value = body + at;
    at += size;
    const ThemeKeyInfo* info = FindThemeKey(key);
    if (info == nullptr) continue;  // a key of a later version: skipped
    if (static_cast<uint8_t>(info->type) != type) return ThemeStatus::Corrupt;
    switch (info->type) {
      case ThemeType::Colour:
        if (size != 4) return ThemeStatus::Corrupt;
        *ColourField(out, info->key) = ReadU32(value);
        break;
      case ThemeType::Integer: {
        if (size != 4) return ThemeStatus::Corrupt;
        const int32_t v = static_cast<int32_t>(ReadU32(value));
        if (v >= info->minValue && v <= info->maxValue) *IntegerField(out, info->key) = v;
        break;
      }
      case ThemeType::Text:
        if (size < 1 || size > 255) return ThemeStatus::Corrupt;
        if (IsAcceptableFamily(value, size))
          out.fontFamily.assign(reinterpret_cast<const char*>(value), size);
        break;
    }
  }
  return at == length ? ThemeStatus::Loaded : ThemeStatus::Corrupt;
}

Theme& TheTheme() {
  static Theme theme;
  return theme;
}

}  // namespace

ThemeStatus ParseTheme(const void* data, size_t length, Theme* theme) {
  *theme = Theme{};
  if (data == nullptr || length == 0) return ThemeStatus::Empty;
  const uint8_t* p = static_cast<const uint8_t*>(data);
  if (length < kThemeHeaderSize) {
    return std::memcmp(p, kThemeMagic, length < 4 ? length : 4) == 0 ? ThemeStatus::Truncated
                                                                       : ThemeStatus::Corrupt;
  }
  if (std::memcmp(p, kThemeMagic, 4) != 0 || ReadU16(p + 4) != kThemeVersion)
    return ThemeStatus::Corrupt;
  const uint16_t count = ReadU16(p + 6);
  const uint32_t bodyLength = ReadU32(p + 8);
  if (bodyLength > length - kThemeHeaderSize) return ThemeStatus::Truncated;
  if (bodyLength != length - kThemeHeaderSize) return ThemeStatus::Corrupt;
  const uint8_t* body = p + kThemeHeaderSize;
  if (ThemeCrc32(body, bodyLength) != ReadU32(p + 12)) return ThemeStatus::Corrupt;
  Theme parsed;
  const ThemeStatus status = ParseBody(body, bodyLength, count, parsed);
  if (status == ThemeStatus::Loaded) *theme = parsed;
  return status;
}

const Theme& CurrentTheme() { return TheTheme(); }
void SetCurrentTheme(const Theme& theme) { TheTheme() = theme; }

}  // namespace exdui
