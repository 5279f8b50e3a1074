// What is read is what was written: for every data type, a survey written, opened and written
// again gives the same bytes. The first write rounds to the file's six digits; from then on the
// file is a fixed point. Surveys are generated with fixed seeds, with the cases that break
// readers: Chinese names, negative and equal x, empty texts, stations without rows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "io/filekind.h"
#include "io/profiledat.h"
#include "io/soundingdat.h"
#include "io/textconv.h"
#include "io/vesfile.h"

namespace {

class SurveyMaker {
 public:
  explicit SurveyMaker(unsigned seed) : rng_(seed) {}

  StationList Make(DataType type) {
    StationList survey;
    const int units = type == dtCombinedProfile ? Int(0, 3) : Int(0, 12);
    std::vector<float> xs;
    for (int i = 0; i < units; ++i) {
      sdata s;
      s.Name = type == dtCombinedProfile ? (Chance(0.5) ? "A" : "B") : Pick(Names()) + std::to_string(Int(0, 20));
      // Equal x now and then. A sounding .dat file keeps of a station only its number, x
      // truncated: there x is a whole number within the numbers the file keeps, and the name
      // is x as typed, as the window takes it.
      s.X = !xs.empty() && Chance(0.25) ? xs[static_cast<std::size_t>(Int(0, static_cast<int>(xs.size()) - 1))]
            : type == dtWaterFinding    ? static_cast<float>(Int(-9000, 9000))
                                        : Real(-1e6f, 1e6f, 3);
      xs.push_back(s.X);
      if (type == dtWaterFinding) s.Name = FormatFloat15(s.X);
      s.Y = Real(-5000, 5000, 2);
      for (std::string* text : {&s.WorkArea, &s.Profile, &s.Operator, &s.Instrument}) *text = Pick(Texts());
      const int rows = Chance(0.15) ? 0 : Int(1, IsSoundingType(type) ? 49 : 60);
      // The window refuses first-column values closer than 0.1 within a unit.
      const std::vector<float> first = Distinct(rows, 0.1f, 10000.0f);
      for (int r = 0; r < rows; ++r) AddRow(type, s, first[static_cast<std::size_t>(r)]);
      s.SpacingCount = rows;
      survey.push_back(std::move(s));
    }
    return survey;
  }

 private:
  static const std::vector<std::string>& Names() {
    static const std::vector<std::string> names = {Gbk("测点"), Gbk("北京西山"), Gbk("一号线"), "S", "L-", ""};
    return names;
  }
  static const std::vector<std::string>& Texts() {
    static const std::vector<std::string> texts = {"", Gbk("北京西山"), Gbk("张三"), "DZD-6A", "Profile 12", Gbk("测区")};
    return texts;
  }

  int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
  bool Chance(double p) { return std::bernoulli_distribution(p)(rng_); }
  const std::string& Pick(const std::vector<std::string>& from) {
    return from[static_cast<std::size_t>(Int(0, static_cast<int>(from.size()) - 1))];
  }
  // A value with the given number of decimals, as typed, or now and then one that prints in
  // exponent form or needs more than six digits.
  float Real(float lo, float hi, int decimals) {
    const double scale = std::pow(10.0, decimals);
    const double v = std::uniform_real_distribution<double>(lo, hi)(rng_);
    return static_cast<float>(Chance(0.8) ? std::round(v * scale) / scale : v);
  }
  std::vector<float> Distinct(int count, float lo, float hi) {
    std::vector<float> values;
    while (static_cast<int>(values.size()) < count) {
      const float v = Chance(0.3) ? Real(lo, 10, 2) : Real(lo, hi, 2);
      if (std::none_of(values.begin(), values.end(),
                       [&](float w) { return std::fabs(static_cast<double>(v) - w) < 0.1; }))
        values.push_back(v);
    }
    return values;
  }

  void AddRow(DataType type, sdata& s, float first) {
    auto& c = s.Columns;
    if (IsSoundingType(type)) {
      c[colAB2].push_back(first);
      c[colRho].push_back(Real(0.01f, 50000, 2));
      for (int k = colZP; k <= colR; ++k) c[k].push_back(type == dtWaterFinding ? Real(-1000, 1000, 3) : 0.0f);
      return;
    }
    c[colPointNo].push_back(first);
    c[colAB2].push_back(Real(0.01f, 50000, 1));
    c[colMN2].push_back(Real(-100, 1000, 2));
    c[colRho].push_back(Real(-10, 100000, 2));
    for (int k = colZP; k <= colR; ++k) c[k].push_back(0.0f);
  }

  std::mt19937 rng_;
};

// The files of a survey: one, or one per line for four-pole profiles.
std::vector<std::string> Write(DataType type, const StationList& survey) {
  switch (type) {
    case dtSounding: return {BuildVesFile(survey)};
    case dtWaterFinding: return {BuildSoundingDatFile(survey)};
    case dtCombinedProfile: return {BuildCombinedProfileFile(survey)};
    default: {
      std::vector<std::string> files;
      for (const sdata& line : survey) files.push_back(BuildFourPoleProfileFile(line));
      return files;
    }
  }
}

StationList Open(DataType type, const std::vector<std::string>& files) {
  StationList survey;
  for (const std::string& bytes : files) {
    OpenResult opened = ReadSurveyFile(bytes, "line");
    EXPECT_EQ(opened.status, ReadStatus::Complete) << opened.message;
    EXPECT_EQ(opened.type, type);
    EXPECT_TRUE(opened.notices.empty());
    survey.insert(survey.end(), opened.stations.begin(), opened.stations.end());
  }
  return survey;
}

// The first line where two files differ, for a readable failure.
std::string FirstDifference(const std::string& a, const std::string& b) {
  const auto [ia, ib] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
  const auto lineStart = [](const std::string& s, std::string::const_iterator at) {
    const std::size_t pos = static_cast<std::size_t>(at - s.begin());
    const std::size_t start = s.rfind('\n', pos == 0 ? 0 : pos - 1);
    return start == std::string::npos ? 0 : start + 1;
  };
  const std::size_t sa = lineStart(a, ia);
  const std::size_t sb = lineStart(b, ib);
  return "line " + std::to_string(std::count(a.begin(), a.begin() + static_cast<std::ptrdiff_t>(sa), '\n') + 1) +
         ": [" + a.substr(sa, a.find('\n', sa) - sa) + "] then [" + b.substr(sb, b.find('\n', sb) - sb) + "]";
}

TEST(RoundTrip, WrittenOpenedAndWrittenAgainIsTheSameFile) {
  struct Type {
    DataType type;
    const char* name;
  };
  for (const Type& t : {Type{dtSounding, ".ves"}, Type{dtWaterFinding, "sounding .dat"},
                        Type{dtFourPoleProfile, "four-pole"}, Type{dtCombinedProfile, "combined"}}) {
    for (unsigned seed = 1; seed <= 60; ++seed) {
      const StationList survey = SurveyMaker(seed * 7919u + static_cast<unsigned>(t.type)).Make(t.type);
      const std::vector<std::string> first = Write(t.type, survey);
      const std::vector<std::string> second = Write(t.type, Open(t.type, first));
      const std::vector<std::string> third = Write(t.type, Open(t.type, second));
      ASSERT_EQ(first.size(), second.size()) << t.name << " seed " << seed;
      for (std::size_t f = 0; f < first.size(); ++f) {
        ASSERT_TRUE(first[f] == second[f]) << t.name << " seed " << seed << " file " << f << ", "
                                           << FirstDifference(first[f], second[f]);
        ASSERT_TRUE(second[f] == third[f]) << t.name << " seed " << seed << " file " << f;
      }
    }
  }
}

}  // namespace
