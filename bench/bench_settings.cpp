// Loading and saving a large sectioned text file (a settings file of 80 000
// and 400 000 keys in an order that is not sorted), beside a baseline in the
// same run: reading the same text into a std::map of key and value. Equal
// ratios at both sizes mean the loading grows like the baseline, linearly up
// to the sorting.
#include <benchmark/benchmark.h>

#include "bench_temp.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "frame/inifile.h"

namespace {

namespace fsys = std::filesystem;
using kandelo::TBigInifile;

const std::string& FileOf(int keys) {
  static std::map<int, std::string> files;
  auto& path = files[keys];
  if (!path.empty()) return path;
  path = bench::TempDir("settings") + "/keys-" + std::to_string(keys) + ".ini";
  std::ofstream out(path, std::ios::binary);
  for (int s = 0; s < 10; ++s) {
    out << "[SECTION" << s << "]\r\n";
    for (int k = 0; k < keys / 10; ++k)
      out << "KEY" << (k * 7919L) % (keys / 10) << "_" << k << "=Stra\xC3\x9F" "e " << k << "\r\n";
  }
  return path;
}

void BM_Load(benchmark::State& state) {
  const std::string& path = FileOf(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    TBigInifile file(path, true);
    benchmark::DoNotOptimize(file.Count());
  }
}

void BM_LoadSave(benchmark::State& state) {
  const std::string& path = FileOf(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    TBigInifile file(path, true);
    benchmark::DoNotOptimize(file.SaveToFile(path + ".out"));
  }
}

// Baseline: the same text read and split into a map of key to value.
void BM_MapBaseline(benchmark::State& state) {
  const std::string& path = FileOf(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    std::map<std::string, std::string> m;
    std::string line, section;
    while (std::getline(ss, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!line.empty() && line[0] == '[') {
        section = line;
        continue;
      }
      auto eq = line.find('=');
      if (eq != std::string::npos) m[section + line.substr(0, eq)] = line.substr(eq + 1);
    }
    benchmark::DoNotOptimize(m.size());
  }
}

BENCHMARK(BM_MapBaseline)->Arg(80000)->Arg(400000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load)->Arg(80000)->Arg(400000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadSave)->Arg(80000)->Arg(400000)->Unit(benchmark::kMillisecond);

// Prints each benchmark's time as a multiple of the baseline at the same size.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const auto& r : runs) {
      if (r.error_occurred) continue;
      const std::string name = r.benchmark_name();
      const auto slash = name.find('/');
      times_[name.substr(slash + 1)][name.substr(0, slash)] = r.GetAdjustedCPUTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void PrintRatios() const {
    std::printf("\nvs. the std::map baseline (same run):\n");
    for (const auto& [keys, m] : times_) {
      auto base = m.find("BM_MapBaseline");
      if (base == m.end() || base->second <= 0) continue;
      for (const char* b : {"BM_Load", "BM_LoadSave"})
        if (auto it = m.find(b); it != m.end())
          std::printf("  %-12s %7s keys %6.2fx\n", b, keys.c_str(), it->second / base->second);
    }
  }

 private:
  std::map<std::string, std::map<std::string, double>> times_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
