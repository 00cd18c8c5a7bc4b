// GET requests through HttpRequest to a local HTTPS server, beside the floor
// of this stack (libcurl reusing one easy handle for the same request) and
// beside the curl command line.
//
//   BM_HttpRequestRepeated     warm: the connection is kept between calls
//   BM_BareCurlReusedHandle    the floor for the repeated call
//   BM_HttpRequestFirstCall    the first call to a server: new connection,
//                              full TLS handshake
//   BM_ProcessWithOneRequest   a process that makes one HttpRequest call and
//                              ends (this program, started again)
//   BM_CurlCommandLine         `curl -sk URL`, spawned, for the same request
#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <httplib.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <string>

#include "tests/web/local_servers.h"
#include "web/http_request.h"

extern char** environ;

namespace {

const std::string kReply(2048, 'r');  // about the size of a chatbot reply

std::unique_ptr<LocalHttpServer> StartServer(bool keepAlive) {
  auto server = std::make_unique<LocalHttpServer>(true, keepAlive);
  server->server().Get("/bot", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(kReply, "application/json");
  });
  server->Start();
  return server;
}

std::string BotUrl(const LocalHttpServer& server) {
  return server.Origin() + "/bot?appid=tovi&userid=user&spoken=%68%69";
}

LocalHttpServer& WarmServer() {
  static std::unique_ptr<LocalHttpServer> server = StartServer(true);
  return *server;
}

std::string ExecutablePath() {
  char path[4096];
  ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
  return std::string(path, length > 0 ? static_cast<size_t>(length) : 0);
}

// Runs the program with its arguments and waits for it; false when it could
// not start or did not end well.
bool RunProgram(std::vector<std::string> arguments) {
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  pid_t pid;
  int started = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (started != 0) return false;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void BM_HttpRequestRepeated(benchmark::State& state) {
  std::string url = BotUrl(WarmServer());
  HttpRequest(url);  // the connection stands from here on
  for (auto _ : state) {
    Bytes body = HttpRequest(url);
    if (body.size() != static_cast<int>(kReply.size())) state.SkipWithError("wrong body");
  }
}
BENCHMARK(BM_HttpRequestRepeated)->Unit(benchmark::kMicrosecond);

size_t Collect(char* data, size_t size, size_t count, void* into) {
  static_cast<std::string*>(into)->append(data, size * count);
  return size * count;
}

void BM_BareCurlReusedHandle(benchmark::State& state) {
  std::string url = BotUrl(WarmServer());
  CURL* easy = curl_easy_init();
  std::string body;
  curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
  curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 0L);
  curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 0L);
  curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, Collect);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, &body);
  curl_easy_perform(easy);
  for (auto _ : state) {
    body.clear();
    if (curl_easy_perform(easy) != CURLE_OK || body.size() != kReply.size()) {
      state.SkipWithError("request failed");
    }
  }
  curl_easy_cleanup(easy);
}
BENCHMARK(BM_BareCurlReusedHandle)->Unit(benchmark::kMicrosecond);

void BM_HttpRequestFirstCall(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    // A server on a new port: nothing of it is cached yet.
    auto server = StartServer(false);
    std::string url = BotUrl(*server);
    state.ResumeTiming();
    Bytes body = HttpRequest(url);
    state.PauseTiming();
    if (body.size() != static_cast<int>(kReply.size())) state.SkipWithError("wrong body");
    server.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_HttpRequestFirstCall)->Unit(benchmark::kMicrosecond)->Iterations(40);

void BM_ProcessWithOneRequest(benchmark::State& state) {
  std::string url = BotUrl(WarmServer());
  std::string self = ExecutablePath();
  for (auto _ : state) {
    if (!RunProgram({self, "--one-request", url})) state.SkipWithError("request failed");
  }
}
BENCHMARK(BM_ProcessWithOneRequest)->Unit(benchmark::kMillisecond)->Iterations(40);

void BM_CurlCommandLine(benchmark::State& state) {
  std::string url = BotUrl(WarmServer());
  for (auto _ : state) {
    if (!RunProgram({"curl", "-sk", url})) state.SkipWithError("curl failed");
  }
}
BENCHMARK(BM_CurlCommandLine)->Unit(benchmark::kMillisecond)->Iterations(40);

}  // namespace

int main(int argc, char** argv) {
  // Started by BM_ProcessWithOneRequest: one call, then out.
  if (argc == 3 && std::strcmp(argv[1], "--one-request") == 0) {
    return HttpRequest(argv[2]).size() == static_cast<int>(kReply.size()) ? 0 : 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
