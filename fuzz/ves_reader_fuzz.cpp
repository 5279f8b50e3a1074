#include <cstdint>
#include <string_view>
#include <vector>

#include "io/reference_fold.h"
#include "io/reference_open.h"
#include "io/vesfile.h"
#include "model/reference_sort.h"
#include "model/stations.h"

namespace {
// Up to this many stations or rows the quadratic references are run beside the fast code.
constexpr std::size_t kCompared = 1000;
}  // namespace

// Reads any bytes as a .ves file and merges what it read into an empty list; then what the
// writer makes of that list must read back completely, with every station. For inputs small
// enough, the merge and the order of stations and rows must be those of the plain pairwise
// fold and exchange sort.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  auto result = ReadVesFile(bytes, [](const Notice&) {});
  StationList stations;
  MergeVesStations(stations, result.stations);
  const auto back = ReadVesFile(BuildVesFile(stations), {});
  if (back.status != ReadStatus::Complete || back.stations.size() != stations.size()) __builtin_trap();

  if (result.stations.size() <= kCompared) {
    StationList expected;
    reference::MergeVesStations(expected, result.stations);
    if (expected != stations) __builtin_trap();
  }
  std::vector<float> xs;
  for (const sdata& s : stations) xs.push_back(s.X);
  if (xs.size() <= kCompared && ExchangeSortOrder(xs) != reference::ExchangeSortOrder(xs)) __builtin_trap();
  for (const sdata& s : stations) {
    const auto& ab2 = s.Columns[colAB2];
    if (ab2.size() <= kCompared && ExchangeSortOrder(ab2) != reference::ExchangeSortOrder(ab2)) __builtin_trap();
  }
  // Opened as the window opens a file, read in pieces, the bytes give what reading them whole gave.
  if (!reference::OpensInPiecesAsWhole(bytes)) __builtin_trap();
  return 0;
}
