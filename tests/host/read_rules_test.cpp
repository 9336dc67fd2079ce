// What a failed read of nvfeed's standard input means, by mode and by kind of
// input.

#include <gtest/gtest.h>

#include "read_rules.h"

namespace {

TEST(JudgeFailedRead, PipesEndDiskFilesAreNotObtained) {
  const bool NT = true, PLAIN = false, DISK = true, PIPE = false, BROKEN = true, OTHER = false;
  const struct {
    const char *rule;
    bool ntMode, diskFile, brokenPipe;
    int failedInARow;
    ReadFailure outcome;
  } cases[] = {
      {"NT mode: a pipe's writers have gone", NT, PIPE, BROKEN, 1, INPUT_ENDED},
      {"NT mode: any failure ends a pipe", NT, PIPE, OTHER, 1, INPUT_ENDED},
      {"NT mode: a disk file that fails was not read", NT, DISK, OTHER, 1, INPUT_NOT_OBTAINED},
      {"plain mode: a pipe is read again", PLAIN, PIPE, OTHER, 1, READ_AGAIN},
      {"plain mode: and again", PLAIN, PIPE, OTHER, kMaxFailedReads - 1, READ_AGAIN},
      {"plain mode: a pipe's input ends after the last retry", PLAIN, PIPE, OTHER, kMaxFailedReads,
       INPUT_ENDED},
      {"plain mode: a broken pipe ends at once", PLAIN, PIPE, BROKEN, 1, INPUT_ENDED},
      {"plain mode: a disk file is read again", PLAIN, DISK, OTHER, 1, READ_AGAIN},
      {"plain mode: a disk file that keeps failing was not read", PLAIN, DISK, OTHER,
       kMaxFailedReads, INPUT_NOT_OBTAINED},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.rule);
    EXPECT_EQ(JudgeFailedRead(c.ntMode, c.diskFile, c.brokenPipe, c.failedInARow), c.outcome);
  }
}

}  // namespace
