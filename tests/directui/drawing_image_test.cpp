// Pictures: decoding PNG and JPEG from memory, refusing what is too large,
// empty, truncated or not a picture before anything large is allocated, and
// smooth scaling.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <chrono>
#include <random>
#include <string>
#include <vector>

#include "directui/image.h"
#include "directui/include/exdui_export.h"
#include "tests/directui/drawing_support.h"

namespace {

using drawing_test::Near;
using drawing_test::SolidJpeg;
using drawing_test::SolidPng;
using drawing_test::Surface;
using Bytes = std::vector<uint8_t>;

constexpr uint32_t kGreen = 0xFF20C040;

TEST(ImageDecode, PngAndJpegGiveTheirSizeAndColours) {
  for (const Bytes& bytes : {SolidPng(30, 20, kGreen), SolidJpeg(30, 20, kGreen)}) {
    ASSERT_FALSE(bytes.empty());
    HEXHANDLE image = 0;
    ASSERT_EQ(_img_createfrommemory(bytes.data(), intptr_t(bytes.size()), &image), 1);
    int32_t w = 0, h = 0;
    EXPECT_EQ(_img_getsize(image, &w, &h), 1);
    EXPECT_EQ(w, 30);
    EXPECT_EQ(h, 20);
    Surface surface(40, 30);
    const HEXHANDLE brush = _brush_createfromimg(image);
    _canvas_fillrect(surface.canvas(), brush, 0, 0, 30, 20);
    EXPECT_TRUE(Near(surface.At(15, 10), kGreen, 12)) << drawing_test::Describe(surface.At(15, 10));
    EXPECT_TRUE(Near(surface.At(35, 25), 0xFFFFFFFF));
    _brush_destroy(brush);
    EXPECT_EQ(_img_destroy(image), 1);
    EXPECT_EQ(_img_getsize(image, &w, &h), 0) << "a destroyed image is stale";
  }
}

TEST(ImageDecode, TranslucentPngIsPremultiplied) {
  const Bytes png = SolidPng(4, 4, 0x80FF0000);
  HEXHANDLE image = 0;
  ASSERT_EQ(_img_createfrommemory(png.data(), intptr_t(png.size()), &image), 1);
  Surface surface(4, 4);
  const HEXHANDLE brush = _brush_createfromimg(image);
  _canvas_fillrect(surface.canvas(), brush, 0, 0, 4, 4);
  EXPECT_TRUE(Near(surface.At(2, 2), 0xFFFF7F7F, 3)) << drawing_test::Describe(surface.At(2, 2));
  _brush_destroy(brush);
  _img_destroy(image);
}

size_t FindMarker(const Bytes& jpeg, uint8_t marker) {
  for (size_t i = 2; i + 1 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && jpeg[i + 1] == marker) return i;
  }
  return 0;
}

Bytes JpegWithSize(int width, int height) {
  Bytes jpeg = SolidJpeg(16, 16, kGreen);
  const size_t sof = FindMarker(jpeg, 0xC0);
  EXPECT_NE(sof, 0u);
  jpeg[sof + 5] = uint8_t(height >> 8);
  jpeg[sof + 6] = uint8_t(height);
  jpeg[sof + 7] = uint8_t(width >> 8);
  jpeg[sof + 8] = uint8_t(width);
  return jpeg;
}

Bytes PngWithSize(uint32_t width, uint32_t height) {
  Bytes png = SolidPng(16, 16, kGreen);
  for (int i = 0; i < 4; ++i) {
    png[16 + i] = uint8_t(width >> (24 - 8 * i));
    png[20 + i] = uint8_t(height >> (24 - 8 * i));
  }
  return png;
}

Bytes Truncated(Bytes bytes, size_t keep) {
  bytes.resize(std::min(keep, bytes.size()));
  return bytes;
}

Bytes RandomBytes(size_t n, uint32_t seed) {
  std::mt19937 random(seed);
  Bytes bytes(n);
  for (auto& b : bytes) b = uint8_t(random());
  return bytes;
}

Bytes WithHeader(Bytes header, size_t n) {
  Bytes rest = RandomBytes(n, 7);
  header.insert(header.end(), rest.begin(), rest.end());
  return header;
}

struct RefusedCase {
  const char* name;
  Bytes (*make)();
};

long PeakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

class RefusedPicture : public testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedPicture, GivesANullHandleQuicklyAndAllocatesNothingLarge) {
  const Bytes bytes = GetParam().make();
  const long peakBefore = PeakKilobytes();
  const auto start = std::chrono::steady_clock::now();
  HEXHANDLE image = 12345;
  EXPECT_EQ(_img_createfrommemory(bytes.data(), intptr_t(bytes.size()), &image), 0);
  EXPECT_EQ(image, 0);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_LT(seconds, 1.0) << "refusing took long: it decoded";
  EXPECT_LT(PeakKilobytes() - peakBefore, 64 * 1024) << "refusing allocated much memory";
  // Drawing with what came back draws nothing.
  Surface surface(20, 20);
  const HEXHANDLE brush = _brush_createfromimg(image);
  EXPECT_EQ(brush, 0);
  EXPECT_EQ(_canvas_fillroundedrect(surface.canvas(), brush, 0, 0, 20, 20, 10, 10), 0);
  EXPECT_TRUE(surface.InkBox().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, RefusedPicture,
    testing::Values(
        RefusedCase{"Jpeg30000x30000", [] { return JpegWithSize(30000, 30000); }},
        RefusedCase{"Jpeg0x0", [] { return JpegWithSize(0, 0); }},
        RefusedCase{"Jpeg5000x4000", [] { return JpegWithSize(5000, 4000); }},  // 20 megapixels
        RefusedCase{"JpegTruncated",
                    [] {
                      Bytes j = SolidJpeg(64, 64, kGreen);
                      return Truncated(j, j.size() / 2);
                    }},
        RefusedCase{"JpegWithoutEnd",
                    [] {
                      Bytes j = SolidJpeg(64, 64, kGreen);
                      return Truncated(j, j.size() - 2);
                    }},
        RefusedCase{"JpegHeaderOnly", [] { return Truncated(SolidJpeg(64, 64, kGreen), 20); }},
        RefusedCase{"JpegBareMarkers",
                    [] {
                      return Bytes{0xFF, 0xD8, 0xFF, 0xD9};
                    }},
        RefusedCase{"Png30000x30000", [] { return PngWithSize(30000, 30000); }},
        RefusedCase{"Png0x16", [] { return PngWithSize(0, 16); }},
        RefusedCase{"PngHugeWidth", [] { return PngWithSize(0x80000000u, 1); }},
        RefusedCase{"PngTruncated",
                    [] {
                      Bytes p = SolidPng(64, 64, kGreen);
                      return Truncated(p, p.size() - 12);
                    }},
        RefusedCase{"PngSignatureOnly", [] { return Truncated(SolidPng(8, 8, kGreen), 8); }},
        RefusedCase{"RandomBytes", [] { return RandomBytes(4096, 1); }},
        RefusedCase{"RandomAfterJpegStart",
                    [] {
                      return WithHeader({0xFF, 0xD8, 0xFF}, 2048);
                    }},
        RefusedCase{"RandomAfterPngSignature",
                    [] {
                      return WithHeader({0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}, 2048);
                    }},
        RefusedCase{"Gif",
                    [] {
                      return WithHeader({'G', 'I', 'F', '8', '9', 'a', 0x10, 0, 0x10, 0}, 64);
                    }},
        RefusedCase{"OneByte", [] { return Bytes{0xFF}; }}),
    [](const testing::TestParamInfo<RefusedCase>& info) { return std::string(info.param.name); });

TEST(ImageDecode, RefusesNullDataAndLengths) {
  const Bytes png = SolidPng(4, 4, kGreen);
  HEXHANDLE image = 99;
  EXPECT_EQ(_img_createfrommemory(nullptr, 100, &image), 0);
  EXPECT_EQ(image, 0);
  EXPECT_EQ(_img_createfrommemory(png.data(), 0, &image), 0);
  EXPECT_EQ(_img_createfrommemory(png.data(), -5, &image), 0);
  EXPECT_EQ(_img_createfrommemory(png.data(), intptr_t(png.size()), nullptr), 0);
  EXPECT_EQ(image, 0);
}

TEST(ImageHeader, ReadsTheDimensionsOfBothFormats) {
  exdui::PictureHeader header;
  const Bytes png = SolidPng(31, 17, kGreen);
  ASSERT_TRUE(exdui::ReadPictureHeader(png.data(), png.size(), &header));
  EXPECT_EQ(header.format, exdui::PictureFormat::Png);
  EXPECT_EQ(header.width, 31);
  EXPECT_EQ(header.height, 17);
  const Bytes jpeg = JpegWithSize(30000, 20000);
  ASSERT_TRUE(exdui::ReadPictureHeader(jpeg.data(), jpeg.size(), &header));
  EXPECT_EQ(header.format, exdui::PictureFormat::Jpeg);
  EXPECT_EQ(header.width, 30000);
  EXPECT_EQ(header.height, 20000);
  EXPECT_FALSE(exdui::PictureSizeAllowed(30000, 20000));
  EXPECT_TRUE(exdui::PictureSizeAllowed(4096, 4096));
  EXPECT_FALSE(exdui::PictureSizeAllowed(4097, 4096));
  EXPECT_FALSE(exdui::PictureSizeAllowed(16385, 1));
}

TEST(ImageScale, MakesASmoothCopyOfTheNewSize) {
  // Black left half, white right half: scaled up, the border is a ramp.
  cairo_surface_t* picture = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 4, 4);
  cairo_t* cr = cairo_create(picture);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_rectangle(cr, 0, 0, 2, 4);
  cairo_fill(cr);
  cairo_destroy(cr);
  Bytes png;
  cairo_surface_write_to_png_stream(
      picture,
      [](void* out, const unsigned char* data, unsigned int n) {
        static_cast<Bytes*>(out)->insert(static_cast<Bytes*>(out)->end(), data, data + n);
        return CAIRO_STATUS_SUCCESS;
      },
      &png);
  cairo_surface_destroy(picture);
  HEXHANDLE image = 0, scaled = 0;
  ASSERT_EQ(_img_createfrommemory(png.data(), intptr_t(png.size()), &image), 1);
  ASSERT_EQ(_img_scale(image, 40, 8, &scaled), 1);
  int32_t w = 0, h = 0;
  _img_getsize(scaled, &w, &h);
  EXPECT_EQ(w, 40);
  EXPECT_EQ(h, 8);
  Surface surface(40, 8);
  const HEXHANDLE brush = _brush_createfromimg(scaled);
  _canvas_fillrect(surface.canvas(), brush, 0, 0, 40, 8);
  EXPECT_TRUE(Near(surface.At(2, 4), 0xFF000000));
  EXPECT_TRUE(Near(surface.At(37, 4), 0xFFFFFFFF));
  int ramp = 0;
  for (int x = 10; x < 30; ++x) {
    const int v = surface.At(x, 4).r;
    ramp += (v > 20 && v < 235) ? 1 : 0;
  }
  EXPECT_GE(ramp, 3) << "the scaled border is not smooth";
  _brush_destroy(brush);
  _img_destroy(scaled);
  _img_destroy(image);
}

TEST(ImageScale, RefusesAbsurdSizes) {
  const Bytes png = SolidPng(4, 4, kGreen);
  HEXHANDLE image = 0;
  ASSERT_EQ(_img_createfrommemory(png.data(), intptr_t(png.size()), &image), 1);
  const int32_t sizes[][2] = {{0, 10},          {10, 0},    {-1, 10},     {10, -40},
                              {100000, 100000}, {16385, 1}, {5000, 5000}, {INT32_MAX, INT32_MAX},
                              {INT32_MIN, 1}};
  for (const auto& size : sizes) {
    HEXHANDLE scaled = 777;
    EXPECT_EQ(_img_scale(image, size[0], size[1], &scaled), 0) << size[0] << " x " << size[1];
    EXPECT_EQ(scaled, 0);
  }
  HEXHANDLE scaled = 777;
  EXPECT_EQ(_img_scale(0, 10, 10, &scaled), 0);
  EXPECT_EQ(scaled, 0);
  EXPECT_EQ(_img_scale(image, 10, 10, nullptr), 0);
  _img_destroy(image);
}

}  // namespace
