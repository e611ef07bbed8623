#include "evaluation/photometric_summary.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <memory>

#include "evaluation/cone.h"
#include "evaluation/litg.h"
#include "evaluation/tm5.h"
#include "evaluation/ugr.h"
#include "photometry/lum32.h"

namespace kandelo {

namespace {

// Runs one computation; one that fails leaves its figures unknown.
template <typename F>
void Try(F step) {
  try {
    step();
  } catch (const std::exception&) {
  }
}

double Finite(double v) { return std::isfinite(v) ? v : PhotometricSummary::kUnknown; }

// The numbers in a text, a decimal comma taken as the point.
struct Number {
  double value;
};
std::vector<Number> Numbers(const std::string& text) {
  std::vector<Number> out;
  for (std::size_t i = 0; i < text.size();) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) {
      ++i;
      continue;
    }
    std::size_t j = i;
    while (j < text.size() && (std::isdigit(static_cast<unsigned char>(text[j])) || text[j] == '.' || text[j] == ','))
      ++j;
    std::string digits = text.substr(i, j - i);
    std::replace(digits.begin(), digits.end(), ',', '.');
    out.push_back({std::strtod(digits.c_str(), nullptr)});
    i = j;
  }
  return out;
}

bool IsColourCode(double v) { return v >= 700 && v <= 999 && std::floor(v) == v && std::fmod(v, 100.0) >= 10; }

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

double PhotometricSummary::Beam() const {
  if (std::isnan(beamC0)) return beamC90;
  if (std::isnan(beamC90)) return beamC0;
  return std::max(beamC0, beamC90);
}

double PhotometricSummary::Ugr() const {
  if (std::isnan(ugrCrosswise)) return ugrEndwise;
  if (std::isnan(ugrEndwise)) return ugrCrosswise;
  return std::max(ugrCrosswise, ugrEndwise);
}

double ColourTemperatureOf(const std::string& text) {
  // Colour temperatures of lamps lie between about 1000 K and 20000 K; a
  // smaller number is a code ("840": rendering 8x, 4000 K).
  const std::vector<Number> numbers = Numbers(text);
  for (const Number& n : numbers)
    if (n.value >= 1000 && n.value <= 20000) return n.value;
  // A colour code "830", "940": the rendering class, then hundreds of kelvin.
  for (const Number& n : numbers)
    if (IsColourCode(n.value)) return std::fmod(n.value, 100.0) * 100.0;
  return PhotometricSummary::kUnknown;
}

double ColourRenderingOf(const std::string& text) {
  const std::string upper = Upper(text);
  static constexpr std::pair<const char*, double> kGroups[] = {{"1A", 90}, {"1B", 80}, {"2A", 70}, {"2B", 60}};
  for (const auto& [group, ra] : kGroups)
    if (upper.find(group) != std::string::npos) return ra;
  const std::vector<Number> numbers = Numbers(upper);
  // CIE group 3 or 4 alone.
  if (numbers.size() == 1 && upper.find_first_not_of(" 34") == std::string::npos)
    return numbers[0].value == 3 ? 40 : 20;
  for (const Number& n : numbers) {
    if (n.value >= 5 && n.value <= 100) return n.value;
    if (IsColourCode(n.value)) return std::floor(n.value / 100.0) * 10.0;  // "840": Ra 80 and more
  }
  return PhotometricSummary::kUnknown;
}

LampTypeColour ColourOfLampType(const std::string& type) {
  LampTypeColour out;
  for (std::size_t i = 0; i < type.size();) {
    if (!std::isdigit(static_cast<unsigned char>(type[i]))) {
      ++i;
      continue;
    }
    std::size_t j = i;
    while (j < type.size() && std::isdigit(static_cast<unsigned char>(type[j]))) ++j;
    const double v = std::strtod(type.substr(i, j - i).c_str(), nullptr);
    const char before = i > 0 ? type[i - 1] : ' ';
    const char after = j < type.size() ? type[j] : ' ';
    const bool alone = !std::isalnum(static_cast<unsigned char>(after));
    // "3000K", "3000 K" would be "3000" then "K" alone.
    const bool kelvin = (after == 'K' || after == 'k') &&
                        (j + 1 >= type.size() || !std::isalnum(static_cast<unsigned char>(type[j + 1])));
    if (kelvin && v >= 1000 && v <= 20000 && std::isnan(out.cct)) out.cct = v;
    // A colour code after a slash or dash: "/840", "-930".
    if ((before == '/' || before == '-') && alone && j - i == 3 && IsColourCode(v) && std::isnan(out.cct)) {
      out.cct = std::fmod(v, 100.0) * 100.0;
      out.cri = std::floor(v / 100.0) * 10.0;
    }
    i = j;
  }
  return out;
}

LampTotals SumLampSets(const TLUM32& lum) {
  LampTotals t;
  const int sets = std::min<int>(lum.LampSetCount, static_cast<int>(lum.LampSets.size()));
  for (int i = 0; i < sets; ++i) {
    const TLampSet& set = lum.LampSets[static_cast<std::size_t>(i)];
    if (std::isfinite(set.SetFlux) && set.SetFlux > 0) t.flux += set.SetFlux;
    if (set.SetWatt > 0) t.watt += set.SetWatt;
  }
  return t;
}

PhotometricSummary SummarizeLuminaire(TLUM32& lum) {
  PhotometricSummary s;
  s.symmetry = lum.Symmetry;
  s.format = lum.FormatCode;
  s.lampSets = lum.LampSetCount;
  s.length = lum.Length, s.width = lum.Width, s.diameter = lum.Diameter;
  s.height = *std::max_element(lum.Height.begin(), lum.Height.end());
  s.areaLength = lum.LumAreaLength, s.areaWidth = lum.LumAreaWidth, s.areaDiameter = lum.LumAreaDiameter;
  if (!lum.Table) return s;

  Try([&] {
    if (!lum.FluxValid) lum.CalcFlux();
    lum.FindMaxIntensity();
  });
  const int sets = std::min<int>(lum.LampSetCount, static_cast<int>(lum.LampSets.size()));
  const auto [lampFlux, watt] = SumLampSets(lum);
  if (lampFlux > 0) s.lampFlux = lampFlux;
  if (watt > 0) s.watt = watt;
  if (std::isfinite(lum.LOR) && lum.LOR > 0) s.lor = lum.LOR;
  // The intensities are per 1000 lm of lamp flux: the light output ratio
  // turns the lamps' flux into the luminaire's.
  if (lampFlux > 0 && !std::isnan(s.lor)) s.luminaireFlux = lampFlux * s.lor / 100.0;
  if (!std::isnan(s.luminaireFlux) && watt > 0) s.efficacy = s.luminaireFlux / watt;
  if (lum.FluxValid) s.dff = Finite(100.0 * lum.DFF);
  if (lum.Imax > 0) s.imax = Finite(lum.Imax);
  if (sets > 0) {
    const TLampSet& first = lum.LampSets[0];
    s.cct = ColourTemperatureOf(first.ColourText);
    s.cri = ColourRenderingOf(first.RenderingText);
    // Files often name the colour only in the lamp's type ("TC-L 36W/840",
    // "LED 3000K").
    const LampTypeColour fromType = ColourOfLampType(first.LampType);
    if (std::isnan(s.cct)) s.cct = fromType.cct;
    if (std::isnan(s.cri)) s.cri = fromType.cri;
  }
  Try([&] {
    s.beamC0 = Finite(BeamAngle(lum, 0));
    s.beamC90 = Finite(BeamAngle(lum, 90));
  });
  Try([&] {
    lum.CalcCieFluxCode();
    s.cieFluxCode = lum.CieFluxCode;
  });
  Try([&] {
    if (!CalcPartialFluxes(lum)) {
      ClassifyLuminaire(lum);
      s.litgClass = lum.ClassCode;
    }
  });
  Try([&] {
    TM5OBJ tm5;
    tm5.SetLuminaire(&lum);
    tm5.StoreCibse();
    // Upward light only has no spacing over a working plane.
    if (lum.DistributionKind != 1 && lum.ShrNom > 0) s.shr = Finite(lum.ShrNom);
    tm5.StoreNb();
    NbRecord nb{};
    tm5.ExportNb(nb);
    // A result set of its own: the window's shared one may be on show.
    auto results = std::make_unique<UgrResultSet>();
    if (lum.LuminanceAvailable() && ComputeUgrInto(lum, nb, *results)) {
      const UgrStandardRoom room = StandardRoomUgr(lum, *results);
      s.ugrCrosswise = Finite(room.crosswise);
      s.ugrEndwise = Finite(room.endwise);
    }
  });
  return s;
}

}  // namespace kandelo
