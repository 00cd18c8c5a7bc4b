// Fonts of the drawing code: a Pango description per font handle, the
// library's default font, and the one Pango context all layouts come from.
#pragma once

#include <pango/pango.h>

#include <cstdint>

#include "directui/include/exdui_abi.h"

namespace exdui {

// Style bits of _font_createfromfamily.
enum : int32_t {
  EXFS_BOLD = 1,
  EXFS_ITALIC = 2,
  EXFS_UNDERLINE = 4,
  EXFS_STRIKEOUT = 8,
};

// Font sizes are pixels; sizes outside this range are refused.
constexpr int32_t kMaxFontPixels = 1024;

struct Font {
  PangoFontDescription* description = nullptr;
  bool underline = false;
  bool strikeout = false;
  // Tells fonts apart in the text caches; never given out twice.
  uint64_t serial = 0;
};

// The font behind a live font handle, else null.
const Font* FontFromHandle(HEXHANDLE font);
// The library's default font; always valid.
const Font& DefaultFont();
// The Pango context every layout of the library is made from: fixed font
// options, so that measuring never depends on the surface drawn to.
PangoContext* SharedPangoContext();
// The Pango family list for a family name: the name first, then installed
// CJK sans-serif faces, so that Chinese renders whatever the name.
void SetFamilyWithFallbacks(PangoFontDescription* description, const char* familyUtf8);

}  // namespace exdui
