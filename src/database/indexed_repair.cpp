#include "database/indexed_repair.h"

#include "frame/msgbox.h"
#include "platform/fileio.h"

namespace kandelo {

namespace pf = kandelo::platform;

int RebuildRecovering(TBTreeBase& tree) {
  int r = tree.Rebuild();
  if (r != isam::kErrRebuildInterrupted) return r;
  const std::string base = tree.BasePath();
  const std::string dat = isam::DataFilePath(base), sav = isam::SaveFilePath(base);
  // A data file that opens cleanly with its index is whole, and may hold
  // records added after the rebuild that left the "SAV" file behind: moving
  // the older "SAV" over it would lose them. Only a data file that fails to
  // open (partial copy, no index, short) gives way to the "SAV" file.
  const bool whole = tree.Open() == isam::kOk;
  tree.Close();
  if (whole) {
    const std::string old = sav + ".OLD";
    pf::fs().removeFile(old);
    if (!pf::fs().renameFile(sav, old) && !pf::fs().removeFile(sav)) return r;
    return tree.Rebuild();
  }
  pf::fs().removeFile(isam::IndexFilePath(base));
  if (!pf::fs().removeFile(dat) || !pf::fs().renameFile(sav, dat)) return r;
  return tree.Rebuild();
}

int OpenWithRepair(TBTreeBase& tree, const RepairOptions& options) {
  const std::string base = tree.BasePath();
  const std::string dat = isam::DataFilePath(base), sav = isam::SaveFilePath(base);
  if (pf::fs().exists(sav) && !pf::fs().exists(dat)) pf::fs().renameFile(sav, dat);

  int r = tree.Open();
  switch (r) {
    case isam::kOk:
      break;
    case isam::kErrNotClosedProperly:
      RebuildRecovering(tree);
      r = tree.Open();
      if (r != isam::kOk) r = tree.CreateFiles();
      break;
    case isam::kErrBadPageSize:  // also a data file whose index is missing
    case isam::kErrBadKeyLength:
    case isam::kErrShortRead:    // a data file shorter than its header says
    case isam::kErrFreeChain:
    case isam::kErrKeyLayout:
      RebuildRecovering(tree);
      r = tree.Open();
      break;
    case isam::kErrTooManyOpenFiles:
      if (options.silentTooManyFiles) return r;
      [[fallthrough]];
    default:
      ShowError("DB creation error : " + std::to_string(r));
      return r;
  }
  for (const auto& check : options.checks) {
    if (r == isam::kOk && check(tree)) continue;
    RebuildRecovering(tree);
    r = tree.Open();
  }
  return r;
}

}  // namespace kandelo
