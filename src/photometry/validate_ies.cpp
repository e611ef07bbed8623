// The IES LM-63 checks: the version line and the keywords an edition
// requires, the TILT line and its data or file, and the number lists with
// the line each one starts on.
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "frame/strutil.h"
#include "photometry/ies_format.h"
#include "photometry/number_lists.h"
#include "photometry/validate_scan.h"
#include "platform/fileio.h"
#include "platform/text.h"

namespace kandelo::validation {
namespace {

struct Edition {
  const char* versionLine;  // as the edition spells it
  const char* key;          // what identifies a misspelt one
  std::vector<const char*> required;
};

// The editions with a version line. 1986 files have none and no keywords.
const std::vector<Edition>& Editions() {
  static const std::vector<Edition> e = {
      {"IESNA91", "91", {}},
      {"IESNA:LM-63-1995", "1995", {}},
      {"IESNA:LM-63-2002", "2002", {"[TEST]", "[TESTLAB]", "[ISSUEDATE]", "[MANUFAC]"}},
      {"IES:LM-63-2019",
       "2019",
       {"[TEST]", "[TESTLAB]", "[ISSUEDATE]", "[MANUFAC]", "[LUMCAT]", "[LUMINAIRE]", "[LAMP]", "[LAMPCAT]"}},
  };
  return e;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  return s;
}

bool StartsWithCI(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && platform::upper1252(s.substr(0, prefix.size())) == prefix;
}

class IesScan {
 public:
  IesScan(TTextReader& in, const std::string& path, Collector& out, TextFacts& facts)
      : lines_(in), path_(path), out_(out), facts_(facts) {}
  void Run();

 private:
  // Reads a list of n numbers that starts on a new line and may continue
  // over further lines, as the reader does; the count read.
  std::size_t List(std::size_t n, const std::string& what, std::vector<double>* values);
  void Header();
  bool Tilt(std::string_view value);
  void CheckAngles(const std::vector<double>& v, const std::string& what, int line);

  NumberedLines lines_;
  const std::string& path_;
  Collector& out_;
  TextFacts& facts_;
  int listLine_ = 0;  // line the last list started on
  bool tiltFound_ = false;
};

std::size_t IesScan::List(std::size_t n, const std::string& what, std::vector<double>* values) {
  if (values) values->clear();
  std::size_t got = 0;
  std::vector<std::string_view> words;
  std::string_view line;
  listLine_ = 0;
  while (got < n && lines_.Next(line)) {
    if (listLine_ == 0) listLine_ = lines_.Number();
    words.clear();
    SplitWords(line, words);
    for (std::string_view w : words) {
      if (got == n) break;
      ++got;
      double v = WordToFloat(w);
      if (v == 0) {
        double parsed;
        if (!ParseFloatLine(w, parsed)) {
          if (LooksNonFinite(w))
            out_.Add("D02", lines_.Number(), what + ": " + Quoted(w) + " is not a finite number");
          else
            out_.Add("I07", lines_.Number(), what + ": " + Quoted(w) + " is not a number and reads as 0");
        }
      }
      if (values) values->push_back(v);
    }
  }
  if (listLine_ == 0) listLine_ = lines_.Number() + 1;
  return got;
}

void IesScan::CheckAngles(const std::vector<double>& v, const std::string& what, int line) {
  for (std::size_t k = 1; k < v.size(); ++k)
    if (!(v[k] > v[k - 1])) {
      out_.Add("I08", line,
               what + " do not ascend: " + FormatAngle(v[k - 1]) + " is followed by " + FormatAngle(v[k]));
      return;
    }
}

void IesScan::Header() {
  std::string_view first;
  if (!lines_.Next(first)) return;
  CheckTextLine(first, lines_.Utf8(), 1, out_);
  const std::string_view version = Trim(first);
  const Edition* edition = nullptr;
  if (StartsWithCI(version, "IES")) {
    for (const Edition& e : Editions())
      if (version == e.versionLine) edition = &e;
    if (!edition) {
      // A known edition spelt otherwise ("IESNA: LM-63-2002", "IESNA95").
      const std::string squeezed = platform::upper1252(version);
      for (const Edition& e : Editions())
        if (squeezed.find(e.key) != std::string::npos) edition = &e;
      out_.Add("I01", 1,
               "the version line " + Quoted(version) +
                   (edition ? std::string(" is not spelt ") + Quoted(edition->versionLine)
                            : std::string(" names no edition (IESNA91, IESNA:LM-63-1995, IESNA:LM-63-2002, "
                                          "IES:LM-63-2019)")));
    }
  }
  std::set<std::string> keywords;
  std::string_view line = first;
  bool firstLine = true;
  while (firstLine || lines_.Next(line)) {
    const bool checked = firstLine;
    firstLine = false;
    if (IsTiltLine(line)) {
      tiltFound_ = true;
      const std::string_view t = Trim(line);
      const int tiltLine = lines_.Number();
      if (edition)
        for (const char* k : edition->required)
          if (!keywords.count(k))
            out_.Add("I02", tiltLine,
                     std::string("the keyword ") + k + " that " + edition->versionLine + " requires is missing");
      if (!Tilt(Trim(t.substr(5)))) return;
      break;
    }
    if (!checked) CheckTextLine(line, lines_.Utf8(), lines_.Number(), out_);
    const std::string_view l = Trim(line);
    if (!l.empty() && l.front() == '[') {
      const std::size_t close = l.find(']');
      if (close != std::string_view::npos) keywords.insert(platform::upper1252(l.substr(0, close + 1)));
    }
  }
  if (!tiltFound_) out_.Add("I03", lines_.Number() + 1, "no TILT= line: the file ends in its header");
}

bool IesScan::Tilt(std::string_view value) {
  const std::string upper = platform::upper1252(value);
  if (upper == "NONE") return true;
  if (upper == "INCLUDE") {
    std::vector<double> v;
    if (List(1, "the lamp-to-luminaire geometry", &v) < 1 || List(1, "the number of tilt angles", &v) < 1) {
      out_.Add("I05", listLine_, "the file ends in the tilt data");
      return false;
    }
    const double pairs = v[0];
    const int countLine = listLine_;
    if (!(pairs >= 0) || pairs != std::floor(pairs) || pairs > 1e6) {
      out_.Add("I05", countLine, "the number of tilt angles is " + FormatAngle(pairs));
      return false;
    }
    const auto n = static_cast<std::size_t>(pairs);
    if (n > 0 && (List(n, "a tilt angle", nullptr) < n || List(n, "a tilt factor", nullptr) < n)) {
      out_.Add("I05", listLine_, "the file ends in the tilt data (" + std::to_string(n) + " pairs announced)");
      return false;
    }
    return true;
  }
  // A tilt file beside the photometric file; the readers take the data
  // without it (as TILT=NONE), so a missing one changes what is computed.
  const std::string name(value);
  std::string target = !name.empty() && name.front() == '/' ? name : AddBackslash(ParentPath(path_)) + name;
  auto& fs = platform::fs();
  const std::string dir = ParentPath(target);
  bool found = !name.empty() && fs.exists(target) && !fs.isDirectory(target);
  if (!found && !name.empty())
    if (auto entries = fs.listNames(dir))
      for (const auto& e : *entries)
        if (platform::equalTextCI(e.name, ExtractName(target))) found = true;
  if (!found) out_.Add("I04", lines_.Number(), "the tilt file " + Quoted(name) + " is missing");
  return true;
}

void IesScan::Run() {
  facts_.scanned = true;
  Header();
  if (!tiltFound_ || out_.Has("I05")) return;
  std::vector<double> v;
  if (List(10, "the photometric data", &v) < 10) {
    out_.Add("I06", listLine_, "the file ends before the ten numbers of the photometric data");
    return;
  }
  const int dataLine = listLine_;
  const double lumens = v[1];
  facts_.absolute = std::fabs(lumens + 1) < 1e-6 || lumens <= 0;
  if (lumens <= 0 && std::fabs(lumens + 1) >= 1e-6)
    out_.Add("D06", dataLine, "the lumens per lamp are " + FormatAngle(lumens) + ", neither positive nor -1");
  const double nv = v[3], nh = v[4], type = v[5], units = v[6];
  if (type != 1 && type != 2 && type != 3)
    out_.Add("I09", dataLine, "the photometric type is " + FormatAngle(type) + ", not 1 (C), 2 (B) or 3 (A)");
  if (units != 1 && units != 2)
    out_.Add("I09", dataLine, "the units type is " + FormatAngle(units) + ", not 1 (feet) or 2 (metres)");
  if (List(3, "the ballast factor and input watts", &v) < 3) {
    out_.Add("I06", listLine_, "the file ends before the ballast factor and input watts");
    return;
  }
  if (!(nv >= 1 && nh >= 1 && nv <= 65535 && nh <= 65535) || nv != std::floor(nv) || nh != std::floor(nh)) {
    out_.Add("I06", dataLine,
             "the numbers of angles (" + FormatAngle(nv) + " vertical, " + FormatAngle(nh) +
                 " horizontal) cannot describe a table");
    return;
  }
  const auto nV = static_cast<std::size_t>(nv), nH = static_cast<std::size_t>(nh);
  std::vector<double> vertical, horizontal;
  if (List(nV, "a vertical angle", &vertical) < nV) {
    out_.Add("I06", listLine_, "the file ends in the " + std::to_string(nV) + " vertical angles");
    return;
  }
  CheckAngles(vertical, "the vertical angles", listLine_);
  const int vLine = listLine_;
  if (List(nH, "a horizontal angle", &horizontal) < nH) {
    out_.Add("I06", listLine_, "the file ends in the " + std::to_string(nH) + " horizontal angles");
    return;
  }
  CheckAngles(horizontal, "the horizontal angles", listLine_);
  if (type == 1) {
    // Type C: the vertical angles start at 0 or 90 and end at 90 or 180; the
    // horizontal ones cover one of the symmetric ranges from 0 or 90.
    const double v0 = vertical.front(), v1 = vertical.back(), h0 = horizontal.front(), h1 = horizontal.back();
    if ((v0 != 0 && v0 != 90) || (v1 != 90 && v1 != 180))
      out_.Add("I10", vLine,
               "the vertical angles run " + FormatAngle(v0) + " ... " + FormatAngle(v1) +
                   ", not from 0 or 90 to 90 or 180");
    if (!(nH == 1 && h0 == 0) && !(h0 == 0 && (h1 == 90 || h1 == 180 || h1 == 360)) && !(h0 == 90 && h1 == 270))
      out_.Add("I10", listLine_,
               "the horizontal angles run " + FormatAngle(h0) + " ... " + FormatAngle(h1) +
                   ", not 0, 0 ... 90, 0 ... 180, 0 ... 360 or 90 ... 270");
  }

  int negatives = 0, firstNegative = 0;
  double firstValue = 0;
  for (std::size_t k = 0; k < nH; ++k) {
    const std::size_t got = List(nV, "an intensity", &v);
    if (got < nV) {
      // The reader lets the very last value be missing (read as 0).
      if (k + 1 == nH && got + 1 == nV)
        out_.Add("I12", listLine_, "the last intensity value is missing and reads as 0");
      else
        out_.Add("I06", listLine_,
                 "the file ends in the intensities of horizontal angle " + FormatAngle(horizontal[k]) + " (" +
                     std::to_string(k * nV + got) + " of " + std::to_string(nV * nH) + " values)");
      break;
    }
    for (double x : v)
      if (x < 0 && negatives++ == 0) {
        firstNegative = listLine_;
        firstValue = x;
      }
  }
  if (negatives > 0) {
    out_.Add("D01", firstNegative,
             std::to_string(negatives) + " negative intensit" + (negatives == 1 ? "y" : "ies") + ", the first " +
                 FormatAngle(firstValue) + " cd");
    facts_.negativesSeen = true;
  }
  std::string_view line;
  while (lines_.Next(line))
    if (!Trim(line).empty()) {
      out_.Add("I11", lines_.Number(), "more values than the angle counts announce: " + Quoted(line));
      break;
    }
}

}  // namespace

void ScanIes(TTextReader& in, const std::string& path, Collector& out, TextFacts& facts) {
  IesScan(in, path, out, facts).Run();
}

}  // namespace kandelo::validation
