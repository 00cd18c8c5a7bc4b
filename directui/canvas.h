// Canvases, fonts and text layout: what the window and object code of the
// library needs from the drawing code.
#pragma once

#include <cairo.h>
#include <pango/pango.h>

#include "directui/include/exdui_abi.h"

namespace exdui {

// Wraps a Cairo context for the drawing operations. The context stays the
// caller's; destroying the canvas does not destroy it.
HEXHANDLE CanvasCreate(cairo_t* cr);
void CanvasDestroy(HEXHANDLE canvas);
cairo_t* CanvasContext(HEXHANDLE canvas);

// The Pango description of a font handle; null for a handle that is not a font.
const PangoFontDescription* FontDescription(HEXHANDLE font);
// The library's default font (the theme's family and size), always valid.
const PangoFontDescription* DefaultFontDescription();
void SetDefaultFont(const char* family, int sizePixels);

}  // namespace exdui
