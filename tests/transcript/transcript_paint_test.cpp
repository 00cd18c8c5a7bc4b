// Painting against the recording stand-in: exact calls and geometry.
#include <gtest/gtest.h>

#include "tests/transcript/transcript_fixture.h"

namespace transcript_test {
namespace {

const std::set<std::string> kDrawing = {"_canvas_fillroundedrect", "_canvas_drawtext",
                                        "_matrix_translate"};

class PaintTest : public TranscriptFixture {};

TEST_F(PaintTest, OwnMessageDrawsBubbleTextAndAvatarWithExactCalls) {
  MessageEntry* entry = TextEntry(KindOwn, "hello");
  HEXHANDLE avatar = entry->avatar;
  Add(entry);
  const std::string a = std::to_string(avatar);
  EXPECT_EQ(Paint(),
            (Lines{
                "Ex_ObjBeginPaint(3, set)",
                "Ex_ObjGetLong(3, -7)",
                "Ex_ObjGetClientRect(2, set)",
                "_canvas_calctextsize(901, 101, \"hello\", -1, 0x0, 0, 460, 9999, set, set)",
                "_brush_create(0xFF1A497D)",
                "_canvas_fillroundedrect(901, 100000001, 410, 8, 530, 46, 5, 5)",
                "_canvas_drawtext(901, 101, 0xFFFFFFFF, \"hello\", -1, 0x0, 420, 14, 520, 36)",
                "_brush_destroy(100000001)",
                "_brush_createfromimg(" + a + ")",
                "_matrix_create()",
                "_matrix_translate(1000001, 540, 5)",
                "_brush_settransform(100000002, 1000001)",
                "_matrix_destroy(1000001)",
                "_canvas_fillroundedrect(901, 100000002, 540, 5, 570, 35, 15, 15)",
                "_brush_destroy(100000002)",
                "Ex_ObjEndPaint(3, ps{901, 0 51 580 388})",
                "Ex_ObjDefProc(0, 3, 15, 0, 0)",
            }));
  EXPECT_EQ(Metrics().width, 580);
  EXPECT_EQ(Metrics().contentHeight, 51);
  EXPECT_EQ(Metrics().viewHeight, 388);
  EXPECT_EQ(state_->painted, 1);
  EXPECT_EQ(rec::LiveBrushes(), 0);
  EXPECT_EQ(rec::LiveMatrices(), 0);
}

struct KindCase {
  const char* what;
  int32_t kind;
  Lines drawing;
  int32_t nextY;
};

class PaintKindTest : public TranscriptFixture, public ::testing::WithParamInterface<KindCase> {};

TEST_P(PaintKindTest, GeometryOfA100By24MessageIn580Width) {
  const KindCase& c = GetParam();
  Add(MakeEntry(c.kind, Bytes(std::string("JPEG")), Text("Bob"), Text("hi"), 0));
  rec::SetTextSize("hi", 100, 24);
  Paint();
  EXPECT_EQ(rec::LinesOf(kDrawing), c.drawing);
  EXPECT_EQ(Metrics().contentHeight, c.nextY);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, PaintKindTest,
    ::testing::Values(
        KindCase{"own",
                 KindOwn,
                 {"_canvas_fillroundedrect(901, 100000001, 410, 8, 530, 46, 5, 5)",
                  "_canvas_drawtext(901, 101, 0xFFFFFFFF, \"hi\", -1, 0x0, 420, 14, 520, 36)",
                  "_matrix_translate(1000001, 540, 5)",
                  "_canvas_fillroundedrect(901, 100000002, 540, 5, 570, 35, 15, 15)"},
                 51},
        KindCase{"other",
                 KindOther,
                 {"_canvas_fillroundedrect(901, 100000001, 50, 8, 170, 46, 5, 5)",
                  "_canvas_drawtext(901, 101, 0xFF000000, \"hi\", -1, 0x0, 60, 14, 160, 36)",
                  "_matrix_translate(1000001, 10, 5)",
                  "_canvas_fillroundedrect(901, 100000002, 10, 5, 40, 35, 15, 15)"},
                 51},
        KindCase{"otherNamed",
                 KindOtherNamed,
                 {"_canvas_fillroundedrect(901, 100000001, 50, 21, 170, 59, 5, 5)",
                  "_canvas_drawtext(901, 101, 0xFF000000, \"hi\", -1, 0x0, 60, 27, 160, 49)",
                  "_matrix_translate(1000001, 10, 5)",
                  "_canvas_fillroundedrect(901, 100000002, 10, 5, 40, 35, 15, 15)",
                  "_canvas_drawtext(901, 102, 0xFF808080, \"Bob\", -1, 0x0, 50, 2, 250, 22)"},
                 64},
        // Any other kind is laid out like 2 but has no name line.
        KindCase{"unknownKind",
                 7,
                 {"_canvas_fillroundedrect(901, 100000001, 50, 21, 170, 59, 5, 5)",
                  "_canvas_drawtext(901, 101, 0xFF000000, \"hi\", -1, 0x0, 60, 27, 160, 49)",
                  "_matrix_translate(1000001, 10, 5)",
                  "_canvas_fillroundedrect(901, 100000002, 10, 5, 40, 35, 15, 15)"},
                 64}),
    [](const auto& info) { return std::string(info.param.what); });

struct HeightCase {
  const char* what;
  float measured;
  int32_t bubbleBottom;
};

class PaintHeightTest : public TranscriptFixture,
                        public ::testing::WithParamInterface<HeightCase> {};

TEST_P(PaintHeightTest, HeightsBelow10Become24) {
  const HeightCase& c = GetParam();
  Add(TextEntry(KindOther, "x", 100, c.measured));
  Paint();
  EXPECT_EQ(rec::LinesOf({"_canvas_fillroundedrect"}).front(),
            "_canvas_fillroundedrect(901, 100000001, 50, 8, 170, " +
                std::to_string(c.bubbleBottom) + ", 5, 5)");
  EXPECT_EQ(Metrics().contentHeight, c.bubbleBottom + 5);
}

INSTANTIATE_TEST_SUITE_P(Heights, PaintHeightTest,
                         ::testing::Values(HeightCase{"keeps17", 17, 39},
                                           HeightCase{"keeps10", 10, 32},
                                           HeightCase{"raises9_5", 9.5f, 46},
                                           HeightCase{"raisesZero", 0, 46}),
                         [](const auto& info) { return std::string(info.param.what); });

TEST_F(PaintTest, EmptyMessagePassesTheNullTextAndStillDrawsA38PixelBubble) {
  Add(TextEntry(KindOwn, ""));
  Paint();
  EXPECT_EQ(rec::LinesOf({"_canvas_calctextsize", "_canvas_drawtext", "_canvas_fillroundedrect"}),
            (Lines{"_canvas_calctextsize(901, 101, null, -1, 0x0, 0, 460, 9999, set, set)",
                   "_canvas_fillroundedrect(901, 100000001, 510, 8, 530, 46, 5, 5)",
                   "_canvas_drawtext(901, 101, 0xFFFFFFFF, null, -1, 0x0, 520, 14, 520, 36)",
                   "_canvas_fillroundedrect(901, 100000002, 540, 5, 570, 35, 15, 15)"}));
}

TEST_F(PaintTest, MeasuredSizesAreCutTowardZero) {
  // 580 - 50 - 100.7 - 20 = 409.3 and 24.6 + 22 = 46.6.
  Add(TextEntry(KindOwn, "a", 100.7f, 24.6f));
  Add(TextEntry(KindOther, "b", 100.7f, 24.6f));
  Paint();
  EXPECT_EQ(rec::LinesOf({"_canvas_fillroundedrect"}),
            (Lines{"_canvas_fillroundedrect(901, 100000001, 409, 8, 530, 46, 5, 5)",
                   "_canvas_fillroundedrect(901, 100000002, 540, 5, 570, 35, 15, 15)",
                   "_canvas_fillroundedrect(901, 100000003, 50, 59, 170, 97, 5, 5)",
                   "_canvas_fillroundedrect(901, 100000004, 10, 56, 40, 86, 15, 15)"}));
}

TEST_F(PaintTest, NegativeLeftEdgesAreCutTowardZeroNotDown) {
  rec::SetClientRect(kFrame, RECT{0, 0, 100, 388});
  // 100 - 50 - 100.5 - 20 = -70.5, cut to -70 (not -71).
  Add(TextEntry(KindOwn, "wide", 100.5f, 24));
  Paint();
  EXPECT_EQ(rec::LinesOf({"_canvas_fillroundedrect"}).front(),
            "_canvas_fillroundedrect(901, 100000001, -70, 8, 50, 46, 5, 5)");
}

struct PictureCase {
  const char* what;
  int32_t kind;
  int32_t width, height;
  std::string pictureFill;
  int32_t nextY;
};

class PaintPictureTest : public TranscriptFixture,
                         public ::testing::WithParamInterface<PictureCase> {};

TEST_P(PaintPictureTest, PicturesAreDrawnAtTheirSizeWithRadius10) {
  const PictureCase& c = GetParam();
  HEXHANDLE picture = rec::MakeImage(c.width, c.height);
  Add(TextEntry(c.kind, "unused"), picture);
  Paint();
  Lines fills = rec::LinesOf({"_canvas_fillroundedrect"});
  ASSERT_EQ(fills.size(), 2u);
  EXPECT_EQ(fills[0], c.pictureFill);
  EXPECT_EQ(rec::CountOf("_canvas_calctextsize"), 0);
  EXPECT_EQ(rec::LinesOf({"_img_getsize", "_brush_createfromimg"}).front(),
            "_img_getsize(" + std::to_string(picture) + ", &0, &0)");
  EXPECT_EQ(Metrics().contentHeight, c.nextY);
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, PaintPictureTest,
    ::testing::Values(
        PictureCase{"own100x80", KindOwn, 100, 80,
                    "_canvas_fillroundedrect(901, 100000001, 430, 8, 530, 88, 10, 10)", 114},
        PictureCase{"other100x80", KindOther, 100, 80,
                    "_canvas_fillroundedrect(901, 100000001, 50, 8, 150, 88, 10, 10)", 114},
        PictureCase{"named100x80", KindOtherNamed, 100, 80,
                    "_canvas_fillroundedrect(901, 100000001, 50, 22, 150, 102, 10, 10)", 114},
        PictureCase{"unknownKindShowsNothing", 9, 100, 80,
                    "_canvas_fillroundedrect(901, 100000001, 0, 0, 0, 0, 10, 10)", 114},
        PictureCase{"twelveHighGrows", KindOther, 40, 12,
                    "_canvas_fillroundedrect(901, 100000001, 50, 8, 90, 20, 10, 10)", 46},
        PictureCase{"elevenHighTakesAvatarRoom", KindOther, 40, 11,
                    "_canvas_fillroundedrect(901, 100000001, 50, 8, 90, 19, 10, 10)", 45}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(PaintTest, PictureBrushIsTranslatedToThePictureCorner) {
  HEXHANDLE picture = rec::MakeImage(100, 80);
  MessageEntry* entry = TextEntry(KindOwn, "p");
  HEXHANDLE avatar = entry->avatar;
  Add(entry, picture);
  Paint();
  EXPECT_EQ(rec::LinesOf({"_brush_createfromimg", "_matrix_translate"}),
            (Lines{"_brush_createfromimg(" + std::to_string(picture) + ")",
                   "_matrix_translate(1000001, 430, 8)",
                   "_brush_createfromimg(" + std::to_string(avatar) + ")",
                   "_matrix_translate(1000002, 540, 5)"}));
}

TEST_F(PaintTest, EntriesStackTopToBottomAndHiddenSlotsAreSkipped) {
  Add(TextEntry(KindOwn, "one"));
  MessageEntry* hidden = TextEntry(KindOther, "hidden");
  Add(hidden, 0, 1);
  Add(TextEntry(KindOther, "two", 50, 17));
  Paint();
  EXPECT_EQ(rec::LinesOf({"_canvas_drawtext"}),
            (Lines{"_canvas_drawtext(901, 101, 0xFFFFFFFF, \"one\", -1, 0x0, 420, 14, 520, 36)",
                   "_canvas_drawtext(901, 101, 0xFF000000, \"two\", -1, 0x0, 60, 65, 110, 80)"}));
  EXPECT_EQ(Metrics().contentHeight, 51 + 44);
  ClearTranscript(frame_);
  ReleaseEntryForTest(hidden);
}

TEST_F(PaintTest, AnEntryWithItsOwnFontUsesIt) {
  rec::SetTextSize("f", 100, 24);
  Add(MakeEntry(KindOther, Bytes(std::string("JPEG")), Text("n"), Text("f"), 555));
  Paint();
  EXPECT_EQ(rec::LinesOf({"_canvas_calctextsize", "_canvas_drawtext"}),
            (Lines{"_canvas_calctextsize(901, 555, \"f\", -1, 0x0, 0, 460, 9999, set, set)",
                   "_canvas_drawtext(901, 555, 0xFF000000, \"f\", -1, 0x0, 60, 14, 160, 36)"}));
}

TEST_F(PaintTest, WidthShrinksBy12OnlyAfterAPaintOutgrewTheView) {
  for (int i = 0; i < 8; ++i) Add(TextEntry(KindOwn, "m"));  // 8 x 51 = 408 > 388
  Paint();
  EXPECT_EQ(rec::LinesOf({"_canvas_calctextsize"}).front(),
            "_canvas_calctextsize(901, 101, \"m\", -1, 0x0, 0, 460, 9999, set, set)");
  EXPECT_EQ(Metrics().width, 580);
  EXPECT_EQ(Metrics().contentHeight, 408);
  Paint();
  EXPECT_EQ(rec::LinesOf({"_canvas_calctextsize"}).front(),
            "_canvas_calctextsize(901, 101, \"m\", -1, 0x0, 0, 448, 9999, set, set)");
  EXPECT_EQ(rec::LinesOf({"_canvas_fillroundedrect"}).front(),
            "_canvas_fillroundedrect(901, 100000017, 398, 8, 518, 46, 5, 5)");
  EXPECT_EQ(Metrics().width, 568);
  EXPECT_EQ(rec::LinesOf({"Ex_ObjEndPaint"}).front(), "Ex_ObjEndPaint(3, ps{901, 0 408 568 388})");
}

TEST_F(PaintTest, EmptyTranscriptRecordsFullWidthZeroHeightAndTheView) {
  state_->metrics->contentHeight = 5000;  // an earlier, taller paint never narrows an empty one
  EXPECT_EQ(Paint(), (Lines{"Ex_ObjBeginPaint(3, set)", "Ex_ObjGetLong(3, -7)",
                            "Ex_ObjGetClientRect(2, set)", "Ex_ObjEndPaint(3, ps{901, 0 0 580 10})",
                            "Ex_ObjDefProc(0, 3, 15, 0, 0)"}));
  EXPECT_EQ(Metrics().width, 580);
  EXPECT_EQ(Metrics().contentHeight, 0);
  EXPECT_EQ(Metrics().viewHeight, 388);
  EXPECT_EQ(state_->painted, 1);
}

TEST_F(PaintTest, RefusedPaintChangesNothing) {
  Add(TextEntry(KindOwn, "x"));
  *state_->metrics = TranscriptMetrics{1, 2, 3};
  rec::QueueResult("Ex_ObjBeginPaint", 0);
  EXPECT_EQ(Paint(), (Lines{"Ex_ObjBeginPaint(3, set)", "Ex_ObjDefProc(0, 3, 15, 0, 0)"}));
  EXPECT_EQ(Metrics().width, 1);
  EXPECT_EQ(Metrics().contentHeight, 2);
  EXPECT_EQ(Metrics().viewHeight, 3);
  EXPECT_EQ(state_->painted, 0);
}

TEST_F(PaintTest, OtherMessagesGoStraightToTheDefaultProcedure) {
  rec::QueueResult("Ex_ObjDefProc", 77);
  EXPECT_EQ(rec::Deliver(kContent, 258, 13, 0), 77);
  EXPECT_EQ(rec::Lines(), (Lines{"Ex_ObjDefProc(0, 3, 258, 13, 0)"}));
}

}  // namespace
}  // namespace transcript_test
