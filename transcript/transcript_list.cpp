#include "transcript/transcript_list.h"

#include <string>

#include "platform/memory.h"
#include "transcript/local_blocks.h"
#include "transcript/transcript_paint.h"
#include "ui/exdui.h"

namespace {

constexpr uint32_t kFrameStyle = 0x50000000;    // visible, with the vertical scroll bar
constexpr uint32_t kContentStyle = 0x10000000;  // visible
constexpr uint32_t kDefaults = 0xFFFFFFFFu;     // the class's defaults
constexpr int32_t kVerticalBar = 1;
constexpr int32_t kScrollMaskAll = 0x17;
constexpr int32_t kScrollPage = 300;
constexpr uint32_t kKeepSize = 1;
constexpr uint32_t kKeepPosition = 2;
// "微软雅黑" in code page 936.
constexpr const char* kFontFamily = "\xCE\xA2\xC8\xED\xD1\xC5\xBA\xDA";

// The UTF-16 of a code page 936 text, NUL-terminated.
std::u16string WideOf(const Text& text) {
  Bytes wide = AnsiToWide(text);
  std::u16string out(static_cast<size_t>(BytesLength(wide)) / 2, u'\0');
  if (!out.empty()) RtlMoveMemory(out.data(), BytesData(wide), out.size() * 2);
  while (!out.empty() && out.back() == u'\0') out.pop_back();
  return out;
}

// A private NUL-terminated copy in local memory.
char16_t* LocalWideCopy(const Text& text) {
  std::u16string wide = WideOf(text);
  auto* copy = static_cast<char16_t*>(AllocLocalBlock((wide.size() + 1) * sizeof(char16_t)));
  if (copy != nullptr && !wide.empty()) RtlMoveMemory(copy, wide.data(), wide.size() * 2);
  return copy;
}

template <class Record>
Record* NewRecord() {
  return static_cast<Record*>(AllocLocalBlock(sizeof(Record)));
}

HEXHANDLE ContentOf(HEXHANDLE frame) {
  return static_cast<HEXHANDLE>(Ex_ObjGetLong(frame, EXOL_USERDATA));
}

TranscriptState* StateOf(HEXHANDLE content) {
  return reinterpret_cast<TranscriptState*>(Ex_ObjGetLong(content, EXOL_USERDATA));
}

// Releases an entry with its avatar and copies.
void ReleaseEntry(MessageEntry* entry) {
  if (entry == nullptr) return;
  _img_destroy(entry->avatar);
  FreeLocalBlock(entry->name);
  if (entry->text != nullptr) FreeLocalBlock(entry->text);
  FreeLocalBlock(entry);
}

// Releases what a slot owns: for a visible slot its entry and picture.
void ReleaseSlotContents(int32_t hidden, MessageEntry* entry, HEXHANDLE image) {
  if (hidden != 0) return;
  ReleaseEntry(entry);
  if (image != 0) _img_destroy(image);
}

}  // namespace

HEXHANDLE CreateTranscript(HEXHANDLE parent, int32_t x, int32_t y, int32_t width, int32_t height) {
  std::u16string staticClass = WideOf("Static");
  HEXHANDLE frame =
      Ex_ObjCreateEx(kDefaults, staticClass.c_str(), nullptr, kFrameStyle, x, y, width, height,
                     parent, 0, kDefaults, 0, 0, &OnTranscriptFrameMessage);
  if (frame == 0) return 0;
  Ex_ObjSetColor(frame, 0, ColorToArgb(0xFFFFFF, 0, 0), 1);

  auto* state = NewRecord<TranscriptState>();
  auto* fonts = NewRecord<TranscriptFonts>();
  auto* metrics = NewRecord<TranscriptMetrics>();
  PointerArray* entries = CreatePointerArray(0);
  if (state == nullptr || fonts == nullptr || metrics == nullptr || entries == nullptr) {
    FreeLocalBlock(state);
    FreeLocalBlock(fonts);
    FreeLocalBlock(metrics);
    DestroyPointerArray(entries);
    return 0;
  }
  state->frame = frame;
  state->entries = entries;
  state->painted = 0;

  std::u16string family = WideOf(kFontFamily);
  fonts->bodyFont = _font_createfromfamily(family.c_str(), 18, 0);
  fonts->nameFont = _font_createfromfamily(family.c_str(), 14, 0);
  state->fonts = fonts;

  metrics->width = width;
  state->metrics = metrics;

  HEXHANDLE content =
      Ex_ObjCreateEx(kDefaults, staticClass.c_str(), nullptr, kContentStyle, 0, 0, width, 10, frame,
                     0, kDefaults, reinterpret_cast<intptr_t>(state), 0, &PaintTranscript);
  if (content == 0) {
    // The records made for the content object go; the frame and the fonts
    // stay with the library, which has no way to release them.
    FreeLocalBlock(state);
    DestroyPointerArray(entries);
    FreeLocalBlock(fonts);
    FreeLocalBlock(metrics);
    return 0;
  }
  Ex_ObjSetColor(content, 0, ColorToArgb(0xFF8800, 0, 1), 1);
  Ex_ObjSetLong(frame, EXOL_USERDATA, content);
  return frame;
}

MessageEntry* MakeEntry(int32_t kind, const Bytes& picture, const Text& name, const Text& text,
                        HEXHANDLE font) {
  auto* entry = NewRecord<MessageEntry>();
  if (entry == nullptr) return nullptr;
  entry->kind = kind;
  HEXHANDLE decoded = 0;
  _img_createfrommemory(BytesData(picture), BytesLength(picture), &decoded);
  HEXHANDLE scaled = 0;
  _img_scale(decoded, 30, 30, &scaled);
  _img_destroy(decoded);
  entry->avatar = scaled;
  entry->name = LocalWideCopy(name);
  entry->text = text.empty() ? nullptr : LocalWideCopy(text);
  entry->font = font;
  return entry;
}

void AddEntry(HEXHANDLE transcript, int32_t hidden, MessageEntry* entry, HEXHANDLE image,
              int32_t relayout) {
  HEXHANDLE content = ContentOf(transcript);
  // An entry handed over is the transcript's; one that cannot be stored is released.
  if (content == 0) {
    ReleaseSlotContents(hidden, entry, image);
    return;
  }
  auto* slot = NewRecord<EntrySlot>();
  TranscriptState* state = slot != nullptr ? StateOf(content) : nullptr;
  if (state == nullptr ||
      PointerArrayInsert(state->entries, reinterpret_cast<intptr_t>(slot), 0, 0) == 0) {
    FreeLocalBlock(slot);
    ReleaseSlotContents(hidden, entry, image);
    return;
  }
  slot->hidden = hidden;
  slot->entry = entry;
  slot->image = image;
  if (relayout != 0) RelayoutTranscript(transcript);
}

void ClearTranscript(HEXHANDLE transcript) {
  HEXHANDLE content = ContentOf(transcript);
  if (content == 0) return;
  TranscriptState* state = StateOf(content);
  if (state == nullptr) return;
  PointerArray* entries = state->entries;
  int32_t n = PointerArrayCount(entries);
  for (int32_t i = 0; i < n; ++i) {
    auto* slot = reinterpret_cast<EntrySlot*>(PointerArrayGet(entries, 1));
    if (slot != nullptr) {
      ReleaseSlotContents(slot->hidden, slot->entry, slot->image);
      FreeLocalBlock(slot);
    }
    PointerArrayRemove(entries, 1);
  }
  RelayoutTranscript(transcript);
}

void RelayoutTranscript(HEXHANDLE transcript) {
  HEXHANDLE content = ContentOf(transcript);
  if (content == 0) return;
  TranscriptState* state = StateOf(content);
  if (state == nullptr) return;
  state->painted = 0;
  Ex_ObjSendMessage(content, EXM_PAINT, 0, 0);
  // The paint normally completes inside Ex_ObjSendMessage. Should it not, the
  // wait lets window messages through, but never for more than about a
  // second, so a paint that never comes cannot hang the window.
  for (int step = 0; state->painted == 0 && step < kRelayoutWaitSteps; ++step) {
    DelayWithEvents(10);
  }
  const TranscriptMetrics* metrics = state->metrics;
  int32_t width = metrics->width;
  int32_t contentHeight = metrics->contentHeight;
  int32_t viewHeight = metrics->viewHeight;
  Ex_ObjSetPos(content, 0, 0, 0, width, contentHeight, kKeepPosition);
  if (contentHeight > viewHeight) {
    Ex_ObjSetPos(content, 0, 0, -(contentHeight - viewHeight), 0, 0, kKeepSize);
  } else {
    Ex_ObjSetPos(content, 0, 0, 0, 0, 0, kKeepSize);
  }
  UpdateTranscriptScrollBar(transcript, metrics);
}

void UpdateTranscriptScrollBar(HEXHANDLE transcript, const TranscriptMetrics* metrics) {
  if (metrics == nullptr) return;
  if (metrics->contentHeight > metrics->viewHeight) {
    int32_t d = metrics->contentHeight - metrics->viewHeight;
    Ex_ObjScrollSetInfo(transcript, kVerticalBar, kScrollMaskAll, 0, d, kScrollPage, d, 1);
    Ex_ObjScrollShow(transcript, kVerticalBar, 1);
  } else {
    Ex_ObjScrollSetInfo(transcript, kVerticalBar, kScrollMaskAll, 0, 0, kScrollPage, 0, 1);
    Ex_ObjScrollShow(transcript, kVerticalBar, 0);
  }
}

intptr_t OnTranscriptFrameMessage(HEXHANDLE window, HEXHANDLE frame, int32_t message,
                                  intptr_t wParam, intptr_t lParam, intptr_t* /*unused*/) {
  if (message == EXM_VSCROLL) {
    int32_t p = ApplyScrollCode(frame, kVerticalBar, wParam, 1, 10, 1);
    HEXHANDLE content = ContentOf(frame);
    if (content != 0) Ex_ObjSetPos(content, 0, 0, -p, 0, 0, kKeepSize);
  } else if (message == EXM_SIZE) {
    // The size message sent while the frame is being created finds no content yet.
    if (ContentOf(frame) != 0) RelayoutTranscript(frame);
  }
  return Ex_ObjDefProc(window, frame, message, wParam, lParam);
}

int32_t ApplyScrollCode(HEXHANDLE object, int32_t bar, intptr_t wParam, int32_t lineMultiplier,
                        int32_t pageStep, int32_t redraw) {
  if (Ex_ObjScrollGetControl(object, bar) == 0) return 0;
  int32_t code = static_cast<int32_t>(wParam & 0xFFFF);
  int32_t minimum = 0, maximum = 0, position = 0;
  Ex_ObjScrollGetInfo(object, bar, &minimum, &maximum, &position, nullptr);
  int64_t current = position;
  int64_t wanted;
  switch (code) {
    case EXSB_LINEUP:
      wanted = current - static_cast<int64_t>(lineMultiplier) * 100;
      break;
    case EXSB_LINEDOWN:
      wanted = current + static_cast<int64_t>(lineMultiplier) * 100;
      break;
    case EXSB_PAGEUP:
      wanted = current - pageStep;
      break;
    case EXSB_PAGEDOWN:
      wanted = current + pageStep;
      break;
    case EXSB_TOP:
      wanted = minimum;
      break;
    case EXSB_BOTTOM:
      wanted = maximum;
      break;
    default:
      // Thumb moved or released, end of scroll: the bar always takes the
      // track position, even when it equals the current one.
      wanted = Ex_ObjScrollGetTrackPos(object, bar);
      current = static_cast<int64_t>(minimum) - 1;
      break;
  }
  if (wanted > maximum) wanted = maximum;
  if (wanted < minimum) wanted = minimum;
  if (wanted != current) Ex_ObjScrollSetPos(object, bar, static_cast<int32_t>(wanted), redraw);
  return static_cast<int32_t>(wanted);
}
