// Writing the luminaire as an IES LM-63 file of 1986, 1991 or 1995.
#include <algorithm>
#include <cmath>
#include <string>

#include "frame/strutil.h"
#include "photometry/format_io.h"
#include "photometry/ies_format.h"
#include "photometry/number_lists.h"

namespace kandelo {

namespace {

constexpr std::size_t kIesLineLimit = 73;

bool IsBlank(const std::string& s) { return TrimBlanks(s).empty(); }

// Candela with one decimal. Small values get more, so that a table read from
// absolute photometry (written back with 1 lm per lamp, hence values of
// cd/1000) keeps four significant digits instead of falling to one.
std::string Candela(double v) {
  int decimals = 1;
  if (v != 0 && std::fabs(v) < 10) decimals = std::clamp(3 - static_cast<int>(std::floor(std::log10(std::fabs(v)))), 1, 6);
  return PadLeft(FormatFixed(ToSingle(v), decimals), 10);
}

std::string Metres(double mm) { return PadLeft(FormatFixed(mm / 1000.0, 3), 5); }

void WriteHeader(const TLUM32& lum, std::uint8_t code, TTextWriter& out) {
  const TLampSet& set = lum.LampSets[0];
  const std::string lampLine =
      PadLeft(FormatFixed(set.SetFlux, 0), 7) + " lm," + PadLeft(std::to_string(set.SetWatt), 5) + " W";
  auto line = [&](const std::string& s) { out.Line(SafeTextLine(s)); };
  if (code == fmtIes86) {
    // The 1986 header is free text up to the first "TILT=" line: a text
    // that begins so ("TILT=INCLUDE fixture") would end the header early
    // and make the file unreadable; a blank before "=" keeps it a text.
    auto line = [&](const std::string& s) {
      std::string t = SafeTextLine(s);
      if (IsTiltLine(t)) t.insert(t.find('='), " ");
      out.Line(t);
    };
    line(lum.ReportNumber + "  " + lum.Manufacturer);
    line(lum.LumNumber);
    line(lum.LumName);
    line(set.LampType);
    line(lampLine);
    if (!IsBlank(lum.InfoText1)) line(lum.InfoText1);
    if (!IsBlank(lum.InfoText2)) line(lum.InfoText2);
    return;
  }
  out.Line(code == fmtIes91 ? "IESNA91" : "IESNA:LM-63-1995");
  line("[TEST] " + lum.ReportNumber);
  line("[MANUFAC] " + lum.Manufacturer);
  line("[LUMCAT] " + lum.LumNumber);
  line("[LUMINAIRE] " + lum.LumName);
  line("[LAMPCAT] " + set.LampType);
  line("[LAMP] " + lampLine);
  if (!IsBlank(lum.InfoText1)) {
    line("[OTHER] " + lum.InfoText1);
    if (!IsBlank(lum.InfoText2)) line("[MORE] " + lum.InfoText2);
  }
}

}  // namespace

bool WriteIES(TLUM32& lum, std::uint8_t code) {
  if (code != fmtIes86 && code != fmtIes91 && code != fmtIes95) return false;
  if (!lum.Table || lum.CPlaneCount == 0 || lum.GammaCount == 0) return false;
  TTextWriter out;
  WriteHeader(lum, code, out);
  out.Line("TILT=NONE");

  TLampSet& set = lum.LampSets[0];
  if (set.SetFlux == 0) set.SetFlux = 1000;
  if (set.LampCount == 0) set.LampCount = 1;

  // C-γ data: the γ angles are the vertical angles and each plane is one block.
  // B-β and A-α data go the other way round, as the reader takes them: the
  // planes are the vertical angles and each angle within a plane is one block.
  const bool cGamma = lum.PlaneSystem == psCGamma;
  const int vCount = cGamma ? lum.GammaCount : lum.CPlaneCount;
  const int hCount = cGamma ? lum.CPlaneCount : lum.GammaCount;

  // Lumens per lamp as written, and the candela scaled by exactly that value:
  // a flux like 611.9 lm rounded to 612 would otherwise shift every intensity
  // read back by the rounding ratio.
  const double perLamp = double(set.SetFlux) / set.LampCount;
  int lumenDecimals = 0;
  while (lumenDecimals < 3 &&
         std::fabs(std::round(perLamp * std::pow(10.0, lumenDecimals)) / std::pow(10.0, lumenDecimals) - perLamp) >
             1e-6 * perLamp)
    ++lumenDecimals;
  const double scale = std::round(perLamp * std::pow(10.0, lumenDecimals)) / std::pow(10.0, lumenDecimals) *
                       set.LampCount / 1000.0;
  std::string numbers = std::to_string(set.LampCount) + " " +
                        PadLeft(FormatFixed(perLamp, lumenDecimals), 7) + " 1.0 " +
                        std::to_string(vCount) + " " + std::to_string(hCount) + " " +
                        std::to_string(lum.PlaneSystem + 1) + " 2 ";
  // LM-63 order: width, length, height. Written in the order the reader maps
  // them back, so that a file read and written again keeps its dimensions.
  if (lum.LumAreaDiameter != 0)
    numbers += Metres(-static_cast<double>(lum.LumAreaDiameter)) + " 0.000 " + Metres(lum.LumAreaHeight[0]);
  else
    numbers += Metres(lum.LumAreaWidth) + " " + Metres(lum.LumAreaLength) + " " + Metres(lum.LumAreaHeight[0]);
  out.Line(numbers);
  out.Line("1.0 1.0 " + std::to_string(set.SetWatt));

  TWrappedLine wrap(out, kIesLineLimit);
  auto angleList = [&](int n, bool gammaList) {
    for (int k = 1; k <= n; ++k)
      wrap.Add(PadLeft(FormatAngle(gammaList ? lum.GammaAngle(k) : lum.CAngle(k)), 6));
    wrap.Close();
  };
  angleList(vCount, cGamma);
  angleList(hCount, !cGamma);

  for (int b = 1; b <= hCount; ++b) {
    for (int k = 1; k <= vCount; ++k) {
      float v = cGamma ? lum.GetValue(b, k) : lum.GetValue(k, b);
      wrap.Add(Candela(v * scale));
    }
    wrap.Close();
  }
  return out.Commit(lum.FileName);
}

}  // namespace kandelo
