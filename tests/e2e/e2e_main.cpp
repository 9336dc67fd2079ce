// The end-to-end test program: runs the real tools against a stand-in editor
// hosted on a thread of this process.
//
//   e2e_tests --tools=<folder of nvfetch.exe and nvfeed.exe> [gtest options]
#include <gtest/gtest.h>

#include <cstring>

#include "harness.h"

namespace {

/// "/work/x" (as CMake passes it) becomes "Z:\work\x".
std::string WindowsPath(std::string path) {
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char &c : path)
    if (c == '/') c = '\\';
  return path;
}

}  // namespace

int main(int argc, char **argv) {
  testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i < argc; ++i)
    if (strncmp(argv[i], "--tools=", 8) == 0) ToolDir = WindowsPath(argv[i] + 8);
  if (ToolDir.empty()) {
    fprintf(stderr, "e2e_tests: give --tools=<folder of the tools>\n");
    return 2;
  }
  // A console of our own, which the children share unless a case detaches
  // them. Started without a terminal, Wine gives a process none.
  FreeConsole();
  AllocConsole();
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  return RUN_ALL_TESTS();
}
