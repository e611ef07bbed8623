#include "graphics/simpledc.h"

#include <gtest/gtest.h>

#include <functional>

#include "graphics/recording_device.h"

namespace kandelo {
namespace {

struct ToolCase {
  const char* name;
  std::function<void(TSimpleDC&)> change;
};

// Every setter realizes a new platform object for a new value and none for an
// equal one.
TEST(TSimpleDCTest, EqualValuesCreateNoNewObject) {
  const std::vector<ToolCase> cases = {
      {"pen width", [](TSimpleDC& dc) { dc.Pen().SetWidth(7); }},
      {"pen style", [](TSimpleDC& dc) { dc.Pen().SetStyle(gdi::PS_DOT); }},
      {"pen colour", [](TSimpleDC& dc) { dc.Pen().SetColor(RGBColor(1, 2, 3)); }},
      {"brush style", [](TSimpleDC& dc) { dc.Brush().SetStyle(gdi::BS_SOLID); }},
      {"brush colour", [](TSimpleDC& dc) { dc.Brush().SetColor(RGBColor(9, 9, 9)); }},
      {"font height", [](TSimpleDC& dc) { dc.Font().SetHeight(120); }},
      {"face name", [](TSimpleDC& dc) { dc.Font().SetName("Arial"); }},
      {"font style", [](TSimpleDC& dc) { dc.Font().SetStyle(fsBold | fsItalic); }},
      {"escapement", [](TSimpleDC& dc) { dc.Font().SetEscapement(900); }},
  };
  for (const ToolCase& c : cases) {
    SCOPED_TRACE(c.name);
    TRecordingDevice dev;
    TSimpleDC dc(dev, false);
    const int before = dev.CreatedObjectCount();
    c.change(dc);
    EXPECT_EQ(dev.CreatedObjectCount(), before + 1);
    c.change(dc);
    EXPECT_EQ(dev.CreatedObjectCount(), before + 1);
    EXPECT_EQ(dev.LiveObjectCount(), 1);  // the displaced object was deleted
  }
  TRecordingDevice dev;
  TSimpleDC dc(dev, false);
  dc.Brush().SetBrush(gdi::BS_SOLID, 0, 0);  // SetBrush realizes without comparing
  dc.Brush().SetBrush(gdi::BS_SOLID, 0, 0);
  EXPECT_EQ(dev.CreatedObjectCount(), 2);
  dc.Pen().SetWidth(1);  // defaults are stored values too
  dc.Font().SetName("SYSTEM");
  dc.Font().SetHeight(-13);
  EXPECT_EQ(dev.CreatedObjectCount(), 2);
}

TEST(TSimpleDCTest, RealizedToolsReachTheDevice) {
  TRecordingDevice dev;
  TSimpleDC dc(dev, false);
  dc.Pen().SetWidth(14);
  dc.Pen().SetColor(RGBColor(255, 0, 0));
  dc.Brush().SetBrush(gdi::BS_HATCHED, gdi::HS_CROSS, RGBColor(0, 0, 255));
  dc.Font().SetName("Arial");
  dc.Font().SetHeight(126);
  dc.Font().SetStyle(fsSemiBold | fsUnderline);
  dc.Rectangle(0, 0, 10, 10);
  ASSERT_EQ(dev.ops.size(), 1u);
  const TDrawOp& op = dev.ops[0];
  EXPECT_EQ(op.pen, (LogPen{gdi::PS_SOLID, 14, RGBColor(255, 0, 0)}));
  EXPECT_EQ(op.brush, (LogBrush{gdi::BS_HATCHED, RGBColor(0, 0, 255), gdi::HS_CROSS}));
  EXPECT_EQ(op.font.faceName, "Arial");
  EXPECT_EQ(op.font.height, 126);
  EXPECT_EQ(op.font.weight, gdi::FW_SEMIBOLD);
  EXPECT_TRUE(op.font.underline);
  EXPECT_EQ(op.font.clipPrecision, gdi::CLIP_STROKE_PRECIS);
  dc.Font().SetStyle(fsBold | fsSemiBold);  // bold wins
  EXPECT_EQ(dev.CurrentFont().weight, gdi::FW_BOLD);
  // A hatch is passed only with the hatched style.
  dc.Brush().SetBrush(gdi::BS_SOLID, gdi::HS_CROSS, 0);
  EXPECT_EQ(dev.CurrentBrush().hatch, 0u);
  // An invalid pen leaves the previous one selected.
  const HGdiObj pen = dev.SelectedPen();
  dc.Pen().SetStyle(99);
  EXPECT_EQ(dev.SelectedPen(), pen);
}

TEST(TSimpleDCTest, DestructionRestoresModesAndStockTools) {
  TRecordingDevice dev;
  dev.SetBkMode(gdi::OPAQUE);
  dev.SetBkColor(RGBColor(10, 20, 30));
  dev.SetTextColor(RGBColor(40, 50, 60));
  dev.SetPolyFillMode(gdi::WINDING);
  dev.SetROP2(gdi::R2_XORPEN);
  {
    TSimpleDC dc(dev, true);
    EXPECT_EQ(dev.GetBkMode(), gdi::TRANSPARENT);
    EXPECT_EQ(dc.GetBkColor(), RGBColor(10, 20, 30));
    dc.SetBkMode(gdi::OPAQUE);
    dc.SetBkMode(77);  // refused by the device: not recorded
    EXPECT_EQ(dc.GetBkMode(), gdi::OPAQUE);
    dc.SetBkColor(RGBColor(1, 1, 1));
    EXPECT_EQ(dc.GetBkColor(), RGBColor(1, 1, 1));
    dev.SetTextColor(0);
    dev.SetPolyFillMode(gdi::ALTERNATE);
    dev.SetROP2(gdi::R2_COPYPEN);
    dc.Pen().SetWidth(5);
    dc.Brush().SetStyle(gdi::BS_SOLID);
    dc.Font().SetHeight(200);
    EXPECT_EQ(dev.LiveObjectCount(), 3);
  }
  EXPECT_EQ(dev.GetBkMode(), gdi::OPAQUE);
  EXPECT_EQ(dev.GetBkColor(), RGBColor(10, 20, 30));
  EXPECT_EQ(dev.GetTextColor(), RGBColor(40, 50, 60));
  EXPECT_EQ(dev.GetPolyFillMode(), gdi::WINDING);
  EXPECT_EQ(dev.GetROP2(), gdi::R2_XORPEN);
  EXPECT_EQ(dev.SelectedPen(), dev.GetStockObject(gdi::BLACK_PEN));
  EXPECT_EQ(dev.SelectedBrush(), dev.GetStockObject(gdi::NULL_BRUSH));
  EXPECT_EQ(dev.SelectedFont(), dev.GetStockObject(gdi::SYSTEM_FONT));
  EXPECT_EQ(dev.LiveObjectCount(), 0);
}

TEST(TSimpleDCTest, StockBrushes) {
  TRecordingDevice dev;
  {
    TSimpleDC dc(dev, false);
    dc.Brush().SetColor(RGBColor(1, 2, 3));
    dc.Brush().SelectStock(6);  // not a stock brush index: nothing happens
    EXPECT_EQ(dev.CurrentBrush().color, RGBColor(1, 2, 3));
    EXPECT_EQ(dev.LiveObjectCount(), 1);
    dc.Brush().SelectStock(gdi::LTGRAY_BRUSH);
    EXPECT_EQ(dev.SelectedBrush(), dev.GetStockObject(gdi::LTGRAY_BRUSH));
    EXPECT_EQ(dev.LiveObjectCount(), 0);
  }
  // The stock brush last chosen stays selected.
  EXPECT_EQ(dev.SelectedBrush(), dev.GetStockObject(gdi::LTGRAY_BRUSH));
}

TEST(TSimpleDCTest, TextOutputAndAlignment) {
  TRecordingDevice dev;
  TSimpleDC dc(dev, false);
  dc.TextOut(5, 5, "");
  dc.TextOutUtf8(5, 5, "");
  EXPECT_TRUE(dev.ops.empty());
  dc.SetTextAlign(gdi::TA_RIGHT, gdi::TA_BASELINE);
  dc.TextOut(10, 20, "C90");
  ASSERT_EQ(dev.ops.size(), 1u);
  EXPECT_EQ(dev.ops[0].textAlign, gdi::TA_RIGHT | gdi::TA_BASELINE);
  EXPECT_EQ(dev.ops[0].points[0], (TPoint{10, 20}));
}

TEST(TSimpleDCTest, MeasuringContextIsIndependentOfTheTarget) {
  TRecordingDevice window(true), metafile(false);
  TSimpleDC onWindow(window, false), onMetafile(metafile, true), blind(metafile, false);
  for (TSimpleDC* dc : {&onWindow, &onMetafile, &blind}) {
    dc->Font().SetName("Arial");
    dc->Font().SetHeight(126);
    dc->Font().SetStyle(fsBold);
    dc->Font().SetEscapement(900);  // measuring ignores the angle
  }
  EXPECT_GT(onWindow.TextWidth("Lichtstärkeverteilung"), 1000);
  EXPECT_EQ(onMetafile.TextWidth("Lichtstärkeverteilung"), onWindow.TextWidth("Lichtstärkeverteilung"));
  EXPECT_EQ(onMetafile.TextHeight("Q"), onWindow.TextHeight("Q"));
  EXPECT_EQ(onMetafile.TextHeight("Q"), 126);  // cell height
  EXPECT_EQ(blind.TextWidth("Q"), 0);
  EXPECT_EQ(blind.TextHeight("Q"), 0);
  // A bold face is wider; the width is the low 16 bits of the extent.
  onMetafile.Font().SetStyle(0);
  EXPECT_LT(onMetafile.TextWidth("Lichtstärkeverteilung"), onWindow.TextWidth("Lichtstärkeverteilung"));
  onMetafile.Font().SetHeight(-2048);
  EXPECT_EQ(onMetafile.TextWidth(std::string(60, 'W')), (60 * 1933) & 0xFFFF);
}

struct ArcCase {
  float a1, a2;
  std::size_t points;
};

TEST(TSimpleDCTest, ArcPolylinePointCounts) {
  const ArcCase cases[] = {{0, 360, 181}, {0, 5, 4}, {10, 10, 1}, {0, 4, 3}, {30, 31, 2}, {90, 30, 1}};
  for (const ArcCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.a1 << ".." << c.a2);
    TRecordingDevice dev;
    TSimpleDC dc(dev, false);
    dc.ArcPolyline(1000, 1000, c.a1, c.a2, 500);
    ASSERT_EQ(dev.ops.size(), 1u);
    ASSERT_EQ(dev.ops[0].points.size(), c.points);
    EXPECT_EQ(dev.ops[0].points.back(), PolarPoint(1000, 1000, c.a2, 500));
  }
  TRecordingDevice dev;
  TSimpleDC dc(dev, false);
  dc.ArcPolyline(0, 0, 0, 5, 1000);
  const std::vector<TPoint> expected = {{1000, 0}, {999, -34}, {997, -69}, {996, -87}};
  EXPECT_EQ(dev.ops[0].points, expected);
}

TEST(TSimpleDCTest, PolarPointTruncatesTowardZero) {
  EXPECT_EQ(PolarPoint(0, 0, 0, 10.9f), (TPoint{10, 0}));
  EXPECT_EQ(PolarPoint(0, 0, 90, 10.9f), (TPoint{0, -10}));
  EXPECT_EQ(PolarPoint(100, 100, 180, 10.9f), (TPoint{90, 100}));
}

// Segment i runs from point i to point i + 1 (points 10 apart on x): true
// when a visible polyline holds it.
std::vector<bool> Visibility(const TRecordingDevice& dev, int segments) {
  std::vector<bool> out(static_cast<std::size_t>(segments), false);
  for (const TDrawOp& op : dev.ops) {
    if (op.kind == TDrawOp::Line) ADD_FAILURE() << "a dash drawn segment by segment";
    if (op.kind != TDrawOp::Polyline || op.pen.style == gdi::PS_NULL) continue;
    for (std::size_t k = 1; k < op.points.size(); ++k) out[static_cast<std::size_t>(op.points[k - 1].x / 10)] = true;
  }
  return out;
}

TEST(TSimpleDCTest, DashedPolylineSwitchesAtVertices) {
  std::vector<TPoint> pts;
  for (int i = 0; i <= 12; ++i) pts.push_back({10 * i, 0});
  TRecordingDevice dev;
  TSimpleDC dc(dev, false);
  dc.Pen().SetStyle(gdi::PS_DOT);
  dc.DashedPolyline(pts.data(), static_cast<int>(pts.size()), 30, 20);
  // The segment reaching the vertex 30 away is already drawn hidden; the
  // hidden run ends at the vertex 20 further, whose segment is visible again.
  const std::vector<bool> expected = {true, true, false, false, true, true, true, false, false, true, true, true};
  EXPECT_EQ(Visibility(dev, 12), expected);
  // One polyline a dash.
  EXPECT_EQ(dev.ops.size(), 3u);
  EXPECT_EQ(dc.Pen().GetStyle(), gdi::PS_DOT);
  EXPECT_EQ(dev.CurrentPen().style, gdi::PS_DOT);
}

TEST(TSimpleDCTest, DashedPolylineSolidRuns) {
  std::vector<TPoint> pts;
  for (int i = 0; i <= 50; ++i) pts.push_back({10 * i, 0});
  {
    // All vertices closer than the dash: one solid run.
    TRecordingDevice dev;
    TSimpleDC dc(dev, false);
    dc.DashedPolyline(pts.data(), static_cast<int>(pts.size()), 1000, 10);
    EXPECT_EQ(Visibility(dev, 50), std::vector<bool>(50, true));
    EXPECT_EQ(dev.ops.size(), 1u);
    EXPECT_EQ(dc.Pen().GetStyle(), gdi::PS_SOLID);
  }
  {
    // The solid pattern (dash, gap 0) never hides a segment.
    TRecordingDevice dev;
    TSimpleDC dc(dev, false);
    dc.DashedPolyline(pts.data(), static_cast<int>(pts.size()), 40, 0);
    EXPECT_EQ(Visibility(dev, 50), std::vector<bool>(50, true));
    EXPECT_EQ(dev.ops.size(), 1u);
  }
}

TEST(TSimpleDCTest, MappingValuesArePackedPreviousOnes) {
  TRecordingDevice dev;
  TSimpleDC dc(dev, false);
  dc.SetMapMode(gdi::MM_ANISOTROPIC);
  dc.SetWindowExt(4000, 3000);
  EXPECT_EQ(dc.SetWindowExt(100, 200), 4000u | (3000u << 16));
  EXPECT_EQ(dc.SetViewportExt(50, 60), 1u | (1u << 16));
  EXPECT_EQ(dc.SetWindowOrg(-5, 7), 0u);
  EXPECT_EQ(dc.SetWindowOrg(0, 0), 0xFFFBu | (7u << 16));
  TPoint p[2] = {{50, 60}, {25, 0}};
  ASSERT_TRUE(dc.DPtoLP(p, 2));
  EXPECT_EQ(p[0], (TPoint{100, 200}));
  EXPECT_EQ(p[1], (TPoint{50, 0}));
}

TEST(TDeviceTest, IsotropicMappingKeepsEqualScales) {
  TRecordingDevice dev;
  dev.SetMapMode(gdi::MM_ISOTROPIC);
  dev.SetWindowExt(1000, 500);
  dev.SetViewportExt(400, 400);
  EXPECT_EQ(dev.GetViewportExt(), (TSize{400, 200}));
  TPoint p{400, 400};
  dev.DPtoLP(&p, 1);
  EXPECT_EQ(p, (TPoint{1000, 1000}));  // the viewport covers more than the drawing height
  // Save and restore bring back mapping and tools.
  const int level = dev.SaveDC();
  dev.SetMapMode(gdi::MM_TEXT);
  dev.SelectObject(dev.GetStockObject(gdi::WHITE_PEN));
  EXPECT_TRUE(dev.RestoreDC(level));
  EXPECT_EQ(dev.GetMapMode(), gdi::MM_ISOTROPIC);
  EXPECT_EQ(dev.GetViewportExt(), (TSize{400, 200}));
  EXPECT_EQ(dev.SelectedPen(), dev.GetStockObject(gdi::BLACK_PEN));
  EXPECT_FALSE(dev.RestoreDC(-1));
  EXPECT_FALSE(dev.SetWindowExt(0, 5));
}

TEST(TDeviceTest, SelectedObjectsCannotBeDeleted) {
  TRecordingDevice dev;
  const HGdiObj pen = dev.CreatePen({gdi::PS_SOLID, 3, 0});
  const HGdiObj old = dev.SelectObject(pen);
  EXPECT_FALSE(dev.DeleteObject(pen));
  dev.SelectObject(old);
  EXPECT_TRUE(dev.DeleteObject(pen));
  EXPECT_FALSE(dev.DeleteObject(pen));
  EXPECT_EQ(dev.SelectObject(pen), 0u);
  EXPECT_TRUE(dev.DeleteObject(dev.GetStockObject(gdi::BLACK_PEN)));  // stock: kept
  EXPECT_NE(dev.GetStockObject(gdi::BLACK_PEN), 0u);
  EXPECT_EQ(dev.GetStockObject(9), 0u);
}

}  // namespace
}  // namespace kandelo
