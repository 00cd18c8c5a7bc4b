// The Windows Internet functions the client calls, under their Windows names,
// carried out synchronously over libcurl.
//
// Handles form a tree: a root handle from InternetOpenA, connection handles
// under it, request handles under those. Closing a handle closes the handles
// below it. Every operation checks its handle first and fails on a null,
// closed or wrong kind of handle.
//
// Connections, TLS sessions and host names are kept across calls in a
// process-wide cache, so a second request to the same server reuses the
// connection. Cookies the servers set live in a process-wide store in memory
// (never written to disk) and are sent back on later requests, unless a
// request carries INTERNET_FLAG_NO_COOKIES.
#pragma once

#include <optional>
#include <string>

#include "platform/windows_types.h"

using HINTERNET = void*;
using INTERNET_PORT = uint16_t;
using LPCSTR = const char*;
using LPVOID = void*;
using LPDWORD = DWORD*;
using DWORD_PTR = uintptr_t;

// Access types of InternetOpenA.
inline constexpr DWORD INTERNET_OPEN_TYPE_PRECONFIG = 0;  // taken as direct
inline constexpr DWORD INTERNET_OPEN_TYPE_DIRECT = 1;
inline constexpr DWORD INTERNET_OPEN_TYPE_PROXY = 3;

// Services and ports of InternetConnectA. Port 0 means the default port of
// the request's scheme (80, or 443 for a secure request).
inline constexpr DWORD INTERNET_SERVICE_HTTP = 3;
inline constexpr INTERNET_PORT INTERNET_INVALID_PORT_NUMBER = 0;
inline constexpr INTERNET_PORT INTERNET_DEFAULT_HTTP_PORT = 80;
inline constexpr INTERNET_PORT INTERNET_DEFAULT_HTTPS_PORT = 443;

// Request flags of HttpOpenRequestA.
inline constexpr DWORD INTERNET_FLAG_RELOAD = 0x80000000;  // no cache here: nothing to do
inline constexpr DWORD INTERNET_FLAG_NO_AUTO_REDIRECT = 0x00200000;
inline constexpr DWORD INTERNET_FLAG_SECURE = 0x00800000;
inline constexpr DWORD INTERNET_FLAG_NO_COOKIES = 0x00080000;
inline constexpr DWORD INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTP = 0x00008000;
inline constexpr DWORD INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS = 0x00004000;
inline constexpr DWORD INTERNET_FLAG_NEED_FILE = 0x00000010;  // no cache here: nothing to do

// Options of InternetSetOptionA. The time-outs are milliseconds; 0 and
// 0xFFFFFFFF mean no limit. The receive time-out bounds any wait in which no
// byte moves either way once connected; the send time-out is kept but has
// nothing of its own to bound. Set on a null handle they become the defaults
// of root handles opened later; set on a handle they hold for that handle and
// the handles opened under it afterwards.
inline constexpr DWORD INTERNET_OPTION_CONNECT_TIMEOUT = 2;
inline constexpr DWORD INTERNET_OPTION_SEND_TIMEOUT = 5;
inline constexpr DWORD INTERNET_OPTION_RECEIVE_TIMEOUT = 6;
inline constexpr DWORD INTERNET_OPTION_SECURITY_FLAGS = 31;
// On a null handle: forgets every cookie of the process-wide store.
inline constexpr DWORD INTERNET_OPTION_END_BROWSER_SESSION = 42;

// Security flags (INTERNET_OPTION_SECURITY_FLAGS) that relax certificate
// checks. UNKNOWN_CA accepts a certificate that no trusted authority signed
// (and with it one out of date or of the wrong usage), CERT_CN_INVALID one
// issued for another host name. Revocation is never checked here.
inline constexpr DWORD SECURITY_FLAG_IGNORE_REVOCATION = 0x00000080;
inline constexpr DWORD SECURITY_FLAG_IGNORE_UNKNOWN_CA = 0x00000100;
inline constexpr DWORD SECURITY_FLAG_IGNORE_WRONG_USAGE = 0x00000200;
inline constexpr DWORD SECURITY_FLAG_IGNORE_CERT_CN_INVALID = 0x00001000;
inline constexpr DWORD SECURITY_FLAG_IGNORE_CERT_DATE_INVALID = 0x00002000;
inline constexpr DWORD SECURITY_FLAG_IGNORE_REDIRECT_TO_HTTPS = 0x00004000;
inline constexpr DWORD SECURITY_FLAG_IGNORE_REDIRECT_TO_HTTP = 0x00008000;

// Information levels of HttpQueryInfoA.
inline constexpr DWORD HTTP_QUERY_STATUS_CODE = 19;
inline constexpr DWORD HTTP_QUERY_RAW_HEADERS_CRLF = 22;
inline constexpr DWORD HTTP_QUERY_FLAG_NUMBER = 0x20000000;

HINTERNET InternetOpenA(LPCSTR agent, DWORD accessType, LPCSTR proxy, LPCSTR proxyBypass,
                        DWORD flags);
HINTERNET InternetConnectA(HINTERNET internet, LPCSTR serverName, INTERNET_PORT serverPort,
                           LPCSTR userName, LPCSTR password, DWORD service, DWORD flags,
                           DWORD_PTR context);
HINTERNET HttpOpenRequestA(HINTERNET connect, LPCSTR verb, LPCSTR objectName, LPCSTR version,
                           LPCSTR referrer, LPCSTR* acceptTypes, DWORD flags, DWORD_PTR context);
BOOL InternetSetOptionA(HINTERNET internet, DWORD option, LPVOID buffer, DWORD bufferLength);
// Sends the request and waits for the final response's headers. The header
// block goes out line by line as given (headersLength (DWORD)-1: up to the
// zero byte); the body, when given, with its length.
BOOL HttpSendRequestA(HINTERNET request, LPCSTR headers, DWORD headersLength, LPVOID optional,
                      DWORD optionalLength);
// Hands out at most bytesToRead bytes of the body; *bytesRead is 0 at the end
// of the body, and after a failure (then the result is FALSE).
BOOL InternetReadFile(HINTERNET file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead);
// HTTP_QUERY_RAW_HEADERS_CRLF: the final response's status line and header
// lines, each ended by CR LF, then an empty line, zero-terminated. When that
// does not fit in *bufferLength bytes the call fails, leaves the buffer as it
// was and sets *bufferLength to the size needed; on success *bufferLength is
// the length without the zero byte.
BOOL HttpQueryInfoA(HINTERNET request, DWORD infoLevel, LPVOID buffer, LPDWORD bufferLength,
                    LPDWORD index);
BOOL InternetCloseHandle(HINTERNET internet);

// ---- Test hook ----
// Every call above, with its arguments, as it reached this layer. Texts that
// were passed as null are empty optionals.
struct WinInetCall {
  std::string operation;       // "InternetOpenA", "HttpSendRequestA", ...
  HINTERNET handle = nullptr;  // the handle the call was made on
  HINTERNET result = nullptr;  // the handle an open returned
  BOOL succeeded = 0;
  std::optional<std::string> agent, proxy, proxyBypass;    // InternetOpenA
  std::optional<std::string> serverName;                   // InternetConnectA
  std::optional<std::string> verb, objectName, version;    // HttpOpenRequestA
  std::optional<std::string> headers, body;                // HttpSendRequestA
  DWORD accessType = 0, port = 0, service = 0, flags = 0;  // opens
  DWORD option = 0, optionValue = 0, optionLength = 0;     // InternetSetOptionA
  DWORD infoLevel = 0, bufferLength = 0;                   // HttpQueryInfoA, reads
};
using WinInetCallHook = void (*)(const WinInetCall& call, void* context);
// Passing null removes the hook.
void SetWinInetCallHook(WinInetCallHook hook, void* context);
