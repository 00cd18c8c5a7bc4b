// libFuzzer target: any bytes handed to _img_createfrommemory either give a
// picture of an allowed size, which scales and draws, or a null handle.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "directui/image.h"
#include "directui/include/exdui_export.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  HEXHANDLE image = 0;
  const int32_t ok = _img_createfrommemory(data, intptr_t(size), &image);
  if ((ok != 0) != (image != 0)) std::abort();
  if (image == 0) return 0;
  int32_t width = 0, height = 0;
  if (_img_getsize(image, &width, &height) != 1 || !exdui::PictureSizeAllowed(width, height)) {
    std::abort();
  }
  HEXHANDLE scaled = 0;
  _img_scale(image, 7, 5, &scaled);
  if (scaled == 0) std::abort();
  _img_destroy(scaled);
  _img_destroy(image);
  return 0;
}
