#pragma once
// Importing stations from a CSV table: the file made by BuildCsvExport, or one typed in a
// spreadsheet. Reading never changes the survey: PreviewCsv tells how the file was
// understood, which rows are refused and why, and the stations the good rows make; the caller
// then runs CheckImportedStations, and only when it finds nothing adds every station in one
// step (AddImportedStations). A refused row is left out (the preview lists it with its reason);
// the other rows are imported.
//
// What PreviewCsv understands:
// - Encoding: a UTF-8 byte-order mark means UTF-8; without one, bytes that are valid UTF-8 are
//   read as UTF-8, others as GBK (the code page of Chinese Windows spreadsheets). Chinese in
//   UTF-8 takes three bytes a character, while GBK Chinese that happens to be valid UTF-8
//   reads as two-byte characters (GBK "谢" is UTF-8 "л"): in bytes that are valid both ways
//   and hold only two-byte characters, a text to import (or an unknown header) beyond ASCII
//   is not guessed at; the preview asks the caller to choose (encodingUndecided). A unit
//   such as "(Ω·m)" in a known header does not count. The caller may insist on one encoding
//   (CsvEncodingChoice).
//   UTF-16 files, Excel workbooks and binary files are refused with a message saying how to
//   save a CSV file.
// - Separator: ',', ';' or tab, whichever makes the first non-empty line name the most known
//   columns (then: gives the most cells; then in that order). A first line "sep=X" (as Excel
//   writes it) sets the separator and is otherwise passed over.
// - Cells: RFC 4180 quoting (see csvreader.h); blanks around numbers do not matter. A quote
//   misused (inside an unquoted cell, or text after a closing quote) or never closed refuses
//   the file, naming its row: what follows it cannot be read with certainty.
// - Header: the first row that names a known column (among the first rows of the file; when
//   none does, the first non-empty row that is no comment). Rows above it are passed over with
//   a note: comments (a first cell beginning with '#' or "//") and titles of the table. Each
//   cell is matched with CsvFieldOfHeader, in any order, unless the caller maps the columns
//   itself (CsvChoices::fields).
//   A header that is not understood is a note, and its column is not imported. The export's
//   model columns (模型视电阻率, 残差) are understood and not imported; its table of models,
//   from the row holding kCsvModelTableMark on, ends the rows read, with a note.
// - Data type: the one the caller chose (CsvChoices::type); else IP columns (综合激电参数,
//   视极化率, 半衰时, 衰减度, 偏离度) make water finding; a point-number or branch column makes a
//   profile, combined when it has a branch column, four-pole otherwise; else a sounding (an
//   MN/2 column alone, common in sounding tables, does not make a profile). Both IP and profile
//   columns refuse the file, unless a type was chosen. A column the type does not hold (MN/2 of
//   a sounding) is not imported, with a note.
//   Columns each type needs (missing ones refuse the file):
//     sounding       测点编号, x, y, AB/2, 视电阻率
//     water finding  x, y, AB/2, 视电阻率 and the five IP columns (the station's name is the
//                    x cell as typed when there is no 测点编号 column, as the window names it)
//     four-pole      测点编号 or 剖面编号 (either stands for both), 点号, AB/2, MN/2, 视电阻率
//     combined       分支 (A or B; 1 and 2 are read as A and B), 点号, AB/2, MN/2, 视电阻率
//   A profile without an x (y) column gets x = 50 x its position among the file's lines
//   (y = 0), as the window proposes x for the next line; see AssignLinePositions.
//   Work area, profile, operator and instrument columns are optional (empty texts).
// - Rows: one reading per row. Rows are grouped into stations by name, x and y (those of
//   them that have a column), in file order, wherever the rows stand; a station's readings
//   keep file order. On a later row of a station an empty text takes the station's value; a
//   different one refuses the row. A row whose station cells are all empty continues the
//   station of the row above (the layout of a table that names each station once). A row
//   whose reading cells are all empty names a station without adding a reading: that is how
//   the export writes a station without readings.
// - Numbers: '.' is the decimal point. In a ';' or tab separated file a number with one ','
//   and no '.' ("1,5") is read with the ',' as decimal point; in a ',' separated file such a
//   cell (it can only be quoted) is refused, as a comma there may as well group thousands.
// - Refused rows: cells missing or left over (ragged rows; empty cells past the header and
//   missing cells of columns not imported are fine), a reading or coordinate cell empty or
//   not a number ("nan" and "inf" included), a text with a line break (a data file line
//   cannot hold it), with the replacement character U+FFFD (the text was already lost by a
//   program that read GBK as UTF-8), with bytes that are not text in the file's encoding, or
//   with a character GBK cannot hold; a branch other than A or B; a repeated header row;
//   a station differing in a text from its earlier rows; readings with no station cells and
//   no station above them (or a refused one).
//   Notes (the import may go ahead): empty rows (also rows whose cells to import are all
//   empty), unknown headers, data under a column without a header, a station column in a
//   combined profile (the branch names it), readings-free rows of a station that has
//   readings, assigned line positions.
// - Row numbers count every record from 1, the header and empty lines included, as a
//   spreadsheet numbers its rows; a line break inside quotes does not start a new row.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "io/csvcolumns.h"
#include "model/sdata.h"

enum class CsvEncoding { Utf8, Utf8WithBom, Gbk };
enum class CsvEncodingChoice { Detect, Utf8, Gbk };

// What the user chose in the preview: the encoding, the data type (none: worked out from the
// header) and what each column holds (empty: worked out from the header; otherwise one field
// per column of the header row, Unknown for a column not to import).
struct CsvChoices {
  CsvEncodingChoice encoding = CsvEncodingChoice::Detect;
  std::optional<DataType> type;
  std::vector<CsvField> fields;
};

struct CsvColumn {
  std::string header;                 // the header cell as UTF-8 (bytes that are not text as \xNN)
  CsvField field = CsvField::Unknown;
  bool used = false;                  // whether the import takes its cells
};

struct CsvRowProblem {
  int row = 0;           // row of the file, from 1
  bool refused = true;   // refused: the import cannot go ahead; otherwise a note
  std::string message;   // UTF-8, beginning "第 N 行："
};

// Where a station's rows stand in the file.
struct CsvStationRows {
  int firstRow = 0;           // the row that first named the station
  std::vector<int> readings;  // the row of each reading, in the station's order
};

struct CsvPreview {
  CsvEncoding encoding = CsvEncoding::Utf8;
  // Read as UTF-8 without a byte-order mark, some text holds characters that GBK cannot hold,
  // and the bytes are also valid GBK: the file may well be GBK; preview it again with
  // CsvEncodingChoice::Gbk to see.
  bool gbkReadingPossible = false;
  // The bytes read both as UTF-8 and as GBK, and nothing tells which is meant: fileError
  // names the row of a text that reads differently and shows it both ways; preview again
  // with CsvEncodingChoice::Utf8 or ::Gbk.
  bool encodingUndecided = false;
  char separator = ',';
  bool commaDecimals = false;      // some number was read with ',' as its decimal point
  int headerRow = 0;               // 0 when no header was found
  std::vector<CsvColumn> columns;  // one per header cell
  bool typeKnown = false;          // the header names reading columns of one data type
  DataType type = dtSounding;
  bool positionsAssigned = false;  // a profile without x or y column: see above
  std::string fileError;           // UTF-8; set when the file as a whole cannot be imported
  std::vector<CsvRowProblem> problems;      // in row order
  StationList stations;                     // the stations the import would add, file order
  std::vector<CsvStationRows> stationRows;  // per station
  int dataRows = 0;                         // non-empty rows after the header

  // There are stations to import: the file could be read, whatever rows were refused.
  bool CanImport() const;
  std::size_t RefusedRowCount() const;  // rows with a refused problem
  std::size_t ImportedReadings() const;  // the readings of the stations
};

// Never throws (but std::bad_alloc), never loops; reading a file of any bytes is safe.
CsvPreview PreviewCsv(std::string_view bytes, const CsvChoices& choices);
inline CsvPreview PreviewCsv(std::string_view bytes, CsvEncodingChoice choice = CsvEncodingChoice::Detect) {
  return PreviewCsv(bytes, CsvChoices{choice, std::nullopt, {}});
}
// The same for a file; a fileError when it cannot be opened or read.
CsvPreview PreviewCsvFile(const std::string& path, const CsvChoices& choices);
inline CsvPreview PreviewCsvFile(const std::string& path, CsvEncodingChoice choice = CsvEncodingChoice::Detect) {
  return PreviewCsvFile(path, CsvChoices{choice, std::nullopt, {}});
}

// Names for the preview: "UTF-8（带 BOM）", "UTF-8", "GBK"; "逗号", "分号", "制表符".
const char* CsvEncodingLabel(CsvEncoding encoding);
const char* CsvSeparatorLabel(char separator);

// ---- After the preview ----

struct StationProblem {
  std::size_t station = 0;  // index into the imported stations
  int row = 0;              // row of the file, 0 when no rows were given
  std::string message;      // UTF-8
};

// The checks the window makes on a typed station, made on the imported ones as if they were
// typed one after the other in list order after the survey's stations:
// - column 1 (AB/2 of a sounding, point number of a profile) of every reading > 0 and
//   <= 10000; column 2 (resistivity of a sounding, AB/2 of a profile) > 0 and <= 50000;
// - no two readings of a station whose column 1 differs by less than 0.1 (the later one is
//   named);
// - at most 49 readings per sounding station, at most 100000 points per profile line;
// - no station at the same point as one of the survey or an earlier imported one: two
//   stations are at the same point when |dx| < 0.1 and |dy| < 0.1 (differences in double);
// - a combined-profiling line holds at most 3 branches, the survey's included.
// rows (PreviewCsv's stationRows) lets the messages name file rows; it may be empty.
// Problems come per station in list order. Runs in about n log n time for n readings.
std::vector<StationProblem> CheckImportedStations(DataType type, const StationList& survey,
                                                  const StationList& imported,
                                                  const std::vector<CsvStationRows>& rows = {});

// The step between the x of successive profile lines that the window proposes.
inline constexpr float kLineXStep = 50.0f;

// Gives imported profile lines the positions the window would: line i gets x = 50 x
// (linesBefore + i) and y = 0. For a preview with positionsAssigned, linesBefore being the
// number of lines in the survey, before CheckImportedStations.
void AssignLinePositions(StationList& imported, std::size_t linesBefore);

// Adds the stations to the survey in x order, each after every station of smaller or equal x,
// as inserting them one by one with InsertStationByX in list order would, without its
// quadratic cost. The survey is put in x order first.
void AddImportedStations(StationList& survey, StationList imported);
