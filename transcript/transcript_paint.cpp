#include "transcript/transcript_paint.h"

#include <cmath>

#include "platform/windows_types.h"
#include "text/text.h"
#include "ui/exdui.h"

namespace {

// The text measure's height limit: 9999, not 10000.
constexpr float kMaxTextHeight = 9999.0f;
// Room the frame's scroll bar takes from the drawing width once it shows.
constexpr int32_t kScrollBarWidth = 12;

// Coordinates computed from a measured or picture size are computed in
// floating point and cut toward zero.
int32_t Trunc(double value) {
  return static_cast<int32_t>(std::trunc(value));
}

float F(int32_t value) {
  return static_cast<float>(value);
}

void FillRoundedRect(HEXHANDLE canvas, HEXHANDLE brush, const RECT& r, float radius) {
  _canvas_fillroundedrect(canvas, brush, F(r.left), F(r.top), F(r.right), F(r.bottom), radius,
                          radius);
}

// Fills r with the image, its top-left corner at r's top-left, corners rounded.
void FillWithImage(HEXHANDLE canvas, HEXHANDLE image, const RECT& r, float radius) {
  HEXHANDLE brush = _brush_createfromimg(image);
  HEXHANDLE matrix = _matrix_create();
  _matrix_translate(matrix, F(r.left), F(r.top));
  _brush_settransform(brush, matrix);
  _matrix_destroy(matrix);
  FillRoundedRect(canvas, brush, r, radius);
  _brush_destroy(brush);
}

// A text bubble below the running y; returns the running y after it.
int32_t PaintTextBubble(HEXHANDLE canvas, const MessageEntry* entry, const TranscriptFonts* fonts,
                        int32_t W, int32_t Y) {
  int32_t k = entry->kind;
  HEXHANDLE font = entry->font != 0 ? entry->font : fonts->bodyFont;
  float tw = 0, th = 0;
  _canvas_calctextsize(canvas, font, entry->text, -1, 0, 0, F(W - 120), kMaxTextHeight, &tw, &th);
  if (th < 10) th = 24;

  RECT b;
  if (k == KindOwn) {
    SetRect(&b, Trunc(static_cast<double>(W) - 50 - tw - 20), Y + 8, W - 50,
            Trunc(static_cast<double>(Y) + th + 22));
  } else if (k == KindOther) {
    SetRect(&b, 50, Y + 8, Trunc(static_cast<double>(tw) + 70),
            Trunc(static_cast<double>(Y) + th + 22));
  } else {
    SetRect(&b, 50, Y + 21, Trunc(static_cast<double>(tw) + 70),
            Trunc(static_cast<double>(Y) + th + 35));
  }
  uint32_t bubbleColour =
      k == KindOwn ? ColorToArgb(0x7D491A, 255, 1) : ColorToArgb(0xE5E5E5, 255, 1);
  uint32_t textColour =
      k == KindOwn ? ColorToArgb(0xFFFFFF, 255, 1) : ColorToArgb(0x000000, 255, 1);

  HEXHANDLE brush = _brush_create(bubbleColour);
  FillRoundedRect(canvas, brush, b, 5.0f);
  _canvas_drawtext(canvas, font, textColour, entry->text, -1, 0, F(b.left + 10), F(b.top + 6),
                   F(b.right - 10), F(b.bottom - 10));
  _brush_destroy(brush);
  return b.bottom + 5;
}

// A picture at its own size beside the avatar; returns the running y after it.
int32_t PaintPicture(HEXHANDLE canvas, int32_t k, HEXHANDLE picture, const RECT& a) {
  int32_t iw = 0, ih = 0;
  _img_getsize(picture, &iw, &ih);
  RECT p{0, 0, 0, 0};
  if (k == KindOwn) {
    SetRect(&p, a.left - 10 - iw, a.top + 3, a.left - 10, a.top + ih + 3);
  } else if (k == KindOther) {
    SetRect(&p, 50, a.top + 3, iw + 50, a.top + ih + 3);
  } else if (k == KindOtherNamed) {
    SetRect(&p, 50, a.top + 17, iw + 50, a.top + ih + 17);
  }
  FillWithImage(canvas, picture, p, 10.0f);
  return a.top + ih + 19 > a.bottom ? a.top + ih + 29 : a.bottom + 10;
}

}  // namespace

void PaintEntry(ExPaintStruct* paint, const EntrySlot* slot, const TranscriptFonts* fonts) {
  const MessageEntry* entry = slot->entry;
  // A slot without an entry has nothing to draw and takes no room.
  if (entry == nullptr) return;
  HEXHANDLE canvas = paint->hCanvas;
  int32_t W = paint->rcPaint.right;
  int32_t Y = paint->rcPaint.top;
  int32_t k = entry->kind;

  RECT a;
  if (k == KindOwn) {
    SetRect(&a, W - 40, Y + 5, W - 10, Y + 35);
  } else {
    SetRect(&a, 10, Y + 5, 40, Y + 35);
  }

  int32_t nextY = slot->image == 0 ? PaintTextBubble(canvas, entry, fonts, W, Y)
                                   : PaintPicture(canvas, k, slot->image, a);
  // A radius of half the side shows the 30 x 30 avatar as a circle.
  FillWithImage(canvas, entry->avatar, a, 15.0f);
  if (k == KindOtherNamed) {
    _canvas_drawtext(canvas, fonts->nameFont, ColorToArgb(0x808080, 255, 1), entry->name, -1, 0,
                     F(a.right + 10), F(a.top - 3), F(a.right + 210), F(a.top + 17));
  }
  paint->rcPaint.top = nextY;
}

intptr_t PaintTranscript(HEXHANDLE window, HEXHANDLE object, int32_t message, intptr_t wParam,
                         intptr_t lParam, intptr_t* /*unused*/) {
  ExPaintStruct paint{};
  if (message == EXM_PAINT && Ex_ObjBeginPaint(object, &paint) != 0) {
    auto* state = reinterpret_cast<TranscriptState*>(Ex_ObjGetLong(object, EXOL_USERDATA));
    if (state != nullptr) {
      int32_t n = PointerArrayCount(state->entries);
      RECT rc{};
      Ex_ObjGetClientRect(state->frame, &rc);
      TranscriptMetrics* metrics = state->metrics;
      if (n > 0) {
        // The previous paint decides whether the scroll bar takes room now.
        if (metrics->contentHeight > rc.bottom) rc.right -= kScrollBarWidth;
        SetRect(&paint.rcPaint, rc.left, rc.top, rc.right, rc.bottom);
        for (int32_t position = 1; position <= n; ++position) {
          auto* slot =
              reinterpret_cast<const EntrySlot*>(PointerArrayGet(state->entries, position));
          if (slot != nullptr && slot->hidden == 0) PaintEntry(&paint, slot, state->fonts);
        }
      }
      metrics->width = rc.right;
      metrics->contentHeight = paint.rcPaint.top;
      metrics->viewHeight = rc.bottom;
      state->painted = 1;
    }
    Ex_ObjEndPaint(object, &paint);
  }
  return Ex_ObjDefProc(window, object, message, wParam, lParam);
}
