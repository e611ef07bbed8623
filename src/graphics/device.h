// The device a drawing context draws on: a window, an image, a printer page,
// a vector file or a metafile being recorded. TDevice keeps the state that all
// of them share, the way the platform's device contexts do: a table of drawing
// objects with stock objects, the selected pen, brush and font, the drawing
// modes, the coordinate mapping and a stack of saved states. Back ends override
// the drawing primitives (and, to record them, the state changes).
#pragma once

#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

#include "graphics/gdi_types.h"

namespace kandelo {

class TDevice {
 public:
  TDevice();
  virtual ~TDevice();
  TDevice(const TDevice&) = delete;
  TDevice& operator=(const TDevice&) = delete;

  // ---- Drawing objects
  // Handle of stock object `index` (gdi::WHITE_BRUSH ...), 0 for unknown indexes.
  HGdiObj GetStockObject(int index) const;
  virtual HGdiObj CreatePen(const LogPen& pen);
  virtual HGdiObj CreateBrush(const LogBrush& brush);
  virtual HGdiObj CreateFont(const LogFont& font);
  // Selects the object; returns the previously selected object of its kind, 0 on failure.
  virtual HGdiObj SelectObject(HGdiObj obj);
  // Stock objects are never deleted (true); a selected object cannot be deleted (false).
  virtual bool DeleteObject(HGdiObj obj);
  bool IsStockObject(HGdiObj obj) const;
  bool GetPen(HGdiObj obj, LogPen& out) const;
  bool GetBrush(HGdiObj obj, LogBrush& out) const;
  bool GetFont(HGdiObj obj, LogFont& out) const;
  HGdiObj SelectedPen() const { return state_.pen; }
  HGdiObj SelectedBrush() const { return state_.brush; }
  HGdiObj SelectedFont() const { return state_.font; }
  const LogPen& CurrentPen() const;
  const LogBrush& CurrentBrush() const;
  const LogFont& CurrentFont() const;
  // Objects created and not yet deleted, and every object ever created.
  int LiveObjectCount() const { return static_cast<int>(objects_.size()) - kStockCount; }
  int CreatedObjectCount() const { return created_; }

  // ---- Drawing modes; each setter returns the previous value, 0 on failure.
  virtual int SetBkMode(int mode);
  int GetBkMode() const { return state_.bkMode; }
  virtual TColor SetBkColor(TColor c);
  TColor GetBkColor() const { return state_.bkColor; }
  virtual TColor SetTextColor(TColor c);
  TColor GetTextColor() const { return state_.textColor; }
  virtual int SetPolyFillMode(int mode);
  int GetPolyFillMode() const { return state_.polyFillMode; }
  virtual int SetROP2(int rop);
  int GetROP2() const { return state_.rop2; }
  virtual int SetTextAlign(int align);
  int GetTextAlign() const { return state_.textAlign; }

  // ---- Coordinate mapping (logical -> device)
  virtual int SetMapMode(int mode);  // previous mode, 0 for unsupported modes
  int GetMapMode() const { return state_.mapMode; }
  // In the isotropic mode the viewport extent is shrunk so that both axes
  // keep the same scale, as the platform does.
  virtual bool SetWindowExt(int w, int h, TSize* old = nullptr);
  virtual bool SetViewportExt(int w, int h, TSize* old = nullptr);
  virtual bool SetWindowOrg(int x, int y, TPoint* old = nullptr);
  virtual bool SetViewportOrg(int x, int y, TPoint* old = nullptr);
  TSize GetWindowExt() const { return state_.windowExt; }
  TSize GetViewportExt() const { return state_.viewportExt; }
  TPoint GetWindowOrg() const { return state_.windowOrg; }
  TPoint GetViewportOrg() const { return state_.viewportOrg; }
  bool DPtoLP(TPoint* points, int n) const;
  bool LPtoDP(TPoint* points, int n) const;
  // Exact transform for back ends that draw with real coordinates.
  double ToDeviceX(double x) const;
  double ToDeviceY(double y) const;
  double ScaleX() const;  // device units per logical unit (signed)
  double ScaleY() const;

  // Saves modes, mapping, selected objects and position; returns the level (> 0).
  virtual int SaveDC();
  // Restores level `level`, or the last saved state for a negative level.
  virtual bool RestoreDC(int level);
  int SavedLevels() const { return static_cast<int>(saved_.size()); }

  // Resolution and size of the device (gdi::LOGPIXELSX ...). Defaults: 96 dpi.
  virtual int GetDeviceCaps(int index) const;

  // ---- Drawing, in logical coordinates with the selected objects.
  virtual bool MoveTo(int x, int y, TPoint* old = nullptr);
  virtual bool LineTo(int x, int y);
  virtual bool Polyline(const TPoint* points, int n) = 0;
  virtual bool Polygon(const TPoint* points, int n) = 0;
  virtual bool Rectangle(int left, int top, int right, int bottom) = 0;
  virtual bool Ellipse(int left, int top, int right, int bottom) = 0;
  // Pie in the box from the radial through (x1, y1) counterclockwise to (x2, y2).
  virtual bool Pie(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2) = 0;
  // Text in the 1252 code page at the reference point of the text alignment.
  virtual bool TextOut(int x, int y, std::string_view text) = 0;
  // Text with characters outside 1252 (Greek letters of formulae), in UTF-8.
  // The default draws what 1252 can show.
  virtual bool TextOutUtf8(int x, int y, std::string_view text);
  // Extent of a 1252 text in the selected font, logical units; false when the
  // device cannot measure (a metafile).
  virtual bool GetTextExtent(std::string_view text, TSize& extent) const;
  TPoint CurrentPosition() const { return state_.position; }

 protected:
  // The line from the current position, already in logical coordinates.
  virtual bool DrawLine(TPoint from, TPoint to) = 0;

 private:
  enum class Kind { Pen, Brush, Font };
  struct Object {
    Kind kind;
    std::variant<LogPen, LogBrush, LogFont> value;
    bool stock;
  };
  struct State {
    int bkMode = gdi::OPAQUE;
    TColor bkColor = RGBColor(255, 255, 255);
    TColor textColor = 0;
    int polyFillMode = gdi::ALTERNATE;
    int rop2 = gdi::R2_COPYPEN;
    int textAlign = 0;
    int mapMode = gdi::MM_TEXT;
    TPoint windowOrg, viewportOrg;
    TSize windowExt{1, 1}, viewportExt{1, 1};
    TPoint position;
    HGdiObj pen = 0, brush = 0, font = 0;
  };
  static constexpr int kStockCount = 10;
  static constexpr HGdiObj kStockBase = 0x80000000u;

  HGdiObj Add(Kind kind, std::variant<LogPen, LogBrush, LogFont> value);
  const Object* Find(HGdiObj obj) const;
  void FixIsotropic();

  std::unordered_map<HGdiObj, Object> objects_;
  HGdiObj nextHandle_ = 1;
  int created_ = 0;
  State state_;
  std::vector<State> saved_;
};

}  // namespace kandelo
