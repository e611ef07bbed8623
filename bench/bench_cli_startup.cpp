// Start-up of the command line, one process per run, against programs that do
// nothing of their own: `kandelo-cli --version` and `info FILE` beside a C++
// hello program linking only the C++ runtime, and `info` over the corpus (one
// process per file) beside `cat` of the same files. The time is the
// processor time of the started processes.
#include <benchmark/benchmark.h>

#include "bench_temp.h"
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "ratio_reporter.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

// Runs the program with its output thrown away: the processor time the
// process took (user and system; on a machine shared with builds its wall
// time says more about the others), or −1 when it fails.
double Run(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return -1;
  int status = 0;
  struct rusage usage {};
  if (wait4(pid, &status, 0, &usage) != pid) return -1;
  const double cpu = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? cpu : -cpu - 1;
}

// The photometric files of the shared corpus (EULUMDAT and IES).
const std::vector<std::string>& CorpusFiles() {
  static const std::vector<std::string> files = [] {
    std::vector<std::string> out;
    const fs::path root = fs::path(KANDELO_SOURCE_DIR) / ".." / "shared" / "corpus";
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
      if (!it->is_regular_file()) continue;
      std::string ext = it->path().extension().string();
      std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
      if (ext == ".ldt" || ext == ".ies") out.push_back(it->path().string());
    }
    std::sort(out.begin(), out.end());
    return out;
  }();
  return files;
}

std::string Sample() { return std::string(KANDELO_SOURCE_DIR) + "/resources/samples/HIGHBAY.LDT"; }

void RunEach(benchmark::State& state, const std::vector<std::string>& args) {
  for (auto _ : state) {
    const double cpu = Run(args);
    if (cpu < 0) {
      state.SkipWithError(("failed: " + args[0]).c_str());
      return;
    }
    state.SetIterationTime(cpu);
  }
}

void BM_Hello_Baseline(benchmark::State& state) { RunEach(state, {KANDELO_HELLO}); }
BENCHMARK(BM_Hello_Baseline)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_CliVersion(benchmark::State& state) { RunEach(state, {KANDELO_CLI, "--version"}); }
BENCHMARK(BM_CliVersion)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_CliInfo(benchmark::State& state) { RunEach(state, {KANDELO_CLI, "info", Sample()}); }
BENCHMARK(BM_CliInfo)->UseManualTime()->Unit(benchmark::kMillisecond);

// Per file of the corpus, so the two sides compare per process.
void OverCorpus(benchmark::State& state, const std::vector<std::string>& prefix) {
  const auto& files = CorpusFiles();
  if (files.empty()) {
    state.SkipWithError("no corpus");
    return;
  }
  for (auto _ : state) {
    double cpu = 0;
    for (const auto& f : files) {
      std::vector<std::string> args = prefix;
      args.push_back(f);
      const double t = Run(args);  // a damaged corpus file fails in both; the start-up is what counts
      cpu += t < 0 ? -t - 1 : t;
    }
    state.SetIterationTime(cpu);
  }
  state.SetItemsProcessed(state.iterations() * std::int64_t(files.size()));
}

void BM_CatCorpus_Baseline(benchmark::State& state) { OverCorpus(state, {"/bin/cat"}); }
BENCHMARK(BM_CatCorpus_Baseline)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_CliInfoCorpus(benchmark::State& state) { OverCorpus(state, {KANDELO_CLI, "info"}); }
BENCHMARK(BM_CliInfoCorpus)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  // The command line writes its settings and caches under these; a directory
  // of our own keeps the user's untouched and goes when the run ends.
  const fs::path home = bench::TempDir("cli-startup");
  setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
  setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
  setenv("XDG_CACHE_HOME", (home / "cache").c_str(), 1);
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto ratio = [&](const char* what, const std::string& a, const std::string& b) {
    auto ia = reporter.seconds.find(a), ib = reporter.seconds.find(b);
    if (ia != reporter.seconds.end() && ib != reporter.seconds.end() && ib->second > 0)
      std::printf("ratio %-40s %8.2f\n", what, ia->second / ib->second);
  };
  ratio("kandelo-cli --version / hello", "BM_CliVersion/manual_time", "BM_Hello_Baseline/manual_time");
  ratio("kandelo-cli info FILE / hello", "BM_CliInfo/manual_time", "BM_Hello_Baseline/manual_time");
  ratio("info per corpus file / cat", "BM_CliInfoCorpus/manual_time", "BM_CatCorpus_Baseline/manual_time");
  benchmark::Shutdown();
  return 0;
}
