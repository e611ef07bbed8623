// The datasheet with all thirteen page kinds of a 24 × 37 luminaire written
// to a PDF file (computations, every page and the file), reported per page,
// against the polar intensity diagram of the same luminaire drawn into an
// 800 × 800 image in the same run.
#include <benchmark/benchmark.h>

#include "ratio_reporter.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <cmath>
#include <cstdlib>

#include "datasheet/datasheet.h"
#include "evaluation/intensity_diagram.h"
#include "frame/msgmanager.h"
#include "graphics/qt/qt_device.h"
#include "graphics/qt/qt_output.h"
#include "graphics/qt/qt_page_job.h"
#include "photometry/lum32.h"

namespace {

using namespace kandelo;

TLUM32 MakeLuminaire() {
  TLUM32 l;
  l.CreateNew("bench.l32", psCGamma, symNone, 0, 24, 0, 15, 345, {}, 37, 0, 5, 180, {});
  for (int i = 1; i <= 24; ++i)
    for (int j = 1; j <= 37; ++j) {
      const double g = l.GammaAngle(j) * M_PI / 180, c = l.CAngle(i) * M_PI / 180;
      l.SetValue(i, j, static_cast<float>(g < M_PI / 2 ? 900 * std::cos(g) * (1 + 0.3 * std::cos(2 * c)) : 40.0));
    }
  l.LumName = "Bench luminaire";
  l.LumNumber = "B-24";
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
}

std::string MessageFile() { return std::string(KANDELO_SOURCE_DIR) + "/resources/language/ORVMSG.ENG"; }

void BM_PolarDiagram(benchmark::State& state) {
  const TLUM32 lum = MakeLuminaire();
  TLvkOptions o;
  o.planes = {0, 90};
  QImage image(800, 800, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    TQtPainterDevice dc(painter);
    DrawLVKStandalone(lum, o, dc, 800, 800);
    painter.end();
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_PolarDiagram)->Unit(benchmark::kMillisecond);

int g_pages = 0;

void BM_DatasheetPdf(benchmark::State& state) {
  QTemporaryDir dir;
  const std::string file = (dir.path() + QStringLiteral("/datasheet.pdf")).toStdString();
  TOutputSettings settings = InitialOutputSettings();
  settings.OutputSet = (1u << kOutputTypeCount) - 1;
  *settings.Planes = {0, 90};
  TMsgManager msg(MessageFile());
  TDatasheetOptions options;
  options.languageFile = MessageFile();
  options.userName = "Bench Lighting";
  options.userAddr = "1 Main Street";
  for (auto _ : state) {
    TLUM32 lum = MakeLuminaire();
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    TQtPageJob job(printer, file);
    const TDatasheetResult r = PrintDatasheet(lum, nullptr, settings, msg, job, options);
    if (r.status != TDatasheetStatus::Printed) {
      state.SkipWithError("the datasheet was not printed");
      break;
    }
    g_pages = r.pages;
  }
  state.counters["pages"] = g_pages;
  // Seconds per page.
  state.counters["per_page"] =
      benchmark::Counter(g_pages, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_DatasheetPdf)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  kandelo::UseToolkitTextMetrics();
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter(true);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const auto base = reporter.seconds.find("BM_PolarDiagram");
  const auto sheet = reporter.seconds.find("BM_DatasheetPdf");
  if (base != reporter.seconds.end() && sheet != reporter.seconds.end() && base->second > 0 && g_pages > 0)
    std::printf("datasheet: %d pages; per page / polar diagram %8.2f (whole datasheet %8.2f)\n", g_pages,
                sheet->second / g_pages / base->second, sheet->second / base->second);
  benchmark::Shutdown();
  return 0;
}
