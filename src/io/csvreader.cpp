#include "io/csvreader.h"

#include <csv.h>

#include <cstddef>
#include <string>

namespace {

// What the libcsv callbacks collect for one row.
struct RowCollector {
  const CsvRowFn* onRow = nullptr;
  std::string bytes;               // the cells of the current row, one after the other
  std::vector<std::size_t> ends;   // where each cell ends in bytes
  std::vector<std::string_view> cells;
  int row = 0;                     // rows passed so far
  int lastEnd = 0;                 // the byte that ended the last row reported by libcsv
};

void OnCell(void* data, std::size_t size, void* context) {
  auto* c = static_cast<RowCollector*>(context);
  if (size > 0) c->bytes.append(static_cast<const char*>(data), size);
  c->ends.push_back(c->bytes.size());
}

void OnRowEnd(int end, void* context) {
  auto* c = static_cast<RowCollector*>(context);
  // libcsv (with CSV_REPALL_NL) reports every line end outside quotes; the LF of a CR LF
  // comes as an empty row of its own and is not a row of the file.
  const bool lfOfCrLf = c->ends.empty() && end == '\n' && c->lastEnd == '\r';
  c->lastEnd = lfOfCrLf ? 0 : end;
  if (lfOfCrLf) return;
  ++c->row;
  c->cells.clear();
  std::size_t start = 0;
  for (std::size_t e : c->ends) {
    c->cells.emplace_back(c->bytes.data() + start, e - start);
    start = e;
  }
  (*c->onRow)(c->row, c->cells);
  c->bytes.clear();
  c->ends.clear();
}

int IsBlank(unsigned char c) { return c == CSV_SPACE; }

// Frees the parser however the reading ends.
struct Parser {
  csv_parser p{};
  bool ready = false;
  ~Parser() {
    if (ready) csv_free(&p);
  }
};

}  // namespace

CsvReadError ReadCsvRows(std::string_view bytes, char separator, const CsvRowFn& onRow) {
  RowCollector collector;
  collector.onRow = &onRow;
  Parser parser;
  if (csv_init(&parser.p, CSV_STRICT | CSV_STRICT_FINI | CSV_REPALL_NL) != 0) return {CsvReadError::Kind::NoMemory, 1};
  parser.ready = true;
  csv_set_delim(&parser.p, static_cast<unsigned char>(separator));
  // libcsv drops blanks and tabs around unquoted cells; where the tab separates cells, only
  // blanks. (Its own test, without a function to call per byte, is the faster one.)
  if (separator == '\t') csv_set_space_func(&parser.p, IsBlank);

  const std::size_t parsed = csv_parse(&parser.p, bytes.data(), bytes.size(), OnCell, OnRowEnd, &collector);
  if (parsed != bytes.size()) {
    const auto kind = csv_error(&parser.p) == CSV_EPARSE ? CsvReadError::Kind::BadQuote : CsvReadError::Kind::NoMemory;
    return {kind, collector.row + 1};
  }
  if (csv_fini(&parser.p, OnCell, OnRowEnd, &collector) != 0) {
    const auto kind = csv_error(&parser.p) == CSV_EPARSE || csv_error(&parser.p) == CSV_SUCCESS
                          ? CsvReadError::Kind::UnclosedQuote
                          : CsvReadError::Kind::NoMemory;
    return {kind, collector.row + 1};
  }
  return {};
}
