// Preloaded into the client by the start-up benchmark: the first time a frame
// is handed to the screen, the monotonic clock is written to the descriptor
// named by TOVI_BENCH_FRAME_FD. Every call is passed on unchanged.
#include <SDL2/SDL.h>
#include <dlfcn.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

std::atomic<bool> reported{false};

void ReportFirstFrame() {
  if (reported.exchange(true)) return;
  const char* fd = std::getenv("TOVI_BENCH_FRAME_FD");
  if (fd == nullptr) return;
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  char line[64];
  int n = std::snprintf(line, sizeof line, "%lld\n",
                        static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
  if (n > 0 && write(std::atoi(fd), line, static_cast<size_t>(n)) < 0) return;
}

template <class Fn>
Fn Next(const char* name) {
  return reinterpret_cast<Fn>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) int SDL_UpdateWindowSurface(SDL_Window* window) {
  ReportFirstFrame();
  static auto next = Next<int (*)(SDL_Window*)>("SDL_UpdateWindowSurface");
  return next ? next(window) : -1;
}

__attribute__((visibility("default"))) int SDL_UpdateWindowSurfaceRects(SDL_Window* window,
                                                                        const SDL_Rect* rects,
                                                                        int count) {
  ReportFirstFrame();
  static auto next =
      Next<int (*)(SDL_Window*, const SDL_Rect*, int)>("SDL_UpdateWindowSurfaceRects");
  return next ? next(window, rects, count) : -1;
}

__attribute__((visibility("default"))) void SDL_RenderPresent(SDL_Renderer* renderer) {
  ReportFirstFrame();
  static auto next = Next<void (*)(SDL_Renderer*)>("SDL_RenderPresent");
  if (next) next(renderer);
}

}  // extern "C"
