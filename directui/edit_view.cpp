#include "directui/edit_view.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "directui/edit_utf.h"

namespace exdui {
namespace {

PangoContext* MeasuringContext() {
  static PangoContext* context = pango_font_map_create_context(pango_cairo_font_map_get_default());
  return context;
}

void SetSourceArgb(cairo_t* cr, uint32_t argb) {
  cairo_set_source_rgba(cr, ((argb >> 16) & 0xFF) / 255.0, ((argb >> 8) & 0xFF) / 255.0,
                        (argb & 0xFF) / 255.0, ((argb >> 24) & 0xFF) / 255.0);
}

// Adds the pixel ranges of display units [start, end) of the line as a path.
void AddRangePath(cairo_t* cr, PangoLayout* layout, const std::u16string& shown, size_t start,
                  size_t end, const EditGeometry& g) {
  PangoLayoutLine* line = pango_layout_get_line_readonly(layout, 0);
  if (line == nullptr) return;
  int startByte = static_cast<int>(Utf8OffsetOfUnit(shown, start));
  int endByte = static_cast<int>(Utf8OffsetOfUnit(shown, end));
  int* ranges = nullptr;
  int count = 0;
  pango_layout_line_get_x_ranges(line, startByte, endByte, &ranges, &count);
  for (int i = 0; i < count; ++i) {
    double x0 = g.textLeft + static_cast<double>(ranges[2 * i]) / PANGO_SCALE;
    double x1 = g.textLeft + static_cast<double>(ranges[2 * i + 1]) / PANGO_SCALE;
    cairo_rectangle(cr, x0, g.textTop, x1 - x0, g.lineHeight);
  }
  g_free(ranges);
}

}  // namespace

PangoLayout* EditCreateLayout(const EditBuffer& edit, const PangoFontDescription* font,
                              const EditStyle& style) {
  PangoLayout* layout = pango_layout_new(MeasuringContext());
  // One paragraph whatever the text holds, so the line never breaks.
  pango_layout_set_single_paragraph_mode(layout, TRUE);
  if (font != nullptr) pango_layout_set_font_description(layout, font);
  std::u16string shown = EditDisplayText(edit);
  std::string utf8 = Utf16ToUtf8(shown);
  pango_layout_set_text(layout, utf8.data(), static_cast<int>(utf8.size()));
  if (EditIsComposing(edit)) {
    size_t start = EditSelectionStart(edit);
    PangoAttrList* attrs = pango_attr_list_new();
    PangoAttribute* underline = pango_attr_underline_new(PANGO_UNDERLINE_SINGLE);
    underline->start_index = static_cast<guint>(Utf8OffsetOfUnit(shown, start));
    underline->end_index = static_cast<guint>(Utf8OffsetOfUnit(shown, start + edit.preedit.size()));
    PangoAttribute* colour = pango_attr_underline_color_new(
        static_cast<guint16>(((style.composition >> 16) & 0xFF) * 257),
        static_cast<guint16>(((style.composition >> 8) & 0xFF) * 257),
        static_cast<guint16>((style.composition & 0xFF) * 257));
    colour->start_index = underline->start_index;
    colour->end_index = underline->end_index;
    pango_attr_list_insert(attrs, underline);
    pango_attr_list_insert(attrs, colour);
    pango_layout_set_attributes(layout, attrs);
    pango_attr_list_unref(attrs);
  }
  return layout;
}

EditGeometry EditArrange(EditView& view, const EditBuffer& edit, PangoLayout* layout, double width,
                         double height, const EditStyle& style) {
  EditGeometry g;
  PangoRectangle logical;
  pango_layout_get_extents(layout, nullptr, &logical);
  g.textWidth = static_cast<double>(logical.width) / PANGO_SCALE;
  g.lineHeight = static_cast<double>(logical.height) / PANGO_SCALE;
  g.textTop = std::floor((height - g.lineHeight) / 2);

  std::u16string shown = EditDisplayText(edit);
  int index = static_cast<int>(Utf8OffsetOfUnit(shown, EditDisplayCaret(edit)));
  PangoRectangle strong;
  pango_layout_get_cursor_pos(layout, index, &strong, nullptr);
  double caretInText = static_cast<double>(strong.x) / PANGO_SCALE;

  // Scroll just enough to keep the caret inside, and never show blank room
  // at the right while text is hidden at the left.
  g.caretWidth = style.caretWidth;
  double visible = std::max(0.0, width - 2 * style.padding - style.caretWidth);
  if (caretInText < view.scrollX) view.scrollX = caretInText;
  if (caretInText > view.scrollX + visible) view.scrollX = caretInText - visible;
  view.scrollX = std::min(view.scrollX, std::max(0.0, g.textWidth - visible));
  view.scrollX = std::max(0.0, std::round(view.scrollX));

  g.textLeft = style.padding - view.scrollX;
  g.caretX = std::round(g.textLeft + caretInText);
  return g;
}

size_t EditHitTest(const EditBuffer& edit, PangoLayout* layout, const EditGeometry& geometry,
                   double x) {
  double inText = x - geometry.textLeft;
  if (inText <= 0) return 0;
  int index = 0;
  int trailing = 0;
  pango_layout_xy_to_index(layout, static_cast<int>(inText * PANGO_SCALE),
                           static_cast<int>(geometry.lineHeight / 2 * PANGO_SCALE), &index,
                           &trailing);
  // The composition is not text yet: a hit in it lands at its start.
  std::u16string shown = EditDisplayText(edit);
  size_t unit = UnitOfUtf8Offset(shown, static_cast<size_t>(index));
  if (trailing > 0)
    unit = UnitsOfCodePoints(std::u16string_view(shown).substr(unit), trailing) + unit;
  if (EditIsComposing(edit)) {
    size_t start = EditSelectionStart(edit);
    if (unit > start + edit.preedit.size()) {
      unit -= edit.preedit.size();
      unit += EditSelectionEnd(edit) - start;
    } else if (unit > start) {
      unit = start;
    }
  }
  return std::min(unit, edit.text.size());
}

void EditDraw(cairo_t* cr, const EditBuffer& edit, PangoLayout* layout,
              const EditGeometry& geometry, double width, double height, const EditStyle& style,
              bool caretShown) {
  cairo_save(cr);
  cairo_rectangle(cr, style.padding / 2, 0, std::max(0.0, width - style.padding), height);
  cairo_clip(cr);

  std::u16string shown = EditDisplayText(edit);
  bool selecting = EditHasSelection(edit) && !EditIsComposing(edit);
  if (selecting) {
    AddRangePath(cr, layout, shown, EditSelectionStart(edit), EditSelectionEnd(edit), geometry);
    SetSourceArgb(cr, style.selection);
    cairo_fill(cr);
  }

  SetSourceArgb(cr, style.text);
  cairo_move_to(cr, geometry.textLeft, geometry.textTop);
  pango_cairo_show_layout(cr, layout);

  if (selecting) {
    // The selected part again, in its own colour, clipped to the highlight.
    cairo_save(cr);
    AddRangePath(cr, layout, shown, EditSelectionStart(edit), EditSelectionEnd(edit), geometry);
    cairo_clip(cr);
    SetSourceArgb(cr, style.selectedText);
    cairo_move_to(cr, geometry.textLeft, geometry.textTop);
    pango_cairo_show_layout(cr, layout);
    cairo_restore(cr);
  }

  if (caretShown) {
    SetSourceArgb(cr, style.caret);
    cairo_rectangle(cr, geometry.caretX, geometry.textTop, geometry.caretWidth,
                    geometry.lineHeight);
    cairo_fill(cr);
  }
  cairo_restore(cr);
}

EditRect EditCaretRect(const EditGeometry& geometry) {
  return {static_cast<int>(std::floor(geometry.caretX)) - 1,
          static_cast<int>(std::floor(geometry.textTop)) - 1,
          static_cast<int>(std::ceil(geometry.caretX + geometry.caretWidth)) + 1,
          static_cast<int>(std::ceil(geometry.textTop + geometry.lineHeight)) + 1};
}

}  // namespace exdui
