// Painting of the transcript's content object: bubbles, pictures, round
// avatars and name lines, laid out from the top on every paint.
#pragma once

#include <cstdint>

#include "directui/include/exdui_abi.h"
#include "transcript/transcript_records.h"

// The content object's message handler. On the paint message it lays out
// and draws every visible entry and rewrites the metrics; every message then
// goes to Ex_ObjDefProc, whose result it returns.
intptr_t PaintTranscript(HEXHANDLE window, HEXHANDLE object, int32_t message, intptr_t wParam,
                         intptr_t lParam, intptr_t* unused);

// Draws one entry at the running y (the paint rectangle's top) within the
// drawing width (its right) and advances the running y past it.
void PaintEntry(ExPaintStruct* paint, const EntrySlot* slot, const TranscriptFonts* fonts);
