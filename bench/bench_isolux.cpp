// The whole isolux evaluation (illuminance grid, node grid, levels, contour
// tracing and smoothing) of a 24 × 37 and of a 72 × 181 luminaire, each
// beside a baseline in the same run: the flux integration of the same
// luminaire. The evaluation window recomputes it on every parameter change.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>

#include "evaluation/isolux.h"
#include "photometry/lum32.h"

namespace {

using namespace kandelo;

// An asymmetric street-lighting distribution: a lobe towards C 0 at 65°,
// wider along C 90/270, with a little backlight.
TLUM32 MakeLuminaire(int planes, int gammas) {
  TLUM32 l;
  const float cStep = 360.0f / planes, gStep = 180.0f / (gammas - 1);
  l.CreateNew("bench.ldt", psCGamma, symNone, 0, planes, 0, cStep, 360 - cStep, {}, gammas, 0, gStep, 180, {});
  for (int i = 1; i <= planes; ++i)
    for (int j = 1; j <= gammas; ++j) {
      const double g = l.GammaAngle(j) * M_PI / 180, c = l.CAngle(i) * M_PI / 180;
      const double lobe = std::exp(-std::pow((g - 65 * M_PI / 180) / 0.35, 2)) * (0.6 + 0.4 * std::cos(c));
      const double v = g < M_PI / 2 ? 150 * std::cos(g) + 450 * lobe * (1 + 0.5 * std::fabs(std::sin(c))) : 0.0;
      l.SetValue(i, j, static_cast<float>(v));
    }
  l.Length = 600;
  l.Width = 250;
  l.LampSetCount = 1;
  l.LampSets[0].LampCount = 1;
  l.LampSets[0].SetFlux = 10000;
  l.LampSets[0].LampFlux = 10000;
  l.CalcFlux();
  l.FindMaxIntensity();
  return l;
}

void Isolux(benchmark::State& state, int planes, int gammas) {
  const TLUM32 lum = MakeLuminaire(planes, gammas);
  std::size_t lines = 0;
  for (auto _ : state) {
    const auto iso = ComputeIsolux(lum, 20, 8, 10);
    if (!iso) state.SkipWithError("isolux refused");
    lines = static_cast<std::size_t>(iso->lines.Count());
    benchmark::DoNotOptimize(iso->lines.Count());
  }
  state.counters["lines"] = static_cast<double>(lines);
}

void Baseline(benchmark::State& state, int planes, int gammas) {
  TLUM32 lum = MakeLuminaire(planes, gammas);
  for (auto _ : state) {
    lum.CalcFlux();
    benchmark::DoNotOptimize(lum.ZonalFlux);
  }
}

void BM_Isolux_24x37(benchmark::State& s) { Isolux(s, 24, 37); }
void BM_Baseline_CalcFlux_24x37(benchmark::State& s) { Baseline(s, 24, 37); }
void BM_Isolux_72x181(benchmark::State& s) { Isolux(s, 72, 181); }
void BM_Baseline_CalcFlux_72x181(benchmark::State& s) { Baseline(s, 72, 181); }
BENCHMARK(BM_Isolux_24x37)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Baseline_CalcFlux_24x37)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Isolux_72x181)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Baseline_CalcFlux_72x181)->Unit(benchmark::kMicrosecond);

// Keeps the mean time per iteration of every run for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> seconds;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const auto& r : runs)
      if (!r.error_occurred && r.iterations > 0 && r.run_type == Run::RT_Iteration)
        seconds[r.benchmark_name()] = r.real_accumulated_time / static_cast<double>(r.iterations);
    ConsoleReporter::ReportRuns(runs);
  }
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const char* const pairs[2][3] = {{"24x37", "BM_Isolux_24x37", "BM_Baseline_CalcFlux_24x37"},
                                   {"72x181", "BM_Isolux_72x181", "BM_Baseline_CalcFlux_72x181"}};
  for (const auto& p : pairs) {
    auto a = reporter.seconds.find(p[1]), b = reporter.seconds.find(p[2]);
    if (a != reporter.seconds.end() && b != reporter.seconds.end() && b->second > 0)
      std::printf("ratio isolux / CalcFlux, %-7s %8.1f\n", p[0], a->second / b->second);
  }
  benchmark::Shutdown();
  return 0;
}
