#include "io/profiledat.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "io/formatparts.h"
#include "io/textconv.h"
#include "io/textfile.h"

namespace {

const std::string& CombinedPurposeLine() {
  static const std::string line = Gbk("文件用途: 联合剖面或三极剖面法电阻率数据");
  return line;
}

const std::string& FourPolePurposeLine() {
  static const std::string line = Gbk("文件用途: 对称四极剖面法电阻率数据");
  return line;
}

void AppendHeader(std::string& out, const std::string& purpose) {
  AppendLine(out, fileformat::IdentLine());
  AppendLine(out, purpose);
  AppendLine(out, fileformat::ColumnHeaderLine());
}

// One data line per point: N, AB/2, MN/2, RO, the fixed no-value fields, then the tail
// (X2 and X3). A point lacking one of the four values is not written.
void AppendPoints(std::string& out, const sdata& s, std::string_view tail) {
  const auto& c = s.Columns;
  const std::size_t points =
      std::min({c[colAB2].size(), c[colPointNo].size(), c[colMN2].size(), c[colRho].size()});
  for (std::size_t j = 0; j < points; ++j) {
    for (int k : {colPointNo, colAB2, colMN2}) {
      AppendReal(out, c[k][j]);
      out += ' ';
    }
    AppendReal(out, c[colRho][j]);
    out += " -9999 -9999 ";
    out += " -9999 -9999 -9999 -9999";
    out += tail;
    out += "\r\n";
  }
}

}  // namespace

std::string BuildCombinedProfileFile(const StationList& stations) {
  std::string out;
  AppendHeader(out, CombinedPurposeLine());
  for (const sdata& s : stations) AppendPoints(out, s, s.Name == "A" ? " 1 -9999" : " 2 -9999");
  return out;
}

std::string BuildFourPoleProfileFile(const sdata& line) {
  std::string out;
  AppendHeader(out, FourPolePurposeLine());
  AppendPoints(out, line, " -9999 -9999");
  return out;
}

bool IsCombinedProfileName(std::string_view path) {
  std::int32_t lineNumber = 0;
  return TryStrToInt(BaseNameWithoutExtension(path), lineNumber);
}

std::string FourPoleFilePath(std::string_view folder, std::string_view lineName) {
  // The line's name is one file name: a '/' in it would name another folder.
  std::string name(lineName);
  std::replace(name.begin(), name.end(), '/', '_');
  std::string path(folder);
  if (!path.empty() && path.back() != '/') path += '/';
  path += ForceExtension(name, ".dat");
  return path;
}
