// What the output selection editor needs of the luminaire it edits for.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace kandelo {

struct TOutputLuminaire {
  bool valid = false;      // holds usable data
  bool luminance = false;  // luminance evaluations are possible (UGR, glare)
  float setFlux = 0;       // flux of lamp set 1
  std::vector<std::pair<std::string, float>> planePairs;  // text and the smaller angle
};

}  // namespace kandelo
