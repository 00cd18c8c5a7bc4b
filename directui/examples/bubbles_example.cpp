// A window with the library's caption bar, a scrolling list of speech bubbles
// and an edit box: Enter adds the typed text as a new bubble.
//
// Run it from the build directory, where the theme package Default.ext lies.
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "directui/include/exdui_export.h"

namespace {

constexpr int kListId = 100;
constexpr int kEditId = 101;
constexpr float kFrameWidth = 580;
constexpr float kViewHeight = 388;

struct Example {
  HEXHANDLE dui = 0;
  HEXHANDLE frame = 0;
  HEXHANDLE content = 0;
  HEXHANDLE font = 0;
  std::vector<std::u16string> bubbles;
  int contentHeight = 0;
};
Example gExample;

// Lays the bubbles out from the top; returns the height they take.
int PaintBubbles(HEXHANDLE canvas, float width) {
  float y = 10;
  for (size_t i = 0; i < gExample.bubbles.size(); ++i) {
    const std::u16string& text = gExample.bubbles[i];
    const bool mine = i % 2 == 1;
    float tw = 0, th = 0;
    _canvas_calctextsize(canvas, gExample.font, text.c_str(), -1, 0, 0, width - 140, 9999.0f, &tw,
                         &th);
    const float left = mine ? width - 60 - tw - 20 : 60;
    const float right = mine ? width - 60 : 60 + tw + 20;
    const float bottom = y + th + 14;
    HEXHANDLE brush = _brush_create(mine ? 0xFF1A497D : 0xFFE5E5E5);
    _canvas_fillroundedrect(canvas, brush, left, y, right, bottom, 6, 6);
    _brush_setcolor(brush, mine ? 0xFF7FA8D6 : 0xFF9A9A9A);
    const float cx = mine ? width - 40 : 20;
    _canvas_fillroundedrect(canvas, brush, cx, y, cx + 30, y + 30, 15, 15);  // an avatar dot
    _brush_destroy(brush);
    _canvas_drawtext(canvas, gExample.font, mine ? 0xFFFFFFFF : 0xFF000000, text.c_str(), -1, 0,
                     left + 10, y + 7, right - 10, bottom);
    y = bottom + 10;
  }
  return static_cast<int>(y);
}

intptr_t OnContent(HEXHANDLE hWnd, HEXHANDLE obj, int32_t msg, intptr_t wParam, intptr_t lParam,
                   intptr_t*) {
  if (msg == EXM_PAINT) {
    ExPaintStruct ps{};
    if (Ex_ObjBeginPaint(obj, &ps)) {
      gExample.contentHeight = PaintBubbles(ps.hCanvas, kFrameWidth - 12);
      Ex_ObjEndPaint(obj, &ps);
    }
  }
  return Ex_ObjDefProc(hWnd, obj, msg, wParam, lParam);
}

// Sizes the content to what was drawn and shows its bottom.
void Relayout() {
  Ex_ObjSendMessage(gExample.content, EXM_PAINT, 0, 0);
  const int overflow = gExample.contentHeight - static_cast<int>(kViewHeight);
  Ex_ObjSetPos(gExample.content, 0, 0, 0, static_cast<int>(kFrameWidth), gExample.contentHeight, 2);
  Ex_ObjSetPos(gExample.content, 0, 0, overflow > 0 ? -overflow : 0, 0, 0, 1);
  Ex_ObjScrollSetInfo(gExample.frame, 1, 0x17, 0, overflow > 0 ? overflow : 0, 300,
                      overflow > 0 ? overflow : 0, 1);
  Ex_ObjScrollShow(gExample.frame, 1, overflow > 0 ? 1 : 0);
}

intptr_t OnFrame(HEXHANDLE hWnd, HEXHANDLE obj, int32_t msg, intptr_t wParam, intptr_t lParam,
                 intptr_t*) {
  if (msg == EXM_VSCROLL) {
    int32_t min = 0, max = 0, pos = 0;
    Ex_ObjScrollGetInfo(obj, 1, &min, &max, &pos, nullptr);
    const int code = static_cast<int>(wParam & 0xFFFF);
    if (code == EXSB_LINEUP) pos -= 60;
    if (code == EXSB_LINEDOWN) pos += 60;
    if (code == EXSB_THUMBTRACK || code == EXSB_THUMBPOSITION)
      pos = Ex_ObjScrollGetTrackPos(obj, 1);
    pos = pos < min ? min : (pos > max ? max : pos);
    Ex_ObjScrollSetPos(obj, 1, pos, 1);
    Ex_ObjSetPos(gExample.content, 0, 0, -pos, 0, 0, 1);
  }
  return Ex_ObjDefProc(hWnd, obj, msg, wParam, lParam);
}

intptr_t OnEdit(HEXHANDLE, HEXHANDLE obj, int32_t msg, intptr_t wParam, intptr_t, intptr_t*) {
  if (msg == EXM_ERASEBKGND) {
    RECT rc{};
    Ex_ObjGetClientRect(obj, &rc);
    HEXHANDLE brush = _brush_create(0xFFFFFFFF);
    _canvas_fillrect(static_cast<HEXHANDLE>(wParam), brush, 0, 0, rc.right, rc.bottom);
    _brush_setcolor(brush, 0xFF808080);
    _canvas_drawrect(static_cast<HEXHANDLE>(wParam), brush, 0.5f, 0.5f, rc.right - 0.5f,
                     rc.bottom - 0.5f, 1, 0);
    _brush_destroy(brush);
  } else if (msg == EXM_CHAR && wParam == 13) {
    std::u16string text(static_cast<size_t>(Ex_ObjGetTextLength(obj)) + 1, u'\0');
    Ex_ObjGetText(obj, text.data(), static_cast<int32_t>(text.size() * 2));
    text.resize(text.size() - 1);
    if (!text.empty()) {
      gExample.bubbles.push_back(text);
      Relayout();
    }
  }
  return 0;
}

intptr_t OnWindow(HEXHANDLE, HEXHANDLE, int32_t, intptr_t, intptr_t, intptr_t*) {
  return 0;
}

std::string ReadTheme() {
  std::ifstream in("Default.ext", std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

int main() {
  const std::string theme = ReadTheme();
  Ex_Init(0, 0, 0, nullptr, theme.data(), static_cast<intptr_t>(theme.size()), nullptr, 0);
  const HEXHANDLE wnd =
      Ex_WndCreate(0, nullptr, u"DirectUI example: bubbles", 0, 0, 600, 500, 0, 0);
  gExample.dui = Ex_DUIBindWindowEx(wnd, 0, 0x30D07, 0, OnWindow);
  if (gExample.dui == 0) return 1;
  Ex_DUISetLong(gExample.dui, EXWL_BACKGROUNDCOLOR, static_cast<intptr_t>(0xFFFFFFFF));
  Ex_ObjSetColor(Ex_ObjGetFromID(gExample.dui, EXOBJ_CAPTION_ID), 0, 0xFF0088FF, 1);
  gExample.font = _font_createfromfamily(u"sans-serif", 16, 0);

  gExample.frame = Ex_ObjCreateEx(static_cast<uint32_t>(-1), u"Static", nullptr, 0x50000000, 10, 42,
                                  static_cast<int>(kFrameWidth), static_cast<int>(kViewHeight),
                                  gExample.dui, kListId, static_cast<uint32_t>(-1), 0, 0, OnFrame);
  Ex_ObjSetColor(gExample.frame, 0, 0xFFF7F7F7, 1);
  gExample.content = Ex_ObjCreateEx(static_cast<uint32_t>(-1), u"Static", nullptr, 0x10000000, 0, 0,
                                    static_cast<int>(kFrameWidth), 10, gExample.frame, 0,
                                    static_cast<uint32_t>(-1), 0, 0, OnContent);
  Ex_ObjSetColor(gExample.content, 0, 0x00000000, 1);
  Ex_ObjCreateEx(0xC8000000, u"Edit", nullptr, static_cast<uint32_t>(-1), 10, 440, 580, 50,
                 gExample.dui, kEditId, 0x24, 0, 0, OnEdit);

  for (int i = 1; i <= 12; ++i)
    gExample.bubbles.push_back(i % 2 ? u"A bubble on the left, message " +
                                           std::u16string(1, u'0' + i % 10)
                                     : u"你好！A reply on the right, wrapping when it grows long "
                                       u"enough to need a second line.");
  Relayout();
  Ex_DUIShowWindow(gExample.dui, 5, 0, 0, 0);
  Ex_WndMsgLoop();
  Ex_UnInit();
  return 0;
}
