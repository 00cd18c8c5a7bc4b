// Pictures: decoded once into a Cairo surface, after their header has shown
// that they are small enough to decode.
#pragma once

#include <cairo.h>

#include <cstddef>
#include <cstdint>

#include "directui/include/exdui_abi.h"

namespace exdui {

// Pictures larger than this are refused before anything is decoded.
constexpr int64_t kMaxPicturePixels = 16 * 1024 * 1024;
constexpr int32_t kMaxPictureSide = 16384;

struct Image {
  cairo_surface_t* surface = nullptr;  // CAIRO_FORMAT_ARGB32, premultiplied
  int32_t width = 0;
  int32_t height = 0;
};

enum class PictureFormat { Unknown, Png, Jpeg };

struct PictureHeader {
  PictureFormat format = PictureFormat::Unknown;
  int32_t width = 0;
  int32_t height = 0;
};

// Reads a PNG's or JPEG's dimensions and walks its whole structure (PNG
// chunks up to IEND, JPEG segments and scans up to EOI). False for any other
// format and for a truncated or malformed file.
bool ReadPictureHeader(const uint8_t* data, size_t length, PictureHeader* header);
// True when a picture of that size may be decoded or made.
bool PictureSizeAllowed(int64_t width, int64_t height);

// The image behind a live image handle, else null.
const Image* ImageFromHandle(HEXHANDLE image);

}  // namespace exdui
