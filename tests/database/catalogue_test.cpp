#include "database/catalogue.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>

#include "frame/settings.h"
#include "photometry/lum32.h"
#include "platform/fileio.h"
#include "support/test_support.h"

namespace kandelo {
namespace {

namespace fsys = std::filesystem;
using test::readFile;
using test::writeFile;

class CatalogueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadSettings();
    ASSERT_EQ(InitDatabaseEngine(), 0);
    fsys::create_directories(env.root() + "/db");
    base = env.root() + "/db/KTBLUMD2";
  }
  void TearDown() override {
    CloseCatalogue();
    ReleaseDatabaseEngine();
  }

  static TCatalogueRecord record(const std::string& file, std::int32_t dir, const std::string& name = "Lum",
                                 const std::string& number = "1") {
    TCatalogueRecord r;
    EXPECT_TRUE(SetCatalogueFileName(r, file));
    r.SetDirIndex(dir);
    r.SetLumName(name);
    r.SetLumNumber(number);
    r.SetManufacturer("Maker");
    return r;
  }
  // Adds unless present, as the scan does; the record number.
  static std::int32_t take(TCatalogueRecord r) {
    std::int32_t n = 0;
    if (FindCatalogueFile(r, n)) {
      EXPECT_TRUE(UpdateCatalogueRecord(r, n));
      return n;
    }
    EXPECT_NE(n, kNoFreeAlias);
    EXPECT_EQ(AddCatalogueRecord(r, n), 0);
    return n;
  }
  static std::map<std::string, std::int32_t> keys6() {
    std::map<std::string, std::int32_t> out;
    IndexedTable& t = *Catalogue();
    t.SelectKey(6);
    t.ResetKey();
    std::string k;
    while (t.NextKey(k) == 0) out[k] = t.CurrentRecordNumber();
    t.SelectKey(1);
    return out;
  }
  static void expectConsistent() {
    IndexedTable& t = *Catalogue();
    for (int k = 1; k <= 6; ++k) {
      t.SelectKey(k);
      EXPECT_EQ(t.EntryCount(), t.RecordCount()) << "key " << k;
    }
  }
  std::string dat() const { return base + ".DAT"; }
  std::string idx() const { return base + ".IDX"; }
  void fill(int n) {
    for (int i = 0; i < n; ++i) take(record("F" + std::to_string(i) + ".LDT", i % 3, "Name " + std::to_string(i)));
  }

  test::TempUserEnvironment env;
  test::RecordingUi ui;
  ScopedUiServices uiGuard{ui};
  std::string base;
};

TEST_F(CatalogueTest, NewCatalogueIsEmptyAndOpen) {
  ASSERT_TRUE(InitCatalogue(base));
  EXPECT_EQ(Catalogue()->RecordCount(), 0);
  EXPECT_EQ(Catalogue()->KeyCount(), 6);
  EXPECT_TRUE(ui.shown.empty());
  // Every start rebuilds a small catalogue; it stays as it was.
  CloseCatalogue();
  ASSERT_TRUE(InitCatalogue(base));
  EXPECT_EQ(Catalogue()->RecordCount(), 0);
}

// A program that ends without closing the catalogue or releasing the engine
// (std::exit from anywhere) has them closed by static destruction, in
// whatever order the statics go: no crash, and the files are left closed.
TEST_F(CatalogueTest, EndingTheProgramWithoutReleaseClosesTheFiles) {
  EXPECT_EXIT(
      {
        if (!InitCatalogue(base)) std::_Exit(3);
        fill(12);
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(readFile(dat()).at(20), '\0') << "the open-for-writing flag was cleared";
  ASSERT_TRUE(InitCatalogue(base));
  EXPECT_EQ(Catalogue()->RecordCount(), 12);
  expectConsistent();
}

TEST_F(CatalogueTest, OneRecordPerFileAndDirectory) {
  ASSERT_TRUE(InitCatalogue(base));
  const std::int32_t a = take(record("A.LDT", 0));
  const std::int32_t b = take(record("A.LDT", 1));
  EXPECT_NE(a, b);
  EXPECT_EQ(take(record("A.LDT", 0, "New name")), a);
  EXPECT_EQ(Catalogue()->RecordCount(), 2);
  TCatalogueRecord r;
  ASSERT_TRUE(ReadCatalogueRecord(a, r));
  EXPECT_EQ(r.LumName(), "New name");
  // Adding the same file again without looking it up first fails on key 6.
  std::int32_t n;
  EXPECT_EQ(AddCatalogueRecord(record("A.LDT", 1), n), isam::kErrDuplicateKey);
  EXPECT_TRUE(DeleteCatalogueRecord(b));
  EXPECT_EQ(Catalogue()->RecordCount(), 1);
  expectConsistent();
}

TEST_F(CatalogueTest, UpdateNeverStoresAZeroFactor) {
  ASSERT_TRUE(InitCatalogue(base));
  const std::int32_t n = take(record("A.LDT", 0));  // first added: factor 0 kept
  TCatalogueRecord r;
  ASSERT_TRUE(ReadCatalogueRecord(n, r));
  EXPECT_EQ(r.Factor(), 0.0f);
  r.SetFactor(0.0004f);
  ASSERT_TRUE(UpdateCatalogueRecord(r, n));
  ASSERT_TRUE(ReadCatalogueRecord(n, r));
  EXPECT_EQ(r.Factor(), 1.0f);
  r.SetFactor(0.8f);
  ASSERT_TRUE(UpdateCatalogueRecord(r, n));
  ASSERT_TRUE(ReadCatalogueRecord(n, r));
  EXPECT_EQ(r.Factor(), 0.8f);
}

TEST_F(CatalogueTest, KeyOneOrdersCaseVariantsByTheNumber) {
  ASSERT_TRUE(InitCatalogue(base));
  take(record("B.LDT", 0, "downlight", "2"));
  take(record("A.LDT", 0, "Downlight", "1"));
  take(record("C.LDT", 0, "Abc", "9"));
  IndexedTable& t = *Catalogue();
  t.SelectKey(1);
  t.ResetKey();
  std::string k;
  std::vector<std::string> files;
  while (t.NextKey(k) == 0) {
    TCatalogueRecord r;
    ASSERT_TRUE(ReadCatalogueRecord(t.CurrentRecordNumber(), r));
    files.push_back(r.FileNameField());
  }
  EXPECT_EQ(files, (std::vector<std::string>{"C.LDT", "A.LDT", "B.LDT"}));
}

TEST(FillCatalogueRecord, TakesTheLuminaireFieldByField) {
  TLUM32 lum;
  lum.FluxValid = 1;
  lum.FileName = "/data/lum/Round downlight with a long name.ldt";
  lum.FormatCode = fmtIes95;
  lum.Symmetry = symRotational;
  lum.DistributionKind = 2;
  lum.LumName = std::string(50, 'N');
  lum.LumNumber = std::string(30, '1');
  lum.Manufacturer = std::string(30, 'M');
  lum.Diameter = 40000;  // above the 16-bit field: kept at its largest value
  lum.Length = 1200;
  lum.Width = 300;
  lum.Height = {80, 1, 2, 3};
  lum.LumAreaLength = 1100;
  lum.LumAreaWidth = 250;
  lum.LumAreaHeight = {5, 0, 0, 0};
  lum.LampSetCount = 2;
  lum.LampSets[0].LampCount = 3;
  lum.LampSets[0].LampType = "A lamp type longer than twenty";
  lum.LampSets[0].SetFlux = 4321.5f;
  lum.LampSets[0].SetWatt = 41;
  TCatalogueRecord r;
  ASSERT_TRUE(FillCatalogueRecord(lum, r));
  EXPECT_EQ(r.FormatCode(), fmtIes95);
  EXPECT_EQ(r.Symmetry(), symRotational);
  EXPECT_EQ(r.DistributionKind(), 2);
  EXPECT_EQ(CatalogueFileName(r), "Round downlight with a long name.ldt");
  EXPECT_EQ(r.FileNameField(), LongNameAlias("Round downlight with a long name.ldt", 1));
  EXPECT_EQ(r.LumName(), std::string(40, 'N'));
  EXPECT_EQ(r.LumNumber(), std::string(24, '1'));
  EXPECT_EQ(r.Manufacturer(), std::string(25, 'M'));
  EXPECT_EQ(r.GetI16(catoff::LumLength), 32767);
  EXPECT_EQ(r.GetI16(catoff::LumWidth), 0);  // circular: no width
  EXPECT_EQ(r.GetI16(catoff::LumHeight), 80);
  EXPECT_EQ(r.GetI16(catoff::AreaLength), 1100);
  EXPECT_EQ(r.GetI16(catoff::AreaWidth), 250);
  EXPECT_EQ(r.GetI16(catoff::AreaHeight), 5);
  EXPECT_EQ(r.LampCount(), 3);
  EXPECT_EQ(r.LampType(), "A lamp type longer t");
  EXPECT_EQ(r.LampFlux(), 4321.5f);
  EXPECT_EQ(r.GetI16(catoff::LampWatt), 41);
  EXPECT_EQ(r.DirIndex(), 0);
  EXPECT_EQ(r.Factor(), 0.0f);
}

// Two names with the same alias prefix: the hash is 16 bits, so a few hundred
// names are enough to find a pair.
std::pair<std::string, std::string> namesSharingAPrefix() {
  std::map<std::string, std::string> seen;
  for (int i = 0;; ++i) {
    std::string n = "luminaire_long_name_" + std::to_string(i) + ".ldt";
    auto [it, fresh] = seen.emplace(AliasPrefix(n), n);
    if (!fresh) return {it->second, n};
  }
}

TEST_F(CatalogueTest, LongNamesGetUniqueAliasesAndAreFoundByTheirRealName) {
  ASSERT_TRUE(InitCatalogue(base));
  auto [first, second] = namesSharingAPrefix();
  std::vector<std::string> names = {first, second, "a.ldt", "A.LDT", "LU0000~1.LDT"};
  for (int i = 0; i < 30; ++i) names.push_back("Another luminaire with a long name " + std::to_string(i) + ".LDT");
  // A short name that is exactly the alias another file received.
  std::map<std::string, std::int32_t> numbers;
  for (const auto& n : names) numbers[n] = take(record(n, 4));
  TCatalogueRecord probe = record(first, 4);
  std::int32_t n = 0;
  ASSERT_TRUE(FindCatalogueFile(probe, n));
  TCatalogueRecord stored;
  ASSERT_TRUE(ReadCatalogueRecord(n, stored));
  const std::string aliasOfFirst = stored.FileNameField();
  numbers[aliasOfFirst] = take(record(aliasOfFirst, 4));
  names.push_back(aliasOfFirst);

  ASSERT_EQ(Catalogue()->RecordCount(), static_cast<std::int32_t>(names.size()));
  std::set<std::string> fields;
  for (const auto& name : names) {
    TCatalogueRecord r;
    ASSERT_TRUE(ReadCatalogueRecord(numbers[name], r));
    EXPECT_EQ(CatalogueFileName(r), name);
    EXPECT_LE(r.FileNameField().size(), 12u);
    fields.insert(r.FileNameField());
  }
  EXPECT_EQ(fields.size(), names.size());  // no two share the 12-character field
  ASSERT_TRUE(ReadCatalogueRecord(numbers[second], stored));
  EXPECT_EQ(stored.FileNameField().substr(6, 2), "~2");

  // Taking every file in again finds each record: nothing changes.
  const auto before = keys6();
  for (const auto& name : names) EXPECT_EQ(take(record(name, 4)), numbers[name]) << name;
  EXPECT_EQ(keys6(), before);
  expectConsistent();
  // The same long name in another directory is another record.
  EXPECT_NE(take(record(first, 5)), numbers[first]);
}

TEST_F(CatalogueTest, AllAliasesTakenIsRefusedNotShared) {
  ASSERT_TRUE(InitCatalogue(base));
  const std::string name = "a luminaire with a long name.ldt";
  // Other names that happen to hold every alias of this one in directory 2.
  for (int s = 1; s <= kAliasSequenceCount; ++s) {
    TCatalogueRecord r = record("x", 2);
    r.SetRealNameField("other name " + std::to_string(s));
    r.SetFileNameField(LongNameAlias(name, s));
    std::int32_t n;
    ASSERT_EQ(AddCatalogueRecord(r, n), 0);
  }
  TCatalogueRecord r = record(name, 2);
  std::int32_t n = 0;
  EXPECT_FALSE(FindCatalogueFile(r, n));
  EXPECT_EQ(n, kNoFreeAlias);
  r = record(name, 3);  // another directory has all of them free
  EXPECT_FALSE(FindCatalogueFile(r, n));
  EXPECT_EQ(n, 0);
  EXPECT_EQ(r.FileNameField(), LongNameAlias(name, 1));
}

TEST_F(CatalogueTest, RecordsSurviveReopenImproperCloseAndLostIndex) {
  ASSERT_TRUE(InitCatalogue(base));
  fill(15);
  CloseCatalogue();
  ASSERT_TRUE(InitCatalogue(base));
  EXPECT_EQ(Catalogue()->RecordCount(), 15);
  CloseCatalogue();

  // Not closed properly.
  std::string d = readFile(dat());
  d[20] = 1;
  writeFile(dat(), d);
  ASSERT_TRUE(InitCatalogue(base));
  EXPECT_EQ(Catalogue()->RecordCount(), 15);
  CloseCatalogue();

  // Index file gone: rebuilt from the data, not replaced by an empty catalogue.
  fsys::remove(idx());
  ASSERT_TRUE(InitCatalogue(base));
  EXPECT_EQ(Catalogue()->RecordCount(), 15);
  CloseCatalogue();

  // Data file cut short after its last whole record: said, the files left
  // as they are, and rebuilt from what is left only when the user agrees.
  const std::string cut = readFile(dat()).substr(0, 512 * 14 + 100), index = readFile(idx());
  writeFile(dat(), cut);
  std::vector<std::string> asked;
  auto answer = [&asked](bool yes) {
    return [&asked, yes](const std::string& question) { return asked.push_back(question), yes; };
  };
  EXPECT_FALSE(InitCatalogue(base)) << "nobody to ask: nothing is repaired";
  EXPECT_FALSE(InitCatalogue(base, nullptr, answer(false)));
  EXPECT_EQ(Catalogue(), nullptr);
  EXPECT_EQ(readFile(dat()), cut);
  EXPECT_EQ(readFile(idx()), index);
  ASSERT_TRUE(InitCatalogue(base, nullptr, answer(true)));
  EXPECT_EQ(Catalogue()->RecordCount(), 13);
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_NE(asked[0].find("shorter than its header says"), std::string::npos) << asked[0];
  EXPECT_TRUE(ui.shown.empty()) << "the catalogue asks through its caller";
  CloseCatalogue();

  // Index file damaged.
  std::string i = readFile(idx());
  for (std::size_t p = 0; p < i.size(); p += 7) i[p] = static_cast<char>(0xA5);
  writeFile(idx(), i);
  ASSERT_TRUE(InitCatalogue(base));
  EXPECT_EQ(Catalogue()->RecordCount(), 13);
  expectConsistent();
  EXPECT_TRUE(ui.shown.empty()) << ui.texts()[0];
}

TEST_F(CatalogueTest, InterruptedRebuildIsRecovered) {
  ASSERT_TRUE(InitCatalogue(base));
  fill(12);
  CloseCatalogue();
  const std::string sav = base + ".SAV";
  // Stopped right after moving the data aside.
  fsys::rename(dat(), sav);
  ASSERT_TRUE(InitCatalogue(base));
  EXPECT_EQ(Catalogue()->RecordCount(), 12);
  CloseCatalogue();
  // Stopped while copying: a partial new data file beside the saved one.
  fsys::copy_file(dat(), sav);
  writeFile(dat(), readFile(dat()).substr(0, 512 * 4));
  fsys::remove(idx());
  ASSERT_TRUE(InitCatalogue(base));
  EXPECT_EQ(Catalogue()->RecordCount(), 12);
  EXPECT_FALSE(fsys::exists(sav));
  expectConsistent();
}

TEST_F(CatalogueTest, RebuildAndDeleteWholeCatalogue) {
  ASSERT_TRUE(InitCatalogue(base));
  fill(12);
  ASSERT_TRUE(DeleteCatalogueRecord(3));
  EXPECT_EQ(RebuildCatalogue(), 0);
  ASSERT_NE(Catalogue(), nullptr);
  EXPECT_EQ(Catalogue()->RecordCount(), 11);
  expectConsistent();
  EXPECT_TRUE(DeleteWholeCatalogue());
  ASSERT_NE(Catalogue(), nullptr);
  EXPECT_EQ(Catalogue()->RecordCount(), 0);
  EXPECT_TRUE(ui.shown.empty()) << "deleting every entry was asked for already";
  // The data file deleted while the index stays: said; the index is kept
  // unless the user agrees to a new, empty catalogue.
  fill(2);
  CloseCatalogue();
  fsys::remove(dat());
  std::vector<std::string> asked;
  auto answer = [&asked](bool yes) {
    return [&asked, yes](const std::string& question) { return asked.push_back(question), yes; };
  };
  EXPECT_FALSE(InitCatalogue(base, nullptr, answer(false)));
  EXPECT_TRUE(fsys::exists(idx()));
  EXPECT_FALSE(fsys::exists(dat()));
  ASSERT_TRUE(InitCatalogue(base, nullptr, answer(true)));
  EXPECT_EQ(Catalogue()->RecordCount(), 0);
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_NE(asked[0].find("is missing"), std::string::npos) << asked[0];
  EXPECT_TRUE(ui.shown.empty());
}

// Garbage written over records that happen to read as in use: the rebuild
// keeps no record with a garbage file name, and lists those it drops.
TEST_F(CatalogueTest, RebuildDropsRecordsThatFailTheRecordChecks) {
  ASSERT_TRUE(InitCatalogue(base));
  fill(12);
  CloseCatalogue();
  std::string d = readFile(dat());
  std::uint32_t x = 12345;
  for (std::size_t p = 512 * 3; p < 512 * 3 + 4096; ++p) {
    x = x * 1103515245u + 12345u;
    d[p] = static_cast<char>(x >> 24);
  }
  for (int r = 3; r < 11; ++r) std::fill_n(d.begin() + 512 * r, 4, '\0');  // "in use"
  writeFile(dat(), d);
  ASSERT_TRUE(InitCatalogue(base));
  ASSERT_EQ(RebuildCatalogue(), 0);
  ASSERT_NE(Catalogue(), nullptr);
  EXPECT_EQ(Catalogue()->RecordCount(), 4);
  EXPECT_EQ(Catalogue()->DroppedByRebuild(), 8);
  for (const auto& [key, n] : keys6()) {
    TCatalogueRecord r;
    ASSERT_TRUE(ReadCatalogueRecord(n, r));
    EXPECT_EQ(CheckCatalogueRecord(r.data()), "");
    EXPECT_EQ(CatalogueFileName(r).rfind("F", 0), 0u) << CatalogueFileName(r);
  }
  expectConsistent();
  const std::string report = readFile(base + ".MSG");
  EXPECT_NE(report.find("Record 3\r\ndropped: "), std::string::npos);
  EXPECT_NE(report.find("Record 10\r\ndropped: "), std::string::npos);
}

TEST(CatalogueRecordChecks, RefuseWhatNoWrittenRecordHolds) {
  auto good = [] {
    TCatalogueRecord r;
    EXPECT_TRUE(SetCatalogueFileName(r, "Stra\xDF" "enleuchte Via asymmetrisch 4000K.ldt"));
    r.SetLumName("Via");
    r.SetDirIndex(7);
    return r;
  };
  EXPECT_EQ(CheckCatalogueRecord(good().data()), "");
  struct Case {
    const char* what;
    std::size_t offset;
    unsigned char byte;
  } cases[] = {
      {"format code", catoff::FormatCode, 12},
      {"empty file name", catoff::FileName, 0},
      {"file name longer than its field", catoff::FileName, 13},
      {"control character in the file name", catoff::FileName + 2, 0x01},
      {"slash in the file name", catoff::FileName + 3, '/'},
      {"real name longer than its field", catoff::RealName, 166},
      {"slash in the real name", catoff::RealName + 5, '/'},
      {"negative directory index", catoff::DirIndex + 3, 0x80},
      {"name text length", catoff::LumName, 41},
      {"version label length", catoff::VersionLabel, 6},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TCatalogueRecord r = good();
    r.bytes[c.offset] = c.byte;
    EXPECT_NE(CheckCatalogueRecord(r.data()), "");
  }
}

// The process that holds a file's lock: none, or this one (the open-file-
// description locks of the engine carry no process of their own).
TEST(LockHolder, NamesTheProcessThatHoldsTheLock) {
  test::TempDir dir;
  const std::string path = dir.file("KTBLUMD2.DAT");
  writeFile(path, std::string(512, '\0'));
  EXPECT_EQ(platform::lockHolder(path), std::nullopt);
  auto h = platform::fs().open(path, platform::OpenMode::ReadWrite);
  ASSERT_EQ(h->lockRange(0, 0, true), platform::LockResult::Locked);
  EXPECT_EQ(platform::lockHolder(path), platform::processId());
  EXPECT_EQ(CatalogueHolderPid(dir.file("KTBLUMD2")), std::nullopt) << "this process is no other";
  h->close();
  EXPECT_EQ(platform::lockHolder(path), std::nullopt);
}

TEST_F(CatalogueTest, ExportWritesRecordsInKeyOrderAndKeepsThePosition) {
  ASSERT_TRUE(InitCatalogue(base));
  for (const char* n : {"Delta", "alpha", "Charlie", "bravo", "Echo"}) take(record(std::string(n) + ".LDT", 0, n));
  IndexedTable& t = *Catalogue();
  t.SelectKey(3);
  std::string k = "CHARLIE";
  ASSERT_EQ(t.SearchKey(k), 0);
  const std::int32_t current = t.CurrentRecordNumber();

  EXPECT_EQ(ExportAll(1), 5);
  EXPECT_EQ(ListFilePath(), base + ".FIL");
  std::string fil = readFile(ListFilePath());
  ASSERT_EQ(fil.size(), 5u * 512);
  std::vector<std::string> order;
  for (std::size_t i = 0; i < 5; ++i) {
    TCatalogueRecord r;
    std::copy_n(fil.data() + i * 512, 512, reinterpret_cast<char*>(r.data()));
    order.push_back(r.LumName());
  }
  EXPECT_EQ(order, (std::vector<std::string>{"alpha", "bravo", "Charlie", "Delta", "Echo"}));
  EXPECT_EQ(t.CurrentKeyNumber(), 3);
  EXPECT_EQ(t.CurrentRecordNumber(), current);

  // A range: from "B" while the first character is not above "C".
  EXPECT_EQ(ExportKeyRange(1, "B", "C"), 2);
  EXPECT_EQ(readFile(ListFilePath()).size(), 2u * 512);
  // Nothing in range: no list file.
  EXPECT_EQ(ExportKeyRange(1, "X", "X"), 0);
  EXPECT_FALSE(fsys::exists(ListFilePath()));
  EXPECT_EQ(t.CurrentRecordNumber(), current);
  std::string next;
  ASSERT_EQ(t.NextKey(next), 0);  // the position itself survived
  EXPECT_EQ(next.substr(0, 5), "DELTA");
}

TEST_F(CatalogueTest, VersionLabelGoesIntoRecordOneOnly) {
  ASSERT_TRUE(InitCatalogue(base));
  EXPECT_FALSE(WriteVersionLabel("2.1"));  // no record 1 yet
  fill(12);
  EXPECT_TRUE(WriteVersionLabel("2.10xyz"));
  TCatalogueRecord r;
  ASSERT_TRUE(ReadCatalogueRecord(1, r));
  EXPECT_EQ(r.VersionLabel(), "2.10x");
  ASSERT_TRUE(ReadCatalogueRecord(2, r));
  EXPECT_EQ(r.VersionLabel(), "");
  CloseCatalogue();
  ASSERT_TRUE(InitCatalogue(base));  // keys untouched: no check fails
  ASSERT_TRUE(ReadCatalogueRecord(1, r));
  EXPECT_EQ(r.VersionLabel(), "2.10x");
}

}  // namespace
}  // namespace kandelo
