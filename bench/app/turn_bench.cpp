// The client's own time in a conversation turn: the real turn, transcript and
// HTTP request against the recording stand-in of the library and a local
// HTTPS chatbot. The time the chatbot's handler spends is taken off each
// turn's wall time. Library drawing is not included (the stand-in draws
// nothing); text conversion, the request and the transcript's work are.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/main_window.h"
#include "tests/app/local_https_server.h"
#include "tests/app/test_chatbot_host.h"
#include "tests/support/exdui_recorder.h"
#include "transcript/transcript.h"
#include "web/http_request.h"

namespace {

using Clock = std::chrono::steady_clock;

std::atomic<long long> serverNs{0};

long ResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return 0;
}

// Started on first use and stopped when the program ends.
LocalHttpsServer* TheServer() {
  static LocalHttpsServer server;
  static const bool started = server.Start(
      [](const ReceivedRequest&) {
        auto begin = Clock::now();
        ScriptedReply reply{200,
                            "{\"status\": \"ok\", \"data\": {\"type\": 1, \"text\": "
                            "\"hello from the local bot\"}}"};
        serverNs +=
            std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - begin).count();
        return reply;
      },
      /*keepAlive=*/true);
  return started ? &server : nullptr;
}

std::filesystem::path WorkDirectory() {
  return std::filesystem::temp_directory_path() / ("tovi-bench-turn-" + std::to_string(getpid()));
}

bool OpenWindow() {
  static bool opened = [] {
    std::filesystem::path dir = WorkDirectory();
    std::filesystem::create_directories(dir);
    if (chdir(dir.c_str()) != 0) return false;
    exdui_recorder::Reset();
    exdui_recorder::SetRecording(false);
    exdui_recorder::SetMessageLoop([] {});
    RunMainWindow();
    return gMainWindow.inputBox != 0 && gMainWindow.transcript != 0;
  }();
  return opened;
}

// One turn: the wall time and the chatbot's share of it, in seconds.
void Turn(double& wall, double& server) {
  long long serverBefore = serverNs.load();
  auto begin = Clock::now();
  exdui_recorder::Deliver(gMainWindow.inputBox, EXM_CHAR, 13, 0);
  wall = std::chrono::duration<double>(Clock::now() - begin).count();
  server = static_cast<double>(serverNs.load() - serverBefore) / 1e9;
}

bool Ready(benchmark::State& state) {
  if (TheServer() == nullptr || !OpenWindow()) {
    state.SkipWithError("no local server or window");
    return false;
  }
  gTestChatbotHost = "127.0.0.1:" + std::to_string(TheServer()->Port());
  exdui_recorder::SetObjectText(gMainWindow.inputBox, "hi");
  return true;
}

// Steady state: the transcript is emptied every 20 turns, outside the timing.
void BM_TurnClientTime(benchmark::State& state) {
  if (!Ready(state)) return;
  double wallTotal = 0, serverTotal = 0;
  int turns = 0;
  for (auto _ : state) {
    double wall = 0, server = 0;
    Turn(wall, server);
    state.SetIterationTime(wall - server);
    wallTotal += wall;
    serverTotal += server;
    if (++turns % 20 == 0) {
      state.PauseTiming();
      ClearTranscript(gMainWindow.transcript);
      state.ResumeTiming();
    }
  }
  state.counters["wall_us"] = wallTotal / turns * 1e6;
  state.counters["server_us"] = serverTotal / turns * 1e6;
  ClearTranscript(gMainWindow.transcript);
}

// A thousand turns in a row into one transcript: the resident memory before
// and after, and the client's time per turn as the transcript grows.
void BM_ThousandTurns(benchmark::State& state) {
  if (!Ready(state)) return;
  for (auto _ : state) {
    ClearTranscript(gMainWindow.transcript);
    long before = ResidentKiB();
    double client = 0;
    for (int i = 0; i < 1000; ++i) {
      double wall = 0, server = 0;
      Turn(wall, server);
      client += wall - server;
    }
    state.SetIterationTime(client / 1000);
    state.counters["rss_before_KiB"] = static_cast<double>(before);
    state.counters["rss_after_1000_turns_KiB"] = static_cast<double>(ResidentKiB());
  }
  ClearTranscript(gMainWindow.transcript);
}

// The request alone, a thousand times: how much of the growth is the web
// access's and how much the transcript's.
void BM_ThousandRequests(benchmark::State& state) {
  if (!Ready(state)) return;
  const Text url =
      ConcatText(Text("https://"), gTestChatbotHost, "/bot?appid=tovi&userid=user&spoken=%68%69");
  for (auto _ : state) {
    long before = ResidentKiB();
    for (int i = 0; i < 1000; ++i) benchmark::DoNotOptimize(HttpRequest(url));
    state.counters["rss_before_KiB"] = static_cast<double>(before);
    state.counters["rss_after_1000_requests_KiB"] = static_cast<double>(ResidentKiB());
  }
}

BENCHMARK(BM_TurnClientTime)->UseManualTime()->Unit(benchmark::kMicrosecond)->MinTime(2.0);
BENCHMARK(BM_ThousandRequests)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ThousandTurns)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code ignored;
  std::filesystem::remove_all(WorkDirectory(), ignored);
  return 0;
}
