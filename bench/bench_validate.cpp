// The file checks against what `kandelo-cli info` does with the same files
// (read, flux, maximum, CIE flux code): validate may cost at most 1.5 times
// as much. Over the EULUMDAT and IES files of ../shared/corpus.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "shell/ui_services.h"
#include "photometry/format_io.h"
#include "photometry/lum32.h"
#include "photometry/validate.h"
#include "ratio_reporter.h"

namespace {

using namespace kandelo;

const std::vector<std::string>& Files() {
  static const std::vector<std::string> files = [] {
    std::vector<std::string> out;
    const std::filesystem::path corpus = std::string(KANDELO_SOURCE_DIR) + "/../shared/corpus";
    if (!std::filesystem::is_directory(corpus)) return out;
    for (const auto& e : std::filesystem::recursive_directory_iterator(corpus)) {
      std::string ext = e.path().extension().string();
      std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
      if (e.is_regular_file() && (ext == ".ldt" || ext == ".ies")) out.push_back(e.path().string());
    }
    std::sort(out.begin(), out.end());
    return out;
  }();
  return files;
}

void BM_Info(benchmark::State& state) {
  CollectingUi quiet;
  ScopedUiServices scope(quiet);
  for (auto _ : state)
    for (const auto& f : Files()) {
      TLUM32 lum;
      if (!LoadLuminaire(f, lum).ok()) continue;
      lum.CalcCieFluxCode();
      benchmark::DoNotOptimize(lum.CieFluxCode);
    }
  quiet.boxes.clear();
}

void BM_Validate(benchmark::State& state) {
  for (auto _ : state)
    for (const auto& f : Files()) benchmark::DoNotOptimize(ValidateFile(f).problems.size());
}

BENCHMARK(BM_Info)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_Validate)->Unit(benchmark::kMillisecond)->MinTime(2);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (Files().empty()) {
    std::printf("corpus not available\n");
    return 0;
  }
  RatioReporter reporter(true);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const auto a = reporter.seconds.find("BM_Validate/min_time:2.000"), b = reporter.seconds.find("BM_Info/min_time:2.000");
  if (a != reporter.seconds.end() && b != reporter.seconds.end() && b->second > 0)
    std::printf("ratio validate / info over %zu corpus files: %.2f (at most 1.50)\n", Files().size(),
                a->second / b->second);
  benchmark::Shutdown();
  return 0;
}
