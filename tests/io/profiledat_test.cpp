#include "io/profiledat.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "iotest_support.h"

using iotest::FileOf;
using iotest::ReadFixture;

namespace {

constexpr std::string_view kIdent = "QL电法数据处理软件文件.";
constexpr std::string_view kColumns = "N    AB/2   MN/2    RO   IP   R   TH  TD   ZP   X1  X2  X3";

// A profile unit as the commit builds it: points, AB/2, MN/2 and resistivity per row.
sdata Line(std::string name, std::vector<std::array<float, 4>> points) {
  sdata s;
  s.Name = std::move(name);
  for (const auto& p : points) {
    for (int k = 0; k < 4; ++k) s.Columns[k].push_back(p[k]);
    for (int k = colZP; k <= colR; ++k) s.Columns[k].push_back(0.0f);
  }
  s.SpacingCount = static_cast<std::int32_t>(points.size());
  return s;
}

std::string CombinedFile(std::initializer_list<std::string_view> dataLines) {
  std::string out = FileOf({kIdent, "文件用途: 联合剖面或三极剖面法电阻率数据", kColumns});
  for (std::string_view line : dataLines) out += std::string(line) + "\r\n";
  return out;
}

TEST(ProfileWrite, ExamplesAreByteForByte) {
  const std::string combined = ReadFixture("combined_profile_example.dat");
  const std::string fourPole = ReadFixture("fourpole_profile_example.dat");
  ASSERT_FALSE(combined.empty());
  ASSERT_FALSE(fourPole.empty());
  EXPECT_EQ(BuildCombinedProfileFile({Line("A", {{{20, 50, 20, 123.4f}}})}), combined);
  EXPECT_EQ(BuildFourPoleProfileFile(Line("100", {{{20, 50, 20, 123.4f}}})), fourPole);
}

TEST(ProfileWrite, CombinedBranchesInListOrder) {
  // No sorting; branch 1 only for the name "A" exactly; %g numbers; empty units add nothing.
  const StationList stations = {Line("B", {{{2, 1234567, 0.00001f, 7}}, {{1, 4, 2, 8}}}),
                                Line("A", {{{3, 50, 20, 9}}}), Line("a", {{{4, 1.5f, 0.5f, 10}}}), Line("A", {})};
  EXPECT_EQ(BuildCombinedProfileFile(stations),
            CombinedFile({"2 1.23457e+06 1e-05 7 -9999 -9999  -9999 -9999 -9999 -9999 2 -9999",
                          "1 4 2 8 -9999 -9999  -9999 -9999 -9999 -9999 2 -9999",
                          "3 50 20 9 -9999 -9999  -9999 -9999 -9999 -9999 1 -9999",
                          "4 1.5 0.5 10 -9999 -9999  -9999 -9999 -9999 -9999 2 -9999"}));
  EXPECT_EQ(BuildCombinedProfileFile({}), CombinedFile({}));
}

TEST(ProfileWrite, CombinedFileMustBeNamedWithAnInteger) {
  struct Case {
    const char* path;
    bool integer;
  };
  for (const Case& c : std::vector<Case>{{"/data/12", true},
                                         {"/data/12.dat", true},
                                         {"-3.txt", true},
                                         {"/data/L12.dat", false},
                                         {"/data/12.5.dat", false},
                                         {"/data/.dat", false},
                                         {"/data.1/x", false},
                                         {"/data/99999999999.dat", false}})
    EXPECT_EQ(IsCombinedProfileName(c.path), c.integer) << c.path;
}

TEST(ProfileWrite, OneFourPoleFilePerLine) {
  struct Case {
    const char* folder;
    const char* name;
    const char* path;
  };
  for (const Case& c : std::vector<Case>{{"/data/", "100", "/data/100.dat"},
                                         {"/data/", "1.5", "/data/1.dat"},
                                         {"/data", "150", "/data/150.dat"},
                                         {"/data/", "a/b", "/data/a_b.dat"},
                                         {"/data/", "../up", "/data/..dat"}})
    EXPECT_EQ(FourPoleFilePath(c.folder, c.name), c.path) << c.name;
}

}  // namespace
