// Picture headers, read before decoding: the decoders would otherwise
// allocate whatever a header claims, and fill a truncated file with grey.
#include <cstring>

#include "directui/image.h"

namespace exdui {
namespace {

uint32_t BigEndian32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}
uint32_t BigEndian16(const uint8_t* p) {
  return (uint32_t{p[0]} << 8) | p[1];
}

bool ReadPng(const uint8_t* data, size_t length, PictureHeader* header) {
  static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (length < 8 || std::memcmp(data, kSignature, 8) != 0) return false;
  size_t pos = 8;
  bool sawHeader = false, sawData = false;
  while (true) {
    if (length - pos < 12) return false;  // a chunk needs length, type and CRC
    const uint32_t chunkLength = BigEndian32(data + pos);
    if (chunkLength > 0x7FFFFFFFu || chunkLength > length - pos - 12) return false;
    const uint8_t* type = data + pos + 4;
    const uint8_t* body = data + pos + 8;
    if (!sawHeader) {
      if (std::memcmp(type, "IHDR", 4) != 0 || chunkLength != 13) return false;
      const uint32_t width = BigEndian32(body), height = BigEndian32(body + 4);
      if (width > 0x7FFFFFFFu || height > 0x7FFFFFFFu) return false;
      header->width = static_cast<int32_t>(width);
      header->height = static_cast<int32_t>(height);
      sawHeader = true;
    } else if (std::memcmp(type, "IDAT", 4) == 0) {
      sawData = true;
    } else if (std::memcmp(type, "IEND", 4) == 0) {
      header->format = PictureFormat::Png;
      return sawData;
    }
    pos += 12 + size_t{chunkLength};
  }
}

// Start-of-frame markers carry the dimensions: C0-CF except DHT (C4), JPG
// (C8) and DAC (CC).
bool IsStartOfFrame(uint8_t marker) {
  return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Past the entropy-coded data of a scan: to the next marker that is neither
// a stuffed zero nor a restart marker. False when the data ends first.
bool SkipScanData(const uint8_t* data, size_t length, size_t* pos) {
  size_t p = *pos;
  while (p + 1 < length) {
    if (data[p] != 0xFF) {
      ++p;
      continue;
    }
    const uint8_t next = data[p + 1];
    if (next == 0x00 || (next >= 0xD0 && next <= 0xD7)) {
      p += 2;
    } else if (next == 0xFF) {
      ++p;  // fill byte before a marker
    } else {
      *pos = p;
      return true;
    }
  }
  return false;
}

bool ReadJpeg(const uint8_t* data, size_t length, PictureHeader* header) {
  if (length < 4 || data[0] != 0xFF || data[1] != 0xD8) return false;
  size_t pos = 2;
  bool sawFrame = false, sawScan = false;
  while (true) {
    if (pos >= length || data[pos] != 0xFF) return false;
    while (pos < length && data[pos] == 0xFF) ++pos;
    if (pos >= length) return false;
    const uint8_t marker = data[pos++];
    if (marker == 0xD9) {  // end of image
      if (!sawFrame || !sawScan) return false;
      header->format = PictureFormat::Jpeg;
      return true;
    }
    if (marker == 0xD8 || marker == 0x00) return false;
    if ((marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) continue;  // no length
    if (length - pos < 2) return false;
    const uint32_t segmentLength = BigEndian16(data + pos);
    if (segmentLength < 2 || segmentLength > length - pos) return false;
    if (IsStartOfFrame(marker) && !sawFrame) {
      if (segmentLength < 8) return false;
      header->height = static_cast<int32_t>(BigEndian16(data + pos + 3));
      header->width = static_cast<int32_t>(BigEndian16(data + pos + 5));
      sawFrame = true;
    }
    pos += segmentLength;
    if (marker == 0xDA) {  // start of scan: entropy-coded data follows
      if (!sawFrame) return false;
      sawScan = true;
      if (!SkipScanData(data, length, &pos)) return false;
    }
  }
}

}  // namespace

bool ReadPictureHeader(const uint8_t* data, size_t length, PictureHeader* header) {
  *header = PictureHeader{};
  if (data == nullptr || length == 0) return false;
  PictureHeader found;
  if (ReadPng(data, length, &found) || ReadJpeg(data, length, &found)) {
    *header = found;
    return true;
  }
  return false;
}

bool PictureSizeAllowed(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
         width * height <= kMaxPicturePixels;
}

}  // namespace exdui
