// The transcript with the real DirectUI library in a window under SDL's
// offscreen driver: AddEntry with relayout as the 1st, 1,000th and 10,000th
// entry, and a full repaint (the paint message) at 1,000 and 10,000 entries.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "text/text.h"
#include "transcript/local_blocks.h"
#include "transcript/transcript.h"
#include "ui/exdui.h"

namespace {

HEXHANDLE gDui = 0;
Bytes gUserAvatar, gBotAvatar;

Bytes ReadResource(const char* name) {
  std::ifstream in(std::string(TOVI_RESOURCE_DIR) + "/" + name, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return Bytes(bytes.str());
}

void OpenWindow() {
  Ex_Init(0, 0x2 | 0x100 | 0x800000 | 0x800, 0, nullptr, nullptr, 0, nullptr, 0);
  HEXHANDLE window = Ex_WndCreate(0, nullptr, u"transcript bench", 0, 0, 600, 500, 0, 0);
  gDui = Ex_DUIBindWindowEx(window, 0, 0x100 | 0x2 | 0x4 | 0x1 | 0x20000 | 0x10000 | 0x800 | 0x400,
                            0, nullptr);
  Ex_DUIShowWindow(gDui, 5, 0, 0, 0);
  ConnectDirectUiMessagePump();
  gUserAvatar = ReadResource("avatar-user.jpg");
  gBotAvatar = ReadResource("avatar-bot.jpg");
}

MessageEntry* Entry(int i) {
  bool own = i % 2 == 0;
  std::string text = own ? "How is the weather today, number " + std::to_string(i) + "?"
                         : "Sunny, with a light breeze from the sea, answer " + std::to_string(i);
  return MakeEntry(own ? KindOwn : KindOther, own ? gUserAvatar : gBotAvatar, Text("tovi"),
                   Text(text), 0);
}

TranscriptState* StateOf(HEXHANDLE frame) {
  auto content = static_cast<HEXHANDLE>(Ex_ObjGetLong(frame, EXOL_USERDATA));
  return reinterpret_cast<TranscriptState*>(Ex_ObjGetLong(content, EXOL_USERDATA));
}

// A transcript of its own (over the earlier ones) holding n entries, laid out.
HEXHANDLE TranscriptWith(int n) {
  HEXHANDLE frame = CreateTranscript(gDui, 10, 42, 580, 388);
  for (int i = 0; i < n; ++i) AddEntry(frame, 0, Entry(i), 0, 0);
  RelayoutTranscript(frame);
  for (int i = 0; i < 3; ++i) Ex_WndDispatchPending();
  return frame;
}

// Takes the last entry off again, releasing it, outside the timing.
void DropLast(HEXHANDLE frame) {
  PointerArray* entries = StateOf(frame)->entries;
  int32_t n = PointerArrayCount(entries);
  auto* slot = reinterpret_cast<EntrySlot*>(PointerArrayGet(entries, n));
  PointerArrayRemove(entries, n);
  _img_destroy(slot->entry->avatar);
  FreeLocalBlock(slot->entry->name);
  FreeLocalBlock(slot->entry->text);
  FreeLocalBlock(slot->entry);
  FreeLocalBlock(slot);
}

void BM_AddEntryWithRelayout(benchmark::State& state) {
  const int nth = static_cast<int>(state.range(0));
  HEXHANDLE frame = TranscriptWith(nth - 1);
  for (auto _ : state) {
    state.PauseTiming();
    MessageEntry* entry = Entry(nth);
    state.ResumeTiming();
    AddEntry(frame, 0, entry, 0, 1);
    state.PauseTiming();
    DropLast(frame);
    state.ResumeTiming();
  }
  ClearTranscript(frame);
}
BENCHMARK(BM_AddEntryWithRelayout)->Arg(1)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_FullRepaint(benchmark::State& state) {
  HEXHANDLE frame = TranscriptWith(static_cast<int>(state.range(0)));
  auto content = static_cast<HEXHANDLE>(Ex_ObjGetLong(frame, EXOL_USERDATA));
  for (auto _ : state) Ex_ObjSendMessage(content, EXM_PAINT, 0, 0);
  ClearTranscript(frame);
}
BENCHMARK(BM_FullRepaint)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// The paint and the library's present of it to the screen.
void BM_FullRepaintAndPresent(benchmark::State& state) {
  HEXHANDLE frame = TranscriptWith(static_cast<int>(state.range(0)));
  auto content = static_cast<HEXHANDLE>(Ex_ObjGetLong(frame, EXOL_USERDATA));
  for (auto _ : state) {
    Ex_ObjSendMessage(content, EXM_PAINT, 0, 0);
    Ex_WndDispatchPending();
  }
  ClearTranscript(frame);
}
BENCHMARK(BM_FullRepaintAndPresent)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("SDL_VIDEODRIVER", "offscreen", 1);
  OpenWindow();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
