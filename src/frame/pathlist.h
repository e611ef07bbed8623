// The path list: catalogue records keep only a file name and the index of the
// file's directory; the directories are the lines of "LUMPATHS.DAT" in the
// external-data directory, and a directory's 0-based line number is its index.
// Lines are only ever appended, so stored indexes stay valid.
#pragma once

#include <string>
#include <unordered_map>
#include <string_view>
#include <vector>

namespace kandelo {

// A directory as the path list keeps it: trailing separator added; upper case
// where the file system ignores case (Windows). On Linux directory names keep
// their case and compare exactly, since /lum and /LUM are two directories.
std::string NormalizeDirectory(std::string_view directory);

// True when the directory lies in or below the root (both normalized). The root
// must be a leading part of the directory, not merely occur somewhere in it.
bool IsUnderRoot(std::string_view root, std::string_view directory);

// ExtData + "LUMPATHS.DAT".
std::string PathListFileName();

class TPathList {
 public:
  // Loads the file when it exists, else starts empty.
  explicit TPathList(std::string fileName);
  // Writes the list back if the file exists and is not read-only.
  ~TPathList();
  TPathList(const TPathList&) = delete;
  TPathList& operator=(const TPathList&) = delete;

  // The directory of that index; empty when the index is outside the list.
  std::string GetPath(int index) const;
  // Index of the (normalized) directory, or -1.
  int IndexOfPath(std::string_view directory) const;
  // Appends the directory when missing; gives its index (-1 when it cannot be
  // stored: empty, or longer than a counted string).
  int AddPath(std::string_view directory);
  // Writes the list unless the file exists and is read-only (a missing file is
  // created). False when nothing could be written.
  bool SavePathList();

  int Count() const { return static_cast<int>(lines_.size()); }
  // Lines known to be in the file (loaded or saved); an index at or above it
  // exists only in memory and would not survive the run.
  int SavedCount() const { return savedCount_; }
  const std::string& FileName() const { return fileName_; }
  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  bool writable() const;
  std::string fileName_;
  std::vector<std::string> lines_;
  // Line index by the line's normal form (the first line of equal ones): a
  // scan asks for the directory of every file.
  std::unordered_map<std::string, int> index_;
  int savedCount_ = 0;
};

}  // namespace kandelo
