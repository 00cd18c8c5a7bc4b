// The tick count and the plug for the window system's message dispatcher.
#include "platform/pump.h"

#include <ctime>

namespace {
MessageDispatcher gDispatcher = nullptr;
}

DWORD GetTickCount() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  uint64_t ms =
      static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<DWORD>(ms);  // wraps every 49.7 days, like the Windows count
}

void SetMessageDispatcher(MessageDispatcher dispatcher) {
  gDispatcher = dispatcher;
}

int DispatchPendingMessages() {
  return gDispatcher != nullptr ? gDispatcher() : 0;
}
