// The failure report: its two lines, and the text of a failure, which is the
// system's for a system error and the tool's own for a code of its own.

#include <gtest/gtest.h>

#include <string>

#include "failure_report.h"

namespace {

TEST(FailureReport, FirstLineEndsInLfAloneTheSecondInCrLf) {
  EXPECT_EQ(FormatFailureReport("Input/output error", "nvfetch.exe", "ReportError (open console)",
                                "System error 6: Invalid handle."),
            "Input/output error in nvfetch.exe at ReportError (open console).\n"
            "System error 6: Invalid handle.\r\n");
}

TEST(FailureText, SystemErrorsKeepTheSystemsTextOwnCodesTheirOwn) {
  const struct {
    const char *rule;
    uint32_t code;
    const char *ownText;
    std::string systemText;
    std::string text;
  } cases[] = {
      {"system error with its text", 6, nullptr, "The handle is invalid.\r\n",
       "System error 6: The handle is invalid."},
      {"the system's trailing space goes too", 5, nullptr, "Access is denied. \r\n",
       "System error 5: Access is denied."},
      {"system error without a text", 123456, nullptr, "", "System error 123456."},
      // 105 is also a system error number (a semaphore's owner has ended);
      // the console device's failure must not read as that.
      {"the tool's own code", 105, "The console device is not open for output",
       "The previous ownership of this semaphore has ended.\r\n",
       "Error 105: The console device is not open for output."},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.rule);
    EXPECT_EQ(FailureText(c.code, c.ownText, c.systemText), c.text);
  }
}

}  // namespace
