// File functions over POSIX. Narrow paths arrive in code page 936 and wide
// ones in UTF-16; both become UTF-8 for the system, every backslash a "/".
#include "platform/files.h"

#include <fcntl.h>
#include <glob.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <mutex>
#include <unordered_set>

#include "platform/codepage.h"

namespace {

// Open files are handed out as addresses of these records; the set of live
// ones lets every function reject a handle it did not make.
struct FileRecord {
  int fd;
};

std::mutex gFilesMutex;
std::unordered_set<FileRecord*> gFiles;

FileRecord* FindFile(HANDLE handle) {
  std::lock_guard<std::mutex> lock(gFilesMutex);
  auto* record = static_cast<FileRecord*>(handle);
  return gFiles.count(record) != 0 ? record : nullptr;
}

std::string WideToNativePath(const WCHAR* path, int length) {
  std::string native;
  int size = WideCharToMultiByte(CP_UTF8, 0, path, length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return native;
  native.resize(static_cast<size_t>(size));
  WideCharToMultiByte(CP_UTF8, 0, path, length, native.data(), size, nullptr, nullptr);
  // Backslashes are mapped after the conversion: in code page 936 a 0x5C
  // byte may be the second half of a character, in UTF-8 it never is.
  for (char& c : native) {
    if (c == '\\') c = '/';
  }
  return native;
}

std::string NarrowToNativePath(const char* path) {
  if (path == nullptr || *path == 0) return std::string();
  int units = MultiByteToWideChar(CP_GBK, 0, path, -1, nullptr, 0);
  if (units <= 0) return std::string();
  std::u16string wide(static_cast<size_t>(units), u'\0');
  MultiByteToWideChar(CP_GBK, 0, path, -1, wide.data(), units);
  return WideToNativePath(wide.data(), units - 1);  // without the terminator
}

std::string ExecutablePath() {
  std::string path(256, '\0');
  for (;;) {
    ssize_t n = readlink("/proc/self/exe", path.data(), path.size());
    if (n < 0) return std::string();
    if (static_cast<size_t>(n) < path.size()) {
      path.resize(static_cast<size_t>(n));
      return path;
    }
    path.resize(path.size() * 2);
  }
}

HANDLE OpenNativeFile(const std::string& path, DWORD access, DWORD shareMode, DWORD disposition) {
  if (path.empty()) return INVALID_HANDLE_VALUE;
  int flags = O_CLOEXEC;
  bool reads = (access & GENERIC_READ) != 0;
  bool writes = (access & GENERIC_WRITE) != 0;
  if (reads && writes) {
    flags |= O_RDWR;
  } else if (writes) {
    flags |= O_WRONLY;
  } else {
    flags |= O_RDONLY;
  }
  if (disposition == CREATE_ALWAYS) {
    if (!writes) return INVALID_HANDLE_VALUE;
    flags |= O_CREAT;
  } else if (disposition != OPEN_EXISTING) {
    return INVALID_HANDLE_VALUE;
  }
  int fd = open(path.c_str(), flags, 0666);
  if (fd < 0) return INVALID_HANDLE_VALUE;
  struct stat info {};
  if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    close(fd);
    return INVALID_HANDLE_VALUE;
  }
  // Sharing is kept with advisory locks, which other handles made here honour:
  // a file shared with nobody is locked exclusively, one shared for reading
  // that is only read takes a shared lock.
  bool sharedForReading = (shareMode & FILE_SHARE_READ) != 0 && !writes;
  if (flock(fd, (sharedForReading ? LOCK_SH : LOCK_EX) | LOCK_NB) != 0) {
    close(fd);
    return INVALID_HANDLE_VALUE;
  }
  // Truncate only once the lock is held, so a refused open changes nothing.
  if (disposition == CREATE_ALWAYS && ftruncate(fd, 0) != 0) {
    close(fd);
    return INVALID_HANDLE_VALUE;
  }
  auto* record = new FileRecord{fd};
  std::lock_guard<std::mutex> lock(gFilesMutex);
  gFiles.insert(record);
  return record;
}

}  // namespace

HANDLE CreateFileA(const char* fileName, DWORD access, DWORD shareMode, void* /*security*/,
                   DWORD disposition, DWORD /*attributes*/, HANDLE /*templateFile*/) {
  return OpenNativeFile(NarrowToNativePath(fileName), access, shareMode, disposition);
}

HANDLE CreateFileW(const WCHAR* fileName, DWORD access, DWORD shareMode, void* /*security*/,
                   DWORD disposition, DWORD /*attributes*/, HANDLE /*templateFile*/) {
  if (fileName == nullptr || *fileName == 0) return INVALID_HANDLE_VALUE;
  return OpenNativeFile(WideToNativePath(fileName, lstrlenW(fileName)), access, shareMode,
                        disposition);
}

DWORD GetFileSize(HANDLE file, DWORD* fileSizeHigh) {
  FileRecord* record = FindFile(file);
  struct stat info {};
  if (record == nullptr || fstat(record->fd, &info) != 0) return INVALID_FILE_SIZE;
  auto size = static_cast<uint64_t>(info.st_size);
  if (fileSizeHigh != nullptr) *fileSizeHigh = static_cast<DWORD>(size >> 32);
  return static_cast<DWORD>(size);
}

BOOL ReadFile(HANDLE file, void* buffer, DWORD bytesToRead, DWORD* bytesRead,
              void* /*overlapped*/) {
  if (bytesRead != nullptr) *bytesRead = 0;
  FileRecord* record = FindFile(file);
  if (record == nullptr || (buffer == nullptr && bytesToRead != 0)) return 0;
  DWORD done = 0;
  while (done < bytesToRead) {
    ssize_t n = read(record->fd, static_cast<char*>(buffer) + done, bytesToRead - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return 0;
    if (n == 0) break;  // end of file
    done += static_cast<DWORD>(n);
  }
  if (bytesRead != nullptr) *bytesRead = done;
  return 1;
}

BOOL WriteFile(HANDLE file, const void* buffer, DWORD bytesToWrite, DWORD* bytesWritten,
               void* /*overlapped*/) {
  if (bytesWritten != nullptr) *bytesWritten = 0;
  FileRecord* record = FindFile(file);
  if (record == nullptr || (buffer == nullptr && bytesToWrite != 0)) return 0;
  DWORD done = 0;
  while (done < bytesToWrite) {
    ssize_t n = write(record->fd, static_cast<const char*>(buffer) + done, bytesToWrite - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (bytesWritten != nullptr) *bytesWritten = done;
      return 0;
    }
    done += static_cast<DWORD>(n);
  }
  if (bytesWritten != nullptr) *bytesWritten = done;
  return 1;
}

BOOL CloseHandle(HANDLE handle) {
  FileRecord* record = nullptr;
  {
    std::lock_guard<std::mutex> lock(gFilesMutex);
    auto found = gFiles.find(static_cast<FileRecord*>(handle));
    if (found == gFiles.end()) return 0;
    record = *found;
    gFiles.erase(found);
  }
  int result = close(record->fd);  // also releases the lock
  delete record;
  return result == 0 ? 1 : 0;
}

DWORD GetModuleFileNameA(HANDLE module, char* fileName, DWORD size) {
  if (module != nullptr || fileName == nullptr || size == 0) return 0;
  std::string native = ExecutablePath();
  if (native.empty()) return 0;
  std::string path;
  int units =
      MultiByteToWideChar(CP_UTF8, 0, native.data(), static_cast<int>(native.size()), nullptr, 0);
  if (units > 0) {
    std::u16string wide(static_cast<size_t>(units), u'\0');
    MultiByteToWideChar(CP_UTF8, 0, native.data(), static_cast<int>(native.size()), wide.data(),
                        units);
    int bytes = WideCharToMultiByte(CP_GBK, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
    if (bytes > 0) {
      path.resize(static_cast<size_t>(bytes));
      WideCharToMultiByte(CP_GBK, 0, wide.data(), units, path.data(), bytes, nullptr, nullptr);
    }
  }
  if (path.empty()) return 0;
  // "/" becomes "\" byte by byte after the conversion: the converted path
  // holds no 0x2F inside a double-byte character, as no trail byte is below 0x40.
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  // Like Windows: a path that does not fit is cut, terminated, and the full
  // buffer size is returned.
  size_t copied = path.size() < size ? path.size() : size - 1;
  memcpy(fileName, path.data(), copied);
  fileName[copied] = 0;
  return path.size() < size ? static_cast<DWORD>(copied) : size;
}

BOOL SetCurrentDirectoryA(const char* path) {
  std::string native = NarrowToNativePath(path);
  if (native.empty()) return 0;
  return chdir(native.c_str()) == 0 ? 1 : 0;
}

BOOL DirectorySearchFindsAny(const char* pattern) {
  std::string native = NarrowToNativePath(pattern);
  if (native.empty()) return 0;
  glob_t found{};
  // Backslashes are path separators here, never escapes; wildcards match
  // names that begin with a dot too, as a Windows search does.
  int result = glob(native.c_str(), GLOB_NOSORT | GLOB_NOESCAPE | GLOB_PERIOD, nullptr, &found);
  bool any = result == 0 && found.gl_pathc > 0;
  globfree(&found);
  return any ? 1 : 0;
}

std::string NativeProgramDirectory() {
  std::string path = ExecutablePath();
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return std::string();
  if (slash == 0) return "/";
  return path.substr(0, slash);
}
