// Several stations on one catalogue-shaped file (512-byte records, five keys
// of 85 characters and one of 16): 10 000 records added in local mode, in
// network mode by one station, and in network mode by four station
// processes at once (2 500 each). Prints the ratios to local mode and the
// four stations' throughput, and removes its files.

#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "database/btreebase.h"
#include "frame/strutil.h"
#include "ratio_reporter.h"

namespace {

using namespace kandelo;

constexpr int kRecords = 10000;
constexpr int kRecordLength = 512;

std::string KeyOf(const unsigned char* rec, int key) {
  const int i = GetI32(rec + 4);
  char buf[96];
  std::snprintf(buf, sizeof buf, "%c LUMINAIRE %08X %06d", 'A' + key, static_cast<unsigned>(i * 2654435761u), i);
  std::string s(buf);
  s.resize(key == 6 ? 16 : 60, ' ');
  return s;
}

const std::string& Root() {
  static const std::string root = [] {
    char tmpl[] = "/tmp/kandelo-bench-stations-XXXXXX";
    return std::string(mkdtemp(tmpl));
  }();
  return root;
}

std::string FreshBase(const std::string& name) {
  const std::string dir = Root() + "/" + name;
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir + "/LumDb";
}

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "benchmark failed: %s\n", what);
    std::exit(1);
  }
}

void Engine() {
  static TGenBase engine;
  if (!engine.IsStarted()) Check(engine.Create(60), "engine");
}

std::unique_ptr<TBTreeBase> Table(const std::string& base, bool network, unsigned char* buf) {
  ::setenv("KANDELO_NETWORK_MODE", network ? "force" : "off", 1);
  auto t = std::make_unique<TBTreeBase>(base, true, buf, true, KeyOf, kRecordLength);
  for (int k = 1; k <= 6; ++k) t->DefineKey(k, k == 6 ? 16 : 85, k != 6);
  Check(t->Open() == 0, "open");
  Check(t->NetworkMode() == network, "mode");
  return t;
}

void AddRange(TBTreeBase& t, unsigned char* buf, int from, int to) {
  for (int i = from; i < to; ++i) {
    std::memset(buf, 0, kRecordLength);
    PutI32(buf + 4, i);
    for (int j = 8; j < kRecordLength; ++j) buf[j] = static_cast<unsigned char>(i + j);
    Check(t.Add() == 0, "add");
  }
}

void AddAlone(benchmark::State& state, bool network) {
  Engine();
  unsigned char buf[kRecordLength];
  for (auto _ : state) {
    state.PauseTiming();
    const std::string base = FreshBase(network ? "one" : "local");
    state.ResumeTiming();
    auto t = Table(base, network, buf);
    AddRange(*t, buf, 0, kRecords);
    Check(t->Close() == 0, "close");
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_AddLocal(benchmark::State& state) { AddAlone(state, false); }
void BM_AddNetworkOneStation(benchmark::State& state) { AddAlone(state, true); }

void BM_AddNetworkFourStations(benchmark::State& state) {
  Engine();
  unsigned char buf[kRecordLength];
  constexpr int kStations = 4;
  for (auto _ : state) {
    state.PauseTiming();
    const std::string base = FreshBase("four");
    { Table(base, true, buf); }  // created before the stations start
    state.ResumeTiming();
    std::vector<pid_t> pids;
    for (int s = 0; s < kStations; ++s) {
      const pid_t pid = ::fork();
      if (pid == 0) {
        auto t = Table(base, true, buf);
        AddRange(*t, buf, s * (kRecords / kStations), (s + 1) * (kRecords / kStations));
        ::_exit(t->Close() == 0 ? 0 : 1);
      }
      pids.push_back(pid);
    }
    for (pid_t pid : pids) {
      int status = 0;
      ::waitpid(pid, &status, 0);
      Check(WIFEXITED(status) && WEXITSTATUS(status) == 0, "station");
    }
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}

BENCHMARK(BM_AddLocal)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_AddNetworkOneStation)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_AddNetworkFourStations)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto& s = reporter.seconds;
  const double local = s["BM_AddLocal/iterations:3/real_time"];
  const double one = s["BM_AddNetworkOneStation/iterations:3/real_time"];
  const double four = s["BM_AddNetworkFourStations/iterations:3/real_time"];
  if (local > 0 && one > 0 && four > 0) {
    std::printf("\nnetwork mode, one station / local mode:   %.2fx the time (at most 2x wanted)\n", one / local);
    std::printf("network mode, four stations / local mode: %.2fx the time for the same 10 000 records\n", four / local);
    std::printf("four stations' throughput: %.0f records/s (%.2fx that of local mode)\n", kRecords / four, local / four);
  }
  benchmark::Shutdown();
  std::filesystem::remove_all(Root());
  return 0;
}
