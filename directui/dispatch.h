// The dispatch stack: one frame for every message being delivered to an
// object, innermost last. It lets Ex_ObjDefProc, called by a handler, run
// the default handling of exactly the message being handled, and lets the
// default paint see that the handler has painted already.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "directui/object.h"

namespace exdui {

struct DispatchFrame {
  Object* obj;
  int32_t msg;
  intptr_t wParam;
  bool defaultDone;       // the default handling ran (or will not run) for this message
  bool paintedByHandler;  // a paint message whose handler called Ex_ObjBeginPaint
};

std::vector<DispatchFrame>& DispatchFrames();
// The innermost frame delivering msg to obj, or -1.
int FindDispatchFrame(const Object* obj, int32_t msg);

}  // namespace exdui
