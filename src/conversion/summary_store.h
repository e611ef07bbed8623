// The key figures of every catalogue entry, kept beside the catalogue in a
// file of their own ("<catalogue>.SUM") so that the catalogue's files stay as
// they are. The file is a cache: a slot is trusted only when its check sum
// holds and its stamp equals the stamp of the entry as it is now (the stored
// record and the size and time of its file). Anything else - a slot never
// written, one half written when the program died, one of a record since
// rewritten or of a number since reused, a file changed on disk - reads as
// missing, and the caller computes the figures again and writes them back.
// Slots are written in place, one record number each, so stations sharing a
// catalogue never need a lock: two stations writing one slot write the same
// figures.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "evaluation/photometric_summary.h"

namespace kandelo {

namespace platform {
class FileHandle;
}

// The stamp of an entry: a hash of its stored record (512 bytes).
std::uint64_t SummaryStamp(const unsigned char* record);

// A file's size and modification time (ns) when its figures were computed;
// size -1: not known.
struct FileMark {
  std::int64_t size = -1;
  std::int64_t modifiedNs = 0;
  bool operator==(const FileMark&) const = default;
};

struct StoredSummary {
  PhotometricSummary figures;  // all unknown when the file could not be read
  FileMark file;
  bool readable = true;  // false: the file could not be read when the slot was written
};

class SummaryStore {
 public:
  static constexpr std::size_t kHeaderSize = 64;
  static constexpr std::size_t kSlotSize = 256;

  // The store of the catalogue on this base path (LumDb): base + ".SUM".
  static std::string PathFor(const std::string& catalogueBase);

  // Opens the store, creating it when missing. A file of another layout
  // (another program version) is started afresh. False when it can be
  // neither opened nor created (read-only folder): the figures are then
  // computed each time.
  bool Open(const std::string& path);
  void Close();
  bool IsOpen() const { return file_ != nullptr; }
  // Lets go of a handle of a file system replaced since it was opened
  // (a test's), without calling into that one. True when it did.
  bool DropIfStale();

  // Reads the whole file into memory at once: a walk over every entry then
  // costs no read per entry. Slots written later by this store are seen;
  // those of other stations from then on are not (a walk is a snapshot).
  // False when it cannot be read; reading then goes to the file.
  bool Preload();

  // The figures of record `recordNumber` when its slot is whole and of this stamp.
  std::optional<StoredSummary> Read(std::int32_t recordNumber, std::uint64_t stamp) const;
  // False when the slot could not be written (disk full): the figures are
  // then simply computed again next time.
  bool Write(std::int32_t recordNumber, std::uint64_t stamp, const PhotometricSummary& s, FileMark file = {});
  // Notes that the entry's file could not be read, so that a walk does not
  // try it again until its record or (for a caller that looks) its file changes.
  bool WriteUnreadable(std::int32_t recordNumber, std::uint64_t stamp, FileMark file);
  // Record numbers the file has slots for (written or not).
  std::int32_t SlotCount() const;
  // Marks the slot empty (a deleted entry).
  bool Erase(std::int32_t recordNumber);

  SummaryStore();
  ~SummaryStore();
  SummaryStore(const SummaryStore&) = delete;
  SummaryStore& operator=(const SummaryStore&) = delete;

 private:
  bool WriteSlot(std::int32_t recordNumber, std::uint64_t stamp, const PhotometricSummary& s, FileMark file,
                 unsigned char kind);
  std::unique_ptr<platform::FileHandle> file_;
  std::uint64_t generation_ = 0;  // of the file system the handle came from
  std::vector<unsigned char> preloaded_;  // the whole file after Preload, else empty
};

}  // namespace kandelo
