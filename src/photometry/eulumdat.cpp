// EULUMDAT (".LDT"): line-oriented C-γ photometry, one item per line.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "frame/strutil.h"
#include "photometry/format_io.h"
#include "photometry/number_lists.h"
#include "photometry/textfile.h"
#include "platform/locale_info.h"
#include "platform/text.h"

namespace kandelo {
namespace {

ReadResult Fail(Diagnostics& diag, std::string text) {
  diag.error(std::move(text));
  return ReadFailed();
}

std::string LineText(TTextReader& in, std::size_t n) {
  std::string line;
  in.ReadLine(line);
  return Cut(in.Text1252(line), n);
}

}  // namespace

ReadResult ReadLDT(TLUM32& lum, Diagnostics& diag) {
  TTextReader in;
  if (!in.Open(lum.FileName)) return NotMine();
  std::string line;
  if (!in.ReadLine(line)) return NotMine();
  lum.Manufacturer = Cut(in.Text1252(line), 80);

  // Recognition: lines 2 … 7 must be numbers; otherwise the file is not ours.
  int ityp, isym, mcFile, ng;
  double dc, dg;
  if (!ReadIntLine(in, ityp) || !ReadIntLine(in, isym) || !ReadIntLine(in, mcFile) ||
      !ReadFloatLine(in, dc) || !ReadIntLine(in, ng) || !ReadFloatLine(in, dg))
    return NotMine();
  // Numbers that no EULUMDAT file can hold: recognised, but refused.
  if (isym < 0 || isym > 4) return Fail(diag, "error reading symmetry indicator : " + std::to_string(isym));
  // A rotationally symmetric file may list no C angle at all.
  if (mcFile < (isym == 1 ? 0 : 1) || mcFile > 65535)
    return Fail(diag, "error reading no of C-planes : " + std::to_string(mcFile));
  if (dc < 0 || dc > 360) return Fail(diag, "error reading C-step");
  if (ng < 1 || ng > 65535) return Fail(diag, "error reading no of gamma angles : " + std::to_string(ng));
  if (dg < 0 || dg > 180) return Fail(diag, "error reading gamma step");
  lum.LuminaireType = static_cast<std::uint8_t>(std::clamp(ityp, 0, 255));
  lum.Symmetry = static_cast<std::uint8_t>(isym);
  lum.CStep = static_cast<float>(dc);
  lum.GammaStep = static_cast<float>(dg);

  lum.InfoText1 = LineText(in, 40);
  lum.ReportNumber = lum.InfoText1;
  lum.LumName = LineText(in, 80);
  lum.LumNumber = LineText(in, 80);
  lum.InfoText2 = LineText(in, 40);
  lum.DateUser = LineText(in, 40);

  std::uint16_t dims[9];
  for (int k = 0; k < 9; ++k)
    if (!ReadWordLine(in, dims[k]) && k < 8) return Fail(diag, "error reading luminaire dimensions");
  lum.Length = dims[0];
  lum.Width = dims[1];
  lum.Height[0] = dims[2];
  lum.LumAreaLength = dims[3];
  lum.LumAreaWidth = dims[4];
  for (int k = 0; k < 4; ++k) lum.LumAreaHeight[k] = dims[5 + k];
  if (lum.Width == 0) {
    lum.Diameter = lum.Length;
    lum.Length = 0;
  }
  if (lum.LumAreaWidth == 0) {
    lum.LumAreaDiameter = lum.LumAreaLength;
    lum.LumAreaLength = 0;
  }

  double v, factor;
  if (!ReadFloatLine(in, v)) return Fail(diag, "error reading downward flux");
  lum.DFF = static_cast<float>(v);
  if (!ReadFloatLine(in, v)) return Fail(diag, "error reading LOR");
  lum.LOR = static_cast<float>(v);
  if (!ReadFloatLine(in, factor)) return Fail(diag, "error reading factor");
  if (std::lround(1000 * factor) == 0) factor = 1;
  in.SkipLines(1);

  int sets;
  if (!ReadIntLine(in, sets) || sets < 0 || !CountFitsFile(in, std::uint64_t(sets) * 6, 1))
    return Fail(diag, "error reading default lamps");
  lum.LampSetCount = static_cast<std::uint8_t>(std::min(sets, kMaxLampSets));
  for (int k = 0; k < lum.LampSetCount; ++k) {
    TLampSet& s = lum.LampSets[k];
    int count;
    if (!ReadIntLine(in, count)) return Fail(diag, "error reading lampno");
    // A negative count marks absolute photometry; the number of lamps is its size.
    count = std::clamp(std::abs(count), 1, 255);
    s.LampCount = static_cast<std::uint8_t>(count);
    s.LampType = LineText(in, 40);
    if (!ReadFloatLine(in, v)) return Fail(diag, "error reading lamp flux");
    s.SetFlux = static_cast<float>(v);
    s.LampFlux = s.SetFlux / s.LampCount;
    s.ColourText = LineText(in, 16);
    s.RenderingText = LineText(in, 6);
    if (ReadFloatLine(in, v)) {
      s.SetWatt = ToI16(v);
    } else {
      diag.warning("error reading lamp power");
      s.SetWatt = 1;
    }
  }
  in.SkipLines(6 * (sets - lum.LampSetCount));
  in.SkipLines(10);

  // A plane step that does not divide the circle into the announced planes
  // (24 planes at 90°) contradicts the header; the listed angles decide then.
  const bool cNotEqui = std::lround(100 * dc) == 0 || (isym != 1 && std::lround(mcFile * dc) != 360);
  lum.GridFlags = static_cast<std::uint8_t>((std::lround(100 * dg) == 0 ? kGammaNotEquidistant : 0) |
                                            (cNotEqui ? kCNotEquidistant : 0));
  long planes;
  if (!cNotEqui) {
    switch (isym) {
      case 0: planes = mcFile; lum.CStart = 0; lum.CEnd = static_cast<float>(360 - dc); break;
      case 1: planes = 1; lum.CStart = lum.CEnd = lum.CStep = 0; break;
      case 2: planes = std::lround(180 / dc) + 1; lum.CStart = 0; lum.CEnd = 180; break;
      case 3: planes = std::lround(180 / dc) + 1; lum.CStart = 90; lum.CEnd = 270; break;
      default: planes = std::lround(90 / dc) + 1; lum.CStart = 0; lum.CEnd = 90; break;
    }
  } else {
    switch (isym) {
      case 0: planes = mcFile; break;
      case 1: planes = 1; break;
      case 2:
      case 3: planes = mcFile / 2 + 1; break;
      default: planes = mcFile / 4 + 1; break;
    }
  }
  // Every announced angle and value takes at least one line: check the counts
  // against what is left of the file before allocating for them.
  std::uint64_t lines = std::uint64_t(mcFile) + std::uint64_t(ng) + std::uint64_t(planes) * std::uint64_t(ng);
  if (planes < 1 || planes > 65535 || !CountFitsFile(in, lines, 1))
    return Fail(diag, "error reading luminaire data : the file is too short for " + std::to_string(planes) +
                " C-planes with " + std::to_string(ng) + " gamma angles");
  if (!lum.CreateTable(int(planes), ng)) return Fail(diag, "out of memory !");
  TSglArray& t = *lum.Table;

  // Line 28: the listed C angles (used only when the planes are not equidistant).
  int skip = 0, take = 0;
  if (cNotEqui) {
    take = int(planes);
    if (isym == 3 && mcFile > 3) skip = mcFile / 4;
    take = std::min(take, mcFile - skip);
  }
  for (int k = 0; k < mcFile; ++k) {
    bool used = k >= skip && k < skip + take;
    if (in.AtEnd()) return Fail(diag, "error reading C-angles");
    bool ok = ReadFloatLine(in, v);
    if (used && !ok) return Fail(diag, "error reading C-angles");
    if (used) t.At(k - skip + 1, 0) = static_cast<float>(v);
  }
  if (cNotEqui) {
    if (take < planes && isym != 1) return Fail(diag, "error reading C-angles");
    lum.MinCStep = lum.CheckCGrid();
    lum.GridFlags |= kCNotEquidistant;  // Dc = 0 always asks for the searching interpolation
    lum.CStep = 0;
    switch (isym) {
      case 0: lum.CStart = 0; lum.CEnd = t.At(lum.CPlaneCount, 0); break;
      case 1: lum.CStart = lum.CEnd = 0; break;
      case 2: lum.CStart = 0; lum.CEnd = 180; break;
      case 3: lum.CStart = 90; lum.CEnd = 270; break;
      default: lum.CStart = 0; lum.CEnd = 90; break;
    }
  }

  for (int j = 1; j <= ng; ++j) {
    if (!ReadFloatLine(in, v)) return Fail(diag, "error reading gamma angles");
    t.At(0, j) = static_cast<float>(v);
  }
  lum.GammaStep = lum.CheckGammaGrid();
  lum.GammaStart = t.At(0, 1);
  lum.GammaEnd = t.At(0, ng);

  if (!cNotEqui)
    for (int i = 1; i <= lum.CPlaneCount; ++i) t.At(i, 0) = static_cast<float>(lum.CStart + (i - 1) * dc);
  // Every interpolation searches the angle lists: they must ascend.
  for (int j = 2; j <= ng; ++j)
    if (!(t.At(0, j) > t.At(0, j - 1))) return Fail(diag, "error reading gamma angles : the angles do not ascend");
  for (int i = 2; i <= lum.CPlaneCount; ++i)
    if (!(t.At(i, 0) > t.At(i - 1, 0))) return Fail(diag, "error reading C-angles : the angles do not ascend");

  const int nC = lum.CPlaneCount;
  for (int k = 0; k < nC; ++k) {
    int i = isym == 3 ? nC - k : k + 1;
    for (int j = 1; j <= ng; ++j) {
      if (!ReadFloatLine(in, v)) {
        lum.Table.reset();
        if (isym == 3)
          return Fail(diag, "val " + std::to_string(i) + " in plane (Index) " + std::to_string(j) +
                      " could not be interpreted !");
        return Fail(diag, "val index " + std::to_string(i) + " in C-Ebene (Index) " + std::to_string(j) +
                    " could not be interpreted !");
      }
      t.At(i, j) = static_cast<float>(v * factor);
    }
  }
  lum.PlaneSystem = psCGamma;
  lum.SelectIntensityFunctions(lum.Symmetry);
  return ReadOk(fmtEulumdat);
}

namespace {

std::string Num1(double v) {
  std::string s = TrimBlanks(FormatFixed(v, 1));
  return s == "-0.0" ? "0.0" : s;
}

// One intensity: 1 decimal with at most 5 significant digits; from 100000 on
// the exponent form.
std::string Value5(double v) {
  double a = std::fabs(v);
  if (a >= 99999.5) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.4E", v);
    return buf;
  }
  if (a >= 9999.95) return Num1(std::round(v));
  return Num1(v);
}

std::string Int(long long v) { return std::to_string(v); }

// The date of FileDate (days since 30 Dec 1899) in the locale's short format.
std::string FileDateText(double fileDate) {
  // Years 100 to 9999, as the date type allows; a binary file may hold anything.
  if (!(fileDate >= -657434.0 && fileDate < 2958466.0)) return {};
  long long days = static_cast<long long>(std::floor(fileDate)) - 25569;  // to 1 Jan 1970
  // Civil date from days since the epoch.
  long long z = days + 719468, era = (z >= 0 ? z : z - 146096) / 146097;
  long long doe = z - era * 146097, yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100), mp = (5 * doy + 2) / 153;
  int d = int(doy - (153 * mp + 2) / 5 + 1), m = int(mp < 10 ? mp + 3 : mp - 9);
  long long y = yoe + era * 400 + (m <= 2);
  std::tm tm{};
  tm.tm_year = int(y - 1900);
  tm.tm_mon = m - 1;
  tm.tm_mday = d;
  tm.tm_hour = 12;
  tm.tm_isdst = -1;
  return platform::formatDate(platform::shortDateFormat(), std::mktime(&tm));
}

}  // namespace

bool WriteLDT(TLUM32& lum, std::uint8_t) {
  if (!lum.TableUsable()) return false;
  std::string target = lum.FileName;
  if (ExtractFileExt(target).size() < 2) {
    if (!target.empty() && target.back() == '.') target.pop_back();
    target += ".LDT";
  }
  const TSglArray& t = *lum.Table;
  const int nC = lum.CPlaneCount;
  const int sym = lum.Symmetry;
  // A plane list marked uneven is written as such even when CStep holds its
  // smallest gap (IES and TM14 readers store that), so it reads back the same.
  // A plane step below 0.1° (a damaged binary file) would ask for millions of
  // planes: such a table is written with the planes it has.
  const bool cEqui = !(lum.GridFlags & kCNotEquidistant) && lum.CStep >= 0.1f && lum.CStep <= 360.0f;
  const bool gEqui = !(lum.GridFlags & kGammaNotEquidistant) && std::lround(10.0 * lum.GammaStep) != 0;
  const bool gFromZero = std::lround(100.0 * lum.GammaStart) == 0;

  TTextWriter w;
  w.Line(lum.Manufacturer);
  double r = lum.Width != 0 ? double(lum.Length) / lum.Width : 500;
  // The type indicator an EULUMDAT file brought is kept while it fits the
  // symmetry (1 only for rotational data); other sources get it from the
  // shape and the symmetry.
  const int ityp = lum.LuminaireType;
  if (ityp == 2 || (ityp == 1 && sym == symRotational) || (ityp == 3 && sym != symRotational))
    w.Line(Int(ityp));
  else
    w.Line(lum.Diameter == 0 && r > 1.5 ? "2" : (sym == symRotational ? "1" : "3"));
  w.Line(Int(sym));

  switch (sym) {
    case symNone:
      w.Line(Int(nC));
      w.Line(cEqui ? Num1(lum.CStep) : "0.0");
      break;
    case symRotational:
      w.Line("24");
      w.Line("15");
      break;
    default: {
      int mult = sym == symQuadrant ? 4 : 2;
      w.Line(cEqui ? Int(std::lround(360.0 / lum.CStep)) : Int(mult * (nC - 1)));
      w.Line(cEqui ? Num1(lum.CStep) : "0.0");
      break;
    }
  }

  std::vector<double> gammas;
  bool storedGammas = false;
  if (gEqui && gFromZero) {
    for (int k = 0; k < lum.GammaCount; ++k) gammas.push_back(k * double(lum.GammaStep));
  } else if (gEqui) {
    // The listed angles start where the data do: a grid filled out from 0
    // with zeros would add the flux of a ramp in the cell below GammaStart
    // (4 % for light above 90° only in 5° steps).
    for (int k = 0; k < lum.GammaCount; ++k) gammas.push_back(lum.GammaStart + k * double(lum.GammaStep));
  } else {
    for (int j = 1; j <= lum.GammaCount; ++j) gammas.push_back(t.At(0, j));
    storedGammas = true;
  }
  w.Line(Int(gammas.size()));
  w.Line(gEqui ? Num1(lum.GammaStep) : "0.0");

  // An empty date/user line is filled only from a real file date (a LUM32
  // source); a file without one keeps the line empty rather than a zero date.
  if (TrimBlanks(lum.DateUser).empty() && lum.FileDate >= 1) {
    const std::string date = FileDateText(lum.FileDate);
    if (!date.empty())
      lum.DateUser = Cut(TrimBlanks(lum.MeasuredBy).empty() ? date : date + " / " + lum.MeasuredBy, 40);
  }
  w.Line(lum.ReportNumber);
  w.Line(lum.LumName);
  w.Line(lum.LumNumber);
  w.Line(TrimBlanks(lum.ShortName));
  w.Line(TrimBlanks(lum.DateUser));

  if (lum.Diameter != 0) {
    w.Line(Int(lum.Diameter));
    w.Line("0");
  } else {
    w.Line(Int(lum.Length));
    w.Line(Int(lum.Width));
  }
  w.Line(Int(lum.Height[0]));
  if (lum.LumAreaDiameter != 0) {
    w.Line(Int(lum.LumAreaDiameter));
    w.Line("0");
  } else {
    w.Line(Int(lum.LumAreaLength));
    w.Line(Int(lum.LumAreaWidth));
  }
  for (int k = 0; k < 4; ++k) w.Line(Int(lum.LumAreaHeight[k]));

  w.Line(Int(std::lround(100.0 * lum.DFF)));
  w.Line(PadLeft(FormatFixed(lum.LOR, 1), 4));
  w.Line("1.0");
  w.Line("0.0");

  int sets = std::min<int>(lum.LampSetCount, kMaxLampSets);
  w.Line(Int(sets));
  for (int k = 0; k < sets; ++k) {
    const TLampSet& s = lum.LampSets[k];
    w.Line(Int(s.LampCount));
    w.Line(s.LampType);
    w.Line(Int(std::lround(s.SetFlux)));
    w.Line(s.ColourText);
    w.Line(s.RenderingText);
    w.Line(Int(s.SetWatt));
  }
  for (float u : lum.UtilValues)
    w.Line(std::lround(100.0 * lum.LOR) == 0 ? "0.0" : PadLeft(FormatFixed(u / (10.0 * lum.LOR), 5), 6));

  // Line 28: the C angles of the whole circle.
  std::vector<double> cs;
  auto stored = [&](int i) { return double(t.At(i, 0)); };
  switch (sym) {
    case symNone:
      for (int i = 1; i <= nC; ++i) cs.push_back(stored(i));
      break;
    case symRotational:
      for (int k = 0; k < 24; ++k) cs.push_back(15.0 * k);
      break;
    case symC0C180:
    case symC90C270:
    case symQuadrant: {
      if (cEqui) {
        long n = std::lround(360.0 / lum.CStep);
        for (long k = 0; k < n; ++k) cs.push_back(k * double(lum.CStep));
      } else if (sym == symC0C180) {
        for (int i = 1; i <= nC; ++i) cs.push_back(stored(i));
        for (int i = nC - 1; i >= 2; --i) cs.push_back(360 - stored(i));
      } else if (sym == symC90C270) {
        // From C0: the mirrors of the planes above C90 up to C180, the stored
        // planes, then the mirrors of the planes between C180 and C270.
        for (int i = nC; i >= 1; --i)
          if (stored(i) > 90 && stored(i) <= 180) cs.push_back(180 - stored(i));
        for (int i = 1; i <= nC; ++i) cs.push_back(stored(i));
        for (int i = nC; i >= 1; --i)
          if (stored(i) > 180 && stored(i) < 270) cs.push_back(540 - stored(i));
      } else {
        for (int i = 1; i <= nC; ++i) cs.push_back(stored(i));
        for (int i = nC - 1; i >= 1; --i) cs.push_back(180 - stored(i));
        for (int i = 2; i <= nC; ++i) cs.push_back(180 + stored(i));
        for (int i = nC - 1; i >= 2; --i) cs.push_back(360 - stored(i));
      }
      break;
    }
    default:
      break;
  }
  for (double c : cs) w.Line(Num1(c));
  for (double g : gammas) w.Line(Num1(g));

  // Line 30: the stored planes through the intensity function.
  int planesOut = sym == symRotational ? 1 : nC;
  for (int k = 0; k < planesOut; ++k) {
    int i = sym == symC90C270 ? nC - k : k + 1;
    double c = stored(i);
    for (std::size_t j = 0; j < gammas.size(); ++j) {
      double val = sym == symRotational && storedGammas ? t.At(1, int(j) + 1) : lum.Intensity(gammas[j], c);
      w.Line(Value5(val));
    }
  }
  return w.Commit(target);
}

}  // namespace kandelo

namespace kandelo {

namespace {

// A number as short as it can be written and still read back to the same
// single (fixed notation, as every EULUMDAT reader understands it).
std::string ShortestNumber(float v) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
  std::string s(buf, r.ptr);
  return s == "-0" ? "0" : s;
}

}  // namespace

bool SameGrid(const TLUM32& a, const TLUM32& b) {
  if (a.Symmetry != b.Symmetry || a.PlaneSystem != b.PlaneSystem || a.CPlaneCount != b.CPlaneCount ||
      a.GammaCount != b.GammaCount || !a.TableUsable() || !b.TableUsable())
    return false;
  for (int i = 1; i <= a.CPlaneCount; ++i)
    if (a.Table->At(i, 0) != b.Table->At(i, 0)) return false;
  for (int j = 1; j <= a.GammaCount; ++j)
    if (a.Table->At(0, j) != b.Table->At(0, j)) return false;
  return true;
}

std::optional<std::string> EditedLDTText(const std::string& text, const TLUM32& before, const TLUM32& after) {
  if (!SameGrid(before, after)) return std::nullopt;
  TTextReader probe;
  probe.OpenText(text);
  const bool utf8 = probe.Utf8();
  // The lines as the reader sees them, each with its own line end.
  struct Line {
    std::string text, end;
  };
  const std::size_t bom = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  std::vector<Line> lines;
  for (std::size_t pos = bom; pos < text.size();) {
    std::size_t end = pos;
    while (end < text.size() && text[end] != '\n' && text[end] != '\r') ++end;
    std::size_t next = end;
    if (next < text.size()) next += text[next] == '\r' && next + 1 < text.size() && text[next + 1] == '\n' ? 2 : 1;
    lines.push_back({text.substr(pos, end - pos), text.substr(end, next - end)});
    pos = next;
  }
  if (lines.size() < 26) return std::nullopt;
  int isym = 0, mc = 0, ng = 0, sets = 0;
  double factor = 1;
  if (!ParseIntLine(lines[2].text, isym) || isym != before.Symmetry || !ParseIntLine(lines[3].text, mc) ||
      !ParseIntLine(lines[5].text, ng) || ng != before.GammaCount || !ParseFloatLine(lines[23].text, factor) ||
      !ParseIntLine(lines[25].text, sets) || mc < 0 || sets < before.LampSetCount)
    return std::nullopt;
  if (std::lround(1000 * factor) == 0) factor = 1;
  const std::size_t setBase = 26, drBase = setBase + 6 * std::size_t(sets), cBase = drBase + 10,
                    valueBase = cBase + std::size_t(mc) + std::size_t(ng);
  const int planes = before.CPlaneCount;
  if (lines.size() < valueBase + std::size_t(planes) * std::size_t(ng)) return std::nullopt;

  auto put = [&](std::size_t k, const std::string& value) { lines[k].text = utf8 ? platform::cp1252ToUtf8(value) : value; };
  auto text1 = [&](std::size_t k, const std::string& a, const std::string& b) {
    if (a != b) put(k, b);
  };
  auto int1 = [&](std::size_t k, long long a, long long b) {
    if (a != b) put(k, Int(b));
  };
  text1(0, before.Manufacturer, after.Manufacturer);
  text1(7, before.ReportNumber, after.ReportNumber);
  text1(8, before.LumName, after.LumName);
  text1(9, before.LumNumber, after.LumNumber);
  text1(10, before.InfoText2, after.InfoText2);
  text1(11, before.DateUser, after.DateUser);
  // The reader takes a width of 0 as a diameter in the length's line.
  auto length = [](const TLUM32& l) { return l.Diameter != 0 ? l.Diameter : l.Length; };
  auto width = [](const TLUM32& l) { return l.Diameter != 0 ? 0 : l.Width; };
  auto areaLength = [](const TLUM32& l) { return l.LumAreaDiameter != 0 ? l.LumAreaDiameter : l.LumAreaLength; };
  auto areaWidth = [](const TLUM32& l) { return l.LumAreaDiameter != 0 ? 0 : l.LumAreaWidth; };
  int1(12, length(before), length(after));
  int1(13, width(before), width(after));
  int1(14, before.Height[0], after.Height[0]);
  int1(15, areaLength(before), areaLength(after));
  int1(16, areaWidth(before), areaWidth(after));
  for (std::size_t k = 0; k < 4; ++k) int1(17 + k, before.LumAreaHeight[k], after.LumAreaHeight[k]);

  bool tableChanged = false;
  for (int k = 0; k < planes; ++k) {
    const int i = isym == 3 ? planes - k : k + 1;
    for (int j = 1; j <= ng; ++j) {
      const float a = after.Table->At(i, j);
      if (before.Table->At(i, j) == a) continue;
      tableChanged = true;
      put(valueBase + std::size_t(k) * std::size_t(ng) + std::size_t(j - 1),
          ShortestNumber(static_cast<float>(a / factor)));
    }
  }
  if (tableChanged) {
    // The ratios computed from the intensities follow them.
    put(21, Int(std::lround(100.0 * after.DFF)));
    put(22, FormatFixed(after.LOR, 2));
    for (std::size_t k = 0; k < after.UtilValues.size() && k < 10; ++k)
      put(drBase + k, std::lround(100.0 * after.LOR) == 0
                          ? "0.0"
                          : TrimBlanks(FormatFixed(after.UtilValues[k] / (10.0 * after.LOR), 5)));
  }

  // Lamp sets last: adding or removing one moves the lines behind it.
  const int nb = before.LampSetCount, na = after.LampSetCount;
  std::vector<Line> block;
  const std::string eol = lines[25].end.empty() ? "\r\n" : lines[25].end;
  for (int s = 0; s < na; ++s) {
    const TLampSet& b = before.LampSets[std::size_t(s)];
    const TLampSet& a = after.LampSets[std::size_t(s)];
    const bool old = s < nb;
    const std::size_t at = setBase + 6 * std::size_t(s);
    auto field = [&](std::size_t n, bool same, const std::string& value) {
      if (old && same) {
        block.push_back(lines[at + n]);
      } else {
        block.push_back({utf8 ? platform::cp1252ToUtf8(value) : value, old ? lines[at + n].end : eol});
      }
    };
    // A negative count (absolute photometry) keeps its sign.
    const bool negative = old && TrimBlanks(lines[at].text).rfind('-', 0) == 0;
    field(0, b.LampCount == a.LampCount, (negative ? "-" : "") + Int(a.LampCount));
    field(1, b.LampType == a.LampType, a.LampType);
    field(2, b.SetFlux == a.SetFlux, ShortestNumber(a.SetFlux));
    field(3, b.ColourText == a.ColourText, a.ColourText);
    field(4, b.RenderingText == a.RenderingText, a.RenderingText);
    field(5, b.SetWatt == a.SetWatt, Int(a.SetWatt));
  }
  // Sets the reader did not take (beyond its maximum) stay behind them.
  for (std::size_t k = setBase + 6 * std::size_t(nb); k < drBase; ++k) block.push_back(lines[k]);
  if (na != nb) put(25, Int(sets - nb + na));
  std::string out = text.substr(0, bom);
  for (std::size_t k = 0; k < setBase; ++k) out += lines[k].text + lines[k].end;
  for (const Line& l : block) out += l.text + l.end;
  for (std::size_t k = drBase; k < lines.size(); ++k) out += lines[k].text + lines[k].end;
  return out;
}

}  // namespace kandelo
