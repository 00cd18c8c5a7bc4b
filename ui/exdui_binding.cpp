// Binds each DirectUI operation by name on its first call. The library is
// loaded from the program directory, under the name the client carries it as.
#include "ui/exdui.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/files.h"
#include "platform/pump.h"

namespace {

constexpr const char* kLibraryFileName = "libexdui.dll";

std::string LibraryPath() { return NativeProgramDirectory() + "/" + kLibraryFileName; }

void* LoadedLibrary() {
  static void* library = [] {
    std::string path = LibraryPath();
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
      const char* why = dlerror();
      std::fprintf(stderr, "tovi-chat: cannot load the DirectUI library %s: %s\n", path.c_str(),
                   why ? why : "unknown error");
      std::exit(2);
    }
    return handle;
  }();
  return library;
}

void* BindOperation(const char* name) {
  void* library = LoadedLibrary();
  dlerror();
  void* address = dlsym(library, name);
  if (address == nullptr) {
    std::fprintf(stderr, "tovi-chat: the DirectUI library %s has no operation %s\n",
                 LibraryPath().c_str(), name);
    std::exit(2);
  }
  return address;
}

int DispatchLibraryMessages() { return Ex_WndDispatchPending(); }

}  // namespace

#define EXDUI_BIND(ret, name, params, args)                                    \
  ret name params {                                                            \
    static const auto bound = reinterpret_cast<ret(*) params>(BindOperation(#name)); \
    return bound args;                                                         \
  }
EXDUI_OPERATIONS(EXDUI_BIND)
#undef EXDUI_BIND

void ConnectDirectUiMessagePump() { SetMessageDispatcher(&DispatchLibraryMessages); }
