// nvfeed against the stand-in editor: when it delivers, what the editor gets
// (block, size, transfer mode), what kinds of standard input it takes, how it
// reads them in NT mode and in plain mode, and that it waits without burning
// processor time.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "editor_link.h"
#include "harness.h"
#include "messages.h"
#include "stub_editor.h"

namespace {

const std::string kWindowHandleError = std::string(MSG_WINDOW_HANDLE_ERROR) + "\r\n";
const std::string kInputTypeError = std::string(MSG_INPUT_TYPE_ERROR) + "\r\n";
const std::string kMarker = WAITING_MARKER;

/// What a disk file gives the tool: 255-byte reads from its start, each cut
/// at its first NUL.
std::string CutReadsAtNul(const std::string &bytes) {
  std::string text;
  for (size_t at = 0; at < bytes.size(); at += 255) {
    const std::string read = bytes.substr(at, 255);
    text += read.substr(0, read.find('\0'));
  }
  return text;
}

SECURITY_ATTRIBUTES Inheritable() {
  SECURITY_ATTRIBUTES sa = {};
  sa.nLength = sizeof sa;
  sa.bInheritHandle = TRUE;
  return sa;
}

/// A message-mode named pipe: the client end (inheritable) reads one message
/// per read, and a read into a buffer smaller than the message fails with
/// ERROR_MORE_DATA part way through the input.
bool MakeMessagePipe(HANDLE &server, HANDLE &client) {
  static int serial = 0;
  const std::string name = "\\\\.\\pipe\\nvfeed-e2e-" + std::to_string(GetCurrentProcessId()) +
                           "-" + std::to_string(++serial);
  server = CreateNamedPipeA(name.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_MESSAGE | PIPE_WAIT, 1,
                            1 << 20, 1 << 20, 0, nullptr);
  if (server == INVALID_HANDLE_VALUE) return false;
  SECURITY_ATTRIBUTES sa = Inheritable();
  client = CreateFileA(name.c_str(), GENERIC_READ | FILE_WRITE_ATTRIBUTES, 0, &sa, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
  if (client == INVALID_HANDLE_VALUE) return false;
  DWORD mode = PIPE_READMODE_MESSAGE;
  return SetNamedPipeHandleState(client, &mode, nullptr, nullptr) != 0;
}

/// The whole of a small file, read through Wine's Z: drive (used for /proc).
std::string ReadSmallFile(const std::string &path) {
  std::string bytes;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  char buffer[4096];
  DWORD n = 0;
  while (ReadFile(file, buffer, sizeof buffer, &n, nullptr) && n > 0) bytes.append(buffer, n);
  CloseHandle(file);
  return bytes;
}

/// The Linux process id of the Wine process whose command line holds
/// `marker`, or 0. Wine shows a program's Windows command line there.
int FindLinuxProcess(const std::string &marker) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA("Z:\\proc\\*", &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  int pid = 0;
  do {
    const int candidate = atoi(found.cFileName);
    if (candidate <= 0) continue;
    const std::string cmdline =
        ReadSmallFile("Z:\\proc\\" + std::to_string(candidate) + "\\cmdline");
    if (cmdline.find(marker) != std::string::npos) pid = candidate;
  } while (pid == 0 && FindNextFileA(search, &found));
  FindClose(search);
  return pid;
}

/// User plus system processor time of a Linux process, in seconds; -1 when it
/// cannot be read. GetProcessTimes does not see another process under Wine.
double LinuxCpuSeconds(int pid) {
  const std::string stat = ReadSmallFile("Z:\\proc\\" + std::to_string(pid) + "\\stat");
  const size_t close = stat.rfind(')');
  if (close == std::string::npos) return -1;
  // After "pid (name)": field 3 is the state; utime and stime are fields 14 and 15.
  unsigned long long utime = 0, stime = 0;
  if (sscanf(stat.c_str() + close + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu",
             &utime, &stime) != 2)
    return -1;
  return static_cast<double>(utime + stime) / 100.0;  // USER_HZ
}

/// Which program a case runs: nvfeed itself (NT mode under Wine), or a copy
/// that Wine runs as an old Windows version, which puts it in plain mode.
enum Platform { NT, WIN98, WIN95 };

const char *PlatformName(Platform p) { return p == NT ? "nt" : p == WIN98 ? "win98" : "win95"; }

const char *const kAppDefaults = "Software\\Wine\\AppDefaults\\";

/// The copy's file name, one per test process, as runs side by side share the
/// registry.
std::string CopyName(Platform p) {
  return std::string("nvfeed_") + PlatformName(p) + "_" + std::to_string(GetCurrentProcessId()) +
         ".exe";
}

class FeedTest : public testing::Test {
 protected:
  // Wine takes the Windows version it shows a program from the registry key
  // named after the program's file name, so the copies get keys of their own.
  static void SetUpTestSuite() {
    for (Platform p : {WIN98, WIN95}) {
      CopyFileA(ToolPath("nvfeed").c_str(), (ScratchDir() + "\\" + CopyName(p)).c_str(), FALSE);
      HKEY key;
      if (RegCreateKeyExA(HKEY_CURRENT_USER, (kAppDefaults + CopyName(p)).c_str(), 0, nullptr, 0,
                          KEY_SET_VALUE, nullptr, &key, nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE *>(PlatformName(p)),
                       static_cast<DWORD>(strlen(PlatformName(p)) + 1));
        RegCloseKey(key);
      }
    }
  }
  static void TearDownTestSuite() {
    for (Platform p : {WIN98, WIN95}) {
      RegDeleteKeyA(HKEY_CURRENT_USER, (kAppDefaults + CopyName(p)).c_str());
      DeleteFileA((ScratchDir() + "\\" + CopyName(p)).c_str());
    }
  }

  void SetUp() override {
    config.title = kMarker + " memo.txt";
    editor = StartStubEditor(config);
  }
  void TearDown() override { StopStubEditor(editor); }

  uint32_t HandleValue() const { return WindowValue(StubMainWindow(editor)); }
  std::string Option() const { return "/w=" + std::to_string(HandleValue()); }

  void SetTitle(const std::string &title) {
    config.title = title;
    SetStubConfig(editor, config);
  }

  RunPlan Plan(InputKind input, const std::string &bytes = "", Platform platform = NT) const {
    RunPlan plan;
    plan.exe = platform == NT ? ToolPath("nvfeed") : ScratchDir() + "\\" + CopyName(platform);
    plan.args = Option();
    plan.input = input;
    plan.inputBytes = bytes;
    plan.timeoutMs = 30000;
    return plan;
  }

  /// The run ended quietly: exit 0, nothing on either output, no time-out.
  static void ExpectQuietEnd(const RunResult &r) {
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
  }

  /// The editor was asked for its put mode once, then got `text` in one
  /// block of the right name and size, with transfer mode `mode`.
  void ExpectDelivered(const std::string &text, WPARAM mode = 1) {
    const std::vector<StubRecord> records = TakeStubRecords(editor);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].message, static_cast<UINT>(EDM_QUERYPUTMODE));
    const StubRecord &put = records[1];
    EXPECT_EQ(put.message, static_cast<UINT>(EDM_PUTTEXT));
    EXPECT_EQ(put.wParam, mode);
    EXPECT_EQ(static_cast<size_t>(put.lParam), text.size() + 1);
    EXPECT_EQ(put.blockName, "Norvale_Map_" + std::to_string(HandleValue()));
    EXPECT_TRUE(put.blockOpened);
    EXPECT_EQ(put.received.size(), text.size());
    EXPECT_TRUE(put.received == text) << "the delivered text differs";
    EXPECT_TRUE(put.blockBytes == text + std::string(1, '\0')) << "the block is not text + NUL";
  }

  void ExpectNothingSent() { EXPECT_EQ(TakeStubRecords(editor).size(), 0u); }

  StubEditorConfig config;
  StubEditor *editor = nullptr;
};

TEST_F(FeedTest, DeliversOnlyWhenTheTitleBeginsWithTheMarker) {
  const struct {
    const char *what;
    std::string title;
    bool delivered;
  } cases[] = {
      {"marker then a name", kMarker + " memo.txt", true},
      {"marker alone", kMarker, true},
      {"marker then 300 bytes (cut at 259)", kMarker + std::string(300, 'x'), true},
      {"marker later in the title", "memo.txt " + kMarker, false},
      {"space before the marker", " " + kMarker, false},
      {"first three bytes of the marker", kMarker.substr(0, 3), false},
      {"marker without its last byte", kMarker.substr(0, 7), false},
      {"empty title", "", false},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    SetTitle(c.title);
    const RunResult r = RunProgram(Plan(INPUT_PIPE, "hello\r\nworld"));
    ExpectQuietEnd(r);
    if (c.delivered)
      ExpectDelivered("hello\r\nworld");
    else
      ExpectNothingSent();
  }
}

TEST_F(FeedTest, DeliversTheInputUnchanged) {
  const struct {
    const char *what;
    std::string input;
  } texts[] = {
      {"CR LF alone", "\r\n"},
      {"no line end", "ab"},
      {"LF-only lines", "a\nb\n"},
      {"lone CR at the end", "ab\r"},
      {"CR LF lines", "ab\r\ncd\r\n"},
      {"cp932 and high bytes", "\x83\x65\x83\x58\x83\x67\xff\x80\r\n"},
      {"255 bytes", std::string(255, 'q')},
  };
  for (InputKind kind : {INPUT_PIPE, INPUT_FILE}) {
    for (const auto &t : texts) {
      SCOPED_TRACE(std::string(t.what) + (kind == INPUT_PIPE ? " through a pipe" : " from a file"));
      ExpectQuietEnd(RunProgram(Plan(kind, t.input)));
      ExpectDelivered(t.input);
    }
  }
}

TEST_F(FeedTest, EmptyInputAsksTheEditorNothing) {
  for (InputKind kind : {INPUT_PIPE, INPUT_FILE}) {
    SCOPED_TRACE(kind == INPUT_PIPE ? "pipe" : "file");
    ExpectQuietEnd(RunProgram(Plan(kind, "")));
    ExpectNothingSent();
  }
  // Input of NUL bytes alone captures as the empty text too.
  ExpectQuietEnd(RunProgram(Plan(INPUT_PIPE, std::string(3, '\0'))));
  ExpectNothingSent();
}

TEST_F(FeedTest, PutModeFollowsTheSignOfTheAnswer) {
  const struct {
    int32_t answer;
    WPARAM mode;
  } cases[] = {{-1, 0}, {INT_MIN, 0}, {0, 1}, {1, 1}, {INT_MAX, 1}};
  for (const auto &c : cases) {
    SCOPED_TRACE("answer " + std::to_string(c.answer));
    config.putModeAnswer = c.answer;
    SetStubConfig(editor, config);
    ExpectQuietEnd(RunProgram(Plan(INPUT_PIPE, "text")));
    ExpectDelivered("text", c.mode);
  }
}

TEST_F(FeedTest, EachReadIsCutAtItsFirstNul) {
  // One write arrives as one read: everything from the NUL on is dropped.
  ExpectQuietEnd(RunProgram(Plan(INPUT_PIPE, std::string("ab\0cd\r\n", 7))));
  ExpectDelivered("ab");

  // Two writes a while apart: each read is cut on its own, so the second
  // piece survives; should the pipe hand both over in one read, the NUL cuts
  // it all.
  RunPlan plan = Plan(INPUT_PIPE);
  plan.inputPieces = {std::string("ab\0xy", 5), "cd\r\n"};
  plan.pauseMs = 400;
  ExpectQuietEnd(RunProgram(plan));
  const std::vector<StubRecord> records = TakeStubRecords(editor);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_TRUE(records[1].received == "abcd\r\n" || records[1].received == "ab")
      << records[1].received;
  EXPECT_EQ(static_cast<size_t>(records[1].lParam), records[1].received.size() + 1);

  // A disk file is read from its start, so the cut is known exactly. NULs sit
  // at the start, inside and at the end of 255-byte reads, and beyond 64 KiB.
  std::string file = MakeText(70000, 7);
  for (size_t at : {10u, 254u, 255u, 600u, 601u, 65546u, 65791u, 69999u}) file[at] = '\0';
  ExpectQuietEnd(RunProgram(Plan(INPUT_FILE, file)));
  ExpectDelivered(CutReadsAtNul(file));
}

TEST_F(FeedTest, SixteenMebibytesArriveByteExact) {
  const std::string text = MakeText(16u << 20, 16);
  for (InputKind kind : {INPUT_PIPE, INPUT_FILE}) {
    SCOPED_TRACE(kind == INPUT_PIPE ? "pipe" : "file");
    ExpectQuietEnd(RunProgram(Plan(kind, text)));
    ExpectDelivered(text);
  }
}

// The title is read once, after the input has ended: an editor that begins
// waiting while the input still flows gets the text, and one that stops
// waiting before the end gets nothing.
TEST_F(FeedTest, TitleCountsOnlyOnceTheInputHasEnded) {
  const struct {
    const char *what;
    std::string before, after;
    bool delivered;
  } cases[] = {
      {"begins waiting", "memo.txt", kMarker + " memo.txt", true},
      {"stops waiting", kMarker + " memo.txt", "memo.txt", false},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    SetTitle(c.before);
    RunPlan plan = Plan(INPUT_PIPE);
    plan.inputPieces = {"first\r\n", "second"};
    plan.pauseMs = 1500;
    std::thread change([this, &c] {
      Sleep(750);
      SetTitle(c.after);
    });
    const RunResult r = RunProgram(plan);
    change.join();
    ExpectQuietEnd(r);
    if (c.delivered)
      ExpectDelivered("first\r\nsecond");
    else
      ExpectNothingSent();
  }
}

TEST_F(FeedTest, EditorNotWaitingStillHasTheInputReadToItsEnd) {
  SetTitle("memo.txt");
  const std::string text = MakeText(1u << 20, 3);
  const RunResult r = RunProgram(Plan(INPUT_PIPE, text));
  ExpectQuietEnd(r);
  EXPECT_EQ(r.inputWritten, text.size());
  ExpectNothingSent();
}

TEST_F(FeedTest, WrongWindowLeavesTheInputUnread) {
  const std::string other = std::to_string(WindowValue(StubEditWindow(editor)));
  const struct {
    const char *what;
    std::string args;
  } cases[] = {
      {"no option", ""},
      {"window 0", "/w=0"},
      {"a window of another class", "/w=" + other},
      {"an option without digits", "/w=abc " + Option()},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    // We keep both ends, so the bytes stay in the pipe unless the tool reads.
    HANDLE read = nullptr, write = nullptr;
    SECURITY_ATTRIBUTES sa = Inheritable();
    ASSERT_TRUE(CreatePipe(&read, &write, &sa, 0));
    DWORD n = 0;
    WriteFile(write, "hello", 5, &n, nullptr);
    RunPlan plan = Plan(INPUT_HANDLE);
    plan.inputHandle = read;
    plan.args = c.args;
    plan.timeoutMs = 10000;
    const RunResult r = RunProgram(plan);
    DWORD waiting = 0;
    PeekNamedPipe(read, nullptr, 0, nullptr, &waiting, nullptr);
    CloseHandle(read);
    CloseHandle(write);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, kWindowHandleError);
    EXPECT_EQ(r.err.size(), 100u);
    EXPECT_EQ(waiting, 5u);
    ExpectNothingSent();
  }
  // A writer of a large input sees the reader go without taking it all.
  RunPlan plan = Plan(INPUT_PIPE, MakeText(1u << 20, 5));
  plan.args = "";
  const RunResult r = RunProgram(plan);
  EXPECT_EQ(r.err, kWindowHandleError);
  EXPECT_LT(r.inputWritten, plan.inputBytes.size());
}

TEST_F(FeedTest, RefusesInputThatIsNeitherPipeNorFile) {
  const struct {
    const char *what;
    InputKind input;
  } cases[] = {
      {"console", INPUT_CONSOLE},
      {"NUL device", INPUT_NUL_DEVICE},
      {"no handle", INPUT_NONE},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    const RunResult r = RunProgram(Plan(c.input));
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, kInputTypeError);
    EXPECT_EQ(r.err.size(), 32u);
    ExpectNothingSent();
  }
}

TEST_F(FeedTest, SwitchAndWindowOptionInEitherOrder) {
  for (const std::string &args : {"/nt " + Option(), Option() + " /nt", "/NT " + Option(),
                                  "extra " + Option() + " more"}) {
    SCOPED_TRACE(args);
    RunPlan plan = Plan(INPUT_PIPE, "x\r\ny");
    plan.args = args;
    ExpectQuietEnd(RunProgram(plan));
    ExpectDelivered("x\r\ny");
  }
}

TEST_F(FeedTest, PlainModeDeliversFromPipeAndFile) {
  const std::string text = MakeText(300000, 98);
  for (Platform platform : {WIN98, WIN95}) {
    for (InputKind kind : {INPUT_PIPE, INPUT_FILE}) {
      SCOPED_TRACE(std::string(PlatformName(platform)) + (kind == INPUT_PIPE ? " pipe" : " file"));
      ExpectQuietEnd(RunProgram(Plan(kind, text, platform)));
      ExpectDelivered(text);
      ExpectQuietEnd(RunProgram(Plan(kind, "", platform)));
      ExpectNothingSent();
    }
  }
}

// Standard input of disk type whose every read fails: a file opened for
// writing only, a directory. A disk file ends with a read of 0 bytes, never
// with a failure, so its text was not obtained: the input-type error, in NT
// mode at once and in plain mode after its retries, and nothing is sent.
TEST_F(FeedTest, DiskFileWhoseReadsFailIsReported) {
  const std::string path = WriteScratchFile("write-only.txt", "never read\r\n");
  const std::string folder = ScratchDir() + "\\a-folder";
  CreateDirectoryA(folder.c_str(), nullptr);
  const struct {
    const char *what;
    const std::string &path;
    DWORD access, flags;
  } inputs[] = {
      {"a file opened for writing", path, GENERIC_WRITE, FILE_ATTRIBUTE_NORMAL},
      {"a folder", folder, GENERIC_READ, FILE_FLAG_BACKUP_SEMANTICS},
  };
  for (const auto &input : inputs) {
    for (Platform platform : {NT, WIN98}) {
      SCOPED_TRACE(std::string(input.what) + ", " + PlatformName(platform));
      SECURITY_ATTRIBUTES sa = Inheritable();
      HANDLE handle = CreateFileA(input.path.c_str(), input.access,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, OPEN_EXISTING,
                                  input.flags, nullptr);
      ASSERT_NE(handle, INVALID_HANDLE_VALUE);
      ASSERT_EQ(GetFileType(handle), static_cast<DWORD>(FILE_TYPE_DISK));
      RunPlan plan = Plan(INPUT_HANDLE, "", platform);
      plan.inputHandle = handle;
      plan.timeoutMs = 10000;
      const RunResult r = RunProgram(plan);
      CloseHandle(handle);
      EXPECT_FALSE(r.timedOut);
      EXPECT_EQ(r.exitCode, 0u);
      EXPECT_EQ(r.out, "");
      EXPECT_EQ(r.err, kInputTypeError);
      ExpectNothingSent();
    }
  }
  RemoveDirectoryA(folder.c_str());
  DeleteFileA(path.c_str());
}

// A message pipe whose second message is a little larger than one read: that
// read fails with ERROR_MORE_DATA part way through the input. NT mode ends
// there and delivers what came before; plain mode reads again and so also
// takes the rest of that message. (Wine turns a WriteFile of 0 bytes into no
// read at all, so this is what tells the two modes apart here.)
TEST_F(FeedTest, ReadFailingPartWayEndsNtModeOnly) {
  const std::string big = MakeText(70000, 9);
  for (Platform platform : {NT, WIN98, WIN95}) {
    SCOPED_TRACE(PlatformName(platform));
    HANDLE server = nullptr, client = nullptr;
    ASSERT_TRUE(MakeMessagePipe(server, client));
    std::thread writer([server, &big] {
      DWORD n = 0;
      WriteFile(server, "abc", 3, &n, nullptr);
      WriteFile(server, big.data(), static_cast<DWORD>(big.size()), &n, nullptr);
      FlushFileBuffers(server);  // until the reader has taken it all, or gone
      CloseHandle(server);
    });
    RunPlan plan = Plan(INPUT_HANDLE, "", platform);
    plan.inputHandle = client;
    plan.timeoutMs = 10000;
    const RunResult r = RunProgram(plan);
    CloseHandle(client);
    writer.join();
    ExpectQuietEnd(r);
    const std::vector<StubRecord> records = TakeStubRecords(editor);
    ASSERT_EQ(records.size(), 2u);
    const std::string &got = records[1].received;
    if (platform == NT) {
      EXPECT_EQ(got, "abc");
    } else {
      ASSERT_GT(got.size(), 3u);
      EXPECT_EQ(got.substr(0, 3), "abc");
      EXPECT_LT(got.size(), 3 + big.size());
      EXPECT_TRUE(big.compare(big.size() - (got.size() - 3), std::string::npos, got, 3) == 0)
          << "plain mode did not go on with the rest of the message";
    }
  }
}

// While the writer keeps the pipe open and silent, the tool blocks in its
// read: its processor time stays near zero, where a poll would burn it all.
TEST_F(FeedTest, SilentWriterCostsNoProcessorTime) {
  for (Platform platform : {NT, WIN98}) {
    SCOPED_TRACE(PlatformName(platform));
    const std::string marker =
        "cpu-probe-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount());
    RunPlan plan = Plan(INPUT_PIPE, "", platform);
    plan.args = Option() + " " + marker;
    plan.inputPieces = {"x"};
    plan.holdOpenMs = 2500;
    double used = -1;
    std::thread probe([&marker, &used] {
      int pid = 0;
      for (int tries = 0; pid == 0 && tries < 40; ++tries) {
        Sleep(50);
        pid = FindLinuxProcess(marker);
      }
      if (pid == 0) return;
      Sleep(300);  // past the start-up
      const double before = LinuxCpuSeconds(pid);
      Sleep(1500);
      const double after = LinuxCpuSeconds(pid);
      if (before >= 0 && after >= 0) used = after - before;
    });
    const RunResult r = RunProgram(plan);
    probe.join();
    ExpectQuietEnd(r);
    ExpectDelivered("x");
    printf("[ figure ] %s mode: %.2f s of processor time over 1.5 s of a silent writer\n",
           platform == NT ? "NT" : "plain", used);
    ASSERT_GE(used, 0.0) << "the tool's /proc entry was not found";
    EXPECT_LT(used, 0.2);
  }
}

}  // namespace
