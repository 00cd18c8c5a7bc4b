// The library's handle table. Every handle the library gives out is a 32-bit
// value from here; every operation looks its handle up first, so that 0, a
// stale handle or a handle of another kind is refused instead of followed.
#pragma once

#include <cstdint>

#include "directui/include/exdui_abi.h"

namespace exdui {

enum class HandleKind : uint8_t {
  Window = 1,
  Dui,
  Object,
  Canvas,
  Brush,
  Matrix,
  Image,
  Font,
};

// Registers an object and returns its new handle (never 0); 0 when full.
HEXHANDLE HandleAdd(HandleKind kind, void* object);
// The object behind a live handle of that kind, else null.
void* HandleGet(HEXHANDLE handle, HandleKind kind);
template <class T>
T* HandleAs(HEXHANDLE handle, HandleKind kind) {
  return static_cast<T*>(HandleGet(handle, kind));
}
// Retires a handle: later lookups of it fail, and its slot's next handle differs.
void HandleRemove(HEXHANDLE handle);
// Number of live handles of a kind (for tests and leak checks).
int HandleCount(HandleKind kind);

}  // namespace exdui
