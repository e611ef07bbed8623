// Several stations (kandelo-cli processes in network mode) and local openers
// on one catalogue at once, some of them killed: what each command
// acknowledged (exit 0) must be there afterwards, every entry must name the
// directory its file lies in, and no command may call a failure a success.
// The files are read independently of the engine at the end.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <thread>
#include <nlohmann/json.hpp>

#include "cli/cli_support.h"
#include "database/catalogue_record.h"
#include "storage/isam_checker.h"
#include "support/test_support.h"

namespace kandelo::test {
namespace {

namespace fs = std::filesystem;

// A small rotationally symmetric EULUMDAT file.
std::string sampleLdt(const std::string& name) {
  std::string s = "Maker\r\n1\r\n1\r\n1\r\n0\r\n19\r\n5\r\nReport\r\n" + name +
                  "\r\nT-1\r\nt.ldt\r\ndate\r\n600\r\n600\r\n100\r\n500\r\n500\r\n0\r\n0\r\n0\r\n0\r\n"
                  "100\r\n80\r\n1\r\n0\r\n1\r\n2\r\nT8 36W\r\n6700\r\n840\r\n80\r\n72\r\n";
  for (int i = 0; i < 10; ++i) s += "0.5\r\n";
  s += "0\r\n";
  for (int i = 0; i < 19; ++i) s += std::to_string(5 * i) + "\r\n";
  for (int i = 0; i < 19; ++i) s += std::to_string(300 - 15 * i) + "\r\n";
  return s;
}

// kandelo-cli ARGS as a child process, in network mode or local mode, with
// its output in `out` (stdout and stderr).
pid_t Spawn(const std::vector<std::string>& args, bool network, const std::string& out) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  setenv("KANDELO_NETWORK_MODE", network ? "force" : "off", 1);
  const int fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd >= 0) {
    dup2(fd, 1);
    dup2(fd, 2);
    close(fd);
  }
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(KANDELO_CLI));
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  execv(KANDELO_CLI, argv.data());
  _exit(127);
}

// The exit code; -1 when killed.
int WaitFor(pid_t pid) {
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct CliRun {
  int exitCode = -1;
  std::string out;
};

// Commands started together, each in its own process; their results in order.
std::vector<CliRun> RunTogether(const std::vector<std::vector<std::string>>& commands, const std::string& dir,
                             bool network = true) {
  std::vector<pid_t> pids;
  for (std::size_t i = 0; i < commands.size(); ++i)
    pids.push_back(Spawn(commands[i], network, dir + "/out" + std::to_string(i)));
  std::vector<CliRun> runs;
  for (std::size_t i = 0; i < pids.size(); ++i)
    runs.push_back({WaitFor(pids[i]), readFile(dir + "/out" + std::to_string(i))});
  return runs;
}

// The catalogue as its files say, read without the engine: every entry's
// full path (path list line + file name), and what is wrong with the files.
struct Entries {
  std::string error;
  std::vector<std::string> paths;
};

Entries ReadCatalogueFiles(const std::string& dataDir) {
  Entries e;
  const std::string base = dataDir + "/KTBLUMD2";
  if (!fs::exists(isam::DataFilePath(base))) return e;
  const CheckedFile c = CheckIndexedFile(base);
  if (!c.error.empty()) {
    e.error = c.error;
    return e;
  }
  for (const CheckedKey& k : c.keys)
    if (k.entries.size() != c.usedRecords.size()) e.error = "a key does not hold every record";
  std::vector<std::string> lines;
  {
    const std::string list = readFile(dataDir + "/PDATA/LUMPATHS.DAT");
    std::string line;
    for (std::size_t i = 0; i < list.size(); ++i) {
      if (list[i] == '\r') continue;
      if (list[i] == '\n') {
        lines.push_back(line);
        line.clear();
      } else {
        line += list[i];
      }
    }
  }
  const std::string data = readFile(isam::DataFilePath(base));
  for (std::int32_t r : c.usedRecords) {
    TCatalogueRecord rec;
    std::copy_n(data.data() + std::size_t(r) * kCatalogueRecordSize, kCatalogueRecordSize,
                reinterpret_cast<char*>(rec.data()));
    const std::int32_t dir = rec.DirIndex();
    const std::string folder = dir >= 0 && dir < std::int32_t(lines.size()) ? lines[std::size_t(dir)] : "?";
    e.paths.push_back(folder + CatalogueFileName(rec));
  }
  return e;
}

// Entries whose file is not where the entry says (the path list line of
// another directory, or none).
std::vector<std::string> Misplaced(const Entries& e) {
  std::vector<std::string> out;
  for (const auto& p : e.paths)
    if (!fs::exists(p)) out.push_back(p);
  return out;
}

class StationsCli : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(env_.dataDir() + "/LUMDAT");
    fs::create_directories(env_.root() + "/out");
  }
  std::string lumDir() const { return env_.dataDir() + "/LUMDAT"; }
  std::string outDir() const { return env_.root() + "/out"; }
  // Deletes the catalogue and the path list: the next command starts afresh.
  void FreshCatalogue() {
    for (const auto& f : fs::directory_iterator(env_.dataDir()))
      if (f.path().filename().string().rfind("KTBLUMD2", 0) == 0) fs::remove(f.path());
    fs::remove(env_.dataDir() + "/PDATA/LUMPATHS.DAT");
  }
  TempUserEnvironment env_;
};

// Two stations each scan folders of their own, new to the path list, at the
// same moment: each entry must name the folder its file lies in, not the
// other station's folder that took the same line number.
TEST_F(StationsCli, TwoStationsScanningNewFoldersKeepTheirFolders) {
  std::size_t files = 0;
  for (int round = 0; round < 3; ++round) {
    std::vector<std::vector<std::string>> scans;
    for (const char* station : {"a", "b"}) {
      const std::string top = lumDir() + "/" + station + std::to_string(round);
      for (int d = 0; d < 25; ++d) {
        const std::string dir = top + "/d" + std::to_string(d);
        fs::create_directories(dir);
        writeFile(dir + "/" + station + std::to_string(round) + "_" + std::to_string(d) + ".ldt",
                  sampleLdt(station + std::to_string(d)));
        ++files;
      }
      scans.push_back({"catalogue", "scan", top});
    }
    for (const CliRun& r : RunTogether(scans, outDir())) EXPECT_EQ(r.exitCode, 0) << r.out;
  }
  const Entries e = ReadCatalogueFiles(env_.dataDir());
  EXPECT_EQ(e.error, "");
  EXPECT_EQ(e.paths.size(), files);
  EXPECT_EQ(Misplaced(e), std::vector<std::string>{});
  EXPECT_EQ(RunCli("catalogue check 2>&1").exitCode, 0);
}

// Five stations add two files each to a fresh catalogue at once: a catalogue
// that small was rebuilt by each start-up while the others wrote into it.
TEST_F(StationsCli, FiveStationsAddToASmallCatalogue) {
  for (int round = 0; round < 3; ++round) {
    FreshCatalogue();
    std::vector<std::vector<std::string>> adds;
    std::set<std::string> expected;
    for (int s = 0; s < 5; ++s) {
      const std::string dir = lumDir() + "/r" + std::to_string(round) + "s" + std::to_string(s);
      fs::create_directories(dir);
      std::vector<std::string> add = {"catalogue", "add"};
      for (int i = 0; i < 2; ++i) {
        const std::string file = dir + "/f" + std::to_string(s) + std::to_string(i) + ".ldt";
        writeFile(file, sampleLdt("S" + std::to_string(s)));
        add.push_back(file);
        expected.insert(file);
      }
      adds.push_back(add);
    }
    for (const CliRun& r : RunTogether(adds, outDir())) EXPECT_EQ(r.exitCode, 0) << r.out;
    const Entries e = ReadCatalogueFiles(env_.dataDir());
    EXPECT_EQ(e.error, "") << "round " << round;
    EXPECT_EQ(std::set<std::string>(e.paths.begin(), e.paths.end()), expected) << "round " << round;
    for (const auto& f : fs::directory_iterator(env_.dataDir()))
      EXPECT_NE(f.path().extension(), ".SAV") << "a rebuild ran: " << f.path();
  }
}

// A file that is not stored makes the command fail with the file and the
// reason on stderr, whether it was scanned or added.
TEST_F(StationsCli, AFileNotStoredFailsTheCommandWithItsReason) {
  const std::string dir = lumDir() + "/mixed";
  fs::create_directories(dir);
  writeFile(dir + "/good.ldt", sampleLdt("Good"));
  writeFile(dir + "/junk.ldt", "no photometry in here\r\n");
  for (const std::string& command : {"catalogue scan '" + dir + "'", "catalogue add '" + dir + "/junk.ldt'"}) {
    const CliResult r = RunCli(command + " 2>&1");
    EXPECT_EQ(r.exitCode, 1) << command << "\n" << r.out;
    EXPECT_NE(r.out.find(dir + "/junk.ldt: "), std::string::npos) << command << "\n" << r.out;
  }
}

// The lamp table does not depend on the catalogue: a catalogue that another
// program holds is no concern of a lamp command, which says nothing about it.
TEST_F(StationsCli, LampCommandsIgnoreAHeldCatalogue) {
  ASSERT_EQ(RunCli("catalogue list").exitCode, 0);  // creates the catalogue
  const int fd = open((env_.dataDir() + "/KTBLUMD2.DAT").c_str(), O_RDWR);
  ASSERT_GE(fd, 0);
  struct flock lock = {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  ASSERT_EQ(fcntl(fd, F_OFD_SETLK, &lock), 0);
  EXPECT_NE(RunCli("catalogue list 2>&1").exitCode, 0);
  const CliResult add = RunCli("lamps add 'Test lamp' 42 4200 2>&1");
  EXPECT_EQ(add.exitCode, 0) << add.out;
  EXPECT_EQ(add.out, "");
  const CliResult del = RunCli("lamps delete 'Test lamp' 42 2>&1");
  EXPECT_EQ(del.exitCode, 0) << del.out;
  EXPECT_EQ(del.out, "");
  close(fd);
}

// The campaign: stations in network mode add files in folders of their own
// (a new folder every few files), now and then rescan one, and a local
// opener lists and adds in local mode; with killing, commands are killed at
// random moments. Between rounds and at the end the files are read
// independently: every acknowledged add is there, each entry names its
// file's own folder, and the files are sound.
struct Campaign {
  int stations = 3;
  int operations = 10;  // per station and round
  int rounds = 2;
  bool localOpener = true;
  double killChance = 0;  // of each command
  unsigned seed = 1;
};

struct CampaignFigures {
  int operations = 0, acknowledged = 0, kills = 0, local = 0, records = 0;
};

CampaignFigures RunCampaign(const Campaign& c, const std::string& lum, const std::string& out,
                            const std::string& dataDir) {
  CampaignFigures figures;
  std::mt19937 random(c.seed);
  std::set<std::string> acknowledged;
  struct Slot {
    pid_t pid = 0;
    std::optional<std::chrono::steady_clock::time_point> killAt;
    std::vector<std::string> files;  // stored when the command succeeds
    int done = 0;
    bool local = false;
  };
  int serial = 0;
  for (int round = 0; round < c.rounds; ++round) {
    std::vector<Slot> slots(static_cast<std::size_t>(c.stations + (c.localOpener ? 1 : 0)));
    if (c.localOpener) slots.back().local = true;
    auto start = [&](std::size_t i) {
      Slot& s = slots[i];
      const int n = ++serial;
      const std::string station = s.local ? "l" : "s" + std::to_string(i);
      const std::string dir = lum + "/" + station + "/d" + std::to_string(n / 3);
      fs::create_directories(dir);
      const std::string file = dir + "/" + station + "_" + std::to_string(n) + ".ldt";
      writeFile(file, sampleLdt("N" + std::to_string(n)));
      std::vector<std::string> args = {"catalogue", "add", file};
      s.files = {file};
      if (s.local && n % 2) {
        args = {"catalogue", "list"};
        s.files.clear();
      } else if (!s.local && random() % 5 == 0) {
        args = {"catalogue", "scan", dir};  // the folder's earlier files are updated, the new one added
      }
      s.pid = Spawn(args, !s.local, out + "/c" + std::to_string(i));
      s.killAt.reset();
      if (std::uniform_real_distribution<double>(0, 1)(random) < c.killChance)
        s.killAt = std::chrono::steady_clock::now() + std::chrono::milliseconds(random() % 400);
      ++figures.operations;
      figures.local += s.local;
    };
    for (std::size_t i = 0; i < slots.size(); ++i) start(i);
    for (;;) {
      bool running = false;
      for (std::size_t i = 0; i < slots.size(); ++i) {
        Slot& s = slots[i];
        if (!s.pid) continue;
        running = true;
        if (s.killAt && std::chrono::steady_clock::now() >= *s.killAt) {
          if (kill(s.pid, SIGKILL) == 0) ++figures.kills;
          s.killAt.reset();
        }
        int status = 0;
        if (waitpid(s.pid, &status, WNOHANG) != s.pid) continue;
        s.pid = 0;
        if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
          ++figures.acknowledged;
          acknowledged.insert(s.files.begin(), s.files.end());
        }
        // The local opener keeps going while the stations work.
        const bool more = s.local ? std::any_of(slots.begin(), slots.end(), [](const Slot& o) { return !o.local && o.pid; })
                                  : ++s.done < c.operations;
        if (more) start(i);
      }
      if (!running) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    // A command after the round completes what a killed station left.
    const pid_t after = Spawn({"catalogue", "list"}, true, out + "/after");
    EXPECT_EQ(WaitFor(after), 0) << readFile(out + "/after");
    const Entries e = ReadCatalogueFiles(dataDir);
    EXPECT_EQ(e.error, "") << "round " << round;
    const std::set<std::string> have(e.paths.begin(), e.paths.end());
    std::vector<std::string> lost;
    for (const auto& f : acknowledged)
      if (!have.count(f)) lost.push_back(f);
    EXPECT_EQ(lost, std::vector<std::string>{}) << "acknowledged and lost, round " << round;
    EXPECT_EQ(Misplaced(e), std::vector<std::string>{}) << "round " << round;
    EXPECT_EQ(have.size(), e.paths.size()) << "a file entered twice, round " << round;
    figures.records = static_cast<int>(e.paths.size());
    if (::testing::Test::HasFailure()) break;
  }
  return figures;
}

int EnvInt(const char* name, int fallback) {
  const char* v = std::getenv(name);
  return v && *v ? std::atoi(v) : fallback;
}

TEST_F(StationsCli, StationsAndALocalOpenerTogether) {
  Campaign c;
  c.stations = 3;
  c.operations = 8;
  c.rounds = 1;
  const CampaignFigures f = RunCampaign(c, lumDir(), outDir(), env_.dataDir());
  EXPECT_GT(f.acknowledged, 0);
}

// Longer by hand: KANDELO_CAMPAIGN_ROUNDS, KANDELO_CAMPAIGN_STATIONS,
// KANDELO_CAMPAIGN_OPERATIONS (per station and round), KANDELO_CAMPAIGN_SEED.
TEST_F(StationsCli, KilledAtRandomMoments) {
  Campaign c;
  c.stations = EnvInt("KANDELO_CAMPAIGN_STATIONS", 3);
  c.operations = EnvInt("KANDELO_CAMPAIGN_OPERATIONS", 10);
  c.rounds = EnvInt("KANDELO_CAMPAIGN_ROUNDS", 2);
  c.seed = static_cast<unsigned>(EnvInt("KANDELO_CAMPAIGN_SEED", 7));
  c.killChance = 0.3;
  const CampaignFigures f = RunCampaign(c, lumDir(), outDir(), env_.dataDir());
  std::printf("campaign: %d stations + local opener, %d rounds: %d operations (%d local), %d acknowledged, "
              "%d killed, %d records\n",
              c.stations, c.rounds, f.operations, f.local, f.acknowledged, f.kills, f.records);
  EXPECT_GT(f.kills, 0);
}

}  // namespace
}  // namespace kandelo::test
