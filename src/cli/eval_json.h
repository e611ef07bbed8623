// JSON of the glare evaluation, the floor curves and the luminaire count for
// `evaluate --json`, with the parameters of a fresh output settings record.
#pragma once

#include <nlohmann/json.hpp>

#include "evaluation/litg.h"

namespace kandelo {
class TLUM32;
}

namespace kandelo::cli {

// Adds "glare", "floor_curves" and "luminaire_count"; `roomUtil` is η_R of
// the luminaire.
void AddGlareFloorCountJson(nlohmann::ordered_json& out, const TLUM32& lum, const RoomUtilTableT& roomUtil);

}  // namespace kandelo::cli
