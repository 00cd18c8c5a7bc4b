// Code page 936 and UTF-8 to and from UTF-16, with the Windows rules the
// client relies on: counting and converting walk the same code, invalid input
// becomes U+FFFD, characters code page 936 lacks become "?", and a too small
// output buffer fails without writing past its end.
//
// The code page 936 mapping comes from the C library's iconv "CP936"
// converter, read once into two lookup tables. Looking characters up in a
// table is several times faster than calling iconv, and it lets invalid bytes
// be replaced one at a time without restarting a converter.
#include "platform/codepage.h"

#include <iconv.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <mutex>

namespace {

constexpr char16_t kReplacement = 0xFFFD;
constexpr uint8_t kQuestionMark = 0x3F;

// Double-byte characters of code page 936: lead 0x81..0xFE, trail 0x40..0xFE.
constexpr int kLeadFirst = 0x81;
constexpr int kLeadLast = 0xFE;
constexpr int kTrailFirst = 0x40;
constexpr int kTrailLast = 0xFE;
constexpr int kTrailCount = kTrailLast - kTrailFirst + 1;
constexpr int kLeadCount = kLeadLast - kLeadFirst + 1;

struct GbkTables {
  // UTF-16 unit of each double-byte character; 0 where it has none.
  char16_t toWide[kLeadCount][kTrailCount];
  // The same by any two bytes whose first has its high bit set, indexed
  // (first - 0x80) * 256 + second; 0 for every pair that is no character.
  char16_t pairs[128 * 256];
  // Code page 936 bytes of each UTF-16 unit in output order: the first byte
  // low, the second (0 when there is none, as for ASCII and the euro sign)
  // high; 0 for a unit that has no bytes.
  uint16_t fromWide[65536];
};

// Reads one lead byte's row of double-byte characters through iconv. Each
// valid pair gives exactly one UTF-32 character; a pair that iconv rejects is
// skipped and stays unmapped.
void ReadRow(iconv_t cd, int lead, GbkTables& tables) {
  char input[kTrailCount * 2];
  for (int i = 0; i < kTrailCount; ++i) {
    input[2 * i] = static_cast<char>(lead);
    input[2 * i + 1] = static_cast<char>(kTrailFirst + i);
  }
  int pair = 0;
  while (pair < kTrailCount) {
    char32_t output[kTrailCount];
    char* in = input + 2 * pair;
    size_t inLeft = static_cast<size_t>(kTrailCount - pair) * 2;
    char* out = reinterpret_cast<char*>(output);
    size_t outLeft = sizeof output;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    size_t result = iconv(cd, &in, &inLeft, &out, &outLeft);
    int pairsDone = static_cast<int>((in - (input + 2 * pair)) / 2);
    int charsDone = static_cast<int>((out - reinterpret_cast<char*>(output)) / 4);
    if (pairsDone == charsDone) {
      for (int i = 0; i < pairsDone; ++i) {
        char32_t c = output[i];
        if (c > 0x7F && c < 0x10000 && (c < 0xD800 || c > 0xDFFF)) {
          tables.toWide[lead - kLeadFirst][pair + i] = static_cast<char16_t>(c);
        }
      }
    }
    pair += pairsDone;
    if (result != static_cast<size_t>(-1)) break;
    ++pair;  // the pair iconv stopped at has no mapping
  }
}

GbkTables* BuildGbkTables() {
  static GbkTables tables{};
  iconv_t cd = iconv_open("UTF-32LE", "CP936");
  if (cd != reinterpret_cast<iconv_t>(-1)) {
    for (int lead = kLeadFirst; lead <= kLeadLast; ++lead) ReadRow(cd, lead, tables);
    iconv_close(cd);
  }
  for (int lead = kLeadFirst; lead <= kLeadLast; ++lead) {
    for (int trail = kTrailFirst; trail <= kTrailLast; ++trail) {
      tables.pairs[(lead - 0x80) << 8 | trail] =
          tables.toWide[lead - kLeadFirst][trail - kTrailFirst];
    }
  }
  // The first double-byte character of a unit wins, as with the system's
  // own one-to-one table.
  for (int lead = kLeadLast; lead >= kLeadFirst; --lead) {
    for (int trail = kTrailLast; trail >= kTrailFirst; --trail) {
      char16_t unit = tables.toWide[lead - kLeadFirst][trail - kTrailFirst];
      if (unit != 0) tables.fromWide[unit] = static_cast<uint16_t>(trail << 8 | lead);
    }
  }
  // The single byte 0x80 is the euro sign in code page 936; ASCII is itself.
  tables.fromWide[0x20AC] = 0x80;
  for (uint16_t u = 1; u < 0x80; ++u) tables.fromWide[u] = u;
  return &tables;
}

const GbkTables& Tables() {
  static GbkTables* tables = BuildGbkTables();  // thread-safe one-time start
  return *tables;
}

bool KnownCodePage(UINT codePage) {
  return codePage == CP_ACP || codePage == CP_GBK || codePage == CP_UTF8;
}

// Each converter runs in two forms from one body: counting (kWrite false)
// and converting into dst, which holds `capacity` units. It returns the
// number of output units, or -1 when dst is too small. Keeping the cursors
// in locals lets the compiler hold them in registers even though output
// bytes may alias anything.
template <bool kWrite, class Unit>
struct Output {
  Unit* dst;
  int64_t capacity;
  int64_t count = 0;

  // False when a converting call has run out of room.
  bool Put(Unit u) {
    if constexpr (kWrite) {
      if (count >= capacity) return false;
      dst[count] = u;
    }
    ++count;
    return true;
  }
  bool Room(int64_t n) const { return !kWrite || capacity - count >= n; }
};

template <bool kWrite>
int64_t GbkToWide(const uint8_t* src, int64_t n, char16_t* dst, int64_t capacity) {
  const GbkTables& tables = Tables();
  Output<kWrite, char16_t> out{dst, capacity};
  int64_t i = 0;
  while (i < n) {
    uint8_t b = src[i];
    // ASCII and mapped double-byte characters, the whole of ordinary text,
    // take one path without a branch on which of the two it is: mixed text
    // switches too often for a branch to be predicted.
    if (n - i >= 2 && out.Room(1)) {
      uint8_t t = src[i + 1];
      char16_t pair = tables.pairs[((b & 0x7F) << 8) | t];
      uint32_t single = b < 0x80;
      if ((single | (pair != 0)) != 0) {
        if constexpr (kWrite) {
          uint32_t mask = 0u - single;  // all ones for a single byte
          dst[out.count] = static_cast<char16_t>((b & mask) | (pair & ~mask));
        }
        ++out.count;
        i += 2 - single;
        continue;
      }
    }
    char16_t unit;
    if (b < 0x80) {
      unit = b;
      ++i;
    } else if (b == 0x80) {
      unit = 0x20AC;  // the euro sign
      ++i;
    } else if (b == 0xFF || i + 1 >= n) {
      unit = kReplacement;  // no lead byte, or one cut off at the end
      ++i;
    } else {
      uint8_t t = src[i + 1];
      if (t < kTrailFirst || t == 0x7F || t == 0xFF) {
        // Not a trail byte: only the lead is bad, the next byte stands alone.
        unit = kReplacement;
        ++i;
      } else {
        unit = kReplacement;
        if constexpr (kWrite) {
          char16_t mapped = tables.toWide[b - kLeadFirst][t - kTrailFirst];
          if (mapped != 0) unit = mapped;
        }
        i += 2;
      }
    }
    if (!out.Put(unit)) return -1;
  }
  return out.count;
}

// UTF-8 decoding with each maximal invalid subpart replaced by one U+FFFD.
template <bool kWrite>
int64_t Utf8ToWide(const uint8_t* src, int64_t n, char16_t* dst, int64_t capacity) {
  Output<kWrite, char16_t> out{dst, capacity};
  int64_t i = 0;
  while (i < n) {
    uint8_t b = src[i];
    // One, two and three byte forms, all of the BMP, decoded along one path
    // and checked at once; anything else takes the careful path below.
    if (n - i >= 3 && out.Room(1)) {
      uint8_t c1 = src[i + 1], c2 = src[i + 2];
      int length = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : 0;
      uint32_t cp2 = (b & 0x1Fu) << 6 | (c1 & 0x3Fu);
      uint32_t cp3 = (b & 0x0Fu) << 12 | (c1 & 0x3Fu) << 6 | (c2 & 0x3Fu);
      uint32_t cp = length == 1 ? b : length == 2 ? cp2 : cp3;
      bool tail1 = (c1 & 0xC0) == 0x80, tail2 = (c2 & 0xC0) == 0x80;
      bool valid = length == 1 || (length == 2 && tail1 && cp >= 0x80) ||
                   (length == 3 && tail1 && tail2 && cp >= 0x800 && (cp < 0xD800 || cp > 0xDFFF));
      if (valid) {
        if constexpr (kWrite) dst[out.count] = static_cast<char16_t>(cp);
        ++out.count;
        i += length;
        continue;
      }
    }
    if (b < 0x80) {
      if (!out.Put(b)) return -1;
      ++i;
      continue;
    }
    int need;
    uint32_t cp;
    uint8_t lo = 0x80, hi = 0xBF;  // the allowed range of the second byte
    if (b >= 0xC2 && b <= 0xDF) {
      need = 1;
      cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
      need = 2;
      cp = b & 0x0F;
      if (b == 0xE0) lo = 0xA0;  // no overlong forms
      if (b == 0xED) hi = 0x9F;  // no surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
      need = 3;
      cp = b & 0x07;
      if (b == 0xF0) lo = 0x90;
      if (b == 0xF4) hi = 0x8F;  // nothing beyond U+10FFFF
    } else {
      if (!out.Put(kReplacement)) return -1;
      ++i;
      continue;
    }
    int64_t j = i + 1;
    bool complete = true;
    for (int k = 0; k < need; ++k, ++j) {
      if (j >= n || src[j] < (k == 0 ? lo : 0x80) || src[j] > (k == 0 ? hi : 0xBF)) {
        complete = false;
        break;
      }
      cp = cp << 6 | (src[j] & 0x3F);
    }
    i = j;
    if (!complete) {
      if (!out.Put(kReplacement)) return -1;  // the maximal subpart just passed
    } else if (cp >= 0x10000) {
      cp -= 0x10000;
      if (!out.Put(static_cast<char16_t>(0xD800 + (cp >> 10)))) return -1;
      if (!out.Put(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)))) return -1;
    } else {
      if (!out.Put(static_cast<char16_t>(cp))) return -1;
    }
  }
  return out.count;
}

template <bool kWrite>
int64_t WideToGbk(const char16_t* src, int64_t n, char* dst, int64_t capacity, bool& usedDefault) {
  const GbkTables& tables = Tables();
  Output<kWrite, char> out{dst, capacity};
  int64_t i = 0;
  while (i < n) {
    char16_t u = src[i++];
    // The table gives ASCII units their own byte, so one or two bytes
    // come out of the same lookup without a branch on the kind.
    uint16_t g = tables.fromWide[u];
    if (g == 0 && u != 0) {
      if (u >= 0xD800 && u <= 0xDBFF && i < n && src[i] >= 0xDC00 && src[i] <= 0xDFFF) {
        ++i;  // a character beyond the BMP: one "?" for the pair
      }
      usedDefault = true;
      g = kQuestionMark;
    }
    // 2 when there is a second byte; arithmetic, since a branch on the
    // kind of character is mispredicted in mixed text.
    int length = 1 + static_cast<int>((static_cast<uint32_t>(g) + 0xFF00u) >> 16);
    if constexpr (kWrite) {
      if (capacity - out.count >= 2) {
        // Both bytes are stored; after a single byte the next one overwrites
        // the spare.
        dst[out.count] = static_cast<char>(g & 0xFF);
        dst[out.count + 1] = static_cast<char>(g >> 8);
      } else if (capacity - out.count == 1 && length == 1) {
        dst[out.count] = static_cast<char>(g);
      } else {
        return -1;
      }
    }
    out.count += length;
  }
  return out.count;
}

template <bool kWrite>
int64_t WideToUtf8(const char16_t* src, int64_t n, char* dst, int64_t capacity) {
  Output<kWrite, char> out{dst, capacity};
  int64_t i = 0;
  while (i < n) {
    uint32_t u = src[i];
    // Everything but surrogates along one path: up to three bytes are
    // written and the cursor moves by the length.
    if ((u < 0xD800 || u > 0xDFFF) && out.Room(3)) {
      int length = 1 + (u >= 0x80) + (u >= 0x800);
      if constexpr (kWrite) {
        char* o = dst + out.count;
        uint8_t lead = length == 1 ? u : length == 2 ? (0xC0 | u >> 6) : (0xE0 | u >> 12);
        uint8_t second = length == 2 ? (0x80 | (u & 0x3F)) : (0x80 | (u >> 6 & 0x3F));
        o[0] = static_cast<char>(lead);
        o[1] = static_cast<char>(second);
        o[2] = static_cast<char>(0x80 | (u & 0x3F));
      }
      out.count += length;
      ++i;
      continue;
    }
    uint32_t cp = src[i++];
    if (cp >= 0xD800 && cp <= 0xDFFF) {
      if (cp <= 0xDBFF && i < n && src[i] >= 0xDC00 && src[i] <= 0xDFFF) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (src[i++] - 0xDC00u);
      } else {
        cp = kReplacement;  // a lone surrogate
      }
    }
    int length = cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
    if (!out.Room(length)) return -1;
    if (length == 1) {
      out.Put(static_cast<char>(cp));
      continue;
    }
    if (length == 2) {
      out.Put(static_cast<char>(0xC0 | cp >> 6));
    } else if (length == 3) {
      out.Put(static_cast<char>(0xE0 | cp >> 12));
      out.Put(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
    } else {
      out.Put(static_cast<char>(0xF0 | cp >> 18));
      out.Put(static_cast<char>(0x80 | (cp >> 12 & 0x3F)));
      out.Put(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
    }
    out.Put(static_cast<char>(0x80 | (cp & 0x3F)));
  }
  return out.count;
}

// Validates the arguments common to both directions the way Windows does and
// gives the source length, or -1 when the call must fail.
template <class Unit, class Out>
int64_t SourceLength(UINT codePage, const Unit* src, int srcLength, const Out* dst, int dstLength) {
  if (!KnownCodePage(codePage) || src == nullptr || srcLength == 0 || srcLength < -1) return -1;
  if (dstLength < 0 || (dst == nullptr && dstLength != 0)) return -1;
  if (srcLength != -1) return srcLength;
  int64_t n = 0;
  if constexpr (sizeof(Unit) == 1) {
    n = static_cast<int64_t>(strlen(src));
  } else {
    while (src[n] != 0) ++n;
  }
  return n + 1;  // the terminator is converted and counted too
}

}  // namespace

int MultiByteToWideChar(UINT codePage, DWORD flags, const char* src, int srcLength, WCHAR* dst,
                        int dstLength) {
  int64_t n = SourceLength(codePage, src, srcLength, dst, dstLength);
  if (n < 0 || flags != 0) return 0;
  const auto* bytes = reinterpret_cast<const uint8_t*>(src);
  int64_t count;
  if (codePage == CP_UTF8) {
    count = dstLength == 0 ? Utf8ToWide<false>(bytes, n, nullptr, 0)
                           : Utf8ToWide<true>(bytes, n, dst, dstLength);
  } else {
    count = dstLength == 0 ? GbkToWide<false>(bytes, n, nullptr, 0)
                           : GbkToWide<true>(bytes, n, dst, dstLength);
  }
  return count < 0 || count > INT_MAX ? 0 : static_cast<int>(count);
}

int WideCharToMultiByte(UINT codePage, DWORD flags, const WCHAR* src, int srcLength, char* dst,
                        int dstLength, const char* defaultChar, BOOL* usedDefaultChar) {
  int64_t n = SourceLength(codePage, src, srcLength, dst, dstLength);
  if (n < 0 || flags != 0) return 0;
  // A caller's default character is not supported; UTF-8 never takes one.
  if (defaultChar != nullptr || (codePage == CP_UTF8 && usedDefaultChar != nullptr)) return 0;
  int64_t count;
  bool usedDefault = false;
  if (codePage == CP_UTF8) {
    count = dstLength == 0 ? WideToUtf8<false>(src, n, nullptr, 0)
                           : WideToUtf8<true>(src, n, dst, dstLength);
  } else {
    count = dstLength == 0 ? WideToGbk<false>(src, n, nullptr, 0, usedDefault)
                           : WideToGbk<true>(src, n, dst, dstLength, usedDefault);
  }
  if (usedDefaultChar != nullptr) *usedDefaultChar = usedDefault ? 1 : 0;
  return count < 0 || count > INT_MAX ? 0 : static_cast<int>(count);
}

int lstrlenA(const char* s) {
  if (s == nullptr) return 0;
  size_t n = strlen(s);
  return n > INT_MAX ? INT_MAX : static_cast<int>(n);
}

int lstrlenW(const WCHAR* s) {
  if (s == nullptr) return 0;
  int64_t n = 0;
  while (s[n] != 0) ++n;
  return n > INT_MAX ? INT_MAX : static_cast<int>(n);
}
