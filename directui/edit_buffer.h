// The edit box's editing model, free of any window: a single line of UTF-16
// text with a caret, a selection anchor and the IME's composition. The caret
// and anchor are code unit indexes and never stand inside a surrogate pair.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace exdui {

// The longest text the box keeps, in UTF-16 units; typing and pasting stop there.
constexpr size_t kEditMaxLength = 32767;

// The system clipboard, injected so that the model can be tested without one.
class EditClipboard {
 public:
  virtual ~EditClipboard() = default;
  virtual std::u16string GetText() = 0;
  virtual void SetText(std::u16string_view text) = 0;
};

struct EditBuffer {
  std::u16string text;
  size_t caret = 0;   // where typing goes; the moving end of the selection
  size_t anchor = 0;  // the fixed end of the selection; equal to caret when none
  // The IME's composition: shown in place of the selection, not yet text.
  std::u16string preedit;
  size_t preeditCursor = 0;  // in units of preedit
};

size_t EditSelectionStart(const EditBuffer& edit);
size_t EditSelectionEnd(const EditBuffer& edit);
bool EditHasSelection(const EditBuffer& edit);
bool EditIsComposing(const EditBuffer& edit);

// Replaces the whole text and puts the caret at its end.
void EditSetText(EditBuffer& edit, std::u16string_view text);
// Inserts typed or pasted text in place of the selection. The line stays a
// single line: CR LF, CR and LF become one blank each, a tab a blank, and
// other control codes are dropped. Returns whether anything changed.
bool EditInsert(EditBuffer& edit, std::u16string_view text);
// Deletes the selection, else the code point before (Backspace) or after
// (Delete) the caret. Returns whether anything changed.
bool EditBackspace(EditBuffer& edit);
bool EditDelete(EditBuffer& edit);

// Caret movement by code point; `extend` keeps the anchor (Shift held).
// Without `extend` a selection collapses to the side moved towards.
void EditMoveLeft(EditBuffer& edit, bool extend);
void EditMoveRight(EditBuffer& edit, bool extend);
// By word (Ctrl held): left to the start of the previous word, right past
// the end of this word and the blanks after it.
void EditMoveWordLeft(EditBuffer& edit, bool extend);
void EditMoveWordRight(EditBuffer& edit, bool extend);
void EditMoveHome(EditBuffer& edit, bool extend);
void EditMoveEnd(EditBuffer& edit, bool extend);
// Puts the caret at `unit` (snapped out of a surrogate pair), as a click or drag does.
void EditMoveTo(EditBuffer& edit, size_t unit, bool extend);
void EditSelectAll(EditBuffer& edit);
// Selects the run of word characters, blanks or punctuation around `unit`.
void EditSelectWordAt(EditBuffer& edit, size_t unit);

// Clipboard commands. Copy and cut with no selection leave the clipboard alone.
bool EditCopy(const EditBuffer& edit, EditClipboard& clipboard);
bool EditCut(EditBuffer& edit, EditClipboard& clipboard);
bool EditPaste(EditBuffer& edit, EditClipboard& clipboard);

// IME composition. An empty composition ends it; committing ends it and inserts.
void EditSetComposition(EditBuffer& edit, std::u16string_view preedit, size_t cursorUnits);
void EditCommit(EditBuffer& edit, std::u16string_view text);

// What the box shows: the text with the composition in place of the
// selection, and the caret's unit index in that shown text.
std::u16string EditDisplayText(const EditBuffer& edit);
size_t EditDisplayCaret(const EditBuffer& edit);

// Length in UTF-16 units, as Ex_ObjGetTextLength reports it.
int32_t EditGetTextLength(const EditBuffer& edit);
// Copies at most bytes / 2 - 1 units (ending before a surrogate pair that
// would not fit whole) and a NUL unit into `buffer` (which
// need not be aligned) and never writes past `bytes`; with fewer than 2 bytes
// or no buffer it writes nothing. Returns the units copied, NUL not counted.
int32_t EditGetText(const EditBuffer& edit, void* buffer, int32_t bytes);

}  // namespace exdui
