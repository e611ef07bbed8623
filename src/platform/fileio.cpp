#include "platform/fileio.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <utime.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace kandelo::platform {
namespace {

class PosixHandle : public FileHandle {
 public:
  PosixHandle(int fd, std::int64_t sizeWhenOpened) : fd_(fd), sizeWhenOpened_(sizeWhenOpened) {}
  ~PosixHandle() override { close(); }

  long long read(void* buf, std::size_t n) override {
    return readAll(buf, n, [this](char* p, std::size_t k, std::size_t) { return ::read(fd_, p, k); });
  }
  bool write(const void* buf, std::size_t n) override {
    return writeAll(buf, n, [this](const char* p, std::size_t k, std::size_t) { return ::write(fd_, p, k); });
  }
  bool seek(std::int64_t offset) override { return offset >= 0 && ::lseek(fd_, offset, SEEK_SET) == offset; }
  long long readAt(std::int64_t offset, void* buf, std::size_t n) override {
    if (offset < 0) return -1;
    return readAll(buf, n, [this, offset](char* p, std::size_t k, std::size_t done) {
      return ::pread(fd_, p, k, static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
    });
  }
  bool writeAt(std::int64_t offset, const void* buf, std::size_t n) override {
    if (offset < 0) return false;
    return writeAll(buf, n, [this, offset](const char* p, std::size_t k, std::size_t done) {
      return ::pwrite(fd_, p, k, static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
    });
  }
  std::int64_t tell() override { return ::lseek(fd_, 0, SEEK_CUR); }
  std::int64_t size() override {
    struct stat st{};
    return ::fstat(fd_, &st) == 0 ? st.st_size : -1;
  }
  std::int64_t sizeWhenOpened() const override { return sizeWhenOpened_; }
  bool truncate(std::int64_t length) override { return ::ftruncate(fd_, length) == 0; }
  bool flush() override { return ::fsync(fd_) == 0 || errno == EINVAL; }
  bool close() override {
    if (fd_ < 0) return true;
    int r = ::close(fd_);
    fd_ = -1;
    return r == 0;
  }
  LockResult lockRange(std::int64_t offset, std::int64_t length, bool exclusive) override {
    struct flock fl = rangeLock(exclusive ? F_WRLCK : F_RDLCK, offset, length);
    if (::fcntl(fd_, F_OFD_SETLK, &fl) == 0) return LockResult::Locked;
    return (errno == EACCES || errno == EAGAIN) ? LockResult::Busy : LockResult::Error;
  }
  bool unlockRange(std::int64_t offset, std::int64_t length) override {
    struct flock fl = rangeLock(F_UNLCK, offset, length);
    return ::fcntl(fd_, F_OFD_SETLK, &fl) == 0;
  }
  // One call instead of the two of taking and releasing.
  LockResult testRange(std::int64_t offset, std::int64_t length, bool exclusive) override {
    struct flock fl = rangeLock(exclusive ? F_WRLCK : F_RDLCK, offset, length);
    if (::fcntl(fd_, F_OFD_GETLK, &fl) != 0) return LockResult::Error;
    return fl.l_type == F_UNLCK ? LockResult::Locked : LockResult::Busy;
  }

 private:
  static struct flock rangeLock(short type, std::int64_t offset, std::int64_t length) {
    struct flock fl{};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = offset;
    fl.l_len = length;
    return fl;
  }
  // Repeats a partial transfer op(at, bytes left, bytes done) until all n
  // bytes or the end of the file; interrupted calls are repeated.
  template <class Op>
  static long long readAll(void* buf, std::size_t n, Op op) {
    std::size_t done = 0;
    auto* p = static_cast<char*>(buf);
    while (done < n) {
      const ssize_t r = op(p + done, n - done, done);
      if (r < 0) {
        if (errno == EINTR) continue;
        return -1;
      }
      if (r == 0) break;
      done += static_cast<std::size_t>(r);
    }
    return static_cast<long long>(done);
  }
  template <class Op>
  static bool writeAll(const void* buf, std::size_t n, Op op) {
    std::size_t done = 0;
    const auto* p = static_cast<const char*>(buf);
    while (done < n) {
      const ssize_t r = op(p + done, n - done, done);
      if (r < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      done += static_cast<std::size_t>(r);
    }
    return true;
  }

  int fd_;
  std::int64_t sizeWhenOpened_;
};

class PosixFileSystem : public FileSystem {
 public:
  std::unique_ptr<FileHandle> open(const std::string& path, OpenMode mode) override {
    int flags = O_CLOEXEC;
    switch (mode) {
      case OpenMode::Read: flags |= O_RDONLY; break;
      case OpenMode::ReadWrite: flags |= O_RDWR; break;
      case OpenMode::Create: flags |= O_RDWR | O_CREAT | O_TRUNC; break;
      case OpenMode::OpenOrCreate: flags |= O_RDWR | O_CREAT; break;
    }
    // Without O_NONBLOCK, opening a FIFO waits for a writer that may never
    // come; only regular files are files to the program (a FIFO, device or
    // socket named as a luminaire or a catalogue is refused, not waited on).
    int fd = ::open(path.c_str(), flags | O_NONBLOCK, 0666);
    if (fd < 0) return nullptr;
    struct stat st{};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      ::close(fd);
      return nullptr;
    }
    // O_NONBLOCK stays: on a regular file reads and writes ignore it, and
    // clearing it would cost two more system calls for every file opened.
    return std::make_unique<PosixHandle>(fd, static_cast<std::int64_t>(st.st_size));
  }
  bool exists(const std::string& path) override {
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0;
  }
  bool isDirectory(const std::string& path) override {
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  }
  bool makeDirectory(const std::string& path) override { return ::mkdir(path.c_str(), 0777) == 0; }
  bool removeFile(const std::string& path) override { return ::unlink(path.c_str()) == 0; }
  bool removeDirectory(const std::string& path) override { return ::rmdir(path.c_str()) == 0; }
  bool renameFile(const std::string& from, const std::string& to) override {
    return ::rename(from.c_str(), to.c_str()) == 0;
  }
  std::optional<std::uint32_t> attributes(const std::string& path) override {
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return attrsOf(path, st);
  }
  bool setAttributes(const std::string& path, std::uint32_t attrs) override {
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0) return false;
    mode_t m = st.st_mode & 07777;
    if (attrs & faReadOnly)
      m &= static_cast<mode_t>(~(S_IWUSR | S_IWGRP | S_IWOTH));
    else
      m |= S_IWUSR;
    return ::chmod(path.c_str(), m) == 0;
  }
  std::optional<std::time_t> modifiedTime(const std::string& path) override {
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return st.st_mtime;
  }
  std::optional<Stamp> fileStamp(const std::string& path) override {
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return Stamp{std::int64_t(st.st_size), std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
  }
  bool setModifiedTime(const std::string& path, std::time_t t) override {
    struct utimbuf ub{};
    ub.actime = t;
    ub.modtime = t;
    return ::utime(path.c_str(), &ub) == 0;
  }
  std::optional<std::vector<DirEntry>> listDirectory(const std::string& path) override {
    DIR* d = ::opendir(path.empty() ? "." : path.c_str());
    if (!d) return std::nullopt;
    std::vector<DirEntry> out;
    std::string base = path;
    if (!base.empty() && base.back() != '/') base += '/';
    while (dirent* e = ::readdir(d)) {
      std::string name = e->d_name;
      if (name == "." || name == "..") continue;
      struct stat st{};
      std::string full = base + name;
      if (::stat(full.c_str(), &st) != 0) continue;  // dangling link
      out.push_back({name, attrsOf(full, st), static_cast<std::int64_t>(st.st_size), st.st_mtime});
    }
    ::closedir(d);
    return out;
  }
  std::optional<std::vector<DirEntry>> listNames(const std::string& path) override {
    DIR* d = ::opendir(path.empty() ? "." : path.c_str());
    if (!d) return std::nullopt;
    std::vector<DirEntry> out;
    while (dirent* e = ::readdir(d)) {
      std::string name = e->d_name;
      if (name == "." || name == "..") continue;
      bool directory = e->d_type == DT_DIR;
      bool special = e->d_type == DT_FIFO || e->d_type == DT_CHR || e->d_type == DT_BLK || e->d_type == DT_SOCK;
      if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {  // links count as what they point to
        struct stat st{};
        if (::fstatat(::dirfd(d), e->d_name, &st, 0) != 0) continue;  // dangling link
        directory = S_ISDIR(st.st_mode);
        special = !directory && !S_ISREG(st.st_mode);
      }
      std::uint32_t a = directory ? faDirectory : faArchive;
      if (special) a |= faSysFile;  // as attrsOf marks them
      if (name[0] == '.') a |= faHidden;
      out.push_back({std::move(name), a, 0, 0});
    }
    ::closedir(d);
    return out;
  }
  std::string currentDirectory() override {
    char buf[PATH_MAX];
    return ::getcwd(buf, sizeof buf) ? std::string(buf) : std::string(".");
  }
  bool isRemote(const std::string& path) override {
    struct statfs sf{};
    if (::statfs(path.c_str(), &sf) != 0) return false;
    switch (static_cast<unsigned long>(sf.f_type)) {
      case 0x6969:      // NFS
      case 0xFF534D42:  // CIFS
      case 0xFE534D42:  // SMB2
      case 0x517B:      // SMB
      case 0x65735546:  // FUSE (sshfs and the like)
      case 0x6B414653:  // AFS
      case 0x00C36400:  // Ceph
      case 0x01021997:  // 9P
      case 0x73757245:  // Coda
      case 0x47504653:  // GPFS
      case 0x0BD00BD0:  // Lustre
        return true;
      default:
        return false;
    }
  }
  DriveKind driveKind(const std::string& path) override {
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0) return DriveKind::Missing;
    struct statvfs vf{};
    if (::statvfs(path.c_str(), &vf) == 0 && (vf.f_flag & ST_RDONLY)) return DriveKind::ReadOnly;
    struct statfs sf{};
    if (::statfs(path.c_str(), &sf) == 0) {
      switch (static_cast<unsigned long>(sf.f_type)) {
        case 0x9660:      // ISO 9660 (CD images)
        case 0x15013346:  // UDF
        case 0x73717368:  // squashfs
          return DriveKind::ReadOnly;
        default:
          break;
      }
    }
    if (isRemote(path)) return DriveKind::Remote;
    return isRemovableDevice(st.st_dev) ? DriveKind::Removable : DriveKind::Fixed;
  }
  std::optional<std::uint64_t> freeSpace(const std::string& path) override {
    struct statvfs vf{};
    if (::statvfs(path.c_str(), &vf) != 0) return std::nullopt;
    return static_cast<std::uint64_t>(vf.f_bavail) * vf.f_frsize;
  }

 private:
  // The block device's "removable" flag; a partition carries it on its disk.
  static bool isRemovableDevice(dev_t dev) {
    const std::string base = "/sys/dev/block/" + std::to_string(major(dev)) + ":" + std::to_string(minor(dev));
    char resolved[PATH_MAX];
    if (!::realpath(base.c_str(), resolved)) return false;
    std::string dir = resolved;
    for (int level = 0; level < 2 && !dir.empty(); ++level) {
      std::ifstream f(dir + "/removable");
      int flag = 0;
      if (f >> flag) return flag == 1;
      dir = dir.substr(0, dir.find_last_of('/'));
    }
    return false;
  }
  static std::uint32_t attrsOf(const std::string& path, const struct stat& st) {
    std::uint32_t a = 0;
    if (S_ISDIR(st.st_mode)) a |= faDirectory; else a |= faArchive;
    // FIFOs, devices and sockets are no files to the program: marked as
    // system files, scans pass them by and readers never open them.
    if (!S_ISDIR(st.st_mode) && !S_ISREG(st.st_mode)) a |= faSysFile;
    // The owner's write bit, not access(): root may write anything, yet a file
    // without write permission is still read-only to the program.
    if (!(st.st_mode & S_IWUSR)) a |= faReadOnly;
    auto slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (!name.empty() && name[0] == '.') a |= faHidden;
    return a;
  }
};

FileSystem* g_current = nullptr;

}  // namespace

FileSystem& nativeFileSystem() {
  static PosixFileSystem native;
  return native;
}

FileSystem& fs() { return g_current ? *g_current : nativeFileSystem(); }

namespace {
std::atomic<std::uint64_t> g_generation{0};
}

FileSystem* setFileSystem(FileSystem* replacement) {
  FileSystem* previous = g_current;
  g_current = replacement;
  ++g_generation;
  return previous;
}

std::uint64_t fileSystemGeneration() { return g_generation.load(); }

std::optional<std::string> canonicalPath(const std::string& path) {
  char buf[PATH_MAX];
  if (!::realpath(path.empty() ? "." : path.c_str(), buf)) return std::nullopt;
  return std::string(buf);
}

namespace {

// The fdinfo of a descriptor lists the locks taken through it ("lock:"
// lines, "... WRITE ..." for an exclusive one).
bool fdinfoShowsLock(const std::string& fdinfo, bool exclusiveOnly) {
  FILE* f = std::fopen(fdinfo.c_str(), "re");
  if (!f) return false;
  char buf[4096];
  const std::size_t n = std::fread(buf, 1, sizeof buf, f);
  std::fclose(f);
  const std::string text(buf, n);
  for (std::size_t at = text.rfind("lock:", 0) == 0 ? 0 : text.find("\nlock:"); at != std::string::npos;
       at = text.find("\nlock:", at + 1)) {
    const std::size_t end = text.find('\n', at + 1);
    if (!exclusiveOnly || text.substr(at, end == std::string::npos ? end : end - at).find("WRITE") != std::string::npos)
      return true;
  }
  return false;
}

}  // namespace

int processId() { return static_cast<int>(::getpid()); }

std::optional<bool> networkModeOverride() {
  const char* v = std::getenv("KANDELO_NETWORK_MODE");
  if (!v) return std::nullopt;
  const std::string mode(v);
  if (mode == "force") return true;
  if (mode == "off") return false;
  return std::nullopt;
}

bool networkModeFor(const std::string& directory) {
  if (const std::optional<bool> forced = networkModeOverride()) return *forced;
  return fs().isRemote(directory);
}

std::optional<int> lockHolder(const std::string& path, bool exclusiveOnly) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct flock fl{};
  // A probe for a shared lock meets only exclusive locks; one for an
  // exclusive lock meets every lock.
  fl.l_type = exclusiveOnly ? F_RDLCK : F_WRLCK;
  fl.l_whence = SEEK_SET;
  struct stat own{};
  const bool known = ::fcntl(fd, F_OFD_GETLK, &fl) == 0 && ::fstat(fd, &own) == 0;
  if (!known || fl.l_type == F_UNLCK) {
    ::close(fd);
    return std::nullopt;
  }
  if (fl.l_pid > 0) {  // a classic POSIX lock names its process
    ::close(fd);
    return static_cast<int>(fl.l_pid);
  }
  const std::string self = std::to_string(::getpid()), ownFd = std::to_string(fd);
  int candidate = 0;
  DIR* proc = ::opendir("/proc");
  while (proc) {
    dirent* p = ::readdir(proc);
    if (!p) break;
    const std::string pid = p->d_name;
    if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos) continue;
    const std::string fdDir = "/proc/" + pid + "/fd";
    DIR* fds = ::opendir(fdDir.c_str());
    if (!fds) continue;
    int found = 0;
    while (dirent* e = ::readdir(fds)) {
      const std::string n = e->d_name;
      if (n == "." || n == ".." || (pid == self && n == ownFd)) continue;
      struct stat st{};
      if (::stat((fdDir + "/" + n).c_str(), &st) != 0 || st.st_dev != own.st_dev || st.st_ino != own.st_ino)
        continue;
      if (!candidate) candidate = std::stoi(pid);
      if (fdinfoShowsLock("/proc/" + pid + "/fdinfo/" + n, exclusiveOnly)) {
        found = std::stoi(pid);
        break;
      }
    }
    ::closedir(fds);
    if (found) {
      ::closedir(proc);
      ::close(fd);
      return found;
    }
  }
  if (proc) ::closedir(proc);
  ::close(fd);
  return candidate;
}

std::optional<std::string> readWholeFile(const std::string& path) {
  auto h = fs().open(path, OpenMode::Read);
  if (!h) return std::nullopt;
  std::string out;
  char buf[65536];
  for (;;) {
    long long n = h->read(buf, sizeof buf);
    if (n < 0) return std::nullopt;
    if (n == 0) break;
    out.append(buf, static_cast<std::size_t>(n));
  }
  return out;
}

WriteError writeErrorOf(int errnoValue) {
  switch (errnoValue) {
    case ENOSPC:
    case EDQUOT: return WriteError::DiskFull;
    case EFBIG: return WriteError::TooLarge;
    case ENAMETOOLONG: return WriteError::NameTooLong;
    case EACCES:
    case EPERM: return WriteError::NoPermission;
    case EROFS: return WriteError::ReadOnly;
    case ENOENT:
    case ENOTDIR: return WriteError::NoFolder;
    default: return WriteError::Unknown;
  }
}

// A temporary name of this writer alone: two processes (or threads) that write
// the same shared file at once must not write into one temporary file and
// rename the other's half-written text over the target. Built from a short
// piece of the target's name, so that a target whose name is as long as the
// file system allows still gets a temporary.
std::string temporaryPathFor(const std::string& path) {
  static std::atomic<unsigned> serial{0};
  const std::size_t slash = path.rfind('/');
  const std::string dir = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  const std::string name = path.substr(dir.size(), 24);
  return dir + "." + name + "." + std::to_string(processId()) + "-" + std::to_string(serial++) + ".tmp~";
}

AtomicFileWriter::AtomicFileWriter(std::string path) : path_(std::move(path)), tmp_(temporaryPathFor(path_)) {
  errno = 0;
  h_ = fs().open(tmp_, OpenMode::Create);
  if (!h_) {
    fail();
    tmp_.clear();  // never created: nothing to remove
  }
}

AtomicFileWriter::~AtomicFileWriter() {
  if (committed_ || tmp_.empty()) return;
  if (h_) h_->close();
  fs().removeFile(tmp_);
}

bool AtomicFileWriter::fail() {
  if (!failed_) {
    failed_ = true;
    error_ = writeErrorOf(errno);
  }
  return false;
}

bool AtomicFileWriter::write(const void* data, std::size_t n) {
  if (failed_ || !h_) return false;
  errno = 0;
  if (!h_->write(data, n)) return fail();
  written_ += static_cast<std::int64_t>(n);
  return true;
}

bool AtomicFileWriter::commit() {
  if (failed_ || !h_ || committed_) return committed_;
  errno = 0;
  if (!h_->flush() || h_->size() != written_) return fail();
  errno = 0;
  const bool closed = h_->close();
  h_.reset();
  if (!closed) return fail();
  errno = 0;
  if (!fs().renameFile(tmp_, path_)) return fail();
  committed_ = true;
  return true;
}

WriteError whyNotWritable(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::string dir = slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
  if (path.size() - (slash == std::string::npos ? 0 : slash + 1) > kMaxFileNameBytes) return WriteError::NameTooLong;
  if (!fs().isDirectory(dir)) return WriteError::NoFolder;
  {
    AtomicFileWriter probe(path);  // dropped uncommitted: removes its temporary
    if (probe.error() != WriteError::None) return probe.error();
  }
  const auto free = fs().freeSpace(dir);
  if (free && *free < 64 * 1024) return WriteError::DiskFull;
  return WriteError::Unknown;
}

bool writeFileAtomic(const std::string& path, const std::string& content, WriteError* why) {
  AtomicFileWriter out(path);
  const bool ok = out.write(content) && out.commit();
  if (why) *why = out.error();
  return ok;
}

// ---- fault injection ----------------------------------------------------

class FaultyHandle : public FileHandle {
 public:
  FaultyHandle(std::unique_ptr<FileHandle> inner, FaultInjectingFileSystem& owner)
      : inner_(std::move(inner)), owner_(owner) {}
  long long read(void* buf, std::size_t n) override {
    if (++owner_.reads == owner_.failReadAt) return -1;
    return inner_->read(buf, n);
  }
  bool write(const void* buf, std::size_t n) override {
    int w = ++owner_.writes;
    if (w == owner_.failWriteAt) return false;
    if (w == owner_.shortWriteAt) {
      inner_->write(buf, n / 2);
      return false;
    }
    if (!owner_.allowMutation()) return false;
    return inner_->write(buf, n);
  }
  bool seek(std::int64_t o) override { return inner_->seek(o); }
  std::int64_t tell() override { return inner_->tell(); }
  std::int64_t size() override { return inner_->size(); }
  bool truncate(std::int64_t l) override { return owner_.allowMutation() && inner_->truncate(l); }
  bool flush() override { return !owner_.crashed() && inner_->flush(); }
  bool close() override {
    if (closed_) return true;
    closed_ = true;
    bool ok = inner_->close();
    return ++owner_.closes != owner_.failCloseAt && ok;
  }
  LockResult lockRange(std::int64_t o, std::int64_t l, bool x) override { return inner_->lockRange(o, l, x); }
  bool unlockRange(std::int64_t o, std::int64_t l) override { return inner_->unlockRange(o, l); }
  LockResult testRange(std::int64_t o, std::int64_t l, bool x) override { return inner_->testRange(o, l, x); }

 private:
  std::unique_ptr<FileHandle> inner_;
  FaultInjectingFileSystem& owner_;
  bool closed_ = false;
};

void FaultInjectingFileSystem::reset() {
  failReadAt = failWriteAt = shortWriteAt = crashAfterWrites = failCloseAt = 0;
  failSetTimeAt = failTimeReadAt = failOpenAt = 0;
  reads = writes = closes = mutations = opens = setTimes = timeReads = 0;
  crashed_ = false;
}

bool FaultInjectingFileSystem::allowMutation() {
  if (crashed_) return false;
  ++mutations;
  if (crashAfterWrites > 0 && mutations > crashAfterWrites) {
    crashed_ = true;
    return false;
  }
  return true;
}

std::unique_ptr<FileHandle> FaultInjectingFileSystem::open(const std::string& path, OpenMode mode) {
  if (++opens == failOpenAt) return nullptr;
  if (mode != OpenMode::Read && crashed_) return nullptr;
  if ((mode == OpenMode::Create || mode == OpenMode::OpenOrCreate) && !allowMutation()) return nullptr;
  auto inner = base_.open(path, mode);
  if (!inner) return nullptr;
  return std::make_unique<FaultyHandle>(std::move(inner), *this);
}

bool FaultInjectingFileSystem::makeDirectory(const std::string& p) { return allowMutation() && base_.makeDirectory(p); }
bool FaultInjectingFileSystem::removeFile(const std::string& p) { return allowMutation() && base_.removeFile(p); }
bool FaultInjectingFileSystem::removeDirectory(const std::string& p) { return allowMutation() && base_.removeDirectory(p); }
bool FaultInjectingFileSystem::renameFile(const std::string& a, const std::string& b) {
  return allowMutation() && base_.renameFile(a, b);
}
bool FaultInjectingFileSystem::setAttributes(const std::string& p, std::uint32_t a) {
  return allowMutation() && base_.setAttributes(p, a);
}
std::optional<std::time_t> FaultInjectingFileSystem::modifiedTime(const std::string& p) {
  if (++timeReads == failTimeReadAt) return std::nullopt;
  return base_.modifiedTime(p);
}
bool FaultInjectingFileSystem::setModifiedTime(const std::string& p, std::time_t t) {
  if (++setTimes == failSetTimeAt) return false;
  return allowMutation() && base_.setModifiedTime(p, t);
}

}  // namespace kandelo::platform
