// Finding a sought text at character starts, shared by the searching and
// editing primitives.
//
// Raw matches are found with memmem (on a folded copy when case is ignored);
// each is then checked to begin a character. Checking steps forward from the
// nearest point known to begin a character: two bytes in a row below the lead
// range, or the last place already checked. So a search touches little more
// than the bytes memmem reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace text_internal {

inline constexpr size_t kNotFound = static_cast<size_t>(-1);

// ASCII letters only, whatever the system's language settings.
inline uint8_t FoldByte(uint8_t b) {
  return static_cast<uint8_t>(b - 'A') < 26 ? b | 0x20 : b;
}

class Finder {
 public:
  // leadMin: the smallest lead byte of a double-byte character (0x80 for the
  // character-stepping primitives, 0x81 for the marker search).
  Finder(std::string_view text, std::string_view sought, bool ignoreCase, uint8_t leadMin = 0x80);

  // The first position p >= from at which the sought text matches and which
  // begins a character when stepping from `base`, a position known to begin
  // one (base <= from). kNotFound when there is none. Calls must not go
  // back: each `from` and each base after the first is at least the
  // previous result; a base behind the last checked place keeps that place.
  size_t Next(size_t from, size_t base);
  size_t Next(size_t from) { return Next(from, from); }
  // Whether p begins a character when stepping from base (base <= p).
  bool BeginsCharacterFrom(size_t p, size_t base);

 private:
  size_t RawNext(size_t from);
  size_t FoldedNext(size_t from);
  bool BeginsCharacter(size_t p);

  const uint8_t* text_;
  size_t length_;
  std::string sought_;  // folded when case is ignored
  bool fold_;
  uint8_t leadMin_;
  size_t known_ = 0;  // a position known to begin a character
  bool started_ = false;
  // The folded copy of text bytes [chunkBegin_, chunkEnd_).
  std::vector<uint8_t> chunk_;
  size_t chunkBegin_ = 0;
  size_t chunkEnd_ = 0;
};

}  // namespace text_internal
