// The typed-station checks made on imported stations, and adding them to the survey.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "io/csvimport.h"
#include "session/datatypespec.h"
#include "io/textconv.h"
#include "model/stations.h"

namespace {

// A station of the type with the grid's first two columns given per reading (column 1 and
// column 2 of the input grid), the other reading columns 1.
sdata Unit(DataType type, std::string name, float x, float y, const std::vector<std::pair<float, float>>& readings) {
  sdata s;
  s.Name = std::move(name);
  s.X = x;
  s.Y = y;
  const GridLayout& layout = LayoutFor(type);
  for (auto [first, second] : readings) {
    for (int g = 1; g < layout.gridColumns; ++g)
      s.Columns[layout.columnOf[g]].push_back(g == 1 ? first : g == 2 ? second : 1.0f);
    for (int k : layout.zeroFilled) s.Columns[k].push_back(0.0f);
  }
  s.SpacingCount = static_cast<std::int32_t>(readings.size());
  return s;
}

std::vector<std::pair<float, float>> Spaced(std::size_t count, float step) {
  std::vector<std::pair<float, float>> r;
  for (std::size_t i = 0; i < count; ++i) r.push_back({step * static_cast<float>(i + 1), 100.0f});
  return r;
}

struct Expected {
  std::size_t station;
  int row;
  const char* says;
};

struct CheckCase {
  const char* name;
  DataType type;
  StationList survey;
  StationList imported;
  std::vector<CsvStationRows> rows;
  std::vector<Expected> problems;
};

TEST(CsvCheck, TypedStationRulesOnImportedStations) {
  const std::vector<CheckCase> cases{
      {"a clean import", dtSounding, {Unit(dtSounding, "S1", 0, 0, {{1.5f, 100}})},
       {Unit(dtSounding, "S2", 50, 0, {{1.5f, 100}, {1.6f, 50000}, {10000, 0.5f}})}, {}, {}},
      {"values out of the grid's bounds, rows named",
       dtSounding,
       {},
       {Unit(dtSounding, "S1", 0, 0, {{0, 100}, {10000.001f, 100}, {2, 0}, {3, 50000.004f}, {4, -1}})},
       {{2, {2, 3, 4, 5, 6}}},
       {{0, 2, "第 2 行：测点“S1”第 1 个读数的 AB/2 是 0，不合法：要大于 0、不超过 10000"},
        {0, 3, "AB/2 是 10000.001，不合法"},
        {0, 4, "视电阻率 是 0，不合法：要大于 0、不超过 50000"},
        {0, 5, "视电阻率 是 50000.004，不合法"},
        {0, 6, "视电阻率 是 -1，不合法"}}},
      {"repeated spacings: closer than 0.1 in double, the later one named",
       dtWaterFinding,
       {},
       {Unit(dtWaterFinding, "100", 0, 0, {{1.5f, 100}, {1.6f, 100}, {2.5f, 100}, {1.55f, 100}, {2.45f, 100}})},
       {{2, {2, 3, 4, 5, 6}}},
       {{0, 5, "第 5 行：测点“100”第 4 个读数的 AB/2 1.55 与第 2 行的 1.5 相差不到 0.1，极距重复了"},
        {0, 6, "第 6 行：测点“100”第 5 个读数的 AB/2 2.45 与第 4 行的 2.5 相差不到 0.1"}}},
      {"repeated point numbers of a profile, no rows given",
       dtFourPoleProfile,
       {},
       {Unit(dtFourPoleProfile, "100", 0, 0, {{20, 50}, {40, 60000}, {20.05f, 50}})},
       {},
       {{0, 0, "测线“100”第 2 个读数的 AB/2 是 60000，不合法：要大于 0、不超过 50000"},
        {0, 0, "测线“100”第 3 个读数的 点号 20.05 与第 1 个读数的 20 相差不到 0.1，点号重复了"}}},
      {"too many readings", dtSounding, {}, {Unit(dtSounding, "S1", 0, 0, Spaced(50, 1.0f))}, {{2, {}}},
       {{0, 2, "测点“S1”有 50 个极距，一个测深点最多 49 个"}}},
      {"the same point as a survey station or an earlier imported one",
       dtSounding,
       {Unit(dtSounding, Gbk("老点"), 100, 200, {})},
       {Unit(dtSounding, "N1", 100.05f, 199.95f, {}), Unit(dtSounding, "N2", 100.1f, 200, {}),
        Unit(dtSounding, "N3", 300, 0, {}), Unit(dtSounding, "N4", 300, -0.09f, {})},
       {{2, {}}, {3, {}}, {4, {}}, {5, {}}},
       {{0, 2, "第 2 行：测点“N1”与已输入的测点“老点”坐标一样（x、y 都相差不到 0.1）"},
        // 100.1f is 100.09999847: closer than 0.1 to 100, while 0.1f itself is not.
        {1, 3, "测点“N2”与已输入的测点“老点”坐标一样"},
        {3, 5, "测点“N4”与第 4 行的测点“N3”坐标一样"}}},
      {"points 0.1 apart are not the same point",
       dtSounding,
       {Unit(dtSounding, "S1", 0, 0, {})},
       {Unit(dtSounding, "S2", 0.1f, 0, {}), Unit(dtSounding, "S3", 0, -0.1f, {})},
       {},
       {}},
      {"a combined line holds three branches",
       dtCombinedProfile,
       {Unit(dtCombinedProfile, "A", 0, 0, {}), Unit(dtCombinedProfile, "B", 50, 0, {})},
       {Unit(dtCombinedProfile, "A", 100, 0, {}), Unit(dtCombinedProfile, "B", 150, 0, {})},
       {{2, {}}, {3, {}}},
       {{1, 3, "第 3 行：一条联合剖面测线最多 3 个分支，已经满了，分支“B”加不进去"}}},
  };
  for (const CheckCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<StationProblem> got = CheckImportedStations(c.type, c.survey, c.imported, c.rows);
    ASSERT_EQ(got.size(), c.problems.size()) << (got.empty() ? "" : got.front().message);
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].station, c.problems[i].station) << got[i].message;
      EXPECT_EQ(got[i].row, c.problems[i].row) << got[i].message;
      EXPECT_NE(got[i].message.find(c.problems[i].says), std::string::npos) << got[i].message;
    }
  }
}

TEST(CsvCheck, ProfileLineOfMoreThan100000Points) {
  // No such line can pass the other checks either: the count is told first.
  const std::vector<StationProblem> got =
      CheckImportedStations(dtFourPoleProfile, {}, {Unit(dtFourPoleProfile, "L", 0, 0, Spaced(100001, 0.05f))});
  ASSERT_FALSE(got.empty());
  EXPECT_NE(got.front().message.find("测线“L”有 100001 个测点，一条测线最多 100000 个"), std::string::npos)
      << got.front().message;
}

TEST(CsvCheck, AddedInXOrderAsIfInsertedOneByOne) {
  StationList survey;
  for (float x : {50.0f, 0.0f, 100.0f, 50.0f}) survey.push_back(Unit(dtSounding, "old" + std::to_string(survey.size()), x, 0, {}));
  StationList imported;
  for (float x : {50.0f, -10.0f, 100.0f, 50.0f, 75.0f, -10.0f})
    imported.push_back(Unit(dtSounding, "new" + std::to_string(imported.size()), x, 1, {}));

  StationList expected = survey;
  for (const sdata& s : imported) InsertStationByX(expected, s);
  StationList got = survey;
  AddImportedStations(got, imported);
  EXPECT_EQ(got, expected);
}

TEST(CsvCheck, LinePositionsFollowTheLinesBefore) {
  StationList lines{Unit(dtFourPoleProfile, "1", 0, 0, {}), Unit(dtFourPoleProfile, "2", 50, 0, {})};
  lines[0].Y = 7;
  AssignLinePositions(lines, 3);
  EXPECT_EQ(lines[0].X, 150.0f);
  EXPECT_EQ(lines[0].Y, 0.0f);
  EXPECT_EQ(lines[1].X, 200.0f);
}

}  // namespace
