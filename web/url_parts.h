// Taking a URL apart for the request routine: host, port and object name.
// Plain text surgery without a URL grammar: every text yields some result.
#pragma once

#include <optional>

#include "text/text.h"

// The host of a URL, in lower case. keepPort keeps ":port" after it;
// mainDomain reduces it to its trailing labels. Whether levels is given at
// all selects the algorithm: omitted, mainDomain keeps the last two labels;
// given as N, it keeps the last N+1 labels with mainDomain and N+2 without.
Text UrlHost(const Text& url, bool mainDomain = false, bool keepPort = false,
             std::optional<int> levels = std::nullopt);

// The port to connect to: the number after the host's last colon, else 443
// for "https" URLs and 80 for the rest.
int UrlPort(const Text& url);

// The object name for the request: from the first "/" after the host to the
// end, letters unchanged; "/" when there is none.
Text UrlPath(const Text& url);
