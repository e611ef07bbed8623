#include "evaluation/evaluation_picture.h"

#include <algorithm>
#include <exception>

#include "evaluation/diagram_common.h"
#include "evaluation/glare_diagram.h"
#include "evaluation/quick_planning_diagram.h"
#include "evaluation/tm5.h"
#include "evaluation/ugr_diagram.h"
#include "evaluation/utilization_diagram.h"
#include "graphics/metafile.h"
#include "photometry/lum32.h"

namespace kandelo {
namespace {

struct TKindName {
  TEvalKind kind;
  const char* name;
};
const TKindName kKindNames[] = {
    {TEvalKind::UtfDin, "utf-din"}, {TEvalKind::UtfTm5, "utf-tm5"}, {TEvalKind::UtfNb, "utf-nb"},
    {TEvalKind::Ugr, "ugr"},        {TEvalKind::Glare, "glare"},     {TEvalKind::GlareTable, "glare-table"},
    {TEvalKind::Floor, "floor"},    {TEvalKind::Count, "count"},
};

void DrawPicture(const TLUM32& lum, const TEvalPicture& p, TDevice& dc) {
  TStandaloneScope standalone;
  const TSize size = EvalPictureSize(p.kind);
  const TRect rect{0, 0, size.cx, size.cy};
  const bool bold = p.boldHeading;
  const std::string& lang = p.languageFile;
  switch (p.kind) {
    case TEvalKind::UtfDin: DrawUtilizationDIN(lum, p.roomUtil, p.suspended, dc, rect, bold, lang, rect); break;
    case TEvalKind::UtfTm5: DrawUtilizationTM5(lum, dc, rect, bold, lang, rect); break;
    case TEvalKind::UtfNb: DrawUtilizationNB(lum, dc, rect, bold, lang, rect); break;
    case TEvalKind::Ugr: DrawUgrTable(lum, p.ugrValid ? &p.ugr : nullptr, dc, rect, bold, lang, false, rect); break;
    case TEvalKind::Glare: DrawGlareCurves(lum, dc, rect, bold, lang, false, rect); break;
    case TEvalKind::GlareTable: DrawGlareTable(lum, dc, rect, bold, lang, false, rect); break;
    case TEvalKind::Floor: DrawFloorCurves(lum, dc, rect, bold, lang, p.floor, p.floorResult, false, rect); break;
    case TEvalKind::Count: DrawLuminaireCount(lum, dc, rect, bold, lang, p.count, p.countResult, false, rect); break;
  }
}

}  // namespace

std::optional<TEvalKind> EvalKindFromName(const std::string& name) {
  for (const TKindName& k : kKindNames)
    if (name == k.name) return k.kind;
  return std::nullopt;
}

const char* EvalKindName(TEvalKind kind) {
  for (const TKindName& k : kKindNames)
    if (k.kind == kind) return k.name;
  return "";
}

bool PrepareEvaluation(TLUM32& lum, TEvalPicture& p, std::string* error) {
  try {
    switch (p.kind) {
      case TEvalKind::UtfDin:
      case TEvalKind::Count: {
        p.suspended = SuspendedMounting(lum, p.utilMode);
        if (auto e = CalcRoomUtilTable(lum, p.suspended, p.roomUtil)) {
          if (error) *error = *e;
          return false;
        }
        if (p.kind == TEvalKind::Count) ComputeLuminaireCount(p.count, p.countResult, lum, p.roomUtil);
        return true;
      }
      case TEvalKind::UtfTm5:
      case TEvalKind::UtfNb:
      case TEvalKind::Ugr: {
        TM5OBJ tm5;
        tm5.SetLuminaire(&lum);
        tm5.StoreCibse();
        tm5.StoreNb();
        if (p.kind != TEvalKind::Ugr) return true;
        NbRecord nb{};
        tm5.ExportNb(nb);
        std::string ugrError;
        p.ugrValid = ComputeUgr(lum, nb, &ugrError);
        if (p.ugrValid) p.ugr = UgrResults();
        if (!ugrError.empty()) {
          if (error) *error = ugrError;
          return false;
        }
        return true;
      }
      case TEvalKind::Glare:
      case TEvalKind::GlareTable: return true;
      case TEvalKind::Floor: ComputeFloorCurves(p.floor, p.floorResult, lum); return true;
    }
  } catch (const std::exception& e) {
    if (error) *error = e.what();
    return false;
  }
  return true;
}

TSize EvalPictureSize(TEvalKind kind) {
  // Wide enough that the standalone fonts (base 18) fit the rows of each layout.
  switch (kind) {
    case TEvalKind::UtfDin:
    case TEvalKind::UtfTm5:
    case TEvalKind::UtfNb:
    case TEvalKind::Count: return {5000, 3846};
    case TEvalKind::Ugr: return {5000, 5556};
    case TEvalKind::Glare:
    case TEvalKind::GlareTable:
    case TEvalKind::Floor: return {8000, 4262};
  }
  return {4000, 4000};
}

void DrawEvaluationStandalone(const TLUM32& lum, const TEvalPicture& picture, TDevice& dc, int deviceWidth,
                              int deviceHeight) {
  const TSize size = EvalPictureSize(picture.kind);
  const double aspect = static_cast<double>(size.cx) / size.cy;
  // A margin of two device units keeps the outline of the box inside.
  const int margin = std::min(2, std::min(deviceWidth, deviceHeight) / 8);
  const int areaW = deviceWidth - 2 * margin, areaH = deviceHeight - 2 * margin;
  int w = std::max(1, areaW), h = std::max(1, RoundEven(w / aspect));
  if (h > areaH) {
    h = std::max(1, areaH);
    w = std::max(1, RoundEven(h * aspect));
  }
  dc.SaveDC();
  dc.SetMapMode(gdi::MM_ANISOTROPIC);
  dc.SetViewportExt(w, h);
  dc.SetViewportOrg((deviceWidth - w) / 2, (deviceHeight - h) / 2);
  DrawPicture(lum, picture, dc);
  dc.RestoreDC(-1);
}

bool SaveEvaluationMetafile(const TLUM32& lum, const TEvalPicture& picture, const std::string& fileName,
                            platform::WriteError* why) {
  TxMetaFile mf;
  TDevice& dc = mf.BeginRecording();
  const TSize size = EvalPictureSize(picture.kind);
  mf.width = size.cx;
  mf.height = size.cy;
  mf.unitsPerInch = 1000;
  DrawPicture(lum, picture, dc);
  mf.EndRecording();
  return mf.SaveToFile(fileName, why);
}

}  // namespace kandelo
