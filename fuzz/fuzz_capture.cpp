// Fuzzes the capture assembly. The input is a run of reads, each a two-byte
// header and then its bytes: the header's low 10 bits give the read's size (up
// to 1023, so beyond one 255-byte chunk; cut to what is left), its high 6 bits
// the spare room reserved behind it. A last lone byte is a read of its own.
// The result is checked against a plain model: every read cut into 255-byte
// chunks, each cut at its first NUL.

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
  Capture capture;
  StartCapture(capture);
  Model model;

  size_t at = 0;
  while (at < size) {
    size_t count = size - at;
    size_t spare = 0;  // room reserved beyond the bytes read, as the tool does
    if (count >= 2) {
      const size_t word = static_cast<size_t>(data[at]) << 8 | data[at + 1];
      at += 2;
      spare = word >> 10;
      count = word & 1023;
      if (count > size - at) count = size - at;
    }
    char *room = ReserveRead(capture, count + spare);
    memcpy(room, data + at, count);
    for (size_t i = 0; i < spare; ++i) room[count + i] = i % 2 ? '\n' : '\r';
    TakeRead(capture, count);
    ModelRead(model, reinterpret_cast<const char *>(data + at), count);
    at += count;
    CheckAgainst(capture, model);
  }

  Check(FinishCapture(capture) == model.text);
  return 0;
}
