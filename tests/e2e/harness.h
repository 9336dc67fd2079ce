// Running the real tools as child processes, with the standard handles and
// the console that a case needs, and collecting what they write.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "win32.h"

enum InputKind {
  INPUT_NONE,        // no standard-input handle at all
  INPUT_PIPE,        // a Windows pipe; `input` (or `inputPieces`) is written, then the pipe closed
  INPUT_FILE,        // a disk file holding `input`
  INPUT_NUL_DEVICE,  // the NUL device
  INPUT_CONSOLE,     // the console's input (CONIN$)
  INPUT_HANDLE,      // `inputHandle`, an inheritable handle the caller made and keeps
};

enum OutputKind {
  OUTPUT_PIPE,         // a Windows pipe read to its end
  OUTPUT_FILE,         // a disk file, read back after the run
  OUTPUT_BROKEN_PIPE,  // a pipe whose reader has gone before the tool starts
  OUTPUT_NONE,         // no handle (null)
  OUTPUT_FULL_DISK,    // a file on a device that refuses every write
};

struct RunPlan {
  std::string exe;                       // full path of the program
  std::string args;                      // command line after the program name
  InputKind input = INPUT_NONE;
  std::string inputBytes;                // for INPUT_PIPE and INPUT_FILE
  std::vector<std::string> inputPieces;  // INPUT_PIPE: written one by one, `pauseMs` apart
  HANDLE inputHandle = nullptr;          // for INPUT_HANDLE
  DWORD pauseMs = 0;
  DWORD holdOpenMs = 0;                  // INPUT_PIPE: keep the pipe open this long after the last byte
  OutputKind out = OUTPUT_PIPE;
  OutputKind err = OUTPUT_PIPE;
  bool console = true;                   // false: DETACHED_PROCESS, no console at all
  DWORD timeoutMs = 60000;
};

struct RunResult {
  DWORD exitCode = 0;
  bool timedOut = false;
  std::string out;
  std::string err;
  size_t inputWritten = 0;  // INPUT_PIPE: bytes the writer got into the pipe before it closed
};

/// Starts the program as `plan` says, waits for it, and returns what it did.
RunResult RunProgram(const RunPlan &plan);

/// Full path of a tool under test ("nvfetch", "nvfeed").
std::string ToolPath(const char *name);

/// Full path of the stand-in editor program built beside this test program.
std::string StubEditorPath();

/// Folder for scratch files of this test run (made on first use).
std::string ScratchDir();

/// Writes `bytes` to a new scratch file and returns its path.
std::string WriteScratchFile(const std::string &name, const std::string &bytes);

/// `count` bytes of a fixed pseudo-random text without NUL, cut into CR LF lines.
std::string MakeText(size_t count, uint32_t seed);

/// The folder the tools are taken from (set from the command line).
extern std::string ToolDir;
