#include "capture.h"

#include <cstring>
#include <utility>

void StartCapture(Capture &capture) {
  capture.length = 0;
  capture.itemEnds.clear();
  capture.pendingStart = 0;
}

char *ReserveRead(Capture &capture, size_t size) {
  if (capture.bytes.size() < capture.length + size) capture.bytes.resize(capture.length + size);
  return &capture.bytes[capture.length];
}

namespace {

// Appends one chunk that already stands at `chunk` in the buffer (at or behind
// the end of the bytes taken), cut at its first NUL.
void TakeChunk(Capture &capture, size_t chunk, size_t count) {
  char *base = &capture.bytes[0];
  const void *nul = memchr(base + chunk, '\0', count);
  const size_t kept = nul ? static_cast<size_t>(static_cast<const char *>(nul) - (base + chunk)) : count;
  if (chunk != capture.length) memmove(base + capture.length, base + chunk, kept);
  capture.length += kept;

  // Only the end of the pending line is looked at, once per chunk.
  const size_t pending = capture.length - capture.pendingStart;
  if (pending >= 2 && base[capture.length - 2] == '\r' && base[capture.length - 1] == '\n') {
    capture.itemEnds.push_back(capture.length - 2);
    capture.pendingStart = capture.length;
  }
}

}  // namespace

void TakeRead(Capture &capture, size_t count) {
  size_t chunk = capture.length;
  const size_t end = chunk + count;
  while (chunk < end) {
    const size_t n = end - chunk < kChunkSize ? end - chunk : kChunkSize;
    TakeChunk(capture, chunk, n);
    chunk += n;
  }
}

void TakeBytes(Capture &capture, const char *data, size_t count) {
  if (count == 0) return;
  memcpy(ReserveRead(capture, count), data, count);
  TakeRead(capture, count);
}

std::string LineItem(const Capture &capture, size_t index) {
  const size_t start = index == 0 ? 0 : capture.itemEnds[index - 1] + 2;
  return capture.bytes.substr(start, capture.itemEnds[index] - start);
}

std::string PendingLine(const Capture &capture) {
  return capture.bytes.substr(capture.pendingStart, capture.length - capture.pendingStart);
}

std::string FinishCapture(Capture &capture) {
  if (capture.length > capture.pendingStart) {
    // The pending line becomes the last item; its CR LF from the join is not
    // part of the text, so the text ends where the item does.
    capture.itemEnds.push_back(capture.length);
    capture.pendingStart = capture.length;
  }
  capture.bytes.resize(capture.length);
  return std::move(capture.bytes);
}
