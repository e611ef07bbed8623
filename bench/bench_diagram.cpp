// Rendering a polar intensity diagram of a 24 × 37 luminaire into an 800 × 800
// image, beside a baseline in the same run: the same image filled and the
// same polygons and line segments drawn with QPainter directly.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdlib>

#include "evaluation/intensity_diagram.h"
#include "graphics/qt/qt_device.h"
#include "graphics/qt/qt_output.h"
#include "graphics/recording_device.h"
#include "photometry/lum32.h"

namespace {

using namespace kandelo;

const TLUM32& Luminaire() {
  static TLUM32 lum = [] {
    TLUM32 l;
    l.CreateNew("bench.l32", psCGamma, symNone, 0, 24, 0, 15, 345, {}, 37, 0, 5, 180, {});
    for (int i = 1; i <= 24; ++i)
      for (int j = 1; j <= 37; ++j) {
        const double g = l.GammaAngle(j) * M_PI / 180, c = l.CAngle(i) * M_PI / 180;
        l.SetValue(i, j, static_cast<float>(g < M_PI / 2 ? 900 * std::cos(g) * (1 + 0.3 * std::cos(2 * c)) : 40.0));
      }
    l.CalcFlux();
    l.FindMaxIntensity();
    return l;
  }();
  return lum;
}

TLvkOptions Options() {
  TLvkOptions o;
  o.planes = {0, 90};
  return o;
}

void BM_PolarDiagramToImage(benchmark::State& state) {
  QImage image(800, 800, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    TQtPainterDevice dc(painter);
    DrawLVKStandalone(Luminaire(), Options(), dc, 800, 800);
    painter.end();
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_PolarDiagramToImage)->Unit(benchmark::kMillisecond);

// What the diagram draws, in device pixels, replayed with QPainter directly:
// the same polygons, polylines, lines, circles, rectangles and texts.
struct Replay {
  std::vector<TDrawOp> ops;
};

const Replay& DiagramOps() {
  static Replay r = [] {
    Replay out;
    TRecordingDevice rec;
    DrawLVKStandalone(Luminaire(), Options(), rec, 800, 800);
    out.ops = rec.ops;
    return out;
  }();
  return r;
}

void BM_BaselineQPainterSamePrimitives(benchmark::State& state) {
  const Replay& r = DiagramOps();
  const double s = 800.0 / kLvkPictureSize;
  auto map = [s](TPoint p) { return QPointF(p.x * s, p.y * s); };
  QImage image(800, 800, QImage::Format_ARGB32_Premultiplied);
  QFont font("Arial");
  font.setPixelSize(25);
  int segments = 0;
  for (auto _ : state) {
    segments = 0;
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(font);
    for (const TDrawOp& op : r.ops) {
      painter.setPen(op.pen.style == 5 ? QPen(Qt::NoPen) : QPen(Qt::black, op.pen.width * s));
      painter.setBrush(op.brush.style == 0 ? QBrush(Qt::yellow) : QBrush(Qt::NoBrush));
      QPolygonF poly;
      for (TPoint p : op.points) poly << map(p);
      segments += static_cast<int>(op.points.size());
      switch (op.kind) {
        case TDrawOp::Polygon: painter.drawPolygon(poly); break;
        case TDrawOp::Polyline:
        case TDrawOp::Line: painter.drawPolyline(poly); break;
        case TDrawOp::Rectangle: painter.drawRect(QRectF(poly[0], poly[1])); break;
        case TDrawOp::Ellipse: painter.drawEllipse(QRectF(poly[0], poly[1])); break;
        case TDrawOp::Text: painter.drawText(poly[0], QString::fromLatin1(op.text.c_str())); break;
        default: break;
      }
    }
    painter.end();
    benchmark::DoNotOptimize(image.constBits());
  }
  state.counters["points"] = segments;
}
BENCHMARK(BM_BaselineQPainterSamePrimitives)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  kandelo::UseToolkitTextMetrics();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
