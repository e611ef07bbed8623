#include "storage/indexed_repair.h"

#include <algorithm>
#include <vector>

#include "platform/fileio.h"
#include "storage/isam_internal.h"

namespace kandelo {

namespace pf = kandelo::platform;

namespace {

// Records in use in a data file: the slots behind the header slot that start
// with four zero bytes. -1 when the file cannot be read.
std::int64_t recordsInUse(const std::string& path, int recordLength) {
  auto h = pf::fs().open(path, pf::OpenMode::Read);
  if (!h || recordLength < 4) return -1;
  constexpr std::size_t kSlots = 256;
  std::vector<unsigned char> block(kSlots * static_cast<std::size_t>(recordLength));
  std::int64_t inUse = 0, offset = recordLength;
  for (;;) {
    const long long got = h->readAt(offset, block.data(), block.size());
    if (got < 0) return -1;
    const auto slots = static_cast<std::size_t>(got) / static_cast<std::size_t>(recordLength);
    for (std::size_t i = 0; i < slots; ++i) {
      const unsigned char* p = block.data() + i * static_cast<std::size_t>(recordLength);
      inUse += p[0] == 0 && p[1] == 0 && p[2] == 0 && p[3] == 0;
    }
    if (slots < kSlots) return inUse;
    offset += got;
  }
}

// Record slots of a data file behind its header slot; -1 when it cannot be read.
std::int64_t recordSlots(const std::string& path, int recordLength) {
  auto h = pf::fs().open(path, pf::OpenMode::Read);
  const std::int64_t size = h ? h->size() : -1;
  return size < 0 || recordLength < 1 ? -1 : std::max<std::int64_t>(size / recordLength - 1, 0);
}

}  // namespace

int RebuildRecovering(IndexedTable& tree) {
  if (tree.IsOpen()) tree.Close();
  // The files are looked at and moved about while nobody else has them open,
  // and nobody opens them before the rebuild is done: a station or a local
  // opener that has the catalogue open keeps it as it is.
  const std::string base = tree.BasePath();
  isam::ExclusiveHold hold(base);
  if (hold.error()) return hold.error();
  int r = tree.Rebuild();
  if (r != isam::kErrRebuildInterrupted) return r;
  const std::string dat = isam::DataFilePath(base), sav = isam::SaveFilePath(base);
  // The rebuild copies the records in use of "SAV", in order, into a new
  // data file, one slot each, and only then deletes "SAV". A new data file
  // with fewer slots than "SAV" has records in use is a copy that stopped
  // (it may even open cleanly, when it stopped before its first record):
  // "SAV" takes its place again. One with at least as many slots holds the
  // whole copy, and maybe records added after that rebuild, also when it
  // was not closed properly since: moving the older "SAV" over it would
  // lose them, so "SAV" is put aside and the data file rebuilt.
  const std::int64_t saved = recordsInUse(sav, tree.RecordLength());
  if (saved < 0) return r;  // an unreadable "SAV" replaces nothing and is kept
  const std::int64_t slots = pf::fs().exists(dat) ? recordSlots(dat, tree.RecordLength()) : -1;
  const bool whole = slots >= saved;
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

RepairResult OpenWithRepair(IndexedTable& tree, const RepairOptions& options) {
  const std::string base = tree.BasePath();
  const std::string dat = isam::DataFilePath(base), sav = isam::SaveFilePath(base);
  if (pf::fs().exists(sav)) {
    // A rebuild that was stopped (killed) left its "SAV" file: the data file
    // beside it may be a copy that stopped early and yet opens cleanly.
    // Whoever comes first and finds the file open by nobody puts it right
    // before anybody works in it; while another opener has it open (or its
    // own rebuild is running) it stays as it is.
    isam::ExclusiveHold hold(base);
    if (!hold.error() && pf::fs().exists(sav)) {
      if (!pf::fs().exists(dat))
        pf::fs().renameFile(sav, dat);
      else
        RebuildRecovering(tree);
    }
  }

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
      if (options.silentTooManyFiles) return {r, {}};
      [[fallthrough]];
    default:
      return {r, "DB creation error : " + std::to_string(r)};
  }
  for (const auto& check : options.checks) {
    if (r == isam::kOk && check(tree)) continue;
    RebuildRecovering(tree);
    r = tree.Open();
  }
  return {r, {}};
}

}  // namespace kandelo
