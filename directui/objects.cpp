// Objects: creation, the tree, geometry, values and text.
#include <algorithm>

#include "directui/dispatch.h"
#include "directui/handles.h"
#include "directui/include/exdui_export.h"
#include "directui/theme.h"
#include "directui/window.h"

namespace exdui {
namespace {

// Coordinates and sizes stay well inside what Cairo's fixed-point
// arithmetic can place, whatever a caller asks for.
constexpr int32_t kMaxExtent = 1 << 22;

int32_t ClampPosition(int32_t v) { return std::clamp(v, -kMaxExtent, kMaxExtent); }
int32_t ClampSize(int32_t v) { return std::clamp(v, 0, kMaxExtent); }

// The size message packs 16-bit fields; larger sizes read as the largest.
intptr_t PackSize(int32_t width, int32_t height) {
  const uint32_t w = static_cast<uint32_t>(std::min(width, 0x7FFF));
  const uint32_t h = static_cast<uint32_t>(std::min(height, 0x7FFF));
  return static_cast<intptr_t>(w | (h << 16));
}

Object* ParentFromHandle(HEXHANDLE handle) {
  if (Window* w = WindowFromDui(handle)) return &w->root;
  return ObjectFromHandle(handle);
}

Object* FindById(Object* obj, int32_t id) {
  for (size_t i = 0; i < obj->children.size(); ++i) {
    Object* child = obj->children[i];
    if (child->id == id) return child;
    if (Object* found = FindById(child, id)) return found;
  }
  return nullptr;
}

}  // namespace

bool TakesFocus(const Object* obj) {
  if ((obj->style & EXOS_DISABLED) != 0) return false;
  return obj->cls->takesFocus || (obj->styleEx & EXOS_EX_FOCUSABLE) != 0;
}

Object* ObjectFromHandle(HEXHANDLE handle) { return HandleAs<Object>(handle, HandleKind::Object); }

Window* WindowOf(const Object* obj) { return obj ? obj->window : nullptr; }

HEXHANDLE WindowHandleOf(const Object* obj) {
  return obj && obj->window ? obj->window->hWnd : 0;
}

std::u16string_view ObjectText(const Object* obj) {
  if (obj->cls != nullptr && obj->cls->text != nullptr) return obj->cls->text(obj);
  return obj->text;
}

bool IsVisible(const Object* obj) {
  for (const Object* o = obj; o != nullptr; o = o->parent)
    if ((o->style & EXOS_VISIBLE) == 0) return false;
  return obj != nullptr;
}

void ObjectOrigin(const Object* obj, int32_t* x, int32_t* y) {
  int32_t ox = 0, oy = 0;
  for (const Object* o = obj; o != nullptr; o = o->parent) {
    ox += o->x;
    oy += o->y;
  }
  *x = ox;
  *y = oy;
}

// The part of the object not clipped away by its ancestors, in window
// coordinates; false when nothing of it can show.
bool IntersectVisible(const Object* obj, int32_t* x, int32_t* y, int32_t* w, int32_t* h) {
  if (!IsVisible(obj)) return false;
  int32_t ox, oy;
  ObjectOrigin(obj, &ox, &oy);
  int32_t left = ox, top = oy, right = ox + obj->width, bottom = oy + obj->height;
  for (const Object* p = obj->parent; p != nullptr; p = p->parent) {
    int32_t px, py;
    ObjectOrigin(p, &px, &py);
    left = std::max(left, px);
    top = std::max(top, py);
    right = std::min(right, px + p->width);
    bottom = std::min(bottom, py + p->height);
  }
  if (right <= left || bottom <= top) return false;
  *x = left;
  *y = top;
  *w = right - left;
  *h = bottom - top;
  return true;
}

void Invalidate(Object* obj) {
  if (obj == nullptr) return;
  InvalidateRect(obj, RECT{0, 0, obj->width, obj->height});
}

void InvalidateRect(Object* obj, const RECT& rect) {
  if (obj == nullptr || obj->window == nullptr) return;
  int32_t vx, vy, vw, vh;
  if (!IntersectVisible(obj, &vx, &vy, &vw, &vh)) return;
  int32_t ox, oy;
  ObjectOrigin(obj, &ox, &oy);
  const int64_t left = std::max<int64_t>(int64_t{ox} + rect.left, vx);
  const int64_t top = std::max<int64_t>(int64_t{oy} + rect.top, vy);
  const int64_t right = std::min<int64_t>(int64_t{ox} + rect.right, int64_t{vx} + vw);
  const int64_t bottom = std::min<int64_t>(int64_t{oy} + rect.bottom, int64_t{vy} + vh);
  if (right <= left || bottom <= top) return;
  InvalidateWindowRect(obj->window, static_cast<int32_t>(left), static_cast<int32_t>(top),
                       static_cast<int32_t>(right - left), static_cast<int32_t>(bottom - top));
}

void SetObjectRect(Object* obj, int32_t x, int32_t y, int32_t width, int32_t height) {
  x = ClampPosition(x);
  y = ClampPosition(y);
  width = ClampSize(width);
  height = ClampSize(height);
  if (x == obj->x && y == obj->y && width == obj->width && height == obj->height) return;
  const bool resized = width != obj->width || height != obj->height;
  Invalidate(obj);
  obj->x = x;
  obj->y = y;
  obj->width = width;
  obj->height = height;
  Invalidate(obj);
  if (resized) SendObjectMessage(obj, EXM_SIZE, 0, PackSize(width, height));
}

void DestroyObjectTree(Object* obj) {
  for (Object* child : obj->children) DestroyObjectTree(child);
  obj->children.clear();
  if (obj->cls != nullptr && obj->cls->destroy != nullptr) obj->cls->destroy(obj);
  if (obj->handle != 0) {
    HandleRemove(obj->handle);
    delete obj;  // the root is part of its window and freed with it
  }
}

Object* FocusedObject(const Window* window) { return window ? window->focus : nullptr; }

bool WindowHasKeyboardFocus(const Window* window) { return window && window->hasKeyboard; }

void SetFocusObject(Window* window, Object* obj) {
  if (window == nullptr || window->focus == obj) return;
  Object* old = window->focus;
  window->focus = obj;
  if (old != nullptr) {
    old->state &= ~EXST_FOCUSED;
    SendObjectMessage(old, EXM_KILLFOCUS, obj ? obj->handle : 0, 0);
  }
  // A handler may have moved the focus again meanwhile.
  if (obj != nullptr && window->focus == obj) {
    obj->state |= EXST_FOCUSED;
    SendObjectMessage(obj, EXM_SETFOCUS, old ? old->handle : 0, 0);
  }
}

void SetTextInputRect(Object* obj, const RECT& rect) {
  if (obj == nullptr || obj->window == nullptr || obj->window->focus != obj) return;
  int32_t ox, oy;
  ObjectOrigin(obj, &ox, &oy);
  SDL_Rect r{ox + rect.left, oy + rect.top, rect.right - rect.left, rect.bottom - rect.top};
  SDL_SetTextInputRect(&r);
}

Object* CreateObject(Object* parent, const ClassRecord* cls, const ObjectParams& params) {
  Object* obj = new Object;
  obj->cls = cls;
  obj->window = parent->window;
  obj->parent = parent;
  obj->x = ClampPosition(params.x);
  obj->y = ClampPosition(params.y);
  obj->width = ClampSize(params.width);
  obj->height = ClampSize(params.height);
  obj->style = params.style;
  obj->styleEx = params.styleEx;
  obj->textFormat = params.textFormat;
  obj->id = params.id;
  obj->userValue = params.userValue;
  obj->handler = params.handler;
  if (params.title != nullptr) obj->text = params.title;
  obj->handle = HandleAdd(HandleKind::Object, obj);
  if (obj->handle == 0) {
    delete obj;
    return nullptr;
  }
  parent->children.push_back(obj);
  const HEXHANDLE handle = obj->handle;
  if (cls->create != nullptr) cls->create(obj);
  SendObjectMessage(obj, EXM_SIZE, 0, PackSize(obj->width, obj->height));
  if (ObjectFromHandle(handle) != obj) return nullptr;
  Invalidate(obj);
  if (TakesFocus(obj) && obj->window->focus == nullptr && IsVisible(obj))
    SetFocusObject(obj->window, obj);
  return ObjectFromHandle(handle) == obj ? obj : nullptr;
}

}  // namespace exdui

using namespace exdui;

EXDUI_EXPORT HEXHANDLE Ex_ObjCreateEx(uint32_t dwStyleEx, const char16_t* lpwzClassName,
                                      const char16_t* lpwzObjTitle, uint32_t dwStyle, int32_t x,
                                      int32_t y, int32_t width, int32_t height, HEXHANDLE hParent,
                                      int32_t nID, uint32_t dwTextFormat, intptr_t lParam,
                                      HEXHANDLE, ExMsgProc lpfnMsgProc) {
  if (lpwzClassName == nullptr) return 0;
  const ClassRecord* cls = FindClass(lpwzClassName);
  Object* parent = ParentFromHandle(hParent);
  if (cls == nullptr || parent == nullptr || parent->window == nullptr) return 0;
  ObjectParams params;
  params.style = dwStyle == 0xFFFFFFFFu ? cls->defaultStyle : dwStyle;
  params.styleEx = dwStyleEx == 0xFFFFFFFFu ? cls->defaultStyleEx : dwStyleEx;
  params.textFormat = dwTextFormat == 0xFFFFFFFFu ? cls->defaultTextFormat : dwTextFormat;
  params.x = x;
  params.y = y;
  params.width = width;
  params.height = height;
  params.id = nID;
  params.userValue = lParam;
  params.handler = lpfnMsgProc;
  params.title = lpwzObjTitle;
  Object* obj = CreateObject(parent, cls, params);
  return obj ? obj->handle : 0;
}

EXDUI_EXPORT HEXHANDLE Ex_ObjGetFromID(HEXHANDLE hExDuiOrObj, int32_t nID) {
  Window* w = WindowFromDui(hExDuiOrObj);
  if (w == nullptr) {
    Object* obj = ObjectFromHandle(hExDuiOrObj);
    w = obj ? obj->window : nullptr;
  }
  if (w == nullptr) return 0;
  Object* found = FindById(&w->root, nID);
  return found ? found->handle : 0;
}

EXDUI_EXPORT int32_t Ex_ObjSetColor(HEXHANDLE hObj, int32_t nIndex, uint32_t dwColor,
                                    int32_t fRedraw) {
  Object* obj = ObjectFromHandle(hObj);
  if (obj == nullptr) return 0;
  switch (nIndex) {
    case 0:
      obj->background = dwColor;
      break;
    case 2:
      obj->textColor = dwColor;
      break;
    default:
      return 0;
  }
  if (fRedraw != 0) Invalidate(obj);
  return 1;
}

EXDUI_EXPORT intptr_t Ex_ObjGetLong(HEXHANDLE hObj, int32_t nIndex) {
  Object* obj = ObjectFromHandle(hObj);
  if (obj == nullptr) return 0;
  switch (nIndex) {
    case EXOL_USERDATA: return obj->userValue;
    case -12: return obj->id;
    case -16: return static_cast<intptr_t>(obj->style);
    case -20: return static_cast<intptr_t>(obj->styleEx);
    default: return 0;
  }
}

EXDUI_EXPORT intptr_t Ex_ObjSetLong(HEXHANDLE hObj, int32_t nIndex, intptr_t dwNewLong) {
  Object* obj = ObjectFromHandle(hObj);
  if (obj == nullptr) return 0;
  intptr_t old = 0;
  switch (nIndex) {
    case EXOL_USERDATA:
      old = obj->userValue;
      obj->userValue = dwNewLong;
      return old;
    case -12:
      old = obj->id;
      obj->id = static_cast<int32_t>(dwNewLong);
      return old;
    case -16:
      old = static_cast<intptr_t>(obj->style);
      Invalidate(obj);  // the area it covered, in case it hides
      obj->style = static_cast<uint32_t>(dwNewLong);
      Invalidate(obj);
      return old;
    case -20:
      old = static_cast<intptr_t>(obj->styleEx);
      obj->styleEx = static_cast<uint32_t>(dwNewLong);
      return old;
    default:
      return 0;
  }
}

EXDUI_EXPORT int32_t Ex_ObjSetPos(HEXHANDLE hObj, HEXHANDLE, int32_t x, int32_t y, int32_t width,
                                  int32_t height, uint32_t dwFlags) {
  Object* obj = ObjectFromHandle(hObj);
  if (obj == nullptr) return 0;
  const bool keepSize = (dwFlags & 1) != 0;
  const bool keepPosition = (dwFlags & 2) != 0;
  SetObjectRect(obj, keepPosition ? obj->x : x, keepPosition ? obj->y : y,
                keepSize ? obj->width : width, keepSize ? obj->height : height);
  return 1;
}

EXDUI_EXPORT int32_t Ex_ObjGetClientRect(HEXHANDLE hObj, RECT* lpRect) {
  Object* obj = ObjectFromHandle(hObj);
  if (obj == nullptr || lpRect == nullptr) return 0;
  *lpRect = RECT{0, 0, obj->width, obj->height};
  return 1;
}

EXDUI_EXPORT int32_t Ex_ObjGetTextLength(HEXHANDLE hObj) {
  Object* obj = ObjectFromHandle(hObj);
  if (obj == nullptr) return 0;
  return static_cast<int32_t>(std::min<size_t>(ObjectText(obj).size(), 0x7FFFFFFF));
}

EXDUI_EXPORT int32_t Ex_ObjGetText(HEXHANDLE hObj, void* lpString, int32_t nMaxBytes) {
  Object* obj = ObjectFromHandle(hObj);
  if (obj == nullptr || lpString == nullptr || nMaxBytes < 2) return 0;
  const std::u16string_view text = ObjectText(obj);
  const size_t room = static_cast<size_t>(nMaxBytes) / 2 - 1;  // units before the NUL
  size_t n = std::min(text.size(), room);
  // A cut never leaves half of a surrogate pair at the end.
  if (n > 0 && n < text.size() && text[n - 1] >= 0xD800 && text[n - 1] <= 0xDBFF) --n;
  // Byte copies: the caller's buffer need not be aligned for char16_t.
  auto* out = static_cast<unsigned char*>(lpString);
  for (size_t i = 0; i < n; ++i) {
    out[2 * i] = static_cast<unsigned char>(text[i] & 0xFF);
    out[2 * i + 1] = static_cast<unsigned char>(text[i] >> 8);
  }
  out[2 * n] = 0;
  out[2 * n + 1] = 0;
  return static_cast<int32_t>(n);
}
