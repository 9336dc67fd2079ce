// nvfetch: prints the text of a running Norvale editor window on standard
// output, byte for byte.
//
//   nvfetch /w=<window handle in decimal>
//
// The selection (transfer mode 1) is asked for first; when that brings the
// empty text, the whole text (mode 0). The text is fetched whole before any of
// it is written, so the editor never waits on whoever reads our output.
#include <algorithm>
#include <string>

#include "editor_link.h"
#include "messages.h"
#include "output.h"
#include "tool_common.h"

namespace {

/// Writes all of `text` to standard output. Every write is checked: a text
/// that does not arrive whole (no usable standard output, a reader that has
/// gone, a full disk) is an unhandled failure, never a success.
void WriteStandardOutput(const std::string &text) {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (out == nullptr || out == INVALID_HANDLE_VALUE)
    RaiseIoFailure(ERROR_INVALID_HANDLE, "nvfetch (open standard output)");
  const DWORD type = GetFileType(out);
  if (type == FILE_TYPE_UNKNOWN) {
    const DWORD code = GetLastError();
    RaiseIoFailure(code != NO_ERROR ? code : ERROR_INVALID_HANDLE,
                   "nvfetch (open standard output)");
  }

  const size_t piece = OutputPieceSize(type == FILE_TYPE_CHAR);
  for (size_t at = 0; at < text.size();) {
    const DWORD count = static_cast<DWORD>(std::min(piece, text.size() - at));
    DWORD written = 0;
    if (!WriteFile(out, text.data() + at, count, &written, nullptr))
      RaiseIoFailure(GetLastError(), "nvfetch (write standard output)");
    if (written == 0) RaiseIoFailure(ERROR_WRITE_FAULT, "nvfetch (write standard output)");
    at += written;
  }
}

void RunFetch() {
  EditorWindow = WindowFromValue(static_cast<uint32_t>(GetWindowOption("/w=")));
  if (!IsEditorWindow(EditorWindow)) {
    ReportError(MSG_WINDOW_HANDLE_ERROR);
    return;
  }

  std::string text = GetTextMode1(EditorWindow);
  if (text.empty()) text = GetTextMode0(EditorWindow);
  if (!text.empty()) WriteStandardOutput(text);
}

}  // namespace

int main() { return RunTool(RunFetch); }
