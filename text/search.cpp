// Forward and reverse search and the marker search.
#include <vector>

#include "text/finder.h"
#include "text/text.h"

using text_internal::Finder;
using text_internal::kNotFound;

namespace {

bool IsLead(uint8_t b) {
  return b >= 0x80;
}

}  // namespace

int FindText(const Text& text, const Text& sought, int start, bool ignoreCase) {
  int64_t length = text.size();
  int64_t s = static_cast<int64_t>(start) - 1;
  if (s < 0) s = 0;
  bool regionEmpty = s >= length;  // also covers the empty text
  if (sought.empty()) return regionEmpty ? -1 : 1;
  if (regionEmpty) return -1;
  Finder finder(text.str(), sought.str(), ignoreCase);
  size_t p = finder.Next(static_cast<size_t>(s));
  return p == kNotFound ? -1 : static_cast<int>(p + 1);
}

int FindTextReverse(const Text& text, const Text& sought, std::optional<int> start,
                    bool ignoreCase) {
  int64_t length = text.size();
  int64_t region = length;
  if (start.has_value()) {
    region = static_cast<int64_t>(*start) - 1;
    if (region < 0) region = 0;
    if (region > length) region = length;
  }
  if (sought.empty()) return region > 0 ? 1 : -1;
  // Matches must lie wholly inside the region, so the search sees no more.
  std::string_view inside = std::string_view(text.str()).substr(0, static_cast<size_t>(region));
  Finder finder(inside, sought.str(), ignoreCase);
  const auto* bytes = reinterpret_cast<const uint8_t*>(inside.data());
  size_t last = kNotFound;
  for (size_t p = finder.Next(0); p != kNotFound;) {
    last = p;
    size_t next = p + (IsLead(bytes[p]) ? 2 : 1);  // occurrences may overlap
    p = finder.Next(next);
  }
  return last == kNotFound ? -1 : static_cast<int>(last + 1);
}

Text TextLeftOfMarker(const Text& text, const Text& marker, int start, bool ignoreCase) {
  int64_t length = text.size();
  int64_t m = marker.size();
  int64_t s = static_cast<int64_t>(start) - 1;
  if (s < 0) s = 0;
  if (length == 0 || m == 0 || m > length - s) return Text();
  // With case ignored, each double-byte character of the marker must still
  // match its second byte exactly, so a folded trail byte cannot pass.
  std::vector<size_t> secondBytes;
  const auto* mark = reinterpret_cast<const uint8_t*>(marker.str().data());
  if (ignoreCase) {
    for (int64_t i = 0; i < m;) {
      if (mark[i] >= 0x81 && i + 1 < m) {
        secondBytes.push_back(static_cast<size_t>(i + 1));
        i += 2;
      } else {
        ++i;
      }
    }
  }
  const auto* bytes = reinterpret_cast<const uint8_t*>(text.str().data());
  // Here 0x80 stands alone, and characters are counted from the text's
  // first byte whatever the start.
  Finder finder(text.str(), marker.str(), ignoreCase, 0x81);
  for (size_t p = finder.Next(static_cast<size_t>(s), 0); p != kNotFound;
       p = finder.Next(p + 1, 0)) {
    bool exact = true;
    for (size_t k : secondBytes) {
      if (bytes[p + k] != mark[k]) {
        exact = false;
        break;
      }
    }
    if (exact) return TextLeft(text, static_cast<int>(p));
  }
  return Text();
}
