// The stand-in's hook into the platform message pump, kept apart so that a
// test which never pumps messages does not need the pump linked in.
#include "platform/pump.h"
#include "tests/support/exdui_recorder.h"

namespace {
int DispatchRecordedMessages() {
  return Ex_WndDispatchPending();
}
}  // namespace

void ConnectDirectUiMessagePump() {
  SetMessageDispatcher(&DispatchRecordedMessages);
}
