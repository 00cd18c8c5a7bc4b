// A small HTTPS server on 127.0.0.1 for tests: a certificate made at start,
// a free port, scripted answers, and a log of what arrived.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

struct ReceivedRequest {
  std::string method;
  std::string target;  // path and query, as sent
  std::vector<std::pair<std::string, std::string>> headers;
  std::string Header(const std::string& name) const;
};

struct ScriptedReply {
  int status = 200;
  std::string body;
};

class LocalHttpsServer {
 public:
  using Responder = std::function<ScriptedReply(const ReceivedRequest&)>;
  LocalHttpsServer();
  ~LocalHttpsServer();
  // Starts serving on a free port; false when no certificate or port can be
  // had. Without keepAlive every response closes its connection, so Stop
  // never waits for an idle client.
  bool Start(Responder responder, bool keepAlive = false);
  void Stop();
  int Port() const { return port_; }
  std::vector<ReceivedRequest> Requests() const;
  void ClearRequests();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  int port_ = 0;
};
