#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "io/reference_fold.h"
#include "io/reference_open.h"
#include "io/soundingdat.h"
#include "model/reference_sort.h"
#include "model/stations.h"

namespace {
// Station names with their row counts, in name order (the writer puts stations in X order).
std::vector<std::pair<std::string, std::size_t>> Rows(const StationList& stations) {
  std::vector<std::pair<std::string, std::size_t>> rows;
  for (const sdata& s : stations) rows.emplace_back(s.Name, s.Columns[colAB2].size());
  std::sort(rows.begin(), rows.end());
  return rows;
}

// Up to this many rows the quadratic references are run beside the fast code.
constexpr std::size_t kCompared = 1000;
}  // namespace

// Reads any bytes as a sounding .dat file; then what the writer makes of the stations read
// must read back completely, with every station and every row. For stations small enough,
// folding their equal spacings and ordering their rows must give what the plain pairwise fold
// and exchange sort give.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  auto result = ReadSoundingDat(bytes, [](const Notice&) {});
  const auto back = ReadSoundingDat(BuildSoundingDatFile(result.stations), {});
  if (back.status != ReadStatus::Complete || Rows(back.stations) != Rows(result.stations)) __builtin_trap();

  for (const sdata& s : result.stations) {
    const auto& ab2 = s.Columns[colAB2];
    if (ab2.size() > kCompared) continue;
    if (ExchangeSortOrder(ab2) != reference::ExchangeSortOrder(ab2)) __builtin_trap();
    sdata fast = s;
    sdata slow = s;
    fileformat::FoldEqualSpacings(fast, true);
    reference::FoldEqualSpacings(slow, true);
    if (!(fast == slow)) __builtin_trap();
  }
  // Opened as the window opens a file, read in pieces, the bytes give what reading them whole gave.
  if (!reference::OpensInPiecesAsWhole(bytes)) __builtin_trap();
  return 0;
}
