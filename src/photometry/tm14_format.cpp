// Reading and writing CIBSE TM14 files.
#include "photometry/tm14_format.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "frame/strutil.h"
#include "photometry/format_io.h"
#include "photometry/ies_format.h"
#include "photometry/number_lists.h"
#include "photometry/numeric.h"
#include "platform/text.h"

namespace kandelo {

namespace {

constexpr std::size_t kTm14LineLimit = 64;
const char* const kTooFewNumbers = "file parse error : 2";

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> w;
  SplitWords(line, w);
  return w;
}
double Word(const std::vector<std::string_view>& w, std::size_t i) { return i < w.size() ? WordToFloat(w[i]) : 0.0; }
long long IntWord(const std::vector<std::string_view>& w, std::size_t i) { return i < w.size() ? WordToInt(w[i]) : 0; }

class Tm14Reader {
 public:
  Tm14Reader(TLUM32& lum, TTextReader& in, Diagnostics& diag) : lum_(lum), in_(in), diag_(diag) {}
  ReadResult Read();

 private:
  ReadResult Fail(const std::string& reason) {
    diag_.error("TM14 file " + lum_.FileName + " : " + reason);
    return ReadFailed();
  }
  ReadResult TooFewNumbers() {
    diag_.error(kTooFewNumbers);
    std::string name = lum_.FileName;
    lum_.Clear();
    lum_.SetFileName(name);
    return ReadFailed();
  }
  ReadResult ReadTypeC(const std::vector<double>& first, const std::vector<double>& second);
  ReadResult ReadTypeB(const std::vector<double>& first, const std::vector<double>& second);

  TLUM32& lum_;
  TTextReader& in_;
  Diagnostics& diag_;
};

ReadResult Tm14Reader::Read() {
  std::string line;
  if (!in_.ReadLine(line)) return NotMine();
  auto first = Words(line);
  if (first.empty() || platform::upper1252(first[0]) != "CIBSE/1") return NotMine();

  // Lines 2 … 12.
  std::vector<std::string> head;
  while (head.size() < 11 && in_.ReadLine(line)) head.push_back(in_.Text1252(line));
  if (head.size() < 8) return NotMine();  // no line 9, no photometric type

  auto line9 = Words(head[7]);
  const long long type = IntWord(line9, 1);
  if (type != 1 && type != 2) return NotMine();
  lum_.PlaneSystem = type == 1 ? psCGamma : psBBeta;

  lum_.ReportNumber = Cut(TrimBlanks(head[0]), 40);
  lum_.LumNumber = Cut(TrimBlanks(head[1]), 80);
  lum_.LumName = Cut(TrimBlanks(head[2]), 80);
  lum_.LampSetCount = 1;
  TLampSet& set = lum_.LampSets[0];
  lum_.InfoText1 = set.LampType = Cut(TrimBlanks(head[3]), 40);
  set.SetFlux = 1000;
  lum_.InfoText2 = Cut(TrimBlanks(head[4]), 40);
  lum_.InfoText3 = Cut(TrimBlanks(head[5]), 40);
  lum_.InfoText4 = Cut(TrimBlanks(head[6]), 40);

  set.LampCount = ToLampCount(IntWord(line9, 0));
  set.LampFlux = 1000.0f / set.LampCount;
  lum_.Width = ToU16(1000 * Word(line9, 2));
  lum_.Length = ToU16(1000 * Word(line9, 3));
  lum_.Height[0] = ToU16(1000 * Word(line9, 4));

  if (head.size() < 11) return TooFewNumbers();
  auto line10 = Words(head[8]);
  lum_.CircuitWatts = ToSingle(Word(line10, 1));
  set.SetWatt = ToI16(lum_.CircuitWatts);
  if (double d = Word(line10, 2); d != 0) lum_.MeasValue510 = ToSingle(lum_.CircuitWatts / d);
  lum_.Tm14Value = ToSingle(Word(Words(head[9]), 0));
  auto line12 = Words(head[10]);
  const long long n1 = IntWord(line12, 0), n2 = IntWord(line12, 1);
  if (n1 < 1 || n2 < 1 || n1 > 65535 || n2 > 65535)
    return Fail("invalid numbers of angles (" + std::to_string(n1) + " x " + std::to_string(n2) + ")");

  // Enough numbers for the lists and the table? Counted before anything is allocated.
  std::uint64_t words = 0;
  while (in_.ReadLongLine(line)) words += static_cast<std::uint64_t>(CountWords(line));
  const std::uint64_t needed = static_cast<std::uint64_t>(n1) + static_cast<std::uint64_t>(n2) +
                               static_cast<std::uint64_t>(n1) * static_cast<std::uint64_t>(n2);
  if (words < needed) return TooFewNumbers();

  in_.Rewind();
  in_.SkipLines(12);
  std::vector<double> a1, a2;
  if (ReadNumberList(in_, static_cast<std::size_t>(n1), a1) < static_cast<std::size_t>(n1) ||
      ReadNumberList(in_, static_cast<std::size_t>(n2), a2) < static_cast<std::size_t>(n2))
    return TooFewNumbers();
  ReadResult r = lum_.PlaneSystem == psCGamma ? ReadTypeC(a1, a2) : ReadTypeB(a1, a2);
  if (r.status != ReadStatus::Ok) return r;
  lum_.SelectIntensityFunctions(lum_.Symmetry);

  lum_.AreaShape = 0;
  if (in_.ReadLongLine(line)) {
    auto area = Words(line);
    if (area.size() == 4) ApplyTm14Area(lum_, IntWord(area, 0), Word(area, 1), Word(area, 2), Word(area, 3));
  }
  return ReadOk(fmtTm14);
}

// Type C: the first list holds the γ angles, the second the planes, one block per plane.
ReadResult Tm14Reader::ReadTypeC(const std::vector<double>& gammas, const std::vector<double>& planes) {
  const std::size_t ng = gammas.size(), np = planes.size();
  if (ng < 2) return Fail("at least two gamma angles are needed");
  if (!StrictlyAscending(gammas) || !AllWithin(gammas, 0, 180)) return Fail("the gamma angles do not ascend within 0 ... 180");
  if (!AllWithin(planes, 0, 360)) return Fail("plane angles outside 0 ... 360");
  // Planes listed from the last to the first are turned round, blocks with
  // their angles, so that the table ascends.
  const bool descending = np > 1 && StrictlyDescending(planes);
  if (np > 1 && !descending && !StrictlyAscending(planes)) return Fail("the plane angles are not in order");
  if (!lum_.CreateTable(static_cast<int>(np), static_cast<int>(ng)))
    return Fail("the intensity table cannot be created");
  TSglArray& t = *lum_.Table;
  for (std::size_t j = 0; j < ng; ++j) t.At(0, j + 1) = ToSingle(gammas[j]);
  auto row = [&](std::size_t b) { return descending ? np - b : b + 1; };
  for (std::size_t b = 0; b < np; ++b) t.At(row(b), 0) = ToSingle(planes[b]);
  std::vector<double> values;
  for (std::size_t b = 0; b < np; ++b) {
    if (ReadNumberList(in_, ng, values) < ng) return TooFewNumbers();
    for (std::size_t j = 0; j < ng; ++j) t.At(row(b), j + 1) = ToSingle(values[j]);
  }
  if (np == 1) {
    lum_.Symmetry = symRotational;
    lum_.CStart = lum_.CEnd = 0;
    lum_.CStep = 15;
  } else {
    const long f = std::lround(100 * t.At(1, 0)), l = std::lround(100 * t.At(np, 0));
    if (f == 0 && l == 9000) lum_.Symmetry = symQuadrant;
    else if (f == 0 && l == 18000) lum_.Symmetry = symC0C180;
    else if (f == 9000 && l == 27000) lum_.Symmetry = symC90C270;
    else lum_.Symmetry = symNone;
    lum_.CStart = t.At(1, 0);
    lum_.CEnd = t.At(np, 0);
    lum_.CStep = lum_.CheckCGrid();
  }
  lum_.GammaStep = lum_.CheckGammaGrid();
  lum_.GammaStart = t.At(0, 1);
  lum_.GammaEnd = t.At(0, ng);
  return ReadOk(fmtTm14);
}

// Type B as in IES files: the first list holds the planes (B), the second the
// angles within them (β); the block of β angle k fills column k.
ReadResult Tm14Reader::ReadTypeB(const std::vector<double>& planes, const std::vector<double>& betas) {
  const std::size_t np = planes.size(), nb = betas.size();
  if (nb < 2) return Fail("at least two angles per plane are needed");
  if (!StrictlyAscending(planes) || !StrictlyAscending(betas)) return Fail("the angles do not ascend");
  if (!lum_.CreateTable(static_cast<int>(np), static_cast<int>(nb)))
    return Fail("the intensity table cannot be created");
  TSglArray& t = *lum_.Table;
  for (std::size_t i = 0; i < np; ++i) t.At(i + 1, 0) = ToSingle(planes[i]);
  for (std::size_t k = 0; k < nb; ++k) t.At(0, k + 1) = ToSingle(betas[k]);
  std::vector<double> values;
  for (std::size_t k = 0; k < nb; ++k) {
    if (ReadNumberList(in_, np, values) < np) return TooFewNumbers();
    for (std::size_t i = 0; i < np; ++i) t.At(i + 1, k + 1) = ToSingle(values[i]);
  }
  SetTypeBGrid(lum_);
  return ReadOk(fmtTm14);
}

std::string F(double v, int decimals) { return FormatFixed(ToSingle(v), decimals); }

}  // namespace

void ApplyTm14Area(TLUM32& lum, long long shapeCode, double a0, double a1, double a2) {
  switch (shapeCode) {
    case 1: lum.AreaShape = 1; break;
    case 2: lum.AreaShape = 3; break;
    case 3: lum.AreaShape = 2; break;
    case 4: lum.AreaShape = 5; break;
    default: lum.AreaShape = 0; break;
  }
  a0 = std::fmax(0.0, a0);
  if (lum.AreaShape == 1) {
    if (lum.Length != 0 && lum.Width != 0) {
      const double r = static_cast<double>(lum.Length) / lum.Width;
      lum.LumAreaLength = ToU16(1000 * std::sqrt(a0 * r));
      lum.LumAreaWidth = ToU16(lum.LumAreaLength / r);
    }
    if (a1 != 0) {
      if (lum.LumAreaLength != 0) lum.LumAreaHeight[0] = ToU16(1e6 * a1 / lum.LumAreaLength);
    } else if (a2 != 0) {
      if (lum.LumAreaWidth != 0) lum.LumAreaHeight[0] = ToU16(1e6 * a2 / lum.LumAreaWidth);
    }
  } else if (lum.AreaShape == 2 || lum.AreaShape == 3) {
    lum.Diameter = lum.Length != 0 ? lum.Length : lum.Width;
    lum.Length = lum.Width = 0;
    lum.LumAreaDiameter = ToU16(1000 * std::sqrt(4 * a0 / kPi));
    if (lum.AreaShape == 3)
      lum.LumAreaHeight[0] = lum.LumAreaDiameter;
    else if (lum.LumAreaDiameter != 0)
      lum.LumAreaHeight[0] = ToU16(1e6 * a1 / lum.LumAreaDiameter);
  }
}

void WriteCibse2Section(const TLUM32& lum, TTextWriter& out) {
  const TLampSet& set = lum.LampSets[0];
  out.Line("CIBSE/2");
  out.Line(SafeTextLine(lum.LumName));
  out.Line(SafeTextLine(lum.LumNumber));
  out.Line(F(lum.UpFlux / 1000, 3) + " " + F(lum.DownFlux / 1000, 3) + " " + F(lum.LOR / 100, 3));
  out.Line(F(lum.ShrNom, 3) + " " + F(lum.ShrMax, 3));
  for (const auto& row : lum.CibseUF) {
    std::string s;
    for (std::uint8_t v : row) s += v == 255 ? std::string("  N/A") : PadLeft(F(v / 100.0, 2), 5);
    out.Line(s);
  }
  std::string bz;
  for (std::uint8_t v : lum.CibseBz) bz += v == 255 ? std::string("N/A ") : PadLeft(std::to_string(v), 3);
  out.Line(bz);
  for (int part = 0; part < 2; ++part)  // crosswise, then endwise
    for (int r = 0; r < 19; ++r) {
      std::string s;
      for (int c = 0; c < 5; ++c) s += PadLeft(F(lum.ExportUgr[static_cast<std::size_t>(part * 95 + r * 5 + c)], 1), 5);
      out.Line(s);
    }
  out.Line("1");
  const std::string watt = PadLeft(std::to_string(set.SetWatt), 4);
  out.Line(PadLeft(std::to_string(lum.Length), 5) + PadLeft(std::to_string(set.LampCount), 3) + watt +
           " 1.0 1.0 " + watt + watt);
}

ReadResult ReadTM14(TLUM32& lum, Diagnostics& diag) {
  TTextReader in;
  if (!in.Open(lum.FileName)) return NotMine();
  return Tm14Reader(lum, in, diag).Read();
}

bool WriteTM14(TLUM32& lum, std::uint8_t code) {
  if (code != fmtTm14) return false;
  // TM14 knows C-γ (type 1) and B-β (type 2) data only.
  if (!lum.Table || lum.CPlaneCount == 0 || lum.GammaCount == 0 || lum.PlaneSystem == psAAlpha) return false;
  const TLampSet& set = lum.LampSets[0];
  TTextWriter out;
  out.Line("CIBSE/1");
  out.Line(SafeTextLine(lum.ReportNumber));
  out.Line(SafeTextLine(lum.LumNumber));
  out.Line(SafeTextLine(lum.LumName));
  out.Line(SafeTextLine(Cut(std::to_string(set.LampCount) + " x " + set.LampType, 70)));
  out.Line(PadLeft(FormatFixed(set.SetFlux, 0), 7) + " lm");
  out.Line(SafeTextLine(lum.ReportNumber));
  out.Line(SafeTextLine(lum.InfoText1));

  std::string dims = std::to_string(set.LampCount) + " " + std::to_string(lum.PlaneSystem + 1) + " ";
  if (lum.Diameter != 0)
    dims += F(lum.Diameter / 1000.0, 3) + " 0 0";
  else
    dims += F(lum.Width / 1000.0, 3) + " " + F(lum.Length / 1000.0, 3) + " " + F(lum.Height[0] / 1000.0, 3);
  out.Line(dims);
  out.Line("1.0 " + std::to_string(set.SetWatt) + " " + std::to_string(set.SetWatt));
  out.Line("0");

  // Type C: γ list, plane list, one block per plane. Type B goes the other way
  // round (planes first, one block per β angle), as the reader takes it.
  const bool cGamma = lum.PlaneSystem == psCGamma;
  const int n1 = cGamma ? lum.GammaCount : lum.CPlaneCount;
  const int n2 = cGamma ? lum.CPlaneCount : lum.GammaCount;
  out.Line(std::to_string(n1) + " " + std::to_string(n2));
  TWrappedLine wrap(out, kTm14LineLimit);
  auto angleList = [&](int n, bool gammaList) {
    for (int k = 1; k <= n; ++k) wrap.Add(FormatAngle(gammaList ? lum.GammaAngle(k) : lum.CAngle(k)) + " ");
    wrap.Close();
  };
  angleList(n1, cGamma);
  angleList(n2, !cGamma);
  for (int b = 1; b <= n2; ++b) {
    for (int k = 1; k <= n1; ++k) wrap.Add(F(cGamma ? lum.GetValue(b, k) : lum.GetValue(k, b), 1) + " ");
    wrap.Close();
  }

  if (lum.LuminanceAvailable()) {
    auto area = [&](double g, double c) { return PadLeft(F(lum.ProjectedArea(g, c), 3), 5); };
    out.Line(std::string(lum.LumAreaLength != 0 ? "1 " : "3 ") + area(0, 0) + " " + area(90, 0) + " " + area(90, 90));
  } else {
    out.Line("100 0 0 0");
  }
  if (lum.WriteCibseExtension) WriteCibse2Section(lum, out);
  return out.Commit(lum.FileName);
}

}  // namespace kandelo
