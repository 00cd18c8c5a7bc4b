// The client's view of the DirectUI library: every operation under its own
// name. In the client these are bound to libexdui.dll on first call (see
// exdui_binding.cpp); tests may link the recording stand-in instead.
#pragma once

#include "directui/include/exdui_abi.h"

#define EXDUI_DECLARE(ret, name, params, args) ret name params;
EXDUI_OPERATIONS(EXDUI_DECLARE)
#undef EXDUI_DECLARE

// Plugs the library's dispatcher into the platform message pump, so that
// DelayWithEvents dispatches the window's pending messages.
void ConnectDirectUiMessagePump();
