// Opening the record editor on a 72 × 181 luminaire and switching to its
// intensity table, against opening the browser on the same catalogue in the
// same run. The table is a virtual model: its cost must not grow with cells.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/core_backend.h"
#include "storage/indexed_table.h"
#include "database/catalogue.h"
#include "frame/settings.h"
#include "shell/ui_services.h"
#include "photometry/lum32.h"
#include "ratio_reporter.h"
#include "ui/base_form.h"
#include "ui/record_editor.h"

namespace kandelo {
namespace {

const char kPrefix[] = "kandelo-bench-editor-";

class SilentUi : public UiServices {
 public:
  int showMessage(const MessageBox&) override { return 0; }
};

struct World {
  std::string dir;
  SilentUi silent;
  std::unique_ptr<ScopedUiServices> scoped;
  std::unique_ptr<CoreBrowserBackend> backend;
  TCatalogueRecord rec;
  World() {
    // Leftovers of a run that was interrupted.
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator("/tmp", ec))
      if (e.path().filename().string().rfind(kPrefix, 0) == 0) std::filesystem::remove_all(e.path(), ec);
    char tmpl[64];
    std::snprintf(tmpl, sizeof tmpl, "/tmp/%sXXXXXX", kPrefix);
    dir = mkdtemp(tmpl);
    setenv("XDG_CONFIG_HOME", (dir + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (dir + "/data").c_str(), 1);
    scoped = std::make_unique<ScopedUiServices>(silent);
    LoadSettings();
    InitDatabaseEngine();
    InitCatalogue(Settings().LumDb);
    // 72 planes × 181 angles of a smooth distribution.
    TLUM32 lum;
    lum.CreateNew("", psCGamma, 0, 0, 72, 0, 5, 355, {}, 181, 0, 1, 180, {});
    for (int i = 1; i <= 72; ++i)
      for (int j = 1; j <= 181; ++j) lum.SetValue(i, j, j <= 91 ? 300.0f - 3.0f * float(j) + float(i % 7) : 0.0f);
    lum.LampSetCount = 1;
    lum.LampSets[0] = {1, "LED", 4000, 4000, "840", "80", 35};
    lum.LumName = "Bench 72x181";
    lum.Length = 600, lum.Width = 600, lum.LumAreaLength = 580, lum.LumAreaWidth = 580;
    const std::string file = Settings().LumDir1 + "/BENCH.LDT";
    lum.CalcFlux();
    lum.SaveAs(fmtEulumdat, file);
    backend = std::make_unique<CoreBrowserBackend>();
    const std::int32_t recNo = backend->CatalogueFileInPlace(file);
    backend->ReadCatalogueRecord(recNo, rec);
  }
  ~World() {
    CloseCatalogue();
    ReleaseDatabaseEngine();
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
};

World* g_world = nullptr;

void BM_OpenBrowser_Baseline(benchmark::State& state) {
  for (auto _ : state) {
    TfBaseForm f(*g_world->backend);
    f.show();
    QApplication::processEvents();
    benchmark::DoNotOptimize(f.grab());
  }
}
BENCHMARK(BM_OpenBrowser_Baseline)->Unit(benchmark::kMillisecond);

void BM_OpenEditorTable_72x181(benchmark::State& state) {
  for (auto _ : state) {
    Tdbedform editor(g_world->rec, EditMode::Copy, *g_world->backend, false);
    editor.show();
    editor.ChangePage(1);
    QApplication::processEvents();
    benchmark::DoNotOptimize(editor.grab());
  }
}
BENCHMARK(BM_OpenEditorTable_72x181)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kandelo

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  kandelo::World world;
  kandelo::g_world = &world;
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const auto a = reporter.seconds.find("BM_OpenEditorTable_72x181");
  const auto b = reporter.seconds.find("BM_OpenBrowser_Baseline");
  if (a != reporter.seconds.end() && b != reporter.seconds.end() && b->second > 0)
    std::printf("ratio editor with table (72x181) / browser: %.2f\n", a->second / b->second);
  benchmark::Shutdown();
  return 0;
}
