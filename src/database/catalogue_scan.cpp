#include "database/catalogue_scan.h"

#include "database/catalogue.h"
#include "frame/msgbox.h"
#include "frame/msgmanager.h"
#include "frame/pathlist.h"
#include "frame/scan.h"
#include "frame/settings.h"
#include "frame/strutil.h"
#include "frame/ui_services.h"
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
std::int32_t storedIndexOf(TPathList& paths, const std::string& dir) {
  int i = paths.AddPath(dir);
  if (i < 0) return -1;
  if (i >= paths.SavedCount() && !paths.SavePathList()) return -1;
  return i;
}

AddOutcome failed(const std::string& path) {
  AppendToErrorList(path);
  return AddOutcome::Failed;
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

// AddFileBelowRoot once the root is known to exist.
AddOutcome addBelowRoot(const std::string& filePath, const std::string& root, bool& overwriteAll, TPathList& paths,
                        const TMsgManager& msgs) {
  TCatalogueRecord rec;
  if (!Catalogue()) return failed(filePath);  // nothing copied for a catalogue that is not open
  std::string path = filePath;
  const std::string dir = ParentPath(filePath);
  std::int32_t dirIndex;
  if (IsUnderRoot(root, dir)) {
    dirIndex = storedIndexOf(paths, dir);
    if (dirIndex < 0) return failed(filePath);
  } else {
    const std::string name = lastComponent(filePath);
    const std::string target = AddBackslash(root) + name;
    bool copy = true;
    // The root reached through another name (a link): the file is already
    // there, and copying it onto itself would empty it.
    auto same = FileExistsS(target) ? pf::canonicalPath(target) : std::nullopt;
    if (same && same == pf::canonicalPath(filePath)) {
      copy = false;
    } else if (FileExistsS(target) && !overwriteAll) {
      const std::string text = msgs.GetText("DEFAULT MESSAGES", "DM_FILE") + " " + name + " " +
                               msgs.GetText("DEFAULT MESSAGES", "DM_EXISTS") + " " +
                               msgs.GetText("DEFAULT MESSAGES", "DM_OVERWR");
      int answer = AskYesNoCancelAllL(text, Settings().MsgTxtFile);
      if (answer == mrAll) overwriteAll = true;
      copy = answer == mrYes || answer == mrAll;
    }
    if (copy && CopyFileBuffered(filePath, target) != 0) return failed(filePath);
    path = target;
    // The root's own index: 0 when the root is LumDir1, as by default.
    dirIndex = storedIndexOf(paths, root);
    if (dirIndex < 0) return failed(path);
  }

  TLUM32 lum;
  lum.OemTexts = 1;
  if (!lum.LoadFromFile(path)) return failed(path);
  if (!FillCatalogueRecord(lum, rec)) return failed(path);
  rec.SetDirIndex(dirIndex);
  std::int32_t recNo = 0;
  if (FindCatalogueFile(rec, recNo)) return UpdateCatalogueRecord(rec, recNo) ? AddOutcome::Updated : failed(path);
  if (recNo == kNoFreeAlias) return failed(path);
  return AddCatalogueRecord(rec, recNo) == isam::kOk ? AddOutcome::Added : failed(path);
}

ScanCounts addAll(const std::vector<std::string>& files, const std::string& root, TPathList& paths,
                  const TMsgManager& msgs) {
  ScanCounts counts;
  if (root.empty() || !DirExists(root)) return counts;  // every file would be NoRoot
  storeDirectories(files, root, paths);
  bool overwriteAll = false;
  ui().beginWait(msgs.GetText("DEFAULT MESSAGES", "DM_WAIT"));
  for (const auto& f : files) {
    ui().updateWait(f);
    switch (addBelowRoot(f, root, overwriteAll, paths, msgs)) {
      case AddOutcome::Added: ++counts.added; break;
      case AddOutcome::Updated: ++counts.updated; break;
      case AddOutcome::Failed: ++counts.failed; break;
      case AddOutcome::NoRoot: break;
    }
  }
  ui().endWait();
  return counts;
}

}  // namespace

std::string CatalogueFilePath(const TCatalogueRecord& rec, const TPathList& paths) {
  return AddBackslash(paths.GetPath(rec.DirIndex())) + CatalogueFileName(rec);
}

std::string LuminaireRoot() {
  const TProgramSettings& s = Settings();
  if (DirExists(s.LumDir2)) return s.LumDir2;
  if (DirExists(s.LumDir1)) return s.LumDir1;
  return {};
}

AddOutcome AddFileToCatalogue(const std::string& filePath, bool& overwriteAll, TPathList& paths,
                              const TMsgManager& msgs) {
  return AddFileBelowRoot(filePath, LuminaireRoot(), overwriteAll, paths, msgs);
}

AddOutcome AddFileBelowRoot(const std::string& filePath, const std::string& root, bool& overwriteAll,
                            TPathList& paths, const TMsgManager& msgs) {
  if (root.empty() || !DirExists(root)) return AddOutcome::NoRoot;
  return addBelowRoot(filePath, root, overwriteAll, paths, msgs);
}

ScanCounts AddAllBelowRoot(TPathList& paths, const TMsgManager& msgs) {
  const std::vector<std::string> files = CollectLuminaireFiles(Settings().LumDir2);
  return addAll(files, LuminaireRoot(), paths, msgs);
}

ScanCounts AddTreeToCatalogue(const std::string& root, TPathList& paths, const TMsgManager& msgs) {
  const std::vector<std::string> files = CollectLuminaireFiles(root);
  return addAll(files, root, paths, msgs);
}

}  // namespace kandelo
