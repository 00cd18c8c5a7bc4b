// Zero-filled local memory for the transcript's records and lists, counted so
// that a test can see that clearing releases exactly what was made.
#pragma once

#include <cstddef>

// LocalAlloc(LPTR, bytes); null when no block can be had.
void* AllocLocalBlock(size_t bytes);
// LocalFree; a null block is ignored.
void FreeLocalBlock(void* block);
// Blocks allocated here and not yet freed.
int LiveLocalBlocks();
