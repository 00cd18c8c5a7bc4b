// The transcript's records and the links between its two DirectUI objects.
//
// All records live in zero-filled local memory (LocalAlloc with LPTR). Fields
// that hold addresses are pointer-sized; handles are the library's 32-bit
// HEXHANDLE values.
//
// Object links, through the object value at EXOL_USERDATA (-7): the frame's
// value is the content object's handle (0: no content yet); the content
// object's value is its TranscriptState address. A transcript's handle is
// its frame object's handle.
#pragma once

#include <cstdint>

#include "directui/include/exdui_abi.h"
#include "transcript/pointer_array.h"

// Entry kinds.
enum : int32_t {
  KindOwn = 0,         // the user's own message: avatar right, dark bubble, white text
  KindOther = 1,       // the bot's message: avatar left, light-grey bubble, black text
  KindOtherNamed = 2,  // like KindOther, with the sender's name in grey above the bubble
};

struct TranscriptFonts {
  HEXHANDLE bodyFont;  // "微软雅黑" 18: an entry's text when the entry has no font of its own
  HEXHANDLE nameFont;  // "微软雅黑" 14: the name line of KindOtherNamed entries
};

// Rewritten by every completed paint of the content object.
struct TranscriptMetrics {
  int32_t width;          // drawing width; the transcript's width when created
  int32_t contentHeight;  // height of everything drawn; 0 when created
  int32_t viewHeight;     // height of the frame's client area; 0 when created
};

// One per transcript: the content object's user value.
struct TranscriptState {
  HEXHANDLE frame;
  PointerArray* entries;  // EntrySlot addresses, top to bottom
  int32_t painted;        // 0 before a relayout's paint, 1 after every completed paint
  TranscriptFonts* fonts;
  TranscriptMetrics* metrics;
};

// One per message, made by MakeEntry.
struct MessageEntry {
  int32_t kind;
  HEXHANDLE avatar;  // the sender's picture scaled to 30 x 30
  char16_t* name;    // private NUL-terminated UTF-16 copy of the sender's name
  char16_t* text;    // private NUL-terminated UTF-16 copy of the message; null when empty
  HEXHANDLE font;    // 0: the transcript's bodyFont
};

// The element type of TranscriptState::entries.
struct EntrySlot {
  int32_t hidden;       // non-zero: not drawn, and clearing leaves entry and image alone
  MessageEntry* entry;  // the message
  HEXHANDLE image;      // a picture drawn instead of a text bubble; 0 for a text message
};
