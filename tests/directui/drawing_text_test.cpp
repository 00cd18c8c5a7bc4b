// Text: colour, wrapping, clipping, alignment, measuring consistent with
// drawing, Chinese through the font fallback, and bounded work for hostile
// texts.
#include <gtest/gtest.h>
#include <pango/pangocairo.h>

#include <cmath>
#include <string>

#include "directui/font.h"
#include "directui/include/exdui_export.h"
#include "directui/text_layout.h"
#include "tests/directui/drawing_support.h"

namespace {

using drawing_test::Near;
using drawing_test::Surface;
using drawing_test::U16;
using exdui::EXDT_CENTER;
using exdui::EXDT_RIGHT;
using exdui::EXDT_SINGLELINE;

HEXHANDLE ChatFont() {
  static const HEXHANDLE font = _font_createfromfamily(U16("微软雅黑").c_str(), 18, 0);
  return font;
}

struct Measured {
  float width = -1, height = -1;
};

Measured Measure(HEXHANDLE canvas, const std::u16string& text, float maxWidth,
                 float maxHeight = 9999.0f, uint32_t format = 0) {
  Measured m;
  EXPECT_EQ(_canvas_calctextsize(canvas, ChatFont(), text.c_str(), -1, format, 0, maxWidth,
                                 maxHeight, &m.width, &m.height),
            1);
  return m;
}

void Draw(HEXHANDLE canvas, const std::u16string& text, uint32_t argb, float left, float top,
          float right, float bottom, uint32_t format = 0) {
  EXPECT_EQ(_canvas_drawtext(canvas, ChatFont(), argb, text.c_str(), -1, format, left, top, right,
                             bottom),
            1);
}

const std::u16string kSentence = U16("The quick brown fox jumps over the lazy dog again and again");

TEST(DrawText, DrawsInItsColourInsideTheRectangle) {
  Surface surface(300, 60);
  Draw(surface.canvas(), U16("Hello, world"), 0xFFFF0000, 20, 10, 280, 50);
  const auto ink = surface.InkBox();
  ASSERT_FALSE(ink.empty());
  EXPECT_GE(ink.left, 20);
  EXPECT_GE(ink.top, 10);
  EXPECT_LE(ink.right, 280);
  EXPECT_LE(ink.bottom, 50);
  EXPECT_GT(surface.CountNear(0xFFFF0000, 30, 0, 0, 300, 60), 20) << "no pixel in the text colour";
  EXPECT_EQ(surface.CountNear(0xFF000000, 60, 0, 0, 300, 60), 0) << "ink in another colour";
}

TEST(DrawText, WrapsAtTheRectangleWidth) {
  Surface surface(200, 300);
  const Measured oneLine = Measure(surface.canvas(), U16("The"), 1000);
  Draw(surface.canvas(), kSentence, 0xFF000000, 10, 10, 130, 290);
  const auto ink = surface.InkBox();
  ASSERT_FALSE(ink.empty());
  EXPECT_LE(ink.right, 130);
  EXPECT_GT(ink.bottom - ink.top, 2 * oneLine.height) << "the sentence did not wrap";
}

TEST(DrawText, IsClippedToTheRectangle) {
  Surface surface(200, 100);
  Draw(surface.canvas(), kSentence, 0xFF000000, 10, 10, 100, 40);
  const auto ink = surface.InkBox();
  ASSERT_FALSE(ink.empty());
  EXPECT_GE(ink.left, 10);
  EXPECT_GE(ink.top, 10);
  EXPECT_LE(ink.right, 100);
  EXPECT_LE(ink.bottom, 40);
}

TEST(DrawText, NullAndEmptyTextsDrawNothingAndMeasureZero) {
  Surface surface(100, 40);
  float w = -1, h = -1;
  EXPECT_EQ(
      _canvas_calctextsize(surface.canvas(), ChatFont(), nullptr, -1, 0, 0, 460, 9999, &w, &h), 1);
  EXPECT_EQ(w, 0.0f);
  EXPECT_EQ(h, 0.0f);
  EXPECT_EQ(_canvas_calctextsize(surface.canvas(), ChatFont(), u"abc", 0, 0, 0, 460, 9999, &w, &h),
            1);
  EXPECT_EQ(h, 0.0f);
  EXPECT_EQ(
      _canvas_drawtext(surface.canvas(), ChatFont(), 0xFF000000, nullptr, -1, 0, 0, 0, 100, 40), 1);
  EXPECT_EQ(_canvas_drawtext(surface.canvas(), ChatFont(), 0xFF000000, u"", -1, 0, 0, 0, 100, 40),
            1);
  EXPECT_TRUE(surface.InkBox().empty());
}

TEST(DrawText, ExplicitLengthDrawsOnlyThatPrefix) {
  Surface surface(300, 40);
  float whole = 0, prefix = 0, h = 0;
  _canvas_calctextsize(surface.canvas(), ChatFont(), u"Hello world", -1, 0, 0, 1000, 100, &whole,
                       &h);
  _canvas_calctextsize(surface.canvas(), ChatFont(), u"Hello world", 5, 0, 0, 1000, 100, &prefix,
                       &h);
  EXPECT_GT(prefix, 0.0f);
  EXPECT_LT(prefix, whole * 0.7f);
}

// Texts that wrap in different ways: words, an unbroken run, Chinese, mixed
// scripts, explicit line breaks, a line of spaces.
struct LayoutCase {
  const char* name;
  const char* text;
  float maxWidth;
};

class MeasureMatchesDrawing : public testing::TestWithParam<LayoutCase> {};

// Drawn the way the transcript does, in a box of the measured size, the
// text's ink stays in that box and matches the ink drawn with the full
// maximum width: the same lines either way.
TEST_P(MeasureMatchesDrawing, InkLiesInTheMeasuredBox) {
  const LayoutCase& c = GetParam();
  const std::u16string text = U16(c.text);
  Surface narrow(600, 400), wide(600, 400);
  const Measured m = Measure(narrow.canvas(), text, c.maxWidth);
  ASSERT_GT(m.width, 0);
  ASSERT_GT(m.height, 0);
  EXPECT_LE(m.width, std::ceil(c.maxWidth));
  EXPECT_EQ(m.width, std::floor(m.width)) << "widths are whole pixels";
  Draw(narrow.canvas(), text, 0xFF000000, 10, 10, 10 + float(int(m.width)), 10 + m.height + 20);
  Draw(wide.canvas(), text, 0xFF000000, 10, 10, 10 + c.maxWidth, 390);
  const auto ink = narrow.InkBox();
  ASSERT_FALSE(ink.empty());
  EXPECT_GE(ink.left, 9);
  EXPECT_LE(ink.right, 10 + int(m.width) + 1);
  EXPECT_GE(ink.top, 10);
  EXPECT_LE(ink.bottom, 10 + int(m.height) + 1);
  const auto wideInk = wide.InkBox();
  EXPECT_EQ(ink.left, wideInk.left);
  EXPECT_EQ(ink.top, wideInk.top);
  EXPECT_EQ(ink.bottom, wideInk.bottom);
  EXPECT_NEAR(ink.right, wideInk.right, 1) << "the two widths wrapped differently";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, MeasureMatchesDrawing,
    testing::Values(
        LayoutCase{"short", "Hi there", 460},
        LayoutCase{"words", "The quick brown fox jumps over the lazy dog, twice over.", 120},
        LayoutCase{"unbroken", "Supercalifragilisticexpialidocious_and_then_some_more_of_it", 100},
        LayoutCase{"chinese", "你好，世界！今天天气很好，我们去公园散步吧。", 150},
        LayoutCase{"mixed", "Tovi 说: hello 世界 and more words 还有中文", 130},
        LayoutCase{"lines", "first line\nsecond\n\nfourth after an empty one", 460},
        LayoutCase{"spaces", "a          b          c          d", 60}),
    [](const testing::TestParamInfo<LayoutCase>& info) { return std::string(info.param.name); });

TEST(MeasureText, HeightStopsAtTheLimit) {
  Surface surface(10, 10);
  std::u16string longText;
  for (int i = 0; i < 50; ++i) longText += kSentence + u" ";
  const Measured limited = Measure(surface.canvas(), longText, 200, 100);
  EXPECT_EQ(limited.height, 100.0f);
  const Measured whole = Measure(surface.canvas(), longText, 200, 0);  // no limit
  EXPECT_GT(whole.height, 1000.0f);
}

TEST(MeasureText, SingleLineIgnoresWidthAndLineBreaks) {
  Surface surface(10, 10);
  const Measured one = Measure(surface.canvas(), U16("alpha"), 10, 9999, EXDT_SINGLELINE);
  const Measured two =
      Measure(surface.canvas(), U16("alpha\nbeta gamma"), 10, 9999, EXDT_SINGLELINE);
  EXPECT_EQ(one.height, two.height);
  EXPECT_GT(two.width, one.width);
  EXPECT_GT(two.width, 10.0f);
}

TEST(DrawText, SingleLineCentresVertically) {
  Surface surface(300, 80);
  Draw(surface.canvas(), U16("Centre me"), 0xFF000000, 0, 0, 300, 80, 0x24);
  const auto ink = surface.InkBox();
  ASSERT_FALSE(ink.empty());
  EXPECT_NEAR((ink.top + ink.bottom) / 2.0, 40.0, 6.0);
  EXPECT_LT(ink.left, 10);
}

enum class Edge { Left, Centre, Right };

struct AlignCase {
  uint32_t format;
  Edge edge;
};

class Alignment : public testing::TestWithParam<AlignCase> {};

TEST_P(Alignment, PlacesTheLine) {
  Surface surface(300, 40);
  Draw(surface.canvas(), U16("middle"), 0xFF000000, 0, 0, 300, 40, GetParam().format);
  const auto ink = surface.InkBox();
  ASSERT_FALSE(ink.empty());
  switch (GetParam().edge) {
    case Edge::Left:
      EXPECT_LE(ink.left, 4);
      break;
    case Edge::Centre:
      EXPECT_NEAR((ink.left + ink.right) / 2.0, 150.0, 4.0);
      break;
    case Edge::Right:
      EXPECT_GE(ink.right, 296);
      break;
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, Alignment,
                         testing::Values(AlignCase{0, Edge::Left},
                                         AlignCase{EXDT_CENTER, Edge::Centre},
                                         AlignCase{EXDT_RIGHT, Edge::Right},
                                         AlignCase{EXDT_CENTER | EXDT_SINGLELINE, Edge::Centre},
                                         AlignCase{EXDT_RIGHT | EXDT_SINGLELINE, Edge::Right}));

TEST(ChineseText, RendersThroughAnInstalledFace) {
  Surface surface(300, 60);
  const std::u16string text = U16("你好世界");
  const Measured m = Measure(surface.canvas(), text, 460);
  EXPECT_GT(m.width, 4 * 10.0f);
  Draw(surface.canvas(), text, 0xFF000000, 10, 10, 290, 50);
  EXPECT_GT(surface.CountNear(0xFF000000, 60, 0, 0, 300, 60), 30);
  // The face chosen for the characters really has them (no empty boxes).
  PangoFontset* fonts =
      pango_context_load_fontset(exdui::SharedPangoContext(), exdui::FontDescription(ChatFont()),
                                 pango_language_from_string("zh-cn"));
  ASSERT_NE(fonts, nullptr);
  PangoFont* face = pango_fontset_get_font(fonts, 0x4F60);
  EXPECT_TRUE(pango_font_has_char(face, 0x4F60));
  EXPECT_TRUE(pango_font_has_char(face, 0x754C));
  g_object_unref(face);
  g_object_unref(fonts);
}

// A text long enough to be laid out in many chunks gives the lines of one
// Pango layout of the whole text.
TEST(ChunkedLayout, GivesTheLinesOfAWholeLayout) {
  std::string utf8;
  for (int i = 0; i < 120; ++i) {
    utf8 += (i % 3 == 0) ? "中文句子也要一起换行，" : "some words of English text ";
    if (i % 17 == 16) utf8 += "\n";
  }
  const std::u16string text = U16(utf8.c_str());
  ASSERT_GT(utf8.size(), size_t(4 * exdui::kChunkBytes));
  Surface surface(10, 10);
  const Measured m = Measure(surface.canvas(), text, 300, 0);

  PangoLayout* whole = pango_layout_new(exdui::SharedPangoContext());
  pango_layout_set_font_description(whole, exdui::FontDescription(ChatFont()));
  pango_layout_set_width(whole, 300 * PANGO_SCALE);
  pango_layout_set_wrap(whole, PANGO_WRAP_WORD_CHAR);
  PangoAttrList* attributes = pango_attr_list_new();
  pango_attr_list_insert(attributes, pango_attr_insert_hyphens_new(FALSE));
  pango_layout_set_attributes(whole, attributes);
  pango_attr_list_unref(attributes);
  pango_layout_set_text(whole, utf8.c_str(), int(utf8.size()));
  PangoRectangle logical;
  pango_layout_get_extents(whole, nullptr, &logical);
  EXPECT_EQ(m.height, std::ceil(double(logical.height) / PANGO_SCALE));
  EXPECT_EQ(m.width, std::ceil(double(logical.width) / PANGO_SCALE));
  g_object_unref(whole);
}

TEST(TextCache, RemeasuringTheSameTextHitsTheCache) {
  Surface surface(10, 10);
  const std::u16string text = U16("cache me if you can");
  const Measured first = Measure(surface.canvas(), text, 333);
  const auto before = exdui::TextCacheCountersNow();
  const Measured again = Measure(surface.canvas(), text, 333);
  const auto after = exdui::TextCacheCountersNow();
  EXPECT_EQ(after.measureHits, before.measureHits + 1);
  EXPECT_EQ(after.chunksLaidOut, before.chunksLaidOut);
  EXPECT_EQ(first.width, again.width);
  // Another width, another text or another font is another entry.
  Measure(surface.canvas(), text, 50);
  Measure(surface.canvas(), text + u"!", 333);
  EXPECT_EQ(exdui::TextCacheCountersNow().measureMisses, after.measureMisses + 2);
}

TEST(TextCache, ChangingTheDefaultFontIsNotServedFromTheCache) {
  Surface surface(10, 10);
  float w1 = 0, w2 = 0, h = 0;
  exdui::SetDefaultFont("sans-serif", 12);
  _canvas_calctextsize(surface.canvas(), 0, u"default font", -1, 0, 0, 500, 100, &w1, &h);
  exdui::SetDefaultFont("sans-serif", 24);
  _canvas_calctextsize(surface.canvas(), 0, u"default font", -1, 0, 0, 500, 100, &w2, &h);
  EXPECT_GT(w2, w1 * 1.5f);
  exdui::SetDefaultFont(nullptr, 14);
}

// Bounded work: answers a server could send. A run of 100,000 characters
// with no break point, and a megabyte of Chinese.
std::u16string Unbroken(size_t n) {
  return std::u16string(n, u'a');
}

std::u16string ChineseMegabyte() {
  std::u16string text;
  // Three UTF-8 bytes a character: about 1 MiB.
  for (int i = 0; i < (1 << 20) / 3; ++i) text.push_back(char16_t(0x4E00 + (i * 7) % 3000));
  return text;
}

class HostileText : public testing::TestWithParam<int> {};

TEST_P(HostileText, MeasuresAndDrawsWrappedInsideItsRectangle) {
  const std::u16string text = GetParam() == 0 ? Unbroken(100000) : ChineseMegabyte();
  // The transcript's last entry, scrolled to the bottom of a 388-high view.
  Surface surface(580, 388);
  const Measured m = Measure(surface.canvas(), text, 460, 9999.0f);
  EXPECT_LE(m.width, 460.0f);
  EXPECT_GT(m.width, 400.0f);
  EXPECT_EQ(m.height, 9999.0f);
  const float top = 388.0f - (m.height + 22);
  cairo_save(surface.context());
  Draw(surface.canvas(), text, 0xFF000000, 60, top + 14, 60 + float(int(m.width)),
       top + m.height + 12);
  cairo_restore(surface.context());
  const auto ink = surface.InkBox();
  ASSERT_FALSE(ink.empty());
  EXPECT_GE(ink.left, 59);
  EXPECT_LE(ink.right, 60 + int(m.width) + 1);
  EXPECT_GT(ink.bottom - ink.top, 300) << "the visible part is not full of lines";
  // Measured again without a height limit, the text is far taller.
  const Measured whole = Measure(surface.canvas(), text, 460, 0.0f);
  EXPECT_GT(whole.height, 20000.0f);
  EXPECT_LE(whole.width, 460.0f);
}

INSTANTIATE_TEST_SUITE_P(Answers, HostileText, testing::Values(0, 1),
                         [](const testing::TestParamInfo<int>& info) {
                           return std::string(info.param == 0 ? "Unbroken100k" : "Chinese1MiB");
                         });

TEST(HostileText, SingleLineOfAMillionCharactersDrawsOneLine) {
  Surface surface(400, 40);
  const std::u16string text = Unbroken(1 << 20);
  const Measured m = Measure(surface.canvas(), text, 400, 40, 0x24);
  EXPECT_GT(m.width, 400.0f);
  EXPECT_LT(m.height, 40.0f);
  Draw(surface.canvas(), text, 0xFF000000, 0, 0, 400, 40, 0x24);
  EXPECT_FALSE(surface.InkBox().empty());
}

}  // namespace
