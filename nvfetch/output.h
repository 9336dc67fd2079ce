// How nvfetch hands its text to standard output. Pure, no Windows header, so
// the host tests check the rule.
#pragma once

#include <cstddef>

/// The most bytes one write to standard output carries. A console of Windows
/// 7 and earlier takes each write through a small heap it shares with the
/// process (64 KiB, less what is in use), and refuses one much beyond that
/// (ERROR_NOT_ENOUGH_MEMORY), so a character device gets small pieces; a pipe
/// or a file gets large ones, which take far fewer calls for the same bytes.
size_t OutputPieceSize(bool characterDevice);
