// The value types and the byte-counting primitives on Text, Bytes and lists.
#include <climits>
#include <cmath>
#include <cstring>

#include "text/text.h"

namespace {

// The length of a part of a value given by an int64 start and count already
// limited to the value: keeps start + n from overflowing 32 bits.
int64_t Limit(int64_t value, int64_t low, int64_t high) {
  return value < low ? low : (value > high ? high : value);
}

std::string_view CutAtZero(std::string_view s) {
  const void* zero = memchr(s.data(), 0, s.size());
  return zero == nullptr ? s : s.substr(0, static_cast<const char*>(zero) - s.data());
}

}  // namespace

Text::Text(const char* s) {
  if (s != nullptr) bytes_.assign(s);
}

Text::Text(std::string_view s) : bytes_(CutAtZero(s)) {}

Text::Text(std::string&& s) : bytes_(std::move(s)) {
  size_t zero = bytes_.find('\0');
  if (zero != std::string::npos) bytes_.resize(zero);
}

Bytes::Bytes(const void* data, int length) {
  if (data != nullptr && length > 0)
    bytes_.assign(static_cast<const char*>(data), static_cast<size_t>(length));
}

// ---- Text basics ----

int TextLength(const Text& text) {
  return text.size();
}

const char* TextData(const Text& text) {
  return text.empty() ? nullptr : text.c_str();
}

Text ConcatTextList(std::initializer_list<std::string_view> parts) {
  size_t total = 0;
  for (std::string_view part : parts) total += part.size();
  std::string joined;
  joined.reserve(total);
  for (std::string_view part : parts) joined.append(part);
  return Text(std::move(joined));
}

int CompareText(const Text& a, const Text& b) {
  // std::string compares through memcmp: unsigned bytes, a proper prefix first.
  int order = a.str().compare(b.str());
  return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

Text TextLeft(const Text& text, int n) {
  if (n <= 0) return Text();
  return Text(std::string_view(text.str()).substr(0, static_cast<size_t>(n)));
}

Text TextRight(const Text& text, int n) {
  if (n <= 0) return Text();
  size_t count = static_cast<size_t>(Limit(n, 0, text.size()));
  return Text(std::string_view(text.str()).substr(text.str().size() - count));
}

Text TextMid(const Text& text, int start, int n) {
  int64_t length = text.size();
  if (start < 1 || start > length || n <= 0) return Text();
  int64_t count = Limit(n, 0, length - start + 1);
  return Text(std::string_view(text.str())
                  .substr(static_cast<size_t>(start - 1), static_cast<size_t>(count)));
}

Text BlankText(int n) {
  if (n <= 0) return Text();
  return Text(std::string(static_cast<size_t>(n), ' '));
}

// ---- Characters and numbers ----

int CharCode(const Text& text) {
  if (text.empty()) return 0;
  return static_cast<int8_t>(static_cast<uint8_t>(text.str()[0]));
}

Text CharFromCode(int code) {
  char byte = static_cast<char>(static_cast<uint32_t>(code) & 0xFF);
  if (byte == 0) return Text();
  return Text(std::string(1, byte));
}

Text ToHexText(int32_t value) {
  static const char kDigits[] = "0123456789ABCDEF";
  auto rest = static_cast<uint32_t>(value);
  char digits[8];
  int count = 0;
  do {
    digits[count++] = kDigits[rest & 0xF];
    rest >>= 4;
  } while (rest != 0);
  std::string hex;
  while (count > 0) hex.push_back(digits[--count]);
  return Text(std::move(hex));
}

int TextToInt(const Text& text) {
  // Full-width forms become ASCII first, stepping by characters so that a
  // trail byte is never mistaken for a lead byte.
  const std::string& in = text.str();
  std::string ascii;
  ascii.reserve(in.size());
  for (size_t i = 0; i < in.size();) {
    auto lead = static_cast<uint8_t>(in[i]);
    if (lead < 0x80 || i + 1 >= in.size()) {
      ascii.push_back(in[i++]);
      continue;
    }
    auto trail = static_cast<uint8_t>(in[i + 1]);
    if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
      ascii.push_back(static_cast<char>(trail - 0xA1 + 0x21));
    } else if (lead == 0xA1 && trail == 0xA1) {
      ascii.push_back(' ');
    } else {
      ascii.append(in, i, 2);
    }
    i += 2;
  }
  size_t i = 0;
  while (i < ascii.size() && (ascii[i] == ' ' || (ascii[i] >= '\t' && ascii[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < ascii.size() && (ascii[i] == '+' || ascii[i] == '-')) negative = ascii[i++] == '-';
  int64_t value = 0;
  const int64_t limit = negative ? -static_cast<int64_t>(INT_MIN) : INT_MAX;
  for (; i < ascii.size() && ascii[i] >= '0' && ascii[i] <= '9'; ++i) {
    value = value * 10 + (ascii[i] - '0');
    if (value > limit) value = limit;  // stays small enough never to overflow
  }
  return static_cast<int>(negative ? -value : value);
}

double IntegerDivide(double a, double b) {
  return std::trunc(a / b);
}

// ---- Bytes ----

int BytesLength(const Bytes& bytes) {
  return bytes.size();
}

const uint8_t* BytesData(const Bytes& bytes) {
  return bytes.empty() ? nullptr : reinterpret_cast<const uint8_t*>(bytes.str().data());
}

uint8_t* BytesData(Bytes& bytes) {
  return bytes.empty() ? nullptr : reinterpret_cast<uint8_t*>(bytes.str().data());
}

Bytes BlankBytes(int n) {
  if (n <= 0) return Bytes();
  return Bytes(std::string(static_cast<size_t>(n), '\0'));
}

Bytes BytesLeft(const Bytes& bytes, int n) {
  size_t count = static_cast<size_t>(Limit(n, 0, bytes.size()));
  return Bytes(bytes.str().substr(0, count));
}

Bytes BytesMid(const Bytes& bytes, int start, int n) {
  int64_t length = bytes.size();
  int64_t skip = Limit(static_cast<int64_t>(start) - 1, 0, length);
  int64_t count = Limit(n, 0, length - skip);
  return Bytes(bytes.str().substr(static_cast<size_t>(skip), static_cast<size_t>(count)));
}

Bytes ConcatBytesList(std::initializer_list<std::string_view> parts) {
  size_t total = 0;
  for (std::string_view part : parts) total += part.size();
  std::string joined;
  joined.reserve(total);
  for (std::string_view part : parts) joined.append(part);
  return Bytes(std::move(joined));
}

int CompareBytes(const Bytes& a, const Bytes& b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  int order = a.str().compare(b.str());
  return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

Text BytesToText(const Bytes& bytes) {
  return Text(std::string_view(bytes.str()));
}

Bytes TextToBytes(const Text& text) {
  return Bytes(text.str());
}

uint8_t ByteAt(const Bytes& bytes, int index) {
  if (index < 1 || index > bytes.size()) return 0;
  return static_cast<uint8_t>(bytes.str()[static_cast<size_t>(index - 1)]);
}

// ---- Lists ----

int ArraySize(const TextArray& array) {
  return static_cast<int>(array.items().size());
}

const Text& ArrayElement(const TextArray& array, int index) {
  static const Text kEmpty;
  if (index < 1 || static_cast<size_t>(index) > array.items().size()) return kEmpty;
  return array.items()[static_cast<size_t>(index - 1)];
}

void ArrayAppend(TextArray& array, const Text& text) {
  array.items().push_back(text);
}

// ---- Shared helper ----

uint32_t ColorToArgb(uint32_t color, int32_t alpha, int32_t useAlpha) {
  uint32_t a = useAlpha != 0 ? static_cast<uint32_t>(alpha) & 0xFF : 0xFF;
  uint32_t red = color & 0xFF;
  uint32_t green = color >> 8 & 0xFF;
  uint32_t blue = color >> 16 & 0xFF;
  return a << 24 | red << 16 | green << 8 | blue;
}
