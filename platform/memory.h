// Windows local memory under its Windows names.
#pragma once

#include <cstddef>

#include "platform/windows_types.h"

constexpr UINT LMEM_FIXED = 0;
constexpr UINT LMEM_ZEROINIT = 0x40;
constexpr UINT LPTR = LMEM_FIXED | LMEM_ZEROINIT;

// A fixed block of at least one byte; zero-filled with LMEM_ZEROINIT.
void* LocalAlloc(UINT flags, size_t bytes);
// Releases a block; returns null on success, as Windows does.
void* LocalFree(void* block);
// Copies bytes; correct when the ranges overlap.
void RtlMoveMemory(void* destination, const void* source, size_t length);
