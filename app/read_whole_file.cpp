#include "app/startup.h"

#include <string>

#include "platform/files.h"

namespace {

// A UTF-16 name that surely ends in a zero character, whatever the caller
// handed in, so the file function never reads past the value.
Bytes TerminatedWideName(const Bytes& path) {
  const std::string& bytes = path.str();
  bool terminated = bytes.size() >= 2 && bytes.size() % 2 == 0 && bytes[bytes.size() - 1] == 0 &&
                    bytes[bytes.size() - 2] == 0;
  if (terminated) return path;
  std::string fixed = bytes;
  if (fixed.size() % 2 != 0) fixed.push_back('\0');
  fixed.append(2, '\0');
  return Bytes(std::move(fixed));
}

}  // namespace

Bytes ReadWholeFile(const Bytes& path) {
  const Bytes name = TerminatedWideName(path);
  HANDLE file =
      CreateFileW(reinterpret_cast<const WCHAR*>(BytesData(name)), GENERIC_READ, FILE_SHARE_READ,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE || file == nullptr) return Bytes();
  // Only the low 32 bits count, as a signed number: files of 2 GiB or more
  // come out as 0 or less and are not read.
  const int32_t size = static_cast<int32_t>(GetFileSize(file, nullptr));
  Bytes result;
  if (size > 0) {
    Bytes buffer = BlankBytes(size);
    DWORD delivered = 0;
    if (ReadFile(file, BytesData(buffer), static_cast<DWORD>(size), &delivered, nullptr)) {
      result = delivered < static_cast<DWORD>(size) ? BytesLeft(buffer, static_cast<int>(delivered))
                                                    : std::move(buffer);
    }
  }
  CloseHandle(file);
  return result;
}
