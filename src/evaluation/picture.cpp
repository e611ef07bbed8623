#include "evaluation/picture.h"

#include <algorithm>

#include "evaluation/diagram_common.h"
#include "graphics/metafile.h"

namespace kandelo {

void DrawPictureCentred(TDevice& dc, int deviceWidth, int deviceHeight, const TPictureFunction& draw) {
  const int side = std::max(1, std::min(deviceWidth, deviceHeight));
  dc.SaveDC();
  dc.SetMapMode(gdi::MM_ANISOTROPIC);
  dc.SetViewportExt(side, side);
  dc.SetViewportOrg((deviceWidth - side) / 2, (deviceHeight - side) / 2);
  {
    TStandaloneScope standalone;
    draw(dc, TRect{0, 0, kPictureSize, kPictureSize});
  }
  dc.RestoreDC(-1);
}

bool SavePictureMetafile(const std::string& fileName, const TPictureFunction& draw, platform::WriteError* why) {
  TxMetaFile mf;
  TDevice& dc = mf.BeginRecording();
  mf.width = kPictureSize;
  mf.height = kPictureSize;
  mf.unitsPerInch = 1000;
  {
    TStandaloneScope standalone;
    draw(dc, TRect{0, 0, kPictureSize, kPictureSize});
  }
  mf.EndRecording();
  return mf.SaveToFile(fileName, why);
}

}  // namespace kandelo
