#include "graphics/device.h"

#include <cmath>
#include <limits>

#include "platform/text.h"

namespace kandelo {
namespace {

int RoundToInt(double v) {
  const double r = std::floor(v + 0.5);
  if (!(r > std::numeric_limits<int>::min()) || !(r < std::numeric_limits<int>::max()))
    return r > 0 ? std::numeric_limits<int>::max() : std::numeric_limits<int>::min();
  return static_cast<int>(r);
}

}  // namespace

TDevice::TDevice() {
  using namespace gdi;
  auto stock = [this](int index, Kind kind, std::variant<LogPen, LogBrush, LogFont> v) {
    objects_.emplace(kStockBase | static_cast<HGdiObj>(index), Object{kind, std::move(v), true});
  };
  stock(WHITE_BRUSH, Kind::Brush, LogBrush{BS_SOLID, RGBColor(255, 255, 255), 0});
  stock(LTGRAY_BRUSH, Kind::Brush, LogBrush{BS_SOLID, RGBColor(192, 192, 192), 0});
  stock(GRAY_BRUSH, Kind::Brush, LogBrush{BS_SOLID, RGBColor(128, 128, 128), 0});
  stock(DKGRAY_BRUSH, Kind::Brush, LogBrush{BS_SOLID, RGBColor(64, 64, 64), 0});
  stock(BLACK_BRUSH, Kind::Brush, LogBrush{BS_SOLID, 0, 0});
  stock(NULL_BRUSH, Kind::Brush, LogBrush{BS_NULL, 0, 0});
  stock(WHITE_PEN, Kind::Pen, LogPen{PS_SOLID, 0, RGBColor(255, 255, 255)});
  stock(BLACK_PEN, Kind::Pen, LogPen{PS_SOLID, 0, 0});
  stock(NULL_PEN, Kind::Pen, LogPen{PS_NULL, 0, 0});
  LogFont system;
  system.height = 16;
  system.weight = FW_BOLD;
  system.faceName = "System";
  stock(SYSTEM_FONT, Kind::Font, system);
  state_.pen = GetStockObject(BLACK_PEN);
  state_.brush = GetStockObject(WHITE_BRUSH);
  state_.font = GetStockObject(SYSTEM_FONT);
}

TDevice::~TDevice() = default;

HGdiObj TDevice::GetStockObject(int index) const {
  const HGdiObj h = kStockBase | static_cast<HGdiObj>(index);
  return index >= 0 && objects_.count(h) ? h : 0;
}

bool TDevice::IsStockObject(HGdiObj obj) const {
  const Object* o = Find(obj);
  return o && o->stock;
}

HGdiObj TDevice::Add(Kind kind, std::variant<LogPen, LogBrush, LogFont> value) {
  const HGdiObj h = nextHandle_++;
  if (nextHandle_ >= kStockBase) nextHandle_ = 1;
  objects_.emplace(h, Object{kind, std::move(value), false});
  ++created_;
  return h;
}

const TDevice::Object* TDevice::Find(HGdiObj obj) const {
  auto it = objects_.find(obj);
  return it == objects_.end() ? nullptr : &it->second;
}

HGdiObj TDevice::CreatePen(const LogPen& pen) {
  if (pen.style < gdi::PS_SOLID || pen.style > 6) return 0;
  return Add(Kind::Pen, pen);
}

HGdiObj TDevice::CreateBrush(const LogBrush& brush) {
  if (brush.style < gdi::BS_SOLID || brush.style > gdi::BS_PATTERN) return 0;
  if (brush.style == gdi::BS_HATCHED && brush.hatch > gdi::HS_DIAGCROSS) return 0;
  return Add(Kind::Brush, brush);
}

HGdiObj TDevice::CreateFont(const LogFont& font) {
  LogFont f = font;
  if (f.faceName.size() > 31) f.faceName.resize(31);
  return Add(Kind::Font, f);
}

HGdiObj TDevice::SelectObject(HGdiObj obj) {
  const Object* o = Find(obj);
  if (!o) return 0;
  HGdiObj* slot = o->kind == Kind::Pen ? &state_.pen : o->kind == Kind::Brush ? &state_.brush : &state_.font;
  const HGdiObj old = *slot;
  *slot = obj;
  return old;
}

bool TDevice::DeleteObject(HGdiObj obj) {
  const Object* o = Find(obj);
  if (!o) return false;
  if (o->stock) return true;
  if (obj == state_.pen || obj == state_.brush || obj == state_.font) return false;
  for (const State& s : saved_)
    if (obj == s.pen || obj == s.brush || obj == s.font) return false;
  objects_.erase(obj);
  return true;
}

bool TDevice::GetPen(HGdiObj obj, LogPen& out) const {
  const Object* o = Find(obj);
  if (!o || o->kind != Kind::Pen) return false;
  out = std::get<LogPen>(o->value);
  return true;
}

bool TDevice::GetBrush(HGdiObj obj, LogBrush& out) const {
  const Object* o = Find(obj);
  if (!o || o->kind != Kind::Brush) return false;
  out = std::get<LogBrush>(o->value);
  return true;
}

bool TDevice::GetFont(HGdiObj obj, LogFont& out) const {
  const Object* o = Find(obj);
  if (!o || o->kind != Kind::Font) return false;
  out = std::get<LogFont>(o->value);
  return true;
}

const LogPen& TDevice::CurrentPen() const { return std::get<LogPen>(Find(state_.pen)->value); }
const LogBrush& TDevice::CurrentBrush() const { return std::get<LogBrush>(Find(state_.brush)->value); }
const LogFont& TDevice::CurrentFont() const { return std::get<LogFont>(Find(state_.font)->value); }

int TDevice::SetBkMode(int mode) {
  if (mode != gdi::TRANSPARENT && mode != gdi::OPAQUE) return 0;
  const int old = state_.bkMode;
  state_.bkMode = mode;
  return old;
}

TColor TDevice::SetBkColor(TColor c) {
  const TColor old = state_.bkColor;
  state_.bkColor = c & 0xFFFFFF;
  return old;
}

TColor TDevice::SetTextColor(TColor c) {
  const TColor old = state_.textColor;
  state_.textColor = c & 0xFFFFFF;
  return old;
}

int TDevice::SetPolyFillMode(int mode) {
  if (mode != gdi::ALTERNATE && mode != gdi::WINDING) return 0;
  const int old = state_.polyFillMode;
  state_.polyFillMode = mode;
  return old;
}

int TDevice::SetROP2(int rop) {
  if (rop < 1 || rop > 16) return 0;
  const int old = state_.rop2;
  state_.rop2 = rop;
  return old;
}

int TDevice::SetTextAlign(int align) {
  const int old = state_.textAlign;
  state_.textAlign = align;
  return old;
}

int TDevice::SetMapMode(int mode) {
  if (mode != gdi::MM_TEXT && mode != gdi::MM_ISOTROPIC && mode != gdi::MM_ANISOTROPIC) return 0;
  const int old = state_.mapMode;
  state_.mapMode = mode;
  if (mode == gdi::MM_TEXT) {
    state_.windowExt = {1, 1};
    state_.viewportExt = {1, 1};
  } else if (mode == gdi::MM_ISOTROPIC) {
    FixIsotropic();
  }
  return old;
}

void TDevice::FixIsotropic() {
  TSize& v = state_.viewportExt;
  const TSize& w = state_.windowExt;
  const double xdim = std::fabs(static_cast<double>(v.cx) / w.cx);
  const double ydim = std::fabs(static_cast<double>(v.cy) / w.cy);
  if (xdim > ydim) {
    const int sign = v.cx >= 0 ? 1 : -1;
    v.cx = RoundToInt(v.cx * ydim / xdim);
    if (v.cx == 0) v.cx = sign;
  } else if (ydim > xdim) {
    const int sign = v.cy >= 0 ? 1 : -1;
    v.cy = RoundToInt(v.cy * xdim / ydim);
    if (v.cy == 0) v.cy = sign;
  }
}

bool TDevice::SetWindowExt(int w, int h, TSize* old) {
  if (old) *old = state_.windowExt;
  if (state_.mapMode != gdi::MM_ISOTROPIC && state_.mapMode != gdi::MM_ANISOTROPIC) return true;
  if (w == 0 || h == 0) return false;
  state_.windowExt = {w, h};
  if (state_.mapMode == gdi::MM_ISOTROPIC) FixIsotropic();
  return true;
}

bool TDevice::SetViewportExt(int w, int h, TSize* old) {
  if (old) *old = state_.viewportExt;
  if (state_.mapMode != gdi::MM_ISOTROPIC && state_.mapMode != gdi::MM_ANISOTROPIC) return true;
  if (w == 0 || h == 0) return false;
  state_.viewportExt = {w, h};
  if (state_.mapMode == gdi::MM_ISOTROPIC) FixIsotropic();
  return true;
}

bool TDevice::SetWindowOrg(int x, int y, TPoint* old) {
  if (old) *old = state_.windowOrg;
  state_.windowOrg = {x, y};
  return true;
}

bool TDevice::SetViewportOrg(int x, int y, TPoint* old) {
  if (old) *old = state_.viewportOrg;
  state_.viewportOrg = {x, y};
  return true;
}

double TDevice::ScaleX() const { return static_cast<double>(state_.viewportExt.cx) / state_.windowExt.cx; }
double TDevice::ScaleY() const { return static_cast<double>(state_.viewportExt.cy) / state_.windowExt.cy; }
double TDevice::ToDeviceX(double x) const { return (x - state_.windowOrg.x) * ScaleX() + state_.viewportOrg.x; }
double TDevice::ToDeviceY(double y) const { return (y - state_.windowOrg.y) * ScaleY() + state_.viewportOrg.y; }

bool TDevice::LPtoDP(TPoint* points, int n) const {
  if (!points || n < 0) return false;
  for (int i = 0; i < n; ++i)
    points[i] = {RoundToInt(ToDeviceX(points[i].x)), RoundToInt(ToDeviceY(points[i].y))};
  return true;
}

bool TDevice::DPtoLP(TPoint* points, int n) const {
  if (!points || n < 0) return false;
  const State& s = state_;
  for (int i = 0; i < n; ++i) {
    const double x = (static_cast<double>(points[i].x) - s.viewportOrg.x) * s.windowExt.cx / s.viewportExt.cx + s.windowOrg.x;
    const double y = (static_cast<double>(points[i].y) - s.viewportOrg.y) * s.windowExt.cy / s.viewportExt.cy + s.windowOrg.y;
    points[i] = {RoundToInt(x), RoundToInt(y)};
  }
  return true;
}

int TDevice::SaveDC() {
  saved_.push_back(state_);
  return static_cast<int>(saved_.size());
}

bool TDevice::RestoreDC(int level) {
  if (saved_.empty()) return false;
  if (level < 0) level = static_cast<int>(saved_.size()) + 1 + level;
  if (level < 1 || level > static_cast<int>(saved_.size())) return false;
  State s = saved_[level - 1];
  saved_.resize(level - 1);
  // Objects deleted meanwhile cannot come back; keep the ones selected now.
  if (!Find(s.pen)) s.pen = state_.pen;
  if (!Find(s.brush)) s.brush = state_.brush;
  if (!Find(s.font)) s.font = state_.font;
  state_ = s;
  return true;
}

int TDevice::GetDeviceCaps(int index) const {
  switch (index) {
    case gdi::LOGPIXELSX:
    case gdi::LOGPIXELSY: return 96;
    default: return 0;
  }
}

bool TDevice::MoveTo(int x, int y, TPoint* old) {
  if (old) *old = state_.position;
  state_.position = {x, y};
  return true;
}

bool TDevice::LineTo(int x, int y) {
  const TPoint from = state_.position;
  state_.position = {x, y};
  return DrawLine(from, {x, y});
}

bool TDevice::TextOutUtf8(int x, int y, std::string_view text) {
  return TextOut(x, y, platform::utf8ToCp1252(text));
}

bool TDevice::GetTextExtent(std::string_view, TSize&) const { return false; }

}  // namespace kandelo
