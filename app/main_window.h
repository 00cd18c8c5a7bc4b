// The client's single window: the transcript above, the input box below.
#pragma once

#include <cstdint>

#include "directui/include/exdui_abi.h"
#include "text/text.h"

// The main window's process-wide values: all 0 until set, set once, never
// released by the client.
struct MainWindowValues {
  HEXHANDLE window;      // from Ex_WndCreate
  HEXHANDLE directUi;    // from Ex_DUIBindWindowEx
  HEXHANDLE chatFont;    // "微软雅黑", 18, style 0
  HEXHANDLE transcript;  // the transcript's frame, from CreateTranscript
  HEXHANDLE inputBox;    // the "Edit" object with ID 1000
};
extern MainWindowValues gMainWindow;

// The object ID under which the conversation turn finds the input box.
constexpr int32_t kInputBoxId = 1000;

// Reads the theme package, initialises the library, creates, binds and shows
// the window, runs the message loop and uninitialises the library.
void RunMainWindow();
// Creates the chat font, the transcript and the input box.
void CreateMainControls();
// The window's handler: keeps the layout when the window is resized.
intptr_t OnMainWindowMessage(HEXHANDLE window, HEXHANDLE directUi, int32_t message, intptr_t wParam,
                             intptr_t lParam, intptr_t* result);
// The input box's handler: paints its background; Enter starts a turn.
intptr_t OnInputEvent(HEXHANDLE window, HEXHANDLE inputBox, int32_t message, intptr_t wParam,
                      intptr_t lParam, intptr_t* result);

// The window title in code page 936: two phrases 39 blanks apart.
Text MainWindowTitle();
