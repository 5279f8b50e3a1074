// Drawing the sections of a line of 200 soundings × 49 spacings, each with a three-layer model:
// the pseudo-section and the geoelectric section painted at 1200 × 520 (what the view and the
// export draw), and the plan map of 200 four-pole lines of 100 points.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cmath>

#include "ui/sectionview.h"

namespace {
StationList Soundings() {
  StationList out;
  for (int i = 0; i < 200; ++i) {
    sdata s;
    s.Name = "D" + std::to_string(i + 1);
    s.Profile = "1";
    s.X = 10.0f * static_cast<float>(i);
    s.SpacingCount = 49;
    for (int r = 0; r < 49; ++r) {
      s.Columns[colAB2].push_back(1.5f * std::pow(1.15f, static_cast<float>(r)));
      s.Columns[colRho].push_back(100.0f + 60.0f * std::sin(r / 7.0f + i / 20.0f));
    }
    s.Model = {{5.0f + i % 7, 20.0f + i % 11, 100}, {100, 10, 300}, ModelOrigin::Fitted};
    out.push_back(s);
  }
  return out;
}

StationList Lines() {
  StationList out;
  for (int i = 0; i < 200; ++i) {
    sdata s;
    s.Name = std::to_string(i);
    s.Profile = std::to_string(10 * i);
    s.SpacingCount = 100;
    for (int r = 0; r < 100; ++r) {
      s.Columns[colPointNo].push_back(10.0f * static_cast<float>(r));
      s.Columns[colRho].push_back(100.0f + 60.0f * std::sin(r / 9.0f + i / 15.0f));
    }
    out.push_back(s);
  }
  return out;
}

void Paint(benchmark::State& state, SectionPicture::Kind kind, DataType type, const StationList& stations) {
  QImage image(1200, 520, QImage::Format_RGB32);
  for (auto _ : state) {
    const SectionPicture picture(kind, type, stations, "1", 50.0);
    QPainter p(&image);
    picture.paint(p, image.rect(), picture.range());
  }
}

void BM_PseudoSection_200x49(benchmark::State& state) {
  Paint(state, SectionPicture::Kind::Pseudo, dtSounding, Soundings());
}
void BM_GeoelectricSection_200Stations(benchmark::State& state) {
  Paint(state, SectionPicture::Kind::Geoelectric, dtSounding, Soundings());
}
void BM_PlanMap_200Lines(benchmark::State& state) { Paint(state, SectionPicture::Kind::Plan, dtFourPoleProfile, Lines()); }
BENCHMARK(BM_PseudoSection_200x49)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GeoelectricSection_200Stations)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlanMap_200Lines)->Unit(benchmark::kMillisecond);
}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
