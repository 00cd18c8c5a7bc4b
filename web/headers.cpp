#include "web/headers.h"

namespace {

Text NormalizedName(const Text& name) {
  if (FindText(name, "-") == -1) return CapitalizeFirst(name);
  TextArray words = SplitText(name, "-");
  Text joined;
  for (int i = 1; i <= ArraySize(words); ++i) {
    if (i > 1) joined = ConcatText(joined, "-");
    joined = ConcatText(joined, CapitalizeFirst(ArrayElement(words, i)));
  }
  return joined;
}

}  // namespace

Text NormalizeHeaderNames(const Text& block) {
  TextArray lines = SplitText(block, "\r\n");
  std::string result;
  for (const Text& line : lines.items()) {
    int colon = FindText(line, ":");
    if (colon == -1) continue;
    Text name = NormalizedName(TextLeft(line, colon - 1));
    result += ConcatText(name, TextRight(line, TextLength(line) - TextLength(name))).str();
    result += "\r\n";
  }
  Text joined(result);
  return TextLeft(joined, TextLength(joined) - 2);
}

Text CapitalizeFirst(const Text& text) {
  return ConcatText(ToUpperCase(TextLeft(text, 1)), TextMid(text, 2, TextLength(text)));
}

Text HeaderValue(const Text& text) {
  int colon = FindText(text, ":");
  if (colon == -1) return Text();
  return TrimText(TextRight(text, TextLength(text) - colon));
}
