// Safe writing of photometric files: a file is written into a hidden folder
// inside its destination directory under its final name (some writers store
// the name in the file) and renamed into place, so an interrupted or failed
// write never leaves a cut file or replaces the old one.
#pragma once

#include <cstdint>
#include <string>

namespace kandelo {

class TLUM32;

class StagingDir {
 public:
  explicit StagingDir(const std::string& dstDir);
  ~StagingDir();  // removes the folder and whatever is left in it
  StagingDir(const StagingDir&) = delete;
  StagingDir& operator=(const StagingDir&) = delete;
  bool ok() const { return !path_.empty(); }
  std::string file(const std::string& name) const;
  // True when a small file can still be written there.
  bool writable() const;

 private:
  std::string path_;
};

// Writes the luminaire in the format to `path` through a staging folder;
// false (old file untouched) when the writer or the rename fails. The short
// name written follows the file name unless keepShortName (an edit in place
// writes the one the file held).
bool WriteLuminaireSafely(TLUM32& lum, std::uint8_t formatCode, const std::string& path, bool keepShortName = false);

}  // namespace kandelo
