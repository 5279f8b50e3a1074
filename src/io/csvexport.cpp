#include "io/csvexport.h"

#include <algorithm>
#include <string_view>

#include "io/csvcolumns.h"
#include "io/textconv.h"

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kRowEnd = "\r\n";

bool NeedsQuotes(std::string_view s) {
  if (s.empty()) return false;
  if (s.find_first_of(",\"\r\n") != std::string_view::npos) return true;
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  return blank(s.front()) || blank(s.back());
}

void AppendCell(std::string& out, std::string_view text) {
  if (!NeedsQuotes(text)) {
    out.append(text);
    return;
  }
  out += '"';
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

const std::string* TextOf(const sdata& s, CsvField field) {
  switch (field) {
    case CsvField::Station:
    case CsvField::Branch: return &s.Name;
    case CsvField::WorkArea: return &s.WorkArea;
    case CsvField::Profile: return &s.Profile;
    case CsvField::Operator: return &s.Operator;
    case CsvField::Instrument: return &s.Instrument;
    default: return nullptr;
  }
}

// The cells of the station's own fields, each followed by ','.
std::string StationCells(const sdata& s, const std::vector<CsvField>& stationFields, std::size_t position) {
  std::string cells;
  for (CsvField f : stationFields) {
    if (f == CsvField::X || f == CsvField::Y) {
      AppendShortestReal(cells, f == CsvField::X ? s.X : s.Y);
    } else {
      try {
        AppendCell(cells, GbkToUtf8(*TextOf(s, f)));
      } catch (const GbkError&) {
        throw GbkError("station " + std::to_string(position + 1) + ": the " + CsvHeaderText(f) +
                       " text is not valid GBK");
      }
    }
    cells += ',';
  }
  return cells;
}

}  // namespace

std::string BuildCsvExport(DataType type, const StationList& stations) {
  const std::vector<CsvField>& columns = CsvExportColumns(type);
  std::vector<CsvField> stationFields;
  std::vector<int> readingColumns;
  for (CsvField f : columns) {
    if (IsStationField(f)) {
      stationFields.push_back(f);
    } else {
      readingColumns.push_back(ModelColumnOf(f));
    }
  }

  std::size_t rows = 0;
  for (const sdata& s : stations) rows += std::max<std::size_t>(s.Columns[colAB2].size(), 1);
  std::string out;
  out.reserve(rows * (40 + 12 * readingColumns.size()) + 256);
  out += kBom;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (i > 0) out += ',';
    out += CsvHeaderText(columns[i]);
  }
  out += kRowEnd;

  for (std::size_t i = 0; i < stations.size(); ++i) {
    const sdata& s = stations[i];
    const std::string prefix = StationCells(s, stationFields, i);
    std::size_t readings = 0;
    for (int k : readingColumns) readings = std::max(readings, s.Columns[k].size());
    if (readings == 0) {
      // A station without readings: its own cells and empty reading cells.
      out += prefix;
      out.append(readingColumns.size() - 1, ',');
      out += kRowEnd;
      continue;
    }
    for (std::size_t r = 0; r < readings; ++r) {
      out += prefix;
      for (std::size_t j = 0; j < readingColumns.size(); ++j) {
        if (j > 0) out += ',';
        const auto& values = s.Columns[readingColumns[j]];
        if (r < values.size()) AppendShortestReal(out, values[r]);
      }
      out += kRowEnd;
    }
  }
  return out;
}
