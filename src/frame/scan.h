// Searching directory trees for photometric files, and the mask file. Taking
// the files into the catalogue (and the list of those that failed) is
// conversion/catalogue_scan.h; the formats and their file-dialog filters are
// photometry/format_io.h.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kandelo {

// ExtData + "EXTENS.DAT".
std::string MaskFileName();
// The masks of the mask file in file order (blank lines skipped). A missing
// file is created with "*.LDT", "*.LUM", "*.L32", "*.IES", "*.CIB".
std::vector<std::string> ReadMaskList();

// Appends every subdirectory below the directory, depth first, pre-order, in
// the file system's order. Hidden and system directories are skipped, as a
// search by the directory attribute alone skips them; a directory reached a
// second time through a link is not entered again (no endless loops).
void FindSubdirectories(const std::string& directory, std::vector<std::string>& list);
// Appends the full path of every normal, read-only or archive file (not hidden,
// not system, not a directory) of the directory whose name matches "*" + mask,
// without regard to case.
void FindFiles(const std::string& directory, std::vector<std::string>& list, std::string_view mask);
// Reloads the settings, then for the root and each of its subdirectories, for
// each mask in file order, FindFiles. A file matching two masks is listed twice.
std::vector<std::string> CollectLuminaireFiles(const std::string& root);

}  // namespace kandelo
