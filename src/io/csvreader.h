#pragma once
// Splitting CSV bytes into rows of cells, with libcsv in its strict RFC 4180 mode: a quoted
// cell may hold separators, line breaks and quotes written twice (""); blanks (and tabs,
// unless the tab is the separator) around an unquoted cell are dropped, inside quotes kept.
// A line may end in CR LF, LF or CR.
//
// Rows are numbered from 1 as a spreadsheet numbers them: every record is one row, an empty
// line is a row of no cells, and a line break inside quotes does not start a new row.

#include <functional>
#include <string_view>
#include <vector>

struct CsvReadError {
  enum class Kind {
    None,
    BadQuote,       // a quote inside an unquoted cell, or text right after a closing quote
    UnclosedQuote,  // a quoted cell still open at the end of the data
    NoMemory,
  };
  Kind kind = Kind::None;
  int row = 0;  // the row where the fault is
};

// One row: its number and its cells (raw bytes, valid only during the call).
using CsvRowFn = std::function<void(int row, const std::vector<std::string_view>& cells)>;

// Calls onRow for every row of bytes, in order, separator being ',', ';' or '\t' (any byte
// but a quote, CR or LF). At a fault it stops: the rows before it have been passed, the row
// holding it has not; the fault is returned. Never throws of its own.
CsvReadError ReadCsvRows(std::string_view bytes, char separator, const CsvRowFn& onRow);
