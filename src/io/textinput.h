#pragma once
// Reading a data file's bytes the way a text stream reads them: whole lines, or tokens
// separated by white space (line ends included), both from one position, so that a line read
// after a token is the rest of that token's line. Never reads past the bytes.

#include <cstddef>
#include <string_view>

#include "io/textfile.h"

class TextInput {
 public:
  explicit TextInput(std::string_view data) : data_(data) {}

  // The rest of the current line without its line end (LF, or CR LF); false at the end.
  bool ReadLine(std::string_view& line) {
    LineReader reader(data_.substr(pos_));
    if (!reader.next(line)) return false;
    pos_ += reader.position();
    return true;
  }

  // The next run of bytes that are not white space; false when only white space is left.
  bool ReadToken(std::string_view& token) {
    SkipWhiteSpace();
    if (pos_ >= data_.size()) return false;
    const std::size_t start = pos_;
    while (pos_ < data_.size() && !IsWhiteSpace(data_[pos_])) ++pos_;
    token = data_.substr(start, pos_ - start);
    return true;
  }

  // Whether nothing but white space is left.
  bool OnlyWhiteSpaceLeft() const {
    for (std::size_t p = pos_; p < data_.size(); ++p)
      if (!IsWhiteSpace(data_[p])) return false;
    return true;
  }

  // Blank, tab, LF, VT, FF and CR, as C isspace in the C locale.
  static bool IsWhiteSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

 private:
  void SkipWhiteSpace() {
    while (pos_ < data_.size() && IsWhiteSpace(data_[pos_])) ++pos_;
  }

  std::string_view data_;
  std::size_t pos_ = 0;
};
