// The transcript against the real DirectUI library, in a real window under
// SDL's offscreen video driver, checked by the pixels the window shows. The
// library is loaded by name through the client's own binding; the screen is
// read back from the SDL window surface the library presents into. On a
// failure the screen is saved as transcript_window_<test>.bmp in the working
// directory.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "text/text.h"
#include "transcript/local_blocks.h"
#include "transcript/transcript.h"
#include "ui/exdui.h"

namespace {

constexpr int kFrameX = 10, kFrameY = 42;  // where the main window puts the transcript
constexpr int kViewHeight = 388;

Bytes ReadResource(const char* name) {
  std::ifstream in(std::string(TOVI_RESOURCE_DIR) + "/" + name, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return Bytes(bytes.str());
}

struct Rgb {
  int r, g, b;
};

bool Near(Rgb a, Rgb b, int tolerance = 12) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
         std::abs(a.b - b.b) <= tolerance;
}

constexpr Rgb kWhite{255, 255, 255}, kDarkBlue{0x1A, 0x49, 0x7D}, kLightGrey{0xE5, 0xE5, 0xE5};

std::ostream& operator<<(std::ostream& out, Rgb c) {
  return out << "rgb(" << c.r << ", " << c.g << ", " << c.b << ")";
}

class TranscriptWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    Ex_Init(0, 0x2 | 0x100 | 0x800000 | 0x800, 0, nullptr, nullptr, 0, nullptr, 0);
    window_ = Ex_WndCreate(0, nullptr, u"transcript test", 0, 0, 600, 500, 0, 0);
    dui_ = Ex_DUIBindWindowEx(
        window_, 0, 0x100 | 0x2 | 0x4 | 0x1 | 0x20000 | 0x10000 | 0x800 | 0x400, 0, nullptr);
    Ex_DUISetLong(dui_, EXWL_BACKGROUNDCOLOR, static_cast<intptr_t>(0xFFFFFFFFu));
    Ex_DUIShowWindow(dui_, 5, 0, 0, 0);
    ConnectDirectUiMessagePump();
    for (uint32_t id = 1; id < 64 && sdl_ == nullptr; ++id) sdl_ = SDL_GetWindowFromID(id);
  }
  // The library stays up until the process ends (ending it would unload
  // the video driver's modules, whose allocations the leak checker can then
  // no longer attribute); the transcripts' records, which the client keeps
  // for the life of the process, are released once nothing paints any more.
  static void TearDownTestSuite() {
    for (TranscriptState* state : states_) {
      DestroyPointerArray(state->entries);
      FreeLocalBlock(state->fonts);
      FreeLocalBlock(state->metrics);
      FreeLocalBlock(state);
    }
    states_.clear();
  }

  void SetUp() override {
    ASSERT_NE(dui_, 0) << "the library did not bind the window";
    ASSERT_NE(sdl_, nullptr) << "no SDL window to read back";
    // Each test makes its own transcript over the earlier ones.
    frame_ = CreateTranscript(dui_, kFrameX, kFrameY, 580, kViewHeight);
    ASSERT_NE(frame_, 0);
    HEXHANDLE content = static_cast<HEXHANDLE>(Ex_ObjGetLong(frame_, EXOL_USERDATA));
    states_.push_back(reinterpret_cast<TranscriptState*>(Ex_ObjGetLong(content, EXOL_USERDATA)));
    Pump();
  }

  void TearDown() override {
    if (HasFailure()) {
      std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
      SDL_SaveBMP(SDL_GetWindowSurface(sdl_), ("transcript_window_" + name + ".bmp").c_str());
    }
    ClearTranscript(frame_);
    Pump();
  }

  static void Pump() {
    for (int i = 0; i < 5; ++i) Ex_WndDispatchPending();
  }

  void Add(int32_t kind, const char* text) {
    Bytes avatar = ReadResource(kind == KindOwn ? "avatar-user.jpg" : "avatar-bot.jpg");
    AddEntry(frame_, 0, MakeEntry(kind, avatar, Text("tovi"), Text(text), 0), 0, 1);
    Pump();
  }

  // The screen at a point of the transcript's frame.
  Rgb At(int x, int y) const {
    SDL_Surface* s = SDL_GetWindowSurface(sdl_);
    int wx = kFrameX + x, wy = kFrameY + y;
    if (s == nullptr || wx < 0 || wy < 0 || wx >= s->w || wy >= s->h) return Rgb{-1, -1, -1};
    SDL_LockSurface(s);
    const auto* row = static_cast<const uint8_t*>(s->pixels) + wy * s->pitch;
    uint32_t pixel = 0;
    std::memcpy(&pixel, row + wx * s->format->BytesPerPixel, s->format->BytesPerPixel);
    SDL_UnlockSurface(s);
    uint8_t r, g, b;
    SDL_GetRGB(pixel, s->format, &r, &g, &b);
    return Rgb{r, g, b};
  }

  int32_t ScrollPosition() const {
    int32_t minimum = 0, maximum = 0, position = 0;
    Ex_ObjScrollGetInfo(frame_, 1, &minimum, &maximum, &position, nullptr);
    return position;
  }
  int32_t ScrollMaximum() const {
    int32_t minimum = 0, maximum = 0, position = 0;
    Ex_ObjScrollGetInfo(frame_, 1, &minimum, &maximum, &position, nullptr);
    return maximum;
  }

  static inline HEXHANDLE window_ = 0, dui_ = 0;
  static inline SDL_Window* sdl_ = nullptr;
  static inline std::vector<TranscriptState*> states_;
  HEXHANDLE frame_ = 0;
};

TEST_F(TranscriptWindowTest, OwnBubbleStandsRightWithAvatarAndBotBubbleLeft) {
  Add(KindOwn, "Hello bot");
  Add(KindOther, "Hi there, I am tovi.");

  // The user's bubble: dark blue, its right edge at 530, top at 8.
  EXPECT_TRUE(Near(At(525, 16), kDarkBlue)) << At(525, 16);
  EXPECT_TRUE(Near(At(533, 16), kWhite)) << "right of the bubble: " << At(533, 16);
  EXPECT_TRUE(Near(At(60, 16), kWhite)) << "nothing at the left on its row: " << At(60, 16);
  int left = 525;
  while (left > 0 && Near(At(left - 1, 11), kDarkBlue)) --left;
  EXPECT_GT(left, 300) << "a short message gives a short bubble";
  bool whiteText = false;
  for (int y = 14; y < 30 && !whiteText; ++y) {
    for (int x = left + 8; x < 520 && !whiteText; ++x)
      whiteText = At(x, y).r > 200 && At(x, y).b > 200;
  }
  EXPECT_TRUE(whiteText) << "white text inside the dark bubble";

  // Its avatar: (540, 5)-(570, 35), a picture in a circle.
  EXPECT_FALSE(Near(At(555, 20), kWhite, 30)) << "avatar centre " << At(555, 20);
  EXPECT_FALSE(Near(At(543, 20), kWhite, 30)) << "avatar ring " << At(543, 20);
  EXPECT_TRUE(Near(At(540, 5), kWhite, 30)) << "avatar corner is cut round " << At(540, 5);
  EXPECT_TRUE(Near(At(569, 34), kWhite, 30)) << "avatar corner is cut round " << At(569, 34);

  // The bot's bubble below it: light grey from x = 50, avatar at the left edge.
  int top = 0;
  for (int y = 30; y < 200 && top == 0; ++y) {
    if (Near(At(60, y), kLightGrey, 6)) top = y;
  }
  ASSERT_GT(top, 40) << "no light-grey bubble below the user's";
  EXPECT_TRUE(Near(At(55, top + 8), kLightGrey, 6)) << At(55, top + 8);
  EXPECT_TRUE(Near(At(47, top + 8), kWhite)) << At(47, top + 8);
  // Its avatar, (10, top - 3)-(40, top + 27): the picture's ring near the left edge.
  EXPECT_FALSE(Near(At(13, top + 12), kWhite, 30)) << "bot avatar " << At(13, top + 12);
  EXPECT_TRUE(Near(At(10, top - 3), kWhite, 30)) << "avatar corner is cut round";
  EXPECT_TRUE(Near(At(540, top + 8), kWhite)) << "nothing at the right on its row";
  EXPECT_FALSE(Ex_ObjScrollGetInfo(frame_, 1, nullptr, nullptr, nullptr, nullptr) &&
               ScrollMaximum() > 0);
}

TEST_F(TranscriptWindowTest, ManyMessagesShowTheBarKeepTheLastAtTheBottomAndTheWheelScrolls) {
  for (int i = 0; i < 8; ++i) {
    Add(KindOwn, "How is the weather today?");
    Add(KindOther, "Sunny, with a light breeze from the sea.");
  }
  ASSERT_GT(ScrollMaximum(), 0);
  EXPECT_EQ(ScrollPosition(), ScrollMaximum()) << "scrolled to the bottom";

  // The bar covers the frame's right 12 pixels.
  int barPixels = 0;
  for (int y = 0; y < kViewHeight; y += 4) barPixels += Near(At(574, y), kWhite, 3) ? 0 : 1;
  EXPECT_GT(barPixels, 0) << "the scroll bar shows";

  // The last bubble (the bot's) ends 5 pixels above the bottom of the view.
  EXPECT_TRUE(Near(At(55, kViewHeight - 12), kLightGrey, 6)) << At(55, kViewHeight - 12);
  EXPECT_TRUE(Near(At(55, kViewHeight - 2), kWhite)) << At(55, kViewHeight - 2);

  // One notch of the wheel up moves everything down by 100 pixels.
  std::vector<Rgb> before;
  for (int y = 40; y < 260; y += 3) {
    for (int x = 20; x < 560; x += 7) before.push_back(At(x, y));
  }
  int32_t position = ScrollPosition();
  SDL_Event wheel{};
  wheel.type = SDL_MOUSEWHEEL;
  wheel.wheel.windowID = SDL_GetWindowID(sdl_);
  wheel.wheel.y = 1;
  wheel.wheel.mouseX = kFrameX + 300;
  wheel.wheel.mouseY = kFrameY + 200;
  SDL_PushEvent(&wheel);
  Pump();
  EXPECT_EQ(ScrollPosition(), position - 100);
  size_t i = 0, same = 0;
  for (int y = 40; y < 260; y += 3) {
    for (int x = 20; x < 560; x += 7) same += Near(At(x, y + 100), before[i++], 2) ? 1 : 0;
  }
  EXPECT_EQ(same, before.size()) << "the content moved down by exactly one line step";
}

}  // namespace

// The library stays up until the process ends; what it holds then is its
// own, not the transcript's. (Read by the leak checker of sanitizer builds,
// in addition to the suppression file the test run names.)
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libexdui.dll\nleak:_font_createfromfamily\n";
}

int main(int argc, char** argv) {
  // A real window without a display: SDL's offscreen driver.
  setenv("SDL_VIDEODRIVER", "offscreen", 1);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
