// The tools' user-facing texts, stored as code-page-932 bytes and written as
// they stand (no code-page conversion anywhere).
#pragma once

/// "Norvale のウィンドウハンドルを取得できませんでした。" CR LF
/// "パラメータの指定が正しいか確認してください。"
/// (Could not obtain the Norvale window handle. Please check that the
/// parameter is specified correctly.) 98 bytes.
#define MSG_WINDOW_HANDLE_ERROR                                                     \
  "Norvale "                                                                        \
  "\x82\xCC\x83\x45\x83\x42\x83\x93\x83\x68\x83\x45\x83\x6E\x83\x93\x83\x68\x83\x8B" \
  "\x82\xF0\x8E\xE6\x93\xBE\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1\x82\xC5\x82\xB5" \
  "\x82\xBD\x81\x42"                                                                \
  "\r\n"                                                                            \
  "\x83\x70\x83\x89\x83\x81\x81\x5B\x83\x5E\x82\xCC\x8E\x77\x92\xE8\x82\xAA\x90\xB3" \
  "\x82\xB5\x82\xA2\x82\xA9\x8A\x6D\x94\x46\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3" \
  "\x82\xA2\x81\x42"

/// "文字列を取得できませんでした。" (Could not obtain the string.) 30 bytes.
#define MSG_INPUT_TYPE_ERROR                                                        \
  "\x95\xB6\x8E\x9A\x97\xF1\x82\xF0\x8E\xE6\x93\xBE\x82\xC5\x82\xAB\x82\xDC\x82\xB9" \
  "\x82\xF1\x82\xC5\x82\xB5\x82\xBD\x81\x42"

/// "[待機中]" (Waiting): an editor ready to take text begins its title with it.
#define WAITING_MARKER "\x5B\x91\xD2\x8B\x40\x92\x86\x5D"

static_assert(sizeof(MSG_WINDOW_HANDLE_ERROR) - 1 == 98, "window-handle error is 98 bytes");
static_assert(sizeof(MSG_INPUT_TYPE_ERROR) - 1 == 30, "input-type error is 30 bytes");
static_assert(sizeof(WAITING_MARKER) - 1 == 8, "waiting marker is 8 bytes");
