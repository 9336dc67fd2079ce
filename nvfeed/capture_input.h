// Reading nvfeed's standard input to its end.
#pragma once

#include <cstdint>
#include <string>

#include "capture.h"
#include "win32.h"

/// Platform classes: 4 is the NT family (or "/nt" as the first argument),
/// 1 Win32s, 2 Windows 95, 3 Windows 98, 0 anything else.
enum : int32_t { PLATFORM_OTHER = 0, PLATFORM_WIN32S = 1, PLATFORM_WIN95 = 2, PLATFORM_WIN98 = 3, PLATFORM_NT = 4 };

/// The platform class: "/nt" (any letter case) as argument 1 forces NT mode.
int32_t ClassifyPlatform();

/// Reads `input`, a pipe or (`diskFile`) a disk file, to its end into
/// `lines`, the line list the caller owns; the captured text is then
/// `lines.text`. False when the input could not be obtained: a disk file
/// whose reads fail. What was read of it then counts for nothing.
bool CaptureInput(HANDLE input, bool diskFile, Capture &lines);
