#include "frame/pathlist.h"

#include "frame/settings.h"
#include "frame/strutil.h"
#include "platform/fileio.h"
#include "platform/text.h"

namespace kandelo {

namespace pf = kandelo::platform;

std::string NormalizeDirectory(std::string_view directory) {
  std::string d = AddBackslash(directory);
#ifdef _WIN32
  d = pf::upper1252(d);
#endif
  return d;
}

bool IsUnderRoot(std::string_view root, std::string_view directory) {
  std::string r = NormalizeDirectory(root);
  std::string d = NormalizeDirectory(directory);
  return !r.empty() && d.size() >= r.size() && d.compare(0, r.size(), r) == 0;
}

std::string PathListFileName() { return AddBackslash(Settings().ExtData) + "LUMPATHS.DAT"; }

TPathList::TPathList(std::string fileName) : fileName_(std::move(fileName)) {
  auto content = pf::readWholeFile(fileName_);
  if (!content) return;
  // Every line counts, blank ones included: a line's number is an index that
  // records refer to. Only the text after the last line end is no line when empty.
  std::string line;
  const std::string& s = *content;
  for (std::size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (c == '\r' || c == '\n') {
      lines_.push_back(Cut(line));
      line.clear();
      if (c == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines_.push_back(Cut(line));
  savedCount_ = Count();
  for (std::size_t i = 0; i < lines_.size(); ++i) index_.emplace(NormalizeDirectory(lines_[i]), static_cast<int>(i));
}

TPathList::~TPathList() {
  if (pf::fs().exists(fileName_) && writable()) SavePathList();
}

std::string TPathList::GetPath(int index) const {
  if (index < 0 || index >= Count()) return {};
  return lines_[static_cast<std::size_t>(index)];
}

int TPathList::IndexOfPath(std::string_view directory) const {
  std::string d = NormalizeDirectory(directory);
  if (d.empty()) return -1;
  // Lines written by hand may lack the separator or differ in case on Windows:
  // compared in their normal form.
  auto it = index_.find(d);
  return it == index_.end() ? -1 : it->second;
}

int TPathList::AddPath(std::string_view directory) {
  int i = IndexOfPath(directory);
  if (i >= 0) return i;
  // A line holds at most a counted string; a longer directory would be stored
  // cut and name another directory, so it gets no index.
  std::string t = TrimBlanks(directory);
  if (t.empty() || t.size() + (t.back() == kPathSep ? 0 : 1) > kMaxCounted) return -1;
  std::string d = NormalizeDirectory(directory);
  lines_.push_back(d);
  index_.emplace(d, Count() - 1);
  return Count() - 1;
}

bool TPathList::writable() const {
  auto a = pf::fs().attributes(fileName_);
  return !a || !(*a & pf::faReadOnly);
}

bool TPathList::SavePathList() {
  if (pf::fs().exists(fileName_) && !writable()) return false;
  std::string text;
  for (const auto& l : lines_) text += l + "\r\n";
  if (!pf::writeFileAtomic(fileName_, text)) return false;
  savedCount_ = Count();
  return true;
}

}  // namespace kandelo
