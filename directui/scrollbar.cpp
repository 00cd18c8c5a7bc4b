// The vertical scroll bar: drawn over the right edge of its object, driven
// by the wheel, by dragging its thumb and by clicks on its track. The bar
// only reports (message 0x115); moving the content is the handler's work.
#include <algorithm>
#include <cstdint>

#include "directui/include/exdui_export.h"
#include "directui/theme.h"
#include "directui/window.h"

namespace exdui {
namespace {

constexpr int32_t kVerticalBar = 1;
constexpr int32_t kMaxNotchesPerEvent = 10;

struct Thumb {
  int32_t top;
  int32_t length;
};

int32_t BarWidth(const Object* obj) { return std::min(CurrentTheme().scrollBarWidth, obj->width); }

// The thumb's place on the track for a given position.
Thumb ThumbFor(const Object* obj, int32_t pos) {
  const ScrollBarState& s = obj->vscroll;
  const int64_t track = obj->height;
  const int64_t range = int64_t{s.max} - s.min;
  const int64_t page = std::max(s.page, 0);
  int64_t length = range + page > 0 ? track * page / (range + page) : track;
  length = std::clamp<int64_t>(length, std::min<int64_t>(CurrentTheme().scrollBarMinThumb, track),
                               track);
  const int64_t travel = track - length;
  const int64_t offset = std::clamp<int64_t>(int64_t{pos} - s.min, 0, range);
  const int64_t top = range > 0 ? travel * offset / range : 0;
  return Thumb{static_cast<int32_t>(top), static_cast<int32_t>(length)};
}

int32_t ShownPos(const Object* obj) {
  return obj->vscroll.dragging ? obj->vscroll.trackPos : obj->vscroll.pos;
}

void SetSourceArgb(cairo_t* cr, uint32_t argb) {
  cairo_set_source_rgba(cr, ((argb >> 16) & 0xFF) / 255.0, ((argb >> 8) & 0xFF) / 255.0,
                        (argb & 0xFF) / 255.0, (argb >> 24) / 255.0);
}

void InvalidateBar(Object* obj) {
  InvalidateRect(obj, RECT{obj->width - BarWidth(obj), 0, obj->width, obj->height});
}

void SendScroll(Object* obj, int32_t code, int32_t pos = 0) {
  const intptr_t wParam =
      static_cast<intptr_t>((static_cast<uint32_t>(code) & 0xFFFF) |
                            (static_cast<uint32_t>(static_cast<uint16_t>(pos)) << 16));
  SendObjectMessage(obj, EXM_VSCROLL, wParam, 0);
}

Object* BarObject(HEXHANDLE hObj, int32_t nBar) {
  Object* obj = ObjectFromHandle(hObj);
  if (obj == nullptr || nBar != kVerticalBar || !HasVScroll(obj)) return nullptr;
  return obj;
}

int32_t Clamp(const ScrollBarState& s, int32_t pos) { return std::clamp(pos, s.min, s.max); }

}  // namespace

bool HasVScroll(const Object* obj) { return (obj->style & EXOS_VSCROLL) != 0; }

bool VScrollVisible(const Object* obj) {
  return HasVScroll(obj) && obj->vscroll.shown && obj->vscroll.max > obj->vscroll.min &&
         obj->width > 0 && obj->height > 0;
}

bool VScrollTrackRect(const Object* obj, RECT* track) {
  if (!VScrollVisible(obj)) return false;
  *track = RECT{obj->width - BarWidth(obj), 0, obj->width, obj->height};
  return true;
}

void PaintVScroll(Object* obj, cairo_t* cr) {
  RECT track;
  if (!VScrollTrackRect(obj, &track)) return;
  const Theme& theme = CurrentTheme();
  SetSourceArgb(cr, theme.scrollBarTrack);
  cairo_rectangle(cr, track.left, track.top, track.right - track.left, track.bottom - track.top);
  cairo_fill(cr);
  const Thumb thumb = ThumbFor(obj, ShownPos(obj));
  const uint32_t colour = obj->vscroll.dragging ? theme.scrollBarThumbPressed
                          : obj->vscroll.hover  ? theme.scrollBarThumbHover
                                                : theme.scrollBarThumb;
  const double inset = (track.right - track.left) >= 8 ? 2.0 : 0.0;
  const double left = track.left + inset, right = track.right - inset;
  const double top = thumb.top + 1.0, bottom = thumb.top + thumb.length - 1.0;
  const double radius = std::min((right - left) / 2.0, (bottom - top) / 2.0);
  cairo_new_sub_path(cr);
  cairo_arc(cr, right - radius, top + radius, radius, -M_PI / 2, 0);
  cairo_arc(cr, right - radius, bottom - radius, radius, 0, M_PI / 2);
  cairo_arc(cr, left + radius, bottom - radius, radius, M_PI / 2, M_PI);
  cairo_arc(cr, left + radius, top + radius, radius, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
  SetSourceArgb(cr, colour);
  cairo_fill(cr);
}

bool VScrollMouseDown(Object* obj, int32_t x, int32_t y) {
  RECT track;
  if (!VScrollTrackRect(obj, &track) || x < track.left || x >= track.right) return false;
  ScrollBarState& s = obj->vscroll;
  const Thumb thumb = ThumbFor(obj, s.pos);
  if (y >= thumb.top && y < thumb.top + thumb.length) {
    s.dragging = true;
    s.grabOffset = y - thumb.top;
    s.trackPos = s.pos;
    InvalidateBar(obj);
  } else {
    SendScroll(obj, y < thumb.top ? EXSB_PAGEUP : EXSB_PAGEDOWN);
  }
  return true;
}

void VScrollMouseMove(Object* obj, int32_t, int32_t y) {
  ScrollBarState& s = obj->vscroll;
  if (!s.dragging) return;
  const Thumb thumb = ThumbFor(obj, s.pos);
  const int64_t travel = int64_t{obj->height} - thumb.length;
  const int64_t top = std::clamp<int64_t>(int64_t{y} - s.grabOffset, 0, std::max<int64_t>(travel, 0));
  const int64_t range = int64_t{s.max} - s.min;
  const int32_t track =
      travel > 0 ? static_cast<int32_t>(s.min + (top * range + travel / 2) / travel) : s.min;
  if (track == s.trackPos) return;
  s.trackPos = Clamp(s, track);
  InvalidateBar(obj);
  SendScroll(obj, EXSB_THUMBTRACK, s.trackPos);
}

void VScrollMouseUp(Object* obj) {
  ScrollBarState& s = obj->vscroll;
  if (s.dragging) {
    // The track position stays readable until the end of the scroll.
    SendScroll(obj, EXSB_THUMBPOSITION, s.trackPos);
    SendScroll(obj, EXSB_ENDSCROLL);
    s.dragging = false;
    InvalidateBar(obj);
  } else {
    SendScroll(obj, EXSB_ENDSCROLL);
  }
}

void VScrollWheel(Object* obj, int32_t notches) {
  const int32_t n = std::min(notches < 0 ? -notches : notches, kMaxNotchesPerEvent);
  for (int32_t i = 0; i < n; ++i) SendScroll(obj, notches > 0 ? EXSB_LINEUP : EXSB_LINEDOWN);
}

}  // namespace exdui

using namespace exdui;

EXDUI_EXPORT HEXHANDLE Ex_ObjScrollGetControl(HEXHANDLE hObj, int32_t nBar) {
  return BarObject(hObj, nBar) ? hObj : 0;
}

EXDUI_EXPORT int32_t Ex_ObjScrollGetInfo(HEXHANDLE hObj, int32_t nBar, int32_t* lpnMin,
                                         int32_t* lpnMax, int32_t* lpnPos, int32_t* lpnTrackPos) {
  Object* obj = BarObject(hObj, nBar);
  if (obj == nullptr) return 0;
  const ScrollBarState& s = obj->vscroll;
  if (lpnMin != nullptr) *lpnMin = s.min;
  if (lpnMax != nullptr) *lpnMax = s.max;
  if (lpnPos != nullptr) *lpnPos = s.pos;
  if (lpnTrackPos != nullptr) *lpnTrackPos = ShownPos(obj);
  return 1;
}

EXDUI_EXPORT int32_t Ex_ObjScrollGetTrackPos(HEXHANDLE hObj, int32_t nBar) {
  Object* obj = BarObject(hObj, nBar);
  return obj ? ShownPos(obj) : 0;
}

EXDUI_EXPORT int32_t Ex_ObjScrollSetPos(HEXHANDLE hObj, int32_t nBar, int32_t nPos,
                                        int32_t bRedraw) {
  Object* obj = BarObject(hObj, nBar);
  if (obj == nullptr) return 0;
  ScrollBarState& s = obj->vscroll;
  const int32_t old = s.pos;
  s.pos = Clamp(s, nPos);
  if (bRedraw != 0 && s.pos != old) InvalidateBar(obj);
  return old;
}

EXDUI_EXPORT int32_t Ex_ObjScrollSetInfo(HEXHANDLE hObj, int32_t nBar, int32_t mask,
                                         int32_t nMin, int32_t nMax, int32_t nPage, int32_t nPos,
                                         int32_t bRedraw) {
  Object* obj = BarObject(hObj, nBar);
  if (obj == nullptr) return 0;
  ScrollBarState& s = obj->vscroll;
  const bool wasVisible = VScrollVisible(obj);
  if ((mask & 0x1) != 0) {
    s.min = nMin;
    s.max = std::max(nMin, nMax);
  }
  if ((mask & 0x2) != 0) s.page = std::max(nPage, 0);
  if ((mask & 0x4) != 0) s.pos = nPos;
  s.pos = Clamp(s, s.pos);
  s.trackPos = Clamp(s, s.trackPos);
  if (bRedraw != 0 || wasVisible != VScrollVisible(obj)) InvalidateBar(obj);
  return s.pos;
}

EXDUI_EXPORT int32_t Ex_ObjScrollShow(HEXHANDLE hObj, int32_t nBar, int32_t fShow) {
  Object* obj = BarObject(hObj, nBar);
  if (obj == nullptr) return 0;
  const bool show = fShow != 0;
  if (obj->vscroll.shown != show) {
    obj->vscroll.shown = show;
    InvalidateBar(obj);
  }
  return 1;
}
