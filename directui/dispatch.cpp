// Delivering messages to objects: the handler first, then the default
// handling exactly once, also when handlers re-enter the message loop.
#include "directui/dispatch.h"

#include "directui/include/exdui_export.h"
#include "directui/paint.h"
#include "directui/window.h"

namespace exdui {

std::vector<DispatchFrame>& DispatchFrames() {
  static std::vector<DispatchFrame> frames;
  return frames;
}

int FindDispatchFrame(const Object* obj, int32_t msg) {
  const std::vector<DispatchFrame>& frames = DispatchFrames();
  for (size_t i = frames.size(); i-- > 0;)
    if (frames[i].obj == obj && frames[i].msg == msg) return static_cast<int>(i);
  return -1;
}

intptr_t SendObjectMessage(Object* obj, int32_t msg, intptr_t wParam, intptr_t lParam) {
  if (obj == nullptr || obj->handle == 0) return 0;
  const HEXHANDLE handle = obj->handle;
  std::vector<DispatchFrame>& frames = DispatchFrames();
  const size_t index = frames.size();
  frames.push_back({obj, msg, wParam, false, false});
  intptr_t result = 0;
  const ExMsgProc handler = obj->handler;
  if (handler != nullptr) {
    intptr_t slot = 0;
    result = handler(WindowHandleOf(obj), handle, msg, wParam, lParam, &slot);
  }
  // The object may have gone with Ex_UnInit inside the handler.
  const bool alive = ObjectFromHandle(handle) == obj;
  if (alive && !frames[index].defaultDone) {
    frames[index].defaultDone = true;
    const intptr_t byDefault = DefaultProc(obj, msg, wParam, lParam);
    if (handler == nullptr) result = byDefault;
  }
  EndPaintsOfFrame(index);
  frames.resize(index);
  return result;
}

intptr_t DefaultProc(Object* obj, int32_t msg, intptr_t wParam, intptr_t lParam) {
  if (obj->cls != nullptr && obj->cls->proc != nullptr)
    return obj->cls->proc(obj, msg, wParam, lParam);
  return DefaultObjectProc(obj, msg, wParam, lParam);
}

intptr_t DefaultObjectProc(Object* obj, int32_t msg, intptr_t, intptr_t) {
  switch (msg) {
    case EXM_PAINT:
      PaintObjectDefault(obj);
      return 0;
    default:
      return 0;
  }
}

}  // namespace exdui

using namespace exdui;

namespace {

// The IME composition message carries the address of a record of the
// library's own in wParam. From outside it is accepted only as the default
// handling of that very message while the library delivers it; a forged one
// would make the edit box follow an arbitrary address.
bool CarriesLibraryRecord(int32_t msg) { return msg == EXM_IME_COMPOSITION; }

}  // namespace

EXDUI_EXPORT intptr_t Ex_ObjSendMessage(HEXHANDLE hObj, int32_t uMsg, intptr_t wParam,
                                        intptr_t lParam) {
  if (CarriesLibraryRecord(uMsg)) return 0;
  return SendObjectMessage(ObjectFromHandle(hObj), uMsg, wParam, lParam);
}

EXDUI_EXPORT intptr_t Ex_ObjDefProc(HEXHANDLE, HEXHANDLE hObj, int32_t uMsg, intptr_t wParam,
                                    intptr_t lParam) {
  Object* obj = ObjectFromHandle(hObj);
  if (obj == nullptr) return 0;
  // Called by a handler for the message it is handling: the default handling
  // happens here, and not again when the handler returns.
  const int frame = FindDispatchFrame(obj, uMsg);
  if (CarriesLibraryRecord(uMsg) && (frame < 0 || DispatchFrames()[frame].wParam != wParam))
    return 0;
  if (frame >= 0) {
    if (DispatchFrames()[frame].defaultDone) return 0;
    DispatchFrames()[frame].defaultDone = true;
  }
  return DefaultProc(obj, uMsg, wParam, lParam);
}
