// A transcript made against the recording stand-in, as the main window makes
// it: CreateTranscript (parent, 10, 42, 580, 388). Handles: parent 1, frame 2,
// content 3; fonts 101 (body) and 102 (name); canvas 901.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/exdui_recorder.h"
#include "transcript/local_blocks.h"
#include "transcript/transcript.h"

namespace transcript_test {

namespace rec = exdui_recorder;
using Lines = std::vector<std::string>;

constexpr HEXHANDLE kParent = 1, kFrame = 2, kContent = 3;

class TranscriptFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    rec::Reset();
    rec::NameRoutine(&PaintTranscript, "PaintTranscript");
    rec::NameRoutine(&OnTranscriptFrameMessage, "OnTranscriptFrameMessage");
    blocksBefore_ = LiveLocalBlocks();
    ASSERT_EQ(rec::MakeObject(600, 500), kParent);
    frame_ = CreateTranscript(kParent, 10, 42, 580, 388);
    ASSERT_EQ(frame_, kFrame);
    state_ = reinterpret_cast<TranscriptState*>(rec::Object(kContent)->longs[EXOL_USERDATA]);
    ASSERT_NE(state_, nullptr);
    rec::ClearCalls();
  }

  // A text entry from a picture the stand-in decodes; its text measures as given.
  MessageEntry* TextEntry(int32_t kind, const std::string& text, float width = 100,
                          float height = 24, const std::string& name = "tovi") {
    if (!text.empty()) rec::SetTextSize(text, width, height);
    return MakeEntry(kind, Bytes(std::string("JPEG")), Text(name), Text(text), 0);
  }

  // Adds without relayout and without leaving calls in the record.
  void Add(MessageEntry* entry, HEXHANDLE image = 0, int32_t hidden = 0) {
    AddEntry(frame_, hidden, entry, image, 0);
    rec::ClearCalls();
  }

  // A paint as the library would send it, outside the record.
  Lines Paint() {
    rec::ClearCalls();
    rec::Deliver(kContent, EXM_PAINT, 0, 0);
    return rec::Lines();
  }

  const TranscriptMetrics& Metrics() const { return *state_->metrics; }

  // The transcript lives as long as the process in the client; a test
  // releases what is left of it so that the leak checker sees a clean exit.
  void TearDown() override {
    if (state_ == nullptr) return;
    ClearTranscript(frame_);
    DestroyPointerArray(state_->entries);
    FreeLocalBlock(state_->fonts);
    FreeLocalBlock(state_->metrics);
    FreeLocalBlock(state_);
    EXPECT_EQ(LiveLocalBlocks(), blocksBefore_) << "records left allocated";
  }

  // Releases an entry the test kept (one added in a hidden slot).
  static void ReleaseEntryForTest(MessageEntry* entry) {
    _img_destroy(entry->avatar);
    FreeLocalBlock(entry->name);
    FreeLocalBlock(entry->text);
    FreeLocalBlock(entry);
  }

  HEXHANDLE frame_ = 0;
  TranscriptState* state_ = nullptr;
  int blocksBefore_ = 0;
};

}  // namespace transcript_test
