// All evaluations of one 24 × 37 luminaire (partial fluxes and room
// utilization, classification, TM5 / NB utilization factors, UGR table),
// beside a baseline in the same run: the luminaire's own flux integration.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "bench_temp.h"
#include "ratio_reporter.h"

#include <cmath>
#include <filesystem>

#include "evaluation/litg.h"
#include "evaluation/tm5.h"
#include "evaluation/ugr.h"
#include "photometry/lum32.h"

namespace {

using namespace kandelo;

// A typical EULUMDAT grid: C 0 … 345 in 15°, γ 0 … 180 in 5°; a wide
// direct distribution with a little upward light, 1200 × 300 mm luminous area.
TLUM32 MakeLuminaire() {
  TLUM32 l;
  l.CreateNew("bench.ldt", psCGamma, symNone, 0, 24, 0, 15, 345, {}, 37, 0, 5, 180, {});
  for (int i = 1; i <= 24; ++i)
    for (int j = 1; j <= 37; ++j) {
      const double g = l.GammaAngle(j) * M_PI / 180, c = l.CAngle(i) * M_PI / 180;
      l.SetValue(i, j, static_cast<float>(g < M_PI / 2 ? 300 * std::cos(g) * (1 + 0.3 * std::cos(2 * c)) : 15.0));
    }
  l.LumAreaLength = 1200;
  l.LumAreaWidth = 300;
  l.Length = 1200;
  l.Width = 300;
  l.LampSetCount = 1;
  l.LampSets[0].LampCount = 1;
  l.LampSets[0].SetFlux = 4000;
  l.LampSets[0].LampFlux = 4000;
  l.LampSets[0].SetWatt = 40;
  l.CalcFlux();
  l.FindMaxIntensity();
  return l;
}

std::string StorePath() {
  static const std::string path = bench::TempDir("evaluation") + "/EXCPW.DAT";
  return path;
}

void BM_AllEvaluations(benchmark::State& state) {
  TLUM32 lum = MakeLuminaire();
  RoomUtilTableT eta{};
  if (CalcRoomUtilTable(lum, true, eta, StorePath())) state.SkipWithError("transfer store");
  for (auto _ : state) {
    if (CalcRoomUtilTable(lum, true, eta, StorePath())) state.SkipWithError("room utilization");
    ClassifyLuminaire(lum);
    NbRecord nb{};
    TM5OBJ tm5;
    tm5.SetLuminaire(&lum);
    tm5.StoreCibse();
    tm5.StoreNb();
    tm5.ExportNb(nb);
    if (!ComputeUgr(lum, nb)) state.SkipWithError("UGR");
    benchmark::DoNotOptimize(eta);
    benchmark::DoNotOptimize(UgrResults().table);
  }
}
BENCHMARK(BM_AllEvaluations)->Unit(benchmark::kMicrosecond);

// Baseline: integrating the same intensity table into the zonal fluxes.
void BM_Baseline_CalcFlux(benchmark::State& state) {
  TLUM32 lum = MakeLuminaire();
  for (auto _ : state) {
    lum.CalcFlux();
    benchmark::DoNotOptimize(lum.ZonalFlux);
  }
}
BENCHMARK(BM_Baseline_CalcFlux)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter(true);  // processor time: the machine is shared with builds
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto ratio = [&](const char* what, const std::string& a, const std::string& b) {
    auto ia = reporter.seconds.find(a), ib = reporter.seconds.find(b);
    if (ia != reporter.seconds.end() && ib != reporter.seconds.end() && ib->second > 0)
      std::printf("ratio %-40s %8.2f\n", what, ia->second / ib->second);
  };
  ratio("all evaluations / CalcFlux", "BM_AllEvaluations", "BM_Baseline_CalcFlux");
  benchmark::Shutdown();
  return 0;
}
