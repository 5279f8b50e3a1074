#include "io/textinput.h"

#include <algorithm>
#include <vector>

// The bytes of a streamed text held so far, from offset start on. An input and its copies
// share them; each stands in readers with its position, so that no byte is let go that one
// of them has still to read.
struct TextInput::Stream {
  explicit Stream(TextSource& from) : source(from) {}
  TextSource& source;
  std::string bytes;
  std::uint64_t start = 0;
  bool ended = false;
  std::vector<const TextInput*> readers;
};

TextInput::TextInput(TextSource& source) { Join(std::make_shared<Stream>(source)); }

TextInput::TextInput(const TextInput& other)
    : data_(other.data_), pos_(other.pos_), lineEnds_(other.lineEnds_), lastReadLine_(other.lastReadLine_) {
  Join(other.stream_);
}

TextInput& TextInput::operator=(const TextInput& other) {
  if (this == &other) return *this;
  Leave();
  data_ = other.data_;
  pos_ = other.pos_;
  lineEnds_ = other.lineEnds_;
  lastReadLine_ = other.lastReadLine_;
  Join(other.stream_);
  return *this;
}

TextInput::~TextInput() { Leave(); }

void TextInput::Join(const std::shared_ptr<Stream>& stream) {
  if (!stream) return;
  stream->readers.push_back(this);
  stream_ = stream;
}

void TextInput::Leave() {
  if (!stream_) return;
  auto& readers = stream_->readers;
  readers.erase(std::find(readers.begin(), readers.end(), this));
  stream_.reset();
}

TextInput::Held TextInput::held() const {
  if (!stream_) return {0, data_};
  return {stream_->start, stream_->bytes};
}

bool TextInput::More(std::uint64_t keep) {
  if (!stream_ || stream_->ended) return false;
  Stream& s = *stream_;
  for (const TextInput* reader : s.readers) keep = std::min(keep, reader->pos_);
  if (keep > s.start) {
    s.bytes.erase(0, static_cast<std::size_t>(keep - s.start));
    s.start = keep;
  }
  const std::size_t had = s.bytes.size();
  while (s.source.More(s.bytes))
    if (s.bytes.size() > had) return true;
  s.ended = true;
  return false;
}

bool TextInput::SkipWhiteSpace() {
  while (true) {
    const Held h = held();
    std::size_t i = static_cast<std::size_t>(pos_ - h.start);
    const std::size_t n = h.bytes.size();
    for (; i < n && IsWhiteSpace(h.bytes[i]); ++i)
      if (h.bytes[i] == '\n') ++lineEnds_;
    pos_ = h.start + i;
    if (i < n) return true;
    if (!More(pos_)) return false;
  }
}

namespace {
bool AllWhiteSpace(std::string_view bytes) {
  return std::all_of(bytes.begin(), bytes.end(), TextInput::IsWhiteSpace);
}
}  // namespace

bool TextInput::ReadLine(std::string_view& line) {
  std::size_t searched = 0;  // the bytes from the position on that hold no LF
  bool more = true;
  while (true) {
    const Held h = held();
    const std::string_view rest = h.bytes.substr(static_cast<std::size_t>(pos_ - h.start));
    const std::size_t end = rest.find('\n', searched);
    if (end == std::string_view::npos && more) {
      searched = rest.size();
      more = More(pos_);
      continue;
    }
    if (end == std::string_view::npos && rest.empty()) return false;
    const std::size_t length = end == std::string_view::npos ? rest.size() : end;
    line = rest.substr(0, length);
    if (end != std::string_view::npos && !line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!AllWhiteSpace(line)) lastReadLine_ = Line();
    pos_ += length;
    if (end != std::string_view::npos) {
      ++pos_;
      ++lineEnds_;
    }
    return true;
  }
}

bool TextInput::ReadLineStart(std::string_view& start, std::size_t most) {
  if (!stream_) {
    if (!ReadLine(start)) return false;
    start = start.substr(0, most);
    return true;
  }
  // The first most + 1 bytes are kept: one more for the CR of a CR LF line end.
  start_.clear();
  const std::size_t line = Line();
  std::uint64_t length = 0;  // of the line with a CR before its LF
  bool any = false;          // a byte that is not white space
  bool lineEnd = false;
  while (true) {
    const Held h = held();
    const std::string_view rest = h.bytes.substr(static_cast<std::size_t>(pos_ - h.start));
    const std::size_t end = std::min(rest.find('\n'), rest.size());
    const std::string_view part = rest.substr(0, end);
    if (start_.size() <= most) start_.append(part.substr(0, most + 1 - start_.size()));
    any = any || !AllWhiteSpace(part);
    length += part.size();
    pos_ += part.size();
    if (end < rest.size()) {
      ++pos_;
      ++lineEnds_;
      lineEnd = true;
      break;
    }
    if (!More(pos_)) break;
  }
  if (!lineEnd && length == 0) return false;
  if (lineEnd && length == start_.size() && !start_.empty() && start_.back() == '\r') start_.pop_back();
  if (start_.size() > most) start_.resize(most);
  if (any) lastReadLine_ = line;
  start = start_;
  return true;
}

bool TextInput::ReadToken(std::string_view& token) {
  if (!SkipWhiteSpace()) return false;
  const std::uint64_t from = pos_;
  while (true) {
    const Held h = held();
    std::size_t i = static_cast<std::size_t>(pos_ - h.start);
    const std::size_t n = h.bytes.size();
    while (i < n && !IsWhiteSpace(h.bytes[i])) ++i;
    pos_ = h.start + i;
    if (i < n || !More(from)) break;
  }
  const Held h = held();
  token = h.bytes.substr(static_cast<std::size_t>(from - h.start), static_cast<std::size_t>(pos_ - from));
  lastReadLine_ = Line();
  return true;
}
