// The main window against the recording stand-in: the exact start, layout,
// resize rule, the input box's painting and which characters start a turn.
#include <gtest/gtest.h>

#include "app/main_window.h"
#include "tests/app/app_fixture.h"
#include "tests/app/run_program.h"

namespace {

using exdui_recorder::LinesOf;
using exdui_recorder::Object;

const std::string kTitleUtf8 = "发送'清屏'清空内容" + std::string(39, ' ') + "与Tovi聊天中";

intptr_t SizeParam(int width, int height) {
  return static_cast<intptr_t>((static_cast<uint32_t>(height) << 16) |
                               (static_cast<uint32_t>(width) & 0xFFFF));
}

class MainWindowTest : public MainWindowFixture {};

TEST_F(MainWindowTest, TitleKeepsItsThirtyNineBlanks) {
  EXPECT_EQ(GbkToUtf8(MainWindowTitle()).str(), kTitleUtf8);
}

TEST_F(MainWindowTest, StartsTheLibraryAndWindowInOrder) {
  WriteFileBytes(dir_ + "/Default.ext", "EXPK-theme");
  OpenWindow();
  std::vector<std::string> lines =
      LinesOf({"Ex_Init", "Ex_WndCreate", "Ex_DUIBindWindowEx", "Ex_DUISetLong", "Ex_ObjSetColor",
               "_font_createfromfamily", "Ex_DUIShowWindow", "Ex_WndMsgLoop", "Ex_UnInit"});
  const std::string dui = std::to_string(gMainWindow.directUi);
  const std::string caption = std::to_string(Ex_ObjGetFromID(gMainWindow.directUi, 256));
  ASSERT_GE(lines.size(), 9u);
  EXPECT_EQ(lines[0], "Ex_Init(0, 0x800902, 0, null, set, 10, null, 0)");
  EXPECT_EQ(lines[1], "Ex_WndCreate(0, null, \"" + kTitleUtf8 + "\", 0, 0, 600, 500, 0x0, 0x0)");
  EXPECT_EQ(lines[2], "Ex_DUIBindWindowEx(" + std::to_string(gMainWindow.window) +
                          ", 0, 0x30D07, 0, OnMainWindowMessage)");
  EXPECT_EQ(lines[3], "Ex_DUISetLong(" + dui + ", -31, " + std::to_string(0xFFFFFFFFll) + ")");
  EXPECT_EQ(lines[4], "Ex_ObjSetColor(" + caption + ", 0, 0xFF0088FF, 1)");
  EXPECT_EQ(lines[5], "_font_createfromfamily(\"微软雅黑\", 18, 0)");
  // The transcript sets its own colours between the font and the showing.
  EXPECT_EQ(lines[lines.size() - 3], "Ex_DUIShowWindow(" + dui + ", 5, 0, 0, 0)");
  EXPECT_EQ(lines[lines.size() - 2], "Ex_WndMsgLoop()");
  EXPECT_EQ(lines[lines.size() - 1], "Ex_UnInit()");
}

TEST_F(MainWindowTest, AMissingThemeGivesTheLibraryLengthZero) {
  OpenWindow();
  std::vector<std::string> init = LinesOf({"Ex_Init"});
  ASSERT_EQ(init.size(), 1u);
  EXPECT_EQ(init[0], "Ex_Init(0, 0x800902, 0, null, null, 0, null, 0)");
}

TEST_F(MainWindowTest, CreatesTheTranscriptAndTheInputBox) {
  OpenWindow();
  const std::string dui = std::to_string(gMainWindow.directUi);
  std::vector<std::string> creations = LinesOf({"Ex_ObjCreateEx"});
  ASSERT_FALSE(creations.empty());
  EXPECT_EQ(creations.back(),
            "Ex_ObjCreateEx(0xC8000000, \"Edit\", null, 0xFFFFFFFF, 10, 440, "
            "580, 50, " +
                dui + ", 1000, 0x24, 0, 0, OnInputEvent)");
  EXPECT_EQ(creations.front().rfind("Ex_ObjCreateEx(0xFFFFFFFF, \"Static\", null, 0x50000000, 10, "
                                    "42, 580, 388, " +
                                        dui + ",",
                                    0),
            0u)
      << creations.front();
  const auto* input = Object(gMainWindow.inputBox);
  const auto* transcript = Object(gMainWindow.transcript);
  ASSERT_TRUE(input && transcript);
  EXPECT_EQ(std::vector<int>({input->x, input->y, input->width, input->height}),
            std::vector<int>({10, 440, 580, 50}));
  EXPECT_EQ(std::vector<int>({transcript->x, transcript->y, transcript->width, transcript->height}),
            std::vector<int>({10, 42, 580, 388}));
  EXPECT_EQ(Ex_ObjGetFromID(gMainWindow.directUi, kInputBoxId), gMainWindow.inputBox);
}

struct ResizeCase {
  int width, height;
  const char* inputLine;       // with the input box's handle as %I
  const char* transcriptLine;  // with the transcript's handle as %T
};

class ResizeTest : public MainWindowFixture, public ::testing::WithParamInterface<ResizeCase> {};

std::string WithHandles(std::string line) {
  auto put = [&](const std::string& mark, HEXHANDLE handle) {
    size_t at = line.find(mark);
    if (at != std::string::npos) line.replace(at, mark.size(), std::to_string(handle));
  };
  put("%I", gMainWindow.inputBox);
  put("%T", gMainWindow.transcript);
  return line;
}

TEST_P(ResizeTest, KeepsTheLayout) {
  OpenWindow();
  exdui_recorder::ClearCalls();
  exdui_recorder::Deliver(gMainWindow.directUi, EXM_SIZE, 0,
                          SizeParam(GetParam().width, GetParam().height));
  std::vector<std::string> moves = LinesOf({"Ex_ObjSetPos"});
  ASSERT_GE(moves.size(), 2u);
  EXPECT_EQ(moves[0], WithHandles(GetParam().inputLine));
  EXPECT_EQ(moves[1], WithHandles(GetParam().transcriptLine));
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, ResizeTest,
    ::testing::Values(ResizeCase{800, 600, "Ex_ObjSetPos(%I, 0, 10, 540, 780, 50, 0x4)",
                                 "Ex_ObjSetPos(%T, 0, 0, 0, 780, 488, 0x2)"},
                      ResizeCase{600, 500, "Ex_ObjSetPos(%I, 0, 10, 440, 580, 50, 0x4)",
                                 "Ex_ObjSetPos(%T, 0, 0, 0, 580, 388, 0x2)"},
                      // Minimised: negative sizes are passed on as they come.
                      ResizeCase{0, 0, "Ex_ObjSetPos(%I, 0, 10, -60, -20, 50, 0x4)",
                                 "Ex_ObjSetPos(%T, 0, 0, 0, -20, -112, 0x2)"},
                      // Each half of lParam is a signed 16-bit number.
                      ResizeCase{0xFFFF, 0xFFFE, "Ex_ObjSetPos(%I, 0, 10, -62, -21, 50, 0x4)",
                                 "Ex_ObjSetPos(%T, 0, 0, 0, -21, -114, 0x2)"}));

TEST_F(MainWindowTest, ResizingTo800By600MovesTheInputBoxAndSizesTheTranscript) {
  OpenWindow();
  exdui_recorder::Deliver(gMainWindow.directUi, EXM_SIZE, 0, SizeParam(800, 600));
  const auto* input = Object(gMainWindow.inputBox);
  const auto* transcript = Object(gMainWindow.transcript);
  EXPECT_EQ(std::vector<int>({input->x, input->y, input->width, input->height}),
            std::vector<int>({10, 540, 780, 50}));
  EXPECT_EQ(std::vector<int>({transcript->x, transcript->y, transcript->width, transcript->height}),
            std::vector<int>({10, 42, 780, 488}));
}

TEST_F(MainWindowTest, SizeMessagesBeforeTheControlsExistAreLeftAlone) {
  gMainWindow = MainWindowValues{};
  EXPECT_EQ(OnMainWindowMessage(0, 0, EXM_SIZE, 0, SizeParam(800, 600), nullptr), 0);
  EXPECT_EQ(exdui_recorder::CountOf("Ex_ObjSetPos"), 0);
  // Other messages are the library's.
  EXPECT_EQ(OnMainWindowMessage(0, 0, 15, 0, 0, nullptr), 0);
  EXPECT_TRUE(exdui_recorder::Calls().empty());
}

TEST_F(MainWindowTest, TheInputBoxIsOutlinedBlackThenFilledWhite) {
  OpenWindow();
  exdui_recorder::ClearCalls();
  exdui_recorder::Deliver(gMainWindow.inputBox, EXM_ERASEBKGND, 777, 0);
  std::vector<std::string> lines = exdui_recorder::Lines();
  const std::string box = std::to_string(gMainWindow.inputBox);
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0].rfind("Ex_ObjGetClientRect(" + box + ", set)", 0), 0u) << lines[0];
  EXPECT_EQ(lines[1], "_brush_create(0xFF000000)");
  const std::string brush = exdui_recorder::Calls()[1].result;
  EXPECT_EQ(lines[2], "_canvas_drawrect(777, " + brush + ", 0, 0, 580, 50, 1, 0)");
  EXPECT_EQ(lines[3], "_brush_setcolor(" + brush + ", 0xFFFFFFFF)");
  EXPECT_EQ(lines[4], "_canvas_fillrect(777, " + brush + ", 0, 0, 580, 50)");
  EXPECT_EQ(lines[5], "_brush_destroy(" + brush + ")");
  EXPECT_EQ(exdui_recorder::LiveBrushes(), 0);
}

TEST_F(MainWindowTest, CharactersOtherThanEnterStartNoTurn) {
  OpenWindow();
  exdui_recorder::ClearCalls();
  for (intptr_t ch : {97, 10, 27, 0x4F60, 0x0D00, 13 + 0x10000}) {
    EXPECT_EQ(OnInputEvent(gMainWindow.window, gMainWindow.inputBox, EXM_CHAR, ch, 0, nullptr), 0);
  }
  // Enter as a key press (not a character) is no turn either.
  EXPECT_EQ(OnInputEvent(gMainWindow.window, gMainWindow.inputBox, 256, 13, 0, nullptr), 0);
  EXPECT_EQ(exdui_recorder::CountOf("Ex_ObjGetTextLength"), 0);
  EXPECT_TRUE(exdui_recorder::Calls().empty());
}

TEST_F(MainWindowTest, AFailedWindowStopsAfterUninitialising) {
  exdui_recorder::QueueResult("Ex_WndCreate", 0);
  RunMainWindow();
  EXPECT_EQ(
      LinesOf({"Ex_Init", "Ex_WndCreate", "Ex_UnInit", "Ex_DUIBindWindowEx", "Ex_WndMsgLoop"}),
      std::vector<std::string>(
          {"Ex_Init(0, 0x800902, 0, null, null, 0, null, 0)",
           "Ex_WndCreate(0, null, \"" + kTitleUtf8 + "\", 0, 0, 600, 500, 0x0, 0x0)",
           "Ex_UnInit()"}));
}

TEST_F(MainWindowTest, AFailedBindingStopsAfterUninitialising) {
  exdui_recorder::QueueResult("Ex_DUIBindWindowEx", 0);
  RunMainWindow();
  EXPECT_EQ(exdui_recorder::CountOf("Ex_UnInit"), 1);
  EXPECT_EQ(exdui_recorder::CountOf("Ex_ObjCreateEx"), 0);
  EXPECT_EQ(exdui_recorder::CountOf("Ex_WndMsgLoop"), 0);
}

}  // namespace
