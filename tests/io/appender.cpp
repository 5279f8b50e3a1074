// A program that appends sounding stations to a .ves file the way the window's append does,
// for the test of two programs appending to one file at once.
//   io_appender FILE PREFIX COUNT FIRST_X
// Waits until its standard input ends (so that a test can start two at the same moment), then
// appends COUNT stations named PREFIX1 ... PREFIXn at X = FIRST_X, FIRST_X + 1, ...
// Exit status: 0 saved, 3 not saved (the reason on standard error), 2 bad arguments.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "io/savetransaction.h"
#include "io/vesfile.h"

int main(int argc, char** argv) {
  if (argc != 5) return 2;
  PrepareFileSaving();
  const std::string path = argv[1];
  const std::string prefix = argv[2];
  const int count = std::atoi(argv[3]);
  const float firstX = static_cast<float>(std::atof(argv[4]));

  StationList mine;
  for (int i = 0; i < count; ++i) {
    sdata s;
    s.Name = prefix + std::to_string(i + 1);
    s.X = firstX + static_cast<float>(i);
    s.SpacingCount = 3;
    s.Columns[colAB2] = {1.5f, 2.5f, 4.0f};
    s.Columns[colRho] = {10.0f, 20.0f, 30.0f};
    mine.push_back(std::move(s));
  }

  char buf[64];
  while (::read(STDIN_FILENO, buf, sizeof buf) > 0) {
  }

  SaveTransaction save(path);
  const auto result = save.update([&](const std::string& bytes, bool exists) -> std::optional<std::string> {
    StationList all = mine;
    if (exists) {
      const VesReadResult read = ReadVesFile(bytes, {});
      if (read.status != ReadStatus::Complete) return std::nullopt;
      MergeVesStations(all, read.stations);
    }
    return BuildVesFile(std::move(all));
  });
  if (result == SaveTransaction::UpdateResult::Saved) return 0;
  std::fprintf(stderr, "%s not saved: %s\n", prefix.c_str(), DescribeProblem(save.problem()).c_str());
  return 3;
}
