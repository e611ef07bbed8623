#include "frame/pathlist.h"

#include <chrono>
#include <memory>
#include <thread>

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

namespace {

// Every line counts, blank ones included: a line's number is an index that
// records refer to. Only the text after the last line end is no line when empty.
std::vector<std::string> parseLines(const std::string& s) {
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(Cut(line));
      line.clear();
      if (c == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(Cut(line));
  return lines;
}

// The list's lock: an exclusive lock on the first byte of "<list>.lck", held
// while a station reads, merges and writes the list. Other stations hold it
// only for that moment, so a busy lock is waited for (up to half a minute).
class ListLock {
 public:
  explicit ListLock(const std::string& listFile) {
    file_ = pf::fs().open(listFile + ".lck", pf::OpenMode::OpenOrCreate);
    if (!file_) return;
    for (int waited = 0; waited < 30000; ++waited) {
      const pf::LockResult r = file_->lockRange(0, 1, true);
      if (r == pf::LockResult::Locked) {
        held_ = true;
        return;
      }
      if (r == pf::LockResult::Error) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(waited < 50 ? 0 : 1));
    }
  }
  ~ListLock() {
    if (held_) file_->unlockRange(0, 1);
  }
  ListLock(const ListLock&) = delete;
  ListLock& operator=(const ListLock&) = delete;
  bool held() const { return held_; }

 private:
  std::unique_ptr<pf::FileHandle> file_;
  bool held_ = false;
};

}  // namespace

TPathList::TPathList(std::string fileName) : fileName_(std::move(fileName)) {
  auto content = pf::readWholeFile(fileName_);
  if (!content) return;
  take(parseLines(*content));
}

void TPathList::take(std::vector<std::string> lines) const {
  lines_ = std::move(lines);
  savedCount_ = Count();
  index_.clear();
  for (std::size_t i = 0; i < lines_.size(); ++i) index_.emplace(NormalizeDirectory(lines_[i]), static_cast<int>(i));
}

void TPathList::reload() const {
  if (Count() > savedCount_) return;  // unsaved lines keep their numbers until saved
  auto content = pf::readWholeFile(fileName_);
  if (!content) return;
  auto lines = parseLines(*content);
  if (static_cast<int>(lines.size()) > savedCount_) take(std::move(lines));
}

TPathList::~TPathList() {
  if (Count() > SavedCount() && pf::fs().exists(fileName_) && writable()) SavePathList();
}

std::string TPathList::GetPath(int index) const {
  if (index >= Count()) reload();
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
  ListLock lock(fileName_);
  if (!lock.held()) return false;
  // The file as it is now: other stations may have appended lines since this
  // copy read it. A file shorter than what this copy saw (deleted or cut by
  // hand) gets this copy's saved lines back, so that stored numbers keep
  // their directories.
  std::vector<std::string> merged;
  if (auto content = pf::readWholeFile(fileName_)) merged = parseLines(*content);
  if (static_cast<int>(merged.size()) < savedCount_)
    merged.assign(lines_.begin(), lines_.begin() + savedCount_);
  std::unordered_map<std::string, int> known;
  for (std::size_t i = 0; i < merged.size(); ++i) known.emplace(NormalizeDirectory(merged[i]), static_cast<int>(i));
  bool changed = !pf::fs().exists(fileName_);
  for (std::size_t i = static_cast<std::size_t>(savedCount_); i < lines_.size(); ++i) {
    if (known.count(NormalizeDirectory(lines_[i]))) continue;
    known.emplace(NormalizeDirectory(lines_[i]), static_cast<int>(merged.size()));
    merged.push_back(lines_[i]);
    changed = true;
  }
  if (changed) {
    std::string text;
    for (const auto& l : merged) text += l + "\r\n";
    if (!pf::writeFileAtomic(fileName_, text)) return false;
  }
  take(std::move(merged));
  return true;
}

int TPathList::StorePath(std::string_view directory) {
  int i = IndexOfPath(directory);
  if (i >= 0 && i < SavedCount()) return i;
  if (AddPath(directory) < 0 || !SavePathList()) return -1;
  i = IndexOfPath(directory);
  return i >= 0 && i < SavedCount() ? i : -1;
}

}  // namespace kandelo
