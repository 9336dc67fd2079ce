// A stand-in for the Norvale editor, for tests and the demo: a main window of
// class "TNorvaleMainForm" with an editing child window, answering the editor
// messages the way the real editor does, plus switches to make it misbehave.
// It runs on a thread of its own, inside a test process or in its own program.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "win32.h"

/// What the editor does with one EDM_GETTEXT transfer mode.
enum StubDelivery {
  DELIVER_TEXT,     // the text for the mode (1: selection, 0: whole text) and a NUL
  DELIVER_RAW,      // `raw` as it stands, cut to the block, no NUL added
  DELIVER_NOTHING,  // writes nothing (the answer still says what `answer` says)
  DELIVER_FILL,     // fills the block to its last byte with 'X', no NUL
};

struct StubGetReply {
  StubDelivery delivery = DELIVER_TEXT;
  std::string raw;
  uint32_t answer = 1;  // the EDM_GETTEXT result; only its low byte counts
};

struct StubEditorConfig {
  std::string text;           // the whole text
  size_t selStart = 0;        // selection [selStart, selEnd) within text
  size_t selEnd = 0;
  std::string title;          // main window title, as bytes
  int32_t putModeAnswer = 0;  // answer to EDM_QUERYPUTMODE
  StubGetReply get[2];        // per transfer mode 0 and 1
  bool editWindowOverride = false;  // answer EDM_GETEDITWINDOW with editWindowValue
  uint32_t editWindowValue = 0;
  bool lengthOverride = false;      // the editing window answers WM_GETTEXTLENGTH
  uint32_t lengthValue = 0;         // with lengthValue (Wine may measure on its own)
  UINT destroyOnMessage = 0;  // destroy the main window while handling this message
  DWORD transferDelayMs = 0;  // take this long over each EDM_GETTEXT and EDM_PUTTEXT, as an
                              // editor busy with a large text does, answering other messages
                              // meanwhile; the tool holds its block all that time
};

/// One editor message as the editor saw it.
struct StubRecord {
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  std::string blockName;      // the name it opened the block by
  bool blockOpened = false;   // OpenFileMappingA found the block
  size_t viewSize = 0;        // the view's region size (page-rounded)
  std::string received;       // EDM_PUTTEXT: the text up to its NUL within lParam bytes
  std::string blockBytes;     // EDM_PUTTEXT: all lParam bytes of the block
};

struct StubEditor;

/// Starts an editor window on a new thread; returns once the window exists.
StubEditor *StartStubEditor(const StubEditorConfig &config);

/// Ends the editor's window and thread.
void StopStubEditor(StubEditor *editor);

HWND StubMainWindow(StubEditor *editor);
HWND StubEditWindow(StubEditor *editor);

/// Replaces the whole configuration (text, title, answers, switches).
void SetStubConfig(StubEditor *editor, const StubEditorConfig &config);

/// The current configuration, including the text after any put.
StubEditorConfig GetStubConfig(StubEditor *editor);

/// The editor messages seen since the last call, in order.
std::vector<StubRecord> TakeStubRecords(StubEditor *editor);

/// Registers the window classes without making a window (idempotent).
void RegisterStubClasses();
