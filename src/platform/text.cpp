#include "platform/text.h"

#include <array>
#include <cstdint>

namespace kandelo::platform {
namespace {

// Upper halves (0x80..0xFF) of the code pages, as UTF-8 text of 128 characters.
constexpr const char* kCp1252High =
    "€\x01‚ƒ„…†‡ˆ‰Š‹Œ\x01Ž\x01\x01‘’“”•–—˜™š›œ\x01žŸ"
    "\u00A0¡¢£¤¥¦§¨©ª«¬\u00AD®¯°±²³´µ¶·¸¹º»¼½¾¿"
    "ÀÁÂÃÄÅÆÇÈÉÊËÌÍÎÏÐÑÒÓÔÕÖ×ØÙÚÛÜÝÞß"
    "àáâãäåæçèéêëìíîïðñòóôõö÷øùúûüýþÿ";
constexpr const char* kCp437High =
    "ÇüéâäàåçêëèïîìÄÅÉæÆôöòûùÿÖÜ¢£¥₧ƒ"
    "áíóúñÑªº¿⌐¬½¼¡«»░▒▓│┤╡╢╖╕╣║╗╝╜╛┐"
    "└┴┬├─┼╞╟╚╔╩╦╠═╬╧╨╤╥╙╘╒╓╫╪┘┌█▄▌▐▀"
    "αßΓπΣσµτΦΘΩδ∞φε∩≡±≥≤⌠⌡÷≈°∙·√ⁿ²■\u00A0";
constexpr const char* kCp850High =
    "ÇüéâäàåçêëèïîìÄÅÉæÆôöòûùÿÖÜø£Ø×ƒ"
    "áíóúñÑªº¿®¬½¼¡«»░▒▓│┤ÁÂÀ©╣║╗╝¢¥┐"
    "└┴┬├─┼ãÃ╚╔╩╦╠═╬¤ðÐÊËÈıÍÎÏ┘┌█▄¦Ì▀"
    "ÓßÔÒõÕµþÞÚÛÙýÝ¯´\u00AD±‗¾¶§÷¸°¨·¹³²■\u00A0";

// Decodes one UTF-8 sequence at s[i]; advances i. Invalid bytes give U+FFFD.
char32_t decodeUtf8(std::string_view s, std::size_t& i) {
  auto c = static_cast<unsigned char>(s[i++]);
  if (c < 0x80) return c;
  int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : -1;
  if (extra < 0) return 0xFFFD;
  char32_t cp = c & (0x3F >> extra);
  for (int k = 0; k < extra; ++k) {
    if (i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 0xFFFD;
    cp = (cp << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
  }
  return cp;
}

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

using HighTable = std::array<char32_t, 128>;

HighTable decodeTable(const char* utf8) {
  HighTable t{};
  std::string_view s(utf8);
  std::size_t i = 0;
  for (auto& cp : t) {
    cp = i < s.size() ? decodeUtf8(s, i) : 0xFFFD;
    if (cp == 1) cp = 0x80 + static_cast<char32_t>(&cp - t.data());  // undefined: keep C1 control
  }
  return t;
}

const HighTable& cp1252() { static const HighTable t = decodeTable(kCp1252High); return t; }
const HighTable& oemTable(int cp) {
  static const HighTable t437 = decodeTable(kCp437High);
  static const HighTable t850 = decodeTable(kCp850High);
  return cp == 437 ? t437 : t850;
}

char32_t toUnicode(unsigned char c, const HighTable& t) { return c < 0x80 ? c : t[c - 0x80]; }

// Reverse lookup; '?' when the table has no such character.
char fromUnicode(char32_t cp, const HighTable& t) {
  if (cp < 0x80) return static_cast<char>(cp);
  for (std::size_t k = 0; k < 128; ++k)
    if (t[k] == cp) return static_cast<char>(0x80 + k);
  return '?';
}

// Base letter (upper case) of an accented 1252 letter, for the collation.
unsigned char baseLetter(unsigned char u) {
  static const char* const map =
      // 0xC0..0xFF after upper-casing
      "AAAAAAACEEEEIIIIDNOOOOO\xD7OUUUUY\xDE\xDF"
      "AAAAAAACEEEEIIIIDNOOOOO\xF7OUUUUY\xDEY";
  if (u >= 0xC0) return static_cast<unsigned char>(map[u - 0xC0]);
  if (u == 0x8A || u == 0x9A) return 'S';
  if (u == 0x8E || u == 0x9E) return 'Z';
  if (u == 0x9F) return 'Y';
  if (u == 0x8C || u == 0x9C) return 'O';
  return u;
}

// Sort classes of the locale collation: controls, punctuation and symbols,
// digits, letters.
int collationClass(unsigned char u) {
  if (u < 0x20) return 0;
  if (u >= '0' && u <= '9') return 2;
  if ((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u >= 0xC0 || u == 0x8A || u == 0x9A ||
      u == 0x8C || u == 0x9C || u == 0x8E || u == 0x9E || u == 0x9F || u == 0x83)
    return u == 0xD7 || u == 0xF7 ? 1 : 3;
  return 1;
}

}  // namespace

char upperChar1252(char c) {
  auto u = static_cast<unsigned char>(c);
  if (u >= 'a' && u <= 'z') return static_cast<char>(u - 32);
  if (u >= 0xE0 && u != 0xF7 && u != 0xFF) return static_cast<char>(u - 32);
  switch (u) {
    case 0x9A: return static_cast<char>(0x8A);
    case 0x9C: return static_cast<char>(0x8C);
    case 0x9E: return static_cast<char>(0x8E);
    case 0xFF: return static_cast<char>(0x9F);
    default: return c;
  }
}

char lowerChar1252(char c) {
  auto u = static_cast<unsigned char>(c);
  if (u >= 'A' && u <= 'Z') return static_cast<char>(u + 32);
  if (u >= 0xC0 && u <= 0xDE && u != 0xD7) return static_cast<char>(u + 32);
  switch (u) {
    case 0x8A: return static_cast<char>(0x9A);
    case 0x8C: return static_cast<char>(0x9C);
    case 0x8E: return static_cast<char>(0x9E);
    case 0x9F: return static_cast<char>(0xFF);
    default: return c;
  }
}

std::string upper1252(std::string_view s) {
  std::string r(s);
  for (auto& c : r) c = upperChar1252(c);
  return r;
}

std::string lower1252(std::string_view s) {
  std::string r(s);
  for (auto& c : r) c = lowerChar1252(c);
  return r;
}

int compareTextCI(std::string_view a, std::string_view b) {
  // Primary: class, then base letter; secondary: accents (upper-cased byte).
  int secondary = 0;
  std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    auto ua = static_cast<unsigned char>(upperChar1252(a[i]));
    auto ub = static_cast<unsigned char>(upperChar1252(b[i]));
    if (ua == ub) continue;
    int ca = collationClass(ua), cb = collationClass(ub);
    if (ca != cb) return ca < cb ? -1 : 1;
    unsigned char ba = baseLetter(ua), bb = baseLetter(ub);
    if (ba != bb) return ba < bb ? -1 : 1;
    if (secondary == 0) secondary = ua < ub ? -1 : 1;
  }
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return secondary;
}

bool equalTextCI(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (upperChar1252(a[i]) != upperChar1252(b[i])) return false;
  return true;
}

std::string cp1252ToUtf8(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char c : s) appendUtf8(out, toUnicode(static_cast<unsigned char>(c), cp1252()));
  return out;
}

std::string utf8ToCp1252(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) out += fromUnicode(decodeUtf8(s, i), cp1252());
  return out;
}

bool isUtf8Text(std::string_view s) {
  bool multiByte = false;
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    int extra;
    char32_t cp, min;
    if (c >= 0xC2 && c <= 0xDF) extra = 1, cp = c & 0x1F, min = 0x80;
    else if (c >= 0xE0 && c <= 0xEF) extra = 2, cp = c & 0x0F, min = 0x800;
    else if (c >= 0xF0 && c <= 0xF4) extra = 3, cp = c & 0x07, min = 0x10000;
    else return false;
    if (s.size() - i <= static_cast<std::size_t>(extra)) return false;
    for (int k = 1; k <= extra; ++k) {
      const auto d = static_cast<unsigned char>(s[i + k]);
      if ((d & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (d & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    multiByte = true;
    i += static_cast<std::size_t>(extra) + 1;
  }
  return multiByte;
}

std::string fileTextTo1252(std::string_view s) { return isUtf8Text(s) ? utf8ToCp1252(s) : std::string(s); }

std::string oemToAnsi(std::string_view s, int oemCodePage) {
  std::string out;
  out.reserve(s.size());
  const auto& oem = oemTable(oemCodePage);
  for (char c : s) out += fromUnicode(toUnicode(static_cast<unsigned char>(c), oem), cp1252());
  return out;
}

std::string ansiToOem(std::string_view s, int oemCodePage) {
  std::string out;
  out.reserve(s.size());
  const auto& oem = oemTable(oemCodePage);
  for (char c : s) out += fromUnicode(toUnicode(static_cast<unsigned char>(c), cp1252()), oem);
  return out;
}

namespace {
bool matchFrom(std::string_view n, std::string_view m) {
  // Iterative wildcard match with backtracking to the last '*'.
  std::size_t ni = 0, mi = 0, star = std::string_view::npos, mark = 0;
  while (ni < n.size()) {
    if (mi < m.size() && (m[mi] == '?' || upperChar1252(m[mi]) == upperChar1252(n[ni]))) {
      ++ni;
      ++mi;
    } else if (mi < m.size() && m[mi] == '*') {
      star = mi++;
      mark = ni;
    } else if (star != std::string_view::npos) {
      mi = star + 1;
      ni = ++mark;
    } else {
      return false;
    }
  }
  while (mi < m.size() && m[mi] == '*') ++mi;
  return mi == m.size();
}
}  // namespace

bool matchesMask(std::string_view name, std::string_view mask) {
  if (mask == "*.*" || mask == "*") return true;
  if (matchFrom(name, mask)) return true;
  // "NAME.*" and "*." also match a name without an extension, as DOS masks do.
  if (name.find('.') == std::string_view::npos) {
    if (mask.size() >= 2 && mask.substr(mask.size() - 2) == ".*") return matchFrom(name, mask.substr(0, mask.size() - 2));
    if (!mask.empty() && mask.back() == '.') return matchFrom(name, mask.substr(0, mask.size() - 1));
  }
  return false;
}

}  // namespace kandelo::platform
