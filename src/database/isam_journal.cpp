// Undo journal of changes in network mode (layout in isam_journal.h).

#include "database/isam_journal.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <random>

#include "database/isam.h"
#include "database/isam_internal.h"
#include "frame/strutil.h"

namespace kandelo::isam {

namespace pf = kandelo::platform;

namespace {

constexpr char kMagic[8] = {'K', 'N', 'D', 'J', 'N', 'L', '0', '1'};
constexpr unsigned char kSizeEntry = 1, kBytesEntry = 2;

std::uint32_t Checksum(std::uint64_t change, const unsigned char* p, std::size_t n) {
  std::uint32_t h = 2166136261u ^ static_cast<std::uint32_t>(change) ^ static_cast<std::uint32_t>(change >> 32);
  for (std::size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 16777619u;
  return h;
}

void PutI64(unsigned char* p, std::int64_t v) {
  PutI32(p, static_cast<std::int32_t>(v & 0xFFFFFFFF));
  PutI32(p + 4, static_cast<std::int32_t>(v >> 32));
}

std::int64_t GetI64(const unsigned char* p) {
  return static_cast<std::int64_t>(static_cast<std::uint32_t>(GetI32(p))) |
         (static_cast<std::int64_t>(GetI32(p + 4)) << 32);
}

void PutU32(unsigned char* p, std::uint32_t v) { PutI32(p, static_cast<std::int32_t>(v)); }
std::uint32_t GetU32(const unsigned char* p) { return static_cast<std::uint32_t>(GetI32(p)); }

}  // namespace

namespace detail {

void Journal::begin() {
  static std::mt19937_64 numbers(static_cast<std::uint64_t>(pf::processId()) * 0x9E3779B97F4A7C15ull ^
                                 static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
  active_ = true;
  at_ = 0;
  size_[0] = size_[1] = -1;
  change_ = numbers();
}

bool Journal::end() {
  active_ = false;
  if (at_ == 0) return true;
  at_ = 0;
  const unsigned char none[sizeof kMagic] = {};
  return handle_->writeAt(0, none, sizeof none);
}

bool Journal::keep(pf::FileHandle& target, int file, std::int64_t offset, std::size_t n) {
  if (file < 0 || file > 1 || offset < 0) return false;
  entry_.clear();
  if (at_ == 0) {
    entry_.insert(entry_.end(), kMagic, kMagic + sizeof kMagic);
    entry_.resize(sizeof kMagic + 8);
    PutI64(&entry_[sizeof kMagic], static_cast<std::int64_t>(change_));
  }
  if (size_[file] < 0) {
    const std::int64_t size = target.size();
    if (size < 0) return false;
    const std::size_t from = entry_.size();
    entry_.resize(from + 14);
    entry_[from] = kSizeEntry;
    entry_[from + 1] = static_cast<unsigned char>(file);
    PutI64(&entry_[from + 2], size);
    PutU32(&entry_[from + 10], Checksum(change_, &entry_[from], 10));
    size_[file] = size;
  }
  // Bytes past the end need no keeping: the size entry cuts them off again.
  const std::int64_t old = std::clamp<std::int64_t>(size_[file] - offset, 0, static_cast<std::int64_t>(n));
  if (old > 0) {
    const std::size_t from = entry_.size();
    entry_.resize(from + 14 + static_cast<std::size_t>(old) + 4);
    entry_[from] = kBytesEntry;
    entry_[from + 1] = static_cast<unsigned char>(file);
    PutI64(&entry_[from + 2], offset);
    PutI32(&entry_[from + 10], static_cast<std::int32_t>(old));
    if (target.readAt(offset, &entry_[from + 14], static_cast<std::size_t>(old)) != old) return false;
    const std::size_t body = 14 + static_cast<std::size_t>(old);
    PutU32(&entry_[from + body], Checksum(change_, &entry_[from], body));
  }
  size_[file] = std::max(size_[file], offset + static_cast<std::int64_t>(n));
  if (entry_.empty()) return true;
  if (!handle_->writeAt(at_, entry_.data(), entry_.size())) return false;
  at_ += static_cast<std::int64_t>(entry_.size());
  return true;
}

}  // namespace detail

int RollBackJournal(const std::string& basePath) {
  const std::string path = JournalFilePath(basePath);
  if (!pf::fs().exists(path)) return kOk;
  auto j = pf::fs().open(path, pf::OpenMode::ReadWrite);
  if (!j) return kErrNetIO;
  const std::int64_t size = j->size();
  if (size < 0) return kErrNetIO;
  if (size == 0) return kOk;
  // A journal whose change finished (byte 0 of an initialized coordination
  // file is clear) but could not be emptied is no longer to be applied.
  if (auto dia = pf::fs().open(CoordinationFilePath(basePath), pf::OpenMode::Read)) {
    unsigned char head[3];
    if (dia->readAt(0, head, 3) == 3 && head[0] == 0 && GetU16(head + 1) == 2000)
      return j->truncate(0) ? kOk : kErrNetIO;
  }
  std::vector<unsigned char> all(static_cast<std::size_t>(size));
  if (j->readAt(0, all.data(), all.size()) != size) return kErrNetIO;

  struct Old {
    int file;
    std::int64_t offset;
    std::size_t at, length;
  };
  std::vector<Old> olds;
  std::int64_t sizes[2] = {-1, -1};
  if (size >= static_cast<std::int64_t>(sizeof kMagic + 8) && std::memcmp(all.data(), kMagic, sizeof kMagic) == 0) {
    const auto change = static_cast<std::uint64_t>(GetI64(&all[sizeof kMagic]));
    std::size_t p = sizeof kMagic + 8;
    // The entries up to the first torn one: the write it would have kept never happened.
    while (p + 14 <= all.size()) {
      const unsigned char kind = all[p];
      const int file = all[p + 1];
      if (file > 1) break;
      if (kind == kSizeEntry) {
        if (GetU32(&all[p + 10]) != Checksum(change, &all[p], 10)) break;
        if (sizes[file] < 0) sizes[file] = GetI64(&all[p + 2]);
        p += 14;
      } else if (kind == kBytesEntry) {
        const std::int32_t n = GetI32(&all[p + 10]);
        if (n <= 0 || p + 14 + static_cast<std::size_t>(n) + 4 > all.size()) break;
        const std::size_t body = 14 + static_cast<std::size_t>(n);
        if (GetU32(&all[p + body]) != Checksum(change, &all[p], body)) break;
        olds.push_back({file, GetI64(&all[p + 2]), p + 14, static_cast<std::size_t>(n)});
        p += body + 4;
      } else {
        break;
      }
    }
  }

  if (!olds.empty() || sizes[0] >= 0 || sizes[1] >= 0) {
    std::unique_ptr<pf::FileHandle> files[2] = {pf::fs().open(DataFilePath(basePath), pf::OpenMode::ReadWrite),
                                                nullptr};
    if (pf::fs().exists(IndexFilePath(basePath)))
      files[1] = pf::fs().open(IndexFilePath(basePath), pf::OpenMode::ReadWrite);
    for (auto it = olds.rbegin(); it != olds.rend(); ++it) {
      if (!files[it->file]) return kErrNetIO;
      if (!files[it->file]->writeAt(it->offset, &all[it->at], it->length)) return kErrNetIO;
    }
    for (int f = 0; f < 2; ++f) {
      if (sizes[f] < 0 || !files[f]) continue;
      const std::int64_t now = files[f]->size();
      if (now > sizes[f] && !files[f]->truncate(sizes[f])) return kErrNetIO;
    }
    for (auto& f : files)
      if (f && !f->close()) return kErrNetIO;
  }
  return j->truncate(0) ? kOk : kErrNetIO;
}

}  // namespace kandelo::isam
