// Hooks for the library's own tests and benchmarks (not exported).
#pragma once

#include <cairo.h>

#include "directui/include/exdui_abi.h"

namespace exdui {

// The window's back buffer as last composed: what the screen shows.
cairo_surface_t* BackBufferOf(HEXHANDLE hExDui);
// Runs every pending paint of the window now and presents it.
void FlushForTesting(HEXHANDLE hExDui);

}  // namespace exdui
