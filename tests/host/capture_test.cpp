// Assembling nvfeed's captured text from its reads: 255-byte chunks, each cut
// at its first NUL; the line list and the pending line.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "capture.h"

namespace {

typedef std::vector<std::string> Strings;

// `n` bytes of letters that differ from their neighbours, so that a chunk
// taken from the wrong place shows; no NUL, CR or LF among them.
std::string Letters(size_t n) {
  std::string s(n, ' ');
  for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>('A' + i % 26);
  return s;
}

// Letters(n) with `bytes` written over it from `at`.
std::string LettersWith(size_t n, size_t at, const std::string &bytes) {
  std::string s = Letters(n);
  s.replace(at, bytes.size(), bytes);
  return s;
}

template <size_t N>
std::string Bytes(const char (&literal)[N]) {
  return std::string(literal, N - 1);  // keeps NULs inside the literal
}

struct CaptureCase {
  const char *rule;
  Strings reads;
  Strings items;        // the line list once the reads are taken
  std::string pending;  // the pending line then
  std::string text;     // the captured text at the end
};

std::vector<CaptureCase> CaptureCases() {
  const std::string big = Letters(600);
  std::string nulThenCrLf = LettersWith(600, 100, Bytes("\0"));
  nulThenCrLf.replace(253, 2, "\r\n");
  return {
      {"empty input", {}, {}, "", ""},
      {"two lines in one read", {"ab\r\ncd\r\n"}, {"ab\r\ncd"}, "", "ab\r\ncd\r\n"},
      {"split between CR and LF", {"ab\r", "\ncd\r\n"}, {"ab\r\ncd"}, "", "ab\r\ncd\r\n"},
      {"first read ends mid-line", {"ab\r\nc", "d\r\n"}, {"ab\r\ncd"}, "", "ab\r\ncd\r\n"},
      {"each read a line", {"ab\r\n", "cd\r\n"}, {"ab", "cd"}, "", "ab\r\ncd\r\n"},
      {"no line end", {"ab"}, {}, "ab", "ab"},
      {"exactly CR LF", {"\r\n"}, {""}, "", "\r\n"},
      {"two CR LF reads give two empty items", {"\r\n", "\r\n"}, {"", ""}, "", "\r\n\r\n"},
      {"LF-only line ends", {"a\nb\n"}, {}, "a\nb\n", "a\nb\n"},
      {"trailing lone CR", {"ab\r"}, {}, "ab\r", "ab\r"},
      {"NUL cuts the rest of its read", {Bytes("ab\0cd\r\n")}, {}, "ab", "ab"},
      {"NUL cuts only its own read", {Bytes("ab\0"), "cd\r\n"}, {"abcd"}, "", "abcd\r\n"},
      {"cut read ending in CR LF makes an item", {Bytes("ab\r\n\0cd")}, {"ab"}, "", "ab\r\n"},
      {"read whose first byte is NUL", {"ab\r", Bytes("\0\n"), "\n"}, {"ab"}, "", "ab\r\n"},
      {"read of exactly 255 bytes", {Letters(255)}, {}, Letters(255), Letters(255)},
      {"600 bytes in one read", {big}, {}, big, big},
      {"NUL at byte 10 of a 600-byte read cuts its first chunk only",
       {LettersWith(600, 10, Bytes("\0"))},
       {},
       big.substr(0, 10) + big.substr(255),
       big.substr(0, 10) + big.substr(255)},
      {"NUL at byte 255 cuts the second chunk",
       {LettersWith(600, 255, Bytes("\0"))},
       {},
       big.substr(0, 255) + big.substr(510),
       big.substr(0, 255) + big.substr(510)},
      {"CR LF ending the first chunk makes an item",
       {LettersWith(600, 253, "\r\n")},
       {big.substr(0, 253)},
       big.substr(255),
       LettersWith(600, 253, "\r\n")},
      {"CR LF ending the second chunk makes an item",
       {LettersWith(510, 508, "\r\n")},
       {big.substr(0, 508)},
       "",
       LettersWith(510, 508, "\r\n")},
      {"CR LF inside a chunk makes no item",
       {LettersWith(600, 300, "\r\n")},
       {},
       LettersWith(600, 300, "\r\n"),
       LettersWith(600, 300, "\r\n")},
      {"CR LF across a chunk boundary makes no item",
       {LettersWith(600, 254, "\r\n")},
       {},
       LettersWith(600, 254, "\r\n"),
       LettersWith(600, 254, "\r\n")},
      {"two-byte second chunk CR LF",
       {LettersWith(257, 255, "\r\n")},
       {big.substr(0, 255)},
       "",
       LettersWith(257, 255, "\r\n")},
      {"NUL in the first chunk before a CR LF ending it",
       {nulThenCrLf},
       {},
       big.substr(0, 100) + big.substr(255),
       big.substr(0, 100) + big.substr(255)},
  };
}

Strings Items(const Capture &capture) {
  Strings items;
  for (size_t i = 0; i < capture.itemEnds.size(); ++i) items.push_back(LineItem(capture, i));
  return items;
}

std::string Whole(const PieceText &text) { return TextString(text, 0, text.length); }

// The same rules whatever the size of the text's pieces: items, CR LF pairs
// and NUL cuts that straddle a piece's edge come out the same.
TEST(Capture, AssemblesTheReads) {
  for (size_t pieceSize : {size_t{1}, size_t{2}, size_t{3}, size_t{7}, size_t{256}, kTextPieceSize}) {
    for (const CaptureCase &c : CaptureCases()) {
      SCOPED_TRACE(testing::Message() << c.rule << ", pieces of " << pieceSize);
      Capture capture;
      capture.text.pieceSize = pieceSize;
      StartCapture(capture);
      for (const std::string &read : c.reads) TakeRead(capture, read.data(), read.size());
      EXPECT_EQ(Items(capture), c.items);
      EXPECT_EQ(PendingLine(capture), c.pending);
      EXPECT_EQ(Whole(FinishCapture(capture)), c.text);
    }
  }
}

TEST(Capture, StartCaptureForgetsAnEarlierCapture) {
  Capture capture;
  StartCapture(capture);
  TakeRead(capture, "old\r\n", 5);
  TakeRead(capture, "rest", 4);
  StartCapture(capture);
  TakeRead(capture, "new", 3);
  EXPECT_TRUE(Items(capture).empty());
  EXPECT_EQ(PendingLine(capture), "new");
  EXPECT_EQ(Whole(FinishCapture(capture)), "new");
}

}  // namespace
