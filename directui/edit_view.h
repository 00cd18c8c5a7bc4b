// How the edit box lays out, scrolls and draws its one line: the part of the
// box that needs Pango and Cairo but no window or object.
#pragma once

#include <cairo.h>
#include <pango/pango.h>

#include <cstdint>

#include "directui/edit_buffer.h"

namespace exdui {

// Colours (ARGB) and metrics of the box, taken from the theme.
struct EditStyle {
  uint32_t text = 0xFF000000;
  uint32_t selection = 0xFF3399FF;
  uint32_t selectedText = 0xFFFFFFFF;
  uint32_t caret = 0xFF000000;
  uint32_t composition = 0xFF3399FF;  // the composition's underline
  double padding = 6;                 // blank space left and right of the text
  double caretWidth = 1;
};

// What the view keeps between paints: the horizontal scroll offset.
struct EditView {
  double scrollX = 0;  // pixels of text hidden at the left
};

// Where the view puts things, in the box's own coordinates.
struct EditGeometry {
  double textLeft = 0;  // x of the text's start (padding minus the scroll)
  double textTop = 0;   // y of the line's top, centred vertically
  double lineHeight = 0;
  double textWidth = 0;
  double caretX = 0;  // left edge of the caret
  double caretWidth = 1;
};

// The single-line layout of what the box shows, with the composition
// underlined. Uses a measuring context of its own, so painting and hit
// testing agree; the caller unrefs the layout.
PangoLayout* EditCreateLayout(const EditBuffer& edit, const PangoFontDescription* font,
                              const EditStyle& style);

// Brings the caret into view (scrolling by as little as possible) and
// returns where the text and caret go in a box of width x height.
EditGeometry EditArrange(EditView& view, const EditBuffer& edit, PangoLayout* layout, double width,
                         double height, const EditStyle& style);

// The text unit under x (box coordinates), for clicks and drags.
size_t EditHitTest(const EditBuffer& edit, PangoLayout* layout, const EditGeometry& geometry,
                   double x);

// Draws the selection, the text and (when shown) the caret, clipped to the
// box's inner area. The background is left to whoever painted before.
void EditDraw(cairo_t* cr, const EditBuffer& edit, PangoLayout* layout,
              const EditGeometry& geometry, double width, double height, const EditStyle& style,
              bool caretShown);

// The rectangle a caret blink repaints, in box coordinates, rounded out.
struct EditRect {
  int left, top, right, bottom;
};
EditRect EditCaretRect(const EditGeometry& geometry);

}  // namespace exdui
