// Files in a temporary directory through the Windows-style functions.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "platform/files.h"
#include "text/text.h"

namespace {

std::string ReadNative(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  return all.str();
}

// A fresh directory for each test, with its native and Windows-style names.
class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tovi-text-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    windowsDir_ = dir_;
    for (char& c : windowsDir_) {
      if (c == '/') c = '\\';
    }
  }
  void TearDown() override {
    std::string command = "rm -rf '" + dir_ + "'";
    EXPECT_EQ(system(command.c_str()), 0);
  }
  Text Windows(const std::string& name) const { return Text(windowsDir_ + "\\" + name); }
  std::string Native(const std::string& name) const { return dir_ + "/" + name; }

  std::string dir_;
  std::string windowsDir_;
};

TEST_F(FilesTest, WriteWholeFileCreatesAndTruncates) {
  ASSERT_TRUE(WriteWholeFile(Windows("a.bin"), Bytes(std::string("long content\0x", 14))));
  EXPECT_EQ(ReadNative(Native("a.bin")), std::string("long content\0x", 14));
  ASSERT_TRUE(WriteWholeFile(Windows("a.bin"), Bytes(std::string("ab"))));
  EXPECT_EQ(ReadNative(Native("a.bin")), "ab");
  // Empty bytes write nothing, but the file is still created or truncated.
  ASSERT_TRUE(WriteWholeFile(Windows("a.bin"), Bytes()));
  EXPECT_EQ(ReadNative(Native("a.bin")), "");
  ASSERT_TRUE(WriteWholeFile(Windows("new.bin"), Bytes()));
  EXPECT_EQ(access(Native("new.bin").c_str(), F_OK), 0);
}

TEST_F(FilesTest, WriteWholeFileFailures) {
  EXPECT_FALSE(WriteWholeFile(Text(), Bytes(std::string("x"))));
  EXPECT_FALSE(WriteWholeFile(Windows("missing\\a.bin"), Bytes(std::string("x"))));
  ASSERT_EQ(mkdir(Native("sub").c_str(), 0755), 0);
  EXPECT_FALSE(WriteWholeFile(Windows("sub"), Bytes(std::string("x"))));  // a directory
}

TEST_F(FilesTest, WriteWholeFileSharesWithNobody) {
  HANDLE reader = CreateFileA(Windows("held").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(reader, "keep", 4, &written, nullptr));
  // Refused while held, and the refused open must not have truncated it.
  EXPECT_FALSE(WriteWholeFile(Windows("held"), Bytes(std::string("x"))));
  EXPECT_TRUE(CloseHandle(reader));
  EXPECT_EQ(ReadNative(Native("held")), "keep");
  EXPECT_TRUE(WriteWholeFile(Windows("held"), Bytes(std::string("x"))));
}

TEST_F(FilesTest, FileExistsIsADirectorySearch) {
  ASSERT_TRUE(WriteWholeFile(Windows("libexdui.dll"), Bytes(std::string("x"))));
  ASSERT_EQ(mkdir(Native("folder").c_str(), 0755), 0);
  const std::pair<std::string, bool> rows[] = {
      {"libexdui.dll", true}, {"Default.ext", false}, {"folder", true}, {"*.dll", true},
      {"lib?xdui.dll", true}, {"*.ext", false},       {"[l]ib*", true}, {"fold*", true},
      {"folder\\*", true},    {"nothing\\*", false},
  };
  for (const auto& [name, exists] : rows) EXPECT_EQ(FileExists(Windows(name)), exists) << name;
  EXPECT_TRUE(FileExists(Text(windowsDir_)));
  EXPECT_FALSE(FileExists(Text()));
}

TEST_F(FilesTest, NarrowPathsAreCodePage936) {
  // "你好.txt" in code page 936; the file appears under its UTF-8 name, and
  // a trail byte 0x5C is no path separator.
  ASSERT_TRUE(WriteWholeFile(Windows("\xC4\xE3\xBA\xC3.txt"), Bytes(std::string("ok"))));
  EXPECT_EQ(ReadNative(Native("\xE4\xBD\xA0\xE5\xA5\xBD.txt")), "ok");
  std::string utf8Name = GbkToUtf8("\x95\x5C").str();
  ASSERT_EQ(utf8Name.size(), 3u);  // one character, no replacement
  ASSERT_NE(utf8Name, "\xEF\xBF\xBD");
  ASSERT_TRUE(WriteWholeFile(Windows("\x95\x5C.txt"), Bytes(std::string("5c"))));
  EXPECT_EQ(ReadNative(Native(utf8Name + ".txt")), "5c");
  EXPECT_TRUE(FileExists(Windows("\x95\x5C.txt")));
}

TEST_F(FilesTest, ReadingThroughTheWideFunctions) {
  ASSERT_TRUE(WriteWholeFile(Windows("theme.ext"), Bytes(std::string("EXPK\0\1", 6))));
  Bytes wide = AnsiToWide(Windows("theme.ext"));
  HANDLE file =
      CreateFileW(reinterpret_cast<const WCHAR*>(BytesData(wide)), GENERIC_READ, FILE_SHARE_READ,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD high = 99;
  EXPECT_EQ(GetFileSize(file, &high), 6u);
  EXPECT_EQ(high, 0u);
  char buffer[16] = {};
  DWORD read = 0;
  EXPECT_TRUE(ReadFile(file, buffer, sizeof buffer, &read, nullptr));
  EXPECT_EQ(std::string(buffer, read), std::string("EXPK\0\1", 6));
  // Two readers that share reading may both hold the file.
  HANDLE second = CreateFileW(reinterpret_cast<const WCHAR*>(BytesData(wide)), GENERIC_READ,
                              FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(second, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(CloseHandle(second));
  EXPECT_TRUE(CloseHandle(file));
  EXPECT_FALSE(CloseHandle(file));  // already closed
}

TEST_F(FilesTest, HandlesAreCheckedAtTheDoor) {
  int notAFile = 0;
  DWORD n = 5;
  EXPECT_EQ(GetFileSize(&notAFile, nullptr), INVALID_FILE_SIZE);
  EXPECT_FALSE(ReadFile(&notAFile, &n, 1, &n, nullptr));
  EXPECT_EQ(n, 0u);
  EXPECT_FALSE(WriteFile(INVALID_HANDLE_VALUE, "x", 1, nullptr, nullptr));
  EXPECT_FALSE(CloseHandle(nullptr));
  EXPECT_EQ(CreateFileA(Windows("absent").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                        OPEN_EXISTING, 0, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(CreateFileA(Windows("").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                        0, nullptr),
            INVALID_HANDLE_VALUE);  // the directory itself
  EXPECT_EQ(CreateFileA(nullptr, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
            INVALID_HANDLE_VALUE);
}

TEST_F(FilesTest, SetCurrentDirectoryMakesRelativeNamesResolveThere) {
  char before[4096];
  ASSERT_NE(getcwd(before, sizeof before), nullptr);
  ASSERT_TRUE(SetCurrentDirectoryA(windowsDir_.c_str()));
  EXPECT_TRUE(WriteWholeFile("relative.txt", Bytes(std::string("r"))));
  EXPECT_TRUE(FileExists("relative.txt"));
  EXPECT_EQ(ReadNative(Native("relative.txt")), "r");
  EXPECT_FALSE(SetCurrentDirectoryA((windowsDir_ + "\\absent").c_str()));
  EXPECT_FALSE(SetCurrentDirectoryA(nullptr));
  ASSERT_EQ(chdir(before), 0);
}

TEST(ProgramDirectory, RunDirectoryIsTheExecutablesDirectoryInWindowsForm) {
  char exe[4096];
  ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  ASSERT_GT(n, 0);
  std::string native(exe, static_cast<size_t>(n));
  std::string nativeDir = native.substr(0, native.rfind('/'));
  EXPECT_EQ(NativeProgramDirectory(), nativeDir);
  std::string windowsDir = nativeDir;
  for (char& c : windowsDir) {
    if (c == '/') c = '\\';
  }
  Text run = RunDirectory();
  EXPECT_EQ(run.str(), windowsDir);  // the build tree has an ASCII path
  EXPECT_NE(run.str().back(), '\\');
  // The directory plus a file name maps back to the real file.
  EXPECT_TRUE(FileExists(ConcatText(run, "\\text_tests")));

  char full[4096];
  DWORD length = GetModuleFileNameA(nullptr, full, sizeof full);
  EXPECT_EQ(std::string(full, length), windowsDir + "\\text_tests");
  char small[5];
  EXPECT_EQ(GetModuleFileNameA(nullptr, small, sizeof small), sizeof small);  // cut, terminated
  EXPECT_EQ(small[4], 0);
  EXPECT_EQ(GetModuleFileNameA(nullptr, small, 0), 0u);
}

}  // namespace
