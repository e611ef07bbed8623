// The drawing context every diagram, table and page draws through: integer
// primitives on a TDevice, lazily realized tools, text measuring and the
// coordinate mapping. One context lives for one drawing routine; on
// destruction it hands the device back with stock tools and its old modes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "graphics/device.h"
#include "graphics/text_metrics.h"

namespace kandelo {

// Root of the tool wrappers: the device it acts on (not owned).
class TGDIObject {
 public:
  explicit TGDIObject(TDevice& dc) : dc_(dc) {}
  virtual ~TGDIObject() = default;
  TGDIObject(const TGDIObject&) = delete;
  TGDIObject& operator=(const TGDIObject&) = delete;

 protected:
  // Selects `created` (when not 0) and deletes what it displaced unless that
  // is `saved`; returns whether `created` is now current.
  bool Install(HGdiObj created, HGdiObj saved, HGdiObj& current);
  // Selects `saved` back and deletes `current` when they differ.
  void Restore(HGdiObj saved, HGdiObj current);
  TDevice& dc_;
};

class TxPen : public TGDIObject {
 public:
  explicit TxPen(TDevice& dc);
  ~TxPen() override;
  void SetStyle(std::int32_t style);
  std::int32_t GetStyle() const { return style_; }
  void SetWidth(std::int32_t width);
  std::int32_t GetWidth() const { return width_; }
  void SetColor(TColor color);
  TColor GetColor() const { return color_; }
  HGdiObj Handle() const { return current_; }

 private:
  void Realize();
  std::int32_t style_ = gdi::PS_SOLID;
  std::int32_t width_ = 1;
  TColor color_ = 0;
  HGdiObj current_ = 0, saved_ = 0;
};

class TxBrush : public TGDIObject {
 public:
  explicit TxBrush(TDevice& dc);
  ~TxBrush() override;
  void SetStyle(std::int32_t style);
  std::int32_t GetStyle() const { return style_; }
  void SetColor(TColor color);
  TColor GetColor() const { return color_; }
  // Stores all three and realizes without comparing.
  void SetBrush(std::int32_t style, std::int32_t hatch, TColor color);
  void SelectNull();
  // Stock brushes 0..5 (white, light grey, grey, dark grey, black, null).
  void SelectStock(int index);
  HGdiObj Handle() const { return current_; }

 private:
  void Realize();
  std::int32_t style_ = gdi::BS_NULL;
  std::int32_t hatch_ = 0;
  TColor color_ = 0;
  std::uintptr_t pattern_ = 0;  // never set: pattern brushes are not used
  HGdiObj current_ = 0, saved_ = 0;
};

// Style flags of TxFont.
enum TFontStyle : std::uint8_t {
  fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8, fsSemiBold = 16,
};

class TxFont : public TGDIObject {
 public:
  explicit TxFont(TDevice& dc);
  ~TxFont() override;
  void SetHeight(std::int32_t height);
  std::int32_t GetHeight() const { return height_; }
  void SetName(std::string_view name);  // cut to 31 characters, exact comparison
  const std::string& GetName() const { return name_; }
  void SetStyle(std::uint8_t flags);
  std::uint8_t GetStyle() const { return style_; }
  void SetEscapement(std::int32_t tenths);
  std::int32_t GetEscapement() const { return escapement_; }
  HGdiObj Handle() const { return current_; }
  // The platform font description of the current values.
  LogFont Describe() const;

 private:
  void Realize();
  std::int32_t height_ = -13;
  std::uint8_t style_ = 0;
  std::int32_t escapement_ = 0;
  std::string name_ = "SYSTEM";
  HGdiObj current_ = 0, saved_ = 0;
};

// x = cx + trunc(r cos a), y = cy - trunc(r sin a); a in degrees.
TPoint PolarPoint(std::int32_t cx, std::int32_t cy, float a, float r);

class TSimpleDC {
 public:
  // `withMeasuringContext`: measure text on the screen's measuring context
  // instead of the target (metafiles and standalone drawings).
  TSimpleDC(TDevice& target, bool withMeasuringContext);
  ~TSimpleDC();
  TSimpleDC(const TSimpleDC&) = delete;
  TSimpleDC& operator=(const TSimpleDC&) = delete;

  TDevice& Target() { return target_; }
  TxPen& Pen() { return *pen_; }
  TxBrush& Brush() { return *brush_; }
  TxFont& Font() { return *font_; }
  bool HasMeasuringContext() const { return measurer_ != nullptr; }

  std::uint16_t TextWidth(std::string_view text);
  std::int32_t TextHeight(std::string_view text);
  // The text as it fits `maxWidth` in the current font: whole, or cut at a
  // character and ended with an ellipsis; empty when not even that fits. A
  // device that cannot measure gets the text whole.
  std::string FitText(std::string_view text, int maxWidth);
  void SetTextAlign(int horizontal, int vertical);
  void TextOut(int x, int y, std::string_view text);
  // Text with characters outside 1252 (Greek letters), UTF-8.
  void TextOutUtf8(int x, int y, std::string_view text);
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void Line(int x1, int y1, int x2, int y2);
  void FrameRect(int x1, int y1, int x2, int y2);
  void Rectangle(int x1, int y1, int x2, int y2);
  void RectangleRect(const TRect& r);
  bool Polygon(const TPoint* points, int n);
  bool Polyline(const TPoint* points, int n);
  void DashedPolyline(const TPoint* points, int n, int dash, int gap);
  void ArcPolyline(int cx, int cy, float startAngle, float endAngle, int radius);
  void Circle(int cx, int cy, int r);
  bool Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
  void SetBkMode(int mode);
  void SetBkColor(TColor color);
  TColor GetBkColor() const { return bkColor_; }
  int GetBkMode() const { return bkMode_; }
  void SetMapMode(int mode);
  // Each returns the previous value, x or width in the low 16 bits.
  std::uint32_t SetWindowExt(int w, int h);
  std::uint32_t SetViewportExt(int w, int h);
  std::uint32_t SetWindowOrg(int x, int y);
  bool DPtoLP(TPoint* points, int n);

 private:
  TDevice& target_;
  const TTextMeasurer* measurer_ = nullptr;
  std::unique_ptr<TxFont> font_;
  std::unique_ptr<TxPen> pen_;
  std::unique_ptr<TxBrush> brush_;
  int oldBkMode_, bkMode_;
  TColor oldBkColor_, bkColor_;
  TColor oldTextColor_;
  int oldPolyFillMode_;
  int oldRop2_;
};

}  // namespace kandelo
