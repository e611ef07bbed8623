#include "conversion/catalogue_scan.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

#include "conversion/catalogue_find.h"
#include "conversion/feedback.h"
#include "database/catalogue.h"
#include "frame/msgmanager.h"
#include "frame/pathlist.h"
#include "frame/scan.h"
#include "frame/settings.h"
#include "frame/strutil.h"
#include "photometry/format_io.h"
#include "photometry/lum32.h"
#include "platform/fileio.h"

namespace kandelo {

namespace pf = kandelo::platform;

namespace {

std::string lastComponent(const std::string& path) {
  auto i = path.find_last_of(kPathSep);
  return i == std::string::npos ? path : path.substr(i + 1);
}

// The directory's index, added to the path list when new. A record may only
// carry an index that is in the file: one that exists in memory alone (a
// read-only or unwritable path list) would name another directory next time.
std::int32_t storedIndexOf(TPathList& paths, const std::string& dir) { return paths.StorePath(dir); }

// The one writer of the failure list: a line per file, appended (the file
// created when missing). A list that cannot be written loses the line, not
// the run: the report still has the failure.
void appendToErrorList(const std::string& path) {
  const std::string file = ErrorListPath();
  auto h = pf::fs().open(file, pf::OpenMode::ReadWrite);
  if (!h) h = pf::fs().open(file, pf::OpenMode::Create);
  if (!h) return;
  const std::int64_t size = h->size();
  const std::string line = path + "\r\n";
  if (size >= 0 && h->seek(size)) h->write(line.data(), line.size());
  h->close();
}

// The entry of a file that failed, listed in the failure list.
IntakeEntry failed(IntakeEntry entry, AddFailure why, int error = 0) {
  appendToErrorList(entry.path);
  entry.outcome = AddOutcome::Failed;
  entry.why = why;
  entry.error = error;
  return entry;
}
IntakeEntry failed(const std::string& path, AddFailure why, int error = 0) {
  IntakeEntry entry;
  entry.path = path;
  return failed(std::move(entry), why, error);
}

// The directories of the files below the root join the path list up front and
// the list is saved once (atomically, as always) before any record refers to
// them, instead of once per new directory. A directory that cannot be stored
// is left to the file-by-file path, which reports its files as failed.
void storeDirectories(const std::vector<std::string>& files, const std::string& root, TPathList& paths) {
  if (root.empty() || !Catalogue()) return;
  std::string last;
  for (const auto& f : files) {
    std::string dir = ParentPath(f);
    if (dir == last) continue;
    if (IsUnderRoot(root, dir)) paths.AddPath(dir);
    last = std::move(dir);
  }
  if (paths.Count() > paths.SavedCount()) paths.SavePathList();
}

// What a file gives before the catalogue is touched: its record, and the
// messages of loading it, which go into its entry. Loading shows nothing
// (the readers and the flux computation return their messages), so it runs
// on the loader thread as on the caller's.
// The key figures are worked out here too, beside the engine's work, and
// stored with the record.
struct LoadedFile {
  bool ok = false;
  TCatalogueRecord rec;
  Diagnostics messages;
  PhotometricSummary figures;
  bool withFigures = false;
  FileMark mark;  // the file as it was read
};

LoadedFile loadFile(const std::string& path, bool figures) {
  LoadedFile out;
  try {
    out.mark = FileMarkOf(path);
    TLUM32 lum;
    lum.OemTexts = 1;
    LoadResult loaded = LoadLuminaire(path, lum);
    out.ok = loaded.ok() && FillCatalogueRecord(lum, out.rec);
    out.withFigures = out.ok && figures;
    if (out.withFigures) out.figures = SummarizeLoadedFile(path, lum, loaded);
    out.messages = std::move(loaded.messages);
  } catch (const std::exception&) {  // no memory for the table: the file fails
    out.ok = false;
  }
  return out;
}

// Adds or rewrites the file's record; the entry carries the messages of loading.
IntakeEntry storeLoaded(const std::string& path, std::int32_t dirIndex, LoadedFile& loaded) {
  IntakeEntry entry;
  entry.path = path;
  entry.messages = std::move(loaded.messages);
  if (!loaded.ok) return failed(std::move(entry), AddFailure::NotLoaded);
  loaded.rec.SetDirIndex(dirIndex);
  std::int32_t recNo = 0;
  if (FindCatalogueFile(loaded.rec, recNo)) {
    if (!UpdateCatalogueRecord(loaded.rec, recNo))
      return failed(std::move(entry), AddFailure::NotStored,
                    Catalogue() ? Catalogue()->LastError() : isam::kErrNotReady);
    entry.outcome = AddOutcome::Updated;
  } else if (recNo == kNoFreeAlias) {
    return failed(std::move(entry), AddFailure::NotStored);
  } else {
    const int err = AddCatalogueRecord(loaded.rec, recNo);
    if (err != isam::kOk) return failed(std::move(entry), AddFailure::NotStored, err);
    entry.outcome = AddOutcome::Added;
  }
  entry.recNo = recNo;
  // The figures go with the record as the catalogue holds it (its buffer
  // after the write). A slot that cannot be written is computed on reading.
  if (SummaryStore* store = loaded.withFigures ? CatalogueSummaryStore() : nullptr)
    store->Write(recNo, SummaryStamp(CatalogueBuffer().data()), loaded.figures, loaded.mark);
  return entry;
}

IntakeEntry outcomeOnly(const std::string& path, AddOutcome outcome) {
  IntakeEntry entry;
  entry.path = path;
  entry.outcome = outcome;
  return entry;
}

// Loads the files below the root on a second thread, in their order and a
// bounded number ahead, while the caller stores them: reading and parsing
// then run beside the engine's work. Only over the native file system, whose
// calls do not depend on one another (a test's fault-injecting one counts
// them); without it, or without a thread, the caller loads each file itself.
class FileLoader {
 public:
  FileLoader(const std::vector<std::string>& files, const std::string& root, bool figures)
      : files_(files), figures_(figures) {
    if (files.size() < 2 || &pf::fs() != &pf::nativeFileSystem()) return;
    mine_.resize(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) mine_[i] = IsUnderRoot(root, ParentPath(files[i]));
    try {
      thread_ = std::thread([this] { run(); });
    } catch (const std::system_error&) {
      mine_.clear();
    }
  }
  ~FileLoader() {
    {
      std::lock_guard<std::mutex> lock(m_);
      stop_ = true;
    }
    cv_.notify_all();
    if (thread_.joinable()) thread_.join();
  }
  FileLoader(const FileLoader&) = delete;
  FileLoader& operator=(const FileLoader&) = delete;

  // File i, when it is one loaded here (asked for in order). The files come
  // over in batches, so that the two threads meet once per batch rather than
  // once per file.
  std::optional<LoadedFile> take(std::size_t i) {
    if (i >= mine_.size() || !mine_[i]) return std::nullopt;
    if (taken_.empty()) {
      bool loaderBlocked;
      {
        std::unique_lock<std::mutex> lock(m_);
        if (ready_.empty() && !ended_) {
          waiting_ = true;
          cv_.wait(lock, [this] { return !ready_.empty() || ended_; });
          waiting_ = false;
        }
        if (ready_.empty()) return std::nullopt;  // the thread gave up here: the caller loads it
        loaderBlocked = ready_.size() >= kAhead;
        taken_.swap(ready_);
      }
      if (loaderBlocked) cv_.notify_all();  // room for the loader
    }
    LoadedFile f = std::move(taken_.front());
    taken_.pop_front();
    return f;
  }

 private:
  static constexpr std::size_t kAhead = 64;
  static constexpr std::size_t kBatch = 16;
  void run() {
    try {
      std::deque<LoadedFile> batch;
      for (std::size_t i = 0; i < files_.size(); ++i) {
        if (!mine_[i]) continue;
        batch.push_back(loadFile(files_[i], figures_));
        // Only full batches: handing over single files whenever the caller
        // waits would cost both threads a wake-up per file.
        if (batch.size() >= kBatch && !handOver(batch)) break;
      }
      handOver(batch);
    } catch (const std::exception&) {  // out of memory: the files not handed over are loaded by the caller
    }
    {
      std::lock_guard<std::mutex> lock(m_);
      ended_ = true;
    }
    cv_.notify_all();
  }
  // False when the caller is done. The caller is woken only when it waits,
  // after the lock is let go, so that it does not wake into a held lock.
  bool handOver(std::deque<LoadedFile>& batch) {
    if (batch.empty()) return true;
    bool wake;
    {
      std::unique_lock<std::mutex> lock(m_);
      cv_.wait(lock, [this] { return stop_ || ready_.size() < kAhead; });
      if (stop_) return false;
      for (auto& f : batch) ready_.push_back(std::move(f));
      wake = waiting_;
    }
    batch.clear();
    if (wake) cv_.notify_all();
    return true;
  }

  const std::vector<std::string>& files_;
  const bool figures_;
  std::vector<char> mine_;  // file i is loaded here
  std::mutex m_;
  std::condition_variable cv_;
  std::deque<LoadedFile> ready_;
  std::deque<LoadedFile> taken_;  // the caller's side: handed over, not yet taken
  bool waiting_ = false;  // the caller waits for files
  bool stop_ = false;   // the caller is done
  bool ended_ = false;  // the thread is done
  std::thread thread_;
};

// AddFileBelowRoot once the root is known to exist.
IntakeEntry addBelowRoot(const std::string& filePath, const std::string& root, TPathList& paths,
                         const TMsgManager& msgs, IntakeRun& run) {
  if (!Catalogue()) return failed(filePath, AddFailure::NotStored, isam::kErrNotReady);  // nothing copied for a catalogue that is not open
  std::string path = filePath;
  const std::string dir = ParentPath(filePath);
  std::int32_t dirIndex;
  if (IsUnderRoot(root, dir)) {
    dirIndex = storedIndexOf(paths, dir);
    if (dirIndex < 0) return failed(filePath, AddFailure::NoPathEntry);
  } else {
    // A file that is not there cannot be loaded, whatever the copy would say.
    if (!FileExistsS(filePath)) return failed(filePath, AddFailure::NotLoaded);
    const std::string name = lastComponent(filePath);
    const std::string target = AddBackslash(root) + name;
    bool copy = true;
    // The root reached through another name (a link): the file is already
    // there, and copying it onto itself would empty it.
    auto same = FileExistsS(target) ? pf::canonicalPath(target) : std::nullopt;
    if (same && same == pf::canonicalPath(filePath)) {
      copy = false;
    } else if (FileExistsS(target) && !run.overwriteAll) {
      const std::string text = msgs.GetText("DEFAULT MESSAGES", "DM_FILE") + " " + name + " " +
                               msgs.GetText("DEFAULT MESSAGES", "DM_EXISTS") + " " +
                               msgs.GetText("DEFAULT MESSAGES", "DM_OVERWR");
      const OverwriteAnswer answer = run.askOverwrite ? run.askOverwrite(text) : OverwriteAnswer::No;
      if (answer == OverwriteAnswer::All) run.overwriteAll = true;
      // Keeping the file there means keeping its entry as it is: a record for
      // it would describe another luminaire than the one the user chose.
      if (answer == OverwriteAnswer::No) return outcomeOnly(filePath, AddOutcome::Kept);
    }
    if (copy && CopyFileBuffered(filePath, target) != 0) return failed(filePath, AddFailure::NotCopied);
    path = target;
    // The root's own index: 0 when the root is LumDir1, as by default.
    dirIndex = storedIndexOf(paths, root);
    if (dirIndex < 0) return failed(path, AddFailure::NoPathEntry);
  }

  LoadedFile loaded = loadFile(path, run.figures);
  return storeLoaded(path, dirIndex, loaded);
}

// A file below the root that FileLoader has loaded.
IntakeEntry storeBelowRoot(const std::string& filePath, TPathList& paths, LoadedFile& loaded) {
  if (!Catalogue()) return failed(filePath, AddFailure::NotStored, isam::kErrNotReady);
  const std::int32_t dirIndex = storedIndexOf(paths, ParentPath(filePath));
  if (dirIndex < 0) return failed(filePath, AddFailure::NoPathEntry);
  return storeLoaded(filePath, dirIndex, loaded);
}

// Between two files every record is whole, so stopping there leaves a sound catalogue.
bool stopped(IntakeRun& run, IntakeReport& report) {
  if (run.feedback && run.feedback->IsCancelled()) report.cancelled = true;
  return report.cancelled;
}

void taken(IntakeRun& run, IntakeReport& report, IntakeEntry entry) {
  if (run.fileDone) run.fileDone(entry);
  report.Add(std::move(entry));
}

IntakeReport addAll(const std::vector<std::string>& files, const std::string& root, TPathList& paths,
                    const TMsgManager& msgs, IntakeRun& run) {
  IntakeReport report;
  if (root.empty() || !DirExists(root)) return report;  // every file would be NoRoot
  storeDirectories(files, root, paths);
  FileLoader loader(files, root, run.figures);
  for (std::size_t i = 0; i < files.size(); ++i) {
    const std::string& f = files[i];
    if (stopped(run, report)) break;
    if (run.feedback) {
      run.feedback->Progress(i, files.size());
      run.feedback->ProgressText(std::to_string(i + 1) + " / " + std::to_string(files.size()) + "   " + f);
    }
    std::optional<LoadedFile> loaded = loader.take(i);
    taken(run, report, loaded ? storeBelowRoot(f, paths, *loaded) : addBelowRoot(f, root, paths, msgs, run));
  }
  if (run.feedback && !report.cancelled) run.feedback->Progress(files.size(), files.size());
  return report;
}

}  // namespace

void IntakeReport::Add(IntakeEntry entry) {
  switch (entry.outcome) {
    case AddOutcome::Added: ++added; break;
    case AddOutcome::Updated: ++updated; break;
    case AddOutcome::Failed: ++failed; break;
    case AddOutcome::Kept: ++kept; break;
    case AddOutcome::NoRoot: break;
  }
  entries.push_back(std::move(entry));
}

std::vector<const IntakeEntry*> IntakeReport::Failures() const {
  std::vector<const IntakeEntry*> out;
  for (const auto& e : entries)
    if (e.outcome == AddOutcome::Failed) out.push_back(&e);
  return out;
}

std::int32_t IntakeReport::FirstRecord() const {
  for (const auto& e : entries)
    if (e.recNo > 0) return e.recNo;
  return 0;
}

std::string ErrorListPath() {
  const std::string dir = TrimBlanks(Settings().ProgDir);
  return dir.empty() ? std::string(kErrorListFile) : AddBackslash(dir) + kErrorListFile;
}

std::string CatalogueFilePath(const TCatalogueRecord& rec, const TPathList& paths) {
  return AddBackslash(paths.GetPath(rec.DirIndex())) + CatalogueFileName(rec);
}

std::string LuminaireRoot() {
  const TProgramSettings& s = Settings();
  if (DirExists(s.LumDir2)) return s.LumDir2;
  if (DirExists(s.LumDir1)) return s.LumDir1;
  return {};
}

IntakeEntry AddFileToCatalogue(const std::string& filePath, TPathList& paths, const TMsgManager& msgs,
                               IntakeRun& run) {
  return AddFileBelowRoot(filePath, LuminaireRoot(), paths, msgs, run);
}

IntakeEntry AddFileBelowRoot(const std::string& filePath, const std::string& root, TPathList& paths,
                             const TMsgManager& msgs, IntakeRun& run) {
  if (root.empty() || !DirExists(root)) return outcomeOnly(filePath, AddOutcome::NoRoot);
  return addBelowRoot(filePath, root, paths, msgs, run);
}

IntakeReport AddFilesToCatalogue(const std::vector<std::string>& files, TPathList& paths, const TMsgManager& msgs,
                                 IntakeRun& run) {
  IntakeReport report;
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (stopped(run, report)) break;
    if (run.feedback) {
      run.feedback->Progress(i, files.size());
      run.feedback->ProgressText(files[i]);
    }
    IntakeEntry entry = AddFileToCatalogue(files[i], paths, msgs, run);
    // A list is taken in as a whole: a file that found no root is one that failed.
    if (entry.outcome == AddOutcome::NoRoot) entry = failed(std::move(entry), AddFailure::NoRoot);
    taken(run, report, std::move(entry));
  }
  if (run.feedback && !report.cancelled) run.feedback->Progress(files.size(), files.size());
  return report;
}

IntakeEntry AddFileInPlace(const std::string& filePath, TPathList& paths) {
  if (!Catalogue()) return failed(filePath, AddFailure::NotStored, isam::kErrNotReady);
  const std::int32_t dirIndex = storedIndexOf(paths, ParentPath(filePath));
  if (dirIndex < 0) return failed(filePath, AddFailure::NoPathEntry);
  LoadedFile loaded = loadFile(filePath, true);
  return storeLoaded(filePath, dirIndex, loaded);
}

IntakeReport AddAllBelowRoot(TPathList& paths, const TMsgManager& msgs, IntakeRun& run) {
  const std::vector<std::string> files = CollectLuminaireFiles(Settings().LumDir2);
  return addAll(files, LuminaireRoot(), paths, msgs, run);
}

IntakeReport AddTreeToCatalogue(const std::string& root, TPathList& paths, const TMsgManager& msgs,
                                IntakeRun& run) {
  const std::vector<std::string> files = CollectLuminaireFiles(root);
  return addAll(files, root, paths, msgs, run);
}

}  // namespace kandelo
