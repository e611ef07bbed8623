#include "photometry/number_lists.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "frame/strutil.h"

namespace kandelo {

namespace {
bool IsSeparator(char c) { return c == ' ' || c == ',' || static_cast<unsigned char>(c) < 32; }

// A word between separators holds no blank and no comma: WordToFloat without
// the trimming and comma handling.
double WordValue(const char* first, const char* last) {
  if (*first == '+') ++first;
  double v = 0;
  if (first == last) return 0;
  auto [p, ec] = std::from_chars(first, last, v);
  return ec == std::errc() && p == last && std::isfinite(v) ? v : 0.0;
}
}  // namespace

void SplitWords(std::string_view line, std::vector<std::string_view>& out) {
  std::size_t i = 0;
  const std::size_t n = line.size();
  while (i < n) {
    while (i < n && IsSeparator(line[i])) ++i;
    std::size_t start = i;
    while (i < n && !IsSeparator(line[i])) ++i;
    if (i > start) out.push_back(line.substr(start, i - start));
  }
}

int CountWords(std::string_view line) {
  int count = 0;
  bool inWord = false;
  for (char c : line) {
    bool sep = IsSeparator(c);
    if (!sep && !inWord) ++count;
    inWord = !sep;
  }
  return count;
}

double WordToFloat(std::string_view word) {
  double v = 0;
  return ParseDouble(word, v) ? v : 0.0;
}

long long WordToInt(std::string_view word) {
  double v = 0;
  if (!ParseDouble(word, v)) return 0;
  double r = std::round(v);
  if (std::fabs(v - r) > 1e-6 || std::fabs(r) > 1e15) return 0;
  return static_cast<long long>(r);
}

std::size_t ReadWordList(TTextReader& in, std::size_t n, std::vector<std::string>& words) {
  words.clear();
  std::string line;
  std::vector<std::string_view> parts;
  while (words.size() < n && in.ReadLongLine(line)) {
    parts.clear();
    SplitWords(line, parts);
    for (auto p : parts) {
      if (words.size() == n) break;
      words.emplace_back(p);
    }
  }
  return words.size();
}

std::size_t ReadNumberList(TTextReader& in, std::size_t n, std::vector<double>& values) {
  values.clear();
  values.reserve(std::min<std::size_t>(n, in.BytesLeft() / 2 + 1));  // a number takes two bytes at least
  // The words are converted straight from the file's text: no line copy, no
  // list of words per line, and a plain decimal read in the same pass that
  // finds its end (anything else goes through WordValue).
  std::string_view line;
  while (values.size() < n && in.ReadLineView(line)) {
    const char* p = line.data();
    const char* const end = p + line.size();
    while (p < end && values.size() < n) {
      while (p < end && IsSeparator(*p)) ++p;
      if (p == end) break;
      double v;
      const char* stop = ScanPlainDecimal(p, end, v);
      if (!stop || (stop < end && !IsSeparator(*stop))) {
        stop = p;
        while (stop < end && !IsSeparator(*stop)) ++stop;
        v = WordValue(p, stop);
      }
      values.push_back(v);
      p = stop;
    }
  }
  return values.size();
}

bool StrictlyAscending(const std::vector<double>& v) {
  for (std::size_t i = 1; i < v.size(); ++i)
    if (!(v[i] > v[i - 1])) return false;
  return true;
}

bool StrictlyDescending(const std::vector<double>& v) {
  for (std::size_t i = 1; i < v.size(); ++i)
    if (!(v[i] < v[i - 1])) return false;
  return true;
}

bool AllWithin(const std::vector<double>& v, double lo, double hi) {
  for (double x : v)
    if (x < lo - 0.001 || x > hi + 0.001) return false;
  return true;
}

float ToSingle(double v) {
  constexpr double kMax = std::numeric_limits<float>::max();
  if (std::isnan(v)) return 0;
  if (v > kMax) return static_cast<float>(kMax);
  if (v < -kMax) return static_cast<float>(-kMax);
  return static_cast<float>(v);
}

std::uint16_t ToU16(double v) {
  if (std::isnan(v) || v <= 0) return 0;
  double r = std::round(v);
  return r >= 65535 ? 65535 : static_cast<std::uint16_t>(r);
}

std::int16_t ToI16(double v) {
  if (std::isnan(v)) return 0;
  double r = std::round(v);
  if (r >= 32767) return 32767;
  if (r <= -32768) return -32768;
  return static_cast<std::int16_t>(r);
}

std::uint8_t ToLampCount(long long n) {
  if (n <= 0) return 1;
  return n > 255 ? 255 : static_cast<std::uint8_t>(n);
}

std::string FormatAngle(double a) {
  for (int d = 1; d < 4; ++d) {
    double scale = std::pow(10.0, d);
    if (std::fabs(std::round(a * scale) / scale - a) < 1e-4) return FormatFixed(a, d);
  }
  return FormatFixed(a, 4);
}

std::string SafeTextLine(std::string_view s) {
  std::string r(s);
  for (auto& c : r)
    if (static_cast<unsigned char>(c) < 32) c = ' ';
  return r;
}

void TWrappedLine::Add(std::string_view item) {
  if (line_.size() > limit_) {
    out_.Line(line_);
    line_.clear();
  }
  line_ += item;
}

void TWrappedLine::Close() {
  if (!line_.empty()) out_.Line(line_);
  line_.clear();
}

}  // namespace kandelo
