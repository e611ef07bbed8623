// Reading IES LM-63 files into the luminaire.
//
// The reader is strict where a lenient one would build a garbage luminaire:
// angle lists must ascend, counts must be positive and fit into the rest of
// the file before anything is allocated for them, and a file that ends early
// is refused. The one tolerated gap is a single value missing at the very end
// of the file, which reads as 0 (some old writers drop it).
#include "photometry/ies_format.h"

#include <cmath>
#include <cstdlib>
#include <vector>

#include "frame/strutil.h"
#include "photometry/format_io.h"
#include "photometry/number_lists.h"
#include "platform/text.h"

namespace kandelo {

namespace {

constexpr std::size_t kLumTextLen = 80;
constexpr std::size_t kInfoTextLen = 40;

std::string RemoveBlanks(std::string_view s) {
  std::string r;
  for (char c : s)
    if (c != ' ' && c != '\t') r += c;
  return r;
}

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && s.substr(0, prefix.size()) == prefix;
}

// Reads lines up to the TILT line; its value after "TILT=", trimmed and in
// upper case, goes to `value`. False when the file ends first.
bool SkipToTilt(TTextReader& in, std::string& value) {
  std::string line;
  while (in.ReadLine(line)) {
    if (IsTiltLine(line)) {
      std::string t = TrimBlanks(line);
      value = platform::upper1252(TrimBlanks(std::string_view(t).substr(5)));
      return true;
    }
  }
  return false;
}

// First word of a label line and the rest behind it, after inserting a blank
// behind the first "]". False when the line has no "]".
bool SplitKeywordLine(std::string_view line, std::string& word, std::string& rest) {
  std::size_t close = line.find(']');
  if (close == std::string_view::npos) return false;
  std::string s(line.substr(0, close + 1));
  s += ' ';
  s.append(line.substr(close + 1));
  auto isDelim = [](char c) { return c == ' ' || c == ',' || static_cast<unsigned char>(c) < 32; };
  std::size_t i = 0;
  while (i < s.size() && isDelim(s[i])) ++i;
  std::size_t start = i;
  while (i < s.size() && !isDelim(s[i])) ++i;
  word = platform::upper1252(std::string_view(s).substr(start, i - start));
  rest = TrimBlanks(std::string_view(s).substr(i));
  return true;
}

class IesReader {
 public:
  IesReader(TLUM32& lum, TTextReader& in, Diagnostics& diag) : lum_(lum), in_(in), diag_(diag) {}
  ReadResult Read();

 private:
  ReadResult Fail(const std::string& reason) {
    diag_.error("IES file " + lum_.FileName + " : " + reason);
    return ReadFailed();
  }
  void ReadKeywordTexts();
  bool SkipTiltData();
  ReadResult ReadTypeC(const std::vector<double>& vAngles, const std::vector<double>& hAngles);
  ReadResult ReadTypeAB(const std::vector<double>& vAngles, const std::vector<double>& hAngles);
  // Reads one intensity block of n values; the last block may lack its final value.
  bool ReadBlock(std::size_t n, bool lastBlock, std::vector<double>& values);
  bool BlocksFit(std::uint64_t blocks, std::uint64_t perBlock) const;

  TLUM32& lum_;
  TTextReader& in_;
  Diagnostics& diag_;
  bool utf8_ = false;
  double multiplier_ = 1;
  double divisor_ = 1;
  void NormalizeAbsolute(TLampSet& set);
};

void IesReader::ReadKeywordTexts() {
  auto text = [&](const char* keyword, std::size_t len) {
    std::string t = FindKeyword(in_, keyword);
    if (utf8_) t = platform::utf8ToCp1252(t);
    return Cut(t, len);
  };
  lum_.Manufacturer = text("[MANUFAC]", kLumTextLen);
  lum_.LumName = text("[LUMINAIRE]", kLumTextLen);
  lum_.LumNumber = text("[LUMCAT]", kLumTextLen);
  lum_.InfoText1 = text("[TEST]", kInfoTextLen);
  lum_.InfoText2 = text("[DATE]", kInfoTextLen);
  lum_.LampSets[0].LampType = text("[LAMP]", kInfoTextLen);
}

// TILT=INCLUDE: lamp geometry, number of pairs, the angles and the factors.
// The lists may continue over several lines, so they are skipped by count.
bool IesReader::SkipTiltData() {
  std::vector<double> v;
  if (ReadNumberList(in_, 1, v) < 1) return false;  // lamp-to-luminaire geometry
  if (ReadNumberList(in_, 1, v) < 1) return false;
  double pairs = v[0];
  if (!(pairs >= 0) || pairs != std::floor(pairs) || pairs > static_cast<double>(in_.BytesLeft()) ||
      !CountFitsFile(in_, static_cast<std::uint64_t>(pairs) * 2, 2))
    return false;
  auto n = static_cast<std::size_t>(pairs);
  if (n == 0) return true;
  return ReadNumberList(in_, n, v) == n && ReadNumberList(in_, n, v) == n;
}

bool IesReader::BlocksFit(std::uint64_t blocks, std::uint64_t perBlock) const {
  std::uint64_t total = blocks * perBlock;
  // Every value but the last takes a digit and a separator; the last may be missing.
  return total < 2 || CountFitsFile(in_, total - 2, 2);
}

bool IesReader::ReadBlock(std::size_t n, bool lastBlock, std::vector<double>& values) {
  std::size_t got = ReadNumberList(in_, n, values);
  if (got == n) return true;
  if (lastBlock && got + 1 == n) {
    values.push_back(0.0);
    return true;
  }
  return false;
}

ReadResult IesReader::Read() {
  std::string first;
  if (!in_.ReadLine(first)) return NotMine();
  const std::uint8_t code = IesVersionCode(first);
  utf8_ = in_.Utf8();

  // Recognition: a TILT line must come.
  in_.Rewind();
  std::string tilt;
  if (!SkipToTilt(in_, tilt)) return NotMine();

  lum_.LampSetCount = 1;
  if (code != fmtIes86) ReadKeywordTexts();

  in_.Rewind();
  SkipToTilt(in_, tilt);
  if (tilt == "INCLUDE" && !SkipTiltData()) return Fail("the tilt data are incomplete");

  std::vector<std::string> words;
  if (ReadWordList(in_, 10, words) < 10) return Fail("the file ends before the photometric data");
  const long long lampCount = WordToInt(words[0]);
  const double lumens = WordToFloat(words[1]);
  multiplier_ = WordToFloat(words[2]);
  if (multiplier_ == 0) multiplier_ = 1;
  const long long nv = WordToInt(words[3]);
  const long long nh = WordToInt(words[4]);
  const long long type = WordToInt(words[5]);
  const long long units = WordToInt(words[6]);
  const double unitFactor = units == 1 ? 304.8 : units == 2 ? 1000.0 : 0.0;
  auto mm = [&](const std::string& w) {
    double v = std::round(WordToFloat(w) * unitFactor);
    return static_cast<long long>(std::fmax(-1e6, std::fmin(1e6, v)));
  };
  const long long w = mm(words[7]), l = mm(words[8]), h = mm(words[9]);

  TLampSet& set = lum_.LampSets[0];
  set.LampCount = ToLampCount(lampCount);
  const double lamps = lampCount > 0 ? static_cast<double>(lampCount) : 1.0;
  // −1 marks absolute photometry; other non-positive fluxes cannot scale a
  // table either, so they are taken the same way instead of dividing by 0.
  const bool absolute = std::fabs(lumens + 1) < 1e-6 || lumens <= 0;
  if (absolute) {
    set.LampFlux = 1;
    set.SetFlux = ToSingle(lamps);
    divisor_ = 1;
  } else {
    set.LampFlux = ToSingle(lumens);
    set.SetFlux = ToSingle(lamps * lumens);
    divisor_ = lamps * lumens / 1000.0;
  }
  lum_.PlaneSystem = type == 2 ? psBBeta : type == 3 ? psAAlpha : psCGamma;
  MapIesOpening(lum_, w, l, h);

  if (ReadWordList(in_, 3, words) < 3) return Fail("the file ends before the photometric data");
  lum_.BallastFactor = ToSingle(WordToFloat(words[0]));
  set.SetWatt = ToI16(WordToFloat(words[2]));

  if (nv < 1 || nh < 1 || nv > 65535 || nh > 65535)
    return Fail("invalid numbers of angles (" + std::to_string(nv) + " x " + std::to_string(nh) + ")");
  if (!BlocksFit(1, static_cast<std::uint64_t>(nv + nh) + 1))
    return Fail("the file is shorter than its " + std::to_string(nv) + " x " + std::to_string(nh) +
                " angles announce");

  std::vector<double> vAngles, hAngles;
  if (ReadNumberList(in_, static_cast<std::size_t>(nv), vAngles) < static_cast<std::size_t>(nv) ||
      ReadNumberList(in_, static_cast<std::size_t>(nh), hAngles) < static_cast<std::size_t>(nh))
    return Fail("the file ends in the angle lists");
  if (!StrictlyAscending(vAngles)) return Fail("the vertical angles do not ascend");
  if (!StrictlyAscending(hAngles)) return Fail("the horizontal angles do not ascend");

  ReadResult r = lum_.PlaneSystem == psCGamma ? ReadTypeC(vAngles, hAngles) : ReadTypeAB(vAngles, hAngles);
  if (r.status != ReadStatus::Ok) return r;
  lum_.SelectIntensityFunctions(lum_.Symmetry);
  if (absolute) NormalizeAbsolute(set);
  return ReadOk(code);
}

// An absolute table (LED luminaires give no lamp flux) holds candela, while
// the rest of the program reads the table as cd per 1000 lm of lamp flux. Take
// the luminaire's own flux as the lamp flux and scale the table to it: the
// light output ratio is then 100 % and Intensity() x SetFlux / 1000 gives the
// file's candela back. A dark table keeps the unscaled values.
void IesReader::NormalizeAbsolute(TLampSet& set) {
  lum_.CalcFlux();
  const double flux = lum_.LumFlux;
  lum_.FluxValid = 0;
  lum_.ZonesValid = 0;
  if (!(flux > 0) || !std::isfinite(flux) || !lum_.Table) return;
  const double lamps = set.LampCount > 0 ? set.LampCount : 1;
  set.SetFlux = ToSingle(flux);
  set.LampFlux = ToSingle(flux / lamps);
  TSglArray& t = *lum_.Table;
  const double scale = 1000.0 / flux;
  for (std::uint32_t i = 1; i < t.Rows(); ++i)
    for (std::uint32_t j = 1; j < t.Cols(); ++j) t.At(i, j) = ToSingle(t.At(i, j) * scale);
}

ReadResult IesReader::ReadTypeC(const std::vector<double>& vAngles, const std::vector<double>& hAngles) {
  if (vAngles.size() < 2) return Fail("at least two vertical angles are needed");
  if (!AllWithin(vAngles, 0, 180) || !AllWithin(hAngles, 0, 360))
    return Fail("angles outside 0 ... 180 (vertical) or 0 ... 360 (horizontal)");
  const std::size_t nv = vAngles.size();
  std::size_t planes = hAngles.size();
  const long hf = std::lround(100 * hAngles.front());
  const long hl = std::lround(100 * hAngles.back());
  if (planes > 1 && hl == 36000) --planes;  // C 360 repeats C 0
  if (!BlocksFit(planes, nv)) return Fail("the file is shorter than its angle counts announce");
  if (!lum_.CreateTable(static_cast<int>(planes), static_cast<int>(nv)))
    return Fail("the intensity table cannot be created");
  TSglArray& t = *lum_.Table;
  for (std::size_t j = 0; j < nv; ++j) t.At(0, j + 1) = ToSingle(vAngles[j]);
  for (std::size_t i = 0; i < planes; ++i) t.At(i + 1, 0) = ToSingle(hAngles[i]);

  std::vector<double> values;
  for (std::size_t i = 0; i < planes; ++i) {
    if (!ReadBlock(nv, i + 1 == hAngles.size(), values)) return Fail("the file ends in the intensity values");
    for (std::size_t j = 0; j < nv; ++j) t.At(i + 1, j + 1) = ToSingle(values[j] * multiplier_ / divisor_);
  }

  if (planes == 1) {
    // One plane, or 0 and 360 only: the distribution is rotationally symmetric.
    lum_.Symmetry = symRotational;
    lum_.CStart = 0;
    lum_.CEnd = 0;
    lum_.CStep = 15;
  } else {
    if (hf == 0 && hl == 9000) lum_.Symmetry = symQuadrant;
    else if (hf == 0 && hl == 18000) lum_.Symmetry = symC0C180;
    else if (hf == 9000 && hl == 27000) lum_.Symmetry = symC90C270;
    else lum_.Symmetry = symNone;
    lum_.CStart = t.At(1, 0);
    lum_.CEnd = t.At(planes, 0);
    lum_.CStep = lum_.CheckCGrid();
  }
  lum_.GammaStep = lum_.CheckGammaGrid();
  lum_.GammaStart = t.At(0, 1);
  lum_.GammaEnd = t.At(0, nv);
  return ReadOk(0);
}

// Types B and A: the vertical angles are the planes, the horizontal angles the
// angles within a plane; the block of horizontal angle k fills column k.
ReadResult IesReader::ReadTypeAB(const std::vector<double>& vAngles, const std::vector<double>& hAngles) {
  if (hAngles.size() < 2) return Fail("at least two horizontal angles are needed");
  const std::size_t nv = vAngles.size(), nh = hAngles.size();
  if (!BlocksFit(nh, nv)) return Fail("the file is shorter than its angle counts announce");
  if (!lum_.CreateTable(static_cast<int>(nv), static_cast<int>(nh)))
    return Fail("the intensity table cannot be created");
  TSglArray& t = *lum_.Table;
  for (std::size_t i = 0; i < nv; ++i) t.At(i + 1, 0) = ToSingle(vAngles[i]);
  for (std::size_t k = 0; k < nh; ++k) t.At(0, k + 1) = ToSingle(hAngles[k]);

  std::vector<double> values;
  for (std::size_t k = 0; k < nh; ++k) {
    if (!ReadBlock(nv, k + 1 == nh, values)) return Fail("the file ends in the intensity values");
    for (std::size_t i = 0; i < nv; ++i) t.At(i + 1, k + 1) = ToSingle(values[i] * multiplier_ / divisor_);
  }

  SetTypeBGrid(lum_);
  return ReadOk(0);
}

}  // namespace

const std::array<const char*, 19>& IesKeywords() {
  static const std::array<const char*, 19> k = {
      "[TEST]",     "[DATE]",     "[NEARFIELD]",     "[MANUFAC]",      "[LUMCAT]",
      "[LUMINAIRE]", "[LAMPCAT]", "[LAMP]",          "[BALLAST]",      "[BALLASTCAT]",
      "[MAINTCAT]", "[DISTRIBUTION]", "[FLASHAREA]", "[COLORCONSTANT]", "[OTHER]",
      "[SEARCH]",   "[MORE]",     "[BLOCK]",         "[ENDBLOCK]"};
  return k;
}

std::uint8_t IesFormatForSetting(std::int32_t iesType) {
  return iesType == 1 ? fmtIes91 : iesType == 2 ? fmtIes95 : fmtIes86;
}

std::string IesExtensionForSetting(std::string_view iesExt) {
  std::string ext = Cut(TrimBlanks(iesExt), 3);
  if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
  return "." + (ext.empty() ? std::string("IES") : ext);
}

std::uint8_t IesVersionCode(std::string_view firstLine) {
  std::string t = platform::upper1252(RemoveBlanks(TrimBlanks(firstLine)));
  if (t == "IESNA91") return fmtIes91;
  if (t == "IESNA:LM-63-1995") return fmtIes95;
  // Later editions keep the keyword lines of 1995, and so do files whose
  // version line is spelt otherwise ("IESNA95"): a 1986 file has no version
  // line at all, so "IESNA" can only start one of a keyword edition.
  if (StartsWith(t, "IESNA") || StartsWith(t, "IES:LM-63-")) return fmtIes95;
  return fmtIes86;
}

bool IsTiltLine(std::string_view line) {
  // Called for every header line by each keyword search: no copies. Only
  // ASCII letters turn into the letters of "TILT".
  std::size_t b = 0;
  while (b < line.size() && static_cast<unsigned char>(line[b]) < 33) ++b;
  if (line.size() - b < 5) return false;
  static constexpr char kTilt[] = "TILT=";
  for (std::size_t i = 0; i < 5; ++i) {
    char c = line[b + i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != kTilt[i]) return false;
  }
  return true;
}

std::string FindKeyword(TTextReader& in, std::string_view keyword) {
  in.Rewind();
  std::string line, word, rest, result;
  bool found = false;
  // The label must open the line (ASCII case ignored: no other 1252 letter
  // turns into one of a label's); other lines need no splitting while searching.
  auto mayOpenWith = [&keyword](std::string_view l) {
    std::size_t b = 0;
    while (b < l.size() && (l[b] == ' ' || l[b] == ',' || static_cast<unsigned char>(l[b]) < 32)) ++b;
    if (l.size() - b < keyword.size()) return false;
    for (std::size_t i = 0; i < keyword.size(); ++i) {
      char c = l[b + i];
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      if (c != keyword[i]) return false;
    }
    return true;
  };
  while (in.ReadLine(line) && !IsTiltLine(line)) {
    if (!found && !mayOpenWith(line)) continue;
    bool isKeywordLine = SplitKeywordLine(line, word, rest);
    if (found) {
      if (!isKeywordLine || word != "[MORE]") break;
      if (!rest.empty()) result += (result.empty() ? "" : " ") + rest;
      continue;
    }
    if (isKeywordLine && word == keyword) {
      result = rest;
      found = true;
    }
  }
  in.Rewind();
  return result;
}

void MapIesOpening(TLUM32& lum, long long w, long long l, long long h) {
  const std::uint16_t aw = ToU16(static_cast<double>(std::llabs(w)));
  const std::uint16_t al = ToU16(static_cast<double>(std::llabs(l)));
  const std::uint16_t ah = ToU16(static_cast<double>(std::llabs(h)));
  auto circular = [&](std::uint8_t shape, std::uint16_t d) {
    lum.AreaShape = shape;
    lum.LumAreaDiameter = d;
    lum.Diameter = d;
  };
  auto rect = [&](std::uint8_t shape, std::uint16_t width, std::uint16_t length, std::uint16_t height) {
    lum.AreaShape = shape;
    lum.LumAreaWidth = lum.Width = width;
    lum.LumAreaLength = lum.Length = length;
    lum.LumAreaHeight[0] = lum.Height[0] = height;
  };
  if (w < 0) {
    if (l == 0 && h == 0) {
      circular(4, aw);
      lum.Height[0] = 1;
    } else if (l == 0 && h < 0 && ah == aw) {
      circular(3, aw);
      lum.LumAreaHeight[0] = lum.Height[0] = aw;
    } else if (l == 0 && h > 0) {
      circular(2, aw);
      lum.LumAreaHeight[0] = lum.Height[0] = ah;
    } else if (l != 0 && h > 0) {
      rect(7, aw, al, ah);
    } else if (l != 0 && h < 0) {
      rect(8, aw, al, ah);
    }
  } else if (w == 0) {
    if (l != 0 && h < 0) {
      circular(5, ah);
      lum.LumAreaWidth = lum.Width = al;
    } else if (l == 0 && h == 0) {
      lum.LumAreaDiameter = lum.Diameter = 1;
      lum.Height[0] = 1;
    }
  } else {
    if (l == 0 && h < 0) {
      circular(6, ah);
      lum.LumAreaWidth = lum.Width = aw;
    } else if (l != 0 && h >= 0) {
      rect(1, aw, al, ah);
      if (h == 0) lum.Height[0] = 1;
    } else if (l != 0 && h < 0) {
      rect(8, al, aw, ah);
    }
  }
  if (lum.Height[0] == 0) lum.Height[0] = 1;
}

void SetTypeBGrid(TLUM32& lum) {
  const TSglArray& t = *lum.Table;
  lum.CStart = t.At(1, 0);
  lum.GammaStart = t.At(0, 1);
  const bool c0 = std::lround(100 * lum.CStart) == 0;
  const bool g0 = std::lround(100 * lum.GammaStart) == 0;
  if (!c0 && !g0) lum.Symmetry = symNone;
  else if (!c0 && g0) lum.Symmetry = symC0C180;
  else if (c0 && !g0) lum.Symmetry = symC90C270;
  else lum.Symmetry = symQuadrant;
  lum.GammaStep = lum.CheckGammaGrid();
  lum.CStep = lum.CheckCGrid();
  lum.MinCStep = lum.CStep;
  lum.MinGammaStep = std::fmin(lum.GammaStep, lum.CStep);
  lum.GammaEnd = t.At(0, lum.GammaCount);
  lum.CEnd = t.At(lum.CPlaneCount, 0);
}

ReadResult ReadIES(TLUM32& lum, Diagnostics& diag) {
  TTextReader in;
  if (!in.Open(lum.FileName)) return NotMine();
  return IesReader(lum, in, diag).Read();
}

}  // namespace kandelo
