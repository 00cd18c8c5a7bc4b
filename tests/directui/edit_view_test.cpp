// The edit box's layout and drawing on a plain Cairo image, without a window.
#include "directui/edit_view.h"

#include <gtest/gtest.h>
#include <pango/pangocairo.h>

#include <string>

#include "directui/edit_utf.h"

namespace exdui {
namespace {

constexpr int kWidth = 200;
constexpr int kHeight = 50;

class EditViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    font_ = pango_font_description_from_string("sans 16px");
    surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
    cr_ = cairo_create(surface_);
  }
  void TearDown() override {
    if (HasFailure()) {
      std::string name = std::string("edit_view_") +
                         ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".png";
      cairo_surface_write_to_png(surface_, name.c_str());
    }
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
    pango_font_description_free(font_);
  }

  // Paints the box white, then the edit on it; returns the geometry used.
  EditGeometry Paint(const EditBuffer& edit, bool caret) {
    cairo_set_source_rgb(cr_, 1, 1, 1);
    cairo_paint(cr_);
    PangoLayout* layout = EditCreateLayout(edit, font_, style_);
    EditGeometry g = EditArrange(view_, edit, layout, kWidth, kHeight, style_);
    EditDraw(cr_, edit, layout, g, kWidth, kHeight, style_, caret);
    g_object_unref(layout);
    cairo_surface_flush(surface_);
    return g;
  }

  uint32_t Pixel(int x, int y) {
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    int stride = cairo_image_surface_get_stride(surface_);
    return *reinterpret_cast<const uint32_t*>(data + y * stride + x * 4) | 0xFF000000u;
  }

  int CountNear(uint32_t colour, int x0, int y0, int x1, int y1, int tolerance = 40) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) {
        uint32_t p = Pixel(x, y);
        bool near = true;
        for (int shift = 0; shift < 24; shift += 8) {
          int a = (p >> shift) & 0xFF, b = (colour >> shift) & 0xFF;
          if (a - b > tolerance || b - a > tolerance) near = false;
        }
        n += near;
      }
    return n;
  }

  int Dark(int x0, int x1) {
    int n = 0;
    for (int y = 0; y < kHeight; ++y)
      for (int x = x0; x < x1; ++x) {
        uint32_t p = Pixel(x, y);
        if (((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) < 300) ++n;
      }
    return n;
  }

  PangoFontDescription* font_ = nullptr;
  cairo_surface_t* surface_ = nullptr;
  cairo_t* cr_ = nullptr;
  EditView view_;
  EditStyle style_;
};

TEST_F(EditViewTest, TextIsDarkInsideThePaddedLineAndCentred) {
  EditBuffer edit;
  EditSetText(edit, u"hello");
  EditGeometry g = Paint(edit, false);
  EXPECT_DOUBLE_EQ(g.textLeft, style_.padding);
  EXPECT_GT(Dark(0, kWidth), 20);
  EXPECT_EQ(Dark(0, static_cast<int>(style_.padding)), 0);
  EXPECT_NEAR(g.textTop + g.lineHeight / 2, kHeight / 2.0, 1.0);
  EXPECT_EQ(Dark(static_cast<int>(style_.padding + g.textWidth) + 2, kWidth), 0);
}

TEST_F(EditViewTest, CaretIsAThinLineAtTheCaretAndInsideItsRectangle) {
  EditBuffer edit;  // empty: the caret is all that is drawn
  EditGeometry g = Paint(edit, true);
  EditRect r = EditCaretRect(g);
  EXPECT_GT(Dark(r.left, r.right), static_cast<int>(g.lineHeight) - 2);
  EXPECT_EQ(Dark(0, r.left) + Dark(r.right, kWidth), 0);
  EXPECT_LE(r.right - r.left, 4);
  Paint(edit, false);
  EXPECT_EQ(Dark(0, kWidth), 0);
}

TEST_F(EditViewTest, SelectionIsHighlighted) {
  EditBuffer edit;
  EditSetText(edit, u"selected words");
  EditSelectAll(edit);
  EditGeometry g = Paint(edit, false);
  int area = static_cast<int>(g.textWidth * g.lineHeight);
  EXPECT_GT(CountNear(style_.selection, 0, 0, kWidth, kHeight), area / 2);
}

TEST_F(EditViewTest, LongTextScrollsToKeepCaretVisible) {
  EditBuffer edit;
  EditSetText(edit, std::u16string(100, u'W'));  // caret at the end, far right
  EditGeometry g = Paint(edit, true);
  EXPECT_GT(view_.scrollX, 0);
  EXPECT_GE(g.caretX, style_.padding);
  EXPECT_LE(g.caretX + style_.caretWidth, kWidth - style_.padding + 1);
  EditMoveHome(edit, false);
  g = Paint(edit, true);
  EXPECT_EQ(view_.scrollX, 0);
  EXPECT_DOUBLE_EQ(g.caretX, style_.padding);
}

TEST_F(EditViewTest, DeletingScrolledTextLeavesNoBlankRoomAtRight) {
  EditBuffer edit;
  EditSetText(edit, std::u16string(100, u'W'));
  Paint(edit, true);
  edit.text.resize(5);
  EditMoveEnd(edit, false);
  Paint(edit, true);
  EXPECT_EQ(view_.scrollX, 0);
}

TEST_F(EditViewTest, HitTestFindsTheUnitAtEachCaretPosition) {
  EditBuffer edit;
  EditSetText(edit, u"ab你😀cd");
  for (size_t unit : {0u, 1u, 2u, 3u, 5u, 6u, 7u}) {
    EditMoveTo(edit, unit, false);
    PangoLayout* layout = EditCreateLayout(edit, font_, style_);
    EditGeometry g = EditArrange(view_, edit, layout, kWidth, kHeight, style_);
    EXPECT_EQ(EditHitTest(edit, layout, g, g.caretX + 0.5), unit);
    g_object_unref(layout);
  }
  PangoLayout* layout = EditCreateLayout(edit, font_, style_);
  EditGeometry g = EditArrange(view_, edit, layout, kWidth, kHeight, style_);
  EXPECT_EQ(EditHitTest(edit, layout, g, -10), 0u);
  EXPECT_EQ(EditHitTest(edit, layout, g, kWidth + 100), 7u);
  g_object_unref(layout);
}

TEST_F(EditViewTest, CompositionShownUnderlinedAtCaret) {
  EditBuffer edit;
  EditSetText(edit, u"ab");
  EditGeometry plain = Paint(edit, false);
  EditSetComposition(edit, u"nihao", 5);
  EditGeometry composing = Paint(edit, true);
  EXPECT_GT(composing.textWidth, plain.textWidth);
  // The underline: a dark row below the baseline across the composed part.
  int underlineRow = 0;
  for (int y = static_cast<int>(composing.textTop + composing.lineHeight / 2); y < kHeight; ++y) {
    int x0 = static_cast<int>(style_.padding + plain.textWidth) + 2;
    int x1 = static_cast<int>(style_.padding + composing.textWidth) - 2;
    int run = 0;
    for (int x = x0; x < x1; ++x)
      run += ((Pixel(x, y) >> 16) & 0xFF) < 128;  // red is low in black and in the theme blue
    if (run >= x1 - x0 - 1) underlineRow = y;
  }
  EXPECT_GT(underlineRow, 0);
}

}  // namespace
}  // namespace exdui
