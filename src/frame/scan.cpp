#include "frame/scan.h"

#include <functional>
#include <set>

#include "frame/settings.h"
#include "frame/strutil.h"
#include "platform/fileio.h"
#include "platform/text.h"

namespace kandelo {

namespace pf = kandelo::platform;

namespace {

constexpr const char* kDefaultMasks[] = {"*.LDT", "*.LUM", "*.L32", "*.IES", "*.CIB"};

using Visit = std::function<void(const std::string& directory, const std::vector<pf::DirEntry>& entries)>;

// Lists the directory and then, depth first, each directory below it that is
// neither hidden nor a system directory and was not reached before under
// another name (a link loop). Every directory is listed once: `visit`, when
// given, gets each listing, parents before their children.
void findSubdirectories(const std::string& directory, std::vector<std::string>& list,
                        std::set<std::string>& visited, const Visit& visit = {}) {
  auto entries = pf::fs().listNames(directory);
  if (!entries) return;
  if (visit) visit(directory, *entries);
  const std::string base = AddBackslash(directory);
  for (const auto& e : *entries) {
    if (!(e.attributes & pf::faDirectory)) continue;
    if (e.attributes & (pf::faHidden | pf::faSysFile)) continue;
    if (e.name == "." || e.name == "..") continue;
    std::string sub = base + e.name;
    auto canon = pf::canonicalPath(sub);
    if (!canon || !visited.insert(*canon).second) continue;
    list.push_back(sub);
    findSubdirectories(sub, list, visited, visit);
  }
}

}  // namespace

std::string MaskFileName() { return AddBackslash(Settings().ExtData) + "EXTENS.DAT"; }

std::vector<std::string> ReadMaskList() {
  const std::string file = MaskFileName();
  std::vector<std::string> masks;
  auto content = pf::readWholeFile(file);
  if (!content) {
    std::string text;
    for (const char* m : kDefaultMasks) {
      masks.emplace_back(m);
      text += std::string(m) + "\r\n";
    }
    // When the file cannot be created the defaults still serve this scan.
    if (!pf::fs().exists(file)) pf::writeFileAtomic(file, text);
    return masks;
  }
  std::size_t start = 0;
  const std::string& s = *content;
  while (start <= s.size()) {
    std::size_t end = s.find_first_of("\r\n", start);
    if (end == std::string::npos) end = s.size();
    std::string m = TrimBlanks(std::string_view(s).substr(start, end - start));
    if (!m.empty()) masks.push_back(Cut(m));
    start = end + 1;
  }
  return masks;
}

void FindSubdirectories(const std::string& directory, std::vector<std::string>& list) {
  std::set<std::string> visited;
  if (auto canon = pf::canonicalPath(directory)) visited.insert(*canon);
  findSubdirectories(directory, list, visited);
}

void FindFiles(const std::string& directory, std::vector<std::string>& list, std::string_view mask) {
  auto entries = pf::fs().listNames(directory);
  if (!entries) return;
  std::string pattern(1, '*');
  pattern += mask;
  const std::string base = AddBackslash(directory);
  for (const auto& e : *entries) {
    if (e.attributes & (pf::faDirectory | pf::faHidden | pf::faSysFile)) continue;
    if (pf::matchesMask(e.name, pattern)) list.push_back(base + e.name);
  }
}

std::vector<std::string> CollectLuminaireFiles(const std::string& root) {
  LoadSettings();
  const std::vector<std::string> masks = ReadMaskList();
  std::vector<std::string> files;
  // Each directory is listed once, for its subdirectories and all masks; the
  // files come directory by directory (the root first, then depth first) and
  // mask by mask.
  std::vector<std::string> patterns;
  for (const auto& m : masks) patterns.push_back("*" + m);
  std::vector<std::string> dirs;
  std::set<std::string> visited;
  if (auto canon = pf::canonicalPath(root)) visited.insert(*canon);
  findSubdirectories(root, dirs, visited, [&](const std::string& d, const std::vector<pf::DirEntry>& entries) {
    const std::string base = AddBackslash(d);
    for (const auto& pattern : patterns)
      for (const auto& e : entries) {
        if (e.attributes & (pf::faDirectory | pf::faHidden | pf::faSysFile)) continue;
        if (pf::matchesMask(e.name, pattern)) files.push_back(base + e.name);
      }
  });
  return files;
}

}  // namespace kandelo
