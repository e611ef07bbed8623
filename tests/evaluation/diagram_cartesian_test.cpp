#include "evaluation/cartesian_diagram.h"

#include <gtest/gtest.h>

#include <memory>

#include "diagram_fixtures.h"
#include "graphics/recording_device.h"
#include "support/test_support.h"

namespace kandelo {
namespace {

const TRect kBox{0, 0, 4000, 4000};

std::unique_ptr<TRecordingDevice> DrawCartesian(const TLUM32& lum, std::vector<float> planes, double gammaMax,
                                                const std::string& languageFile = "") {
  auto dev = std::make_unique<TRecordingDevice>(false);
  TStandaloneScope standalone;
  DrawLVKCartesian(lum, &planes, *dev, languageFile, gammaMax, kBox, kBox);
  return dev;
}

std::vector<std::string> AngleLabels(const TRecordingDevice& dev) {
  std::vector<std::string> out;
  for (const TDrawOp& op : dev.ops)
    if (op.kind == TDrawOp::Text && !op.text.empty() && op.text.back() == '\xB0') out.push_back(op.text);
  return out;
}

TEST(CartesianDiagramTest, AngleRangeAndTicks) {
  struct Case {
    const char* name;
    TLUM32 lum;
    double gammaMax;
    double reference, range, step;
    std::vector<std::string> labels;  // centre first, then each tick on both sides
  };
  const Case cases[] = {
      {"whole range", test::Downlight(), 0, 0, 180, 45,
       {"0\xB0", "45\xB0", "45\xB0", "90\xB0", "90\xB0", "135\xB0", "135\xB0", "180\xB0", "180\xB0"}},
      {"two degrees", test::Downlight(), 2, 0, 2, 0.5,
       {"0.0\xB0", "0.5\xB0", "0.5\xB0", "1.0\xB0", "1.0\xB0", "1.5\xB0", "1.5\xB0", "2.0\xB0", "2.0\xB0"}},
      {"upward from 90", test::MakeLuminaire([](double g, double) { return 300 - g; }, 15, true, 90, 180), 0, 180, 90,
       22.5, {"180.0\xB0", "157.5\xB0", "157.5\xB0", "135.0\xB0", "135.0\xB0", "112.5\xB0", "112.5\xB0", "90.0\xB0",
              "90.0\xB0"}},
      {"seventy degrees", test::Downlight(), 70, 0, 70, 15,
       {"0\xB0", "15\xB0", "15\xB0", "30\xB0", "30\xB0", "45\xB0", "45\xB0", "60\xB0", "60\xB0"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TCartesianLayout lay = ComputeCartesianLayout(c.lum, c.gammaMax, kBox);
    EXPECT_EQ(lay.inner, (TRect{400, 400, 3800, 3600}));
    EXPECT_EQ(lay.reference, c.reference);
    EXPECT_DOUBLE_EQ(lay.range, c.range);
    EXPECT_EQ(lay.angleStep, c.step);
    EXPECT_EQ(AngleLabels(*DrawCartesian(c.lum, {0}, c.gammaMax)), c.labels);
  }
}

TEST(CartesianDiagramTest, ScaleCurvesAndTexts) {
  const TLUM32 lum = test::MakeLuminaire([](double g, double) { return g <= 90 ? 400.0 : 0.0; });
  ASSERT_FLOAT_EQ(lum.Imax, 400);
  const TCartesianLayout lay = ComputeCartesianLayout(lum, 30, kBox);
  EXPECT_DOUBLE_EQ(lay.scale.fullScale, 500);  // NiceScale(420): the curve stays below the top line
  EXPECT_EQ(lay.divisionHeight, 640);
  test::TempDir dir;
  test::writeFile(dir.file("ORVMSG.GER"), "[OUTTXT]\nAW=Ausstrahlungswinkel\n");
  const auto dev = DrawCartesian(lum, {0, 90}, 30, dir.file("ORVMSG.GER"));
  int polygons = 0;
  for (const TDrawOp& op : dev->ops) {
    if (op.kind != TDrawOp::Polygon) continue;
    ++polygons;
    ASSERT_EQ(op.points.size(), 2u * 301 + 2);
    EXPECT_EQ(op.points.front(), (TPoint{400, 3600 - 2560}));  // 400 of 500 on 3200 units
    EXPECT_EQ(op.points[301].x, 2100);                         // the axis centre
    EXPECT_EQ(op.points[op.points.size() - 2], (TPoint{3800, 3600}));
    EXPECT_EQ(op.points.back(), (TPoint{400, 3600}));
  }
  EXPECT_EQ(polygons, 2);
  for (const char* v : {"0", "100", "200", "300", "400", "500"}) {
    const TDrawOp* t = dev->FindText(v);
    ASSERT_TRUE(t) << v;
    EXPECT_EQ(t->textAlign, gdi::TA_RIGHT | gdi::TA_BASELINE);
    EXPECT_EQ(t->points[0].x, 400 - 60);
  }
  const TDrawOp* aw = dev->FindText("Ausstrahlungswinkel");
  ASSERT_TRUE(aw);
  EXPECT_EQ(aw->points[0], (TPoint{2100, 3920}));
  const TDrawOp* c90 = dev->FindText("C90");
  ASSERT_TRUE(c90);
  EXPECT_EQ(c90->points[0], (TPoint{400 + 850 + 400, 360}));
  // Grid lines: grey dots, black centre line.
  int grey = 0;
  for (const TDrawOp& op : dev->ops)
    if (op.kind == TDrawOp::Line && op.pen.style == gdi::PS_DOT && op.pen.color == 0x808080) ++grey;
  EXPECT_EQ(grey, 5 + 2 * 3);  // 30° range: ticks every 10°
}

TEST(CartesianDiagramTest, BBetaLuminairesGetThePolarDiagram) {
  TLUM32 lum;
  ASSERT_TRUE(lum.CreateNew("bb.l32", psBBeta, symNone, 0, 3, -90, 90, 90, {}, 37, -90, 5, 90, {}));
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 37; ++j) lum.SetValue(i, j, 500);
  lum.CalcFlux();
  lum.FindMaxIntensity();
  const auto dev = DrawCartesian(lum, {0}, 40);
  EXPECT_TRUE(dev->FindText("B0.0"));
  for (const TDrawOp& op : dev->ops) EXPECT_FALSE(op.utf8);  // no η
}

TEST(CartesianDiagramTest, DegenerateInputDrawsSafely) {
  const TLUM32 dark = test::MakeLuminaire([](double, double) { return 0.0; });
  DrawCartesian(dark, {0}, 0);
  TLUM32 empty;
  DrawCartesian(empty, {0}, 0);
  DrawCartesian(test::Downlight(), {0}, 1e9);
  for (double v : {1e30, -1e30, std::nan("")}) {
    TLUM32 lum = test::MakeLuminaire([v](double g, double) { return g == 45 ? v : 1.0; });
    DrawCartesian(lum, {0, 90}, 0);
    lum.Imax = 1e-30f;
    DrawCartesian(lum, {0, 90}, 0);
  }
}

}  // namespace
}  // namespace kandelo
