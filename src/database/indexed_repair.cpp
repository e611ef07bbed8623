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
