// The shared text block's name, size and text.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "text_block.h"

namespace {

TEST(FormatBlockName, PrefixThenUnsignedDecimalHandle) {
  const struct {
    uint32_t window;
    const char *name;
  } cases[] = {
      {0, "Norvale_Map_0"},
      {500, "Norvale_Map_500"},
      {0x7FFFFFFF, "Norvale_Map_2147483647"},
      {0x80000000, "Norvale_Map_2147483648"},
      {0xFFFFFFFF, "Norvale_Map_4294967295"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.window);
    EXPECT_EQ(FormatBlockName(c.window), c.name);
  }
}

TEST(GetBlockSize, LengthPlusOneWhileItFitsThirtyTwoBits) {
  const struct {
    uint64_t length;
    bool fits;
    uint32_t size;
  } cases[] = {
      {0, true, 1},
      {5, true, 6},
      {0xFFFFFFFE, true, 0xFFFFFFFF},
      {0xFFFFFFFF, false, 0},
      {0x100000000, false, 0},
      {UINT64_MAX, false, 0},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.length);
    uint32_t size = 0;
    ASSERT_EQ(GetBlockSize(c.length, &size), c.fits);
    if (c.fits) {
      EXPECT_EQ(size, c.size);
    }
  }
}

TEST(MeasureBlockText, BytesBeforeTheFirstNulOrTheWholeBlock) {
  const struct {
    const char *rule;
    std::string block;
    size_t length;
  } cases[] = {
      {"text and NUL", std::string("abc\0def", 7), 3},
      {"two NULs", std::string("ab\0c\0", 5), 2},
      {"NUL first", std::string("\0abc", 4), 0},
      {"no NUL: the whole block", "abc", 3},
      {"empty block", "", 0},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.rule);
    // A block of exactly this size, so that a look past its end is caught
    // by the address sanitizer.
    std::unique_ptr<char[]> block(new char[c.block.size()]);
    memcpy(block.get(), c.block.data(), c.block.size());
    EXPECT_EQ(MeasureBlockText(block.get(), c.block.size()), c.length);
  }
}

// The room asked for is the editor's word or a file's size: one no string
// can hold is passed over, not thrown at the caller.
TEST(ReserveTextRoom, TakesRoomOnlyWithinWhatAStringHolds) {
  std::string text = "ab";
  ReserveTextRoom(text, 1000);
  EXPECT_GE(text.capacity(), 1000u);
  EXPECT_EQ(text, "ab");

  std::string small = "cd";
  EXPECT_NO_THROW(ReserveTextRoom(small, static_cast<uint64_t>(small.max_size()) + 1));
  EXPECT_EQ(small, "cd");
}

}  // namespace
