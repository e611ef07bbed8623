// The datasheet as one print job: the page plan, the computations the pages
// draw from, and the pages in print order.
#include "datasheet/datasheet.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include "database/catalogue_record.h"
#include "evaluation/atf.h"
#include "evaluation/cone.h"
#include "evaluation/glare_diagram.h"
#include "evaluation/isolux.h"
#include "evaluation/isolux_diagram.h"
#include "evaluation/litg.h"
#include "evaluation/photometric_summary.h"
#include "evaluation/quick_planning.h"
#include "evaluation/quick_planning_diagram.h"
#include "evaluation/tm5.h"
#include "evaluation/ugr.h"
#include "evaluation/ugr_diagram.h"
#include "evaluation/utilization_diagram.h"
#include "frame/msgmanager.h"
#include "frame/settings.h"
#include "frame/strutil.h"
#include "photometry/lum32.h"
#include "platform/text.h"

namespace kandelo {

const std::array<int, kOutputTypeCount> kDatasheetOrder = {otMain, otPolar, otKart, otCone, otSrt, otBbk, otTable,
                                                           otGlUgr, otGlDin, otRtDin, otRtTm5, otRtNb, otIso};

TDatasheetOptions DatasheetOptionsFromSettings() {
  const TProgramSettings& s = Settings();
  TDatasheetOptions o;
  o.boldHeading = s.BoldFont;
  o.showEta = s.ShowLor;
  o.utilMode = s.UtilMode;
  o.userName = s.UserName;
  o.userAddr = s.UserAddr;
  o.userLogo = s.UserLogo;
  o.languageFile = s.OrvMsgFile;
  return o;
}

std::vector<TDatasheetPage> PlanDatasheet(const TLUM32& lum, const TOutputSettings& settings, bool luminance) {
  std::vector<TDatasheetPage> pages;
  const TPlaneList empty;
  const TPlaneList& planes = settings.Planes ? *settings.Planes : empty;
  const int perPage = kPlanesPerDiagram * kDiagramsPerPage;
  for (int kind : kDatasheetOrder) {
    if (!settings.Has(kind)) continue;
    switch (kind) {
      case otPolar:
      case otKart:
        for (std::size_t first = 0; first < planes.size(); first += perPage) {
          TDatasheetPage p{kind};
          p.firstPlane = static_cast<int>(first);
          p.planeCount = static_cast<int>(std::min<std::size_t>(perPage, planes.size() - first));
          pages.push_back(p);
        }
        break;
      case otTable:
        // γ blocks outside, plane blocks inside.
        for (int g = 1; g <= lum.GammaCount; g += kTableGammas)
          for (int c = 1; c <= lum.CPlaneCount; c += kTablePlanes) {
            TDatasheetPage p{kind};
            p.firstPlane = c;
            p.firstGamma = g;
            pages.push_back(p);
          }
        break;
      case otGlUgr:
      case otGlDin:
        if (luminance) pages.push_back({kind});
        break;
      default: pages.push_back({kind}); break;
    }
  }
  return pages;
}

namespace {

// Everything the pages draw from, computed once per job.
struct TDatasheetData {
  RoomUtilTableT roomUtil{};
  bool suspended = false;
  bool ugrValid = false;
  UgrResultSet ugr;
  TMainPageFacts facts;
  TConeRecord cone;
  TLuminaireCountParams count;
  TLuminaireCountResult countResult{};
  TFloorCurveParams floor;
  TFloorCurveResult floorResult{};
  TIsoluxRecord isolux;
};

std::uint16_t AreaValue(const TCatalogueRecord& rec, std::size_t offset) {
  return static_cast<std::uint16_t>(std::max<std::int16_t>(0, rec.GetI16(offset)));
}

// The luminous area of the catalogue entry replaces the file's.
void TakeRecordArea(TLUM32& lum, const TCatalogueRecord& rec) {
  lum.LumAreaHeight[0] = AreaValue(rec, catoff::AreaHeight);
  if (rec.GetI16(catoff::AreaWidth) != 0) {
    lum.LumAreaLength = AreaValue(rec, catoff::AreaLength);
    lum.LumAreaWidth = AreaValue(rec, catoff::AreaWidth);
  } else {
    lum.LumAreaDiameter = AreaValue(rec, catoff::AreaLength);
  }
}

// After the flux, TM5 and UGR computations.
void FillMainPageFacts(const TLUM32& lum, const UgrResultSet* ugr, TMainPageFacts& f) {
  const LampTotals lamps = SumLampSets(lum);
  f.lampFlux = lamps.flux;
  f.power = lamps.watt;
  // The intensities are per 1000 lm of lamp flux: the light output ratio
  // turns the lamps' flux into the luminaire's.
  if (f.lampFlux > 0 && std::isfinite(lum.LOR) && lum.LOR > 0) f.luminaireFlux = f.lampFlux * lum.LOR / 100.0;
  f.beamC0 = BeamAngle(lum, 0);
  f.beamC90 = BeamAngle(lum, 90);
  f.shrNominal = lum.DistributionKind == 1 ? 0.0 : lum.ShrNom;
  f.ugrValid = ugr != nullptr;
  if (ugr) {
    const UgrStandardRoom room = StandardRoomUgr(lum, *ugr);
    f.ugrCrosswise = room.crosswise;
    f.ugrEndwise = room.endwise;
  }
}

// False with the error text when a computation the pages need failed.
bool Prepare(TLUM32& lum, const TCatalogueRecord* record, const TOutputSettings& s, const TDatasheetOptions& o,
             bool& luminance, TDatasheetData& d, std::string& error) {
  try {
    lum.CalcFlux();
    lum.FindMaxIntensity();
    TM5OBJ tm5;
    tm5.SetLuminaire(&lum);
    tm5.StoreCibse();
    tm5.StoreNb();
    NbRecord nb{};
    tm5.ExportNb(nb);
    d.suspended = SuspendedMounting(lum, o.utilMode);
    // A luminaire the LiTG tables do not cover keeps the factors computed so far.
    (void)CalcRoomUtilTable(lum, d.suspended, d.roomUtil);
    ClassifyLuminaire(lum);
    lum.CalcCieFluxCode();
    if (record) TakeRecordArea(lum, *record);
    luminance = lum.LuminanceAvailable();
    if (luminance && (s.Has(otGlUgr) || s.Has(otMain))) {
      std::string ugrError;
      d.ugrValid = ComputeUgr(lum, nb, &ugrError);
      if (d.ugrValid) d.ugr = UgrResults();
    }
    ComputeUteClass(lum, d.facts.ute, LanguageDecimalSeparator(o.languageFile));
    FillMainPageFacts(lum, d.ugrValid ? &d.ugr : nullptr, d.facts);

    const float setFlux = lum.LampSetCount > 0 ? lum.LampSets[0].SetFlux : 0.0f;
    d.cone = MakeConeRecord(lum, s.ConeDistanceSet, setFlux);

    d.count.AreaSet = s.CountRoomAreaSet;
    d.count.Reflectances = s.CountReflectances;
    d.count.HeightPreset = s.CountHeightPreset;
    d.count.Heights = s.CountHeights;
    d.count.IlluminancePreset = s.CountIlluminancePreset;
    d.count.Illuminances = s.CountIlluminances;
    d.count.Maintenance = s.CountMaintenance;
    if (s.Has(otSrt)) ComputeLuminaireCount(d.count, d.countResult, lum, d.roomUtil);
    d.floor.HeightPreset = s.FloorHeightPreset;
    d.floor.Heights = s.FloorHeights;
    d.floor.DistancePreset = s.FloorDistancePreset;
    d.floor.Left = s.FloorSectionEnds[0];
    d.floor.Right = s.FloorSectionEnds[1];
    d.floor.Emergency = s.Emergency;
    d.floor.Maintenance = s.FloorMaintenance;
    d.floor.Count = s.FloorLuminaireCount;
    if (s.Has(otBbk)) ComputeFloorCurves(d.floor, d.floorResult, lum);

    d.isolux.side = s.IsoSide;
    d.isolux.height = s.IsoHeight;
    d.isolux.spare = s.IsoKValue;
    d.isolux.flux = std::lround(s.IsoFlux) != 0 ? s.IsoFlux : setFlux;
  } catch (const std::exception& e) {
    error = e.what();
    return false;
  }
  return true;
}

// The title of a page kind; the luminaire count adds its reflectances.
std::string PageTitle(int kind, const TMsgManager& msg, const TOutputSettings& s) {
  std::string title = msg.GetText("OUTTXT", kOutputTitleKeys[static_cast<std::size_t>(kind)]);
  if (kind == otSrt) {
    const int* r = kLitgReflectances[std::clamp<int>(s.CountReflectances, 0, 14)];
    title += " " + std::to_string(r[0]) + "/" + std::to_string(r[2]) + "/" + std::to_string(r[3]) + ")";
  }
  return title;
}

void DrawBody(TLUM32& lum, const TDatasheetPage& page, TDevice& dc, const TRect& body, const TMsgManager& msg,
              const TOutputSettings& s, const TDatasheetOptions& o, const TDatasheetData& d) {
  const bool bold = o.boldHeading;
  const std::string& lang = o.languageFile;
  const int H = body.bottom - body.top;
  const TRect upper{body.left + 10, body.top + static_cast<int>(std::lround(0.1 * H)), body.right - 10,
                    body.top + static_cast<int>(std::lround(0.1 * H)) + static_cast<int>(std::lround(0.45 * H))};
  switch (page.kind) {
    case otMain: DrawMainPage(lum, dc, body, msg, d.facts, o); break;
    case otPolar:
    case otKart: {
      const TPlaneList& all = *s.Planes;
      const std::vector<float> planes(all.begin() + page.firstPlane,
                                      all.begin() + page.firstPlane + page.planeCount);
      DrawDiagramPage(lum, dc, body, planes, page.kind == otPolar, o);
      break;
    }
    case otTable:
      DrawTablePage(lum, dc, body, page.firstPlane, page.firstGamma, LanguageDecimalSeparator(o.languageFile));
      break;
    case otGlUgr: DrawUgrTable(lum, d.ugrValid ? &d.ugr : nullptr, dc, body, bold, lang, true, body); break;
    case otGlDin: {
      DrawGlareCurves(lum, dc, upper, bold, lang, true, body);
      // The table takes the rest of the body: 0.05 H below the curves, 0.4 H high.
      const int tableTop = upper.bottom + static_cast<int>(std::lround(0.05 * H));
      const TRect table{body.left + 10, tableTop, body.right - 10, tableTop + static_cast<int>(std::lround(0.4 * H))};
      DrawGlareTable(lum, dc, table, bold, lang, true, body);
      break;
    }
    case otRtDin: DrawUtilizationDIN(lum, d.roomUtil, d.suspended, dc, body, bold, lang, body); break;
    case otRtTm5: DrawUtilizationTM5(lum, dc, body, bold, lang, body); break;
    case otRtNb: DrawUtilizationNB(lum, dc, body, bold, lang, body); break;
    case otIso: DrawIsolux(lum, dc, body, bold, lang, d.isolux, true, body); break;
    case otCone: DrawCone(lum, dc, body, lang, d.cone, body); break;
    case otSrt: DrawLuminaireCount(lum, dc, body, bold, lang, d.count, d.countResult, false, body); break;
    case otBbk: DrawFloorCurves(lum, dc, upper, bold, lang, d.floor, d.floorResult, false, body); break;
    default: break;
  }
}

}  // namespace

TDatasheetResult PrintDatasheet(TLUM32& lum, const TCatalogueRecord* record, const TOutputSettings& settings,
                                const TMsgManager& msg, TPageJob& job, const TDatasheetOptions& options) {
  TDatasheetResult result;
  if (!lum.Valid || !lum.TableUsable()) {
    result.status = TDatasheetStatus::NoData;
    return result;
  }
  bool luminance = false;
  TDatasheetData data;
  if (!Prepare(lum, record, settings, options, luminance, data, result.error)) {
    result.status = TDatasheetStatus::Failed;
    return result;
  }
  const std::vector<TDatasheetPage> pages = PlanDatasheet(lum, settings, luminance);
  if (pages.empty()) {
    result.status = TDatasheetStatus::NoPages;
    return result;
  }
  TDocumentInfo info;
  info.title = platform::cp1252ToUtf8(TrimBlanks(TrimBlanks(lum.LumName) + " " + TrimBlanks(lum.LumNumber)));
  info.author = platform::cp1252ToUtf8(options.userName);
  info.subject = platform::cp1252ToUtf8(msg.GetText("OUTTXT", "HDMAIN"));
  job.SetDocumentInfo(info);
  if (!job.Begin()) {
    result.status = TDatasheetStatus::JobFailed;
    return result;
  }
  const int total = static_cast<int>(pages.size());
  try {
    for (int n = 1; n <= total; ++n) {
      const TDatasheetPage& page = pages[static_cast<std::size_t>(n - 1)];
      if (n > 1 && !job.NewPage()) {
        job.Abort();
        result.status = TDatasheetStatus::JobFailed;
        return result;
      }
      TRect body = job.BeginTwipsPage();
      // A logo that cannot be read leaves its corner empty; the page stands without it.
      if (!options.userLogo.empty())
        (void)job.DrawImageFile(LogoBox(body), platform::cp1252ToUtf8(options.userLogo));
      DrawPageFrame(job.Device(), body, n, total, msg, lum, PageTitle(page.kind, msg, settings), options);
      DrawBody(lum, page, job.Device(), body, msg, settings, options, data);
      job.EndTwipsPage();
    }
  } catch (const std::exception& e) {
    job.Abort();
    result.status = TDatasheetStatus::Failed;
    result.error = e.what();
    return result;
  }
  if (!job.End()) {
    result.status = TDatasheetStatus::JobFailed;
    return result;
  }
  result.status = TDatasheetStatus::Printed;
  result.pages = total;
  return result;
}

}  // namespace kandelo
