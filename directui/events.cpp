// SDL input turned into the library's messages, in this one place, and
// routed: keys and text to the focused object, the mouse to the object under
// it (or to the one holding the capture), the wheel to the nearest scroll bar.
#include <algorithm>

#include "directui/edit_utf.h"
#include "directui/window.h"

namespace exdui {
namespace {

constexpr uint32_t kDoubleClickMs = 400;

struct Hit {
  Object* obj = nullptr;
  bool onBar = false;  // on obj's scroll bar
  int32_t ox = 0, oy = 0;  // obj's origin in window coordinates
};

// True when (x, y) lies in o's visible part; then *hit names the topmost
// object there. A scroll bar lies over its own object's children.
bool HitNode(Object* o, int32_t ox, int32_t oy, const RECT& clip, int32_t x, int32_t y, Hit* hit) {
  const bool isRoot = o->parent == nullptr;
  if (!isRoot && (o->style & EXOS_VISIBLE) == 0) return false;
  const RECT r{std::max(clip.left, ox), std::max(clip.top, oy),
               std::min<int32_t>(clip.right, ox + o->width),
               std::min<int32_t>(clip.bottom, oy + o->height)};
  if (x < r.left || x >= r.right || y < r.top || y >= r.bottom) return false;
  if (!isRoot) *hit = Hit{o, false, ox, oy};
  RECT track;
  if (!isRoot && VScrollTrackRect(o, &track) && x - ox >= track.left) {
    hit->onBar = true;
    return true;
  }
  for (size_t i = o->children.size(); i-- > 0;) {
    Object* child = o->children[i];
    if (HitNode(child, ox + child->x, oy + child->y, r, x, y, hit)) return true;
  }
  return true;
}

Hit HitAt(Window* w, int32_t x, int32_t y) {
  Hit hit;
  HitNode(&w->root, 0, 0, RECT{0, 0, w->width, w->height}, x, y, &hit);
  return hit;
}

uint32_t MouseFlags(uint32_t buttons) {
  uint32_t flags = 0;
  if (buttons & SDL_BUTTON_LMASK) flags |= EXMK_LBUTTON;
  if (buttons & SDL_BUTTON_RMASK) flags |= EXMK_RBUTTON;
  if (buttons & SDL_BUTTON_MMASK) flags |= EXMK_MBUTTON;
  const SDL_Keymod mod = SDL_GetModState();
  if (mod & KMOD_SHIFT) flags |= EXMK_SHIFT;
  if (mod & KMOD_CTRL) flags |= EXMK_CONTROL;
  return flags;
}

void SendMouse(Object* obj, int32_t msg, int32_t x, int32_t y, uint32_t buttons) {
  int32_t ox, oy;
  ObjectOrigin(obj, &ox, &oy);
  SendObjectMessage(obj, msg, MouseFlags(buttons), PackPoint(x - ox, y - oy));
}

SDL_Cursor* g_cursors[SDL_NUM_SYSTEM_CURSORS] = {};

SDL_Cursor* CursorFor(SDL_SystemCursor id) {
  SDL_Cursor** cursors = g_cursors;
  if (id < 0 || id >= SDL_NUM_SYSTEM_CURSORS) return nullptr;
  if (cursors[id] == nullptr) cursors[id] = SDL_CreateSystemCursor(id);
  return cursors[id];
}

void SetHover(Window* w, Object* now) {
  if (w->hover == now) return;
  Object* old = w->hover;
  w->hover = now;
  if (old != nullptr) {
    old->state &= ~EXST_HOVER;
    SendObjectMessage(old, EXM_MOUSELEAVE, 0, 0);
  }
  if (now != nullptr && w->hover == now) {
    now->state |= EXST_HOVER;
    SendObjectMessage(now, EXM_MOUSEHOVER, 0, 0);
  }
  const SDL_SystemCursor cursor =
      now != nullptr && now->cls != nullptr ? now->cls->cursor : SDL_SYSTEM_CURSOR_ARROW;
  if (SDL_Cursor* c = CursorFor(cursor)) SDL_SetCursor(c);
}

void SetBarHover(Window* w, Object* now) {
  if (w->barHover == now) return;
  for (Object* o : {w->barHover, now}) {
    if (o == nullptr) continue;
    o->vscroll.hover = o == now;
    RECT track;
    if (VScrollTrackRect(o, &track)) InvalidateRect(o, track);
  }
  w->barHover = now;
}

int OnMouseMotion(Window* w, const SDL_MouseMotionEvent& e) {
  const Hit hit = HitAt(w, e.x, e.y);
  if (w->scrollTarget == nullptr && w->capture == nullptr) SetBarHover(w, hit.onBar ? hit.obj : nullptr);
  SetHover(w, hit.onBar ? nullptr : hit.obj);
  if (Object* bar = w->scrollTarget) {
    int32_t ox, oy;
    ObjectOrigin(bar, &ox, &oy);
    VScrollMouseMove(bar, e.x - ox, e.y - oy);
    return 1;
  }
  Object* target = w->capture ? w->capture : (hit.onBar ? nullptr : hit.obj);
  if (target == nullptr) return 0;
  SendMouse(target, EXM_MOUSEMOVE, e.x, e.y, e.state);
  return 1;
}

int OnButtonDown(Window* w, const SDL_MouseButtonEvent& e) {
  const Hit hit = HitAt(w, e.x, e.y);
  if (hit.obj == nullptr) return 0;
  const uint32_t buttons = SDL_GetMouseState(nullptr, nullptr) | SDL_BUTTON(e.button);
  if (e.button == SDL_BUTTON_RIGHT) {
    SendMouse(hit.obj, EXM_RBUTTONDOWN, e.x, e.y, buttons);
    return 1;
  }
  if (e.button != SDL_BUTTON_LEFT) return 0;
  if (hit.onBar && VScrollMouseDown(hit.obj, e.x - hit.ox, e.y - hit.oy)) {
    w->scrollTarget = hit.obj;
    SDL_CaptureMouse(SDL_TRUE);
    return 1;
  }
  Object* obj = hit.obj;
  if (TakesFocus(obj)) SetFocusObject(w, obj);
  w->capture = obj;
  obj->state |= EXST_PRESSED;
  SDL_CaptureMouse(SDL_TRUE);
  const bool second = e.clicks >= 2 && e.clicks % 2 == 0;
  SendMouse(obj, second ? EXM_LBUTTONDBLCLK : EXM_LBUTTONDOWN, e.x, e.y, buttons);
  return 1;
}

int OnButtonUp(Window* w, const SDL_MouseButtonEvent& e) {
  const uint32_t buttons = SDL_GetMouseState(nullptr, nullptr) & ~SDL_BUTTON(e.button);
  if (e.button == SDL_BUTTON_RIGHT) {
    const Hit hit = HitAt(w, e.x, e.y);
    if (hit.obj == nullptr) return 0;
    SendMouse(hit.obj, EXM_RBUTTONUP, e.x, e.y, buttons);
    return 1;
  }
  if (e.button != SDL_BUTTON_LEFT) return 0;
  SDL_CaptureMouse(SDL_FALSE);
  if (Object* bar = w->scrollTarget) {
    w->scrollTarget = nullptr;
    VScrollMouseUp(bar);
    return 1;
  }
  Object* obj = w->capture;
  if (obj == nullptr) return 0;
  w->capture = nullptr;
  obj->state &= ~EXST_PRESSED;
  SendMouse(obj, EXM_LBUTTONUP, e.x, e.y, buttons);
  return 1;
}

int OnWheel(Window* w, const SDL_MouseWheelEvent& e) {
  int32_t notches = e.y;
  if (e.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
  if (notches == 0) return 0;
  const Hit hit = HitAt(w, e.mouseX, e.mouseY);
  for (Object* o = hit.obj; o != nullptr && o->parent != nullptr; o = o->parent) {
    if (HasVScroll(o)) {
      VScrollWheel(o, notches);
      return 1;
    }
  }
  return 0;
}

int OnKey(Window* w, const SDL_KeyboardEvent& e) {
  Object* focus = w->focus;
  if (focus == nullptr) return 0;
  const SDL_Keycode key = e.keysym.sym;
  const uint16_t mod = e.keysym.mod;
  const intptr_t lParam = static_cast<intptr_t>(
      uint32_t{mod} | ((static_cast<uint32_t>(e.keysym.scancode) & 0xFFF) << 16) |
      (e.repeat ? (1u << 30) : 0u));
  const bool down = e.type == SDL_KEYDOWN;
  SendObjectMessage(focus, down ? EXM_KEYDOWN : EXM_KEYUP, key, lParam);
  if (!down) return 1;
  // Enter gives no text event; it is the character 13, as is Ctrl+M.
  const bool enter = key == SDLK_RETURN || key == SDLK_RETURN2 || key == SDLK_KP_ENTER ||
                     (key == SDLK_m && (mod & KMOD_CTRL) != 0 && (mod & KMOD_ALT) == 0);
  if (enter && w->focus != nullptr) SendObjectMessage(w->focus, EXM_CHAR, 13, 1);
  return 2;
}

void EndComposition(Window* w) {
  if (!w->composing) return;
  w->composing = false;
  if (Object* focus = w->focus) {
    ImeComposition none{u"", 0, 0, 0};
    SendObjectMessage(focus, EXM_IME_COMPOSITION, reinterpret_cast<intptr_t>(&none), 0);
    if (w->focus != nullptr) SendObjectMessage(w->focus, EXM_IME_ENDCOMPOSITION, 0, 0);
  }
}

int OnText(Window* w, const char* utf8) {
  EndComposition(w);
  const std::u16string text = Utf8ToUtf16(utf8);
  int sent = 0;
  for (char16_t unit : text) {
    if (unit < 0x20 || unit == 0x7F) continue;  // control keys are key messages only
    Object* focus = w->focus;
    if (focus == nullptr) break;
    SendObjectMessage(focus, EXM_CHAR, unit, 1);
    ++sent;
  }
  return sent;
}

int OnEditing(Window* w, const SDL_TextEditingEvent& e) {
  const std::u16string text = Utf8ToUtf16(e.text);
  if (text.empty()) {
    EndComposition(w);
    return 1;
  }
  Object* focus = w->focus;
  if (focus == nullptr) return 0;
  if (!w->composing) {
    w->composing = true;
    SendObjectMessage(focus, EXM_IME_STARTCOMPOSITION, 0, 0);
    if (w->focus != focus) return 1;
  }
  const size_t cursor = UnitsOfCodePoints(text, static_cast<size_t>(std::max(e.start, 0)));
  const size_t selected =
      UnitsOfCodePoints(std::u16string_view(text).substr(cursor), static_cast<size_t>(std::max(e.length, 0)));
  ImeComposition composition{text.data(), static_cast<int32_t>(text.size()),
                             static_cast<int32_t>(cursor), static_cast<int32_t>(selected)};
  SendObjectMessage(focus, EXM_IME_COMPOSITION, reinterpret_cast<intptr_t>(&composition), 0);
  return 1;
}

int OnWindowEvent(Window* w, const SDL_WindowEvent& e) {
  switch (e.event) {
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      if (ResizeWindowContent(w, e.data1, e.data2) && w->hExDui != 0)
        SendWindowSize(w, w->maximized ? 2 : 0);
      return 1;
    case SDL_WINDOWEVENT_EXPOSED:
      if (w->shown) {
        PaintDirty(w);
        PresentEverything(w);
      }
      return 1;
    case SDL_WINDOWEVENT_CLOSE:
      CloseWindow(w);
      return 1;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      w->hasKeyboard = true;
      SDL_StartTextInput();
      if (w->focus != nullptr) SendObjectMessage(w->focus, EXM_SETFOCUS, 0, 0);
      return 1;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      w->hasKeyboard = false;
      EndComposition(w);
      if (w->focus != nullptr) SendObjectMessage(w->focus, EXM_KILLFOCUS, 0, 0);
      return 1;
    case SDL_WINDOWEVENT_LEAVE:
      SetHover(w, nullptr);
      SetBarHover(w, nullptr);
      return 1;
    case SDL_WINDOWEVENT_MAXIMIZED:
    case SDL_WINDOWEVENT_RESTORED:
      w->maximized = e.event == SDL_WINDOWEVENT_MAXIMIZED;
      if (w->caption != nullptr) Invalidate(w->caption);
      return 1;
    case SDL_WINDOWEVENT_HIT_TEST: {
      // Presses on the draggable caption go to the window manager; two in
      // quick succession maximise or restore.
      const uint32_t now = SDL_GetTicks();
      if ((w->bindStyle & EXWS_DBLCLKMAXIMIZE) != 0 && (w->bindStyle & EXWS_BUTTON_MAX) != 0 &&
          w->lastCaptionPress != 0 && now - w->lastCaptionPress < kDoubleClickMs) {
        w->lastCaptionPress = 0;
        if (w->maximized)
          SDL_RestoreWindow(w->sdl);
        else
          SDL_MaximizeWindow(w->sdl);
      } else {
        w->lastCaptionPress = now;
      }
      return 1;
    }
    default:
      return 0;
  }
}

Window* KeyboardWindow(uint32_t id) {
  if (Window* w = WindowFromSdlId(id)) return w;
  // Synthetic events may carry no window; the first open one takes them.
  for (Window* w : AllWindows())
    if (!w->closed) return w;
  return nullptr;
}

}  // namespace

void ReleaseCursors() {
  for (SDL_Cursor*& c : g_cursors) {
    if (c != nullptr) SDL_FreeCursor(c);
    c = nullptr;
  }
}

Object* ObjectAtPoint(Window* w, int32_t x, int32_t y, int32_t* ox, int32_t* oy) {
  const Hit hit = HitAt(w, x, y);
  *ox = hit.ox;
  *oy = hit.oy;
  return hit.obj;
}

int HandleSdlEvent(const SDL_Event& e) {
  switch (e.type) {
    case SDL_QUIT:
      for (Window* w : AllWindows()) CloseWindow(w);
      return 1;
    case SDL_WINDOWEVENT:
      if (Window* w = WindowFromSdlId(e.window.windowID)) return OnWindowEvent(w, e.window);
      return 0;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      if (Window* w = KeyboardWindow(e.key.windowID)) return OnKey(w, e.key);
      return 0;
    case SDL_TEXTINPUT:
      if (Window* w = KeyboardWindow(e.text.windowID)) return OnText(w, e.text.text);
      return 0;
    case SDL_TEXTEDITING:
      if (Window* w = KeyboardWindow(e.edit.windowID)) return OnEditing(w, e.edit);
      return 0;
    case SDL_MOUSEMOTION:
      if (Window* w = WindowFromSdlId(e.motion.windowID)) return OnMouseMotion(w, e.motion);
      return 0;
    case SDL_MOUSEBUTTONDOWN:
      if (Window* w = WindowFromSdlId(e.button.windowID)) return OnButtonDown(w, e.button);
      return 0;
    case SDL_MOUSEBUTTONUP:
      if (Window* w = WindowFromSdlId(e.button.windowID)) return OnButtonUp(w, e.button);
      return 0;
    case SDL_MOUSEWHEEL:
      if (Window* w = WindowFromSdlId(e.wheel.windowID)) return OnWheel(w, e.wheel);
      return 0;
    default:
      return 0;
  }
}

}  // namespace exdui
