// The searching and editing primitives against plain byte-by-byte models of
// their rules, over many small random texts built from the bytes that matter:
// letters of both cases, delimiters, spaces, lead bytes and 0x80.
#include <random>

#include <gtest/gtest.h>

#include "text/text.h"

namespace {

using Str = std::string;

bool FoldEqual(uint8_t a, uint8_t b) {
  auto fold = [](uint8_t c) { return c >= 'A' && c <= 'Z' ? static_cast<uint8_t>(c + 32) : c; };
  return fold(a) == fold(b);
}

bool MatchAt(const Str& t, size_t c, const Str& s, bool ignoreCase) {
  for (size_t k = 0; k < s.size(); ++k) {
    auto a = static_cast<uint8_t>(t[c + k]), b = static_cast<uint8_t>(s[k]);
    if (ignoreCase ? !FoldEqual(a, b) : a != b) return false;
  }
  return true;
}

size_t Step(const Str& t, size_t c) {
  return static_cast<uint8_t>(t[c]) >= 0x80 ? 2 : 1;
}

int ModelFind(const Str& t, const Str& s, int start, bool ic) {
  int64_t L = static_cast<int64_t>(t.size()), st = static_cast<int64_t>(start) - 1;
  if (st < 0) st = 0;
  bool empty = st >= L;
  if (s.empty()) return empty ? -1 : 1;
  if (empty) return -1;
  for (size_t c = static_cast<size_t>(st); c < t.size(); c += Step(t, c)) {
    if (t.size() - c >= s.size() && MatchAt(t, c, s, ic)) return static_cast<int>(c + 1);
  }
  return -1;
}

int ModelReverse(const Str& t, const Str& s, std::optional<int> start, bool ic) {
  int64_t L = static_cast<int64_t>(t.size()), R = L;
  if (start) R = std::clamp<int64_t>(static_cast<int64_t>(*start) - 1, 0, L);
  if (s.empty()) return R > 0 ? 1 : -1;
  int last = -1;
  for (size_t c = 0; c < t.size() && static_cast<int64_t>(c + s.size()) <= R; c += Step(t, c)) {
    if (MatchAt(t, c, s, ic)) last = static_cast<int>(c + 1);
  }
  return last;
}

Str ModelReplace(const Str& t, const Str& s, const Str& r, int start, std::optional<int> count,
                 bool cs) {
  int64_t st = static_cast<int64_t>(start) - 1;
  if (st < 0) st = 0;
  if (t.empty() || s.empty() || st >= static_cast<int64_t>(t.size()) || (count && *count == 0)) {
    return t;
  }
  int64_t left = count ? *count : -1;
  Str out = t.substr(0, static_cast<size_t>(st));
  size_t c = static_cast<size_t>(st);
  while (t.size() - c >= s.size()) {
    if (MatchAt(t, c, s, !cs)) {
      out += r;
      c += s.size();
      if (left > 0 && --left == 0) break;
    } else if (Step(t, c) == 2 && c + 1 == t.size()) {
      c = t.size();  // the lone lead byte is dropped
      break;
    } else {
      out.append(t, c, Step(t, c));
      c += Step(t, c);
    }
  }
  if (c < t.size()) out.append(t, c, Str::npos);
  return out;
}

std::vector<Str> ModelSplit(const Str& t, const Str& d) {
  std::vector<Str> pieces;
  if (t.empty()) return pieces;
  if (d.empty()) return {t};
  size_t piece = 0, c = 0;
  while (c < t.size() && t.size() - c >= d.size()) {
    if (MatchAt(t, c, d, false)) {
      pieces.push_back(t.substr(piece, c - piece));
      c += d.size();
      piece = c;
    } else if (Step(t, c) == 2 && c + 1 == t.size()) {
      break;
    } else {
      c += Step(t, c);
    }
  }
  if (piece < t.size()) pieces.push_back(t.substr(piece));
  return pieces;
}

Str ModelLeftOfMarker(const Str& t, const Str& m, int start, bool ic) {
  int64_t L = static_cast<int64_t>(t.size()), M = static_cast<int64_t>(m.size());
  int64_t s = std::max<int64_t>(static_cast<int64_t>(start) - 1, 0);
  if (L == 0 || M == 0 || M > L - s) return "";
  int64_t c = 0;  // characters counted from the first byte, 0x80 alone
  for (int64_t p = s; p <= L - M; ++p) {
    bool all = true;
    for (int64_t k = 0; k < M && all; ++k) {
      auto tb = static_cast<uint8_t>(t[p + k]), mb = static_cast<uint8_t>(m[k]);
      uint8_t flipped = tb ^ 0x20;
      bool letter = (flipped >= 'A' && flipped <= 'Z') || (flipped >= 'a' && flipped <= 'z');
      all = tb == mb || (ic && tb < 0x80 && flipped == mb && letter);
    }
    if (!all) continue;
    while (c < p) c += static_cast<uint8_t>(t[c]) >= 0x81 ? 2 : 1;
    if (c != p) continue;
    if (ic) {
      bool exact = true;
      for (int64_t i = 0; i < M;) {
        if (static_cast<uint8_t>(m[i]) >= 0x81 && i + 1 < M) {
          exact = exact && t[p + i + 1] == m[i + 1];
          i += 2;
        } else {
          ++i;
        }
      }
      if (!exact) continue;
    }
    return t.substr(0, static_cast<size_t>(p));
  }
  return "";
}

class SearchModel : public ::testing::Test {
 protected:
  Str RandomText(size_t maxLength) {
    static const char kAlphabet[] = {'A', 'a',    'b',    'B',    ';',    ' ',
                                     '.', '\xC4', '\x80', '\xA1', '\x81', '\xE3'};
    size_t n = random_() % (maxLength + 1);
    Str s;
    for (size_t i = 0; i < n; ++i) s.push_back(kAlphabet[random_() % sizeof kAlphabet]);
    return s;
  }
  int RandomPosition(const Str& t) { return static_cast<int>(random_() % (t.size() + 5)) - 2; }
  std::mt19937 random_{12345};
};

TEST_F(SearchModel, AllPrimitivesAgreeWithTheirModels) {
  for (int round = 0; round < 30000; ++round) {
    Str t = RandomText(14), s = RandomText(3), r = RandomText(2);
    int start = RandomPosition(t);
    bool ic = random_() % 2 == 0;
    std::optional<int> count;
    if (random_() % 2 == 0) count = static_cast<int>(random_() % 4) - 1;
    std::optional<int> reverseStart;
    if (random_() % 2 == 0) reverseStart = start;
    ASSERT_EQ(FindText(t, s, start, ic), ModelFind(t, s, start, ic))
        << "FindText [" << t << "] [" << s << "] " << start << " " << ic;
    ASSERT_EQ(FindTextReverse(t, s, reverseStart, ic), ModelReverse(t, s, reverseStart, ic))
        << "FindTextReverse [" << t << "] [" << s << "] " << start;
    ASSERT_EQ(ReplaceText(t, s, r, start, count, !ic).str(),
              ModelReplace(t, s, r, start, count, !ic))
        << "ReplaceText [" << t << "] [" << s << "] [" << r << "] " << start;
    TextArray split = SplitText(t, s);
    std::vector<Str> pieces;
    for (const Text& piece : split.items()) pieces.push_back(piece.str());
    ASSERT_EQ(pieces, ModelSplit(t, s)) << "SplitText [" << t << "] [" << s << "]";
    ASSERT_EQ(TextLeftOfMarker(t, s, start, ic).str(), ModelLeftOfMarker(t, s, start, ic))
        << "TextLeftOfMarker [" << t << "] [" << s << "] " << start << " " << ic;
  }
}

// Long texts reach the folded chunks and the far walks back to a known
// character start.
TEST_F(SearchModel, LongTextsAgreeToo) {
  for (int round = 0; round < 40; ++round) {
    Str t = RandomText(150000), s = RandomText(4);
    if (s.empty()) s.push_back('a');
    bool ic = round % 2 == 0;
    int start = RandomPosition(t);
    ASSERT_EQ(FindText(t, s, start, ic), ModelFind(t, s, start, ic)) << round;
    ASSERT_EQ(FindTextReverse(t, s, std::nullopt, ic), ModelReverse(t, s, std::nullopt, ic))
        << round;
    ASSERT_EQ(ReplaceText(t, s, "#", 1, std::nullopt, !ic).str(),
              ModelReplace(t, s, "#", 1, std::nullopt, !ic))
        << round;
    ASSERT_EQ(TextLeftOfMarker(t, s, start, ic).str(), ModelLeftOfMarker(t, s, start, ic)) << round;
  }
}

}  // namespace
