#include <cstdint>
#include <string_view>

#include "io/soundingdat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  auto result = ReadSoundingDat(bytes, [](const Notice&) {});
  (void)result;
  return 0;
}
