#include "app/browser_polar.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "frame/strutil.h"
#include "graphics/device.h"
#include "photometry/lum32.h"

namespace kandelo {

double RoundScale(double v) {
  if (!(v > 0) || !std::isfinite(v)) return 1;
  const double p = std::pow(10.0, std::floor(std::log10(v)));
  for (double m : {1.0, 2.0, 2.5, 5.0, 10.0})
    if (m * p >= v * (1 - 1e-9)) return m * p;
  return 10 * p;
}

namespace {

constexpr double kPi = 3.14159265358979323846;

void Curve(TDevice& dc, const TLUM32& lum, double c, int cx, int cy, double unit, int side) {
  std::vector<TPoint> pts;
  for (int g10 = 0; g10 <= 1800; g10 += 25) {
    const double g = g10 / 10.0;
    const double i = std::max(0.0f, lum.Intensity(g, c));
    const double r = i * unit;
    const double a = g * kPi / 180;
    pts.push_back({static_cast<std::int32_t>(std::lround(cx + side * r * std::sin(a))),
                   static_cast<std::int32_t>(std::lround(cy + r * std::cos(a)))});
  }
  dc.Polyline(pts.data(), static_cast<int>(pts.size()));
}

}  // namespace

void DrawBrowserPolar(TDevice& dc, const TRect& rect, const TLUM32& lum, const std::string&) {
  const int size = std::min(rect.Width(), rect.Height());
  if (size <= 0) return;
  const int cx = rect.left + rect.Width() / 2;
  const int cy = rect.top + rect.Height() / 2;
  const int radius = size * 42 / 100;
  const double scale = RoundScale(lum.Imax > 0 ? lum.Imax : 1);
  const double unit = radius / scale;

  HGdiObj grid = dc.CreatePen({gdi::PS_SOLID, 0, RGBColor(190, 190, 190)});
  HGdiObj oldPen = dc.SelectObject(grid);
  HGdiObj oldBrush = dc.SelectObject(dc.GetStockObject(gdi::NULL_BRUSH));
  for (int k = 1; k <= 4; ++k) {
    const int r = radius * k / 4;
    dc.Ellipse(cx - r, cy - r, cx + r, cy + r);
  }
  for (int deg = 0; deg < 180; deg += 30) {
    const double a = deg * kPi / 180;
    const int dx = static_cast<int>(std::lround(radius * std::sin(a)));
    const int dy = static_cast<int>(std::lround(radius * std::cos(a)));
    dc.MoveTo(cx - dx, cy - dy);
    dc.LineTo(cx + dx, cy + dy);
  }

  HGdiObj c0 = dc.CreatePen({gdi::PS_SOLID, size / 250, RGBColor(200, 30, 30)});
  dc.SelectObject(c0);
  Curve(dc, lum, 0, cx, cy, unit, 1);
  Curve(dc, lum, 180, cx, cy, unit, -1);
  HGdiObj c90 = dc.CreatePen({gdi::PS_DASH, 0, RGBColor(30, 60, 200)});
  dc.SelectObject(c90);
  Curve(dc, lum, 90, cx, cy, unit, 1);
  Curve(dc, lum, 270, cx, cy, unit, -1);

  LogFont lf;
  lf.height = -std::max(1, size / 28);
  lf.faceName = "Arial";
  HGdiObj font = dc.CreateFont(lf);
  HGdiObj oldFont = dc.SelectObject(font);
  dc.SetBkMode(gdi::TRANSPARENT);
  dc.SetTextColor(RGBColor(60, 60, 60));
  dc.SetTextAlign(gdi::TA_LEFT | gdi::TA_TOP);
  dc.TextOut(rect.left, rect.top, "cd/klm");
  dc.SetTextAlign(gdi::TA_RIGHT | gdi::TA_TOP);
  dc.TextOut(rect.right, rect.top, FormatFixed(scale, scale < 10 ? 1 : 0));
  dc.SetTextAlign(gdi::TA_LEFT | gdi::TA_BOTTOM);
  dc.SetTextColor(RGBColor(200, 30, 30));
  dc.TextOut(rect.left, rect.bottom, "C0 - C180");
  dc.SetTextAlign(gdi::TA_RIGHT | gdi::TA_BOTTOM);
  dc.SetTextColor(RGBColor(30, 60, 200));
  dc.TextOut(rect.right, rect.bottom, "C90 - C270");

  dc.SelectObject(oldFont);
  dc.SelectObject(oldBrush);
  dc.SelectObject(oldPen);
  for (HGdiObj o : {grid, c0, c90, font}) dc.DeleteObject(o);
}

}  // namespace kandelo
