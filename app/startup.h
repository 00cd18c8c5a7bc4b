// Start-up: the program directory becomes the current one, the carried files
// are written there when missing, and the main window runs.
#pragma once

#include "text/text.h"

// The entry point: runs the start sequence; the process ends when it returns.
void StartProgram();
// Writes each carried file that is missing from the program directory (never
// replacing one that exists), then runs the main window. Returns 0.
int WriteCarriedFiles();
// The whole content of a file, or an empty Bytes. `path` is a UTF-16LE file
// name ended by a zero character, as AnsiToWide makes it.
Bytes ReadWholeFile(const Bytes& path);
