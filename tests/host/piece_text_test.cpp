// A text kept in fixed-size pieces: what goes in comes out, across the
// pieces' edges, and the first NUL is found wherever it lies.

#include <gtest/gtest.h>

#include <string>

#include "piece_text.h"

namespace {

// `n` bytes that differ from their neighbours, so a byte from the wrong
// place shows.
std::string Bytes(size_t n) {
  std::string s(n, ' ');
  for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>('A' + i % 26);
  return s;
}

TEST(PieceText, KeepsWhatIsAppendedAcrossPieceEdges) {
  const struct {
    size_t pieceSize;
    std::vector<size_t> appends;  // lengths appended one after another
  } cases[] = {
      {1, {5}},
      {4, {4, 4}},        // each append fills a piece exactly
      {4, {3, 3, 3}},     // appends straddle the edges
      {4, {0, 9, 0, 1}},  // empty appends change nothing
      {7, {100}},         // one append over many pieces
      {kTextPieceSize, {10, kTextPieceSize, 3}},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(testing::Message() << "pieces of " << c.pieceSize);
    PieceText text;
    text.pieceSize = c.pieceSize;
    std::string want;
    for (size_t n : c.appends) {
      const std::string more = Bytes(want.size() + n).substr(want.size());
      AppendText(text, more.data(), more.size());
      want += more;
    }
    ASSERT_EQ(text.length, want.size());
    EXPECT_EQ(text.pieces.size(), (want.size() + c.pieceSize - 1) / c.pieceSize);
    EXPECT_EQ(TextString(text, 0, text.length), want);
    // Every stretch, from every offset.
    for (size_t at = 0; at < want.size() && at < 40; ++at) {
      EXPECT_EQ(TextByte(text, at), want[at]);
      const size_t count = want.size() - at < 9 ? want.size() - at : 9;
      EXPECT_EQ(TextString(text, at, count), want.substr(at, count)) << "at " << at;
    }
  }
}

TEST(PieceText, MeasureStopsAtTheFirstNul) {
  const struct {
    const char *rule;
    std::string bytes;
    size_t measured;
  } cases[] = {
      {"empty", "", 0},
      {"no NUL", "abcdefgh", 8},
      {"NUL first", std::string("\0bc", 3), 0},
      {"NUL in the first piece", std::string("ab\0defgh", 8), 2},
      {"NUL first in the second piece", std::string("abc\0efgh", 8), 3},
      {"NUL last", std::string("abcdefg\0", 8), 7},
      {"two NULs", std::string("abcde\0g\0", 8), 5},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.rule);
    PieceText text;
    text.pieceSize = 3;
    AppendText(text, c.bytes.data(), c.bytes.size());
    EXPECT_EQ(MeasureText(text), c.measured);
  }
}

TEST(PieceText, ClearGivesThePiecesBack) {
  PieceText text;
  text.pieceSize = 4;
  AppendText(text, "abcdefghij", 10);
  ClearText(text);
  EXPECT_EQ(text.length, 0u);
  EXPECT_TRUE(text.pieces.empty());
  AppendText(text, "xy", 2);
  EXPECT_EQ(TextString(text, 0, text.length), "xy");
}

}  // namespace
