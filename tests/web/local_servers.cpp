#include "tests/web/local_servers.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <openssl/evp.h>
#include <openssl/x509.h>

#include <chrono>
#include <cstring>
#include <stdexcept>

#include <httplib.h>

namespace {

// A self-signed certificate for "localhost" with a fresh P-256 key: no
// authority vouches for it, so a checking client refuses it.
struct SelfSigned {
  X509* cert = nullptr;
  EVP_PKEY* key = nullptr;
  SelfSigned() {
    key = EVP_EC_gen("P-256");
    cert = X509_new();
    X509_set_version(cert, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert), 1);
    X509_gmtime_adj(X509_getm_notBefore(cert), -3600);
    X509_gmtime_adj(X509_getm_notAfter(cert), 86400);
    X509_NAME* name = X509_get_subject_name(cert);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>("localhost"), -1, -1, 0);
    X509_set_issuer_name(cert, name);
    X509_set_pubkey(cert, key);
    X509_sign(cert, key, EVP_sha256());
  }
  ~SelfSigned() {
    X509_free(cert);
    EVP_PKEY_free(key);
  }
};

}  // namespace

LocalHttpServer::LocalHttpServer(bool secure, bool keepAlive) : secure_(secure) {
  if (secure) {
    SelfSigned credentials;
    server_ = std::make_unique<httplib::SSLServer>(credentials.cert, credentials.key);
  } else {
    server_ = std::make_unique<httplib::Server>();
  }
  // Headers and body go out in separate writes; without this, the client's
  // delayed acknowledgement holds every keep-alive response back by ~40 ms.
  server_->set_tcp_nodelay(true);
  server_->set_keep_alive_timeout(1);
  server_->set_keep_alive_max_count(keepAlive ? 1000000 : 1);
  port_ = server_->bind_to_any_port("127.0.0.1");
  if (port_ <= 0) throw std::runtime_error("cannot bind a local port");
}

void LocalHttpServer::Start() {
  thread_ = std::thread([this] { server_->listen_after_bind(); });
  for (int i = 0; i < 2000 && !server_->is_running(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

LocalHttpServer::~LocalHttpServer() {
  server_->stop();
  if (thread_.joinable()) thread_.join();
}

std::string LocalHttpServer::Origin() const {
  return std::string(secure_ ? "https" : "http") + "://127.0.0.1:" + std::to_string(port_);
}

RawServer::RawServer(Handler handler) : handler_(std::move(handler)) {
  listenFd_ = socket(AF_INET, SOCK_STREAM, 0);
  int yes = 1;
  setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  if (bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
      listen(listenFd_, 64) != 0) {
    throw std::runtime_error("cannot listen on a local port");
  }
  socklen_t length = sizeof(address);
  getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length);
  port_ = ntohs(address.sin_port);
  acceptThread_ = std::thread([this] { AcceptLoop(); });
}

RawServer::~RawServer() {
  stopping_ = true;
  if (acceptThread_.joinable()) acceptThread_.join();
  close(listenFd_);
  std::vector<std::thread> workers;
  {
    std::lock_guard<std::mutex> guard(lock_);
    workers.swap(workers_);
  }
  for (std::thread& worker : workers) worker.join();
}

void RawServer::AcceptLoop() {
  while (!stopping_) {
    pollfd entry{listenFd_, POLLIN, 0};
    if (poll(&entry, 1, 20) <= 0) continue;
    int fd = accept(listenFd_, nullptr, nullptr);
    if (fd < 0) continue;
    ++connections_;
    std::lock_guard<std::mutex> guard(lock_);
    workers_.emplace_back([this, fd] {
      handler_(fd, *this);
      close(fd);
    });
  }
}

bool RawServer::WaitForStop(int milliseconds) const {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (!stopping_ && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return stopping_;
}

void RawServer::Record(const std::string& entry) {
  std::lock_guard<std::mutex> guard(lock_);
  records_.push_back(entry);
}

std::vector<std::string> RawServer::Records() {
  std::lock_guard<std::mutex> guard(lock_);
  return records_;
}

namespace {

// Reads what is there within the time given; false on close or time-out.
bool ReadSome(int fd, std::string& into, int milliseconds) {
  pollfd entry{fd, POLLIN, 0};
  if (poll(&entry, 1, milliseconds) <= 0) return false;
  char buffer[16384];
  ssize_t count = recv(fd, buffer, sizeof(buffer), 0);
  if (count <= 0) return false;
  into.append(buffer, static_cast<size_t>(count));
  return true;
}

size_t ContentLength(const std::string& head) {
  std::string lower;
  for (char c : head) lower.push_back((c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c);
  size_t at = lower.find("\r\ncontent-length:");
  if (at == std::string::npos) return 0;
  return std::strtoul(head.c_str() + at + 17, nullptr, 10);
}

}  // namespace

std::string ReadRequest(int fd) {
  std::string data;
  size_t end;
  while ((end = data.find("\r\n\r\n")) == std::string::npos) {
    if (!ReadSome(fd, data, 5000)) return data;
  }
  size_t total = end + 4 + ContentLength(data.substr(0, end + 2));
  while (data.size() < total) {
    if (!ReadSome(fd, data, 5000)) break;
  }
  return data;
}

void SendAll(int fd, const std::string& bytes) {
  size_t sent = 0;
  while (sent < bytes.size()) {
    ssize_t count = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (count <= 0) return;
    sent += static_cast<size_t>(count);
  }
}

int RefusedPort() {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address));
  socklen_t length = sizeof(address);
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  close(fd);
  return ntohs(address.sin_port);
}

namespace {

int ConnectTo(const std::string& host, int port) {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  inet_pton(AF_INET, host == "localhost" ? "127.0.0.1" : host.c_str(), &address.sin_addr);
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

void Tunnel(int a, int b, RawServer& server) {
  char buffer[16384];
  while (!server.Stopping()) {
    pollfd entries[2] = {{a, POLLIN, 0}, {b, POLLIN, 0}};
    if (poll(entries, 2, 50) <= 0) continue;
    for (int i = 0; i < 2; ++i) {
      if ((entries[i].revents & (POLLIN | POLLHUP | POLLERR)) == 0) continue;
      ssize_t count = recv(entries[i].fd, buffer, sizeof(buffer), 0);
      if (count <= 0) return;
      SendAll(i == 0 ? b : a, std::string(buffer, static_cast<size_t>(count)));
    }
  }
}

}  // namespace

std::unique_ptr<RawServer> StartRecordingProxy() {
  return std::make_unique<RawServer>([](int fd, RawServer& server) {
    std::string request = ReadRequest(fd);
    std::string line = request.substr(0, request.find("\r\n"));
    if (line.empty()) return;
    server.Record(line);
    if (line.rfind("CONNECT ", 0) == 0) {
      std::string target = line.substr(8, line.find(' ', 8) - 8);
      size_t colon = target.rfind(':');
      int upstream = ConnectTo(target.substr(0, colon), std::atoi(target.c_str() + colon + 1));
      if (upstream < 0) {
        SendAll(fd, "HTTP/1.1 502 Bad Gateway\r\nContent-Length: 0\r\n\r\n");
        return;
      }
      SendAll(fd, "HTTP/1.1 200 Connection established\r\n\r\n");
      Tunnel(fd, upstream, server);
      close(upstream);
      return;
    }
    std::string body = "via proxy: " + line;
    SendAll(fd, "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) +
                    "\r\nConnection: close\r\n\r\n" + body);
  });
}
