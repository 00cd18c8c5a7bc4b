// tovi-bot: a small local chatbot service for tovi-chat.
//
// Answers GET /bot?appid=tovi&userid=user&spoken=... over HTTPS on 127.0.0.1
// with UTF-8 JSON whose answer follows "text": ". The certificate is made on
// first start and kept in ${XDG_CACHE_HOME:-~/.cache}/tovi-bot/.
//
//   tovi-bot [--port N] [--verbose]
//
// --verbose prints the path and query of every request on standard output.
// The HTTPS support of httplib is switched on by its package flags.
#include <httplib.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <thread>

#include "bot/answers.h"
#include "bot/self_signed_cert.h"

#ifndef TOVI_BOT_DEFAULT_PORT
#define TOVI_BOT_DEFAULT_PORT 18443
#endif

namespace {

constexpr int kCertificateDays = 825;

bool MakeDirectories(const std::string& path) {
  for (size_t at = 1; at <= path.size(); ++at) {
    if (at == path.size() || path[at] == '/') {
      std::string prefix = path.substr(0, at);
      if (mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
  }
  return true;
}

std::string CacheDirectory() {
  const char* xdg = std::getenv("XDG_CACHE_HOME");
  if (xdg != nullptr && xdg[0] == '/') return std::string(xdg) + "/tovi-bot";
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr && home[0] != '\0' ? home : "/tmp") + "/.cache/tovi-bot";
}

bool ParsePort(const char* text, int& port) {
  char* end = nullptr;
  long value = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || value < 1 || value > 65535) return false;
  port = static_cast<int>(value);
  return true;
}

std::tm LocalNow() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local;
}

}  // namespace

int main(int argc, char** argv) {
  int port = TOVI_BOT_DEFAULT_PORT;
  bool verbose = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--port" && i + 1 < argc && ParsePort(argv[i + 1], port)) {
      ++i;
    } else if (arg == "--verbose") {
      verbose = true;
    } else {
      std::fprintf(stderr, "usage: tovi-bot [--port N] [--verbose]   (default port %d)\n",
                   TOVI_BOT_DEFAULT_PORT);
      return 2;
    }
  }

  std::string folder = CacheDirectory();
  CertificateFiles files{folder + "/cert.pem", folder + "/key.pem"};
  if (!CertificateFilesUsable(files)) {
    std::string error;
    if (!MakeDirectories(folder) || !MakeSelfSignedCertificate(files, kCertificateDays, error)) {
      std::fprintf(stderr, "tovi-bot: cannot make a certificate in %s: %s\n", folder.c_str(),
                   error.empty() ? "cannot create the folder" : error.c_str());
      return 1;
    }
  }

  // SIGINT and SIGTERM are taken by sigwait below, on the main thread, so the
  // server can be stopped outside a signal handler. Threads started later
  // inherit the blocked mask.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  httplib::SSLServer server(files.certificatePath.c_str(), files.keyPath.c_str());
  if (!server.is_valid()) {
    std::fprintf(stderr, "tovi-bot: cannot use the certificate in %s\n", folder.c_str());
    return 1;
  }
  // Headers and body go out in separate writes; without this the body waits
  // for the client's delayed acknowledgement, some 40 ms a turn.
  server.set_tcp_nodelay(true);
  // An idle connection is kept a little while for the next turn; stopping
  // waits for idle connections, so not for long.
  server.set_keep_alive_timeout(2);
  server.Get("/bot", [verbose](const httplib::Request& request, httplib::Response& response) {
    if (verbose) {
      std::printf("GET %s\n", request.target.c_str());
      std::fflush(stdout);
    }
    std::string spoken = request.get_param_value("spoken");
    response.set_content(ReplyJson(AnswerFor(spoken, LocalNow())),
                         "application/json; charset=utf-8");
  });
  if (!server.bind_to_port("127.0.0.1", port)) {
    std::fprintf(stderr, "tovi-bot: cannot listen on 127.0.0.1:%d\n", port);
    return 1;
  }
  std::thread serving([&server] { server.listen_after_bind(); });
  std::printf("tovi-bot listening on https://127.0.0.1:%d\n", port);
  std::fflush(stdout);

  int received = 0;
  sigwait(&stopSignals, &received);
  server.stop();
  serving.join();
  return 0;
}
