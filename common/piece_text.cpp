#include "piece_text.h"

#include <cstring>
#include <utility>

#include "text_block.h"

void AppendText(PieceText &text, const char *data, size_t count) {
  while (count > 0) {
    const size_t offset = text.length % text.pieceSize;
    if (offset == 0 && text.length / text.pieceSize == text.pieces.size()) {
      std::unique_ptr<char[]> piece(new char[text.pieceSize]);
      text.pieces.push_back(std::move(piece));  // should this throw, the piece is freed
    }
    const size_t n = count < text.pieceSize - offset ? count : text.pieceSize - offset;
    memcpy(text.pieces[text.length / text.pieceSize].get() + offset, data, n);
    text.length += n;
    data += n;
    count -= n;
  }
}

char TextByte(const PieceText &text, size_t at) {
  return text.pieces[at / text.pieceSize][at % text.pieceSize];
}

void CopyText(const PieceText &text, size_t at, size_t count, char *dest) {
  while (count > 0) {
    const size_t offset = at % text.pieceSize;
    const size_t n = count < text.pieceSize - offset ? count : text.pieceSize - offset;
    memcpy(dest, text.pieces[at / text.pieceSize].get() + offset, n);
    at += n;
    dest += n;
    count -= n;
  }
}

std::string TextString(const PieceText &text, size_t at, size_t count) {
  std::string bytes(count, '\0');
  if (count > 0) CopyText(text, at, count, &bytes[0]);
  return bytes;
}

size_t MeasureText(const PieceText &text) {
  for (size_t at = 0; at < text.length; at += text.pieceSize) {
    const size_t n = text.length - at < text.pieceSize ? text.length - at : text.pieceSize;
    const size_t kept = MeasureBlockText(text.pieces[at / text.pieceSize].get(), n);
    if (kept < n) return at + kept;
  }
  return text.length;
}

void ClearText(PieceText &text) {
  text.pieces.clear();
  text.pieces.shrink_to_fit();
  text.length = 0;
}
