// Packs a theme source (name = value lines) into the library's theme package.
//   pack_theme SOURCE OUTPUT
// Fails, naming the line, on an unknown name, a malformed value or a value
// out of range, so a broken source never yields a package.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "directui/theme_format.h"

namespace {

using exdui::ThemeKeyInfo;
using exdui::ThemeType;

std::string Trim(const std::string& s) {
  size_t a = 0, b = s.size();
  while (a < b && (s[a] == ' ' || s[a] == '\t' || s[a] == '\r')) ++a;
  while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\t' || s[b - 1] == '\r')) --b;
  return s.substr(a, b - a);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool ParseColour(const std::string& text, uint32_t* out) {
  std::string digits;
  if (text.size() == 9 && text[0] == '#') digits = text.substr(1);
  else if (text.size() == 10 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) digits = text.substr(2);
  else return false;
  uint32_t v = 0;
  for (char c : digits) {
    const int d = HexDigit(c);
    if (d < 0) return false;
    v = v << 4 | static_cast<uint32_t>(d);
  }
  *out = v;
  return true;
}

bool ParseInteger(const std::string& text, int32_t* out) {
  if (text.empty() || text.size() > 11) return false;
  size_t i = text[0] == '-' ? 1 : 0;
  if (i == text.size()) return false;
  int64_t v = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    v = v * 10 + (text[i] - '0');
  }
  if (text[0] == '-') v = -v;
  if (v < INT32_MIN || v > INT32_MAX) return false;
  *out = static_cast<int32_t>(v);
  return true;
}

void PutU16(std::vector<uint8_t>& b, uint16_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
void PutU32(std::vector<uint8_t>& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

const ThemeKeyInfo* KeyByName(const std::string& name) {
  for (const ThemeKeyInfo& info : exdui::kThemeKeys)
    if (name == info.name) return &info;
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: pack_theme SOURCE OUTPUT\n");
    return 2;
  }
  std::ifstream in(argv[1]);
  if (!in) {
    std::fprintf(stderr, "pack_theme: cannot read %s\n", argv[1]);
    return 1;
  }
  std::vector<uint8_t> body;
  uint16_t count = 0;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    const std::string text = Trim(line);
    if (text.empty() || text[0] == '#') continue;
    const size_t eq = text.find('=');
    const ThemeKeyInfo* info = eq == std::string::npos ? nullptr : KeyByName(Trim(text.substr(0, eq)));
    const std::string value = eq == std::string::npos ? "" : Trim(text.substr(eq + 1));
    bool ok = info != nullptr;
    std::vector<uint8_t> bytes;
    if (ok && info->type == ThemeType::Colour) {
      uint32_t c = 0;
      ok = ParseColour(value, &c);
      PutU32(bytes, c);
    } else if (ok && info->type == ThemeType::Integer) {
      int32_t v = 0;
      ok = ParseInteger(value, &v) && v >= info->minValue && v <= info->maxValue;
      PutU32(bytes, static_cast<uint32_t>(v));
    } else if (ok) {
      ok = value.size() >= 3 && value.front() == '"' && value.back() == '"' && value.size() - 2 <= 255;
      if (ok) bytes.assign(value.begin() + 1, value.end() - 1);
    }
    if (!ok) {
      std::fprintf(stderr, "%s:%d: not a theme value: %s\n", argv[1], number, text.c_str());
      return 1;
    }
    PutU16(body, static_cast<uint16_t>(info->key));
    body.push_back(static_cast<uint8_t>(info->type));
    body.push_back(0);
    PutU16(body, static_cast<uint16_t>(bytes.size()));
    body.insert(body.end(), bytes.begin(), bytes.end());
    ++count;
  }
  std::vector<uint8_t> package(exdui::kThemeMagic, exdui::kThemeMagic + 4);
  PutU16(package, exdui::kThemeVersion);
  PutU16(package, count);
  PutU32(package, static_cast<uint32_t>(body.size()));
  PutU32(package, exdui::ThemeCrc32(body.data(), body.size()));
  package.insert(package.end(), body.begin(), body.end());
  std::ofstream out(argv[2], std::ios::binary);
  out.write(reinterpret_cast<const char*>(package.data()), static_cast<std::streamsize>(package.size()));
  if (!out) {
    std::fprintf(stderr, "pack_theme: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
