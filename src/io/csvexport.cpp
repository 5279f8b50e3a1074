#include "io/csvexport.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "interp/stationmodel.h"
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

// The station's name as a cell, followed by ','.
std::string NameCell(const sdata& s, std::size_t position) {
  std::string cell;
  try {
    AppendCell(cell, GbkToUtf8(s.Name));
  } catch (const GbkError&) {
    throw GbkError("station " + std::to_string(position + 1) + ": the name is not valid GBK");
  }
  return cell + ',';
}

// A value of the model, or an empty cell when there is none.
void AppendModelValue(std::string& out, double value) {
  if (std::isfinite(value)) AppendShortestReal(out, static_cast<float>(value));
}

const char* OriginText(ModelOrigin origin) {
  switch (origin) {
    case ModelOrigin::Fitted: return "拟合 Fitted";
    case ModelOrigin::Edited: return "编辑 Edited";
    default: return "文件 File";
  }
}

// Below the readings, after an empty row: one row per layer of every station with a model,
// the half-space without thickness and depth.
void AppendModelTable(std::string& out, const StationList& stations) {
  out += kRowEnd;
  out += "测点编号 Station,x坐标 X,y坐标 Y,";
  out += kCsvModelTableMark;
  out += ",层厚 Thickness,层底深度 Depth,层电阻率 LayerRho,模型来源 Origin";
  out += kRowEnd;
  for (std::size_t i = 0; i < stations.size(); ++i) {
    const sdata& s = stations[i];
    const StationModel& m = s.Model;
    const std::size_t layers = std::min(m.Thickness.size(), m.Resistivity.size());
    if (layers == 0) continue;
    std::string prefix = NameCell(s, i);
    AppendShortestReal(prefix, s.X);
    prefix += ',';
    AppendShortestReal(prefix, s.Y);
    prefix += ',';
    double depth = 0.0;
    for (std::size_t k = 0; k < layers; ++k) {
      out += prefix;
      out += std::to_string(k + 1);
      out += ',';
      if (k + 1 < layers) {
        depth += m.Thickness[k];
        AppendShortestReal(out, m.Thickness[k]);
        out += ',';
        AppendShortestReal(out, static_cast<float>(depth));
      } else {
        out += ',';
      }
      out += ',';
      AppendShortestReal(out, m.Resistivity[k]);
      out += ',';
      out += OriginText(m.Origin);
      out += kRowEnd;
    }
  }
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

  // Soundings with a model get the model's apparent resistivity and the residual beside each
  // reading, and the table of models below; without models the table is as it always was.
  const bool withModels = IsSoundingType(type) && std::any_of(stations.begin(), stations.end(), [](const sdata& s) {
                            return !s.Model.empty();
                          });
  const std::size_t modelCells = withModels ? 2 : 0;

  std::size_t rows = 0;
  for (const sdata& s : stations) rows += std::max<std::size_t>(s.Columns[colAB2].size(), 1);
  std::string out;
  out.reserve(rows * (40 + 12 * (readingColumns.size() + modelCells)) + 256);
  out += kBom;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (i > 0) out += ',';
    out += CsvHeaderText(columns[i]);
  }
  if (withModels) {
    for (CsvField f : {CsvField::ModelRho, CsvField::Residual}) {
      out += ',';
      out += CsvHeaderText(f);
    }
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
      out.append(readingColumns.size() - 1 + modelCells, ',');
      out += kRowEnd;
      continue;
    }
    const std::vector<double> model = withModels ? ModelApparentResistivity(s) : std::vector<double>();
    const std::vector<float>& rho = s.Columns[colRho];
    for (std::size_t r = 0; r < readings; ++r) {
      out += prefix;
      for (std::size_t j = 0; j < readingColumns.size(); ++j) {
        if (j > 0) out += ',';
        const auto& values = s.Columns[readingColumns[j]];
        if (r < values.size()) AppendShortestReal(out, values[r]);
      }
      if (withModels) {
        out += ',';
        if (r < model.size()) AppendModelValue(out, model[r]);
        out += ',';
        if (r < model.size() && r < rho.size() && rho[r] > 0.0f) AppendModelValue(out, ResidualPercent(rho[r], model[r]));
      }
      out += kRowEnd;
    }
  }
  if (withModels) AppendModelTable(out, stations);
  return out;
}
