// A window of the library: the SDL window, its back buffer, its object tree
// and the state of its input. Internal to the library.
#pragma once

#include <SDL.h>
#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

#include "directui/object.h"

namespace exdui {

struct Timer {
  Object* obj;
  int32_t id;
  uint32_t interval;  // milliseconds
  uint64_t due;       // SDL_GetTicks64 value of the next firing
};

struct Window {
  HEXHANDLE hWnd = 0;    // from Ex_WndCreate
  HEXHANDLE hExDui = 0;  // from Ex_DUIBindWindowEx; 0 until bound
  SDL_Window* sdl = nullptr;
  uint32_t sdlId = 0;
  std::string title;  // UTF-8
  int32_t width = 0, height = 0;  // client size = window size (no system frame)
  uint32_t bindStyle = 0;
  ExMsgProc handler = nullptr;  // the window's handler
  uint32_t background = 0xFFFFFFFF;
  Object root;                  // the client area; top-level objects are its children
  Object* caption = nullptr;    // ID 256, when the binding style asks for one
  Object* focus = nullptr;
  Object* hover = nullptr;
  Object* capture = nullptr;    // gets the mouse while a button is held
  Object* scrollTarget = nullptr;  // whose scroll bar the pointer is pressing
  Object* barHover = nullptr;      // whose scroll bar the pointer is over
  bool composing = false;          // an IME composition is open
  uint32_t lastCaptionPress = 0;   // ticks of the last press on the caption (double clicks)
  bool hasKeyboard = false;
  bool shown = false;
  bool closed = false;
  bool maximized = false;
  bool sizeSent = false;  // the first size message went out at show
  cairo_surface_t* backBuffer = nullptr;
  SDL_Surface* backSurface = nullptr;  // SDL view of the back buffer's pixels
  cairo_region_t* dirty = nullptr;     // to be painted, window coordinates
  cairo_region_t* unpresented = nullptr;  // painted, not yet on the screen
  std::vector<Timer> timers;
  int64_t paintedPixels = 0;  // pixels repainted since the counter was read (tests, benchmarks)
  int64_t paintPasses = 0;
};

Window* WindowFromWnd(HEXHANDLE hWnd);
Window* WindowFromDui(HEXHANDLE hExDui);
Window* WindowFromSdlId(uint32_t id);
std::vector<Window*>& AllWindows();

// Resizes the back buffer and root after the SDL window changed size.
bool ResizeWindowContent(Window* w, int32_t width, int32_t height);  // false: size unchanged
void SendWindowSize(Window* w, intptr_t wParam);
intptr_t SendWindowMessage(Window* w, int32_t msg, intptr_t wParam, intptr_t lParam);
void CloseWindow(Window* w);
void DestroyWindow(Window* w);

// Painting (paint.cpp).
void InvalidateWindowRect(Window* w, int32_t x, int32_t y, int32_t width, int32_t height);
void InvalidateWindow(Window* w);
void PaintDirty(Window* w);   // paints the dirty region into the back buffer
void PresentWindow(Window* w);  // copies what was painted to the screen
void PresentEverything(Window* w);
bool IsPainting();  // a paint pass or a Begin/EndPaint is in progress

// Objects (objects.cpp).
struct ObjectParams {
  uint32_t style = EXOS_VISIBLE;
  uint32_t styleEx = 0;
  uint32_t textFormat = 0;
  int32_t x = 0, y = 0, width = 0, height = 0;
  int32_t id = 0;
  intptr_t userValue = 0;
  ExMsgProc handler = nullptr;
  const char16_t* title = nullptr;
};
// Makes an object of any class (also the library's own), as Ex_ObjCreateEx does.
Object* CreateObject(Object* parent, const ClassRecord* cls, const ObjectParams& params);
bool TakesFocus(const Object* obj);
void DestroyObjectTree(Object* obj);
bool IntersectVisible(const Object* obj, int32_t* x, int32_t* y, int32_t* w, int32_t* h);
void SetObjectRect(Object* obj, int32_t x, int32_t y, int32_t width, int32_t height);

// Caption bar (caption.cpp).
void CreateCaption(Window* w);
void LayoutCaption(Window* w);
SDL_HitTestResult CaptionHitTest(Window* w, int32_t x, int32_t y);

// Scroll bars (scrollbar.cpp).
bool HasVScroll(const Object* obj);
bool VScrollVisible(const Object* obj);
// The bar's track in object coordinates; false when it is not drawn.
bool VScrollTrackRect(const Object* obj, RECT* track);
void PaintVScroll(Object* obj, cairo_t* cr);
// Mouse on a scroll bar: true when the bar took the event.
bool VScrollMouseDown(Object* obj, int32_t x, int32_t y);
void VScrollMouseMove(Object* obj, int32_t x, int32_t y);
void VScrollMouseUp(Object* obj);
void VScrollWheel(Object* obj, int32_t notches);  // positive: up

// Timers and the loop (loop.cpp).
void RemoveTimersOf(Window* w, Object* obj);
int RunDueTimers();

// Input (events.cpp).
int HandleSdlEvent(const SDL_Event& e);  // messages dispatched for it
void ReleaseCursors();
Object* ObjectAtPoint(Window* w, int32_t x, int32_t y, int32_t* ox, int32_t* oy);

}  // namespace exdui
