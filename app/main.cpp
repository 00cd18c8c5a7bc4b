// tovi-chat: a small desktop chat client.
#include "app/main_window.h"
#include "app/startup.h"
#include "ui/exdui.h"

int main() {
  // While the transcript waits for a repaint it pumps the window's messages.
  ConnectDirectUiMessagePump();
  StartProgram();
  // A window that could not be made or bound is a failed start, not a
  // conversation that ended: say so in the exit code.
  return gMainWindow.window != 0 && gMainWindow.directUi != 0 ? 0 : 1;
}
