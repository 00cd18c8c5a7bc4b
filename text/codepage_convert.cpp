// Conversion between code page 936, UTF-8 and UTF-16 through the platform's
// code page functions: each conversion counts first, then converts into a
// buffer of exactly that size.
#include "platform/codepage.h"
#include "text/text.h"

namespace {

Bytes ZeroUnit() {
  return Bytes(std::string(2, '\0'));
}

// The whole units of a UTF-16 value; an odd last byte is ignored.
int UnitCount(const Bytes& wide) {
  return wide.size() / 2;
}

const WCHAR* Units(const Bytes& wide) {
  return reinterpret_cast<const WCHAR*>(wide.str().data());
}

// Converts `count` units to a narrow text, cut at its first zero byte.
Text ConvertUnits(const WCHAR* units, int count, int codePage) {
  int size = WideCharToMultiByte(static_cast<UINT>(codePage), 0, units, count, nullptr, 0, nullptr,
                                 nullptr);
  if (size <= 0) return Text();
  std::string narrow(static_cast<size_t>(size), '\0');
  int done = WideCharToMultiByte(static_cast<UINT>(codePage), 0, units, count, narrow.data(), size,
                                 nullptr, nullptr);
  if (done <= 0) return Text();
  narrow.resize(static_cast<size_t>(done));
  return Text(std::move(narrow));
}

}  // namespace

Bytes AnsiToWide(const Text& text, int codePage) {
  if (text.empty()) return ZeroUnit();
  auto page = static_cast<UINT>(codePage);
  int n = MultiByteToWideChar(page, 0, text.c_str(), text.size(), nullptr, 0);
  if (n <= 0) return ZeroUnit();
  std::string wide((static_cast<size_t>(n) + 1) * 2, '\0');  // the last unit stays zero
  int done = MultiByteToWideChar(page, 0, text.c_str(), text.size(),
                                 reinterpret_cast<WCHAR*>(wide.data()), n);
  if (done != n) return ZeroUnit();
  return Bytes(std::move(wide));
}

Text WideToAnsi(const Bytes& wide, int codePage) {
  int count = UnitCount(wide);
  if (count == 0) return Text();
  return ConvertUnits(Units(wide), count, codePage);
}

Bytes CodePageToWide(const Text& text, int codePage) {
  // The terminator is converted too, so the result ends in one zero unit.
  auto page = static_cast<UINT>(codePage);
  int n = MultiByteToWideChar(page, 0, text.c_str(), -1, nullptr, 0);
  if (n <= 0) return ZeroUnit();
  std::string wide(static_cast<size_t>(n) * 2, '\0');
  int done =
      MultiByteToWideChar(page, 0, text.c_str(), -1, reinterpret_cast<WCHAR*>(wide.data()), n);
  if (done != n) return ZeroUnit();
  return Bytes(std::move(wide));
}

Text WideToCodePage(const Bytes& wide, int codePage) {
  // The units up to and including the first zero unit. A value without one
  // is taken whole instead of being read past its end.
  int count = UnitCount(wide);
  if (count == 0) return Text();
  const WCHAR* units = Units(wide);
  int used = 0;
  while (used < count && units[used] != 0) ++used;
  if (used < count) ++used;  // the zero unit itself
  return ConvertUnits(units, used, codePage);
}

namespace {

// CodePageToWide, then WideToCodePage, with the same counting and
// converting calls, but the UTF-16 step goes into a buffer kept for the
// thread instead of a new value each time: for long texts making and
// clearing that value cost as much as converting it.
Text Recode(const Text& text, int from, int to) {
  thread_local std::u16string scratch;
  constexpr size_t kKeptUnits = 8u << 20;  // a larger buffer is not kept
  auto page = static_cast<UINT>(from);
  int n = MultiByteToWideChar(page, 0, text.c_str(), -1, nullptr, 0);
  if (n <= 0) return Text();
  if (scratch.size() < static_cast<size_t>(n)) scratch.resize(static_cast<size_t>(n));
  Text result;
  if (MultiByteToWideChar(page, 0, text.c_str(), -1, scratch.data(), n) == n) {
    // The last unit is the only zero unit: a Text holds no zero byte, and
    // no other byte sequence decodes to U+0000.
    result = ConvertUnits(scratch.data(), n, to);
  }
  if (scratch.size() > kKeptUnits) std::u16string().swap(scratch);
  return result;
}

}  // namespace

Text GbkToUtf8(const Text& text) {
  if (text.empty()) return Text();
  return Recode(text, 936, 65001);
}

Text Utf8ToGbk(const Text& text) {
  if (text.empty()) return Text();
  return Recode(text, 65001, 936);
}
