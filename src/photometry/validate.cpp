#include "photometry/validate.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>

#include "frame/strutil.h"
#include "photometry/format_io.h"
#include "photometry/lum32.h"
#include "photometry/number_lists.h"
#include "photometry/validate_scan.h"
#include "platform/text.h"

namespace kandelo {

namespace {

// A light output ratio that the intensities miss by more than this share
// of it is reported: the integration of a 5° grid agrees to well within it.
constexpr double kLorTolerance = 0.01;

}  // namespace

const std::vector<ValidationCodeInfo>& ValidationCodes() {
  using S = Severity;
  static const std::vector<ValidationCodeInfo> codes = {
      {"D01", S::Warning, "negative intensities"},
      {"D02", S::Error, "an intensity or angle that is not a finite number (NaN, infinity)"},
      {"D03", S::Error, "the intensities give no luminous flux"},
      {"D04", S::Warning, "light output ratio above 100 %"},
      {"D05", S::Warning, "the lamp flux and light output ratio disagree with the flux of the intensities by more than 1 %"},
      {"D06", S::Warning, "no usable lamp flux: relative intensities cannot be scaled"},
      {"I01", S::Warning, "IES version line spelt otherwise than its edition requires"},
      {"I02", S::Warning, "a keyword that the file's LM-63 edition (2002, 2019) requires is missing"},
      {"I03", S::Error, "IES file without a TILT= line"},
      {"I04", S::Warning, "the tilt file named by TILT= is missing"},
      {"I05", S::Error, "TILT=INCLUDE data cut short or with an impossible count"},
      {"I06", S::Error, "IES counts that do not fit the data: the file ends early or the counts are impossible"},
      {"I07", S::Warning, "a word in the IES number lists that is not a number (read as 0)"},
      {"I08", S::Error, "IES angles that do not ascend"},
      {"I09", S::Warning, "unknown photometric type or units type"},
      {"I10", S::Warning, "type C angles that do not cover one of the ranges of the format"},
      {"I11", S::Warning, "more values than the angle counts announce"},
      {"I12", S::Warning, "the last intensity value is missing (read as 0)"},
      {"L01", S::Error, "EULUMDAT header line 2 ... 7 is not a number: the file is not recognised"},
      {"L02", S::Error, "symmetry indicator Isym outside 0 ... 4"},
      {"L03", S::Warning, "Mc x Dc is not 360: the listed C angles are used instead of the step"},
      {"L04", S::Error, "EULUMDAT counts that do not fit the data: the file ends early or the counts are impossible"},
      {"L05", S::Error, "a line that must hold a number does not"},
      {"L06", S::Warning, "more lines than the header announces"},
      {"L07", S::Warning, "type indicator Ityp outside 0 ... 3"},
      {"L08", S::Error, "EULUMDAT angles that do not ascend"},
      {"L09", S::Warning, "angles outside 0 ... 180 (gamma) or 0 ... 360 (C)"},
      {"L10", S::Warning, "the wattage of a lamp set is not a number (taken as 1 W)"},
      {"R01", S::Error, "the file is missing or not a regular file"},
      {"R02", S::Error, "not a photometric file in a known format"},
      {"R03", S::Error, "the reader refused the file (its reason follows)"},
      {"R04", S::Error, "values beyond the range of the table (above 1e30 or not a number)"},
      {"R05", S::Warning, "a message of the reader or of the flux integration on a file it read"},
      {"T01", S::Warning, "text that is not valid in the file's code page, or lost in code page 1252"},
  };
  return codes;
}

const ValidationCodeInfo* FindValidationCode(const std::string& code) {
  for (const auto& c : ValidationCodes())
    if (code == c.code) return &c;
  return nullptr;
}

const char* SeverityName(Severity severity) { return severity == Severity::Error ? "error" : "warning"; }

std::string ProblemLine(const ValidationProblem& p) {
  std::string s = p.code + " " + SeverityName(p.severity);
  if (p.line > 0) s += ", line " + std::to_string(p.line);
  return s + ": " + p.message;
}

bool ValidationReport::HasErrors() const { return Count(Severity::Error) > 0; }

int ValidationReport::Count(Severity severity) const {
  return static_cast<int>(
      std::count_if(problems.begin(), problems.end(), [&](const ValidationProblem& p) { return p.severity == severity; }));
}

namespace validation {

Collector::~Collector() {
  for (const auto& [code, n] : counts_)
    if (n > kShownPerCode) {
      const ValidationCodeInfo* info = FindValidationCode(code);
      report_.problems.push_back({code, info ? info->severity : Severity::Error, 0,
                                  std::to_string(n - kShownPerCode) + " more like this"});
    }
}

void Collector::Add(const char* code, int line, std::string message) {
  if (++counts_[code] > kShownPerCode) return;
  const ValidationCodeInfo* info = FindValidationCode(code);
  report_.problems.push_back({code, info ? info->severity : Severity::Error, line, std::move(message)});
}

bool LooksNonFinite(std::string_view word) {
  while (!word.empty() && (word.front() == '+' || word.front() == '-')) word.remove_prefix(1);
  const std::string w = platform::lower1252(word.substr(0, 3));
  return w == "nan" || w == "inf";
}

std::string Quoted(std::string_view text) {
  constexpr std::size_t kShown = 40;
  std::string t = platform::fileTextTo1252(text.substr(0, kShown));
  for (char& c : t)
    if (static_cast<unsigned char>(c) < 32) c = '?';
  return "\"" + t + (text.size() > kShown ? "...\"" : "\"");
}

void CheckTextLine(std::string_view line, bool utf8, int lineNo, Collector& out) {
  bool high = false;
  for (char c : line) high |= static_cast<unsigned char>(c) >= 0x80;
  if (!high) return;
  if (utf8) {
    // A UTF-8 file: characters outside 1252 become "?" in the catalogue and in files written.
    const std::string converted = platform::utf8ToCp1252(line);
    if (std::count(converted.begin(), converted.end(), '?') > std::count(line.begin(), line.end(), '?'))
      out.Add("T01", lineNo, "characters that code page 1252 does not hold are lost: " + Quoted(line));
    return;
  }
  // Bytes without a character in 1252.
  for (char c : line) {
    const auto b = static_cast<unsigned char>(c);
    if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "0x%02X", b);
      out.Add("T01", lineNo, std::string("byte ") + hex + " has no character in code page 1252");
      return;
    }
  }
  // UTF-8 in a file that is read as 1252 because other lines are not UTF-8.
  if (platform::isUtf8Text(line))
    out.Add("T01", lineNo,
            "UTF-8 text in a file whose other lines are code page 1252: reads as " +
                ("\"" + std::string(line.substr(0, 40)) + "\""));
}

}  // namespace validation

namespace {

using validation::Collector;
using validation::TextFacts;

// The reader's words without the file name that they repeat.
std::string ReaderReason(const std::string& text, const std::string& path) {
  std::string t = text;
  const auto at = t.find(path + " : ");
  if (at != std::string::npos) t.erase(0, at + path.size() + 3);
  return t;
}

void AddReaderMessages(const std::vector<std::string>& texts, const std::string& path, Collector& out) {
  for (const std::string& t : texts) out.Add("R05", 0, ReaderReason(t, path));
}

enum class TextKind { None, Ldt, Ies };

TextKind KindOf(std::uint8_t code) {
  if (code == fmtEulumdat || code == fmtEulumdat2) return TextKind::Ldt;
  if (code == fmtIes86 || code == fmtIes91 || code == fmtIes95) return TextKind::Ies;
  return TextKind::None;
}

TextKind KindOfExtension(const std::string& path) {
  const std::string ext = platform::upper1252(ExtractFileExt(path));
  if (ext == ".LDT") return TextKind::Ldt;
  if (ext == ".IES") return TextKind::Ies;
  return TextKind::None;
}

void CheckTable(TLUM32& lum, const TextFacts& facts, Collector& out) {
  if (!lum.TableUsable()) return;
  if (!facts.negativesSeen) {
    int negatives = 0;
    float first = 0;
    for (int i = 1; i <= lum.CPlaneCount; ++i)
      for (int j = 1; j <= lum.GammaCount; ++j)
        if (const float v = lum.GetValue(i, j); v < 0 && negatives++ == 0) first = v;
    if (negatives > 0)
      out.Add("D01", 0,
              std::to_string(negatives) + " negative intensit" + (negatives == 1 ? "y" : "ies") + ", the first " +
                  FormatAngle(first) + " cd/klm");
  }
  if (!(lum.LumFlux > 0)) {
    out.Add("D03", 0, "the intensities integrate to no luminous flux");
    return;
  }
  const double computed = lum.LumFlux / 10.0;  // percent of the 1000 lm the table refers to
  if (facts.lorStated) {
    if (facts.statedLor > 100)
      out.Add("D04", facts.lorLine, "the light output ratio is " + FormatFixed(facts.statedLor, 2) + " %");
    if (facts.statedLor > 0 && std::fabs(facts.statedLor - computed) > kLorTolerance * facts.statedLor) {
      std::string text = "the stated light output ratio " + FormatFixed(facts.statedLor, 1) +
                         " % and that of the intensities " + FormatFixed(computed, 1) + " % are " +
                         FormatFixed(100 * std::fabs(facts.statedLor - computed) / facts.statedLor, 1) + " % apart";
      const double lamps = lum.LampSetCount > 0 ? lum.LampSets[0].SetFlux : 0;
      if (lamps > 0)
        text += " (lamp flux x LOR " + FormatFixed(lamps * facts.statedLor / 100, 0) + " lm, integrated " +
                FormatFixed(lamps * computed / 100, 0) + " lm)";
      out.Add("D05", facts.lorLine, text);
    }
  } else if (!facts.absolute && computed > 100 * (1 + kLorTolerance)) {
    out.Add("D04", 0,
            "the intensities give " + FormatFixed(computed, 1) + " % of the lamp flux: more light than the lamps give");
  }
}

}  // namespace

namespace {

// The checks that follow loading: the text scans, the readers' messages and
// the table's own.
void CheckLoaded(const std::string& path, TLUM32& lum, const LoadResult& loaded, Collector& out) {
  const bool ok = loaded.ok();
  TextFacts facts;
  const TextKind kind = ok ? KindOf(lum.FormatCode) : KindOfExtension(path);
  if (kind != TextKind::None) {
    TTextReader in;
    if (in.Open(path)) {
      if (kind == TextKind::Ldt) validation::ScanLdt(in, out, facts);
      else validation::ScanIes(in, path, out, facts);
    }
  }
  // The text scans say with their lines what the text readers' boxes say.
  if (ok && !facts.scanned) AddReaderMessages(loaded.messages.texts(), path, out);
  if (ok) {
    lum.CalcFlux();
    if (const auto& w = lum.PlaneWeightsUnbalanced()) AddReaderMessages({UnbalancedWeightsText(*w)}, path, out);
    CheckTable(lum, facts, out);
  }
}

}  // namespace

ValidationReport ValidateFile(const std::string& path) {
  ValidationReport report;
  report.file = path;
  TLUM32 lum;
  {
    Collector out(report);  // tells its counts when it goes
    LoadResult loaded;
    try {
      loaded = LoadLuminaire(path, lum, LoadValues::AsRead);
    } catch (const std::exception&) {  // no memory for the table
      loaded.fault = LoadFault::Damaged;
      loaded.messages.error("out of memory");
    }
    const bool ok = loaded.ok();
    report.formatCode = ok ? lum.FormatCode : std::uint8_t(fmtUnknown);
    if (!ok) {
      switch (loaded.fault) {
        case LoadFault::NotFound: out.Add("R01", 0, "file not found"); return report;
        case LoadFault::NotRegular: out.Add("R01", 0, "not a regular file (FIFO, device or socket)"); return report;
        case LoadFault::OutOfRange:
          out.Add("R04", 0, "values beyond the range of the table (above 1e30 or not a number)");
          break;
        case LoadFault::Damaged:
          out.Add("R03", 0, loaded.messages.empty() ? "damaged" : ReaderReason(loaded.messages.items.back().text, path));
          break;
        default: out.Add("R02", 0, "not a photometric file in a known format"); break;
      }
    }
    CheckLoaded(path, lum, loaded, out);
  }
  return report;
}

ValidationReport ValidateLoaded(const std::string& path, TLUM32& lum, const LoadResult& loaded) {
  ValidationReport report;
  report.file = path;
  report.formatCode = loaded.ok() ? lum.FormatCode : std::uint8_t(fmtUnknown);
  if (!loaded.ok()) return ValidateFile(path);
  {
    Collector out(report);
    CheckLoaded(path, lum, loaded, out);
  }
  return report;
}

}  // namespace kandelo
