#include "tests/directui/drawing_support.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstdlib>
#include <filesystem>

namespace drawing_test {

Surface::Surface(int width, int height, uint32_t background) : width_(width), height_(height) {
  surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  cr_ = cairo_create(surface_);
  cairo_set_source_rgba(cr_, ((background >> 16) & 0xFF) / 255.0,
                        ((background >> 8) & 0xFF) / 255.0, (background & 0xFF) / 255.0,
                        (background >> 24) / 255.0);
  cairo_set_operator(cr_, CAIRO_OPERATOR_SOURCE);
  cairo_paint(cr_);
  cairo_set_operator(cr_, CAIRO_OPERATOR_OVER);
  canvas_ = exdui::CanvasCreate(cr_);
}

Surface::~Surface() {
  SaveIfFailed();
  exdui::CanvasDestroy(canvas_);
  cairo_destroy(cr_);
  cairo_surface_destroy(surface_);
}

Rgba Surface::At(int x, int y) {
  cairo_surface_flush(surface_);
  const uint8_t* row =
      cairo_image_surface_get_data(surface_) + y * cairo_image_surface_get_stride(surface_);
  const uint32_t p = reinterpret_cast<const uint32_t*>(row)[x];
  const uint32_t a = p >> 24;
  auto un = [a](uint32_t c) {
    return uint8_t(a == 0 ? 0 : std::min<uint32_t>(255, (c * 255 + a / 2) / a));
  };
  return Rgba{un((p >> 16) & 0xFF), un((p >> 8) & 0xFF), un(p & 0xFF), uint8_t(a)};
}

bool Near(Rgba pixel, uint32_t argb, int tolerance) {
  auto close = [tolerance](int a, int b) { return std::abs(a - b) <= tolerance; };
  return close(pixel.a, int(argb >> 24)) && close(pixel.r, int((argb >> 16) & 0xFF)) &&
         close(pixel.g, int((argb >> 8) & 0xFF)) && close(pixel.b, int(argb & 0xFF));
}

std::string Describe(Rgba p) {
  char text[64];
  std::snprintf(text, sizeof text, "ARGB %02X%02X%02X%02X", p.a, p.r, p.g, p.b);
  return text;
}

Surface::Ink Surface::InkBox(uint32_t background, int tolerance) {
  Ink ink{width_, height_, 0, 0};
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      if (Near(At(x, y), background, tolerance)) continue;
      ink.left = std::min(ink.left, x);
      ink.top = std::min(ink.top, y);
      ink.right = std::max(ink.right, x + 1);
      ink.bottom = std::max(ink.bottom, y + 1);
    }
  }
  if (ink.right == 0) return Ink{};
  return ink;
}

int Surface::CountNear(uint32_t argb, int tolerance, int left, int top, int right, int bottom) {
  int n = 0;
  for (int y = std::max(0, top); y < std::min(height_, bottom); ++y) {
    for (int x = std::max(0, left); x < std::min(width_, right); ++x)
      n += Near(At(x, y), argb, tolerance);
  }
  return n;
}

void Surface::SaveIfFailed() {
  const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
  if (info == nullptr || !testing::Test::HasFailure()) return;
  std::filesystem::create_directories("drawing_failures");
  std::string name = std::string(info->test_suite_name()) + "." + info->name();
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  const std::string path = "drawing_failures/" + name + ".png";
  cairo_surface_write_to_png(surface_, path.c_str());
  std::fprintf(stderr, "saved the drawing to %s\n", path.c_str());
}

namespace {

cairo_status_t AppendBytes(void* closure, const unsigned char* data, unsigned int length) {
  auto* out = static_cast<std::vector<uint8_t>*>(closure);
  out->insert(out->end(), data, data + length);
  return CAIRO_STATUS_SUCCESS;
}

}  // namespace

std::vector<uint8_t> SolidPng(int width, int height, uint32_t argb) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgba(cr, ((argb >> 16) & 0xFF) / 255.0, ((argb >> 8) & 0xFF) / 255.0,
                        (argb & 0xFF) / 255.0, (argb >> 24) / 255.0);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_paint(cr);
  cairo_destroy(cr);
  std::vector<uint8_t> png;
  cairo_surface_write_to_png_stream(surface, AppendBytes, &png);
  cairo_surface_destroy(surface);
  return png;
}

std::vector<uint8_t> SolidJpeg(int width, int height, uint32_t argb) {
  SDL_Surface* surface =
      SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
  SDL_FillRect(surface, nullptr, argb | 0xFF000000u);
  std::vector<uint8_t> buffer(size_t(width) * height * 4 + 4096);
  SDL_RWops* stream = SDL_RWFromMem(buffer.data(), int(buffer.size()));
  std::vector<uint8_t> jpeg;
  if (IMG_SaveJPG_RW(surface, stream, 0, 95) == 0) {
    jpeg.assign(buffer.begin(), buffer.begin() + SDL_RWtell(stream));
  }
  SDL_RWclose(stream);
  SDL_FreeSurface(surface);
  return jpeg;
}

std::u16string U16(const char* utf8) {
  std::u16string out;
  const auto* s = reinterpret_cast<const unsigned char*>(utf8);
  while (*s) {
    char32_t c;
    if (*s < 0x80) {
      c = *s++;
    } else if (*s < 0xE0) {
      c = (char32_t(s[0] & 0x1F) << 6) | (s[1] & 0x3F);
      s += 2;
    } else if (*s < 0xF0) {
      c = (char32_t(s[0] & 0x0F) << 12) | (char32_t(s[1] & 0x3F) << 6) | (s[2] & 0x3F);
      s += 3;
    } else {
      c = (char32_t(s[0] & 0x07) << 18) | (char32_t(s[1] & 0x3F) << 12) |
          (char32_t(s[2] & 0x3F) << 6) | (s[3] & 0x3F);
      s += 4;
    }
    if (c >= 0x10000) {
      out.push_back(char16_t(0xD800 + ((c - 0x10000) >> 10)));
      out.push_back(char16_t(0xDC00 + ((c - 0x10000) & 0x3FF)));
    } else {
      out.push_back(char16_t(c));
    }
  }
  return out;
}

}  // namespace drawing_test
