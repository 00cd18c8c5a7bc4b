// Every drawing operation with handle 0, a stale handle, a handle of another
// kind and absurd values: it returns 0 or does nothing, and never crashes.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include "directui/font.h"
#include "directui/handles.h"
#include "directui/include/exdui_export.h"
#include "tests/directui/drawing_support.h"

namespace {

using drawing_test::Surface;

// The handles one row of the table passes: canvas, brush, matrix, image, font.
struct Handles {
  HEXHANDLE canvas, brush, matrix, image, font;
};

struct Operation {
  const char* name;
  std::function<intptr_t(const Handles&)> call;
};

const Operation kOperations[] = {
    {"fillrect",
     [](const Handles& h) { return _canvas_fillrect(h.canvas, h.brush, 0, 0, 10, 10); }},
    {"drawrect",
     [](const Handles& h) { return _canvas_drawrect(h.canvas, h.brush, 0, 0, 10, 10, 1, 0); }},
    {"fillroundedrect",
     [](const Handles& h) {
       return _canvas_fillroundedrect(h.canvas, h.brush, 0, 0, 10, 10, 3, 3);
     }},
    {"drawtext",
     [](const Handles& h) {
       return _canvas_drawtext(h.canvas, h.font, 0xFF000000, u"x", -1, 0, 0, 0, 10, 10);
     }},
    {"calctextsize",
     [](const Handles& h) {
       float w = 5, hh = 5;
       const int32_t r = _canvas_calctextsize(h.canvas, h.font, u"x", -1, 0, 0, 10, 10, &w, &hh);
       return r != 0 ? intptr_t(r) : intptr_t(w != 0 || hh != 0);  // on failure both read 0
     }},
    {"brush_setcolor",
     [](const Handles& h) { return intptr_t(_brush_setcolor(h.brush, 0xFF123456)); }},
    {"brush_createfromimg",
     [](const Handles& h) { return intptr_t(_brush_createfromimg(h.image)); }},
    {"brush_settransform",
     [](const Handles& h) { return intptr_t(_brush_settransform(h.brush, h.matrix)); }},
    {"matrix_translate",
     [](const Handles& h) { return intptr_t(_matrix_translate(h.matrix, 1, 2)); }},
    {"img_getsize",
     [](const Handles& h) {
       int32_t w = 5, hh = 5;
       const int32_t r = _img_getsize(h.image, &w, &hh);
       return r != 0 ? intptr_t(r) : intptr_t(w != 0 || hh != 0);
     }},
    {"img_scale",
     [](const Handles& h) {
       HEXHANDLE out = 5;
       const int32_t r = _img_scale(h.image, 4, 4, &out);
       return r != 0 ? intptr_t(r) : intptr_t(out != 0);
     }},
    {"brush_destroy", [](const Handles& h) { return intptr_t(_brush_destroy(h.brush)); }},
    {"matrix_destroy", [](const Handles& h) { return intptr_t(_matrix_destroy(h.matrix)); }},
    {"img_destroy", [](const Handles& h) { return intptr_t(_img_destroy(h.image)); }},
};

class BadHandles : public testing::Test {
 protected:
  void SetUp() override {
    const auto png = drawing_test::SolidPng(4, 4, 0xFF00FF00);
    HEXHANDLE image = 0;
    ASSERT_EQ(_img_createfrommemory(png.data(), intptr_t(png.size()), &image), 1);
    live_ = {surface_.canvas(), _brush_create(0xFF000000), _matrix_create(), image,
             _font_createfromfamily(u"sans-serif", 12, 0)};
  }
  void TearDown() override {
    _brush_destroy(live_.brush);
    _matrix_destroy(live_.matrix);
    _img_destroy(live_.image);
  }

  // For each operation, every handle it takes replaced in turn by `bad`:
  // the result is 0 and nothing is drawn.
  void ExpectRefused(const std::function<HEXHANDLE(int slot)>& bad) {
    for (const Operation& op : kOperations) {
      for (int slot = 0; slot < 5; ++slot) {
        Handles h = live_;
        HEXHANDLE* field[] = {&h.canvas, &h.brush, &h.matrix, &h.image, &h.font};
        *field[slot] = bad(slot);
        if (slot == 4 && *field[slot] == 0) continue;  // font 0 is the default font
        if (!UsesSlot(op, slot)) continue;
        EXPECT_EQ(op.call(h), 0) << op.name << " with a bad handle in slot " << slot;
      }
    }
    EXPECT_TRUE(surface_.InkBox().empty());
  }

  static bool UsesSlot(const Operation& op, int slot) {
    const std::string name = op.name;
    switch (slot) {
      case 0:
        return name == "fillrect" || name == "drawrect" || name == "fillroundedrect" ||
               name == "drawtext" || name == "calctextsize";
      case 1:
        return name == "fillrect" || name == "drawrect" || name == "fillroundedrect" ||
               (name.rfind("brush_", 0) == 0 && name != "brush_createfromimg");
      case 2:
        return name == "brush_settransform" || name.rfind("matrix_", 0) == 0;
      case 3:
        return name == "brush_createfromimg" || name.rfind("img_", 0) == 0;
      default:
        return name == "drawtext" || name == "calctextsize";
    }
  }

  Surface surface_{20, 20};
  Handles live_{};
};

TEST_F(BadHandles, ZeroIsRefused) {
  ExpectRefused([](int) { return HEXHANDLE{0}; });
}

TEST_F(BadHandles, StaleHandlesAreRefused) {
  cairo_surface_t* other = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 4, 4);
  cairo_t* cr = cairo_create(other);
  const HEXHANDLE canvas = exdui::CanvasCreate(cr);
  exdui::CanvasDestroy(canvas);
  cairo_destroy(cr);
  cairo_surface_destroy(other);
  const HEXHANDLE brush = _brush_create(0);
  _brush_destroy(brush);
  const HEXHANDLE matrix = _matrix_create();
  _matrix_destroy(matrix);
  HEXHANDLE image = 0;
  const auto png = drawing_test::SolidPng(2, 2, 0xFF000000);
  _img_createfrommemory(png.data(), intptr_t(png.size()), &image);
  _img_destroy(image);
  const HEXHANDLE stale[] = {canvas, brush, matrix, image, brush};
  ExpectRefused([&](int slot) { return stale[slot]; });
}

TEST_F(BadHandles, HandlesOfAnotherKindAreRefused) {
  // Each slot gets a live handle of the next kind.
  const HEXHANDLE foreign[] = {live_.brush, live_.matrix, live_.image, live_.font, live_.canvas};
  ExpectRefused([&](int slot) { return foreign[slot]; });
}

TEST_F(BadHandles, RandomNumbersAreRefused) {
  ExpectRefused([](int slot) { return HEXHANDLE(0x7FFFFFFF - slot * 977); });
  ExpectRefused([](int) { return HEXHANDLE(-1); });
}

TEST_F(BadHandles, DestroyingTwiceIsRefusedTheSecondTime) {
  const HEXHANDLE brush = _brush_create(0xFF000000);
  EXPECT_EQ(_brush_destroy(brush), 1);
  EXPECT_EQ(_brush_destroy(brush), 0);
  const HEXHANDLE matrix = _matrix_create();
  EXPECT_EQ(_matrix_destroy(matrix), 1);
  EXPECT_EQ(_matrix_destroy(matrix), 0);
}

TEST(CanvasHandles, CreateNeedsAContextAndDestroyKeepsIt) {
  EXPECT_EQ(exdui::CanvasCreate(nullptr), 0);
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 4, 4);
  cairo_t* cr = cairo_create(surface);
  const HEXHANDLE canvas = exdui::CanvasCreate(cr);
  EXPECT_EQ(exdui::CanvasContext(canvas), cr);
  exdui::CanvasDestroy(canvas);
  EXPECT_EQ(exdui::CanvasContext(canvas), nullptr);
  exdui::CanvasDestroy(canvas);                       // again: nothing
  EXPECT_EQ(cairo_status(cr), CAIRO_STATUS_SUCCESS);  // still the caller's
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

TEST(AbsurdValues, CoordinatesThatAreNotFiniteOrHugeDrawNothing) {
  Surface surface(20, 20);
  const HEXHANDLE brush = _brush_create(0xFF000000);
  const float bad[] = {kNaN, kInf, -kInf, 1e30f, -1e30f};
  for (float v : bad) {
    EXPECT_EQ(_canvas_fillrect(surface.canvas(), brush, 0, 0, v, 10), 0);
    EXPECT_EQ(_canvas_fillrect(surface.canvas(), brush, v, 0, 10, 10), 0);
    EXPECT_EQ(_canvas_drawrect(surface.canvas(), brush, 0, 0, 10, v, 1, 0), 0);
    EXPECT_EQ(_canvas_drawrect(surface.canvas(), brush, 0, 0, 10, 10, v, 0), 0);
    EXPECT_EQ(_canvas_fillroundedrect(surface.canvas(), brush, 0, v, 10, 10, 2, 2), 0);
    EXPECT_EQ(_canvas_drawtext(surface.canvas(), 0, 0xFF000000, u"text", -1, 0, 0, 0, v, 20), 0);
  }
  EXPECT_EQ(_canvas_fillroundedrect(surface.canvas(), brush, 0, 0, 10, 10, kNaN, 2), 0);
  EXPECT_EQ(_canvas_drawrect(surface.canvas(), brush, 0, 0, 10, 10, -1, 0), 0);
  const HEXHANDLE matrix = _matrix_create();
  EXPECT_EQ(_matrix_translate(matrix, kNaN, 0), 0);
  _matrix_destroy(matrix);
  EXPECT_TRUE(surface.InkBox().empty());
  // Odd widths and heights for measuring still measure, never crash.
  const float widths[] = {kNaN, kInf, -5, 0, 1e30f, 0.001f};
  for (float w : widths) {
    float tw = -1, th = -1;
    EXPECT_EQ(
        _canvas_calctextsize(surface.canvas(), 0, u"some text here", -1, 0, 0, w, w, &tw, &th), 1)
        << w;
    EXPECT_GE(tw, 0.0f);
    EXPECT_GE(th, 0.0f);
  }
  _brush_destroy(brush);
}

TEST(AbsurdValues, FontSizesAndFamilies) {
  EXPECT_EQ(_font_createfromfamily(u"sans-serif", 100000, 0), 0);
  EXPECT_EQ(_font_createfromfamily(u"sans-serif", exdui::kMaxFontPixels + 1, 0), 0);
  // 0 or less keeps the default size; a null or odd family the default family.
  EXPECT_NE(_font_createfromfamily(u"sans-serif", 0, 0), 0);
  EXPECT_NE(_font_createfromfamily(u"sans-serif", -20, 0), 0);
  EXPECT_NE(_font_createfromfamily(nullptr, 12, -1), 0);
  EXPECT_NE(_font_createfromfamily(u",;,\n", 12, 0), 0);
  const std::u16string longName(100000, u'x');
  const HEXHANDLE font = _font_createfromfamily(longName.c_str(), 12, 0xF);
  ASSERT_NE(font, 0);
  Surface surface(200, 40);
  EXPECT_EQ(_canvas_drawtext(surface.canvas(), font, 0xFF000000, u"styled", -1, 0, 0, 0, 200, 40),
            1);
  EXPECT_FALSE(surface.InkBox().empty());
}

TEST(AbsurdValues, TextsWithBadUtf16AndOddLengthsStillDraw) {
  Surface surface(200, 40);
  const char16_t broken[] = {u'a', 0xD800, u'b', 0xDC00, 0xDBFF, 0};
  EXPECT_EQ(_canvas_drawtext(surface.canvas(), 0, 0xFF000000, broken, -1, 0, 0, 0, 200, 40), 1);
  EXPECT_FALSE(surface.InkBox().empty());
  float w1 = 0, w2 = 0, h = 0;
  // A length past the NUL stops at the NUL.
  _canvas_calctextsize(surface.canvas(), 0, u"abc", 1000, 0, 0, 500, 100, &w1, &h);
  _canvas_calctextsize(surface.canvas(), 0, u"abc", -1, 0, 0, 500, 100, &w2, &h);
  EXPECT_EQ(w1, w2);
  _canvas_calctextsize(surface.canvas(), 0, u"abc", -77, 0, 0, 500, 100, &w1, &h);
  EXPECT_EQ(w1, w2);
}

TEST(AbsurdValues, ReversedTextRectangleDrawsNothing) {
  Surface surface(100, 40);
  EXPECT_EQ(_canvas_drawtext(surface.canvas(), 0, 0xFF000000, u"text", -1, 0, 90, 0, 10, 40), 1);
  EXPECT_EQ(_canvas_drawtext(surface.canvas(), 0, 0xFF000000, u"text", -1, 0, 0, 40, 90, 0), 1);
  EXPECT_EQ(_canvas_drawtext(surface.canvas(), 0, 0x00000000, u"text", -1, 0, 0, 0, 90, 40), 1);
  EXPECT_TRUE(surface.InkBox().empty());
}

}  // namespace
