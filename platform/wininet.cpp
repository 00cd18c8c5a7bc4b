// The WinInet operations over libcurl. Each request runs on a multi handle of
// its own that the calling thread drives: HttpSendRequestA drives it until the
// final response's headers are in, InternetReadFile until some body bytes are
// waiting or the transfer ends. So the body streams through a small buffer
// instead of being held whole.
#include "platform/wininet.h"

#include <curl/curl.h>

#include <chrono>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr DWORD kNoLimit = 0xFFFFFFFF;
constexpr DWORD kDefaultConnectTimeoutMs = 60000;
constexpr DWORD kDefaultReceiveTimeoutMs = 30000;
constexpr long kMaxRedirects = 30;

// ---- Process-wide state ----

// Two caches of connections, TLS sessions and host names: one carries the
// cookie store, the other serves requests made with INTERNET_FLAG_NO_COOKIES,
// which must neither see nor feed that store.
struct SharedCache {
  CURLSH* share = nullptr;
  std::mutex locks[CURL_LOCK_DATA_LAST];
};

void LockShared(CURL*, curl_lock_data data, curl_lock_access, void* user) {
  static_cast<SharedCache*>(user)->locks[data].lock();
}

void UnlockShared(CURL*, curl_lock_data data, void* user) {
  static_cast<SharedCache*>(user)->locks[data].unlock();
}

void InitSharedCache(SharedCache& cache, bool withCookies) {
  cache.share = curl_share_init();
  curl_share_setopt(cache.share, CURLSHOPT_LOCKFUNC, LockShared);
  curl_share_setopt(cache.share, CURLSHOPT_UNLOCKFUNC, UnlockShared);
  curl_share_setopt(cache.share, CURLSHOPT_USERDATA, &cache);
  curl_share_setopt(cache.share, CURLSHOPT_SHARE, CURL_LOCK_DATA_CONNECT);
  curl_share_setopt(cache.share, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
  curl_share_setopt(cache.share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
  if (withCookies) curl_share_setopt(cache.share, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
}

struct Timeouts {
  DWORD connectMs = kDefaultConnectTimeoutMs;
  DWORD receiveMs = kDefaultReceiveTimeoutMs;
  DWORD sendMs = kDefaultReceiveTimeoutMs;
};

struct Process {
  SharedCache withCookies;
  SharedCache withoutCookies;
  std::mutex registryLock;
  Timeouts defaults;
  WinInetCallHook hook = nullptr;
  void* hookContext = nullptr;

  Process() {
    curl_global_init(CURL_GLOBAL_ALL);
    InitSharedCache(withCookies, true);
    InitSharedCache(withoutCookies, false);
  }
};

Process& TheProcess() {
  static Process* process = new Process();  // lives until the process ends
  return *process;
}

void Report(const WinInetCall& call) {
  Process& process = TheProcess();
  WinInetCallHook hook;
  void* context;
  {
    std::lock_guard<std::mutex> guard(process.registryLock);
    hook = process.hook;
    context = process.hookContext;
  }
  if (hook != nullptr) hook(call, context);
}

WinInetCall NewCall(const char* operation, HINTERNET handle) {
  WinInetCall call;
  call.operation = operation;
  call.handle = handle;
  return call;
}

std::optional<std::string> Optional(LPCSTR text) {
  if (text == nullptr) return std::nullopt;
  return std::string(text);
}

// ---- Byte rules ----

bool IsAsciiLetter(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsAsciiDigit(unsigned char c) {
  return c >= '0' && c <= '9';
}

unsigned char AsciiLower(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? c + 0x20 : c;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         EqualsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

// A byte that may stand in a token (a header name, a verb): visible ASCII.
bool IsTokenByte(unsigned char c) {
  return c > 0x20 && c < 0x7F;
}

// Host names are handed to the resolver in a URL: only the bytes of plain
// names and addresses, so that no other URL part can be smuggled in.
bool IsPlainHostName(std::string_view host) {
  if (host.empty()) return false;
  for (unsigned char c : host) {
    if (!IsAsciiLetter(c) && !IsAsciiDigit(c) && c != '-' && c != '.' && c != '_') return false;
  }
  return true;
}

// The object name as it goes on the request line: bytes that cannot stand
// there raw are percent-escaped, and a fragment is not sent.
std::string RequestTarget(std::string_view objectName) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string target;
  if (objectName.empty() || objectName[0] != '/') target.push_back('/');
  for (unsigned char c : objectName) {
    if (c == '#') break;
    if (c <= 0x20 || c >= 0x7F) {
      target.push_back('%');
      target.push_back(kHex[c >> 4]);
      target.push_back(kHex[c & 0x0F]);
    } else {
      target.push_back(static_cast<char>(c));
    }
  }
  return target;
}

// ---- Handles ----

enum class Kind { Root, Connect, Request };

struct Handle {
  explicit Handle(Kind k) : kind(k) {}
  virtual ~Handle() = default;
  Kind kind;
  uintptr_t id = 0;
  uintptr_t parent = 0;
  Timeouts timeouts;
};

// What InternetOpenA sets up; every handle below the root carries a copy.
struct Session {
  std::string agent;
  DWORD accessType = INTERNET_OPEN_TYPE_DIRECT;
  std::string proxy;  // the WinInet proxy list as given
};

struct RootHandle : Handle {
  RootHandle() : Handle(Kind::Root) {}
  Session session;
};

struct ConnectHandle : Handle {
  ConnectHandle() : Handle(Kind::Connect) {}
  Session session;
  std::string serverName;
  INTERNET_PORT port = 0;
};

struct RequestHandle : Handle {
  RequestHandle() : Handle(Kind::Request) {}
  ~RequestHandle() override { EndTransfer(); }

  // From the handles above and the open.
  Session session;
  std::string serverName, verb, objectName;
  INTERNET_PORT port = 0;
  DWORD flags = 0;
  DWORD securityFlags = 0;

  // The transfer.
  CURLM* multi = nullptr;
  CURL* easy = nullptr;
  curl_slist* headerList = nullptr;
  bool sent = false, done = false, failed = false, connected = false;
  bool following = false;
  std::string pending;  // body bytes received and not yet handed out
  size_t pendingOffset = 0;
  std::vector<std::string> blockLines;  // the header block being received
  std::string rawHeaders;               // the latest complete header block
  int status = 0;
  bool haveHeaders = false, headersFinal = false;
  Clock::time_point lastActivity;
  curl_off_t uploaded = 0;

  void EndTransfer() {
    if (easy != nullptr) {
      if (multi != nullptr) curl_multi_remove_handle(multi, easy);
      curl_easy_cleanup(easy);
      easy = nullptr;
    }
    if (multi != nullptr) {
      curl_multi_cleanup(multi);
      multi = nullptr;
    }
    curl_slist_free_all(headerList);
    headerList = nullptr;
  }
};

std::map<uintptr_t, std::unique_ptr<Handle>>& Registry() {
  static auto* registry = new std::map<uintptr_t, std::unique_ptr<Handle>>();
  return *registry;
}

HINTERNET Register(std::unique_ptr<Handle> handle) {
  // Handle values are never reused, so a closed handle stays invalid.
  static uintptr_t nextId = 0x10000;
  std::lock_guard<std::mutex> guard(TheProcess().registryLock);
  handle->id = nextId;
  nextId += 0x10;
  HINTERNET value = reinterpret_cast<HINTERNET>(handle->id);
  Registry()[handle->id] = std::move(handle);
  return value;
}

Handle* Lookup(HINTERNET value) {
  std::lock_guard<std::mutex> guard(TheProcess().registryLock);
  auto it = Registry().find(reinterpret_cast<uintptr_t>(value));
  return it == Registry().end() ? nullptr : it->second.get();
}

template <class Derived>
Derived* LookupKind(HINTERNET value, Kind kind) {
  Handle* handle = Lookup(value);
  if (handle == nullptr || handle->kind != kind) return nullptr;
  return static_cast<Derived*>(handle);
}

// ---- Proxies ----

// The proxy a request of the given scheme goes through, as a curl proxy URL,
// or empty for a direct connection. A WinInet proxy list holds entries
// separated by blanks or semicolons: "scheme=host:port" serves that scheme
// only, a plain "host:port" every scheme without an entry of its own.
std::string ProxyFor(const RequestHandle& request, bool secure) {
  if (request.session.accessType != INTERNET_OPEN_TYPE_PROXY) return "";
  std::string_view scheme = secure ? "https" : "http";
  std::string forScheme, forAll;
  std::string_view list = request.session.proxy;
  size_t i = 0;
  while (i < list.size()) {
    while (i < list.size() && (list[i] == ' ' || list[i] == ';')) ++i;
    size_t end = i;
    while (end < list.size() && list[end] != ' ' && list[end] != ';') ++end;
    std::string_view entry = list.substr(i, end - i);
    i = end;
    if (entry.empty()) continue;
    size_t equals = entry.find('=');
    if (equals == std::string_view::npos) {
      if (forAll.empty()) forAll = std::string(entry);
    } else if (EqualsIgnoringAsciiCase(entry.substr(0, equals), scheme)) {
      if (forScheme.empty()) forScheme = std::string(entry.substr(equals + 1));
    }
  }
  std::string address = forScheme.empty() ? forAll : forScheme;
  if (address.empty()) return "";
  if (address.find("://") == std::string::npos) address = "http://" + address;
  return address;
}

// ---- Transfer callbacks ----

void CompleteHeaderBlock(RequestHandle& request) {
  const std::string& statusLine = request.blockLines.front();
  size_t space = statusLine.find(' ');
  int status = 0;
  for (size_t i = space == std::string::npos ? statusLine.size() : space + 1;
       i < statusLine.size() && IsAsciiDigit(statusLine[i]); ++i) {
    status = status * 10 + (statusLine[i] - '0');
    if (status > 999) break;
  }
  bool hasLocation = false;
  std::string raw;
  for (const std::string& line : request.blockLines) {
    if (StartsWithIgnoringAsciiCase(line, "location:")) hasLocation = true;
    raw += line;
    raw += "\r\n";
  }
  raw += "\r\n";
  request.blockLines.clear();
  // An interim response, or a redirect that curl goes on to follow, is not
  // the response the caller reads.
  if (status >= 100 && status < 200) return;
  request.rawHeaders = std::move(raw);
  request.status = status;
  request.haveHeaders = true;
  request.headersFinal = !(request.following && status >= 300 && status < 400 && hasLocation);
}

size_t OnHeaderLine(char* data, size_t size, size_t count, void* user) {
  auto& request = *static_cast<RequestHandle*>(user);
  size_t length = size * count;
  request.lastActivity = Clock::now();
  std::string_view line(data, length);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  if (line.substr(0, 5) == "HTTP/") {
    request.blockLines.assign(1, std::string(line));
  } else if (line.empty()) {
    if (!request.blockLines.empty()) CompleteHeaderBlock(request);
  } else if (!request.blockLines.empty()) {
    request.blockLines.emplace_back(line);
  }
  return length;
}

size_t OnBodyBytes(char* data, size_t size, size_t count, void* user) {
  auto& request = *static_cast<RequestHandle*>(user);
  size_t length = size * count;
  request.lastActivity = Clock::now();
  // The body of a redirect that is being followed is not the caller's.
  if (request.headersFinal) request.pending.append(data, length);
  return length;
}

int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t uploaded) {
  auto& request = *static_cast<RequestHandle*>(user);
  if (uploaded != request.uploaded) {
    request.uploaded = uploaded;
    request.lastActivity = Clock::now();
  }
  return 0;
}

// Called once the connection stands (or is reused): from here on, waiting
// for data counts against the receive time-out.
int OnConnected(void* user, char*, char*, int, int) {
  auto& request = *static_cast<RequestHandle*>(user);
  request.connected = true;
  request.lastActivity = Clock::now();
  return CURL_PREREQFUNC_OK;
}

// ---- Setting a transfer up ----

struct HeaderLines {
  std::vector<std::string> lines;
  bool hasAccept = false, hasContentType = false, hasExpect = false;
};

// Splits the caller's block into header lines. Any line break ends a line,
// so no line can carry a second header inside it. Lines that are no headers
// (without a colon, or with a name that is not a token) are not sent.
HeaderLines ParseHeaderBlock(std::string_view block) {
  HeaderLines result;
  size_t i = 0;
  while (i <= block.size()) {
    size_t end = i;
    while (end < block.size() && block[end] != '\r' && block[end] != '\n') ++end;
    std::string_view line = block.substr(i, end - i);
    i = end + 1;
    if (end < block.size() && block[end] == '\r' && end + 1 < block.size() &&
        block[end + 1] == '\n') {
      ++i;
    }
    size_t colon = line.find(':');
    if (colon == std::string_view::npos || colon == 0) continue;
    std::string_view name = line.substr(0, colon);
    bool token = true;
    for (unsigned char c : name) token = token && IsTokenByte(c);
    if (!token) continue;
    std::string_view value = line.substr(colon + 1);
    bool blankValue = true;
    for (char c : value) blankValue = blankValue && (c == ' ' || c == '\t');
    // curl drops "Name:" with nothing behind it; "Name;" sends it empty.
    result.lines.push_back(blankValue ? std::string(name) + ";" : std::string(line));
    if (EqualsIgnoringAsciiCase(name, "Accept")) result.hasAccept = true;
    if (EqualsIgnoringAsciiCase(name, "Content-Type")) result.hasContentType = true;
    if (EqualsIgnoringAsciiCase(name, "Expect")) result.hasExpect = true;
  }
  return result;
}

// Only the caller's headers go out: curl's own defaults are taken back.
curl_slist* BuildHeaderList(std::string_view block) {
  HeaderLines parsed = ParseHeaderBlock(block);
  curl_slist* list = nullptr;
  for (const std::string& line : parsed.lines) list = curl_slist_append(list, line.c_str());
  if (!parsed.hasAccept) list = curl_slist_append(list, "Accept:");
  if (!parsed.hasContentType) list = curl_slist_append(list, "Content-Type:");
  if (!parsed.hasExpect) list = curl_slist_append(list, "Expect:");
  return list;
}

long TimeoutForCurl(DWORD ms) {
  if (ms == 0 || ms == kNoLimit) return 0x7FFFFFFF;
  return static_cast<long>(ms > 0x7FFFFFFF ? 0x7FFFFFFF : ms);
}

void SetVerbAndBody(CURL* easy, const std::string& verb, const void* body, DWORD bodyLength) {
  bool hasBody = body != nullptr && bodyLength > 0;
  auto setBody = [&] {
    curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE,
                     static_cast<curl_off_t>(hasBody ? bodyLength : 0));
    curl_easy_setopt(easy, CURLOPT_COPYPOSTFIELDS, hasBody ? static_cast<const char*>(body) : "");
  };
  if (verb == "GET" && !hasBody) {
    curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
  } else if (verb == "HEAD") {
    curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
  } else if (verb == "POST") {
    setBody();  // a plain POST, so that a 301/302/303 turns it into a GET
  } else {
    if (hasBody || verb == "PUT") setBody();
    curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, verb.c_str());
  }
}

bool StartTransfer(RequestHandle& request, std::string_view headerBlock, const void* body,
                   DWORD bodyLength) {
  bool secure = (request.flags & INTERNET_FLAG_SECURE) != 0;
  if (!IsPlainHostName(request.serverName)) return false;
  INTERNET_PORT port = request.port;
  if (port == INTERNET_INVALID_PORT_NUMBER) {
    port = secure ? INTERNET_DEFAULT_HTTPS_PORT : INTERNET_DEFAULT_HTTP_PORT;
  }
  std::string url = std::string(secure ? "https://" : "http://") + request.serverName + ":" +
                    std::to_string(port) + RequestTarget(request.objectName);

  bool cookies = (request.flags & INTERNET_FLAG_NO_COOKIES) == 0;
  Process& process = TheProcess();
  request.multi = curl_multi_init();
  request.easy = curl_easy_init();
  if (request.multi == nullptr || request.easy == nullptr) return false;
  CURL* easy = request.easy;
  curl_easy_setopt(easy, CURLOPT_SHARE,
                   cookies ? process.withCookies.share : process.withoutCookies.share);
  if (cookies) curl_easy_setopt(easy, CURLOPT_COOKIEFILE, "");  // the engine, no file
  curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
  curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy, CURLOPT_PATH_AS_IS, 1L);
  curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
  // An explicit proxy, or none at all: the environment's proxy settings are
  // not this layer's.
  std::string proxy = ProxyFor(request, secure);
  curl_easy_setopt(easy, CURLOPT_PROXY, proxy.c_str());
  curl_easy_setopt(easy, CURLOPT_NOPROXY, "");
  curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
  if (!request.session.agent.empty())
    curl_easy_setopt(easy, CURLOPT_USERAGENT, request.session.agent.c_str());
  request.headerList = BuildHeaderList(headerBlock);
  curl_easy_setopt(easy, CURLOPT_HTTPHEADER, request.headerList);
  // The body comes as the server sent it; chunked framing is still undone.
  curl_easy_setopt(easy, CURLOPT_HTTP_CONTENT_DECODING, 0L);

  request.following = (request.flags & INTERNET_FLAG_NO_AUTO_REDIRECT) == 0;
  if (request.following) {
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, kMaxRedirects);
    DWORD both = request.flags | request.securityFlags;
    bool toOther = secure ? (both & INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTP) != 0
                          : (both & INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS) != 0;
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR,
                     toOther ? "http,https" : (secure ? "https" : "http"));
  }

  bool anyCa = (request.securityFlags & SECURITY_FLAG_IGNORE_UNKNOWN_CA) != 0;
  bool anyName = (request.securityFlags & SECURITY_FLAG_IGNORE_CERT_CN_INVALID) != 0;
  curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, anyCa ? 0L : 1L);
  curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, anyName ? 0L : 2L);
  curl_easy_setopt(easy, CURLOPT_PROXY_SSL_VERIFYPEER, anyCa ? 0L : 1L);
  curl_easy_setopt(easy, CURLOPT_PROXY_SSL_VERIFYHOST, anyName ? 0L : 2L);

  curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, TimeoutForCurl(request.timeouts.connectMs));
  curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, OnHeaderLine);
  curl_easy_setopt(easy, CURLOPT_HEADERDATA, &request);
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, OnBodyBytes);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, &request);
  curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, OnProgress);
  curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &request);
  curl_easy_setopt(easy, CURLOPT_PREREQFUNCTION, OnConnected);
  curl_easy_setopt(easy, CURLOPT_PREREQDATA, &request);
  SetVerbAndBody(easy, request.verb, body, bodyLength);

  request.lastActivity = Clock::now();
  return curl_multi_add_handle(request.multi, easy) == CURLM_OK;
}

bool PendingBytes(const RequestHandle& request) {
  return request.pendingOffset < request.pending.size();
}

// How long the transfer may go without any byte moving once connected.
DWORD ReceiveTimeoutMs(const RequestHandle& request) {
  DWORD limit = request.timeouts.receiveMs;
  return limit == 0 ? kNoLimit : limit;
}

void Fail(RequestHandle& request) {
  request.done = true;
  request.failed = true;
}

// Runs the transfer until the wanted state is reached or the transfer ends.
void Drive(RequestHandle& request, bool untilHeaders) {
  auto reached = [&] { return untilHeaders ? request.headersFinal : PendingBytes(request); };
  while (!request.done && !reached()) {
    int running = 0;
    if (curl_multi_perform(request.multi, &running) != CURLM_OK) {
      Fail(request);
      break;
    }
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(request.multi, &queued)) {
      if (message->msg == CURLMSG_DONE) {
        request.done = true;
        request.failed = message->data.result != CURLE_OK;
      }
    }
    if (request.done || reached()) break;
    DWORD limit = ReceiveTimeoutMs(request);
    if (request.connected && limit != kNoLimit &&
        Clock::now() - request.lastActivity > std::chrono::milliseconds(limit)) {
      Fail(request);
      break;
    }
    curl_multi_poll(request.multi, nullptr, 0, 100, nullptr);
  }
  // A transfer that ended is returned to the cache right away, so its
  // connection can serve the next request.
  if (request.done && request.easy != nullptr) {
    curl_multi_remove_handle(request.multi, request.easy);
    curl_easy_cleanup(request.easy);
    request.easy = nullptr;
  }
}

BOOL SetTimeout(Timeouts& timeouts, DWORD option, DWORD value) {
  switch (option) {
    case INTERNET_OPTION_CONNECT_TIMEOUT:
      timeouts.connectMs = value;
      return 1;
    case INTERNET_OPTION_RECEIVE_TIMEOUT:
      timeouts.receiveMs = value;
      return 1;
    case INTERNET_OPTION_SEND_TIMEOUT:
      timeouts.sendMs = value;
      return 1;
    default:
      return 0;
  }
}

void CloseTree(uintptr_t id, std::vector<std::unique_ptr<Handle>>& closed) {
  auto& registry = Registry();
  auto it = registry.find(id);
  if (it == registry.end()) return;
  closed.push_back(std::move(it->second));
  registry.erase(it);
  std::vector<uintptr_t> children;
  for (auto& [childId, child] : registry) {
    if (child->parent == id) children.push_back(childId);
  }
  for (uintptr_t child : children) CloseTree(child, closed);
}

}  // namespace

HINTERNET InternetOpenA(LPCSTR agent, DWORD accessType, LPCSTR proxy, LPCSTR proxyBypass,
                        DWORD flags) {
  WinInetCall call = NewCall("InternetOpenA", nullptr);
  call.agent = Optional(agent);
  call.proxy = Optional(proxy);
  call.proxyBypass = Optional(proxyBypass);
  call.accessType = accessType;
  call.flags = flags;
  HINTERNET result = nullptr;
  if (accessType == INTERNET_OPEN_TYPE_DIRECT || accessType == INTERNET_OPEN_TYPE_PRECONFIG ||
      (accessType == INTERNET_OPEN_TYPE_PROXY && proxy != nullptr && proxy[0] != '\0')) {
    auto root = std::make_unique<RootHandle>();
    // The agent goes out as one header line: it ends at any line break.
    std::string& rootAgent = root->session.agent;
    rootAgent = agent == nullptr ? "" : agent;
    rootAgent = rootAgent.substr(0, rootAgent.find_first_of("\r\n"));
    root->session.accessType = accessType;
    root->session.proxy = proxy == nullptr ? "" : proxy;
    {
      std::lock_guard<std::mutex> guard(TheProcess().registryLock);
      root->timeouts = TheProcess().defaults;
    }
    result = Register(std::move(root));
  }
  call.result = result;
  call.succeeded = result != nullptr;
  Report(call);
  return result;
}

HINTERNET InternetConnectA(HINTERNET internet, LPCSTR serverName, INTERNET_PORT serverPort,
                           LPCSTR userName, LPCSTR password, DWORD service, DWORD flags,
                           DWORD_PTR context) {
  (void)userName;
  (void)password;
  (void)context;
  WinInetCall call = NewCall("InternetConnectA", internet);
  call.serverName = Optional(serverName);
  call.port = serverPort;
  call.service = service;
  call.flags = flags;
  HINTERNET result = nullptr;
  auto* root = LookupKind<RootHandle>(internet, Kind::Root);
  if (root != nullptr && serverName != nullptr && service == INTERNET_SERVICE_HTTP) {
    auto connect = std::make_unique<ConnectHandle>();
    connect->parent = root->id;
    connect->timeouts = root->timeouts;
    connect->session = root->session;
    connect->serverName = serverName;
    connect->port = serverPort;
    result = Register(std::move(connect));
  }
  call.result = result;
  call.succeeded = result != nullptr;
  Report(call);
  return result;
}

HINTERNET HttpOpenRequestA(HINTERNET connect, LPCSTR verb, LPCSTR objectName, LPCSTR version,
                           LPCSTR referrer, LPCSTR* acceptTypes, DWORD flags, DWORD_PTR context) {
  (void)referrer;
  (void)acceptTypes;
  (void)context;
  WinInetCall call = NewCall("HttpOpenRequestA", connect);
  call.verb = Optional(verb);
  call.objectName = Optional(objectName);
  call.version = Optional(version);
  call.flags = flags;
  HINTERNET result = nullptr;
  std::string verbText = (verb == nullptr || verb[0] == '\0') ? "GET" : verb;
  bool verbIsToken = true;
  for (unsigned char c : verbText) verbIsToken = verbIsToken && IsTokenByte(c);
  auto* parent = LookupKind<ConnectHandle>(connect, Kind::Connect);
  if (parent != nullptr && verbIsToken) {
    auto request = std::make_unique<RequestHandle>();
    request->parent = parent->id;
    request->timeouts = parent->timeouts;
    request->session = parent->session;
    request->serverName = parent->serverName;
    request->port = parent->port;
    request->verb = verbText;
    request->objectName = objectName == nullptr ? "/" : objectName;
    request->flags = flags;
    result = Register(std::move(request));
  }
  call.result = result;
  call.succeeded = result != nullptr;
  Report(call);
  return result;
}

BOOL InternetSetOptionA(HINTERNET internet, DWORD option, LPVOID buffer, DWORD bufferLength) {
  WinInetCall call = NewCall("InternetSetOptionA", internet);
  call.option = option;
  call.optionLength = bufferLength;
  DWORD value = 0;
  bool haveValue = buffer != nullptr && bufferLength >= sizeof(DWORD);
  if (haveValue) std::memcpy(&value, buffer, sizeof(DWORD));
  call.optionValue = value;
  BOOL ok = 0;
  Process& process = TheProcess();
  if (internet == nullptr) {
    if (option == INTERNET_OPTION_END_BROWSER_SESSION) {
      CURL* easy = curl_easy_init();
      if (easy != nullptr) {
        curl_easy_setopt(easy, CURLOPT_SHARE, process.withCookies.share);
        curl_easy_setopt(easy, CURLOPT_COOKIELIST, "ALL");
        curl_easy_cleanup(easy);
        ok = 1;
      }
    } else if (haveValue) {
      std::lock_guard<std::mutex> guard(process.registryLock);
      ok = SetTimeout(process.defaults, option, value);
    }
  } else if (Handle* handle = Lookup(internet); handle != nullptr && haveValue) {
    ok = SetTimeout(handle->timeouts, option, value);
    if (option == INTERNET_OPTION_SECURITY_FLAGS && handle->kind == Kind::Request) {
      static_cast<RequestHandle*>(handle)->securityFlags = value;
      ok = 1;
    }
  }
  call.succeeded = ok;
  Report(call);
  return ok;
}

BOOL HttpSendRequestA(HINTERNET request, LPCSTR headers, DWORD headersLength, LPVOID optional,
                      DWORD optionalLength) {
  WinInetCall call = NewCall("HttpSendRequestA", request);
  std::string_view block;
  if (headers != nullptr) {
    block = headersLength == kNoLimit ? std::string_view(headers)
                                      : std::string_view(headers, headersLength);
    call.headers = std::string(block);
  }
  if (optional != nullptr)
    call.body = std::string(static_cast<const char*>(optional), optionalLength);
  call.bufferLength = optionalLength;
  BOOL ok = 0;
  if (auto* r = LookupKind<RequestHandle>(request, Kind::Request)) {
    // A request sent again starts over.
    r->EndTransfer();
    r->done = r->failed = r->connected = r->haveHeaders = r->headersFinal = false;
    r->pending.clear();
    r->pendingOffset = 0;
    r->blockLines.clear();
    r->rawHeaders.clear();
    r->status = 0;
    r->uploaded = 0;
    r->sent = true;
    if (StartTransfer(*r, block, optional, optionalLength)) {
      Drive(*r, true);
    } else {
      Fail(*r);
    }
    ok = r->headersFinal || (r->haveHeaders && r->done && !r->failed);
  }
  call.succeeded = ok;
  Report(call);
  return ok;
}

BOOL InternetReadFile(HINTERNET file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead) {
  WinInetCall call = NewCall("InternetReadFile", file);
  call.bufferLength = bytesToRead;
  BOOL ok = 0;
  DWORD count = 0;
  auto* r = LookupKind<RequestHandle>(file, Kind::Request);
  if (r != nullptr && r->sent && bytesRead != nullptr && (buffer != nullptr || bytesToRead == 0)) {
    if (!PendingBytes(*r) && !r->done) Drive(*r, false);
    size_t available = r->pending.size() - r->pendingOffset;
    count = static_cast<DWORD>(available < bytesToRead ? available : bytesToRead);
    if (count > 0) {
      std::memcpy(buffer, r->pending.data() + r->pendingOffset, count);
      r->pendingOffset += count;
      if (r->pendingOffset == r->pending.size()) {
        r->pending.clear();
        r->pendingOffset = 0;
      }
    }
    // Bytes that arrived before a failure are still handed out; the failure
    // shows once they are gone.
    ok = count > 0 || bytesToRead == 0 || !r->failed;
  }
  if (bytesRead != nullptr) *bytesRead = count;
  call.succeeded = ok;
  Report(call);
  return ok;
}

BOOL HttpQueryInfoA(HINTERNET request, DWORD infoLevel, LPVOID buffer, LPDWORD bufferLength,
                    LPDWORD index) {
  (void)index;
  WinInetCall call = NewCall("HttpQueryInfoA", request);
  call.infoLevel = infoLevel;
  call.bufferLength = bufferLength == nullptr ? 0 : *bufferLength;
  BOOL ok = 0;
  auto* r = LookupKind<RequestHandle>(request, Kind::Request);
  if (r != nullptr && r->haveHeaders && bufferLength != nullptr) {
    DWORD level = infoLevel & 0xFFFF;
    bool asNumber = (infoLevel & HTTP_QUERY_FLAG_NUMBER) != 0;
    if (level == HTTP_QUERY_STATUS_CODE && asNumber) {
      DWORD status = static_cast<DWORD>(r->status);
      if (buffer != nullptr && *bufferLength >= sizeof(DWORD)) {
        std::memcpy(buffer, &status, sizeof(DWORD));
        ok = 1;
      }
      *bufferLength = sizeof(DWORD);
    } else if (level == HTTP_QUERY_STATUS_CODE || level == HTTP_QUERY_RAW_HEADERS_CRLF) {
      std::string text =
          level == HTTP_QUERY_STATUS_CODE ? std::to_string(r->status) : r->rawHeaders;
      DWORD needed = static_cast<DWORD>(text.size() + 1);
      if (buffer != nullptr && *bufferLength >= needed) {
        std::memcpy(buffer, text.c_str(), needed);
        *bufferLength = needed - 1;
        ok = 1;
      } else {
        *bufferLength = needed;
      }
    }
  }
  call.succeeded = ok;
  Report(call);
  return ok;
}

BOOL InternetCloseHandle(HINTERNET internet) {
  WinInetCall call = NewCall("InternetCloseHandle", internet);
  std::vector<std::unique_ptr<Handle>> closed;
  {
    std::lock_guard<std::mutex> guard(TheProcess().registryLock);
    CloseTree(reinterpret_cast<uintptr_t>(internet), closed);
  }
  BOOL ok = closed.empty() ? 0 : 1;
  closed.clear();  // transfers end outside the lock
  call.succeeded = ok;
  Report(call);
  return ok;
}

void SetWinInetCallHook(WinInetCallHook hook, void* context) {
  Process& process = TheProcess();
  std::lock_guard<std::mutex> guard(process.registryLock);
  process.hook = hook;
  process.hookContext = context;
}
