// A device that keeps every drawing call with the tools it was drawn with, so
// that tests can check geometry, colours and texts of a drawing exactly.
#pragma once

#include <string>
#include <vector>

#include "graphics/device.h"

namespace kandelo {

struct TDrawOp {
  enum Kind { Line, Polyline, Polygon, Rectangle, Ellipse, Pie, Text };
  Kind kind;
  std::vector<TPoint> points;  // Line: from, to; Rectangle/Ellipse: corners; Pie: 4 points
  std::string text;            // Text: 1252, or UTF-8 when `utf8`
  bool utf8 = false;
  LogPen pen;
  LogBrush brush;
  LogFont font;
  int textAlign = 0;
  TColor textColor = 0;
};

class TRecordingDevice : public TDevice {
 public:
  // `canMeasure`: answer text extents with the built-in metrics (a window or
  // printer); false behaves like a metafile.
  explicit TRecordingDevice(bool canMeasure = true) : canMeasure_(canMeasure) {}

  bool Polyline(const TPoint* points, int n) override;
  bool Polygon(const TPoint* points, int n) override;
  bool Rectangle(int left, int top, int right, int bottom) override;
  bool Ellipse(int left, int top, int right, int bottom) override;
  bool Pie(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2) override;
  bool TextOut(int x, int y, std::string_view text) override;
  bool TextOutUtf8(int x, int y, std::string_view text) override;
  bool GetTextExtent(std::string_view text, TSize& extent) const override;

  std::vector<TDrawOp> ops;
  // Texts drawn, in order.
  std::vector<std::string> Texts() const;
  const TDrawOp* FindText(std::string_view text) const;

 protected:
  bool DrawLine(TPoint from, TPoint to) override;

 private:
  TDrawOp& Add(TDrawOp::Kind kind);
  bool canMeasure_;
};

}  // namespace kandelo
