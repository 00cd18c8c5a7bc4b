// The DirectUI library's binary interface, declared once.
//
// EXDUI_OPERATIONS lists every exported operation as
//   X(result type, name, (typed parameters), (argument names))
// The library expands it into its extern "C" exports, the client's binding
// into stubs that bind each operation by name on first call, and the
// recording stand-in used by tests into recorders.
//
// Conventions: texts are NUL-terminated UTF-16; colours are 0xAARRGGBB;
// every handle is a 32-bit value from the library's handle table, 0 meaning
// none or failure; object user values are pointer-sized.
#pragma once

#include <stdint.h>

#ifndef TOVI_RECT_DEFINED
#define TOVI_RECT_DEFINED
// Same layout as the Windows RECT: left, top, right, bottom.
struct RECT {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
};
#endif

typedef int32_t HEXHANDLE;  // any handle of the library's table

// A message handler, for windows and objects alike:
// (window, DirectUI handle or object, message, wParam, lParam, result slot).
// The result slot may be written by the handler; no caller reads it back.
typedef intptr_t (*ExMsgProc)(HEXHANDLE hWnd, HEXHANDLE hObj, int32_t uMsg, intptr_t wParam,
                              intptr_t lParam, intptr_t* lpResult);

// The paint record: eighteen 32-bit words.
struct ExPaintStruct {
  HEXHANDLE hCanvas;     // word 1: the canvas to draw on
  HEXHANDLE hObj;        // word 2: the object being painted
  int32_t dwStyle;       // word 3
  int32_t dwStyleEx;     // word 4
  int32_t dwTextFormat;  // word 5
  int32_t dwState;       // word 6
  int32_t width;         // word 7: the object's width
  int32_t height;        // word 8: the object's height
  int32_t reserved9;     // word 9
  RECT rcPaint;          // words 10-13: the whole object in its own coordinates
  int32_t reserved[5];   // words 14-18
};
#ifdef __cplusplus
static_assert(sizeof(ExPaintStruct) == 72, "the paint record is eighteen 32-bit words");
#endif

// Messages the library sends to handlers.
enum {
  EXM_SIZE = 5,         // lParam: width in the low, height in the high 16 bits
  EXM_PAINT = 15,       // paint now
  EXM_ERASEBKGND = 20,  // wParam: the canvas
  EXM_CHAR = 258,       // wParam: the UTF-16 code unit typed
  EXM_VSCROLL = 0x115,  // wParam: the scroll code in its low 16 bits
  // Further messages of the library (packing described in directui/README.md).
  EXM_SETFOCUS = 7,                // wParam: the object that lost the focus, or 0
  EXM_KILLFOCUS = 8,               // wParam: the object that gets the focus, or 0
  EXM_KEYDOWN = 0x100,             // wParam: SDL keycode; lParam: modifiers | scancode << 16
  EXM_KEYUP = 0x101,               // as EXM_KEYDOWN
  EXM_IME_STARTCOMPOSITION = 0x10D,
  EXM_IME_ENDCOMPOSITION = 0x10E,
  EXM_IME_COMPOSITION = 0x10F,     // wParam: the composition (library-internal record)
  EXM_TIMER = 0x113,               // wParam: the timer id
  EXM_MOUSEMOVE = 0x200,           // lParam: x | y << 16 in object coordinates
  EXM_LBUTTONDOWN = 0x201,
  EXM_LBUTTONUP = 0x202,
  EXM_LBUTTONDBLCLK = 0x203,
  EXM_RBUTTONDOWN = 0x204,
  EXM_RBUTTONUP = 0x205,
  EXM_MOUSEHOVER = 0x2A1,          // the pointer came over the object
  EXM_MOUSELEAVE = 0x2A3,
};

// Extended object styles (dwStyleEx).
enum : uint32_t {
  EXOS_EX_FOCUSABLE = 0x80000000u,  // takes the keyboard focus even if its class does not
};

// Window binding styles (Ex_DUIBindWindowEx dwStyle).
enum : uint32_t {
  EXWS_BUTTON_CLOSE = 0x1,     // a close button in the caption bar
  EXWS_BUTTON_MAX = 0x2,       // a maximise / restore button
  EXWS_BUTTON_MIN = 0x4,       // a minimise button
  EXWS_MOVEABLE = 0x100,       // dragging the caption bar moves the window
  EXWS_TITLE = 0x400,          // the caption bar shows the window title
  EXWS_SIZEABLE = 0x800,       // the window's edges resize it
  EXWS_CAPTION = 0x10000,      // the library's caption bar (object ID 256) in the top pixels
  EXWS_DBLCLKMAXIMIZE = 0x20000,  // a double click on the caption bar maximises / restores
};
enum { EXOBJ_CAPTION_ID = 256 };

// Object styles (dwStyle).
enum : uint32_t {
  EXOS_VSCROLL = 0x40000000u,  // a vertical scroll bar at the right edge, 12 pixels wide
  EXOS_VISIBLE = 0x10000000u,  // the object is shown
  EXOS_DISABLED = 0x08000000u,  // takes no input
};

// Scroll bar codes delivered with EXM_VSCROLL (wParam low word).
enum {
  EXSB_LINEUP = 0,
  EXSB_LINEDOWN = 1,
  EXSB_PAGEUP = 2,
  EXSB_PAGEDOWN = 3,
  EXSB_THUMBPOSITION = 4,
  EXSB_THUMBTRACK = 5,
  EXSB_TOP = 6,
  EXSB_BOTTOM = 7,
  EXSB_ENDSCROLL = 8,
};

// Object values for Ex_ObjGetLong / Ex_ObjSetLong.
enum { EXOL_USERDATA = -7 };
// Window values for Ex_DUISetLong.
enum { EXWL_BACKGROUNDCOLOR = -31 };

#define EXDUI_OPERATIONS(X)                                                                        \
  /* start, windows, message loop */                                                               \
  X(int32_t, Ex_Init,                                                                              \
    (intptr_t hInstance, uint32_t dwGlobalFlags, intptr_t hDefaultCursor,                          \
     const char16_t* lpwzDefaultClassName, const void* lpDefaultTheme, intptr_t dwDefaultThemeLen, \
     const void* lpDefaultI18N, intptr_t dwDefaultI18NLen),                                        \
    (hInstance, dwGlobalFlags, hDefaultCursor, lpwzDefaultClassName, lpDefaultTheme,               \
     dwDefaultThemeLen, lpDefaultI18N, dwDefaultI18NLen))                                          \
  X(int32_t, Ex_UnInit, (), ())                                                                    \
  X(HEXHANDLE, Ex_WndCreate,                                                                       \
    (HEXHANDLE hWndParent, const char16_t* lpwzClassName, const char16_t* lpwzWindowName,          \
     int32_t x, int32_t y, int32_t width, int32_t height, uint32_t dwStyle, uint32_t dwStyleEx),   \
    (hWndParent, lpwzClassName, lpwzWindowName, x, y, width, height, dwStyle, dwStyleEx))          \
  X(HEXHANDLE, Ex_DUIBindWindowEx,                                                                 \
    (HEXHANDLE hWnd, HEXHANDLE hTheme, uint32_t dwStyle, intptr_t lParam, ExMsgProc lpfnMsgProc),  \
    (hWnd, hTheme, dwStyle, lParam, lpfnMsgProc))                                                  \
  X(intptr_t, Ex_DUISetLong, (HEXHANDLE hExDui, int32_t nIndex, intptr_t dwNewLong),               \
    (hExDui, nIndex, dwNewLong))                                                                   \
  X(int32_t, Ex_DUIShowWindow,                                                                     \
    (HEXHANDLE hExDui, int32_t nCmdShow, int32_t dwTimer, int32_t dwFrames, int32_t dwFlags),      \
    (hExDui, nCmdShow, dwTimer, dwFrames, dwFlags))                                                \
  X(int32_t, Ex_WndMsgLoop, (), ())                                                                \
  /* dispatches the pending window messages and returns how many; 0 when none */                  \
  X(int32_t, Ex_WndDispatchPending, (), ())                                                        \
  /* objects */                                                                                    \
  X(HEXHANDLE, Ex_ObjCreateEx,                                                                     \
    (uint32_t dwStyleEx, const char16_t* lpwzClassName, const char16_t* lpwzObjTitle,              \
     uint32_t dwStyle, int32_t x, int32_t y, int32_t width, int32_t height, HEXHANDLE hParent,     \
     int32_t nID, uint32_t dwTextFormat, intptr_t lParam, HEXHANDLE hTheme,                        \
     ExMsgProc lpfnMsgProc),                                                                       \
    (dwStyleEx, lpwzClassName, lpwzObjTitle, dwStyle, x, y, width, height, hParent, nID,           \
     dwTextFormat, lParam, hTheme, lpfnMsgProc))                                                   \
  X(HEXHANDLE, Ex_ObjGetFromID, (HEXHANDLE hExDuiOrObj, int32_t nID), (hExDuiOrObj, nID))          \
  X(int32_t, Ex_ObjSetColor,                                                                       \
    (HEXHANDLE hObj, int32_t nIndex, uint32_t dwColor, int32_t fRedraw),                           \
    (hObj, nIndex, dwColor, fRedraw))                                                              \
  X(intptr_t, Ex_ObjGetLong, (HEXHANDLE hObj, int32_t nIndex), (hObj, nIndex))                     \
  X(intptr_t, Ex_ObjSetLong, (HEXHANDLE hObj, int32_t nIndex, intptr_t dwNewLong),                 \
    (hObj, nIndex, dwNewLong))                                                                     \
  X(int32_t, Ex_ObjSetPos,                                                                         \
    (HEXHANDLE hObj, HEXHANDLE hObjInsertAfter, int32_t x, int32_t y, int32_t width,               \
     int32_t height, uint32_t dwFlags),                                                            \
    (hObj, hObjInsertAfter, x, y, width, height, dwFlags))                                         \
  X(int32_t, Ex_ObjGetClientRect, (HEXHANDLE hObj, RECT* lpRect), (hObj, lpRect))                  \
  X(int32_t, Ex_ObjGetTextLength, (HEXHANDLE hObj), (hObj))                                        \
  X(int32_t, Ex_ObjGetText, (HEXHANDLE hObj, void* lpString, int32_t nMaxBytes),                   \
    (hObj, lpString, nMaxBytes))                                                                   \
  X(intptr_t, Ex_ObjSendMessage,                                                                   \
    (HEXHANDLE hObj, int32_t uMsg, intptr_t wParam, intptr_t lParam), (hObj, uMsg, wParam, lParam)) \
  X(intptr_t, Ex_ObjDefProc,                                                                       \
    (HEXHANDLE hWnd, HEXHANDLE hObj, int32_t uMsg, intptr_t wParam, intptr_t lParam),              \
    (hWnd, hObj, uMsg, wParam, lParam))                                                            \
  X(int32_t, Ex_ObjBeginPaint, (HEXHANDLE hObj, ExPaintStruct* lpPS), (hObj, lpPS))                \
  X(int32_t, Ex_ObjEndPaint, (HEXHANDLE hObj, ExPaintStruct* lpPS), (hObj, lpPS))                  \
  /* scroll bars; bar 1 is the vertical bar */                                                     \
  X(HEXHANDLE, Ex_ObjScrollGetControl, (HEXHANDLE hObj, int32_t nBar), (hObj, nBar))               \
  X(int32_t, Ex_ObjScrollGetInfo,                                                                  \
    (HEXHANDLE hObj, int32_t nBar, int32_t* lpnMin, int32_t* lpnMax, int32_t* lpnPos,              \
     int32_t* lpnTrackPos),                                                                        \
    (hObj, nBar, lpnMin, lpnMax, lpnPos, lpnTrackPos))                                             \
  X(int32_t, Ex_ObjScrollGetTrackPos, (HEXHANDLE hObj, int32_t nBar), (hObj, nBar))                \
  X(int32_t, Ex_ObjScrollSetPos, (HEXHANDLE hObj, int32_t nBar, int32_t nPos, int32_t bRedraw),    \
    (hObj, nBar, nPos, bRedraw))                                                                   \
  X(int32_t, Ex_ObjScrollSetInfo,                                                                  \
    (HEXHANDLE hObj, int32_t nBar, int32_t mask, int32_t nMin, int32_t nMax, int32_t nPage,        \
     int32_t nPos, int32_t bRedraw),                                                               \
    (hObj, nBar, mask, nMin, nMax, nPage, nPos, bRedraw))                                          \
  X(int32_t, Ex_ObjScrollShow, (HEXHANDLE hObj, int32_t nBar, int32_t fShow), (hObj, nBar, fShow)) \
  /* canvas */                                                                                     \
  X(int32_t, _canvas_fillrect,                                                                     \
    (HEXHANDLE hCanvas, HEXHANDLE hBrush, float left, float top, float right, float bottom),       \
    (hCanvas, hBrush, left, top, right, bottom))                                                   \
  X(int32_t, _canvas_drawrect,                                                                     \
    (HEXHANDLE hCanvas, HEXHANDLE hBrush, float left, float top, float right, float bottom,        \
     float strokeWidth, int32_t strokeStyle),                                                      \
    (hCanvas, hBrush, left, top, right, bottom, strokeWidth, strokeStyle))                         \
  X(int32_t, _canvas_fillroundedrect,                                                              \
    (HEXHANDLE hCanvas, HEXHANDLE hBrush, float left, float top, float right, float bottom,        \
     float radiusX, float radiusY),                                                                \
    (hCanvas, hBrush, left, top, right, bottom, radiusX, radiusY))                                 \
  X(int32_t, _canvas_drawtext,                                                                     \
    (HEXHANDLE hCanvas, HEXHANDLE hFont, uint32_t crText, const char16_t* lpwzText,                \
     int32_t dwLen, uint32_t dwDTFormat, float left, float top, float right, float bottom),        \
    (hCanvas, hFont, crText, lpwzText, dwLen, dwDTFormat, left, top, right, bottom))               \
  X(int32_t, _canvas_calctextsize,                                                                 \
    (HEXHANDLE hCanvas, HEXHANDLE hFont, const char16_t* lpwzText, int32_t dwLen,                  \
     uint32_t dwDTFormat, intptr_t lParam, float layoutWidth, float layoutHeight,                  \
     float* lpWidth, float* lpHeight),                                                             \
    (hCanvas, hFont, lpwzText, dwLen, dwDTFormat, lParam, layoutWidth, layoutHeight, lpWidth,      \
     lpHeight))                                                                                    \
  /* brushes and matrices */                                                                       \
  X(HEXHANDLE, _brush_create, (uint32_t argb), (argb))                                             \
  X(uint32_t, _brush_setcolor, (HEXHANDLE hBrush, uint32_t argb), (hBrush, argb))                  \
  X(HEXHANDLE, _brush_createfromimg, (HEXHANDLE hImg), (hImg))                                     \
  X(int32_t, _brush_settransform, (HEXHANDLE hBrush, HEXHANDLE hMatrix), (hBrush, hMatrix))        \
  X(int32_t, _brush_destroy, (HEXHANDLE hBrush), (hBrush))                                         \
  X(HEXHANDLE, _matrix_create, (), ())                                                             \
  X(int32_t, _matrix_translate, (HEXHANDLE hMatrix, float dx, float dy), (hMatrix, dx, dy))        \
  X(int32_t, _matrix_destroy, (HEXHANDLE hMatrix), (hMatrix))                                      \
  /* images and fonts */                                                                           \
  X(int32_t, _img_createfrommemory, (const void* lpData, intptr_t dwLen, HEXHANDLE* phImg),        \
    (lpData, dwLen, phImg))                                                                        \
  X(int32_t, _img_scale,                                                                           \
    (HEXHANDLE hImg, int32_t dstWidth, int32_t dstHeight, HEXHANDLE* phImg),                       \
    (hImg, dstWidth, dstHeight, phImg))                                                            \
  X(int32_t, _img_getsize, (HEXHANDLE hImg, int32_t* lpWidth, int32_t* lpHeight),                  \
    (hImg, lpWidth, lpHeight))                                                                     \
  X(int32_t, _img_destroy, (HEXHANDLE hImg), (hImg))                                               \
  X(HEXHANDLE, _font_createfromfamily,                                                             \
    (const char16_t* lpwzFontFace, int32_t dwFontSize, int32_t dwFontStyle),                       \
    (lpwzFontFace, dwFontSize, dwFontStyle))
