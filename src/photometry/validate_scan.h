// Pieces shared by the file checks: the collector of problems and the line
// scans of the text formats (validate_ldt.cpp, validate_ies.cpp).
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "photometry/textfile.h"
#include "photometry/validate.h"

namespace kandelo::validation {

// Collects problems; a code that comes up very often (a hostile file with a
// million bad numbers) is reported a few times and then counted.
class Collector {
 public:
  explicit Collector(ValidationReport& report) : report_(report) {}
  ~Collector();
  void Add(const char* code, int line, std::string message);
  bool Has(const char* code) const { return counts_.count(code) > 0; }

 private:
  static constexpr int kShownPerCode = 10;
  ValidationReport& report_;
  std::map<std::string, int> counts_;
};

// What a text scan learnt that the checks of the whole table need.
struct TextFacts {
  bool scanned = false;      // a scan ran over the file's lines
  bool lorStated = false;    // the file states a light output ratio
  double statedLor = 0;      // percent
  int lorLine = 0;
  bool absolute = false;     // absolute photometry: no lamp flux to compare with
  bool negativesSeen = false;  // negative intensities already reported with their line
};

// Lines of a text file with their numbers (1-based, counting from the first
// line behind a byte-order mark).
class NumberedLines {
 public:
  explicit NumberedLines(TTextReader& in) : in_(in) {}
  bool Next(std::string_view& line) {
    if (!in_.ReadLineView(line)) return false;
    ++number_;
    return true;
  }
  int Number() const { return number_; }
  bool Utf8() const { return in_.Utf8(); }

 private:
  TTextReader& in_;
  int number_ = 0;
};

// A text line of the file: characters that the 1252 code page does not hold.
void CheckTextLine(std::string_view line, bool utf8, int lineNo, Collector& out);
// "nan", "inf" and their signed forms, which no reader takes as numbers.
bool LooksNonFinite(std::string_view word);
std::string Quoted(std::string_view text);  // the start of a text, in quotes, for messages

void ScanLdt(TTextReader& in, Collector& out, TextFacts& facts);
void ScanIes(TTextReader& in, const std::string& path, Collector& out, TextFacts& facts);

}  // namespace kandelo::validation
