// Text read as it arrives in pieces reads as the whole bytes do: the same lines, tokens and
// line numbers wherever the pieces end, copies reading on their own, and only a piece and the
// line being read held.
#include "io/textinput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Gives a text in pieces of a fixed size, noting the most bytes the input held at once.
class Pieces : public TextSource {
 public:
  Pieces(std::string text, std::size_t size) : text_(std::move(text)), size_(size) {}
  bool More(std::string& bytes) override {
    if (at_ >= text_.size()) return false;
    const std::size_t n = std::min(size_, text_.size() - at_);
    bytes.append(text_, at_, n);
    at_ += n;
    mostHeld = std::max(mostHeld, bytes.size());
    return true;
  }
  std::size_t mostHeld = 0;

 private:
  std::string text_;
  std::size_t size_;
  std::size_t at_ = 0;
};

// What one read gave, with the input's lines after it.
struct Step {
  bool got = false;
  std::string text;
  std::size_t line = 0;
  std::size_t lastRead = 0;
  bool operator==(const Step&) const = default;
};

// Reads with the operation of the step's number: line, token, line start, token, end check.
Step Read(TextInput& in, int step) {
  Step s;
  std::string_view text;
  switch (step % 5) {
    case 0: s.got = in.ReadLine(text); break;
    case 1:
    case 3: s.got = in.ReadToken(text); break;
    case 2: s.got = in.ReadLineStart(text, 3); break;
    default: s.got = in.OnlyWhiteSpaceLeft(); break;
  }
  s.text.assign(text);
  s.line = in.Line();
  s.lastRead = in.LineOfLastRead();
  return s;
}

// Reads with the operations from the one of number phase on until the end.
std::vector<Step> ReadAll(TextInput& in, int phase) {
  std::vector<Step> steps;
  for (int step = phase; step < phase + 200; ++step) {
    steps.push_back(Read(in, step));
    // Three steps that give nothing in a row: the end is reached.
    if (steps.size() >= 3 && std::all_of(steps.end() - 3, steps.end(), [](const Step& s) { return !s.got; })) break;
  }
  return steps;
}

const std::vector<std::string>& Texts() {
  static const std::vector<std::string> texts = {
      "",
      "one line without an end",
      "QL header\r\nsecond line\r\n 3\r\n 1.5 150\r\n 2.5 225\r\n",
      "lf only\nand\n\nblank lines\n\n\n",
      "a lone\rcarriage return\r\r\n\r\nend\r",
      "   \t leading blanks  \v\f\r\n\t tokens\tacross\n lines   and    runs\r\n  ",
      "a-very-long-token-that-crosses-many-pieces " + std::string(300, 'x') + "\r\n" + std::string(40, ' ') + "\n",
      "\n\n\n\n",
      "x",
  };
  return texts;
}

TEST(TextInput, PiecesReadAsTheWholeBytes) {
  for (const std::string& text : Texts()) {
    for (int phase = 0; phase < 5; ++phase) {
      TextInput whole(text);
      const std::vector<Step> expected = ReadAll(whole, phase);
      for (std::size_t size : {1u, 2u, 3u, 5u, 7u, 64u, 4096u}) {
        Pieces pieces(text, size);
        TextInput streamed(pieces);
        EXPECT_EQ(ReadAll(streamed, phase), expected)
            << "text \"" << text << "\" in pieces of " << size << " from operation " << phase;
      }
    }
  }
}

TEST(TextInput, CopiesReadOnTheirOwn) {
  const std::string text = "first line\r\nalpha beta\r\ngamma\r\ndelta epsilon\r\n";
  for (std::size_t size : {1u, 4u, 100u}) {
    Pieces pieces(text, size);
    TextInput in(pieces);
    std::string_view line;
    ASSERT_TRUE(in.ReadLine(line));
    TextInput copy = in;
    // The first input runs ahead to the end; the copy still reads from where it was made.
    std::vector<std::string> tokens;
    std::string_view token;
    while (in.ReadToken(token)) tokens.emplace_back(token);
    EXPECT_EQ(tokens, (std::vector<std::string>{"alpha", "beta", "gamma", "delta", "epsilon"}));
    ASSERT_TRUE(copy.ReadLine(line));
    EXPECT_EQ(line, "alpha beta");
    ASSERT_TRUE(copy.ReadToken(token));
    EXPECT_EQ(token, "gamma");
    EXPECT_EQ(copy.Line(), 3u);
    TextInput assigned(text);
    assigned = copy;
    ASSERT_TRUE(assigned.ReadLine(line));
    EXPECT_EQ(line, "");  // the rest of gamma's line
    ASSERT_TRUE(assigned.ReadLine(line));
    EXPECT_EQ(line, "delta epsilon");
  }
}

TEST(TextInput, HoldsAPieceAndTheLineBeingReadNotTheText) {
  // A megabyte of short lines read line by line and token by token.
  std::string lines;
  for (int i = 0; lines.size() < (1u << 20); ++i) lines += " " + std::to_string(i) + " 150.5\r\n";
  Pieces pieces(lines, 1024);
  TextInput in(pieces);
  std::string_view text;
  std::size_t count = 0;
  while (in.ReadLine(text) && in.ReadToken(text)) ++count;
  EXPECT_GT(count, 10000u);
  EXPECT_LE(pieces.mostHeld, 2048u);

  // A header line of a megabyte: its start is kept, the rest passed over.
  const std::string header = "QL" + std::string(1u << 20, 'h') + "\r\nline 2\r\n";
  Pieces headerPieces(header, 1024);
  TextInput headerIn(headerPieces);
  ASSERT_TRUE(headerIn.ReadLineStart(text, 255));
  EXPECT_EQ(text, "QL" + std::string(253, 'h'));
  ASSERT_TRUE(headerIn.ReadLine(text));
  EXPECT_EQ(text, "line 2");
  EXPECT_LE(headerPieces.mostHeld, 2048u);
}

}  // namespace
