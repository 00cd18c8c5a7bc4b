// Creating, adding, clearing, relaying out and scrolling against the
// recording stand-in: exact calls and the model's resulting state.
#include <gtest/gtest.h>

#include <chrono>

#include "platform/pump.h"
#include "tests/transcript/transcript_fixture.h"

namespace transcript_test {
namespace {

const std::string kFamily = "\"微软雅黑\"";

TEST(CreateTranscriptTest, MakesLinkedFrameAndContentWithExactCalls) {
  rec::Reset();
  rec::NameRoutine(&PaintTranscript, "PaintTranscript");
  rec::NameRoutine(&OnTranscriptFrameMessage, "OnTranscriptFrameMessage");
  int blocks = LiveLocalBlocks();
  ASSERT_EQ(rec::MakeObject(600, 500), kParent);
  ASSERT_EQ(CreateTranscript(kParent, 10, 42, 580, 388), kFrame);
  auto* state = reinterpret_cast<TranscriptState*>(rec::Object(kContent)->longs[EXOL_USERDATA]);
  ASSERT_NE(state, nullptr);
  const std::string s = std::to_string(reinterpret_cast<intptr_t>(state));
  const std::string frameSize = std::to_string(580 | (388 << 16));
  const std::string contentSize = std::to_string(580 | (10 << 16));
  EXPECT_EQ(rec::Lines(),
            (Lines{
                "Ex_ObjCreateEx(0xFFFFFFFF, \"Static\", null, 0x50000000, 10, 42, 580, 388, 1, 0, "
                "0xFFFFFFFF, 0, 0, OnTranscriptFrameMessage)",
                // The size message of the frame's creation finds no content yet.
                "Ex_ObjGetLong(2, -7)",
                "Ex_ObjDefProc(0, 2, 5, 0, " + frameSize + ")",
                "Ex_ObjSetColor(2, 0, 0xFFFFFFFF, 1)",
                "_font_createfromfamily(" + kFamily + ", 18, 0)",
                "_font_createfromfamily(" + kFamily + ", 14, 0)",
                "Ex_ObjCreateEx(0xFFFFFFFF, \"Static\", null, 0x10000000, 0, 0, 580, 10, 2, 0, "
                "0xFFFFFFFF, " +
                    s + ", 0, PaintTranscript)",
                "Ex_ObjDefProc(0, 3, 5, 0, " + contentSize + ")",
                "Ex_ObjSetColor(3, 0, 0x88FF, 1)",
                "Ex_ObjSetLong(2, -7, 3)",
            }));
  EXPECT_EQ(state->frame, kFrame);
  EXPECT_EQ(PointerArrayCount(state->entries), 0);
  EXPECT_EQ(state->painted, 0);
  EXPECT_EQ(state->fonts->bodyFont, 101);
  EXPECT_EQ(state->fonts->nameFont, 102);
  EXPECT_EQ(state->metrics->width, 580);
  EXPECT_EQ(state->metrics->contentHeight, 0);
  EXPECT_EQ(state->metrics->viewHeight, 0);
  EXPECT_EQ(rec::Object(kFrame)->longs[EXOL_USERDATA], kContent);
  EXPECT_EQ(rec::Object(kContent)->parent, kFrame);
  DestroyPointerArray(state->entries);
  FreeLocalBlock(state->fonts);
  FreeLocalBlock(state->metrics);
  FreeLocalBlock(state);
  EXPECT_EQ(LiveLocalBlocks(), blocks);
}

TEST(CreateTranscriptTest, FailingFrameReturns0AndMakesNothing) {
  rec::Reset();
  int blocks = LiveLocalBlocks();
  rec::QueueResult("Ex_ObjCreateEx", 0);
  EXPECT_EQ(CreateTranscript(0, 10, 42, 580, 388), 0);
  EXPECT_EQ(rec::Calls().size(), 1u);
  EXPECT_EQ(LiveLocalBlocks(), blocks);
}

TEST(CreateTranscriptTest, FailingContentReturns0AndReleasesTheRecords) {
  rec::Reset();
  int blocks = LiveLocalBlocks();
  rec::QueueResult("Ex_ObjCreateEx", rec::kNormalResult);
  rec::QueueResult("Ex_ObjCreateEx", 0);
  EXPECT_EQ(CreateTranscript(0, 10, 42, 580, 388), 0);
  EXPECT_EQ(LiveLocalBlocks(), blocks);
  EXPECT_EQ(rec::CountOf("Ex_ObjSetLong"), 0);
  EXPECT_EQ(rec::Object(1)->longs[EXOL_USERDATA], 0) << "the frame stays without content";
}

class ListTest : public TranscriptFixture {};

TEST_F(ListTest, MakeEntryDecodesScalesAndCopies) {
  MessageEntry* entry = MakeEntry(KindOther, Bytes(std::string("JPEGDATA")), Text("\xC3\xFB"),
                                  Text("hi \xC4\xE3\xBA\xC3"), 77);
  EXPECT_EQ(rec::Lines(), (Lines{"_img_createfrommemory(set, 8, &0)",
                                 "_img_scale(1001, 30, 30, &0)", "_img_destroy(1001)"}));
  EXPECT_EQ(entry->kind, KindOther);
  EXPECT_EQ(entry->avatar, 1002);
  EXPECT_TRUE(rec::IsLive(1002));
  EXPECT_FALSE(rec::IsLive(1001));
  EXPECT_EQ(rec::Utf8(entry->name), "名");
  EXPECT_EQ(rec::Utf8(entry->text), "hi 你好");
  EXPECT_EQ(entry->font, 77);
  Add(entry);
}

TEST_F(ListTest, EmptyMessageHasNoTextButANameCopy) {
  MessageEntry* entry = MakeEntry(KindOwn, Bytes(std::string("J")), Text(""), Text(""), 0);
  EXPECT_EQ(entry->text, nullptr);
  ASSERT_NE(entry->name, nullptr);
  EXPECT_EQ(entry->name[0], u'\0');
  Add(entry);
}

TEST_F(ListTest, UndecodablePictureGivesTheNullAvatar) {
  MessageEntry* entry = MakeEntry(KindOwn, Bytes(), Text("n"), Text("t"), 0);
  EXPECT_EQ(rec::Lines(), (Lines{"_img_createfrommemory(null, 0, &0)", "_img_scale(0, 30, 30, &0)",
                                 "_img_destroy(0)"}));
  EXPECT_EQ(entry->avatar, 0);
  Add(entry);
}

TEST_F(ListTest, AddEntryAppendsASlotAndRelaysOutOnRequest) {
  MessageEntry* first = TextEntry(KindOwn, "a");
  rec::ClearCalls();
  AddEntry(frame_, 0, first, 0, 0);
  EXPECT_EQ(rec::Lines(), (Lines{"Ex_ObjGetLong(2, -7)", "Ex_ObjGetLong(3, -7)"}));
  ASSERT_EQ(PointerArrayCount(state_->entries), 1);
  auto* slot = reinterpret_cast<EntrySlot*>(PointerArrayGet(state_->entries, 1));
  EXPECT_EQ(slot->hidden, 0);
  EXPECT_EQ(slot->entry, first);
  EXPECT_EQ(slot->image, 0);

  MessageEntry* second = TextEntry(KindOther, "b");
  rec::ClearCalls();
  AddEntry(frame_, 0, second, 0, 1);
  EXPECT_EQ(PointerArrayCount(state_->entries), 2);
  EXPECT_EQ(reinterpret_cast<EntrySlot*>(PointerArrayGet(state_->entries, 2))->entry, second);
  EXPECT_EQ(rec::CountOf("Ex_ObjSendMessage"), 1);
  EXPECT_EQ(rec::Object(kContent)->height, 102);
}

TEST_F(ListTest, AddingToNoTranscriptStoresNothingAndReleasesTheEntry) {
  int images = rec::LiveImages();
  int blocks = LiveLocalBlocks();
  MessageEntry* entry = TextEntry(KindOwn, "lost");
  HEXHANDLE picture = rec::MakeImage(10, 10);
  rec::ClearCalls();
  AddEntry(0, 0, entry, picture, 1);
  EXPECT_EQ(rec::LinesOf({"Ex_ObjGetLong", "Ex_ObjSendMessage"}), (Lines{"Ex_ObjGetLong(0, -7)"}));
  EXPECT_EQ(rec::LiveImages(), images);
  EXPECT_EQ(LiveLocalBlocks(), blocks);
  ClearTranscript(0);
  EXPECT_EQ(PointerArrayCount(state_->entries), 0);
}

TEST_F(ListTest, RelayoutOfAnEmptyTranscript) {
  rec::ClearCalls();
  RelayoutTranscript(frame_);
  EXPECT_EQ(rec::Lines(), (Lines{
                              "Ex_ObjGetLong(2, -7)",
                              "Ex_ObjGetLong(3, -7)",
                              "Ex_ObjSendMessage(3, 15, 0, 0)",
                              "Ex_ObjBeginPaint(3, set)",
                              "Ex_ObjGetLong(3, -7)",
                              "Ex_ObjGetClientRect(2, set)",
                              "Ex_ObjEndPaint(3, ps{901, 0 0 580 10})",
                              "Ex_ObjDefProc(0, 3, 15, 0, 0)",
                              "Ex_ObjSetPos(3, 0, 0, 0, 580, 0, 0x2)",
                              "Ex_ObjDefProc(0, 3, 5, 0, 580)",
                              "Ex_ObjSetPos(3, 0, 0, 0, 0, 0, 0x1)",
                              "Ex_ObjScrollSetInfo(2, 1, 23, 0, 0, 300, 0, 1)",
                              "Ex_ObjScrollShow(2, 1, 0)",
                          }));
  EXPECT_EQ(rec::Object(kContent)->height, 0);
  EXPECT_EQ(rec::Object(kContent)->y, 0);
  EXPECT_FALSE(rec::Object(kFrame)->vscroll.shown);
}

TEST_F(ListTest, RelayoutOfAThousandPixelsInA388View) {
  // One bubble ending at 995: th = 995 - 22.
  Add(TextEntry(KindOther, "tall", 100, 973));
  rec::ClearCalls();
  RelayoutTranscript(frame_);
  EXPECT_EQ(Metrics().contentHeight, 1000);
  EXPECT_EQ(
      rec::LinesOf({"Ex_ObjSetPos", "Ex_ObjScrollSetInfo", "Ex_ObjScrollShow"}),
      (Lines{"Ex_ObjSetPos(3, 0, 0, 0, 580, 1000, 0x2)", "Ex_ObjSetPos(3, 0, 0, -612, 0, 0, 0x1)",
             "Ex_ObjScrollSetInfo(2, 1, 23, 0, 612, 300, 612, 1)", "Ex_ObjScrollShow(2, 1, 1)"}));
  const rec::ObjectState& content = *rec::Object(kContent);
  EXPECT_EQ(content.height, 1000);
  EXPECT_EQ(content.y, -612);
  const rec::ScrollBar& bar = rec::Object(kFrame)->vscroll;
  EXPECT_TRUE(bar.shown);
  EXPECT_EQ(bar.minimum, 0);
  EXPECT_EQ(bar.maximum, 612);
  EXPECT_EQ(bar.page, 300);
  EXPECT_EQ(bar.position, 612);
}

TEST_F(ListTest, FrameSizeChangeRelaysOutToTheNewView) {
  for (int i = 0; i < 6; ++i) Add(TextEntry(KindOwn, "m"));  // 306 high
  rec::ClearCalls();
  Ex_ObjSetPos(frame_, 0, 0, 0, 580, 200, 2);
  EXPECT_EQ(Metrics().viewHeight, 200);
  EXPECT_EQ(rec::Object(kContent)->y, -106);
  EXPECT_EQ(rec::Object(kFrame)->vscroll.maximum, 106);
  EXPECT_EQ(rec::CountOf("Ex_ObjSendMessage"), 1);
}

TEST_F(ListTest, RelayoutWaitsForAPaintThatArrivesWhileMessagesAreDispatched) {
  ConnectDirectUiMessagePump();
  int dispatches = 0;
  rec::SetPendingDispatcher([&] {
    if (++dispatches == 3) rec::Deliver(kContent, EXM_PAINT, 0, 0);
    return 1;
  });
  Add(TextEntry(KindOwn, "late"));
  rec::QueueResult("Ex_ObjSendMessage", 0);  // the immediate paint does not happen
  auto start = std::chrono::steady_clock::now();
  RelayoutTranscript(frame_);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(state_->painted, 1);
  EXPECT_GE(dispatches, 3);
  EXPECT_LT(seconds, 0.5) << "the wait ends once the paint completed";
  EXPECT_EQ(rec::Object(kContent)->height, 51);
  SetMessageDispatcher(nullptr);
}

TEST_F(ListTest, RelayoutWaitIsBoundedWhenThePaintNeverCompletes) {
  Add(TextEntry(KindOwn, "never"));
  *state_->metrics = TranscriptMetrics{580, 51, 388};
  rec::QueueResult("Ex_ObjBeginPaint", 0);
  auto start = std::chrono::steady_clock::now();
  RelayoutTranscript(frame_);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(state_->painted, 0);
  EXPECT_GE(seconds, 0.9);
  EXPECT_LT(seconds, 3.0);
  // It carries on with the metrics of the last completed paint.
  EXPECT_EQ(rec::Object(kContent)->height, 51);
  EXPECT_FALSE(rec::Object(kFrame)->vscroll.shown);
}

struct ScrollCase {
  const char* what;
  intptr_t wParam;
  int32_t position;
  int32_t track;
  int32_t expected;
  bool setsPosition;
};

class ScrollTest : public TranscriptFixture, public ::testing::WithParamInterface<ScrollCase> {};

TEST_P(ScrollTest, CodeMovesBarAndContentWithinTheRange) {
  const ScrollCase& c = GetParam();
  rec::ScrollBar& bar = rec::Object(kFrame)->vscroll;
  bar.minimum = 0;
  bar.maximum = 612;
  bar.position = c.position;
  bar.trackPosition = c.track;
  rec::ClearCalls();
  rec::Deliver(kFrame, EXM_VSCROLL, c.wParam, 0);
  Lines expected = {"Ex_ObjScrollGetControl(2, 1)", "Ex_ObjScrollGetInfo(2, 1, &0, &0, &0, null)"};
  if ((c.wParam & 0xFFFF) == 4 || (c.wParam & 0xFFFF) == 5 || (c.wParam & 0xFFFF) == 8) {
    expected.push_back("Ex_ObjScrollGetTrackPos(2, 1)");
  }
  if (c.setsPosition) {
    expected.push_back("Ex_ObjScrollSetPos(2, 1, " + std::to_string(c.expected) + ", 1)");
  }
  expected.push_back("Ex_ObjGetLong(2, -7)");
  expected.push_back("Ex_ObjSetPos(3, 0, 0, " + std::to_string(-c.expected) + ", 0, 0, 0x1)");
  expected.push_back("Ex_ObjDefProc(0, 2, 277, " + std::to_string(c.wParam) + ", 0)");
  EXPECT_EQ(rec::Lines(), expected);
  EXPECT_EQ(bar.position, c.expected);
  EXPECT_EQ(rec::Object(kContent)->y, -c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ScrollTest,
    ::testing::Values(ScrollCase{"lineUp", 0, 300, 0, 200, true},
                      ScrollCase{"lineUpClampsToMinimum", 0, 50, 0, 0, true},
                      ScrollCase{"lineUpAtTopStays", 0, 0, 0, 0, false},
                      ScrollCase{"lineDown", 1, 100, 0, 200, true},
                      ScrollCase{"lineDownClampsToMaximum", 1, 600, 0, 612, true},
                      ScrollCase{"pageUp", 2, 300, 0, 290, true},
                      ScrollCase{"pageUpClamps", 2, 5, 0, 0, true},
                      ScrollCase{"pageDown", 3, 300, 0, 310, true},
                      ScrollCase{"pageDownClamps", 3, 610, 0, 612, true},
                      ScrollCase{"top", 6, 300, 0, 0, true},
                      ScrollCase{"bottom", 7, 300, 0, 612, true},
                      ScrollCase{"bottomAtBottomStays", 7, 612, 0, 612, false},
                      ScrollCase{"thumbTrack", 5, 300, 400, 400, true},
                      ScrollCase{"thumbTrackClamps", 5, 300, 9000, 612, true},
                      ScrollCase{"thumbPositionSameAsCurrentStillSets", 4, 300, 300, 300, true},
                      ScrollCase{"endScroll", 8, 100, 100, 100, true},
                      ScrollCase{"highWordIsIgnored", 1 | (123 << 16), 100, 0, 200, true}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(ListTest, ThumbDragFollowsTheTrackPosition) {
  for (int i = 0; i < 20; ++i) Add(TextEntry(KindOwn, "m"));
  RelayoutTranscript(frame_);
  rec::ScrollBar& bar = rec::Object(kFrame)->vscroll;
  ASSERT_TRUE(bar.shown);
  ASSERT_EQ(bar.position, bar.maximum);
  for (int32_t track : {500, 300, 120}) {
    bar.trackPosition = track;
    rec::Deliver(kFrame, EXM_VSCROLL, EXSB_THUMBTRACK, 0);
    EXPECT_EQ(bar.position, track);
    EXPECT_EQ(rec::Object(kContent)->y, -track);
  }
  rec::Deliver(kFrame, EXM_VSCROLL, EXSB_THUMBPOSITION, 0);
  rec::Deliver(kFrame, EXM_VSCROLL, EXSB_ENDSCROLL, 0);
  EXPECT_EQ(rec::Object(kContent)->y, -120);
}

TEST_F(ListTest, WithoutAScrollBarTheContentGoesToTheTop) {
  rec::Object(kContent)->y = -50;
  rec::QueueResult("Ex_ObjScrollGetControl", 0);
  rec::ClearCalls();
  rec::Deliver(kFrame, EXM_VSCROLL, EXSB_LINEDOWN, 0);
  EXPECT_EQ(rec::Lines(),
            (Lines{"Ex_ObjScrollGetControl(2, 1)", "Ex_ObjGetLong(2, -7)",
                   "Ex_ObjSetPos(3, 0, 0, 0, 0, 0, 0x1)", "Ex_ObjDefProc(0, 2, 277, 1, 0)"}));
  EXPECT_EQ(rec::Object(kContent)->y, 0);
}

TEST_F(ListTest, FrameHandlerReturnsTheDefaultProceduresResult) {
  rec::QueueResult("Ex_ObjDefProc", 1234);
  EXPECT_EQ(rec::Deliver(kFrame, 512, 0, 0), 1234);
  EXPECT_EQ(rec::Lines(), (Lines{"Ex_ObjDefProc(0, 2, 512, 0, 0)"}));
}

TEST_F(ListTest, ClearReleasesWhatVisibleSlotsOwnAndOnlyTheSlotOfHiddenOnes) {
  MessageEntry* text = TextEntry(KindOwn, "text");
  MessageEntry* empty = TextEntry(KindOther, "");
  MessageEntry* withPicture = TextEntry(KindOther, "pic");
  HEXHANDLE picture = rec::MakeImage(100, 80);
  MessageEntry* hidden = TextEntry(KindOther, "hidden");
  HEXHANDLE hiddenPicture = rec::MakeImage(20, 20);
  Add(text);
  Add(empty);
  Add(withPicture, picture);
  Add(hidden, hiddenPicture, 1);
  const int blocksWithHidden = blocksBefore_ + 5 /* transcript */ + 3 /* hidden entry */;
  const std::string t = std::to_string(text->avatar), e = std::to_string(empty->avatar),
                    w = std::to_string(withPicture->avatar);
  RelayoutTranscript(frame_);
  rec::ClearCalls();
  ClearTranscript(frame_);
  EXPECT_EQ(rec::LinesOf({"_img_destroy"}),
            (Lines{"_img_destroy(" + t + ")", "_img_destroy(" + e + ")", "_img_destroy(" + w + ")",
                   "_img_destroy(" + std::to_string(picture) + ")"}));
  EXPECT_EQ(PointerArrayCount(state_->entries), 0);
  EXPECT_EQ(LiveLocalBlocks(), blocksWithHidden);
  EXPECT_EQ(rec::LiveImages(), 2) << "only the hidden slot's avatar and picture stay";
  EXPECT_TRUE(rec::IsLive(hiddenPicture));
  // The relayout that follows shows the empty transcript.
  EXPECT_EQ(rec::LinesOf({"Ex_ObjScrollShow"}), (Lines{"Ex_ObjScrollShow(2, 1, 0)"}));
  EXPECT_EQ(rec::Object(kContent)->height, 0);
  ReleaseEntryForTest(hidden);
  _img_destroy(hiddenPicture);
  EXPECT_EQ(rec::LiveImages(), 0);
}

TEST_F(ListTest, StrictModeSeesNoStaleOrUnknownHandles) {
  rec::SetStrict(true);
  for (int i = 0; i < 5; ++i)
    AddEntry(frame_, 0, TextEntry(i % 3, "s"), i == 2 ? rec::MakeImage(5, 50) : 0, 1);
  ClearTranscript(frame_);
  for (int i = 0; i < 5; ++i) AddEntry(frame_, 0, TextEntry(i % 3, "s"), 0, 1);
  ClearTranscript(frame_);
  EXPECT_EQ(rec::LiveImages(), 0);
  EXPECT_EQ(rec::LiveBrushes(), 0);
  EXPECT_EQ(rec::LiveMatrices(), 0);
}

TEST_F(ListTest, AddingAndClearingAThousandEntriesRepeatedlyLeavesNothing) {
  rec::SetRecording(false);
  for (int round = 0; round < 3; ++round) {
    for (int i = 1; i <= 1000; ++i) {
      MessageEntry* entry = TextEntry(i % 3, i % 7 == 0 ? "" : "entry", 120, 24);
      HEXHANDLE picture = i % 50 == 0 ? rec::MakeImage(60, 40) : 0;
      AddEntry(frame_, i % 97 == 0 ? 0 : 0, entry, picture, i % 250 == 0 ? 1 : 0);
    }
    EXPECT_EQ(PointerArrayCount(state_->entries), 1000);
    EXPECT_GT(Metrics().contentHeight, 388);
    ClearTranscript(frame_);
    EXPECT_EQ(PointerArrayCount(state_->entries), 0);
    EXPECT_EQ(state_->entries->capacity, 1);
    EXPECT_EQ(LiveLocalBlocks(), blocksBefore_ + 5);
    EXPECT_EQ(rec::LiveImages(), 0);
    EXPECT_EQ(rec::LiveBrushes(), 0);
  }
}

}  // namespace
}  // namespace transcript_test
