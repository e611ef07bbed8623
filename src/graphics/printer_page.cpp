#include "graphics/printer_page.h"

#include <cmath>

namespace kandelo {
namespace {

std::int32_t RoundEven(double v) {
  if (!(std::fabs(v) < 2e9)) return 0;
  return static_cast<std::int32_t>(std::nearbyint(v));
}

}  // namespace

std::int32_t MmToTwips(double mm) { return RoundEven(mm * 1440.0 / 25.4); }

TRect BeginTwipsPage(TDevice& printer) {
  const int d = printer.GetDeviceCaps(gdi::LOGPIXELSX);
  const int pw = printer.GetDeviceCaps(gdi::HORZRES);
  const int ph = printer.GetDeviceCaps(gdi::VERTRES);
  printer.SaveDC();
  printer.SetMapMode(gdi::MM_ISOTROPIC);
  if (d <= 0 || pw <= 0 || ph <= 0) return {};
  // The horizontal resolution serves both axes.
  const std::int32_t tw = RoundEven(static_cast<double>(pw) / d * 1440.0);
  const std::int32_t th = RoundEven(static_cast<double>(ph) / d * 1440.0);
  printer.SetWindowExt(tw, th);
  printer.SetViewportExt(pw, ph);
  return {0, 0, tw, th};
}

void EndTwipsPage(TDevice& printer) { printer.RestoreDC(-1); }

TPageMargins PrintJobMargins(const TDevice& printer) {
  const int ox = printer.GetDeviceCaps(gdi::PHYSICALOFFSETX);
  const int oy = printer.GetDeviceCaps(gdi::PHYSICALOFFSETY);
  const int dx = printer.GetDeviceCaps(gdi::LOGPIXELSX);
  const int dy = printer.GetDeviceCaps(gdi::LOGPIXELSY);
  TPageMargins m;
  m.left = MmToTwips(25) - (dx > 0 ? RoundEven(static_cast<double>(ox) / dx * 1440.0) : 0);
  m.top = MmToTwips(10) - (dy > 0 ? RoundEven(static_cast<double>(oy) / dy * 1440.0) : 0);
  m.right = MmToTwips(5);
  return m;
}

TRect ApplyPageMargins(const TRect& page, const TPageMargins& margins) {
  return {margins.left, margins.top, page.right - margins.right, page.bottom};
}

}  // namespace kandelo
