// The polar intensity distribution diagram ("LVK"): C-γ planes in pairs
// around a centre, or B-β planes as closed curves, with rings, a radial
// grid, γ labels, ring values, the unit box and the η box.
#pragma once

#include <string>
#include <vector>

#include "evaluation/diagram_common.h"
#include "graphics/device.h"
#include "photometry/lum32.h"

namespace kandelo {

enum class TCentrePosition { High, Middle, Low };

struct TPolarLayout {
  TRect square;            // diagram square of side w = h
  TRect inner;             // inner frame
  TPoint centre;
  TCentrePosition position = TCentrePosition::Middle;
  int wmax = 0, up = 0, down = 0;  // extents in per mille of Imax
  int radius = 0;          // R, radius of the full scale
  TNiceScale scale;
  double ringStep = 0;     // value between rings
  int ringSpacing = 0;     // s, logical units between rings
  int ringCount = 0;
  bool bBeta = false;
};

// The geometry of the polar diagram for the luminaire, planes and rectangle.
TPolarLayout ComputePolarLayout(const TLUM32& lum, const std::vector<float>& planes, const TRect& rect);

// Right-half plane of a C plane and the opposite plane shown on the left.
struct TPlanePair {
  float right, left;
};
TPlanePair PairPlane(float c);

// `rect2` is accepted for the callers' sake and not read.
void DrawLVKPolar(const TLUM32& lum, const std::vector<float>* planes, TDevice& dc, bool boldHeading,
                  const std::string& languageFile, bool showEta, bool printMode, const TRect& rect,
                  const TRect& rect2);

}  // namespace kandelo
