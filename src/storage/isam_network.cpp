// Coordination of several stations (program instances) that have one indexed
// file open at once, in network mode.
//
// The coordination file "<base>.DIA" (29 bytes for six keys):
//   0      byte    1 while a change is being written to the files (its
//                  journal is whole), else 0
//   1      uint16  2000: the file is initialized
//   3      w bytes no station's slot; byte 3 is also the opening lock
//   3+i*w  w bytes slot of station i (1..25): bit 0 the data header, bit k
//                  key k, bit K + 1 "something changed"; a set bit means that
//                  another station changed that part since the slot's owner
//                  last read it. w = (K + 1) div 8 + 1.
//
// Locks (open-file-description locks, one attempt each, all exclusive):
//   station number  1 byte at 2147483647 - i, held from opening to closing.
//                   Linux locks are 64-bit and may lie past the end of the
//                   file, so this offset is in range and far from the slots;
//                   it stays below 2^31 for lock managers that count in
//                   32 bits (older NFS).
//   opening lock    byte 3, while a station opens the file to change it
//   slot lock       the own slot, during every reading operation
//   write lock      bytes 3 to the end of the last slot, during a change
//   refresh lock    every slot but the own, while re-initializing
// The write lock covers every slot and byte 3: it waits for no reader, it
// fails while any station reads, opens or changes, and while it is held no
// other station can do any of these.
//
// A change is held back until it is complete, written to the journal
// (isam_journal.h), marked in byte 0, and then written to the files. A
// station that finds byte 0 set while it holds every slot knows that the
// changing station died while writing: it writes the journal's bytes again
// and has every station read everything anew.

#include <chrono>
#include <memory>
#include <new>
#include <random>
#include <thread>
#include <vector>

#include "storage/isam.h"
#include "storage/isam_internal.h"
#include "storage/isam_journal.h"
#include "platform/fileio.h"

namespace kandelo::isam {

namespace pf = kandelo::platform;
using namespace detail;

namespace {

constexpr int kStations = 25;
constexpr std::uint16_t kMarker = 2000;
constexpr std::int64_t kStationLockBase = 2147483647;  // station i locks the byte at this minus i

// Stations that wait for a lock hold a shared lock on this byte meanwhile,
// so that one that has just changed the file lets them go first.
constexpr std::int64_t kWaitersByte = kStationLockBase - 40;

// One lock attempt, repeated for a few milliseconds: the other stations
// hold their slot and write locks only for the moment an operation takes,
// so a short wait spares a reader the error and a writer the long retry of
// the object layer. Gives up at once on anything but a busy lock.
bool TakeLock(pf::FileHandle& h, std::int64_t offset, std::int64_t length, int waitMs = 20) {
  pf::LockResult r = h.lockRange(offset, length, true);
  if (r != pf::LockResult::Busy) return r == pf::LockResult::Locked;
  const bool announced = h.lockRange(kWaitersByte, 1, false) == pf::LockResult::Locked;
  for (int waited = 0; r == pf::LockResult::Busy && waited < waitMs; ++waited) {
    std::this_thread::sleep_for(std::chrono::microseconds(waited < 5 ? 100 : 1000));
    r = h.lockRange(offset, length, true);
  }
  if (announced) h.unlockRange(kWaitersByte, 1);
  return r == pf::LockResult::Locked;
}

// A station that changed the file a moment ago and wants to change it again
// first gives any waiting station its turn; without that, one busy station
// could keep the others out past all their tries.
void LetWaitersFirst(pf::FileHandle& h, std::chrono::steady_clock::time_point lastChange) {
  if (std::chrono::steady_clock::now() - lastChange > std::chrono::milliseconds(5)) return;
  if (h.testRange(kWaitersByte, 1, true) == pf::LockResult::Locked) return;
  std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

struct Station {
  std::unique_ptr<pf::FileHandle> dia;
  std::shared_ptr<Journal> journal;
  int number = 0;  // 0: opened read-only
  int keys = 0;
  int width = 1;
  bool readOnly = false;
  bool openingLock = false;
  bool writeLock = false;
  bool slotLock = false;
  bool refreshAll = false;  // the next refresh reads every part anew
  // The coordination file as this station found it when it took the write
  // lock; nobody else writes it until the lock is released.
  std::vector<unsigned char> atLock;
  std::chrono::steady_clock::time_point lastChange{};

  std::int64_t size() const { return 3 + std::int64_t{kStations + 1} * width; }
  std::int64_t slot(int i) const { return 3 + std::int64_t{i} * width; }
  std::int64_t writeLength() const { return std::int64_t{kStations + 1} * width; }
  // Every part bit: 0 (data header), 1..K (keys), K + 1 (any change).
  std::uint32_t allParts() const { return (1u << (keys + 2)) - 1; }
  bool lockSlot() { return TakeLock(*dia, slot(number), width); }
  bool unlockSlot() { return dia->unlockRange(slot(number), width); }
};

Station* StateOf(IndexedFile& f) { return static_cast<Station*>(f.coordination); }


std::uint32_t SlotBits(const Station& s, const unsigned char* slot) {
  std::uint32_t bits = 0;
  for (int j = 0; j <= s.keys + 1; ++j)
    if (slot[j / 8] & (1u << (j % 8))) bits |= 1u << j;
  return bits;
}

void OrBits(const Station& s, unsigned char* slot, std::uint32_t bits) {
  for (int j = 0; j <= s.keys + 1; ++j)
    if (bits & (1u << j)) slot[j / 8] |= static_cast<unsigned char>(1u << (j % 8));
}

// The coordination file as read; empty when it could not be read whole.
std::vector<unsigned char> ReadDia(Station& s) {
  // One byte more than belongs there, to tell a longer file in the same call.
  std::vector<unsigned char> d(static_cast<std::size_t>(s.size()) + 1);
  if (s.dia->readAt(0, d.data(), d.size()) == s.size())
    d.pop_back();
  else
    d.clear();
  return d;
}

bool Initialized(const Station& s, const std::vector<unsigned char>& d) {
  return static_cast<std::int64_t>(d.size()) == s.size() && GetU16(&d[1]) == kMarker;
}

// Writes an initialized file in which every other station reads everything
// anew and the own slot is clear.
bool WriteFreshDia(Station& s) {
  std::vector<unsigned char> d(static_cast<std::size_t>(s.size()), 0xFF);
  d[0] = 0;
  PutU16(&d[1], kMarker);
  std::fill(d.begin() + 3, d.begin() + 3 + s.width, 0);
  if (s.number > 0) std::fill(d.begin() + s.slot(s.number), d.begin() + s.slot(s.number) + s.width, 0);
  return s.dia->writeAt(0, d.data(), d.size()) && (s.dia->size() == s.size() || s.dia->truncate(s.size()));
}

// Completes what a dead station's change had partly written and has everyone,
// this station included, read everything anew. Needs every slot locked.
int Recover(IndexedFile& f, Station& s) {
  if (RecoverJournal(f.basePath)) return kErrNetIO;
  if (!WriteFreshDia(s)) return kErrNetIO;
  s.refreshAll = true;
  return kOk;
}

// Reads anew the parts another station changed, as the own slot says, or
// everything when marked so. The caller holds the slot or the write lock.
int Refresh(IndexedFile& f, Station& s, const std::vector<unsigned char>& d) {
  const std::uint32_t changed = SlotBits(s, &d[static_cast<std::size_t>(s.slot(s.number))]);
  const std::uint32_t anyChange = 1u << (s.keys + 1);
  if (!(changed & anyChange) && !s.refreshAll) return kOk;
  if (changed) {
    const std::vector<unsigned char> zeros(static_cast<std::size_t>(s.width), 0);
    if (!s.dia->writeAt(s.slot(s.number), zeros.data(), zeros.size())) return kErrRefresh;
  }
  const std::uint32_t parts = s.refreshAll ? s.allParts() : changed;
  s.refreshAll = true;  // until the reading below succeeded
  if (ReloadParts(f, parts)) return kErrRefresh;
  s.refreshAll = false;
  ++f.foreignChanges;
  return kOk;
}

class Coordination : public NetworkHooks {
 public:
  int onOpen(IndexedFile& f, bool readOnly) override;
  int onOpened(IndexedFile& f, int error) override;
  int onClose(IndexedFile& f) override;
  int beginRead(IndexedFile& f) override;
  int endOperation(IndexedFile& f) override;
  int lock(IndexedFile& f) override;
  int unlock(IndexedFile& f) override;
  bool holdsWriteLock(const IndexedFile& f) const override {
    const auto* s = static_cast<const Station*>(f.coordination);
    return s && s->writeLock;
  }

 private:
  // Releases what onOpen took and forgets the station.
  static void Leave(IndexedFile& f);
  // Rolls a failed publication back and tells everyone; the write lock is released.
  int Abandon(IndexedFile& f, Station& s, int error);
  std::minstd_rand random_{static_cast<unsigned>(pf::processId()) ^
                           static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count())};
};

int Coordination::onOpen(IndexedFile& f, bool readOnly) {
  auto s = std::unique_ptr<Station>(new (std::nothrow) Station);
  if (!s) return kErrNetNoMemory;
  unsigned char keyCount = 0;
  if (f.dat->readAt(16, &keyCount, 1) != 1) return kErrNetOpen;
  s->keys = std::min<int>(keyCount, kMaxKeys);
  s->width = (s->keys + 1) / 8 + 1;
  s->readOnly = readOnly;

  const std::string path = CoordinationFilePath(f.basePath);
  if (readOnly) {
    // A reader neither creates nor repairs the file, and takes no number.
    s->dia = pf::fs().open(path, pf::OpenMode::Read);
    if (!s->dia || !Initialized(*s, ReadDia(*s))) return kErrCoordinationFile;
    f.coordination = s.release();
    return kOk;
  }
  s->dia = pf::fs().open(path, pf::OpenMode::OpenOrCreate);
  auto journal = pf::fs().open(JournalFilePath(f.basePath), pf::OpenMode::OpenOrCreate);
  if (!s->dia || !journal) return kErrNetOpen;
  s->journal = std::make_shared<Journal>(std::move(journal));
  if (!TakeLock(*s->dia, 3, 1)) return kErrNetOpen;
  s->openingLock = true;
  auto fail = [&](int error) {
    s->dia->unlockRange(3, 1);
    return error;
  };

  const int first = static_cast<int>(random_() % kStations) + 1;
  for (int tried = 0; tried < kStations && !s->number; ++tried) {
    const int n = (first - 1 - tried + 2 * kStations) % kStations + 1;  // n, n - 1, ..., 1, S, ...
    if (s->dia->lockRange(kStationLockBase - n, 1, true) == pf::LockResult::Locked) s->number = n;
  }
  if (!s->number) return fail(kErrNoStationNumber);

  const std::vector<unsigned char> d = ReadDia(*s);
  const bool initialized = Initialized(*s, d);
  if (!initialized || d[0] != 0) {
    // Every slot but our opening byte: with it, that is the write lock.
    const bool all = s->dia->lockRange(s->slot(1), std::int64_t{kStations} * s->width, true) == pf::LockResult::Locked;
    if (!all && !initialized) {
      s->dia->unlockRange(kStationLockBase - s->number, 1);
      return fail(kErrNetOpen);
    }
    if (all) {
      // Damaged, or left by a station that died while changing: what it
      // had half written is completed first.
      const int err = RecoverJournal(f.basePath) ? kErrNetOpen : (WriteFreshDia(*s) ? kOk : kErrNetOpen);
      s->dia->unlockRange(s->slot(1), std::int64_t{kStations} * s->width);
      if (err) {
        s->dia->unlockRange(kStationLockBase - s->number, 1);
        return fail(err);
      }
    }
  } else {
    // Whatever the slot of this number says was meant for an earlier holder.
    const std::vector<unsigned char> zeros(static_cast<std::size_t>(s->width), 0);
    s->dia->writeAt(s->slot(s->number), zeros.data(), zeros.size());
  }
  f.coordination = s.release();
  return kOk;
}

int Coordination::onOpened(IndexedFile& f, int error) {
  Station* s = StateOf(f);
  if (!s) return error ? error : kErrNetOpen;
  if (!error && !s->readOnly) {
    f.dat = std::make_unique<JournaledHandle>(std::move(f.dat), s->journal, 0);
    if (f.idx) f.idx = std::make_unique<JournaledHandle>(std::move(f.idx), s->journal, 1);
  }
  if (s->openingLock) {
    s->openingLock = false;
    if (!s->dia->unlockRange(3, 1) && !error) error = kErrReleaseOpenLock;
  }
  if (error) Leave(f);
  return error;
}

void Coordination::Leave(IndexedFile& f) {
  Station* s = StateOf(f);
  if (!s) return;
  if (s->number) s->dia->unlockRange(kStationLockBase - s->number, 1);
  s->dia->close();
  delete s;
  f.coordination = nullptr;
}

int Coordination::onClose(IndexedFile& f) {
  Station* s = StateOf(f);
  if (!s) return kOk;
  int err = kOk;
  if (s->writeLock && unlock(f)) err = kErrNetCloseLocks;
  if (s->slotLock) {
    s->slotLock = false;
    if (!s->unlockSlot() && !err) err = kErrNetCloseLocks;
  }
  if (s->number && !s->dia->unlockRange(kStationLockBase - s->number, 1) && !err) err = kErrReleaseSlotLock;
  s->number = 0;
  Leave(f);
  return err;
}

int Coordination::beginRead(IndexedFile& f) {
  Station* s = StateOf(f);
  if (!s || s->readOnly || s->writeLock) return kOk;
  if (!s->slotLock) {
    if (!s->lockSlot()) return kErrRefresh;
    s->slotLock = true;
  }
  std::vector<unsigned char> d = ReadDia(*s);
  if (!Initialized(*s, d)) {
    // Damaged or cut short: re-initialized under the refresh lock (every
    // slot but the own), and everybody reads everything anew.
    const std::int64_t before = s->slot(1), beforeLength = s->slot(s->number) - before;
    const std::int64_t after = s->slot(s->number + 1), afterLength = s->slot(kStations + 1) - after;
    if (beforeLength > 0 && s->dia->lockRange(before, beforeLength, true) != pf::LockResult::Locked)
      return kErrWriteLock;
    if (afterLength > 0 && s->dia->lockRange(after, afterLength, true) != pf::LockResult::Locked) {
      if (beforeLength > 0) s->dia->unlockRange(before, beforeLength);
      return kErrWriteLock;
    }
    const bool written = WriteFreshDia(*s);
    if (beforeLength > 0) s->dia->unlockRange(before, beforeLength);
    if (afterLength > 0) s->dia->unlockRange(after, afterLength);
    if (!written) return kErrRefresh;
    s->refreshAll = true;
    d = ReadDia(*s);
    if (!Initialized(*s, d)) return kErrRefresh;
  } else if (d[0] != 0) {
    // The station that changed the file last died in the middle: this one
    // repairs it, when it can have every slot for a moment.
    s->slotLock = false;
    if (!s->unlockSlot()) return kErrRefresh;
    if (s->dia->lockRange(3, s->writeLength(), true) != pf::LockResult::Locked) return kErrRefresh;
    const int err = Recover(f, *s);
    d = ReadDia(*s);
    const bool released = s->dia->unlockRange(3, s->writeLength());
    if (err || !released || !Initialized(*s, d)) return kErrRefresh;
    if (!s->lockSlot()) return kErrRefresh;
    s->slotLock = true;
  }
  return Refresh(f, *s, d);
}

int Coordination::endOperation(IndexedFile& f) {
  Station* s = StateOf(f);
  if (!s || !s->slotLock) return kOk;
  s->slotLock = false;
  return s->unlockSlot() ? kOk : kErrReleaseSlotLock;
}

int Coordination::lock(IndexedFile& f) {
  Station* s = StateOf(f);
  if (!s || s->readOnly || s->writeLock) return kOk;
  if (s->slotLock) {
    s->slotLock = false;
    if (!s->unlockSlot()) return kErrReleaseWriteLock;
  }
  LetWaitersFirst(*s->dia, s->lastChange);
  if (!TakeLock(*s->dia, 3, s->writeLength())) return kErrWriteLock;
  auto release = [&](int error) {
    s->dia->unlockRange(3, s->writeLength());
    return error;
  };
  std::vector<unsigned char> d = ReadDia(*s);
  if (!Initialized(*s, d) || d[0] != 0) {
    if (Recover(f, *s)) return release(kErrWriteLock);
    d = ReadDia(*s);
    if (!Initialized(*s, d)) return release(kErrWriteLock);
  }
  if (int err = Refresh(f, *s, d)) return release(err);
  // The change's writes are held back until UnlockFile: a death of this
  // station before then leaves the files untouched.
  s->journal->begin();
  s->atLock = std::move(d);
  f.changedParts = 0;
  s->writeLock = true;
  return kOk;
}

int Coordination::Abandon(IndexedFile& f, Station& s, int error) {
  // Nothing of the change reached the files (or a whole journal is written
  // again by the recovery): the cached pages are the change's, and go.
  s.journal->stop();
  engine().cache.drop(f);
  if (Recover(f, s) == kOk) ReloadParts(f, s.allParts());
  s.writeLock = false;
  s.dia->unlockRange(3, s.writeLength());
  return error;
}

int Coordination::unlock(IndexedFile& f) {
  Station* s = StateOf(f);
  if (!s) return kOk;
  if (!s->writeLock) {
    if (!s->slotLock) return kOk;
    s->slotLock = false;
    return s->unlockSlot() ? kOk : kErrReleaseWriteLock;
  }
  std::uint32_t parts = f.changedParts;
  if (WriteParts(f, parts)) return Abandon(f, *s, kErrNetIO);
  switch (s->journal->commit(*s->dia)) {
    case Journal::Commit::Done:
      break;
    case Journal::Commit::NotWritten:
      return Abandon(f, *s, kErrNetIO);
    case Journal::Commit::Unfinished:
      // The journal is whole: writing it again completes the change, and
      // then it did happen. Else byte 0 stays set for the next station.
      if (RecoverJournal(f.basePath)) return Abandon(f, *s, kErrNetIO);
      parts = s->allParts();
      break;
  }

  std::vector<unsigned char> d = std::move(s->atLock);
  s->atLock.clear();
  if (parts == s->allParts()) d.clear();
  if (static_cast<std::int64_t>(d.size()) != s->size()) {
    // Unreadable: everybody reads everything anew.
    d.assign(static_cast<std::size_t>(s->size()), 0xFF);
    std::fill(d.begin() + 3, d.begin() + 3 + s->width, 0);
  }
  d[0] = 0;
  PutU16(&d[1], kMarker);
  for (int i = 1; i <= kStations; ++i) {
    unsigned char* slot = &d[static_cast<std::size_t>(s->slot(i))];
    if (i == s->number)
      std::fill(slot, slot + s->width, 0);
    else
      OrBits(*s, slot, parts);
  }
  const bool written = s->dia->writeAt(0, d.data(), d.size());
  f.changedParts = 0;
  s->writeLock = false;
  const bool released = s->dia->unlockRange(3, s->writeLength());
  s->lastChange = std::chrono::steady_clock::now();
  if (!written) return kErrNetIO;
  return released ? kOk : kErrReleaseWriteLock;
}

}  // namespace

int StationNumberOf(const IndexedFile* file) {
  const auto* s = file ? static_cast<const Station*>(file->coordination) : nullptr;
  return s ? s->number : 0;
}

NetworkHooks& NetworkCoordination() {
  static Coordination* c = new Coordination;  // never destroyed, like the engine
  return *c;
}

}  // namespace kandelo::isam
