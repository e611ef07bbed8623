#include "evaluation/intensity_diagram.h"

#include <algorithm>

#include "evaluation/cartesian_diagram.h"
#include "evaluation/diagram_common.h"
#include "evaluation/picture.h"
#include "evaluation/polar_diagram.h"

namespace kandelo {
namespace {

void DrawPicture(const TLUM32& lum, const TLvkOptions& o, TDevice& dc, const TRect& rect) {
  const std::vector<float>* planes = o.planes.empty() ? nullptr : &o.planes;
  if (o.kind == TLvkKind::Polar)
    DrawLVKPolar(lum, planes, dc, o.boldHeading, o.languageFile, o.showEta, false, rect, rect);
  else
    DrawLVKCartesian(lum, planes, dc, o.languageFile, o.gammaMax, rect, rect);
}

}  // namespace

std::vector<float> DefaultPlaneList(const TLUM32& lum) {
  if (lum.Symmetry == symRotational) return {0.0f};
  return {0.0f, 90.0f};
}

void DrawLVKStandalone(const TLUM32& lum, const TLvkOptions& options, TDevice& dc, int deviceWidth,
                       int deviceHeight) {
  DrawPictureCentred(dc, deviceWidth, deviceHeight,
                     [&](TDevice& d, const TRect& rect) { DrawPicture(lum, options, d, rect); });
}

bool SaveLVKMetafile(const TLUM32& lum, const TLvkOptions& options, const std::string& fileName,
                     platform::WriteError* why) {
  return SavePictureMetafile(fileName, [&](TDevice& d, const TRect& rect) { DrawPicture(lum, options, d, rect); },
                             why);
}

}  // namespace kandelo
