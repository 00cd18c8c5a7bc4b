#include "directui/edit_buffer.h"

#include <algorithm>
#include <cstring>

#include "directui/edit_utf.h"

namespace exdui {
namespace {

bool InsidePair(std::u16string_view text, size_t i) {
  return i > 0 && i < text.size() && IsHighSurrogate(text[i - 1]) && IsLowSurrogate(text[i]);
}

size_t PreviousBoundary(std::u16string_view text, size_t i) {
  if (i == 0) return 0;
  return InsidePair(text, i - 1) ? i - 2 : i - 1;
}

size_t NextBoundary(std::u16string_view text, size_t i) {
  if (i >= text.size()) return text.size();
  return InsidePair(text, i + 1) ? i + 2 : i + 1;
}

size_t Snap(std::u16string_view text, size_t i) {
  i = std::min(i, text.size());
  return InsidePair(text, i) ? i - 1 : i;
}

bool IsLineBreak(char16_t u) {
  return u == 0x0A || u == 0x0D || u == 0x2028 || u == 0x2029;
}

// C0 and C1 control codes and DEL; they have no place in a line of text.
bool IsControl(char16_t u) {
  return u < 0x20 || (u >= 0x7F && u <= 0x9F);
}

// Makes `text` fit on one line: each line break (CR LF counting as one) and
// each tab becomes a blank, other control codes go.
std::u16string OneLine(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t u = text[i];
    if (IsLineBreak(u)) {
      if (u == 0x0D && i + 1 < text.size() && text[i + 1] == 0x0A) ++i;
      out += u' ';
    } else if (u == 0x09) {
      out += u' ';
    } else if (!IsControl(u)) {
      out += u;
    }
  }
  return out;
}

void DeleteRange(EditBuffer& edit, size_t start, size_t end) {
  edit.text.erase(start, end - start);
  // Two lone halves that meet across the gap now form a pair: the caret
  // goes before it rather than between its halves.
  edit.caret = edit.anchor = Snap(edit.text, start);
}

bool DeleteSelection(EditBuffer& edit) {
  if (!EditHasSelection(edit)) return false;
  DeleteRange(edit, EditSelectionStart(edit), EditSelectionEnd(edit));
  return true;
}

// 0: blanks, 1: punctuation, 2: word characters. Only these explicit ranges
// count as blanks or punctuation; every other code point belongs to words.
int WordClass(char16_t u) {
  if (u == 0x20 || u == 0x09 || u == 0xA0 || u == 0x3000) return 0;
  if ((u >= 0x21 && u <= 0x2F) || (u >= 0x3A && u <= 0x40) || (u >= 0x5B && u <= 0x60) ||
      (u >= 0x7B && u <= 0x7E) || (u >= 0x3001 && u <= 0x303F) || (u >= 0xFF01 && u <= 0xFF0F))
    return 1;
  return 2;
}

}  // namespace

size_t EditSelectionStart(const EditBuffer& edit) {
  return std::min(edit.caret, edit.anchor);
}
size_t EditSelectionEnd(const EditBuffer& edit) {
  return std::max(edit.caret, edit.anchor);
}
bool EditHasSelection(const EditBuffer& edit) {
  return edit.caret != edit.anchor;
}
bool EditIsComposing(const EditBuffer& edit) {
  return !edit.preedit.empty();
}

void EditSetText(EditBuffer& edit, std::u16string_view text) {
  std::u16string line = OneLine(text);
  if (line.size() > kEditMaxLength) line.resize(Snap(line, kEditMaxLength));
  edit.text = std::move(line);
  edit.caret = edit.anchor = edit.text.size();
  edit.preedit.clear();
  edit.preeditCursor = 0;
}

bool EditInsert(EditBuffer& edit, std::u16string_view text) {
  std::u16string line = OneLine(text);
  bool changed = DeleteSelection(edit);
  size_t room = kEditMaxLength - std::min(kEditMaxLength, edit.text.size());
  if (line.size() > room) {
    // Cut at a code point boundary so no half pair is left behind.
    line.resize(Snap(line, room));
  }
  if (line.empty()) return changed;
  edit.text.insert(edit.caret, line);
  edit.caret += line.size();
  // A lone high surrogate typed before a lone low one completes a pair: the
  // caret must not stay between the two halves.
  if (InsidePair(edit.text, edit.caret)) ++edit.caret;
  edit.anchor = edit.caret;
  return true;
}

bool EditBackspace(EditBuffer& edit) {
  if (DeleteSelection(edit)) return true;
  if (edit.caret == 0) return false;
  DeleteRange(edit, PreviousBoundary(edit.text, edit.caret), edit.caret);
  return true;
}

bool EditDelete(EditBuffer& edit) {
  if (DeleteSelection(edit)) return true;
  if (edit.caret >= edit.text.size()) return false;
  DeleteRange(edit, edit.caret, NextBoundary(edit.text, edit.caret));
  return true;
}

void EditMoveLeft(EditBuffer& edit, bool extend) {
  if (!extend && EditHasSelection(edit)) {
    edit.caret = edit.anchor = EditSelectionStart(edit);
    return;
  }
  edit.caret = PreviousBoundary(edit.text, edit.caret);
  if (!extend) edit.anchor = edit.caret;
}

void EditMoveRight(EditBuffer& edit, bool extend) {
  if (!extend && EditHasSelection(edit)) {
    edit.caret = edit.anchor = EditSelectionEnd(edit);
    return;
  }
  edit.caret = NextBoundary(edit.text, edit.caret);
  if (!extend) edit.anchor = edit.caret;
}

void EditMoveWordLeft(EditBuffer& edit, bool extend) {
  const std::u16string& t = edit.text;
  size_t at = edit.caret;
  while (at > 0 && WordClass(t[PreviousBoundary(t, at)]) == 0) at = PreviousBoundary(t, at);
  if (at > 0) {
    int kind = WordClass(t[PreviousBoundary(t, at)]);
    while (at > 0 && WordClass(t[PreviousBoundary(t, at)]) == kind) at = PreviousBoundary(t, at);
  }
  EditMoveTo(edit, at, extend);
}

void EditMoveWordRight(EditBuffer& edit, bool extend) {
  const std::u16string& t = edit.text;
  size_t at = edit.caret;
  if (at < t.size()) {
    int kind = WordClass(t[at]);
    if (kind != 0) {
      while (at < t.size() && WordClass(t[at]) == kind) at = NextBoundary(t, at);
    }
  }
  while (at < t.size() && WordClass(t[at]) == 0) at = NextBoundary(t, at);
  EditMoveTo(edit, at, extend);
}

void EditMoveHome(EditBuffer& edit, bool extend) {
  EditMoveTo(edit, 0, extend);
}
void EditMoveEnd(EditBuffer& edit, bool extend) {
  EditMoveTo(edit, edit.text.size(), extend);
}

void EditMoveTo(EditBuffer& edit, size_t unit, bool extend) {
  edit.caret = Snap(edit.text, unit);
  if (!extend) edit.anchor = edit.caret;
}

void EditSelectAll(EditBuffer& edit) {
  edit.anchor = 0;
  edit.caret = edit.text.size();
}

void EditSelectWordAt(EditBuffer& edit, size_t unit) {
  const std::u16string& t = edit.text;
  if (t.empty()) return;
  size_t at = Snap(t, unit);
  if (at == t.size()) at = PreviousBoundary(t, at);
  int kind = WordClass(t[at]);
  size_t start = at;
  while (start > 0) {
    size_t prev = PreviousBoundary(t, start);
    if (WordClass(t[prev]) != kind) break;
    start = prev;
  }
  size_t end = NextBoundary(t, at);
  while (end < t.size() && WordClass(t[end]) == kind) end = NextBoundary(t, end);
  edit.anchor = start;
  edit.caret = end;
}

bool EditCopy(const EditBuffer& edit, EditClipboard& clipboard) {
  if (!EditHasSelection(edit)) return false;
  size_t start = EditSelectionStart(edit);
  clipboard.SetText(std::u16string_view(edit.text).substr(start, EditSelectionEnd(edit) - start));
  return true;
}

bool EditCut(EditBuffer& edit, EditClipboard& clipboard) {
  if (!EditCopy(edit, clipboard)) return false;
  return DeleteSelection(edit);
}

bool EditPaste(EditBuffer& edit, EditClipboard& clipboard) {
  std::u16string text = clipboard.GetText();
  if (text.empty()) return false;
  return EditInsert(edit, text);
}

void EditSetComposition(EditBuffer& edit, std::u16string_view preedit, size_t cursorUnits) {
  edit.preedit = OneLine(preedit);
  edit.preeditCursor = Snap(edit.preedit, cursorUnits);
}

void EditCommit(EditBuffer& edit, std::u16string_view text) {
  edit.preedit.clear();
  edit.preeditCursor = 0;
  EditInsert(edit, text);
}

std::u16string EditDisplayText(const EditBuffer& edit) {
  if (!EditIsComposing(edit)) return edit.text;
  size_t start = EditSelectionStart(edit);
  std::u16string shown = edit.text.substr(0, start);
  shown += edit.preedit;
  shown.append(edit.text, EditSelectionEnd(edit), std::u16string::npos);
  return shown;
}

size_t EditDisplayCaret(const EditBuffer& edit) {
  if (!EditIsComposing(edit)) return edit.caret;
  return EditSelectionStart(edit) + edit.preeditCursor;
}

int32_t EditGetTextLength(const EditBuffer& edit) {
  return static_cast<int32_t>(edit.text.size());
}

int32_t EditGetText(const EditBuffer& edit, void* buffer, int32_t bytes) {
  if (buffer == nullptr || bytes < 2) return 0;
  size_t units = std::min(edit.text.size(), static_cast<size_t>(bytes / 2 - 1));
  // A short buffer ends before a pair rather than keeping half of it.
  units = Snap(edit.text, units);
  unsigned char* out = static_cast<unsigned char*>(buffer);
  std::memcpy(out, edit.text.data(), units * 2);
  const char16_t nul = 0;
  std::memcpy(out + units * 2, &nul, 2);
  return static_cast<int32_t>(units);
}

}  // namespace exdui
