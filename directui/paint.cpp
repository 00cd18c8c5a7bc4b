// The painting pipeline. Dirty areas collect in a region per window; the
// message loop paints them into the window's back buffer in tree order and
// then copies them to the screen. Ex_ObjBeginPaint outside such a pass (the
// paint message sent by a client) composes the object's area on the spot:
// what lies beneath first, then the object, then what lies above.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "directui/canvas.h"
#include "directui/dispatch.h"
#include "directui/include/exdui_export.h"
#include "directui/paint.h"
#include "directui/testing.h"
#include "directui/window.h"

namespace exdui {
namespace {

constexpr size_t kNoFrame = SIZE_MAX;

enum class PassMode {
  Full,    // everything in the region
  Before,  // everything painted before the target, and the target's background
  After,   // the target's children and everything painted after it
};

struct Pass {
  Window* window;
  cairo_t* cr;
  const cairo_region_t* region;
  PassMode mode;
  Object* target;
  bool reached;
  bool stopped;
};

// An object to which a pass is delivering the paint message.
struct PassVisit {
  Object* obj;
  cairo_t* cr;
  RECT dirty;  // object coordinates
};

// A paint begun with Ex_ObjBeginPaint (or by the default paint) and not ended.
struct OpenPaint {
  Object* obj;
  HEXHANDLE canvas;
  cairo_t* cr;
  bool immediate;  // its own context on the back buffer, composed at its end
  size_t frame;    // the dispatch frame it was begun in
  cairo_region_t* area;  // immediate: the window area it covers
};

std::vector<PassVisit>& Visits() {
  static std::vector<PassVisit> visits;
  return visits;
}

std::vector<OpenPaint>& OpenPaints() {
  static std::vector<OpenPaint> paints;
  return paints;
}

int g_passDepth = 0;

bool IsStrictAncestor(const Object* a, const Object* x) {
  for (const Object* p = x->parent; p != nullptr; p = p->parent)
    if (p == a) return true;
  return false;
}

void SetSourceArgb(cairo_t* cr, uint32_t argb) {
  cairo_set_source_rgba(cr, ((argb >> 16) & 0xFF) / 255.0, ((argb >> 8) & 0xFF) / 255.0,
                        (argb & 0xFF) / 255.0, (argb >> 24) / 255.0);
}

void ClipToRegion(cairo_t* cr, const cairo_region_t* region) {
  const int n = cairo_region_num_rectangles(region);
  for (int i = 0; i < n; ++i) {
    cairo_rectangle_int_t r;
    cairo_region_get_rectangle(region, i, &r);
    cairo_rectangle(cr, r.x, r.y, r.width, r.height);
  }
  cairo_clip(cr);
}

int64_t RegionArea(const cairo_region_t* region) {
  int64_t area = 0;
  const int n = cairo_region_num_rectangles(region);
  for (int i = 0; i < n; ++i) {
    cairo_rectangle_int_t r;
    cairo_region_get_rectangle(region, i, &r);
    area += int64_t{r.width} * r.height;
  }
  return area;
}

void FillBackground(const Pass& p, const Object* o) {
  if (o->parent == nullptr) {
    // The root replaces whatever the back buffer held.
    cairo_set_operator(p.cr, CAIRO_OPERATOR_SOURCE);
    SetSourceArgb(p.cr, p.window->background);
    cairo_paint(p.cr);
    cairo_set_operator(p.cr, CAIRO_OPERATOR_OVER);
    return;
  }
  if ((o->background >> 24) == 0) return;
  SetSourceArgb(p.cr, o->background);
  cairo_rectangle(p.cr, 0, 0, o->width, o->height);
  cairo_fill(p.cr);
}

void DeliverPaint(const Pass& p, Object* o, const RECT& visible, int32_t ox, int32_t oy) {
  cairo_rectangle_int_t e;
  cairo_region_get_extents(p.region, &e);
  RECT dirty{std::max(visible.left, e.x) - ox, std::max(visible.top, e.y) - oy,
             std::min(visible.right, e.x + e.width) - ox,
             std::min(visible.bottom, e.y + e.height) - oy};
  Visits().push_back({o, p.cr, dirty});
  SendObjectMessage(o, EXM_PAINT, 0, 0);
  Visits().pop_back();
}

// Paints one object and its subtree. (ox, oy) is its origin and clip the
// visible part of its parent, both in window coordinates.
void PaintNode(Pass& p, Object* o, int32_t ox, int32_t oy, const RECT& clip) {
  if (p.stopped) return;
  const bool isRoot = o->parent == nullptr;
  if (!isRoot && (o->style & EXOS_VISIBLE) == 0) return;
  const RECT r{std::max(clip.left, ox), std::max(clip.top, oy),
               std::min<int32_t>(clip.right, ox + o->width),
               std::min<int32_t>(clip.bottom, oy + o->height)};
  if (r.right <= r.left || r.bottom <= r.top) return;
  const cairo_rectangle_int_t box{r.left, r.top, r.right - r.left, r.bottom - r.top};
  if (cairo_region_contains_rectangle(p.region, &box) == CAIRO_REGION_OVERLAP_OUT) return;

  bool paintSelf = true;
  if (p.mode == PassMode::After && !p.reached) {
    if (o == p.target) {
      p.reached = true;
      paintSelf = false;
    } else if (IsStrictAncestor(o, p.target)) {
      paintSelf = false;
    } else {
      return;
    }
  }
  cairo_save(p.cr);
  cairo_identity_matrix(p.cr);
  cairo_rectangle(p.cr, box.x, box.y, box.width, box.height);
  cairo_clip(p.cr);
  cairo_translate(p.cr, ox, oy);
  if (paintSelf) {
    FillBackground(p, o);
    if (p.mode == PassMode::Before && o == p.target) {
      p.stopped = true;
      cairo_restore(p.cr);
      return;
    }
    if (!isRoot) DeliverPaint(p, o, r, ox, oy);
  }
  // Handlers may add children while they paint: the list is read afresh.
  for (size_t i = 0; i < o->children.size() && !p.stopped; ++i) {
    Object* child = o->children[i];
    PaintNode(p, child, ox + child->x, oy + child->y, r);
  }
  if (!p.stopped && (p.mode != PassMode::After || p.reached)) {
    cairo_identity_matrix(p.cr);
    cairo_translate(p.cr, ox, oy);
    PaintVScroll(o, p.cr);
  }
  cairo_restore(p.cr);
}

void RunPass(Window* w, cairo_t* cr, const cairo_region_t* region, PassMode mode, Object* target) {
  Pass p{w, cr, region, mode, target, false, false};
  ++g_passDepth;
  PaintNode(p, &w->root, 0, 0, RECT{0, 0, w->width, w->height});
  --g_passDepth;
}

cairo_t* BeginImmediate(Object* o, cairo_region_t** area, RECT* dirty) {
  Window* w = o->window;
  cairo_t* cr = cairo_create(w->backBuffer);
  int32_t vx, vy, vw, vh;
  cairo_region_t* region = nullptr;
  int32_t ox, oy;
  ObjectOrigin(o, &ox, &oy);
  if (IntersectVisible(o, &vx, &vy, &vw, &vh)) {
    const cairo_rectangle_int_t r{vx, vy, vw, vh};
    region = cairo_region_create_rectangle(&r);
    *dirty = RECT{vx - ox, vy - oy, vx + vw - ox, vy + vh - oy};
  } else {
    region = cairo_region_create();
    *dirty = RECT{0, 0, 0, 0};
  }
  ClipToRegion(cr, region);
  if (!cairo_region_is_empty(region)) RunPass(w, cr, region, PassMode::Before, o);
  cairo_save(cr);
  cairo_translate(cr, ox, oy);
  *area = region;
  return cr;
}

void FinishImmediate(const OpenPaint& op) {
  Window* w = op.obj->window;
  if (!cairo_region_is_empty(op.area)) {
    RunPass(w, op.cr, op.area, PassMode::After, op.obj);
    cairo_region_union(w->unpresented, op.area);
    w->paintedPixels += RegionArea(op.area);
  }
  cairo_destroy(op.cr);
  cairo_region_destroy(op.area);
}

// Ends open paint i and every paint begun after it.
void ClosePaints(size_t i) {
  std::vector<OpenPaint>& paints = OpenPaints();
  while (paints.size() > i) {
    const OpenPaint op = paints.back();
    paints.pop_back();
    CanvasDestroy(op.canvas);
    cairo_restore(op.cr);
    if (op.immediate) FinishImmediate(op);
  }
}

bool BeginPaintInternal(Object* o, PaintContext* pc) {
  if (o->window == nullptr || o->window->backBuffer == nullptr) return false;
  OpenPaint op{o, 0, nullptr, false, kNoFrame, nullptr};
  const std::vector<PassVisit>& visits = Visits();
  if (!visits.empty() && visits.back().obj == o) {
    op.cr = visits.back().cr;  // already translated and clipped by the pass
    cairo_save(op.cr);
    pc->dirty = visits.back().dirty;
  } else {
    op.immediate = true;
    op.cr = BeginImmediate(o, &op.area, &pc->dirty);
  }
  op.canvas = CanvasCreate(op.cr);
  const size_t frames = DispatchFrames().size();
  op.frame = frames == 0 ? kNoFrame : frames - 1;
  OpenPaints().push_back(op);
  pc->canvas = op.canvas;
  pc->cr = op.cr;
  pc->rect = RECT{0, 0, o->width, o->height};
  return true;
}

}  // namespace

bool IsPainting() { return g_passDepth > 0 || !OpenPaints().empty(); }

void EndPaintsOfFrame(size_t frameIndex) {
  const std::vector<OpenPaint>& paints = OpenPaints();
  for (size_t i = 0; i < paints.size(); ++i) {
    if (paints[i].frame != kNoFrame && paints[i].frame >= frameIndex) {
      ClosePaints(i);
      return;
    }
  }
}

void PaintObjectDefault(Object* obj) {
  const int frame = FindDispatchFrame(obj, EXM_PAINT);
  if (frame >= 0 && DispatchFrames()[frame].paintedByHandler) return;
  if (obj->cls == nullptr || obj->cls->paint == nullptr) return;
  PaintContext pc;
  if (!BeginPaintInternal(obj, &pc)) return;
  const size_t index = OpenPaints().size() - 1;
  const HEXHANDLE handle = obj->handle;
  obj->cls->paint(obj, pc);
  if (ObjectFromHandle(handle) == obj && index < OpenPaints().size()) ClosePaints(index);
}

void InvalidateWindowRect(Window* w, int32_t x, int32_t y, int32_t width, int32_t height) {
  if (w == nullptr || w->dirty == nullptr) return;
  const int32_t left = std::max(x, 0), top = std::max(y, 0);
  const int32_t right = std::min(x + width, w->width), bottom = std::min(y + height, w->height);
  if (right <= left || bottom <= top) return;
  const cairo_rectangle_int_t r{left, top, right - left, bottom - top};
  cairo_region_union_rectangle(w->dirty, &r);
}

void InvalidateWindow(Window* w) { InvalidateWindowRect(w, 0, 0, w->width, w->height); }

void PaintDirty(Window* w) {
  if (w->backBuffer == nullptr || IsPainting() || cairo_region_is_empty(w->dirty)) return;
  cairo_region_t* region = w->dirty;
  w->dirty = cairo_region_create();
  cairo_t* cr = cairo_create(w->backBuffer);
  ClipToRegion(cr, region);
  RunPass(w, cr, region, PassMode::Full, nullptr);
  cairo_destroy(cr);
  cairo_region_union(w->unpresented, region);
  w->paintedPixels += RegionArea(region);
  ++w->paintPasses;
  cairo_region_destroy(region);
}

void PresentWindow(Window* w) {
  if (!w->shown || w->sdl == nullptr || w->unpresented == nullptr ||
      cairo_region_is_empty(w->unpresented))
    return;
  SDL_Surface* screen = SDL_GetWindowSurface(w->sdl);
  if (screen == nullptr || w->backSurface == nullptr) return;
  cairo_surface_flush(w->backBuffer);
  std::vector<SDL_Rect> rects;
  // Many small rectangles cost more to send than their bounding box.
  if (cairo_region_num_rectangles(w->unpresented) > 32) {
    cairo_rectangle_int_t e;
    cairo_region_get_extents(w->unpresented, &e);
    cairo_region_destroy(w->unpresented);
    w->unpresented = cairo_region_create_rectangle(&e);
  }
  const int n = cairo_region_num_rectangles(w->unpresented);
  for (int i = 0; i < n; ++i) {
    cairo_rectangle_int_t r;
    cairo_region_get_rectangle(w->unpresented, i, &r);
    SDL_Rect src{r.x, r.y, std::min(r.width, screen->w - r.x), std::min(r.height, screen->h - r.y)};
    if (src.w <= 0 || src.h <= 0) continue;
    SDL_Rect dst = src;
    SDL_BlitSurface(w->backSurface, &src, screen, &dst);
    rects.push_back(src);
  }
  if (!rects.empty()) SDL_UpdateWindowSurfaceRects(w->sdl, rects.data(), static_cast<int>(rects.size()));
  cairo_region_destroy(w->unpresented);
  w->unpresented = cairo_region_create();
}

void PresentEverything(Window* w) {
  if (w->unpresented == nullptr) return;
  const cairo_rectangle_int_t all{0, 0, w->width, w->height};
  cairo_region_union_rectangle(w->unpresented, &all);
  PresentWindow(w);
}

cairo_surface_t* BackBufferOf(HEXHANDLE hExDui) {
  Window* w = WindowFromDui(hExDui);
  if (w == nullptr) w = WindowFromWnd(hExDui);
  if (w == nullptr) return nullptr;
  cairo_surface_flush(w->backBuffer);
  return w->backBuffer;
}

void FlushForTesting(HEXHANDLE hExDui) {
  Window* w = WindowFromDui(hExDui);
  if (w == nullptr) w = WindowFromWnd(hExDui);
  if (w == nullptr) return;
  PaintDirty(w);
  PresentWindow(w);
}

}  // namespace exdui

using namespace exdui;

EXDUI_EXPORT int32_t Ex_ObjBeginPaint(HEXHANDLE hObj, ExPaintStruct* lpPS) {
  Object* obj = ObjectFromHandle(hObj);
  if (obj == nullptr || lpPS == nullptr) return 0;
  PaintContext pc;
  if (!BeginPaintInternal(obj, &pc)) return 0;
  // The default paint of this message must not draw over what the handler draws.
  const int frame = FindDispatchFrame(obj, EXM_PAINT);
  if (frame >= 0) DispatchFrames()[frame].paintedByHandler = true;
  *lpPS = ExPaintStruct{};
  lpPS->hCanvas = pc.canvas;
  lpPS->hObj = hObj;
  lpPS->dwStyle = static_cast<int32_t>(obj->style);
  lpPS->dwStyleEx = static_cast<int32_t>(obj->styleEx);
  lpPS->dwTextFormat = static_cast<int32_t>(obj->textFormat);
  lpPS->dwState = static_cast<int32_t>(obj->state);
  lpPS->width = obj->width;
  lpPS->height = obj->height;
  lpPS->rcPaint = pc.rect;
  return 1;
}

EXDUI_EXPORT int32_t Ex_ObjEndPaint(HEXHANDLE hObj, ExPaintStruct* lpPS) {
  Object* obj = ObjectFromHandle(hObj);
  if (obj == nullptr) return 0;
  const std::vector<OpenPaint>& paints = OpenPaints();
  for (size_t i = paints.size(); i-- > 0;) {
    if (paints[i].obj != obj) continue;
    if (lpPS != nullptr && lpPS->hCanvas != paints[i].canvas) continue;
    ClosePaints(i);
    return 1;
  }
  return 0;
}
