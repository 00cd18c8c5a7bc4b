// The transcript: a frame object that owns the vertical scroll bar, and a
// content object inside it, as tall as all messages, that scrolls up within it.
#pragma once

#include <cstdint>

#include "directui/include/exdui_abi.h"
#include "text/text.h"
#include "transcript/transcript_records.h"

// Makes the frame and content objects and the records; the frame's handle
// (the transcript's handle), or 0 when either object cannot be made.
HEXHANDLE CreateTranscript(HEXHANDLE parent, int32_t x, int32_t y, int32_t width, int32_t height);
// A new entry with the picture decoded and scaled to a 30 x 30 avatar and
// private UTF-16 copies of name and text. The font stays the caller's.
MessageEntry* MakeEntry(int32_t kind, const Bytes& picture, const Text& name, const Text& text,
                        HEXHANDLE font);
// Appends a slot; from then on the transcript owns it (and, unless hidden,
// its entry and picture). Relays out when relayout is non-zero.
void AddEntry(HEXHANDLE transcript, int32_t hidden, MessageEntry* entry, HEXHANDLE image,
              int32_t relayout);
// Releases every slot (and what non-hidden slots own), then relays out.
void ClearTranscript(HEXHANDLE transcript);
// Repaints, sizes the content object to the drawn height, scrolls to the
// bottom and updates the scroll bar.
void RelayoutTranscript(HEXHANDLE transcript);
void UpdateTranscriptScrollBar(HEXHANDLE transcript, const TranscriptMetrics* metrics);
// The frame's message handler: scrolls on 0x115, relays out on a size change,
// and returns Ex_ObjDefProc's result for every message.
intptr_t OnTranscriptFrameMessage(HEXHANDLE window, HEXHANDLE frame, int32_t message,
                                  intptr_t wParam, intptr_t lParam, intptr_t* unused);
// Applies a scroll code to the object's bar and returns the new position
// (0 when the object has no such bar).
int32_t ApplyScrollCode(HEXHANDLE object, int32_t bar, intptr_t wParam, int32_t lineMultiplier,
                        int32_t pageStep, int32_t redraw);

// How long RelayoutTranscript waits for a paint that has not completed: this
// many DelayWithEvents(10) calls, about one second.
constexpr int kRelayoutWaitSteps = 100;
