// Editors that misbehave: lengths that cannot be, windows that vanish in the
// middle of a message, blocks that someone else holds, and two tools at once.
// Whatever the editor does, a tool ends in order: with the right text or with
// none, and never with an exception status.
#include <gtest/gtest.h>

#include <thread>

#include "editor_link.h"
#include "harness.h"
#include "messages.h"
#include "stub_editor.h"
#include "text_block.h"

namespace {

/// An orderly end: 0, or 1 after the failure report. An access violation or
/// any other exception ends a Windows process with a code of 0xC0000000 up.
void ExpectOrderlyEnd(const RunResult &r) {
  EXPECT_FALSE(r.timedOut);
  EXPECT_LT(r.exitCode, 2u) << std::hex << "exit code 0x" << r.exitCode;
}

/// An orderly end with exit status 0 and either `text` or nothing printed.
void ExpectTextOrNothing(const RunResult &r, const std::string &text) {
  ExpectOrderlyEnd(r);
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_TRUE(r.out.empty() || r.out == text) << r.out.size() << " bytes: " << r.out.substr(0, 40);
}

class HostileEditorTest : public testing::Test {
 protected:
  void SetUp() override {
    config.text = "hello";
    config.selStart = 0;
    config.selEnd = 5;
    config.title = WAITING_MARKER "edit";
    editor = StartStubEditor(config);
  }
  void TearDown() override { StopStubEditor(editor); }

  std::string Handle() const { return std::to_string(WindowValue(StubMainWindow(editor))); }

  RunResult Fetch() {
    RunPlan plan;
    plan.exe = ToolPath("nvfetch");
    plan.args = "/w=" + Handle();
    return RunProgram(plan);
  }

  RunResult Feed(const std::string &input) {
    RunPlan plan;
    plan.exe = ToolPath("nvfeed");
    plan.args = "/w=" + Handle();
    plan.input = INPUT_PIPE;
    plan.inputBytes = input;
    return RunProgram(plan);
  }

  StubEditorConfig config;
  StubEditor *editor = nullptr;
};

// Lengths that no block can hold or that do not match the text. Wine passes
// the editing window's answer on; whatever reaches the tool, it prints the
// editor's text or nothing.
TEST_F(HostileEditorTest, ImpossibleTextLengths) {
  const uint32_t lengths[] = {0xFFFFFFFFu, 0x80000000u, 0xFFFFFFFEu, 0, 1, 4};
  for (uint32_t length : lengths) {
    SCOPED_TRACE(length);
    config.lengthOverride = true;
    config.lengthValue = length;
    SetStubConfig(editor, config);
    RunResult r = Fetch();
    ExpectTextOrNothing(r, "hello");
    EXPECT_EQ(r.err, "");
  }
}

// The editing window that the editor names belongs to a third process: its
// length has nothing to do with the text the editor writes.
TEST_F(HostileEditorTest, EditWindowOfAnotherProcess) {
  const std::string stub = StubEditorPath();
  // The other process's main window stands in for any foreign window; it
  // answers WM_GETTEXTLENGTH with its title's length (2).
  HANDLE out = nullptr, outParent = nullptr;
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  ASSERT_TRUE(CreatePipe(&outParent, &out, &sa, 0));
  SetHandleInformation(outParent, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = out;
  PROCESS_INFORMATION pi = {};
  std::string commandLine = "\"" + stub + "\" --title=ab --exit-after=30";
  if (!CreateProcessA(stub.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                      &si, &pi))
    GTEST_SKIP() << "no stand-in editor program beside the tests: " << stub;
  CloseHandle(out);
  char line[32] = {0};
  DWORD n = 0;
  ReadFile(outParent, line, sizeof line - 1, &n, nullptr);
  const uint32_t foreign = static_cast<uint32_t>(strtoul(line, nullptr, 10));
  ASSERT_NE(foreign, 0u);

  config.text = std::string(10000, 'z');
  config.selStart = 0;
  config.selEnd = config.text.size();
  config.editWindowOverride = true;
  config.editWindowValue = foreign;
  SetStubConfig(editor, config);
  ExpectTextOrNothing(Fetch(), config.text);

  TerminateProcess(pi.hProcess, 0);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  CloseHandle(outParent);
}

// The editor's main window is destroyed while it handles each of the editor
// messages in turn.
TEST_F(HostileEditorTest, WindowDestroyedInsideAMessage) {
  const UINT messages[] = {EDM_GETEDITWINDOW, EDM_GETTEXT, EDM_QUERYPUTMODE, EDM_PUTTEXT};
  for (UINT message : messages) {
    SCOPED_TRACE(message);
    StopStubEditor(editor);
    config.destroyOnMessage = message;
    editor = StartStubEditor(config);
    RunResult r = message == EDM_GETEDITWINDOW || message == EDM_GETTEXT ? Fetch() : Feed("text");
    ExpectTextOrNothing(r, "hello");
    EXPECT_EQ(r.err, "");
  }
  config.destroyOnMessage = 0;
}

// Someone else holds a block of the name already: a small one, a read-only
// one. The tools give the transfer up rather than use a block that is not
// theirs: nothing printed, nothing delivered, and the editor's text intact.
TEST_F(HostileEditorTest, BlockOfThatNameAlreadyHeld) {
  const std::string name = FormatBlockName(WindowValue(StubMainWindow(editor)));
  const DWORD protections[] = {PAGE_READWRITE, PAGE_READONLY};
  const DWORD sizes[] = {1, 4096, 1 << 20};
  for (DWORD protection : protections) {
    for (DWORD size : sizes) {
      SCOPED_TRACE(testing::Message() << "protection " << protection << ", size " << size);
      HANDLE held = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, protection, 0, size,
                                       name.c_str());
      ASSERT_NE(held, nullptr);
      TakeStubRecords(editor);

      RunResult fetched = Fetch();
      ExpectOrderlyEnd(fetched);
      EXPECT_EQ(fetched.exitCode, 0u);
      EXPECT_EQ(fetched.out, "");

      RunResult fed = Feed("new text");
      ExpectOrderlyEnd(fed);
      EXPECT_EQ(fed.exitCode, 0u);
      for (const StubRecord &record : TakeStubRecords(editor))
        EXPECT_NE(record.message, static_cast<UINT>(EDM_PUTTEXT));
      EXPECT_EQ(GetStubConfig(editor).text, "hello");
      CloseHandle(held);
    }
  }
  // Once the block is released the same tools work again.
  EXPECT_EQ(Fetch().out, "hello");
}

// A fetch and a feed on the same window at the same time use the same block
// name. Each either does its whole transfer or gives up: no fetch prints a
// text the editor never held, and no put hands over anything but its input.
TEST_F(HostileEditorTest, TwoToolsAtOnce) {
  const std::string fed = MakeText(200000, 7);
  config.text = fed;
  config.selStart = 0;
  config.selEnd = fed.size();
  config.putModeAnswer = -1;  // mode 0: replace the whole text, so it stays `fed`
  SetStubConfig(editor, config);
  TakeStubRecords(editor);

  for (int round = 0; round < 8; ++round) {
    SCOPED_TRACE(round);
    RunResult fetchResult, feedResult;
    std::thread fetcher([&] { fetchResult = Fetch(); });
    std::thread feeder([&] { feedResult = Feed(fed); });
    fetcher.join();
    feeder.join();
    ExpectOrderlyEnd(fetchResult);
    ExpectOrderlyEnd(feedResult);
    EXPECT_TRUE(fetchResult.out.empty() || fetchResult.out == fed)
        << fetchResult.out.size() << " bytes";
  }
  for (const StubRecord &record : TakeStubRecords(editor)) {
    if (record.message == EDM_PUTTEXT) {
      EXPECT_EQ(record.received, fed);
    }
  }
  EXPECT_EQ(GetStubConfig(editor).text, fed);
}

}  // namespace
