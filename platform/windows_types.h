// The handful of Windows type names the client's code is written against.
// A Windows build takes them from the system headers instead.
#pragma once

#include <cstdint>

using BOOL = int32_t;
using DWORD = uint32_t;
using UINT = uint32_t;
using LONG = int32_t;
using WCHAR = char16_t;
using HANDLE = void*;

#ifndef TOVI_RECT_DEFINED
#define TOVI_RECT_DEFINED
// Same layout as the Windows RECT: left, top, right, bottom.
struct RECT {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
};
#endif

inline const HANDLE INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));

// Fills a rectangle, as the Windows function of that name does.
inline BOOL SetRect(RECT* rect, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  if (rect == nullptr) return 0;
  *rect = RECT{left, top, right, bottom};
  return 1;
}
