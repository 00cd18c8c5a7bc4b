// The program's directory, file checks and writes, and the busy wait that
// keeps the window alive.
#include "platform/files.h"
#include "platform/pump.h"
#include "text/text.h"

Text RunDirectory() {
  char path[4096];
  DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  if (length == 0 || length >= sizeof path) return Text();
  std::string_view full(path, length);
  size_t backslash = full.rfind('\\');
  if (backslash == std::string_view::npos) return Text();
  return Text(full.substr(0, backslash));
}

bool FileExists(const Text& path) {
  return DirectorySearchFindsAny(TextData(path)) != 0;
}

bool WriteWholeFile(const Text& path, const Bytes& bytes) {
  if (path.empty()) return false;
  HANDLE file = CreateFileA(TextData(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool written = true;
  if (!bytes.empty()) {
    DWORD done = 0;
    auto size = static_cast<DWORD>(bytes.size());
    written = WriteFile(file, BytesData(bytes), size, &done, nullptr) != 0 && done == size;
  }
  bool closed = CloseHandle(file) != 0;
  return written && closed;
}

void DelayWithEvents(int milliseconds) {
  if (milliseconds <= 0) return;
  DWORD deadline = GetTickCount() + static_cast<DWORD>(milliseconds);
  for (;;) {
    DispatchPendingMessages();
    DispatchPendingMessages();
    // Compared as a signed difference, the deadline survives the wrap of
    // the 32-bit tick count.
    if (static_cast<int32_t>(GetTickCount() - deadline) > 0) return;
    DispatchPendingMessages();
    DispatchPendingMessages();
  }
}
