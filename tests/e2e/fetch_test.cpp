// nvfetch against the stand-in editor: the option grammar, the window-handle
// error, both transfer modes, and what reaches standard output.
#include <gtest/gtest.h>

#include "editor_link.h"
#include "harness.h"
#include "messages.h"
#include "stub_editor.h"

namespace {

const std::string kWindowHandleError = std::string(MSG_WINDOW_HANDLE_ERROR) + "\r\n";

class FetchTest : public testing::Test {
 protected:
  void SetUp() override { editor = StartStubEditor(config); }
  void TearDown() override { StopStubEditor(editor); }

  std::string Handle() const { return std::to_string(WindowValue(StubMainWindow(editor))); }

  void Configure(const std::string &text, size_t selStart = 0, size_t selEnd = 0) {
    config.text = text;
    config.selStart = selStart;
    config.selEnd = selEnd;
    SetStubConfig(editor, config);
  }

  RunResult Fetch(const std::string &args, OutputKind out = OUTPUT_PIPE) {
    RunSpec spec;
    spec.exe = ToolPath("nvfetch");
    spec.args = args;
    spec.out = out;
    return RunProgram(spec);
  }

  StubEditorConfig config;
  StubEditor *editor = nullptr;
};

TEST_F(FetchTest, PrintsTheSelectionByteForByte) {
  Configure("xxabcyy", 2, 5);
  RunResult r = Fetch("/w=" + Handle());
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_EQ(r.out, "abc");
  EXPECT_EQ(r.err, "");
}

TEST_F(FetchTest, WindowHandleErrorWithoutOption) {
  RunResult r = Fetch("");
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, kWindowHandleError);
  EXPECT_EQ(r.err.size(), 100u);
}

}  // namespace
