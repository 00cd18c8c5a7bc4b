// The WinInet layer against real servers on 127.0.0.1.
#include "platform/wininet.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <cstring>

#include "tests/web/local_servers.h"

namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

constexpr DWORD kAnyCertificate = 0x1F380;

struct Exchange {
  std::string verb = "GET";
  std::string path = "/";
  DWORD flags = 0;
  DWORD securityFlags = 0;
  bool setSecurityFlags = false;
  std::string headers;
  std::string body;
  DWORD accessType = INTERNET_OPEN_TYPE_DIRECT;
  std::string proxy;
  DWORD receiveTimeoutMs = 0;  // 0: leave the default
  DWORD readPiece = 1024;
};

struct Outcome {
  BOOL sent = 0;
  std::string body;
  BOOL lastReadOk = 1;
  BOOL headersOk = 0;
  std::string rawHeaders;
  DWORD largestRead = 0;
};

Outcome RunExchange(const std::string& host, int port, const Exchange& exchange) {
  Outcome outcome;
  HINTERNET root = InternetOpenA("layer-test/1", exchange.accessType,
                                 exchange.proxy.empty() ? nullptr : exchange.proxy.c_str(), "", 0);
  EXPECT_NE(root, nullptr);
  if (exchange.receiveTimeoutMs != 0) {
    DWORD value = exchange.receiveTimeoutMs;
    EXPECT_TRUE(InternetSetOptionA(root, INTERNET_OPTION_RECEIVE_TIMEOUT, &value, sizeof(value)));
  }
  HINTERNET connection = InternetConnectA(root, host.c_str(), static_cast<INTERNET_PORT>(port),
                                          nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
  HINTERNET request = HttpOpenRequestA(connection, exchange.verb.c_str(), exchange.path.c_str(),
                                       "HTTP/1.1", nullptr, nullptr, exchange.flags, 0);
  EXPECT_NE(request, nullptr);
  if (exchange.setSecurityFlags) {
    DWORD value = exchange.securityFlags;
    InternetSetOptionA(request, INTERNET_OPTION_SECURITY_FLAGS, &value, sizeof(value));
  }
  outcome.sent = HttpSendRequestA(
      request, exchange.headers.c_str(), static_cast<DWORD>(exchange.headers.size()),
      exchange.body.empty() ? nullptr : const_cast<char*>(exchange.body.data()),
      static_cast<DWORD>(exchange.body.size()));
  std::vector<char> piece(exchange.readPiece + 16, '\x7f');
  for (;;) {
    DWORD count = 0xDEAD;
    outcome.lastReadOk = InternetReadFile(request, piece.data(), exchange.readPiece, &count);
    if (count > outcome.largestRead) outcome.largestRead = count;
    if (count == 0 || count > exchange.readPiece) break;
    outcome.body.append(piece.data(), count);
  }
  std::vector<char> raw(65536);
  DWORD length = static_cast<DWORD>(raw.size());
  outcome.headersOk =
      HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, raw.data(), &length, nullptr);
  if (outcome.headersOk) outcome.rawHeaders.assign(raw.data(), length);
  EXPECT_TRUE(InternetCloseHandle(request));
  EXPECT_TRUE(InternetCloseHandle(connection));
  EXPECT_TRUE(InternetCloseHandle(root));
  return outcome;
}

// A raw server that records each request exactly and answers with a fixed
// response, closing the connection.
std::unique_ptr<RawServer> StartEchoingServer(const std::string& body = "ok") {
  return std::make_unique<RawServer>([body](int fd, RawServer& server) {
    std::string request = ReadRequest(fd);
    if (request.empty()) return;
    server.Record(request);
    SendAll(fd, "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) +
                    "\r\nConnection: close\r\n\r\n" + body);
  });
}

class HttpServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto& s = server_.server();
    s.Get("/hello", [](const httplib::Request&, httplib::Response& res) {
      res.set_content("hello, layer", "text/plain");
    });
    s.Get("/text", [](const httplib::Request&, httplib::Response& res) {
      std::string text;
      for (int i = 0; i < 3000; ++i) text.push_back(static_cast<char>('a' + i % 26));
      res.set_content(text, "text/plain");
    });
    s.Get("/set-cookie", [](const httplib::Request& req, httplib::Response& res) {
      res.set_header("Set-Cookie", req.get_param_value("c") + "; Path=/");
      res.set_content("set", "text/plain");
    });
    s.Get("/cookies", [](const httplib::Request& req, httplib::Response& res) {
      res.set_content(req.get_header_value("Cookie"), "text/plain");
    });
    s.Get("/redirect", [](const httplib::Request&, httplib::Response& res) {
      res.status = 302;
      res.set_header("Location", "/hello");
      res.set_content("moved", "text/plain");
    });
    s.Get("/gzip", [](const httplib::Request&, httplib::Response& res) {
      res.set_header("Content-Encoding", "gzip");
      res.set_content(std::string("\x1f\x8b\x08\x00rawbytes", 12), "application/octet-stream");
    });
    server_.Start();
  }
  LocalHttpServer server_{false};
};

TEST_F(HttpServerTest, ReadsTheBodyInPiecesOfAtMostTheSizeAsked) {
  Exchange exchange;
  exchange.path = "/text";
  exchange.readPiece = 7;
  Outcome outcome = RunExchange("127.0.0.1", server_.port(), exchange);
  EXPECT_TRUE(outcome.sent);
  ASSERT_EQ(outcome.body.size(), 3000u);
  EXPECT_EQ(outcome.body.substr(0, 5), "abcde");
  EXPECT_EQ(outcome.largestRead, 7u);
  EXPECT_TRUE(outcome.lastReadOk);  // the end of the body is no failure
}

TEST_F(HttpServerTest, ReadAfterTheEndKeepsGivingZeroBytes) {
  HINTERNET root = InternetOpenA("a", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  HINTERNET connection = InternetConnectA(root, "127.0.0.1", server_.port(), nullptr, nullptr,
                                          INTERNET_SERVICE_HTTP, 0, 0);
  HINTERNET request =
      HttpOpenRequestA(connection, "GET", "/hello", "HTTP/1.1", nullptr, nullptr, 0, 0);
  ASSERT_TRUE(HttpSendRequestA(request, nullptr, 0, nullptr, 0));
  char buffer[64];
  DWORD count = 0;
  ASSERT_TRUE(InternetReadFile(request, buffer, sizeof(buffer), &count));
  EXPECT_EQ(std::string(buffer, count), "hello, layer");
  for (int i = 0; i < 3; ++i) {
    count = 99;
    EXPECT_TRUE(InternetReadFile(request, buffer, sizeof(buffer), &count));
    EXPECT_EQ(count, 0u);
  }
  InternetCloseHandle(root);  // closes the handles under it too
  count = 99;
  EXPECT_FALSE(InternetReadFile(request, buffer, sizeof(buffer), &count));
  EXPECT_EQ(count, 0u);
  EXPECT_FALSE(InternetCloseHandle(connection));
}

TEST_F(HttpServerTest, RawHeadersAreCrLfLinesEndedByAnEmptyLine) {
  Exchange exchange;
  exchange.path = "/hello";
  Outcome outcome = RunExchange("127.0.0.1", server_.port(), exchange);
  ASSERT_TRUE(outcome.headersOk);
  const std::string& raw = outcome.rawHeaders;
  EXPECT_EQ(raw.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << raw;
  ASSERT_GE(raw.size(), 4u);
  EXPECT_EQ(raw.substr(raw.size() - 4), "\r\n\r\n");
  EXPECT_NE(raw.find("\r\nContent-Length: 12\r\n"), std::string::npos);
  EXPECT_EQ(raw.find("\r\n\r\n"), raw.size() - 4);  // one empty line, at the end
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '\n') {
      EXPECT_EQ(raw[i - 1], '\r') << "bare LF at " << i;
    }
  }
}

TEST_F(HttpServerTest, HeaderQueryThatDoesNotFitFailsAndLeavesTheBuffer) {
  HINTERNET root = InternetOpenA("a", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  HINTERNET connection = InternetConnectA(root, "127.0.0.1", server_.port(), nullptr, nullptr,
                                          INTERNET_SERVICE_HTTP, 0, 0);
  HINTERNET request =
      HttpOpenRequestA(connection, "GET", "/hello", "HTTP/1.1", nullptr, nullptr, 0, 0);
  ASSERT_TRUE(HttpSendRequestA(request, nullptr, 0, nullptr, 0));
  char big[4096];
  DWORD bigLength = sizeof(big);
  ASSERT_TRUE(HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, big, &bigLength, nullptr));
  EXPECT_EQ(std::strlen(big), bigLength);

  // Exactly the text without room for its zero byte does not fit.
  std::string small(bigLength, '#');
  DWORD length = bigLength;
  EXPECT_FALSE(
      HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, small.data(), &length, nullptr));
  EXPECT_EQ(length, bigLength + 1);
  EXPECT_EQ(small, std::string(bigLength, '#'));
  length = bigLength + 1;
  std::string fits(bigLength + 1, '#');
  EXPECT_TRUE(HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, fits.data(), &length, nullptr));
  EXPECT_EQ(length, bigLength);
  EXPECT_EQ(fits[bigLength], '\0');

  DWORD status = 0, statusLength = sizeof(status);
  EXPECT_TRUE(HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                             &statusLength, nullptr));
  EXPECT_EQ(status, 200u);
  InternetCloseHandle(root);
}

TEST_F(HttpServerTest, RedirectsAreFollowedUnlessTheFlagSaysNo) {
  Exchange exchange;
  exchange.path = "/redirect";
  Outcome followed = RunExchange("127.0.0.1", server_.port(), exchange);
  EXPECT_EQ(followed.body, "hello, layer");
  EXPECT_EQ(followed.rawHeaders.rfind("HTTP/1.1 200", 0), 0u) << followed.rawHeaders;

  exchange.flags = INTERNET_FLAG_NO_AUTO_REDIRECT;
  Outcome notFollowed = RunExchange("127.0.0.1", server_.port(), exchange);
  EXPECT_EQ(notFollowed.body, "moved");
  EXPECT_EQ(notFollowed.rawHeaders.rfind("HTTP/1.1 302", 0), 0u) << notFollowed.rawHeaders;
  EXPECT_NE(notFollowed.rawHeaders.find("\r\nLocation: /hello\r\n"), std::string::npos);
}

TEST_F(HttpServerTest, CookiesAreStoredAndSentBackUnlessNoCookies) {
  Exchange set;
  set.path = "/set-cookie?c=layer_kept%3D1";
  RunExchange("127.0.0.1", server_.port(), set);
  Exchange ask;
  ask.path = "/cookies";
  EXPECT_NE(RunExchange("127.0.0.1", server_.port(), ask).body.find("layer_kept=1"),
            std::string::npos);

  ask.flags = INTERNET_FLAG_NO_COOKIES;
  EXPECT_EQ(RunExchange("127.0.0.1", server_.port(), ask).body, "");

  // A cookie set on a request without cookie handling is not stored.
  set.path = "/set-cookie?c=layer_ignored%3D1";
  set.flags = INTERNET_FLAG_NO_COOKIES;
  RunExchange("127.0.0.1", server_.port(), set);
  ask.flags = 0;
  EXPECT_EQ(RunExchange("127.0.0.1", server_.port(), ask).body.find("layer_ignored"),
            std::string::npos);

  // Ending the session forgets them all.
  EXPECT_TRUE(InternetSetOptionA(nullptr, INTERNET_OPTION_END_BROWSER_SESSION, nullptr, 0));
  EXPECT_EQ(RunExchange("127.0.0.1", server_.port(), ask).body, "");
}

TEST(WinInetConnections, ConnectionIsKeptForTheNextRequest) {
  LocalHttpServer server(false, true);
  server.server().Get("/port", [](const httplib::Request& req, httplib::Response& res) {
    res.set_content(std::to_string(req.remote_port), "text/plain");
  });
  server.Start();
  Exchange exchange;
  exchange.path = "/port";
  std::string first = RunExchange("127.0.0.1", server.port(), exchange).body;
  std::string second = RunExchange("127.0.0.1", server.port(), exchange).body;
  EXPECT_FALSE(first.empty());
  EXPECT_EQ(first, second);  // the same client port: the same connection
}

TEST_F(HttpServerTest, ContentEncodingIsNotUndone) {
  Exchange exchange;
  exchange.path = "/gzip";
  EXPECT_EQ(RunExchange("127.0.0.1", server_.port(), exchange).body,
            std::string("\x1f\x8b\x08\x00rawbytes", 12));
}

TEST(WinInetWire, SendsExactlyTheCallersHeaderBlock) {
  auto server = StartEchoingServer();
  Exchange exchange;
  exchange.path = "/p?q=1";
  exchange.headers = "X-One: 1\r\nReferer: http://r/\r\nX-Empty:";
  RunExchange("127.0.0.1", server->port(), exchange);
  ASSERT_EQ(server->Records().size(), 1u);
  EXPECT_EQ(
      server->Records()[0],
      "GET /p?q=1 HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(server->port()) +
          "\r\nUser-Agent: layer-test/1\r\nX-One: 1\r\nReferer: http://r/\r\nX-Empty:\r\n\r\n");
}

TEST(WinInetWire, CallersUserAgentLineWinsOverTheAgent) {
  auto server = StartEchoingServer();
  Exchange exchange;
  exchange.headers = "User-Agent: mine";
  RunExchange("127.0.0.1", server->port(), exchange);
  ASSERT_EQ(server->Records().size(), 1u);
  const std::string request = server->Records()[0];
  EXPECT_NE(request.find("\r\nUser-Agent: mine\r\n"), std::string::npos) << request;
  EXPECT_EQ(request.find("layer-test"), std::string::npos) << request;
}

TEST(WinInetWire, AnAgentCannotCarryAFurtherHeaderLine) {
  auto server = StartEchoingServer();
  HINTERNET root =
      InternetOpenA("agent\r\nX-Evil: 1", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  HINTERNET connection = InternetConnectA(root, "127.0.0.1", server->port(), nullptr, nullptr,
                                          INTERNET_SERVICE_HTTP, 0, 0);
  HINTERNET request = HttpOpenRequestA(connection, "GET", "/", "HTTP/1.1", nullptr, nullptr, 0, 0);
  HttpSendRequestA(request, nullptr, 0, nullptr, 0);
  InternetCloseHandle(root);
  ASSERT_EQ(server->Records().size(), 1u);
  const std::string wire = server->Records()[0];
  EXPECT_NE(wire.find("\r\nUser-Agent: agent\r\n"), std::string::npos) << wire;
  EXPECT_EQ(wire.find("X-Evil"), std::string::npos) << wire;
}

TEST(WinInetWire, PostAndPutCarryTheBodyWithNothingAdded) {
  auto server = StartEchoingServer();
  std::string body(2000, 'b');
  body[5] = '\0';  // bodies are bytes, zero bytes included
  for (const char* verb : {"POST", "PUT"}) {
    Exchange exchange;
    exchange.verb = verb;
    exchange.body = body;
    exchange.headers = "X-A: 1";
    RunExchange("127.0.0.1", server->port(), exchange);
  }
  auto records = server->Records();
  ASSERT_EQ(records.size(), 2u);
  for (int i = 0; i < 2; ++i) {
    const std::string& request = records[i];
    SCOPED_TRACE(request.substr(0, request.find("\r\n\r\n")));
    EXPECT_EQ(request.rfind(i == 0 ? "POST / HTTP/1.1\r\n" : "PUT / HTTP/1.1\r\n", 0), 0u);
    EXPECT_NE(request.find("\r\nContent-Length: 2000\r\n"), std::string::npos);
    EXPECT_EQ(request.find("Expect:"), std::string::npos);
    EXPECT_EQ(request.find("Content-Type:"), std::string::npos);
    EXPECT_EQ(request.find("Accept:"), std::string::npos);
    EXPECT_EQ(request.substr(request.find("\r\n\r\n") + 4), body);
  }
}

TEST(WinInetWire, HeaderLinesCannotSmuggleFurtherLines) {
  auto server = StartEchoingServer();
  Exchange exchange;
  exchange.headers = "X-A: 1\nX-B: 2\rX-C: 3\r\nno colon here\r\n: empty name\r\nBad Name: x";
  exchange.path = "/a b\x01#fragment";
  RunExchange("127.0.0.1", server->port(), exchange);
  ASSERT_EQ(server->Records().size(), 1u);
  const std::string request = server->Records()[0];
  EXPECT_EQ(request.rfind("GET /a%20b%01 HTTP/1.1\r\n", 0), 0u) << request;
  EXPECT_NE(request.find("\r\nX-A: 1\r\nX-B: 2\r\nX-C: 3\r\n\r\n"), std::string::npos) << request;
  EXPECT_EQ(request.find("no colon"), std::string::npos);
  EXPECT_EQ(request.find("Bad Name"), std::string::npos);
}

TEST(WinInetProxy, HttpGoesThroughAnHttpProxyWithAnAbsoluteUri) {
  auto proxy = StartRecordingProxy();
  Exchange exchange;
  exchange.path = "/via";
  exchange.accessType = INTERNET_OPEN_TYPE_PROXY;
  exchange.proxy = "http=127.0.0.1:" + std::to_string(proxy->port());
  Outcome outcome = RunExchange("127.0.0.1", 9, exchange);
  EXPECT_EQ(outcome.body, "via proxy: GET http://127.0.0.1:9/via HTTP/1.1");
  ASSERT_EQ(proxy->Records().size(), 1u);
}

class HttpsServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server_.server().Get("/secret", [](const httplib::Request&, httplib::Response& res) {
      res.set_content("over tls", "text/plain");
    });
    server_.Start();
  }
  LocalHttpServer server_{true};
};

TEST_F(HttpsServerTest, SelfSignedCertificateIsRefusedWhenChecksAreOn) {
  Exchange exchange;
  exchange.path = "/secret";
  exchange.flags = INTERNET_FLAG_SECURE;
  auto start = steady_clock::now();
  Outcome outcome = RunExchange("127.0.0.1", server_.port(), exchange);
  EXPECT_FALSE(outcome.sent);
  EXPECT_EQ(outcome.body, "");
  EXPECT_FALSE(outcome.lastReadOk);
  EXPECT_FALSE(outcome.headersOk);
  EXPECT_LT(steady_clock::now() - start, milliseconds(3000));
}

TEST_F(HttpsServerTest, SecurityFlagsAcceptAnyCertificate) {
  Exchange exchange;
  exchange.path = "/secret";
  exchange.flags = INTERNET_FLAG_SECURE;
  exchange.setSecurityFlags = true;
  exchange.securityFlags = kAnyCertificate;
  Outcome outcome = RunExchange("127.0.0.1", server_.port(), exchange);
  EXPECT_TRUE(outcome.sent);
  EXPECT_EQ(outcome.body, "over tls");

  // The certificate names "localhost", not 127.0.0.1: an unknown authority
  // alone is not enough.
  exchange.securityFlags = SECURITY_FLAG_IGNORE_UNKNOWN_CA;
  EXPECT_EQ(RunExchange("127.0.0.1", server_.port(), exchange).body, "");
  exchange.securityFlags = SECURITY_FLAG_IGNORE_UNKNOWN_CA;
  EXPECT_EQ(RunExchange("localhost", server_.port(), exchange).body, "over tls");
}

TEST_F(HttpsServerTest, HttpsGoesThroughAProxyWithConnect) {
  auto proxy = StartRecordingProxy();
  Exchange exchange;
  exchange.path = "/secret";
  exchange.flags = INTERNET_FLAG_SECURE;
  exchange.setSecurityFlags = true;
  exchange.securityFlags = kAnyCertificate;
  exchange.accessType = INTERNET_OPEN_TYPE_PROXY;

  // An "http=" entry serves http only: this goes direct.
  exchange.proxy = "http=127.0.0.1:" + std::to_string(proxy->port());
  EXPECT_EQ(RunExchange("127.0.0.1", server_.port(), exchange).body, "over tls");
  EXPECT_TRUE(proxy->Records().empty());

  exchange.proxy = "127.0.0.1:" + std::to_string(proxy->port());
  EXPECT_EQ(RunExchange("127.0.0.1", server_.port(), exchange).body, "over tls");
  ASSERT_EQ(proxy->Records().size(), 1u);
  EXPECT_EQ(proxy->Records()[0],
            "CONNECT 127.0.0.1:" + std::to_string(server_.port()) + " HTTP/1.1");
}

// ---- Servers that misbehave ----

TEST(WinInetFailures, StallAfterPartOfTheBodyEndsAtTheReceiveTimeout) {
  RawServer server([](int fd, RawServer& self) {
    ReadRequest(fd);
    SendAll(fd, "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\nfirst part");
    self.WaitForStop(10000);
  });
  Exchange exchange;
  exchange.receiveTimeoutMs = 300;
  auto start = steady_clock::now();
  Outcome outcome = RunExchange("127.0.0.1", server.port(), exchange);
  EXPECT_LT(steady_clock::now() - start, milliseconds(3000));
  EXPECT_TRUE(outcome.sent);
  EXPECT_EQ(outcome.body, "first part");
  EXPECT_FALSE(outcome.lastReadOk);
  EXPECT_TRUE(outcome.headersOk);
}

TEST(WinInetFailures, StallBeforeAnyResponseFailsTheSend) {
  RawServer server([](int fd, RawServer& self) {
    ReadRequest(fd);
    self.WaitForStop(10000);
  });
  Exchange exchange;
  exchange.receiveTimeoutMs = 300;
  auto start = steady_clock::now();
  Outcome outcome = RunExchange("127.0.0.1", server.port(), exchange);
  EXPECT_LT(steady_clock::now() - start, milliseconds(3000));
  EXPECT_FALSE(outcome.sent);
  EXPECT_EQ(outcome.body, "");
  EXPECT_FALSE(outcome.headersOk);
}

TEST(WinInetFailures, ServerClosingEarlyGivesWhatArrivedThenAFailedRead) {
  RawServer server([](int fd, RawServer&) {
    ReadRequest(fd);
    SendAll(fd, "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\ncut short");
  });
  Outcome outcome = RunExchange("127.0.0.1", server.port(), Exchange{});
  EXPECT_EQ(outcome.body, "cut short");
  EXPECT_FALSE(outcome.lastReadOk);
}

TEST(WinInetFailures, RefusedConnectionAndBadHostFailPromptly) {
  auto start = steady_clock::now();
  Outcome refused = RunExchange("127.0.0.1", RefusedPort(), Exchange{});
  EXPECT_FALSE(refused.sent);
  EXPECT_EQ(refused.body, "");
  for (const char* host : {"", "a b", "user@127.0.0.1", "127.0.0.1/x", "\xb0\xa1"}) {
    Outcome bad = RunExchange(host, 80, Exchange{});
    EXPECT_FALSE(bad.sent) << host;
  }
  EXPECT_LT(steady_clock::now() - start, milliseconds(3000));
}

TEST(WinInetHandles, WrongOrStaleHandlesAreRefused) {
  char buffer[8];
  DWORD count = 5;
  EXPECT_FALSE(InternetReadFile(nullptr, buffer, sizeof(buffer), &count));
  EXPECT_EQ(count, 0u);
  HINTERNET root = InternetOpenA("a", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  // A root handle is no connection, a connection no request.
  EXPECT_EQ(HttpOpenRequestA(root, "GET", "/", "HTTP/1.1", nullptr, nullptr, 0, 0), nullptr);
  HINTERNET connection =
      InternetConnectA(root, "127.0.0.1", 80, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
  EXPECT_FALSE(HttpSendRequestA(connection, nullptr, 0, nullptr, 0));
  EXPECT_EQ(HttpOpenRequestA(connection, "G T", "/", "HTTP/1.1", nullptr, nullptr, 0, 0), nullptr);
  DWORD length = 5;
  EXPECT_FALSE(HttpQueryInfoA(connection, HTTP_QUERY_RAW_HEADERS_CRLF, buffer, &length, nullptr));
  EXPECT_TRUE(InternetCloseHandle(root));
  EXPECT_FALSE(InternetCloseHandle(root));
  EXPECT_EQ(InternetConnectA(root, "127.0.0.1", 80, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0),
            nullptr);
  EXPECT_EQ(InternetOpenA("a", INTERNET_OPEN_TYPE_PROXY, nullptr, nullptr, 0), nullptr);
}

}  // namespace
