#include "frame/strutil.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>

#include "platform/fileio.h"
#include "platform/text.h"

namespace kandelo {

namespace pf = kandelo::platform;

namespace {
bool isSeparator(char c) {
#ifdef _WIN32
  return c == '\\' || c == ':';
#else
  return c == '/';
#endif
}
}  // namespace

std::string Cut(std::string_view s, std::size_t n) { return std::string(s.substr(0, n)); }

std::string TrimBlanks(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) < 33) ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) < 33) --e;
  return std::string(s.substr(b, e - b));
}

std::string AddBackslash(std::string_view path) {
  std::string p = Cut(TrimBlanks(path));
  if (p.empty()) return p;
  if (!isSeparator(p.back()) && p.size() < kMaxCounted) p += kPathSep;
  return p;
}

bool DirExists(const std::string& path) { return !path.empty() && pf::fs().isDirectory(path); }

bool FileExistsS(const std::string& path) {
  return !path.empty() && pf::fs().exists(path) && !pf::fs().isDirectory(path);
}

std::string PadRight(std::string_view s, std::size_t width) {
  std::string r(s);
  if (r.size() < width) r.append(width - r.size(), ' ');
  return r;
}

std::string PadLeft(std::string_view s, std::size_t width) {
  std::string r(s);
  if (r.size() < width) r.insert(0, width - r.size(), ' ');
  return r;
}

std::string IntToStrPadded(long long n, std::size_t width) { return PadLeft(std::to_string(n), width); }

std::string NameWithoutExt(std::string_view path) {
  std::string n = ExtractName(path);
  auto dot = n.find('.');
  return dot == std::string::npos ? n : n.substr(0, dot);
}

std::string OemToAnsi(std::string_view s) { return pf::oemToAnsi(s); }

namespace {
bool isDelim(char c, std::string_view d) { return d.find(c) != std::string_view::npos; }
}  // namespace

int WordCount(std::string_view s, std::string_view delimiters) {
  int n = 0;
  std::size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && isDelim(s[i], delimiters)) ++i;
    if (i < s.size()) ++n;
    while (i < s.size() && !isDelim(s[i], delimiters)) ++i;
  }
  return n;
}

int WordPosition(int n, std::string_view s, std::string_view delimiters) {
  int count = 0;
  std::size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && isDelim(s[i], delimiters)) ++i;
    if (i < s.size() && ++count == n) return static_cast<int>(i) + 1;
    while (i < s.size() && !isDelim(s[i], delimiters)) ++i;
  }
  return 0;
}

std::string ExtractWord(int n, std::string_view s, std::string_view delimiters) {
  int pos = WordPosition(n, s, delimiters);
  if (pos == 0) return {};
  std::size_t b = static_cast<std::size_t>(pos - 1), e = b;
  while (e < s.size() && !isDelim(s[e], delimiters)) ++e;
  return Cut(s.substr(b, e - b));
}

std::string TrueCaseFileName(const std::string& path) {
  std::string dir = ParentPath(path);
  std::string name = path.substr(dir.empty() ? 0 : path.size() - ExtractName(path).size());
  auto entries = pf::fs().listDirectory(dir.empty() ? "." : dir);
  if (!entries) return path;
  // An exact match wins; otherwise the entry that differs only in letter case.
  for (auto& e : *entries)
    if (e.name == name) return path;
  for (auto& e : *entries)
    if (pf::equalTextCI(e.name, name)) return path.substr(0, path.size() - name.size()) + e.name;
  return path;
}

int CopyFileBuffered(const std::string& source, const std::string& target) {
  constexpr std::size_t kBuffer = 35000;
  std::unique_ptr<char[]> buf(new (std::nothrow) char[kBuffer]);
  if (!buf) return -1;
  auto in = pf::fs().open(source, pf::OpenMode::Read);
  if (!in) return 1;
  auto out = pf::fs().open(target, pf::OpenMode::Create);
  if (!out) return 2;
  auto fail = [&](int code) {
    out->close();
    pf::fs().removeFile(target);
    return code;
  };
  for (;;) {
    long long n = in->read(buf.get(), kBuffer);
    if (n < 0) return fail(3);
    if (n == 0) break;
    if (!out->write(buf.get(), static_cast<std::size_t>(n))) return fail(4);
  }
  in->close();
  auto date = pf::fs().modifiedTime(source);
  if (!date) return fail(5);
  if (!pf::fs().setModifiedTime(target, *date)) return fail(6);
  // A target that cannot be closed may be incomplete: it is removed as well.
  if (!out->close()) {
    pf::fs().removeFile(target);
    return 7;
  }
  if (auto attrs = pf::fs().attributes(source)) pf::fs().setAttributes(target, *attrs);
  return 0;
}

bool ParseInt(std::string_view s, long long& out) {
  std::string t = TrimBlanks(s);
  if (!t.empty() && t[0] == '+') t.erase(0, 1);
  if (t.empty()) return false;
  auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), out);
  return ec == std::errc() && p == t.data() + t.size();
}

const char* ScanPlainDecimal(const char* p, const char* last, double& out) {
  // At most 15 digits make an integer below 2^53 and a divisor of at most
  // 10^15: both are exact doubles, so the single rounding of the division
  // gives the correctly rounded value of the decimal.
  static constexpr double kPow10[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                      1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  const bool negative = p < last && *p == '-';
  if (negative) ++p;
  std::uint64_t m = 0;
  int digits = 0, decimals = 0;
  for (; p < last && static_cast<unsigned>(*p - '0') < 10; ++p, ++digits) m = m * 10 + unsigned(*p - '0');
  if (p < last && *p == '.') {
    for (++p; p < last && static_cast<unsigned>(*p - '0') < 10; ++p, ++digits, ++decimals)
      m = m * 10 + unsigned(*p - '0');
  }
  if (digits == 0 || digits > 15) return nullptr;
  if (p < last && (*p == 'e' || *p == 'E' || *p == '.')) return nullptr;
  const double v = static_cast<double>(m) / kPow10[decimals];
  out = negative ? -v : v;
  return p;
}

bool ParseDouble(std::string_view s, double& out) {
  // Readers call this for every value of a table: trimmed in place, and a
  // decimal comma replaced in a stack copy, so that nothing is allocated.
  std::size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) < 33) ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) < 33) --e;
  s = s.substr(b, e - b);
  if (!s.empty() && s[0] == '+') s.remove_prefix(1);
  if (s.empty()) return false;
  char buf[64];
  std::string long_;
  const char* first = s.data();
  if (s.find(',') != std::string_view::npos) {
    char* copy = buf;
    if (s.size() > sizeof buf) {
      long_.assign(s);
      copy = long_.data();
    } else {
      std::memcpy(buf, s.data(), s.size());
    }
    for (std::size_t i = 0; i < s.size(); ++i)
      if (copy[i] == ',') copy[i] = '.';
    first = copy;
  }
  const char* last = first + s.size();
  if (ScanPlainDecimal(first, last, out) == last) return true;
  auto [p, ec] = std::from_chars(first, last, out);
  return ec == std::errc() && p == last && std::isfinite(out);
}

std::string FormatFixed(double v, int decimals, char decimalSep) {
  char buf[64];
  auto [p, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
  std::string r = ec == std::errc() ? std::string(buf, p) : std::string("0");
  if (decimalSep != '.')
    for (auto& c : r)
      if (c == '.') c = decimalSep;
  return r;
}

}  // namespace kandelo
