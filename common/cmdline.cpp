#include "cmdline.h"

#include <algorithm>

namespace {

bool IsSeparator(unsigned char c) { return c >= 0x01 && c <= 0x20; }

const char kQuote = '"';

// Takes the next item from `p`, advancing it; returns false at the end.
bool TakeItem(const char *&p, std::string &item) {
  item.clear();
  for (;;) {
    while (IsSeparator(static_cast<unsigned char>(*p))) ++p;
    if (p[0] == kQuote && p[1] == kQuote) {
      p += 2;  // an empty quoted pair where an item would begin is skipped
      continue;
    }
    break;
  }
  if (*p == '\0') return false;
  while (*p != '\0' && !IsSeparator(static_cast<unsigned char>(*p))) {
    if (*p == kQuote) {
      ++p;
      while (*p != '\0' && *p != kQuote) item += *p++;
      if (*p == kQuote) ++p;
    } else {
      item += *p++;
    }
  }
  return true;
}

}  // namespace

std::vector<std::string> SplitArguments(const char *commandLine) {
  std::vector<std::string> args;
  const char *p = commandLine;
  std::string item;
  if (!TakeItem(p, item)) return args;  // no program name, no arguments
  while (TakeItem(p, item)) {
    if (item.empty()) break;  // a lone quote at the very end
    args.push_back(item);
  }
  return args;
}

void LowerCaseAscii(std::string &text) {
  for (char &c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
}

int32_t ReadWindowOption(const std::vector<std::string> &args, const std::string &prefix,
                         LowerCaseFn lower) {
  const size_t kMaxDigits = 8;
  std::string lowPrefix = prefix;
  lower(lowPrefix);
  for (const std::string &arg : args) {
    if (arg.size() <= prefix.size()) continue;
    std::string lowArg = arg;
    lower(lowArg);
    if (lowArg.compare(0, lowPrefix.size(), lowPrefix) != 0) continue;

    int32_t value = 0;
    const size_t end = std::min(arg.size(), prefix.size() + kMaxDigits);
    for (size_t i = prefix.size(); i < end; ++i)
      if (arg[i] >= '0' && arg[i] <= '9') value = value * 10 + (arg[i] - '0');
    return value;  // the first qualifying argument ends the search
  }
  return 0;
}
