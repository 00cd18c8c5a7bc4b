// PointerArray: the client's growable, 1-based list of pointer-sized values.
//
// Storage grows and shrinks by a factor of about 1.1, with a per-resize
// correction that guarantees progress for small capacities (2.0 at capacity 1,
// 1.5 at 2, 1.4 at 3, 1.3 at 4, 1.2 up to 9, 1.1 from 10 on). All memory is
// local memory (LocalAlloc / LocalFree). The array never interprets or frees
// its elements; what they point to stays the caller's.
#pragma once

#include <cstdint>

// The header a handle points at; zero-filled when created.
struct PointerArray {
  int32_t count;           // number of elements
  int32_t capacity;        // element places in the storage block; never below 1
  float growthFactor;      // 1.1 from creation on
  int32_t userValue;       // stays 0 in this client
  intptr_t* data;          // element 1 of the storage block
  int32_t hooksSuspended;  // stays 0 in this client
  int32_t reserved;
  void* hooks[5];  // store, read, spare, release, compare: none is installed or run
};

// Every operation but CreatePointerArray checks its handle first: a handle
// that is null or not a live array makes it return 0 and change nothing.
PointerArray* CreatePointerArray(int32_t initialCount);
int32_t DestroyPointerArray(PointerArray* handle);
int32_t PointerArrayCount(const PointerArray* handle);
// The element at a position in 1..count; 0 outside it.
intptr_t PointerArrayGet(const PointerArray* handle, int32_t position);
// Inserts at the position when positional is non-zero and the position is
// above 0, else appends. Returns where the value now stands; 0 for a position
// beyond count + 1 or when storage cannot be had.
int32_t PointerArrayInsert(PointerArray* handle, intptr_t value, int32_t position,
                           int32_t positional);
// 1, or 0 for a position outside 1..count.
int32_t PointerArrayRemove(PointerArray* handle, int32_t position);
// Sets the count to n (count + n when relative is non-zero); the only place
// where storage changes. 1; 0 for an invalid handle or when storage cannot be had.
int32_t ResizePointerArray(PointerArray* handle, int32_t n, int32_t relative);
// 1 when the handle is a live array (and, with checkPosition, position is in 1..count).
int32_t IsValidPointerArray(const PointerArray* handle, int32_t position, int32_t checkPosition);

// The most elements an array holds: a resize beyond it fails.
constexpr int32_t kPointerArrayMaxCount = 1 << 27;
