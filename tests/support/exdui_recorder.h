// The recording stand-in of the DirectUI library.
//
// Link the static library `exdui_recorder` instead of `ui` and every operation
// of ui/exdui.h (plus ConnectDirectUiMessagePump) lands here: the call is
// recorded with its name and arguments, then answered the way the real library
// would answer it, from a small in-memory model of objects, images, brushes,
// matrices and fonts whose results a test can script.
//
// How arguments are written in the record:
//   int32_t, intptr_t     decimal                      -7, 580
//   uint32_t              hexadecimal                  0xFF1A497D, 0x2
//   float                 shortest exact form          9999, 5.5
//   UTF-16 text           UTF-8 in double quotes       "Static"; null when absent
//   int32_t* / handle*    & and the value at the call  &0; null when absent
//   handler               its registered name          PaintTranscript; set / null
//   paint record          at Ex_ObjEndPaint: canvas and paint rectangle
//   any other pointer     set / null
// A line reads `Ex_ObjSetPos(2, 0, 0, -612, 0, 0, 0x1)`.
//
// The model behaves like the real library where the client relies on it:
// Ex_ObjCreateEx sends the new object's handler the size message 5;
// Ex_ObjSetPos moves (flag 1 keeps the size, 2 keeps the position) and sends 5
// when the size changes; Ex_ObjSendMessage calls the handler synchronously;
// user values at -7 are stored pointer-sized and read back; Ex_ObjGetClientRect
// gives (0, 0, width, height); Ex_ObjBeginPaint fills the canvas and the whole
// object as the paint rectangle; scroll bars keep range, page, position and
// track position; images keep their size.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "ui/exdui.h"

namespace exdui_recorder {

struct RecordedCall {
  std::string name;
  std::vector<std::string> args;
  std::string result;
  // "name(arg, arg, ...)"
  std::string Line() const;
};

// Forgets every call, object, handle and script; recording on, strict off.
void Reset();

// ---- The record ----
const std::vector<RecordedCall>& Calls();
std::vector<std::string> Lines();
// Only the calls of the named operations, in order.
std::vector<std::string> LinesOf(const std::set<std::string>& names);
int CountOf(const std::string& name);
void ClearCalls();
// Turning recording off keeps the model working but stores no calls (for
// long runs where only the final state matters).
void SetRecording(bool on);

// ---- Strict mode ----
// Strict: a call on a non-zero handle the model does not know, or on one
// already destroyed (e.g. destroying an image twice), fails the running test.
// Handle 0 passes silently, as the client may hand over the library's null
// handle (an avatar that could not be decoded).
void SetStrict(bool on);
// Non-empty: any operation outside this list fails the running test.
void AllowOnly(const std::set<std::string>& names);
// Names of routines, so handlers show by name in the record.
void NameRoutine(ExMsgProc routine, const std::string& name);

// ---- Scripted results ----
// The next call of the operation returns `value` without doing anything else
// (e.g. Ex_ObjCreateEx → 0 to fail a creation, Ex_ObjBeginPaint → 0).
// Queue kNormalResult to let a call through before a scripted one (e.g. let
// the first Ex_ObjCreateEx succeed and fail the second).
void QueueResult(const std::string& operation, intptr_t value);
constexpr intptr_t kNormalResult = INTPTR_MIN;

enum class HandleKind { Object, Font, Image, Brush, Matrix };
// Handles are numbered per kind: objects (windows included) from 1, fonts
// from 101, images from 1001, matrices from 1000001, brushes from 100000001.
void SetNextHandle(HandleKind kind, HEXHANDLE next);
// The canvas Ex_ObjBeginPaint hands out (default 901).
void SetCanvas(HEXHANDLE canvas);

// What _canvas_calctextsize measures. A text with a scripted size measures
// so; any other text measures with the default rule: 10 px per UTF-16 unit,
// capped at the maximum width, 24 px high; a null or empty text 0 × 0.
void SetTextSize(const std::string& utf8, float width, float height);
void SetDefaultTextSize(
    std::function<void(const std::u16string& text, float maxWidth, float* width, float* height)>
        measure);

// _img_createfrommemory decodes any non-empty bytes into an image of this
// size (default 100 × 80); empty or null bytes fail and write nothing.
void SetDecodedImageSize(int32_t width, int32_t height);
// A new image of the given size, as if decoded; for picture messages.
HEXHANDLE MakeImage(int32_t width, int32_t height);
int LiveImages();
int LiveBrushes();
int LiveMatrices();
bool IsLive(HEXHANDLE handle);

// ---- Objects ----
struct ScrollBar {
  bool present = false;  // the object has the vertical bar (style 0x40000000)
  bool shown = false;
  int32_t minimum = 0, maximum = 0, page = 0, position = 0, trackPosition = 0;
};
struct ObjectState {
  std::string className;
  uint32_t style = 0, styleEx = 0, textFormat = 0;
  HEXHANDLE parent = 0;
  int32_t id = 0;
  int32_t x = 0, y = 0, width = 0, height = 0;
  bool hasClientRect = false;  // a scripted client rectangle replaces (0, 0, width, height)
  RECT clientRect{};
  std::map<int32_t, intptr_t> longs;    // Ex_ObjSetLong values; -7 starts as the user value
  std::map<int32_t, uint32_t> colours;  // Ex_ObjSetColor values
  ExMsgProc handler = nullptr;
  std::u16string text;
  ScrollBar vscroll;
  bool isWindow = false;
};
// Null for a handle that is not an object.
ObjectState* Object(HEXHANDLE object);
// Creates an object outside the record (e.g. a parent for the code under test).
HEXHANDLE MakeObject(int32_t width, int32_t height);
void SetClientRect(HEXHANDLE object, RECT rect);
void SetObjectText(HEXHANDLE object, const std::string& utf8);

// Whether the model sends the size message as the real library does
// (both default on).
void SetSizeOnCreate(bool on);
void SetSizeOnSetPos(bool on);

// ---- Events ----
// Calls the object's (or window's) handler as the library would, outside the
// record: e.g. Deliver(frame, 0x115, 1, 0) for one notch of the wheel.
intptr_t Deliver(HEXHANDLE object, int32_t message, intptr_t wParam, intptr_t lParam);
// Ex_WndDispatchPending runs this (default: nothing pending, 0).
void SetPendingDispatcher(std::function<int()> dispatcher);
// Ex_WndMsgLoop runs this, then returns (default: returns at once).
void SetMessageLoop(std::function<void()> loop);

// UTF-16 to UTF-8, for tests that inspect texts handed to the library.
std::string Utf8(const char16_t* text);

}  // namespace exdui_recorder
