#include "evaluation/diagram_common.h"

#include <gtest/gtest.h>

#include "graphics/recording_device.h"

namespace kandelo {
namespace {

TEST(DiagramHelpersTest, NiceScale) {
  struct Case {
    double x, full;
    int divisions;
  };
  const Case cases[] = {{437, 500, 5},  {1230, 1250, 5}, {0, 1, 5},      {-3, 1, 5},      {100, 100, 5},
                        {1001, 1200, 6}, {9.5, 10, 5},   {0.037, 0.04, 4}, {5089, 6000, 6}, {99.99, 100, 5}};
  for (const Case& c : cases) {
    const TNiceScale s = NiceScale(c.x);
    EXPECT_NEAR(s.fullScale, c.full, c.full * 1e-9) << c.x;
    EXPECT_EQ(s.divisions, c.divisions) << c.x;
  }
  // A basis that is itself nice gets headroom.
  EXPECT_DOUBLE_EQ(NiceScaleWithHeadroom(400).fullScale, 500);
  EXPECT_DOUBLE_EQ(NiceScaleWithHeadroom(1000).fullScale, 1200);
  EXPECT_DOUBLE_EQ(NiceScaleWithHeadroom(437).fullScale, 500);
}

TEST(DiagramHelpersTest, AxesNumbersAndTables) {
  EXPECT_EQ(LogAxisX(100, 1100, 1, 1000, 10), 433);
  EXPECT_EQ(LogAxisX(100, 1100, 1, 1000, 0.5), 100);  // below the range: clamped
  EXPECT_EQ(LogAxisY(100, 1100, 1, 1000, 10), 767);
  EXPECT_EQ(LogAxisY(100, 1100, 1, 1000, 0.5), 1100 + 100);  // not clamped
  EXPECT_EQ(LogAxisX(0, 100, 5, 5, 7), 0);                   // empty range
  EXPECT_EQ(MmToTwips(25), 1417);
  EXPECT_EQ(ScaleText(600), "600");
  EXPECT_EQ(ScaleText(1.5), "1.5");
  EXPECT_EQ(ScaleText(0.25), "0.25");
  EXPECT_EQ(ScaleText(0), "0");
  EXPECT_EQ(PlaneDash(0).dash, 255);
  EXPECT_EQ(PlaneDash(4).dash, 255);
  EXPECT_EQ(PlaneDash(3).gap, 2);
  EXPECT_EQ(PlanesOrDefault(nullptr), (std::vector<float>{0, 90}));
  const std::vector<float> none;
  EXPECT_EQ(PlanesOrDefault(&none), (std::vector<float>{0, 90}));
  EXPECT_EQ(DiagramSquare({0, 0, 6500, 5851}), (TRect{324, 0, 6175, 5851}));
}

TEST(DiagramHelpersTest, FitHeadingFontStandalone) {
  TRecordingDevice dev;
  TSimpleDC dc(dev, true);
  TStandaloneScope standalone;
  FitHeadingFont(dc, 2000, kLvkHeading);
  EXPECT_EQ(DiagramState().baseFontSize, 18);
  EXPECT_EQ(DiagramState().lineWidth, 14);
  EXPECT_EQ(dc.Font().GetHeight(), 180);
  EXPECT_EQ(dc.Font().GetName(), "Arial");
  EXPECT_EQ(dc.Brush().GetStyle(), gdi::BS_NULL);
}

TEST(DiagramHelpersTest, FitHeadingFontFillsNinetyFivePercent) {
  for (int width : {3000, 12000, 200}) {
    SCOPED_TRACE(width);
    TRecordingDevice dev;
    dev.SetMapMode(gdi::MM_ISOTROPIC);  // twips on a 96 dpi screen
    dev.SetWindowExt(1440, 1440);
    dev.SetViewportExt(96, 96);
    TSimpleDC dc(dev, false);
    FitHeadingFont(dc, width, kLvkHeading);
    const int base = DiagramState().baseFontSize;
    EXPECT_EQ(DiagramState().lineWidth, 30);
    EXPECT_EQ(dc.Font().GetStyle() & fsBold, 0);
    EXPECT_EQ(dc.Font().GetHeight(), base * 10);
    auto ratio = [&](int b) {
      dc.Font().SetStyle(fsBold);
      dc.Font().SetHeight(b * 10);
      return double(dc.TextWidth(kLvkHeading)) / width;
    };
    if (base > 35) {  // grown: the first size reaching 95 %
      EXPECT_GE(ratio(base), 0.95);
      EXPECT_LT(ratio(base - 1), 0.95);
    } else {  // shrunk: the first size at or below 95 %
      EXPECT_LE(ratio(base), 0.95);
      EXPECT_GT(ratio(base + 1), 0.95);
    }
  }
  // Nothing fits: the size stops at 1.
  TRecordingDevice dev;
  TSimpleDC dc(dev, false);
  FitHeadingFont(dc, 1, kLvkHeading);
  EXPECT_EQ(DiagramState().baseFontSize, 1);
}

TEST(DiagramHelpersTest, Arrows) {
  TRecordingDevice dev;
  TSimpleDC dc(dev, false);
  dc.Pen().SetWidth(3);
  DrawArrowH(dc, 100, {100, 100}, false);
  DrawArrowV(dc, 100, {100, 100}, true);
  ASSERT_EQ(dev.ops.size(), 4u);
  EXPECT_EQ(dev.ops[0].points, (std::vector<TPoint>{{100, 100}, {200, 100}}));
  EXPECT_EQ(dev.ops[1].points, (std::vector<TPoint>{{157, 107}, {200, 100}, {157, 93}}));
  EXPECT_EQ(dev.ops[2].points, (std::vector<TPoint>{{100, 100}, {100, 0}}));
  EXPECT_EQ(dev.ops[3].points, (std::vector<TPoint>{{93, 43}, {100, 0}, {107, 43}}));
  EXPECT_EQ(dc.Pen().GetWidth(), 3);
}

}  // namespace
}  // namespace kandelo
