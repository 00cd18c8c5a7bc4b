// URL parts: one row a URL, with what each routine makes of it.
#include "web/url_parts.h"

#include <gtest/gtest.h>

namespace {

struct UrlRow {
  const char* url;
  const char* host;
  const char* hostWithPort;
  int port;
  const char* path;
};

class UrlPartsTest : public ::testing::TestWithParam<UrlRow> {};

TEST_P(UrlPartsTest, HostPortAndPath) {
  const UrlRow& row = GetParam();
  EXPECT_EQ(UrlHost(row.url).str(), row.host);
  EXPECT_EQ(UrlHost(row.url, false, true).str(), row.hostWithPort);
  EXPECT_EQ(UrlPort(row.url), row.port);
  EXPECT_EQ(UrlPath(row.url).str(), row.path);
}

INSTANTIATE_TEST_SUITE_P(
    Table, UrlPartsTest,
    ::testing::Values(
        // Capitals: the host in lower case, the path exactly as written.
        UrlRow{"https://WWW.Example.COM/Some/Path?Q=Yes", "www.example.com", "www.example.com", 443,
               "/Some/Path?Q=Yes"},
        UrlRow{"http://host.test:8080/a/b", "host.test", "host.test:8080", 8080, "/a/b"},
        // Without a scheme: found as for "http://", port 80.
        UrlRow{"example.com/x/y", "example.com", "example.com", 80, "/x/y"},
        UrlRow{"https://example.com", "example.com", "example.com", 443, "/"},
        // A query without a "/" stays in the host.
        UrlRow{"https://example.com?q=1", "example.com?q=1", "example.com?q=1", 443, "/"},
        UrlRow{"HTTPS://Secure.Test/P", "secure.test", "secure.test", 443, "/P"},
        // A colon with nothing behind it: port 0.
        UrlRow{"http://host.test:/p", "host.test", "host.test:", 0, "/p"},
        UrlRow{"", "", "", 80, "/"},
        UrlRow{"https://127.0.0.1:18443/bot?appid=tovi&userid=user&spoken=%68", "127.0.0.1",
               "127.0.0.1:18443", 18443, "/bot?appid=tovi&userid=user&spoken=%68"},
        UrlRow{"http://a.test/x#frag", "a.test", "a.test", 80, "/x#frag"}));

struct DomainRow {
  const char* url;
  bool mainDomain;
  std::optional<int> levels;
  const char* host;
};

class UrlHostDomainTest : public ::testing::TestWithParam<DomainRow> {};

TEST_P(UrlHostDomainTest, TrailingLabels) {
  const DomainRow& row = GetParam();
  EXPECT_EQ(UrlHost(row.url, row.mainDomain, false, row.levels).str(), row.host);
}

INSTANTIATE_TEST_SUITE_P(
    Table, UrlHostDomainTest,
    ::testing::Values(DomainRow{"http://www.example.com/", true, std::nullopt, "example.com"},
                      DomainRow{"http://localhost/", true, std::nullopt, "localhost"},
                      // The port travels with the last label and is cut afterwards.
                      DomainRow{"http://a.b.c:81/", true, std::nullopt, "b.c"},
                      DomainRow{"http://w.x.y.z/", true, 0, "z"},
                      DomainRow{"http://w.x.y.z/", false, 0, "y.z"},
                      DomainRow{"http://w.x.y.z/", true, 1, "y.z"},
                      DomainRow{"http://w.x.y.z/", false, 1, "x.y.z"},
                      DomainRow{"http://w.x.y.z/", true, 5, "w.x.y.z"},
                      DomainRow{"http://w.x.y.z/", false, 5, "w.x.y.z"},
                      DomainRow{"https://w.x.y.z/path.with.dots", false, 0, "y.z"},
                      DomainRow{"w.x.y.z", true, -3, "z"}, DomainRow{"w.x.y.", true, 0, "y."},
                      DomainRow{"", false, 2, ""}));

TEST(UrlHost, LevelsKeepThePortOnlyWhenAsked) {
  EXPECT_EQ(UrlHost("http://w.x.y.z:99/", false, true, 0).str(), "y.z:99");
  EXPECT_EQ(UrlHost("http://w.x.y.z:99/", false, false, 0).str(), "y.z");
}

}  // namespace
