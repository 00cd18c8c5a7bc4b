// Brushes: a solid colour, or a picture whose top-left corner sits at the
// brush origin, moved by the brush's transform.
#include "directui/brush.h"

#include "directui/handles.h"
#include "directui/image.h"
#include "directui/include/exdui_export.h"

namespace exdui {

bool UseBrush(cairo_t* cr, const Brush& brush) {
  if (brush.picture == nullptr) {
    const uint32_t alpha = brush.color >> 24;
    if (alpha == 0) return false;
    cairo_set_source_rgba(cr, ((brush.color >> 16) & 0xFF) / 255.0,
                          ((brush.color >> 8) & 0xFF) / 255.0, (brush.color & 0xFF) / 255.0,
                          alpha / 255.0);
    return true;
  }
  // Cairo's pattern matrix maps canvas space into the picture, the inverse
  // of the brush's transform.
  cairo_matrix_t toPicture = brush.transform;
  if (cairo_matrix_invert(&toPicture) != CAIRO_STATUS_SUCCESS) return false;
  cairo_pattern_t* pattern = cairo_pattern_create_for_surface(brush.picture);
  cairo_pattern_set_matrix(pattern, &toPicture);
  cairo_pattern_set_filter(pattern, CAIRO_FILTER_GOOD);
  // Outside the picture its edge pixels continue, as a clamping bitmap brush does.
  cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
  cairo_set_source(cr, pattern);
  cairo_pattern_destroy(pattern);
  return true;
}

}  // namespace exdui

using namespace exdui;

namespace {

HEXHANDLE AddBrush(Brush* brush) {
  const HEXHANDLE handle = HandleAdd(HandleKind::Brush, brush);
  if (handle == 0) {
    if (brush->picture != nullptr) cairo_surface_destroy(brush->picture);
    delete brush;
  }
  return handle;
}

}  // namespace

EXDUI_EXPORT HEXHANDLE _brush_create(uint32_t argb) {
  auto* brush = new Brush;
  brush->color = argb;
  cairo_matrix_init_identity(&brush->transform);
  return AddBrush(brush);
}

EXDUI_EXPORT uint32_t _brush_setcolor(HEXHANDLE hBrush, uint32_t argb) {
  Brush* brush = HandleAs<Brush>(hBrush, HandleKind::Brush);
  if (brush == nullptr || brush->picture != nullptr) return 0;
  const uint32_t old = brush->color;
  brush->color = argb;
  return old;
}

EXDUI_EXPORT HEXHANDLE _brush_createfromimg(HEXHANDLE hImg) {
  const Image* image = ImageFromHandle(hImg);
  if (image == nullptr) return 0;
  auto* brush = new Brush;
  // The brush keeps the picture alive even if the image is destroyed first.
  brush->picture = cairo_surface_reference(image->surface);
  cairo_matrix_init_identity(&brush->transform);
  return AddBrush(brush);
}

EXDUI_EXPORT int32_t _brush_settransform(HEXHANDLE hBrush, HEXHANDLE hMatrix) {
  Brush* brush = HandleAs<Brush>(hBrush, HandleKind::Brush);
  const Matrix* matrix = HandleAs<Matrix>(hMatrix, HandleKind::Matrix);
  if (brush == nullptr || matrix == nullptr) return 0;
  brush->transform = matrix->transform;
  return 1;
}

EXDUI_EXPORT int32_t _brush_destroy(HEXHANDLE hBrush) {
  Brush* brush = HandleAs<Brush>(hBrush, HandleKind::Brush);
  if (brush == nullptr) return 0;
  HandleRemove(hBrush);
  if (brush->picture != nullptr) cairo_surface_destroy(brush->picture);
  delete brush;
  return 1;
}
