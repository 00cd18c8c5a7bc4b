// Fills, outlines, rounded rectangles and image brushes, checked by pixels.
#include <gtest/gtest.h>

#include "directui/include/exdui_export.h"
#include "tests/directui/drawing_support.h"

namespace {

using drawing_test::Describe;
using drawing_test::Near;
using drawing_test::Surface;

constexpr uint32_t kRed = 0xFFFF0000, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF, kBubble = 0xFF1A497D;

struct PixelRow {
  int x, y;
  uint32_t argb;
};

void ExpectPixels(Surface& surface, std::initializer_list<PixelRow> rows) {
  for (const PixelRow& row : rows) {
    const auto pixel = surface.At(row.x, row.y);
    EXPECT_TRUE(Near(pixel, row.argb))
        << "at (" << row.x << ", " << row.y << "): " << Describe(pixel);
  }
}

TEST(CanvasFill, FillsTheRectangleInTheBrushColour) {
  Surface surface(100, 60);
  const HEXHANDLE brush = _brush_create(kRed);
  EXPECT_EQ(_canvas_fillrect(surface.canvas(), brush, 10, 10, 50, 30), 1);
  ExpectPixels(surface, {{10, 10, kRed},
                         {49, 29, kRed},
                         {30, 20, kRed},
                         {9, 20, kWhite},
                         {50, 20, kWhite},
                         {30, 9, kWhite},
                         {30, 30, kWhite}});
  _brush_destroy(brush);
}

TEST(CanvasFill, ReversedEdgesFillTheSameRectangle) {
  Surface surface(100, 60);
  const HEXHANDLE brush = _brush_create(kRed);
  _canvas_fillrect(surface.canvas(), brush, 50, 30, 10, 10);
  ExpectPixels(surface, {{10, 10, kRed}, {49, 29, kRed}, {9, 20, kWhite}, {50, 20, kWhite}});
  _brush_destroy(brush);
}

TEST(CanvasFill, TranslucentColourBlends) {
  Surface surface(20, 20);
  const HEXHANDLE brush = _brush_create(0x80000000);
  _canvas_fillrect(surface.canvas(), brush, 0, 0, 20, 20);
  ExpectPixels(surface, {{10, 10, 0xFF7F7F7F}});
  _brush_destroy(brush);
}

TEST(CanvasFill, SetColorReturnsTheOldColourAndRepaintsInTheNewOne) {
  Surface surface(40, 20);
  const HEXHANDLE brush = _brush_create(kRed);
  EXPECT_EQ(_brush_setcolor(brush, kBlue), kRed);
  _canvas_fillrect(surface.canvas(), brush, 0, 0, 20, 20);
  EXPECT_EQ(_brush_setcolor(brush, kRed), kBlue);
  _canvas_fillrect(surface.canvas(), brush, 20, 0, 40, 20);
  ExpectPixels(surface, {{5, 5, kBlue}, {30, 5, kRed}});
  _brush_destroy(brush);
}

// The input box's erase: an outline of width 1 on the rectangle, then the
// same rectangle filled white over it.
TEST(CanvasOutline, IsCentredOnTheEdges) {
  Surface surface(100, 60);
  const HEXHANDLE brush = _brush_create(kBlue);
  EXPECT_EQ(_canvas_drawrect(surface.canvas(), brush, 20, 20, 80, 40, 2.0f, 0), 1);
  ExpectPixels(surface, {{19, 30, kBlue},
                         {20, 30, kBlue},
                         {18, 30, kWhite},
                         {21, 30, kWhite},
                         {50, 19, kBlue},
                         {50, 20, kBlue},
                         {50, 21, kWhite},
                         {50, 30, kWhite},
                         {80, 30, kBlue},
                         {79, 30, kBlue},
                         {81, 30, kWhite},
                         {50, 40, kBlue},
                         {19, 19, kBlue},
                         {80, 40, kBlue}});
  _brush_destroy(brush);
}

TEST(CanvasOutline, ZeroWidthDrawsNothing) {
  Surface surface(40, 40);
  const HEXHANDLE brush = _brush_create(kBlue);
  EXPECT_EQ(_canvas_drawrect(surface.canvas(), brush, 5, 5, 30, 30, 0.0f, 0), 1);
  EXPECT_TRUE(surface.InkBox().empty());
  _brush_destroy(brush);
}

TEST(CanvasRoundedRect, CornersAreRoundAndAntiAliased) {
  Surface surface(80, 60);
  const HEXHANDLE brush = _brush_create(0xFF000000);
  EXPECT_EQ(_canvas_fillroundedrect(surface.canvas(), brush, 10, 10, 70, 50, 10, 10), 1);
  ExpectPixels(surface, {{10, 10, kWhite},
                         {69, 10, kWhite},
                         {10, 49, kWhite},
                         {69, 49, kWhite},
                         {40, 30, 0xFF000000},
                         {40, 10, 0xFF000000},
                         {10, 30, 0xFF000000},
                         {20, 11, 0xFF000000}});
  // Along the arc of the top-left corner some pixels are only partly covered.
  int partial = 0;
  for (int y = 10; y < 20; ++y) {
    for (int x = 10; x < 20; ++x) {
      const int grey = surface.At(x, y).g;
      partial += (grey > 40 && grey < 215) ? 1 : 0;
    }
  }
  EXPECT_GE(partial, 4);
  _brush_destroy(brush);
}

TEST(CanvasRoundedRect, RadiiLargerThanHalfTheSideMakeAnEllipse) {
  Surface surface(60, 40);
  const HEXHANDLE brush = _brush_create(kBubble);
  _canvas_fillroundedrect(surface.canvas(), brush, 0, 0, 60, 40, 500, 500);
  ExpectPixels(
      surface,
      {{30, 20, kBubble}, {1, 1, kWhite}, {58, 38, kWhite}, {30, 1, kBubble}, {1, 20, kBubble}});
  _brush_destroy(brush);
}

TEST(CanvasRoundedRect, ZeroRadiiFillTheWholeRectangle) {
  Surface surface(40, 40);
  const HEXHANDLE brush = _brush_create(kBubble);
  _canvas_fillroundedrect(surface.canvas(), brush, 5, 5, 35, 35, 0, -3);
  ExpectPixels(surface, {{5, 5, kBubble}, {34, 34, kBubble}, {4, 4, kWhite}});
  _brush_destroy(brush);
}

HEXHANDLE DecodeOrFail(const std::vector<uint8_t>& bytes) {
  HEXHANDLE image = 0;
  EXPECT_EQ(_img_createfrommemory(bytes.data(), intptr_t(bytes.size()), &image), 1);
  EXPECT_NE(image, 0);
  return image;
}

// The avatar as the transcript draws it: an image brush moved to the
// avatar's corner, a 30 x 30 rounded rectangle of radius 15.
TEST(ImageBrush, DrawsACircleOfThePicture) {
  Surface surface(100, 60);
  const HEXHANDLE image = DecodeOrFail(drawing_test::SolidPng(30, 30, kRed));
  const HEXHANDLE brush = _brush_createfromimg(image);
  const HEXHANDLE matrix = _matrix_create();
  EXPECT_EQ(_matrix_translate(matrix, 40, 10), 1);
  EXPECT_EQ(_brush_settransform(brush, matrix), 1);
  _matrix_destroy(matrix);  // the brush keeps its own copy
  EXPECT_EQ(_canvas_fillroundedrect(surface.canvas(), brush, 40, 10, 70, 40, 15, 15), 1);
  ExpectPixels(surface, {{55, 25, kRed},
                         {55, 11, kRed},
                         {41, 25, kRed},
                         {68, 25, kRed},
                         {55, 38, kRed},
                         {40, 10, kWhite},
                         {69, 10, kWhite},
                         {40, 39, kWhite},
                         {69, 39, kWhite},
                         {43, 13, kWhite},
                         {39, 25, kWhite},
                         {71, 25, kWhite}});
  const auto ink = surface.InkBox();
  EXPECT_EQ(ink.left, 40);
  EXPECT_EQ(ink.top, 10);
  EXPECT_EQ(ink.right, 70);
  EXPECT_EQ(ink.bottom, 40);
  _brush_destroy(brush);
  _img_destroy(image);
}

// A picture with a red left half and a blue right half shows where the
// brush puts its top-left corner.
std::vector<uint8_t> HalvesPng() {
  cairo_surface_t* picture = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 20, 20);
  cairo_t* cr = cairo_create(picture);
  cairo_set_source_rgb(cr, 1, 0, 0);
  cairo_rectangle(cr, 0, 0, 10, 20);
  cairo_fill(cr);
  cairo_set_source_rgb(cr, 0, 0, 1);
  cairo_rectangle(cr, 10, 0, 10, 20);
  cairo_fill(cr);
  cairo_destroy(cr);
  std::vector<uint8_t> png;
  cairo_surface_write_to_png_stream(
      picture,
      [](void* out, const unsigned char* data, unsigned int n) {
        auto* bytes = static_cast<std::vector<uint8_t>*>(out);
        bytes->insert(bytes->end(), data, data + n);
        return CAIRO_STATUS_SUCCESS;
      },
      &png);
  cairo_surface_destroy(picture);
  return png;
}

TEST(ImageBrush, TopLeftSitsAtTheTranslatedOrigin) {
  Surface surface(80, 40);
  const HEXHANDLE image = DecodeOrFail(HalvesPng());
  const HEXHANDLE brush = _brush_createfromimg(image);
  const HEXHANDLE matrix = _matrix_create();
  _matrix_translate(matrix, 20, 5);
  _matrix_translate(matrix, 10, 5);  // translations add up: (30, 10)
  _brush_settransform(brush, matrix);
  _matrix_destroy(matrix);
  _canvas_fillrect(surface.canvas(), brush, 30, 10, 50, 30);
  ExpectPixels(surface, {{30, 10, kRed},
                         {39, 29, kRed},
                         {40, 10, kBlue},
                         {49, 29, kBlue},
                         {29, 20, kWhite},
                         {50, 20, kWhite}});
  _brush_destroy(brush);
  _img_destroy(image);
}

TEST(ImageBrush, OutlivesItsImage) {
  Surface surface(40, 40);
  const HEXHANDLE image = DecodeOrFail(drawing_test::SolidPng(10, 10, kBlue));
  const HEXHANDLE brush = _brush_createfromimg(image);
  EXPECT_EQ(_img_destroy(image), 1);
  _canvas_fillrect(surface.canvas(), brush, 0, 0, 10, 10);
  ExpectPixels(surface, {{5, 5, kBlue}});
  EXPECT_EQ(_brush_setcolor(brush, kRed), 0u);  // an image brush has no colour
  _brush_destroy(brush);
}

TEST(CanvasClip, DrawingOutsideTheClipTouchesNothing) {
  Surface surface(60, 60);
  cairo_rectangle(surface.context(), 0, 0, 30, 30);
  cairo_clip(surface.context());
  const HEXHANDLE brush = _brush_create(kRed);
  EXPECT_EQ(_canvas_fillrect(surface.canvas(), brush, 40, 40, 60, 60), 1);
  EXPECT_EQ(_canvas_fillroundedrect(surface.canvas(), brush, 35, 0, 60, 20, 5, 5), 1);
  EXPECT_TRUE(surface.InkBox().empty());
  // Straddling the clip, only the inside shows.
  _canvas_fillrect(surface.canvas(), brush, 20, 20, 60, 60);
  ExpectPixels(surface, {{25, 25, kRed}, {35, 35, kWhite}});
  _brush_destroy(brush);
}

TEST(CanvasState, DrawingLeavesTheCallersSourceAlone) {
  Surface surface(20, 20);
  cairo_set_source_rgb(surface.context(), 0, 1, 0);
  const HEXHANDLE brush = _brush_create(kRed);
  _canvas_fillrect(surface.canvas(), brush, 0, 0, 10, 10);
  cairo_rectangle(surface.context(), 10, 10, 10, 10);
  cairo_fill(surface.context());
  ExpectPixels(surface, {{5, 5, kRed}, {15, 15, 0xFF00FF00}});
  _brush_destroy(brush);
}

}  // namespace
