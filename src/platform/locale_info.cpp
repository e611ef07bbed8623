#include "platform/locale_info.h"

#include <langinfo.h>

#include <clocale>
#include <cstdlib>
#include <mutex>

namespace kandelo::platform {
namespace {

// Converts a strftime date format ("%d.%m.%y") to the d/M/y notation.
std::string fromStrftime(const std::string& f) {
  std::string out;
  for (std::size_t i = 0; i < f.size(); ++i) {
    if (f[i] != '%' || i + 1 >= f.size()) {
      out += f[i];
      continue;
    }
    char c = f[++i];
    switch (c) {
      case 'd': out += "dd"; break;
      case 'e': out += "d"; break;
      case 'm': out += "MM"; break;
      case 'y': out += "yy"; break;
      case 'Y': out += "yyyy"; break;
      case 'D': out += "MM/dd/yy"; break;
      case 'F': out += "yyyy-MM-dd"; break;
      default: break;
    }
  }
  return out;
}

std::string& current() {
  static std::string format = [] {
    if (const char* env = std::getenv("KANDELO_SHORT_DATE"); env && *env) return std::string(env);
    std::string result = "dd.MM.yy";
    if (locale_t loc = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(0))) {
      const char* f = nl_langinfo_l(D_FMT, loc);
      if (f && *f) {
        std::string conv = fromStrftime(f);
        if (conv.find('d') != std::string::npos && conv.find('y') != std::string::npos) result = conv;
      }
      freelocale(loc);
    }
    return result;
  }();
  return format;
}

}  // namespace

std::string shortDateFormat() { return current(); }
void setShortDateFormat(const std::string& format) { current() = format; }

std::string formatDate(const std::string& format, std::time_t t) {
  std::tm tm{};
  localtime_r(&t, &tm);
  std::string out;
  for (std::size_t i = 0; i < format.size();) {
    char c = format[i];
    std::size_t run = 1;
    while (i + run < format.size() && format[i + run] == c) ++run;
    auto two = [](int v) { return std::string{static_cast<char>('0' + v / 10 % 10), static_cast<char>('0' + v % 10)}; };
    if (c == 'd') {
      out += run >= 2 ? two(tm.tm_mday) : std::to_string(tm.tm_mday);
    } else if (c == 'M') {
      out += run >= 2 ? two(tm.tm_mon + 1) : std::to_string(tm.tm_mon + 1);
    } else if (c == 'y') {
      out += run >= 4 ? std::to_string(tm.tm_year + 1900) : two((tm.tm_year + 1900) % 100);
    } else {
      out.append(run, c);
    }
    i += run;
  }
  return out;
}

char decimalSeparator() {
  char sep = '.';
  if (locale_t loc = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(0))) {
    const char* p = nl_langinfo_l(RADIXCHAR, loc);
    if (p && *p) sep = *p;
    freelocale(loc);
  }
  return sep;
}

std::string desktopLanguage() {
  for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(var);
    if (!value || !*value) continue;
    // "de_DE.UTF-8@euro" -> "de"
    std::string code;
    for (const char* c = value; *c && *c != '_' && *c != '.' && *c != '@'; ++c)
      code += static_cast<char>(*c >= 'A' && *c <= 'Z' ? *c - 'A' + 'a' : *c);
    return code == "c" || code == "posix" ? std::string() : code;
  }
  return {};
}

}  // namespace kandelo::platform
