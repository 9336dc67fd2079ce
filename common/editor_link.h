// The link to a running Norvale editor: recognising its main window, the
// editor messages, and moving a whole text to or from it through the shared
// text block. Nothing here reports a failure: a failed step ends the call with
// the empty text or 0.
#pragma once

#include <cstdint>
#include <string>

#include "piece_text.h"
#include "win32.h"

/// The editor messages, sent to the editor main window.
enum : UINT {
  EDM_GETEDITWINDOW = WM_APP + 0x192,  // -> handle of the window holding the text
  EDM_QUERYPUTMODE = WM_APP + 0x195,   // -> signed answer; its sign picks the put mode
  EDM_GETTEXT = WM_APP + 0x19A,        // wParam mode -> low byte non-zero: text delivered
  EDM_PUTTEXT = WM_APP + 0x19B,        // wParam mode, lParam block size
};

/// Class name of an editor main window.
#define EDITOR_CLASS_NAME "TNorvaleMainForm"

extern WORD BoxTypeFormat;       // clipboard format "TEditor Box Type"
extern HWND EditorWindow;        // the editor main window the tool works on
extern HWND EditorOwnerWindow;   // owner of the editor that was in front at start-up

/// Start-up step: registers the clipboard format and presets EditorWindow
/// from the foreground window. The drivers replace that preset from "/w=".
void StartEditorLink();

/// True when `window` is an editor main window (its class name is exactly
/// "TNorvaleMainForm").
bool IsEditorWindow(HWND window);

/// The editor's editing window, or 0 when `window` is no editor.
HWND GetEditWindow(HWND window);

/// The editor's answer to EDM_QUERYPUTMODE, or 0 when `window` is no editor.
int32_t QueryPutMode(HWND window);

/// Hands `text` (up to its first NUL) to the editor with transfer `mode`.
void PutText(HWND window, const PieceText &text, int32_t mode);

/// The text the editor delivers for transfer `mode`; empty when anything
/// fails or nothing was delivered.
std::string GetText(HWND window, int32_t mode);

void PutTextMode0(HWND window, const PieceText &text);
void PutTextMode1(HWND window, const PieceText &text);
std::string GetTextMode0(HWND window);
std::string GetTextMode1(HWND window);
