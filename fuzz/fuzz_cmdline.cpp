// Fuzzes the command-line split and the window option reader. The input bytes,
// up to the first NUL, are the command line.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "cmdline.h"

namespace {

typedef std::vector<std::string> Args;

void Check(bool ok) {
  if (!ok) abort();
}

bool IsSeparator(unsigned char c) { return c >= 0x01 && c <= 0x20; }

// The option as its rules say it, written independently of the reader: the
// first argument starting with "/w=" in any case and longer than it, the digits
// among its next eight bytes.
int32_t ExpectedOption(const Args &args) {
  for (const std::string &arg : args) {
    if (arg.size() <= 3 || arg[0] != '/' || (arg[1] != 'w' && arg[1] != 'W') || arg[2] != '=')
      continue;
    int32_t value = 0;
    for (size_t i = 3; i < arg.size() && i < 11; ++i)
      if (arg[i] >= '0' && arg[i] <= '9') value = value * 10 + (arg[i] - '0');
    return value;
  }
  return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const std::string commandLine(reinterpret_cast<const char *>(data), size);
  const Args args = SplitArguments(commandLine.c_str());

  // No argument is empty, and none can hold a quote or a NUL.
  bool anySeparator = false;
  for (const std::string &arg : args) {
    Check(!arg.empty());
    Check(arg.find('"') == std::string::npos);
    Check(arg.find('\0') == std::string::npos);
    for (char c : arg) anySeparator = anySeparator || IsSeparator(static_cast<unsigned char>(c));
  }

  // An argument holds a separator only through a quoted stretch.
  if (commandLine.find('"') == std::string::npos) Check(!anySeparator);

  // Quoting every argument and splitting again gives the same arguments; so
  // does joining them with single spaces when none holds a separator.
  std::string quoted = "prog";
  std::string spaced = "prog";
  for (const std::string &arg : args) {
    quoted += " \"" + arg + "\"";
    spaced += " " + arg;
  }
  Check(SplitArguments(quoted.c_str()) == args);
  if (!anySeparator) Check(SplitArguments(spaced.c_str()) == args);

  // The option: eight digits at most, never negative, the same whatever the
  // prefix's case, and as its rules say.
  const int32_t value = ReadWindowOption(args, "/w=", LowerCaseAscii);
  Check(value >= 0 && value <= 99999999);
  Check(ReadWindowOption(args, "/W=", LowerCaseAscii) == value);
  Check(value == ExpectedOption(args));
  return 0;
}
