// Windows: creating the SDL window, binding the library to it, showing it,
// resizing its content and closing it.
#include <algorithm>

#include "directui/edit_utf.h"
#include "directui/handles.h"
#include "directui/include/exdui_export.h"
#include "directui/library.h"
#include "directui/theme.h"
#include "directui/window.h"

namespace exdui {
namespace {

constexpr int32_t kMaxWindowSide = 16384;
constexpr int kMinimumWidth = 160;
constexpr int kMinimumHeight = 120;

SDL_HitTestResult HitTestCallback(SDL_Window*, const SDL_Point* area, void* data) {
  Window* w = static_cast<Window*>(data);
  return CaptionHitTest(w, area->x, area->y);
}

bool MakeBackBuffer(Window* w) {
  cairo_surface_t* surface =
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, std::max(w->width, 1), std::max(w->height, 1));
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return false;
  }
  // Cairo's ARGB32 is SDL's ARGB8888: the same 32-bit words, native order.
  SDL_Surface* view = SDL_CreateRGBSurfaceWithFormatFrom(
      cairo_image_surface_get_data(surface), cairo_image_surface_get_width(surface),
      cairo_image_surface_get_height(surface), 32, cairo_image_surface_get_stride(surface),
      SDL_PIXELFORMAT_ARGB8888);
  if (view == nullptr) {
    cairo_surface_destroy(surface);
    return false;
  }
  SDL_SetSurfaceBlendMode(view, SDL_BLENDMODE_NONE);
  if (w->backSurface != nullptr) SDL_FreeSurface(w->backSurface);
  if (w->backBuffer != nullptr) cairo_surface_destroy(w->backBuffer);
  w->backBuffer = surface;
  w->backSurface = view;
  return true;
}

}  // namespace

std::vector<Window*>& AllWindows() {
  static std::vector<Window*> windows;
  return windows;
}

Window* WindowFromWnd(HEXHANDLE hWnd) { return HandleAs<Window>(hWnd, HandleKind::Window); }
Window* WindowFromDui(HEXHANDLE hExDui) { return HandleAs<Window>(hExDui, HandleKind::Dui); }

Window* WindowFromSdlId(uint32_t id) {
  for (Window* w : AllWindows())
    if (w->sdlId == id && !w->closed) return w;
  return nullptr;
}

intptr_t SendWindowMessage(Window* w, int32_t msg, intptr_t wParam, intptr_t lParam) {
  if (w->handler == nullptr) return 0;
  intptr_t slot = 0;
  return w->handler(w->hWnd, w->hExDui, msg, wParam, lParam, &slot);
}

void SendWindowSize(Window* w, intptr_t wParam) {
  const uint32_t width = static_cast<uint32_t>(std::clamp(w->width, 0, 0x7FFF));
  const uint32_t height = static_cast<uint32_t>(std::clamp(w->height, 0, 0x7FFF));
  SendWindowMessage(w, EXM_SIZE, wParam, static_cast<intptr_t>(width | (height << 16)));
}

bool ResizeWindowContent(Window* w, int32_t width, int32_t height) {
  width = std::clamp(width, 1, kMaxWindowSide);
  height = std::clamp(height, 1, kMaxWindowSide);
  if (width == w->width && height == w->height) return false;
  const int32_t oldWidth = w->width, oldHeight = w->height;
  w->width = width;
  w->height = height;
  if (!MakeBackBuffer(w)) {
    w->width = oldWidth;
    w->height = oldHeight;
    return false;
  }
  w->root.width = width;
  w->root.height = height;
  LayoutCaption(w);
  cairo_region_destroy(w->unpresented);
  w->unpresented = cairo_region_create();
  InvalidateWindow(w);
  return true;
}

void CloseWindow(Window* w) {
  if (w->closed) return;
  w->closed = true;
  w->shown = false;
  if (w->sdl != nullptr) SDL_HideWindow(w->sdl);
}

void DestroyWindow(Window* w) {
  DestroyObjectTree(&w->root);
  w->timers.clear();
  if (w->sdl != nullptr) SDL_DestroyWindow(w->sdl);
  if (w->backSurface != nullptr) SDL_FreeSurface(w->backSurface);
  if (w->backBuffer != nullptr) cairo_surface_destroy(w->backBuffer);
  if (w->dirty != nullptr) cairo_region_destroy(w->dirty);
  if (w->unpresented != nullptr) cairo_region_destroy(w->unpresented);
  HandleRemove(w->hWnd);
  if (w->hExDui != 0) HandleRemove(w->hExDui);
  delete w;
}

}  // namespace exdui

using namespace exdui;

EXDUI_EXPORT HEXHANDLE Ex_WndCreate(HEXHANDLE, const char16_t*, const char16_t* lpwzWindowName,
                                    int32_t x, int32_t y, int32_t width, int32_t height, uint32_t,
                                    uint32_t) {
  if (!LibraryInitialised()) return 0;
  Window* w = new Window;
  w->width = std::clamp(width, 1, kMaxWindowSide);
  w->height = std::clamp(height, 1, kMaxWindowSide);
  if (lpwzWindowName != nullptr) w->title = Utf16ToUtf8(lpwzWindowName);
  // The library draws the whole window, its frame included.
  w->sdl = SDL_CreateWindow(w->title.c_str(), x, y, w->width, w->height,
                            SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS);
  if (w->sdl == nullptr || !MakeBackBuffer(w)) {
    if (w->sdl != nullptr) SDL_DestroyWindow(w->sdl);
    delete w;
    return 0;
  }
  w->sdlId = SDL_GetWindowID(w->sdl);
  w->background = CurrentTheme().windowBackground;
  w->root.window = w;
  w->root.style = EXOS_VISIBLE;
  w->root.width = w->width;
  w->root.height = w->height;
  w->dirty = cairo_region_create();
  w->unpresented = cairo_region_create();
  w->hWnd = HandleAdd(HandleKind::Window, w);
  if (w->hWnd == 0) {
    DestroyWindow(w);
    return 0;
  }
  AllWindows().push_back(w);
  InvalidateWindow(w);
  return w->hWnd;
}

EXDUI_EXPORT HEXHANDLE Ex_DUIBindWindowEx(HEXHANDLE hWnd, HEXHANDLE, uint32_t dwStyle, intptr_t,
                                          ExMsgProc lpfnMsgProc) {
  Window* w = WindowFromWnd(hWnd);
  if (w == nullptr) return 0;
  if (w->hExDui != 0) return w->hExDui;  // bound once; later binds change nothing
  w->hExDui = HandleAdd(HandleKind::Dui, w);
  if (w->hExDui == 0) return 0;
  w->bindStyle = dwStyle;
  w->handler = lpfnMsgProc;
  if ((dwStyle & EXWS_SIZEABLE) != 0) {
    SDL_SetWindowResizable(w->sdl, SDL_TRUE);
    SDL_SetWindowMinimumSize(w->sdl, kMinimumWidth, kMinimumHeight);
  }
  SDL_SetWindowHitTest(w->sdl, HitTestCallback, w);
  if ((dwStyle & EXWS_CAPTION) != 0) CreateCaption(w);
  InvalidateWindow(w);
  return w->hExDui;
}

EXDUI_EXPORT intptr_t Ex_DUISetLong(HEXHANDLE hExDui, int32_t nIndex, intptr_t dwNewLong) {
  Window* w = WindowFromDui(hExDui);
  if (w == nullptr || nIndex != EXWL_BACKGROUNDCOLOR) return 0;
  const intptr_t old = w->background;
  w->background = static_cast<uint32_t>(dwNewLong);
  InvalidateWindow(w);
  return old;
}

EXDUI_EXPORT int32_t Ex_DUIShowWindow(HEXHANDLE hExDui, int32_t nCmdShow, int32_t, int32_t,
                                      int32_t) {
  Window* w = WindowFromDui(hExDui);
  if (w == nullptr || w->closed) return 0;
  if (nCmdShow == 0) {
    SDL_HideWindow(w->sdl);
    w->shown = false;
    return 1;
  }
  SDL_ShowWindow(w->sdl);
  if (nCmdShow == 3) SDL_MaximizeWindow(w->sdl);
  if (nCmdShow == 2 || nCmdShow == 6) SDL_MinimizeWindow(w->sdl);
  w->shown = true;
  // Text input stays on: typing must reach the focused box without a click.
  SDL_StartTextInput();
  if (!w->sizeSent) {
    w->sizeSent = true;
    SendWindowSize(w, 0);
  }
  if (w->closed) return 1;
  InvalidateWindow(w);
  PaintDirty(w);
  PresentEverything(w);
  return 1;
}
