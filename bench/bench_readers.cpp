// Reading photometric files: LoadLuminaire (as read) + CalcFlux over generated,
// realistic EULUMDAT files, beside a tokenizer floor measured in the same run
// (split on blanks, std::from_chars on every token, nothing else).
#include <benchmark/benchmark.h>

#include "bench_temp.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>
#include <unistd.h>

#include "photometry/format_io.h"
#include "photometry/lum32.h"
#include "photometry/textfile.h"

namespace {

struct Grid {
  const char* name;
  int isym, planes, gammas;
  bool evenPlanes, evenGammas;
  bool ies = false;
};

// Typical files: 24 x 37 full circle, quadrant and half tables, dense
// goniometer data with uneven angle lists up to 361 x 263; the same kind of
// data as IES LM-63-1995 (measured only when the IES reader is built).
const Grid kGrids[] = {
    {"24x37", 0, 24, 37, true, true},          {"C0-C180 13x181", 2, 13, 181, true, true},
    {"72x181", 0, 72, 181, true, true},        {"uneven 361x263", 0, 361, 263, false, false},
    {"IES 24x37", 0, 24, 37, true, true, true}, {"IES 72x181", 0, 72, 181, true, true, true},
};
constexpr int kGridCount = sizeof kGrids / sizeof kGrids[0];

double Distribution(double gamma, double c) {
  double r = std::cos(gamma * M_PI / 180);
  return gamma < 90 ? 250 * r * (1 + 0.2 * std::cos(c * M_PI / 90)) + 12 : 8 * std::sin(gamma * M_PI / 180);
}

std::string Directory() {
  return bench::TempDir("readers");
}

std::string Fmt(double v, int decimals) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  return buf;
}

// An LDT file whose intensities follow a smooth asymmetric distribution.
std::string MakeFile(const Grid& g) {
  // The listed C angles of the whole circle and the planes stored.
  std::vector<double> listed, gs;
  int mc;
  double dc;
  if (g.isym == 2) {
    mc = 2 * (g.planes - 1);
    dc = 180.0 / (g.planes - 1);
    for (int k = 0; k < mc; ++k) listed.push_back(k * dc);
  } else {
    mc = g.planes;
    dc = g.evenPlanes ? 360.0 / g.planes : 0;
    for (int i = 0; i < g.planes; ++i)
      listed.push_back(g.evenPlanes ? 360.0 * i / g.planes : 360.0 * i / (g.planes - 1));
  }
  for (int j = 0; j < g.gammas; ++j) {
    double t = double(j) / (g.gammas - 1);
    gs.push_back(g.evenGammas ? 180.0 * t : 180.0 * (t * t * 0.3 + t * 0.7));
  }
  std::string s;
  auto line = [&](const std::string& x) { s += x + "\r\n"; };
  line("Bench Leuchten GmbH");
  line("3");
  line(std::to_string(g.isym));
  line(std::to_string(mc));
  line(Fmt(dc, 1));
  line(std::to_string(g.gammas));
  line(g.evenGammas ? Fmt(180.0 / (g.gammas - 1), 2) : "0");
  for (const char* t : {"PR-2024-001", "Downlight 2x26W", "DL-226", "dl226.ldt", "01.01.2024 / Lab"}) line(t);
  for (const char* t : {"620", "620", "110", "600", "600", "0", "0", "0", "0", "98", "71.2", "1.0", "0", "1", "2",
                        "TC-D 26W", "3600", "3000 K", "1B", "58"})
    line(t);
  for (int k = 0; k < 10; ++k) line("0.512");
  for (double c : listed) line(Fmt(c, 2));
  for (double x : gs) line(Fmt(x, 2));
  for (int i = 0; i < g.planes; ++i)
    for (double y : gs) line(Fmt(Distribution(y, listed[i]), 1));
  return s;
}

// The same distribution as an IES file for a 3600 lm lamp (values in cd),
// ten numbers a line.
std::string MakeIes(const Grid& g) {
  std::string s = "IESNA:LM-63-1995\r\n[TEST] PR-2024-001\r\n[MANUFAC] Bench Leuchten GmbH\r\n"
                  "[LUMCAT] DL-226\r\n[LUMINAIRE] Downlight 2x26W\r\n[LAMP] TC-D 26W\r\nTILT=NONE\r\n";
  s += "1 3600 1.0 " + std::to_string(g.gammas) + " " + std::to_string(g.planes) + " 1 2 0.6 0.6 0.1\r\n";
  s += "1.0 1.0 58\r\n";
  auto list = [&](const std::vector<double>& v, int decimals) {
    for (std::size_t k = 0; k < v.size(); ++k) s += Fmt(v[k], decimals) + (k % 10 == 9 || k + 1 == v.size() ? "\r\n" : " ");
  };
  std::vector<double> gs, cs;
  for (int j = 0; j < g.gammas; ++j) gs.push_back(180.0 * j / (g.gammas - 1));
  for (int i = 0; i < g.planes; ++i) cs.push_back(360.0 * i / g.planes);
  list(gs, 2);
  list(cs, 2);
  for (double c : cs) {
    std::vector<double> v;
    for (double y : gs) v.push_back(3.6 * Distribution(y, c));
    list(v, 1);
  }
  return s;
}

const std::string& FileFor(int k) {
  static std::map<int, std::string> paths;
  auto it = paths.find(k);
  if (it != paths.end()) return it->second;
  std::string path = Directory() + "/bench" + std::to_string(k) + (kGrids[k].ies ? ".ies" : ".ldt");
  std::FILE* f = std::fopen(path.c_str(), "wb");
  std::string text = kGrids[k].ies ? MakeIes(kGrids[k]) : MakeFile(kGrids[k]);
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
  return paths[k] = path;
}

std::int64_t FileSize(const std::string& p) { return static_cast<std::int64_t>(std::filesystem::file_size(p)); }

void BM_LoadAndCalcFlux(benchmark::State& state) {
  const std::string& path = FileFor(int(state.range(0)));
  {
    kandelo::TLUM32 probe;
    if (!kandelo::LoadLuminaire(path, probe, kandelo::LoadValues::AsRead).ok()) return state.SkipWithError("no reader for this file in this build");
  }
  for (auto _ : state) {
    kandelo::TLUM32 lum;
    bool ok = kandelo::LoadLuminaire(path, lum, kandelo::LoadValues::AsRead).ok();
    lum.CalcFlux();
    benchmark::DoNotOptimize(ok);
    benchmark::DoNotOptimize(lum.LumFlux);
  }
  state.SetBytesProcessed(state.iterations() * FileSize(path));
  state.SetLabel(kGrids[state.range(0)].name);
}

// The floor: the same bytes read and every blank-separated token converted.
void BM_TokenizerFloor(benchmark::State& state) {
  const std::string& path = FileFor(int(state.range(0)));
  for (auto _ : state) {
    std::string text;
    kandelo::ReadFileLimited(path, text, 1ull << 30);
    double sum = 0;
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end) {
      while (p < end && static_cast<unsigned char>(*p) <= ' ') ++p;
      const char* q = p;
      while (q < end && static_cast<unsigned char>(*q) > ' ') ++q;
      double v;
      if (std::from_chars(p, q, v).ec == std::errc()) sum += v;
      p = q;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetBytesProcessed(state.iterations() * FileSize(path));
  state.SetLabel(kGrids[state.range(0)].name);
}

BENCHMARK(BM_LoadAndCalcFlux)->DenseRange(0, kGridCount - 1);
BENCHMARK(BM_TokenizerFloor)->DenseRange(0, kGridCount - 1);

// Collects the mean time per file of both benchmarks to print their ratio.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const auto& r : runs) {
      if (r.error_occurred) continue;
      std::string name = r.benchmark_name();
      double t = r.GetAdjustedCPUTime();
      auto slash = name.find('/');
      std::string base = name.substr(0, slash), arg = name.substr(slash + 1);
      times_[arg][base] = t;
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void PrintRatios() const {
    std::printf("\nload + CalcFlux vs. tokenizer floor (same run):\n");
    for (const auto& [arg, m] : times_) {
      auto a = m.find("BM_LoadAndCalcFlux"), b = m.find("BM_TokenizerFloor");
      if (a == m.end() || b == m.end() || b->second <= 0) continue;
      std::printf("  %-16s %6.2fx\n", kGrids[std::stoi(arg)].name, a->second / b->second);
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
  std::filesystem::remove_all(Directory());
  return 0;
}
