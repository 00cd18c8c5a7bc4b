// Local memory over the C heap.
#include "platform/memory.h"

#include <cstdlib>
#include <cstring>

void* LocalAlloc(UINT flags, size_t bytes) {
  // A request for 0 bytes still gets a block of its own, as on Windows.
  size_t size = bytes == 0 ? 1 : bytes;
  return (flags & LMEM_ZEROINIT) != 0 ? calloc(1, size) : malloc(size);
}

void* LocalFree(void* block) {
  free(block);
  return nullptr;
}

void RtlMoveMemory(void* destination, const void* source, size_t length) {
  if (length == 0) return;  // either address may then be null
  memmove(destination, source, length);
}
