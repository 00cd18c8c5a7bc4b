// A DirectUI library that offers only its first operations: the client must
// stop with a clear report when it reaches one that is missing.
#include <cstdint>

#define PARTIAL_EXPORT extern "C" __attribute__((visibility("default")))

PARTIAL_EXPORT int32_t Ex_Init(intptr_t, uint32_t, intptr_t, const char16_t*, const void*, intptr_t,
                               const void*, intptr_t) {
  return 1;
}

PARTIAL_EXPORT int32_t Ex_UnInit() {
  return 1;
}
