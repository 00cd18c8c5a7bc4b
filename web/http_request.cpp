// HttpRequest: completes the caller's headers, opens the three WinInet
// handles, sends, reads the body in 1024-byte pieces, queries the raw
// headers, closes every handle, then collects (and may merge) the cookies.
#include "web/http_request.h"

#include "platform/wininet.h"
#include "web/cookies.h"
#include "web/headers.h"
#include "web/url_parts.h"

namespace {

constexpr const char* kVerbs[] = {"GET",     "POST",   "HEAD",  "PUT",
                                  "OPTIONS", "DELETE", "TRACE", "CONNECT"};
constexpr DWORD kAllCertificateErrorsIgnored = 0x1F380;
constexpr int kReadPiece = 1024;
constexpr int kRawHeaderSpace = 5000;

bool Contains(const Text& block, const Text& sought) {
  return FindText(block, sought, 1, true) != -1;
}

Text UserAgentOf(const Text& block) {
  if (!Contains(block, "User-Agent:")) return kDefaultUserAgent;
  Text agent = TrimText(TextBetween(ConcatText(block, "\r\n"), "User-Agent:", "\r\n"));
  return agent.empty() ? HeaderValue(block) : agent;
}

Text CompletedHeaders(Text block, const Text& url, int method) {
  if (block.empty()) block = "Accept: */*";
  if (!Contains(block, "Accept:")) block = ConcatText(block, "\r\nAccept: */*");
  if (!Contains(block, "Referer:")) block = ConcatText(block, "\r\nReferer: ", url);
  if (!Contains(block, "Accept-Language:")) block = ConcatText(block, "\r\nAccept-Language: zh-cn");
  if (method == kMethodPost && !Contains(block, "Content-Type:")) {
    block = ConcatText(block, "\r\nContent-Type: application/x-www-form-urlencoded");
  }
  return block;
}

DWORD RequestFlags(bool cookiesSupplied, bool noRedirect, bool secure) {
  DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NEED_FILE;
  if (cookiesSupplied) flags |= INTERNET_FLAG_NO_COOKIES;
  if (noRedirect) flags |= INTERNET_FLAG_NO_AUTO_REDIRECT;
  flags |= secure ? INTERNET_FLAG_SECURE : INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS;
  return flags;
}

// The first pair of every "Set-Cookie" line, joined by "; ".
Text CollectCookies(const Text& rawHeaders) {
  std::string collected;
  TextArray lines = SplitText(rawHeaders, "\r\n");
  for (const Text& line : lines.items()) {
    if (TextLeftOfMarker(line, ": ") != Text("Set-Cookie")) continue;
    Text value = FindText(line, ";") != -1
                     ? TrimText(TextBetween(line, "Set-Cookie:", ";"))
                     : TrimText(ReplaceText(line, "Set-Cookie:", Text(), 1, std::nullopt, false));
    collected += value.str();
    collected += "; ";
  }
  Text joined(collected);
  return TextLeft(joined, TextLength(joined) - 2);
}

}  // namespace

Bytes HttpRequest(const Text& url, const HttpRequestOptions& options) {
  Text scratchCookies, scratchReceived, scratchHeaders;
  Bytes scratchBody;
  Text& receivedCookies = options.receivedCookies ? *options.receivedCookies : scratchReceived;
  Text& responseHeaders = options.responseHeaders ? *options.responseHeaders : scratchHeaders;
  Bytes& bodyBytes = options.bodyBytes ? *options.bodyBytes : scratchBody;
  bool cookiesSupplied = options.cookies != nullptr;
  Text& cookies = cookiesSupplied ? *options.cookies : scratchCookies;

  Text headers =
      options.normalizeHeaders ? NormalizeHeaderNames(options.extraHeaders) : options.extraHeaders;
  int method = (options.method < 0 || options.method > 7) ? kMethodGet : options.method;
  bool secure = ToLowerCase(TextLeft(url, 8)) == Text("https://");
  Text agent = UserAgentOf(headers);

  HINTERNET root;
  if (options.proxy.empty()) {
    root = InternetOpenA(agent.c_str(), INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  } else {
    Text proxy = secure ? options.proxy : ConcatText("http=", options.proxy);
    root = InternetOpenA(agent.c_str(), INTERNET_OPEN_TYPE_PROXY, proxy.c_str(), "", 0);
  }
  if (root == nullptr) return Bytes();
  Text host = UrlHost(url);
  HINTERNET connection =
      InternetConnectA(root, host.c_str(), static_cast<INTERNET_PORT>(UrlPort(url)), nullptr,
                       nullptr, INTERNET_SERVICE_HTTP, 0, 0);
  if (connection == nullptr) {
    InternetCloseHandle(root);
    return Bytes();
  }
  Text path = UrlPath(url);
  HINTERNET request =
      HttpOpenRequestA(connection, kVerbs[method], path.c_str(), "HTTP/1.1", nullptr, nullptr,
                       RequestFlags(cookiesSupplied, options.noRedirect, secure), 0);
  if (request == nullptr) {
    InternetCloseHandle(connection);
    InternetCloseHandle(root);
    return Bytes();
  }
  DWORD securityFlags = kAllCertificateErrorsIgnored;
  InternetSetOptionA(request, INTERNET_OPTION_SECURITY_FLAGS, &securityFlags,
                     sizeof(securityFlags));

  if (options.completeHeaders) headers = CompletedHeaders(headers, url, method);
  if (!cookies.empty()) {
    headers = FindText(cookies, "Cookie:") == -1 ? ConcatText(headers, "\r\nCookie: ", cookies)
                                                 : ConcatText(headers, "\r\n", cookies);
  }

  if (method == kMethodGet) {
    HttpSendRequestA(request, headers.c_str(), static_cast<DWORD>(TextLength(headers)), nullptr, 0);
  } else {
    if (bodyBytes.empty()) bodyBytes = TextToBytes(options.bodyText);
    HttpSendRequestA(request, headers.c_str(), static_cast<DWORD>(TextLength(headers)),
                     bodyBytes.empty() ? nullptr : BytesData(bodyBytes),
                     static_cast<DWORD>(BytesLength(bodyBytes)));
  }

  Bytes body;
  char piece[kReadPiece] = {};
  DWORD count = 0;
  do {
    count = 0;
    InternetReadFile(request, piece, kReadPiece, &count);
    if (count > kReadPiece) count = kReadPiece;  // never trust more than the piece holds
    body.str().append(piece, count);
  } while (count > 0);

  std::string rawHeaders(kRawHeaderSpace, ' ');
  DWORD length = kRawHeaderSpace;
  HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, rawHeaders.data(), &length, nullptr);
  responseHeaders = Text(rawHeaders.c_str());

  InternetCloseHandle(request);
  InternetCloseHandle(connection);
  InternetCloseHandle(root);

  receivedCookies = CollectCookies(responseHeaders);
  if (options.mergeReceived && cookiesSupplied) {
    receivedCookies = MergeCookies(cookies, receivedCookies);
  }
  return body;
}
