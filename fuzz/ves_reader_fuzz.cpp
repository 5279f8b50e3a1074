#include <cstdint>
#include <string_view>

#include "io/vesfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  auto result = ReadVesFile(bytes, [](const Notice&) {});
  StationList stations;
  MergeVesStations(stations, result.stations);
  return 0;
}
