// How nvfetch cuts its text into writes to standard output.

#include <gtest/gtest.h>

#include "output.h"

namespace {

// A console of Windows 7 and earlier refuses a single write much beyond 64 KiB
// (the heap it takes writes through is that large, and partly in use);
// 16 KiB is what every console takes. Pipes and files take megabytes.
TEST(OutputPieceSize, SmallForConsolesLargeForPipesAndFiles) {
  EXPECT_GT(OutputPieceSize(true), 0u);
  EXPECT_LE(OutputPieceSize(true), 16u << 10);
  EXPECT_GE(OutputPieceSize(false), 1u << 20);
}

}  // namespace
