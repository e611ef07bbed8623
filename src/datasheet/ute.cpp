// The UTE classification: the downward flux of a luminaire split into the
// zones 0° … 41.41° … 60° … 75.52° … 90°, and the class letters whose
// ranges of cumulative zone shares hold the luminaire's shares.
#include <cmath>

#include "datasheet/datasheet.h"
#include "frame/strutil.h"
#include "photometry/lum32.h"

namespace kandelo {
namespace {

struct TRange {
  int lo, hi;
};
// Per mille, classes "A" … "J"; steps 1 (zone 1), 2 (zones 1 + 2), 3 (zones 1 + 2 + 3).
constexpr TRange kUteRanges[3][10] = {
    {{830, 970}, {697, 837}, {563, 703}, {463, 603}, {363, 503}, {330, 470}, {297, 437}, {263, 403}, {197, 337},
     {163, 303}},
    {{897, 1000}, {863, 1000}, {830, 970}, {763, 903}, {697, 837}, {797, 937}, {597, 737}, {530, 670}, {597, 737},
     {430, 570}},
    {{930, 1000}, {930, 1000}, {897, 1000}, {897, 1000}, {897, 1000}, {930, 1000}, {830, 970}, {763, 903},
     {863, 1000}, {663, 803}},
};

// Class 1 also takes values above its range, class 10 values below it (but not 0).
bool InRange(int step, int cls, long double x) {
  const TRange& r = kUteRanges[step][cls - 1];
  if (cls == 1 && x > r.hi) return true;
  if (cls == 10 && x < r.lo && x != 0) return true;
  return x >= r.lo && x <= r.hi;
}

}  // namespace

std::string UteText(const TUteResult& ute, char decimalSep) {
  if (ute.count == 0) return ute.indirect ? FormatFixed(ute.up, 2, decimalSep) + " T" : std::string();
  // Each class as the UTE writes it, "0.84 E" or "0.50 C + 0.25 T"; a
  // luminaire that two classes fit gets both, one after the other.
  std::string text;
  for (int i = 0; i < ute.count && i < 10; ++i) {
    const int c = ute.classes[static_cast<std::size_t>(i)];
    if (i > 0) text += " / ";
    text += FormatFixed(ute.down, 2, decimalSep) + " ";
    text += c >= 1 && c <= 10 ? static_cast<char>('A' + c - 1) : '?';
    if (ute.indirect) text += " + " + FormatFixed(ute.up, 2, decimalSep) + " T";
  }
  return text;
}

void ComputeUteClass(TLUM32& lum, TUteResult& ute, char decimalSep) {
  ute = TUteResult{};
  if (std::lround(1000.0 * lum.LOR) == 0) lum.CalcFlux();
  if (!std::isfinite(lum.LOR) || std::lround(1000.0 * lum.LOR) == 0 || !(lum.RefFlux > 0)) return;

  const double limits[5] = {0, 41.41, 60, 75.52, 90};
  for (int k = 0; k < 4; ++k) ute.zoneFlux[static_cast<std::size_t>(k)] = lum.ZoneFlux(limits[k], limits[k + 1]);
  if (lum.UpFlux >= 1)
    ute.zoneFlux[4] = lum.UpFlux;
  else
    ute.zoneFlux[3] += lum.UpFlux;
  const bool noDown = std::lround(100.0 * lum.DFF) == 0;
  for (std::size_t k = 0; k < 5; ++k) {
    ute.perKlm[k] = ute.zoneFlux[k] / lum.RefFlux * 1000;
    ute.share[k] = noDown ? 0 : 100 * ute.zoneFlux[k] / (static_cast<long double>(lum.LOR) * lum.DFF);
  }
  ute.down = static_cast<float>((ute.perKlm[0] + ute.perKlm[1] + ute.perKlm[2] + ute.perKlm[3]) / 1000);
  if (lum.UpFlux > 1) {
    ute.indirect = 1;
    ute.up = static_cast<float>(ute.perKlm[4] / 1000);
  }
  if (!noDown) {
    // Step 1: zone 1 alone.
    std::vector<int> found;
    for (int c = 1; c <= 10; ++c)
      if (InRange(0, c, ute.share[0])) found.push_back(c);
    std::vector<int> result = found;
    if (found.size() != 1) {
      // Step 2: zones 1 + 2 over the candidates of step 1 (all when none).
      std::vector<int> candidates = found;
      if (candidates.empty())
        for (int c = 1; c <= 10; ++c) candidates.push_back(c);
      std::vector<int> remain;
      for (int c : candidates)
        if (InRange(1, c, ute.share[0] + ute.share[1])) remain.push_back(c);
      if (remain.empty()) {
        // The first class of step 1 stands (none when step 1 found none).
        result.assign(found.begin(), found.begin() + (found.empty() ? 0 : 1));
      } else if (remain.size() == 1) {
        result = remain;
      } else {
        result.clear();
        for (int c : remain)
          if (InRange(2, c, ute.share[0] + ute.share[1] + ute.share[2])) result.push_back(c);
      }
    }
    ute.count = static_cast<std::uint8_t>(result.size());
    for (std::size_t i = 0; i < result.size(); ++i) ute.classes[i] = static_cast<std::uint8_t>(result[i]);
  }
  ute.text = UteText(ute, decimalSep);
}

}  // namespace kandelo
