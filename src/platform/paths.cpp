#include "platform/paths.h"

#include <algorithm>

namespace kandelo::platform {

namespace {
bool isSeparator(char c) {
#ifdef _WIN32
  return c == '\\' || c == ':';
#else
  return c == '/';
#endif
}
}  // namespace

std::string ExtractName(std::string_view path) {
  std::size_t i = path.size();
  while (i > 0 && !isSeparator(path[i - 1])) --i;
  return std::string(path.substr(i, 64));
}

// The part before the last separator. A drive root keeps its backslash
// ("C:\x" -> "C:\"); a path without separator gives ""; a separator in second
// position gives the first character alone ("a/b" -> "a"). On Linux the root
// directory "/x" gives "/".
std::string ParentPath(std::string_view path) {
  std::size_t i = path.size();
  while (i > 0 && !isSeparator(path[i - 1])) --i;
  if (i == 0) return {};
  std::size_t sep = i - 1;
#ifdef _WIN32
  if (path[sep] == '\\' && sep > 0 && path[sep - 1] == ':') return std::string(path.substr(0, sep + 1));
#else
  if (sep == 0) return "/";
#endif
  return std::string(path.substr(0, std::min<std::size_t>(sep, 255)));
}

std::string ExtractFileExt(std::string_view path) {
  std::string n(path.substr(path.size() - std::min(path.size(), ExtractName(path).size())));
  auto dot = n.rfind('.');
  return dot == std::string::npos ? std::string() : n.substr(dot);
}

std::string ChangeFileExt(std::string_view path, std::string_view ext) {
  std::string p(path);
  std::string old = ExtractFileExt(p);
  p.resize(p.size() - old.size());
  return p + std::string(ext);
}

}  // namespace kandelo::platform
