// Helpers of the drawing tests: a Cairo image surface wrapped as a canvas,
// pixel reads, pictures encoded in memory, and the surface saved as a PNG
// next to the test output when a pixel check fails.
#pragma once

#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "directui/canvas.h"
#include "directui/include/exdui_export.h"

namespace drawing_test {

struct Rgba {
  uint8_t r, g, b, a;
};

// A white (or transparent) surface with a canvas on it.
class Surface {
 public:
  Surface(int width, int height, uint32_t background = 0xFFFFFFFF);
  ~Surface();
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  HEXHANDLE canvas() const { return canvas_; }
  cairo_t* context() const { return cr_; }
  int width() const { return width_; }
  int height() const { return height_; }
  // Unpremultiplied colour of a pixel.
  Rgba At(int x, int y);
  // The smallest rectangle holding pixels that differ from `background`
  // by more than `tolerance` in a channel; empty (0,0,0,0) when none.
  struct Ink {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool empty() const { return right <= left || bottom <= top; }
  };
  Ink InkBox(uint32_t background = 0xFFFFFFFF, int tolerance = 40);
  // Number of pixels close to `argb`.
  int CountNear(uint32_t argb, int tolerance, int left, int top, int right, int bottom);
  // Writes drawing_failures/<test>.png when the current test has failed.
  void SaveIfFailed();

 private:
  int width_, height_;
  cairo_surface_t* surface_;
  cairo_t* cr_;
  HEXHANDLE canvas_;
};

// True when the pixel is within `tolerance` of the colour in every channel.
bool Near(Rgba pixel, uint32_t argb, int tolerance = 8);
std::string Describe(Rgba pixel);

// A picture of one colour, encoded as PNG (Cairo's writer) or JPEG (SDL_image).
std::vector<uint8_t> SolidPng(int width, int height, uint32_t argb);
std::vector<uint8_t> SolidJpeg(int width, int height, uint32_t argb);

// UTF-16 from UTF-8 literals.
std::u16string U16(const char* utf8);

}  // namespace drawing_test
