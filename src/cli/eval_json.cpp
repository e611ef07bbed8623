#include "cli/eval_json.h"

#include <cmath>

#include "evaluation/glare.h"
#include "evaluation/quick_planning.h"
#include "graphics/output_settings.h"
#include "photometry/lum32.h"

namespace kandelo::cli {
namespace {

using json = nlohmann::ordered_json;

// Rounded, and null for what is not a number.
json Num(double v, int decimals) {
  if (!std::isfinite(v)) return nullptr;
  const double f = std::pow(10.0, decimals);
  return std::round(v * f) / f;
}

json Profile(const TLuminanceProfile& p) {
  json a = json::array();
  for (int n = 1; n <= kProfileSteps; ++n) a.push_back(Num(p[std::size_t(n)], 2));
  return a;
}

}  // namespace

void AddGlareFloorCountJson(json& out, const TLUM32& lum, const RoomUtilTableT& roomUtil) {
  const double flux = std::isfinite(lum.LampSets[0].SetFlux) ? lum.LampSets[0].SetFlux : 0.0;

  json glare;
  const TGlareFamilies families = GlareFamilies(lum);
  glare["sided"] = {{"c0", families.sidedC0}, {"c90", families.sidedC90}};
  glare["profiles"] = {{"c0", Profile(LuminanceProfile(lum, 0, flux))}, {"c90", Profile(LuminanceProfile(lum, 90, flux))}};
  json curves = json::array();
  for (int family = 0; family < 2; ++family) {
    const bool sided = family == 1;
    if (sided ? !families.sided : !families.plain) continue;
    for (int k = 1; k <= 9; ++k) {
      const TLimitCurve c = LimitCurve(k);
      if (c.row < 0) continue;
      curves.push_back({{"class", kGlareClassTable[c.row].cls},
                        {"illuminance", c.illuminance},
                        {"sided", sided},
                        {"l45", Num(LimitLuminance(45, sided, c.g, c.evaluated), 1)},
                        {"l75", Num(LimitLuminance(75, sided, c.g, c.evaluated), 1)}});
    }
  }
  glare["limit_curves"] = curves;
  out["glare"] = glare;

  const TOutputSettings s = InitialOutputSettings();
  TFloorCurveParams fp;
  fp.Heights = s.FloorHeights;
  fp.Left = s.FloorSectionEnds[0];
  fp.Right = s.FloorSectionEnds[1];
  fp.Emergency = s.Emergency;
  fp.Maintenance = s.FloorMaintenance;
  fp.Count = s.FloorLuminaireCount;
  TFloorCurveResult fr{};
  ComputeFloorCurves(fp, fr, lum);
  const TFloorScale scale = FloorScale(fp);
  json floor;
  floor["heights"] = {Num(fp.Heights[0], 2), Num(fp.Heights[1], 2), Num(fp.Heights[2], 2)};
  floor["section"] = {Num(fp.Left, 3), Num(fp.Right, 3)};
  floor["maintenance"] = Num(fp.Maintenance, 2);
  floor["luminaires"] = fp.Count;
  floor["maximum"] = Num(fp.Maximum, 3);
  floor["scale"] = {scale.low, scale.high};
  json floorCurves = json::array();
  for (std::size_t j = 0; j < 3; ++j) {
    json points = json::array();
    double maximum = 0;
    for (int k = 0; k < kFloorPoints; ++k) {
      const double e = fr[j][std::size_t(k)];
      maximum = std::max(maximum, e);
      points.push_back({Num(FloorSectionPoint(fp, k), 3), Num(e, 3)});
    }
    floorCurves.push_back({{"height", Num(fp.Heights[j], 2)}, {"maximum", Num(maximum, 3)}, {"points", points}});
  }
  floor["curves"] = floorCurves;
  out["floor_curves"] = floor;

  TLuminaireCountParams cp;
  cp.AreaSet = s.CountRoomAreaSet;
  cp.Reflectances = s.CountReflectances;
  cp.Heights = s.CountHeights;
  cp.Illuminances = s.CountIlluminances;
  cp.Maintenance = s.CountMaintenance;
  TLuminaireCountResult cr{};
  ComputeLuminaireCount(cp, cr, lum, roomUtil);
  json count;
  count["area_set"] = cp.AreaSet;
  count["reflectances"] = cp.Reflectances;
  count["maintenance"] = Num(cp.Maintenance, 2);
  json rows = json::array();
  for (std::size_t e = 0; e < 3; ++e)
    for (std::size_t h = 0; h < 3; ++h) {
      json rooms = json::array();
      for (std::size_t a = 0; a < 8; ++a) {
        const double area = kRoomAreaSets[cp.AreaSet][a];
        const double n = cr[h][e][a];
        rooms.push_back({{"area", area},
                         {"room_index", Num(RoomIndexFor(area, cp.Heights[h]), 3)},
                         {"eta_r", Num(RoomUtilization(cp, roomUtil, area, cp.Heights[h]), 4)},
                         {"count", n < 0 ? json(nullptr) : Num(n, 4)},
                         {"shown", n < 0 ? json(nullptr) : json(ShownCount(n))}});
      }
      rows.push_back({{"illuminance", cp.Illuminances[e]}, {"height", Num(cp.Heights[h], 2)}, {"rooms", rooms}});
    }
  count["rows"] = rows;
  out["luminaire_count"] = count;
}

}  // namespace kandelo::cli
