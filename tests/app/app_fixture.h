// Runs the real main window against the recording stand-in of the library,
// in a program directory of the test's own, and reads the transcript back.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/main_window.h"
#include "tests/support/exdui_recorder.h"
#include "transcript/transcript.h"

struct ShownEntry {
  int32_t kind;
  std::string text;  // UTF-8
  bool operator==(const ShownEntry&) const = default;
};
void PrintTo(const ShownEntry& entry, std::ostream* out);

class MainWindowFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // RunMainWindow with a message loop that returns at once; the model keeps
  // the window's objects afterwards, so handlers can be driven by Deliver.
  void OpenWindow();
  // What the user types, then Enter as the library delivers it.
  void TypeAndEnter(const std::string& utf8);
  std::vector<ShownEntry> Entries() const;
  void ReleaseTranscriptRecords();

  std::string dir_;
  std::string previousDirectory_;
};
