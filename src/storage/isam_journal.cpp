// Redo journal of changes in network mode (layout in isam_journal.h).

#include "storage/isam_journal.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <cstring>
#include <iterator>
#include <new>
#include <random>

#include "storage/checksum.h"
#include "storage/isam.h"
#include "storage/isam_internal.h"

namespace kandelo::isam {

namespace pf = kandelo::platform;

namespace {

constexpr char kMagic[8] = {'K', 'N', 'D', 'J', 'N', 'L', '0', '2'};
constexpr std::size_t kHeader = sizeof kMagic + 16;  // magic, change number, length of the entries
constexpr std::size_t kEntryHead = 13;

}  // namespace

namespace detail {

void (*Journal::afterFileWrite)() = nullptr;

void Journal::begin() {
  static std::mt19937_64 numbers(static_cast<std::uint64_t>(pf::processId()) * 0x9E3779B97F4A7C15ull ^
                                 static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
  active_ = true;
  pending_[0].clear();
  pending_[1].clear();
  change_ = numbers();
}

void Journal::stop() {
  active_ = false;
  pending_[0].clear();
  pending_[1].clear();
}

bool Journal::put(int file, std::int64_t offset, const void* buf, std::size_t n) {
  if (file < 0 || file > 1 || offset < 0) return false;
  if (n == 0) return true;
  auto& m = pending_[file];
  const auto* src = static_cast<const unsigned char*>(buf);
  const std::int64_t end = offset + static_cast<std::int64_t>(n);
  // The first held-back range that overlaps or adjoins the new bytes.
  auto first = m.upper_bound(offset);
  if (first != m.begin()) {
    auto before = std::prev(first);
    if (before->first + static_cast<std::int64_t>(before->second.size()) >= offset) first = before;
  }
  // Most writes of a change rewrite a page it wrote before.
  if (first != m.end() && first->first <= offset &&
      first->first + static_cast<std::int64_t>(first->second.size()) >= end) {
    std::memcpy(first->second.data() + (offset - first->first), src, n);
    return true;
  }
  auto last = first;
  std::int64_t from = offset, upto = end;
  for (; last != m.end() && last->first <= end; ++last) {
    from = std::min(from, last->first);
    upto = std::max(upto, last->first + static_cast<std::int64_t>(last->second.size()));
  }
  try {
    std::vector<unsigned char> merged(static_cast<std::size_t>(upto - from));
    for (auto it = first; it != last; ++it)
      std::memcpy(merged.data() + (it->first - from), it->second.data(), it->second.size());
    std::memcpy(merged.data() + (offset - from), src, n);
    m.erase(first, last);
    m.emplace(from, std::move(merged));
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

long long Journal::overlay(int file, std::int64_t offset, unsigned char* buf, std::size_t n, long long got) const {
  if (got < 0 || file < 0 || file > 1) return -1;
  const auto& m = pending_[file];
  if (m.empty() || n == 0) return got;
  const std::int64_t end = offset + static_cast<std::int64_t>(n);
  auto it = m.upper_bound(offset);
  if (it != m.begin() && std::prev(it)->first + static_cast<std::int64_t>(std::prev(it)->second.size()) > offset)
    --it;
  long long result = got;
  for (; it != m.end() && it->first < end; ++it) {
    const std::int64_t from = std::max(offset, it->first);
    const std::int64_t upto = std::min(end, it->first + static_cast<std::int64_t>(it->second.size()));
    // Between the file's end and bytes held back past it the file will hold zeros.
    if (from - offset > result) std::memset(buf + result, 0, static_cast<std::size_t>(from - offset - result));
    std::memcpy(buf + (from - offset), it->second.data() + (from - it->first), static_cast<std::size_t>(upto - from));
    result = std::max<long long>(result, upto - offset);
  }
  // Held-back bytes further on: up to them the file will hold zeros.
  const long long reach = std::min<std::int64_t>(end, pendingEnd(file)) - offset;
  if (reach > result) {
    std::memset(buf + result, 0, static_cast<std::size_t>(reach - result));
    result = reach;
  }
  return result;
}

std::int64_t Journal::pendingEnd(int file) const {
  const auto& m = pending_[file];
  if (m.empty()) return 0;
  const auto& last = *m.rbegin();
  return last.first + static_cast<std::int64_t>(last.second.size());
}

Journal::Commit Journal::commit(pf::FileHandle& dia) {
  active_ = false;
  if (pending_[0].empty() && pending_[1].empty()) return Commit::Done;
  entry_.clear();
  try {
    std::size_t body = 0;
    for (const auto& m : pending_)
      for (const auto& [at, bytes] : m) body += kEntryHead + bytes.size();
    entry_.resize(kHeader + body + 4);
  } catch (const std::bad_alloc&) {
    stop();
    return Commit::NotWritten;
  }
  unsigned char* p = entry_.data();
  std::memcpy(p, kMagic, sizeof kMagic);
  PutI64(p + 8, static_cast<std::int64_t>(change_));
  PutI64(p + 16, static_cast<std::int64_t>(entry_.size() - kHeader - 4));
  p += kHeader;
  for (int file = 0; file < 2; ++file)
    for (const auto& [at, bytes] : pending_[file]) {
      p[0] = static_cast<unsigned char>(file);
      PutI64(p + 1, at);
      PutI32(p + 9, static_cast<std::int32_t>(bytes.size()));
      std::memcpy(p + kEntryHead, bytes.data(), bytes.size());
      p += kEntryHead + bytes.size();
    }
  PutU32(p, BlockChecksum(change_, entry_.data(), entry_.size() - 4));
  const bool ok = handle_->writeAt(0, entry_.data(), entry_.size());
  if (entry_.size() > (1u << 20)) std::vector<unsigned char>().swap(entry_);  // keeps no large change's memory
  if (!ok) {
    stop();
    return Commit::NotWritten;
  }
  // From here on the journal is the change: a station that dies while
  // writing the files leaves it to be written again by the next one.
  const unsigned char changing = 1;
  if (!dia.writeAt(0, &changing, 1)) {
    stop();
    return Commit::NotWritten;
  }
  bool written = true;
  for (int file = 0; file < 2 && written; ++file)
    for (const auto& [at, bytes] : pending_[file])
      if (!targets_[file] || !targets_[file]->writeAt(at, bytes.data(), bytes.size())) {
        written = false;
        break;
      } else if (afterFileWrite) {
        afterFileWrite();
      }
  stop();
  return written ? Commit::Done : Commit::Unfinished;
}

}  // namespace detail

int RecoverJournal(const std::string& basePath) {
  const std::string path = JournalFilePath(basePath);
  if (!pf::fs().exists(path)) return kOk;
  auto j = pf::fs().open(path, pf::OpenMode::ReadWrite);
  if (!j) return kErrNetIO;
  const std::int64_t size = j->size();
  if (size < 0) return kErrNetIO;
  if (size == 0) return kOk;
  // Byte 0 of an initialized coordination file clear: the journal's change
  // either finished or never touched the files.
  if (auto dia = pf::fs().open(CoordinationFilePath(basePath), pf::OpenMode::Read)) {
    unsigned char head[3];
    if (dia->readAt(0, head, 3) == 3 && head[0] == 0 && GetU16(head + 1) == 2000)
      return j->truncate(0) ? kOk : kErrNetIO;
  }
  std::vector<unsigned char> all(static_cast<std::size_t>(size));
  if (j->readAt(0, all.data(), all.size()) != size) return kErrNetIO;

  struct New {
    int file;
    std::int64_t offset;
    std::size_t at, length;
  };
  std::vector<New> news;
  bool whole = false;
  if (all.size() >= kHeader + 4 && std::memcmp(all.data(), kMagic, sizeof kMagic) == 0) {
    const auto change = static_cast<std::uint64_t>(GetI64(&all[8]));
    const std::int64_t body = GetI64(&all[16]);
    if (body >= 0 && body <= size - static_cast<std::int64_t>(kHeader + 4)) {
      const std::size_t end = kHeader + static_cast<std::size_t>(body);
      whole = GetU32(&all[end]) == BlockChecksum(change, all.data(), end);
      for (std::size_t p = kHeader; whole && p < end;) {
        const std::int32_t n = p + kEntryHead <= end ? GetI32(&all[p + 9]) : -1;
        const std::int64_t offset = n > 0 ? GetI64(&all[p + 1]) : -1;
        if (n <= 0 || all[p] > 1 || offset < 0 || p + kEntryHead + static_cast<std::size_t>(n) > end) {
          whole = false;
          break;
        }
        news.push_back({all[p], offset, p + kEntryHead, static_cast<std::size_t>(n)});
        p += kEntryHead + static_cast<std::size_t>(n);
      }
    }
  }
  // A torn journal: its change never reached the files.
  if (whole && !news.empty()) {
    std::unique_ptr<pf::FileHandle> files[2] = {pf::fs().open(DataFilePath(basePath), pf::OpenMode::ReadWrite),
                                                nullptr};
    if (pf::fs().exists(IndexFilePath(basePath)))
      files[1] = pf::fs().open(IndexFilePath(basePath), pf::OpenMode::ReadWrite);
    for (const New& n : news) {
      if (!files[n.file]) return kErrNetIO;
      if (!files[n.file]->writeAt(n.offset, &all[n.at], n.length)) return kErrNetIO;
    }
    for (auto& f : files)
      if (f && !f->close()) return kErrNetIO;
  }
  return j->truncate(0) ? kOk : kErrNetIO;
}

}  // namespace kandelo::isam
