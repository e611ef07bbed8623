// Rebuild of an indexed file from its data file: the old data file becomes
// "<base>.SAV", its records in use are copied into new files (renumbered from
// 1, free records dropped), then every key is built anew. A record that a
// unique key refuses is reported in "<base>.MSG" and dropped. Until the copy
// is complete and flushed the "SAV" file is the only copy of the data, so a
// failure up to that point leaves it in place (and a later rebuild refuses to
// run over it with 10465).

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "storage/isam_internal.h"

namespace kandelo::isam {

namespace pf = kandelo::platform;
using namespace detail;

namespace {

int AppendReport(const std::string& path, const std::string& key, int keyNumber, const unsigned char* rec,
                 int length) {
  std::string text = "Key " + key + "\r\nwith Number " + std::to_string(keyNumber) + " duplicate!\r\n" +
                     "Dump follows\r\n" + std::string(reinterpret_cast<const char*>(rec), length) + "\r\n\r\n";
  auto h = pf::fs().exists(path) ? pf::fs().open(path, pf::OpenMode::ReadWrite)
                                 : pf::fs().open(path, pf::OpenMode::Create);
  if (!h) return kErrIO;
  std::int64_t end = h->size();
  int err = end < 0 ? kErrIO : WriteAt(*h, end, text.data(), text.size());
  if (!h->close() && !err) err = kErrClose;
  return err;
}

int AppendDropReport(const std::string& path, std::int64_t slot, const std::string& why, const unsigned char* rec,
                     int length) {
  std::string text = "Record " + std::to_string(slot) + "\r\ndropped: " + why + "\r\n" + "Dump follows\r\n" +
                     std::string(reinterpret_cast<const char*>(rec), length) + "\r\n\r\n";
  auto h = pf::fs().exists(path) ? pf::fs().open(path, pf::OpenMode::ReadWrite)
                                 : pf::fs().open(path, pf::OpenMode::Create);
  if (!h) return kErrIO;
  std::int64_t end = h->size();
  int err = end < 0 ? kErrIO : WriteAt(*h, end, text.data(), text.size());
  if (!h->close() && !err) err = kErrClose;
  return err;
}

// Steps 3 to 6 on the open new file; the "SAV" file is deleted after step 5.
int CopyAndIndex(IndexedFile& f, const std::string& savePath, const std::string& base, const KeyTable& keys,
                 const KeyCallback& keyOf, const RebuildProgress& progress, const RecordCheck& check,
                 std::int32_t& dropped, bool& saveDeleted) {
  const int r = f.recordLength;
  // Step 4: the records in use of the old file, in blocks of records.
  {
    auto in = pf::fs().open(savePath, pf::OpenMode::Read);
    if (!in) return kErrFileNotFound;
    const std::int64_t size = in->size();
    const std::int32_t total = size < 0 ? 0 : static_cast<std::int32_t>(std::min<std::int64_t>(size / r, INT32_MAX));
    constexpr int kBlock = 64;
    std::vector<unsigned char> buf(static_cast<std::size_t>(r) * kBlock);
    std::int64_t offset = r;  // the header block is skipped
    std::int32_t done = 0;
    for (;;) {
      if (!in->seek(offset)) return kErrIO;
      long long got = in->read(buf.data(), buf.size());
      if (got < 0) return kErrIO;
      const int records = static_cast<int>(got / r);  // a trailing partial block ends the file
      for (int i = 0; i < records; ++i) {
        const unsigned char* rec = buf.data() + static_cast<std::size_t>(i) * r;
        if (GetI32(rec) != 0) continue;
        // Garbage that happens to look like a record in use (four zero
        // bytes) must not come back as an entry with a garbage file name.
        if (check) {
          const std::string why = check(rec);
          if (!why.empty()) {
            if (int err = AppendDropReport(MessageFilePath(base), offset / r + i, why, rec, r)) return err;
            ++dropped;
            continue;
          }
        }
        std::int32_t n = 0;
        if (int err = AddRecordRaw(f, rec, n)) return err;
      }
      done += records;
      if (progress && !progress(1, 0, done, total)) return kErrRebuildStopped;
      if (records < kBlock) break;
      offset += got;
    }
    if (int err = FlushFile(f)) return err;
    in->close();
  }
  if (!pf::fs().removeFile(savePath)) return kErrIO;
  saveDeleted = true;

  // Step 6: every key over every record, one key after the other. Records
  // are read in blocks; a record dropped at key k is the one in hand, so the
  // rest of a block stays valid.
  const std::int32_t n = f.highest;
  constexpr std::int32_t kBlock = 64;
  std::vector<unsigned char> block(static_cast<std::size_t>(r) * kBlock);
  for (int k = 1; k <= static_cast<int>(keys.size()); ++k) {
    for (std::int32_t first = 1; first <= n; first += kBlock) {
      const std::int32_t count = std::min(kBlock, n - first + 1);
      if (int err = ReadAt(*f.dat, std::int64_t{first} * r, block.data(), static_cast<std::size_t>(count) * r))
        return err;
      for (std::int32_t i = 0; i < count; ++i) {
        const std::int32_t no = first + i;
        const unsigned char* rec = block.data() + static_cast<std::size_t>(i) * r;
        if (GetI32(rec) != 0) continue;  // dropped at an earlier key
        std::string key = keyOf(rec, k);
        int err = AddKeyRaw(f, k, no, key);
        if (err == kErrDuplicateKey && !keys[static_cast<std::size_t>(k - 1)].duplicates) {
          if (int e = AppendReport(MessageFilePath(base), key, k, rec, r)) return e;
          for (int j = 1; j < k; ++j)
            if (int e = DeleteKeyRaw(f, j, no, keyOf(rec, j))) return e;
          if (int e = DeleteRecordRaw(f, no)) return e;
          ++dropped;
        } else if (err) {
          return err;
        }
      }
      if (progress && !progress(2, k, first + count - 1, n)) return kErrRebuildStopped;
    }
  }
  return kOk;
}

}  // namespace

int RebuildIndexedFile(const std::string& base, int recordLength, const KeyTable& keys, const KeyCallback& keyOf,
                       const RebuildProgress& progress, const RecordCheck& check, std::int32_t* droppedOut) {
  std::int32_t dropped = 0;
  struct Report {
    std::int32_t& count;
    std::int32_t* out;
    ~Report() {
      if (out) *out = count;
    }
  } report{dropped, droppedOut};
  Call c;
  if (int err = c.enter()) return c.done(err);
  if (recordLength > kMaxRebuildRecordLength) return c.done(kErrRebuildSize);
  if (base.empty() || base.size() > static_cast<std::size_t>(kMaxPathLength)) return c.done(kErrPathNotFound);
  if (!keyOf && !keys.empty()) return c.done(kErrRebuildName);
  const std::string dat = DataFilePath(base), sav = SaveFilePath(base);
  if (pf::fs().exists(sav) && pf::fs().exists(dat)) return c.done(kErrRebuildInterrupted);
  if (!pf::fs().exists(dat)) return c.done(pf::fs().exists(sav) ? kErrRebuildInterrupted : kErrFileNotFound);
  for (IndexedFile* open : engine().files)
    if (open->dataPath == dat) return c.done(kErrAccessDenied);  // the owner closes it first

  if (int err = CheckLayout(recordLength, keys)) return c.done(err);
  // Another program (a station of network mode among them) that has the
  // file open would go on working in the old files, and one that opened it
  // while the data lies aside would start a new, empty file: the rebuild
  // holds the file against every opener until it is done.
  ExclusiveHold hold(base);
  if (hold.error()) return c.done(hold.error());
  // What a station that died while writing a change had half written is completed first.
  if (int err = RecoverJournal(base)) return c.done(err);

  if (!pf::fs().renameFile(dat, sav)) return c.done(kErrRebuildName);
  IndexedFile* f = nullptr;
  int err = CreateFiles(base, recordLength, keys);
  if (!err) err = OpenFile(base, false, false, f);
  bool saveDeleted = false;
  if (!err) err = CopyAndIndex(*f, sav, base, keys, keyOf, progress, check, dropped, saveDeleted);
  if (f) {
    int cerr = CloseFile(f);
    if (!err) err = cerr;
  }
  if (err) pf::fs().removeFile(IndexFilePath(base));
  return c.done(err);
}

}  // namespace kandelo::isam
