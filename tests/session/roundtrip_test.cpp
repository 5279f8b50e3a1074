// Every file the program writes opens again in it: for each of the four kinds, a survey with
// edge values is saved, the file opened and saved again, and the two files differ only where
// the format cannot hold what the first one was written from (the README names each such
// difference): a .ves text line is read trimmed, a .ves spacing or resistivity not above 0 is
// read as 50, and sounding .dat records outside the format's ranges (resistivity not above 0,
// AB/2 below 0.1) are not read. Stations of one station number in a sounding .dat read back as
// one station, at that number.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "io/textconv.h"
#include "survey_support.h"

using namespace sessiontest;

namespace {

// The lines of a file, without their CR LF.
std::vector<std::string> LinesOf(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find("\r\n", start);
    if (end == std::string::npos) end = bytes.size();
    lines.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// The lines of the first that the second lacks ("-" and the line, UTF-8) and those it has
// instead ("+"), in file order: a longest-common-subsequence diff.
std::vector<std::string> Differences(const std::string& first, const std::string& second) {
  const std::vector<std::string> a = LinesOf(first);
  const std::vector<std::string> b = LinesOf(second);
  std::vector<std::vector<int>> common(a.size() + 1, std::vector<int>(b.size() + 1, 0));
  for (std::size_t i = a.size(); i-- > 0;)
    for (std::size_t j = b.size(); j-- > 0;)
      common[i][j] = a[i] == b[j] ? common[i + 1][j + 1] + 1 : std::max(common[i + 1][j], common[i][j + 1]);
  std::vector<std::string> out;
  std::size_t i = 0, j = 0;
  while (i < a.size() || j < b.size()) {
    if (i < a.size() && j < b.size() && a[i] == b[j]) {
      ++i, ++j;
    } else if (j == b.size() || (i < a.size() && common[i + 1][j] >= common[i][j + 1])) {
      out.push_back("-" + GbkToUtf8(a[i++]));
    } else {
      out.push_back("+" + GbkToUtf8(b[j++]));
    }
  }
  return out;
}

struct Kind {
  const char* name;
  DataType type;
  StationList stations;
  std::vector<std::string> files;  // written by the first save, relative to its folder
  std::vector<std::string> forced;  // the differences the format forces
};

std::string Long(char c, std::size_t n) { return std::string(n, c); }

std::vector<Kind> Kinds() {
  std::vector<Kind> kinds;
  {
    // Sounding .ves: texts with blanks at either end (the reader trims lines), zero and negative
    // readings (the reader sets them to 50), the longest count of the grid, a long name.
    sdata edges = BuildStation(dtSounding, "  S 1  ", 0, {{1.5f, 0}, {2.5f, -5}, {4, 100}});
    edges.WorkArea = Gbk(" 北区 ");
    std::vector<std::vector<float>> rows;
    for (int i = 0; i < 49; ++i) rows.push_back({1.0f + 0.5f * static_cast<float>(i), 10.0f + static_cast<float>(i)});
    sdata longest = BuildStation(dtSounding, Long('N', 2000), 100.25f, rows, -3.5f);
    longest.Operator.clear();
    kinds.push_back({"ves",
                     dtSounding,
                     {edges, longest},
                     {"survey.ves"},
                     {"-  S 1  ", "+S 1", "- 北区 ", "+北区", "- 1.5 0", "- 2.5 -5", "+ 1.5 50", "+ 2.5 50"}});
  }
  {
    // Water finding .dat: x values of one station number, AB/2 below 0.1, zero and negative
    // values, a negative x.
    kinds.push_back(
        {"sounding dat",
         dtWaterFinding,
         {BuildStation(dtWaterFinding, "100.2", 100.2f, {{0.05f, 30, 1, 2, 3, 4, 5}, {1.5f, 35, 0, -1, 0, -2, 0}}),
          BuildStation(dtWaterFinding, "100.7", 100.7f, {{2.5f, 40, 1, 2, 3, 4, 5}}),
          BuildStation(dtWaterFinding, "-5.5", -5.5f, {{1.5f, 0, 1, 2, 3, 4, 5}, {2.5f, -3, 1, 2, 3, 4, 5}})},
         {"survey.dat"},
         {"--5 1.5 0.5 0 5 4 2 3 1 -9999 -9999 -9999", "--5 2.5 0.5 -3 5 4 2 3 1 -9999 -9999 -9999",
          "-100 0.05 0.5 30 5 4 2 3 1 -9999 -9999 -9999"}});
  }
  {
    // Four-pole lines: names with blanks, the longest name a file can have, zero and negative
    // readings.
    const std::string longest = Long('L', 251);  // 251 + ".dat" = 255 bytes
    kinds.push_back({"four-pole",
                     dtFourPoleProfile,
                     {BuildStation(dtFourPoleProfile, " 7 ", 0, {{20, 50, 20, 0}, {40, 50, 20, -12.5f}}),
                      BuildStation(dtFourPoleProfile, longest, 50, {{20, 50, 20, 100}})},
                     {" 7 .dat", longest + ".dat"},
                     {}});
  }
  {
    kinds.push_back({"combined",
                     dtCombinedProfile,
                     {BuildStation(dtCombinedProfile, "A", 0, {{20, 50, 10, 0}, {40, 50, 10, -1}}),
                      BuildStation(dtCombinedProfile, "B", 50, {{20, 50, 10, 100}, {40, 50, 10, 120}})},
                     {"12.dat"},
                     {}});
  }
  return kinds;
}

// Saves the survey into folder the way the user does, accepting every question.
void SaveInto(Session& t, const Kind& k, const std::string& folder) {
  t.q.clear();
  if (k.type == dtFourPoleProfile) {
    t.q.folder(folder);
  } else {
    t.q.saveAs(folder + "/" + k.files.front());
  }
  t.q.acceptAll = true;
  ASSERT_TRUE(t.survey.save()) << (t.q.messages.empty() ? "" : t.q.texts().back());
}

}  // namespace

TEST(RoundTrip, EveryFileOpensAgainAndDiffersOnlyWhereTheFormatForcesIt) {
  for (const Kind& k : Kinds()) {
    SCOPED_TRACE(k.name);
    Session first;
    first.survey.load(k.type, k.stations);
    if (k.type == dtCombinedProfile) first.survey.editField(Field::EP, "12");
    const std::string a = first.path("first");
    const std::string b = first.path("second");
    ASSERT_TRUE(std::filesystem::create_directory(a));
    ASSERT_TRUE(std::filesystem::create_directory(b));
    SaveInto(first, k, a);

    Session second;
    std::vector<std::string> paths;
    for (const std::string& f : k.files) paths.push_back(a + "/" + f);
    second.q.acceptAll = true;  // open what could be read
    ASSERT_TRUE(second.survey.open(paths));
    SaveInto(second, k, b);

    std::vector<std::string> differences;
    for (const std::string& f : k.files) {
      const std::optional<std::string> before = ReadBytes(a + "/" + f);
      const std::optional<std::string> after = ReadBytes(b + "/" + f);
      ASSERT_TRUE(before && after) << f;
      for (const std::string& d : Differences(*before, *after)) differences.push_back(d);
    }
    EXPECT_EQ(differences, k.forced);
  }
}
