// What the table-like evaluation drawings share (utilization factors, UGR,
// glare, floor curves, luminaire count): a box of fixed aspect centred in the
// caller's rectangle, drawn in coordinates relative to the box's top left
// corner, with the standalone mapping and the heading fit.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "evaluation/diagram_common.h"
#include "graphics/simpledc.h"

namespace kandelo {

// The box of `aspect` (width : height) in `rect`: the full width and
// round(width / aspect) high, centred vertically, when the rectangle is
// narrower than the aspect; else the full height and round(aspect × height)
// wide, centred horizontally. `inset` is taken off both sides of a narrow
// rectangle first.
TRect AspectBox(const TRect& rect, double aspect, int inset = 0);

// Drawing calls in box coordinates on a drawing context.
class TBoxDC {
 public:
  TBoxDC(TSimpleDC& dc, const TRect& box) : dc_(dc), box_(box) {}
  TSimpleDC& dc() { return dc_; }
  int W() const { return box_.Width(); }
  int H() const { return box_.Height(); }

  void Line(int x1, int y1, int x2, int y2);
  void Rectangle(int x1, int y1, int x2, int y2);
  void Polyline(const std::vector<TPoint>& points);
  void DashedPolyline(const std::vector<TPoint>& points, int dash, int gap);
  // Sets the alignment and draws; `utf8` for texts with Greek letters.
  void Text(int x, int y, std::string_view text, int horizontal, int vertical);
  void TextUtf8(int x, int y, std::string_view text, int horizontal, int vertical);
  void ArrowH(int length, int x, int y, bool left = false);
  void ArrowV(int length, int x, int y, bool up = true);

  // Font helpers: the diagram font at `factor` × base size.
  void Font(int factor, bool bold = false);
  // Font(factor), made smaller (down to 5 × base) until every text fits `width`.
  void FitFont(int factor, const std::vector<std::string>& texts, int width, bool bold = false);
  int TextWidth(std::string_view text) { return dc_.TextWidth(text); }

 private:
  TPoint At(int x, int y) const { return {box_.left + x, box_.top + y}; }
  TSimpleDC& dc_;
  TRect box_;
};

// The common start of a box drawing: base size 35, in standalone mode the
// anisotropic mapping of the box onto the caller's viewport, then the heading
// fit with `fitWidth` and `fitText` (datasheet mode: only the diagram font).
void BeginBoxDrawing(TSimpleDC& dc, const TRect& box, int fitWidth, std::string_view fitText,
                     bool fontOnly = false);

// Value text in fixed notation without blanks (0 for what is not a number).
std::string Fixed(double v, int decimals, char decimalSep = '.');

}  // namespace kandelo
