#include "tests/app/local_https_server.h"

#include <httplib.h>

#include <chrono>
#include <thread>

#include "bot/self_signed_cert.h"
#include "tests/app/run_program.h"

std::string ReceivedRequest::Header(const std::string& name) const {
  for (const auto& [key, value] : headers) {
    if (key.size() != name.size()) continue;
    bool same = true;
    for (size_t i = 0; i < key.size() && same; ++i) {
      char a = key[i], b = name[i];
      if (a >= 'A' && a <= 'Z') a = static_cast<char>(a + 32);
      if (b >= 'A' && b <= 'Z') b = static_cast<char>(b + 32);
      same = a == b;
    }
    if (same) return value;
  }
  return std::string();
}

struct LocalHttpsServer::Impl {
  std::string folder;
  std::unique_ptr<httplib::SSLServer> server;
  std::thread serving;
  mutable std::mutex lock;
  std::vector<ReceivedRequest> requests;
};

LocalHttpsServer::LocalHttpsServer() : impl_(std::make_unique<Impl>()) {}

LocalHttpsServer::~LocalHttpsServer() {
  Stop();
}

bool LocalHttpsServer::Start(Responder responder, bool keepAlive) {
  impl_->folder = MakeTempDirectory("tovi-tls-");
  CertificateFiles files{impl_->folder + "/cert.pem", impl_->folder + "/key.pem"};
  std::string error;
  if (impl_->folder.empty() || !MakeSelfSignedCertificate(files, 2, error)) return false;
  impl_->server =
      std::make_unique<httplib::SSLServer>(files.certificatePath.c_str(), files.keyPath.c_str());
  if (!impl_->server->is_valid()) return false;
  Impl* impl = impl_.get();
  impl_->server->set_keep_alive_max_count(keepAlive ? 100000 : 1);
  impl_->server->set_keep_alive_timeout(keepAlive ? 5 : 1);
  // Headers and body go out in separate writes; without this the second
  // waits for the client's delayed acknowledgement.
  impl_->server->set_tcp_nodelay(true);
  auto handle = [impl, responder](const httplib::Request& request, httplib::Response& response) {
    ReceivedRequest received;
    received.method = request.method;
    received.target = request.target;
    for (const auto& [key, value] : request.headers) {
      // httplib adds these itself; they were not on the wire.
      if (key == "REMOTE_ADDR" || key == "REMOTE_PORT" || key == "LOCAL_ADDR" ||
          key == "LOCAL_PORT")
        continue;
      received.headers.emplace_back(key, value);
    }
    ScriptedReply reply = responder(received);
    {
      std::lock_guard<std::mutex> guard(impl->lock);
      impl->requests.push_back(received);
    }
    response.status = reply.status;
    response.set_content(reply.body, "application/json; charset=utf-8");
  };
  impl_->server->Get(".*", handle);
  port_ = impl_->server->bind_to_any_port("127.0.0.1");
  if (port_ <= 0) return false;
  impl_->serving = std::thread([impl] { impl->server->listen_after_bind(); });
  // Bound already, so requests queue up even before the loop runs; wait a
  // moment for it anyway so the first request is answered at once.
  for (int i = 0; i < 200 && !impl_->server->is_running(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  return true;
}

void LocalHttpsServer::Stop() {
  if (impl_->server) impl_->server->stop();
  if (impl_->serving.joinable()) impl_->serving.join();
  impl_->server.reset();
  RemoveTree(impl_->folder);
  impl_->folder.clear();
}

std::vector<ReceivedRequest> LocalHttpsServer::Requests() const {
  std::lock_guard<std::mutex> guard(impl_->lock);
  return impl_->requests;
}

void LocalHttpsServer::ClearRequests() {
  std::lock_guard<std::mutex> guard(impl_->lock);
  impl_->requests.clear();
}
