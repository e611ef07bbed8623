// The batch conversion of many photometric files into one format, shared by
// the browser's conversion dialog and `kandelo-cli convert --dir`.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "conversion/conversion_settings.h"

namespace kandelo {

// The target of one source file: LTLI sources ("A1234.001") lose their first
// "." and are cut to 8 characters, the others lose their extension; then
// "." + DstExt below DstDir. (ConversionTargetName of the format table.)
std::string ConvertedFileName(const std::string& source, std::uint8_t sourceFormat,
                              const ConversionSettings& settings);

struct ConvertedFile {
  std::string source;
  std::string target;      // empty when the file was skipped before a name was made
  bool written = false;
  std::string reason;      // why it was skipped (1252 text, fixed English or the reader's message)
  bool catalogued = false;
};

struct ConversionReport {
  // The run did not start or stopped: destination missing, read-only, not
  // writable or full, or a format without writer. Files before it stay written.
  bool stopped = false;
  std::string stopReason;
  bool cancelled = false;
  // Nothing is added from a removable or network medium.
  bool addingRefused = false;
  int written = 0, skipped = 0, added = 0, updated = 0;
  std::vector<ConvertedFile> files;  // in the order of the list, up to where the run ended
};

// Called before each file with its number (0-based) and the count; returns
// false to cancel the run before that file.
using ConversionProgress = std::function<bool(std::size_t index, std::size_t count, const std::string& source)>;

// Converts the files in list order. Every file is written under a temporary
// directory in DstDir with its final name and then renamed over the target,
// so an interrupted run never leaves a truncated file and an existing target
// is replaced only by complete content. Two sources that map to the same
// target: the second is skipped. A file that does not load is skipped with
// its reader's message. With AddToCatalogue (and an open catalogue) each
// written file is added, or its record updated, under DstPathIndex.
ConversionReport ConvertFiles(const std::vector<std::string>& names, const ConversionSettings& settings,
                              const ConversionProgress& progress = {});

}  // namespace kandelo
