// File functions under their Windows names. Paths are Windows-style: narrow
// paths are code page 936 and may use backslashes, which map to "/" here.
#pragma once

#include <string>

#include "platform/windows_types.h"

constexpr DWORD GENERIC_READ = 0x80000000u;
constexpr DWORD GENERIC_WRITE = 0x40000000u;
constexpr DWORD FILE_SHARE_READ = 1;
constexpr DWORD CREATE_ALWAYS = 2;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr DWORD INVALID_FILE_SIZE = 0xFFFFFFFFu;

HANDLE CreateFileA(const char* fileName, DWORD access, DWORD shareMode, void* security,
                   DWORD disposition, DWORD attributes, HANDLE templateFile);
HANDLE CreateFileW(const WCHAR* fileName, DWORD access, DWORD shareMode, void* security,
                   DWORD disposition, DWORD attributes, HANDLE templateFile);
DWORD GetFileSize(HANDLE file, DWORD* fileSizeHigh);
BOOL ReadFile(HANDLE file, void* buffer, DWORD bytesToRead, DWORD* bytesRead, void* overlapped);
BOOL WriteFile(HANDLE file, const void* buffer, DWORD bytesToWrite, DWORD* bytesWritten,
               void* overlapped);
BOOL CloseHandle(HANDLE handle);
// The executable's full path in Windows form (code page 936, backslashes).
DWORD GetModuleFileNameA(HANDLE module, char* fileName, DWORD size);
BOOL SetCurrentDirectoryA(const char* path);
// A directory search: true when the pattern (wildcards allowed) matches at
// least one entry, a directory as well as a file.
BOOL DirectorySearchFindsAny(const char* pattern);

// The executable's directory as a native path, for loading libraries.
std::string NativeProgramDirectory();
