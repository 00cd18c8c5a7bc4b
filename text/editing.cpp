// Replacing, splitting, trimming and changing case, stepping by characters.
#include "text/finder.h"
#include "text/text.h"

using text_internal::Finder;
using text_internal::kNotFound;

Text ReplaceText(const Text& text, const Text& sought, const Text& replacement, int start,
                 std::optional<int> count, bool caseSensitive) {
  int64_t length = text.size();
  int64_t s = static_cast<int64_t>(start) - 1;
  if (s < 0) s = 0;
  if (text.empty() || sought.empty() || s >= length || (count.has_value() && *count == 0))
    return text;
  // A negative count never runs down to zero, so it replaces them all.
  int64_t left = count.has_value() && *count > 0 ? *count : -1;
  const std::string& in = text.str();
  const auto* bytes = reinterpret_cast<const uint8_t*>(in.data());
  size_t m = sought.str().size();
  std::string out;
  out.reserve(in.size());
  out.append(in, 0, static_cast<size_t>(s));
  Finder finder(in, sought.str(), !caseSensitive);
  auto c = static_cast<size_t>(s);
  for (;;) {
    size_t p = finder.Next(c);
    if (p == kNotFound) {
      // A one-byte sought text lets the scan reach the last byte; when that
      // is a lone lead byte it is dropped.
      size_t end = in.size();
      if (m == 1 && end - c >= 1 && bytes[end - 1] >= 0x80 &&
          finder.BeginsCharacterFrom(end - 1, c)) {
        --end;
      }
      out.append(in, c, end - c);
      break;
    }
    out.append(in, c, p - c);
    out.append(replacement.str());
    c = p + m;
    if (left > 0 && --left == 0) {
      out.append(in, c, std::string::npos);
      break;
    }
  }
  return Text(std::move(out));
}

TextArray SplitText(const Text& text, const Text& delimiter) {
  TextArray pieces;
  if (text.empty()) return pieces;
  if (delimiter.empty()) {
    pieces.items().push_back(text);
    return pieces;
  }
  std::string_view in(text.str());
  size_t m = delimiter.str().size();
  Finder finder(in, delimiter.str(), false);
  size_t c = 0;
  for (size_t p = finder.Next(0); p != kNotFound; p = finder.Next(c)) {
    pieces.items().emplace_back(in.substr(c, p - c));
    c = p + m;
  }
  if (c < in.size()) pieces.items().emplace_back(in.substr(c));
  return pieces;
}

Text TrimText(const Text& text) {
  const std::string& in = text.str();
  const auto* b = reinterpret_cast<const uint8_t*>(in.data());
  size_t n = in.size();
  auto spaceAt = [&](size_t i) -> size_t {  // the length of a space there, else 0
    if (b[i] == 0x20) return 1;
    if (b[i] == 0xA1 && i + 1 < n && b[i + 1] == 0xA1) return 2;
    return 0;
  };
  size_t begin = 0;
  for (size_t w; begin < n && (w = spaceAt(begin)) != 0;) begin += w;
  size_t runStart = kNotFound;
  size_t i = begin;
  while (i < n) {
    if (size_t w = spaceAt(i); w != 0) {
      if (runStart == kNotFound) runStart = i;
      i += w;
    } else if (b[i] >= 0x80) {
      if (i + 1 == n) return Text(std::string_view(in).substr(begin, i - begin));  // lone lead byte
      runStart = kNotFound;
      i += 2;
    } else {
      runStart = kNotFound;
      ++i;
    }
  }
  size_t end = runStart == kNotFound ? n : runStart;
  return Text(std::string_view(in).substr(begin, end - begin));
}

namespace {

// Changes the ASCII letters of [first, last] and leaves the second byte of
// every double-byte character alone.
Text ChangeCase(const Text& text, uint8_t first, uint8_t last) {
  std::string out = text.str();
  auto* b = reinterpret_cast<uint8_t*>(out.data());
  size_t n = out.size();
  for (size_t i = 0; i < n;) {
    uint8_t c = b[i];
    if (c >= 0x80) {
      i += 2;
      continue;
    }
    if (c >= first && c <= last) b[i] = c ^ 0x20;
    ++i;
  }
  return Text(std::move(out));
}

}  // namespace

Text ToUpperCase(const Text& text) {
  return ChangeCase(text, 'a', 'z');
}

Text ToLowerCase(const Text& text) {
  return ChangeCase(text, 'A', 'Z');
}
