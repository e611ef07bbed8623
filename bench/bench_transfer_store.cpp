// The transfer store: reading the cached 300 matrices against building them
// (view factors and 300 inversions in extended precision). The build is the
// baseline; the cache must be clearly cheaper to be worth its file.
#include <benchmark/benchmark.h>

#include "bench_temp.h"
#include "ratio_reporter.h"

#include <cstdio>
#include <filesystem>

#include "evaluation/atf.h"

namespace {

std::string CachePath() {
  static std::string path = bench::TempDir("transfer-store") + "/EXCPW.DAT";
  return path;
}

void BM_BuildStore_Baseline(benchmark::State& state) {
  std::filesystem::remove(CachePath());
  for (auto _ : state) {
    kandelo::ATFObject store(CachePath() + ".absent");
    benchmark::DoNotOptimize(store.CombinationCount());
  }
}
BENCHMARK(BM_BuildStore_Baseline);

void BM_LoadCachedStore(benchmark::State& state) {
  {
    kandelo::ATFObject store(CachePath());
    store.Release();
  }
  for (auto _ : state) {
    kandelo::ATFObject store(CachePath());
    if (!store.LoadedFromFile()) state.SkipWithError("cache not read");
    benchmark::DoNotOptimize(store.CombinationCount());
  }
  std::filesystem::remove(CachePath());
}
BENCHMARK(BM_LoadCachedStore);

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
  ratio("load cached store / build", "BM_LoadCachedStore", "BM_BuildStore_Baseline");
  benchmark::Shutdown();
  return 0;
}
