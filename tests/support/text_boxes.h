// The boxes the texts of a recorded drawing cover, for checks that no text
// runs into another or across a frame line.
#pragma once

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "graphics/recording_device.h"
#include "graphics/text_metrics.h"

namespace kandelo::test {

struct TTextBox {
  std::string text;
  double left, top, right, bottom;  // logical units, y downward
};

// The box of a recorded text from its reference point, alignment and the
// built-in metrics of its font (the metrics the drawings measure with in the
// tests). Texts turned by 90° stand on their reference point.
inline TTextBox TextBoxOf(const TDrawOp& op) {
  TSize extent{0, 0};
  LogFont font = op.font;
  font.escapement = 0;
  TBuiltinTextMeasurer().Measure(font, op.text, extent);
  const double w = extent.cx, h = extent.cy;
  const double ascent = 0.8 * h;
  const int horizontal = op.textAlign & (gdi::TA_CENTER | gdi::TA_RIGHT | gdi::TA_LEFT);
  const int vertical = op.textAlign & (gdi::TA_BASELINE | gdi::TA_BOTTOM | gdi::TA_TOP);
  double along0 = 0;  // start of the text along its direction, from the reference point
  if (horizontal == gdi::TA_CENTER)
    along0 = -w / 2;
  else if (horizontal == gdi::TA_RIGHT)
    along0 = -w;
  double across0 = 0;  // top of the cell below the reference point
  if (vertical == gdi::TA_BOTTOM)
    across0 = -h;
  else if (vertical == gdi::TA_BASELINE)
    across0 = -ascent;
  const double x = op.points[0].x, y = op.points[0].y;
  if (std::abs(op.font.escapement) == 900) {
    // Read from bottom to top: the text runs up the page, its top to the left.
    return {op.text, x + across0, y - along0 - w, x + across0 + h, y - along0};
  }
  return {op.text, x + along0, y + across0, x + along0 + w, y + across0 + h};
}

inline std::vector<TTextBox> TextBoxes(const TRecordingDevice& dev) {
  std::vector<TTextBox> boxes;
  for (const TDrawOp& op : dev.ops)
    if (op.kind == TDrawOp::Text && !op.utf8 && !op.text.empty() &&
        op.text.find_first_not_of(' ') != std::string::npos)
      boxes.push_back(TextBoxOf(op));
  return boxes;
}

// Overlap of two boxes after taking `slack` off each side (cells hold some
// space above and below the letters).
inline bool BoxesOverlap(const TTextBox& a, const TTextBox& b, double slack) {
  return std::min(a.right, b.right) - std::max(a.left, b.left) > 2 * slack &&
         std::min(a.bottom, b.bottom) - std::max(a.top, b.top) > 2 * slack;
}

// "text A" / "text B" for every pair of texts that run into each other.
inline std::vector<std::string> OverlappingTexts(const std::vector<TTextBox>& boxes) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < boxes.size(); ++i)
    for (std::size_t j = i + 1; j < boxes.size(); ++j) {
      const double slack = 0.1 * std::min(boxes[i].bottom - boxes[i].top, boxes[j].bottom - boxes[j].top);
      if (BoxesOverlap(boxes[i], boxes[j], slack)) out.push_back("\"" + boxes[i].text + "\" / \"" + boxes[j].text + "\"");
    }
  return out;
}

// Texts that lie partly inside and partly outside the rectangle (a frame line
// runs through them).
inline std::vector<std::string> TextsAcross(const std::vector<TTextBox>& boxes, const TRect& frame) {
  std::vector<std::string> out;
  for (const TTextBox& b : boxes) {
    const double slack = 0.1 * (b.bottom - b.top);
    const bool inside = b.left >= frame.left - slack && b.right <= frame.right + slack &&
                        b.top >= frame.top - slack && b.bottom <= frame.bottom + slack;
    const bool outside = b.right <= frame.left + slack || b.left >= frame.right - slack ||
                         b.bottom <= frame.top + slack || b.top >= frame.bottom - slack;
    if (!inside && !outside) out.push_back(b.text);
  }
  return out;
}

// The frames of a drawing: rectangles outlined with no fill.
inline std::vector<TRect> Frames(const TRecordingDevice& dev) {
  std::vector<TRect> out;
  for (const TDrawOp& op : dev.ops)
    if (op.kind == TDrawOp::Rectangle && op.brush.style == gdi::BS_NULL && op.pen.style != gdi::PS_NULL)
      out.push_back({std::min(op.points[0].x, op.points[1].x), std::min(op.points[0].y, op.points[1].y),
                     std::max(op.points[0].x, op.points[1].x), std::max(op.points[0].y, op.points[1].y)});
  return out;
}

}  // namespace kandelo::test
