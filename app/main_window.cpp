#include "app/main_window.h"

#include "app/conversation_turn.h"
#include "app/startup.h"
#include "transcript/transcript.h"
#include "ui/exdui.h"

MainWindowValues gMainWindow{};

namespace {

// "微软雅黑" in code page 936.
constexpr const char* kChatFontFamily = "\xCE\xA2\xC8\xED\xD1\xC5\xBA\xDA";
constexpr int32_t kChatFontSize = 18;
constexpr int kTitleGap = 39;

const char16_t* WideData(const Bytes& wide) {
  return reinterpret_cast<const char16_t*>(BytesData(wide));
}

// The low and high 16 bits of a message parameter, each as a signed number.
int32_t LowWord(intptr_t value) {
  return static_cast<int16_t>(value & 0xFFFF);
}
int32_t HighWord(intptr_t value) {
  return static_cast<int16_t>((value >> 16) & 0xFFFF);
}

void PaintInputBackground(HEXHANDLE inputBox, HEXHANDLE canvas) {
  RECT rect{};
  Ex_ObjGetClientRect(inputBox, &rect);
  const float left = static_cast<float>(rect.left);
  const float top = static_cast<float>(rect.top);
  const float right = static_cast<float>(rect.right);
  const float bottom = static_cast<float>(rect.bottom);
  HEXHANDLE brush = _brush_create(ColorToArgb(0x000000, 255, 1));
  _canvas_drawrect(canvas, brush, left, top, right, bottom, 1.0f, 0);
  // The white fill follows the outline, as the box has always been drawn.
  _brush_setcolor(brush, ColorToArgb(0xFFFFFF, 255, 1));
  _canvas_fillrect(canvas, brush, left, top, right, bottom);
  _brush_destroy(brush);
}

}  // namespace

Text MainWindowTitle() {
  // "发送'清屏'清空内容" and "与Tovi聊天中" in code page 936.
  return ConcatText(Text("\xB7\xA2\xCB\xCD'\xC7\xE5\xC6\xC1'\xC7\xE5\xBF\xD5\xC4\xDA\xC8\xDD"),
                    BlankText(kTitleGap),
                    Text("\xD3\xEB"
                         "Tovi"
                         "\xC1\xC4\xCC\xEC\xD6\xD0"));
}

void RunMainWindow() {
  {
    // The theme bytes are released before the window exists: the library
    // takes what it needs while Ex_Init runs.
    const Bytes theme = ReadWholeFile(AnsiToWide(Text("Default.ext")));
    Ex_Init(0, static_cast<uint32_t>(BitOr(0x2, 0x100, 0x800000, 0x800)), 0, nullptr,
            BytesData(theme), BytesLength(theme), nullptr, 0);
  }
  const Bytes title = AnsiToWide(MainWindowTitle());
  gMainWindow.window = Ex_WndCreate(0, nullptr, WideData(title), 0, 0, 600, 500, 0, 0);
  if (gMainWindow.window == 0) {
    // Without a window there is nothing to bind, show or wait for.
    Ex_UnInit();
    return;
  }
  gMainWindow.directUi = Ex_DUIBindWindowEx(
      gMainWindow.window, 0,
      static_cast<uint32_t>(BitOr(0x100, 0x2, 0x4, 0x1, 0x20000, 0x10000, 0x800, 0x400)), 0,
      &OnMainWindowMessage);
  if (gMainWindow.directUi == 0) {
    Ex_UnInit();
    return;
  }
  Ex_DUISetLong(gMainWindow.directUi, EXWL_BACKGROUNDCOLOR,
                static_cast<intptr_t>(ColorToArgb(0xFFFFFF, 255, 1)));
  HEXHANDLE caption = Ex_ObjGetFromID(gMainWindow.directUi, 256);
  Ex_ObjSetColor(caption, 0, ColorToArgb(0xFF8800, 255, 1), 1);
  CreateMainControls();
  Ex_DUIShowWindow(gMainWindow.directUi, 5, 0, 0, 0);
  Ex_WndMsgLoop();
  Ex_UnInit();
}

void CreateMainControls() {
  const Bytes family = AnsiToWide(Text(kChatFontFamily));
  gMainWindow.chatFont = _font_createfromfamily(WideData(family), kChatFontSize, 0);
  gMainWindow.transcript = CreateTranscript(gMainWindow.directUi, 10, 42, 580, 388);
  const Bytes editClass = AnsiToWide(Text("Edit"));
  const uint32_t extendedStyle =
      static_cast<uint32_t>(BitOr(0x08000000, static_cast<int32_t>(0x80000000u), 0x40000000));
  const uint32_t textFormat = static_cast<uint32_t>(BitOr(0x20, 0x4));
  gMainWindow.inputBox = Ex_ObjCreateEx(
      extendedStyle, WideData(editClass), nullptr, static_cast<uint32_t>(-1), 10, 440, 580, 50,
      gMainWindow.directUi, kInputBoxId, textFormat, 0, 0, &OnInputEvent);
}

intptr_t OnMainWindowMessage(HEXHANDLE, HEXHANDLE, int32_t message, intptr_t, intptr_t lParam,
                             intptr_t*) {
  if (message != EXM_SIZE) return 0;
  const int32_t width = LowWord(lParam);
  const int32_t height = HighWord(lParam);
  if (gMainWindow.inputBox != 0) {
    Ex_ObjSetPos(gMainWindow.inputBox, 0, 10, height - 60, width - 20, 50, 4);
  }
  if (gMainWindow.transcript != 0) {
    // Flag 2 keeps the position, so the transcript stays at (10, 42).
    Ex_ObjSetPos(gMainWindow.transcript, 0, 0, 0, width - 20, height - 112, 2);
  }
  return 0;
}

intptr_t OnInputEvent(HEXHANDLE, HEXHANDLE inputBox, int32_t message, intptr_t wParam, intptr_t,
                      intptr_t*) {
  if (message == EXM_ERASEBKGND) {
    PaintInputBackground(inputBox, static_cast<HEXHANDLE>(wParam));
  } else if (message == EXM_CHAR && wParam == 13) {
    ConversationTurn();
  }
  return 0;
}
