// Reading whole files in pieces: a piece check ends the reading at the first piece that shows
// what the caller looks for, with the bytes read so far; without it every byte is read.
#include "io/textfile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "iotest_support.h"

namespace {

TEST(ReadWholeFile, PieceCheckEndsTheReadingEarly) {
  iotest::TempDir dir;
  std::vector<std::size_t> starts;
  const PieceCheck stopAtZero = [&](std::string_view read, std::size_t pieceStart) {
    starts.push_back(pieceStart);
    return read.find('\0', pieceStart) != std::string_view::npos;
  };
  std::string bytes;
  std::string error;

  // 1 GiB: a line, then zero bytes. Only the first piece is read.
  const std::string zeros = dir.path("zeros.csv");
  {
    std::ofstream out(zeros, std::ios::binary);
    out << "x,y\r\n";
  }
  ASSERT_EQ(::truncate(zeros.c_str(), off_t{1} << 30), 0);
  ASSERT_EQ(ReadWholeFile(zeros, bytes, error, kMaxReadBytes, stopAtZero), ReadStatus::Complete);
  EXPECT_EQ(starts, std::vector<std::size_t>{0});
  EXPECT_EQ(bytes.size(), kReadPieceBytes);
  EXPECT_EQ(bytes.substr(0, 6), std::string("x,y\r\n\0", 6));

  // Text of three and a half pieces: every piece is seen, the whole file read.
  std::string text;
  while (text.size() < 3 * kReadPieceBytes + kReadPieceBytes / 2) text += "1.5,100\r\n";
  const std::string path = dir.path("text.csv");
  {
    std::ofstream out(path, std::ios::binary);
    out << text;
  }
  starts.clear();
  ASSERT_EQ(ReadWholeFile(path, bytes, error, kMaxReadBytes, stopAtZero), ReadStatus::Complete);
  EXPECT_EQ(starts, (std::vector<std::size_t>{0, kReadPieceBytes, 2 * kReadPieceBytes, 3 * kReadPieceBytes}));
  EXPECT_EQ(bytes, text);
}

}  // namespace
