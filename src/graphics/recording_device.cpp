#include "graphics/recording_device.h"

#include "graphics/text_metrics.h"

namespace kandelo {

TDrawOp& TRecordingDevice::Add(TDrawOp::Kind kind) {
  TDrawOp op;
  op.kind = kind;
  op.pen = CurrentPen();
  op.brush = CurrentBrush();
  op.font = CurrentFont();
  op.textAlign = GetTextAlign();
  op.textColor = GetTextColor();
  ops.push_back(std::move(op));
  return ops.back();
}

bool TRecordingDevice::DrawLine(TPoint from, TPoint to) {
  Add(TDrawOp::Line).points = {from, to};
  return true;
}

bool TRecordingDevice::Polyline(const TPoint* points, int n) {
  if (!points || n < 1) return false;
  Add(TDrawOp::Polyline).points.assign(points, points + n);
  return true;
}

bool TRecordingDevice::Polygon(const TPoint* points, int n) {
  if (!points || n < 1) return false;
  Add(TDrawOp::Polygon).points.assign(points, points + n);
  return true;
}

bool TRecordingDevice::Rectangle(int left, int top, int right, int bottom) {
  Add(TDrawOp::Rectangle).points = {{left, top}, {right, bottom}};
  return true;
}

bool TRecordingDevice::Ellipse(int left, int top, int right, int bottom) {
  Add(TDrawOp::Ellipse).points = {{left, top}, {right, bottom}};
  return true;
}

bool TRecordingDevice::Pie(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2) {
  Add(TDrawOp::Pie).points = {{left, top}, {right, bottom}, {x1, y1}, {x2, y2}};
  return true;
}

bool TRecordingDevice::TextOut(int x, int y, std::string_view text) {
  TDrawOp& op = Add(TDrawOp::Text);
  op.points = {{x, y}};
  op.text = std::string(text);
  return true;
}

bool TRecordingDevice::TextOutUtf8(int x, int y, std::string_view text) {
  TDrawOp& op = Add(TDrawOp::Text);
  op.points = {{x, y}};
  op.text = std::string(text);
  op.utf8 = true;
  return true;
}

bool TRecordingDevice::GetTextExtent(std::string_view text, TSize& extent) const {
  if (!canMeasure_) return false;
  static const TBuiltinTextMeasurer measurer;
  return measurer.Measure(CurrentFont(), text, extent);
}

std::vector<std::string> TRecordingDevice::Texts() const {
  std::vector<std::string> out;
  for (const TDrawOp& op : ops)
    if (op.kind == TDrawOp::Text) out.push_back(op.text);
  return out;
}

const TDrawOp* TRecordingDevice::FindText(std::string_view text) const {
  for (const TDrawOp& op : ops)
    if (op.kind == TDrawOp::Text && op.text == text) return &op;
  return nullptr;
}

}  // namespace kandelo
