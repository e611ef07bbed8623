// kandelo-cli evaluate FILE [--json]: the evaluations of one luminaire file:
// LiTG room utilization (DIN table), TM5 CIBSE table with BZ classes and SHR,
// NB table, classification, CIE flux code and the UGR table; with --json also
// the glare evaluation, floor curves and luminaire count (eval_json.h).
#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "cli/cli_common.h"
#include "cli/cone_isolux.h"
#include "cli/eval_json.h"
#include "evaluation/atf.h"
#include "evaluation/litg.h"
#include "evaluation/tm5.h"
#include "evaluation/ugr.h"
#include "frame/settings.h"
#include "photometry/lum32.h"

namespace kandelo::cli {
namespace {

double Round(double v, int decimals) {
  double f = std::pow(10.0, decimals);
  return std::round(v * f) / f;
}

// Columns of the DIN table: LiTG combinations 1, 2, 11, 7, 12, 13, 14, 15.
const int kDinColumns[8] = {1, 2, 11, 7, 12, 13, 14, 15};

int Evaluate(const std::string& file, bool json, const ConeIsoluxOptions& coneIsolux) {
  LoadSettings();
  TLUM32 lum;
  if (int code = kOk; !LoadForCommand(lum, file, code)) return code;
  lum.CalcCieFluxCode();

  nlohmann::ordered_json out;
  out["file"] = file;
  out["name"] = ToUtf8(lum.LumName);
  out["lor_percent"] = Round(lum.LOR, 2);
  out["down_flux"] = Round(lum.DownFlux, 2);
  out["up_flux"] = Round(lum.UpFlux, 2);
  out["cie_flux_code"] = {lum.CieFluxCode[0], lum.CieFluxCode[1], lum.CieFluxCode[2], lum.CieFluxCode[3],
                          lum.CieFluxCode[4]};

  // LiTG / DIN
  bool suspended = SuspendedMounting(lum, Settings().UtilMode);
  RoomUtilTableT eta{};
  auto err = CalcRoomUtilTable(lum, suspended, eta);
  if (err) return Fail("LiTG room utilization: " + *err);
  ClassifyLuminaire(lum);
  nlohmann::ordered_json din;
  din["mounting"] = suspended ? "suspended" : "surface";
  din["room_index"] = nlohmann::ordered_json::array();
  for (float k : kLitgRoomIndex) din["room_index"].push_back(Round(k, 2));
  din["combinations"] = nlohmann::ordered_json::array();
  for (int j : kDinColumns) {
    const int* r = kLitgReflectances[j - 1];
    din["combinations"].push_back(std::to_string(r[0]) + "/" + std::to_string(r[2]) + "/" + std::to_string(r[3]));
  }
  din["utilization_percent"] = nlohmann::ordered_json::array();
  for (int i = 0; i < 10; ++i) {
    nlohmann::ordered_json row = nlohmann::ordered_json::array();
    for (int j : kDinColumns) row.push_back(std::lround(eta[i][j - 1] * lum.LOR));
    din["utilization_percent"].push_back(row);
  }
  din["room_utilization"] = nlohmann::ordered_json::array();
  for (int i = 0; i < 10; ++i) {
    nlohmann::ordered_json row = nlohmann::ordered_json::array();
    for (int j = 0; j < 15; ++j) row.push_back(Round(eta[i][j], 4));
    din["room_utilization"].push_back(row);
  }
  out["litg"] = din;
  out["classification"] = lum.ClassCode;
  out["direct_ratio_down"] = Round(lum.DownDirectRatio, 4);
  out["direct_ratio_up"] = Round(lum.UpDirectRatio, 4);

  // TM5 / NB
  NbRecord nb{};
  try {
    TM5OBJ tm5;
    tm5.SetLuminaire(&lum);
    tm5.StoreCibse();
    tm5.StoreNb();
    tm5.ExportNb(nb);
  } catch (const std::exception& e) {
    return Fail(std::string("TM5 utilization factors: ") + e.what());
  }
  nlohmann::ordered_json cibse;
  cibse["shr_nom"] = Round(lum.ShrNom, 2);
  cibse["shr_max"] = Round(lum.ShrMax, 3);
  cibse["room_index"] = {0.75, 1, 1.25, 1.5, 2, 2.5, 3, 4, 5};
  cibse["utilization_percent"] = nlohmann::ordered_json::array();
  for (int c = 0; c < 10; ++c) {
    nlohmann::ordered_json row = nlohmann::ordered_json::array();
    for (int i = 0; i < 9; ++i) {
      int v = lum.CibseUF[c][i];
      if (v == 255) row.push_back("N/A"); else row.push_back(v);
    }
    cibse["utilization_percent"].push_back(row);
  }
  cibse["bz_class"] = nlohmann::ordered_json::array();
  for (int i = 0; i < 9; ++i) {
    if (lum.CibseBz[i] == 255) cibse["bz_class"].push_back("N/A"); else cibse["bz_class"].push_back(lum.CibseBz[i]);
  }
  out["cibse"] = cibse;
  nlohmann::ordered_json nbRows = nlohmann::ordered_json::array();
  for (int k = 0; k < 10; ++k) {
    nlohmann::ordered_json row = nlohmann::ordered_json::array();
    for (int c = 0; c < 9; ++c) row.push_back(lum.NbUF[k][c]);
    nbRows.push_back(row);
  }
  out["nb_percent"] = nbRows;

  // UGR
  std::string ugrError;
  if (ComputeUgr(lum, nb, &ugrError)) {
    const UgrResultSet& r = UgrResults();
    double corr = UgrFluxCorrection(lum);
    nlohmann::ordered_json ugr;
    ugr["lamp_flux"] = Round(lum.LampSets[0].SetFlux, 0);
    ugr["rooms"] = nlohmann::ordered_json::array();
    for (int i = 0; i < 19; ++i) {
      nlohmann::ordered_json row;
      row["x"] = kUgrRooms[i][0];
      row["y"] = kUgrRooms[i][1];
      row["crosswise"] = nlohmann::ordered_json::array();
      row["endwise"] = nlohmann::ordered_json::array();
      for (int j = 0; j < 5; ++j) {
        row["crosswise"].push_back(Round(r.table[std::size_t(5 * i + j)] + corr, 1));
        row["endwise"].push_back(Round(r.table[std::size_t(95 + 5 * i + j)] + corr, 1));
      }
      ugr["rooms"].push_back(row);
    }
    auto shape = [&](const UgrShapeMatch& m) -> nlohmann::ordered_json {
      if (!m.found) return nullptr;
      return {{"name", kUgrShapeNames[m.shape]}, {"offset", Round(m.offset + corr, 1)}};
    };
    ugr["shape_crosswise"] = shape(r.matchCross);
    ugr["shape_endwise"] = shape(r.matchEnd);
    nlohmann::ordered_json var = nlohmann::ordered_json::array();
    const char* spacing[3] = {"1.0H", "1.5H", "2.0H"};
    for (int k = 0; k < 3; ++k)
      var.push_back({{"spacing", spacing[k]},
                     {"crosswise", {Round(r.variation[std::size_t(3 * k + 1)], 1), Round(r.variation[std::size_t(3 * k)], 1)}},
                     {"endwise", {Round(r.variation[std::size_t(9 + 3 * k + 1)], 1), Round(r.variation[std::size_t(9 + 3 * k)], 1)}}});
    ugr["variation_max_min"] = var;
    out["ugr"] = ugr;
  } else {
    out["ugr"] = ugrError.empty() ? nlohmann::ordered_json("no glare rating possible") : nlohmann::ordered_json(ugrError);
  }

  std::string coneIsoluxError;
  if (!AddConeIsoluxJson(lum, coneIsolux, out, coneIsoluxError)) return Fail(coneIsoluxError);
  AddGlareFloorCountJson(out, lum, eta);

  if (json) {
    std::printf("%s\n", out.dump(2).c_str());
    return kOk;
  }
  std::printf("%s\n", out["name"].get<std::string>().c_str());
  std::printf("LOR %.1f %%  down %.1f  up %.1f lm/klm  CIE flux code %d %d %d %d %d  class %s\n", lum.LOR,
              lum.DownFlux, lum.UpFlux, lum.CieFluxCode[0], lum.CieFluxCode[1], lum.CieFluxCode[2],
              lum.CieFluxCode[3], lum.CieFluxCode[4], lum.ClassCode.c_str());
  std::printf("\nutilization factors / DIN (%s), %%\n    k", suspended ? "luminaires suspended" : "surface mounting");
  for (auto& c : din["combinations"]) std::printf(" %9s", c.get<std::string>().c_str());
  std::printf("\n");
  for (int i = 0; i < 10; ++i) {
    std::printf("%5.2f", kLitgRoomIndex[i]);
    for (auto& v : din["utilization_percent"][std::size_t(i)]) std::printf(" %9d", v.get<int>());
    std::printf("\n");
  }
  std::printf("\nutilization factors / TM5, %%   SHRnom %.2f  SHRmax %.3f\n   RI", lum.ShrNom, lum.ShrMax);
  for (double ri : {0.75, 1.0, 1.25, 1.5, 2.0, 2.5, 3.0, 4.0, 5.0}) std::printf(" %5.2f", ri);
  std::printf("\n");
  for (int c = 0; c < 10; ++c) {
    std::printf("%02d/%02d/%02d", kCibseReflectances[c][0], kCibseReflectances[c][1], kCibseReflectances[c][2]);
    for (int i = 0; i < 9; ++i) {
      if (lum.CibseUF[c][i] == 255) std::printf("   N/A"); else std::printf(" %5d", lum.CibseUF[c][i]);
    }
    std::printf("\n");
  }
  std::printf("BZ      ");
  for (int i = 0; i < 9; ++i) {
    if (lum.CibseBz[i] == 255) std::printf("   N/A"); else std::printf(" %5d", lum.CibseBz[i]);
  }
  std::printf("\n\nutilization factors / NB, %%\n    k");
  for (auto& r : kNbReflectances) std::printf(" %02d/%02d/%02d", r[0], r[1], r[2]);
  std::printf("\n");
  for (int k = 0; k < 10; ++k) {
    std::printf("%5.2f", kNbRoomIndex[k]);
    for (int c = 0; c < 9; ++c) std::printf(" %8d", lum.NbUF[k][c]);
    std::printf("\n");
  }
  if (out["ugr"].is_object()) {
    std::printf("\nUGR (lamp flux %.0f lm)       crosswise                     endwise\n", lum.LampSets[0].SetFlux);
    for (auto& row : out["ugr"]["rooms"]) {
      std::printf("%2dH x %2dH ", row["x"].get<int>(), row["y"].get<int>());
      for (auto& v : row["crosswise"]) std::printf(" %5.1f", v.get<double>());
      std::printf("  |");
      for (auto& v : row["endwise"]) std::printf(" %5.1f", v.get<double>());
      std::printf("\n");
    }
    auto shapeText = [](const nlohmann::ordered_json& s) {
      if (s.is_null()) return std::string("----");
      char buf[32];
      std::snprintf(buf, sizeof buf, " %.1f", s["offset"].get<double>());
      return s["name"].get<std::string>() + buf;
    };
    std::printf("shape: crosswise %s, endwise %s\n", shapeText(out["ugr"]["shape_crosswise"]).c_str(),
                shapeText(out["ugr"]["shape_endwise"]).c_str());
  } else {
    std::printf("\nUGR: %s\n", out["ugr"].get<std::string>().c_str());
  }
  return kOk;
}

void Setup(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("evaluate", "Utilization factors, classification and UGR table of a luminaire file");
  static std::string file;
  static bool json = false;
  cmd->add_option("FILE", file, "Photometric file")->required();
  cmd->add_flag("--json", json, "Print as JSON");
  static ConeIsoluxOptions coneIsolux;
  cmd->add_option("--isolux-side", coneIsolux.side, "Side of the isolux area in m (default 10)");
  cmd->add_option("--isolux-height", coneIsolux.height, "Mounting height of the isolux diagram in m (default 5)");
  cmd->callback([&exitCode] { exitCode = Evaluate(file, json, coneIsolux); });
}

KANDELO_COMMAND(Setup);

}  // namespace
}  // namespace kandelo::cli
