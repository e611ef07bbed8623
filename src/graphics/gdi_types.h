// Values and descriptions of the 2-D drawing interface the program draws
// through. The numbers are those of the Windows graphics device interface,
// because drawing code and the metafile format use them directly.
#pragma once

#include <cstdint>
#include <string>

namespace kandelo {

using TColor = std::uint32_t;  // 0x00BBGGRR
constexpr TColor RGBColor(int r, int g, int b) {
  return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int ColorR(TColor c) { return c & 0xFF; }
constexpr int ColorG(TColor c) { return (c >> 8) & 0xFF; }
constexpr int ColorB(TColor c) { return (c >> 16) & 0xFF; }

struct TPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};
struct TSize {
  std::int32_t cx = 0;
  std::int32_t cy = 0;
  friend bool operator==(const TSize&, const TSize&) = default;
};
struct TRect {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
  std::int32_t Width() const { return right - left; }
  std::int32_t Height() const { return bottom - top; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

// Handle of a drawing object owned by a device; 0 is no object.
using HGdiObj = std::uint32_t;

namespace gdi {
// Stock objects.
enum : int {
  WHITE_BRUSH = 0, LTGRAY_BRUSH = 1, GRAY_BRUSH = 2, DKGRAY_BRUSH = 3, BLACK_BRUSH = 4,
  NULL_BRUSH = 5, WHITE_PEN = 6, BLACK_PEN = 7, NULL_PEN = 8, SYSTEM_FONT = 13,
};
// Pen styles.
enum : int { PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_DASHDOT = 3, PS_DASHDOTDOT = 4, PS_NULL = 5 };
// Brush styles and hatches.
enum : int { BS_SOLID = 0, BS_NULL = 1, BS_HATCHED = 2, BS_PATTERN = 3 };
enum : int { HS_HORIZONTAL = 0, HS_VERTICAL = 1, HS_FDIAGONAL = 2, HS_BDIAGONAL = 3, HS_CROSS = 4, HS_DIAGCROSS = 5 };
// Background modes, fill modes, raster operations.
enum : int { TRANSPARENT = 1, OPAQUE = 2 };
enum : int { ALTERNATE = 1, WINDING = 2 };
enum : int { R2_BLACK = 1, R2_NOT = 6, R2_XORPEN = 7, R2_COPYPEN = 13, R2_WHITE = 16 };
// Text alignment: horizontal OR vertical.
enum : int { TA_LEFT = 0, TA_RIGHT = 2, TA_CENTER = 6, TA_TOP = 0, TA_BOTTOM = 8, TA_BASELINE = 24 };
// Mapping modes.
enum : int { MM_TEXT = 1, MM_TWIPS = 6, MM_ISOTROPIC = 7, MM_ANISOTROPIC = 8 };
// Device capabilities.
enum : int { HORZRES = 8, VERTRES = 10, LOGPIXELSX = 88, LOGPIXELSY = 90,
             PHYSICALOFFSETX = 112, PHYSICALOFFSETY = 113 };
// Font weights and character sets.
enum : int { FW_NORMAL = 400, FW_SEMIBOLD = 600, FW_BOLD = 700 };
enum : int { ANSI_CHARSET = 0, SYMBOL_CHARSET = 2 };
enum : int { CLIP_STROKE_PRECIS = 2 };
}  // namespace gdi

struct LogPen {
  std::int32_t style = gdi::PS_SOLID;
  std::int32_t width = 0;  // logical units; 0 = thinnest line of the device
  TColor color = 0;
  friend bool operator==(const LogPen&, const LogPen&) = default;
};

struct LogBrush {
  std::int32_t style = gdi::BS_SOLID;
  TColor color = 0;
  std::uintptr_t hatch = 0;  // hatch index for BS_HATCHED, pattern for BS_PATTERN
  friend bool operator==(const LogBrush&, const LogBrush&) = default;
};

struct LogFont {
  std::int32_t height = 0;  // < 0 character (em) height, > 0 cell height, logical units
  std::int32_t width = 0;
  std::int32_t escapement = 0;  // tenths of a degree, counterclockwise
  std::int32_t orientation = 0;
  std::int32_t weight = gdi::FW_NORMAL;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  std::uint8_t charSet = gdi::ANSI_CHARSET;
  std::uint8_t outPrecision = 0;
  std::uint8_t clipPrecision = 0;
  std::uint8_t quality = 0;
  std::uint8_t pitchAndFamily = 0;
  std::string faceName;  // at most 31 characters, 1252
  friend bool operator==(const LogFont&, const LogFont&) = default;
};

}  // namespace kandelo
