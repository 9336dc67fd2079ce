// A text kept as a list of pieces of one fixed size, each full but the last.
// It grows without ever moving or copying what it holds: a large text costs
// one copy of itself, never a second one while it grows, and never one free
// stretch of address space of its whole size, which a 32-bit process runs
// short of long before it runs short of memory. Pure, no Windows header.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

/// Size of a piece: large enough that a big text takes few allocations, small
/// enough that the unused part of the last piece does not count.
const size_t kTextPieceSize = 1u << 20;

struct PieceText {
  std::vector<std::unique_ptr<char[]>> pieces;
  size_t pieceSize = kTextPieceSize;  // tests choose small pieces to cross their edges often
  size_t length = 0;                  // bytes held
};

/// Appends `count` bytes of `data`, taking new pieces as they are needed.
/// Out of memory raises std::bad_alloc, with the text as it was before.
void AppendText(PieceText &text, const char *data, size_t count);

/// The byte at offset `at`, which must be below the length.
char TextByte(const PieceText &text, size_t at);

/// Copies the `count` bytes from offset `at` (within the length) to `dest`.
void CopyText(const PieceText &text, size_t at, size_t count, char *dest);

/// The bytes from offset `at` (within the length), `count` of them, as a string.
std::string TextString(const PieceText &text, size_t at, size_t count);

/// How many bytes the text holds before its first NUL: all of them when it
/// holds none.
size_t MeasureText(const PieceText &text);

/// Empties the text and gives its pieces back.
void ClearText(PieceText &text);
