// Repainting a transcript-like scene the way the client paints its
// transcript: for every entry measure the text, fill a rounded bubble, draw
// the text in it and fill a 30 x 30 circle with an image brush, into a
// 580-pixel-wide object scrolled to the bottom of its content, with only the
// visible 388 pixels inside the clip.
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <string>
#include <vector>

#include "directui/canvas.h"
#include "directui/include/exdui_export.h"
#include "directui/text_layout.h"

namespace {

constexpr int kWidth = 580;
constexpr int kViewHeight = 388;

struct Entry {
  std::u16string text;
  int kind;  // 0 own (right), 1 the bot's (left)
};

std::u16string Ascii(const std::string& s) {
  return std::u16string(s.begin(), s.end());
}

std::vector<Entry> OrdinaryEntries(int count) {
  static const char* const kWords[] = {"hello", "how",  "are", "you", "today", "the", "weather",
                                       "is",    "nice", "and", "we",  "could", "go",  "outside"};
  std::vector<Entry> entries;
  for (int i = 0; i < count; ++i) {
    std::string text = "#";
    text.append(std::to_string(i));
    for (int w = 0; w < 3 + (i * 7) % 25; ++w) {
      text.push_back(' ');
      text.append(kWords[(i + w * 3) % 14]);
    }
    std::u16string u = Ascii(text);
    if (i % 5 == 4) u += u" 你好，今天天气很好。";
    entries.push_back({u, i % 2});
  }
  return entries;
}

class Scene {
 public:
  explicit Scene(std::vector<Entry> entries) : entries_(std::move(entries)) {
    surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kViewHeight);
    font_ = _font_createfromfamily(u"微软雅黑", 18, 0);
    cairo_surface_t* avatar = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 30, 30);
    cairo_t* cr = cairo_create(avatar);
    cairo_set_source_rgb(cr, 0.2, 0.5, 0.8);
    cairo_paint(cr);
    cairo_destroy(cr);
    std::vector<unsigned char> png;
    cairo_surface_write_to_png_stream(
        avatar,
        [](void* out, const unsigned char* data, unsigned int n) {
          auto* bytes = static_cast<std::vector<unsigned char>*>(out);
          bytes->insert(bytes->end(), data, data + n);
          return CAIRO_STATUS_SUCCESS;
        },
        &png);
    cairo_surface_destroy(avatar);
    _img_createfrommemory(png.data(), intptr_t(png.size()), &avatar_);
    contentHeight_ = Paint(0);  // the first paint finds the content height
  }
  ~Scene() {
    _img_destroy(avatar_);
    cairo_surface_destroy(surface_);
  }

  // One full repaint of the content object scrolled so that its bottom
  // shows; returns the content height.
  int Paint(int contentHeight) {
    cairo_t* cr = cairo_create(surface_);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_translate(cr, 0, -(contentHeight > kViewHeight ? contentHeight - kViewHeight : 0));
    const HEXHANDLE canvas = exdui::CanvasCreate(cr);
    const float w = kWidth;
    float y = 0;
    for (const Entry& e : entries_) {
      const float ax = e.kind == 0 ? w - 40 : 10;
      float tw = 0, th = 0;
      _canvas_calctextsize(canvas, font_, e.text.c_str(), -1, 0, 0, w - 120, 9999.0f, &tw, &th);
      if (th < 10) th = 24;
      float l, t = y + 8, r, b = float(int(y + th + 22));
      if (e.kind == 0) {
        l = float(int(w - 50 - tw - 20));
        r = w - 50;
      } else {
        l = 50;
        r = float(int(tw + 70));
      }
      const HEXHANDLE brush = _brush_create(e.kind == 0 ? 0xFF1A497D : 0xFFE5E5E5);
      _canvas_fillroundedrect(canvas, brush, l, t, r, b, 5, 5);
      _canvas_drawtext(canvas, font_, e.kind == 0 ? 0xFFFFFFFF : 0xFF000000, e.text.c_str(), -1, 0,
                       l + 10, t + 6, r - 10, b - 10);
      _brush_destroy(brush);
      const HEXHANDLE avatarBrush = _brush_createfromimg(avatar_);
      const HEXHANDLE matrix = _matrix_create();
      _matrix_translate(matrix, ax, y + 5);
      _brush_settransform(avatarBrush, matrix);
      _matrix_destroy(matrix);
      _canvas_fillroundedrect(canvas, avatarBrush, ax, y + 5, ax + 30, y + 35, 15, 15);
      _brush_destroy(avatarBrush);
      y = b + 5;
    }
    exdui::CanvasDestroy(canvas);
    cairo_destroy(cr);
    return int(y);
  }

  int contentHeight() const { return contentHeight_; }

 private:
  std::vector<Entry> entries_;
  cairo_surface_t* surface_;
  HEXHANDLE font_ = 0;
  HEXHANDLE avatar_ = 0;
  int contentHeight_ = 0;
};

void BM_TranscriptRepaint(benchmark::State& state) {
  Scene scene(OrdinaryEntries(int(state.range(0))));
  for (auto _ : state) benchmark::DoNotOptimize(scene.Paint(scene.contentHeight()));
  state.counters["contentHeight"] = scene.contentHeight();
}
BENCHMARK(BM_TranscriptRepaint)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// The first paint after the caches are emptied: every text measured anew.
void BM_TranscriptFirstPaint(benchmark::State& state) {
  Scene scene(OrdinaryEntries(int(state.range(0))));
  for (auto _ : state) {
    exdui::ClearTextCaches();
    benchmark::DoNotOptimize(scene.Paint(scene.contentHeight()));
  }
}
BENCHMARK(BM_TranscriptFirstPaint)->Arg(1000)->Unit(benchmark::kMillisecond);

// Measuring a short message that no cache holds.
void BM_MeasureShortUncached(benchmark::State& state) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8);
  cairo_t* cr = cairo_create(surface);
  const HEXHANDLE canvas = exdui::CanvasCreate(cr);
  const HEXHANDLE font = _font_createfromfamily(u"微软雅黑", 18, 0);
  int n = 0;
  for (auto _ : state) {
    const std::u16string text = Ascii("short message number " + std::to_string(n++) + " here");
    float w = 0, h = 0;
    _canvas_calctextsize(canvas, font, text.c_str(), -1, 0, 0, 460, 9999.0f, &w, &h);
    benchmark::DoNotOptimize(w);
  }
  exdui::CanvasDestroy(canvas);
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}
BENCHMARK(BM_MeasureShortUncached)->Unit(benchmark::kMicrosecond);

// Measuring the same short message again: a cache hit.
void BM_MeasureShortCached(benchmark::State& state) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8);
  cairo_t* cr = cairo_create(surface);
  const HEXHANDLE canvas = exdui::CanvasCreate(cr);
  const std::u16string text = u"the same short message every time";
  for (auto _ : state) {
    float w = 0, h = 0;
    _canvas_calctextsize(canvas, 0, text.c_str(), -1, 0, 0, 460, 9999.0f, &w, &h);
    benchmark::DoNotOptimize(w);
  }
  exdui::CanvasDestroy(canvas);
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}
BENCHMARK(BM_MeasureShortCached)->Unit(benchmark::kMicrosecond);

// A transcript holding one answer of 100,000 characters without a break
// point and one of 1 MiB of Chinese, the unbroken one last, at the bottom.
std::vector<Entry> HostileEntries() {
  std::vector<Entry> entries = OrdinaryEntries(20);
  std::u16string chinese;
  for (int i = 0; i < (1 << 20) / 3; ++i) chinese.push_back(char16_t(0x4E00 + (i * 7) % 3000));
  entries.push_back({u"tell me something long", 0});
  entries.push_back({chinese, 1});
  entries.push_back({u"and something without spaces", 0});
  entries.push_back({std::u16string(100000, u'a'), 1});
  return entries;
}

void BM_HostileRepaint(benchmark::State& state) {
  Scene scene(HostileEntries());
  for (auto _ : state) benchmark::DoNotOptimize(scene.Paint(scene.contentHeight()));
  state.counters["contentHeight"] = scene.contentHeight();
}
BENCHMARK(BM_HostileRepaint)->Unit(benchmark::kMillisecond);

void BM_HostileFirstPaint(benchmark::State& state) {
  Scene scene(HostileEntries());
  for (auto _ : state) {
    exdui::ClearTextCaches();
    benchmark::DoNotOptimize(scene.Paint(scene.contentHeight()));
  }
}
BENCHMARK(BM_HostileFirstPaint)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
