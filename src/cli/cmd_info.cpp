// kandelo-cli info FILE [--json]: the luminaire as the program reads it,
// with its derived values (flux, maximum, zones, CIE flux code).
#include <cstdio>
#include <nlohmann/json.hpp>

#include "cli/cli_common.h"
#include "cli/cli_output.h"
#include "photometry/format_io.h"
#include "photometry/lum32.h"

namespace kandelo::cli {
namespace {

nlohmann::ordered_json Describe(TLUM32& lum) {
  lum.CalcFlux();
  lum.FindMaxIntensity();
  lum.CalcCieFluxCode();
  nlohmann::ordered_json out;
  out["file"] = ToUtf8(lum.FileName);
  out["format_code"] = lum.FormatCode;
  out["format"] = FormatByCode(lum.FormatCode).name;
  out["symmetry"] = lum.Symmetry;
  out["plane_system"] = lum.PlaneSystem;
  out["grid_flags"] = lum.GridFlags;
  out["c_plane_count"] = lum.CPlaneCount;
  out["gamma_count"] = lum.GammaCount;
  out["c_start"] = lum.CStart;
  out["c_step"] = lum.CStep;
  out["c_end"] = lum.CEnd;
  out["gamma_start"] = lum.GammaStart;
  out["gamma_step"] = lum.GammaStep;
  out["gamma_end"] = lum.GammaEnd;
  auto c = nlohmann::json::array(), g = nlohmann::json::array();
  for (int i = 1; i <= lum.CPlaneCount; ++i) c.push_back(lum.CAngle(i));
  for (int j = 1; j <= lum.GammaCount; ++j) g.push_back(lum.GammaAngle(j));
  out["c_angles"] = c;
  out["gamma_angles"] = g;
  out["ref_flux"] = lum.RefFlux;
  out["lum_flux"] = lum.LumFlux;
  out["lor"] = lum.LOR;
  out["dff"] = lum.DFF;
  out["up_flux"] = lum.UpFlux;
  out["down_flux"] = lum.DownFlux;
  out["distribution_kind"] = lum.DistributionKind;
  out["imax"] = lum.Imax;
  out["imax_c"] = lum.ImaxC;
  out["imax_gamma"] = lum.ImaxGamma;
  out["cie_flux_code"] = lum.CieFluxCode;
  out["zonal_flux"] = lum.ZonalFlux;
  auto sets = nlohmann::json::array();
  for (int k = 0; k < std::min<int>(lum.LampSetCount, kMaxLampSets); ++k) {
    const TLampSet& s = lum.LampSets[k];
    sets.push_back({{"count", s.LampCount},
                    {"type", ToUtf8(s.LampType)},
                    {"set_flux", s.SetFlux},
                    {"lamp_flux", s.LampFlux},
                    {"watt", s.SetWatt},
                    {"colour", ToUtf8(s.ColourText)},
                    {"rendering", ToUtf8(s.RenderingText)}});
  }
  out["lamp_sets"] = sets;
  out["texts"] = {{"manufacturer", ToUtf8(lum.Manufacturer)}, {"name", ToUtf8(lum.LumName)},
                  {"number", ToUtf8(lum.LumNumber)},        {"report", ToUtf8(lum.ReportNumber)},
                  {"date_user", ToUtf8(lum.DateUser)},      {"short_name", ToUtf8(lum.ShortName)},
                  {"info", {ToUtf8(lum.InfoText1), ToUtf8(lum.InfoText2), ToUtf8(lum.InfoText3),
                            ToUtf8(lum.InfoText4), ToUtf8(lum.InfoText5)}}};
  out["dimensions"] = {{"length", lum.Length},
                       {"width", lum.Width},
                       {"diameter", lum.Diameter},
                       {"height", lum.Height},
                       {"lum_area_length", lum.LumAreaLength},
                       {"lum_area_width", lum.LumAreaWidth},
                       {"lum_area_diameter", lum.LumAreaDiameter},
                       {"lum_area_height", lum.LumAreaHeight},
                       {"area_shape", lum.AreaShape}};
  return out;
}

void Setup(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("info", "Read a photometric file and print the luminaire and its derived values");
  static std::string file;
  static bool json = false;
  cmd->add_option("FILE", file, "Photometric file")->required();
  cmd->add_flag("--json", json, "Print as JSON");
  cmd->callback([&exitCode] {
    TLUM32 lum;
    if (!LoadForCommand(lum, file, exitCode)) return;
    auto out = Describe(lum);
    PrintRecord(out, json);
    exitCode = kOk;
  });
}

KANDELO_COMMAND(Setup);

}  // namespace
}  // namespace kandelo::cli
