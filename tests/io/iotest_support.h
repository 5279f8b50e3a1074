#pragma once
// Helpers shared by the file-format tests: fixtures, text files written inline, stations.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "io/messages.h"
#include "io/textconv.h"
#include "model/sdata.h"

namespace iotest {

inline std::string ReadFixture(const std::string& name) {
  std::ifstream in(std::string(FIXTURES_DIR) + "/" + name, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// UTF-8 lines as a GBK file, each line ended by eol.
inline std::string FileOf(std::initializer_list<std::string_view> lines, std::string_view eol = "\r\n") {
  std::string out;
  for (std::string_view line : lines) {
    out += Gbk(line);
    out += eol;
  }
  return out;
}

// A sounding station as the commit builds it: Columns[1] and [3] from the rows, 0.0 per row
// in Columns[4..8] unless ip values are given (each row: ZP, IP, TD, TH, R).
inline sdata Sounding(std::string name, float x, std::vector<float> ab2, std::vector<float> rho,
                      std::vector<std::array<float, 5>> ip = {}) {
  sdata s;
  s.Name = std::move(name);
  s.X = x;
  s.WorkArea = "WorkArea";
  s.Profile = "Profile";
  s.Operator = "Operator";
  s.Instrument = "DZD";
  s.SpacingCount = static_cast<std::int32_t>(ab2.size());
  for (std::size_t r = 0; r < ab2.size(); ++r)
    for (int c = colZP; c <= colR; ++c) s.Columns[c].push_back(r < ip.size() ? ip[r][c - colZP] : 0.0f);
  s.Columns[colAB2] = std::move(ab2);
  s.Columns[colRho] = std::move(rho);
  return s;
}

// A sounding station as a .ves file and the window hold it: spacings and resistivities only.
inline sdata VesStation(std::string name, float x, std::vector<float> ab2, std::vector<float> rho) {
  sdata s = Sounding(std::move(name), x, std::move(ab2), std::move(rho));
  for (int c = colZP; c <= colR; ++c) s.Columns[c].clear();
  return s;
}

// A folder of its own for one test, removed with everything in it afterwards.
class TempDir {
 public:
  TempDir() {
    const auto* test = testing::UnitTest::GetInstance()->current_test_info();
    path_ = std::filesystem::temp_directory_path() /
            ("fieldinput-io-" + std::to_string(::getpid()) + "-" + test->test_suite_name() + "-" + test->name());
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::string path(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& folder() const { return path_; }
  // The names in the folder, sorted.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  static std::string Read(const std::string& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  static void Write(const std::string& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }

 private:
  std::filesystem::path path_;
};

// Collects the message boxes a reader asks for.
struct Notices {
  std::vector<Notice> shown;
  NoticeFn fn() {
    return [this](const Notice& n) { shown.push_back(n); };
  }
};

}  // namespace iotest
