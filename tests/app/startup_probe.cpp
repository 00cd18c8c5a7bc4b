// The real start sequence with a stand-in main window that reports where it
// runs and what it reads, so the tests can watch the carried files being
// written without opening a window.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "app/main_window.h"
#include "app/startup.h"

void RunMainWindow() {
  char directory[4096] = {};
  if (getcwd(directory, sizeof directory) == nullptr) directory[0] = '\0';
  const Bytes theme = ReadWholeFile(AnsiToWide(Text("Default.ext")));
  std::printf("cwd=%s\ntheme=%d:%.4s\n", directory, BytesLength(theme),
              theme.empty() ? "" : reinterpret_cast<const char*>(BytesData(theme)));
}

int main() {
  StartProgram();
  return 0;
}
