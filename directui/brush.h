// Brushes and matrices of the drawing code.
#pragma once

#include <cairo.h>

#include <cstdint>

#include "directui/include/exdui_abi.h"

namespace exdui {

struct Matrix {
  cairo_matrix_t transform;  // brush space to canvas space
};

struct Brush {
  uint32_t color = 0;                  // 0xAARRGGBB, for a solid brush
  cairo_surface_t* picture = nullptr;  // a reference to the image, for an image brush
  cairo_matrix_t transform;            // brush space to canvas space
};

// Makes the brush the source of the context. False when the brush would
// paint nothing (fully transparent, or a transform that cannot be undone).
bool UseBrush(cairo_t* cr, const Brush& brush);

}  // namespace exdui
