// The grid commands (row insert and delete, clearing values, default spacings, the branch
// choice) and the grid each data type lays out when it is chosen.
#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "survey_support.h"

using namespace sessiontest;

namespace {

const std::vector<std::string> kSoundingHeaders = {"序号", "极距", "视电阻率"};
const std::vector<std::string> kWaterHeaders = {"序号", "极距", "视电阻率", "综合激电参数",
                                                "半衰时", "衰减度", "偏离度", "视极化率"};
const std::vector<std::string> kProfileHeaders = {"序号", "点号", "AB/2", "MN/2", "视电阻率"};

std::vector<std::string> Headers(const GridTexts& g) {
  std::vector<std::string> out;
  for (int c = 0; c < g.cols(); ++c) out.push_back(g.cell(c, 0));
  return out;
}

bool HasSpacingGrid(DataType t) { return t == dtSounding || t == dtWaterFinding; }

}  // namespace

// Insert and delete move whole rows, every column with its spacing; the row numbers stay
// consecutive and the count follows the rows.
TEST(Grid, InsertAndDeleteMoveWholeRows) {
  struct Case {
    const char* name;
    DataType type;
    std::vector<std::string> rows;
    int current;  // the data row holding the focus, 0 for none
    bool insert;
    std::vector<std::string> expected;
  };
  const std::vector<std::string> three = {"1.5|100", "2.5|120", "4|130"};
  const std::vector<std::string> water = {"1.5|100|1|2|3|4|5", "2.5|120|6|7|8|9|10"};
  const std::vector<std::string> points = {"20|50|20|1", "40|55|25|2", "60|60|30|3"};
  const Case cases[] = {
      {"insert in the middle", dtSounding, three, 2, true, {"1.5|100", "|", "2.5|120", "4|130"}},
      {"insert at the last row", dtSounding, three, 3, true, {"1.5|100", "2.5|120", "|", "4|130"}},
      {"insert at the first row", dtSounding, three, 1, true, {"|", "1.5|100", "2.5|120", "4|130"}},
      {"insert with no row picked", dtSounding, three, 0, true, {"1.5|100", "2.5|120", "4|130", "|"}},
      {"insert, water finding", dtWaterFinding, water, 2, true, {water[0], "||||||", water[1]}},
      {"insert, four-pole", dtFourPoleProfile, points, 1, true, {"|||", points[0], points[1], points[2]}},
      {"insert in an empty grid", dtSounding, {}, 0, true, {"|"}},
      {"delete in the middle", dtSounding, three, 2, false, {"1.5|100", "4|130"}},
      {"delete the first row", dtSounding, three, 1, false, {"2.5|120", "4|130"}},
      {"delete the last row", dtSounding, three, 3, false, {"1.5|100", "2.5|120"}},
      {"delete, water finding", dtWaterFinding, water, 1, false, {water[1]}},
      {"delete, combined", dtCombinedProfile, points, 2, false, {points[0], points[2]}},
      {"delete with no row picked", dtSounding, three, 0, false, three},
      {"delete in an empty grid", dtSounding, {}, 0, false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Session t;
    Survey& s = t.survey;
    ASSERT_TRUE(s.switchType(c.type));
    FillRows(s, c.rows);
    ASSERT_EQ(s.form().grid.rows(), static_cast<int>(c.rows.size()) + 1);
    if (c.insert) {
      s.insertRow(c.current);
    } else {
      s.deleteRow(c.current);
    }
    const GridTexts& g = s.form().grid;
    EXPECT_EQ(Rows(g), c.expected);
    EXPECT_EQ(RowNumbers(g), Numbers(static_cast<int>(c.expected.size())));
    EXPECT_EQ(s.form().field(Field::EAB), std::to_string(c.expected.size()));
    EXPECT_EQ(Headers(g), HasSpacingGrid(c.type) ? (c.type == dtSounding ? kSoundingHeaders : kWaterHeaders)
                                                 : kProfileHeaders);
    EXPECT_TRUE(t.q.messages.empty());
    EXPECT_TRUE(s.stations().empty());
  }
}

// Choosing a data type lays out its grid: no value typed under the old headings is left to be
// read under the new ones. Sounding types get the 13 default spacings; profile types keep the
// row count with point 20 x r, AB/2 50 and MN/2 20 on every row.
TEST(Grid, TypeSwitchLaysOutTheNewGrid) {
  const DataType types[] = {dtSounding, dtWaterFinding, dtFourPoleProfile, dtCombinedProfile};
  for (DataType from : types) {
    for (DataType to : types) {
      if (from == to) continue;
      SCOPED_TRACE(std::to_string(from) + " -> " + std::to_string(to));
      Session t;
      Survey& s = t.survey;
      ASSERT_TRUE(s.switchType(from));
      SetCount(s, 5);
      // Every cell holds a value, spacings and points included.
      for (int r = 1; r <= 5; ++r)
        for (int c = 1; c < s.form().grid.cols(); ++c) s.editCell(c, r, std::to_string(7 * c + r) + ".5");
      s.editField(Field::EP, "L3");

      ASSERT_TRUE(s.switchType(to));

      EXPECT_TRUE(t.q.messages.empty());
      EXPECT_EQ(s.type(), to);
      EXPECT_TRUE(s.stations().empty());
      const GridTexts& g = s.form().grid;
      EXPECT_EQ(s.form().field(Field::EP), "0");
      if (HasSpacingGrid(to)) {
        EXPECT_EQ(Headers(g), to == dtSounding ? kSoundingHeaders : kWaterHeaders);
        ASSERT_EQ(g.rows(), 14);
        EXPECT_EQ(RowNumbers(g), Numbers(13));
        EXPECT_EQ(Column(g, 1), kDefaultSpacings);
        for (int c = 2; c < g.cols(); ++c) EXPECT_EQ(Column(g, c), std::vector<std::string>(13)) << c;
        EXPECT_EQ(s.form().field(Field::EAB), "13");
        EXPECT_EQ(s.status(), "没有测点数据");
      } else {
        EXPECT_EQ(Headers(g), kProfileHeaders);
        ASSERT_EQ(g.rows(), 6);
        EXPECT_EQ(RowNumbers(g), Numbers(5));
        EXPECT_EQ(Column(g, 1), (std::vector<std::string>{"20", "40", "60", "80", "100"}));
        EXPECT_EQ(Column(g, 2), std::vector<std::string>(5, "50"));
        EXPECT_EQ(Column(g, 3), std::vector<std::string>(5, "20"));
        EXPECT_EQ(Column(g, 4), std::vector<std::string>(5));
        EXPECT_EQ(s.form().field(Field::EAB), "5");
        EXPECT_EQ(s.status(), "没有测线");
      }
    }
  }
}

// Choosing the type already chosen changes nothing.
TEST(Grid, ChoosingTheSameTypeChangesNothing) {
  Session t;
  Survey& s = t.survey;
  s.load(dtWaterFinding, {BuildStation(dtWaterFinding, "0", 0, {{1, 2, 3, 4, 5, 6, 7}})});
  FillValues(s);
  const SurveyState before(s);
  EXPECT_TRUE(s.switchType(dtWaterFinding));
  EXPECT_EQ(SurveyState(s), before);
  EXPECT_TRUE(t.q.messages.empty());
}

// x and y cannot be typed for the profile types: a text in them that is not a number becomes 0
// on the switch, so that lines can still be committed.
TEST(Grid, ProfileTypeMendsCoordinatesThatAreNotNumbers) {
  Session t;
  Survey& s = t.survey;
  s.editField(Field::EX, "abc");
  s.editField(Field::EY, "12");
  ASSERT_TRUE(s.switchType(dtFourPoleProfile));
  EXPECT_EQ(s.form().field(Field::EX), "0");
  EXPECT_EQ(s.form().field(Field::EY), "12");
  FillValues(s);
  EXPECT_TRUE(s.commit());
  EXPECT_TRUE(t.q.messages.empty());
}

// A combined-profiling line begins with branch A, whether it follows a new line or a switch of
// the data type: both discard the list the previous branch belonged to.
TEST(Grid, CombinedBranchAfterNewLineAndSwitch) {
  // A new line starts with branch A; a type switch keeps the branch the choice shows, and the
  // next unit is named after the branch shown.
  const std::tuple<const char*, std::function<bool(Survey&)>, int> starts[] = {
      {"new line", [](Survey& s) { return s.newLine(); }, 0},
      {"switched away and back",
       [](Survey& s) { return s.switchType(dtFourPoleProfile) && s.switchType(dtCombinedProfile); }, 1},
      {"switched from a sounding type",
       [](Survey& s) { return s.switchType(dtSounding) && s.switchType(dtCombinedProfile); }, 1},
  };
  for (const auto& [name, start, branch] : starts) {
    SCOPED_TRACE(name);
    Session t;
    Survey& s = t.survey;
    ASSERT_TRUE(s.switchType(dtCombinedProfile));
    FillValues(s);
    ASSERT_TRUE(s.commit());
    ASSERT_EQ(s.form().branch, 1);
    t.q.answer(Answer::No);
    ASSERT_TRUE(start(s));
    EXPECT_EQ(s.form().branch, branch);
    FillValues(s);
    ASSERT_TRUE(s.commit());
    EXPECT_EQ(s.stations().back().Name, branch == 0 ? "A" : "B");
  }
}

// Clearing empties every value column; spacings, row numbers, headers, the count and the list
// stay.
TEST(Grid, ClearValuesKeepsSpacingsAndRows) {
  Session t;
  Survey& s = t.survey;
  ASSERT_TRUE(s.switchType(dtWaterFinding));
  FillRows(s, {"1.5|100|1|2|3|4|5", "2.5|120|6|7|8|9|10", "4|130|11|12|13|14|15"});
  const StationList stations = {BuildStation(dtWaterFinding, "0", 0, {{1, 2, 3, 4, 5, 6, 7}})};
  s.load(dtWaterFinding, stations);
  s.clearValues();
  const GridTexts& g = s.form().grid;
  EXPECT_EQ(Rows(g), (std::vector<std::string>{"1.5||||||", "2.5||||||", "4||||||"}));
  EXPECT_EQ(RowNumbers(g), Numbers(3));
  EXPECT_EQ(Headers(g), kWaterHeaders);
  EXPECT_EQ(s.form().field(Field::EAB), "3");
  EXPECT_EQ(s.stations(), stations);
}

// The default spacings: 14 rows whatever the grid held, column 1 rewritten.
TEST(Grid, DefaultSpacingsResizeTheGrid) {
  Session t;
  Survey& s = t.survey;
  SetCount(s, 39);
  for (int r = 1; r <= 39; ++r) s.editCell(1, r, std::to_string(r * 7));
  s.defaultSpacings();
  const GridTexts& g = s.form().grid;
  ASSERT_EQ(g.rows(), 14);
  EXPECT_EQ(RowNumbers(g), Numbers(13));
  EXPECT_EQ(Column(g, 1), kDefaultSpacings);
  EXPECT_EQ(s.form().field(Field::EAB), "13");
  EXPECT_TRUE(t.q.messages.empty());
}

// Picking a branch or typing over its name empties the resistivities; points, AB/2 and MN/2
// stay.
TEST(Grid, BranchChoiceEmptiesResistivities) {
  Session t;
  Survey& s = t.survey;
  ASSERT_TRUE(s.switchType(dtCombinedProfile));
  FillValues(s);
  const FormState before = s.form();
  s.chooseBranch(1);
  EXPECT_EQ(s.form().branch, 1);
  EXPECT_EQ(Column(s.form().grid, 4), std::vector<std::string>(13));
  for (int c = 0; c <= 3; ++c) EXPECT_EQ(Column(s.form().grid, c), Column(before.grid, c)) << c;
  s.editCell(4, 3, "55");
  s.branchEdited();
  EXPECT_EQ(s.form().grid.cell(4, 3), "");
  EXPECT_EQ(s.form().branch, 1);
}
