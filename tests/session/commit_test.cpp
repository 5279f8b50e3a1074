// Committing a unit: the record built from the typed texts, its place in the list, the form made
// ready for the next unit, the x proposed for it, and every way a commit is refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "survey_support.h"

using namespace sessiontest;

namespace {

std::vector<std::string> Resistivities(int station, int rows = 13) {
  std::vector<std::string> out;
  for (int r = 1; r <= rows; ++r) out.push_back(std::to_string(100 * station + r) + ".5");
  return out;
}

// The grid's data rows as the floats a commit reads from them.
std::vector<std::vector<float>> GridValues(const GridTexts& g) {
  std::vector<std::vector<float>> rows;
  for (int r = 1; r < g.rows(); ++r) {
    std::vector<float> row;
    for (int c = 1; c < g.cols(); ++c) row.push_back(StrToFloat(g.cell(c, r)));
    rows.push_back(row);
  }
  return rows;
}

void ExpectMessage(const Message& m, Message::Kind kind, const std::string& text, Message::Icon icon,
                   FocusTarget focus = {}) {
  EXPECT_EQ(m.kind, kind);
  EXPECT_EQ(m.text, text);
  EXPECT_EQ(m.icon, icon);
  EXPECT_EQ(m.buttons, Message::Buttons::Ok);
  EXPECT_TRUE(m.owned);
  EXPECT_EQ(m.focus, focus);
}

}  // namespace

// Three sounding stations: each record, the status, the next station proposed, x order.
TEST(Commit, SoundingStationsGoInXOrderWithTheNextOneProposed) {
  Session t;
  Survey& s = t.survey;
  FillColumn(s, 2, Resistivities(1));
  std::vector<std::vector<float>> rows = GridValues(s.form().grid);
  ASSERT_TRUE(s.commit());
  EXPECT_TRUE(t.q.messages.empty());
  ASSERT_EQ(s.stations().size(), 1u);
  EXPECT_EQ(s.stations()[0], BuildStation(dtSounding, "S1", 0, rows));
  EXPECT_EQ(s.status(), "已输入1个测点");
  EXPECT_EQ(Column(s.form().grid, 1), kDefaultSpacings);
  EXPECT_EQ(Column(s.form().grid, 2), std::vector<std::string>(13));
  EXPECT_EQ(s.form().field(Field::EX), "50");
  EXPECT_EQ(s.form().field(Field::EY), "0");
  EXPECT_EQ(s.form().field(Field::ES), "S2");
  EXPECT_EQ(s.currentIndex(), 0);
  EXPECT_FALSE(s.browsing());
  EXPECT_FALSE(s.saved());

  FillColumn(s, 2, Resistivities(2));
  ASSERT_TRUE(s.commit());
  ASSERT_EQ(s.stations().size(), 2u);
  EXPECT_EQ(s.stations()[1].Name, "S2");
  EXPECT_EQ(s.stations()[1].X, 50.0f);
  EXPECT_EQ(s.currentIndex(), 1);
  EXPECT_EQ(s.form().field(Field::EX), "100");
  EXPECT_EQ(s.form().field(Field::ES), "S3");

  // The third at x 25 goes between them.
  s.editField(Field::EX, "25");
  s.editField(Field::EY, "7.5");
  FillColumn(s, 2, Resistivities(3));
  ASSERT_TRUE(s.commit());
  EXPECT_TRUE(t.q.messages.empty());
  ASSERT_EQ(s.stations().size(), 3u);
  EXPECT_EQ(s.stations()[0].Name, "S1");
  EXPECT_EQ(s.stations()[1].Name, "S3");
  EXPECT_EQ(s.stations()[1].Y, 7.5f);
  EXPECT_EQ(s.stations()[2].Name, "S2");
  EXPECT_EQ(s.currentIndex(), 1);
  EXPECT_EQ(s.status(), "已输入3个测点");
  // Beyond it by the step from the station before it (25), past S2 at 50; the name after S3.
  EXPECT_EQ(s.form().field(Field::EX), "75");
  EXPECT_EQ(s.form().field(Field::ES), "S4");
}

// Every grid column lands in its own Columns[k]; afterwards every measured-value column is
// empty, while spacings, point numbers, AB/2 and MN/2 stay for the next unit.
TEST(Commit, MeasuredColumnsAreEmptiedAndTheRestStays) {
  struct Case {
    DataType type;
    std::vector<int> measured;
    std::string name;  // of the committed unit
  };
  const Case cases[] = {
      {dtSounding, {2}, "S1"},
      {dtWaterFinding, {2, 3, 4, 5, 6, 7}, "0"},  // named after its x
      {dtFourPoleProfile, {4}, "0"},              // named after its line number
      {dtCombinedProfile, {4}, "A"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    Session t;
    Survey& s = t.survey;
    ASSERT_TRUE(s.switchType(c.type));
    SetCount(s, 3);
    FillValues(s);
    const FormState before = s.form();
    ASSERT_TRUE(s.commit());
    EXPECT_TRUE(t.q.messages.empty());
    ASSERT_EQ(s.stations().size(), 1u);
    sdata expected = BuildStation(c.type, c.name, 0, GridValues(before.grid));
    expected.Profile = before.field(Field::EP);
    EXPECT_EQ(s.stations()[0], expected);

    const GridTexts& g = s.form().grid;
    ASSERT_EQ(g.rows(), 4);
    ASSERT_EQ(g.cols(), before.grid.cols());
    EXPECT_EQ(RowNumbers(g), Numbers(3));
    for (int col = 1; col < g.cols(); ++col) {
      SCOPED_TRACE(col);
      const bool measured = std::find(c.measured.begin(), c.measured.end(), col) != c.measured.end();
      EXPECT_EQ(Column(g, col), measured ? std::vector<std::string>(3) : Column(before.grid, col));
    }
  }
}

// The usual sequence of proposals: x 0, 50, 100, ... for every type; four-pole lines step
// their number by 50, combined branches alternate A, B, A.
TEST(Commit, UsualProposalsStepByFifty) {
  for (DataType type : {dtSounding, dtWaterFinding, dtFourPoleProfile, dtCombinedProfile}) {
    SCOPED_TRACE(type);
    Session t;
    Survey& s = t.survey;
    ASSERT_TRUE(s.switchType(type));
    SetCount(s, 2);
    for (int i = 0; i < 3; ++i) {
      FillValues(s);
      ASSERT_TRUE(s.commit());
      const std::string next = std::to_string(50 * (i + 1));
      EXPECT_EQ(s.stations()[static_cast<std::size_t>(i)].X, 50.0f * static_cast<float>(i));
      EXPECT_EQ(s.form().field(Field::EX), next);
      EXPECT_EQ(s.form().field(Field::EY), "0");
      EXPECT_EQ(s.form().field(Field::ES), "S" + std::to_string(i + 2));
      if (type == dtFourPoleProfile) {
        EXPECT_EQ(s.form().field(Field::EP), next);
      }
      if (type == dtCombinedProfile) {
        EXPECT_EQ(s.stations()[static_cast<std::size_t>(i)].Name, i % 2 == 0 ? "A" : "B");
        EXPECT_EQ(s.form().branch, i % 2 == 0 ? 1 : 0);
      }
    }
    EXPECT_TRUE(t.q.messages.empty());
  }
}

// A sounding's next station is proposed after the one just committed: its name's number one
// up and an x beyond it by the last step along the line, past names and places already taken.
TEST(Commit, SoundingProposalFollowsTheCommittedStation) {
  struct Case {
    const char* what;
    StationList listed;
    std::string name, x;  // typed for the committed station
    std::string proposedName, proposedX;
  };
  const Case cases[] = {
      {"a lone station: step 50", {}, "R1", "500", "R2", "550"},
      {"the step from the station before", {Sounding("S3", 100)}, "S4", "150", "S5", "200"},
      {"zeros of the number kept", {Sounding("L3-08", 100)}, "L3-09", "130", "L3-10", "160"},
      {"a name without a number", {}, "北", "0", "S2", "50"},
      {"a taken name and a taken place skipped", {Sounding("S1", 0), Sounding("R3", 100)}, "R2", "50", "R4", "150"},
      {"walking down the line", {Sounding("S1", 100), Sounding("S2", 200)}, "S0", "75", "S3", "50"},
      {"decimals", {Sounding("P1", 10)}, "P2", "12.5", "P3", "15"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Session t;
    Survey& s = t.survey;
    s.load(dtSounding, c.listed);
    SetCount(s, 2);
    FillValues(s);
    s.editField(Field::ES, c.name);
    s.editField(Field::EX, c.x);
    ASSERT_TRUE(s.commit());
    EXPECT_TRUE(t.q.messages.empty());
    EXPECT_EQ(s.form().field(Field::ES), c.proposedName);
    EXPECT_EQ(s.form().field(Field::EX), c.proposedX);
  }
}

// Where x cannot be typed (the profile types) and a unit already stands within 0.1 of the
// proposed 50 x n, the largest x + 50 is proposed instead; the sounding types keep 50 x n.
TEST(Commit, ProfileProposalSkipsAnOccupiedX) {
  struct Case {
    const char* name;
    DataType type;
    StationList listed;
    std::string typedX;
    std::string proposed;
  };
  const Case cases[] = {
      {"sounding: the step from the station after the first", dtSounding, {Sounding("S1", 100)}, "0", "-100"},
      {"four-pole: 50 x n is free", dtFourPoleProfile, {Profile("0", 0)}, "50", "100"},
      {"four-pole: 150 taken", dtFourPoleProfile, {Profile("0", 0), Profile("150", 150)}, "50", "200"},
      {"four-pole: 150.0625 is within 0.1", dtFourPoleProfile, {Profile("0", 0), Profile("150", 150.0625f)}, "50",
       "200.0625"},
      {"four-pole: 150.125 is not", dtFourPoleProfile, {Profile("0", 0), Profile("150", 150.125f)}, "50", "150"},
      {"combined: 100 taken", dtCombinedProfile, {Profile("A", 100)}, "0", "150"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Session t;
    Survey& s = t.survey;
    s.load(c.type, c.listed);
    SetCount(s, 2);
    FillValues(s);
    s.editField(Field::EX, c.typedX);
    ASSERT_TRUE(s.commit());
    EXPECT_TRUE(t.q.messages.empty());
    EXPECT_EQ(s.stations().size(), c.listed.size() + 1);
    EXPECT_EQ(s.form().field(Field::EX), c.proposed);
  }
}

// y cannot be typed for a profile either: a unit standing at the proposed x is in the way
// whatever its y (here a line kept at y 5 from the type switch).
TEST(Commit, ProfileProposalSkipsAnOccupiedXWhateverItsY) {
  Session t;
  Survey& s = t.survey;
  s.load(dtFourPoleProfile, {Profile("0", 0), Profile("150", 150, 5)});
  SetCount(s, 2);
  FillValues(s);
  s.editField(Field::EX, "50");
  ASSERT_TRUE(s.commit());
  EXPECT_EQ(s.form().field(Field::EX), "200");
}

// Each check refuses the commit with its message and focus (on the cell that is wrong);
// nothing else changes, apart from what the check itself does to the count or the grid.
TEST(Commit, RefusedByTheChecks) {
  struct Case {
    const char* name;
    DataType type;
    StationList listed;
    std::vector<std::string> rows;  // typed grid rows (empty: the type's grid, values filled)
    std::vector<std::pair<Field, std::string>> typed;
    std::string message;
    FocusTarget focus;
    std::function<void(FormState&)> checkChanges;  // what the check does to the form
  };
  const auto onEAB = FocusTarget::onField(Field::EAB);
  const Case cases[] = {
      {"x letters", dtSounding, {}, {}, {{Field::EX, "x1"}}, kNotANumber, FocusTarget::onField(Field::EX), {}},
      {"x empty", dtWaterFinding, {}, {}, {{Field::EX, ""}}, kNotANumber, FocusTarget::onField(Field::EX), {}},
      {"y comma", dtSounding, {}, {}, {{Field::EY, "1,5"}}, kNotANumber, FocusTarget::onField(Field::EY), {}},
      {"letters in the count", dtSounding, {}, {}, {{Field::EAB, "ten"}}, kCountLetters, onEAB,
       [](FormState& f) { f.field(Field::EAB) = "0"; }},
      {"letters in a profile count", dtCombinedProfile, {}, {}, {{Field::EAB, "1x"}}, kCountLetters, onEAB,
       [](FormState& f) { f.field(Field::EAB) = "0"; }},
      // A count over 49 still sizes the grid, leaving the new rows unnumbered.
      {"sounding count 50", dtSounding, {}, {}, {{Field::EAB, "50"}}, kCountWrong, onEAB,
       [](FormState& f) { f.grid.setRows(51); }},
      {"water-finding count 50", dtWaterFinding, {}, {}, {{Field::EAB, "50"}}, kCountWrong, onEAB,
       [](FormState& f) { f.grid.setRows(51); }},
      {"illegal: zero spacing in row 4, row 5 bad too", dtSounding, {}, {"1|10", "2|20", "3|30", "0|40", "-1|50"}, {},
       Illegal(4), FocusTarget::onCell(1, 4), {}},
      {"illegal: 60000 ohm-m in row 4", dtSounding, {}, {"1|10", "2|20", "3|30", "4|60000", "5|50"}, {}, Illegal(4),
       FocusTarget::onCell(2, 4), {}},
      {"illegal: empty value in the last row", dtWaterFinding, {}, {"1|10", "2|20", "3|30", "4|40", "5|"}, {},
       Illegal(5), FocusTarget::onCell(2, 5), {}},
      {"illegal: point above 10000", dtFourPoleProfile, {}, {"20|50|20|1", "10001|50|20|2"}, {}, Illegal(2),
       FocusTarget::onCell(1, 2), {}},
      {"repeated: 1.5 2.5 2.55", dtSounding, {}, {"1.5|10", "2.5|20", "2.55|30", "4|40"}, {}, Repeated(2),
       FocusTarget::onCell(1, 3), {}},
      {"repeated: rows 3 and 5", dtSounding, {}, {"1|10", "2|20", "3|30", "4|40", "3|50"}, {}, Repeated(4),
       FocusTarget::onCell(1, 5), {}},
      {"repeated: rows 1 and 5 before rows 2 and 3", dtWaterFinding, {}, {"1|10", "2|20", "2.05|30", "4|40", "1.01|50"},
       {}, Repeated(4), FocusTarget::onCell(1, 5), {}},
      {"repeated: profile points", dtFourPoleProfile, {}, {"20|50|20|1", "40|50|20|2", "40.05|50|20|3"}, {},
       Repeated(2), FocusTarget::onCell(1, 3), {}},
      {"same point as a listed station", dtSounding, {Sounding("S1", 0)}, {}, {{Field::EX, "0.05"}, {Field::EY, "-0.09"}},
       kSameCoordinates, {}, {}},
      {"same point as a listed line", dtFourPoleProfile, {Profile("0", 0), Profile("50", 50)}, {},
       {{Field::EX, "50.05"}}, kSameCoordinates, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Session t;
    Survey& s = t.survey;
    s.load(c.type, c.listed);
    if (c.rows.empty()) {
      FillValues(s);
    } else {
      FillRows(s, c.rows);
    }
    for (const auto& [field, text] : c.typed) s.editField(field, text);
    SurveyState expected(s);
    if (c.checkChanges) c.checkChanges(expected.form);

    EXPECT_FALSE(s.commit());

    ASSERT_EQ(t.q.messages.size(), 1u);
    ExpectMessage(t.q.messages[0], Message::Kind::Simple, c.message, Message::Icon::None, c.focus);
    // A refused cell is named by its row and its column's heading.
    if (c.focus.kind == FocusTarget::Kind::Cell) {
      EXPECT_EQ(t.q.messages[0].details, "第 " + std::to_string(c.focus.row) + " 行，" + s.form().grid.cell(c.focus.col, 0));
    }
    EXPECT_EQ(SurveyState(s), expected);
  }
}

// A sounding station and a line whose x and y both differ from a listed one by less than 0.1
// are the same point.
TEST(Commit, SamePointIsWithinATenthInBothCoordinates) {
  struct Case {
    std::string x, y;
    bool refused;
  };
  const Case cases[] = {
      {"0.05", "0.05", true}, {"-0.09", "0", true}, {"0", "0", true},
      {"0.1", "0", false},    {"0", "0.1", false},  {"0", "-0.1", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.x + " " + c.y);
    Session t;
    Survey& s = t.survey;
    s.load(dtSounding, {Sounding("S1", 0)});
    FillValues(s);
    s.editField(Field::EX, c.x);
    s.editField(Field::EY, c.y);
    EXPECT_EQ(s.commit(), !c.refused);
    EXPECT_EQ(s.stations().size(), c.refused ? 1u : 2u);
    EXPECT_EQ(t.q.texts(), c.refused ? std::vector<std::string>{kSameCoordinates} : std::vector<std::string>{});
  }
}

// A combined-profiling line holds three branches: the fourth is refused, whichever button
// closes the box, and the branch choice and the typed resistivities stay.
TEST(Commit, CombinedLineIsCompleteWithThreeBranches) {
  Session t;
  Survey& s = t.survey;
  ASSERT_TRUE(s.switchType(dtCombinedProfile));
  SetCount(s, 2);
  for (int i = 0; i < 3; ++i) {
    FillValues(s);
    ASSERT_TRUE(s.commit());
  }
  ASSERT_TRUE(t.q.messages.empty());
  FillColumn(s, 4, {"99", "98"});
  const SurveyState before(s);
  t.q.answer(Answer::Ok);
  EXPECT_FALSE(s.commit());
  EXPECT_FALSE(s.commit());  // closed with Cancel
  ASSERT_EQ(t.q.messages.size(), 2u);
  for (const Message& m : t.q.messages) {
    EXPECT_EQ(m.kind, Message::Kind::Plain);
    EXPECT_EQ(m.caption, "Karvelo提示");
    EXPECT_EQ(m.text, kLineComplete);
    EXPECT_EQ(m.buttons, Message::Buttons::OkCancel);
    EXPECT_FALSE(m.owned);
  }
  EXPECT_EQ(SurveyState(s), before);
  EXPECT_EQ(s.form().branch, 1);
  EXPECT_EQ(Column(s.form().grid, 4), (std::vector<std::string>{"99", "98"}));
}

// Text that cannot go into a data file, a character GBK cannot hold or a control character
// that would break a line or a file name, refuses the commit naming the field; corrected, the
// same commit goes through and keeps the text as GBK.
TEST(Commit, UnsavableTextIsRefusedNamingTheField) {
  struct Case {
    const char* name;
    DataType type;
    Field field;
    std::string typed;
    std::string label;
    std::string corrected;
    std::string sdata::*member;
  };
  const std::string emoji = "测线\xF0\x9F\x98\x80北";
  const Case cases[] = {
      {"emoji in the station number", dtSounding, Field::ES, emoji, "测点编号", "北3", &sdata::Name},
      {"emoji in the area", dtSounding, Field::EW, emoji, "测区", "测区北", &sdata::WorkArea},
      {"emoji in the operator", dtWaterFinding, Field::EO, emoji, "操作员", "张三", &sdata::Operator},
      {"Thai in the instrument", dtSounding, Field::EI, "ก", "仪器类型", "DZD-6A", &sdata::Instrument},
      {"emoji in the line number", dtFourPoleProfile, Field::EP, emoji, "剖面编号", "150", &sdata::Name},
      {"tab in the station number", dtSounding, Field::ES, "S\t1", "测点编号", "S1", &sdata::Name},
      {"line break in the station number", dtSounding, Field::ES, "S1\n", "测点编号", "S1", &sdata::Name},
      {"line break in the line number", dtFourPoleProfile, Field::EP, "15\n0", "剖面编号", "150", &sdata::Profile},
      {"tab in the x that names a water-finding station", dtWaterFinding, Field::EX, "120\t", "点位x-坐标", "120",
       &sdata::Name},
      {"line break in the area", dtCombinedProfile, Field::EW, "North\nSouth", "测区", "North", &sdata::WorkArea},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Session t;
    Survey& s = t.survey;
    ASSERT_TRUE(s.switchType(c.type));
    FillValues(s);
    s.editField(c.field, c.typed);
    const SurveyState before(s);

    EXPECT_FALSE(s.commit());

    ASSERT_EQ(t.q.messages.size(), 1u);
    ExpectMessage(t.q.messages[0], Message::Kind::Simple, c.label + "中有不能保存到数据文件的字符，请修改后再插入。",
                  Message::Icon::Warning);
    EXPECT_EQ(SurveyState(s), before);

    s.editField(c.field, c.corrected);
    ASSERT_TRUE(s.commit());
    EXPECT_EQ(t.q.messages.size(), 1u);
    ASSERT_EQ(s.stations().size(), 1u);
    EXPECT_EQ(s.stations()[0].*c.member, Utf8ToGbk(c.corrected));
  }
}

// A cell that is not a number ends the commit with the conversion error; nothing changes.
TEST(Commit, CellThatIsNotANumberIsRefused) {
  struct Case {
    const char* name;
    DataType type;
    int col, row;
    std::string typed;
    std::string details;  // the cell, named in the box
  };
  const Case cases[] = {
      {"sounding resistivity", dtSounding, 2, 3, "x", "第 3 行，视电阻率"},
      {"sounding spacing", dtSounding, 1, 13, "abc", "第 13 行，极距"},
      {"water-finding half-decay time", dtWaterFinding, 4, 2, "x", "第 2 行，半衰时"},
      {"water-finding chargeability", dtWaterFinding, 7, 13, "1,5", "第 13 行，视极化率"},
      {"four-pole MN/2", dtFourPoleProfile, 3, 1, "x", "第 1 行，MN/2"},
      {"combined resistivity", dtCombinedProfile, 4, 13, "x", "第 13 行，视电阻率"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Session t;
    Survey& s = t.survey;
    ASSERT_TRUE(s.switchType(c.type));
    FillValues(s);
    s.editCell(c.col, c.row, c.typed);
    const SurveyState before(s);

    EXPECT_FALSE(s.commit());

    ASSERT_EQ(t.q.messages.size(), 1u);
    const Message& m = t.q.messages[0];
    EXPECT_EQ(m.kind, Message::Kind::Error);
    EXPECT_EQ(m.text, "'" + c.typed + "' is not a valid floating point value");
    EXPECT_EQ(m.buttons, Message::Buttons::Ok);
    EXPECT_EQ(m.details, c.details);
    EXPECT_EQ(m.focus, FocusTarget::onCell(c.col, c.row));
    EXPECT_EQ(SurveyState(s), before);
  }
}

// A line number that is not an integer: the line is added and the form is ready for the next
// line, then the conversion error is shown and EP keeps its text.
TEST(Commit, FourPoleLineNumberNotAnInteger) {
  Session t;
  Survey& s = t.survey;
  ASSERT_TRUE(s.switchType(dtFourPoleProfile));
  SetCount(s, 2);
  FillValues(s);
  ASSERT_TRUE(s.commit());
  s.editField(Field::EP, "L7");
  FillValues(s);
  ASSERT_TRUE(s.commit());
  ASSERT_EQ(s.stations().size(), 2u);
  EXPECT_EQ(s.stations()[1].Name, "L7");
  ASSERT_EQ(t.q.messages.size(), 1u);
  EXPECT_EQ(t.q.messages[0].kind, Message::Kind::Error);
  EXPECT_EQ(t.q.messages[0].text, "'L7' is not a valid integer value");
  EXPECT_EQ(s.form().field(Field::EP), "L7");
  EXPECT_EQ(s.form().field(Field::EX), "100");
  EXPECT_EQ(Column(s.form().grid, 4), std::vector<std::string>(2));
  EXPECT_EQ(s.status(), "已输入2个测点");
  EXPECT_FALSE(s.saved());
}

// A count of 0 or less commits a unit without rows, stored with the count 0.
TEST(Commit, CountOfZeroOrLessCommitsNoRows) {
  for (const char* count : {"0", "-3"}) {
    SCOPED_TRACE(count);
    Session t;
    Survey& s = t.survey;
    s.editField(Field::EAB, count);
    ASSERT_TRUE(s.commit());
    EXPECT_TRUE(t.q.messages.empty());
    ASSERT_EQ(s.stations().size(), 1u);
    EXPECT_EQ(s.stations()[0].SpacingCount, 0);
    for (const auto& column : s.stations()[0].Columns) EXPECT_TRUE(column.empty());
    EXPECT_EQ(s.form().grid.rows(), 1);
  }
}

// The count check on leaving the count field: the grid takes the count's rows and numbers them;
// soundings hold at most 49 spacings; counts no grid could hold leave the grid as it was.
TEST(Checks, CountSizesTheGrid) {
  struct Case {
    DataType type;
    std::string count;
    int rows;
    int numberedUpTo;
    std::string message;
  };
  const Case cases[] = {
      {dtSounding, "49", 50, 49, ""},
      {dtSounding, "50", 51, 13, kCountWrong},
      {dtWaterFinding, "50", 51, 13, kCountWrong},
      {dtWaterFinding, "5", 6, 5, ""},
      {dtFourPoleProfile, "60", 61, 60, ""},
      {dtCombinedProfile, "120", 121, 120, ""},
      {dtSounding, "0", 1, 0, ""},
      {dtSounding, "-5", 1, 0, ""},
      {dtFourPoleProfile, "2000000", 14, 13, kCountWrong},
      {dtSounding, "2147483647", 14, 13, kCountWrong},
      {dtSounding, "1x", 14, 13, kCountLetters},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.type) + " " + c.count);
    Session t;
    Survey& s = t.survey;
    ASSERT_TRUE(s.switchType(c.type));
    s.editField(Field::EAB, c.count);
    EXPECT_EQ(s.checkCount(), !c.message.empty());
    const GridTexts& g = s.form().grid;
    ASSERT_EQ(g.rows(), c.rows);
    for (int r = 1; r < c.rows; ++r) EXPECT_EQ(g.cell(0, r), r <= c.numberedUpTo ? std::to_string(r) : "") << r;
    if (c.message.empty()) {
      EXPECT_TRUE(t.q.messages.empty());
    } else {
      ASSERT_EQ(t.q.messages.size(), 1u);
      ExpectMessage(t.q.messages[0], Message::Kind::Simple, c.message, Message::Icon::None,
                    FocusTarget::onField(Field::EAB));
    }
  }
}

// Leaving x or y with text that is not a number, and entering the grid with the count 0.
TEST(Checks, CoordinatesAndGridEntry) {
  Session t;
  Survey& s = t.survey;
  for (const char* ok : {"-3", "2e3", " 1.5 "}) {
    s.editField(Field::EX, ok);
    EXPECT_FALSE(s.checkX()) << ok;
  }
  s.editField(Field::EY, "north");
  EXPECT_TRUE(s.checkY());
  EXPECT_FALSE(s.checkGridEntry());
  s.editField(Field::EAB, "0");
  EXPECT_TRUE(s.checkGridEntry());
  ASSERT_EQ(t.q.messages.size(), 2u);
  ExpectMessage(t.q.messages[0], Message::Kind::Simple, kNotANumber, Message::Icon::None,
                FocusTarget::onField(Field::EY));
  ExpectMessage(t.q.messages[1], Message::Kind::Simple, "请首先输入极距个数。", Message::Icon::None,
                FocusTarget::onField(Field::EAB));
  EXPECT_EQ(s.form().field(Field::EY), "north");
}
