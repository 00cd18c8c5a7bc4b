// The real client with a bad libexdui.dll beside it: one clear line on
// standard error naming the file or the operation, and a non-zero exit.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "tests/app/run_program.h"

namespace {

class BindingFailureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = MakeTempDirectory("tovi-binding-");
    ASSERT_FALSE(dir_.empty());
    CopyExecutable(TestProgramDirectory() + "/tovi-chat", dir_ + "/tovi-chat");
  }
  void TearDown() override { RemoveTree(dir_); }
  ProgramRun Start() {
    // No display is offered: the client must stop before it would open one.
    return RunProgram(dir_ + "/tovi-chat", {}, "/",
                      {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER=offscreen"});
  }
  static void ExpectOneLine(const ProgramRun& run, const std::string& mustName) {
    EXPECT_NE(run.exitCode, 0);
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_NE(run.err.find(mustName), std::string::npos) << run.err;
    EXPECT_TRUE(run.out.empty()) << run.out;
  }
  std::string dir_;
};

TEST_F(BindingFailureTest, ACorruptLibraryIsNamed) {
  WriteFileBytes(dir_ + "/libexdui.dll", std::string("MZ\x90\0 this is no library", 24));
  ProgramRun run = Start();
  ExpectOneLine(run, dir_ + "/libexdui.dll");
  // The client never replaces the file it found.
  EXPECT_EQ(ReadFileBytes(dir_ + "/libexdui.dll").substr(0, 2), "MZ");
}

TEST_F(BindingFailureTest, ADirectoryInPlaceOfTheLibraryIsNamed) {
  std::filesystem::create_directory(dir_ + "/libexdui.dll");
  ExpectOneLine(Start(), dir_ + "/libexdui.dll");
}

TEST_F(BindingFailureTest, AMissingOperationIsNamed) {
  CopyExecutable(TestProgramDirectory() + "/libexdui_partial.so", dir_ + "/libexdui.dll");
  ProgramRun run = Start();
  // Ex_Init is there; the window is the first thing it cannot make.
  ExpectOneLine(run, "Ex_WndCreate");
  EXPECT_EQ(run.err.find("Ex_Init"), std::string::npos) << run.err;
}

}  // namespace
