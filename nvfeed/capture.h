// Assembling the captured text of nvfeed from the reads of its standard input.
// Pure byte logic, no Windows header: the host tests and the fuzzer run it.
//
// Every read is taken as consecutive chunks of at most 255 bytes, and each
// chunk is cut at its first NUL. The chunks gather in the pending line; when a
// chunk leaves the pending line ending in CR LF, the pending line without that
// CR LF becomes an item of the line list. The captured text is the line list
// joined with CR LF after every item, then the pending line, which is exactly
// the chunks concatenated: line ends are neither added nor removed.
//
// Items and the pending line are kept as stretches of one text in pieces, in
// read order, so the joined text is that text itself: it is never copied,
// moved or grown into a second buffer.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "piece_text.h"

/// Largest chunk. A NUL cuts the rest of its chunk, so the chunks of a read
/// are what decides which bytes a NUL drops: 255 bytes from the read's start.
const size_t kChunkSize = 255;

struct Capture {
  PieceText text;                 // every chunk taken, in read order
  std::vector<size_t> itemEnds;   // line list: where each item ends (its CR LF follows)
  size_t pendingStart = 0;        // the pending line is [pendingStart, text.length)
};

/// Empties the line list and the pending line.
void StartCapture(Capture &capture);

/// Takes the `count` bytes of one read, chunk by chunk.
void TakeRead(Capture &capture, const char *read, size_t count);

/// The line list's item `index` (without its CR LF), and the pending line.
std::string LineItem(const Capture &capture, size_t index);
std::string PendingLine(const Capture &capture);

/// Rebuilds the captured text once the input has ended: the pending line, if
/// any, joins the line list as its last item, and the joined text less that
/// item's CR LF is the result, the capture's own text.
const PieceText &FinishCapture(Capture &capture);
