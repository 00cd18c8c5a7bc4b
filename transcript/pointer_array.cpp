#include "transcript/pointer_array.h"

#include <cmath>
#include <unordered_set>

#include "platform/memory.h"
#include "transcript/local_blocks.h"

namespace {

constexpr float kGrowthFactor = 1.1f;

// There is no sound way to ask whether an arbitrary address can be read, so
// validity is membership in this registry: a destroyed or foreign handle is
// refused without ever being read.
std::unordered_set<const PointerArray*>& LiveArrays() {
  static std::unordered_set<const PointerArray*> live;
  return live;
}

// The working factor for one resize: the stored factor when it is above 1.1,
// raised in steps of 0.1 until it moves capacity c by at least one place.
float WorkingFactor(const PointerArray* array, int64_t c) {
  float f =
      static_cast<double>(array->growthFactor) - 1.1 > 1e-7 ? array->growthFactor : kGrowthFactor;
  while (std::trunc(static_cast<double>(f) * static_cast<double>(c)) <= static_cast<double>(c)) {
    f = static_cast<float>(static_cast<double>(f) + 0.1);
  }
  return f;
}

int64_t Grown(int64_t c, float f) {
  return static_cast<int64_t>(std::trunc(static_cast<double>(c) * static_cast<double>(f)));
}

int64_t Shrunk(int64_t c, float f) {
  return static_cast<int64_t>(std::trunc(static_cast<double>(c) / static_cast<double>(f)));
}

// Moves the storage into a new zero-filled block of c places, keeping the
// first min(c, count) elements. False, with the array unchanged, when the
// block cannot be had.
bool Reallocate(PointerArray* array, int32_t c) {
  auto* block = static_cast<intptr_t*>(AllocLocalBlock(sizeof(intptr_t) * static_cast<size_t>(c)));
  if (block == nullptr) return false;
  intptr_t* old = array->data;
  if (old != nullptr && array->count != 0 && c != 0) {
    int32_t kept = c < array->count ? c : array->count;
    RtlMoveMemory(block, old, sizeof(intptr_t) * static_cast<size_t>(kept));
  }
  array->capacity = c;
  if (old != nullptr) FreeLocalBlock(old);
  array->data = block;
  return true;
}

}  // namespace

int32_t IsValidPointerArray(const PointerArray* handle, int32_t position, int32_t checkPosition) {
  if (handle == nullptr || LiveArrays().count(handle) == 0) return 0;
  if (checkPosition != 0 && (position <= 0 || position > handle->count)) return 0;
  return 1;
}

PointerArray* CreatePointerArray(int32_t initialCount) {
  auto* array = static_cast<PointerArray*>(AllocLocalBlock(sizeof(PointerArray)));
  if (array == nullptr) return nullptr;
  array->growthFactor = kGrowthFactor;
  array->data = static_cast<intptr_t*>(AllocLocalBlock(sizeof(intptr_t)));
  if (array->data == nullptr) {
    FreeLocalBlock(array);
    return nullptr;
  }
  array->capacity = 1;
  LiveArrays().insert(array);
  ResizePointerArray(array, initialCount, 0);
  return array;
}

int32_t ResizePointerArray(PointerArray* handle, int32_t n, int32_t relative) {
  if (!IsValidPointerArray(handle, 0, 0)) return 0;
  int64_t wanted = relative != 0 ? static_cast<int64_t>(handle->count) + n : n;
  // A count below 0 means an empty array; one above the limit cannot be stored.
  if (wanted < 0) wanted = 0;
  if (wanted > kPointerArrayMaxCount) return 0;
  int32_t oldCount = handle->count;
  int64_t c = handle->capacity <= 0 ? 1 : handle->capacity;
  float f = WorkingFactor(handle, c);
  if (c < wanted) {
    do {
      c = Grown(c, f);
    } while (c < wanted);
    if (c > kPointerArrayMaxCount) c = wanted;
    if (!Reallocate(handle, static_cast<int32_t>(c))) return 0;
  } else if (c > wanted && Shrunk(c, f) > wanted) {
    while (Shrunk(c, f) > wanted) c = Shrunk(c, f);
    if (!Reallocate(handle, static_cast<int32_t>(c))) return 0;
  }
  handle->count = static_cast<int32_t>(wanted);
  // Places that storage kept from earlier elements must read as 0 once they
  // become elements again.
  for (int32_t i = oldCount; i < handle->count; ++i) handle->data[i] = 0;
  return 1;
}

int32_t DestroyPointerArray(PointerArray* handle) {
  if (!IsValidPointerArray(handle, 0, 0)) return 0;
  LiveArrays().erase(handle);
  if (handle->data != nullptr) FreeLocalBlock(handle->data);
  FreeLocalBlock(handle);
  return 1;
}

int32_t PointerArrayCount(const PointerArray* handle) {
  return IsValidPointerArray(handle, 0, 0) ? handle->count : 0;
}

intptr_t PointerArrayGet(const PointerArray* handle, int32_t position) {
  if (!IsValidPointerArray(handle, position, 1)) return 0;
  return handle->data[position - 1];
}

int32_t PointerArrayInsert(PointerArray* handle, intptr_t value, int32_t position,
                           int32_t positional) {
  if (!IsValidPointerArray(handle, 0, 0)) return 0;
  int32_t c = handle->count;
  if (positional == 0 || position <= 0) position = c + 1;
  if (position > c + 1) return 0;
  if (!ResizePointerArray(handle, 1, 1)) return 0;
  intptr_t* data = handle->data;
  if (c > 0) {
    RtlMoveMemory(data + position, data + position - 1,
                  sizeof(intptr_t) * static_cast<size_t>(c - position + 1));
  }
  data[position - 1] = value;
  return position;
}

int32_t PointerArrayRemove(PointerArray* handle, int32_t position) {
  if (!IsValidPointerArray(handle, position, 1)) return 0;
  intptr_t* data = handle->data;
  RtlMoveMemory(data + position - 1, data + position,
                sizeof(intptr_t) * static_cast<size_t>(handle->count - position));
  ResizePointerArray(handle, -1, 1);
  return 1;
}
