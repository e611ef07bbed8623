// Opening the browser window on a catalogue of 100 000 entries and jumping the
// scroll thumb to a random row, against a plain table view over a trivial
// model of as many rows (the cost of Qt itself).
#include <benchmark/benchmark.h>

#include "bench_temp.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QScrollBar>
#include <QTableView>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>

#include "app/core_backend.h"
#include "storage/indexed_table.h"
#include "database/catalogue.h"
#include "frame/settings.h"
#include "shell/ui_services.h"
#include "ui/base_form.h"

namespace kandelo {
namespace {

constexpr int kEntries = 100000;

class SilentUi : public UiServices {
 public:
  int showMessage(const MessageBox&) override { return 0; }
};

class TrivialModel : public QAbstractTableModel {
 public:
  int rowCount(const QModelIndex& p = {}) const override { return p.isValid() ? 0 : kEntries; }
  int columnCount(const QModelIndex& p = {}) const override { return p.isValid() ? 0 : 5; }
  QVariant data(const QModelIndex& i, int role) const override {
    if (role != Qt::DisplayRole) return {};
    return QStringLiteral("Luminaire %1 / %2").arg(i.row()).arg(i.column());
  }
};

// One application, one catalogue for the whole run.
struct World {
  SilentUi silent;
  std::unique_ptr<ScopedUiServices> scoped;
  std::unique_ptr<QApplication> app;
  std::unique_ptr<CoreBrowserBackend> backend;
  World() {
    static int argc = 1;
    static char name[] = "bench_browser";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::string dir = bench::TempDir("browser");
    setenv("XDG_CONFIG_HOME", (dir + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (dir + "/data").c_str(), 1);
    app = std::make_unique<QApplication>(argc, argv);
    scoped = std::make_unique<ScopedUiServices>(silent);
    LoadSettings();
    InitDatabaseEngine();
    InitCatalogue(Settings().LumDb);
    std::mt19937 rng(7);
    for (int i = 0; i < kEntries; ++i) {
      const std::string n = std::to_string(i);
      std::string name = "Luminaire ";
      name.append(std::to_string(rng() % 1000000)).append(" ").append(n);
      TCatalogueRecord rec;
      rec.SetLumName(name);
      rec.SetLumNumber(std::string("N").append(n));
      rec.SetFileNameField(std::string("L").append(n).append(".LDT"));
      rec.SetManufacturer(std::string("Maker ").append(std::to_string(i % 97)));
      rec.SetDirIndex(0);
      std::int32_t no = 0;
      AddCatalogueRecord(rec, no);
    }
    backend = std::make_unique<CoreBrowserBackend>();
  }
};

// Left alive to the end: Qt and the engine are not torn down in static destruction.
World& TheWorld() {
  static World* w = new World;
  return *w;
}

void Jump(QTableView* view, benchmark::State& state) {
  std::mt19937 rng(11);
  QScrollBar* bar = view->verticalScrollBar();
  for (auto _ : state) {
    bar->setValue(static_cast<int>(rng() % static_cast<unsigned>(bar->maximum() + 1)));
    benchmark::DoNotOptimize(view->viewport()->grab());
  }
}

void BM_OpenBrowser_100k(benchmark::State& state) {
  World& w = TheWorld();
  for (auto _ : state) {
    TfBaseForm f(*w.backend);
    f.show();
    QApplication::processEvents();
    benchmark::DoNotOptimize(f.grab());
  }
}
BENCHMARK(BM_OpenBrowser_100k)->Unit(benchmark::kMillisecond);

void BM_OpenTableView_Trivial100k_Baseline(benchmark::State& state) {
  TheWorld();
  TrivialModel model;
  for (auto _ : state) {
    QTableView view;
    view.setModel(&model);
    view.resize(900, 600);
    view.show();
    QApplication::processEvents();
    benchmark::DoNotOptimize(view.grab());
  }
}
BENCHMARK(BM_OpenTableView_Trivial100k_Baseline)->Unit(benchmark::kMillisecond);

void BM_JumpBrowser_100k(benchmark::State& state) {
  World& w = TheWorld();
  TfBaseForm f(*w.backend);
  f.show();
  QApplication::processEvents();
  QTableView* view = f.findChild<QTableView*>();
  if (!view) {
    state.SkipWithError("no table");
    return;
  }
  Jump(view, state);
}
BENCHMARK(BM_JumpBrowser_100k)->Unit(benchmark::kMillisecond);

void BM_JumpTableView_Trivial100k_Baseline(benchmark::State& state) {
  TheWorld();
  TrivialModel model;
  QTableView view;
  view.setModel(&model);
  view.resize(900, 600);
  view.show();
  QApplication::processEvents();
  Jump(&view, state);
}
BENCHMARK(BM_JumpTableView_Trivial100k_Baseline)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kandelo
