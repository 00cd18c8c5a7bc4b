// Text measuring and drawing with bounded work and cached layouts.
//
// Pango's line breaking costs grow with the square of a run without break
// opportunities, so a text is laid out in chunks of a few hundred bytes: each
// chunk's lines except its last are final, and the next chunk starts where
// that last line started. The lines are those a single layout of the whole
// text gives, yet no Pango layout ever holds more than one chunk. Lines are
// laid out only as far down as a caller needs (the height limit of a
// measurement, the visible part of a drawing), and layouts and measurements
// are cached by font, text, width and format.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <string_view>

#include "directui/font.h"

namespace exdui {

// Format bits of _canvas_drawtext and _canvas_calctextsize.
enum : uint32_t {
  EXDT_CENTER = 0x1,      // each line centred horizontally
  EXDT_RIGHT = 0x2,       // each line against the right edge
  EXDT_VCENTER = 0x4,     // the text centred vertically, when it fits
  EXDT_SINGLELINE = 0x20  // one line: no wrapping, line breaks shown as spaces
};

// Bounds of the layout work for one text.
constexpr int32_t kChunkBytes = 512;            // first try of a chunk's length
constexpr int32_t kMaxChunkBytes = 16384;       // longest chunk, and longest single line
constexpr double kMaxLayoutHeight = 1000000.0;  // pixels laid out at most
constexpr double kMaxLayoutWidth = 1000000.0;   // wider counts as no width limit

struct TextSize {
  double width = 0;
  double height = 0;
};

// The size of the text laid out within maxWidth (no limit when <= 0),
// counting lines only down to maxHeight (the whole text when <= 0), in whole
// pixels rounded up: drawing the text in a rectangle of that width gives the
// same lines. An empty text measures 0 x 0.
TextSize MeasureText(const Font& font, std::u16string_view text, uint32_t format, double maxWidth,
                     double maxHeight);

// Draws the text in the colour within the rectangle, wrapped at its width and
// clipped to it. Nothing is laid out when the rectangle is outside the clip.
void DrawTextInRect(cairo_t* cr, const Font& font, std::u16string_view text, uint32_t argb,
                    uint32_t format, double left, double top, double right, double bottom);

struct TextCacheCounters {
  uint64_t measureHits = 0;
  uint64_t measureMisses = 0;
  uint64_t layoutHits = 0;
  uint64_t layoutMisses = 0;
  uint64_t chunksLaidOut = 0;  // Pango layouts made
};
TextCacheCounters TextCacheCountersNow();
// Empties both caches (for tests and benchmarks of the uncached cost).
void ClearTextCaches();

}  // namespace exdui
