// The library's window and object core in a real window under SDL's offscreen
// driver: size messages, the caption bar, user values, default handling,
// scroll bars, and refusal of bad handles and forged messages.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "directui/include/exdui_export.h"
#include "directui/testing.h"
#include "directui/theme.h"

namespace {

struct Received {
  HEXHANDLE obj;
  int32_t msg;
  intptr_t wParam;
  intptr_t lParam;
};
std::vector<Received> g_received;

intptr_t Records(HEXHANDLE hWnd, HEXHANDLE hObj, int32_t msg, intptr_t wParam, intptr_t lParam,
                 intptr_t*) {
  g_received.push_back({hObj, msg, wParam, lParam});
  return Ex_ObjDefProc(hWnd, hObj, msg, wParam, lParam);
}

// Paints its whole object red itself, then asks for the default handling.
intptr_t PaintsRed(HEXHANDLE hWnd, HEXHANDLE hObj, int32_t msg, intptr_t wParam, intptr_t lParam,
                   intptr_t*) {
  if (msg == EXM_PAINT) {
    ExPaintStruct ps{};
    if (Ex_ObjBeginPaint(hObj, &ps)) {
      HEXHANDLE brush = _brush_create(0xFFFF0000);
      _canvas_fillrect(ps.hCanvas, brush, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right,
                       ps.rcPaint.bottom);
      _brush_destroy(brush);
      Ex_ObjEndPaint(hObj, &ps);
    }
  }
  return Ex_ObjDefProc(hWnd, hObj, msg, wParam, lParam);
}

int Count(HEXHANDLE obj, int32_t msg) {
  int n = 0;
  for (const Received& r : g_received) n += (r.obj == obj && r.msg == msg) ? 1 : 0;
  return n;
}

class CoreWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_FRAMEBUFFER_ACCELERATION", "0", 1);
  }

  void SetUp() override {
    g_received.clear();
    ASSERT_NE(Ex_Init(0, 0x800902, 0, nullptr, nullptr, 0, nullptr, 0), 0);
    wnd_ = Ex_WndCreate(0, nullptr, u"core", 0, 0, 600, 500, 0, 0);
    ASSERT_NE(wnd_, 0);
    dui_ = Ex_DUIBindWindowEx(wnd_, 0, 0x30D07, 0, Records);
    ASSERT_NE(dui_, 0);
    Ex_DUISetLong(dui_, EXWL_BACKGROUNDCOLOR, static_cast<intptr_t>(0xFFFFFFFF));
    Ex_ObjSetColor(Ex_ObjGetFromID(dui_, EXOBJ_CAPTION_ID), 0, 0xFF0088FF, 1);
  }

  void TearDown() override { Ex_UnInit(); }

  HEXHANDLE Static(int x, int y, int w, int h, HEXHANDLE parent, ExMsgProc proc,
                   uint32_t style = EXOS_VISIBLE) {
    return Ex_ObjCreateEx(static_cast<uint32_t>(-1), u"Static", nullptr, style, x, y, w, h, parent,
                          0, static_cast<uint32_t>(-1), 0, 0, proc);
  }

  // The colour shown at (x, y) as 0xRRGGBB.
  uint32_t Pixel(int x, int y) {
    exdui::FlushForTesting(dui_);
    cairo_surface_t* surface = exdui::BackBufferOf(dui_);
    cairo_surface_flush(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    return *reinterpret_cast<const uint32_t*>(data + y * stride + x * 4) & 0xFFFFFF;
  }

  HEXHANDLE wnd_ = 0;
  HEXHANDLE dui_ = 0;
};

TEST_F(CoreWindowTest, ShowingSendsTheClientSizeAndPaintsCaptionAndBackground) {
  Ex_DUIShowWindow(dui_, 5, 0, 0, 0);
  Ex_WndDispatchPending();
  ASSERT_GE(Count(dui_, EXM_SIZE), 1);
  for (const Received& r : g_received)
    if (r.obj == dui_ && r.msg == EXM_SIZE) {
      EXPECT_EQ(r.lParam, 600 | (500 << 16));
    }
  EXPECT_NE(Ex_ObjGetFromID(dui_, EXOBJ_CAPTION_ID), 0);
  EXPECT_EQ(Pixel(300, 20), 0x0088FFu);
  EXPECT_EQ(Pixel(300, 300), 0xFFFFFFu);
}

TEST_F(CoreWindowTest, ObjectsGetSizeMessagesWhenCreatedAndResizedOnly) {
  const HEXHANDLE obj = Static(10, 42, 200, 100, dui_, Records);
  ASSERT_NE(obj, 0);
  EXPECT_EQ(Count(obj, EXM_SIZE), 1);
  Ex_ObjSetPos(obj, 0, 0, 0, 300, 150, 2);  // size only
  EXPECT_EQ(Count(obj, EXM_SIZE), 2);
  Ex_ObjSetPos(obj, 0, 50, 60, 0, 0, 1);  // position only
  EXPECT_EQ(Count(obj, EXM_SIZE), 2);
  RECT rc{};
  ASSERT_EQ(Ex_ObjGetClientRect(obj, &rc), 1);
  EXPECT_EQ(rc.left, 0);
  EXPECT_EQ(rc.top, 0);
  EXPECT_EQ(rc.right, 300);
  EXPECT_EQ(rc.bottom, 150);
}

TEST_F(CoreWindowTest, UserValuesArePointerSized) {
  int anchor = 0;
  const intptr_t value = reinterpret_cast<intptr_t>(&anchor);
  const HEXHANDLE obj = Static(0, 0, 10, 10, dui_, nullptr);
  Ex_ObjSetLong(obj, EXOL_USERDATA, value);
  EXPECT_EQ(Ex_ObjGetLong(obj, EXOL_USERDATA), value);
}

TEST_F(CoreWindowTest, AHandlersOwnPaintSurvivesTheDefaultHandlingAndChildrenAreClipped) {
  const HEXHANDLE parent = Static(100, 100, 100, 100, dui_, nullptr);
  Ex_ObjSetColor(parent, 0, 0xFF00FF00, 1);
  const HEXHANDLE child = Static(50, 50, 200, 200, parent, PaintsRed);
  ASSERT_NE(child, 0);
  Ex_DUIShowWindow(dui_, 5, 0, 0, 0);
  Ex_ObjSendMessage(child, EXM_PAINT, 0, 0);
  EXPECT_EQ(Pixel(120, 120), 0x00FF00u);  // the parent's own colour
  EXPECT_EQ(Pixel(175, 175), 0xFF0000u);  // the child's paint, inside the parent
  EXPECT_EQ(Pixel(250, 250), 0xFFFFFFu);  // the child is clipped to its parent
}

TEST_F(CoreWindowTest, ScrollInfoRoundTripsAndPositionsAreClamped) {
  const HEXHANDLE frame = Static(10, 42, 580, 388, dui_, Records, 0x50000000);
  EXPECT_NE(Ex_ObjScrollGetControl(frame, 1), 0);
  Ex_ObjScrollSetInfo(frame, 1, 0x17, 0, 612, 300, 612, 1);
  Ex_ObjScrollShow(frame, 1, 1);
  int32_t min = -1, max = -1, pos = -1;
  ASSERT_NE(Ex_ObjScrollGetInfo(frame, 1, &min, &max, &pos, nullptr), 0);
  EXPECT_EQ(min, 0);
  EXPECT_EQ(max, 612);
  EXPECT_EQ(pos, 612);
  Ex_ObjScrollSetPos(frame, 1, 5000, 1);
  Ex_ObjScrollGetInfo(frame, 1, &min, &max, &pos, nullptr);
  EXPECT_EQ(pos, 612);
  Ex_ObjScrollSetPos(frame, 1, -5, 1);
  Ex_ObjScrollGetInfo(frame, 1, &min, &max, &pos, nullptr);
  EXPECT_EQ(pos, 0);
  const HEXHANDLE plain = Static(0, 0, 10, 10, dui_, nullptr);
  EXPECT_EQ(Ex_ObjScrollGetControl(plain, 1), 0);
}

TEST_F(CoreWindowTest, BadHandlesAndForgedRecordsAreRefused) {
  const HEXHANDLE obj = Static(0, 0, 10, 10, dui_, Records);
  const HEXHANDLE brush = _brush_create(0xFF000000);
  _brush_destroy(brush);
  RECT rc{};
  for (HEXHANDLE bad : {HEXHANDLE{0}, brush, HEXHANDLE{0x7FFFFFFF}}) {
    EXPECT_EQ(Ex_ObjSetPos(bad, 0, 0, 0, 5, 5, 0), 0);
    EXPECT_EQ(Ex_ObjGetClientRect(bad, &rc), 0);
    EXPECT_EQ(Ex_ObjGetLong(bad, EXOL_USERDATA), 0);
    EXPECT_EQ(Ex_ObjSendMessage(bad, EXM_PAINT, 0, 0), 0);
    EXPECT_EQ(Ex_ObjScrollSetPos(bad, 1, 3, 1), 0);
    EXPECT_EQ(_brush_destroy(bad), 0);
    EXPECT_EQ(Ex_ObjGetFromID(bad, 256), 0);
  }
  // An object handle is not a brush, nor a brush an object.
  EXPECT_EQ(_brush_setcolor(obj, 0), 0u);
  g_received.clear();
  EXPECT_EQ(Ex_ObjSendMessage(obj, EXM_IME_COMPOSITION, 1234, 0), 0);
  EXPECT_EQ(Ex_ObjDefProc(wnd_, obj, EXM_IME_COMPOSITION, 1234, 0), 0);
  EXPECT_EQ(Count(obj, EXM_IME_COMPOSITION), 0);
}

TEST(Theme, PackagesThatAreNotSoundGiveTheBuiltInTheme) {
  const std::string magic = "EXPK";
  const std::vector<std::string> packages = {"",
                                             "EX",
                                             magic,
                                             magic + std::string(12, '\0') + "x",
                                             magic + std::string(20, '\xFF'),
                                             std::string(64, 'A')};
  const exdui::Theme defaults;
  for (const std::string& package : packages) {
    exdui::Theme theme;
    theme.captionHeight = 99;
    EXPECT_NE(exdui::ParseTheme(package.data(), package.size(), &theme), exdui::ThemeStatus::Loaded)
        << package.size();
    EXPECT_EQ(theme.captionHeight, defaults.captionHeight);
  }
}

}  // namespace
