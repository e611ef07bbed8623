#include "graphics/simpledc.h"

#include <cmath>
#include <vector>

namespace kandelo {
namespace {

constexpr double kDegToRad = 3.14159265358979323846 / 180.0;

std::uint32_t Pack(std::int32_t lo, std::int32_t hi) {
  return (static_cast<std::uint32_t>(lo) & 0xFFFFu) | ((static_cast<std::uint32_t>(hi) & 0xFFFFu) << 16);
}

std::int32_t TruncToInt(double v) {
  if (!(v > -2147483648.0) || !(v < 2147483647.0)) return v > 0 ? 2147483647 : (v < 0 ? -2147483647 - 1 : 0);
  return static_cast<std::int32_t>(v);
}

}  // namespace

// ---- TGDIObject

bool TGDIObject::Install(HGdiObj created, HGdiObj saved, HGdiObj& current) {
  if (!created) return false;
  const HGdiObj displaced = dc_.SelectObject(created);
  if (!displaced) {
    dc_.DeleteObject(created);
    return false;
  }
  if (displaced != saved) dc_.DeleteObject(displaced);
  current = created;
  return true;
}

void TGDIObject::Restore(HGdiObj saved, HGdiObj current) {
  dc_.SelectObject(saved);
  if (current != saved) dc_.DeleteObject(current);
}

// ---- TxPen

TxPen::TxPen(TDevice& dc) : TGDIObject(dc) {
  saved_ = dc_.GetStockObject(gdi::BLACK_PEN);
  dc_.SelectObject(saved_);
  current_ = saved_;
}

TxPen::~TxPen() { Restore(saved_, current_); }

void TxPen::SetStyle(std::int32_t style) {
  if (style == style_) return;
  style_ = style;
  Realize();
}

void TxPen::SetWidth(std::int32_t width) {
  if (width == width_) return;
  width_ = width;
  Realize();
}

void TxPen::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  Realize();
}

void TxPen::Realize() { Install(dc_.CreatePen(LogPen{style_, width_, color_}), saved_, current_); }

// ---- TxBrush

TxBrush::TxBrush(TDevice& dc) : TGDIObject(dc) {
  saved_ = dc_.GetStockObject(gdi::NULL_BRUSH);
  dc_.SelectObject(saved_);
  current_ = saved_;
  LogBrush stock;
  if (dc_.GetBrush(saved_, stock)) {
    style_ = stock.style;
    color_ = stock.color;
    hatch_ = static_cast<std::int32_t>(stock.hatch);
  }
}

TxBrush::~TxBrush() { Restore(saved_, current_); }

void TxBrush::SetStyle(std::int32_t style) {
  if (style == style_) return;
  style_ = style;
  Realize();
}

void TxBrush::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  Realize();
}

void TxBrush::SetBrush(std::int32_t style, std::int32_t hatch, TColor color) {
  style_ = style;
  hatch_ = hatch;
  color_ = color;
  Realize();
}

void TxBrush::Realize() {
  LogBrush b;
  b.style = style_;
  b.color = color_;
  b.hatch = style_ == gdi::BS_HATCHED ? static_cast<std::uintptr_t>(static_cast<std::uint32_t>(hatch_))
            : style_ == gdi::BS_PATTERN ? pattern_
                                        : 0;
  Install(dc_.CreateBrush(b), saved_, current_);
}

void TxBrush::SelectNull() {
  const HGdiObj null = dc_.GetStockObject(gdi::NULL_BRUSH);
  const HGdiObj displaced = dc_.SelectObject(null);
  if (displaced && displaced != saved_) dc_.DeleteObject(displaced);
  current_ = saved_ = null;
}

void TxBrush::SelectStock(int index) {
  if (index < gdi::WHITE_BRUSH || index > gdi::NULL_BRUSH) return;
  SelectNull();
  const HGdiObj stock = dc_.GetStockObject(index);
  dc_.SelectObject(stock);
  current_ = saved_ = stock;
}

// ---- TxFont

TxFont::TxFont(TDevice& dc) : TGDIObject(dc) {
  saved_ = dc_.GetStockObject(gdi::SYSTEM_FONT);
  dc_.SelectObject(saved_);
  current_ = saved_;
}

TxFont::~TxFont() { Restore(saved_, current_); }

void TxFont::SetHeight(std::int32_t height) {
  if (height == height_) return;
  height_ = height;
  Realize();
}

void TxFont::SetName(std::string_view name) {
  const std::string_view cut = name.substr(0, 31);
  if (cut == name_) return;
  name_ = std::string(cut);
  Realize();
}

void TxFont::SetStyle(std::uint8_t flags) {
  if (flags == style_) return;
  style_ = flags;
  Realize();
}

void TxFont::SetEscapement(std::int32_t tenths) {
  if (tenths == escapement_) return;
  escapement_ = tenths;
  Realize();
}

LogFont TxFont::Describe() const {
  LogFont f;
  f.height = height_;
  f.width = 0;
  f.escapement = escapement_;
  f.orientation = 0;
  f.weight = (style_ & fsBold) ? gdi::FW_BOLD : (style_ & fsSemiBold) ? gdi::FW_SEMIBOLD : gdi::FW_NORMAL;
  f.italic = style_ & fsItalic;
  f.underline = style_ & fsUnderline;
  f.strikeOut = style_ & fsStrikeOut;
  f.charSet = gdi::ANSI_CHARSET;
  f.clipPrecision = gdi::CLIP_STROKE_PRECIS;
  f.faceName = name_;
  return f;
}

void TxFont::Realize() { Install(dc_.CreateFont(Describe()), saved_, current_); }

// ---- TSimpleDC

TPoint PolarPoint(std::int32_t cx, std::int32_t cy, float a, float r) {
  const double rad = static_cast<double>(a) * kDegToRad;
  return {cx + TruncToInt(r * std::cos(rad)), cy - TruncToInt(r * std::sin(rad))};
}

TSimpleDC::TSimpleDC(TDevice& target, bool withMeasuringContext) : target_(target) {
  if (withMeasuringContext) measurer_ = &ScreenTextMeasurer();
  font_ = std::make_unique<TxFont>(target_);
  pen_ = std::make_unique<TxPen>(target_);
  brush_ = std::make_unique<TxBrush>(target_);
  oldBkMode_ = target_.SetBkMode(gdi::TRANSPARENT);
  bkMode_ = gdi::TRANSPARENT;
  oldBkColor_ = bkColor_ = target_.GetBkColor();
  oldTextColor_ = target_.GetTextColor();
  oldPolyFillMode_ = target_.GetPolyFillMode();
  oldRop2_ = target_.GetROP2();
}

TSimpleDC::~TSimpleDC() {
  font_.reset();
  pen_.reset();
  brush_.reset();
  if (oldBkMode_) target_.SetBkMode(oldBkMode_);
  target_.SetBkColor(oldBkColor_);
  target_.SetTextColor(oldTextColor_);
  target_.SetPolyFillMode(oldPolyFillMode_);
  target_.SetROP2(oldRop2_);
}

std::uint16_t TSimpleDC::TextWidth(std::string_view text) {
  TSize extent;
  if (measurer_) {
    LogFont f = font_->Describe();
    f.escapement = 0;
    if (!measurer_->Measure(f, text, extent)) return 0;
  } else if (!target_.GetTextExtent(text, extent)) {
    return 0;
  }
  return static_cast<std::uint16_t>(extent.cx & 0xFFFF);
}

std::string TSimpleDC::FitText(std::string_view text, int maxWidth) {
  if (text.empty()) return {};
  const int whole = TextWidth(text);
  if (whole == 0 || whole <= maxWidth) return std::string(text);
  static constexpr char kEllipsis[] = "\x85";  // "…" in 1252
  // Widths grow with the length: halve the range of lengths that still fit.
  std::size_t lo = 0, hi = text.size();
  while (lo < hi) {
    const std::size_t mid = (lo + hi + 1) / 2;
    std::string candidate(text.substr(0, mid));
    candidate += kEllipsis;
    if (TextWidth(candidate) <= maxWidth)
      lo = mid;
    else
      hi = mid - 1;
  }
  if (lo == 0) return TextWidth(kEllipsis) <= maxWidth ? std::string(kEllipsis) : std::string();
  std::string out(text.substr(0, lo));
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out + kEllipsis;
}

std::int32_t TSimpleDC::TextHeight(std::string_view text) {
  TSize extent;
  if (measurer_) {
    LogFont f = font_->Describe();
    f.escapement = 0;
    if (!measurer_->Measure(f, text, extent)) return 0;
  } else if (!target_.GetTextExtent(text, extent)) {
    return 0;
  }
  return extent.cy;
}

void TSimpleDC::SetTextAlign(int horizontal, int vertical) { target_.SetTextAlign(horizontal | vertical); }

void TSimpleDC::TextOut(int x, int y, std::string_view text) {
  if (!text.empty()) target_.TextOut(x, y, text);
}

void TSimpleDC::TextOutUtf8(int x, int y, std::string_view text) {
  if (!text.empty()) target_.TextOutUtf8(x, y, text);
}

void TSimpleDC::MoveTo(int x, int y) { target_.MoveTo(x, y); }
void TSimpleDC::LineTo(int x, int y) { target_.LineTo(x, y); }

void TSimpleDC::Line(int x1, int y1, int x2, int y2) {
  target_.MoveTo(x1, y1);
  target_.LineTo(x2, y2);
}

void TSimpleDC::FrameRect(int x1, int y1, int x2, int y2) {
  const TPoint p[5] = {{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}, {x1, y1}};
  target_.Polyline(p, 5);
}

void TSimpleDC::Rectangle(int x1, int y1, int x2, int y2) { target_.Rectangle(x1, y1, x2, y2); }
void TSimpleDC::RectangleRect(const TRect& r) { target_.Rectangle(r.left, r.top, r.right, r.bottom); }
bool TSimpleDC::Polygon(const TPoint* points, int n) { return target_.Polygon(points, n); }
bool TSimpleDC::Polyline(const TPoint* points, int n) { return target_.Polyline(points, n); }

void TSimpleDC::DashedPolyline(const TPoint* points, int n, int dash, int gap) {
  if (!points || n < 1) return;
  const std::int32_t oldStyle = pen_->GetStyle();
  pen_->SetStyle(gdi::PS_SOLID);
  // Each visible run is one polyline: a vector file (SVG, PDF, metafile)
  // then holds one element a dash instead of one a segment.
  std::vector<TPoint> run;
  auto flush = [&] {
    if (run.size() >= 2) target_.Polyline(run.data(), static_cast<int>(run.size()));
    run.clear();
  };
  bool visible = true;
  TPoint runStart = points[0];
  float limit = static_cast<float>(dash);
  for (int i = 1; i < n; ++i) {
    const float dx = static_cast<float>(points[i].x) - static_cast<float>(runStart.x);
    const float dy = static_cast<float>(points[i].y) - static_cast<float>(runStart.y);
    const float d = std::sqrt(dx * dx + dy * dy);
    if (d >= limit) {
      // A gap of length 0 would still hide one segment; a solid pattern must
      // stay unbroken, so such a run simply starts over.
      if (visible && gap <= 0) {
        runStart = points[i];
      } else {
        visible = !visible;
        limit = static_cast<float>(visible ? dash : gap);
        runStart = points[i];
      }
    }
    // The segment to point i takes the pattern's state at point i.
    if (visible) {
      if (run.empty()) run.push_back(points[i - 1]);
      run.push_back(points[i]);
    } else {
      flush();
    }
  }
  flush();
  target_.MoveTo(points[n - 1].x, points[n - 1].y);
  pen_->SetStyle(oldStyle);
}

void TSimpleDC::ArcPolyline(int cx, int cy, float startAngle, float endAngle, int radius) {
  const float q = (endAngle - startAngle) / 2.0f;
  // Nonsense spans (negative, NaN, thousands of turns) draw the end point only.
  if (!(q >= 0.0f) || q > 100000.0f) {
    const TPoint p = PolarPoint(cx, cy, endAngle, static_cast<float>(radius));
    target_.Polyline(&p, 1);
    return;
  }
  const int whole = static_cast<int>(q);
  const int count = whole + 1 + (q != static_cast<float>(whole) ? 1 : 0);
  std::vector<TPoint> points(static_cast<std::size_t>(count));
  for (int i = 0; i + 1 < count; ++i)
    points[i] = PolarPoint(cx, cy, startAngle + 2.0f * static_cast<float>(i), static_cast<float>(radius));
  points[count - 1] = PolarPoint(cx, cy, endAngle, static_cast<float>(radius));
  target_.Polyline(points.data(), count);
}

void TSimpleDC::Circle(int cx, int cy, int r) { target_.Ellipse(cx - r, cy - r, cx + r, cy + r); }

bool TSimpleDC::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  return target_.Pie(x1, y1, x2, y2, x3, y3, x4, y4);
}

void TSimpleDC::SetBkMode(int mode) {
  if (target_.SetBkMode(mode)) bkMode_ = mode;
}

void TSimpleDC::SetBkColor(TColor color) {
  bkColor_ = color;
  target_.SetBkColor(color);
}

void TSimpleDC::SetMapMode(int mode) { target_.SetMapMode(mode); }

std::uint32_t TSimpleDC::SetWindowExt(int w, int h) {
  TSize old;
  target_.SetWindowExt(w, h, &old);
  return Pack(old.cx, old.cy);
}

std::uint32_t TSimpleDC::SetViewportExt(int w, int h) {
  TSize old;
  target_.SetViewportExt(w, h, &old);
  return Pack(old.cx, old.cy);
}

std::uint32_t TSimpleDC::SetWindowOrg(int x, int y) {
  TPoint old;
  target_.SetWindowOrg(x, y, &old);
  return Pack(old.x, old.y);
}

bool TSimpleDC::DPtoLP(TPoint* points, int n) { return target_.DPtoLP(points, n); }

}  // namespace kandelo
