#include "text/finder.h"

#include <cstring>

namespace text_internal {

namespace {
constexpr size_t kChunkBytes = 64 * 1024;
}

Finder::Finder(std::string_view text, std::string_view sought, bool ignoreCase, uint8_t leadMin)
    : text_(reinterpret_cast<const uint8_t*>(text.data())),
      length_(text.size()),
      sought_(sought),
      fold_(false),
      leadMin_(leadMin) {
  if (ignoreCase) {
    // A sought text without letters matches the same bytes either way.
    for (char& c : sought_) {
      uint8_t folded = FoldByte(static_cast<uint8_t>(c));
      if (folded != static_cast<uint8_t>(c) || static_cast<uint8_t>(c - 'a') < 26) fold_ = true;
      c = static_cast<char>(folded);
    }
  }
}

size_t Finder::RawNext(size_t from) {
  size_t m = sought_.size();
  if (m == 0 || from > length_ || length_ - from < m) return kNotFound;
  if (fold_) return FoldedNext(from);
  const void* hit;
  if (m == 1) {
    hit = memchr(text_ + from, static_cast<uint8_t>(sought_[0]), length_ - from);
  } else {
    hit = memmem(text_ + from, length_ - from, sought_.data(), m);
  }
  return hit == nullptr ? kNotFound : static_cast<size_t>(static_cast<const uint8_t*>(hit) - text_);
}

// Searches a folded copy of the text, made a chunk at a time so that an early
// match costs little; chunks overlap by the sought length less one.
size_t Finder::FoldedNext(size_t from) {
  size_t m = sought_.size();
  while (length_ - from >= m) {
    if (from < chunkBegin_ || from + m > chunkEnd_) {
      chunkBegin_ = from;
      size_t room = length_ - from;
      size_t want = kChunkBytes + m - 1;
      chunkEnd_ = from + (room < want ? room : want);
      chunk_.resize(chunkEnd_ - chunkBegin_);
      const uint8_t* in = text_ + chunkBegin_;
      uint8_t* out = chunk_.data();
      for (size_t i = 0, n = chunk_.size(); i < n; ++i) out[i] = FoldByte(in[i]);
    }
    const uint8_t* base = chunk_.data();
    size_t offset = from - chunkBegin_;
    size_t span = chunkEnd_ - from;
    const void* hit = m == 1 ? memchr(base + offset, static_cast<uint8_t>(sought_[0]), span)
                             : memmem(base + offset, span, sought_.data(), m);
    if (hit != nullptr)
      return chunkBegin_ + static_cast<size_t>(static_cast<const uint8_t*>(hit) - base);
    if (chunkEnd_ == length_) return kNotFound;
    from = chunkEnd_ - m + 1;  // every start before this one was searched
  }
  return kNotFound;
}

bool Finder::BeginsCharacter(size_t p) {
  // Back to a position that surely begins a character: after two single
  // bytes in a row (the second cannot be a trail byte, since the first is no
  // lead), after one single byte at a known start, or the known start itself.
  size_t y = p;
  while (y > known_) {
    if (text_[y - 1] < leadMin_ && (y - 1 == known_ || text_[y - 2] < leadMin_)) break;
    --y;
  }
  size_t c = y;
  while (c < p) c += text_[c] >= leadMin_ ? 2 : 1;
  known_ = c;
  return c == p;
}

bool Finder::BeginsCharacterFrom(size_t p, size_t base) {
  // The last checked place may lie beyond p; then walk again from base.
  if (!started_ || base > known_ || p < known_) known_ = base;
  started_ = true;
  return BeginsCharacter(p);
}

size_t Finder::Next(size_t from, size_t base) {
  // A base behind the last checked place adds nothing and would only make
  // the next check step over the same bytes again.
  if (!started_ || base > known_) known_ = base;
  started_ = true;
  for (size_t p = RawNext(from); p != kNotFound; p = RawNext(p + 1)) {
    if (BeginsCharacter(p)) return p;
  }
  return kNotFound;
}

}  // namespace text_internal
