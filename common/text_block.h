// Rules of the shared text block that do not need the operating system: its
// name, its size, and how a text is read out of it. The block is filled by
// another process, so nothing here trusts its contents.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

/// Prefix of every block name; the editor main window's handle follows it.
#define TEXT_BLOCK_PREFIX "Norvale_Map_"

/// "Norvale_Map_" plus the window handle in unsigned decimal.
std::string FormatBlockName(uint32_t window);

/// Block size for a text of `length` bytes: length + 1 for the NUL. False when
/// that does not fit the block's 32-bit size (a length of 0xFFFFFFFF or more),
/// in which case no block can be made.
bool GetBlockSize(uint64_t length, uint32_t *size);

/// Length of the text at the start of a block of `size` bytes: the bytes
/// before the first NUL, or all `size` bytes when the block holds none.
size_t MeasureBlockText(const char *block, size_t size);

/// Takes room for `size` bytes in `text` ahead of a transfer of that size. A
/// hint only: a size beyond what a string can hold, or memory that cannot be
/// had, leaves `text` as it was and the transfer grows it as it goes.
void ReserveTextRoom(std::string &text, uint64_t size);
