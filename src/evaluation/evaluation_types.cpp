#include "evaluation/evaluation_types.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include "evaluation/cartesian_diagram.h"
#include "evaluation/diagram_common.h"
#include "evaluation/glare_diagram.h"
#include "evaluation/intensity_diagram.h"
#include "evaluation/isolux_diagram.h"
#include "evaluation/polar_diagram.h"
#include "evaluation/quick_planning_diagram.h"
#include "evaluation/tm5.h"
#include "evaluation/ugr_diagram.h"
#include "evaluation/utilization_diagram.h"
#include "frame/settings.h"
#include "frame/strutil.h"
#include "graphics/metafile.h"
#include "photometry/lum32.h"

namespace kandelo {
namespace {

struct TTypeName {
  TEvaluationType type;
  const char* name;
};
const TTypeName kTypeNames[] = {
    {etPolar, "polar"},        {etCartesian, "cartesian"},      {etUgr, "ugr"},        {etGlareCurves, "glare"},
    {etGlareTable, "glare-table"}, {etUtfDin, "utf-din"},       {etUtfTm5, "utf-tm5"}, {etUtfNb, "utf-nb"},
    {etIsolux, "isolux"},      {etCone, "cone"},                {etCount, "count"},    {etFloor, "floor"},
};

float FirstSetFlux(const TLUM32& lum) {
  return lum.LampSetCount > 0 && lum.LampSets[0].SetFlux > 0 ? lum.LampSets[0].SetFlux : 1000.0f;
}

}  // namespace

const std::vector<TEvaluationType>& EvaluationTypes() {
  static const std::vector<TEvaluationType> types = [] {
    std::vector<TEvaluationType> t;
    for (const TTypeName& n : kTypeNames) t.push_back(n.type);
    return t;
  }();
  return types;
}

const char* EvaluationTypeName(TEvaluationType type) {
  for (const TTypeName& n : kTypeNames)
    if (n.type == type) return n.name;
  return "";
}

std::optional<TEvaluationType> EvaluationTypeFromName(const std::string& name) {
  for (const TTypeName& n : kTypeNames)
    if (name == n.name) return n.type;
  return std::nullopt;
}

bool NeedsLuminance(TEvaluationType type) {
  return type == etUgr || type == etGlareCurves || type == etGlareTable;
}

void InitEvaluationSet(const TLUM32& lum, const TProgramSettings& settings, const std::string& languageFile,
                       TEvaluationSet& set) {
  set.planes = DefaultPlaneList(lum);
  set.gammaMax = lum.GammaEnd;
  set.showEta = settings.ShowLor;
  set.tables.languageFile = languageFile;
  set.tables.boldHeading = settings.BoldFont;
  set.tables.utilMode = settings.UtilMode;
  set.tables.floor = TFloorCurveParams{};
  set.tables.count = TLuminaireCountParams{};
  set.isolux = TIsoluxRecord{};
  set.isolux.side = 10;
  set.isolux.height = 5;
  set.isolux.flux = FirstSetFlux(lum);
  set.isolux.factor = 1;
  set.cone = MakeConeRecord(lum, 0, FirstSetFlux(lum));
  set.usable = lum.Valid != 0 && lum.TableUsable();
}

bool ComputeEvaluationSet(TLUM32& lum, TEvaluationSet& set, std::string* error) {
  set.usable = lum.Valid != 0 && lum.TableUsable();
  set.luminance = false;
  if (!set.usable) return true;
  std::string first;
  auto keep = [&](const std::string& e) {
    if (first.empty()) first = e;
  };
  try {
    if (!lum.FluxValid) lum.CalcFlux();
    lum.FindMaxIntensity();
    set.luminance = lum.LuminanceAvailable();
    // UGR reads the NB record; without luminances it only needs the CIBSE and NB bytes.
    TEvalPicture& t = set.tables;
    t.kind = set.luminance ? TEvalKind::Ugr : TEvalKind::UtfNb;
    std::string e;
    if (!PrepareEvaluation(lum, t, &e)) keep(e);
    if (!set.luminance) t.ugrValid = false;
    // The room utilization and the count, then the floor curves.
    t.kind = TEvalKind::Count;
    if (!PrepareEvaluation(lum, t, &e)) keep(e);
    t.kind = TEvalKind::Floor;
    if (!PrepareEvaluation(lum, t, &e)) keep(e);
  } catch (const std::exception& ex) {
    keep(ex.what());
  }
  if (error) *error = first;
  return first.empty();
}

void DrawEvaluationType(const TLUM32& lum, const TEvaluationSet& set, TEvaluationType type, TDevice& dc,
                        const TRect& rect, bool bold) {
  if (!set.usable) return;
  const std::string& lang = set.tables.languageFile;
  const TEvalPicture& t = set.tables;
  if (NeedsLuminance(type) && !set.luminance) {
    if (DiagramState().standalone) {
      dc.SetMapMode(gdi::MM_ANISOTROPIC);
      dc.SetWindowExt(std::max(1, rect.right), std::max(1, rect.bottom));
    }
    // The window's own font would be a fraction of a pixel in the drawing's
    // twips: the note gets a font of its own that stays readable.
    LogFont lf;
    lf.height = -std::max(200, (rect.bottom - rect.top) / 25);
    lf.faceName = "Arial";
    const HGdiObj font = dc.CreateFont(lf);
    const HGdiObj old = dc.SelectObject(font);
    dc.TextOut(100, 400, "no glare rating possible");
    dc.SelectObject(old);
    dc.DeleteObject(font);
    return;
  }
  switch (type) {
    case etPolar: DrawLVKPolar(lum, &set.planes, dc, bold, lang, set.showEta, false, rect, rect); break;
    case etCartesian: DrawLVKCartesian(lum, &set.planes, dc, lang, set.gammaMax, rect, rect); break;
    case etUgr: DrawUgrTable(lum, t.ugrValid ? &t.ugr : nullptr, dc, rect, bold, lang, false, rect); break;
    case etGlareCurves: DrawGlareCurves(lum, dc, rect, bold, lang, false, rect); break;
    case etGlareTable: DrawGlareTable(lum, dc, rect, bold, lang, false, rect); break;
    case etUtfDin: DrawUtilizationDIN(lum, t.roomUtil, t.suspended, dc, rect, bold, lang, rect); break;
    case etUtfTm5: DrawUtilizationTM5(lum, dc, rect, bold, lang, rect); break;
    case etUtfNb: DrawUtilizationNB(lum, dc, rect, bold, lang, rect); break;
    case etIsolux: DrawIsolux(lum, dc, rect, bold, lang, set.isolux, false, rect); break;
    case etCone: DrawCone(lum, dc, rect, lang, set.cone, rect); break;
    case etCount: DrawLuminaireCount(lum, dc, rect, bold, lang, t.count, t.countResult, false, rect); break;
    case etFloor: DrawFloorCurves(lum, dc, rect, bold, lang, t.floor, t.floorResult, false, rect); break;
  }
}

TSize EvaluationPictureSize(TEvaluationType type) {
  switch (type) {
    case etUgr: return {6500, 5851};
    case etUtfDin:
    case etUtfTm5:
    case etUtfNb:
    case etCount: return {5201, 4000};
    case etGlareCurves:
    case etGlareTable:
    case etFloor: return {7509, 4000};
    default: return {4000, 4000};
  }
}

void DrawEvaluationPicture(const TLUM32& lum, const TEvaluationSet& set, TEvaluationType type, TDevice& dc,
                           bool boldHeading) {
  const TSize size = EvaluationPictureSize(type);
  TStandaloneScope standalone;
  DrawEvaluationType(lum, set, type, dc, TRect{0, 0, size.cx, size.cy}, boldHeading);
}

void DrawEvaluationPictureCentred(const TLUM32& lum, const TEvaluationSet& set, TEvaluationType type, TDevice& dc,
                                  int deviceWidth, int deviceHeight, bool boldHeading) {
  const TSize size = EvaluationPictureSize(type);
  const double aspect = static_cast<double>(size.cx) / size.cy;
  int w = std::max(1, deviceWidth), h = std::max(1, static_cast<int>(std::lround(w / aspect)));
  if (h > deviceHeight) {
    h = std::max(1, deviceHeight);
    w = std::max(1, static_cast<int>(std::lround(h * aspect)));
  }
  dc.SaveDC();
  dc.SetMapMode(gdi::MM_ANISOTROPIC);
  dc.SetViewportExt(w, h);
  dc.SetViewportOrg((deviceWidth - w) / 2, (deviceHeight - h) / 2);
  DrawEvaluationPicture(lum, set, type, dc, boldHeading);
  dc.RestoreDC(-1);
}

bool SaveEvaluationTypeMetafile(const TLUM32& lum, const TEvaluationSet& set, TEvaluationType type,
                                const std::string& fileName, bool boldHeading) {
  TxMetaFile mf;
  TDevice& dc = mf.BeginRecording();
  const TSize size = EvaluationPictureSize(type);
  mf.width = size.cx;
  mf.height = size.cy;
  mf.unitsPerInch = 1000;
  DrawEvaluationPicture(lum, set, type, dc, boldHeading);
  mf.EndRecording();
  return mf.SaveToFile(fileName);
}

const std::string& ExportDirectoryOf(const TProgramSettings& s, TEvaluationType type) {
  switch (type) {
    case etPolar: return s.PolarDir;
    case etCartesian: return s.CartesianDir;
    case etIsolux: return s.IsolineDir;
    case etGlareCurves: return s.SoellnerDir;
    case etGlareTable: return s.LumTableDir;
    case etUgr: return s.GlareUgrDir;
    case etUtfDin: return s.UtfDinDir;
    case etUtfTm5: return s.UtfTm5Dir;
    case etUtfNb: return s.UtfNbDir;
    case etCone: return s.ConeDiagDir;
    case etCount: return s.LNumTabDir;
    case etFloor: return s.EDistrDir;
  }
  return s.GrafDir;
}

bool InRange(const TValueRange& r, double v) {
  if (!std::isfinite(v)) return false;
  if (r.lowExclusive ? v <= r.low : v < r.low) return false;
  if (v > r.high) return false;
  return !r.whole || v == std::floor(v);
}

std::optional<double> ParseUserValue(const std::string& text, const TValueRange& range) {
  double v = 0;
  if (!ParseDouble(text, v) || !InRange(range, v)) return std::nullopt;
  return v;
}

}  // namespace kandelo
