#pragma once
// Reading a data file's bytes the way a text stream reads them: whole lines, or tokens
// separated by white space (line ends included), both from one position, so that a line read
// after a token is the rest of that token's line. Never reads past the bytes.
//
// The bytes are either all at hand, or they arrive piece by piece from a TextSource while they
// are read: then only the bytes from the start of the line or token being read on are held, so
// that a file is read in the memory of its longest line and a piece, not of its size. A line
// or token given stays valid until the next read from the input or a copy of it.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "io/textfile.h"

// Gives a text piece by piece.
class TextSource {
 public:
  virtual ~TextSource() = default;
  // Appends the next piece of the text to bytes; false, appending nothing, when no more comes.
  virtual bool More(std::string& bytes) = 0;
};

class TextInput {
 public:
  // Reads bytes that are all at hand; they must outlive the input.
  explicit TextInput(std::string_view data) : data_(data) {}
  // Reads the pieces of source as they are needed; source must outlive the input and its
  // copies. A copy reads the same text from a position of its own.
  explicit TextInput(TextSource& source);
  TextInput(const TextInput& other);
  TextInput& operator=(const TextInput& other);
  ~TextInput();

  // The rest of the current line without its line end (LF, or CR LF); false at the end.
  bool ReadLine(std::string_view& line);
  // The first most bytes of the rest of the current line (the whole line when it is shorter);
  // the rest of the line is passed over without being held. False at the end.
  bool ReadLineStart(std::string_view& start, std::size_t most);
  // The next run of bytes that are not white space; false when only white space is left.
  bool ReadToken(std::string_view& token);
  // Passes over white space; whether nothing else is left.
  bool OnlyWhiteSpaceLeft() { return !SkipWhiteSpace(); }

  // The 1-based line of the position.
  std::size_t Line() const { return lineEnds_ + 1; }
  // The line of the last byte before the position that is not white space: where a reader
  // that stopped at the position read its last token or line. Line 1 when there is none.
  std::size_t LineOfLastRead() const { return lastReadLine_; }

  // Blank, tab, LF, VT, FF and CR, as C isspace in the C locale.
  static bool IsWhiteSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

 private:
  struct Stream;
  // The bytes held: their first byte's offset in the text, and the bytes.
  struct Held {
    std::uint64_t start;
    std::string_view bytes;
  };
  Held held() const;
  // Brings the next piece of a streamed text in, letting go of the bytes before keep that no
  // copy still stands before; false when no more comes (always, for bytes all at hand).
  bool More(std::uint64_t keep);
  // Moves past white space, counting line ends; false when nothing else is left.
  bool SkipWhiteSpace();
  void Join(const std::shared_ptr<Stream>& stream);
  void Leave();

  std::string_view data_;           // the bytes, when all are at hand
  std::shared_ptr<Stream> stream_;  // the pieces read so far, when streamed
  std::uint64_t pos_ = 0;           // offset of the position in the text
  std::size_t lineEnds_ = 0;        // LF bytes before the position
  std::size_t lastReadLine_ = 1;
  std::string start_;               // ReadLineStart's bytes of a streamed line
};
