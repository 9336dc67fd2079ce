#include "failure_report.h"

std::string FormatFailureReport(const char *kind, const std::string &program, const char *where,
                                const std::string &text) {
  return std::string(kind) + " in " + program + " at " + where + ".\n" + text + "\r\n";
}

std::string FailureText(uint32_t code, const char *ownText, const std::string &systemText) {
  const std::string number = std::to_string(code);
  if (ownText != nullptr) return "Error " + number + ": " + ownText + ".";
  // The system's texts end in a line end (and some in a space), which the
  // report puts on its own.
  std::string text = systemText;
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
    text.pop_back();
  return "System error " + number + (text.empty() ? "." : ": " + text);
}
