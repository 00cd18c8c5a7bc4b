// Class lookup and the "Static" class: a plain object that shows its title,
// if it has one, and otherwise only its background and children.
#include <pango/pangocairo.h>

#include "directui/canvas.h"
#include "directui/edit_utf.h"
#include "directui/window.h"

namespace exdui {
namespace {

// Class names compare without regard to ASCII case, like window class names.
bool SameClassName(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char16_t x = a[i], y = b[i];
    if (x >= u'A' && x <= u'Z') x = static_cast<char16_t>(x - u'A' + u'a');
    if (y >= u'A' && y <= u'Z') y = static_cast<char16_t>(y - u'A' + u'a');
    if (x != y) return false;
  }
  return true;
}

void SetSourceArgb(cairo_t* cr, uint32_t argb) {
  cairo_set_source_rgba(cr, ((argb >> 16) & 0xFF) / 255.0, ((argb >> 8) & 0xFF) / 255.0,
                        (argb & 0xFF) / 255.0, (argb >> 24) / 255.0);
}

// Text format bits, as DrawText's.
constexpr uint32_t kCentre = 0x1;
constexpr uint32_t kRight = 0x2;
constexpr uint32_t kVerticalCentre = 0x4;
constexpr uint32_t kSingleLine = 0x20;

void StaticPaint(Object* obj, const PaintContext& pc) {
  const std::u16string_view text = ObjectText(obj);
  if (text.empty() || pc.cr == nullptr) return;
  PangoLayout* layout = pango_cairo_create_layout(pc.cr);
  pango_layout_set_font_description(layout, DefaultFontDescription());
  const std::string utf8 = Utf16ToUtf8(text.substr(0, 4096));
  pango_layout_set_text(layout, utf8.c_str(), static_cast<int>(utf8.size()));
  pango_layout_set_width(layout, obj->width * PANGO_SCALE);
  if ((obj->textFormat & kSingleLine) != 0) {
    pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
  } else {
    pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
  }
  pango_layout_set_alignment(layout, (obj->textFormat & kCentre)  ? PANGO_ALIGN_CENTER
                                     : (obj->textFormat & kRight) ? PANGO_ALIGN_RIGHT
                                                                  : PANGO_ALIGN_LEFT);
  int w = 0, h = 0;
  pango_layout_get_pixel_size(layout, &w, &h);
  const double top = (obj->textFormat & kVerticalCentre) ? (obj->height - h) / 2.0 : 0.0;
  SetSourceArgb(pc.cr, obj->textColor);
  cairo_move_to(pc.cr, 0, top);
  pango_cairo_show_layout(pc.cr, layout);
  g_object_unref(layout);
}

}  // namespace

const ClassRecord* StaticClass() {
  static const ClassRecord record = [] {
    ClassRecord r;
    r.name = u"Static";
    r.defaultStyle = EXOS_VISIBLE;
    r.paint = StaticPaint;
    return r;
  }();
  return &record;
}

const ClassRecord* FindClass(std::u16string_view name) {
  if (SameClassName(name, StaticClass()->name)) return StaticClass();
  const ClassRecord* edit = EditClass();
  if (edit != nullptr && SameClassName(name, edit->name)) return edit;
  return nullptr;
}

}  // namespace exdui
