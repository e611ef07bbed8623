// Taking photometric files into the catalogue: one file, a list of files, or
// every file below a root directory. Files outside the luminaire root are
// copied into it first. The intake shows nothing: it reports its progress to
// a Feedback, asks the one question it has (overwrite a file of the same name
// in the luminaire directory?) through a callback, and returns a report with
// one entry per file, which the window or the command line shows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "frame/diagnostics.h"

namespace kandelo {

class Feedback;
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

// Why a file was not taken in (the Failed outcome).
enum class AddFailure {
  None,
  NotLoaded,    // not read as a photometric file (the reader's messages say more)
  NotCopied,    // not copied into the luminaire directory
  NoPathEntry,  // its directory could not be entered in the path list
  NotStored,    // the catalogue refused the record (error: the engine's number)
  NoRoot,       // a file of a list met no luminaire root directory
};

// What became of one file.
struct IntakeEntry {
  // The file as it was taken in: below the root (the copy, for a file from
  // outside), or, for a failure, the path the failure list got.
  std::string path;
  AddOutcome outcome = AddOutcome::Failed;
  AddFailure why = AddFailure::None;
  int error = 0;            // NotStored: the engine's error number, 0 when it has none
  std::int32_t recNo = 0;   // Added or Updated: the record's number
  Diagnostics messages;     // what loading the file said (the reader's, the flux computation's)
};

// The report of a run, one entry per file looked at, in order.
struct IntakeReport {
  std::vector<IntakeEntry> entries;
  int added = 0, updated = 0, failed = 0, kept = 0;
  // The caller stopped the run through its Feedback: every file before
  // stays stored, the rest was not looked at.
  bool cancelled = false;

  void Add(IntakeEntry entry);  // counts it and keeps it
  std::vector<const IntakeEntry*> Failures() const;
  // The record of the first file added or updated; 0 when none was.
  std::int32_t FirstRecord() const;
};

// The answer to "file NAME exists. Overwrite?". Cancel counts as No.
enum class OverwriteAnswer { Yes, No, All };
// Asked before a file from outside the root is copied over one of its name
// there; gets the question's text in the session's language.
using OverwriteQuestion = std::function<OverwriteAnswer(const std::string& question)>;

// What a run of the intake needs from its caller besides the files.
struct IntakeRun {
  Feedback* feedback = nullptr;  // none: no progress, no stopping
  // None: a file of the same name in the luminaire directory is kept.
  OverwriteQuestion askOverwrite;
  // "All": copy over without asking for the rest of the run.
  bool overwriteAll = false;
  // Called on the caller's thread after each file with its entry, for a
  // window that shows a file's messages as it comes to it.
  std::function<void(const IntakeEntry&)> fileDone;
  // The key figures of each file are worked out and stored with its record
  // (conversion/catalogue_find.h). Off only to measure what they cost: an
  // entry without them has them computed when first asked.
  bool figures = true;
};

// LumDir2 when that directory exists, else LumDir1 when it exists, else empty.
std::string LuminaireRoot();

// Takes one file in below the luminaire root. A file outside the root is
// copied into it (asking before it overwrites a file there). The catalogue
// must be open. A failure is appended to the failure list.
IntakeEntry AddFileToCatalogue(const std::string& filePath, TPathList& paths, const TMsgManager& msgs,
                               IntakeRun& run);
// The same with an explicit root instead of LuminaireRoot().
IntakeEntry AddFileBelowRoot(const std::string& filePath, const std::string& root, TPathList& paths,
                             const TMsgManager& msgs, IntakeRun& run);
// The files in order, each as AddFileToCatalogue takes it; the Feedback hears
// each path before its file. Without a luminaire root every file fails
// (AddFailure::NoRoot) and is listed.
IntakeReport AddFilesToCatalogue(const std::vector<std::string>& files, TPathList& paths, const TMsgManager& msgs,
                                 IntakeRun& run);

// Takes one file in where it lies, without copying it below the root: its
// directory joins the path list when new (the browser's "save as" does this
// for the file it has just written).
IntakeEntry AddFileInPlace(const std::string& filePath, TPathList& paths);

// Every photometric file below LumDir2. The Feedback hears "n / total   FILE"
// before each file and can stop the run between two files.
IntakeReport AddAllBelowRoot(TPathList& paths, const TMsgManager& msgs, IntakeRun& run);
// Every photometric file below a directory, which serves as the luminaire root
// of this run, so the files stay where they are.
IntakeReport AddTreeToCatalogue(const std::string& root, TPathList& paths, const TMsgManager& msgs,
                                IntakeRun& run);

// The failure list "XX.DAT": one line per file that failed to be taken in,
// written by the intake alone. It lives in the program directory ProgDir, so
// that a scan started from a terminal does not leave it wherever the user
// stands; in the current directory only when no program directory is set.
constexpr const char* kErrorListFile = "XX.DAT";
std::string ErrorListPath();

}  // namespace kandelo
