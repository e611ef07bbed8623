// The intensity distribution diagram drawn on its own, as the evaluation
// window's export does: a 4000 × 4000 logical picture (standalone flag set),
// centred on a device of any size, or recorded as a placeable metafile.
#pragma once

#include <string>
#include <vector>

#include "evaluation/picture.h"
#include "graphics/device.h"
#include "photometry/lum32.h"

namespace kandelo {

enum class TLvkKind { Polar, Cartesian };

struct TLvkOptions {
  TLvkKind kind = TLvkKind::Polar;
  std::vector<float> planes;    // empty: 0° and 90°
  double gammaMax = 0;          // cartesian range, 0 = whole measured range
  bool boldHeading = true;
  bool showEta = true;
  std::string languageFile;     // "ORVMSG" file for the catalogue texts
};

// The evaluation window's starting plane list: C0, plus C90 unless rotational.
std::vector<float> DefaultPlaneList(const TLUM32& lum);

// Size of the standalone picture in logical units (and metafile units).
constexpr int kLvkPictureSize = kPictureSize;

// Draws on a device whose client area is deviceWidth × deviceHeight units.
void DrawLVKStandalone(const TLUM32& lum, const TLvkOptions& options, TDevice& dc, int deviceWidth,
                       int deviceHeight);
// Records the diagram as a placeable metafile (1000 units per inch).
bool SaveLVKMetafile(const TLUM32& lum, const TLvkOptions& options, const std::string& fileName,
                     platform::WriteError* why = nullptr);

}  // namespace kandelo
