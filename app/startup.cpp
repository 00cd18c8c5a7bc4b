#include "app/startup.h"

#include <string>

#include "app/carried_files.h"
#include "app/main_window.h"
#include "platform/files.h"

namespace {

// The executable's full path as GetModuleFileNameA gives it, cut at its last
// backslash; empty when the path cannot be had.
std::string ProgramDirectoryOfModule() {
  std::string path(512, '\0');
  for (;;) {
    DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return std::string();
    // A result that fills the whole buffer may have been cut short.
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    if (path.size() >= (1u << 20)) return std::string();
    path.resize(path.size() * 2);
  }
  size_t cut = path.rfind('\\');
  return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

}  // namespace

void StartProgram() {
  std::string directory = ProgramDirectoryOfModule();
  if (!directory.empty()) SetCurrentDirectoryA(directory.c_str());
  WriteCarriedFiles();
}

int WriteCarriedFiles() {
  const Text libraryPath = ConcatText(RunDirectory(), "\\libexdui.dll");
  const Text themePath = ConcatText(RunDirectory(), "\\Default.ext");
  // Both tests come before any write.
  const bool libraryPresent = FileExists(libraryPath);
  const bool themePresent = FileExists(themePath);
  if (!libraryPresent) WriteWholeFile(libraryPath, Bytes(kCarriedLibrary, kCarriedLibraryLength));
  if (!themePresent) WriteWholeFile(themePath, Bytes(kCarriedTheme, kCarriedThemeLength));
  RunMainWindow();
  return 0;
}
