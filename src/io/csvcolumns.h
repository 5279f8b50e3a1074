#pragma once
// The columns of a CSV table of stations: what each one holds, the header the export writes
// for it, the header texts the import understands, and the columns of each data type.

#include <string>
#include <string_view>
#include <vector>

#include "model/sdata.h"

// What a CSV column holds.
enum class CsvField {
  Unknown,     // a header the import does not understand; the column is ignored
  RowNumber,   // a row-number column (序号, No.); understood and ignored
  Station,     // sdata::Name
  Branch,      // sdata::Name of a combined-profiling branch: A or B
  X,
  Y,
  WorkArea,
  Profile,
  Operator,
  Instrument,
  PointNo,     // Columns[colPointNo]
  AB2,         // Columns[colAB2]
  MN2,         // Columns[colMN2]
  Rho,         // Columns[colRho]
  ZP,          // Columns[colZP]
  IP,          // Columns[colIP]
  TH,          // Columns[colTH]
  TD,          // Columns[colTD]
  R,           // Columns[colR]
  ModelRho,    // the apparent resistivity of the station's model (exported, never imported)
  Residual,    // the reading's residual against the model in percent (exported, never imported)
};

// The header of the layer column of the table of models that the export writes below the
// readings; the import stops reading rows at the row holding it.
inline constexpr std::string_view kCsvModelTableMark = "层号 Layer";

// The header the export writes: Chinese name, a blank, English name ("视电阻率 Rho").
const char* CsvHeaderText(CsvField field);
// The Chinese name alone, as messages name the column ("视电阻率"). "未知列" for Unknown.
const char* CsvFieldLabel(CsvField field);

// The field a header names, or Unknown. A header is understood when, after dropping a unit in
// brackets at its end ("(m)", "（Ω·m）", "[m]"), ASCII case, blanks, '_', '-' and '.', it is one
// of the field's names in Chinese or English, or two such names of the same field side by side
// ("视电阻率 Rho", "测点Station"). The names of each field are listed in csvcolumns.cpp.
// header is UTF-8.
CsvField CsvFieldOfHeader(std::string_view header);

// The columns the export writes for a data type, in order: the station's fields (the name,
// or the branch of a combined profile), x, y, the texts, then the reading columns in the
// order of the input grid.
const std::vector<CsvField>& CsvExportColumns(DataType type);

// The station column Columns[k] a reading field fills, or -1 for the other fields.
int ModelColumnOf(CsvField field);

// Whether the field is one of the station's own (name, branch, x, y, the four texts).
bool IsStationField(CsvField field);

// Whether the field is worked out from the station's model (ModelRho, Residual): the import
// knows it and leaves it.
inline bool IsModelField(CsvField field) { return field == CsvField::ModelRho || field == CsvField::Residual; }

// The text without blanks and tabs at either end.
inline std::string_view TrimCsvBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// The shortest text that reads back as exactly this float ("0.1", "1e-05", "-0"): the export
// writes numbers so, and messages show them so. '.' is the decimal point whatever the locale.
void AppendShortestReal(std::string& out, float value);
std::string ShortestReal(float value);
