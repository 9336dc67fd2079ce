// Hands a file to a program through a pipe made inside Wine, the way a
// Windows shell pipes one command into another.
//
//   pipe_feed [--delay=MS] [--report=PATH] INPUT PROGRAM [ARGUMENTS...]
//
// Starts PROGRAM with the read end of a new pipe as its standard input, waits
// MS milliseconds, writes INPUT's bytes into the pipe in 64 KiB writes, closes
// it and waits for PROGRAM to end. The report file gets one line: the seconds
// from starting PROGRAM to its end, the largest peak working set seen while
// waiting for it (KiB, 0 when the system does not tell), and its exit code.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "win32.h"
#include <psapi.h>

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

SIZE_T PeakWorkingSet(HANDLE process) {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(process, &counters, sizeof counters)) return 0;
  return counters.PeakWorkingSetSize;
}

}  // namespace

int main(int argc, char **argv) {
  DWORD delay = 0;
  const char *report = nullptr;
  int at = 1;
  for (; at < argc && strncmp(argv[at], "--", 2) == 0; ++at) {
    if (strncmp(argv[at], "--delay=", 8) == 0) delay = strtoul(argv[at] + 8, nullptr, 10);
    else if (strncmp(argv[at], "--report=", 9) == 0) report = argv[at] + 9;
  }
  if (argc - at < 2) {
    fprintf(stderr, "usage: pipe_feed [--delay=MS] [--report=PATH] INPUT PROGRAM [ARGUMENTS...]\n");
    return 2;
  }
  HANDLE input = CreateFileA(argv[at], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
  if (input == INVALID_HANDLE_VALUE) {
    fprintf(stderr, "pipe_feed: cannot open %s\n", argv[at]);
    return 2;
  }
  std::string command;
  for (int i = at + 1; i < argc; ++i) command += std::string(i > at + 1 ? " " : "") + argv[i];

  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE readEnd, writeEnd;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return 3;
  SetHandleInformation(writeEnd, HANDLE_FLAG_INHERIT, 0);

  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = readEnd;
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION child = {};
  LARGE_INTEGER started, ended;
  QueryPerformanceCounter(&started);
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                      &child)) {
    fprintf(stderr, "pipe_feed: cannot start %s (error %lu)\n", command.c_str(), GetLastError());
    return 3;
  }
  CloseHandle(readEnd);
  if (delay > 0) Sleep(delay);

  static char buffer[64 * 1024];
  for (;;) {
    DWORD count = 0, written = 0;
    if (!ReadFile(input, buffer, sizeof buffer, &count, nullptr) || count == 0) break;
    if (!WriteFile(writeEnd, buffer, count, &written, nullptr) || written != count) break;
  }
  CloseHandle(writeEnd);
  CloseHandle(input);

  SIZE_T peak = 0;
  while (WaitForSingleObject(child.hProcess, 5) == WAIT_TIMEOUT) {
    const SIZE_T now = PeakWorkingSet(child.hProcess);
    if (now > peak) peak = now;
  }
  QueryPerformanceCounter(&ended);
  DWORD code = 0;
  GetExitCodeProcess(child.hProcess, &code);
  if (report != nullptr) {
    FILE *out = fopen(report, "w");
    if (out == nullptr) return 4;
    fprintf(out, "%.6f %lu %lu\n", Seconds(started, ended), static_cast<unsigned long>(peak / 1024),
            code);
    fclose(out);
  }
  return code == 0 ? 0 : 1;
}
