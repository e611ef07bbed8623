#include "cli/cone_isolux.h"

#include <cmath>
#include <cstdlib>
#include <memory>

#include "cli/cli_common.h"
#include "cli/eval_params.h"
#include "cli/image_output.h"
#include "evaluation/cone.h"
#include "evaluation/evaluation_types.h"
#include "evaluation/isolux.h"
#include "evaluation/isolux_diagram.h"
#include "evaluation/picture.h"
#include "shell/msgbox.h"
#include "frame/settings.h"
#include "frame/startup.h"
#include "frame/strutil.h"
#include "photometry/format_io.h"
#include "platform/text.h"


namespace kandelo::cli {
namespace {

double Round(double v, int decimals) {
  const double f = std::pow(10.0, decimals);
  return std::round(v * f) / f;
}

// "7.5", "7,5", "7,5 m" → the set's index; −1 when no set has that largest distance.
int ParseDistanceSet(const std::string& text) {
  if (text.empty()) return 5;
  std::string t = TrimBlanks(FromUtf8(text));
  if (t.size() > 1 && (t.back() == 'm' || t.back() == 'M')) t = TrimBlanks(t.substr(0, t.size() - 1));
  double v = 0;
  if (!ParseDouble(t, v)) return -1;
  return FindDistanceSet(v);
}

bool CheckOptions(const ConeIsoluxOptions& o, std::string& error) {
  if (ParseDistanceSet(o.distances) < 0) {
    error = "bad distance set: " + FromUtf8(o.distances) + " (2, 3, 4, 5, 7.5, 10, 15, 20, 30, 40, 50, 75 or 100)";
    return false;
  }
  if (!InRange(kFluxFactorRange, o.fluxFactor)) {
    error = "the flux factor must lie between 0 and 1000";
    return false;
  }
  auto length = [](double v) { return InRange(kIsoluxLengthRange, v); };
  if (!length(o.side) || !length(o.height)) {
    error = "the isolux side and height must lie between 0.01 m and 10000 m";
    return false;
  }
  return true;
}

double LampFlux(const TLUM32& lum, const ConeIsoluxOptions& o) { return LampFluxOf(lum) * o.fluxFactor; }

TIsoluxRecord IsoluxRecordFor(const TLUM32& lum, const ConeIsoluxOptions& o) {
  TIsoluxRecord rec;
  rec.side = static_cast<float>(o.side);
  rec.height = static_cast<float>(o.height);
  rec.flux = static_cast<float>(LampFlux(lum, o));
  rec.factor = static_cast<float>(o.fluxFactor);
  return rec;
}

}  // namespace

bool IsConeOrIsolux(const std::string& kind) { return kind == "cone" || kind == "isolux"; }

int DrawConeOrIsolux(const std::string& file, const std::string& kind, const ConeIsoluxOptions& o, int width,
                     int height, const std::string& output) {
  std::string error;
  if (!CheckOptions(o, error)) return Fail(error);
  const std::string ext = platform::lower1252(ExtractFileExt(output));
  if (ext != ".png" && ext != ".svg" && ext != ".pdf" && ext != ".wmf")
    return Fail("the output must end in .png, .svg, .pdf or .wmf");
  LoadSettings();
  InstallLanguageFiles();  // the headings come from the message catalogue
  std::string languageFile;
  if (!LanguageFileFor(o.language, languageFile, error)) return UsageError(error);

  TLUM32 lum;
  const LoadResult loaded = LoadLuminaire(FromUtf8(file), lum);
  ShowDiagnostics(loaded.messages);
  if (!loaded.ok()) return Fail("cannot read " + FromUtf8(file));
  const bool bold = Settings().BoldFont;
  const TConeRecord cone = MakeConeRecord(lum, ParseDistanceSet(o.distances), LampFlux(lum, o));
  const TIsoluxRecord iso = IsoluxRecordFor(lum, o);
  const TPictureFunction picture = [&](TDevice& dc, const TRect& rect) {
    if (kind == "cone")
      DrawCone(lum, dc, rect, languageFile, cone, rect);
    else
      DrawIsolux(lum, dc, rect, bold, languageFile, iso, false, rect);
  };

  if (ext == ".wmf") {
    if (!SavePictureMetafile(FromUtf8(output), picture)) return Fail("cannot write " + FromUtf8(output));
    return kOk;
  }
  return WriteImage(output, ext, width, height,
                    [&](TDevice& dc, int w, int h) { DrawPictureCentred(dc, w, h, picture); });
}

bool AddConeIsoluxJson(const TLUM32& lum, const ConeIsoluxOptions& o, nlohmann::ordered_json& out,
                       std::string& error) {
  if (!CheckOptions(o, error)) return false;
  const int set = ParseDistanceSet(o.distances);
  out["half_value_angles"] = {{"c0", Round(HalfValueAngle(lum, 0), 1)}, {"c90", Round(HalfValueAngle(lum, 90), 1)}};

  const TConeRecord rec = MakeConeRecord(lum, set, LampFlux(lum, o));
  nlohmann::ordered_json cone;
  cone["distance_set"] = ToUtf8(DistanceSetText(set));
  cone["lamp_flux"] = Round(rec.lampFlux, 1);
  // Each beam angle spans a plane and its opposite, as the diagram's heading
  // prints them: an asymmetric luminaire differs between the two pairs.
  cone["beam_angles"] = {{"c0_c180", Round(BeamAngle(lum, 0), 1)}, {"c90_c270", Round(BeamAngle(lum, 90), 1)}};
  cone["steps"] = nlohmann::ordered_json::array();
  // The values as the diagram prints them; a luminaire with two cones gets
  // those of the C 90 cone too.
  auto lx = [](double v) { return Round(v, v > 10 ? 0 : v > 5 ? 1 : 2); };
  const nlohmann::ordered_json none;
  for (const TConeStep& s : ComputeCone(lum, rec)) {
    nlohmann::ordered_json step;
    step["distance"] = Round(s.distance, 1);
    step["axis_illuminance"] = lx(s.axisIlluminance);
    step["mean_illuminance"] = s.hasCone ? nlohmann::ordered_json(lx(s.meanIlluminance)) : none;
    step["diameter"] = s.hasCone ? nlohmann::ordered_json(Round(s.diameter, 1)) : none;
    if (rec.planeCount == 2) {
      const bool second = s.hasCone && s.diameter2 > 0;
      step["mean_illuminance_c90"] = second ? nlohmann::ordered_json(lx(s.meanIlluminance2)) : none;
      step["diameter_c90"] = second ? nlohmann::ordered_json(Round(s.diameter2, 1)) : none;
    }
    cone["steps"].push_back(step);
  }
  out["cone"] = cone;

  const std::unique_ptr<teliso> iso = ComputeIsolux(lum, o.side, o.height, LampFlux(lum, o) / 1000.0, &error);
  if (!iso) return false;
  nlohmann::ordered_json j;
  j["side"] = o.side;
  j["height"] = o.height;
  j["lamp_flux"] = Round(LampFlux(lum, o), 1);
  j["min"] = Round(iso->stats.min, 3);
  j["max"] = Round(iso->stats.max, 3);
  j["levels"] = nlohmann::ordered_json::array();
  for (float level : iso->levels) j["levels"].push_back(Round(level, 1));
  j["contours"] = nlohmann::ordered_json::array();
  for (int i = 0; i < iso->lines.Count(); ++i) {
    const tisoline* line = iso->lines.Line(i);
    nlohmann::ordered_json points = nlohmann::ordered_json::array();
    for (int k = 0; k < line->NumPoints(); ++k) {
      const TVector3& p = line->Item(k);
      points.push_back({Round(p.x, 4), Round(p.y, 4)});
    }
    j["contours"].push_back({{"level", Round(line->level, 1)}, {"points", points}});
  }
  out["isolux"] = j;
  return true;
}

}  // namespace kandelo::cli
