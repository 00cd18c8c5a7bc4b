// The "Edit" class: a single-line text box with caret, selection, clipboard
// and IME composition. The editing itself is EditBuffer's, the layout and
// drawing EditView's; this file turns the library's messages into both.
#include <SDL.h>
#include <pango/pangocairo.h>

#include "directui/canvas.h"
#include "directui/edit_buffer.h"
#include "directui/edit_utf.h"
#include "directui/edit_view.h"
#include "directui/object.h"
#include "directui/theme.h"

namespace exdui {
namespace {

constexpr int32_t kBlinkTimer = 1;

struct EditState {
  EditBuffer buffer;
  EditView view;
  EditGeometry geometry;  // as last arranged: where the caret was drawn
  bool focused = false;
  bool caretOn = false;    // the caret's blink phase
  bool selecting = false;  // the left button is held after a click in the box
  // The layout of what was last shown, kept until the shown text changes:
  // a blink, a click or a caret move needs no new layout.
  PangoLayout* layout = nullptr;
  std::u16string layoutText;
  size_t layoutComposition = 0;  // where the underlined composition starts
  int layoutFont = 0;            // EditFontGeneration() it was made with
};

EditState* StateOf(const Object* obj) {
  return static_cast<EditState*>(obj->classData);
}

EditStyle StyleOf(const Object* obj) {
  const Theme& theme = CurrentTheme();
  EditStyle style;
  style.text = obj->textColor;
  style.selection = theme.editSelection;
  style.selectedText = theme.editSelectionText;
  style.caret = theme.editCaret;
  style.composition = theme.editComposition;
  style.padding = theme.editPadding;
  style.caretWidth = theme.editCaretWidth;
  return style;
}

// The box writes in the library's default family, but no smaller than the
// chat's own 18 pixels, so a sentence looks the same in the box and in its
// bubble, and stays readable in the 50-pixel-high box.
constexpr int kEditMinFontPixels = 18;

struct EditFontCache {
  PangoFontDescription* source = nullptr;  // copy of the default it was made from
  PangoFontDescription* font = nullptr;
  int generation = 0;
};

const PangoFontDescription* EditFont(int* generation) {
  static EditFontCache cache;  // kept for the life of the process
  const PangoFontDescription* base = DefaultFontDescription();
  if (cache.source == nullptr || !pango_font_description_equal(cache.source, base)) {
    if (cache.source != nullptr) pango_font_description_free(cache.source);
    if (cache.font != nullptr) pango_font_description_free(cache.font);
    cache.source = pango_font_description_copy(base);
    cache.font = pango_font_description_copy(base);
    double size = static_cast<double>(pango_font_description_get_size(base)) / PANGO_SCALE;
    // Point sizes are taken at 96 dots per inch, the library's resolution.
    double pixels = pango_font_description_get_size_is_absolute(base) ? size : size * 96.0 / 72.0;
    if (pixels < kEditMinFontPixels)
      pango_font_description_set_absolute_size(cache.font, kEditMinFontPixels * PANGO_SCALE);
    ++cache.generation;
  }
  *generation = cache.generation;
  return cache.font;
}

// The layout of what the box shows now; owned by the state.
PangoLayout* LayoutOf(EditState* state, const EditStyle& style) {
  int generation = 0;
  const PangoFontDescription* font = EditFont(&generation);
  std::u16string shown = EditDisplayText(state->buffer);
  size_t composition = EditIsComposing(state->buffer) ? EditSelectionStart(state->buffer) + 1 : 0;
  if (state->layout == nullptr || state->layoutFont != generation || state->layoutText != shown ||
      state->layoutComposition != composition) {
    if (state->layout != nullptr) g_object_unref(state->layout);
    state->layout = EditCreateLayout(state->buffer, font, style);
    state->layoutText = std::move(shown);
    state->layoutComposition = composition;
    state->layoutFont = generation;
  }
  return state->layout;
}

class SystemClipboard : public EditClipboard {
 public:
  std::u16string GetText() override {
    if (!SDL_HasClipboardText()) return {};
    char* text = SDL_GetClipboardText();
    if (text == nullptr) return {};
    std::u16string result = Utf8ToUtf16(text);
    SDL_free(text);
    return result;
  }
  void SetText(std::u16string_view text) override {
    SDL_SetClipboardText(Utf16ToUtf8(text).c_str());
  }
};

// Lays the text out again and keeps the caret in view; tells the IME where
// the caret now is.
void Arrange(Object* obj) {
  EditState* state = StateOf(obj);
  EditStyle style = StyleOf(obj);
  PangoLayout* layout = LayoutOf(state, style);
  state->geometry = EditArrange(state->view, state->buffer, layout, obj->width, obj->height, style);
  if (state->focused) {
    EditRect caret = EditCaretRect(state->geometry);
    SetTextInputRect(obj, RECT{caret.left, caret.top, caret.right, caret.bottom});
  }
}

bool Blinks() {
  return CurrentTheme().editCaretBlink > 0;
}

// After every edit or caret move the caret shows at once and its blink
// starts over, so it never vanishes while the user types.
void RestartBlink(Object* obj) {
  EditState* state = StateOf(obj);
  state->caretOn = state->focused;
  if (state->focused && Blinks()) {
    SetObjectTimer(obj, kBlinkTimer, static_cast<uint32_t>(CurrentTheme().editCaretBlink));
  }
}

// The text, selection or scroll may have changed: the whole box repaints.
void Changed(Object* obj) {
  Arrange(obj);
  RestartBlink(obj);
  Invalidate(obj);
}

void InvalidateCaret(Object* obj) {
  EditRect r = EditCaretRect(StateOf(obj)->geometry);
  InvalidateRect(obj, RECT{r.left, r.top, r.right, r.bottom});
}

// The unit under a point of the box, in the layout the box shows now.
size_t HitTest(Object* obj, intptr_t lParam) {
  EditState* state = StateOf(obj);
  EditStyle style = StyleOf(obj);
  PangoLayout* layout = LayoutOf(state, style);
  EditGeometry geometry =
      EditArrange(state->view, state->buffer, layout, obj->width, obj->height, style);
  return EditHitTest(state->buffer, layout, geometry, PointX(lParam));
}

// Units below 0x20 and DEL come from control keys; the box takes only text.
bool IsTypedText(intptr_t unit) {
  return unit >= 0x20 && unit != 0x7F && unit <= 0xFFFF;
}

bool OnKeyDown(Object* obj, SDL_Keycode key, uint16_t mods) {
  EditBuffer& b = StateOf(obj)->buffer;
  // While the IME composes, keys belong to it.
  if (EditIsComposing(b)) return false;
  bool shift = (mods & KMOD_SHIFT) != 0;
  bool ctrl = (mods & KMOD_CTRL) != 0;
  SystemClipboard clipboard;
  size_t caret = b.caret, anchor = b.anchor;
  switch (key) {
    case SDLK_BACKSPACE:
      return EditBackspace(b);
    case SDLK_DELETE:
      if (shift) return EditCut(b, clipboard);
      return EditDelete(b);
    case SDLK_LEFT:
      EditMoveLeft(b, shift);
      break;
    case SDLK_RIGHT:
      EditMoveRight(b, shift);
      break;
    case SDLK_HOME:
      EditMoveHome(b, shift);
      break;
    case SDLK_END:
      EditMoveEnd(b, shift);
      break;
    case SDLK_INSERT:
      if (shift) return EditPaste(b, clipboard);
      if (ctrl) EditCopy(b, clipboard);
      return false;
    case SDLK_a:
      if (!ctrl) return false;
      EditSelectAll(b);
      break;
    case SDLK_c:
      if (ctrl) EditCopy(b, clipboard);
      return false;
    case SDLK_x:
      return ctrl && EditCut(b, clipboard);
    case SDLK_v:
      return ctrl && EditPaste(b, clipboard);
    default:
      return false;
  }
  return b.caret != caret || b.anchor != anchor;
}

void OnComposition(Object* obj, const ImeComposition* ime) {
  EditState* state = StateOf(obj);
  if (ime == nullptr || ime->text == nullptr || ime->length <= 0) {
    EditSetComposition(state->buffer, u"", 0);
  } else {
    std::u16string_view text(ime->text, static_cast<size_t>(ime->length));
    EditSetComposition(state->buffer, text, ime->cursor < 0 ? 0 : static_cast<size_t>(ime->cursor));
  }
  Changed(obj);
}

intptr_t EditProc(Object* obj, int32_t msg, intptr_t wParam, intptr_t lParam) {
  EditState* state = StateOf(obj);
  if (state == nullptr) return DefaultObjectProc(obj, msg, wParam, lParam);
  switch (msg) {
    case EXM_CHAR:
      // Enter (13) reaches the handler and ends there: the line takes no breaks.
      if (!IsTypedText(wParam)) return 0;
      // Committed IME text arrives as characters; the composition is over.
      EditSetComposition(state->buffer, u"", 0);
      {
        char16_t unit = static_cast<char16_t>(wParam);
        EditInsert(state->buffer, std::u16string_view(&unit, 1));
      }
      Changed(obj);
      return 0;
    case EXM_KEYDOWN:
      if (OnKeyDown(obj, static_cast<SDL_Keycode>(wParam), static_cast<uint16_t>(lParam & 0xFFFF)))
        Changed(obj);
      return 0;
    case EXM_IME_COMPOSITION:
      OnComposition(obj, reinterpret_cast<const ImeComposition*>(wParam));
      return 0;
    case EXM_IME_ENDCOMPOSITION:
      if (EditIsComposing(state->buffer)) {
        EditSetComposition(state->buffer, u"", 0);
        Changed(obj);
      }
      return 0;
    case EXM_LBUTTONDOWN:
      state->selecting = true;
      EditMoveTo(state->buffer, HitTest(obj, lParam), (wParam & EXMK_SHIFT) != 0);
      Changed(obj);
      return 0;
    case EXM_LBUTTONDBLCLK:
      state->selecting = true;
      EditSelectWordAt(state->buffer, HitTest(obj, lParam));
      Changed(obj);
      return 0;
    case EXM_MOUSEMOVE:
      if (state->selecting && (wParam & EXMK_LBUTTON) != 0) {
        size_t caret = state->buffer.caret;
        EditMoveTo(state->buffer, HitTest(obj, lParam), true);
        if (state->buffer.caret != caret) Changed(obj);
      }
      return 0;
    case EXM_LBUTTONUP:
      state->selecting = false;
      return 0;
    case EXM_SETFOCUS:
      state->focused = true;
      Changed(obj);
      return 0;
    case EXM_KILLFOCUS:
      state->focused = false;
      state->caretOn = false;
      state->selecting = false;
      KillObjectTimer(obj, kBlinkTimer);
      InvalidateCaret(obj);
      return 0;
    case EXM_TIMER:
      if (wParam != kBlinkTimer) break;
      if (!state->focused || !Blinks()) {
        KillObjectTimer(obj, kBlinkTimer);
        return 0;
      }
      state->caretOn = !state->caretOn;
      InvalidateCaret(obj);
      return 0;
    case EXM_SIZE:
      Arrange(obj);
      Invalidate(obj);
      break;
  }
  return DefaultObjectProc(obj, msg, wParam, lParam);
}

void EditPaint(Object* obj, const PaintContext& pc) {
  // The handler paints the box's background first, on the same canvas. It
  // may run a nested loop, so the state is looked at only afterwards.
  SendObjectMessage(obj, EXM_ERASEBKGND, pc.canvas, 0);
  EditState* state = StateOf(obj);
  if (state == nullptr || pc.cr == nullptr) return;
  EditStyle style = StyleOf(obj);
  PangoLayout* layout = LayoutOf(state, style);
  state->geometry = EditArrange(state->view, state->buffer, layout, obj->width, obj->height, style);
  EditDraw(pc.cr, state->buffer, layout, state->geometry, obj->width, obj->height, style,
           state->focused && state->caretOn);
}

void EditCreate(Object* obj) {
  EditState* state = new EditState;
  EditSetText(state->buffer, obj->text);
  obj->classData = state;
  obj->textColor = CurrentTheme().editText;
}

void EditDestroy(Object* obj) {
  EditState* state = StateOf(obj);
  if (state != nullptr && state->layout != nullptr) g_object_unref(state->layout);
  delete state;
  obj->classData = nullptr;
}

std::u16string_view EditText(const Object* obj) {
  const EditState* state = StateOf(obj);
  if (state == nullptr) return {};
  return state->buffer.text;
}

}  // namespace

const ClassRecord* EditClass() {
  static const ClassRecord record = [] {
    ClassRecord r;
    r.name = u"Edit";
    r.defaultStyle = EXOS_VISIBLE;
    r.defaultTextFormat = 0x24;  // single line, vertically centred
    r.takesFocus = true;
    r.cursor = SDL_SYSTEM_CURSOR_IBEAM;
    r.proc = EditProc;
    r.paint = EditPaint;
    r.create = EditCreate;
    r.destroy = EditDestroy;
    r.text = EditText;
    return r;
  }();
  return &record;
}

}  // namespace exdui
