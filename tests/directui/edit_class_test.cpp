// The "Edit" class in the real library, driven by synthetic SDL events under
// SDL's offscreen video driver, checked by its messages, its text and pixels.
#include <SDL.h>
#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "directui/edit_utf.h"
#include "directui/include/exdui_export.h"
#include "directui/testing.h"
#include "directui/window.h"

namespace exdui {
namespace {

// The input box as the client makes it.
constexpr int kBoxX = 10, kBoxY = 440, kBoxW = 580, kBoxH = 50;

struct Received {
  int32_t msg;
  intptr_t wParam;
  int32_t textLength;  // the box's text length when the handler got the message
};
std::vector<Received> g_received;

// Like the client's input handler: outline and white fill on 20, records
// 258 and 20, returns 0 for everything.
intptr_t OnInput(HEXHANDLE, HEXHANDLE hObj, int32_t msg, intptr_t wParam, intptr_t, intptr_t*) {
  if (msg == EXM_CHAR || msg == EXM_ERASEBKGND)
    g_received.push_back({msg, wParam, Ex_ObjGetTextLength(hObj)});
  if (msg == EXM_ERASEBKGND) {
    RECT rc{};
    Ex_ObjGetClientRect(hObj, &rc);
    HEXHANDLE brush = _brush_create(0xFF000000);
    HEXHANDLE canvas = static_cast<HEXHANDLE>(wParam);
    _canvas_drawrect(canvas, brush, rc.left, rc.top, rc.right, rc.bottom, 1.0f, 0);
    _brush_setcolor(brush, 0xFFFFFFFF);
    _canvas_fillrect(canvas, brush, rc.left, rc.top, rc.right, rc.bottom);
    _brush_destroy(brush);
  }
  return 0;
}

// A handler that runs the default handling itself and returns its result.
intptr_t CallsDefault(HEXHANDLE hWnd, HEXHANDLE hObj, int32_t msg, intptr_t wParam, intptr_t lParam,
                      intptr_t*) {
  return Ex_ObjDefProc(hWnd, hObj, msg, wParam, lParam);
}

class EditClassTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    // A plain software frame buffer: SDL would otherwise go through a GL
    // renderer, which is slow here and keeps allocations of unloaded drivers.
    setenv("SDL_FRAMEBUFFER_ACCELERATION", "0", 1);
  }

  void SetUp() override {
    g_received.clear();
    ASSERT_NE(Ex_Init(0, 0x800902, 0, nullptr, nullptr, 0, nullptr, 0), 0);
    hWnd_ = Ex_WndCreate(0, nullptr, u"edit", 0, 0, 600, 500, 0, 0);
    ASSERT_NE(hWnd_, 0);
    dui_ = Ex_DUIBindWindowEx(hWnd_, 0, 0x30D07, 0, nullptr);
    ASSERT_NE(dui_, 0);
    Ex_DUISetLong(dui_, EXWL_BACKGROUNDCOLOR, 0xFFFFFFFF);
    box_ = Ex_ObjCreateEx(0xC8000000, u"Edit", nullptr, static_cast<uint32_t>(-1), kBoxX, kBoxY,
                          kBoxW, kBoxH, dui_, 1000, 0x24, 0, 0, OnInput);
    ASSERT_NE(box_, 0);
    Ex_DUIShowWindow(dui_, 5, 0, 0, 0);
    Window* w = WindowFromDui(dui_);
    ASSERT_NE(w, nullptr);
    sdlId_ = w->sdlId;
    Pump();
  }

  void TearDown() override {
    if (HasFailure() && dui_ != 0) {
      FlushForTesting(dui_);
      if (cairo_surface_t* s = BackBufferOf(dui_)) {
        std::string name = std::string("edit_class_") +
                           ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".png";
        cairo_surface_write_to_png(s, name.c_str());
      }
    }
    Ex_UnInit();
  }

  void Pump() {
    for (int i = 0; i < 20 && Ex_WndDispatchPending() > 0; ++i) {
    }
  }

  void Type(const char* utf8) {
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    e.text.windowID = sdlId_;
    std::strncpy(e.text.text, utf8, sizeof(e.text.text) - 1);
    SDL_PushEvent(&e);
    Pump();
  }

  void Key(SDL_Keycode key, uint16_t mods = KMOD_NONE) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.windowID = sdlId_;
    e.key.state = SDL_PRESSED;
    e.key.keysym.sym = key;
    e.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    e.key.keysym.mod = mods;
    SDL_PushEvent(&e);
    e.type = SDL_KEYUP;
    e.key.state = SDL_RELEASED;
    SDL_PushEvent(&e);
    Pump();
  }

  void Compose(const char* utf8, int start) {
    SDL_Event e{};
    e.type = SDL_TEXTEDITING;
    e.edit.windowID = sdlId_;
    std::strncpy(e.edit.text, utf8, sizeof(e.edit.text) - 1);
    e.edit.start = start;
    e.edit.length = 0;
    SDL_PushEvent(&e);
    Pump();
  }

  // A mouse event at a point of the box (box coordinates).
  void Mouse(uint32_t type, int x, int y, uint8_t clicks = 1) {
    SDL_Event e{};
    e.type = type;
    if (type == SDL_MOUSEMOTION) {
      e.motion.windowID = sdlId_;
      e.motion.x = kBoxX + x;
      e.motion.y = kBoxY + y;
      e.motion.state = SDL_BUTTON_LMASK;
    } else {
      e.button.windowID = sdlId_;
      e.button.button = SDL_BUTTON_LEFT;
      e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
      e.button.clicks = clicks;
      e.button.x = kBoxX + x;
      e.button.y = kBoxY + y;
    }
    SDL_PushEvent(&e);
    Pump();
  }

  std::u16string Text() {
    int32_t length = Ex_ObjGetTextLength(box_);
    std::u16string text(static_cast<size_t>(length) + 1, u'\xFFFF');
    int32_t copied = Ex_ObjGetText(box_, text.data(), (length + 1) * 2);
    EXPECT_EQ(copied, length);
    EXPECT_EQ(text[static_cast<size_t>(length)], u'\0');
    text.resize(static_cast<size_t>(length));
    return text;
  }
  std::string Utf8() { return Utf16ToUtf8(Text()); }

  int Count(int32_t msg, intptr_t wParam) {
    int n = 0;
    for (const Received& r : g_received) n += r.msg == msg && r.wParam == wParam;
    return n;
  }

  // Pixels of the shown window in [x0, x1) x [y0, y1) matching `test`.
  template <class Test>
  int CountPixels(int x0, int y0, int x1, int y1, Test test) {
    FlushForTesting(dui_);
    cairo_surface_t* s = BackBufferOf(dui_);
    if (s == nullptr) return -1;
    cairo_surface_flush(s);
    const unsigned char* data = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) {
        uint32_t p = *reinterpret_cast<const uint32_t*>(data + y * stride + x * 4);
        n += test((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
      }
    return n;
  }
  // Dark pixels inside the box's outline, where only text and caret go.
  int DarkInBox(int x0 = 2, int x1 = kBoxW - 2) {
    return CountPixels(kBoxX + x0, kBoxY + 2, kBoxX + x1, kBoxY + kBoxH - 2,
                       [](int r, int g, int b) { return r + g + b < 300; });
  }
  int WhiteInBox() {
    return CountPixels(kBoxX + 2, kBoxY + 2, kBoxX + kBoxW - 2, kBoxY + kBoxH - 2,
                       [](int r, int g, int b) { return r > 250 && g > 250 && b > 250; });
  }

  HEXHANDLE hWnd_ = 0;
  HEXHANDLE dui_ = 0;
  HEXHANDLE box_ = 0;
  uint32_t sdlId_ = 0;
};

TEST_F(EditClassTest, TypedTextReachesHandlerUnitByUnitAndIsKept) {
  Type("hi");
  Type("你");
  Type("😀");
  EXPECT_EQ(Utf8(), "hi你😀");
  EXPECT_EQ(Ex_ObjGetTextLength(box_), 5);
  std::vector<intptr_t> chars;
  std::vector<int32_t> lengths;
  for (const Received& r : g_received) {
    if (r.msg != EXM_CHAR) continue;
    chars.push_back(r.wParam);
    lengths.push_back(r.textLength);
  }
  EXPECT_EQ(chars, (std::vector<intptr_t>{'h', 'i', 0x4F60, 0xD83D, 0xDE00}));
  // The handler sees each character before the box inserts it.
  EXPECT_EQ(lengths, (std::vector<int32_t>{0, 1, 2, 3, 4}));
}

TEST_F(EditClassTest, EnterKeysDeliverThirteenOnceAndInsertNothing) {
  Type("hi");
  Key(SDLK_RETURN);
  EXPECT_EQ(Count(EXM_CHAR, 13), 1);
  Key(SDLK_KP_ENTER);
  EXPECT_EQ(Count(EXM_CHAR, 13), 2);
  Key(SDLK_m, KMOD_LCTRL);
  EXPECT_EQ(Count(EXM_CHAR, 13), 3);
  // The box keeps its text after Enter.
  EXPECT_EQ(Utf8(), "hi");
}

TEST_F(EditClassTest, EditingKeys) {
  struct Row {
    const char* name;
    std::vector<std::pair<SDL_Keycode, uint16_t>> keys;
    const char* typedAfter;
    const char* expected;
  };
  const Row rows[] = {
      {"backspace", {{SDLK_BACKSPACE, 0}}, "", "abc😀d"},
      {"backspace over pair",
       {{SDLK_BACKSPACE, 0}, {SDLK_BACKSPACE, 0}, {SDLK_BACKSPACE, 0}},
       "",
       "abc"},
      {"delete at end", {{SDLK_DELETE, 0}}, "", "abc😀de"},
      {"home then delete", {{SDLK_HOME, 0}, {SDLK_DELETE, 0}}, "", "bc😀de"},
      {"left twice then type", {{SDLK_LEFT, 0}, {SDLK_LEFT, 0}}, "X", "abc😀Xde"},
      {"left over pair", {{SDLK_LEFT, 0}, {SDLK_LEFT, 0}, {SDLK_LEFT, 0}}, "X", "abcX😀de"},
      {"shift left selects", {{SDLK_LEFT, KMOD_LSHIFT}, {SDLK_LEFT, KMOD_LSHIFT}}, "X", "abc😀X"},
      {"shift home selects", {{SDLK_LEFT, 0}, {SDLK_HOME, KMOD_RSHIFT}}, "", "abc😀de"},
      {"shift home then delete",
       {{SDLK_LEFT, 0}, {SDLK_HOME, KMOD_SHIFT}, {SDLK_DELETE, 0}},
       "",
       "e"},
      {"home, end", {{SDLK_HOME, 0}, {SDLK_END, 0}}, "X", "abc😀deX"},
      {"shift right from home", {{SDLK_HOME, 0}, {SDLK_RIGHT, KMOD_SHIFT}}, "X", "Xbc😀de"},
      {"ctrl a then backspace", {{SDLK_a, KMOD_LCTRL}, {SDLK_BACKSPACE, 0}}, "", ""},
      {"ctrl a then type", {{SDLK_a, KMOD_RCTRL}}, "new", "new"},
  };
  for (const Row& row : rows) {
    Key(SDLK_a, KMOD_CTRL);
    Key(SDLK_BACKSPACE);
    ASSERT_EQ(Utf8(), "") << row.name;
    Type("abc😀de");
    for (const auto& [key, mods] : row.keys) Key(key, mods);
    if (*row.typedAfter) Type(row.typedAfter);
    EXPECT_EQ(Utf8(), row.expected) << row.name;
  }
  // No editing key types a control character.
  for (const Received& r : g_received)
    if (r.msg == EXM_CHAR) {
      EXPECT_GE(r.wParam, 0x20);
    }
}

TEST_F(EditClassTest, ClipboardCopyCutPaste) {
  Type("hello world");
  Key(SDLK_a, KMOD_CTRL);
  Key(SDLK_c, KMOD_CTRL);
  char* clip = SDL_GetClipboardText();
  EXPECT_STREQ(clip, "hello world");
  SDL_free(clip);
  Key(SDLK_END);
  Key(SDLK_v, KMOD_CTRL);
  EXPECT_EQ(Utf8(), "hello worldhello world");

  Key(SDLK_HOME);
  for (int i = 0; i < 5; ++i) Key(SDLK_RIGHT, KMOD_SHIFT);
  Key(SDLK_x, KMOD_CTRL);
  EXPECT_EQ(Utf8(), " worldhello world");
  clip = SDL_GetClipboardText();
  EXPECT_STREQ(clip, "hello");
  SDL_free(clip);

  // Pasted line breaks become blanks: the box stays one line.
  SDL_SetClipboardText("你好\r\nthere");
  Key(SDLK_a, KMOD_CTRL);
  Key(SDLK_v, KMOD_CTRL);
  EXPECT_EQ(Utf8(), "你好 there");
  // Pasting reaches the handler as no character messages.
  EXPECT_EQ(Count(EXM_CHAR, 0x4F60), 0);
}

TEST_F(EditClassTest, ImeCompositionShownThenCommitted) {
  Type("a");
  int before = DarkInBox();
  Compose("nihao", 5);
  // Not text yet, but shown: more dark pixels than "a" alone.
  EXPECT_EQ(Utf8(), "a");
  EXPECT_GT(DarkInBox(), before + 20);
  Type("你好");
  Compose("", 0);
  EXPECT_EQ(Utf8(), "a你好");
  EXPECT_EQ(Count(EXM_CHAR, 0x4F60), 1);
  EXPECT_EQ(Count(EXM_CHAR, 0x597D), 1);
  // A cancelled composition leaves the text alone.
  Compose("xyz", 3);
  Compose("", 0);
  EXPECT_EQ(Utf8(), "a你好");
}

TEST_F(EditClassTest, HandlerPaintsWhiteBackgroundOnEraseMessage) {
  FlushForTesting(dui_);
  bool withCanvas = false;
  for (const Received& r : g_received) withCanvas |= r.msg == EXM_ERASEBKGND && r.wParam != 0;
  EXPECT_TRUE(withCanvas);
  // Nothing typed: the box is white but for the caret.
  int inner = (kBoxW - 4) * (kBoxH - 4);
  EXPECT_GT(WhiteInBox(), inner * 95 / 100);
}

TEST_F(EditClassTest, TypedTextIsDarkInsideTheBoxAndStaysAfterEnter) {
  Key(SDLK_a, KMOD_CTRL);  // nothing to select; must not disturb
  Type("hello");
  int typed = DarkInBox(2, kBoxW / 2);
  EXPECT_GT(typed, 40);
  Key(SDLK_RETURN);
  EXPECT_GT(DarkInBox(2, kBoxW / 2), 40);
  Key(SDLK_a, KMOD_CTRL);
  Key(SDLK_BACKSPACE);
  // Only the caret may stay dark once the text is gone.
  EXPECT_LT(DarkInBox(2, kBoxW / 2), 40);
}

TEST_F(EditClassTest, ClickPlacesCaretAndDragSelects) {
  Type("abcdefghij");
  // Click far left of the text: the caret goes to the start.
  Mouse(SDL_MOUSEBUTTONDOWN, 3, kBoxH / 2);
  Mouse(SDL_MOUSEBUTTONUP, 3, kBoxH / 2);
  Type("X");
  EXPECT_EQ(Utf8(), "Xabcdefghij");
  // Click far right: the caret goes to the end.
  Mouse(SDL_MOUSEBUTTONDOWN, kBoxW - 10, kBoxH / 2);
  Mouse(SDL_MOUSEBUTTONUP, kBoxW - 10, kBoxH / 2);
  Type("Y");
  EXPECT_EQ(Utf8(), "XabcdefghijY");
  // Drag from the start to past the end selects everything.
  Mouse(SDL_MOUSEBUTTONDOWN, 2, kBoxH / 2);
  Mouse(SDL_MOUSEMOTION, kBoxW / 2, kBoxH / 2);
  Mouse(SDL_MOUSEMOTION, kBoxW - 4, kBoxH / 2);
  Mouse(SDL_MOUSEBUTTONUP, kBoxW - 4, kBoxH / 2);
  Type("Z");
  EXPECT_EQ(Utf8(), "Z");
}

TEST_F(EditClassTest, HandlerCallingDefaultGetsItOnce) {
  // A second box above the first; a click gives it the focus.
  HEXHANDLE other = Ex_ObjCreateEx(0, u"Edit", nullptr, static_cast<uint32_t>(-1), kBoxX, 300,
                                   kBoxW, kBoxH, dui_, 1001, 0x24, 0, 0, CallsDefault);
  ASSERT_NE(other, 0);
  Mouse(SDL_MOUSEBUTTONDOWN, 20, 300 - kBoxY + kBoxH / 2);
  Mouse(SDL_MOUSEBUTTONUP, 20, 300 - kBoxY + kBoxH / 2);
  Type("ab");
  Key(SDLK_BACKSPACE);
  Type("c");
  std::u16string text(8, u'\0');
  EXPECT_EQ(Ex_ObjGetText(other, text.data(), 16), 2);
  EXPECT_EQ(Utf16ToUtf8(text.c_str()), "ac");
  EXPECT_EQ(Utf8(), "");  // the first box lost the focus and got nothing
}

TEST_F(EditClassTest, DoubleClickSelectsWord) {
  Type("one two");
  Mouse(SDL_MOUSEBUTTONDOWN, 8, kBoxH / 2);
  Mouse(SDL_MOUSEBUTTONUP, 8, kBoxH / 2);
  Mouse(SDL_MOUSEBUTTONDOWN, 8, kBoxH / 2, 2);
  Mouse(SDL_MOUSEBUTTONUP, 8, kBoxH / 2, 2);
  Type("1");
  EXPECT_EQ(Utf8(), "1 two");
}

TEST_F(EditClassTest, SelectionIsHighlighted) {
  Type("selected");
  auto blue = [](int r, int g, int b) { return b > 200 && r < 100 && g > 100 && g < 200; };
  EXPECT_EQ(CountPixels(kBoxX, kBoxY, kBoxX + kBoxW, kBoxY + kBoxH, blue), 0);
  Key(SDLK_a, KMOD_CTRL);
  EXPECT_GT(CountPixels(kBoxX, kBoxY, kBoxX + kBoxW, kBoxY + kBoxH, blue), 200);
}

TEST_F(EditClassTest, CaretBlinkRepaintsOnlyTheCaret) {
  Type("hi");
  Window* w = WindowFromDui(dui_);
  ASSERT_NE(w, nullptr);
  FlushForTesting(dui_);
  int darkWithCaret = DarkInBox();
  w->paintedPixels = 0;
  Ex_ObjSendMessage(box_, EXM_TIMER, 1, 0);  // one blink: the caret goes off
  FlushForTesting(dui_);
  int64_t painted = w->paintedPixels;
  EXPECT_GT(painted, 0);
  EXPECT_LE(painted, 8 * kBoxH);  // a few pixels wide, at most the box's height
  int darkWithoutCaret = DarkInBox();
  EXPECT_LT(darkWithoutCaret, darkWithCaret);
  Ex_ObjSendMessage(box_, EXM_TIMER, 1, 0);
  EXPECT_EQ(DarkInBox(), darkWithCaret);
}

TEST_F(EditClassTest, NoCaretWithoutFocus) {
  int withCaret = DarkInBox();
  EXPECT_GT(withCaret, 10);  // empty box: the dark pixels are the caret's
  SDL_Event e{};
  e.type = SDL_WINDOWEVENT;
  e.window.windowID = sdlId_;
  e.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
  SDL_PushEvent(&e);
  Pump();
  EXPECT_EQ(DarkInBox(), 0);
  Ex_ObjSendMessage(box_, EXM_TIMER, 1, 0);  // a stray blink shows no caret
  EXPECT_EQ(DarkInBox(), 0);
}

TEST_F(EditClassTest, GetTextHonoursByteLimit) {
  Type("hello");
  char16_t buffer[8];
  std::fill(std::begin(buffer), std::end(buffer), u'\xAAAA');
  EXPECT_EQ(Ex_ObjGetText(box_, buffer, 6), 2);
  EXPECT_EQ(buffer[0], u'h');
  EXPECT_EQ(buffer[1], u'e');
  EXPECT_EQ(buffer[2], u'\0');
  EXPECT_EQ(buffer[3], u'\xAAAA');
  EXPECT_EQ(Ex_ObjGetText(box_, buffer, 1), 0);
  EXPECT_EQ(Ex_ObjGetText(box_, buffer, 0), 0);
  EXPECT_EQ(Ex_ObjGetText(box_, nullptr, 100), 0);
  EXPECT_EQ(Ex_ObjGetText(0, buffer, 16), 0);
  EXPECT_EQ(Ex_ObjGetTextLength(0), 0);
}

}  // namespace
}  // namespace exdui
