// Text values of the client and their primitives.
//
// Text      narrow text in code page 936 (GBK); never holds a zero byte.
// Bytes     a length-counted byte sequence; may hold zero bytes.
// TextArray an ordered list of Text, addressed by 1-based index.
//
// Positions are 1-based byte positions; a search that finds nothing yields -1;
// out-of-range positions and counts are limited or give the empty result.
// Every primitive returns a new value and leaves its arguments unchanged.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class Text {
 public:
  Text() = default;
  // Takes the bytes up to, not including, the first zero byte (all of them
  // when there is none), so a Text never holds a zero byte. nullptr is empty.
  Text(const char* s);       // NOLINT(google-explicit-constructor): texts read like literals
  Text(std::string_view s);  // NOLINT(google-explicit-constructor)
  Text(const std::string& s) : Text(std::string_view(s)) {}  // NOLINT
  // Takes over the bytes, cut at the first zero byte like the others.
  Text(std::string&& s);  // NOLINT(google-explicit-constructor)

  const std::string& str() const { return bytes_; }
  int size() const { return static_cast<int>(bytes_.size()); }
  bool empty() const { return bytes_.empty(); }
  // The zero-terminated bytes; "" for the empty Text (see TextData for null).
  const char* c_str() const { return bytes_.c_str(); }

  bool operator==(const Text& other) const = default;

 private:
  std::string bytes_;
};

class Bytes {
 public:
  Bytes() = default;
  Bytes(const void* data, int length);
  explicit Bytes(std::string bytes) : bytes_(std::move(bytes)) {}

  const std::string& str() const { return bytes_; }
  std::string& str() { return bytes_; }
  int size() const { return static_cast<int>(bytes_.size()); }
  bool empty() const { return bytes_.empty(); }

  bool operator==(const Bytes& other) const = default;

 private:
  std::string bytes_;
};

class TextArray {
 public:
  TextArray() = default;
  TextArray(std::initializer_list<Text> items) : items_(items) {}

  const std::vector<Text>& items() const { return items_; }
  std::vector<Text>& items() { return items_; }

  bool operator==(const TextArray& other) const = default;

 private:
  std::vector<Text> items_;
};

// ---- Text basics ----
int TextLength(const Text& text);
// Address of the zero-terminated bytes for platform functions; null for the empty Text.
const char* TextData(const Text& text);
Text ConcatTextList(std::initializer_list<std::string_view> parts);
template <class... More>
Text ConcatText(const Text& a, const Text& b, const More&... more) {
  return ConcatTextList({std::string_view(a.str()), std::string_view(b.str()),
                         std::string_view(Text(more).str())...});
}
int CompareText(const Text& a, const Text& b);
Text TextLeft(const Text& text, int n);
Text TextRight(const Text& text, int n);
Text TextMid(const Text& text, int start, int n);
Text BlankText(int n);

// ---- Characters and numbers ----
int CharCode(const Text& text);
Text CharFromCode(int code);
Text ToHexText(int32_t value);
// Full-width digits, signs and spaces count as their ASCII forms; leading
// white space, an optional sign, then decimal digits. A value beyond the
// 32-bit range is limited to INT32_MIN or INT32_MAX.
int TextToInt(const Text& text);
double IntegerDivide(double a, double b);
inline int32_t BitOr(int32_t a) {
  return a;
}
template <class... More>
int32_t BitOr(int32_t a, int32_t b, More... more) {
  return BitOr(static_cast<int32_t>(a | b), static_cast<int32_t>(more)...);
}
// A routine's entry address as an integer, for handing routines over as callbacks.
template <class Routine>
intptr_t RoutineAddress(Routine* routine) {
  return reinterpret_cast<intptr_t>(routine);
}

// ---- Bytes ----
int BytesLength(const Bytes& bytes);
// Address of the first byte; null for the empty Bytes.
const uint8_t* BytesData(const Bytes& bytes);
uint8_t* BytesData(Bytes& bytes);
Bytes BlankBytes(int n);
Bytes BytesLeft(const Bytes& bytes, int n);
Bytes BytesMid(const Bytes& bytes, int start, int n);
Bytes ConcatBytesList(std::initializer_list<std::string_view> parts);
template <class... More>
Bytes ConcatBytes(const Bytes& a, const Bytes& b, const More&... more) {
  return ConcatBytesList(
      {std::string_view(a.str()), std::string_view(b.str()), std::string_view(more.str())...});
}
int CompareBytes(const Bytes& a, const Bytes& b);
Text BytesToText(const Bytes& bytes);
Bytes TextToBytes(const Text& text);
// The byte at a 1-based index within 1..length; 0 outside it.
uint8_t ByteAt(const Bytes& bytes, int index);

// ---- Lists ----
int ArraySize(const TextArray& array);
// The element at a 1-based index within 1..size; the empty Text outside it.
const Text& ArrayElement(const TextArray& array, int index);
void ArrayAppend(TextArray& array, const Text& text);

// ---- Files and the event loop ----
// The directory of the executable, without a trailing backslash.
Text RunDirectory();
bool FileExists(const Text& path);
bool WriteWholeFile(const Text& path, const Bytes& bytes);
void DelayWithEvents(int milliseconds);

// ---- Code page conversion ----
Bytes AnsiToWide(const Text& text, int codePage = 936);
Text WideToAnsi(const Bytes& wide, int codePage = 936);
Text GbkToUtf8(const Text& text);
Text Utf8ToGbk(const Text& text);
Bytes CodePageToWide(const Text& text, int codePage = 65001);
// The system's ANSI code page, the default, is fixed to 936 here.
Text WideToCodePage(const Bytes& wide, int codePage = 936);

// ---- Percent coding and text extraction ----
Text PercentEncode(const Text& text, bool keepUnreserved = false, bool encodeUtf8 = false);
Text PercentDecode(const Text& text, bool decodeUtf8 = false);
Text TextBetween(const Text& text, const Text& startMarker, const Text& endMarker, int start = 1,
                 bool ignoreCase = false);

// ---- Search and editing ----
int FindText(const Text& text, const Text& sought, int start = 1, bool ignoreCase = false);
int FindTextReverse(const Text& text, const Text& sought, std::optional<int> start = std::nullopt,
                    bool ignoreCase = false);
Text ReplaceText(const Text& text, const Text& sought, const Text& replacement = Text(),
                 int start = 1, std::optional<int> count = std::nullopt, bool caseSensitive = true);
TextArray SplitText(const Text& text, const Text& delimiter);
Text TrimText(const Text& text);
Text ToUpperCase(const Text& text);
Text ToLowerCase(const Text& text);
Text TextLeftOfMarker(const Text& text, const Text& marker, int start = 1, bool ignoreCase = false);

// ---- Shared helper ----
// Windows colour 0x00BBGGRR to the DirectUI library's 0xAARRGGBB.
uint32_t ColorToArgb(uint32_t color, int32_t alpha, int32_t useAlpha);
