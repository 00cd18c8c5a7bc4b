// libFuzzer target: any bytes given to the theme parser either load as a
// sound package or leave the built-in theme, and nothing is read past them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "directui/theme.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A copy of exactly `size` bytes, so that AddressSanitizer sees any read past it.
  std::vector<uint8_t> bytes(data, data + size);
  exdui::Theme theme;
  theme.captionHeight = 1;  // not a built-in value: a refused package must reset it
  const exdui::ThemeStatus status = exdui::ParseTheme(bytes.data(), bytes.size(), &theme);
  const exdui::Theme defaults;
  if (status != exdui::ThemeStatus::Loaded) {
    if (theme.captionHeight != defaults.captionHeight || theme.fontFamily != defaults.fontFamily)
      std::abort();
  }
  if (theme.captionHeight < 16 || theme.captionHeight > 120) std::abort();
  return 0;
}
