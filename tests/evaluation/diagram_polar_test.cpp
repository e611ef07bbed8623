#include "evaluation/polar_diagram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "diagram_fixtures.h"
#include "graphics/recording_device.h"
#include "graphics/text_metrics.h"
#include "support/test_support.h"

namespace kandelo {
namespace {

const TRect kBox{0, 0, 4000, 4000};

// Draws standalone (4000 × 4000 logical, line width 14) on a recording device.
std::unique_ptr<TRecordingDevice> DrawPolar(const TLUM32& lum, std::vector<float> planes, bool showEta = true,
                                            bool printMode = false, const std::string& languageFile = "") {
  // Like a metafile: text is measured on the measuring context.
  auto dev = std::make_unique<TRecordingDevice>(false);
  TStandaloneScope standalone;
  DrawLVKPolar(lum, planes.empty() ? nullptr : &planes, *dev, true, languageFile, showEta, printMode, kBox, kBox);
  return dev;
}

struct PositionCase {
  const char* name;
  TLUM32 (*make)();
  TCentrePosition position;
  int centreY;
};

TEST(PolarDiagramTest, CentreHeightFollowsTheFluxSplit) {
  // Inner frame 400..3600 × 400..3700, G = 3300.
  const PositionCase cases[] = {
      {"downward", test::Downlight, TCentrePosition::High, 400 + 495},
      {"upward", test::Uplight, TCentrePosition::Low, 400 + 2805},
      {"both ways", test::DirectIndirect, TCentrePosition::Middle, 400 + 1650},
  };
  for (const PositionCase& c : cases) {
    SCOPED_TRACE(c.name);
    const TLUM32 lum = c.make();
    const TPolarLayout lay = ComputePolarLayout(lum, {0, 90}, kBox);
    EXPECT_EQ(lay.inner, (TRect{400, 400, 3600, 3700}));
    EXPECT_EQ(lay.position, c.position);
    EXPECT_EQ(lay.centre, (TPoint{2000, c.centreY}));
    // Ring values sit on the side of the light: below the centre only for "high".
    const auto dev = DrawPolar(lum, {0});
    const TDrawOp* label = nullptr;
    for (const TDrawOp& op : dev->ops)
      if (op.kind == TDrawOp::Text && op.points[0].x == 2000) label = &op;
    ASSERT_TRUE(label);
    EXPECT_EQ(label->points[0].y > c.centreY, c.position == TCentrePosition::High);
  }
}

TEST(PolarDiagramTest, ScaleRingsAndRingValues) {
  // Cosine downlight, Imax 1000: the basis is a nice value, so the scale is
  // NiceScale(1050) = 1200 in 6 rings of 467 units.
  const TLUM32 lum = test::Downlight();
  const TPolarLayout lay = ComputePolarLayout(lum, {0}, kBox);
  EXPECT_EQ(lay.radius, 2805);
  EXPECT_DOUBLE_EQ(lay.scale.fullScale, 1200);
  EXPECT_EQ(lay.scale.divisions, 6);
  EXPECT_EQ(lay.ringSpacing, 467);
  EXPECT_EQ(lay.ringCount, 6);
  EXPECT_EQ(lay.wmax, 500);
  const auto dev = DrawPolar(lum, {0});
  // Ring 1 is never labelled, 1000 lies within a quarter step of I(0°) and
  // ring 6 is the full-scale ring.
  std::vector<std::string> values;
  for (const TDrawOp& op : dev->ops)
    if (op.kind == TDrawOp::Text && op.points[0].x == 2000) values.push_back(op.text);
  EXPECT_EQ(values, (std::vector<std::string>{"400", "600", "800"}));
  // Boxes below I(0°) are yellow.
  int yellowBoxes = 0;
  for (const TDrawOp& op : dev->ops)
    if (op.kind == TDrawOp::Rectangle && op.brush.color == 0x00FFFF && op.pen.style == gdi::PS_NULL) ++yellowBoxes;
  EXPECT_EQ(yellowBoxes, 3);
}

TEST(PolarDiagramTest, RingsStayInsideTheFrame) {
  const TLUM32 lum = test::DirectIndirect();
  const auto dev = DrawPolar(lum, {0});
  const TPolarLayout lay = ComputePolarLayout(lum, {0}, kBox);
  int circles = 0, arcs = 0;
  for (const TDrawOp& op : dev->ops) {
    if (op.kind == TDrawOp::Ellipse) {
      ++circles;
      EXPECT_GE(op.points[0].x, lay.inner.left);
      EXPECT_GE(op.points[0].y, lay.inner.top);
    }
    if (op.kind == TDrawOp::Polyline && op.pen.width == DiagramState().gridWidth && op.points.size() > 3) {
      ++arcs;
      for (TPoint p : op.points) {
        EXPECT_GE(p.x, lay.inner.left - 1);
        EXPECT_LE(p.x, lay.inner.right);
        EXPECT_GE(p.y, lay.inner.top - 1);
        EXPECT_LE(p.y, lay.inner.bottom);
      }
    }
  }
  EXPECT_GT(circles, 0);
  EXPECT_GT(arcs, 0);
}

TEST(PolarDiagramTest, CurvesLegendAndDashes) {
  const TLUM32 lum = test::MakeLuminaire([](double g, double c) { return g <= 90 ? 500 + 3 * c : 0.0; });
  const auto dev = DrawPolar(lum, {0, 90, 180, 45, 60});
  // One filled polygon of 720 points per plane.
  int polygons = 0;
  for (const TDrawOp& op : dev->ops)
    if (op.kind == TDrawOp::Polygon && op.points.size() == 720) ++polygons;
  EXPECT_EQ(polygons, 5);
  // Legend: C180 keeps its name; the fifth entry lies beyond the right frame edge.
  const TDrawOp* c180 = dev->FindText("C180");
  const TDrawOp* c60 = dev->FindText("C60");
  ASSERT_TRUE(c180 && c60);
  EXPECT_GT(c60->points[0].x, 3600);
  EXPECT_EQ(c60->points[0].y, 3700 + 40);
  EXPECT_EQ(c60->textAlign, gdi::TA_LEFT | gdi::TA_TOP);
  // Curve outlines are drawn with the curve width: the first plane one
  // solid polyline, the others one polyline a dash.
  int dashes = 0;
  for (const TDrawOp& op : dev->ops) {
    EXPECT_FALSE(op.kind == TDrawOp::Line && op.pen.width == 14);
    if (op.kind == TDrawOp::Polyline && op.pen.width == 14) ++dashes;
  }
  EXPECT_GT(dashes, 100);
  const auto solid = DrawPolar(lum, {0});
  int runs = 0;
  for (const TDrawOp& op : solid->ops)
    if (op.kind == TDrawOp::Polyline && op.pen.width == 14 && op.points.size() > 100) ++runs;
  EXPECT_EQ(runs, 1);
}

TEST(PolarDiagramTest, PlanePairing) {
  EXPECT_EQ(PairPlane(0).right, 0);
  EXPECT_EQ(PairPlane(0).left, 180);
  EXPECT_EQ(PairPlane(180).right, 0);  // C180 goes to the left half
  EXPECT_EQ(PairPlane(180).left, 180);
  EXPECT_EQ(PairPlane(90).right, 90);
  EXPECT_EQ(PairPlane(90.04f).right, 90.04f);  // rounds to 900 tenths: still right
  EXPECT_EQ(PairPlane(270).right, 90);
  EXPECT_EQ(PairPlane(300).right, 300);
}

TEST(PolarDiagramTest, LegendDecimalsFollowThePlaneStep) {
  const TLUM32 whole = test::Downlight();
  const auto a = DrawPolar(whole, {});  // default planes
  EXPECT_TRUE(a->FindText("C0") && a->FindText("C90"));
  const TLUM32 half = test::MakeLuminaire([](double g, double) { return g <= 90 ? 800.0 : 0.0; }, 22.5f);
  const auto b = DrawPolar(half, {22.5f, 0});
  EXPECT_TRUE(b->FindText("C22.5") && b->FindText("C0.0"));
}

TEST(PolarDiagramTest, BoxesAndHeading) {
  test::TempDir dir;
  test::writeFile(dir.file("ORVMSG.ENG"), "[OUTTXT]\nLVK_HD=Light distribution\n");
  const TLUM32 lum = test::Downlight();
  const auto shown = DrawPolar(lum, {0}, true, false, dir.file("ORVMSG.ENG"));
  const TDrawOp* heading = shown->FindText("Light distribution");
  ASSERT_TRUE(heading);
  EXPECT_EQ(heading->font.weight, gdi::FW_BOLD);
  EXPECT_EQ(heading->points[0], (TPoint{400, 400 - 400 / 3}));
  const TDrawOp* eta = nullptr;
  for (const TDrawOp& op : shown->ops)
    if (op.utf8) eta = &op;
  ASSERT_TRUE(eta);
  EXPECT_EQ(eta->text, "\xCE\xB7 = " + std::to_string(static_cast<int>(std::nearbyint(lum.LOR))) + " %");
  EXPECT_EQ(eta->textAlign, gdi::TA_RIGHT | gdi::TA_BOTTOM);
  EXPECT_TRUE(shown->FindText("I (cd/klm)"));
  // Print mode: η as well, white boxes.
  const auto printed = DrawPolar(lum, {0}, true, true);
  bool printedEta = false;
  for (const TDrawOp& op : printed->ops) {
    printedEta |= op.utf8;
    if (op.kind == TDrawOp::Rectangle && op.pen.style == gdi::PS_SOLID && op.pen.width == 0) {
      EXPECT_EQ(op.brush.color, 0xFFFFFFu);
    }
  }
  EXPECT_TRUE(printedEta);
  // Not asked for: no η.
  const auto withoutEta = DrawPolar(lum, {0}, false, true);
  for (const TDrawOp& op : withoutEta->ops) EXPECT_FALSE(op.utf8);
}

// In the browser the diagram is drawn in twips on a screen of 15 twips a
// pixel: its line width is two pixels however small the diagram. The η box
// must hold "η = 100 %" there too.
TEST(PolarDiagramTest, TheEtaBoxHoldsItsTextAtEverySize) {
  TLUM32 lum = test::Downlight();
  lum.LOR = 100;
  for (int pixels : {160, 221, 300, 600}) {
    const int side = 15 * pixels;
    TRecordingDevice dev(true);
    dev.SetMapMode(gdi::MM_ANISOTROPIC);
    dev.SetWindowExt(side, side);
    dev.SetViewportExt(pixels, pixels);
    const TRect r{side / 100, side / 100, side - side / 100, side - side / 100};
    DrawLVKPolar(lum, nullptr, dev, true, "", true, false, r, r);
    const TDrawOp* eta = nullptr;
    const TDrawOp* box = nullptr;
    for (const TDrawOp& op : dev.ops) {
      if (op.kind == TDrawOp::Rectangle) box = &op;
      if (op.utf8) {
        eta = &op;
        break;
      }
    }
    ASSERT_TRUE(eta && box) << pixels;
    EXPECT_EQ(eta->text, "\xCE\xB7 = 100 %");
    TSize extent;
    ASSERT_TRUE(TBuiltinTextMeasurer().Measure(eta->font, "n = 100 %", extent));
    const int boxLeft = std::min(box->points[0].x, box->points[1].x);
    EXPECT_LE(boxLeft, eta->points[0].x - extent.cx) << pixels << " px";
  }
}

TEST(PolarDiagramTest, BBetaCurves) {
  TLUM32 lum;
  ASSERT_TRUE(lum.CreateNew("bb.l32", psBBeta, symNone, 0, 3, -90, 90, 90, {}, 37, -90, 5, 90, {}));
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 37; ++j)
      lum.SetValue(i, j, static_cast<float>(1000 * test::CosDeg(lum.GammaAngle(j))));
  lum.CalcFlux();
  lum.FindMaxIntensity();
  test::TempDir dir;
  test::writeFile(dir.file("ORVMSG.ENG"), "[OUTTXT]\nLVK_HD=Light distribution\n");
  const auto dev = DrawPolar(lum, {0}, true, false, dir.file("ORVMSG.ENG"));
  EXPECT_FALSE(dev->FindText("Light distribution"));
  EXPECT_TRUE(dev->FindText("B0.0"));
  int curves = 0;
  for (const TDrawOp& op : dev->ops)
    if (op.kind == TDrawOp::Polygon && op.points.size() == 721) ++curves;
  EXPECT_EQ(curves, 1);
  // No headroom retry for B-β: Imax 1000 stays 1000.
  EXPECT_DOUBLE_EQ(ComputePolarLayout(lum, {0}, kBox).scale.fullScale, 1000);
}

TEST(PolarDiagramTest, DegenerateInputDrawsSafely) {
  const TLUM32 dark = test::MakeLuminaire([](double, double) { return 0.0; });
  DrawPolar(dark, {0, 90});
  // Hostile tables: huge, negative and undefined values, a tiny maximum.
  for (double v : {1e30, -1e30, std::nan(""), 1e-30}) {
    SCOPED_TRACE(v);
    TLUM32 lum = test::MakeLuminaire([v](double g, double) { return g == 45 ? v : 1.0; });
    DrawPolar(lum, {0, 90});
    lum.Imax = 1e-30f;
    DrawPolar(lum, {0, 90});
  }
  TLUM32 empty;
  DrawPolar(empty, {0});
  TRecordingDevice dev;
  DrawLVKPolar(test::Downlight(), nullptr, dev, true, "", true, false, TRect{0, 0, 5, 5}, {});
  DrawLVKPolar(test::Downlight(), nullptr, dev, true, "", true, false, TRect{100, 100, 0, 0}, {});
}

}  // namespace
}  // namespace kandelo
