// nvfeed: hands everything that arrives on standard input to a Norvale editor
// window that is waiting for it.
//
//   some-command | nvfeed [/nt] /w=<window handle in decimal>
//
// Standard input must be a pipe or a disk file; it is read to its end before
// the editor is looked at again. The text goes to the editor only when the
// window's title begins with the waiting marker and the text is not empty.
#include <cstring>
#include <string>

#include "capture_input.h"
#include "editor_link.h"
#include "messages.h"
#include "tool_common.h"

namespace {

// The editor's title, read once after the input has ended: at most 259 bytes
// and a NUL. Zero-filled at start, so a failed read leaves an empty title.
char TitleBuffer[261];

void RunFeed() {
  EditorWindow = WindowFromValue(static_cast<uint32_t>(GetWindowOption("/w=")));
  if (!IsEditorWindow(EditorWindow)) {
    ReportError(MSG_WINDOW_HANDLE_ERROR);
    return;
  }
  const DWORD inputType = GetFileType(GetStdHandle(STD_INPUT_HANDLE));
  if (inputType != FILE_TYPE_PIPE && inputType != FILE_TYPE_DISK) {
    ReportError(MSG_INPUT_TYPE_ERROR);
    return;
  }

  // Released on every way out, a failure included: the handle first, then
  // the line list.
  Capture lines;
  OwnedHandle input(GetStdHandle(STD_INPUT_HANDLE));

  // A disk file whose reads fail has not given its text: that is reported
  // like input of the wrong kind, and nothing of it reaches the editor,
  // never a part of it as if it were all.
  if (!CaptureInput(input.handle, inputType == FILE_TYPE_DISK, lines)) {
    ReportError(MSG_INPUT_TYPE_ERROR);
    return;
  }
  const PieceText &text = lines.text;

  GetWindowTextA(EditorWindow, TitleBuffer, 260);
  if (memcmp(TitleBuffer, WAITING_MARKER, sizeof WAITING_MARKER - 1) != 0) return;
  if (text.length == 0) return;

  if (QueryPutMode(EditorWindow) < 0)
    PutTextMode0(EditorWindow, text);
  else
    PutTextMode1(EditorWindow, text);
}

}  // namespace

int main() { return RunTool(RunFeed); }
