// The recording stand-in itself: the parts of its model that the transcript
// and application tests rely on.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "tests/support/exdui_recorder.h"

namespace {

namespace rec = exdui_recorder;

intptr_t gLastLParam = 0;
int gMessages = 0;
intptr_t Handler(HEXHANDLE, HEXHANDLE, int32_t message, intptr_t, intptr_t lParam, intptr_t*) {
  ++gMessages;
  if (message == EXM_SIZE) gLastLParam = lParam;
  return 42;
}

class RecorderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rec::Reset();
    gLastLParam = 0;
    gMessages = 0;
  }
};

TEST_F(RecorderTest, BoundWindowHasCaptionAndGetsItsSizeWhenShown) {
  HEXHANDLE window = Ex_WndCreate(0, nullptr, u"title", 0, 0, 600, 500, 0, 0);
  HEXHANDLE dui = Ex_DUIBindWindowEx(window, 0, 0x10000, 0, &Handler);
  ASSERT_NE(dui, 0);
  EXPECT_NE(Ex_ObjGetFromID(dui, 256), 0);
  EXPECT_EQ(Ex_ObjGetFromID(dui, 999), 0);
  Ex_DUIShowWindow(dui, 5, 0, 0, 0);
  EXPECT_EQ(gLastLParam, 600 | (500 << 16));
  EXPECT_EQ(rec::Lines()[0], "Ex_WndCreate(0, null, \"title\", 0, 0, 600, 500, 0x0, 0x0)");
}

TEST_F(RecorderTest, ObjectsKeepUserValuesSizesAndCallTheirHandler) {
  rec::NameRoutine(&Handler, "Handler");
  HEXHANDLE obj = Ex_ObjCreateEx(0xFFFFFFFF, u"Static", nullptr, 0x10000000, 1, 2, 30, 40, 0, 0,
                                 0xFFFFFFFF, 1234, 0, &Handler);
  EXPECT_EQ(gMessages, 1) << "the size message of the creation";
  EXPECT_EQ(Ex_ObjGetLong(obj, -7), 1234);
  EXPECT_EQ(Ex_ObjSetLong(obj, -7, 99), 1234);
  EXPECT_EQ(Ex_ObjGetLong(obj, -7), 99);
  Ex_ObjSetPos(obj, 0, 0, 0, 50, 60, 2);
  EXPECT_EQ(gLastLParam, 50 | (60 << 16));
  EXPECT_EQ(rec::Object(obj)->x, 1) << "flag 2 keeps the position";
  RECT rc{};
  Ex_ObjGetClientRect(obj, &rc);
  EXPECT_EQ(rc.right, 50);
  EXPECT_EQ(rc.bottom, 60);
  EXPECT_EQ(Ex_ObjSendMessage(obj, 15, 0, 0), 42);
  EXPECT_EQ(rec::Lines()[0],
            "Ex_ObjCreateEx(0xFFFFFFFF, \"Static\", null, 0x10000000, 1, 2, 30, 40, 0, 0, "
            "0xFFFFFFFF, 1234, 0, Handler)");
}

TEST_F(RecorderTest, GetTextNeverWritesPastTheBuffer) {
  HEXHANDLE obj = rec::MakeObject(10, 10);
  rec::SetObjectText(obj, "你好ab");
  EXPECT_EQ(Ex_ObjGetTextLength(obj), 4);
  char16_t buffer[4] = {1, 1, 1, 1};
  EXPECT_EQ(Ex_ObjGetText(obj, buffer, 6), 2);
  EXPECT_EQ(rec::Utf8(buffer), "你好");
  EXPECT_EQ(buffer[3], 1);
}

TEST_F(RecorderTest, QueuedResultsReplaceTheNextCalls) {
  rec::QueueResult("_brush_create", rec::kNormalResult);
  rec::QueueResult("_brush_create", 0);
  EXPECT_NE(_brush_create(0xFF000000u), 0);
  EXPECT_EQ(_brush_create(0xFF000000u), 0);
  EXPECT_EQ(rec::LiveBrushes(), 1);
}

TEST_F(RecorderTest, StrictModeFailsOnReleasedHandlesAndUnlistedCalls) {
  rec::SetStrict(true);
  HEXHANDLE image = rec::MakeImage(3, 3);
  _img_destroy(image);
  EXPECT_NONFATAL_FAILURE(_img_destroy(image), "released image");
  rec::AllowOnly({"_matrix_create"});
  _matrix_create();
  EXPECT_NONFATAL_FAILURE(_brush_create(0), "unexpected call _brush_create(0x0)");
}

}  // namespace
