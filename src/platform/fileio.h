// File access of the whole program goes through FileSystem, so that tests can
// replace it: fail the N-th read or write, or simulate a crash between writes.
#pragma once

#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kandelo::platform {

// DOS-style attribute bits, as stored and compared by the program.
enum Attr : std::uint32_t {
  faReadOnly = 0x01,
  faHidden = 0x02,
  faSysFile = 0x04,   // also every entry that is no regular file (FIFO, device, socket)
  faDirectory = 0x10,
  faArchive = 0x20,
};

enum class OpenMode {
  Read,          // existing file, read only
  ReadWrite,     // existing file, read and write
  Create,        // create or truncate, read and write
  OpenOrCreate,  // read and write; created empty when missing, never truncated
};

enum class LockResult { Locked, Busy, Error };

class FileHandle {
 public:
  virtual ~FileHandle() = default;
  // Bytes read (0 at end of file), or -1 on error.
  virtual long long read(void* buf, std::size_t n) = 0;
  // True when all n bytes were written.
  virtual bool write(const void* buf, std::size_t n) = 0;
  virtual bool seek(std::int64_t offset) = 0;
  // read / write at an offset, as seek and then read / write (where the
  // position is left afterwards is not said). Natively one system call.
  virtual long long readAt(std::int64_t offset, void* buf, std::size_t n) { return seek(offset) ? read(buf, n) : -1; }
  virtual bool writeAt(std::int64_t offset, const void* buf, std::size_t n) { return seek(offset) && write(buf, n); }
  virtual std::int64_t tell() = 0;
  virtual std::int64_t size() = 0;
  // The size the file had when it was opened, where the opening learnt it
  // anyway; -1 when not known (then ask size()). Spares a call for files
  // that are opened to be read whole.
  virtual std::int64_t sizeWhenOpened() const { return -1; }
  virtual bool truncate(std::int64_t length) = 0;
  virtual bool flush() = 0;
  // Closing twice is harmless; the second call returns true.
  virtual bool close() = 0;
  // Byte-range lock on the open file (one non-blocking attempt).
  virtual LockResult lockRange(std::int64_t offset, std::int64_t length, bool exclusive) = 0;
  virtual bool unlockRange(std::int64_t offset, std::int64_t length) = 0;
  // Whether lockRange would succeed now, without taking the lock; only for
  // a range this handle does not hold. The default takes and releases it.
  virtual LockResult testRange(std::int64_t offset, std::int64_t length, bool exclusive) {
    const LockResult r = lockRange(offset, length, exclusive);
    if (r == LockResult::Locked && !unlockRange(offset, length)) return LockResult::Error;
    return r;
  }
};

// What kind of medium holds a directory, for choosing where converted files
// go: a CD image or read-only mount cannot take them; files on a removable
// or network medium are not added to the catalogue, which would lose them
// when the medium goes.
enum class DriveKind { Fixed, ReadOnly, Removable, Remote, Missing };

struct DirEntry {
  std::string name;          // name as stored on disk
  std::uint32_t attributes;  // Attr bits
  std::int64_t size;
  std::time_t modified;      // seconds since the epoch, UTC
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  virtual std::unique_ptr<FileHandle> open(const std::string& path, OpenMode mode) = 0;
  virtual bool exists(const std::string& path) = 0;
  virtual bool isDirectory(const std::string& path) = 0;
  virtual bool makeDirectory(const std::string& path) = 0;   // one level
  virtual bool removeFile(const std::string& path) = 0;
  virtual bool removeDirectory(const std::string& path) = 0;
  // Replaces an existing target atomically.
  virtual bool renameFile(const std::string& from, const std::string& to) = 0;
  virtual std::optional<std::uint32_t> attributes(const std::string& path) = 0;
  virtual bool setAttributes(const std::string& path, std::uint32_t attrs) = 0;
  virtual std::optional<std::time_t> modifiedTime(const std::string& path) = 0;
  // A regular file's size and modification time to the nanosecond, in one
  // look at the disk where the system allows; nullopt when it is not there.
  struct Stamp {
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;
  };
  virtual std::optional<Stamp> fileStamp(const std::string& path) {
    const auto t = modifiedTime(path);
    if (!t) return std::nullopt;
    auto h = open(path, OpenMode::Read);
    if (!h) return std::nullopt;
    return Stamp{h->size(), std::int64_t(*t) * 1000000000};
  }
  virtual bool setModifiedTime(const std::string& path, std::time_t t) = 0;
  // Entries of a directory without "." and ".."; nullopt when it cannot be read.
  virtual std::optional<std::vector<DirEntry>> listDirectory(const std::string& path) = 0;
  // The same entries with their names and the directory and hidden bits only
  // (no size, date or read-only bit): where the directory itself tells the
  // kind of an entry, this costs no look at each entry. For scans of trees.
  virtual std::optional<std::vector<DirEntry>> listNames(const std::string& path) { return listDirectory(path); }
  virtual std::string currentDirectory() = 0;
  // True when the path lies on a network file system (NFS, SMB/CIFS, ...).
  virtual bool isRemote(const std::string& path) = 0;
  // The kind of file system the path lies on.
  virtual DriveKind driveKind(const std::string& path) {
    if (!exists(path)) return DriveKind::Missing;
    return isRemote(path) ? DriveKind::Remote : DriveKind::Fixed;
  }
  // Free bytes for the user on the path's file system; nullopt when unknown.
  virtual std::optional<std::uint64_t> freeSpace(const std::string& path) { (void)path; return std::nullopt; }
};

// The file system in use: the native one unless a test installed another.
FileSystem& fs();
FileSystem& nativeFileSystem();
// Installs a replacement (nullptr restores the native one); returns the previous.
FileSystem* setFileSystem(FileSystem* replacement);
// Counts the replacements: a handle kept open across calls belongs to the
// file system of the generation it was opened in, and must not be used (or
// closed through it) once that one is gone.
std::uint64_t fileSystemGeneration();

// The absolute path with every link resolved; nullopt when it does not exist.
// Directory scans use it to enter each directory once.
std::optional<std::string> canonicalPath(const std::string& path);

// Who holds a lock on the file: nullopt when no lock is held on it; the id of
// the holding process where the platform tells it (this one's own included),
// otherwise 0. Open-file-description locks carry no process, so the holder is
// found as the process with the file open whose descriptor shows a lock
// (/proc/PID/fdinfo); processes of other users may not be visible.
// exclusiveOnly: only a holder of an exclusive lock counts (shared locks, as
// the stations of a catalogue in network mode hold them, do not).
std::optional<int> lockHolder(const std::string& path, bool exclusiveOnly = false);
// The id of this process.
int processId();

// Network mode of indexed files as the environment variable
// KANDELO_NETWORK_MODE sets it: "force" (on for every path), "off" (local
// whatever the drive), otherwise nullopt (the drive decides).
std::optional<bool> networkModeOverride();
// Whether an indexed file in the directory is shared by several stations:
// the override, else whether the directory lies on a network file system.
bool networkModeFor(const std::string& directory);

// Convenience helpers over fs().
std::optional<std::string> readWholeFile(const std::string& path);

// The longest name of one directory entry, in bytes, that the file systems take.
constexpr std::size_t kMaxFileNameBytes = 255;

// Why a write failed, as far as the system tells it.
enum class WriteError { None, Unknown, DiskFull, TooLarge, NameTooLong, NoPermission, ReadOnly, NoFolder };
// The kind of an errno value of a failed write (Unknown for 0 and the rest).
WriteError writeErrorOf(int errnoValue);

// Why `path` cannot be written, found without touching it: its name too long,
// its folder missing, not writable or full (a file of its own is tried in the
// folder and removed); Unknown when none of these.
WriteError whyNotWritable(const std::string& path);

// A name of this writer alone beside `path` for a file written before it is
// renamed over `path` (short whatever the length of the target's name).
std::string temporaryPathFor(const std::string& path);

// Writes a file under a temporary name of its own in the target's directory
// and renames it over the target only when every byte is on the disk (written,
// flushed and synced, its size checked). Until then the target stays as it
// was; the temporary goes on every failure and when the writer is dropped
// without commit(). For outputs written piece by piece.
class AtomicFileWriter {
 public:
  explicit AtomicFileWriter(std::string path);
  ~AtomicFileWriter();
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;
  // False once any write has failed (later ones are not tried).
  bool write(const void* data, std::size_t n);
  bool write(const std::string& s) { return write(s.data(), s.size()); }
  // Puts the file in place; false, with the target untouched, after any failure.
  bool commit();
  // Why the first failure happened (None while all went well).
  WriteError error() const { return error_; }

 private:
  bool fail();
  std::string path_, tmp_;
  std::unique_ptr<FileHandle> h_;
  std::int64_t written_ = 0;
  bool failed_ = false, committed_ = false;
  WriteError error_ = WriteError::None;
};

// The whole content through an AtomicFileWriter, so that a crash or a full
// disk leaves either the old or the new file, never half; `why` (when given)
// tells the reason of a failure.
bool writeFileAtomic(const std::string& path, const std::string& content, WriteError* why = nullptr);

// Fault injection for tests: counts reads and writes (and other mutating calls)
// through the native file system and fails the chosen one. After a "crash" every
// later mutating call fails, as if the process had died at that point.
class FaultInjectingFileSystem : public FileSystem {
 public:
  explicit FaultInjectingFileSystem(FileSystem& base = nativeFileSystem()) : base_(base) {}
  // 1-based numbers; 0 disables.
  int failReadAt = 0;
  int failWriteAt = 0;      // write() returns false at this write
  int shortWriteAt = 0;     // write() writes half and returns false
  int crashAfterWrites = 0; // the N-th mutating call is the last that happens
  int failCloseAt = 0;
  int failSetTimeAt = 0;
  int failTimeReadAt = 0;
  int failOpenAt = 0;
  int reads = 0, writes = 0, closes = 0, mutations = 0, opens = 0, setTimes = 0, timeReads = 0;
  bool crashed() const { return crashed_; }
  void reset();

  std::unique_ptr<FileHandle> open(const std::string& path, OpenMode mode) override;
  bool exists(const std::string& p) override { return base_.exists(p); }
  bool isDirectory(const std::string& p) override { return base_.isDirectory(p); }
  bool makeDirectory(const std::string& p) override;
  bool removeFile(const std::string& p) override;
  bool removeDirectory(const std::string& p) override;
  bool renameFile(const std::string& a, const std::string& b) override;
  std::optional<std::uint32_t> attributes(const std::string& p) override { return base_.attributes(p); }
  bool setAttributes(const std::string& p, std::uint32_t a) override;
  std::optional<std::time_t> modifiedTime(const std::string& p) override;
  bool setModifiedTime(const std::string& p, std::time_t t) override;
  std::optional<std::vector<DirEntry>> listDirectory(const std::string& p) override { return base_.listDirectory(p); }
  std::optional<std::vector<DirEntry>> listNames(const std::string& p) override { return base_.listNames(p); }
  std::string currentDirectory() override { return base_.currentDirectory(); }
  bool isRemote(const std::string& p) override { return base_.isRemote(p); }
  DriveKind driveKind(const std::string& p) override { return base_.driveKind(p); }
  std::optional<std::uint64_t> freeSpace(const std::string& p) override { return base_.freeSpace(p); }

  // Used by the handles: true when the mutating call may go ahead.
  bool allowMutation();

 private:
  friend class FaultyHandle;
  FileSystem& base_;
  bool crashed_ = false;
};

// Installs a file system for the lifetime of the guard.
class ScopedFileSystem {
 public:
  explicit ScopedFileSystem(FileSystem& f) : previous_(setFileSystem(&f)) {}
  ~ScopedFileSystem() { setFileSystem(previous_); }
  ScopedFileSystem(const ScopedFileSystem&) = delete;
  ScopedFileSystem& operator=(const ScopedFileSystem&) = delete;

 private:
  FileSystem* previous_;
};

}  // namespace kandelo::platform
