// The caption bar (object ID 256) of a bound window: the title on the left,
// minimise, maximise and close buttons on the right. Dragging the bar moves
// the window and the edges resize it, through SDL's hit test.
#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>

#include "directui/canvas.h"
#include "directui/theme.h"
#include "directui/window.h"

namespace exdui {
namespace {

enum ButtonKind : intptr_t { kClose = 1, kMaximize = 2, kMinimize = 3 };

void SetSourceArgb(cairo_t* cr, uint32_t argb) {
  cairo_set_source_rgba(cr, ((argb >> 16) & 0xFF) / 255.0, ((argb >> 8) & 0xFF) / 255.0,
                        (argb & 0xFF) / 255.0, (argb >> 24) / 255.0);
}

ButtonKind KindOf(const Object* button) {
  return static_cast<ButtonKind>(reinterpret_cast<intptr_t>(button->classData));
}

// Where the title may go: up to the leftmost button.
int32_t TitleRight(const Object* caption) {
  int32_t right = caption->width;
  for (const Object* child : caption->children) right = std::min(right, child->x);
  return right;
}

void CaptionPaint(Object* caption, const PaintContext& pc) {
  Window* w = caption->window;
  if ((w->bindStyle & EXWS_TITLE) == 0 || w->title.empty()) return;
  const Theme& theme = CurrentTheme();
  PangoLayout* layout = pango_cairo_create_layout(pc.cr);
  PangoFontDescription* font = pango_font_description_copy(DefaultFontDescription());
  pango_font_description_set_absolute_size(font, theme.captionTitleSize * PANGO_SCALE);
  pango_layout_set_font_description(layout, font);
  pango_font_description_free(font);
  pango_layout_set_text(layout, w->title.c_str(), static_cast<int>(w->title.size()));
  pango_layout_set_single_paragraph_mode(layout, TRUE);
  pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
  const int32_t room = TitleRight(caption) - theme.captionTitleLeft - 8;
  pango_layout_set_width(layout, std::max(room, 0) * PANGO_SCALE);
  int tw = 0, th = 0;
  pango_layout_get_pixel_size(layout, &tw, &th);
  SetSourceArgb(pc.cr, theme.captionText);
  cairo_move_to(pc.cr, theme.captionTitleLeft, std::floor((caption->height - th) / 2.0));
  pango_cairo_show_layout(pc.cr, layout);
  g_object_unref(layout);
}

void DrawGlyph(cairo_t* cr, ButtonKind kind, double cx, double cy, bool maximized) {
  const double h = 5.0;  // half the glyph's side
  cairo_set_line_width(cr, 1.0);
  switch (kind) {
    case kMinimize:
      cairo_move_to(cr, cx - h, cy + 0.5);
      cairo_line_to(cr, cx + h, cy + 0.5);
      break;
    case kMaximize:
      if (maximized) {
        cairo_rectangle(cr, cx - h + 0.5, cy - h + 2.5, 2 * h - 2, 2 * h - 2);
        cairo_move_to(cr, cx - h + 2.5, cy - h + 2.5);
        cairo_line_to(cr, cx - h + 2.5, cy - h + 0.5);
        cairo_line_to(cr, cx + h + 0.5, cy - h + 0.5);
        cairo_line_to(cr, cx + h + 0.5, cy + h - 1.5);
        cairo_line_to(cr, cx + h - 1.5, cy + h - 1.5);
      } else {
        cairo_rectangle(cr, cx - h + 0.5, cy - h + 0.5, 2 * h, 2 * h);
      }
      break;
    case kClose:
      cairo_move_to(cr, cx - h, cy - h);
      cairo_line_to(cr, cx + h, cy + h);
      cairo_move_to(cr, cx + h, cy - h);
      cairo_line_to(cr, cx - h, cy + h);
      break;
  }
  cairo_stroke(cr);
}

void ButtonPaint(Object* button, const PaintContext& pc) {
  const Theme& theme = CurrentTheme();
  const ButtonKind kind = KindOf(button);
  const bool hover = (button->state & EXST_HOVER) != 0;
  const bool pressed = (button->state & EXST_PRESSED) != 0 && hover;
  if (hover || pressed) {
    const uint32_t fill = kind == kClose ? theme.buttonCloseHover
                          : pressed      ? theme.buttonPressed
                                         : theme.buttonHover;
    SetSourceArgb(pc.cr, fill);
    cairo_rectangle(pc.cr, 0, 0, button->width, button->height);
    cairo_fill(pc.cr);
  }
  SetSourceArgb(pc.cr, theme.buttonGlyph);
  DrawGlyph(pc.cr, kind, std::floor(button->width / 2.0), std::floor(button->height / 2.0),
            button->window->maximized);
}

void RunButton(Object* button) {
  Window* w = button->window;
  switch (KindOf(button)) {
    case kClose:
      CloseWindow(w);
      break;
    case kMaximize:
      if (w->maximized)
        SDL_RestoreWindow(w->sdl);
      else
        SDL_MaximizeWindow(w->sdl);
      break;
    case kMinimize:
      SDL_MinimizeWindow(w->sdl);
      break;
  }
}

intptr_t ButtonProc(Object* button, int32_t msg, intptr_t wParam, intptr_t lParam) {
  switch (msg) {
    case EXM_MOUSEHOVER:
    case EXM_MOUSELEAVE:
    case EXM_LBUTTONDOWN:
    case EXM_LBUTTONDBLCLK:
      Invalidate(button);
      return 0;
    case EXM_LBUTTONUP:
      Invalidate(button);
      // A press counts when the button is let go over the same button.
      if ((button->state & EXST_HOVER) != 0) RunButton(button);
      return 0;
    default:
      return DefaultObjectProc(button, msg, wParam, lParam);
  }
}

const ClassRecord* CaptionClass() {
  static const ClassRecord record = [] {
    ClassRecord r;
    r.name = u"Caption";
    r.paint = CaptionPaint;
    return r;
  }();
  return &record;
}

const ClassRecord* CaptionButtonClass() {
  static const ClassRecord record = [] {
    ClassRecord r;
    r.name = u"CaptionButton";
    r.proc = ButtonProc;
    r.paint = ButtonPaint;
    return r;
  }();
  return &record;
}

}  // namespace

void CreateCaption(Window* w) {
  const Theme& theme = CurrentTheme();
  ObjectParams params;
  params.width = w->width;
  params.height = theme.captionHeight;
  params.id = EXOBJ_CAPTION_ID;
  Object* caption = CreateObject(&w->root, CaptionClass(), params);
  if (caption == nullptr) return;
  caption->background = theme.captionBackground;
  caption->textColor = theme.captionText;
  w->caption = caption;
  // Right to left: close, maximise, minimise.
  const struct {
    uint32_t style;
    ButtonKind kind;
  } buttons[] = {{EXWS_BUTTON_CLOSE, kClose}, {EXWS_BUTTON_MAX, kMaximize},
                 {EXWS_BUTTON_MIN, kMinimize}};
  for (const auto& b : buttons) {
    if ((w->bindStyle & b.style) == 0) continue;
    ObjectParams bp;
    bp.width = theme.buttonWidth;
    bp.height = theme.captionHeight;
    Object* button = CreateObject(caption, CaptionButtonClass(), bp);
    if (button != nullptr) button->classData = reinterpret_cast<void*>(b.kind);
  }
  LayoutCaption(w);
}

void LayoutCaption(Window* w) {
  Object* caption = w->caption;
  if (caption == nullptr) return;
  SetObjectRect(caption, 0, 0, w->width, caption->height);
  int32_t right = caption->width;
  for (Object* button : caption->children) {
    right -= button->width;
    SetObjectRect(button, right, 0, button->width, caption->height);
  }
}

SDL_HitTestResult CaptionHitTest(Window* w, int32_t x, int32_t y) {
  const int32_t border = CurrentTheme().resizeBorder;
  if ((w->bindStyle & EXWS_SIZEABLE) != 0 && !w->maximized && border > 0) {
    const bool left = x < border, right = x >= w->width - border;
    const bool top = y < border, bottom = y >= w->height - border;
    if (top && left) return SDL_HITTEST_RESIZE_TOPLEFT;
    if (top && right) return SDL_HITTEST_RESIZE_TOPRIGHT;
    if (bottom && left) return SDL_HITTEST_RESIZE_BOTTOMLEFT;
    if (bottom && right) return SDL_HITTEST_RESIZE_BOTTOMRIGHT;
    if (top) return SDL_HITTEST_RESIZE_TOP;
    if (bottom) return SDL_HITTEST_RESIZE_BOTTOM;
    if (left) return SDL_HITTEST_RESIZE_LEFT;
    if (right) return SDL_HITTEST_RESIZE_RIGHT;
  }
  Object* caption = w->caption;
  if (caption == nullptr || (w->bindStyle & EXWS_MOVEABLE) == 0 || !IsVisible(caption))
    return SDL_HITTEST_NORMAL;
  int32_t ox, oy;
  Object* hit = ObjectAtPoint(w, x, y, &ox, &oy);
  return hit == caption ? SDL_HITTEST_DRAGGABLE : SDL_HITTEST_NORMAL;
}

}  // namespace exdui
