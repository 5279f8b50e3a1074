// Folding equal spacings and merging stations by name give what the pairwise fold after
// every merged station gives: the files written depend on it.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "io/formatparts.h"
#include "io/soundingdat.h"
#include "io/vesfile.h"
#include "iotest_support.h"
#include "reference_fold.h"

namespace {

// Spacings on a grid of 0.004, so that many lie within 0.01 of each other and some just
// outside it; values different in every row and column.
std::vector<float> Spacings(std::mt19937& random, std::size_t rows) {
  std::uniform_int_distribution<int> step(250, 280);
  std::vector<float> ab2(rows);
  for (float& a : ab2) a = static_cast<float>(step(random)) * 0.004f;
  return ab2;
}

std::vector<float> Values(std::mt19937& random, std::size_t rows) {
  std::uniform_real_distribution<float> value(1.0f, 1000.0f);
  std::vector<float> v(rows);
  for (float& x : v) x = value(random);
  return v;
}

}  // namespace

TEST(FoldEqualSpacings, GivesThePairwiseFoldsRows) {
  std::mt19937 random(3);
  for (bool averageAll : {false, true}) {
    for (int round = 0; round < 200; ++round) {
      const std::size_t rows = std::uniform_int_distribution<std::size_t>(0, 40)(random);
      sdata s = iotest::Sounding("S", 0, Spacings(random, rows), Values(random, rows));
      for (int c = colZP; c <= colR; ++c) s.Columns[c] = Values(random, rows);
      sdata expected = s;
      reference::FoldEqualSpacings(expected, averageAll);
      fileformat::FoldEqualSpacings(s, averageAll);
      ASSERT_EQ(s, expected) << "round " << round << (averageAll ? " averaging all" : "");
    }
  }
}

TEST(MergeVesStations, GivesTheRowsOfAFoldAfterEveryBlock) {
  std::mt19937 random(5);
  for (int round = 0; round < 100; ++round) {
    StationList window;
    // A station as a .ves file holds it, and one with 0.0 per row in Columns[4..8], as a
    // recovery file of an older version brings it back.
    for (const char* name : {"A", "B"}) {
      const std::size_t rows = std::uniform_int_distribution<std::size_t>(0, 8)(random);
      window.push_back(name[0] == 'A' ? iotest::VesStation(name, 1, Spacings(random, rows), Values(random, rows))
                                      : iotest::Sounding(name, 1, Spacings(random, rows), Values(random, rows)));
    }
    std::vector<TStation> file;
    for (int b = 0; b < 12; ++b) {
      TStation t;
      t.Name = std::string(1, "ABC"[std::uniform_int_distribution<int>(0, 2)(random)]);
      const std::size_t rows = std::uniform_int_distribution<std::size_t>(0, 6)(random);
      t.AB2 = Spacings(random, rows);
      t.Rho = Values(random, rows);
      t.SpacingCount = static_cast<std::int32_t>(rows);
      file.push_back(t);
    }
    StationList expected = window;
    reference::MergeVesStations(expected, file);
    MergeVesStations(window, file);
    ASSERT_EQ(window, expected) << "round " << round;
  }
}

TEST(FoldStationsByName, GivesTheRowsOfAFoldAfterEveryStation) {
  std::mt19937 random(9);
  for (int round = 0; round < 100; ++round) {
    StationList w;
    for (int k = 0; k < 10; ++k) {
      const std::size_t rows = std::uniform_int_distribution<std::size_t>(0, 6)(random);
      sdata s = iotest::Sounding(std::string(1, "AB"[k % 2 == 0 ? 0 : std::uniform_int_distribution<int>(0, 1)(random)]),
                                 static_cast<float>(k), Spacings(random, rows), Values(random, rows));
      for (int c = colZP; c <= colR; ++c) s.Columns[c] = Values(random, rows);
      w.push_back(s);
    }
    StationList expected;
    for (const sdata& s : w) {
      sdata* first = nullptr;
      for (sdata& e : expected)
        if (e.Name == s.Name) first = &e;
      if (first == nullptr) {
        expected.push_back(s);
        continue;
      }
      for (int c : {colAB2, colRho, colZP, colIP, colTD, colTH, colR})
        first->Columns[c].insert(first->Columns[c].end(), s.Columns[c].begin(), s.Columns[c].end());
      reference::FoldEqualSpacings(*first, true);
    }
    FoldStationsByName(w);
    ASSERT_EQ(w, expected) << "round " << round;
  }
}
