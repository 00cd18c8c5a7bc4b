// HttpRequest against servers on 127.0.0.1, checked by what reached the
// WinInet layer and by what the servers received.
#include "web/http_request.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>

#include "platform/wininet.h"
#include "tests/web/local_servers.h"

namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

constexpr const char* kTurnQuery = "/bot?appid=tovi&userid=user&spoken=%E4%BD%A0%68%69";

// Notes every call that reaches the WinInet layer while it lives.
class CallRecorder {
 public:
  CallRecorder() { SetWinInetCallHook(&CallRecorder::Note, this); }
  ~CallRecorder() { SetWinInetCallHook(nullptr, nullptr); }
  std::vector<WinInetCall> calls;

  // The operations in order, repeated reads counted as one.
  std::vector<std::string> Operations() const {
    std::vector<std::string> names;
    for (const WinInetCall& call : calls) {
      if (!names.empty() && names.back() == call.operation) continue;
      names.push_back(call.operation);
    }
    return names;
  }
  const WinInetCall& First(const std::string& operation) const {
    for (const WinInetCall& call : calls) {
      if (call.operation == operation) return call;
    }
    static const WinInetCall none;
    ADD_FAILURE() << "no call of " << operation;
    return none;
  }

 private:
  static void Note(const WinInetCall& call, void* self) {
    static_cast<CallRecorder*>(self)->calls.push_back(call);
  }
};

void ForgetStoredCookies() {
  InternetSetOptionA(nullptr, INTERNET_OPTION_END_BROWSER_SESSION, nullptr, 0);
}

// Describes the request as the server saw it: method, headers, body.
void Describe(const httplib::Request& req, httplib::Response& res) {
  std::string text = req.method + " " + req.target + "\n";
  for (const auto& [name, value] : req.headers) {
    if (name != "REMOTE_ADDR" && name != "REMOTE_PORT" && name != "LOCAL_ADDR" &&
        name != "LOCAL_PORT") {
      text += name + ": " + value + "\n";
    }
  }
  text += "\n" + req.body;
  res.set_content(text, "text/plain");
}

bool Has(const Bytes& body, const std::string& piece) {
  return body.str().find(piece) != std::string::npos;
}

class HttpRequestTest : public ::testing::TestWithParam<bool> {
 protected:
  HttpRequestTest() : server_(GetParam()) {}
  void SetUp() override {
    auto& s = server_.server();
    s.Get("/bot", Describe);
    s.Get("/echo", Describe);
    s.Post("/echo", Describe);
    s.Put("/echo", Describe);
    s.Delete("/echo", Describe);
    s.Options("/echo", Describe);
    s.Get("/set", [](const httplib::Request&, httplib::Response& res) {
      res.headers.emplace("Set-Cookie", "a=1; path=/");
      res.headers.emplace("Set-Cookie", "b=2");
      res.set_content("set", "text/plain");
    });
    s.Get("/set-one", [](const httplib::Request& req, httplib::Response& res) {
      res.headers.emplace("Set-Cookie", req.get_param_value("c"));
      res.set_content(req.get_header_value("Cookie"), "text/plain");
    });
    s.Get("/redirect", [](const httplib::Request&, httplib::Response& res) {
      res.set_redirect("/echo");
      res.set_content("redirect body", "text/plain");
    });
    s.Get("/big-headers", [](const httplib::Request&, httplib::Response& res) {
      res.set_header("X-Big", std::string(6000, 'h'));
      res.headers.emplace("Set-Cookie", "big=1");
      res.set_content("big", "text/plain");
    });
    s.Get("/large", [](const httplib::Request&, httplib::Response& res) {
      std::string body(10 * 1024 * 1024, 'L');
      for (size_t i = 0; i < body.size(); i += 4096)
        body[i] = static_cast<char>('0' + i / 4096 % 10);
      res.set_content(std::move(body), "application/octet-stream");
    });
    server_.Start();
  }
  std::string Url(const std::string& path) const { return server_.Origin() + path; }
  LocalHttpServer server_;
};

INSTANTIATE_TEST_SUITE_P(HttpAndHttps, HttpRequestTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Https" : "Http"; });

TEST_P(HttpRequestTest, ConversationTurnCallReachesTheLayerExactly) {
  CallRecorder recorder;
  std::string url = Url(kTurnQuery);
  Bytes body = HttpRequest(url);
  EXPECT_TRUE(Has(body, std::string("GET ") + kTurnQuery + "\n")) << body.str();
  EXPECT_TRUE(Has(body, "Accept-Language: zh-cn\n"));
  // (the server undoes the percent coding of Referer values; the exact bytes
  // are checked on the wire below)
  EXPECT_TRUE(Has(body, "Referer: " + Url("/bot?appid=tovi&userid=user&spoken=")));
  EXPECT_TRUE(Has(body, std::string("User-Agent: ") + kDefaultUserAgent + "\n"));

  std::vector<std::string> expectedOrder = {
      "InternetOpenA",    "InternetConnectA", "HttpOpenRequestA", "InternetSetOptionA",
      "HttpSendRequestA", "InternetReadFile", "HttpQueryInfoA",   "InternetCloseHandle"};
  EXPECT_EQ(recorder.Operations(), expectedOrder);

  const WinInetCall& open = recorder.First("InternetOpenA");
  EXPECT_EQ(open.agent, kDefaultUserAgent);
  EXPECT_EQ(open.accessType, INTERNET_OPEN_TYPE_DIRECT);
  EXPECT_EQ(open.proxy, std::nullopt);
  EXPECT_EQ(open.proxyBypass, std::nullopt);
  EXPECT_EQ(open.flags, 0u);
  const WinInetCall& connect = recorder.First("InternetConnectA");
  EXPECT_EQ(connect.serverName, "127.0.0.1");
  EXPECT_EQ(connect.port, static_cast<DWORD>(server_.port()));
  EXPECT_EQ(connect.service, INTERNET_SERVICE_HTTP);
  EXPECT_EQ(connect.handle, open.result);
  const WinInetCall& request = recorder.First("HttpOpenRequestA");
  EXPECT_EQ(request.verb, "GET");
  EXPECT_EQ(request.objectName, kTurnQuery);
  EXPECT_EQ(request.version, "HTTP/1.1");
  EXPECT_EQ(request.flags, GetParam() ? 0x80800010u : 0x80004010u);
  const WinInetCall& option = recorder.First("InternetSetOptionA");
  EXPECT_EQ(option.handle, request.result);
  EXPECT_EQ(option.option, INTERNET_OPTION_SECURITY_FLAGS);
  EXPECT_EQ(option.optionValue, 0x1F380u);
  EXPECT_EQ(option.optionLength, 4u);
  const WinInetCall& send = recorder.First("HttpSendRequestA");
  EXPECT_EQ(send.headers, "Accept: */*\r\nReferer: " + url + "\r\nAccept-Language: zh-cn");
  EXPECT_EQ(send.body, std::nullopt);
  EXPECT_EQ(recorder.First("InternetReadFile").bufferLength, 1024u);
  const WinInetCall& query = recorder.First("HttpQueryInfoA");
  EXPECT_EQ(query.infoLevel, HTTP_QUERY_RAW_HEADERS_CRLF);
  EXPECT_EQ(query.bufferLength, 5000u);
  // Closed request first, then connection, then root.
  std::vector<HINTERNET> closed;
  for (const WinInetCall& call : recorder.calls) {
    if (call.operation == "InternetCloseHandle") closed.push_back(call.handle);
  }
  EXPECT_EQ(closed, (std::vector<HINTERNET>{request.result, connect.result, open.result}));
}

TEST_P(HttpRequestTest, ExtraHeadersAreNormalisedAndCompleted) {
  CallRecorder recorder;
  std::string url = Url("/echo");
  Bytes body = HttpRequest(url, {.extraHeaders = "x-my-header: 1\r\naccept: text/html"});
  EXPECT_EQ(
      recorder.First("HttpSendRequestA").headers,
      "X-My-Header: 1\r\nAccept: text/html\r\nReferer: " + url + "\r\nAccept-Language: zh-cn");
  EXPECT_TRUE(Has(body, "Accept: text/html\n")) << body.str();
  EXPECT_TRUE(Has(body, "X-My-Header: 1\n"));
}

struct AgentRow {
  const char* extraHeaders;
  bool normalize;
  const char* agent;
};

class UserAgentTest : public ::testing::TestWithParam<AgentRow> {};

TEST_P(UserAgentTest, AgentComesFromTheHeaderBlock) {
  CallRecorder recorder;
  const AgentRow& row = GetParam();
  HttpRequest("http://127.0.0.1:" + std::to_string(RefusedPort()) + "/",
              {.extraHeaders = row.extraHeaders, .normalizeHeaders = row.normalize});
  EXPECT_EQ(recorder.First("InternetOpenA").agent, row.agent);
  // The line itself is sent as well.
  EXPECT_NE(recorder.First("HttpSendRequestA").headers->find(":"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Table, UserAgentTest,
    ::testing::Values(AgentRow{"user-agent: X", true, "X"},
                      AgentRow{"User-Agent:   spaced  \r\nX-A: 1", true, "spaced"},
                      // Found case-insensitively, not extracted: the first value of the block.
                      AgentRow{"X-First: first\r\nUSER-AGENT: caps", true,
                               "first\r\nUSER-AGENT: caps"},
                      AgentRow{"user-agent: lower", false, "lower"},
                      AgentRow{"X-A: a", true, kDefaultUserAgent}));

TEST_P(HttpRequestTest, WithoutCompletionTheCookieLineFollowsAnEmptyLine) {
  CallRecorder recorder;
  Text cookies = "a=1; b=2";
  Bytes body = HttpRequest(Url("/echo"), {.cookies = &cookies, .completeHeaders = false});
  EXPECT_EQ(recorder.First("HttpSendRequestA").headers, "\r\nCookie: a=1; b=2");
  EXPECT_EQ(recorder.First("HttpOpenRequestA").flags & INTERNET_FLAG_NO_COOKIES,
            INTERNET_FLAG_NO_COOKIES);
  EXPECT_TRUE(Has(body, "Cookie: a=1; b=2\n")) << body.str();
  EXPECT_FALSE(Has(body, "Accept"));
}

TEST_P(HttpRequestTest, CookiesWrittenAsAHeaderLineAreSentAsTheyAre) {
  CallRecorder recorder;
  Text cookies = "Cookie: own=1";
  HttpRequest(Url("/echo"), {.cookies = &cookies});
  EXPECT_EQ(
      recorder.First("HttpSendRequestA").headers,
      "Accept: */*\r\nReferer: " + Url("/echo") + "\r\nAccept-Language: zh-cn\r\nCookie: own=1");
}

TEST_P(HttpRequestTest, PostTakesTheBodyTextIntoTheCallersBytes) {
  CallRecorder recorder;
  Bytes bodyBytes;
  Bytes body = HttpRequest(
      Url("/echo"), {.method = kMethodPost, .bodyText = "q=%E4&x=1", .bodyBytes = &bodyBytes});
  EXPECT_EQ(bodyBytes.str(), "q=%E4&x=1");
  EXPECT_TRUE(Has(body, "POST /echo\n")) << body.str();
  EXPECT_TRUE(Has(body, "Content-Type: application/x-www-form-urlencoded\n"));
  EXPECT_TRUE(Has(body, "\n\nq=%E4&x=1"));
  EXPECT_EQ(recorder.First("HttpSendRequestA").body, "q=%E4&x=1");
}

TEST_P(HttpRequestTest, GivenBytesWinOverTheTextAndPutGetsNoContentType) {
  Bytes bodyBytes(std::string("raw\0bytes", 9));
  Bytes body = HttpRequest(Url("/echo"),
                           {.method = kMethodPut, .bodyText = "ignored", .bodyBytes = &bodyBytes});
  EXPECT_TRUE(Has(body, "PUT /echo\n")) << body.str();
  EXPECT_FALSE(Has(body, "Content-Type"));
  EXPECT_TRUE(Has(body, std::string("\n\nraw\0bytes", 11)));
  EXPECT_EQ(bodyBytes.str(), std::string("raw\0bytes", 9));
}

TEST_P(HttpRequestTest, MethodTableAndOutOfRangeIndexes) {
  struct Row {
    int method;
    const char* verb;
  };
  for (Row row : {Row{9, "GET"}, Row{-1, "GET"}, Row{kMethodDelete, "DELETE"},
                  Row{kMethodOptions, "OPTIONS"}}) {
    CallRecorder recorder;
    Bytes body = HttpRequest(Url("/echo"), {.method = row.method});
    EXPECT_EQ(recorder.First("HttpOpenRequestA").verb, row.verb);
    EXPECT_TRUE(Has(body, std::string(row.verb) + " /echo\n")) << body.str();
  }
}

TEST_P(HttpRequestTest, SetCookieLinesAreCollected) {
  Text received = "stale";
  Text headers;
  HttpRequest(Url("/set"), {.receivedCookies = &received, .responseHeaders = &headers});
  EXPECT_EQ(received.str(), "a=1; b=2");
  EXPECT_NE(headers.str().find("\r\nSet-Cookie: a=1; path=/\r\n"), std::string::npos);
  EXPECT_EQ(headers.str().substr(headers.size() - 4), "\r\n\r\n");

  HttpRequest(Url("/echo"), {.receivedCookies = &received});
  EXPECT_EQ(received.str(), "");
}

TEST_P(HttpRequestTest, SuppliedCookiesAreMergedWithTheReceivedOnes) {
  Text cookies = "a=1; b=2";
  Text received;
  Bytes body = HttpRequest(Url("/set-one?c=b%3D3%3B%20Path%3D%2F"),
                           {.cookies = &cookies, .receivedCookies = &received});
  EXPECT_EQ(body.str(), "a=1; b=2");  // what the server got
  EXPECT_EQ(received.str(), "b=3; a=1");
  EXPECT_EQ(cookies.str(), "b=3; a=1");

  // Without merging, the received cookies stay as they came.
  Text kept = "a=1";
  HttpRequest(Url("/set-one?c=n%3D1"),
              {.cookies = &kept, .receivedCookies = &received, .mergeReceived = false});
  EXPECT_EQ(received.str(), "n=1");
  EXPECT_EQ(kept.str(), "a=1");
}

TEST_P(HttpRequestTest, EmptySuppliedCookiesTurnTheStoreOffAndStillMerge) {
  ForgetStoredCookies();
  HttpRequest(Url("/set-one?c=stored_x%3D1"));  // into the layer's store
  CallRecorder recorder;
  Text cookies;
  Text received;
  Bytes body =
      HttpRequest(Url("/set-one?c=fresh%3D2"), {.cookies = &cookies, .receivedCookies = &received});
  EXPECT_EQ(body.str(), "");  // no stored cookie, no cookie header
  EXPECT_EQ(recorder.First("HttpOpenRequestA").flags & INTERNET_FLAG_NO_COOKIES,
            INTERNET_FLAG_NO_COOKIES);
  EXPECT_EQ(recorder.First("HttpSendRequestA").headers->find("Cookie"), std::string::npos);
  EXPECT_EQ(cookies.str(), "fresh=2");
  EXPECT_EQ(received.str(), "fresh=2");
  // A cookie set on a call with supplied cookies is not stored.
  EXPECT_EQ(HttpRequest(Url("/set-one?c=z%3D0")).str(), "stored_x=1");
}

TEST_P(HttpRequestTest, RedirectsFollowedOrNot) {
  Text headers;
  Bytes followed = HttpRequest(Url("/redirect"), {.responseHeaders = &headers});
  EXPECT_TRUE(Has(followed, "GET /echo\n")) << followed.str();
  EXPECT_EQ(headers.str().rfind("HTTP/1.1 200", 0), 0u);

  Bytes notFollowed =
      HttpRequest(Url("/redirect"), {.responseHeaders = &headers, .noRedirect = true});
  EXPECT_EQ(notFollowed.str(), "redirect body");
  EXPECT_EQ(headers.str().rfind("HTTP/1.1 302", 0), 0u) << headers.str();
}

TEST_P(HttpRequestTest, RawHeadersBeyondTheBufferLeaveBlanksAndNoCookies) {
  Text headers;
  Text received = "before";
  Bytes body =
      HttpRequest(Url("/big-headers"), {.receivedCookies = &received, .responseHeaders = &headers});
  EXPECT_EQ(body.str(), "big");
  EXPECT_EQ(headers.str(), std::string(5000, ' '));
  EXPECT_EQ(received.str(), "");
}

TEST_P(HttpRequestTest, TenMebibyteBodyIsReadWhole) {
  Bytes body = HttpRequest(Url("/large"));
  ASSERT_EQ(body.size(), 10 * 1024 * 1024);
  EXPECT_EQ(body.str()[0], '0');
  EXPECT_EQ(body.str()[4096 * 13], '3');
  EXPECT_EQ(body.str().back(), 'L');
}

TEST(HttpRequestCookieStore, CookiesComeBackOnTheNextCallWithoutSuppliedCookies) {
  LocalHttpServer server(false);
  server.server().Get("/", [](const httplib::Request& req, httplib::Response& res) {
    if (req.has_param("set")) res.headers.emplace("Set-Cookie", "store_me=yes; Path=/");
    res.set_content(req.get_header_value("Cookie"), "text/plain");
  });
  server.Start();
  ForgetStoredCookies();
  HttpRequest(server.Origin() + "/?set=1");
  EXPECT_EQ(HttpRequest(server.Origin() + "/").str(), "store_me=yes");
  Text mine = "mine=1";
  EXPECT_EQ(HttpRequest(server.Origin() + "/", {.cookies = &mine}).str(), "mine=1");
}

TEST(HttpRequestWire, PlainHttpRequestIsExactlyTheseBytes) {
  RawServer server([](int fd, RawServer& self) {
    std::string request = ReadRequest(fd);
    if (request.empty()) return;
    self.Record(request);
    SendAll(fd, "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok");
  });
  ForgetStoredCookies();
  std::string origin = "http://127.0.0.1:" + std::to_string(server.port());
  EXPECT_EQ(HttpRequest(origin + kTurnQuery).str(), "ok");
  ASSERT_EQ(server.Records().size(), 1u);
  EXPECT_EQ(server.Records()[0],
            std::string("GET ") + kTurnQuery +
                " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(server.port()) +
                "\r\nUser-Agent: " + kDefaultUserAgent + "\r\nAccept: */*\r\nReferer: " + origin +
                kTurnQuery + "\r\nAccept-Language: zh-cn\r\n\r\n");
}

TEST(HttpRequestProxy, PlainUrlsGetAnHttpEntryAndSecureOnesTheProxyAsWritten) {
  auto proxy = StartRecordingProxy();
  std::string address = "127.0.0.1:" + std::to_string(proxy->port());
  {
    CallRecorder recorder;
    Bytes body = HttpRequest("http://127.0.0.1:9/p?q", {.proxy = address});
    EXPECT_EQ(body.str(), "via proxy: GET http://127.0.0.1:9/p?q HTTP/1.1");
    const WinInetCall& open = recorder.First("InternetOpenA");
    EXPECT_EQ(open.accessType, INTERNET_OPEN_TYPE_PROXY);
    EXPECT_EQ(open.proxy, "http=" + address);
    EXPECT_EQ(open.proxyBypass, "");
  }
  LocalHttpServer secure(true);
  secure.server().Get("/s", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("secure through the tunnel", "text/plain");
  });
  secure.Start();
  CallRecorder recorder;
  Bytes body = HttpRequest(secure.Origin() + "/s", {.proxy = address});
  EXPECT_EQ(body.str(), "secure through the tunnel");
  EXPECT_EQ(recorder.First("InternetOpenA").proxy, address);
  auto records = proxy->Records();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[1], "CONNECT 127.0.0.1:" + std::to_string(secure.port()) + " HTTP/1.1");
}

TEST(HttpRequestFailures, UnreachableServersGiveTheEmptyResultPromptly) {
  auto start = steady_clock::now();
  Text headers = "caller's";
  Text received = "caller's";
  Bytes body = HttpRequest("http://127.0.0.1:" + std::to_string(RefusedPort()) + "/x",
                           {.receivedCookies = &received, .responseHeaders = &headers});
  EXPECT_TRUE(body.empty());
  EXPECT_EQ(headers.str(), std::string(5000, ' '));
  EXPECT_EQ(received.str(), "");
  EXPECT_TRUE(HttpRequest("https://127.0.0.1:" + std::to_string(RefusedPort()) + "/").empty());
  EXPECT_TRUE(HttpRequest("https://bad host name/").empty());

  // A server that speaks no TLS on a secure URL.
  RawServer notTls([](int fd, RawServer&) {
    SendAll(fd, "HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\n\r\n");
  });
  EXPECT_TRUE(HttpRequest("https://127.0.0.1:" + std::to_string(notTls.port()) + "/").empty());
  EXPECT_LT(steady_clock::now() - start, milliseconds(3000));
}

TEST(HttpRequestFailures, StallingServerEndsAtAShortenedReceiveTimeout) {
  RawServer server([](int fd, RawServer& self) {
    ReadRequest(fd);
    SendAll(fd, "HTTP/1.1 200 OK\r\nContent-Length: 100\r\nSet-Cookie: s=1\r\n\r\npartial");
    self.WaitForStop(10000);
  });
  DWORD shortWait = 300;
  ASSERT_TRUE(InternetSetOptionA(nullptr, INTERNET_OPTION_RECEIVE_TIMEOUT, &shortWait, 4));
  auto start = steady_clock::now();
  Text received;
  Bytes body = HttpRequest("http://127.0.0.1:" + std::to_string(server.port()) + "/",
                           {.receivedCookies = &received});
  auto elapsed = steady_clock::now() - start;
  DWORD usual = 30000;
  InternetSetOptionA(nullptr, INTERNET_OPTION_RECEIVE_TIMEOUT, &usual, 4);
  EXPECT_LT(elapsed, milliseconds(3000));
  EXPECT_EQ(body.str(), "partial");
  EXPECT_EQ(received.str(), "s=1");
}

}  // namespace
