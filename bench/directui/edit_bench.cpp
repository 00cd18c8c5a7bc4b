// The edit box: what one keystroke costs (edit, layout, paint of the box) and
// how many pixels a caret blink repaints in a real window.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <cairo.h>
#include <pango/pango.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "directui/canvas.h"
#include "directui/edit_buffer.h"
#include "directui/edit_view.h"
#include "directui/include/exdui_export.h"
#include "directui/testing.h"
#include "directui/window.h"

namespace exdui {
namespace {

constexpr int kBoxW = 580, kBoxH = 50;

// A keystroke at the end of a line of `range(0)` characters: insert, lay out,
// bring the caret into view and paint the box.
void BM_EditKeystroke(benchmark::State& state) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kBoxW, kBoxH);
  cairo_t* cr = cairo_create(surface);
  EditBuffer edit;
  EditSetText(edit, std::u16string(static_cast<size_t>(state.range(0)), u'字'));
  EditView view;
  EditStyle style;
  for (auto _ : state) {
    EditBackspace(edit);
    EditInsert(edit, u"字");
    PangoLayout* layout = EditCreateLayout(edit, DefaultFontDescription(), style);
    EditGeometry g = EditArrange(view, edit, layout, kBoxW, kBoxH, style);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    EditDraw(cr, edit, layout, g, kBoxW, kBoxH, style, true);
    g_object_unref(layout);
  }
  cairo_surface_flush(surface);
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}
BENCHMARK(BM_EditKeystroke)
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(kEditMaxLength)
    ->Unit(benchmark::kMicrosecond);

intptr_t OnInput(HEXHANDLE, HEXHANDLE hObj, int32_t msg, intptr_t wParam, intptr_t, intptr_t*) {
  if (msg == EXM_ERASEBKGND) {
    RECT rc{};
    Ex_ObjGetClientRect(hObj, &rc);
    HEXHANDLE brush = _brush_create(0xFF000000);
    _canvas_drawrect(static_cast<HEXHANDLE>(wParam), brush, rc.left, rc.top, rc.right, rc.bottom,
                     1.0f, 0);
    _brush_setcolor(brush, 0xFFFFFFFF);
    _canvas_fillrect(static_cast<HEXHANDLE>(wParam), brush, rc.left, rc.top, rc.right, rc.bottom);
    _brush_destroy(brush);
  }
  return 0;
}

// The client's window with its input box, under the offscreen driver.
struct BoxWindow {
  HEXHANDLE dui = 0;
  HEXHANDLE box = 0;
  Window* window = nullptr;

  BoxWindow() {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_FRAMEBUFFER_ACCELERATION", "0", 1);
    Ex_Init(0, 0x800902, 0, nullptr, nullptr, 0, nullptr, 0);
    HEXHANDLE hWnd = Ex_WndCreate(0, nullptr, u"bench", 0, 0, 600, 500, 0, 0);
    dui = Ex_DUIBindWindowEx(hWnd, 0, 0x30D07, 0, nullptr);
    box = Ex_ObjCreateEx(0xC8000000, u"Edit", nullptr, static_cast<uint32_t>(-1), 10, 440, kBoxW,
                         kBoxH, dui, 1000, 0x24, 0, 0, OnInput);
    Ex_DUIShowWindow(dui, 5, 0, 0, 0);
    window = WindowFromDui(dui);
    Pump();
    if (window != nullptr) FlushForTesting(dui);
  }
  ~BoxWindow() { Ex_UnInit(); }

  void Pump() {
    for (int i = 0; i < 20 && Ex_WndDispatchPending() > 0; ++i) {
    }
  }
  void Push(SDL_Event e) {
    if (window == nullptr) return;
    if (e.type == SDL_TEXTINPUT) e.text.windowID = window->sdlId;
    if (e.type == SDL_KEYDOWN) e.key.windowID = window->sdlId;
    SDL_PushEvent(&e);
  }
  void Key(SDL_Keycode key, uint16_t mods = 0) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.state = SDL_PRESSED;
    e.key.keysym.sym = key;
    e.key.keysym.mod = mods;
    Push(e);
  }
  void Type(const char* utf8) {
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    std::strncpy(e.text.text, utf8, sizeof(e.text.text) - 1);
    Push(e);
  }
};

// A keystroke in the real window with `range(0)` characters in the box:
// Backspace and one typed character, dispatched and painted on the screen.
void BM_EditTypeInWindow(benchmark::State& state) {
  BoxWindow w;
  if (w.window == nullptr || w.box == 0) {
    state.SkipWithError("no window");
    return;
  }
  std::string line;
  for (int64_t i = 0; i < state.range(0); ++i) line += "字";
  SDL_SetClipboardText(line.c_str());
  w.Key(SDLK_v, KMOD_CTRL);
  w.Pump();
  FlushForTesting(w.dui);
  for (auto _ : state) {
    w.Key(SDLK_BACKSPACE);
    w.Type("字");
    w.Pump();
    FlushForTesting(w.dui);
  }
  state.counters["length"] = Ex_ObjGetTextLength(w.box);
}
BENCHMARK(BM_EditTypeInWindow)
    ->Arg(10)
    ->Arg(1000)
    ->Arg(kEditMaxLength)
    ->Unit(benchmark::kMicrosecond);

// One caret blink in the client's window: the pixels repainted (counter
// "pixels") against the box's 580 x 50 = 29,000, and the time to repaint.
void BM_EditCaretBlink(benchmark::State& state) {
  BoxWindow w;
  if (w.window == nullptr || w.box == 0) {
    state.SkipWithError("no window");
    return;
  }
  int64_t pixels = 0;
  for (auto _ : state) {
    w.window->paintedPixels = 0;
    Ex_ObjSendMessage(w.box, EXM_TIMER, 1, 0);
    FlushForTesting(w.dui);
    pixels += w.window->paintedPixels;
  }
  state.counters["pixels"] =
      benchmark::Counter(static_cast<double>(pixels), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_EditCaretBlink)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace exdui

BENCHMARK_MAIN();
