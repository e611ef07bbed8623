// Stations as separate processes on one indexed file: concurrent changes,
// a station killed in the middle of a change, the catalogue check afterwards.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include "storage/isam_internal.h"
#include "storage/isam_journal.h"
#include "isam_stations.h"

namespace kandelo::test {
namespace {

using namespace isam;
using Contents = std::map<std::int32_t, std::string>;
using Clock = std::chrono::steady_clock;

// A reading operation meets a writer now and then (10399): read again.
template <typename Read>
int Patiently(Read read) {
  int err = 0;
  for (int i = 0; i < 200 && (err = read()) == kErrRefresh; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  return err;
}

// The log of a station: an intent line before each change ("A id name",
// "U id name", "D id"), then "K" when it was acknowledged or "F" when it
// was refused as blocked (10398). A station killed in the middle leaves an
// intent without either: that change may or may not have happened.
struct Log {
  std::ofstream out;
  explicit Log(const std::string& path) : out(path) {}
  void line(const std::string& s) { out << s << '\n' << std::flush; }
};

// What the logs say the file must hold: true when `actual` matches.
bool MatchesLogs(const Contents& actual, const std::vector<std::string>& logs, std::string* why) {
  Contents expected;
  std::map<std::int32_t, std::optional<std::string>> undecided;  // id -> its state if the last change happened
  for (const std::string& path : logs) {
    std::ifstream in(path);
    std::string line, op, name;
    std::int32_t id = 0;
    bool pending = false;
    while (std::getline(in, line)) {
      if (line == "K" || line == "F") {
        if (line == "K" && pending) {
          if (op == "D")
            expected.erase(id);
          else
            expected[id] = name;
        }
        pending = false;
        continue;
      }
      std::istringstream words(line);
      words >> op >> id;
      name.clear();
      words >> name;
      pending = true;
    }
    if (pending) undecided[id] = op == "D" ? std::nullopt : std::optional<std::string>(name);
  }
  for (const auto& [id, state] : undecided) {
    auto it = actual.find(id);
    const std::optional<std::string> have = it == actual.end() ? std::nullopt : std::optional(it->second);
    if (have == state) {
      if (state)
        expected[id] = *state;
      else
        expected.erase(id);
    }
  }
  if (actual == expected) return true;
  std::ostringstream o;
  o << actual.size() << " records, " << expected.size() << " expected;";
  for (const auto& [id, n] : expected)
    if (!actual.count(id) || actual.at(id) != n) o << " missing/changed " << id;
  for (const auto& [id, n] : actual)
    if (!expected.count(id)) o << " extra " << id;
  if (why) *why = o.str();
  return false;
}

struct StationRun {
  std::string base, dir;
  int index = 1;          // ids index * 1000000 + n
  double seconds = 2;
  int peers = 0;          // stations that meet at the end (1..peers); 0: none
  std::vector<std::string> logs;
};

std::string LogPath(const std::string& dir, int index) { return dir + "/station" + std::to_string(index) + ".log"; }
std::string DonePath(const std::string& dir, int index) { return dir + "/done" + std::to_string(index); }

// The body of a station process; its exit code: 0 when everything held.
int RunStation(const StationRun& r) {
  Station s;
  if (s.open(r.base)) return 10;
  Log log(LogPath(r.dir, r.index));
  Contents mine;
  std::mt19937 rng(static_cast<unsigned>(r.index) * 7919u);
  int next = 0, ops = 0;
  const auto end = Clock::now() + std::chrono::duration<double>(r.seconds);
  while (Clock::now() < end) {
    const unsigned pick = rng() % 10;
    ++ops;
    if (pick < 5 || mine.empty()) {
      const std::int32_t id = r.index * 1000000 + ++next;
      const std::string name = "N" + std::to_string(id % 97);
      log.line("A " + std::to_string(id) + " " + name);
      const int err = s.add(id, name);
      if (err == kErrNoWriteLock) {
        log.line("F");
        continue;
      }
      if (err) return 20;
      log.line("K");
      mine[id] = name;
    } else {
      auto it = mine.begin();
      std::advance(it, static_cast<long>(rng() % mine.size()));
      const std::int32_t id = it->first;
      if (Patiently([&] { return s.find(id); })) return 21;
      const bool remove = pick >= 8;
      const std::string name = "U" + std::to_string(rng() % 50);
      log.line(remove ? "D " + std::to_string(id) : "U " + std::to_string(id) + " " + name);
      if (!remove) FillRecord(s.buf, id, name);
      const int err = remove ? s.table->Delete() : s.table->Update();
      if (err == kErrNoWriteLock) {
        log.line("F");
        continue;
      }
      if (err) return 22;
      log.line("K");
      if (remove)
        mine.erase(id);
      else
        mine[id] = name;
    }
    if (ops % 25 == 0) {
      // Reads in between, while the others change the file.
      int err = 0;
      Patiently([&] {
        s.contents(&err);
        return err;
      });
      if (err) return 23;
    }
  }
  if (r.peers == 0) return 0;
  std::ofstream(DonePath(r.dir, r.index)) << "done";
  const auto give_up = Clock::now() + std::chrono::seconds(60);
  for (int i = 1; i <= r.peers; ++i)
    while (!platform::fs().exists(DonePath(r.dir, i)))
      if (Clock::now() > give_up) return 30;
      else std::this_thread::sleep_for(std::chrono::milliseconds(10));
  // Every other station has finished: this one must see all their changes.
  int err = 0;
  Contents seen;
  Patiently([&] {
    seen = s.contents(&err);
    return err;
  });
  if (err) return 31;
  std::string why;
  if (!MatchesLogs(seen, r.logs, &why)) {
    std::fprintf(stderr, "station %d: %s\n", r.index, why.c_str());
    return 32;
  }
  return 0;
}

// Deletes the entry of `id` (added with the name "NAME" + id % 13) with its
// two keys, as a station does inside a change; non-zero when a step fails.
int DeleteEntry(IndexedFile* f, int id, std::int32_t& n) {
  unsigned char rec[kRecLen];
  FillRecord(rec, id, "NAME" + std::to_string(id % 13));
  n = 0;
  return FindKey(f, 2, IdKey(id), n) || DeleteKey(f, 2, n, IdKey(id)) || DeleteKey(f, 1, n, RecordName(rec)) ||
         DeleteRecord(f, n);
}

// Waits for the forked child's one byte on the pipe and closes both ends:
// false when the child ended without sending it.
bool ChildIsReady(int ready[2]) {
  ::close(ready[1]);
  char go = 0;
  const bool sent = ::read(ready[0], &go, 1) == 1;
  ::close(ready[0]);
  return sent;
}

pid_t Fork(const std::function<int()>& body) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    int code = 99;
    try {
      code = body();
    } catch (...) {
    }
    ::_exit(code);
  }
  return pid;
}

// The exit code of a child, -1 when it did not end within the time.
int Wait(pid_t pid, int seconds = 90) {
  const auto end = Clock::now() + std::chrono::seconds(seconds);
  while (Clock::now() < end) {
    int status = 0;
    if (::waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
  return -1;
}

class StationProcessesTest : public StationsTest {};

TEST_F(StationProcessesTest, FourStationsChangeConcurrentlyAndOneIsKilled) {
  {
    Station first;  // created and closed before any station process starts
    ASSERT_EQ(first.open(base()), 0);
  }
  std::vector<std::string> logs;
  for (int i = 1; i <= 5; ++i) logs.push_back(LogPath(dir_.path(), i));
  std::vector<pid_t> pids;
  for (int i = 1; i <= 4; ++i)
    pids.push_back(Fork([&, i] { return RunStation({base(), dir_.path(), i, 3.0, 4, logs}); }));
  const pid_t victim = Fork([&] { return RunStation({base(), dir_.path(), 5, 60.0, 0, logs}); });
  std::this_thread::sleep_for(std::chrono::milliseconds(900));
  ::kill(victim, SIGKILL);
  EXPECT_EQ(Wait(victim), 128 + SIGKILL);
  for (std::size_t i = 0; i < pids.size(); ++i) EXPECT_EQ(Wait(pids[i]), 0) << "station " << i + 1;

  Contents records;
  std::string why;
  // What the killed station left half done is put back by whoever came next
  // (or by this opening): the files are sound and hold every acknowledged change.
  {
    Station after;
    ASSERT_EQ(after.open(base()), 0);
    int err = 0;
    const Contents seen = after.contents(&err);
    EXPECT_EQ(err, 0);
    EXPECT_TRUE(MatchesLogs(seen, logs, &why)) << why;
  }
  ASSERT_EQ(CheckKeyedFile(base(), &records), "");
  EXPECT_TRUE(MatchesLogs(records, logs, &why)) << why;
  EXPECT_GT(records.size(), 20u) << "the stations did get work done";
}

TEST_F(StationProcessesTest, StationKilledInsideAChangeLeavesTheFilesAlone) {
  Contents before;
  {
    Station s;
    ASSERT_EQ(s.open(base()), 0);
    for (int i = 1; i <= 200; ++i) ASSERT_EQ(s.add(i, "NAME" + std::to_string(i % 13)), 0);
    before = s.contents();
  }
  const std::string dat = readFile(DataFilePath(base())), idx = readFile(IndexFilePath(base()));
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = Fork([&] {
    Station s;
    if (s.open(base())) return 1;
    IndexedFile* f = s.file();
    if (LockFile(f)) return 2;
    // Half a delete and half an add, flushed: still held back, and read
    // back by this station as changed.
    unsigned char rec[kRecLen];
    std::int32_t n = 0;
    if (DeleteEntry(f, 77, n)) return 3;
    FillRecord(rec, 999, "NEW");
    if (AddRecord(f, rec, n) || AddKey(f, 1, n, "NEW") || FlushIndexedFile(f)) return 4;
    std::int32_t found = 0;
    if (FindKey(f, 1, "NEW", found) || found != n || FindKey(f, 2, IdKey(77), found) != kErrKeyNotFound) return 7;
    const char go = 'x';
    if (::write(ready[1], &go, 1) != 1) return 5;
    ::pause();
    return 6;
  });
  ASSERT_TRUE(ChildIsReady(ready));
  EXPECT_EQ(readFile(DataFilePath(base())), dat);
  EXPECT_EQ(readFile(IndexFilePath(base())), idx);
  ::kill(child, SIGKILL);
  EXPECT_EQ(Wait(child), 128 + SIGKILL);

  // The other stations go on without an error, and find the file as before.
  std::vector<std::unique_ptr<Station>> stations;
  for (int i = 0; i < 25; ++i) {
    stations.push_back(std::make_unique<Station>());
    ASSERT_EQ(stations.back()->open(base()), 0) << "the dead station's number is free again";
  }
  int err = 0;
  EXPECT_EQ(stations[3]->contents(&err), before);
  EXPECT_EQ(err, 0);
  ASSERT_EQ(stations[7]->add(1000, "LATER"), 0);
  EXPECT_EQ(stations[0]->contents().size(), before.size() + 1);
  stations.clear();
  Contents records;
  ASSERT_EQ(CheckKeyedFile(base(), &records), "");
  before[1000] = "LATER";
  EXPECT_EQ(records, before);
}

// A station killed while it writes a finished change to the files leaves
// torn pages; whoever opens next (a station or a local opener) completes
// the change from the journal.
TEST_F(StationProcessesTest, StationKilledWhileWritingAChangeIsCompleted) {
  for (const bool local : {false, true}) {
    SCOPED_TRACE(local ? "local opener" : "station");
    const std::string name = local ? "TORNL" : "TORNS", at = base(name);
    Contents expected;
    {
      Station s;
      ASSERT_EQ(s.open(at), 0);
      for (int i = 1; i <= 200; ++i) ASSERT_EQ(s.add(i, "NAME" + std::to_string(i % 13)), 0);
      expected = s.contents();
    }
    const std::string dat = readFile(DataFilePath(at)), idx = readFile(IndexFilePath(at));
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    static int readyFd = -1;
    readyFd = ready[1];
    const pid_t child = Fork([&] {
      Station s;
      if (s.open(at)) return 1;
      IndexedFile* f = s.file();
      if (LockFile(f)) return 2;
      // One change of many pages: a delete and forty adds.
      unsigned char rec[kRecLen];
      std::int32_t n = 0;
      if (DeleteEntry(f, 77, n)) return 3;
      for (int i = 1000; i < 1040; ++i) {
        FillRecord(rec, i, "NEW" + std::to_string(i));
        if (AddRecord(f, rec, n) || AddKey(f, 1, n, RecordName(rec)) || AddKey(f, 2, n, IdKey(i))) return 4;
      }
      detail::Journal::afterFileWrite = [] {
        const char go = 'x';
        if (::write(readyFd, &go, 1) == 1) ::pause();
      };
      UnlockFile(f);
      return 5;
    });
    ASSERT_TRUE(ChildIsReady(ready));
    ::kill(child, SIGKILL);
    EXPECT_EQ(Wait(child), 128 + SIGKILL);
    EXPECT_TRUE(readFile(DataFilePath(at)) != dat || readFile(IndexFilePath(at)) != idx) << "the change was torn";
    expected.erase(77);
    for (int i = 1000; i < 1040; ++i) expected[i] = "NEW" + std::to_string(i);
    if (local) {
      ScopedEnv off("KANDELO_NETWORK_MODE", "off");
      unsigned char buf[kRecLen];
      auto t = OpenTable(buf, name);
      EXPECT_EQ(t->RecordCount(), static_cast<int>(expected.size()));
    } else {
      Station s;
      ASSERT_EQ(s.open(at), 0);
      int err = 0;
      EXPECT_EQ(s.contents(&err), expected);
      EXPECT_EQ(err, 0);
    }
    Contents records;
    ASSERT_EQ(CheckKeyedFile(at, &records), "");
    EXPECT_EQ(records, expected);
  }
}

TEST_F(StationProcessesTest, KilledChangeIsRolledBackByALocalOpenerToo) {
  {
    Station s;
    ASSERT_EQ(s.open(base()), 0);
    for (int i = 1; i <= 100; ++i) ASSERT_EQ(s.add(i, "A"), 0);
  }
  const std::string dat = readFile(DataFilePath(base())), idx = readFile(IndexFilePath(base()));
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = Fork([&] {
    Station s;
    if (s.open(base()) || LockFile(s.file())) return 1;
    std::int32_t n = 0;
    if (FindKey(s.file(), 2, IdKey(50), n) || DeleteKey(s.file(), 2, n, IdKey(50)) || DeleteRecord(s.file(), n) ||
        FlushIndexedFile(s.file()))
      return 2;
    const char go = 'x';
    if (::write(ready[1], &go, 1) != 1) return 3;
    ::pause();
    return 4;
  });
  ASSERT_TRUE(ChildIsReady(ready));
  ::kill(child, SIGKILL);
  Wait(child);
  {
    ScopedEnv off("KANDELO_NETWORK_MODE", "off");
    unsigned char buf[kRecLen];
    auto t = OpenTable(buf);
    EXPECT_EQ(t->RecordCount(), 100);
  }
  EXPECT_EQ(readFile(DataFilePath(base())), dat);
  EXPECT_EQ(readFile(IndexFilePath(base())), idx);
}

// A rebuild (or recovery) holds the file against every opener: it does not
// run while a local opener or a station has the file open, and while it
// holds the file nobody opens it, in either mode.
TEST_F(StationProcessesTest, RebuildAndOpenersKeepEachOtherOut) {
  {
    Station s;
    ASSERT_EQ(s.open(base()), 0);
    for (int i = 1; i <= 5; ++i) ASSERT_EQ(s.add(i, "A"), 0);
  }
  for (const char* mode : {"off", "force"}) {
    int ready[2], release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    const pid_t opener = Fork([&] {
      ::setenv("KANDELO_NETWORK_MODE", mode, 1);
      Station s;
      if (s.open(base())) return 1;
      const char go = 'x';
      if (::write(ready[1], &go, 1) != 1) return 2;
      char back = 0;
      return ::read(release[0], &back, 1) == 1 ? 0 : 3;
    });
    ASSERT_TRUE(ChildIsReady(ready)) << mode;
    {
      ScopedEnv local("KANDELO_NETWORK_MODE", "off");
      unsigned char buf[kRecLen];
      IndexedTable t(base(), true, buf, false, TestKey, kRecLen);
      for (int k = 1; k <= 2; ++k) t.DefineKey(k, TestKeys()[k - 1].length, TestKeys()[k - 1].duplicates);
      EXPECT_EQ(t.Rebuild(), kErrAccessDenied) << mode;
      EXPECT_NE(HoldExclusively(base()), kOk) << mode;
    }
    EXPECT_FALSE(platform::fs().exists(SaveFilePath(base()))) << mode;
    const char go = 'x';
    ASSERT_EQ(::write(release[1], &go, 1), 1);
    ::close(release[1]);
    ::close(release[0]);
    EXPECT_EQ(Wait(opener), 0) << mode;
  }
  // Held: an opener of either mode is refused, and gets the file once it is let go.
  ASSERT_EQ(HoldExclusively(base()), kOk);
  for (const char* mode : {"off", "force"}) {
    const pid_t opener = Fork([&] {
      // The fork copied this process's record of the hold, not the hold:
      // the child is another program, which knows nothing of it.
      ReleaseExclusively(base());
      ::setenv("KANDELO_NETWORK_MODE", mode, 1);
      Station s;
      return s.open(base()) == 0 ? 1 : 0;
    });
    EXPECT_EQ(Wait(opener), 0) << mode << ": opened while held";
  }
  ReleaseExclusively(base());
  const pid_t opener = Fork([&] {
    Station s;
    return s.open(base());
  });
  EXPECT_EQ(Wait(opener), 0);
  EXPECT_EQ(CheckKeyedFile(base()), "");
}

}  // namespace
}  // namespace kandelo::test
