// How a command line becomes arguments, and how the window option is read.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cmdline.h"

namespace {

typedef std::vector<std::string> Args;

struct SplitCase {
  const char *rule;
  std::string commandLine;
  Args arguments;
};

// Every item after the program name, up to an empty item (a lone quote at the
// very end). Separators are 0x01..0x20; a quote opens a stretch that runs to
// the next quote or to the end; nothing escapes.
const SplitCase kSplitCases[] = {
    {"empty command line", "", {}},
    {"program name only", "prog", {}},
    {"separators before the program name", " \t prog a", {"a"}},
    {"one space", "prog a b", {"a", "b"}},
    {"several spaces", "prog   a    b  ", {"a", "b"}},
    {"tab", "prog\ta\tb", {"a", "b"}},
    {"control bytes 0x01 and 0x1F, CR, LF", "prog\x01" "a\x1f" "b\r\nc", {"a", "b", "c"}},
    {"0x21 and 0x7F are no separators", "prog !a\x7f" "b", {"!a\x7f" "b"}},
    {"quoted stretch mid-argument", "prog a\"b c\"d", {"ab cd"}},
    {"quoted stretch keeps tabs", "prog \"a\tb\"", {"a\tb"}},
    {"pair of quotes alone is no argument", "prog \"\"", {}},
    {"pair of quotes then x", "prog \"\" x", {"x"}},
    {"two pairs of quotes then x", "prog \"\"\"\" x", {"x"}},
    {"pair of quotes before the program name", "\"\" prog a", {"a"}},
    {"pair of quotes mid-argument", "prog a\"\"b c", {"ab", "c"}},
    {"unterminated quote runs to the end", "prog \"a b /w=5", {"a b /w=5"}},
    {"quote then space starts a stretch", "prog a \" b", {"a", " b"}},
    {"trailing backslash is kept", "prog C:\\dir\\ x", {"C:\\dir\\", "x"}},
    {"backslash does not protect a quote", "prog a\\\"b c\" d", {"a\\b c", "d"}},
    {"lone quote at the end ends the count", "prog a \"", {"a"}},
    {"pair then lone quote at the end", "prog a \"\"\"", {"a"}},
    {"unquoted program path with a space", "C:\\Program Files\\nvfeed.exe /nt /w=5",
     {"Files\\nvfeed.exe", "/nt", "/w=5"}},
    {"quoted program path with a space", "\"C:\\Program Files\\nvfeed.exe\" /nt /w=5",
     {"/nt", "/w=5"}},
    {"bytes from 0x80 are ordinary", "prog \x81\x40\x82\xa0 \xff", {"\x81\x40\x82\xa0", "\xff"}},
    {"option and digit apart", "prog /w=1 2", {"/w=1", "2"}},
    {"option and digit quoted together", "prog \"/w=1 2\"", {"/w=1 2"}},
};

TEST(SplitArguments, FollowsTheSplittingRules) {
  for (const SplitCase &c : kSplitCases) {
    SCOPED_TRACE(c.rule);
    EXPECT_EQ(SplitArguments(c.commandLine.c_str()), c.arguments);
  }
}

struct OptionCase {
  const char *rule;
  std::string commandLine;
  int32_t value;
};

// "/w=": the first argument that begins with the prefix (any case) and is
// longer than it; the digits among the next eight bytes, in decimal.
const OptionCase kOptionCases[] = {
    {"no arguments", "prog", 0},
    {"plain value", "prog /w=123", 123},
    {"upper-case prefix", "prog /W=123", 123},
    {"any argument position", "prog /nt x /w=5", 5},
    {"bare prefix is passed over", "prog /w= /w=77", 77},
    {"first qualifying argument ends the search", "prog /w=abc /w=77", 0},
    {"non-digits are dropped, not ends", "prog /w=1a2b3", 123},
    {"no sign", "prog /w=-5", 5},
    {"no hex", "prog /w=0x1A", 1},
    {"nine digits give the first eight", "prog /w=123456789", 12345678},
    {"largest value", "prog /w=99999999", 99999999},
    {"only eight bytes are looked at", "prog /w=abcdefgh1", 0},
    {"leading zeros", "prog /w=00000042", 42},
    {"zero", "prog /w=0", 0},
    {"prefix must begin the argument", "prog x/w=5", 0},
    {"no '=' is no prefix", "prog /w5", 0},
    {"digit as a separate argument", "prog /w=1 2", 1},
    {"digits quoted into one argument", "prog \"/w=1 2\"", 12},
};

TEST(ReadWindowOption, FollowsTheOptionRules) {
  for (const OptionCase &c : kOptionCases) {
    SCOPED_TRACE(c.rule);
    const Args args = SplitArguments(c.commandLine.c_str());
    EXPECT_EQ(ReadWindowOption(args, "/w=", LowerCaseAscii), c.value);
  }
}

TEST(ReadWindowOption, LowerCasesThePrefixToo) {
  EXPECT_EQ(ReadWindowOption({"/w=5"}, "/W=", LowerCaseAscii), 5);
}

// Stands in for an ANSI code page that also lower-cases 0xC0 to 0xE0.
void LowerCaseWithAgrave(std::string &text) {
  LowerCaseAscii(text);
  for (char &c : text)
    if (c == '\xc0') c = '\xe0';
}

TEST(ReadWindowOption, UsesTheLowerCasingItIsGiven) {
  const Args args = {"/\xc0=7"};
  EXPECT_EQ(ReadWindowOption(args, "/\xe0=", LowerCaseWithAgrave), 7);
  EXPECT_EQ(ReadWindowOption(args, "/\xe0=", LowerCaseAscii), 0);
}

TEST(LowerCaseAscii, LowersOnlyAToZ) {
  std::string text = "@AZ[`az{\xc0\xff";
  LowerCaseAscii(text);
  EXPECT_EQ(text, "@az[`az{\xc0\xff");
}

}  // namespace
