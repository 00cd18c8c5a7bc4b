// The client's one general routine for talking HTTP, over WinInet.
#pragma once

#include "text/text.h"

// Index into the method table; outside 0..7 a request is a GET.
enum HttpMethod : int {
  kMethodGet = 0,
  kMethodPost = 1,
  kMethodHead = 2,
  kMethodPut = 3,
  kMethodOptions = 4,
  kMethodDelete = 5,
  kMethodTrace = 6,
  kMethodConnect = 7,
};

inline constexpr const char* kDefaultUserAgent =
    "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

// Everything after the URL, with its defaults. The pointer members are the
// caller's variables, read and written by the call; null means omitted (an
// omitted output goes to a scratch value). cookies also tells omitted (null)
// from supplied empty: a supplied text, even empty, turns WinInet's own
// cookie handling off for the call.
struct HttpRequestOptions {
  int method = kMethodGet;
  Text bodyText = Text();           // the body when *bodyBytes is empty
  Text* cookies = nullptr;          // in, out: sent; the merged cookies after a merge
  Text* receivedCookies = nullptr;  // out: the cookies the response set
  Text extraHeaders = Text();       // header lines separated by CR LF
  Text* responseHeaders = nullptr;  // out: the raw response headers
  bool noRedirect = false;
  Bytes* bodyBytes = nullptr;  // in, out: the body for every method but GET
  Text proxy = Text();         // "host:port"; empty for a direct connection
  bool mergeReceived = true;
  bool completeHeaders = true;
  bool normalizeHeaders = true;
};

// Sends the request and returns the response body, whatever the status;
// the empty Bytes when nothing was read or no WinInet handle could be opened.
Bytes HttpRequest(const Text& url, const HttpRequestOptions& options = {});
