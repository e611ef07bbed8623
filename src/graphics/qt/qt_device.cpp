#include "graphics/qt/qt_device.h"

#include <QFontMetricsF>
#include <QImage>
#include <QImageReader>
#include <QPaintDevice>
#include <QPainterPath>
#include <QPolygonF>
#include <QString>
#include <cmath>

#include "platform/text.h"

namespace kandelo {
namespace {

QString FromCp1252(std::string_view text) { return QString::fromStdString(platform::cp1252ToUtf8(text)); }

// Cell height per em of the face, from its real metrics.
double CellPerEm(const LogFont& f) {
  QFontMetricsF m(ToQFont(f, kReferenceEm));
  const double cell = m.ascent() + m.descent();
  return cell > 0 ? cell / kReferenceEm : 1.0;
}

// Em height in logical units for the platform's sign convention.
double EmLogical(const LogFont& f) {
  if (f.height == 0) return 13.0;
  if (f.height < 0) return -static_cast<double>(f.height);
  return f.height / CellPerEm(f);
}

}  // namespace

QColor ToQColor(TColor c) { return QColor(ColorR(c), ColorG(c), ColorB(c)); }

QFont ToQFont(const LogFont& f, double emPixels) {
  QString family = QString::fromStdString(platform::cp1252ToUtf8(f.faceName));
  if (family.compare("SYSTEM", Qt::CaseInsensitive) == 0) family = "Sans Serif";
  QFont font(family);
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(emPixels))));
  font.setWeight(static_cast<QFont::Weight>(std::clamp(f.weight == 0 ? 400 : f.weight, 100, 900)));
  font.setItalic(f.italic);
  font.setUnderline(f.underline);
  font.setStrikeOut(f.strikeOut);
  font.setKerning(false);  // advances add up as the layout measured them
  font.setHintingPreference(QFont::PreferNoHinting);
  return font;
}

TQtPainterDevice::TQtPainterDevice(QPainter& painter) : painter_(painter) {}

QPointF TQtPainterDevice::Map(TPoint p) const { return {ToDeviceX(p.x), ToDeviceY(p.y)}; }

QRectF TQtPainterDevice::MapRect(int left, int top, int right, int bottom) const {
  return QRectF(Map({left, top}), Map({right, bottom})).normalized();
}

QPen TQtPainterDevice::MakePen() const {
  const LogPen& p = CurrentPen();
  if (p.style == gdi::PS_NULL) return QPen(Qt::NoPen);
  QPen pen(ToQColor(p.color));
  const double width = std::fabs(p.width * ScaleX());
  pen.setWidthF(p.width == 0 || width < 1.0 ? 0.0 : width);  // 0: thinnest line of the device
  pen.setCapStyle(Qt::RoundCap);
  pen.setJoinStyle(Qt::RoundJoin);
  switch (p.style) {
    case gdi::PS_DASH: pen.setStyle(Qt::DashLine); break;
    case gdi::PS_DOT: pen.setStyle(Qt::DotLine); pen.setCapStyle(Qt::FlatCap); break;
    case gdi::PS_DASHDOT: pen.setStyle(Qt::DashDotLine); break;
    case gdi::PS_DASHDOTDOT: pen.setStyle(Qt::DashDotDotLine); break;
    default: break;
  }
  return pen;
}

QBrush TQtPainterDevice::MakeBrush() const {
  const LogBrush& b = CurrentBrush();
  switch (b.style) {
    case gdi::BS_SOLID: return QBrush(ToQColor(b.color));
    case gdi::BS_HATCHED: {
      static const Qt::BrushStyle hatches[] = {Qt::HorPattern, Qt::VerPattern, Qt::BDiagPattern,
                                               Qt::FDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
      return QBrush(ToQColor(b.color), b.hatch < 6 ? hatches[b.hatch] : Qt::SolidPattern);
    }
    default: return QBrush(Qt::NoBrush);
  }
}

QFont TQtPainterDevice::MakeFont() const { return ToQFont(CurrentFont(), kReferenceEm); }

double TQtPainterDevice::FontScale() const {
  return EmLogical(CurrentFont()) * std::fabs(ScaleY()) / kReferenceEm;
}

bool TQtPainterDevice::DrawLine(TPoint from, TPoint to) {
  painter_.setPen(MakePen());
  painter_.drawLine(Map(from), Map(to));
  return true;
}

bool TQtPainterDevice::Polyline(const TPoint* points, int n) {
  if (!points || n < 1) return false;
  QPolygonF poly;
  poly.reserve(n);
  for (int i = 0; i < n; ++i) poly.append(Map(points[i]));
  painter_.setPen(MakePen());
  painter_.setBrush(Qt::NoBrush);
  painter_.drawPolyline(poly);
  return true;
}

bool TQtPainterDevice::Polygon(const TPoint* points, int n) {
  if (!points || n < 1) return false;
  QPolygonF poly;
  poly.reserve(n);
  for (int i = 0; i < n; ++i) poly.append(Map(points[i]));
  painter_.setPen(MakePen());
  painter_.setBrush(MakeBrush());
  painter_.drawPolygon(poly, GetPolyFillMode() == gdi::WINDING ? Qt::WindingFill : Qt::OddEvenFill);
  return true;
}

bool TQtPainterDevice::Rectangle(int left, int top, int right, int bottom) {
  painter_.setPen(MakePen());
  painter_.setBrush(MakeBrush());
  painter_.drawRect(MapRect(left, top, right, bottom));
  return true;
}

bool TQtPainterDevice::Ellipse(int left, int top, int right, int bottom) {
  painter_.setPen(MakePen());
  painter_.setBrush(MakeBrush());
  painter_.drawEllipse(MapRect(left, top, right, bottom));
  return true;
}

bool TQtPainterDevice::DrawImageFile(const TRect& box, const std::string& pathUtf8) {
  QImageReader reader(QString::fromStdString(pathUtf8));
  reader.setAutoTransform(true);
  const QImage image = reader.read();
  if (image.isNull()) return false;
  const QRectF room = MapRect(box.left, box.top, box.right, box.bottom);
  const double k = std::min(room.width() / image.width(), room.height() / image.height());
  if (!(k > 0) || !std::isfinite(k)) return false;
  painter_.drawImage(QRectF(room.left(), room.top(), image.width() * k, image.height() * k), image);
  return true;
}

bool TQtPainterDevice::Pie(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2) {
  const QRectF box = MapRect(left, top, right, bottom);
  const QPointF c = box.center(), p1 = Map({x1, y1}), p2 = Map({x2, y2});
  // Angles as seen on the device, counterclockwise (y grows downward).
  const double a1 = std::atan2(c.y() - p1.y(), p1.x() - c.x()) * 180.0 / M_PI;
  const double a2 = std::atan2(c.y() - p2.y(), p2.x() - c.x()) * 180.0 / M_PI;
  double span = std::fmod(a2 - a1 + 720.0, 360.0);
  if (span == 0.0) span = 360.0;
  painter_.setPen(MakePen());
  painter_.setBrush(MakeBrush());
  painter_.drawPie(box, static_cast<int>(std::lround(a1 * 16)), static_cast<int>(std::lround(span * 16)));
  return true;
}

void TQtPainterDevice::DrawText(int x, int y, const QString& text) {
  if (text.isEmpty()) return;
  const QFont font = MakeFont();
  const double k = FontScale();
  if (!(k > 0) || !std::isfinite(k)) return;
  const QFontMetricsF m(font);
  const double w = m.horizontalAdvance(text);
  const int align = GetTextAlign();
  double dx = 0, dy = 0;
  if ((align & gdi::TA_CENTER) == gdi::TA_CENTER)
    dx = -w / 2;
  else if (align & gdi::TA_RIGHT)
    dx = -w;
  if ((align & gdi::TA_BASELINE) == gdi::TA_BASELINE)
    dy = 0;
  else if (align & gdi::TA_BOTTOM)
    dy = -m.descent();
  else
    dy = m.ascent();
  painter_.save();
  painter_.translate(Map({x, y}));
  // The escapement is counterclockwise as seen on the page.
  const double angle = CurrentFont().escapement / 10.0;
  if (angle != 0) painter_.rotate(-angle * (ScaleX() * ScaleY() < 0 ? -1 : 1));
  painter_.scale(k, k);
  if (GetBkMode() == gdi::OPAQUE)
    painter_.fillRect(QRectF(dx, dy - m.ascent(), w, m.ascent() + m.descent()), ToQColor(GetBkColor()));
  painter_.setFont(font);
  painter_.setPen(ToQColor(GetTextColor()));
  painter_.drawText(QPointF(dx, dy), text);
  painter_.restore();
}

bool TQtPainterDevice::TextOut(int x, int y, std::string_view text) {
  DrawText(x, y, FromCp1252(text));
  return true;
}

bool TQtPainterDevice::TextOutUtf8(int x, int y, std::string_view text) {
  DrawText(x, y, QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
  return true;
}

bool TQtPainterDevice::GetTextExtent(std::string_view text, TSize& extent) const {
  const double sx = std::fabs(ScaleX()), sy = std::fabs(ScaleY());
  if (sx == 0 || sy == 0) return false;
  const QFontMetricsF m(MakeFont());
  const double k = FontScale();
  extent = {static_cast<std::int32_t>(std::lround(m.horizontalAdvance(FromCp1252(text)) * k / sx)),
            static_cast<std::int32_t>(std::lround((m.ascent() + m.descent()) * k / sy))};
  return true;
}

int TQtPainterDevice::GetDeviceCaps(int index) const {
  const QPaintDevice* d = painter_.device();
  if (!d) return TDevice::GetDeviceCaps(index);
  switch (index) {
    case gdi::LOGPIXELSX: return d->logicalDpiX();
    case gdi::LOGPIXELSY: return d->logicalDpiY();
    case gdi::HORZRES: return d->width();
    case gdi::VERTRES: return d->height();
    default: return TDevice::GetDeviceCaps(index);
  }
}

bool TQtTextMeasurer::Measure(const LogFont& font, std::string_view text, TSize& extent) const {
  const QFontMetricsF m(ToQFont(font, kReferenceEm));
  const double em = EmLogical(font);
  const double w = m.horizontalAdvance(FromCp1252(text)) * em / kReferenceEm;
  const double h = (m.ascent() + m.descent()) * em / kReferenceEm;
  if (!(w < 2e9) || !(h < 2e9)) return false;
  extent = {static_cast<std::int32_t>(std::lround(w)), static_cast<std::int32_t>(std::lround(h))};
  return true;
}

}  // namespace kandelo
