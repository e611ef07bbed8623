// Redo journal of a change in network mode. Other stations keep the file
// open while one of them changes it, so the open-for-writing flag and the
// rebuild that guard local mode against a crash cannot be used: a station
// killed in the middle of a change would leave half-written pages and headers
// that every other station goes on reading. Instead, the writes of a change
// are held back in memory (reads of the changing station see them) until the
// change is complete. Then all its new bytes go into the journal
// ("<base>.JNL") in one write, then byte 0 of the coordination file is set,
// and only after that the bytes go into the data and index files. While
// byte 0 is set, the journal is whole and its change may be only partly in
// the files: writing its bytes again completes it. While byte 0 is clear,
// the journal is that of a finished change (or of one that never touched
// the files) and is not applied. The journal is never emptied after a
// change: it always holds the last change's bytes, which are already in the
// files, so that even writing it again by mistake changes nothing.
//
// Collecting the change costs no system call per page, and publishing it
// one write per changed range plus one for the journal; keeping the old
// bytes instead would cost a read and a journal write for every page.
//
// Layout: the 8 bytes "KNDJNL02", the change's 8-byte number, the 8-byte
// length b of the entries, then b bytes of entries, each
//   1  byte   file: 0 data, 1 index
//   8  int64  offset
//   4  int32  number of new bytes n, then the n bytes
// and last a checksum (4 bytes, storage/checksum.h) of everything before it, seeded with
// the change's number, so that neither a torn journal nor what an earlier
// change left behind it is taken for a whole one.
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/fileio.h"

namespace kandelo::isam::detail {

class Journal {
 public:
  explicit Journal(std::unique_ptr<platform::FileHandle> handle) : handle_(std::move(handle)) {}
  // A change starts: from now on writes are held back.
  void begin();
  enum class Commit {
    Done,        // journal and files written
    NotWritten,  // the journal could not be written whole: the files are untouched
    Unfinished,  // the journal is whole but writing the files failed: a
                 // roll-forward completes the change
  };
  // The change is complete: its bytes go to the journal, then byte 0 of
  // the coordination file is set (the journal now stands for the change),
  // then the bytes go to the files.
  Commit commit(platform::FileHandle& dia);
  // The change is abandoned: what was held back is forgotten.
  void stop();
  bool active() const { return active_; }

  // The file handles the held-back writes belong to (0 data, 1 index).
  void attach(int file, platform::FileHandle* target) { targets_[file] = target; }
  // Holds back a write. False when there is no memory for it.
  bool put(int file, std::int64_t offset, const void* buf, std::size_t n);
  // Lays the held-back bytes over what the file gave for n bytes at offset
  // (got of them, fewer at its end); returns how many bytes the file will
  // hold there once the change is written, -1 on a read error.
  long long overlay(int file, std::int64_t offset, unsigned char* buf, std::size_t n, long long got) const;
  // End of the held-back writes of a file, 0 when none.
  std::int64_t pendingEnd(int file) const;

  // Called after each range written to the files: lets a test stop a
  // station with its change partly there.
  static void (*afterFileWrite)();

 private:
  std::unique_ptr<platform::FileHandle> handle_;
  platform::FileHandle* targets_[2] = {nullptr, nullptr};
  bool active_ = false;
  bool written_ = false;  // the journal's first bytes are not clear
  std::uint64_t change_ = 0;  // number of the change, seeds the checksum
  // Held-back writes per file: offset -> bytes, neither overlapping nor adjoining.
  std::map<std::int64_t, std::vector<unsigned char>> pending_[2];
  std::vector<unsigned char> entry_;
};

// A data or index file handle whose writes are held back in the journal
// while a change is in progress, and whose reads then see them.
class JournaledHandle : public platform::FileHandle {
 public:
  JournaledHandle(std::unique_ptr<platform::FileHandle> inner, std::shared_ptr<Journal> journal, int file)
      : inner_(std::move(inner)), journal_(std::move(journal)), file_(file) {
    journal_->attach(file_, inner_.get());
  }
  ~JournaledHandle() override { journal_->attach(file_, nullptr); }
  long long read(void* buf, std::size_t n) override {
    if (!journal_->active()) return inner_->read(buf, n);
    const std::int64_t at = inner_->tell();
    const long long got = at >= 0 ? readAt(at, buf, n) : -1;
    return got >= 0 && inner_->seek(at + got) ? got : -1;
  }
  bool write(const void* buf, std::size_t n) override {
    const std::int64_t at = inner_->tell();
    return at >= 0 && writeAt(at, buf, n) && inner_->seek(at + static_cast<std::int64_t>(n));
  }
  bool seek(std::int64_t offset) override { return inner_->seek(offset); }
  long long readAt(std::int64_t offset, void* buf, std::size_t n) override {
    const long long got = inner_->readAt(offset, buf, n);
    if (!journal_->active()) return got;
    return journal_->overlay(file_, offset, static_cast<unsigned char*>(buf), n, got);
  }
  bool writeAt(std::int64_t offset, const void* buf, std::size_t n) override {
    if (journal_->active()) return journal_->put(file_, offset, buf, n);
    return inner_->writeAt(offset, buf, n);
  }
  std::int64_t tell() override { return inner_->tell(); }
  std::int64_t size() override {
    const std::int64_t size = inner_->size();
    if (size < 0 || !journal_->active()) return size;
    return std::max(size, journal_->pendingEnd(file_));
  }
  std::int64_t sizeWhenOpened() const override { return inner_->sizeWhenOpened(); }
  // No change cuts a file short; doing it past the held-back writes would tear the change.
  bool truncate(std::int64_t length) override { return !journal_->active() && inner_->truncate(length); }
  bool flush() override { return inner_->flush(); }
  bool close() override { return inner_->close(); }
  platform::LockResult lockRange(std::int64_t offset, std::int64_t length, bool exclusive) override {
    return inner_->lockRange(offset, length, exclusive);
  }
  bool unlockRange(std::int64_t offset, std::int64_t length) override { return inner_->unlockRange(offset, length); }
  platform::LockResult testRange(std::int64_t offset, std::int64_t length, bool exclusive) override {
    return inner_->testRange(offset, length, exclusive);
  }

 private:
  std::unique_ptr<platform::FileHandle> inner_;
  std::shared_ptr<Journal> journal_;
  int file_;
};

}  // namespace kandelo::isam::detail
