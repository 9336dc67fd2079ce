#include "editor_link.h"

#include <algorithm>
#include <cstring>

#include "text_block.h"

WORD BoxTypeFormat;
HWND EditorWindow;
HWND EditorOwnerWindow;

namespace {

// The block is mapped a window at a time, so that a large text is never held
// twice in the tool's memory (once as the text, once as a view of the block).
// A multiple of the 64 KiB allocation granularity, as view offsets must be.
const uint32_t kViewWindow = 4u << 20;

// A block name that someone else holds is waited for, a little at a time,
// for at most this long per transfer.
const DWORD kBusyBlockWaitMs = 10000;
const DWORD kBusyBlockPauseMs = 50;

enum BlockResult { BLOCK_MADE, BLOCK_BUSY, BLOCK_FAILED };

/// Creates a fresh block of `size` bytes named for `window` into `*mapping`.
/// A block of that name that exists already is someone else's (another tool
/// on the same editor, a stale or hostile object): its size and contents are
/// not ours to trust or to overwrite, so it is let go of again and the name
/// is reported busy.
BlockResult MakeTextBlock(HWND window, uint32_t size, HANDLE *mapping) {
  const std::string name = FormatBlockName(WindowValue(window));
  *mapping =
      CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size, name.c_str());
  if (*mapping == nullptr) return BLOCK_FAILED;
  if (GetLastError() != ERROR_ALREADY_EXISTS) return BLOCK_MADE;
  CloseHandle(*mapping);
  *mapping = nullptr;
  return BLOCK_BUSY;
}

/// Pauses before the next try at a busy block name. False, without a pause,
/// once the transfer that began at `started` (GetTickCount) has waited its
/// time: it is then given up. Another tool holds the name only while the
/// editor handles its one message, so the wait is normally short.
bool WaitForBusyBlock(DWORD started) {
  if (GetTickCount() - started >= kBusyBlockWaitMs) return false;
  Sleep(kBusyBlockPauseMs);
  return true;
}

/// Writes the first `length` bytes of `text` and a NUL into a block of
/// `length` + 1 bytes, straight from the text's pieces.
bool FillTextBlock(HANDLE mapping, const PieceText &text, uint32_t length) {
  const uint32_t size = length + 1;
  for (uint32_t at = 0; at < size;) {
    const uint32_t n = std::min(kViewWindow, size - at);
    MappedView view(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, at, n));
    if (view.data == nullptr) return false;
    char *dest = static_cast<char *>(view.data);
    const uint32_t fromText = at < length ? std::min(n, length - at) : 0;
    CopyText(text, at, fromText, dest);
    if (fromText < n) dest[fromText] = '\0';  // the terminating NUL, in the last window
    at += n;
  }
  return true;
}

/// Reads the NUL-terminated text at the start of a block of `size` bytes into
/// `text`, never looking past the block. A block without a NUL within its
/// size holds no trustworthy text: an editor that wrote past the length it
/// reported would otherwise come back cut short. False, and `text` left
/// empty, when there is no such text or a view cannot be had.
bool ReadTextBlock(HANDLE mapping, uint32_t size, std::string &text) {
  ReserveTextRoom(text, size - 1);  // the editor's length answer
  for (uint32_t at = 0; at < size;) {
    const uint32_t n = std::min(kViewWindow, size - at);
    MappedView view(MapViewOfFile(mapping, FILE_MAP_READ, 0, at, n));
    if (view.data == nullptr) break;
    const char *bytes = static_cast<const char *>(view.data);
    const size_t length = MeasureBlockText(bytes, n);
    text.append(bytes, length);
    if (length < n) return true;  // the NUL ends the text
    at += n;
  }
  text.clear();
  text.shrink_to_fit();
  return false;
}

}  // namespace

void StartEditorLink() {
  BoxTypeFormat = LOWORD(RegisterClipboardFormatA("TEditor Box Type"));
  EditorOwnerWindow = nullptr;
  EditorWindow = GetForegroundWindow();
  if (IsEditorWindow(EditorWindow))
    EditorOwnerWindow = GetWindow(EditorWindow, GW_OWNER);
  else
    EditorWindow = nullptr;
}

bool IsEditorWindow(HWND window) {
  if (window == nullptr) return false;
  char name[256];
  int n = GetClassNameA(window, name, 255);
  if (n == 0) return false;
  name[std::min(n, 255)] = '\0';
  return strcmp(name, EDITOR_CLASS_NAME) == 0;
}

HWND GetEditWindow(HWND window) {
  if (!IsEditorWindow(window)) return nullptr;
  LRESULT answer = SendMessageA(window, EDM_GETEDITWINDOW, 0, 0);
  return WindowFromValue(static_cast<uint32_t>(answer));
}

int32_t QueryPutMode(HWND window) {
  if (!IsEditorWindow(window)) return 0;
  return static_cast<int32_t>(SendMessageA(window, EDM_QUERYPUTMODE, 0, 0));
}

void PutText(HWND window, const PieceText &text, int32_t mode) {
  if (!IsEditorWindow(window)) return;
  const uint64_t length = MeasureText(text);
  uint32_t size;
  if (!GetBlockSize(length, &size)) return;

  HANDLE made = nullptr;
  BlockResult result;
  const DWORD started = GetTickCount();
  do {
    result = MakeTextBlock(window, size, &made);
  } while (result == BLOCK_BUSY && WaitForBusyBlock(started));
  if (result != BLOCK_MADE) return;
  OwnedHandle mapping(made);
  if (!FillTextBlock(mapping.handle, text, size - 1)) return;
  // Every view is unmapped by now; the open handle keeps the block alive
  // while the editor takes the text.
  SendMessageA(window, EDM_PUTTEXT, static_cast<WPARAM>(mode), static_cast<LPARAM>(size));
}

std::string GetText(HWND window, int32_t mode) {
  std::string text;
  if (!IsEditorWindow(window)) return text;
  HWND edit = GetEditWindow(window);
  uint32_t size = 0;
  HANDLE made = nullptr;
  BlockResult result;
  const DWORD started = GetTickCount();
  do {
    // Measured on every try: a transfer that held the block meanwhile may
    // have changed the text.
    const LRESULT length = SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0);
    if (!GetBlockSize(static_cast<ULONG_PTR>(length), &size)) return text;
    result = MakeTextBlock(window, size, &made);
  } while (result == BLOCK_BUSY && WaitForBusyBlock(started));
  if (result != BLOCK_MADE) return text;

  // A block just created is zero-filled by the system, so an editor that
  // answers "delivered" but writes nothing yields the empty text.
  OwnedHandle mapping(made);
  const LRESULT answer =
      SendMessageA(window, EDM_GETTEXT, static_cast<WPARAM>(mode), 0);
  if ((answer & 0xFF) == 0) return text;  // only the low byte counts
  ReadTextBlock(mapping.handle, size, text);
  return text;
}

void PutTextMode0(HWND window, const PieceText &text) { PutText(window, text, 0); }
void PutTextMode1(HWND window, const PieceText &text) { PutText(window, text, 1); }
std::string GetTextMode0(HWND window) { return GetText(window, 0); }
std::string GetTextMode1(HWND window) { return GetText(window, 1); }
