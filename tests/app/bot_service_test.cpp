// tovi-bot as a service: it makes its certificate on first start in the
// cache folder, keeps it, answers over HTTPS and stops cleanly on SIGTERM.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "tests/app/run_program.h"
#include "text/text.h"
#include "web/http_request.h"

namespace {

// A running tovi-bot with its own cache folder, on a port the kernel chose.
class RunningBot {
 public:
  RunningBot(const std::string& cache, int port) : port_(port) {
    int fds[2];
    if (pipe(fds) != 0) return;
    std::string program = TestProgramDirectory() + "/tovi-bot";
    std::string portText = std::to_string(port);
    pid_ = fork();
    if (pid_ == 0) {
      dup2(fds[1], 1);
      close(fds[0]);
      setenv("XDG_CACHE_HOME", cache.c_str(), 1);
      execl(program.c_str(), program.c_str(), "--port", portText.c_str(),
            static_cast<char*>(nullptr));
      _exit(127);
    }
    close(fds[1]);
    out_ = fdopen(fds[0], "r");
    char line[256] = {};
    if (out_ != nullptr && std::fgets(line, sizeof line, out_) != nullptr) banner_ = line;
  }
  ~RunningBot() {
    if (pid_ > 0 && !stopped_) Stop();
    if (out_ != nullptr) std::fclose(out_);
  }
  // SIGTERM, then the exit status (-1 when it had to be killed).
  int Stop() {
    stopped_ = true;
    kill(pid_, SIGTERM);
    for (int i = 0; i < 250; ++i) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_)
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    return -1;
  }
  const std::string& Banner() const { return banner_; }
  std::string Ask(const std::string& spokenEscapes) const {
    Text url = ConcatText(Text("https://127.0.0.1:" + std::to_string(port_)),
                          "/bot?appid=tovi&userid=user&spoken=", Text(spokenEscapes));
    return HttpRequest(url).str();
  }

 private:
  int port_;
  pid_t pid_ = -1;
  FILE* out_ = nullptr;
  std::string banner_;
  bool stopped_ = false;
};

// A port that was free a moment ago.
int FreePort() {
  int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t n = sizeof a;
  int port = 0;
  if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
      getsockname(s, reinterpret_cast<sockaddr*>(&a), &n) == 0)
    port = ntohs(a.sin_port);
  close(s);
  return port;
}

class BotServiceTest : public ::testing::Test {
 protected:
  void SetUp() override { cache_ = MakeTempDirectory("tovi-botcache-"); }
  void TearDown() override { RemoveTree(cache_); }
  std::string cache_;
};

TEST_F(BotServiceTest, AnswersOverHttpsAndStopsOnSigterm) {
  RunningBot bot(cache_, FreePort());
  ASSERT_NE(bot.Banner().find("listening"), std::string::npos) << bot.Banner();
  EXPECT_NE(bot.Ask("%68%69").find("\"text\": \"Hello! I am Tovi."), std::string::npos);
  // 你好, and a percent sign that must travel escaped.
  EXPECT_NE(bot.Ask("%E4%BD%A0%E5%A5%BD").find("\"text\": \"你好！"), std::string::npos);
  EXPECT_NE(bot.Ask("%35%30%25").find("50%25"), std::string::npos);
  EXPECT_EQ(bot.Stop(), 0);
}

TEST_F(BotServiceTest, MakesItsCertificateOnceAndKeepsTheKeyPrivate) {
  const std::string folder = cache_ + "/tovi-bot";
  {
    RunningBot bot(cache_, FreePort());
    ASSERT_NE(bot.Banner().find("listening"), std::string::npos);
  }
  struct stat key {};
  ASSERT_EQ(stat((folder + "/key.pem").c_str(), &key), 0);
  EXPECT_EQ(key.st_mode & 077, 0u) << "the key is readable by others";
  const std::string first = ReadFileBytes(folder + "/cert.pem");
  ASSERT_NE(first.find("BEGIN CERTIFICATE"), std::string::npos);
  {
    RunningBot bot(cache_, FreePort());
    ASSERT_NE(bot.Banner().find("listening"), std::string::npos);
  }
  EXPECT_EQ(ReadFileBytes(folder + "/cert.pem"), first);
}

TEST_F(BotServiceTest, ReplacesAnUnreadableCertificate) {
  const std::string folder = cache_ + "/tovi-bot";
  ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
  WriteFileBytes(folder + "/cert.pem", "not a certificate");
  WriteFileBytes(folder + "/key.pem", "not a key");
  RunningBot bot(cache_, FreePort());
  ASSERT_NE(bot.Banner().find("listening"), std::string::npos);
  EXPECT_NE(bot.Ask("%68%69").find("Hello"), std::string::npos);
}

TEST(BotCommandLine, RejectsABadPort) {
  for (const char* port : {"0", "70000", "12ab", ""}) {
    ProgramRun run = RunProgram(TestProgramDirectory() + "/tovi-bot", {"--port", port}, "/");
    EXPECT_EQ(run.exitCode, 2) << port;
    EXPECT_NE(run.err.find("usage"), std::string::npos);
  }
}

}  // namespace
