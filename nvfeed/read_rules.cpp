#include "read_rules.h"

ReadFailure JudgeFailedRead(bool ntMode, bool diskFile, bool brokenPipe, int failedInARow) {
  if (!ntMode && !brokenPipe && failedInARow < kMaxFailedReads) return READ_AGAIN;
  return diskFile ? INPUT_NOT_OBTAINED : INPUT_ENDED;
}
