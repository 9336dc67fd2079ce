// Fuzzes the capture assembly. The input's first byte picks the size of the
// text's pieces (1 to 64 bytes, or the tools' own size when it is 0), so that
// chunks, CR LF pairs and NUL cuts fall across the pieces' edges. Then comes a
// run of reads, each a two-byte header and then its bytes: the header's low
// 10 bits give the read's size (up to 1023, so beyond one 255-byte chunk; cut
// to what is left), its high 6 bits how many stale bytes of an earlier read
// lie behind it in the read buffer, which must not be taken. A last lone byte
// is a read of its own. The result is checked after every read against a
// plain model: every read cut into 255-byte chunks, each cut at its first NUL.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "capture.h"

namespace {

typedef std::vector<std::string> Strings;

void Check(bool ok) {
  if (!ok) abort();
}

bool EndsInCrLf(const std::string &s) {
  return s.size() >= 2 && s[s.size() - 2] == '\r' && s[s.size() - 1] == '\n';
}

// The assembly as plain strings.
struct Model {
  std::string text;
  Strings items;
  std::string pending;
};

void ModelRead(Model &model, const char *read, size_t count) {
  const size_t kChunk = 255;
  for (size_t at = 0; at < count; at += kChunk) {
    const size_t n = count - at < kChunk ? count - at : kChunk;
    const std::string chunk(read + at, strnlen(read + at, n));
    model.text += chunk;
    model.pending += chunk;
    if (EndsInCrLf(model.pending)) {
      model.items.push_back(model.pending.substr(0, model.pending.size() - 2));
      model.pending.clear();
    }
  }
}

void CheckAgainst(const Capture &capture, const Model &model) {
  Strings items;
  std::string joined;
  for (size_t i = 0; i < capture.itemEnds.size(); ++i) {
    items.push_back(LineItem(capture, i));
    joined += items.back() + "\r\n";
  }
  const std::string pending = PendingLine(capture);
  Check(!EndsInCrLf(pending));
  Check(joined + pending == model.text);
  Check(items == model.items);
  Check(pending == model.pending);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size == 0) return 0;
  Capture capture;
  capture.text.pieceSize = data[0] == 0 ? kTextPieceSize : 1 + data[0] % 64;
  StartCapture(capture);
  Model model;

  std::string buffer;  // the read buffer, as the tool reuses it
  size_t at = 1;
  while (at < size) {
    size_t count = size - at;
    size_t stale = 0;
    if (count >= 2) {
      const size_t word = static_cast<size_t>(data[at]) << 8 | data[at + 1];
      at += 2;
      stale = word >> 10;
      count = word & 1023;
      if (count > size - at) count = size - at;
    }
    buffer.assign(reinterpret_cast<const char *>(data + at), count);
    for (size_t i = 0; i < stale; ++i) buffer += i % 2 ? '\n' : '\r';
    TakeRead(capture, buffer.data(), count);
    ModelRead(model, reinterpret_cast<const char *>(data + at), count);
    at += count;
    CheckAgainst(capture, model);
  }

  const PieceText &text = FinishCapture(capture);
  Check(TextString(text, 0, text.length) == model.text);
  Check(MeasureText(text) == text.length);  // a captured text holds no NUL
  return 0;
}
