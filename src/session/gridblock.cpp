#include "session/gridblock.h"

#include <algorithm>

#include "io/csvcolumns.h"
#include "io/textconv.h"

namespace {
// Whether text is UTF-8 with no control character but tab and the line breaks.
bool IsCellText(std::string_view text) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) {
      if ((b < 0x20 && b != '\t' && b != '\n' && b != '\r') || b == 0x7f) return false;
      ++i;
      continue;
    }
    std::size_t extra = 0;
    unsigned min = 0;
    unsigned cp = 0;
    if ((b & 0xe0) == 0xc0) {
      extra = 1, min = 0x80, cp = b & 0x1fu;
    } else if ((b & 0xf0) == 0xe0) {
      extra = 2, min = 0x800, cp = b & 0x0fu;
    } else if ((b & 0xf8) == 0xf0) {
      extra = 3, min = 0x10000, cp = b & 0x07u;
    } else {
      return false;
    }
    if (n - i <= extra) return false;
    for (std::size_t k = 1; k <= extra; ++k) {
      const auto c = static_cast<unsigned char>(text[i + k]);
      if ((c & 0xc0) != 0x80) return false;
      cp = (cp << 6) | (c & 0x3fu);
    }
    if (cp < min || cp > 0x10ffff || (cp >= 0xd800 && cp <= 0xdfff)) return false;
    i += extra + 1;
  }
  return true;
}

// The length of a blank (space or ideographic space) at the start of s, or 0.
std::size_t BlankAt(std::string_view s) {
  if (!s.empty() && s[0] == ' ') return 1;
  if (s.substr(0, 3) == "\u3000") return 3;
  return 0;
}

// The length of a separator (comma or semicolon, ASCII or full width) at the start of s, or 0;
// an ASCII comma counts only when commaSeparates.
std::size_t SeparatorAt(std::string_view s, bool commaSeparates) {
  if (!s.empty() && ((commaSeparates && s[0] == ',') || s[0] == ';')) return 1;
  if (s.substr(0, 3) == "\uff0c" || s.substr(0, 3) == "\uff1b") return 3;
  return 0;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A comma with a digit right before and right after it.
bool HasCommaBetweenDigits(std::string_view text) {
  for (std::size_t i = 1; i + 1 < text.size(); ++i)
    if (text[i] == ',' && IsDigit(text[i - 1]) && IsDigit(text[i + 1])) return true;
  return false;
}

// A number written with a decimal comma ("1,5", "-0,25", "3,5e2"), blanks around it allowed,
// with the comma made the decimal point; any other text as it is.
void MakeDecimalPoint(std::string& cell) {
  const std::size_t comma = cell.find(',');
  if (comma == std::string::npos || cell.find(',', comma + 1) != std::string::npos) return;
  if (cell.find('.') != std::string::npos) return;
  std::size_t i = cell.find_first_not_of(' ');
  std::size_t end = cell.find_last_not_of(' ') + 1;
  if (i < end && (cell[i] == '+' || cell[i] == '-')) ++i;
  auto digits = [&](std::size_t& at) {
    const std::size_t from = at;
    while (at < end && IsDigit(cell[at])) ++at;
    return at > from;
  };
  if (!digits(i) || i != comma) return;
  ++i;
  if (!digits(i)) return;
  if (i < end && (cell[i] == 'e' || cell[i] == 'E')) {
    ++i;
    if (i < end && (cell[i] == '+' || cell[i] == '-')) ++i;
    if (!digits(i)) return;
  }
  if (i != end) return;
  cell[comma] = '.';
}

std::string_view SkipBlanks(std::string_view s) {
  while (std::size_t n = BlankAt(s)) s.remove_prefix(n);
  return s;
}

void SplitAtTabs(std::string_view line, std::vector<std::string>& cells) {
  for (;;) {
    const std::size_t tab = line.find('\t');
    cells.emplace_back(line.substr(0, tab));
    if (tab == std::string_view::npos) return;
    line.remove_prefix(tab + 1);
  }
}

void SplitAtSeparators(std::string_view line, std::vector<std::string>& cells, bool commaSeparates) {
  line = SkipBlanks(line);
  if (line.empty()) return;
  for (;;) {
    std::size_t end = 0;
    while (end < line.size() && BlankAt(line.substr(end)) == 0 && SeparatorAt(line.substr(end), commaSeparates) == 0)
      ++end;
    cells.emplace_back(line.substr(0, end));
    line = SkipBlanks(line.substr(end));
    if (const std::size_t sep = SeparatorAt(line, commaSeparates)) {
      line = SkipBlanks(line.substr(sep));
    } else if (line.empty()) {
      return;
    }
  }
}
}  // namespace

TextBlock ParseBlock(std::string_view text, Commas commas) {
  TextBlock block;
  if (text.empty()) {
    block.problem = TextBlock::Problem::NoText;
    return block;
  }
  if (!IsCellText(text)) {
    block.problem = TextBlock::Problem::NotText;
    return block;
  }
  const bool tabs = text.find('\t') != std::string_view::npos;
  const bool semicolons = text.find(';') != std::string_view::npos || text.find("\uff1b") != std::string_view::npos;
  if (commas == Commas::Auto && !tabs) {
    if (semicolons) {
      commas = Commas::Decimal;
    } else if (HasCommaBetweenDigits(text) && text.find('.') == std::string_view::npos) {
      block.problem = TextBlock::Problem::CommaUndecided;
      return block;
    }
  }
  // With tabs, a comma inside a cell is a decimal comma unless the caller said otherwise.
  const bool decimalCommas = commas == Commas::Decimal || (tabs && commas == Commas::Auto);
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(start, end - start);
    std::vector<std::string>& cells = block.rows.emplace_back();
    if (tabs) {
      SplitAtTabs(line, cells);
    } else {
      SplitAtSeparators(line, cells, !decimalCommas);
    }
    if (decimalCommas)
      for (std::string& cell : cells) MakeDecimalPoint(cell);
    block.width = std::max(block.width, static_cast<int>(cells.size()));
    // Past the line break: CR LF, LF, or a CR alone.
    start = end;
    if (start < text.size() && text[start] == '\r') ++start;
    if (start < text.size() && text[start] == '\n' && (start == end || text[end] == '\r')) ++start;
  }
  block.width = std::max(block.width, 1);
  return block;
}

std::string BlockText(const GridTexts& grid, const CellRange& range) {
  const int left = std::max(range.left, 1);
  const int right = std::min(range.right, grid.cols() - 1);
  const int top = std::max(range.top, 1);
  const int bottom = std::min(range.bottom, grid.rows() - 1);
  std::string out;
  if (left > right || top > bottom) return out;
  for (int r = top; r <= bottom; ++r) {
    for (int c = left; c <= right; ++c) {
      if (c > left) out += '\t';
      out += grid.cell(c, r);
    }
    out += '\n';
  }
  return out;
}

bool DropHeaderRow(TextBlock& block) {
  if (block.rows.empty()) return false;
  bool named = false;
  for (const std::string& cell : block.rows.front()) {
    const std::string_view text = TrimCsvBlanks(cell);
    if (text.empty()) continue;
    float value = 0.0f;
    if (TryStrToFloat(text, value)) return false;
    named = named || CsvFieldOfHeader(text) != CsvField::Unknown;
  }
  if (!named) return false;
  block.rows.erase(block.rows.begin());
  block.width = 0;
  for (const std::vector<std::string>& row : block.rows) block.width = std::max(block.width, static_cast<int>(row.size()));
  if (!block.rows.empty()) block.width = std::max(block.width, 1);
  return true;
}
