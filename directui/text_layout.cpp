#include "directui/text_layout.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "directui/text_cache.h"
#include "directui/text_utf8.h"

namespace exdui {
namespace {

// Cache bounds: enough measurements for a transcript of tens of thousands of
// messages, and the layouts of a few screens of text.
constexpr size_t kMeasureEntries = 65536;
constexpr size_t kMeasureCost = size_t{64} << 20;
constexpr size_t kLayoutEntries = 256;
constexpr size_t kLayoutCost = size_t{64} << 20;
// Rough memory of Pango's glyphs and attributes per byte of text laid out.
constexpr size_t kLayoutCostPerByte = 16;

TextCacheCounters counters;

struct LaidLine {
  PangoLayoutLine* line;  // owned by one of the chunk layouts
  int64_t top;            // Pango units from the top of the text
  int32_t baseline;       // from the line's top
  int32_t height;
  int32_t x;  // the line's logical left edge within the layout width
  int32_t width;
};

class ChunkedLayout {
 public:
  ChunkedLayout(const Font& font, std::string utf8, int32_t width, uint32_t format)
      : description_(pango_font_description_copy(font.description)),
        underline_(font.underline),
        strikeout_(font.strikeout),
        utf8_(std::move(utf8)),
        width_(width),
        format_(format),
        chunk_((format & EXDT_SINGLELINE) ? kMaxChunkBytes : kChunkBytes) {}
  ChunkedLayout(const ChunkedLayout&) = delete;
  ChunkedLayout& operator=(const ChunkedLayout&) = delete;
  ~ChunkedLayout() {
    for (PangoLayout* layout : chunks_) g_object_unref(layout);
    pango_font_description_free(description_);
  }

  // Lays out lines until they reach `bottom` (Pango units) or the text ends;
  // returns the bytes of text given to Pango.
  size_t ExtendTo(int64_t bottom);

  const std::vector<LaidLine>& Lines() const { return lines_; }
  int64_t Height() const { return height_; }
  int32_t Width() const { return widest_; }
  bool Complete() const { return next_ >= utf8_.size(); }
  size_t TextBytes() const { return utf8_.size(); }

 private:
  PangoLayout* MakeChunk(size_t begin, size_t length) const;
  size_t ChunkLength(size_t begin, size_t length) const;
  size_t AfterParagraph(size_t from) const;

  PangoFontDescription* description_;
  bool underline_;
  bool strikeout_;
  std::string utf8_;
  int32_t width_;  // Pango units; -1 for no wrapping
  uint32_t format_;
  size_t chunk_;
  size_t next_ = 0;  // first byte not laid out yet
  int64_t height_ = 0;
  int32_t widest_ = 0;
  std::vector<PangoLayout*> chunks_;
  std::vector<LaidLine> lines_;
};

PangoLayout* ChunkedLayout::MakeChunk(size_t begin, size_t length) const {
  PangoLayout* layout = pango_layout_new(SharedPangoContext());
  pango_layout_set_font_description(layout, description_);
  if (width_ >= 0) {
    pango_layout_set_width(layout, width_);
    // Words first; a word longer than the line breaks between characters.
    pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
    if (format_ & EXDT_CENTER) {
      pango_layout_set_alignment(layout, PANGO_ALIGN_CENTER);
    } else if (format_ & EXDT_RIGHT) {
      pango_layout_set_alignment(layout, PANGO_ALIGN_RIGHT);
    }
  }
  PangoAttrList* attributes = pango_attr_list_new();
  // A word broken between characters shows no hyphen.
  pango_attr_list_insert(attributes, pango_attr_insert_hyphens_new(FALSE));
  if (underline_) {
    pango_attr_list_insert(attributes, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
  }
  if (strikeout_) pango_attr_list_insert(attributes, pango_attr_strikethrough_new(TRUE));
  pango_layout_set_attributes(layout, attributes);
  pango_attr_list_unref(attributes);
  pango_layout_set_text(layout, utf8_.data() + begin, static_cast<int>(length));
  ++counters.chunksLaidOut;
  return layout;
}

// A chunk ends on a character boundary and never between CR and LF.
size_t ChunkedLayout::ChunkLength(size_t begin, size_t length) const {
  const size_t end = begin + length;
  if (end >= utf8_.size()) return utf8_.size() - begin;
  size_t n = length;
  while (n > 1 && (static_cast<unsigned char>(utf8_[begin + n]) & 0xC0) == 0x80) --n;
  if (utf8_[begin + n - 1] == '\r' && utf8_[begin + n] == '\n') ++n;
  return n;
}

// The first byte after the paragraph that holds `from`, or the text's end.
size_t ChunkedLayout::AfterParagraph(size_t from) const {
  for (size_t i = from; i < utf8_.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8_[i]);
    if (c == '\n') return i + 1;
    if (c == '\r') return (i + 1 < utf8_.size() && utf8_[i + 1] == '\n') ? i + 2 : i + 1;
    // U+2028 and U+2029, the Unicode line and paragraph separators.
    if (c == 0xE2 && i + 2 < utf8_.size() && static_cast<unsigned char>(utf8_[i + 1]) == 0x80 &&
        (static_cast<unsigned char>(utf8_[i + 2]) == 0xA8 ||
         static_cast<unsigned char>(utf8_[i + 2]) == 0xA9)) {
      return i + 3;
    }
  }
  return utf8_.size();
}

size_t ChunkedLayout::ExtendTo(int64_t bottom) {
  size_t laid = 0;
  std::vector<LaidLine> lines;
  std::vector<size_t> starts;
  while (!Complete() && height_ < bottom) {
    const size_t remaining = utf8_.size() - next_;
    const size_t length = ChunkLength(next_, std::min(remaining, chunk_));
    const bool last = length == remaining;
    PangoLayout* layout = MakeChunk(next_, length);
    laid += length;

    lines.clear();
    starts.clear();
    PangoLayoutIter* iter = pango_layout_get_iter(layout);
    do {
      PangoRectangle logical;
      pango_layout_iter_get_line_extents(iter, nullptr, &logical);
      PangoLayoutLine* line = pango_layout_iter_get_line_readonly(iter);
      lines.push_back(LaidLine{line, logical.y, pango_layout_iter_get_baseline(iter) - logical.y,
                               logical.height, logical.x, logical.width});
      starts.push_back(static_cast<size_t>(line->start_index));
    } while (pango_layout_iter_next_line(iter));
    pango_layout_iter_free(iter);

    size_t keep = lines.size();
    size_t consumed = length;
    if (!last && lines.size() >= 2) {
      // The last line may continue past the chunk: lay it out again with
      // what follows.
      keep = lines.size() - 1;
      consumed = starts.back();
    } else if (!last && chunk_ < size_t{kMaxChunkBytes}) {
      // The whole chunk fits one line: try a longer one.
      g_object_unref(layout);
      chunk_ *= 2;
      continue;
    } else if (!last) {
      // A line of kMaxChunkBytes: a wrapped text breaks here; an unwrapped
      // line shows no more of its paragraph.
      keep = 1;
      consumed = width_ >= 0 ? length : AfterParagraph(next_ + length) - next_;
    }

    const int64_t chunkTop = height_;
    for (size_t i = 0; i < keep; ++i) {
      LaidLine line = lines[i];
      line.top += chunkTop;
      widest_ = std::max(widest_, line.width);
      lines_.push_back(line);
    }
    const LaidLine& end = lines[keep - 1];
    height_ = chunkTop + end.top + end.height;
    chunks_.push_back(layout);
    next_ += consumed;
  }
  return laid;
}

TextCache<TextSize>& MeasureCache() {
  static TextCache<TextSize> cache(kMeasureEntries, kMeasureCost);
  return cache;
}

TextCache<std::unique_ptr<ChunkedLayout>>& LayoutCache() {
  static TextCache<std::unique_ptr<ChunkedLayout>> cache(kLayoutEntries, kLayoutCost);
  return cache;
}

int64_t ToPango(double pixels) {
  return static_cast<int64_t>(std::ceil(pixels * PANGO_SCALE));
}

int32_t LayoutWidth(uint32_t format, double width) {
  if ((format & EXDT_SINGLELINE) || !(width > 0) || width >= kMaxLayoutWidth) return -1;
  return std::max<int32_t>(1, static_cast<int32_t>(width * PANGO_SCALE));
}

int64_t HeightLimit(double height) {
  if (!(height > 0) || height > kMaxLayoutHeight) return ToPango(kMaxLayoutHeight);
  return ToPango(height);
}

uint32_t LayoutFormat(uint32_t format) {
  return format & (EXDT_SINGLELINE | EXDT_CENTER | EXDT_RIGHT);
}

struct CachedLayout {
  ChunkedLayout* layout;
  TextKeyView key;
  uint64_t hash;
};

CachedLayout FindOrMakeLayout(const Font& font, std::u16string_view text, int32_t width,
                              uint32_t format) {
  CachedLayout found{nullptr, TextKeyView{font.serial, LayoutFormat(format), width, 0, text}, 0};
  found.hash = HashTextKey(found.key);
  if (auto* cached = LayoutCache().Find(found.key, found.hash)) {
    ++counters.layoutHits;
    found.layout = cached->get();
    return found;
  }
  ++counters.layoutMisses;
  auto layout = std::make_unique<ChunkedLayout>(
      font, Utf16ToUtf8(text, (format & EXDT_SINGLELINE) != 0), width, found.key.format);
  const size_t cost = layout->TextBytes();
  found.layout = LayoutCache().Insert(found.key, found.hash, std::move(layout), cost)->get();
  return found;
}

void Extend(const CachedLayout& cached, int64_t bottom) {
  const size_t laid = cached.layout->ExtendTo(bottom);
  if (laid > 0) LayoutCache().AddCost(cached.key, cached.hash, laid * kLayoutCostPerByte);
}

}  // namespace

TextSize MeasureText(const Font& font, std::u16string_view text, uint32_t format, double maxWidth,
                     double maxHeight) {
  if (text.empty()) return {};
  const int32_t width = LayoutWidth(format, maxWidth);
  const int64_t limit = HeightLimit(maxHeight);
  const TextKeyView key{font.serial, format & EXDT_SINGLELINE, width, limit, text};
  const uint64_t hash = HashTextKey(key);
  if (const TextSize* size = MeasureCache().Find(key, hash)) {
    ++counters.measureHits;
    return *size;
  }
  ++counters.measureMisses;
  const CachedLayout cached = FindOrMakeLayout(font, text, width, format);
  Extend(cached, limit);
  TextSize size;
  size.width = std::ceil(double(cached.layout->Width()) / PANGO_SCALE);
  size.height = std::ceil(double(std::min(cached.layout->Height(), limit)) / PANGO_SCALE);
  if (maxHeight > 0 && size.height > maxHeight) size.height = maxHeight;
  MeasureCache().Insert(key, hash, size, 0);
  return size;
}

void DrawTextInRect(cairo_t* cr, const Font& font, std::u16string_view text, uint32_t argb,
                    uint32_t format, double left, double top, double right, double bottom) {
  if (text.empty() || (argb >> 24) == 0) return;
  if (!(right > left) || !(bottom > top)) return;  // also refuses NaN
  double clipLeft, clipTop, clipRight, clipBottom;
  cairo_clip_extents(cr, &clipLeft, &clipTop, &clipRight, &clipBottom);
  if (right <= clipLeft || left >= clipRight || bottom <= clipTop || top >= clipBottom) return;

  const bool singleLine = (format & EXDT_SINGLELINE) != 0;
  const int32_t width = LayoutWidth(format, right - left);
  const CachedLayout cached = FindOrMakeLayout(font, text, width, format);
  ChunkedLayout& layout = *cached.layout;
  const double visibleBottom = std::min(bottom, clipBottom);
  Extend(cached, std::min(ToPango(visibleBottom - top), ToPango(kMaxLayoutHeight)));

  // Centred vertically only when the whole text is laid out and fits.
  double y0 = top;
  const double textHeight = double(layout.Height()) / PANGO_SCALE;
  if ((format & EXDT_VCENTER) && layout.Complete() && textHeight <= bottom - top) {
    y0 = top + (bottom - top - textHeight) / 2;
  }

  cairo_save(cr);
  cairo_new_path(cr);
  cairo_rectangle(cr, left, top, right - left, bottom - top);
  cairo_clip(cr);
  cairo_set_source_rgba(cr, ((argb >> 16) & 0xFF) / 255.0, ((argb >> 8) & 0xFF) / 255.0,
                        (argb & 0xFF) / 255.0, (argb >> 24) / 255.0);
  const std::vector<LaidLine>& lines = layout.Lines();
  const int64_t fromTop = ToPango(std::max(top, clipTop) - y0);
  const int64_t toBottom = ToPango(visibleBottom - y0);
  auto line = std::partition_point(lines.begin(), lines.end(), [fromTop](const LaidLine& l) {
    return l.top + l.height <= fromTop;
  });
  for (; line != lines.end() && line->top < toBottom; ++line) {
    double x = left + double(line->x) / PANGO_SCALE;
    if (singleLine || width < 0) {
      // Unwrapped lines are aligned here; Pango aligns only within a width.
      const double free = (right - left) - double(line->width) / PANGO_SCALE;
      if (format & EXDT_CENTER) {
        x += free / 2;
      } else if (format & EXDT_RIGHT) {
        x += free;
      }
    }
    cairo_move_to(cr, x, y0 + double(line->top + line->baseline) / PANGO_SCALE);
    pango_cairo_show_layout_line(cr, line->line);
  }
  cairo_restore(cr);
}

TextCacheCounters TextCacheCountersNow() {
  return counters;
}

void ClearTextCaches() {
  MeasureCache().Clear();
  LayoutCache().Clear();
}

uint64_t HashTextKey(const TextKeyView& key) {
  // Multiply-and-fold mixing over 16 bytes at a time: fast enough to hash a
  // megabyte of text on every repaint.
  auto mix = [](uint64_t a, uint64_t b) {
    const __uint128_t product = static_cast<__uint128_t>(a) * b;
    return static_cast<uint64_t>(product) ^ static_cast<uint64_t>(product >> 64);
  };
  constexpr uint64_t k0 = 0xa0761d6478bd642full, k1 = 0xe7037ed1a0b428dbull,
                     k2 = 0x8ebc6af09c88c6e3ull;
  uint64_t h = mix(key.fontSerial ^ k0, (uint64_t{key.format} << 32 | uint32_t(key.width)) ^ k1);
  h = mix(h ^ uint64_t(key.height), k2 ^ key.text.size());
  const auto* bytes = reinterpret_cast<const unsigned char*>(key.text.data());
  size_t n = key.text.size() * sizeof(char16_t);
  while (n >= 16) {
    uint64_t a, b;
    __builtin_memcpy(&a, bytes, 8);
    __builtin_memcpy(&b, bytes + 8, 8);
    h = mix(a ^ k1 ^ h, b ^ k2);
    bytes += 16;
    n -= 16;
  }
  uint64_t a = 0, b = 0;
  if (n > 8) {
    __builtin_memcpy(&a, bytes, 8);
    __builtin_memcpy(&b, bytes + 8, n - 8);
  } else {
    __builtin_memcpy(&a, bytes, n);
  }
  return mix(mix(a ^ k1 ^ h, b ^ k2), k0 ^ key.text.size());
}

}  // namespace exdui
