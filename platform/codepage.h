// Code page functions under their Windows names, over iconv.
// Supported code pages: 936 (GBK, mapped like Windows) and 65001 (UTF-8).
#pragma once

#include "platform/windows_types.h"

constexpr UINT CP_ACP = 0;  // the system's ANSI code page, fixed to 936 here
constexpr UINT CP_GBK = 936;
constexpr UINT CP_UTF8 = 65001;

// srcLength -1 converts through the terminating zero and counts it.
// A null or zero-sized output only counts. Returns the count, 0 on failure.
int MultiByteToWideChar(UINT codePage, DWORD flags, const char* src, int srcLength, WCHAR* dst,
                        int dstLength);
int WideCharToMultiByte(UINT codePage, DWORD flags, const WCHAR* src, int srcLength, char* dst,
                        int dstLength, const char* defaultChar, BOOL* usedDefaultChar);
int lstrlenA(const char* s);
int lstrlenW(const WCHAR* s);
