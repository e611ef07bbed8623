#include "graphics/drwwin.h"

#include <algorithm>

namespace kandelo {
namespace {

// A device that only maps coordinates (the window's state outside painting).
class TMappingDevice : public TDevice {
 public:
  bool Polyline(const TPoint*, int) override { return true; }
  bool Polygon(const TPoint*, int) override { return true; }
  bool Rectangle(int, int, int, int) override { return true; }
  bool Ellipse(int, int, int, int) override { return true; }
  bool Pie(int, int, int, int, int, int, int, int) override { return true; }
  bool TextOut(int, int, std::string_view) override { return true; }

 protected:
  bool DrawLine(TPoint, TPoint) override { return true; }
};

}  // namespace

bool TDrwWinLayout::SetMargin(int margin) {
  if (margin < 0 || margin == margin_) return false;
  margin_ = margin;
  Recenter();
  return true;
}

void TDrwWinLayout::SetClientSize(int width, int height) {
  range_ = {std::max(0, width), std::max(0, height)};
  Recenter();
}

void TDrwWinLayout::SetDrawingSize(int width, int height) {
  drawing_ = {width == 0 ? 1 : width, height == 0 ? 1 : height};
  Recenter();
}

void TDrwWinLayout::Recenter() {
  TMappingDevice dc;
  const int vw = std::max(1, range_.cx - 2 * margin_);
  const int vh = std::max(1, range_.cy - 2 * margin_);
  dc.SetMapMode(gdi::MM_ISOTROPIC);
  dc.SetWindowExt(drawing_.cx, drawing_.cy);
  dc.SetViewportExt(vw, vh);
  TPoint covered{vw, vh};
  dc.DPtoLP(&covered, 1);
  TPoint offset{(covered.x - drawing_.cx) / 2, (covered.y - drawing_.cy) / 2};
  dc.LPtoDP(&offset, 1);
  offset_ = offset;
}

void TDrwWinLayout::ApplyMapping(TDevice& dc) const {
  dc.SetMapMode(gdi::MM_ISOTROPIC);
  dc.SetWindowExt(drawing_.cx, drawing_.cy);
  dc.SetViewportExt(std::max(1, range_.cx - 2 * margin_), std::max(1, range_.cy - 2 * margin_));
  dc.SetViewportOrg(margin_ + offset_.x, margin_ + offset_.y);
}

TPoint TDrwWinLayout::ToLogical(TPoint device) const {
  TMappingDevice dc;
  ApplyMapping(dc);
  dc.DPtoLP(&device, 1);
  return device;
}

}  // namespace kandelo
