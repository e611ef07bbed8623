// Indexed-file engine against SQLite (a table with an index) and LMDB, on
// catalogue-sized data: 100 000 records of 512 bytes with a 40-character key,
// inserted in a scattered key order, then read back in key order (with and
// without the records), looked up one by one in a scattered order; and the
// engine's rebuild against SQLite's VACUUM. Records are read where each side
// holds them: the engine's PeekRecord, LMDB's value pointer, SQLite's column
// blob. Each side writes its files once at the end (one transaction, one
// close). Prints the ratios at the end.

#include <benchmark/benchmark.h>

#include "bench_temp.h"
#include <lmdb.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "storage/indexed_table.h"

namespace {

using namespace kandelo;

constexpr int kRecords = 100000;
constexpr int kRecordLength = 512;
constexpr int kKeyLength = 40;

// Scattered, distinct 40-character keys, as names of a scanned directory tree come.
std::string KeyOf(int i) {
  std::uint64_t h = static_cast<std::uint64_t>(i) * 0x9E3779B97F4A7C15ull;
  h ^= h >> 29;
  char buf[64];
  std::snprintf(buf, sizeof buf, "LUMINAIRE %016llX %06d", static_cast<unsigned long long>(h), i);
  std::string s(buf);
  s.resize(kKeyLength, ' ');
  return s;
}

void FillRecord(unsigned char* rec, int i) {
  std::memset(rec, 0, kRecordLength);
  const std::string k = KeyOf(i);
  rec[8] = kKeyLength;
  std::memcpy(rec + 9, k.data(), kKeyLength);
  for (int j = 60; j < kRecordLength; ++j) rec[j] = static_cast<unsigned char>(i + j);
}

std::string EngineKey(const unsigned char* rec, int) { return std::string(reinterpret_cast<const char*>(rec + 9), rec[8]); }

std::string FreshDir(const std::string& name) {
  static const std::string root = bench::TempDir("engine");
  std::string dir = root + "/" + name;
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "benchmark setup failed: %s\n", what);
    std::exit(1);
  }
}

// ---- the engine ----------------------------------------------------------------

// The engine with the given number of page buffers (60 is the program's).
void Engine(int buffers) {
  static std::unique_ptr<StorageEngine> engine;
  static int current = 0;
  if (engine && current == buffers) return;
  engine.reset();
  engine = std::make_unique<StorageEngine>();
  Check(engine->Create(buffers), "engine start");
  current = buffers;
}

void EngineInsert(const std::string& dir, int buffers = isam::kDefaultPageBuffers) {
  Engine(buffers);
  unsigned char buf[kRecordLength];
  IndexedTable t(dir + "/CAT", false, buf, true, EngineKey, kRecordLength);
  t.DefineKey(1, kKeyLength, false);
  Check(t.Open() == 0, "engine open");
  for (int i = 0; i < kRecords; ++i) {
    FillRecord(buf, i);
    Check(t.Add() == 0, "engine add");
  }
  Check(t.Close() == 0, "engine close");
}

void BM_Insert_Engine(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    const std::string dir = FreshDir("engine-insert");
    state.ResumeTiming();
    EngineInsert(dir, static_cast<int>(state.range(0)));
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_Scan_Engine(benchmark::State& state) {
  static const std::string dir = [] {
    std::string d = FreshDir("engine-scan");
    EngineInsert(d);
    return d;
  }();
  Engine(isam::kDefaultPageBuffers);
  unsigned char buf[kRecordLength];
  IndexedTable t(dir + "/CAT", false, buf, false, EngineKey, kRecordLength);
  t.DefineKey(1, kKeyLength, false);
  Check(t.Open() == 0, "engine open");
  for (auto _ : state) {
    std::uint64_t sum = 0;
    int n = 0;
    std::string key;
    t.ResetKey();
    const unsigned char* rec = nullptr;
    while (t.NextKey(key) == 0) {
      Check(t.PeekRecord(rec) == 0, "engine record");
      sum += rec[100];
      ++n;
    }
    Check(n == kRecords, "engine scan count");
    benchmark::DoNotOptimize(sum);
  }
  t.Close();
  state.SetItemsProcessed(state.iterations() * kRecords);
}

// The keys alone, in key order, no record read.
void BM_KeyWalk_Engine(benchmark::State& state) {
  static const std::string dir = [] {
    std::string d = FreshDir("engine-keywalk");
    EngineInsert(d);
    return d;
  }();
  Engine(isam::kDefaultPageBuffers);
  unsigned char buf[kRecordLength];
  IndexedTable t(dir + "/CAT", false, buf, false, EngineKey, kRecordLength);
  t.DefineKey(1, kKeyLength, false);
  Check(t.Open() == 0, "engine open");
  for (auto _ : state) {
    std::uint64_t sum = 0;
    int n = 0;
    std::string key;
    t.ResetKey();
    while (t.NextKey(key) == 0) {
      sum += static_cast<unsigned char>(key[20]);
      ++n;
    }
    Check(n == kRecords, "engine key walk count");
    benchmark::DoNotOptimize(sum);
  }
  t.Close();
  state.SetItemsProcessed(state.iterations() * kRecords);
}

// The same keys in a scattered order, each looked up and its record read.
std::vector<std::string> LookupOrder() {
  std::vector<std::string> keys;
  keys.reserve(kRecords);
  for (int i = 0; i < kRecords; ++i) keys.push_back(KeyOf(static_cast<int>((i * 7919LL) % kRecords)));
  return keys;
}

void BM_Find_Engine(benchmark::State& state) {
  static const std::string dir = [] {
    std::string d = FreshDir("engine-find");
    EngineInsert(d);
    return d;
  }();
  const std::vector<std::string> keys = LookupOrder();
  Engine(isam::kDefaultPageBuffers);
  unsigned char buf[kRecordLength];
  IndexedTable t(dir + "/CAT", false, buf, false, EngineKey, kRecordLength);
  t.DefineKey(1, kKeyLength, false);
  Check(t.Open() == 0, "engine open");
  for (auto _ : state) {
    std::uint64_t sum = 0;
    std::string key;
    const unsigned char* rec = nullptr;
    for (const std::string& k : keys) {
      key = k;
      Check(t.FindKey(key) == 0 && t.PeekRecord(rec) == 0, "engine find");
      sum += rec[100];
    }
    benchmark::DoNotOptimize(sum);
  }
  t.Close();
  state.SetItemsProcessed(state.iterations() * kRecords);
}

// Rebuild: copy the records into a new data file and build the index anew.
void BM_Rebuild_Engine(benchmark::State& state) {
  const std::string dir = FreshDir("engine-rebuild");
  EngineInsert(dir);
  const isam::KeyTable keys{{kKeyLength, false}};
  for (auto _ : state) Check(isam::RebuildIndexedFile(dir + "/CAT", kRecordLength, keys, EngineKey) == 0, "rebuild");
  state.SetItemsProcessed(state.iterations() * kRecords);
}

// ---- SQLite ---------------------------------------------------------------------

void Exec(sqlite3* db, const char* sql) { Check(sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK, sql); }

void SqliteInsert(const std::string& dir) {
  sqlite3* db = nullptr;
  Check(sqlite3_open((dir + "/cat.db").c_str(), &db) == SQLITE_OK, "sqlite open");
  Exec(db, "CREATE TABLE cat (id INTEGER PRIMARY KEY, k TEXT NOT NULL, data BLOB NOT NULL)");
  Exec(db, "CREATE UNIQUE INDEX cat_k ON cat(k)");
  Exec(db, "BEGIN");
  sqlite3_stmt* st = nullptr;
  Check(sqlite3_prepare_v2(db, "INSERT INTO cat (k, data) VALUES (?, ?)", -1, &st, nullptr) == SQLITE_OK, "prepare");
  unsigned char buf[kRecordLength];
  for (int i = 0; i < kRecords; ++i) {
    FillRecord(buf, i);
    sqlite3_bind_text(st, 1, reinterpret_cast<const char*>(buf + 9), kKeyLength, SQLITE_TRANSIENT);
    sqlite3_bind_blob(st, 2, buf, kRecordLength, SQLITE_TRANSIENT);
    Check(sqlite3_step(st) == SQLITE_DONE, "sqlite insert");
    sqlite3_reset(st);
  }
  sqlite3_finalize(st);
  Exec(db, "COMMIT");
  sqlite3_close(db);
}

void BM_Insert_SQLite(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    const std::string dir = FreshDir("sqlite-insert");
    state.ResumeTiming();
    SqliteInsert(dir);
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_Scan_SQLite(benchmark::State& state) {
  static const std::string dir = [] {
    std::string d = FreshDir("sqlite-scan");
    SqliteInsert(d);
    return d;
  }();
  sqlite3* db = nullptr;
  Check(sqlite3_open((dir + "/cat.db").c_str(), &db) == SQLITE_OK, "sqlite open");
  sqlite3_stmt* st = nullptr;
  Check(sqlite3_prepare_v2(db, "SELECT k, data FROM cat ORDER BY k", -1, &st, nullptr) == SQLITE_OK, "prepare");
  for (auto _ : state) {
    std::uint64_t sum = 0;
    int n = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
      sum += static_cast<const unsigned char*>(sqlite3_column_blob(st, 1))[100];
      ++n;
    }
    sqlite3_reset(st);
    Check(n == kRecords, "sqlite scan count");
    benchmark::DoNotOptimize(sum);
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_KeyWalk_SQLite(benchmark::State& state) {
  static const std::string dir = [] {
    std::string d = FreshDir("sqlite-keywalk");
    SqliteInsert(d);
    return d;
  }();
  sqlite3* db = nullptr;
  Check(sqlite3_open((dir + "/cat.db").c_str(), &db) == SQLITE_OK, "sqlite open");
  sqlite3_stmt* st = nullptr;
  // Answered from the index alone.
  Check(sqlite3_prepare_v2(db, "SELECT k FROM cat ORDER BY k", -1, &st, nullptr) == SQLITE_OK, "prepare");
  for (auto _ : state) {
    std::uint64_t sum = 0;
    int n = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
      sum += sqlite3_column_text(st, 0)[20];
      ++n;
    }
    sqlite3_reset(st);
    Check(n == kRecords, "sqlite key walk count");
    benchmark::DoNotOptimize(sum);
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_Find_SQLite(benchmark::State& state) {
  static const std::string dir = [] {
    std::string d = FreshDir("sqlite-find");
    SqliteInsert(d);
    return d;
  }();
  const std::vector<std::string> keys = LookupOrder();
  sqlite3* db = nullptr;
  Check(sqlite3_open((dir + "/cat.db").c_str(), &db) == SQLITE_OK, "sqlite open");
  sqlite3_stmt* st = nullptr;
  Check(sqlite3_prepare_v2(db, "SELECT data FROM cat WHERE k = ?", -1, &st, nullptr) == SQLITE_OK, "prepare");
  for (auto _ : state) {
    std::uint64_t sum = 0;
    for (const std::string& k : keys) {
      sqlite3_bind_text(st, 1, k.data(), static_cast<int>(k.size()), SQLITE_STATIC);
      Check(sqlite3_step(st) == SQLITE_ROW, "sqlite find");
      sum += static_cast<const unsigned char*>(sqlite3_column_blob(st, 0))[100];
      sqlite3_reset(st);
    }
    benchmark::DoNotOptimize(sum);
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  state.SetItemsProcessed(state.iterations() * kRecords);
}

// The nearest SQLite has to a rebuild: VACUUM copies the table and rebuilds its index.
void BM_Rebuild_SQLite(benchmark::State& state) {
  const std::string dir = FreshDir("sqlite-rebuild");
  SqliteInsert(dir);
  sqlite3* db = nullptr;
  Check(sqlite3_open((dir + "/cat.db").c_str(), &db) == SQLITE_OK, "sqlite open");
  for (auto _ : state) Exec(db, "VACUUM");
  sqlite3_close(db);
  state.SetItemsProcessed(state.iterations() * kRecords);
}

// ---- LMDB -----------------------------------------------------------------------

struct Lmdb {
  MDB_env* env = nullptr;
  MDB_dbi dbi = 0;
  explicit Lmdb(const std::string& dir) {
    Check(mdb_env_create(&env) == 0, "lmdb env");
    mdb_env_set_mapsize(env, std::size_t{1} << 30);
    Check(mdb_env_open(env, dir.c_str(), 0, 0644) == 0, "lmdb open");
    MDB_txn* txn = nullptr;
    Check(mdb_txn_begin(env, nullptr, 0, &txn) == 0, "lmdb txn");
    Check(mdb_dbi_open(txn, nullptr, 0, &dbi) == 0, "lmdb dbi");
    Check(mdb_txn_commit(txn) == 0, "lmdb commit");
  }
  ~Lmdb() { mdb_env_close(env); }
};

void LmdbInsert(const std::string& dir) {
  Lmdb db(dir);
  MDB_txn* txn = nullptr;
  Check(mdb_txn_begin(db.env, nullptr, 0, &txn) == 0, "lmdb txn");
  unsigned char buf[kRecordLength];
  for (int i = 0; i < kRecords; ++i) {
    FillRecord(buf, i);
    MDB_val k{kKeyLength, buf + 9}, v{kRecordLength, buf};
    Check(mdb_put(txn, db.dbi, &k, &v, MDB_NOOVERWRITE) == 0, "lmdb put");
  }
  Check(mdb_txn_commit(txn) == 0, "lmdb commit");
}

void BM_Insert_LMDB(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    const std::string dir = FreshDir("lmdb-insert");
    state.ResumeTiming();
    LmdbInsert(dir);
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_Scan_LMDB(benchmark::State& state) {
  static const std::string dir = [] {
    std::string d = FreshDir("lmdb-scan");
    LmdbInsert(d);
    return d;
  }();
  Lmdb db(dir);
  for (auto _ : state) {
    MDB_txn* txn = nullptr;
    MDB_cursor* cur = nullptr;
    Check(mdb_txn_begin(db.env, nullptr, MDB_RDONLY, &txn) == 0, "lmdb txn");
    Check(mdb_cursor_open(txn, db.dbi, &cur) == 0, "lmdb cursor");
    MDB_val k, v;
    std::uint64_t sum = 0;
    int n = 0;
    for (int rc = mdb_cursor_get(cur, &k, &v, MDB_FIRST); rc == 0; rc = mdb_cursor_get(cur, &k, &v, MDB_NEXT)) {
      sum += static_cast<const unsigned char*>(v.mv_data)[100];
      ++n;
    }
    mdb_cursor_close(cur);
    mdb_txn_abort(txn);
    Check(n == kRecords, "lmdb scan count");
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}

// LMDB keeps key and record together: its key walk reads the record pointer only.
void BM_KeyWalk_LMDB(benchmark::State& state) {
  static const std::string dir = [] {
    std::string d = FreshDir("lmdb-keywalk");
    LmdbInsert(d);
    return d;
  }();
  Lmdb db(dir);
  for (auto _ : state) {
    MDB_txn* txn = nullptr;
    MDB_cursor* cur = nullptr;
    Check(mdb_txn_begin(db.env, nullptr, MDB_RDONLY, &txn) == 0, "lmdb txn");
    Check(mdb_cursor_open(txn, db.dbi, &cur) == 0, "lmdb cursor");
    MDB_val k, v;
    std::uint64_t sum = 0;
    int n = 0;
    for (int rc = mdb_cursor_get(cur, &k, &v, MDB_FIRST); rc == 0; rc = mdb_cursor_get(cur, &k, &v, MDB_NEXT)) {
      sum += static_cast<const unsigned char*>(k.mv_data)[20];
      ++n;
    }
    mdb_cursor_close(cur);
    mdb_txn_abort(txn);
    Check(n == kRecords, "lmdb key walk count");
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_Find_LMDB(benchmark::State& state) {
  static const std::string dir = [] {
    std::string d = FreshDir("lmdb-find");
    LmdbInsert(d);
    return d;
  }();
  const std::vector<std::string> keys = LookupOrder();
  Lmdb db(dir);
  for (auto _ : state) {
    MDB_txn* txn = nullptr;
    Check(mdb_txn_begin(db.env, nullptr, MDB_RDONLY, &txn) == 0, "lmdb txn");
    std::uint64_t sum = 0;
    for (const std::string& key : keys) {
      MDB_val k{key.size(), const_cast<char*>(key.data())}, v;
      Check(mdb_get(txn, db.dbi, &k, &v) == 0, "lmdb find");
      sum += static_cast<const unsigned char*>(v.mv_data)[100];
    }
    mdb_txn_abort(txn);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}

// 60 buffers as the program had, and the default (enough for the whole index).
BENCHMARK(BM_Insert_Engine)->Arg(60)->Arg(isam::kDefaultPageBuffers)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Insert_SQLite)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Insert_LMDB)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Scan_Engine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Scan_SQLite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Scan_LMDB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeyWalk_Engine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeyWalk_SQLite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeyWalk_LMDB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Find_Engine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Find_SQLite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Find_LMDB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Rebuild_Engine)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_Rebuild_SQLite)->Unit(benchmark::kMillisecond)->Iterations(2);

// Keeps the real time of every run to print the ratios at the end.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) times_[r.benchmark_name()] = {r.GetAdjustedRealTime(), r.GetAdjustedCPUTime()};
    ConsoleReporter::ReportRuns(runs);
  }
  void PrintRatios() const {
    std::printf("\nRatios (time of the engine / time of the baseline; below 1 means the engine is faster):\n");
    for (const char* op : {"Insert", "Scan", "KeyWalk", "Find", "Rebuild"}) {
      auto get = [&](const std::string& who) {
        std::string prefix = std::string("BM_") + op + "_" + who;
        for (const auto& [name, t] : times_)
          if (name.rfind(prefix, 0) == 0) return t;
        return std::pair<double, double>{0, 0};
      };
      const auto s = get("SQLite"), l = get("LMDB");
      for (const auto& [name, e] : times_) {
        if (name.rfind(std::string("BM_") + op + "_Engine", 0) != 0 || s.first <= 0) continue;
        std::printf("  %-34s engine/SQLite = %.2f (CPU %.2f)", name.c_str(), e.first / s.first, e.second / s.second);
        if (l.first > 0) std::printf("   engine/LMDB = %.2f (CPU %.2f)", e.first / l.first, e.second / l.second);
        std::printf("\n");
      }
    }
  }

 private:
  std::map<std::string, std::pair<double, double>> times_;  // real, CPU
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
