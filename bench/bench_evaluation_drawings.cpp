// Drawing each evaluation table (DIN, TM5, NB, UGR, glare curves and table,
// floor curves, luminaire count) of a 24 × 37 luminaire into an 800 × 800
// image, against the polar intensity diagram of the same luminaire drawn the
// same way in the same run. The computations run once beforehand: this
// measures the drawings.
#include <benchmark/benchmark.h>

#include "ratio_reporter.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdlib>
#include <map>

#include "evaluation/evaluation_picture.h"
#include "evaluation/intensity_diagram.h"
#include "graphics/qt/qt_device.h"
#include "graphics/qt/qt_output.h"
#include "photometry/lum32.h"

namespace {

using namespace kandelo;

TLUM32& Luminaire() {
  static TLUM32 lum = [] {
    TLUM32 l;
    l.CreateNew("bench.l32", psCGamma, symNone, 0, 24, 0, 15, 345, {}, 37, 0, 5, 180, {});
    for (int i = 1; i <= 24; ++i)
      for (int j = 1; j <= 37; ++j) {
        const double g = l.GammaAngle(j) * M_PI / 180, c = l.CAngle(i) * M_PI / 180;
        l.SetValue(i, j, static_cast<float>(g < M_PI / 2 ? 900 * std::cos(g) * (1 + 0.3 * std::cos(2 * c)) : 40.0));
      }
    l.Length = 1200;
    l.Width = 300;
    l.LumAreaLength = 1150;
    l.LumAreaWidth = 250;
    l.LumAreaHeight = {20, 20, 20, 20};
    l.LampSetCount = 1;
    l.LampSets[0].LampCount = 2;
    l.LampSets[0].LampType = "T16 28W";
    l.LampSets[0].SetFlux = 5200;
    l.LOR = 80;
    l.CalcFlux();
    l.FindMaxIntensity();
    return l;
  }();
  return lum;
}

template <typename Draw>
void DrawToImage(benchmark::State& state, Draw draw) {
  QImage image(800, 800, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    TQtPainterDevice dc(painter);
    draw(dc);
    painter.end();
    benchmark::DoNotOptimize(image.constBits());
  }
}

void BM_PolarDiagram(benchmark::State& state) {
  TLvkOptions o;
  o.planes = {0, 90};
  DrawToImage(state, [&](TDevice& dc) { DrawLVKStandalone(Luminaire(), o, dc, 800, 800); });
}
BENCHMARK(BM_PolarDiagram)->Unit(benchmark::kMillisecond);

const TEvalKind kKinds[] = {TEvalKind::UtfDin, TEvalKind::UtfTm5, TEvalKind::UtfNb,      TEvalKind::Ugr,
                            TEvalKind::Glare,  TEvalKind::GlareTable, TEvalKind::Floor, TEvalKind::Count};

const TEvalPicture& Prepared(TEvalKind kind) {
  static std::map<TEvalKind, TEvalPicture> pictures;
  auto it = pictures.find(kind);
  if (it == pictures.end()) {
    TEvalPicture p;
    p.kind = kind;
    PrepareEvaluation(Luminaire(), p);
    it = pictures.emplace(kind, std::move(p)).first;
  }
  return it->second;
}

void BM_EvaluationDrawing(benchmark::State& state) {
  const TEvalPicture& p = Prepared(kKinds[state.range(0)]);
  state.SetLabel(EvalKindName(p.kind));
  DrawToImage(state, [&](TDevice& dc) { DrawEvaluationStandalone(Luminaire(), p, dc, 800, 800); });
}
BENCHMARK(BM_EvaluationDrawing)->DenseRange(0, 7)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  kandelo::UseToolkitTextMetrics();
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter(true);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const auto base = reporter.seconds.find("BM_PolarDiagram");
  if (base != reporter.seconds.end() && base->second > 0)
    for (int i = 0; i < 8; ++i) {
      const auto it = reporter.seconds.find("BM_EvaluationDrawing/" + std::to_string(i));
      if (it != reporter.seconds.end())
        std::printf("ratio %-12s / polar diagram %8.2f\n", EvalKindName(kKinds[i]), it->second / base->second);
    }
  benchmark::Shutdown();
  return 0;
}
