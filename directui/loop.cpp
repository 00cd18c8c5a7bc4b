// Starting and stopping the library, the message loop, and timers.
#include <algorithm>

#include "directui/canvas.h"
#include "directui/dispatch.h"
#include "directui/include/exdui_export.h"
#include "directui/library.h"
#include "directui/theme.h"
#include "directui/window.h"

namespace exdui {
namespace {

bool g_initialised = false;
// Events handled by one Ex_WndDispatchPending at most, so that a handler
// that keeps posting events cannot hold the caller forever.
constexpr int kDispatchLimit = 1000;

bool AnyOpenWindow() {
  for (Window* w : AllWindows())
    if (!w->closed) return true;
  return false;
}

void PaintAndPresentAll() {
  for (Window* w : AllWindows()) {
    if (w->closed) continue;
    PaintDirty(w);
    PresentWindow(w);
  }
}

// Milliseconds until the next timer fires; -1 when none is set.
int NextTimerTimeout() {
  const uint64_t now = SDL_GetTicks64();
  int64_t best = -1;
  for (Window* w : AllWindows()) {
    if (w->closed) continue;
    for (const Timer& t : w->timers) {
      const int64_t wait = t.due > now ? static_cast<int64_t>(t.due - now) : 0;
      if (best < 0 || wait < best) best = wait;
    }
  }
  return static_cast<int>(std::min<int64_t>(best, 1 << 30));
}

Timer* FindTimer(Window* w, Object* obj, int32_t id) {
  for (Timer& t : w->timers)
    if (t.obj == obj && t.id == id) return &t;
  return nullptr;
}

}  // namespace

bool LibraryInitialised() { return g_initialised; }

void SetObjectTimer(Object* obj, int32_t id, uint32_t intervalMs) {
  Window* w = WindowOf(obj);
  if (w == nullptr || obj->handle == 0) return;
  intervalMs = std::max<uint32_t>(intervalMs, 1);
  const uint64_t due = SDL_GetTicks64() + intervalMs;
  if (Timer* t = FindTimer(w, obj, id)) {
    t->interval = intervalMs;
    t->due = due;
    return;
  }
  w->timers.push_back(Timer{obj, id, intervalMs, due});
}

void KillObjectTimer(Object* obj, int32_t id) {
  Window* w = WindowOf(obj);
  if (w == nullptr) return;
  std::erase_if(w->timers, [&](const Timer& t) { return t.obj == obj && t.id == id; });
}

void RemoveTimersOf(Window* w, Object* obj) {
  std::erase_if(w->timers, [&](const Timer& t) { return t.obj == obj; });
}

int RunDueTimers() {
  const uint64_t now = SDL_GetTicks64();
  struct Due {
    Window* window;
    HEXHANDLE obj;
    int32_t id;
  };
  std::vector<Due> due;
  for (Window* w : AllWindows()) {
    if (w->closed) continue;
    for (Timer& t : w->timers) {
      if (t.due > now) continue;
      t.due = now + t.interval;
      due.push_back({w, t.obj->handle, t.id});
    }
  }
  // Handlers may set and kill timers: each firing is checked again first.
  int fired = 0;
  for (const Due& d : due) {
    Object* obj = ObjectFromHandle(d.obj);
    if (obj == nullptr || FindTimer(obj->window, obj, d.id) == nullptr) continue;
    SendObjectMessage(obj, EXM_TIMER, d.id, 0);
    ++fired;
  }
  return fired;
}

}  // namespace exdui

using namespace exdui;

EXDUI_EXPORT int32_t Ex_Init(intptr_t, uint32_t, intptr_t, const char16_t*, const void* lpDefaultTheme,
                             intptr_t dwDefaultThemeLen, const void*, intptr_t) {
  // The theme is read now: the caller may free its bytes when this returns.
  Theme theme;
  const size_t length = dwDefaultThemeLen > 0 ? static_cast<size_t>(dwDefaultThemeLen) : 0;
  ParseTheme(lpDefaultTheme, length, &theme);
  SetCurrentTheme(theme);
  SetDefaultFont(theme.fontFamily.c_str(), theme.fontSize);
  if (g_initialised) return 1;
  // The library shows the IME's composition itself, inside the edit box.
  // Present through the plain window surface: the software back buffer gains
  // nothing from a GL renderer, which is slower to start and to present.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  SDL_SetHint(SDL_HINT_IME_INTERNAL_EDITING, "1");
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) return 0;
  g_initialised = true;
  return 1;
}

EXDUI_EXPORT int32_t Ex_UnInit() {
  if (!g_initialised) return 0;
  std::vector<Window*> windows;
  windows.swap(AllWindows());
  for (Window* w : windows) DestroyWindow(w);
  DispatchFrames().clear();
  ReleaseCursors();
  SDL_StopTextInput();
  SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
  g_initialised = false;
  return 1;
}

EXDUI_EXPORT int32_t Ex_WndMsgLoop() {
  if (!g_initialised) return 0;
  while (AnyOpenWindow()) {
    PaintAndPresentAll();
    SDL_Event e;
    const int timeout = NextTimerTimeout();
    const int got = timeout < 0 ? SDL_WaitEvent(&e) : SDL_WaitEventTimeout(&e, timeout);
    if (got != 0) {
      HandleSdlEvent(e);
      int more = kDispatchLimit;
      while (more-- > 0 && AnyOpenWindow() && SDL_PollEvent(&e)) HandleSdlEvent(e);
    }
    RunDueTimers();
  }
  return 0;
}

EXDUI_EXPORT int32_t Ex_WndDispatchPending() {
  if (!g_initialised) return 0;
  int handled = 0;
  SDL_Event e;
  SDL_PumpEvents();
  while (handled < kDispatchLimit && SDL_PollEvent(&e)) {
    HandleSdlEvent(e);
    ++handled;
  }
  handled += RunDueTimers();
  PaintAndPresentAll();
  return handled;
}
