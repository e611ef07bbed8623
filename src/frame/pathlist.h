// The path list: catalogue records keep only a file name and the index of the
// file's directory; the directories are the lines of "LUMPATHS.DAT" in the
// external-data directory, and a directory's 0-based line number is its index.
// Lines are only ever appended, so stored indexes stay valid.
//
// Several stations share the file. Every write takes the list's lock (an
// exclusive lock on "LUMPATHS.DAT.lck"), reads the file anew, appends the
// lines that this copy added and the file lacks, and writes it through a
// temporary file of its own; a copy that added nothing never writes. So no
// station's line is ever dropped or given another number by another station.
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
  // Stores the lines added and not yet saved, if the file exists and is not
  // read-only; a list without such lines writes nothing.
  ~TPathList();
  TPathList(const TPathList&) = delete;
  TPathList& operator=(const TPathList&) = delete;

  // The directory of that index; empty when the index is outside the list.
  // An index past this copy's lines makes it read the file anew: another
  // station may have added the line since.
  std::string GetPath(int index) const;
  // Index of the (normalized) directory, or -1.
  int IndexOfPath(std::string_view directory) const;
  // Appends the directory when missing; gives its index (-1 when it cannot be
  // stored: empty, or longer than a counted string).
  int AddPath(std::string_view directory);
  // Merges the list into the file under the list's lock unless the file exists
  // and is read-only (a missing file is created): lines the file lacks are
  // appended, and this copy takes the file's lines and numbers. An index that
  // AddPath gave for an unsaved line may change: ask IndexOfPath again (or
  // use StorePath). False when nothing could be written.
  bool SavePathList();
  // AddPath and SavePathList in one: the directory's index as the file holds
  // it, or -1 when it cannot be stored there.
  int StorePath(std::string_view directory);

  int Count() const { return static_cast<int>(lines_.size()); }
  // Lines known to be in the file (loaded or saved); an index at or above it
  // exists only in memory and would not survive the run.
  int SavedCount() const { return savedCount_; }
  const std::string& FileName() const { return fileName_; }
  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  bool writable() const;
  // Takes the file's lines when it holds more than this copy saw and this copy
  // has no unsaved line.
  void reload() const;
  void take(std::vector<std::string> lines) const;
  std::string fileName_;
  // Read anew by const look-ups (GetPath) when another station added lines.
  mutable std::vector<std::string> lines_;
  // Line index by the line's normal form (the first line of equal ones): a
  // scan asks for the directory of every file.
  mutable std::unordered_map<std::string, int> index_;
  mutable int savedCount_ = 0;
};

}  // namespace kandelo
