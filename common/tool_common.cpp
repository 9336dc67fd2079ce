#include "tool_common.h"

#include <algorithm>
#include <new>

#include "cmdline.h"
#include "editor_link.h"
#include "failure_report.h"

namespace {

// The code a console device of unknown type fails with, and what it means.
const DWORD kNotOpenForOutput = 105;
const char kNotOpenForOutputText[] = "The console device is not open for output";

void LowerCaseAnsi(std::string &text) {
  if (!text.empty()) CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
}

std::vector<std::string> CurrentArguments() { return SplitArguments(GetCommandLineA()); }

/// The running program's file name without its folder.
std::string ProgramName() {
  char path[MAX_PATH + 1] = {0};
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string name(path, n);
  size_t slash = name.find_last_of("\\/");
  return slash == std::string::npos ? name : name.substr(slash + 1);
}

/// The system's own text for error `code`: in English where the system has
/// it, else in the system's language (a Japanese Windows 95 has only that).
std::string SystemText(DWORD code) {
  char buffer[512];
  const DWORD flags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
  DWORD n = FormatMessageA(flags, nullptr, code, MAKELANGID(LANG_ENGLISH, SUBLANG_DEFAULT), buffer,
                           sizeof buffer, nullptr);
  if (n == 0) n = FormatMessageA(flags, nullptr, code, 0, buffer, sizeof buffer, nullptr);
  return std::string(buffer, n);
}

/// The failure report on standard output. Standard output may be the very
/// thing that failed; then the report is lost and the exit status alone tells.
void WriteFailureReport(const char *kind, const char *where, const std::string &text) {
  const std::string report = FormatFailureReport(kind, ProgramName(), where, text);
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD written = 0;
  if (out != nullptr && out != INVALID_HANDLE_VALUE)
    WriteFile(out, report.data(), static_cast<DWORD>(report.size()), &written, nullptr);
}

}  // namespace

int32_t GetArgCount() { return static_cast<int32_t>(CurrentArguments().size()); }

std::string GetArg(int32_t n) {
  std::vector<std::string> args = CurrentArguments();
  if (n < 1 || static_cast<size_t>(n) > args.size()) return std::string();
  return args[n - 1];
}

int32_t GetWindowOption(const std::string &prefix) {
  return ReadWindowOption(CurrentArguments(), prefix, LowerCaseAnsi);
}

void ReportError(const std::string &message) {
  // The console device must be there, although the text goes to standard
  // error and the console itself receives nothing.
  HANDLE console = CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  if (console == INVALID_HANDLE_VALUE) RaiseIoFailure(GetLastError(), "ReportError (open console)");
  if (GetFileType(console) == FILE_TYPE_UNKNOWN) {
    CloseHandle(console);
    RaiseIoFailure(kNotOpenForOutput, "ReportError (console type)", kNotOpenForOutputText);
  }

  HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
  const std::string line = message + "\r\n";
  const size_t kMaxWrite = 128;
  for (size_t at = 0; at < line.size(); at += kMaxWrite) {
    DWORD written = 0;
    DWORD count = static_cast<DWORD>(std::min(kMaxWrite, line.size() - at));
    if (!WriteFile(err, line.data() + at, count, &written, nullptr))
      RaiseIoFailure(GetLastError(), "ReportError (write standard error)");
  }

  if (!CloseHandle(console)) RaiseIoFailure(GetLastError(), "ReportError (close console)");
}

void RaiseIoFailure(DWORD code, const char *where, const char *ownText) {
  throw ToolFailure{"Input/output error", code, where, ownText};
}

int RunTool(void (*driver)()) {
  // A console run: no system message boxes, failures are reported as text.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  try {
    StartEditorLink();
    driver();
    return 0;
  } catch (const ToolFailure &failure) {
    const std::string system = failure.ownText ? std::string() : SystemText(failure.code);
    WriteFailureReport(failure.kind, failure.where,
                       FailureText(failure.code, failure.ownText, system));
  } catch (const std::bad_alloc &) {
    WriteFailureReport("Out of memory", "run", "Not enough memory to hold the text.");
  } catch (...) {
    WriteFailureReport("Unexpected failure", "run", "The run ended without finishing its work.");
  }
  return 1;
}
