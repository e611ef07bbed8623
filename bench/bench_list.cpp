// The catalogue list of a 100 000-entry catalogue: the ".TXT" export (the
// text file written during the walk of key 1) against the walk of key 1
// reading every record, measured in the same run; and the printed list as a
// PDF, in pages per second.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QPrinter>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>

#include "database/catalogue.h"
#include "database/catalogue_list.h"
#include "storage/isam_errors.h"
#include "frame/settings.h"
#include "frame/startup.h"
#include "shell/ui_services.h"
#include "datasheet/list_print.h"
#include "graphics/qt/qt_output.h"
#include "ratio_reporter.h"

namespace {

using namespace kandelo;
namespace fsys = std::filesystem;

constexpr int kEntries = 100000;
// The PDF benchmark prints the first entries: 100 pages.
constexpr int kPrintedEntries = 3000;

class SilentUi : public UiServices {
 public:
  int showMessage(const MessageBox& box) override { return box.buttons.empty() ? mrOk : box.buttons.front().result; }
};

struct World {
  std::string dir;
  SilentUi silent;
  std::unique_ptr<ScopedUiServices> scoped;
  std::unique_ptr<QGuiApplication> app;
  World() {
    static int argc = 1;
    static char name[] = "bench_list";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    char tmpl[] = "/tmp/kandelo-bench-XXXXXX";
    dir = mkdtemp(tmpl);
    setenv("XDG_CONFIG_HOME", (dir + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (dir + "/data").c_str(), 1);
    app = std::make_unique<QGuiApplication>(argc, argv);
    UseToolkitTextMetrics();
    scoped = std::make_unique<ScopedUiServices>(silent);
    LoadSettings();
    if (InitDatabaseEngine() != 0 || !InitCatalogue(Settings().LumDb)) std::abort();
    std::mt19937 rng(7);
    for (int i = 0; i < kEntries; ++i) {
      const std::string n = std::to_string(i);
      TCatalogueRecord rec;
      rec.SetLumName(std::string("Luminaire ").append(std::to_string(rng() % 1000000)).append(" ").append(n));
      rec.SetLumNumber(std::string("N").append(n));
      rec.SetFileNameField(std::string("L").append(n).append(".LDT"));
      rec.SetManufacturer(std::string("Maker ").append(std::to_string(i % 97)));
      if (i % 10 == 0) rec.SetInfoLine("IP65, white");
      std::int32_t no = 0;
      if (AddCatalogueRecord(rec, no) != 0) std::abort();
    }
    // One walk before the measured ones: the first pass over a freshly
    // written catalogue pays for filling the caches, whichever benchmark
    // comes first.
    std::string error;
    if (ExportListText(1, true, {}, {}, dir + "/WARM.TXT", error) != kEntries) std::abort();
  }
};

// Left alive to the end (Qt is not torn down in static destruction); main
// closes the catalogue and removes the temporary directory.
World*& WorldPtr() {
  static World* w = nullptr;
  return w;
}
World& TheWorld() {
  if (!WorldPtr()) WorldPtr() = new World;
  return *WorldPtr();
}

// The baseline: key 1 walked from the start, every record read.
void BM_Baseline_WalkKey1ReadRecords(benchmark::State& state) {
  TheWorld();
  IndexedTable& t = *Catalogue();
  for (auto _ : state) {
    t.SelectKey(1);
    t.ResetKey();
    std::string key;
    const unsigned char* rec = nullptr;
    std::uint64_t sum = 0;
    int n = 0;
    while (t.NextKey(key) == isam::kOk && t.PeekRecord(rec) == isam::kOk) {
      sum += rec[30];
      ++n;
    }
    if (n != kEntries) state.SkipWithError("walk count");
    benchmark::DoNotOptimize(sum);
  }
}

void BM_ExportListText(benchmark::State& state) {
  World& w = TheWorld();
  const std::string txt = w.dir + "/LIST.TXT";
  for (auto _ : state) {
    std::string error;
    if (ExportListText(1, true, {}, {}, txt, error) != kEntries) state.SkipWithError("text file");
  }
}

void BM_PrintListPdf(benchmark::State& state) {
  World& w = TheWorld();
  if (ExportAll(1) != kEntries) state.SkipWithError("export count");
  auto entries = ReadListFile(ListFilePath());
  fsys::remove(ListFilePath());
  entries->resize(kPrintedEntries);
  const std::size_t pages = PaginateList(*entries).size();
  const std::string pdf = w.dir + "/LIST.pdf";
  for (auto _ : state) {
    QPrinter printer(QPrinter::HighResolution);
    TQtPrintJob job(printer);
    if (!job.Begin(pdf, QPageLayout::Landscape)) state.SkipWithError("pdf");
    DrawList(job.Device(), *entries, TListTexts{}, [&job] { return job.NewPage(); });
    if (!job.End()) state.SkipWithError("pdf end");
  }
  state.counters["pages/s"] = benchmark::Counter(static_cast<double>(pages) * static_cast<double>(state.iterations()),
                                                 benchmark::Counter::kIsRate);
  state.counters["pages"] = static_cast<double>(pages);
}

BENCHMARK(BM_Baseline_WalkKey1ReadRecords)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ExportListText)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_PrintListPdf)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter(true);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const auto& s = reporter.seconds;
  const auto base = s.find("BM_Baseline_WalkKey1ReadRecords/iterations:5");
  const auto text = s.find("BM_ExportListText/iterations:5");
  if (base != s.end() && text != s.end() && base->second > 0)
    std::printf("\n.TXT export of %d entries / walk of key 1 reading every record: %.2f (CPU time; limit 2)\n",
                kEntries, text->second / base->second);
  benchmark::Shutdown();
  if (World* w = WorldPtr()) {
    CloseCatalogue();
    ReleaseDatabaseEngine();
    std::error_code ec;
    fsys::remove_all(w->dir, ec);
  }
  return 0;
}
