// Scanning 10 000 small EULUMDAT files into an empty catalogue, and listing the
// catalogue in key order, each beside a baseline measured in the same run:
//   scan    vs. the same directory walk with std::filesystem reading every file,
//           and vs. the same scan without the entries' key figures;
//   listing vs. reading the data file at once and sorting its keys in memory;
//   finding entries by their figures in a catalogue of 100 000 vs. the key
//           walk reading every record of it, and the window's filter (one
//           expression over the entries in memory) vs. the same walk.
#include <benchmark/benchmark.h>

#include "bench_temp.h"

#include "ratio_reporter.h"
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "database/catalogue.h"
#include "conversion/catalogue_find.h"
#include "conversion/catalogue_scan.h"
#include "frame/msgmanager.h"
#include "frame/pathlist.h"
#include "frame/settings.h"
#include "frame/strutil.h"
#include "photometry/lum32.h"
#include "platform/fileio.h"

namespace {

namespace fsys = std::filesystem;
using namespace kandelo;

constexpr int kDirs = 100;
constexpr int kFilesPerDir = 100;

struct World {
  std::string dir;
  std::string root;
  std::unique_ptr<TMsgManager> msgs;

  World() {
    dir = bench::TempDir("catalogue");
    setenv("XDG_CONFIG_HOME", (dir + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (dir + "/data").c_str(), 1);
    fsys::current_path(dir);
    LoadSettings();
    msgs = std::make_unique<TMsgManager>(dir + "/ORVMSG.ENG");
    if (InitDatabaseEngine() != 0) std::abort();
    root = dir + "/tree/";
    const std::string sample = dir + "/sample.ldt";
    TLUM32 lum;
    lum.CreateNew(sample, psCGamma, symC0C180, 0, 7, 0, 30, 180, {}, 19, 0, 5, 90, {});
    for (int i = 1; i <= 7; ++i)
      for (int j = 1; j <= 19; ++j) lum.SetValue(i, j, 300.0f - 12.0f * float(j) + float(i));
    lum.Manufacturer = "Maker";
    lum.LampSetCount = 1;
    lum.LampSets[0].LampCount = 1;
    lum.LampSets[0].LampType = "LED module 840";
    lum.LampSets[0].SetFlux = 3000;
    lum.LampSets[0].SetWatt = 25;
    for (int d = 0; d < kDirs; ++d) {
      const std::string sub = root + "group " + std::to_string(d) + "/";
      fsys::create_directories(sub);
      for (int f = 0; f < kFilesPerDir; ++f) {
        const int n = d * kFilesPerDir + f;
        lum.LumName = "Luminaire " + std::to_string(n);
        lum.LumNumber = "NR-" + std::to_string(n * 7919 % 100000);
        // Half the names need an alias.
        std::string name = n % 2 ? "L" : "Downlight series ";
        name += std::to_string(n);
        name += n % 2 ? ".LDT" : " LED 3000lm.ldt";
        if (!lum.SaveAs(fmtEulumdat, sub + name)) std::abort();
      }
    }
  }
  ~World() {
    CloseCatalogue();
    ReleaseDatabaseEngine();
    std::error_code ec;
    fsys::current_path(fsys::temp_directory_path(), ec);
    fsys::remove_all(dir, ec);
  }

  void emptyCatalogue() {
    CloseCatalogue();
    for (const char* ext : {".DAT", ".IDX"}) fsys::remove(Settings().LumDb + ext);
    fsys::remove(PathListFileName());
    if (!InitCatalogue(Settings().LumDb)) std::abort();
  }
  void filledCatalogue() {
    if (Catalogue() && Catalogue()->RecordCount() == kDirs * kFilesPerDir) return;
    emptyCatalogue();
    TPathList paths(PathListFileName());
    IntakeRun run;
    AddTreeToCatalogue(root, paths, *msgs, run);
  }
};

std::unique_ptr<World>& worldPtr() {
  static std::unique_ptr<World> w;
  return w;
}

World& world() {
  if (!worldPtr()) worldPtr() = std::make_unique<World>();
  return *worldPtr();
}

void BM_ScanIntoEmptyCatalogue(benchmark::State& state) {
  World& w = world();
  for (auto _ : state) {
    state.PauseTiming();
    w.emptyCatalogue();
    TPathList paths(PathListFileName());
    state.ResumeTiming();
    IntakeRun run;
    IntakeReport c = AddTreeToCatalogue(w.root, paths, *w.msgs, run);
    if (c.added != kDirs * kFilesPerDir) state.SkipWithError("not every file was added");
  }
  state.SetItemsProcessed(state.iterations() * kDirs * kFilesPerDir);
}
constexpr int kScanRuns = 5;
BENCHMARK(BM_ScanIntoEmptyCatalogue)->Unit(benchmark::kMillisecond)->Iterations(kScanRuns);

void BM_ScanWithoutFigures(benchmark::State& state) {
  World& w = world();
  for (auto _ : state) {
    state.PauseTiming();
    w.emptyCatalogue();
    TPathList paths(PathListFileName());
    state.ResumeTiming();
    IntakeRun run;
    run.figures = false;
    IntakeReport c = AddTreeToCatalogue(w.root, paths, *w.msgs, run);
    if (c.added != kDirs * kFilesPerDir) state.SkipWithError("not every file was added");
  }
  state.SetItemsProcessed(state.iterations() * kDirs * kFilesPerDir);
}
BENCHMARK(BM_ScanWithoutFigures)->Unit(benchmark::kMillisecond)->Iterations(kScanRuns);

void BM_BaselineWalkAndRead(benchmark::State& state) {
  World& w = world();
  for (auto _ : state) {
    std::size_t bytes = 0, files = 0;
    for (const auto& e : fsys::recursive_directory_iterator(w.root)) {
      if (!e.is_regular_file()) continue;
      std::string ext = e.path().extension().string();
      std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::toupper(c); });
      if (ext != ".LDT") continue;
      std::ifstream in(e.path(), std::ios::binary);
      std::ostringstream ss;
      ss << in.rdbuf();
      bytes += ss.str().size();
      ++files;
    }
    benchmark::DoNotOptimize(bytes);
    if (files != kDirs * kFilesPerDir) state.SkipWithError("walk found a different number of files");
  }
  state.SetItemsProcessed(state.iterations() * kDirs * kFilesPerDir);
}
BENCHMARK(BM_BaselineWalkAndRead)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_KeyOrderedListing(benchmark::State& state) {
  World& w = world();
  w.filledCatalogue();
  IndexedTable& t = *Catalogue();
  for (auto _ : state) {
    t.SelectKey(1);
    t.ResetKey();
    std::string key;
    std::int32_t n = 0;
    TCatalogueRecord rec;
    while (t.NextKey(key) == 0) {
      ReadCatalogueRecord(t.CurrentRecordNumber(), rec);
      benchmark::DoNotOptimize(rec.bytes[8]);
      ++n;
    }
    if (n != kDirs * kFilesPerDir) state.SkipWithError("listing is incomplete");
  }
  state.SetItemsProcessed(state.iterations() * kDirs * kFilesPerDir);
}
BENCHMARK(BM_KeyOrderedListing)->Unit(benchmark::kMillisecond);

void BM_BaselineSortInMemory(benchmark::State& state) {
  World& w = world();
  w.filledCatalogue();
  Catalogue()->Flush();
  const std::string dat = Settings().LumDb + ".DAT";
  for (auto _ : state) {
    std::ifstream in(dat, std::ios::binary);
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::pair<std::string, std::size_t>> keys;
    for (std::size_t off = kCatalogueRecordSize; off + kCatalogueRecordSize <= all.size(); off += kCatalogueRecordSize) {
      const auto* rec = reinterpret_cast<const unsigned char*>(all.data() + off);
      if (GetU32(rec) == 0) keys.emplace_back(CatalogueKey(rec, 1), off);
    }
    std::sort(keys.begin(), keys.end());
    TCatalogueRecord rec;
    for (const auto& k : keys) {
      std::copy_n(all.data() + k.second, kCatalogueRecordSize, reinterpret_cast<char*>(rec.data()));
      benchmark::DoNotOptimize(rec.bytes[8]);
    }
    if (keys.size() != kDirs * kFilesPerDir) state.SkipWithError("data file holds a different number of records");
  }
  state.SetItemsProcessed(state.iterations() * kDirs * kFilesPerDir);
}
BENCHMARK(BM_BaselineSortInMemory)->Unit(benchmark::kMillisecond);

// A catalogue of 100 000 entries made record by record, with the figures of
// each in the store (the files themselves are not needed to find them).
constexpr int kLarge = 100000;

void largeCatalogue() {
  static bool made = false;
  World& w = world();
  if (made) return;
  made = true;
  CloseCatalogue();
  const std::string base = w.dir + "/large/KTBLUMD2";
  fsys::create_directories(w.dir + "/large");
  if (!InitCatalogue(base)) std::abort();
  SummaryStore* store = CatalogueSummaryStore();
  if (!store) std::abort();
  for (int n = 0; n < kLarge; ++n) {
    TCatalogueRecord rec;
    rec.SetLumName("Luminaire " + std::to_string(n * 7919 % kLarge));
    rec.SetLumNumber("NR-" + std::to_string(n));
    rec.SetManufacturer(n % 3 ? "Maker" : "Lumina");
    SetCatalogueFileName(rec, "L" + std::to_string(n) + ".LDT");
    rec.SetFormatCode(0);
    rec.SetDirIndex(n / 1000);
    std::int32_t recNo = 0;
    if (AddCatalogueRecord(rec, recNo) != 0) std::abort();
    PhotometricSummary f;
    f.luminaireFlux = 500 + n % 8000;
    f.lampFlux = f.luminaireFlux / 0.8;
    f.lor = 80;
    f.watt = 5 + n % 60;
    f.efficacy = f.luminaireFlux / f.watt;
    f.cct = 2700 + 100 * (n % 40);
    f.cri = 80;
    f.beamC0 = 20 + n % 100;
    f.beamC90 = f.beamC0 + 5;
    f.ugrCrosswise = 12 + (n % 150) / 10.0;
    f.ugrEndwise = f.ugrCrosswise + 0.5;
    f.problems = 0;
    store->Write(recNo, SummaryStamp(CatalogueBuffer().data()), f);
  }
  Catalogue()->Flush();
}

constexpr const char* kQuery = "flux>=3000 and flux<=4000 and cct=4000 and ugr<19 and beam<60";

void BM_KeyWalk100k(benchmark::State& state) {
  largeCatalogue();
  IndexedTable& t = *Catalogue();
  for (auto _ : state) {
    t.SelectKey(1);
    t.ResetKey();
    std::string key;
    std::int32_t n = 0;
    TCatalogueRecord rec;
    while (t.NextKey(key) == 0) {
      ReadCatalogueRecord(t.CurrentRecordNumber(), rec);
      benchmark::DoNotOptimize(rec.bytes[8]);
      ++n;
    }
    if (n != kLarge) state.SkipWithError("walk is incomplete");
  }
  state.SetItemsProcessed(state.iterations() * kLarge);
}
BENCHMARK(BM_KeyWalk100k)->Unit(benchmark::kMillisecond);

void BM_Find100k(benchmark::State& state) {
  largeCatalogue();
  TPathList paths(PathListFileName());
  auto parsed = query::Parse(kQuery, CatalogueQueryFields());
  const auto& expression = std::get<query::Expression>(parsed);
  for (auto _ : state) {
    const CollectResult r = FindEntries(&expression, paths, {});
    if (r.walked != kLarge || r.computed != 0) state.SkipWithError("find walked a different catalogue");
    benchmark::DoNotOptimize(r.entries.size());
  }
  state.SetItemsProcessed(state.iterations() * kLarge);
}
BENCHMARK(BM_Find100k)->Unit(benchmark::kMillisecond);

// One keystroke in the window's filter row: the expression parsed and run
// over the entries the window holds.
void BM_FilterKeystroke100k(benchmark::State& state) {
  largeCatalogue();
  TPathList paths(PathListFileName());
  const std::vector<CatalogueEntry> entries = CollectEntries({}, paths).entries;
  if (entries.size() != kLarge) state.SkipWithError("entries missing");
  for (auto _ : state) {
    auto parsed = query::Parse(kQuery, CatalogueQueryFields());
    const auto& expression = std::get<query::Expression>(parsed);
    std::vector<std::int32_t> rows;
    for (const CatalogueEntry& e : entries)
      if (expression.Matches(EntryValues(e))) rows.push_back(e.recNo);
    benchmark::DoNotOptimize(rows.data());
  }
  state.SetItemsProcessed(state.iterations() * kLarge);
}
BENCHMARK(BM_FilterKeystroke100k)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto ratio = [&](const char* what, const std::string& a, const std::string& b) {
    auto ia = reporter.seconds.find(a), ib = reporter.seconds.find(b);
    if (ia != reporter.seconds.end() && ib != reporter.seconds.end() && ib->second > 0)
      std::printf("ratio %-40s %8.2f\n", what, ia->second / ib->second);
  };
  ratio("scan / walk-and-read baseline", "BM_ScanIntoEmptyCatalogue/iterations:" + std::to_string(kScanRuns),
        "BM_BaselineWalkAndRead/iterations:5");
  ratio("scan / scan without figures", "BM_ScanIntoEmptyCatalogue/iterations:" + std::to_string(kScanRuns),
        "BM_ScanWithoutFigures/iterations:" + std::to_string(kScanRuns));
  ratio("key-ordered listing / in-memory sort", "BM_KeyOrderedListing", "BM_BaselineSortInMemory");
  ratio("find over 100k / key walk over 100k", "BM_Find100k", "BM_KeyWalk100k");
  ratio("filter keystroke over 100k / key walk", "BM_FilterKeystroke100k", "BM_KeyWalk100k");
  worldPtr().reset();  // the temporary tree goes before the engine's statics
  benchmark::Shutdown();
  return 0;
}
