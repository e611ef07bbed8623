#include "evaluation/table_frame.h"

#include <algorithm>
#include <cmath>

#include "frame/strutil.h"

namespace kandelo {

TRect AspectBox(const TRect& rect, double aspect, int inset) {
  const int width = rect.Width(), height = rect.Height();
  if (width <= 0 || height <= 0) return {rect.left, rect.top, rect.left, rect.top};
  if (static_cast<double>(width) / height < aspect) {
    const int w = std::max(0, width - 2 * inset);
    const int h = RoundEven(w / aspect);
    const int top = rect.top + (height - h) / 2;
    return {rect.left + inset, top, rect.left + inset + w, top + h};
  }
  const int w = RoundEven(aspect * height);
  const int left = rect.left + (width - w) / 2;
  return {left, rect.top, left + w, rect.bottom};
}

void TBoxDC::Line(int x1, int y1, int x2, int y2) {
  const TPoint a = At(x1, y1), b = At(x2, y2);
  dc_.Line(a.x, a.y, b.x, b.y);
}

void TBoxDC::Rectangle(int x1, int y1, int x2, int y2) {
  const TPoint a = At(x1, y1), b = At(x2, y2);
  dc_.Rectangle(a.x, a.y, b.x, b.y);
}

void TBoxDC::Polyline(const std::vector<TPoint>& points) {
  std::vector<TPoint> moved(points);
  for (TPoint& p : moved) p = At(p.x, p.y);
  if (!moved.empty()) dc_.Polyline(moved.data(), static_cast<int>(moved.size()));
}

void TBoxDC::DashedPolyline(const std::vector<TPoint>& points, int dash, int gap) {
  if (gap <= 0) return Polyline(points);
  // The pattern changes only at vertices: long segments are cut into steps
  // of the shorter run.
  const double step = std::max(1, std::min(dash, gap));
  std::vector<TPoint> moved;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const TPoint p = At(points[i].x, points[i].y);
    if (i > 0) {
      const TPoint q = moved.back();
      const double len = std::hypot(double(p.x) - q.x, double(p.y) - q.y);
      const int pieces = static_cast<int>(std::min(100000.0, std::ceil(len / step)));
      for (int k = 1; k < pieces; ++k)
        moved.push_back({q.x + RoundEven((p.x - q.x) * double(k) / pieces), q.y + RoundEven((p.y - q.y) * double(k) / pieces)});
    }
    moved.push_back(p);
  }
  if (!moved.empty()) dc_.DashedPolyline(moved.data(), static_cast<int>(moved.size()), dash, gap);
}

void TBoxDC::Text(int x, int y, std::string_view text, int horizontal, int vertical) {
  dc_.SetTextAlign(horizontal, vertical);
  const TPoint p = At(x, y);
  dc_.TextOut(p.x, p.y, text);
}

void TBoxDC::TextUtf8(int x, int y, std::string_view text, int horizontal, int vertical) {
  dc_.SetTextAlign(horizontal, vertical);
  const TPoint p = At(x, y);
  dc_.TextOutUtf8(p.x, p.y, text);
}

void TBoxDC::ArrowH(int length, int x, int y, bool left) { DrawArrowH(dc_, length, At(x, y), left); }

void TBoxDC::ArrowV(int length, int x, int y, bool up) { DrawArrowV(dc_, length, At(x, y), up); }

void TBoxDC::Font(int factor, bool bold) {
  dc_.Font().SetName(DiagramState().fontName);
  dc_.Font().SetHeight(factor * DiagramState().baseFontSize);
  dc_.Font().SetStyle(bold ? fsBold : 0);
}

void TBoxDC::FitFont(int factor, const std::vector<std::string>& texts, int width, bool bold) {
  for (int f = factor; f >= 5; --f) {
    Font(f, bold);
    bool fits = true;
    for (const std::string& t : texts) fits = fits && TextWidth(t) <= width;
    if (fits) return;
  }
}

void BeginBoxDrawing(TSimpleDC& dc, const TRect& box, int fitWidth, std::string_view fitText, bool fontOnly) {
  TDiagramState& st = DiagramState();
  st.baseFontSize = 35;
  if (st.standalone) {
    dc.SetMapMode(gdi::MM_ANISOTROPIC);
    dc.SetWindowExt(std::max(1, box.Width()), std::max(1, box.Height()));
    dc.SetWindowOrg(box.left, box.top);
  }
  if (fontOnly) {
    dc.SetBkMode(gdi::TRANSPARENT);
    dc.Brush().SetStyle(gdi::BS_NULL);
    dc.Pen().SetStyle(gdi::PS_SOLID);
    dc.Pen().SetColor(0);
    dc.Pen().SetWidth(0);
    dc.Font().SetName(st.fontName);
    dc.Font().SetHeight(st.baseFontSize * 10);
    return;
  }
  FitHeadingFont(dc, fitWidth, fitText);
}

std::string Fixed(double v, int decimals, char decimalSep) {
  if (!std::isfinite(v)) v = 0;
  return TrimBlanks(FormatFixed(v, decimals, decimalSep));
}

}  // namespace kandelo
