// Command-line rules shared by both tools: how the process command line is cut
// into arguments and how the window option is read from them. Pure byte logic,
// no Windows header, so the host tests and fuzzers run it unchanged.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

/// Splits a NUL-terminated command line into its items and returns the
/// arguments: every item after the first (the program name), up to the first
/// empty item. Separators are bytes 0x01..0x20; a double quote opens a stretch
/// taken as it stands up to the next double quote or the end; there is no
/// escape character.
std::vector<std::string> SplitArguments(const char *commandLine);

/// Lower-cases a byte string in place, keeping its length.
typedef void (*LowerCaseFn)(std::string &text);

/// ASCII lower-casing, the host's stand-in for the system's ANSI lower-casing.
void LowerCaseAscii(std::string &text);

/// The value of the first argument that begins with `prefix` (compared after
/// lower-casing both) and is longer than it: the digits among the (at most)
/// eight bytes after the prefix, read in decimal. 0 when no argument
/// qualifies or the qualifying one holds no digit there.
int32_t ReadWindowOption(const std::vector<std::string> &args, const std::string &prefix,
                         LowerCaseFn lower);
