// The recording stand-in of the DirectUI library: every operation is written
// once, through the X-macro list, as "record the call, then answer it from the
// model". The model is deliberately small: it keeps what the client reads
// back (user values, sizes, scroll state, image sizes) and counts what the
// client must release (images, brushes, matrices).
#include "tests/support/exdui_recorder.h"

#include "platform/codepage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <deque>

namespace exdui_recorder {
namespace {

struct ImageState {
  int32_t width = 0;
  int32_t height = 0;
};

struct Model {
  bool recording = true;
  bool strict = false;
  std::set<std::string> allowOnly;
  std::map<ExMsgProc, std::string> routineNames;
  std::map<std::string, std::deque<intptr_t>> queued;
  std::map<HandleKind, HEXHANDLE> next = {{HandleKind::Object, 1},
                                          {HandleKind::Font, 101},
                                          {HandleKind::Image, 1001},
                                          {HandleKind::Matrix, 1000001},
                                          {HandleKind::Brush, 100000001}};
  HEXHANDLE canvas = 901;
  std::map<std::u16string, std::pair<float, float>> textSizes;
  std::function<void(const std::u16string&, float, float*, float*)> measure;
  int32_t decodedWidth = 100;
  int32_t decodedHeight = 80;
  std::map<HEXHANDLE, ObjectState> objects;
  std::map<HEXHANDLE, ImageState> images;
  std::set<HEXHANDLE> brushes;
  std::set<HEXHANDLE> matrices;
  std::set<HEXHANDLE> fonts;
  std::set<HEXHANDLE> released;
  bool sizeOnCreate = true;
  bool sizeOnSetPos = true;
  std::function<int()> pending;
  std::function<void()> loop;
  std::vector<RecordedCall> calls;
};

Model& TheModel() {
  static Model model;
  return model;
}

// Test texts are UTF-8; the library speaks UTF-16. The platform's code page
// functions convert both ways.
std::u16string ToU16(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int length = static_cast<int>(utf8.size());
  const int units = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
  std::u16string out(static_cast<size_t>(units), u'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, out.data(), units);
  return out;
}

std::u16string FromPointer(const char16_t* text) {
  std::u16string out;
  if (text != nullptr) {
    while (*text != 0) out.push_back(*text++);
  }
  return out;
}

// ---- Argument formatting, by parameter type ----

std::string Fmt(int32_t v) {
  return std::to_string(v);
}
std::string Fmt(intptr_t v) {
  return std::to_string(v);
}
std::string Fmt(uint32_t v) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%X", v);
  return buffer;
}
std::string Fmt(float v) {
  char buffer[32];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
  return std::string(buffer, result.ptr);
}
std::string Fmt(const char16_t* text) {
  if (text == nullptr) return "null";
  std::string quoted = "\"";
  quoted += Utf8(text);
  quoted += '"';
  return quoted;
}
std::string Fmt(int32_t* p) {
  if (p == nullptr) return "null";
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "&%d", *p);
  return buffer;
}
std::string Fmt(float* p) {
  return p ? "set" : "null";
}
std::string Fmt(RECT* p) {
  return p ? "set" : "null";
}
std::string Fmt(ExPaintStruct* p) {
  return p ? "set" : "null";
}
std::string Fmt(const void* p) {
  return p ? "set" : "null";
}
std::string Fmt(void* p) {
  return p ? "set" : "null";
}
std::string Fmt(ExMsgProc p) {
  if (p == nullptr) return "null";
  auto found = TheModel().routineNames.find(p);
  return found == TheModel().routineNames.end() ? "set" : found->second;
}

template <class... A>
std::vector<std::string> FormatArgs(A... a) {
  return {Fmt(a)...};
}

void Surprise(const std::string& what) {
  if (TheModel().strict) ADD_FAILURE() << "exdui_recorder: " << what;
}

template <class Body>
intptr_t Dispatch(const char* name, std::vector<std::string> args, Body body) {
  Model& m = TheModel();
  if (!m.allowOnly.empty() && m.allowOnly.count(name) == 0) {
    RecordedCall call{name, args, {}};
    ADD_FAILURE() << "exdui_recorder: unexpected call " << call.Line();
  }
  size_t index = m.calls.size();
  if (m.recording) m.calls.push_back(RecordedCall{name, std::move(args), {}});
  intptr_t result;
  auto queued = m.queued.find(name);
  intptr_t scripted = kNormalResult;
  if (queued != m.queued.end() && !queued->second.empty()) {
    scripted = queued->second.front();
    queued->second.pop_front();
  }
  result = scripted != kNormalResult ? scripted : body();
  if (m.recording && index < m.calls.size()) m.calls[index].result = std::to_string(result);
  return result;
}

HEXHANDLE NewHandle(HandleKind kind) {
  return TheModel().next[kind]++;
}

ObjectState* CheckedObject(HEXHANDLE object, const char* operation) {
  ObjectState* state = Object(object);
  if (state == nullptr && object != 0) {
    Surprise(std::string(operation) + " on unknown object " + std::to_string(object));
  }
  return state;
}

bool CheckedIn(const std::set<HEXHANDLE>& live, HEXHANDLE handle, const char* operation) {
  if (live.count(handle) != 0) return true;
  if (handle != 0) {
    Surprise(std::string(operation) + " on " +
             (TheModel().released.count(handle) ? "released" : "unknown") + " handle " +
             std::to_string(handle));
  }
  return false;
}

bool CheckedImage(HEXHANDLE image, const char* operation) {
  Model& m = TheModel();
  if (m.images.count(image) != 0) return true;
  if (image != 0) {
    Surprise(std::string(operation) + " on " + (m.released.count(image) ? "released" : "unknown") +
             " image " + std::to_string(image));
  }
  return false;
}

intptr_t CallHandler(HEXHANDLE object, int32_t message, intptr_t wParam, intptr_t lParam) {
  ObjectState* state = Object(object);
  if (state == nullptr || state->handler == nullptr) return 0;
  ExMsgProc handler = state->handler;
  HEXHANDLE window = 0;
  for (HEXHANDLE up = object; up != 0;) {
    ObjectState* s = Object(up);
    if (s == nullptr) break;
    if (s->isWindow) {
      window = up;
      break;
    }
    up = s->parent;
  }
  intptr_t scratch = 0;
  return handler(window, object, message, wParam, lParam, &scratch);
}

intptr_t SizeParam(int32_t width, int32_t height) {
  return static_cast<intptr_t>((static_cast<uint32_t>(width) & 0xFFFF) |
                               ((static_cast<uint32_t>(height) & 0xFFFF) << 16));
}

HEXHANDLE NewObject(const std::string& className, HEXHANDLE parent, int32_t x, int32_t y,
                    int32_t width, int32_t height) {
  HEXHANDLE handle = NewHandle(HandleKind::Object);
  ObjectState& state = TheModel().objects[handle];
  state.className = className;
  state.parent = parent;
  state.x = x;
  state.y = y;
  state.width = std::max(width, 0);
  state.height = std::max(height, 0);
  return handle;
}

// ---- Behaviour, one routine an operation ----

int32_t Do_Ex_Init(intptr_t, uint32_t, intptr_t, const char16_t*, const void*, intptr_t,
                   const void*, intptr_t) {
  return 1;
}
int32_t Do_Ex_UnInit() {
  return 1;
}
HEXHANDLE Do_Ex_WndCreate(HEXHANDLE, const char16_t*, const char16_t* title, int32_t x, int32_t y,
                          int32_t width, int32_t height, uint32_t style, uint32_t styleEx) {
  HEXHANDLE window = NewObject("Window", 0, x, y, width, height);
  ObjectState& state = TheModel().objects[window];
  state.isWindow = true;
  state.text = FromPointer(title);
  state.style = style;
  state.styleEx = styleEx;
  return window;
}
HEXHANDLE Do_Ex_DUIBindWindowEx(HEXHANDLE hWnd, HEXHANDLE, uint32_t style, intptr_t lParam,
                                ExMsgProc proc) {
  ObjectState* window = CheckedObject(hWnd, "Ex_DUIBindWindowEx");
  if (window == nullptr || !window->isWindow) return 0;
  int32_t width = window->width;
  int32_t height = window->height;
  HEXHANDLE dui = NewObject("DirectUI", hWnd, 0, 0, width, height);
  ObjectState& state = TheModel().objects[dui];
  state.style = style;
  state.handler = proc;
  state.longs[EXOL_USERDATA] = lParam;
  // The caption bar the library makes for a bound window (ID 256).
  HEXHANDLE caption = NewObject("Caption", dui, 0, 0, width, 42);
  TheModel().objects[caption].id = 256;
  return dui;
}
intptr_t Do_Ex_DUISetLong(HEXHANDLE hExDui, int32_t index, intptr_t value) {
  ObjectState* state = CheckedObject(hExDui, "Ex_DUISetLong");
  if (state == nullptr) return 0;
  intptr_t old = state->longs[index];
  state->longs[index] = value;
  return old;
}
int32_t Do_Ex_DUIShowWindow(HEXHANDLE hExDui, int32_t, int32_t, int32_t, int32_t) {
  ObjectState* state = CheckedObject(hExDui, "Ex_DUIShowWindow");
  if (state == nullptr) return 0;
  CallHandler(hExDui, EXM_SIZE, 0, SizeParam(state->width, state->height));
  return 1;
}
int32_t Do_Ex_WndMsgLoop() {
  auto loop = TheModel().loop;
  if (loop) loop();
  return 0;
}
int32_t Do_Ex_WndDispatchPending() {
  auto pending = TheModel().pending;
  return pending ? pending() : 0;
}
HEXHANDLE Do_Ex_ObjCreateEx(uint32_t styleEx, const char16_t* className, const char16_t* title,
                            uint32_t style, int32_t x, int32_t y, int32_t width, int32_t height,
                            HEXHANDLE parent, int32_t id, uint32_t textFormat, intptr_t lParam,
                            HEXHANDLE, ExMsgProc proc) {
  if (parent != 0 && CheckedObject(parent, "Ex_ObjCreateEx") == nullptr) return 0;
  HEXHANDLE object = NewObject(Utf8(className), parent, x, y, width, height);
  ObjectState& state = TheModel().objects[object];
  state.styleEx = styleEx;
  state.style = style;
  state.textFormat = textFormat;
  state.id = id;
  state.text = FromPointer(title);
  state.longs[EXOL_USERDATA] = lParam;
  state.handler = proc;
  state.vscroll.present = (style & EXOS_VSCROLL) != 0 && style != 0xFFFFFFFFu;
  if (TheModel().sizeOnCreate) CallHandler(object, EXM_SIZE, 0, SizeParam(width, height));
  return object;
}
HEXHANDLE Do_Ex_ObjGetFromID(HEXHANDLE root, int32_t id) {
  for (const auto& [handle, state] : TheModel().objects) {
    if (state.id != id) continue;
    for (HEXHANDLE up = state.parent; up != 0;) {
      if (up == root) return handle;
      ObjectState* s = Object(up);
      up = s ? s->parent : 0;
    }
  }
  return 0;
}
int32_t Do_Ex_ObjSetColor(HEXHANDLE object, int32_t index, uint32_t colour, int32_t) {
  ObjectState* state = CheckedObject(object, "Ex_ObjSetColor");
  if (state == nullptr) return 0;
  state->colours[index] = colour;
  return 1;
}
intptr_t Do_Ex_ObjGetLong(HEXHANDLE object, int32_t index) {
  ObjectState* state = CheckedObject(object, "Ex_ObjGetLong");
  if (state == nullptr) return 0;
  auto found = state->longs.find(index);
  return found == state->longs.end() ? 0 : found->second;
}
intptr_t Do_Ex_ObjSetLong(HEXHANDLE object, int32_t index, intptr_t value) {
  ObjectState* state = CheckedObject(object, "Ex_ObjSetLong");
  if (state == nullptr) return 0;
  intptr_t old = state->longs[index];
  state->longs[index] = value;
  return old;
}
int32_t Do_Ex_ObjSetPos(HEXHANDLE object, HEXHANDLE, int32_t x, int32_t y, int32_t width,
                        int32_t height, uint32_t flags) {
  ObjectState* state = CheckedObject(object, "Ex_ObjSetPos");
  if (state == nullptr) return 0;
  if ((flags & 2) == 0) {
    state->x = x;
    state->y = y;
  }
  if ((flags & 1) == 0) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    bool changed = width != state->width || height != state->height;
    state->width = width;
    state->height = height;
    if (changed && TheModel().sizeOnSetPos) {
      CallHandler(object, EXM_SIZE, 0, SizeParam(width, height));
    }
  }
  return 1;
}
int32_t Do_Ex_ObjGetClientRect(HEXHANDLE object, RECT* rect) {
  ObjectState* state = CheckedObject(object, "Ex_ObjGetClientRect");
  if (state == nullptr || rect == nullptr) return 0;
  *rect = state->hasClientRect ? state->clientRect : RECT{0, 0, state->width, state->height};
  return 1;
}
int32_t Do_Ex_ObjGetTextLength(HEXHANDLE object) {
  ObjectState* state = CheckedObject(object, "Ex_ObjGetTextLength");
  return state ? static_cast<int32_t>(state->text.size()) : 0;
}
int32_t Do_Ex_ObjGetText(HEXHANDLE object, void* buffer, int32_t maxBytes) {
  ObjectState* state = CheckedObject(object, "Ex_ObjGetText");
  if (state == nullptr || buffer == nullptr || maxBytes < 2) return 0;
  size_t units = std::min(state->text.size(), static_cast<size_t>(maxBytes / 2 - 1));
  auto* out = static_cast<char16_t*>(buffer);
  std::memcpy(out, state->text.data(), units * 2);
  out[units] = 0;
  return static_cast<int32_t>(units);
}
intptr_t Do_Ex_ObjSendMessage(HEXHANDLE object, int32_t message, intptr_t wParam, intptr_t lParam) {
  if (CheckedObject(object, "Ex_ObjSendMessage") == nullptr) return 0;
  return CallHandler(object, message, wParam, lParam);
}
intptr_t Do_Ex_ObjDefProc(HEXHANDLE, HEXHANDLE, int32_t, intptr_t, intptr_t) {
  return 0;
}
int32_t Do_Ex_ObjBeginPaint(HEXHANDLE object, ExPaintStruct* ps) {
  ObjectState* state = CheckedObject(object, "Ex_ObjBeginPaint");
  if (state == nullptr || ps == nullptr) return 0;
  *ps = ExPaintStruct{};
  ps->hCanvas = TheModel().canvas;
  ps->hObj = object;
  ps->dwStyle = static_cast<int32_t>(state->style);
  ps->dwStyleEx = static_cast<int32_t>(state->styleEx);
  ps->dwTextFormat = static_cast<int32_t>(state->textFormat);
  ps->width = state->width;
  ps->height = state->height;
  ps->rcPaint = RECT{0, 0, state->width, state->height};
  return 1;
}
int32_t Do_Ex_ObjEndPaint(HEXHANDLE object, ExPaintStruct* ps) {
  Model& m = TheModel();
  if (ps != nullptr && m.recording && !m.calls.empty()) {
    const RECT& rc = ps->rcPaint;
    m.calls.back().args[1] = "ps{" + std::to_string(ps->hCanvas) + ", " + std::to_string(rc.left) +
                             " " + std::to_string(rc.top) + " " + std::to_string(rc.right) + " " +
                             std::to_string(rc.bottom) + "}";
  }
  return CheckedObject(object, "Ex_ObjEndPaint") != nullptr && ps != nullptr ? 1 : 0;
}
ScrollBar* VerticalBar(HEXHANDLE object, int32_t bar, const char* operation) {
  ObjectState* state = CheckedObject(object, operation);
  if (state == nullptr || bar != 1 || !state->vscroll.present) return nullptr;
  return &state->vscroll;
}
HEXHANDLE Do_Ex_ObjScrollGetControl(HEXHANDLE object, int32_t bar) {
  return VerticalBar(object, bar, "Ex_ObjScrollGetControl") ? 60000 + object : 0;
}
int32_t Do_Ex_ObjScrollGetInfo(HEXHANDLE object, int32_t bar, int32_t* minimum, int32_t* maximum,
                               int32_t* position, int32_t* track) {
  ScrollBar* sb = VerticalBar(object, bar, "Ex_ObjScrollGetInfo");
  if (sb == nullptr) return 0;
  if (minimum) *minimum = sb->minimum;
  if (maximum) *maximum = sb->maximum;
  if (position) *position = sb->position;
  if (track) *track = sb->trackPosition;
  return 1;
}
int32_t Do_Ex_ObjScrollGetTrackPos(HEXHANDLE object, int32_t bar) {
  ScrollBar* sb = VerticalBar(object, bar, "Ex_ObjScrollGetTrackPos");
  return sb ? sb->trackPosition : 0;
}
int32_t Do_Ex_ObjScrollSetPos(HEXHANDLE object, int32_t bar, int32_t position, int32_t) {
  ScrollBar* sb = VerticalBar(object, bar, "Ex_ObjScrollSetPos");
  if (sb == nullptr) return 0;
  int32_t old = sb->position;
  sb->position = std::clamp(position, sb->minimum, std::max(sb->minimum, sb->maximum));
  sb->trackPosition = sb->position;
  return old;
}
int32_t Do_Ex_ObjScrollSetInfo(HEXHANDLE object, int32_t bar, int32_t mask, int32_t minimum,
                               int32_t maximum, int32_t page, int32_t position, int32_t) {
  ScrollBar* sb = VerticalBar(object, bar, "Ex_ObjScrollSetInfo");
  if (sb == nullptr) return 0;
  if (mask & 1) {
    sb->minimum = minimum;
    sb->maximum = maximum;
  }
  if (mask & 2) sb->page = page;
  if (mask & 4) {
    sb->position = std::clamp(position, sb->minimum, std::max(sb->minimum, sb->maximum));
    sb->trackPosition = sb->position;
  }
  return sb->position;
}
int32_t Do_Ex_ObjScrollShow(HEXHANDLE object, int32_t bar, int32_t show) {
  ScrollBar* sb = VerticalBar(object, bar, "Ex_ObjScrollShow");
  if (sb == nullptr) return 0;
  sb->shown = show != 0;
  return 1;
}
int32_t Do__canvas_fillrect(HEXHANDLE, HEXHANDLE brush, float, float, float, float) {
  return CheckedIn(TheModel().brushes, brush, "_canvas_fillrect") ? 1 : 0;
}
int32_t Do__canvas_drawrect(HEXHANDLE, HEXHANDLE brush, float, float, float, float, float,
                            int32_t) {
  return CheckedIn(TheModel().brushes, brush, "_canvas_drawrect") ? 1 : 0;
}
int32_t Do__canvas_fillroundedrect(HEXHANDLE, HEXHANDLE brush, float, float, float, float, float,
                                   float) {
  return CheckedIn(TheModel().brushes, brush, "_canvas_fillroundedrect") ? 1 : 0;
}
int32_t Do__canvas_drawtext(HEXHANDLE, HEXHANDLE, uint32_t, const char16_t*, int32_t, uint32_t,
                            float, float, float, float) {
  return 1;
}
int32_t Do__canvas_calctextsize(HEXHANDLE, HEXHANDLE, const char16_t* text, int32_t, uint32_t,
                                intptr_t, float maxWidth, float, float* width, float* height) {
  Model& m = TheModel();
  std::u16string t = FromPointer(text);
  float w = 0, h = 0;
  auto scripted = m.textSizes.find(t);
  if (scripted != m.textSizes.end()) {
    w = scripted->second.first;
    h = scripted->second.second;
  } else if (m.measure) {
    m.measure(t, maxWidth, &w, &h);
  } else if (!t.empty()) {
    w = std::min(10.0f * static_cast<float>(t.size()), maxWidth);
    h = 24;
  }
  if (width) *width = w;
  if (height) *height = h;
  return 1;
}
HEXHANDLE Do__brush_create(uint32_t) {
  HEXHANDLE brush = NewHandle(HandleKind::Brush);
  TheModel().brushes.insert(brush);
  return brush;
}
uint32_t Do__brush_setcolor(HEXHANDLE brush, uint32_t) {
  CheckedIn(TheModel().brushes, brush, "_brush_setcolor");
  return 0;
}
HEXHANDLE Do__brush_createfromimg(HEXHANDLE image) {
  if (!CheckedImage(image, "_brush_createfromimg")) return 0;
  return Do__brush_create(0);
}
int32_t Do__brush_settransform(HEXHANDLE brush, HEXHANDLE matrix) {
  bool ok = CheckedIn(TheModel().brushes, brush, "_brush_settransform");
  ok = CheckedIn(TheModel().matrices, matrix, "_brush_settransform") && ok;
  return ok ? 1 : 0;
}
int32_t Do__brush_destroy(HEXHANDLE brush) {
  Model& m = TheModel();
  if (!CheckedIn(m.brushes, brush, "_brush_destroy")) return 0;
  m.brushes.erase(brush);
  m.released.insert(brush);
  return 1;
}
HEXHANDLE Do__matrix_create() {
  HEXHANDLE matrix = NewHandle(HandleKind::Matrix);
  TheModel().matrices.insert(matrix);
  return matrix;
}
int32_t Do__matrix_translate(HEXHANDLE matrix, float, float) {
  return CheckedIn(TheModel().matrices, matrix, "_matrix_translate") ? 1 : 0;
}
int32_t Do__matrix_destroy(HEXHANDLE matrix) {
  Model& m = TheModel();
  if (!CheckedIn(m.matrices, matrix, "_matrix_destroy")) return 0;
  m.matrices.erase(matrix);
  m.released.insert(matrix);
  return 1;
}
int32_t Do__img_createfrommemory(const void* data, intptr_t length, HEXHANDLE* image) {
  Model& m = TheModel();
  if (data == nullptr || length <= 0) return 0;
  HEXHANDLE made = MakeImage(m.decodedWidth, m.decodedHeight);
  if (image) *image = made;
  return 1;
}
int32_t Do__img_scale(HEXHANDLE image, int32_t width, int32_t height, HEXHANDLE* scaled) {
  if (!CheckedImage(image, "_img_scale")) return 0;
  HEXHANDLE made = MakeImage(width, height);
  if (scaled) *scaled = made;
  return 1;
}
int32_t Do__img_getsize(HEXHANDLE image, int32_t* width, int32_t* height) {
  if (!CheckedImage(image, "_img_getsize")) return 0;
  const ImageState& state = TheModel().images[image];
  if (width) *width = state.width;
  if (height) *height = state.height;
  return 1;
}
int32_t Do__img_destroy(HEXHANDLE image) {
  Model& m = TheModel();
  if (!CheckedImage(image, "_img_destroy")) return 0;
  m.images.erase(image);
  m.released.insert(image);
  return 1;
}
HEXHANDLE Do__font_createfromfamily(const char16_t*, int32_t, int32_t) {
  HEXHANDLE font = NewHandle(HandleKind::Font);
  TheModel().fonts.insert(font);
  return font;
}

}  // namespace

std::string RecordedCall::Line() const {
  std::string line = name + "(";
  for (size_t i = 0; i < args.size(); ++i) {
    if (i) line += ", ";
    line += args[i];
  }
  return line + ")";
}

void Reset() {
  TheModel() = Model();
}

const std::vector<RecordedCall>& Calls() {
  return TheModel().calls;
}

std::vector<std::string> Lines() {
  std::vector<std::string> lines;
  for (const RecordedCall& call : TheModel().calls) lines.push_back(call.Line());
  return lines;
}

std::vector<std::string> LinesOf(const std::set<std::string>& names) {
  std::vector<std::string> lines;
  for (const RecordedCall& call : TheModel().calls) {
    if (names.count(call.name)) lines.push_back(call.Line());
  }
  return lines;
}

int CountOf(const std::string& name) {
  return static_cast<int>(std::count_if(TheModel().calls.begin(), TheModel().calls.end(),
                                        [&](const RecordedCall& c) { return c.name == name; }));
}

void ClearCalls() {
  TheModel().calls.clear();
}
void SetRecording(bool on) {
  TheModel().recording = on;
}
void SetStrict(bool on) {
  TheModel().strict = on;
}
void AllowOnly(const std::set<std::string>& names) {
  TheModel().allowOnly = names;
}
void NameRoutine(ExMsgProc routine, const std::string& name) {
  TheModel().routineNames[routine] = name;
}
void QueueResult(const std::string& operation, intptr_t value) {
  TheModel().queued[operation].push_back(value);
}
void SetNextHandle(HandleKind kind, HEXHANDLE next) {
  TheModel().next[kind] = next;
}
void SetCanvas(HEXHANDLE canvas) {
  TheModel().canvas = canvas;
}
void SetTextSize(const std::string& utf8, float width, float height) {
  TheModel().textSizes[ToU16(utf8)] = {width, height};
}
void SetDefaultTextSize(std::function<void(const std::u16string&, float, float*, float*)> measure) {
  TheModel().measure = std::move(measure);
}
void SetDecodedImageSize(int32_t width, int32_t height) {
  TheModel().decodedWidth = width;
  TheModel().decodedHeight = height;
}
HEXHANDLE MakeImage(int32_t width, int32_t height) {
  HEXHANDLE image = NewHandle(HandleKind::Image);
  TheModel().images[image] = ImageState{width, height};
  return image;
}
int LiveImages() {
  return static_cast<int>(TheModel().images.size());
}
int LiveBrushes() {
  return static_cast<int>(TheModel().brushes.size());
}
int LiveMatrices() {
  return static_cast<int>(TheModel().matrices.size());
}
bool IsLive(HEXHANDLE handle) {
  Model& m = TheModel();
  return m.objects.count(handle) || m.images.count(handle) || m.brushes.count(handle) ||
         m.matrices.count(handle) || m.fonts.count(handle);
}

ObjectState* Object(HEXHANDLE object) {
  auto found = TheModel().objects.find(object);
  return found == TheModel().objects.end() ? nullptr : &found->second;
}
HEXHANDLE MakeObject(int32_t width, int32_t height) {
  return NewObject("Static", 0, 0, 0, width, height);
}
void SetClientRect(HEXHANDLE object, RECT rect) {
  if (ObjectState* state = Object(object)) {
    state->hasClientRect = true;
    state->clientRect = rect;
  }
}
void SetObjectText(HEXHANDLE object, const std::string& utf8) {
  if (ObjectState* state = Object(object)) state->text = ToU16(utf8);
}
void SetSizeOnCreate(bool on) {
  TheModel().sizeOnCreate = on;
}
void SetSizeOnSetPos(bool on) {
  TheModel().sizeOnSetPos = on;
}
intptr_t Deliver(HEXHANDLE object, int32_t message, intptr_t wParam, intptr_t lParam) {
  return CallHandler(object, message, wParam, lParam);
}
void SetPendingDispatcher(std::function<int()> dispatcher) {
  TheModel().pending = std::move(dispatcher);
}
void SetMessageLoop(std::function<void()> loop) {
  TheModel().loop = std::move(loop);
}

std::string Utf8(const char16_t* text) {
  const int units = lstrlenW(text);
  if (units == 0) return {};
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, units, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, units, out.data(), bytes, nullptr, nullptr);
  return out;
}

}  // namespace exdui_recorder

// Every operation: record, then answer from the model (or a queued result).
#define EXDUI_RECORD(ret, name, params, args)                                    \
  ret name params {                                                              \
    using namespace exdui_recorder;                                              \
    return static_cast<ret>(Dispatch(#name, FormatArgs args, [&]() -> intptr_t { \
      return static_cast<intptr_t>(Do_##name args);                              \
    }));                                                                         \
  }
EXDUI_OPERATIONS(EXDUI_RECORD)
#undef EXDUI_RECORD
