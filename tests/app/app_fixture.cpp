#include "tests/app/app_fixture.h"

#include <unistd.h>

#include <climits>

#include "tests/app/run_program.h"
#include "platform/memory.h"
#include "transcript/pointer_array.h"

void PrintTo(const ShownEntry& entry, std::ostream* out) {
  *out << "{kind " << entry.kind << ", \"" << entry.text << "\"}";
}

void MainWindowFixture::SetUp() {
  exdui_recorder::Reset();
  exdui_recorder::NameRoutine(&OnMainWindowMessage, "OnMainWindowMessage");
  exdui_recorder::NameRoutine(&OnInputEvent, "OnInputEvent");
  exdui_recorder::NameRoutine(&OnTranscriptFrameMessage, "OnTranscriptFrameMessage");
  exdui_recorder::NameRoutine(&PaintTranscript, "PaintTranscript");
  gMainWindow = MainWindowValues{};
  char cwd[PATH_MAX] = {};
  if (getcwd(cwd, sizeof cwd) != nullptr) previousDirectory_ = cwd;
  dir_ = MakeTempDirectory("tovi-window-");
  ASSERT_FALSE(dir_.empty());
  ASSERT_EQ(chdir(dir_.c_str()), 0);
}

void MainWindowFixture::TearDown() {
  if (!previousDirectory_.empty() && chdir(previousDirectory_.c_str()) != 0) {
    ADD_FAILURE() << "cannot return to " << previousDirectory_;
  }
  RemoveTree(dir_);
  ReleaseTranscriptRecords();
  gMainWindow = MainWindowValues{};
}

// The client's transcript lives until the process ends; a test that makes
// one per case releases its records itself.
void MainWindowFixture::ReleaseTranscriptRecords() {
  if (gMainWindow.transcript == 0) return;
  ClearTranscript(gMainWindow.transcript);
  HEXHANDLE content = static_cast<HEXHANDLE>(Ex_ObjGetLong(gMainWindow.transcript, EXOL_USERDATA));
  auto* state = reinterpret_cast<TranscriptState*>(Ex_ObjGetLong(content, EXOL_USERDATA));
  if (state == nullptr) return;
  if (state->entries != nullptr) DestroyPointerArray(state->entries);
  LocalFree(state->fonts);
  LocalFree(state->metrics);
  LocalFree(state);
  Ex_ObjSetLong(content, EXOL_USERDATA, 0);
}

void MainWindowFixture::OpenWindow() {
  exdui_recorder::SetMessageLoop([] {});
  RunMainWindow();
  ASSERT_NE(gMainWindow.inputBox, 0);
  ASSERT_NE(gMainWindow.transcript, 0);
}

void MainWindowFixture::TypeAndEnter(const std::string& utf8) {
  exdui_recorder::SetObjectText(gMainWindow.inputBox, utf8);
  exdui_recorder::Deliver(gMainWindow.inputBox, EXM_CHAR, 13, 0);
}

std::vector<ShownEntry> MainWindowFixture::Entries() const {
  std::vector<ShownEntry> shown;
  HEXHANDLE content = static_cast<HEXHANDLE>(Ex_ObjGetLong(gMainWindow.transcript, EXOL_USERDATA));
  auto* state = reinterpret_cast<TranscriptState*>(Ex_ObjGetLong(content, EXOL_USERDATA));
  if (state == nullptr || state->entries == nullptr) return shown;
  for (int32_t i = 1; i <= PointerArrayCount(state->entries); ++i) {
    auto* slot = reinterpret_cast<EntrySlot*>(PointerArrayGet(state->entries, i));
    if (slot == nullptr || slot->entry == nullptr) continue;
    shown.push_back({slot->entry->kind, exdui_recorder::Utf8(slot->entry->text)});
  }
  return shown;
}
