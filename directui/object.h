// The library's object model: objects, class records and the services a class
// uses (messages, invalidation, focus, timers, text input).
//
// How a class hooks in
// --------------------
// A class is a const ClassRecord. "Static" is the library's own; "Edit" is
// defined in edit.cpp, which defines `const ClassRecord* EditClass()`.
// Ex_ObjCreateEx looks the class name up (FindClass) and then:
//   1. makes the Object, links it under its parent (last child = painted last),
//      gives it its handle;
//   2. calls cls->create(obj) (the class may set obj->classData);
//   3. sends the size message 5 to the object (handler first, see below);
//   4. if the class takes the focus and the window has no focused object yet,
//      focuses it (message 7).
// Ex_UnInit calls cls->destroy(obj) for every object before freeing it.
//
// Messages and default handling
// -----------------------------
// SendObjectMessage(obj, msg, w, l) is the one way a message reaches an
// object. It calls the object's handler (if any) and then, unless the handler
// already asked for it with Ex_ObjDefProc for this same object and message,
// the default handling DefaultProc(obj, ...) = cls->proc, or
// DefaultObjectProc when the class has no proc. The default runs exactly once
// per message. The result is the handler's result, or the default's when the
// object has no handler. A class proc returns DefaultObjectProc(...) for what
// it does not handle itself; DefaultObjectProc paints (15) through cls->paint.
//
// Painting
// --------
// Invalidate / InvalidateRect mark parts of an object dirty; the message loop
// repaints them in tree order: background colour, then message 15 (whose
// default handling calls cls->paint with a canvas clipped to the dirty part),
// then children, then the object's scroll bar. A class never paints outside
// cls->paint.
//
// Input as messages (see also exdui_abi.h)
//   0x100/0x101 key down/up: wParam SDL_Keycode; lParam bits 0-15 SDL_Keymod,
//               bits 16-27 SDL_Scancode, bit 30 set for an auto-repeat.
//   258 char:   wParam one UTF-16 code unit of typed text; Enter, keypad Enter
//               and Ctrl+M give 13 (after their key down). No other control
//               key produces 258.
//   0x200 move, 0x201/0x202 left down/up, 0x203 left double click (instead of
//   the second down), 0x204/0x205 right down/up, 0x2A3 mouse leave:
//               lParam x | y << 16 (signed 16-bit each, object coordinates),
//               wParam EXMK_* buttons and modifiers. While a button is held
//               the pressed object gets every mouse message (capture).
//   7/8 focus gained/lost: wParam the other object's handle or 0. Also sent
//               to the focused object when the window gains/loses the keyboard.
//   0x113 timer: wParam the timer id (SetObjectTimer).
//   0x10D/0x10F/0x10E IME start / composition / end: for 0x10F wParam points
//               to an ImeComposition valid during the call. The committed
//               text then arrives as 258 messages.
#pragma once

#include <SDL.h>
#include <cairo.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "directui/include/exdui_abi.h"

namespace exdui {

struct Object;
struct Window;

// What a class's paint hook gets: a canvas already translated to the object's
// origin and clipped to the part that needs painting (inside every ancestor).
struct PaintContext {
  HEXHANDLE canvas = 0;  // for the _canvas_* operations
  cairo_t* cr = nullptr;  // the same canvas as a Cairo context
  RECT rect{};            // the whole object: (0, 0, width, height)
  RECT dirty{};           // bounding box of the part being painted, object coordinates
};

struct ClassRecord {
  const char16_t* name = nullptr;
  uint32_t defaultStyle = EXOS_VISIBLE;  // used when Ex_ObjCreateEx gets -1
  uint32_t defaultStyleEx = 0;
  uint32_t defaultTextFormat = 0;
  bool takesFocus = false;  // gets the keyboard focus when created or clicked
  SDL_SystemCursor cursor = SDL_SYSTEM_CURSOR_ARROW;
  // The class's default handling; null means DefaultObjectProc.
  intptr_t (*proc)(Object* obj, int32_t msg, intptr_t wParam, intptr_t lParam) = nullptr;
  // Draws the object's content over its background; null draws nothing.
  void (*paint)(Object* obj, const PaintContext& pc) = nullptr;
  void (*create)(Object* obj) = nullptr;   // after the handle exists, before message 5
  void (*destroy)(Object* obj) = nullptr;  // at Ex_UnInit; free classData here
  // The object's text for Ex_ObjGetText/GetTextLength; null means obj->text.
  std::u16string_view (*text)(const Object* obj) = nullptr;
};

struct ScrollBarState {
  int32_t min = 0;
  int32_t max = 0;
  int32_t page = 0;
  int32_t pos = 0;
  int32_t trackPos = 0;   // the thumb's position while it is dragged
  bool shown = true;      // Ex_ObjScrollShow; drawn only when also max > min
  bool dragging = false;  // the thumb is held
  int32_t grabOffset = 0;  // where in the thumb it was grabbed, pixels
  bool hover = false;      // the pointer is over the bar
};

struct Object {
  HEXHANDLE handle = 0;  // 0 only for a window's root
  const ClassRecord* cls = nullptr;
  Window* window = nullptr;
  Object* parent = nullptr;        // null only for a window's root
  std::vector<Object*> children;   // in creation order = painting order
  int32_t x = 0, y = 0;            // relative to the parent's top-left corner
  int32_t width = 0, height = 0;   // never negative
  uint32_t style = 0;
  uint32_t styleEx = 0;
  uint32_t textFormat = 0;
  int32_t id = 0;
  intptr_t userValue = 0;  // index -7
  ExMsgProc handler = nullptr;
  uint32_t background = 0;          // ARGB; alpha 0 paints no background
  uint32_t textColor = 0xFF000000;  // colour index 2
  std::u16string text;              // the title given at creation, or set later
  ScrollBarState vscroll;
  void* classData = nullptr;  // owned by the class
  uint32_t state = 0;         // EXST_* bits kept by the library
};

// Object state bits (Object::state).
enum : uint32_t {
  EXST_HOVER = 0x1,    // the pointer is over the object
  EXST_PRESSED = 0x2,  // the left button went down on it and is still held
  EXST_FOCUSED = 0x4,  // it has the window's keyboard focus
};

// Buttons and modifiers in wParam of mouse messages.
enum : uint32_t {
  EXMK_LBUTTON = 0x1,
  EXMK_RBUTTON = 0x2,
  EXMK_SHIFT = 0x4,
  EXMK_CONTROL = 0x8,
  EXMK_MBUTTON = 0x10,
};

// wParam of EXM_IME_COMPOSITION.
struct ImeComposition {
  const char16_t* text;    // the composition, not NUL-terminated
  int32_t length;          // in UTF-16 units; 0 when the composition was cancelled
  int32_t cursor;          // caret inside the composition, in units
  int32_t selectionLength; // units selected after the cursor
};

// --- looking things up
Object* ObjectFromHandle(HEXHANDLE handle);  // null for 0, stale or foreign
const ClassRecord* FindClass(std::u16string_view name);
const ClassRecord* StaticClass();
const ClassRecord* EditClass();  // defined by the edit box (edit.cpp)
Window* WindowOf(const Object* obj);
HEXHANDLE WindowHandleOf(const Object* obj);  // what handlers get as their first value
std::u16string_view ObjectText(const Object* obj);
bool IsVisible(const Object* obj);  // it and every ancestor have EXOS_VISIBLE
// The object's top-left corner in window coordinates.
void ObjectOrigin(const Object* obj, int32_t* x, int32_t* y);

// --- messages
intptr_t SendObjectMessage(Object* obj, int32_t msg, intptr_t wParam, intptr_t lParam);
intptr_t DefaultProc(Object* obj, int32_t msg, intptr_t wParam, intptr_t lParam);
intptr_t DefaultObjectProc(Object* obj, int32_t msg, intptr_t wParam, intptr_t lParam);

// --- painting: coalesced, painted by the message loop
void Invalidate(Object* obj);
void InvalidateRect(Object* obj, const RECT& rect);  // object coordinates

// --- focus, capture, text input
Object* FocusedObject(const Window* window);
void SetFocusObject(Window* window, Object* obj);  // null clears the focus
bool WindowHasKeyboardFocus(const Window* window);
// Where the caret is, so that an IME shows its candidates next to it.
void SetTextInputRect(Object* obj, const RECT& rect);

// --- timers: message 0x113 with wParam id every intervalMs until killed.
// Setting an existing (object, id) restarts it.
void SetObjectTimer(Object* obj, int32_t id, uint32_t intervalMs);
void KillObjectTimer(Object* obj, int32_t id);

// Packs object coordinates into lParam of a mouse message and back.
inline intptr_t PackPoint(int32_t x, int32_t y) {
  return static_cast<intptr_t>(static_cast<uint32_t>(static_cast<uint16_t>(x)) |
                               (static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16));
}
inline int32_t PointX(intptr_t lParam) { return static_cast<int16_t>(lParam & 0xFFFF); }
inline int32_t PointY(intptr_t lParam) { return static_cast<int16_t>((lParam >> 16) & 0xFFFF); }

}  // namespace exdui
