// Texts of any bytes, empty or several KiB long, through every routine of the
// web subsystem: nothing may crash or read outside its buffers (the
// sanitizer build watches), and the invariants each routine promises hold.
#include <gtest/gtest.h>
#include <httplib.h>

#include <random>

#include "tests/web/local_servers.h"
#include "web/cookies.h"
#include "web/headers.h"
#include "web/http_request.h"
#include "web/url_parts.h"

namespace {

// Texts drawn from bytes that matter to the routines (separators, CR LF,
// lead bytes of double-byte characters) and from all the other bytes.
class TextSource {
 public:
  explicit TextSource(uint32_t seed) : random_(seed) {}
  Text Next(int maxLength) {
    static const char kSalient[] = ":;= -./\r\n\x80\x81\xa1\xc4\xfe\xff%?#@Hh";
    int length = static_cast<int>(random_() % (maxLength + 1));
    std::string bytes;
    for (int i = 0; i < length; ++i) {
      uint32_t pick = random_();
      char c = (pick & 1) ? kSalient[(pick >> 1) % (sizeof(kSalient) - 1)]
                          : static_cast<char>(1 + (pick >> 1) % 255);
      bytes.push_back(c);
    }
    return Text(bytes);
  }
  int Length() { return static_cast<int>(random_() % 4); }

 private:
  std::mt19937 random_;
};

// A capital ASCII letter that is a character of its own: the trail byte of a
// double-byte character may look like one and is never lower-cased.
bool HasAsciiCapital(const Text& text) {
  const std::string& bytes = text.str();
  for (size_t i = 0; i < bytes.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c >= 0x80) {
      ++i;
    } else if (c >= 'A' && c <= 'Z') {
      return true;
    }
  }
  return false;
}

TEST(WebBadInput, UrlPartsOfAnyBytes) {
  TextSource source(1);
  for (int round = 0; round < 1500; ++round) {
    Text url = source.Next(round % 10 == 0 ? 6000 : 80);
    EXPECT_EQ(TextLeft(UrlPath(url), 1), Text("/"));
    UrlPort(url);
    for (std::optional<int> levels : {std::optional<int>(), std::optional<int>(-1),
                                      std::optional<int>(0), std::optional<int>(3)}) {
      for (bool mainDomain : {false, true}) {
        Text host = UrlHost(url, mainDomain, false, levels);
        Text withPort = UrlHost(url, mainDomain, true, levels);
        EXPECT_FALSE(HasAsciiCapital(withPort));
        EXPECT_EQ(FindText(host, ":"), -1);
      }
    }
  }
}

TEST(WebBadInput, HeaderAndCookieTextsOfAnyBytes) {
  TextSource source(2);
  for (int round = 0; round < 1500; ++round) {
    int limit = round % 10 == 0 ? 5000 : 60;
    Text block = source.Next(limit);
    Text normalized = NormalizeHeaderNames(block);
    EXPECT_LE(TextLength(normalized), TextLength(block));
    CapitalizeFirst(block);
    HeaderValue(block);

    Text sent = source.Next(limit);
    Text received = source.Next(limit);
    Text merged = MergeCookies(sent, received);
    EXPECT_EQ(merged, sent);
    TextArray pairs = SplitText(merged, "; ");
    for (const Text& pair : pairs.items()) EXPECT_NE(TextRight(pair, 8), Text("=deleted"));
    CookieName(received);

    TextArray characters;
    int count = SplitCharacters(block, characters);
    std::string joined;
    for (const Text& character : characters.items()) joined += character.str();
    EXPECT_EQ(joined, block.str());
    EXPECT_EQ(count, ArraySize(characters));
    Text unique = RemoveDuplicates(block, ",", false);
    EXPECT_LE(TextLength(unique), 2 * TextLength(block));
    RemoveDuplicates(block, source.Next(3), true);
  }
}

// The request routine with header blocks, cookies, paths and bodies of any
// bytes, against a local server. The host stays 127.0.0.1, so no name is
// ever looked up; hosts of odd bytes are refused by the layer beforehand.
TEST(WebBadInput, RequestsWithTextsOfAnyBytes) {
  LocalHttpServer server(false);
  auto answer = [](const httplib::Request&, httplib::Response& res) {
    res.headers.emplace("Set-Cookie", "k=v; path=/");
    res.set_content("answer", "text/plain");
  };
  server.server().Get(".*", answer);
  server.server().Post(".*", answer);
  server.Start();
  TextSource source(3);
  int answered = 0;
  for (int round = 0; round < 150; ++round) {
    int limit = round % 10 == 0 ? 4000 : 40;
    Text url = ConcatText(server.Origin(), "/", source.Next(limit));
    Text cookies = source.Next(limit);
    Text received, headers;
    Bytes body;
    HttpRequestOptions options;
    options.method = static_cast<int>(round % 11) - 1;
    options.bodyText = source.Next(limit);
    if (round % 2 == 0) options.cookies = &cookies;
    options.receivedCookies = &received;
    options.extraHeaders = source.Next(limit);
    options.responseHeaders = &headers;
    options.bodyBytes = &body;
    options.completeHeaders = round % 3 != 0;
    options.normalizeHeaders = round % 4 != 0;
    if (HttpRequest(url, options).str() == "answer") ++answered;
    EXPECT_LE(TextLength(headers), 5000);
  }
  EXPECT_GT(answered, 0);
  for (const char* url :
       {"http://a b/", "http://user@127.0.0.1:1/", "https://[::1/", "http://\x80\x81/",
        "http://127.0.0.1:99999/", "http://:80/", "", "\r\n"}) {
    EXPECT_TRUE(HttpRequest(url).empty()) << url;
  }
}

}  // namespace
