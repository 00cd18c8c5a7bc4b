// The tick count and the thread's message pump.
#pragma once

#include "platform/windows_types.h"

// Milliseconds since an arbitrary start, wrapping like the Windows tick count.
DWORD GetTickCount();

// The window system plugs its dispatcher in here; it dispatches pending
// messages until none is left and returns how many it dispatched.
using MessageDispatcher = int (*)();
void SetMessageDispatcher(MessageDispatcher dispatcher);
// Dispatches the thread's pending window messages; does nothing until a
// dispatcher is plugged in. Returns the number dispatched.
int DispatchPendingMessages();
