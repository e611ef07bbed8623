// The evaluation window's answer to a parameter change: from the change of
// each tab's main parameter (as the user makes it) to the repainted drawing,
// on a 24 × 37 luminaire, against repainting the polar diagram alone (CPU
// time, since one repaint is one thread of work).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "database/catalogue_record.h"
#include "frame/settings.h"
#include "frame/startup.h"
#include "shell/ui_services.h"
#include "graphics/qt/drwwin_widget.h"
#include "graphics/qt/qt_output.h"
#include "photometry/lum32.h"
#include "ratio_reporter.h"
#include "texts/text_controls.h"
#include "ui/linfo_form.h"

namespace kandelo {
namespace {

class SilentUi : public UiServices {
 public:
  int showMessage(const MessageBox&) override { return 0; }
};

// 24 C planes every 15°, γ 0 … 180° every 5°: a linear luminaire with a
// luminous area and one lamp set.
TLUM32 Linear24x37() {
  TLUM32 lum;
  lum.CreateNew("bench.ldt", psCGamma, symNone, 0, 24, 0, 15, 345, {}, 37, 0, 5, 180, {});
  for (int i = 1; i <= 24; ++i)
    for (int j = 1; j <= 37; ++j) {
      const double g = lum.GammaAngle(j) * M_PI / 180, c = lum.CAngle(i) * M_PI / 180;
      lum.SetValue(i, j, static_cast<float>(g <= M_PI / 2 ? 400 * std::cos(g) * (0.6 + 0.4 * std::fabs(std::sin(c))) : 15));
    }
  lum.LumName = "Bench";
  lum.LampSetCount = 1;
  lum.LampSets[0].LampCount = 1;
  lum.LampSets[0].LampFlux = lum.LampSets[0].SetFlux = 3000;
  lum.LumAreaLength = 1200;
  lum.LumAreaWidth = 150;
  lum.CalcFlux();
  lum.FindMaxIntensity();
  return lum;
}

struct World {
  SilentUi silent;
  std::unique_ptr<ScopedUiServices> scoped;
  std::unique_ptr<QApplication> app;
  std::unique_ptr<TLinfoForm> form;
  World() {
    static int argc = 1;
    static char name[] = "bench_evaluation_window";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    char tmpl[] = "/tmp/kandelo-bench-XXXXXX";
    const std::string dir = mkdtemp(tmpl);
    setenv("XDG_CONFIG_HOME", (dir + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (dir + "/data").c_str(), 1);
    app = std::make_unique<QApplication>(argc, argv);
    UseToolkitTextMetrics();
    scoped = std::make_unique<ScopedUiServices>(silent);
    LoadSettings();
    InstallLanguageFiles();
    form = std::make_unique<TLinfoForm>(TCatalogueRecord{}, Linear24x37(), false);
    form->resize(1200, 800);
    form->show();
    QApplication::processEvents();
  }
};

World& TheWorld() {
  static World w;
  return w;
}

// Each iteration flips the parameter between two values and repaints.
void Measure(benchmark::State& state, int tab, const std::function<void(TLinfoForm&, bool)>& change) {
  TLinfoForm& f = *TheWorld().form;
  f.SelectTab(tab);
  f.DrawingWindow()->repaint();
  bool flip = false;
  for (auto _ : state) {
    flip = !flip;
    change(f, flip);
    f.DrawingWindow()->repaint();
  }
}

void Activate(QComboBox* c, int index) {
  c->setCurrentIndex(index);
  emit c->activated(index);
}

void Enter(QLineEdit* field, const char* text) {
  field->setText(QString::fromLatin1(text));
  emit field->editingFinished();
}

void BM_Baseline_PolarRepaint(benchmark::State& state) {
  Measure(state, TLinfoForm::tabLvk, [](TLinfoForm&, bool) {});
}
void BM_Polar_PlaneTick(benchmark::State& state) {
  Measure(state, TLinfoForm::tabLvk, [](TLinfoForm& f, bool on) {
    f.PlaneList()->item(3)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
  });
}
void BM_Cartesian_GammaMax(benchmark::State& state) {
  TheWorld().form->LvkGroup()->SetItemIndex(1);
  Measure(state, TLinfoForm::tabLvk, [](TLinfoForm& f, bool on) { Enter(f.GammaMaxField(), on ? "90" : "120"); });
  TheWorld().form->LvkGroup()->SetItemIndex(0);
}
void BM_Glare_Type(benchmark::State& state) {
  Measure(state, TLinfoForm::tabGlare, [](TLinfoForm& f, bool on) { f.GlareGroup()->SetItemIndex(on ? 0 : 1); });
}
void BM_Utilization_Type(benchmark::State& state) {
  Measure(state, TLinfoForm::tabUtf, [](TLinfoForm& f, bool on) { f.UtfGroup()->SetItemIndex(on ? 0 : 1); });
}
void BM_Isolux_Side(benchmark::State& state) {
  Measure(state, TLinfoForm::tabIsolux, [](TLinfoForm& f, bool on) {
    f.IsoluxFields()[0]->setText(on ? QStringLiteral("12") : QStringLiteral("10"));
    f.ShowButton()->click();
  });
}
void BM_Cone_Distances(benchmark::State& state) {
  Measure(state, TLinfoForm::tabCone, [](TLinfoForm& f, bool on) { f.DistanceList()->setCurrentRow(on ? 7 : 5); });
}
void BM_Count_HeightPreset(benchmark::State& state) {
  Measure(state, TLinfoForm::tabCount, [](TLinfoForm& f, bool on) { Activate(f.CountHeightPreset(), on ? 1 : 0); });
}
void BM_Floor_HeightPreset(benchmark::State& state) {
  Measure(state, TLinfoForm::tabFloor, [](TLinfoForm& f, bool on) { Activate(f.FloorHeightPreset(), on ? 1 : 0); });
}

BENCHMARK(BM_Baseline_PolarRepaint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Polar_PlaneTick)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Cartesian_GammaMax)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Glare_Type)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Utilization_Type)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Isolux_Side)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Cone_Distances)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Count_HeightPreset)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Floor_HeightPreset)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kandelo

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter(true);  // CPU time: the machine may be shared
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const auto base = reporter.seconds.find("BM_Baseline_PolarRepaint");
  if (base != reporter.seconds.end() && base->second > 0)
    for (const auto& [name, seconds] : reporter.seconds)
      if (name != base->first) std::printf("ratio %-28s / polar repaint %6.2f\n", name.c_str(), seconds / base->second);
  benchmark::Shutdown();
  return 0;
}
