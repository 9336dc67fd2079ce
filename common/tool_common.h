// What both tools share besides the editor link: their view of the command
// line, the one-message error report on standard error, and the way a
// failure that nothing handles ends a run.
#pragma once

#include <cstdint>
#include <string>

#include "win32.h"

/// Number of arguments after the program name (0 when there are none).
int32_t GetArgCount();

/// Argument `n`, counted from 1; the empty string when there is no such one.
std::string GetArg(int32_t n);

/// The window handle that the first argument beginning with `prefix` names
/// (letter case ignored); 0 when there is none.
int32_t GetWindowOption(const std::string &prefix);

/// Writes `message` and CR LF to standard error, provided the console device
/// can be opened. Returns only on success; any failed step ends the run as an
/// unhandled input/output failure.
void ReportError(const std::string &message);

/// A failure that nothing handles: it travels up to RunTool, which ends the
/// run with the failure report on standard output and exit status 1.
struct ToolFailure {
  const char *kind;     // "Input/output error", ...
  DWORD code;           // error code, 0 when there is none
  const char *where;    // the routine and step where it arose
  const char *ownText;  // words for a code of the tool's own; null for a system error
};

/// Raises an input/output failure with error `code`: a system error, or with
/// `ownText` a code of the tool's own.
[[noreturn]] void RaiseIoFailure(DWORD code, const char *where, const char *ownText = nullptr);

/// Runs a tool: the editor link's start-up step, then `driver`. Returns the
/// exit status: 0 when the driver returned, 1 after an unhandled failure,
/// whose report has then gone to standard output.
int RunTool(void (*driver)());
