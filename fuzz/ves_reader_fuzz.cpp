#include <cstdint>
#include <string_view>

#include "io/vesfile.h"

// Reads any bytes as a .ves file and merges what it read into an empty list; then what the
// writer makes of that list must read back completely, with every station.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  auto result = ReadVesFile(bytes, [](const Notice&) {});
  StationList stations;
  MergeVesStations(stations, result.stations);
  const auto back = ReadVesFile(BuildVesFile(stations), {});
  if (back.status != ReadStatus::Complete || back.stations.size() != stations.size()) __builtin_trap();
  return 0;
}
