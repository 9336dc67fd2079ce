// nvfetch against the stand-in editor: the option grammar, the window-handle
// error, both transfer modes, the block the editor sees, runs without a
// console, standard output that fails, editors that fill the block to its end
// or name no editing window, and a large text.
#include <gtest/gtest.h>

#include <vector>

#include "editor_link.h"
#include "harness.h"
#include "messages.h"
#include "stub_editor.h"
#include "text_block.h"

namespace {

const std::string kWindowHandleError = std::string(MSG_WINDOW_HANDLE_ERROR) + "\r\n";

/// Equal bytes, or where the two first differ; never prints megabytes.
testing::AssertionResult SameBytes(const std::string &got, const std::string &want) {
  if (got == want) return testing::AssertionSuccess();
  size_t at = 0;
  while (at < got.size() && at < want.size() && got[at] == want[at]) ++at;
  return testing::AssertionFailure() << "got " << got.size() << " bytes, want " << want.size()
                                     << "; first difference at offset " << at;
}

/// A window of `className` made by this process; the class is registered
/// here unless it exists already (a system class such as STATIC).
HWND MakeWindow(const char *className) {
  WNDCLASSA wc = {};
  if (!GetClassInfoA(nullptr, className, &wc) &&
      !GetClassInfoA(GetModuleHandleA(nullptr), className, &wc)) {
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = className;
    RegisterClassA(&wc);
  }
  return CreateWindowExA(0, className, "", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

std::string Decimal(HWND window) { return std::to_string(WindowValue(window)); }

class FetchTest : public testing::Test {
 protected:
  void SetUp() override { editor = StartStubEditor(config); }
  void TearDown() override { StopStubEditor(editor); }

  /// The editor main window in decimal, as "/w=" takes it.
  std::string Handle() const {
    const std::string h = Decimal(StubMainWindow(editor));
    // Wine puts a reuse count in the high word of a window handle, so a
    // long-lived wineserver hands out ever larger ones.
    EXPECT_LE(h.size(), 8u) << "window handle " << h
                            << " has more than eight digits; restart wineserver";
    return h;
  }

  void Apply() { SetStubConfig(editor, config); }

  void Configure(const std::string &text, size_t selStart, size_t selEnd) {
    config.text = text;
    config.selStart = selStart;
    config.selEnd = selEnd;
    Apply();
  }

  RunResult Fetch(const std::string &args, OutputKind out = OUTPUT_PIPE, bool console = true) {
    RunPlan plan;
    plan.exe = ToolPath("nvfetch");
    plan.args = args;
    plan.out = out;
    plan.console = console;
    // A run takes well under a second; a tool that sent a message to one of
    // the test's own windows, which nobody serves, would wait for ever.
    plan.timeoutMs = 20000;
    return RunProgram(plan);
  }

  /// The transfer modes of the EDM_GETTEXT messages since the last call;
  /// fails on any message a fetch has no business sending.
  std::vector<WPARAM> ModesAsked() {
    std::vector<WPARAM> modes;
    for (const StubRecord &record : TakeStubRecords(editor)) {
      if (record.message == EDM_GETTEXT) modes.push_back(record.wParam);
      EXPECT_TRUE(record.message == EDM_GETTEXT || record.message == EDM_GETEDITWINDOW)
          << "message 0x" << std::hex << record.message;
    }
    return modes;
  }

  /// The error and nothing else, and not a word to the editor.
  void ExpectWindowHandleError(const RunResult &r) {
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, kWindowHandleError);
    EXPECT_TRUE(TakeStubRecords(editor).empty());
  }

  StubEditorConfig config;
  StubEditor *editor = nullptr;
};

// ---------------------------------------------------------------------------
// The "/w=" option, with the editor's real handle built into each command line.

struct OptionCase {
  const char *name;
  size_t room;  // the case can be written only for handles of at most this many digits
  std::string (*args)(const std::string &h);
  bool namesEditor;
};

const OptionCase kOptionCases[] = {
    {"UpperCaseW", 8, [](const std::string &h) { return "/W=" + h; }, true},
    {"LeadingZerosWithinEightDigits", 7,
     [](const std::string &h) { return "/w=" + std::string(8 - h.size(), '0') + h; }, true},
    {"DigitPastTheEighthByteIgnored", 8,
     [](const std::string &h) { return "/w=" + std::string(8 - h.size(), '0') + h + "9"; }, true},
    {"LetterBetweenDigitsDropped", 7,
     [](const std::string &h) { return "/w=" + h.substr(0, 1) + "x" + h.substr(1); }, true},
    {"SignDropped", 7, [](const std::string &h) { return "/w=-" + h; }, true},
    {"WholeOptionQuoted", 8, [](const std::string &h) { return "\"/w=" + h + "\""; }, true},
    {"HandleQuoted", 8, [](const std::string &h) { return "/w=\"" + h + "\""; }, true},
    // The quotes leave the argument before its bytes are counted.
    {"QuotePairInsideTheHandle", 8,
     [](const std::string &h) { return "/w=" + h.substr(0, 2) + "\"\"" + h.substr(2); }, true},
    {"LoneQuotePairBeforeIt", 8, [](const std::string &h) { return "\"\" /w=" + h; }, true},
    {"AmongOtherArgumentsAndTabs", 8,
     [](const std::string &h) { return "first\t/w=" + h + "  last"; }, true},
    {"BarePrefixPassedOver", 8, [](const std::string &h) { return "/w= /w=" + h; }, true},
    {"LetterPushesTheLastDigitPastTheEighthByte", 8,
     [](const std::string &h) { return "/w=" + std::string(9 - h.size(), 'x') + h; }, false},
    {"FirstQualifyingArgumentEndsTheSearch", 8,
     [](const std::string &h) { return "/w=abc /w=" + h; }, false},
    {"QuotedSpaceJoinsTwoWordsIntoOne", 8,
     [](const std::string &h) { return "\"/w=abc /w=" + h + "\""; }, false},
    {"PrefixMustBeginTheArgument", 8, [](const std::string &h) { return "x/w=" + h; }, false},
    {"ColonIsNoPrefix", 8, [](const std::string &h) { return "/w:" + h; }, false},
};

void PrintTo(const OptionCase &c, std::ostream *os) { *os << c.name; }

class FetchOptionTest : public FetchTest, public testing::WithParamInterface<OptionCase> {};

TEST_P(FetchOptionTest, FindsTheEditorOrReportsTheError) {
  const OptionCase &c = GetParam();
  const std::string h = Handle();
  if (h.size() > c.room) GTEST_SKIP() << "handle " << h << " leaves no room for this case";
  Configure("xxabcyy", 2, 5);
  const std::string args = c.args(h);
  SCOPED_TRACE(args);
  RunResult r = Fetch(args);
  if (c.namesEditor) {
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_EQ(r.out, "abc");
    EXPECT_EQ(r.err, "");
  } else {
    ExpectWindowHandleError(r);
  }
}

INSTANTIATE_TEST_SUITE_P(Fetch, FetchOptionTest, testing::ValuesIn(kOptionCases),
                         [](const testing::TestParamInfo<OptionCase> &info) {
                           return std::string(info.param.name);
                         });

// ---------------------------------------------------------------------------
// The window-handle error: exactly its 100 bytes on standard error.

TEST_F(FetchTest, WindowHandleErrorForAnythingButAnEditorMainWindow) {
  Configure("text", 0, 4);
  RegisterStubClasses();
  HWND nearMiss = MakeWindow("TNorvaleMainFor");
  HWND longer = MakeWindow("TNorvaleMainFormX");
  HWND stat = MakeWindow("STATIC");
  HWND gone = CreateWindowExA(0, EDITOR_CLASS_NAME, "", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_TRUE(nearMiss && longer && stat && gone);
  DestroyWindow(gone);

  const struct {
    const char *what;
    std::string args;
  } cases[] = {
      {"no option", ""},
      {"bare prefix", "/w="},
      {"zero", "/w=0"},
      {"eight zeros", "/w=00000000"},
      {"no digits", "/w=abc"},
      {"class one letter short", "/w=" + Decimal(nearMiss)},
      {"class one letter long", "/w=" + Decimal(longer)},
      {"system class", "/w=" + Decimal(stat)},
      {"editor's own editing window", "/w=" + Decimal(StubEditWindow(editor))},
      {"destroyed editor-class window", "/w=" + Decimal(gone)},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    ExpectWindowHandleError(Fetch(c.args));
  }
  DestroyWindow(nearMiss);
  DestroyWindow(longer);
  DestroyWindow(stat);
}

// ---------------------------------------------------------------------------
// Transfer modes: the selection first, the whole text only when it is empty.

struct TransferCase {
  const char *name;
  void (*setup)(StubEditorConfig &config);
  std::string out;
  std::vector<WPARAM> modes;  // EDM_GETTEXT transfer modes, in order
};

/// Every byte but NUL, and the three kinds of line end.
std::string AllBytes() {
  std::string text;
  for (int b = 1; b < 256; ++b) text += static_cast<char>(b);
  return text + "a\rb\nc\r\nd\n\r";
}

const TransferCase kTransferCases[] = {
    {"SelectionOnly",
     [](StubEditorConfig &c) {
       c.text = "xxabcyy";
       c.selStart = 2;
       c.selEnd = 5;
     },
     "abc", {1}},
    {"EmptySelectionGivesWholeText",
     [](StubEditorConfig &c) { c.text = "x\r\ny\r\n"; }, "x\r\ny\r\n", {1, 0}},
    {"ZeroLowByteIsNothingDelivered",
     [](StubEditorConfig &c) {
       c.text = "whole";
       c.selEnd = 2;
       c.get[1].answer = 0x100;  // the selection is in the block, but the answer disowns it
     },
     "whole", {1, 0}},
    {"NonZeroLowByteIsDelivered",
     [](StubEditorConfig &c) {
       c.text = "whole";
       c.selEnd = 2;
       c.get[1].answer = 0x201;
     },
     "wh", {1}},
    {"DeliveredButNothingWritten",
     [](StubEditorConfig &c) {
       c.text = "whole";
       c.selEnd = 2;
       c.get[0].delivery = c.get[1].delivery = DELIVER_NOTHING;
     },
     "", {1, 0}},
    {"SelectionCutAtNul",
     [](StubEditorConfig &c) {
       c.text = "whole";
       c.get[1].delivery = DELIVER_RAW;
       c.get[1].raw = std::string("ab\0cd", 5);
     },
     "ab", {1}},
    {"LeadingNulInSelectionAsksForWholeText",
     [](StubEditorConfig &c) {
       c.text = "whole";
       c.get[1].delivery = DELIVER_RAW;
       c.get[1].raw = std::string("\0cd", 3);
     },
     "whole", {1, 0}},
    {"WholeTextCutAtNul",
     [](StubEditorConfig &c) {
       c.text = "whole";
       c.get[0].delivery = DELIVER_RAW;
       c.get[0].raw = std::string("xy\0z", 4);
     },
     "xy", {1, 0}},
    {"HighBytesAndLineEndsAsSelection",
     [](StubEditorConfig &c) {
       c.text = "<" + AllBytes() + ">";
       c.selStart = 1;
       c.selEnd = c.text.size() - 1;
     },
     AllBytes(), {1}},
    {"HighBytesAndLineEndsAsWholeText", [](StubEditorConfig &c) { c.text = AllBytes(); },
     AllBytes(), {1, 0}},
};

void PrintTo(const TransferCase &c, std::ostream *os) { *os << c.name; }

class FetchTransferTest : public FetchTest, public testing::WithParamInterface<TransferCase> {};

TEST_P(FetchTransferTest, PrintsWhatTheEditorDelivers) {
  GetParam().setup(config);
  Apply();
  RunResult r = Fetch("/w=" + Handle());
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_TRUE(SameBytes(r.out, GetParam().out));
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(ModesAsked(), GetParam().modes);
}

INSTANTIATE_TEST_SUITE_P(Fetch, FetchTransferTest, testing::ValuesIn(kTransferCases),
                         [](const testing::TestParamInfo<TransferCase> &info) {
                           return std::string(info.param.name);
                         });

// Nothing to print: standard output is never opened, so even a missing or
// broken one ends the run in order.
TEST_F(FetchTest, EmptyTextLeavesStandardOutputAlone) {
  Configure("", 0, 0);
  const OutputKind outs[] = {OUTPUT_PIPE, OUTPUT_NONE, OUTPUT_BROKEN_PIPE};
  for (OutputKind out : outs) {
    SCOPED_TRACE(out);
    RunResult r = Fetch("/w=" + Handle(), out);
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(ModesAsked(), (std::vector<WPARAM>{1, 0}));
  }
}

// The editor finds the block by the main window's handle, and the block is
// sized from the whole text even when only the selection is asked for.
TEST_F(FetchTest, BlockIsNamedForTheMainWindowAndSizedForTheWholeText) {
  Configure(std::string(5000, 'q'), 0, 0);
  RunResult r = Fetch("/w=" + Handle());
  EXPECT_EQ(r.out, std::string(5000, 'q'));
  std::vector<StubRecord> gets;
  for (const StubRecord &record : TakeStubRecords(editor))
    if (record.message == EDM_GETTEXT) gets.push_back(record);
  ASSERT_EQ(gets.size(), 2u);
  for (const StubRecord &record : gets) {
    EXPECT_EQ(record.blockName, "Norvale_Map_" + Handle());
    EXPECT_TRUE(record.blockOpened);
    EXPECT_EQ(record.lParam, 0);
    EXPECT_GE(record.viewSize, 5001u);  // views are page-rounded: 8192 here
  }
}

// ---------------------------------------------------------------------------
// Without a console: the error report cannot be made, which is an unhandled
// failure; a text still prints, as nothing needs the console then.

TEST_F(FetchTest, WithoutConsoleTheErrorBecomesAFailureReport) {
  RunResult r = Fetch("/w=abc", OUTPUT_PIPE, false);
  EXPECT_EQ(r.exitCode, 1u);
  EXPECT_EQ(r.err, "");
  const size_t lf = r.out.find('\n');
  ASSERT_NE(lf, std::string::npos) << r.out;
  const std::string first = r.out.substr(0, lf + 1);
  const std::string second = r.out.substr(lf + 1);
  EXPECT_NE(first.find("nvfetch.exe"), std::string::npos) << first;
  EXPECT_EQ(first.find('\r'), std::string::npos) << "the first line ends with LF alone";
  ASSERT_GE(second.size(), 3u) << r.out;
  EXPECT_EQ(second.rfind("System error ", 0), 0u) << "a system error keeps the system's text";
  EXPECT_EQ(second.find('\n'), second.size() - 1) << "one more line, ended by CR LF";
  EXPECT_EQ(second.substr(second.size() - 2), "\r\n");
  EXPECT_TRUE(TakeStubRecords(editor).empty());
}

TEST_F(FetchTest, WithoutConsoleTheTextStillPrints) {
  Configure("xxabcyy", 2, 5);
  RunResult r = Fetch("/w=" + Handle(), OUTPUT_PIPE, false);
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_EQ(r.out, "abc");
  EXPECT_EQ(r.err, "");
}

// ---------------------------------------------------------------------------
// Standard output that cannot take the text: the run must not claim success.

/// True when the device behind OUTPUT_FULL_DISK opens and refuses a write, so
/// that a case on it tests a failed write and not a failed open.
bool FullDiskRefusesWrites() {
  HANDLE full = CreateFileA("Z:\\dev\\full", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (full == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool refused = !WriteFile(full, "x", 1, &written, nullptr);
  CloseHandle(full);
  return refused;
}

TEST_F(FetchTest, FailedWriteToStandardOutputEndsWithStatusOne) {
  ASSERT_TRUE(FullDiskRefusesWrites());
  const struct {
    const char *what;
    OutputKind out;
    size_t length;
  } cases[] = {
      {"broken pipe, short text", OUTPUT_BROKEN_PIPE, 3},
      {"broken pipe, long text", OUTPUT_BROKEN_PIPE, 1 << 20},
      {"no standard output", OUTPUT_NONE, 3},
      {"full disk, short text", OUTPUT_FULL_DISK, 3},
      {"full disk, long text", OUTPUT_FULL_DISK, 1 << 20},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    const std::string text = MakeText(c.length, 3);
    Configure(text, 0, text.size());
    RunResult r = Fetch("/w=" + Handle(), c.out);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 1u) << std::hex << "exit code 0x" << r.exitCode;
    EXPECT_EQ(r.err, "");
  }
}

// ---------------------------------------------------------------------------
// Editors whose block cannot be trusted. Whatever they do, the run ends with
// status 0 (never an exception code), and prints the right text or none.

// The block is filled to its last byte without a NUL, also where its last
// byte is the last of a page, so a read that ran on would fault.
TEST_F(FetchTest, BlockFilledWithoutNul) {
  const size_t lengths[] = {10, 4095, 8191};
  for (size_t length : lengths) {
    SCOPED_TRACE(length);
    config.get[0].delivery = config.get[1].delivery = DELIVER_FILL;
    Configure(std::string(length, 't'), 0, 0);
    RunResult r = Fetch("/w=" + Handle());
    EXPECT_EQ(r.exitCode, 0u) << std::hex << "exit code 0x" << r.exitCode;
    EXPECT_TRUE(r.out.empty() || r.out == std::string(length + 1, 'X'))
        << r.out.size() << " bytes";
    EXPECT_EQ(r.err, "");
  }
}

// The editing window named is 0 or gone: its length reads as 0, so the block
// has one byte. The stand-in cannot see that and writes its text on into the
// rest of the page; the tool must not read beyond its one byte.
TEST_F(FetchTest, EditingWindowMissing) {
  HWND gone = MakeWindow("STATIC");
  DestroyWindow(gone);
  const uint32_t values[] = {0, WindowValue(gone)};
  for (uint32_t value : values) {
    SCOPED_TRACE(value);
    config.editWindowOverride = true;
    config.editWindowValue = value;
    Configure("abc", 0, 3);
    RunResult r = Fetch("/w=" + Handle());
    EXPECT_EQ(r.exitCode, 0u) << std::hex << "exit code 0x" << r.exitCode;
    EXPECT_TRUE(r.out.empty() || r.out == "a") << r.out;
    EXPECT_EQ(r.err, "");
  }
}

// ---------------------------------------------------------------------------
// A large text, byte for byte, to a pipe and to a file.

TEST_F(FetchTest, SixteenMebibytesByteExact) {
  const std::string text = MakeText(16u << 20, 11);
  Configure(text, 0, text.size());
  const OutputKind outs[] = {OUTPUT_PIPE, OUTPUT_FILE};
  for (OutputKind out : outs) {
    SCOPED_TRACE(out);
    RunResult r = Fetch("/w=" + Handle(), out);
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_TRUE(SameBytes(r.out, text));
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(ModesAsked(), (std::vector<WPARAM>{1}));
  }
}

}  // namespace
