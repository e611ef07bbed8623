#include "evaluation/intensity_diagram.h"

#include <algorithm>

#include "evaluation/cartesian_diagram.h"
#include "evaluation/diagram_common.h"
#include "evaluation/polar_diagram.h"
#include "graphics/metafile.h"

namespace kandelo {
namespace {

void DrawPicture(const TLUM32& lum, const TLvkOptions& o, TDevice& dc) {
  TStandaloneScope standalone;
  const TRect rect{0, 0, kLvkPictureSize, kLvkPictureSize};
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
  const int side = std::max(1, std::min(deviceWidth, deviceHeight));
  dc.SaveDC();
  dc.SetMapMode(gdi::MM_ANISOTROPIC);
  dc.SetViewportExt(side, side);
  dc.SetViewportOrg((deviceWidth - side) / 2, (deviceHeight - side) / 2);
  DrawPicture(lum, options, dc);
  dc.RestoreDC(-1);
}

bool SaveLVKMetafile(const TLUM32& lum, const TLvkOptions& options, const std::string& fileName) {
  TxMetaFile mf;
  TDevice& dc = mf.BeginRecording();
  mf.width = kLvkPictureSize;
  mf.height = kLvkPictureSize;
  mf.unitsPerInch = 1000;
  DrawPicture(lum, options, dc);
  mf.EndRecording();
  return mf.SaveToFile(fileName);
}

}  // namespace kandelo
