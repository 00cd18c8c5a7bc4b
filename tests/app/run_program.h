// Runs a program in a chosen working directory and collects what it says.
#pragma once

#include <string>
#include <vector>

struct ProgramRun {
  int exitCode = -1;  // -1 when the program did not exit by itself
  bool timedOut = false;
  std::string out;
  std::string err;
};

// Runs `program` with `args` from `workingDirectory`, with the environment
// changed by `environment` ("NAME=value" sets, "NAME" alone removes); kills it
// after `timeoutSeconds`.
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                      const std::string& workingDirectory,
                      const std::vector<std::string>& environment = {}, int timeoutSeconds = 20);

// The directory of the running test executable (the top of the build tree).
std::string TestProgramDirectory();

// A fresh, empty directory under the system's temporary folder; removed with
// everything in it by RemoveTree.
std::string MakeTempDirectory(const std::string& prefix);
void RemoveTree(const std::string& path);

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
void CopyExecutable(const std::string& from, const std::string& to);
