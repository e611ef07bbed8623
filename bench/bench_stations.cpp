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

#include "storage/indexed_table.h"
#include "platform/bytes.h"
#include <map>

namespace {

using namespace kandelo;
using platform::GetI32;
using platform::PutI32;

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
  static StorageEngine engine;
  if (!engine.IsStarted()) Check(engine.Create(60), "engine");
}

std::unique_ptr<IndexedTable> Table(const std::string& base, bool network, unsigned char* buf) {
  ::setenv("KANDELO_NETWORK_MODE", network ? "force" : "off", 1);
  auto t = std::make_unique<IndexedTable>(base, true, buf, true, KeyOf, kRecordLength);
  for (int k = 1; k <= 6; ++k) t->DefineKey(k, k == 6 ? 16 : 85, k != 6);
  const int err = t->Open();
  if (err) std::fprintf(stderr, "open: %d\n", err);
  Check(err == 0, "open");
  Check(t->NetworkMode() == network, "mode");
  return t;
}

// Adds the records; the number of adds refused because other stations kept
// the write lock past the ten tries (10398), which are tried again.
int AddRange(IndexedTable& t, unsigned char* buf, int from, int to) {
  int refused = 0;
  for (int i = from; i < to; ++i) {
    std::memset(buf, 0, kRecordLength);
    PutI32(buf + 4, i);
    for (int j = 8; j < kRecordLength; ++j) buf[j] = static_cast<unsigned char>(i + j);
    int err = 0;
    while ((err = t.Add()) == isam::kErrNoWriteLock) ++refused;
    if (err) std::fprintf(stderr, "add: %d\n", err);
    Check(err == 0, "add");
  }
  return refused;
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
        const int refused = AddRange(*t, buf, s * (kRecords / kStations), (s + 1) * (kRecords / kStations));
        if (refused) std::fprintf(stderr, "station %d: %d adds refused after ten tries and repeated\n", s + 1, refused);
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

// Keeps both the wall and the CPU time of every run.
class BothTimes : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> wall, cpu;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const auto& r : runs)
      if (!r.error_occurred && r.iterations > 0) {
        wall[r.benchmark_name()] = r.real_accumulated_time / static_cast<double>(r.iterations);
        cpu[r.benchmark_name()] = r.cpu_accumulated_time / static_cast<double>(r.iterations);
      }
    ConsoleReporter::ReportRuns(runs);
  }
};

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  BothTimes times;
  benchmark::RunSpecifiedBenchmarks(&times);
  const std::string localName = "BM_AddLocal/iterations:3/real_time";
  const std::string oneName = "BM_AddNetworkOneStation/iterations:3/real_time";
  const std::string fourName = "BM_AddNetworkFourStations/iterations:3/real_time";
  const double local = times.wall[localName], one = times.wall[oneName], four = times.wall[fourName];
  const double localCpu = times.cpu[localName], oneCpu = times.cpu[oneName];
  if (local > 0 && one > 0)
    std::printf("\nnetwork mode, one station / local mode: %.2fx the wall time, %.2fx the CPU time (at most 2x wanted)\n",
                one / local, oneCpu / localCpu);
  if (local > 0 && four > 0)
    std::printf("network mode, four stations: %.0f records/s together, %.2fx the throughput of local mode "
                "(%.2fx that of one station in network mode)\n",
                kRecords / four, local / four, one / four);
  benchmark::Shutdown();
  std::filesystem::remove_all(Root());
  return 0;
}
