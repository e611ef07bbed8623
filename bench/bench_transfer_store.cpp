// The transfer store: reading the cached 300 matrices against building them
// (view factors and 300 inversions in extended precision). The build is the
// baseline; the cache must be clearly cheaper to be worth its file.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>

#include "evaluation/atf.h"

namespace {

std::string CachePath() {
  static std::string path = (std::filesystem::temp_directory_path() / "kandelo-bench-EXCPW.DAT").string();
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
