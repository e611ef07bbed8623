#include "cli/eval_params.h"

#include <cstdio>
#include <vector>

#include "cli/cli_common.h"
#include "evaluation/evaluation_types.h"
#include "frame/settings.h"
#include "frame/strutil.h"
#include "graphics/output_settings.h"
#include "platform/text.h"

namespace kandelo::cli {
namespace {

bool ParseList(const std::string& text, std::size_t count, std::vector<double>& out) {
  out.clear();
  const std::string t = FromUtf8(text);
  for (int i = 1; i <= WordCount(t, ", "); ++i) {
    double v = 0;
    if (!ParseDouble(ExtractWord(i, t, ", "), v)) return false;
    out.push_back(v);
  }
  return out.size() == count;
}

// Keeps the message and refuses the options.
bool Refuse(std::string& message, const char* text) {
  message = text;
  return false;
}

}  // namespace

void AddEvalOptions(CLI::App& cmd, TEvalOptions& o) {
  cmd.add_option("--heights", o.heights, "Floor curves and luminaire count: three heights in m, e.g. 1.65,2.15,2.65");
  cmd.add_option("--height-preset", o.heightPreset, "Heights 0: 1.65/2.15/2.65, 1: 3.15/4.15/5.15, 2: 4.15/5.15/6.15 m");
  cmd.add_option("--illuminances", o.illuminances, "Luminaire count: three illuminances in lx, e.g. 20,50,100");
  cmd.add_option("--illuminance-preset", o.illuminancePreset, "Illuminances 0: 20/50/100, 1: 100/200/300, 2: 300/500/1000 lx");
  cmd.add_option("--area", o.areaSet, "Luminaire count: room-area set 0 ... 3 (default 0: 20 ... 100 m2)");
  cmd.add_option("--reflectances", o.reflectances, "Luminaire count: LiTG reflectance combination 0 ... 14 (default 0: 80/80/30)");
  o.maintenanceOption = cmd.add_option("--maintenance", o.maintenance, "Maintenance factor, above 0 up to 1 (default 0.8)");
  cmd.add_option("--section", o.section, "Floor curves: section ends in m, e.g. -2,6");
  cmd.add_option("--distance-preset", o.distancePreset, "Floor curves: section 0: -2 ... 6 m, 1: -4 ... 12 m");
  cmd.add_flag("--emergency", o.emergency, "Floor curves: emergency lighting scale (0.1 ... 100 lx)");
  cmd.add_option("--luminaires", o.luminaires, "Floor curves: luminaires in the row, 1 ... 100 (default 1)");
  cmd.add_option("--language", o.language, "Texts: ger, eng or fra (default: the configured language)");
}

bool ApplyEvalOptions(const TEvalOptions& o, TEvalPicture& p, std::string& message) {
  const TOutputSettings s = InitialOutputSettings();
  TFloorCurveParams& f = p.floor;
  TLuminaireCountParams& c = p.count;
  f.HeightPreset = s.FloorHeightPreset;
  f.Heights = s.FloorHeights;
  f.DistancePreset = s.FloorDistancePreset;
  f.Left = s.FloorSectionEnds[0];
  f.Right = s.FloorSectionEnds[1];
  f.Emergency = s.Emergency;
  f.Maintenance = s.FloorMaintenance;
  f.Count = s.FloorLuminaireCount;
  c.AreaSet = s.CountRoomAreaSet;
  c.Reflectances = s.CountReflectances;
  c.HeightPreset = s.CountHeightPreset;
  c.Heights = s.CountHeights;
  c.IlluminancePreset = s.CountIlluminancePreset;
  c.Illuminances = s.CountIlluminances;
  c.Maintenance = s.CountMaintenance;

  std::vector<double> v;
  if (o.heightPreset != -1) {
    if (o.heightPreset < 0 || o.heightPreset > 2) return Refuse(message, "--height-preset must be 0, 1 or 2");
    for (std::size_t i = 0; i < 3; ++i) f.Heights[i] = c.Heights[i] = kFloorHeightPresets[o.heightPreset][i];
    f.HeightPreset = c.HeightPreset = o.heightPreset;
  }
  if (!o.heights.empty()) {
    if (!ParseList(o.heights, 3, v)) return Refuse(message, "--heights needs three numbers, e.g. 1.65,2.15,2.65");
    for (std::size_t i = 0; i < 3; ++i) {
      if (!InRange(kHeightRange, v[i])) return Refuse(message, "--heights: each height must be above 0 and at most 100 m");
      f.Heights[i] = c.Heights[i] = static_cast<float>(v[i]);
    }
    f.HeightPreset = c.HeightPreset = 3;
  }
  if (o.illuminancePreset != -1) {
    if (o.illuminancePreset < 0 || o.illuminancePreset > 2) return Refuse(message, "--illuminance-preset must be 0, 1 or 2");
    for (std::size_t i = 0; i < 3; ++i) c.Illuminances[i] = kCountIlluminancePresets[o.illuminancePreset][i];
    c.IlluminancePreset = o.illuminancePreset;
  }
  if (!o.illuminances.empty()) {
    if (!ParseList(o.illuminances, 3, v)) return Refuse(message, "--illuminances needs three numbers, e.g. 20,50,100");
    for (std::size_t i = 0; i < 3; ++i) {
      if (!InRange(kIlluminanceRange, v[i]))
        return Refuse(message, "--illuminances: each illuminance must be a whole number from 1 to 65535 lx");
      c.Illuminances[i] = static_cast<std::uint16_t>(v[i]);
    }
    c.IlluminancePreset = 3;
  }
  if (o.areaSet < 0 || o.areaSet > 3) return Refuse(message, "--area must be a room-area set from 0 to 3");
  c.AreaSet = o.areaSet;
  if (o.reflectances < 0 || o.reflectances > 14) return Refuse(message, "--reflectances must be a combination from 0 to 14");
  c.Reflectances = o.reflectances;
  if (o.maintenanceOption && o.maintenanceOption->count() > 0) {
    if (!InRange(kMaintenanceRange, o.maintenance)) return Refuse(message, "--maintenance must be above 0 and at most 1");
    f.Maintenance = c.Maintenance = static_cast<float>(o.maintenance);
  }
  if (o.distancePreset != -1) {
    if (o.distancePreset < 0 || o.distancePreset > 1) return Refuse(message, "--distance-preset must be 0 or 1");
    f.Left = kFloorSectionPresets[o.distancePreset][0];
    f.Right = kFloorSectionPresets[o.distancePreset][1];
    f.DistancePreset = o.distancePreset;
  }
  if (!o.section.empty()) {
    if (!ParseList(o.section, 2, v)) return Refuse(message, "--section needs two numbers, e.g. -2,6");
    if (!(v[0] < v[1] && InRange(kSectionRange, v[0]) && InRange(kSectionRange, v[1])))
      return Refuse(message, "--section: the left end must lie below the right end, both within -1000 ... 1000 m");
    f.Left = static_cast<float>(v[0]);
    f.Right = static_cast<float>(v[1]);
    f.DistancePreset = 2;
  }
  if (o.luminaires < 1 || o.luminaires > 100) return Refuse(message, "--luminaires must be from 1 to 100");
  f.Count = o.luminaires;
  f.Emergency = o.emergency ? 1 : 0;
  return true;
}

bool LanguageFileFor(const std::string& language, std::string& path, std::string& message) {
  if (language.empty()) {
    path = Settings().OrvMsgFile.empty() ? LanguageFilePath("ORVMSG") : Settings().OrvMsgFile;
    return true;
  }
  const std::string l = platform::lower1252(language);
  if (l != "ger" && l != "eng" && l != "fra") return Refuse(message, "--language must be ger, eng or fra");
  std::string ext = l;
  for (char& ch : ext) ch = static_cast<char>(ch - 'a' + 'A');
  path = AddBackslash(Settings().LangDir) + "ORVMSG." + ext;
  return true;
}

int UsageError(const std::string& message) {
  std::fprintf(stderr, "kandelo-cli: %s\n", ToUtf8(message).c_str());
  return kUsage;
}

}  // namespace kandelo::cli
