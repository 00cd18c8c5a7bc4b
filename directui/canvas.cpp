// The canvas: a Cairo context of the caller's, and the filling, outlining and
// text operations that draw on it.
#include "directui/canvas.h"

#include <algorithm>
#include <cmath>

#include "directui/brush.h"
#include "directui/handles.h"
#include "directui/include/exdui_export.h"
#include "directui/text_layout.h"
#include "directui/text_utf8.h"

namespace exdui {
namespace {

struct Canvas {
  cairo_t* cr;
};

// Coordinates beyond this are refused: Cairo's fixed-point paths cannot
// hold them.
constexpr double kMaxCoordinate = 4.0e6;

struct Box {
  double left, top, right, bottom;
};

// The rectangle with its edges in order; false for coordinates that are not
// finite or too large.
bool MakeBox(float left, float top, float right, float bottom, Box* box) {
  for (float v : {left, top, right, bottom}) {
    if (!std::isfinite(v) || std::fabs(v) > kMaxCoordinate) return false;
  }
  box->left = std::min(left, right);
  box->right = std::max(left, right);
  box->top = std::min(top, bottom);
  box->bottom = std::max(top, bottom);
  return true;
}

// True when nothing of the box (grown by `margin`) lies inside the clip.
bool OutsideClip(cairo_t* cr, const Box& box, double margin) {
  double x1, y1, x2, y2;
  cairo_clip_extents(cr, &x1, &y1, &x2, &y2);
  return box.right + margin <= x1 || box.left - margin >= x2 || box.bottom + margin <= y1 ||
         box.top - margin >= y2;
}

// A rectangle with elliptic corners of radii rx, ry (each at most half the side).
void RoundedRectPath(cairo_t* cr, const Box& b, double rx, double ry) {
  rx = std::clamp(rx, 0.0, (b.right - b.left) / 2);
  ry = std::clamp(ry, 0.0, (b.bottom - b.top) / 2);
  cairo_new_path(cr);
  if (rx <= 0 || ry <= 0) {
    cairo_rectangle(cr, b.left, b.top, b.right - b.left, b.bottom - b.top);
    return;
  }
  // Control-point distance of the cubic Bézier closest to a quarter ellipse.
  constexpr double k = 0.5522847498;
  const double kx = rx * k, ky = ry * k;
  cairo_move_to(cr, b.left + rx, b.top);
  cairo_line_to(cr, b.right - rx, b.top);
  cairo_curve_to(cr, b.right - rx + kx, b.top, b.right, b.top + ry - ky, b.right, b.top + ry);
  cairo_line_to(cr, b.right, b.bottom - ry);
  cairo_curve_to(cr, b.right, b.bottom - ry + ky, b.right - rx + kx, b.bottom, b.right - rx,
                 b.bottom);
  cairo_line_to(cr, b.left + rx, b.bottom);
  cairo_curve_to(cr, b.left + rx - kx, b.bottom, b.left, b.bottom - ry + ky, b.left, b.bottom - ry);
  cairo_line_to(cr, b.left, b.top + ry);
  cairo_curve_to(cr, b.left, b.top + ry - ky, b.left + rx - kx, b.top, b.left + rx, b.top);
  cairo_close_path(cr);
}

Canvas* CanvasOf(HEXHANDLE handle) {
  return HandleAs<Canvas>(handle, HandleKind::Canvas);
}

// The font of a text call: 0 means the library's default font; a stale or
// foreign handle is refused (null).
const Font* TextFont(HEXHANDLE hFont) {
  if (hFont == 0) return &DefaultFont();
  return FontFromHandle(hFont);
}

}  // namespace

HEXHANDLE CanvasCreate(cairo_t* cr) {
  if (cr == nullptr) return 0;
  auto* canvas = new Canvas{cairo_reference(cr)};
  const HEXHANDLE handle = HandleAdd(HandleKind::Canvas, canvas);
  if (handle == 0) {
    cairo_destroy(canvas->cr);
    delete canvas;
  }
  return handle;
}

void CanvasDestroy(HEXHANDLE handle) {
  Canvas* canvas = CanvasOf(handle);
  if (canvas == nullptr) return;
  HandleRemove(handle);
  cairo_destroy(canvas->cr);  // drops only the canvas's own reference
  delete canvas;
}

cairo_t* CanvasContext(HEXHANDLE handle) {
  Canvas* canvas = CanvasOf(handle);
  return canvas != nullptr ? canvas->cr : nullptr;
}

}  // namespace exdui

using namespace exdui;

EXDUI_EXPORT int32_t _canvas_fillrect(HEXHANDLE hCanvas, HEXHANDLE hBrush, float left, float top,
                                      float right, float bottom) {
  Canvas* canvas = CanvasOf(hCanvas);
  const Brush* brush = HandleAs<Brush>(hBrush, HandleKind::Brush);
  Box box;
  if (canvas == nullptr || brush == nullptr || !MakeBox(left, top, right, bottom, &box)) return 0;
  cairo_t* cr = canvas->cr;
  if (box.right == box.left || box.bottom == box.top || OutsideClip(cr, box, 0)) return 1;
  cairo_save(cr);
  if (UseBrush(cr, *brush)) {
    cairo_new_path(cr);
    cairo_rectangle(cr, box.left, box.top, box.right - box.left, box.bottom - box.top);
    cairo_fill(cr);
  }
  cairo_restore(cr);
  return 1;
}

// Stroke style 0 is a solid line; other styles draw solid too. The line is
// centred on the rectangle's edges.
EXDUI_EXPORT int32_t _canvas_drawrect(HEXHANDLE hCanvas, HEXHANDLE hBrush, float left, float top,
                                      float right, float bottom, float strokeWidth,
                                      int32_t strokeStyle) {
  (void)strokeStyle;
  Canvas* canvas = CanvasOf(hCanvas);
  const Brush* brush = HandleAs<Brush>(hBrush, HandleKind::Brush);
  Box box;
  if (canvas == nullptr || brush == nullptr || !MakeBox(left, top, right, bottom, &box)) return 0;
  if (!std::isfinite(strokeWidth) || strokeWidth < 0 || strokeWidth > kMaxCoordinate) return 0;
  cairo_t* cr = canvas->cr;
  if (strokeWidth == 0 || OutsideClip(cr, box, strokeWidth / 2.0)) return 1;
  cairo_save(cr);
  if (UseBrush(cr, *brush)) {
    cairo_new_path(cr);
    cairo_rectangle(cr, box.left, box.top, box.right - box.left, box.bottom - box.top);
    cairo_set_line_width(cr, strokeWidth);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    cairo_set_dash(cr, nullptr, 0, 0);
    cairo_stroke(cr);
  }
  cairo_restore(cr);
  return 1;
}

EXDUI_EXPORT int32_t _canvas_fillroundedrect(HEXHANDLE hCanvas, HEXHANDLE hBrush, float left,
                                             float top, float right, float bottom, float radiusX,
                                             float radiusY) {
  Canvas* canvas = CanvasOf(hCanvas);
  const Brush* brush = HandleAs<Brush>(hBrush, HandleKind::Brush);
  Box box;
  if (canvas == nullptr || brush == nullptr || !MakeBox(left, top, right, bottom, &box)) return 0;
  if (!std::isfinite(radiusX) || !std::isfinite(radiusY)) return 0;
  cairo_t* cr = canvas->cr;
  if (box.right == box.left || box.bottom == box.top || OutsideClip(cr, box, 0)) return 1;
  cairo_save(cr);
  if (UseBrush(cr, *brush)) {
    RoundedRectPath(cr, box, radiusX, radiusY);
    cairo_fill(cr);
  }
  cairo_restore(cr);
  return 1;
}

EXDUI_EXPORT int32_t _canvas_drawtext(HEXHANDLE hCanvas, HEXHANDLE hFont, uint32_t crText,
                                      const char16_t* lpwzText, int32_t dwLen, uint32_t dwDTFormat,
                                      float left, float top, float right, float bottom) {
  Canvas* canvas = CanvasOf(hCanvas);
  const Font* font = TextFont(hFont);
  Box box;
  if (canvas == nullptr || font == nullptr || !MakeBox(left, top, right, bottom, &box)) return 0;
  // The rectangle's edges as given: a reversed rectangle holds no text.
  if (right <= left || bottom <= top) return 1;
  DrawTextInRect(canvas->cr, *font, TextView(lpwzText, dwLen), crText, dwDTFormat, box.left,
                 box.top, box.right, box.bottom);
  return 1;
}

EXDUI_EXPORT int32_t _canvas_calctextsize(HEXHANDLE hCanvas, HEXHANDLE hFont,
                                          const char16_t* lpwzText, int32_t dwLen,
                                          uint32_t dwDTFormat, intptr_t lParam, float layoutWidth,
                                          float layoutHeight, float* lpWidth, float* lpHeight) {
  (void)lParam;
  // Callers read the sizes even when measuring fails: they get 0 x 0.
  if (lpWidth != nullptr) *lpWidth = 0;
  if (lpHeight != nullptr) *lpHeight = 0;
  const Font* font = TextFont(hFont);
  if (CanvasOf(hCanvas) == nullptr || font == nullptr) return 0;
  const TextSize size =
      MeasureText(*font, TextView(lpwzText, dwLen), dwDTFormat, layoutWidth, layoutHeight);
  if (lpWidth != nullptr) *lpWidth = static_cast<float>(size.width);
  if (lpHeight != nullptr) *lpHeight = static_cast<float>(size.height);
  return 1;
}
