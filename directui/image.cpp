// Images: _img_createfrommemory decodes PNG and JPEG through SDL_image into a
// premultiplied Cairo surface; _img_scale makes a smoothly scaled copy.
#include "directui/image.h"

#include <SDL.h>
#include <SDL_image.h>

#include <climits>

#include "directui/handles.h"
#include "directui/include/exdui_export.h"

namespace exdui {
namespace {

// One premultiplied ARGB32 surface from a decoded SDL surface of the same size.
cairo_surface_t* SurfaceFromSdl(SDL_Surface* decoded) {
  SDL_Surface* argb = SDL_ConvertSurfaceFormat(decoded, SDL_PIXELFORMAT_ARGB8888, 0);
  if (argb == nullptr) return nullptr;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, argb->w, argb->h);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    SDL_FreeSurface(argb);
    return nullptr;
  }
  cairo_surface_flush(surface);
  uint8_t* target = cairo_image_surface_get_data(surface);
  const int targetStride = cairo_image_surface_get_stride(surface);
  SDL_LockSurface(argb);
  for (int y = 0; y < argb->h; ++y) {
    const auto* from = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(argb->pixels) +
                                                         size_t(y) * argb->pitch);
    auto* to = reinterpret_cast<uint32_t*>(target + size_t(y) * targetStride);
    for (int x = 0; x < argb->w; ++x) {
      const uint32_t p = from[x];
      const uint32_t a = p >> 24;
      if (a == 255) {
        to[x] = p;
      } else {
        // Cairo wants colour premultiplied by alpha, rounded.
        auto mul = [a](uint32_t c) { return (c * a + 127) / 255; };
        to[x] =
            (a << 24) | (mul((p >> 16) & 0xFF) << 16) | (mul((p >> 8) & 0xFF) << 8) | mul(p & 0xFF);
      }
    }
  }
  SDL_UnlockSurface(argb);
  SDL_FreeSurface(argb);
  cairo_surface_mark_dirty(surface);
  return surface;
}

HEXHANDLE AddImage(cairo_surface_t* surface) {
  auto* image = new Image;
  image->surface = surface;
  image->width = cairo_image_surface_get_width(surface);
  image->height = cairo_image_surface_get_height(surface);
  const HEXHANDLE handle = HandleAdd(HandleKind::Image, image);
  if (handle == 0) {
    cairo_surface_destroy(surface);
    delete image;
  }
  return handle;
}

}  // namespace

const Image* ImageFromHandle(HEXHANDLE image) {
  return HandleAs<Image>(image, HandleKind::Image);
}

}  // namespace exdui

using namespace exdui;

EXDUI_EXPORT int32_t _img_createfrommemory(const void* lpData, intptr_t dwLen, HEXHANDLE* phImg) {
  if (phImg == nullptr) return 0;
  *phImg = 0;
  if (lpData == nullptr || dwLen <= 0 || dwLen > INT_MAX) return 0;
  const auto* data = static_cast<const uint8_t*>(lpData);
  PictureHeader header;
  if (!ReadPictureHeader(data, size_t(dwLen), &header)) return 0;
  if (!PictureSizeAllowed(header.width, header.height)) return 0;
  SDL_RWops* stream = SDL_RWFromConstMem(data, static_cast<int>(dwLen));
  if (stream == nullptr) return 0;
  SDL_Surface* decoded =
      IMG_LoadTyped_RW(stream, 1, header.format == PictureFormat::Png ? "PNG" : "JPG");
  if (decoded == nullptr) return 0;
  // A decoder that disagrees with the header read a different picture.
  cairo_surface_t* surface = nullptr;
  if (decoded->w == header.width && decoded->h == header.height) surface = SurfaceFromSdl(decoded);
  SDL_FreeSurface(decoded);
  if (surface == nullptr) return 0;
  *phImg = AddImage(surface);
  return *phImg != 0 ? 1 : 0;
}

EXDUI_EXPORT int32_t _img_scale(HEXHANDLE hImg, int32_t dstWidth, int32_t dstHeight,
                                HEXHANDLE* phImg) {
  if (phImg == nullptr) return 0;
  *phImg = 0;
  const Image* image = ImageFromHandle(hImg);
  if (image == nullptr || !PictureSizeAllowed(dstWidth, dstHeight)) return 0;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, dstWidth, dstHeight);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return 0;
  }
  cairo_t* cr = cairo_create(surface);
  cairo_scale(cr, double(dstWidth) / image->width, double(dstHeight) / image->height);
  cairo_set_source_surface(cr, image->surface, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
  // Edge pixels continue outward, so the borders do not fade when enlarged.
  cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_paint(cr);
  cairo_destroy(cr);
  *phImg = AddImage(surface);
  return *phImg != 0 ? 1 : 0;
}

EXDUI_EXPORT int32_t _img_getsize(HEXHANDLE hImg, int32_t* lpWidth, int32_t* lpHeight) {
  const Image* image = ImageFromHandle(hImg);
  if (image == nullptr) {
    if (lpWidth != nullptr) *lpWidth = 0;
    if (lpHeight != nullptr) *lpHeight = 0;
    return 0;
  }
  if (lpWidth != nullptr) *lpWidth = image->width;
  if (lpHeight != nullptr) *lpHeight = image->height;
  return 1;
}

EXDUI_EXPORT int32_t _img_destroy(HEXHANDLE hImg) {
  Image* image = HandleAs<Image>(hImg, HandleKind::Image);
  if (image == nullptr) return 0;
  HandleRemove(hImg);
  cairo_surface_destroy(image->surface);
  delete image;
  return 1;
}
