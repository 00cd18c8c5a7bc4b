// Fonts: _font_createfromfamily, the default font and the shared Pango context.
#include "directui/font.h"

#include <pango/pangocairo.h>

#include <memory>
#include <string>
#include <vector>

#include "directui/canvas.h"
#include "directui/handles.h"
#include "directui/include/exdui_export.h"
#include "directui/text_utf8.h"

namespace exdui {
namespace {

// Installed CJK sans-serif faces tried after the asked-for family, so that a
// family the machine lacks still shows Chinese.
constexpr const char* kFallbackFamilies = "WenQuanYi Micro Hei,Noto Sans CJK SC,sans-serif";
constexpr const char* kDefaultFamily = "sans-serif";
constexpr int32_t kDefaultPixels = 14;
// Longest family name taken from a caller, in UTF-16 units.
constexpr size_t kMaxFamilyUnits = 128;

// Fonts live until the process ends (there is no operation that destroys
// one); this list frees them then.
struct FontList {
  std::vector<std::unique_ptr<Font>> fonts;
  ~FontList() {
    for (auto& font : fonts) pango_font_description_free(font->description);
  }
};

FontList& AllFonts() {
  static FontList list;
  return list;
}

uint64_t NextSerial() {
  static uint64_t serial = 0;
  return ++serial;
}

Font& TheDefaultFont() {
  static Font font = [] {
    Font f;
    f.description = pango_font_description_new();
    SetFamilyWithFallbacks(f.description, kDefaultFamily);
    pango_font_description_set_absolute_size(f.description, kDefaultPixels * PANGO_SCALE);
    f.serial = NextSerial();
    return f;
  }();
  return font;
}

// A family name as Pango may take it: no list separators, no control codes.
std::string CleanFamily(std::u16string_view family) {
  if (family.size() > kMaxFamilyUnits) family = family.substr(0, kMaxFamilyUnits);
  std::string utf8 = Utf16ToUtf8(family, true);
  std::string clean;
  for (char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || c == ',' || c == ';' || byte == 0x7F) continue;
    clean.push_back(c);
  }
  const size_t first = clean.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return clean.substr(first, clean.find_last_not_of(' ') - first + 1);
}

}  // namespace

void SetFamilyWithFallbacks(PangoFontDescription* description, const char* familyUtf8) {
  std::string list;
  if (familyUtf8 != nullptr && familyUtf8[0] != 0) {
    list = familyUtf8;
    list += ',';
  }
  list += kFallbackFamilies;
  pango_font_description_set_family(description, list.c_str());
}

PangoContext* SharedPangoContext() {
  static PangoContext* context = [] {
    PangoContext* c = pango_font_map_create_context(pango_cairo_font_map_get_default());
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    // Unhinted metrics: a text measures the same whatever surface it lands on.
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    pango_cairo_context_set_font_options(c, options);
    cairo_font_options_destroy(options);
    pango_cairo_context_set_resolution(c, 96.0);
    return c;
  }();
  return context;
}

const Font* FontFromHandle(HEXHANDLE font) {
  return HandleAs<Font>(font, HandleKind::Font);
}

const Font& DefaultFont() {
  return TheDefaultFont();
}

const PangoFontDescription* FontDescription(HEXHANDLE hFont) {
  const Font* font = FontFromHandle(hFont);
  return font != nullptr ? font->description : nullptr;
}

const PangoFontDescription* DefaultFontDescription() {
  return TheDefaultFont().description;
}

void SetDefaultFont(const char* family, int sizePixels) {
  Font& font = TheDefaultFont();
  SetFamilyWithFallbacks(font.description,
                         (family != nullptr && family[0] != 0) ? family : kDefaultFamily);
  if (sizePixels > 0 && sizePixels <= kMaxFontPixels) {
    pango_font_description_set_absolute_size(font.description, sizePixels * PANGO_SCALE);
  }
  // Layouts cached under the old default must not be found again.
  font.serial = NextSerial();
}

}  // namespace exdui

using namespace exdui;

EXDUI_EXPORT HEXHANDLE _font_createfromfamily(const char16_t* lpwzFontFace, int32_t dwFontSize,
                                              int32_t dwFontStyle) {
  const Font& base = DefaultFont();
  if (dwFontSize > kMaxFontPixels) return 0;
  auto* font = new Font;
  font->description = pango_font_description_copy(base.description);
  const std::string family = CleanFamily(TextView(lpwzFontFace, -1));
  if (!family.empty()) SetFamilyWithFallbacks(font->description, family.c_str());
  // A size of 0 or less keeps the default font's size.
  if (dwFontSize > 0)
    pango_font_description_set_absolute_size(font->description, dwFontSize * PANGO_SCALE);
  pango_font_description_set_weight(
      font->description, (dwFontStyle & EXFS_BOLD) ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_font_description_set_style(
      font->description, (dwFontStyle & EXFS_ITALIC) ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
  font->underline = (dwFontStyle & EXFS_UNDERLINE) != 0;
  font->strikeout = (dwFontStyle & EXFS_STRIKEOUT) != 0;
  font->serial = NextSerial();
  const HEXHANDLE handle = HandleAdd(HandleKind::Font, font);
  if (handle == 0) {
    pango_font_description_free(font->description);
    delete font;
    return 0;
  }
  AllFonts().fonts.emplace_back(font);
  return handle;
}
