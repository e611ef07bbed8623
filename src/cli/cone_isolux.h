// The cone and isolux diagrams and their data for the command line:
// `diagram --kind cone|isolux` and the "half_value_angles", "cone" and
// "isolux" members of `evaluate --json`.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "photometry/lum32.h"

namespace kandelo::cli {

struct ConeIsoluxOptions {
  std::string distances;    // largest distance of the set in m ("7.5", "7,5 m"); empty: 10 m
  double side = 10;         // isolux area side in m
  double height = 5;        // mounting height in m
  double fluxFactor = 1;    // multiplies the luminaire's lamp flux
  std::string language;     // ger, eng or fra; empty: the configured language
};

bool IsConeOrIsolux(const std::string& kind);
// Draws the diagram of `kind` ("cone" or "isolux") into OUTPUT (.png, .svg,
// .pdf or .wmf) of width × height pixels; returns the exit code.
int DrawConeOrIsolux(const std::string& file, const std::string& kind, const ConeIsoluxOptions& options,
                     int width, int height, const std::string& output);

// Adds "half_value_angles", "cone" and "isolux" to `out`; false with a
// message in `error` when the parameters are refused.
bool AddConeIsoluxJson(const TLUM32& lum, const ConeIsoluxOptions& options, nlohmann::ordered_json& out,
                       std::string& error);

}  // namespace kandelo::cli
