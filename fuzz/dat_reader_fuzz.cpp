#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "io/soundingdat.h"

namespace {
// Station names with their row counts, in name order (the writer puts stations in X order).
std::vector<std::pair<std::string, std::size_t>> Rows(const StationList& stations) {
  std::vector<std::pair<std::string, std::size_t>> rows;
  for (const sdata& s : stations) rows.emplace_back(s.Name, s.Columns[colAB2].size());
  std::sort(rows.begin(), rows.end());
  return rows;
}
}  // namespace

// Reads any bytes as a sounding .dat file; then what the writer makes of the stations read
// must read back completely, with every station and every row.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  auto result = ReadSoundingDat(bytes, [](const Notice&) {});
  const auto back = ReadSoundingDat(BuildSoundingDatFile(result.stations), {});
  if (back.status != ReadStatus::Complete || Rows(back.stations) != Rows(result.stations)) __builtin_trap();
  return 0;
}
