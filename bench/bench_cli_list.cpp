// `kandelo-cli catalogue list --json` of 50 000 entries beside the plain list
// of the same catalogue, one process per run: time, and the peak memory of
// the process (printed in MiB after the ratios).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench_temp.h"
#include "storage/indexed_table.h"
#include "database/catalogue.h"
#include "frame/settings.h"
#include "ratio_reporter.h"

extern char** environ;

namespace {

using namespace kandelo;

constexpr int kEntries = 50000;

std::map<std::string, long> g_peakKiB;

struct Usage {
  double cpu = -1;  // user and system seconds; −1 when it failed
  long peakKiB = 0;
};

// Runs kandelo-cli with the arguments, output thrown away: the processor
// time the process took (on a machine shared with builds its wall time says
// more about the others) and its peak resident memory.
Usage RunCli(const std::vector<std::string>& args) {
  std::vector<std::string> all{KANDELO_CLI};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return {};
  int status = 0;
  struct rusage usage {};
  if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return {};
  return {double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
              double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6,
          usage.ru_maxrss};
}

// A catalogue of kEntries records in a settings tree of its own (the
// processes find it through the XDG variables).
void MakeCatalogue() {
  const std::string dir = bench::TempDir("cli-list");
  setenv("XDG_CONFIG_HOME", (dir + "/config").c_str(), 1);
  setenv("XDG_DATA_HOME", (dir + "/data").c_str(), 1);
  setenv("XDG_CACHE_HOME", (dir + "/cache").c_str(), 1);
  LoadSettings();
  SaveSettings();
  if (InitDatabaseEngine() != 0 || !InitCatalogue(Settings().LumDb)) std::abort();
  for (int i = 0; i < kEntries; ++i) {
    const std::string n = std::to_string(i);
    TCatalogueRecord rec;
    rec.SetLumName("Luminaire " + std::to_string(i * 7919 % 1000000) + " " + n);
    rec.SetLumNumber("N" + n);
    rec.SetFileNameField("L" + n + ".LDT");
    rec.SetManufacturer("Maker " + std::to_string(i % 97));
    rec.SetDirIndex(0);
    std::int32_t no = 0;
    AddCatalogueRecord(rec, no);
  }
  CloseCatalogue();
  ReleaseDatabaseEngine();
}

void List(benchmark::State& state, const std::vector<std::string>& args, const std::string& name) {
  long peak = 0;
  for (auto _ : state) {
    const Usage u = RunCli(args);
    if (u.cpu < 0) {
      state.SkipWithError("kandelo-cli failed");
      return;
    }
    state.SetIterationTime(u.cpu);
    peak = std::max(peak, u.peakKiB);
  }
  g_peakKiB[name] = peak;
}

void BM_PlainList_Baseline(benchmark::State& state) { List(state, {"catalogue", "list"}, "plain"); }
BENCHMARK(BM_PlainList_Baseline)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

void BM_JsonList(benchmark::State& state) { List(state, {"catalogue", "list", "--json"}, "json"); }
BENCHMARK(BM_JsonList)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  MakeCatalogue();
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto a = reporter.seconds.find("BM_JsonList/iterations:5/manual_time"),
       b = reporter.seconds.find("BM_PlainList_Baseline/iterations:5/manual_time");
  if (a != reporter.seconds.end() && b != reporter.seconds.end() && b->second > 0)
    std::printf("ratio %-40s %8.2f\n", "list --json / plain list (50 000)", a->second / b->second);
  for (const auto& [name, kib] : g_peakKiB)
    std::printf("peak memory of the %s list: %.1f MiB\n", name.c_str(), double(kib) / 1024);
  benchmark::Shutdown();
  return 0;
}
