// The checks of a typed station, made on imported ones, and adding them to the survey.
#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <set>
#include <unordered_map>

#include "io/csvimport.h"
#include "io/templates.h"
#include "io/textconv.h"
#include "model/stations.h"

namespace {

// Bounds of column 1 and column 2 of the input grid, compared as floats.
constexpr float kMaxColumn1 = 10000.0f;
constexpr float kMaxColumn2 = 50000.0f;
// Two column-1 values closer than this are the same spacing (or point).
constexpr double kDuplicateTolerance = 0.1;
// Two stations whose x and y both differ by less than this are the same point.
constexpr double kSamePointTolerance = 0.1;
// A sounding grid holds 49 spacings; a profile grid at most this many points.
constexpr std::size_t kMaxSoundingReadings = 49;
constexpr std::size_t kMaxProfilePoints = 100000;
// A combined-profiling line is complete with this many branches in the list.
constexpr std::size_t kCombinedBranches = 3;

// A station's name as UTF-8; "?" when it is no GBK text.
std::string NameOf(const sdata& s) {
  try {
    return GbkToUtf8(s.Name);
  } catch (const GbkError&) {
    return "?";
  }
}

std::string Num(std::size_t n) { return std::to_string(n); }
std::string Num(int n) { return std::to_string(n); }


// Stations by the 0.1-wide square their point lies in, so that a station is compared only
// with those of the 3 x 3 squares around its own.
class PointIndex {
 public:
  struct Entry {
    double x, y;
    std::size_t id;
  };
  // The entry of smallest id at the same point as (x, y), or nullptr.
  const Entry* SamePoint(double x, double y) const {
    const Entry* found = nullptr;
    const long long cx = Square(x), cy = Square(y);
    for (long long dx = -1; dx <= 1; ++dx) {
      for (long long dy = -1; dy <= 1; ++dy) {
        auto it = squares_.find(Key(cx + dx, cy + dy));
        if (it == squares_.end()) continue;
        for (const Entry& e : it->second) {
          if (std::fabs(x - e.x) < kSamePointTolerance && std::fabs(y - e.y) < kSamePointTolerance &&
              (found == nullptr || e.id < found->id))
            found = &e;
        }
      }
    }
    return found;
  }
  void Add(double x, double y, std::size_t id) { squares_[Key(Square(x), Square(y))].push_back({x, y, id}); }

 private:
  // Squares beyond +-2^60 merge into the outermost ones: still correct, only slower there.
  static long long Square(double v) {
    constexpr double kLimit = 1152921504606846976.0;  // 2^60
    const double s = std::floor(v / kSamePointTolerance);
    return static_cast<long long>(std::clamp(s, -kLimit, kLimit));
  }
  static unsigned long long Key(long long cx, long long cy) {
    return static_cast<unsigned long long>(cx) * 0x9E3779B97F4A7C15ULL ^ static_cast<unsigned long long>(cy);
  }
  // Squares that share a key share a list; the exact test keeps them apart.
  std::unordered_map<unsigned long long, std::vector<Entry>> squares_;
};

void CheckReadings(DataType type, const sdata& s, std::size_t station, const CsvStationRows* rows,
                   std::vector<StationProblem>& problems) {
  const bool sounding = IsSoundingType(type);
  const auto& col1 = s.Columns[sounding ? colAB2 : colPointNo];
  const auto& col2 = s.Columns[sounding ? colRho : colAB2];
  const std::string name = NameOf(s);
  auto rowOf = [rows](std::size_t r) { return rows && r < rows->readings.size() ? rows->readings[r] : 0; };
  auto add = [&](int row, const std::string& text) { problems.push_back({station, row, AtFileRow(row, text)}); };

  const std::size_t limit = sounding ? kMaxSoundingReadings : kMaxProfilePoints;
  if (col1.size() > limit) {
    add(rows ? rows->firstRow : 0,
        Fill(sounding ? tmpl::kCheckTooManySpacings : tmpl::kCheckTooManyPoints, {name, Num(col1.size()), Num(limit)}));
  }
  for (std::size_t r = 0; r < col1.size(); ++r) {
    const float a = col1[r];
    const bool missing2 = r >= col2.size();
    const float b = missing2 ? 0.0f : col2[r];
    if (!(a > 0.0f && a <= kMaxColumn1))
      add(rowOf(r), Fill(sounding ? tmpl::kCheckBadSpacing : tmpl::kCheckBadPointNo, {name, Num(r + 1), ShortestReal(a)}));
    if (missing2) {
      add(rowOf(r), Fill(sounding ? tmpl::kCheckNoRho : tmpl::kCheckNoProfileSpacing, {name, Num(r + 1)}));
    } else if (!(b > 0.0f && b <= kMaxColumn2)) {
      add(rowOf(r), Fill(sounding ? tmpl::kCheckBadRho : tmpl::kCheckBadProfileSpacing, {name, Num(r + 1), ShortestReal(b)}));
    }
  }

  // Each reading against the earlier ones, through the earlier values in order.
  std::set<std::pair<double, std::size_t>> earlier;
  for (std::size_t r = 0; r < col1.size(); ++r) {
    const double v = col1[r];
    // The band is a little wider than the tolerance; the exact test decides.
    constexpr double kBand = kDuplicateTolerance * 1.25;
    for (auto it = earlier.lower_bound({v - kBand, 0}); it != earlier.end() && it->first <= v + kBand; ++it) {
      if (std::fabs(v - it->first) < kDuplicateTolerance) {
        const std::size_t p = it->second;
        const bool byRow = rowOf(p) > 0;
        const char* text = sounding ? (byRow ? tmpl::kCheckSpacingNearRow : tmpl::kCheckSpacingNearReading)
                                    : (byRow ? tmpl::kCheckPointNearRow : tmpl::kCheckPointNearReading);
        add(rowOf(r), Fill(text, {name, Num(r + 1), ShortestReal(col1[r]), byRow ? Num(rowOf(p)) : Num(p + 1),
                                  ShortestReal(col1[p])}));
        break;
      }
    }
    earlier.emplace(v, r);
  }
}

}  // namespace

std::vector<StationProblem> CheckImportedStations(DataType type, const StationList& survey,
                                                  const StationList& imported,
                                                  const std::vector<CsvStationRows>& rows) {
  std::vector<StationProblem> problems;
  PointIndex points;
  for (std::size_t i = 0; i < survey.size(); ++i) points.Add(survey[i].X, survey[i].Y, i);
  for (std::size_t i = 0; i < imported.size(); ++i) {
    const sdata& s = imported[i];
    const CsvStationRows* where = i < rows.size() ? &rows[i] : nullptr;
    const int row = where ? where->firstRow : 0;
    if (type == dtCombinedProfile && survey.size() + i >= kCombinedBranches) {
      problems.push_back({i, row, AtFileRow(row, Fill(tmpl::kCheckBranchesFull, {Num(kCombinedBranches), NameOf(s)}))});
    }
    if (const PointIndex::Entry* same = points.SamePoint(s.X, s.Y)) {
      std::string text;
      if (same->id < survey.size()) {
        text = Fill(tmpl::kCheckSameAsSurvey, {NameOf(s), NameOf(survey[same->id])});
      } else {
        const std::size_t j = same->id - survey.size();
        const int otherRow = j < rows.size() ? rows[j].firstRow : 0;
        text = otherRow > 0 ? Fill(tmpl::kCheckSameAsRow, {NameOf(s), Num(otherRow), NameOf(imported[j])})
                            : Fill(tmpl::kCheckSameAsImported, {NameOf(s), NameOf(imported[j])});
      }
      problems.push_back({i, row, AtFileRow(row, text)});
    }
    points.Add(s.X, s.Y, survey.size() + i);
    CheckReadings(type, s, i, where, problems);
  }
  return problems;
}

void AssignLinePositions(StationList& imported, std::size_t linesBefore) {
  for (std::size_t i = 0; i < imported.size(); ++i) {
    imported[i].X = kLineXStep * static_cast<float>(linesBefore + i);
    imported[i].Y = 0.0f;
  }
}

void AddImportedStations(StationList& survey, StationList imported) {
  SortStationsByX(survey);
  auto byX = [](const sdata& a, const sdata& b) { return a.X < b.X; };
  std::stable_sort(imported.begin(), imported.end(), byX);
  StationList merged;
  merged.reserve(survey.size() + imported.size());
  // Of equal x, the survey's stations come first and the imported ones keep their order.
  std::merge(std::make_move_iterator(survey.begin()), std::make_move_iterator(survey.end()),
             std::make_move_iterator(imported.begin()), std::make_move_iterator(imported.end()),
             std::back_inserter(merged), byX);
  survey = std::move(merged);
}
