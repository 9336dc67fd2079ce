#include "capture_input.h"

#include "read_rules.h"
#include "tool_common.h"

namespace {

// One read takes up to this much; the assembly still treats it as 255-byte
// chunks, so the text is the one that 255-byte reads would have given. A
// whole number of chunks, so that every read of a disk file starts where a
// 255-byte read would, and a NUL cuts the same bytes.
const DWORD kReadSize = 255 * 256;

// Each read lands here; the capture takes its chunks into the text.
char ReadBuffer[kReadSize];

/// Whether a pipe is still open after a read of 0 bytes. A disk file and a
/// Unix pipe under Wine cannot be peeked: for them the 0-byte read was the end.
bool StillOpenPipe(HANDLE input) {
  DWORD available = 0;
  return PeekNamedPipe(input, nullptr, 0, nullptr, &available, nullptr) != 0;
}

}  // namespace

int32_t ClassifyPlatform() {
  std::string first = GetArg(1);
  if (!first.empty()) CharLowerBuffA(&first[0], static_cast<DWORD>(first.size()));
  if (first == "/nt") return PLATFORM_NT;

  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
  if (!GetVersionExA(&version)) return PLATFORM_NT;  // only the NT family lacks nothing here
  switch (version.dwPlatformId) {
    case VER_PLATFORM_WIN32s:
      return PLATFORM_WIN32S;
    case VER_PLATFORM_WIN32_WINDOWS:
      if (version.dwMinorVersion == 0) return PLATFORM_WIN95;
      if (version.dwMinorVersion == 10) return PLATFORM_WIN98;
      return PLATFORM_OTHER;
    case VER_PLATFORM_WIN32_NT:
      return PLATFORM_NT;
    default:
      return PLATFORM_OTHER;
  }
}

bool CaptureInput(HANDLE input, bool diskFile, Capture &lines) {
  StartCapture(lines);
  const bool ntMode = ClassifyPlatform() == PLATFORM_NT;

  // Both modes block in ReadFile, so a silent writer costs no processor time.
  // NT mode: a read of 0 bytes ends the input when the handle is no open pipe
  // (the end of a disk file or of a Unix pipe, which cannot be peeked). Plain
  // mode: a read of 0 bytes is the end. A failed read: JudgeFailedRead.
  int failedReads = 0;
  for (;;) {
    DWORD count = 0;
    if (ReadFile(input, ReadBuffer, kReadSize, &count, nullptr)) {
      failedReads = 0;
      if (count > 0) {
        TakeRead(lines, ReadBuffer, count);
        continue;
      }
      if (ntMode && StillOpenPipe(input)) continue;
      break;
    }
    const bool brokenPipe = GetLastError() == ERROR_BROKEN_PIPE;
    const ReadFailure outcome = JudgeFailedRead(ntMode, diskFile, brokenPipe, ++failedReads);
    if (outcome == INPUT_NOT_OBTAINED) return false;
    if (outcome == INPUT_ENDED) break;
  }
  FinishCapture(lines);
  return true;
}
