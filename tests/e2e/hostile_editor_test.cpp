// Editors that misbehave: lengths that cannot be, windows that vanish in the
// middle of a message, blocks that someone else holds, and two tools at once.
// Whatever the editor does, a tool ends in order: with the right text or with
// none, and never with an exception status.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

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

/// Takes the editor's block name as a mapping of `size` bytes, filled with
/// 'G' where it can be written, as another holder would.
HANDLE HoldBlockName(HWND main, DWORD protection, DWORD size) {
  const std::string name = FormatBlockName(WindowValue(main));
  HANDLE held =
      CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, protection, 0, size, name.c_str());
  if (held != nullptr && protection == PAGE_READWRITE) {
    void *view = MapViewOfFile(held, FILE_MAP_WRITE, 0, 0, 0);
    if (view != nullptr) {
      memset(view, 'G', size);
      UnmapViewOfFile(view);
    }
  }
  return held;
}

// Someone else holds a block of the name for a moment: a small one, a large
// one, a read-only one. The tools wait until it is let go and then make a
// block of their own, so the transfer is whole and nothing of the other
// block is read or overwritten.
TEST_F(HostileEditorTest, BusyBlockNameIsWaitedFor) {
  const DWORD holdMs = 700;
  const DWORD protections[] = {PAGE_READWRITE, PAGE_READONLY};
  const DWORD sizes[] = {1, 4096, 1 << 20};
  for (DWORD protection : protections) {
    for (DWORD size : sizes) {
      SCOPED_TRACE(testing::Message() << "protection " << protection << ", size " << size);
      SetStubConfig(editor, config);
      TakeStubRecords(editor);
      for (bool feed : {false, true}) {
        SCOPED_TRACE(feed ? "feed" : "fetch");
        HANDLE held = HoldBlockName(StubMainWindow(editor), protection, size);
        ASSERT_NE(held, nullptr);
        std::thread release([held, holdMs] {
          Sleep(holdMs);
          CloseHandle(held);
        });
        const DWORD started = GetTickCount();
        const RunResult r = feed ? Feed("new text") : Fetch();
        const DWORD took = GetTickCount() - started;
        release.join();
        ExpectOrderlyEnd(r);
        EXPECT_EQ(r.exitCode, 0u);
        EXPECT_EQ(r.out, feed ? "" : "hello");
        EXPECT_GE(took, holdMs - 100) << "the tool did not wait for the block";
      }
      EXPECT_EQ(GetStubConfig(editor).text, "new text");
      for (const StubRecord &record : TakeStubRecords(editor)) {
        if (record.message == EDM_PUTTEXT) {
          EXPECT_EQ(record.received, "new text");
        }
      }
    }
  }
}

// A holder that never lets go: each transfer gives up after its 10 seconds,
// with nothing printed or delivered and the editor's text intact.
TEST_F(HostileEditorTest, BlockNameHeldForGoodIsGivenUp) {
  HANDLE held = HoldBlockName(StubMainWindow(editor), PAGE_READWRITE, 4096);
  ASSERT_NE(held, nullptr);
  TakeStubRecords(editor);
  for (bool feed : {false, true}) {
    SCOPED_TRACE(feed ? "feed" : "fetch");
    const DWORD started = GetTickCount();
    const RunResult r = feed ? Feed("new text") : Fetch();
    const DWORD took = GetTickCount() - started;
    ExpectOrderlyEnd(r);
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_EQ(r.out, "");
    // A fetch makes two transfers (modes 1 and 0), a feed one.
    EXPECT_GE(took, feed ? 9900u : 19800u);
    EXPECT_LT(took, feed ? 20000u : 40000u);
  }
  for (const StubRecord &record : TakeStubRecords(editor)) {
    EXPECT_NE(record.message, static_cast<UINT>(EDM_PUTTEXT));
    EXPECT_NE(record.message, static_cast<UINT>(EDM_GETTEXT));
  }
  EXPECT_EQ(GetStubConfig(editor).text, "hello");
  CloseHandle(held);
  // Once the block is released the same tools work again.
  EXPECT_EQ(Fetch().out, "hello");
}

// Two tools on one window use one block name and so take turns. The editor
// takes its time over each transfer and answers the other tool's questions
// meanwhile, so the second tool always finds the first one's block.

// A fetch and a feed at once: the fetch prints the editor's text, the feed
// delivers its input.
TEST_F(HostileEditorTest, FetchAndFeedAtOnceTakeTurns) {
  const std::string fed = MakeText(200000, 7);
  config.text = fed;
  config.selStart = 0;
  config.selEnd = fed.size();
  config.putModeAnswer = -1;  // mode 0: replace the whole text, so it stays `fed`
  config.transferDelayMs = 500;
  SetStubConfig(editor, config);
  TakeStubRecords(editor);

  for (int round = 0; round < 4; ++round) {
    SCOPED_TRACE(round);
    RunResult fetchResult, feedResult;
    std::thread fetcher([&] { fetchResult = Fetch(); });
    std::thread feeder([&] { feedResult = Feed(fed); });
    fetcher.join();
    feeder.join();
    ExpectTextOrNothing(fetchResult, fed);
    EXPECT_TRUE(fetchResult.out == fed) << fetchResult.out.size() << " bytes";
    ExpectOrderlyEnd(feedResult);
    EXPECT_EQ(feedResult.exitCode, 0u);
    int puts = 0;
    for (const StubRecord &record : TakeStubRecords(editor)) {
      if (record.message != EDM_PUTTEXT) continue;
      ++puts;
      EXPECT_TRUE(record.received == fed);
    }
    EXPECT_EQ(puts, 1);
  }
  EXPECT_EQ(GetStubConfig(editor).text, fed);
}

// Two feeds at once: both texts arrive, one after the other.
TEST_F(HostileEditorTest, TwoFeedsAtOnceBothArrive) {
  const std::string first = MakeText(100000, 1), second = MakeText(100000, 2);
  config.text.clear();
  config.selStart = config.selEnd = 0;
  config.putModeAnswer = 0;  // mode 1: replace the (empty) selection, so the texts add up
  config.transferDelayMs = 500;

  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    SetStubConfig(editor, config);
    TakeStubRecords(editor);
    RunResult a, b;
    std::thread one([&] { a = Feed(first); });
    std::thread two([&] { b = Feed(second); });
    one.join();
    two.join();
    for (const RunResult *r : {&a, &b}) {
      ExpectOrderlyEnd(*r);
      EXPECT_EQ(r->exitCode, 0u);
      EXPECT_EQ(r->out, "");
    }
    std::vector<std::string> received;
    for (const StubRecord &record : TakeStubRecords(editor))
      if (record.message == EDM_PUTTEXT) received.push_back(record.received);
    ASSERT_EQ(received.size(), 2u) << "only one text arrived";
    EXPECT_TRUE((received[0] == first && received[1] == second) ||
                (received[0] == second && received[1] == first));
    const std::string text = GetStubConfig(editor).text;
    EXPECT_TRUE(text == first + second || text == second + first) << text.size() << " bytes";
  }
}

}  // namespace
