#include "transcript/local_blocks.h"

#include "platform/memory.h"

namespace {
int gLiveBlocks = 0;
}

void* AllocLocalBlock(size_t bytes) {
  void* block = LocalAlloc(LPTR, bytes);
  if (block != nullptr) ++gLiveBlocks;
  return block;
}

void FreeLocalBlock(void* block) {
  if (block == nullptr) return;
  LocalFree(block);
  --gLiveBlocks;
}

int LiveLocalBlocks() {
  return gLiveBlocks;
}
