#include "web/url_parts.h"

namespace {

Text HostWithoutLevels(Text s, bool mainDomain) {
  if (TextRight(s, 1) != Text("/")) s = ConcatText(s, "/");
  if (TextLeft(s, 8) == Text("https://")) {
    s = TextBetween(s, "https://", "/");
  } else {
    if (FindText(s, "http://") == -1) s = ConcatText("http://", s);
    s = TextBetween(s, "http://", "/");
  }
  if (mainDomain) {
    TextArray labels = SplitText(s, ".");
    int count = ArraySize(labels);
    if (count > 1) {
      s = ConcatText(ArrayElement(labels, count - 1), ".", ArrayElement(labels, count));
    }
  }
  return s;
}

Text HostWithLevels(Text s, bool mainDomain, int levels) {
  s = ReplaceText(s, "http://");
  s = ReplaceText(s, "https://");
  int slash = FindText(s, "/");
  if (slash != -1) s = TextLeft(s, slash - 1);
  int length = TextLength(s);
  int m = length;
  for (int i = 0; i < levels; ++i) {
    if (m != -1) m = FindTextReverse(s, ".", m);
  }
  int d1 = FindTextReverse(s, ".", m);
  if (mainDomain) return d1 == -1 ? s : TextRight(s, length - d1);
  if (d1 != -1) {
    int d2 = FindTextReverse(s, ".", d1);
    if (d2 != -1) s = TextRight(s, length - d2);
  }
  return s;
}

}  // namespace

Text UrlHost(const Text& url, bool mainDomain, bool keepPort, std::optional<int> levels) {
  Text s = ToLowerCase(url);
  s = levels.has_value() ? HostWithLevels(s, mainDomain, *levels)
                         : HostWithoutLevels(s, mainDomain);
  if (!keepPort) {
    int colon = FindText(s, ":");
    if (colon != -1) s = TextLeft(s, colon - 1);
  }
  return s;
}

int UrlPort(const Text& url) {
  Text host = UrlHost(url, false, true);
  int colon = FindTextReverse(host, ":");
  if (colon != -1) return TextToInt(TextRight(host, TextLength(host) - colon));
  return TextLeft(ToLowerCase(url), 5) == Text("https") ? 443 : 80;
}

Text UrlPath(const Text& url) {
  Text host = UrlHost(url);
  int a = FindText(url, host, 1, true);
  int b = FindText(url, "/", a, true);
  if (b == -1) return "/";
  return TextRight(url, TextLength(url) - b + 1);
}
