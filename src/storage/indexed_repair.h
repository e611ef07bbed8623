// Opening an indexed file with the repairs the catalogue and the lamp table
// share: rebuild after an improper close or a damaged index, then consistency
// checks that rebuild again when they fail.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "storage/indexed_table.h"

namespace kandelo {

// A consistency check on the open file; false asks for a rebuild.
using IndexCheck = std::function<bool(IndexedTable&)>;

struct RepairOptions {
  bool silentTooManyFiles = false;  // 9901 ends without a message (catalogue)
  std::vector<IndexCheck> checks;
};

// Opens the file (keys defined, closed) and repairs it:
// - a "SAV" file without "DAT" (a rebuild stopped right after moving the data
//   aside) is moved back first;
// - 10010 rebuilds and opens again, creating new files when that fails;
// - 10120 (also a data file without its index), 10121, 10070 (a data file
//   shorter than its header), 10170 and 10180 rebuild and open again;
// - any other error ends at once with "DB creation error : " + number as the
//   failure text (none for 9901 when silentTooManyFiles), for the caller to show;
// then every check that fails rebuilds and opens again.
struct RepairResult {
  int error = 0;        // the last open result (0 = open and consistent)
  std::string failure;  // an error no repair applies to; empty otherwise
};
RepairResult OpenWithRepair(IndexedTable& tree, const RepairOptions& options);

// Rebuilds the file. When an earlier rebuild was interrupted (10465: "SAV" and
// "DAT" both there) and the "DAT" file has fewer record slots than "SAV" has
// records in use, the "SAV" file holds all records and the "DAT" file only
// those copied so far: the partial files give way to it and the rebuild runs
// again. A "DAT" file with at least that many slots holds the whole copy and
// may be newer (whether it opens or was not closed properly since): the stale
// "SAV" file is renamed to "SAV.OLD" and the "DAT" file rebuilt.
int RebuildRecovering(IndexedTable& tree);

}  // namespace kandelo
