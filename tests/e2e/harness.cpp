#include "harness.h"

#include <cstdio>
#include <thread>

std::string ToolDir;

namespace {

SECURITY_ATTRIBUTES Inheritable() {
  SECURITY_ATTRIBUTES sa = {};
  sa.nLength = sizeof sa;
  sa.bInheritHandle = TRUE;
  return sa;
}

/// A pipe whose child end is inheritable and whose parent end is not.
void MakePipe(HANDLE &childEnd, HANDLE &parentEnd, bool childReads) {
  SECURITY_ATTRIBUTES sa = Inheritable();
  HANDLE read = nullptr, write = nullptr;
  CreatePipe(&read, &write, &sa, 0);
  childEnd = childReads ? read : write;
  parentEnd = childReads ? write : read;
  SetHandleInformation(parentEnd, HANDLE_FLAG_INHERIT, 0);
}

HANDLE OpenInheritable(const char *name, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES sa = Inheritable();
  return CreateFileA(name, access, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, disposition,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::string ReadWholeFile(const std::string &path) {
  std::string bytes;
  FILE *f = fopen(path.c_str(), "rb");
  if (!f) return bytes;
  char buffer[65536];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
  fclose(f);
  return bytes;
}

void ReadAll(HANDLE pipe, std::string *into) {
  char buffer[65536];
  DWORD n;
  while (ReadFile(pipe, buffer, sizeof buffer, &n, nullptr) && n > 0) into->append(buffer, n);
}

/// Writes `bytes` and returns how many got in before the reader went.
size_t WriteAll(HANDLE pipe, const std::string &bytes) {
  size_t at = 0;
  while (at < bytes.size()) {
    DWORD n = 0;
    DWORD count = static_cast<DWORD>(std::min<size_t>(bytes.size() - at, 1 << 20));
    if (!WriteFile(pipe, bytes.data() + at, count, &n, nullptr)) return at + n;  // reader gone
    at += n;
  }
  return at;
}

/// One output channel of the child: its handle, and how to get its bytes back.
struct OutputChannel {
  HANDLE child = nullptr;
  HANDLE parent = nullptr;
  std::string path;
  std::thread reader;
  std::string bytes;

  void Open(OutputKind kind, const char *tag) {
    switch (kind) {
      case OUTPUT_PIPE:
        MakePipe(child, parent, false);
        reader = std::thread(ReadAll, parent, &bytes);
        break;
      case OUTPUT_BROKEN_PIPE: {
        MakePipe(child, parent, false);
        CloseHandle(parent);
        parent = nullptr;
        break;
      }
      case OUTPUT_FILE: {
        static int serial = 0;
        path = ScratchDir() + "\\" + tag + std::to_string(++serial) + ".out";
        child = OpenInheritable(path.c_str(), GENERIC_WRITE, CREATE_ALWAYS);
        break;
      }
      case OUTPUT_FULL_DISK:
        child = OpenInheritable("Z:\\dev\\full", GENERIC_WRITE, OPEN_EXISTING);
        break;
      case OUTPUT_NONE:
        break;
    }
  }
  // After the child has ended: our copy of its end closes, so the pipe ends.
  void Finish() {
    if (child) CloseHandle(child);
    child = nullptr;
    if (reader.joinable()) reader.join();
    if (parent) CloseHandle(parent);
    parent = nullptr;
    if (!path.empty()) {
      bytes = ReadWholeFile(path);
      DeleteFileA(path.c_str());
    }
  }
};

}  // namespace

std::string ToolPath(const char *name) { return ToolDir + "\\" + name + ".exe"; }

std::string StubEditorPath() {
  // This program stands in <tree>\tests, the editor program in <tree>\editor.
  char path[MAX_PATH] = {0};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir(path);
  dir.erase(dir.find_last_of('\\') + 1);
  return dir + "..\\editor\\norvale_stub.exe";
}

std::string ScratchDir() {
  static std::string dir;
  if (dir.empty()) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    dir = std::string(temp) + "nvtools-e2e-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir.c_str(), nullptr);
  }
  return dir;
}

std::string WriteScratchFile(const std::string &name, const std::string &bytes) {
  const std::string path = ScratchDir() + "\\" + name;
  FILE *f = fopen(path.c_str(), "wb");
  if (f) {
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
  }
  return path;
}

std::string MakeText(size_t count, uint32_t seed) {
  std::string text;
  text.reserve(count);
  uint32_t state = seed * 2654435761u + 1;
  while (text.size() < count) {
    state = state * 1664525u + 1013904223u;
    const uint32_t r = state >> 8;
    if (text.size() + 2 <= count && r % 61 == 0) {
      text += "\r\n";
      continue;
    }
    const char c = static_cast<char>(1 + r % 255);  // never NUL
    text += c;
  }
  return text;
}

RunResult RunProgram(const RunPlan &plan) {
  RunResult result;

  HANDLE inChild = nullptr, inParent = nullptr;
  std::string inPath;
  switch (plan.input) {
    case INPUT_PIPE:
      MakePipe(inChild, inParent, true);
      break;
    case INPUT_FILE:
      inPath = WriteScratchFile("input" + std::to_string(GetTickCount()) + ".bin", plan.inputBytes);
      inChild = OpenInheritable(inPath.c_str(), GENERIC_READ, OPEN_EXISTING);
      break;
    case INPUT_NUL_DEVICE:
      inChild = OpenInheritable("NUL", GENERIC_READ, OPEN_EXISTING);
      break;
    case INPUT_CONSOLE:
      inChild = OpenInheritable("CONIN$", GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
      break;
    case INPUT_HANDLE:  // the caller's, passed below and never closed here
    case INPUT_NONE:
      break;
  }
  OutputChannel out, err;
  out.Open(plan.out, "stdout");
  err.Open(plan.err, "stderr");

  STARTUPINFOA si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = plan.input == INPUT_HANDLE ? plan.inputHandle : inChild;
  si.hStdOutput = out.child;
  si.hStdError = err.child;
  PROCESS_INFORMATION pi = {};
  std::string commandLine = "\"" + plan.exe + "\" " + plan.args;
  const DWORD flags = plan.console ? 0 : DETACHED_PROCESS;
  if (!CreateProcessA(plan.exe.c_str(), &commandLine[0], nullptr, nullptr, TRUE, flags, nullptr,
                      nullptr, &si, &pi)) {
    result.exitCode = 0xFFFFFFFF;
    result.err = "CreateProcessA failed: " + std::to_string(GetLastError());
    if (inChild) CloseHandle(inChild);
    if (inParent) CloseHandle(inParent);
    out.Finish();
    err.Finish();
    return result;
  }
  if (inChild) CloseHandle(inChild);

  std::thread writer;
  if (plan.input == INPUT_PIPE) {
    writer = std::thread([&plan, &result, inParent] {
      size_t written = WriteAll(inParent, plan.inputBytes);
      for (size_t i = 0; i < plan.inputPieces.size(); ++i) {
        if (i > 0 && plan.pauseMs) Sleep(plan.pauseMs);
        written += WriteAll(inParent, plan.inputPieces[i]);
      }
      result.inputWritten = written;
      if (plan.holdOpenMs) Sleep(plan.holdOpenMs);
      CloseHandle(inParent);
    });
  }

  if (WaitForSingleObject(pi.hProcess, plan.timeoutMs) != WAIT_OBJECT_0) {
    result.timedOut = true;
    TerminateProcess(pi.hProcess, 0xDEAD);
    WaitForSingleObject(pi.hProcess, INFINITE);
  }
  GetExitCodeProcess(pi.hProcess, &result.exitCode);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  if (writer.joinable()) writer.join();
  out.Finish();
  err.Finish();
  result.out = out.bytes;
  result.err = err.bytes;
  if (!inPath.empty()) DeleteFileA(inPath.c_str());
  return result;
}
