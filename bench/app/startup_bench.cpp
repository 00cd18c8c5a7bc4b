// Start of the real client to its first frame on screen, under a private
// Xvfb: the client is copied alone into a fresh folder (so the carried files
// are written, as on a first start) or into one where they already lie, and
// started with a preloaded shim that reports the first frame handed to the
// screen. Also reports the client's resident memory once that frame is out.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string BuildDirectory() {
  return fs::read_symlink("/proc/self/exe").parent_path().string();
}

long long NowNs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// One Xvfb for the whole run; it picks a free display itself.
class PrivateDisplay {
 public:
  bool Start() {
    int fds[2];
    if (pipe(fds) != 0) return false;
    pid_ = fork();
    if (pid_ == 0) {
      int devnull = open("/dev/null", O_WRONLY);
      dup2(devnull, 1);
      dup2(devnull, 2);
      close(fds[0]);
      std::string fd = std::to_string(fds[1]);
      execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten",
             "tcp", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(fds[1]);
    char buffer[32] = {};
    pollfd p{fds[0], POLLIN, 0};
    ssize_t n = poll(&p, 1, 10000) > 0 ? read(fds[0], buffer, sizeof buffer - 1) : 0;
    close(fds[0]);
    if (n <= 0) return false;
    std::string number(buffer);
    while (!number.empty() && (number.back() == '\n' || number.back() == ' ')) number.pop_back();
    display_ = ":" + number;
    return true;
  }
  ~PrivateDisplay() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  const std::string& Name() const { return display_; }

 private:
  pid_t pid_ = -1;
  std::string display_;
};

// Started on first use and stopped when the program ends.
PrivateDisplay* TheDisplay() {
  static PrivateDisplay display;
  static const bool started = display.Start();
  return started ? &display : nullptr;
}

long ResidentKiB(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return 0;
}

struct StartResult {
  double seconds = -1;
  long rssKiB = 0;
};

// Starts the client in `folder`, waits for its first frame, then stops it.
StartResult StartOnce(const std::string& folder) {
  StartResult result;
  int fds[2];
  if (pipe(fds) != 0) return result;
  const std::string shim = BuildDirectory() + "/libbench_first_frame_shim.so";
  const std::string client = folder + "/tovi-chat";
  const long long started = NowNs();
  pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    int devnull = open("/dev/null", O_WRONLY);
    dup2(devnull, 1);
    dup2(devnull, 2);
    setenv("DISPLAY", TheDisplay()->Name().c_str(), 1);
    unsetenv("SDL_VIDEODRIVER");
    setenv("LD_PRELOAD", shim.c_str(), 1);
    setenv("TOVI_BENCH_FRAME_FD", std::to_string(fds[1]).c_str(), 1);
    if (chdir("/") != 0) _exit(126);
    execl(client.c_str(), client.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  char buffer[64] = {};
  pollfd p{fds[0], POLLIN, 0};
  ssize_t n = poll(&p, 1, 20000) > 0 ? read(fds[0], buffer, sizeof buffer - 1) : 0;
  close(fds[0]);
  if (n > 0) {
    result.seconds = static_cast<double>(std::atoll(buffer) - started) / 1e9;
    // The frame is out; let the first events settle before sampling memory.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    result.rssKiB = ResidentKiB(pid);
  }
  kill(pid, SIGTERM);
  for (int i = 0; i < 100; ++i) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) return result;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  return result;
}

void RunStarts(benchmark::State& state, bool firstStart) {
  if (TheDisplay() == nullptr) {
    state.SkipWithError("Xvfb is not available");
    return;
  }
  const fs::path base =
      fs::temp_directory_path() / ("tovi-bench-start-" + std::to_string(getpid()));
  fs::create_directories(base);
  const fs::path folder = base / "app";
  fs::create_directories(folder);
  fs::copy_file(BuildDirectory() + "/tovi-chat", folder / "tovi-chat",
                fs::copy_options::overwrite_existing);
  long rss = 0;
  for (auto _ : state) {
    if (firstStart) {
      fs::remove(folder / "libexdui.dll");
      fs::remove(folder / "Default.ext");
    }
    StartResult r = StartOnce(folder.string());
    if (r.seconds < 0) {
      state.SkipWithError("the client showed no frame");
      break;
    }
    state.SetIterationTime(r.seconds);
    rss = r.rssKiB;
  }
  state.counters["rss_after_start_KiB"] = static_cast<double>(rss);
  std::error_code ignored;
  fs::remove_all(base, ignored);
}

void BM_StartToFirstFrame_FirstStart(benchmark::State& state) {
  RunStarts(state, true);
}
void BM_StartToFirstFrame_FilesPresent(benchmark::State& state) {
  RunStarts(state, false);
}

BENCHMARK(BM_StartToFirstFrame_FirstStart)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);
BENCHMARK(BM_StartToFirstFrame_FilesPresent)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
