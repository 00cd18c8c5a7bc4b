// Start-up: the carried files are written next to the program only when
// missing, the program directory becomes the current one, and ReadWholeFile
// reads what is there.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "app/carried_files.h"
#include "app/startup.h"
#include "tests/app/run_program.h"

namespace fs = std::filesystem;

// The start-up routine hands over to the main window; here it has none.
void RunMainWindow() {}

namespace {

std::string CarriedLibraryBytes() {
  return std::string(reinterpret_cast<const char*>(kCarriedLibrary), kCarriedLibraryLength);
}
std::string CarriedThemeBytes() {
  return std::string(reinterpret_cast<const char*>(kCarriedTheme), kCarriedThemeLength);
}

// A copy of the probe (the real start sequence, a stand-in window) in a fresh
// program directory.
class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = MakeTempDirectory("tovi-startup-");
    ASSERT_FALSE(dir_.empty());
    elsewhere_ = MakeTempDirectory("tovi-elsewhere-");
    CopyExecutable(TestProgramDirectory() + "/app_startup_probe", dir_ + "/tovi-chat");
  }
  void TearDown() override {
    RemoveTree(dir_);
    RemoveTree(elsewhere_);
  }
  ProgramRun Start() {
    ProgramRun run = RunProgram(dir_ + "/tovi-chat", {}, elsewhere_);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return run;
  }
  std::string Library() const { return dir_ + "/libexdui.dll"; }
  std::string Theme() const { return dir_ + "/Default.ext"; }

  std::string dir_;
  std::string elsewhere_;
};

TEST(CarriedFiles, AreTheBuiltLibraryAndTheme) {
  // Compared as a whole, reported by size: the bytes would flood the log.
  const std::string built = ReadFileBytes(TestProgramDirectory() + "/libexdui.dll");
  EXPECT_TRUE(CarriedLibraryBytes() == built)
      << "carried " << kCarriedLibraryLength << " bytes, built " << built.size();
  ASSERT_GE(kCarriedThemeLength, 4);
  EXPECT_EQ(CarriedThemeBytes().substr(0, 4), "EXPK");
  // An ELF shared object, loadable by the binding.
  EXPECT_EQ(CarriedLibraryBytes().substr(0, 4),
            "\x7F"
            "ELF");
  EXPECT_EQ(kCarriedLibrary[kCarriedLibraryLength], 0);
}

TEST_F(StartupTest, WritesBothFilesWhenMissing) {
  ProgramRun run = Start();
  EXPECT_TRUE(ReadFileBytes(Library()) == CarriedLibraryBytes());
  EXPECT_TRUE(ReadFileBytes(Theme()) == CarriedThemeBytes());
  EXPECT_EQ(ReadFileBytes(Theme()).substr(0, 4), "EXPK");
  EXPECT_NE(run.out.find("theme=" + std::to_string(kCarriedThemeLength) + ":EXPK"),
            std::string::npos)
      << run.out;
}

TEST_F(StartupTest, RunsInTheProgramDirectoryWhenStartedElsewhere) {
  ProgramRun run = Start();
  EXPECT_NE(run.out.find("cwd=" + fs::canonical(dir_).string() + "\n"), std::string::npos)
      << run.out;
}

TEST_F(StartupTest, LeavesExistingDifferentFilesUntouched) {
  WriteFileBytes(Library(), "not the carried library");
  WriteFileBytes(Theme(), "EXPK but another theme");
  ProgramRun run = Start();
  EXPECT_EQ(ReadFileBytes(Library()), "not the carried library");
  EXPECT_EQ(ReadFileBytes(Theme()), "EXPK but another theme");
  // The theme that is there is the one the window reads.
  EXPECT_NE(run.out.find("theme=22:EXPK"), std::string::npos) << run.out;
}

TEST_F(StartupTest, WritesOnlyTheMissingTheme) {
  WriteFileBytes(Library(), "old library");
  const auto before = fs::last_write_time(Library());
  Start();
  EXPECT_EQ(ReadFileBytes(Library()), "old library");
  EXPECT_EQ(fs::last_write_time(Library()), before);
  EXPECT_TRUE(ReadFileBytes(Theme()) == CarriedThemeBytes());
}

TEST_F(StartupTest, WritesOnlyTheMissingLibrary) {
  WriteFileBytes(Theme(), "EXPKmine");
  Start();
  EXPECT_TRUE(ReadFileBytes(Library()) == CarriedLibraryBytes());
  EXPECT_EQ(ReadFileBytes(Theme()), "EXPKmine");
}

TEST_F(StartupTest, ADirectoryOfTheLibrarysNameCountsAsPresent) {
  fs::create_directory(Library());
  Start();
  EXPECT_TRUE(fs::is_directory(Library()));
  EXPECT_TRUE(fs::is_empty(Library()));
  EXPECT_TRUE(ReadFileBytes(Theme()) == CarriedThemeBytes());
}

TEST_F(StartupTest, ADirectoryOfTheThemesNameCountsAsPresentAndReadsEmpty) {
  fs::create_directory(Theme());
  ProgramRun run = Start();
  EXPECT_TRUE(fs::is_directory(Theme()));
  EXPECT_NE(run.out.find("theme=0:"), std::string::npos) << run.out;
}

// ---- ReadWholeFile, in this process ----

class ReadWholeFileTest : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = MakeTempDirectory("tovi-read-"); }
  void TearDown() override { RemoveTree(dir_); }
  static Bytes Read(const std::string& path) { return ReadWholeFile(AnsiToWide(Text(path))); }
  std::string dir_;
};

TEST_F(ReadWholeFileTest, ReadsAWholeFileWithZeroBytes) {
  std::string content("EXPK\0\x01\xFF tail", 11);
  WriteFileBytes(dir_ + "/f.bin", content);
  EXPECT_EQ(Read(dir_ + "/f.bin").str(), content);
}

TEST_F(ReadWholeFileTest, MissingAndEmptyFilesGiveEmptyBytes) {
  EXPECT_EQ(BytesLength(Read(dir_ + "/absent")), 0);
  WriteFileBytes(dir_ + "/empty", "");
  EXPECT_EQ(BytesLength(Read(dir_ + "/empty")), 0);
  EXPECT_EQ(BytesLength(Read(dir_)), 0) << "a directory is not a file to read";
  EXPECT_EQ(BytesLength(ReadWholeFile(Bytes())), 0);
}

TEST_F(ReadWholeFileTest, AFileOfTwoGibibytesGivesEmptyBytes) {
  // Sparse: the size is what matters, not the disk space.
  std::string path = dir_ + "/huge";
  int fd = open(path.c_str(), O_CREAT | O_WRONLY, 0600);
  ASSERT_GE(fd, 0);
  int truncated = ftruncate(fd, off_t{1} << 31);
  close(fd);
  if (truncated != 0) GTEST_SKIP() << "the file system cannot hold a sparse 2 GiB file";
  EXPECT_EQ(BytesLength(Read(path)), 0);
}

TEST_F(ReadWholeFileTest, AShortReadGivesTheDeliveredBytes) {
  // Files of the kernel's sysfs report a size of a whole page but deliver
  // only their short content: a real read that stops before the size.
  std::string found;
  for (const char* candidate :
       {"/sys/kernel/mm/transparent_hugepage/enabled", "/sys/kernel/profiling", "/sys/power/state",
        "/sys/devices/system/cpu/online", "/sys/kernel/uevent_seqnum"}) {
    struct stat info {};
    if (stat(candidate, &info) == 0 && info.st_size > 0 && access(candidate, R_OK) == 0) {
      std::string content = ReadFileBytes(candidate);
      if (!content.empty() && content.size() < static_cast<size_t>(info.st_size)) {
        found = candidate;
        break;
      }
    }
  }
  if (found.empty()) GTEST_SKIP() << "no readable sysfs file reports more than it holds";
  Bytes read = Read(found);
  EXPECT_GT(BytesLength(read), 0);
  EXPECT_EQ(read.str(), ReadFileBytes(found));
}

TEST_F(ReadWholeFileTest, ANameWithoutItsZeroCharacterIsStillRead) {
  WriteFileBytes(dir_ + "/t", "abc");
  Bytes wide = AnsiToWide(Text(dir_ + "/t"));
  Bytes unterminated = BytesLeft(wide, BytesLength(wide) - 2);
  EXPECT_EQ(ReadWholeFile(unterminated).str(), "abc");
}

}  // namespace
