// What nvfeed makes of a failed read of its standard input. Pure, no Windows
// header, so the host tests hold the rules.
#pragma once

/// Plain mode gives up after this many failed reads in a row.
const int kMaxFailedReads = 3;

enum ReadFailure {
  READ_AGAIN,          // try the next read
  INPUT_ENDED,         // the input has ended; what was read is the text
  INPUT_NOT_OBTAINED,  // the input could not be read; nothing of it counts
};

/// A failed read, the `failedInARow`-th in a row. NT mode takes it as the end
/// of a pipe's input (its writers have gone). Plain mode reads again, up to
/// kMaxFailedReads times in a row, but not after ERROR_BROKEN_PIPE
/// (`brokenPipe`), which no retry mends. A disk file reports its end by a read
/// of 0 bytes, never by a failure, so where a pipe's input would have ended, a
/// disk file's was not obtained.
ReadFailure JudgeFailedRead(bool ntMode, bool diskFile, bool brokenPipe, int failedInARow);
