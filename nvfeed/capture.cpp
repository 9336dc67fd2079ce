#include "capture.h"

#include <cstring>

void StartCapture(Capture &capture) {
  ClearText(capture.text);
  capture.itemEnds.clear();
  capture.pendingStart = 0;
}

namespace {

// Appends one chunk, cut at its first NUL.
void TakeChunk(Capture &capture, const char *chunk, size_t count) {
  const void *nul = memchr(chunk, '\0', count);
  const size_t kept = nul ? static_cast<size_t>(static_cast<const char *>(nul) - chunk) : count;
  AppendText(capture.text, chunk, kept);

  // Only the end of the pending line is looked at, once per chunk.
  const PieceText &text = capture.text;
  if (text.length - capture.pendingStart >= 2 && TextByte(text, text.length - 2) == '\r' &&
      TextByte(text, text.length - 1) == '\n') {
    capture.itemEnds.push_back(text.length - 2);
    capture.pendingStart = text.length;
  }
}

}  // namespace

void TakeRead(Capture &capture, const char *read, size_t count) {
  for (size_t at = 0; at < count; at += kChunkSize)
    TakeChunk(capture, read + at, count - at < kChunkSize ? count - at : kChunkSize);
}

std::string LineItem(const Capture &capture, size_t index) {
  const size_t start = index == 0 ? 0 : capture.itemEnds[index - 1] + 2;
  return TextString(capture.text, start, capture.itemEnds[index] - start);
}

std::string PendingLine(const Capture &capture) {
  return TextString(capture.text, capture.pendingStart, capture.text.length - capture.pendingStart);
}

const PieceText &FinishCapture(Capture &capture) {
  if (capture.text.length > capture.pendingStart) {
    // The pending line becomes the last item; its CR LF from the join is not
    // part of the text, so the text ends where the item does.
    capture.itemEnds.push_back(capture.text.length);
    capture.pendingStart = capture.text.length;
  }
  return capture.text;
}
