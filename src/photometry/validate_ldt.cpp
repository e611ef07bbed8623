// The EULUMDAT checks: the file's fixed line layout walked line by line, so
// that every problem has its line, whether the reader refuses the file or
// takes it in silence.
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "photometry/number_lists.h"
#include "photometry/validate_scan.h"

namespace kandelo::validation {
namespace {

class LdtScan {
 public:
  LdtScan(TTextReader& in, Collector& out, TextFacts& facts) : lines_(in), out_(out), facts_(facts) {}
  void Run();

 private:
  // The next line; false (with "the file ends") when there is none.
  bool Line(std::string_view& line) {
    if (lines_.Next(line)) return true;
    if (!ended_) out_.Add("L04", lines_.Number() + 1, "the file ends before " + what_);
    ended_ = true;
    return false;
  }
  bool Text(const char* what) {
    what_ = what;
    std::string_view l;
    if (!Line(l)) return false;
    CheckTextLine(l, lines_.Utf8(), lines_.Number(), out_);
    return true;
  }
  // A numeric line. Header numbers that fail make the file unknown to the
  // reader (L01); later ones are refused by it (L05).
  bool Number(const char* what, double& v, const char* code = "L05") {
    what_ = what;
    std::string_view l;
    if (!Line(l)) return false;
    if (ParseFloatLine(l, v)) return true;
    v = 0;
    if (LooksNonFinite(TrimView(l)))
      out_.Add("D02", lines_.Number(), std::string(what) + " is not a finite number: " + Quoted(l));
    else
      out_.Add(code, lines_.Number(), std::string(what) + " is not a number: " + Quoted(l));
    bad_ = true;
    return true;
  }
  bool Integer(const char* what, int& v, const char* code) {
    what_ = what;
    std::string_view l;
    if (!Line(l)) return false;
    if (ParseIntLine(l, v)) return true;
    v = 0;
    out_.Add(code, lines_.Number(), std::string(what) + " is not a whole number: " + Quoted(l));
    bad_ = true;
    return true;
  }
  static std::string_view TrimView(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
    return s;
  }
  void Angles(const char* what, long long count, bool check, double lo, double hi);

  NumberedLines lines_;
  Collector& out_;
  TextFacts& facts_;
  std::string what_;
  bool ended_ = false;
  bool bad_ = false;
};

void LdtScan::Angles(const char* what, long long count, bool check, double lo, double hi) {
  double previous = 0;
  bool outside = false, descending = false;
  for (long long k = 0; k < count; ++k) {
    double v;
    if (!Number(what, v)) return;
    if (!check) continue;
    if (k > 0 && !(v > previous) && !descending) {
      out_.Add("L08", lines_.Number(),
               std::string(what) + " do not ascend: " + FormatAngle(previous) + " is followed by " + FormatAngle(v));
      descending = true;
    }
    if ((v < lo - 1e-3 || v > hi + 1e-3) && !outside) {
      out_.Add("L09", lines_.Number(),
               std::string(what) + " outside " + FormatAngle(lo) + " ... " + FormatAngle(hi) + ": " + FormatAngle(v));
      outside = true;
    }
    previous = v;
  }
}

void LdtScan::Run() {
  facts_.scanned = true;
  if (!Text("the company line")) return;
  int ityp, isym, mc, ng;
  double dc, dg;
  if (!Integer("the type indicator Ityp", ityp, "L01")) return;
  if (!bad_ && (ityp < 0 || ityp > 3))
    out_.Add("L07", lines_.Number(), "the type indicator Ityp is " + std::to_string(ityp) + ", not 0 ... 3");
  bad_ = false;
  if (!Integer("the symmetry indicator Isym", isym, "L01")) return;
  const int isymLine = lines_.Number();
  const bool isymBad = bad_;
  if (!Integer("the number of C-planes Mc", mc, "L01")) return;
  const int mcLine = lines_.Number();
  if (!Number("the distance between C-planes Dc", dc, "L01")) return;
  if (!Integer("the number of gamma angles Ng", ng, "L01")) return;
  const int ngLine = lines_.Number();
  if (!Number("the distance between gamma angles Dg", dg, "L01")) return;
  if (bad_) return;  // the reader does not know the file: the rest has no layout
  if (isym < 0 || isym > 4) {
    if (!isymBad) out_.Add("L02", isymLine, "the symmetry indicator Isym is " + std::to_string(isym) + ", not 0 ... 4");
    return;
  }
  if (mc < (isym == 1 ? 0 : 1) || mc > 65535 || ng < 1 || ng > 65535 || dc < 0 || dc > 360 || dg < 0 || dg > 180) {
    out_.Add("L04", mc < 1 || mc > 65535 ? mcLine : ngLine,
             "the counts and steps of the header (Mc " + std::to_string(mc) + ", Dc " + FormatAngle(dc) + ", Ng " +
                 std::to_string(ng) + ", Dg " + FormatAngle(dg) + ") cannot describe a table");
    return;
  }
  if (isym != 1 && std::lround(100 * dc) != 0 && std::lround(mc * dc) != 360)
    out_.Add("L03", mcLine,
             "Mc x Dc = " + std::to_string(mc) + " x " + FormatAngle(dc) + " is not 360: the listed C angles are used");

  static const char* const kTexts[] = {"the measurement report number", "the luminaire name", "the luminaire number",
                                       "the file name", "the date / user"};
  for (const char* t : kTexts)
    if (!Text(t)) return;
  static const char* const kDims[] = {"the length or diameter of the luminaire", "the width of the luminaire",
                                      "the height of the luminaire", "the length or diameter of the luminous area",
                                      "the width of the luminous area", "the luminous area's height at C0",
                                      "the luminous area's height at C90", "the luminous area's height at C180",
                                      "the luminous area's height at C270"};
  double v;
  for (const char* d : kDims)
    if (!Number(d, v)) return;
  if (!Number("the downward flux fraction DFF", v)) return;
  if (!Number("the light output ratio LOR", v)) return;
  facts_.lorStated = !bad_;
  facts_.statedLor = v;
  facts_.lorLine = lines_.Number();
  if (!Number("the conversion factor", v)) return;
  if (!Text("the tilt during measurement")) return;
  int sets;
  if (!Integer("the number of lamp sets", sets, "L05")) return;
  if (sets < 0) {
    out_.Add("L05", lines_.Number(), "the number of lamp sets is negative: " + std::to_string(sets));
    return;
  }
  if (sets == 0) out_.Add("D06", lines_.Number(), "no lamp set: the intensities cannot be scaled to a lamp flux");
  for (long long k = 0; k < sets; ++k) {
    int count;
    if (!Integer("the number of lamps", count, "L05")) return;
    if (count < 0) facts_.absolute = true;
    if (!Text("the lamp type")) return;
    double flux;
    if (!Number("the total lamp flux", flux)) return;
    if (flux <= 0 && k == 0) out_.Add("D06", lines_.Number(), "the lamp flux of set 1 is " + FormatAngle(flux) + " lm");
    if (!Text("the colour appearance") || !Text("the colour rendering")) return;
    what_ = "the wattage";
    std::string_view l;
    if (!Line(l)) return;
    double watt;
    if (!ParseFloatLine(l, watt)) out_.Add("L10", lines_.Number(), "the wattage is not a number: " + Quoted(l));
  }
  for (int k = 0; k < 10; ++k)
    if (!Number("a direct ratio", v)) return;

  // The stored planes, as the reader counts them.
  const bool cListed = std::lround(100 * dc) == 0 || (isym != 1 && std::lround(mc * dc) != 360);
  long long planes;
  if (!cListed) {
    switch (isym) {
      case 0: planes = mc; break;
      case 1: planes = 1; break;
      case 2:
      case 3: planes = std::lround(180 / dc) + 1; break;
      default: planes = std::lround(90 / dc) + 1; break;
    }
  } else {
    planes = isym == 0 ? mc : isym == 1 ? 1 : isym == 4 ? mc / 4 + 1 : mc / 2 + 1;
  }
  Angles("the C angles", mc, cListed && isym != 1, 0, 360);
  if (ended_) return;
  Angles("the gamma angles", ng, true, 0, 180);
  if (ended_) return;

  // The intensities, one a line; the first negative one is reported with its line.
  int negatives = 0, firstNegative = 0;
  double firstValue = 0;
  const long long values = planes * ng;
  for (long long k = 0; k < values; ++k) {
    what_ = "the intensity " + std::to_string(k + 1) + " of " + std::to_string(values) + " (" +
            std::to_string(planes) + " C-planes x " + std::to_string(ng) + " gamma angles)";
    std::string_view l;
    if (!Line(l)) return;
    double x;
    if (!ParseFloatLine(l, x)) {
      if (LooksNonFinite(TrimView(l)))
        out_.Add("D02", lines_.Number(), "the intensity is not a finite number: " + Quoted(l));
      else
        out_.Add("L05", lines_.Number(), "the intensity is not a number: " + Quoted(l));
      continue;
    }
    if (x < 0 && negatives++ == 0) {
      firstNegative = lines_.Number();
      firstValue = x;
    }
  }
  if (negatives > 0) {
    out_.Add("D01", firstNegative,
             std::to_string(negatives) + " negative intensit" + (negatives == 1 ? "y" : "ies") + ", the first " +
                 FormatAngle(firstValue) + " cd/klm");
    facts_.negativesSeen = true;
  }
  // Anything but blank lines behind the table was meant to be read.
  std::string_view l;
  while (lines_.Next(l)) {
    if (!TrimView(l).empty()) {
      out_.Add("L06", lines_.Number(), "more lines than the header announces: " + Quoted(l));
      break;
    }
  }
}

}  // namespace

void ScanLdt(TTextReader& in, Collector& out, TextFacts& facts) { LdtScan(in, out, facts).Run(); }

}  // namespace kandelo::validation
