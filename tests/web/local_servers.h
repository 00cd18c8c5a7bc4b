// Servers on 127.0.0.1 for the web tests: cpp-httplib servers (HTTP, and
// HTTPS with a self-signed certificate made on the spot), a raw TCP server
// whose handler sees the bytes exactly as they arrive, and a recording proxy.
// Every server binds a free port and stops when it goes out of scope.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace httplib {
class Server;
}

// An httplib server running on its own thread. Without keepAlive it closes
// every connection after one response, so that stopping it never waits for
// an idle connection kept by the client; with keepAlive an idle connection
// holds the stop up to a second.
class LocalHttpServer {
 public:
  explicit LocalHttpServer(bool secure, bool keepAlive = false);
  ~LocalHttpServer();
  httplib::Server& server() { return *server_; }
  // Starts listening; routes are added before.
  void Start();
  int port() const { return port_; }
  // "http://127.0.0.1:PORT" or "https://127.0.0.1:PORT".
  std::string Origin() const;

 private:
  bool secure_;
  std::unique_ptr<httplib::Server> server_;
  std::thread thread_;
  int port_ = 0;
};

// A TCP server on 127.0.0.1 that hands each accepted connection to the
// handler on a thread of its own. Handlers must end by themselves; Stopping()
// tells them to hurry.
class RawServer {
 public:
  using Handler = std::function<void(int fd, RawServer& server)>;
  explicit RawServer(Handler handler);
  ~RawServer();
  int port() const { return port_; }
  bool Stopping() const { return stopping_; }
  // Waits up to the given time for Stopping(); true when it came.
  bool WaitForStop(int milliseconds) const;
  // What handlers note down for the test to look at.
  void Record(const std::string& entry);
  std::vector<std::string> Records();
  int Connections() const { return connections_; }

 private:
  void AcceptLoop();
  Handler handler_;
  int listenFd_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::atomic<int> connections_{0};
  std::thread acceptThread_;
  std::mutex lock_;
  std::vector<std::thread> workers_;
  std::vector<std::string> records_;
};

// Reads one request head (through the empty line) and, when it announces a
// Content-Length, its body. Empty when the peer closed first.
std::string ReadRequest(int fd);
void SendAll(int fd, const std::string& bytes);
// A port on 127.0.0.1 that refuses connections (bound, never listened on,
// then closed).
int RefusedPort();

// A proxy that records the first line of every request: for an absolute-URI
// request it answers itself with "via proxy: " and that line; for CONNECT it
// tunnels to the target.
std::unique_ptr<RawServer> StartRecordingProxy();
