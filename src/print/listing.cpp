#include "print/listing.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <initializer_list>

#include "io/formatparts.h"
#include "io/textconv.h"

namespace {

// The fixed lines of both listings, as GBK bytes, made once.
struct ListingTexts {
  std::string title = Gbk("          电测深观测数据  ");
  std::string datPurpose = Gbk("文件用途:电测深各参数参数断面图及电阻率1D,2D反演");
  std::string vesPurpose = Gbk("文件用途:电测深VES电阻率1D,2D反演及成图.");
  std::string workArea = Gbk("工区：");
  std::string line = Gbk("测线：");
  std::string stationsOnLine = Gbk("该测线共有测点：");
  std::string stationsUnit = Gbk("个");
  std::string stationName = Gbk("测点号：");
  std::string position = Gbk("点位: x=");
  std::string spacingCount = Gbk("观测极距个数：");
  std::string pageTitle = Gbk("      电测深观测数据");
};

const ListingTexts& Texts() {
  static const ListingTexts texts;
  return texts;
}

// The number of rows of a station that can be listed: its spacing count, but never more than
// any of the columns the listing reads holds, so a damaged record cannot make it read past one.
std::size_t ListedRows(const sdata& s, std::initializer_list<int> columns) {
  std::size_t rows = s.SpacingCount > 0 ? static_cast<std::size_t>(s.SpacingCount) : 0;
  for (int k : columns) rows = std::min(rows, s.Columns[static_cast<std::size_t>(k)].size());
  return rows;
}

// N of the water-finding listing: X truncated toward zero, in plain decimal.
void AppendTruncated(std::string& out, float x) {
  const double d = x;
  if (!std::isfinite(d)) {
    out += FormatTenths(x);  // NAN, INF: the listing shows what is held rather than a number
    return;
  }
  // Plus 0.0 turns a truncated -0.5 (negative zero) into 0.
  const double n = std::trunc(d) + 0.0;
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, n, std::chars_format::fixed, 0);
  out.append(buf, res.ptr);
}

// The six opening lines both listings share: title, rule, identification, purpose.
void AppendOpening(std::vector<std::string>& lines, std::size_t hyphens, const std::string& purpose) {
  lines.emplace_back();
  lines.push_back(Texts().title);
  lines.emplace_back(hyphens, '-');
  lines.push_back(fileformat::IdentLine());
  lines.push_back(purpose);
  lines.emplace_back();
}

}  // namespace

void BuildVesListing(const StationList& stations, std::vector<std::string>& lines) {
  const ListingTexts& t = Texts();
  AppendOpening(lines, 43, t.vesPurpose);
  // The work area and the line are those of the first station.
  const sdata empty;
  const sdata& first = stations.empty() ? empty : stations.front();
  lines.push_back(t.workArea + first.WorkArea + " " + t.line + first.Profile + " ");
  std::string count = t.stationsOnLine;
  AppendInt(count, static_cast<long long>(stations.size()));
  count += t.stationsUnit;
  lines.push_back(std::move(count));
  lines.emplace_back();

  for (const sdata& s : stations) {
    const std::size_t rows = ListedRows(s, {colAB2, colRho});
    lines.push_back(t.stationName + s.Name);
    lines.push_back(t.position + FormatFloat15(s.X) + "   y= " + FormatFloat15(s.Y));
    std::string spacings = t.spacingCount;
    AppendInt(spacings, static_cast<long long>(rows));
    lines.push_back(std::move(spacings));
    lines.emplace_back("AB/2     AppRes");
    for (std::size_t k = 0; k < rows; ++k)
      lines.push_back(FormatTenths(s.Columns[colAB2][k]) + "      " + FormatTenths(s.Columns[colRho][k]));
    lines.emplace_back();
  }
  lines.emplace_back("At the end of ves file");
}

void BuildDatListing(const StationList& stations, std::vector<std::string>& lines) {
  AppendOpening(lines, 39, Texts().datPurpose);
  lines.emplace_back("N    AB/2   MN/2    RO    M1    R   TH  TD   ZP");

  static const float kMN2 = 0.5f;  // MN/2 is listed as the constant .5
  for (const sdata& s : stations) {
    const std::size_t rows = ListedRows(s, {colAB2, colRho, colIP, colR, colTH, colTD, colZP});
    for (std::size_t k = 0; k < rows; ++k) {
      std::string row;
      AppendTruncated(row, s.X);
      for (float v : {s.Columns[colAB2][k], kMN2, s.Columns[colRho][k], s.Columns[colIP][k], s.Columns[colR][k],
                      s.Columns[colTH][k], s.Columns[colTD][k], s.Columns[colZP][k]}) {
        row += "   ";
        row += FormatTenths(v);
      }
      lines.push_back(std::move(row));
    }
  }
  lines.emplace_back("End of Dat File");
}

std::vector<ListingPage> LayOutListing(const std::vector<std::string>& lines, int lineHeight, int pageHeight) {
  const ListingTexts& t = Texts();
  const int bottom = pageHeight - kListingBottomMargin;
  std::vector<ListingPage> pages(1);
  int y = kListingTop;
  for (const std::string& line : lines) {
    pages.back().lines.push_back({y, line});
    y += lineHeight;
    if (y > bottom) {
      // Every following page opens with the two-line page heading.
      y = kListingTop;
      pages.emplace_back();
      pages.back().lines.push_back({y, t.pageTitle});
      y += lineHeight;
      pages.back().lines.push_back({y, std::string(32, '-')});
      y += lineHeight;
    }
  }
  return pages;
}
