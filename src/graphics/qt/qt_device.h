// The drawing device on a QPainter: widgets, images, PDF, SVG and printer
// pages all draw through it. Coordinates go through the device's mapping in
// floating point, so scaled drawings keep their precision.
#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <string>

#include "graphics/device.h"
#include "graphics/text_metrics.h"

namespace kandelo {

QColor ToQColor(TColor c);
// The Qt font for a platform font description at `emPixels` pixels.
QFont ToQFont(const LogFont& f, double emPixels);
// Text is laid out in a font of this pixel size and scaled to its real size,
// which keeps fractional sizes and behaves the same on every paint engine.
constexpr int kReferenceEm = 256;

class TQtPainterDevice : public TDevice {
 public:
  // `painter` must be active on its device for the lifetime of this object.
  explicit TQtPainterDevice(QPainter& painter);

  bool Polyline(const TPoint* points, int n) override;
  bool Polygon(const TPoint* points, int n) override;
  bool Rectangle(int left, int top, int right, int bottom) override;
  bool Ellipse(int left, int top, int right, int bottom) override;
  bool Pie(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2) override;
  bool TextOut(int x, int y, std::string_view text) override;
  bool TextOutUtf8(int x, int y, std::string_view text) override;
  bool GetTextExtent(std::string_view text, TSize& extent) const override;
  int GetDeviceCaps(int index) const override;

  QPainter& Painter() { return painter_; }
  // See TPageJob::DrawImageFile: `box` in logical units.
  bool DrawImageFile(const TRect& box, const std::string& pathUtf8);

 protected:
  bool DrawLine(TPoint from, TPoint to) override;

 private:
  QPointF Map(TPoint p) const;
  QRectF MapRect(int left, int top, int right, int bottom) const;
  QPen MakePen() const;
  QBrush MakeBrush() const;
  QFont MakeFont() const;  // at kReferenceEm pixels
  double FontScale() const;  // device em / kReferenceEm
  void DrawText(int x, int y, const QString& text);

  QPainter& painter_;
};

// Text extents from the toolkit's real font metrics (needs a QGuiApplication).
class TQtTextMeasurer : public TTextMeasurer {
 public:
  bool Measure(const LogFont& font, std::string_view text, TSize& extent) const override;
};

}  // namespace kandelo
