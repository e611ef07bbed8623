#include "conversion/catalogue_find.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <thread>

#include "conversion/catalogue_scan.h"
#include "database/catalogue.h"
#include "evaluation/lum_fixture.h"
#include "frame/msgmanager.h"
#include "frame/pathlist.h"
#include "frame/settings.h"
#include "frame/strutil.h"
#include "photometry/format_io.h"
#include "photometry/lum32.h"
#include "platform/fileio.h"
#include "support/test_support.h"

namespace kandelo {
namespace {

namespace fsys = std::filesystem;
using test::CosD;

constexpr double kDeg = 180 / M_PI;

// An EULUMDAT file of a rotationally symmetric I0·cos^n γ downlight whose
// figures are known in closed form: light output ratio `lor` (the flux of
// I0·cos^n γ over the lower hemisphere is 2π·I0/(n+1)), half-value beam angle
// 2·acos(0.5^(1/n)), luminaire flux lamp flux × LOR.
struct Analytic {
  const char* file;
  const char* name;
  const char* maker;
  double n, lor, lampFlux, watt;
  const char* colour;  // the lamp's colour text
};

void WriteAnalytic(const std::string& dir, const Analytic& a) {
  auto lum = test::MakeLum(
      [&a](double g, double) { return g <= 90 ? 10 * a.lor * (a.n + 1) / (2 * M_PI) * std::pow(CosD(g), a.n) : 0; });
  lum->LumName = a.name;
  lum->LumNumber = std::string("N-") + a.name;
  lum->Manufacturer = a.maker;
  lum->LOR = float(a.lor);
  lum->LampSets[0].SetFlux = float(a.lampFlux);
  lum->LampSets[0].LampFlux = float(a.lampFlux);
  lum->LampSets[0].SetWatt = float(a.watt);
  lum->LampSets[0].LampType = "LED";
  lum->LampSets[0].ColourText = a.colour;
  ASSERT_TRUE(lum->SaveAs(fmtEulumdat, AddBackslash(dir) + a.file));
}

double BeamOf(double n) { return 2 * std::acos(std::pow(0.5, 1 / n)) * kDeg; }

// a: 3100 lm, 103 lm/W, 120°; b: 3600 lm, 90 lm/W, 42°; c: 1800 lm, no colour, 90°; d: 3500 lm, 70 lm/W, 21°.
const Analytic kLuminaires[] = {
    {"a.ldt", "Panel A", "Lumina GmbH", 1, 100, 3100, 30, "4000 K"},
    {"b.ldt", "Spot B", "LUMINA Sud", 10, 80, 4500, 40, "830"},
    {"c.ldt", "Wide C", "Strasse & Co", 2, 90, 2000, 20, ""},
    {"d.ldt", "Narrow D", "Other", 40, 70, 5000, 50, "4000K"},
};

class FindTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadSettings();
    root = AddBackslash(Settings().LumDir2);
    for (const Analytic& a : kLuminaires) WriteAnalytic(root, a);
    ASSERT_EQ(InitDatabaseEngine(), 0);
    ASSERT_TRUE(InitCatalogue(Settings().LumDb));
    msgs = std::make_unique<TMsgManager>(env.root() + "/none.eng");
    paths = std::make_unique<TPathList>(PathListFileName());
  }
  void TearDown() override {
    paths.reset();
    CloseCatalogue();
    ReleaseDatabaseEngine();
  }
  IntakeReport Scan() {
    IntakeRun run;
    return AddTreeToCatalogue(root, *paths, *msgs, run);
  }
  // The files of the matching entries, as letters in the order found.
  std::string Find(const std::string& text, FindOptions options = {}) {
    auto parsed = query::Parse(text, CatalogueQueryFields());
    if (const auto* e = std::get_if<query::ParseError>(&parsed)) {
      ADD_FAILURE() << text << ": column " << e->column << ": " << e->message;
      return "?";
    }
    const CollectResult r = FindEntries(&std::get<query::Expression>(parsed), *paths, options);
    EXPECT_FALSE(r.failed);
    std::string out;
    for (const CatalogueEntry& e : r.entries) out += e.file.substr(0, 1);
    return out;
  }
  test::TempUserEnvironment env;
  test::RecordingUi ui;
  ScopedUiServices uiGuard{ui};
  std::string root;
  std::unique_ptr<TMsgManager> msgs;
  std::unique_ptr<TPathList> paths;
};

TEST_F(FindTest, FiguresOfTheIntakeAnswerQueries) {
  ASSERT_EQ(Scan().added, 4);
  // The intake stored every entry's figures: none is computed on reading.
  CollectResult all = CollectEntries({}, *paths);
  ASSERT_EQ(all.entries.size(), 4u);
  EXPECT_EQ(all.computed, 0);
  for (const CatalogueEntry& e : all.entries) {
    SCOPED_TRACE(e.file);
    ASSERT_TRUE(e.figures);
    const Analytic& a = kLuminaires[e.file[0] - 'a'];
    EXPECT_NEAR(e.figures->luminaireFlux, a.lampFlux * a.lor / 100, 0.01 * a.lampFlux);
    EXPECT_NEAR(e.figures->lor, a.lor, 0.5);
    EXPECT_NEAR(e.figures->Beam(), BeamOf(a.n), 1.0);
    EXPECT_NEAR(e.figures->watt, a.watt, 1e-6);
    EXPECT_GE(e.figures->problems, 0) << "the file's check ran";
  }

  const struct {
    const char* expression;
    const char* found;  // in name order: Narrow D, Panel A, Spot B, Wide C
  } cases[] = {
      {"flux>=3000 and flux<=4000", "dab"},
      {"flux>=3000lm and flux<=4000 lm and cct=4000K and beam<60", "d"},
      {"cct=4000", "da"},
      {"cct=3000", "b"},  // the colour code 830
      {"not cct=4000", "bc"},  // c knows no colour temperature
      {"beam<60", "db"},
      {"beam_c0>=89 and beam_c90<=91", "c"},
      {"efficacy>=100", "a"},
      {"lor<75 or lor>95", "da"},
      {"dff>99 and imax>0 and lamp_flux>=2000 and lamp_sets=1", "dabc"},
      {"manufacturer~\"lumina\"", "ab"},
      {"manufacturer=\"lumina gmbh\"", "a"},
      {"name~spot or number~\"n-wide\"", "bc"},
      {"file=\"c.ldt\"", "c"},
      {"format=eulumdat", "dabc"},
      {"format=ies", ""},
      {"(watt<=30 or watt>=50) and not (beam>100)", "dc"},
      {"ugr<100", "dabc"},  // a beam without glare has a UGR far below 10
      {"shr>0", "dabc"},
      {"problems>=0", "dabc"},
  };
  for (const auto& c : cases) EXPECT_EQ(Find(c.expression), c.found) << c.expression;

  FindOptions byFlux;
  byFlux.sortField = qf::Flux;
  EXPECT_EQ(Find("flux>0", byFlux), "cadb");
  FindOptions widest;
  widest.sortField = qf::Beam;
  widest.descending = true;
  widest.limit = 2;
  EXPECT_EQ(Find("flux>0", widest), "ac");
  FindOptions firstTwo;
  firstTwo.limit = 2;
  EXPECT_EQ(Find("flux>0", firstTwo), "da") << "without an order, the first in name order";
  FindOptions byMaker;
  byMaker.sortField = qf::Manufacturer;
  EXPECT_EQ(Find("flux>0", byMaker), "abdc") << "texts without regard to case";
}

// A record rewritten by any path, a store lost or damaged, a file changed on
// disk: the figures are computed again, never taken from the slot.
TEST_F(FindTest, StaleOrMissingFiguresAreComputedAgain) {
  ASSERT_EQ(Scan().added, 4);
  const std::string store = SummaryStore::PathFor(CatalogueBasePath());
  ASSERT_TRUE(fsys::exists(store));

  // The record editor rewrites an entry: its slot no longer fits the record.
  std::int32_t recNo = 0;
  {
    TCatalogueRecord rec;
    for (const CatalogueEntry& e : CollectEntries({}, *paths).entries)
      if (e.file == "b.ldt") recNo = e.recNo;
    ASSERT_TRUE(ReadCatalogueRecord(recNo, rec));
    rec.SetLumName("Spot B renamed");
    ASSERT_TRUE(UpdateCatalogueRecord(rec, recNo));
  }
  CollectResult r = CollectEntries({}, *paths);
  EXPECT_EQ(r.computed, 1);
  EXPECT_EQ(CollectEntries({}, *paths).computed, 0) << "written back";

  // The file changes on disk without a scan: found by a caller that looks.
  {
    Analytic changed = kLuminaires[0];
    changed.n = 10;
    WriteAnalytic(root, changed);
  }
  CollectOptions look;
  look.checkFiles = true;
  SummaryCheck check = CheckSummaries(*paths, false);
  EXPECT_EQ(check.fileChanged, 1);
  EXPECT_EQ(check.sound, 3);
  r = CollectEntries(look, *paths);
  EXPECT_EQ(r.computed, 1);
  EXPECT_EQ(Find("beam>100"), "") << "the changed file's beam is narrow now";
  check = CheckSummaries(*paths, false);
  EXPECT_EQ(check.sound, 4);
  EXPECT_TRUE(check.stale.empty());

  // The store damaged or lost: every entry is computed again, and the
  // answers stay the same.
  test::writeFile(store, "garbage");
  CloseCatalogue();
  ASSERT_TRUE(InitCatalogue(Settings().LumDb));
  EXPECT_EQ(Find("cct=4000"), "da");
  EXPECT_EQ(CollectEntries({}, *paths).computed, 0);
  fsys::remove(store);
  CloseCatalogue();
  ASSERT_TRUE(InitCatalogue(Settings().LumDb));
  EXPECT_EQ(CollectEntries({}, *paths).computed, 4);

  // An unreadable file is noted as such and not tried on every walk.
  test::writeFile(root + "c.ldt", "not a photometric file");
  {
    TCatalogueRecord rec;
    for (const CatalogueEntry& e : CollectEntries({}, *paths).entries)
      if (e.file == "c.ldt") recNo = e.recNo;
    ASSERT_TRUE(ReadCatalogueRecord(recNo, rec));
    rec.SetLumName("Wide C now broken");
    ASSERT_TRUE(UpdateCatalogueRecord(rec, recNo));
  }
  r = CollectEntries({}, *paths);
  EXPECT_EQ(r.unreadable, 1);
  EXPECT_EQ(r.computed, 0);
  EXPECT_EQ(Find("flux>0"), "dab");

  // A rebuild computes all and empties the slots of deleted entries.
  ASSERT_TRUE(DeleteCatalogueRecord(recNo));
  const SummaryCheck rebuilt = RebuildSummaries(*paths);
  EXPECT_EQ(rebuilt.entries, 3);
  EXPECT_EQ(rebuilt.sound, 3);
  ASSERT_NE(CatalogueSummaryStore(), nullptr);
  TCatalogueRecord gone;
  EXPECT_FALSE(CatalogueSummaryStore()->Read(recNo, SummaryStamp(gone.data())));
}

// Stations scanning and updating a shared catalogue are killed at random
// moments: after the next open no entry answers with figures of another
// state of its record or file.
TEST_F(FindTest, AKilledScanLeavesNoStaleFigures) {
  CloseCatalogue();
  const int kRounds = 6;
  for (int round = 0; round < kRounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    // Every round changes the lamp flux of every file, so that each record
    // and its figures change.
    for (int i = 0; i < 24; ++i) {
      Analytic a = kLuminaires[i % 4];
      const std::string file = "f" + std::to_string(i) + ".ldt";
      a.file = file.c_str();
      a.lampFlux = 1000 + 100 * i + 10 * round;
      WriteAnalytic(root, a);
    }
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      if (!InitCatalogue(Settings().LumDb)) ::_exit(2);
      TPathList childPaths(PathListFileName());
      IntakeRun run;
      AddTreeToCatalogue(root, childPaths, *msgs, run);
      CloseCatalogue();
      ::_exit(0);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(40 + 90 * round));
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);

    ASSERT_TRUE(InitCatalogue(Settings().LumDb, nullptr, [](const std::string&) { return true; }));
    paths = std::make_unique<TPathList>(PathListFileName());
    // The entries' records, before anything computes figures.
    std::vector<std::int32_t> records;
    IndexedTable& t = *Catalogue();
    t.SelectKey(6);
    t.ResetKey();
    std::string key;
    while (t.NextKey(key) == 0) records.push_back(t.CurrentRecordNumber());
    int fromStore = 0;
    for (std::int32_t recNo : records) {
      TCatalogueRecord rec;
      ASSERT_TRUE(ReadCatalogueRecord(recNo, rec));
      const std::string file = CatalogueFileName(rec);
      if (file[0] != 'f') continue;
      TLUM32 lum;
      ASSERT_TRUE(LoadLuminaire(root + file, lum).ok());
      const double onDisk = lum.LampSets[0].SetFlux, recorded = rec.LampFlux();
      // Figures taken from the store are those of the record as it is (the
      // scan may have died before it rewrote the record: then of the record's
      // file as it was); figures computed are those of the file now.
      FiguresFrom from;
      auto figures = EntryFigures(recNo, rec, *paths, false, &from);
      ASSERT_TRUE(figures) << file;
      EXPECT_NEAR(figures->lampFlux, from == FiguresFrom::Store ? recorded : onDisk, 0.5) << file;
      fromStore += from == FiguresFrom::Store;
      // Asked to look at the disk, only figures of the file now.
      figures = EntryFigures(recNo, rec, *paths, true, &from);
      ASSERT_TRUE(figures) << file;
      EXPECT_NEAR(figures->lampFlux, onDisk, 0.5) << file;
    }
    RecordProperty("from_store_round_" + std::to_string(round), fromStore);
    CloseCatalogue();
  }
  ASSERT_TRUE(InitCatalogue(Settings().LumDb));
}

TEST(CatalogueQueryFields, NamesAreUniqueLowerCaseAndFound) {
  const auto fields = CatalogueQueryFields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    EXPECT_EQ(CatalogueQueryField(fields[i].name), int(i));
    EXPECT_EQ(CatalogueQueryField(std::string(fields[i].name) == "ugr" ? "UGR" : fields[i].name), int(i));
  }
  EXPECT_EQ(CatalogueQueryField("nope"), -1);
  EXPECT_STREQ(FormatWord(7), "ies");
  EXPECT_STREQ(FormatWord(0), "eulumdat");
  EXPECT_STREQ(FormatWord(200), "unknown");
}

}  // namespace
}  // namespace kandelo
