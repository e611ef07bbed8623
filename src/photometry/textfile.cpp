#include "photometry/textfile.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "frame/strutil.h"
#include "platform/fileio.h"
#include "platform/text.h"

namespace kandelo {
namespace {

constexpr std::size_t kMaxLine = 255;

std::string_view Trim(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) < 33) s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) < 33) s.remove_suffix(1);
  return s;
}

// Converts the whole text as a decimal number ("," already replaced).
bool ToDouble(std::string_view s, double& v) {
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  if (s.empty()) return false;
  if (ScanPlainDecimal(s.data(), s.data() + s.size(), v) == s.data() + s.size()) return true;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  return ec == std::errc() && p == s.data() + s.size() && std::isfinite(v);
}

// The line (at most 255 characters) trimmed, with every decimal comma made a
// dot: the first by the format's rule, later ones cannot form a number anyway.
// Only a line holding a comma is copied.
std::string_view Normalize(std::string_view line, char (&buf)[kMaxLine + 1], bool firstCommaOnly) {
  std::string_view s = Trim(line.substr(0, kMaxLine));
  if (s.find(',') == std::string_view::npos) return s;
  std::memcpy(buf, s.data(), s.size());
  for (std::size_t i = 0; i < s.size(); ++i)
    if (buf[i] == ',') {
      buf[i] = '.';
      if (firstCommaOnly) break;
    }
  return std::string_view(buf, s.size());
}

}  // namespace

bool ReadFileLimited(const std::string& path, std::string& out, std::uint64_t maxSize) {
  out.clear();
  auto h = platform::fs().open(path, platform::OpenMode::Read);
  if (!h) return false;
  std::int64_t size = h->sizeWhenOpened();
  if (size < 0) size = h->size();
  if (size < 0 || std::uint64_t(size) > maxSize) return false;
  out.resize(static_cast<std::size_t>(size));
  std::size_t got = 0;
  while (got < out.size()) {
    long long n = h->read(out.data() + got, out.size() - got);
    if (n < 0) return out.clear(), false;
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  out.resize(got);
  return true;
}

bool TTextReader::Open(const std::string& path) {
  pos_ = start_ = 0;
  std::string text;
  if (!ReadFileLimited(path, text, kMaxTextFileSize)) return text_.clear(), false;
  OpenText(std::move(text));
  return true;
}

void TTextReader::OpenText(std::string text) {
  text_ = std::move(text);
  start_ = text_.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  pos_ = start_;
  utf8_ = start_ == 3 || platform::isUtf8Text(text_);
}

std::string TTextReader::Text1252(std::string_view s) const {
  return utf8_ ? platform::utf8ToCp1252(s) : std::string(s);
}

std::string_view TTextReader::NextRaw() {
  std::size_t begin = pos_, end = begin;
  while (end < text_.size() && text_[end] != '\n' && text_[end] != '\r') ++end;
  pos_ = end;
  if (pos_ < text_.size()) {
    if (text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n') ++pos_;
    ++pos_;
  }
  return std::string_view(text_).substr(begin, end - begin);
}

bool TTextReader::ReadLine(std::string& line) {
  if (AtEnd()) return line.clear(), false;
  std::string_view raw = NextRaw();
  line.assign(raw.substr(0, kMaxLine));
  return true;
}

bool TTextReader::ReadLineView(std::string_view& line) {
  if (AtEnd()) return line = {}, false;
  line = NextRaw();
  return true;
}

bool TTextReader::ReadLongLine(std::string& line) {
  if (AtEnd()) return line.clear(), false;
  line.assign(NextRaw());
  return true;
}

bool TTextReader::SkipLines(int n) {
  for (int i = 0; i < n; ++i) {
    if (AtEnd()) return false;
    NextRaw();
  }
  return true;
}

bool ParseFloatLine(std::string_view line, double& value) {
  value = 0;
  char buf[kMaxLine + 1];
  std::string_view s = Normalize(line, buf, true);
  if (s.empty()) return true;
  if (s.back() == '.') s.remove_suffix(1);
  double v;
  if (!ToDouble(s, v)) return false;
  value = v;
  return true;
}

bool ParseIntLine(std::string_view line, int& value) {
  value = 0;
  char buf[kMaxLine + 1];
  std::string_view s = Normalize(line, buf, false);
  double v;
  if (s.empty() || !ToDouble(s, v)) return false;
  double r = std::round(v);
  if (r > 2147483647.0 || r < -2147483648.0) return false;
  value = static_cast<int>(r);
  return true;
}

bool ParseWordLine(std::string_view line, std::uint16_t& value) {
  value = 0;
  char buf[kMaxLine + 1];
  std::string_view s = Normalize(line, buf, false);
  if (s.empty()) return false;
  if (s.back() == '.') s.remove_suffix(1);
  if (s.empty()) return false;
  double v;
  if (ToDouble(s, v) && std::fabs(v) < 9e15) {
    long long r = std::llround(v);
    value = static_cast<std::uint16_t>(static_cast<unsigned long long>(r) & 0xFFFFu);
  }
  return true;
}

bool ReadFloatLine(TTextReader& in, double& value) {
  std::string_view line;
  if (!in.ReadLineView(line)) return value = 0, false;
  return ParseFloatLine(line, value);
}

bool ReadIntLine(TTextReader& in, int& value) {
  std::string_view line;
  if (!in.ReadLineView(line)) return value = 0, false;
  return ParseIntLine(line, value);
}

bool ReadWordLine(TTextReader& in, std::uint16_t& value) {
  std::string_view line;
  if (!in.ReadLineView(line)) return value = 0, false;
  return ParseWordLine(line, value);
}

bool CountFitsFile(const TTextReader& in, std::uint64_t count, unsigned minBytesEach) {
  if (minBytesEach == 0) minBytesEach = 1;
  return count <= in.BytesLeft() / minBytesEach;
}

void TTextWriter::Line(std::string_view text) {
  out_ += text;
  out_ += "\r\n";
}

bool TTextWriter::Commit(const std::string& path) const { return platform::writeFileAtomic(path, out_); }

}  // namespace kandelo
