// Taking photometric files into the catalogue: one file, or every file below a
// root directory. Files outside the luminaire root are copied into it first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kandelo {

class TMsgManager;
class TPathList;
struct TCatalogueRecord;

// The full path of a record's file: its path-list directory and its real name.
std::string CatalogueFilePath(const TCatalogueRecord& rec, const TPathList& paths);

enum class AddOutcome {
  Added,    // a new record
  Updated,  // the record of that file and directory was rewritten
  NoRoot,   // no luminaire root directory exists: nothing done, no message
  Failed,   // not loaded, not copied or not stored; the path went to "XX.DAT"
  Kept,     // the user chose to keep the file of that name in the luminaire
            // directory: nothing was copied and the catalogue is unchanged
};

// LumDir2 when that directory exists, else LumDir1 when it exists, else empty.
std::string LuminaireRoot();

// Takes one file in below the luminaire root. A file outside the root is
// copied into it (asking before it overwrites a file there, unless
// overwriteAll; "All" sets it). The catalogue must be open. recNo, when
// given, receives the number of the record added or rewritten.
AddOutcome AddFileToCatalogue(const std::string& filePath, bool& overwriteAll, TPathList& paths,
                              const TMsgManager& msgs, std::int32_t* recNo = nullptr);
// The same with an explicit root instead of LuminaireRoot().
AddOutcome AddFileBelowRoot(const std::string& filePath, const std::string& root, bool& overwriteAll,
                            TPathList& paths, const TMsgManager& msgs, std::int32_t* recNo = nullptr);

// Takes one file in where it lies, without copying it below the root: its
// directory joins the path list when new (the browser's "save as" does this
// for the file it has just written).
AddOutcome AddFileInPlace(const std::string& filePath, TPathList& paths, std::int32_t* recNo = nullptr);

// Why a file was not taken in (the Failed outcome).
enum class AddFailure {
  None,
  NotLoaded,    // not read as a photometric file (the reader's messages say more)
  NotCopied,    // not copied into the luminaire directory
  NoPathEntry,  // its directory could not be entered in the path list
  NotStored,    // the catalogue refused the record (error: the engine's number)
};
struct FailedFile {
  std::string path;
  AddFailure why = AddFailure::None;
  int error = 0;
};
// The last file that failed in this thread, and why.
const FailedFile& LastAddFailure();

struct ScanCounts {
  int added = 0, updated = 0, failed = 0, kept = 0;
  // Every file that failed, in order.
  std::vector<FailedFile> failures;
  // The user stopped the run under the wait window; every file before
  // stays stored, the rest was not looked at.
  bool cancelled = false;
  void Count(AddOutcome outcome);
};
// How far a run has come: called before each file with the files done and
// the total, and once more at the end (a terminal's progress line).
using ScanProgress = std::function<void(std::size_t done, std::size_t total)>;
// Every photometric file below LumDir2, under the wait window, which shows
// "n / total" and the file, and can cancel the run between two files.
ScanCounts AddAllBelowRoot(TPathList& paths, const TMsgManager& msgs, const ScanProgress& progress = {});
// Every photometric file below a directory, which serves as the luminaire root
// of this run, so the files stay where they are.
ScanCounts AddTreeToCatalogue(const std::string& root, TPathList& paths, const TMsgManager& msgs,
                              const ScanProgress& progress = {});

}  // namespace kandelo
