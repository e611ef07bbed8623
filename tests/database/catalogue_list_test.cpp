// The catalogue list of the filter dialog: the entries a choice selects, in
// which order, and the ".TXT" file written from the list file or during the
// walk.
#include "database/catalogue_list.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "database/catalogue.h"
#include "frame/settings.h"
#include "frame/startup.h"
#include "platform/fileio.h"
#include "support/test_support.h"

namespace kandelo {
namespace {

namespace fsys = std::filesystem;
namespace pf = kandelo::platform;
using test::readFile;

class CatalogueListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadSettings();
    ASSERT_EQ(InitDatabaseEngine(), 0);
    fsys::create_directories(env.root() + "/db");
    base = env.root() + "/db/KTBLUMD2";
    ASSERT_TRUE(InitCatalogue(base));
    // name, manufacturer, file (a long one gets an alias), info line
    const char* rows[][4] = {
        {"Bravo", "Zenit", "b.ldt", ""}, {"alpha", "Mira", "a.ldt", "IP65"},
        {"Carat", "Aurel", "c.ies", ""}, {"Boreal", "Mira", "long file name.ldt", ""},
        {"Delta", "Aurel", "d.ldt", ""},
    };
    for (auto& r : rows) {
      TCatalogueRecord rec;
      ASSERT_TRUE(SetCatalogueFileName(rec, r[2]));
      rec.SetLumName(r[0]);
      rec.SetLumNumber(std::string("N-") + r[0]);
      rec.SetManufacturer(r[1]);
      rec.SetInfoLine(r[3]);
      rec.SetFormatCode(0);
      std::int32_t n = 0;
      ASSERT_FALSE(FindCatalogueFile(rec, n));
      ASSERT_EQ(AddCatalogueRecord(rec, n), 0);
    }
  }
  void TearDown() override {
    CloseCatalogue();
    ReleaseDatabaseEngine();
  }
  static std::vector<std::string> names() {
    std::vector<std::string> out;
    const auto entries = ReadListFile(ListFilePath());
    if (entries)
      for (const TListEntry& e : *entries) out.push_back(e.name);
    return out;
  }

  test::TempUserEnvironment env;
  test::RecordingUi ui;
  ScopedUiServices uiGuard{ui};
  std::string base;
};

TEST_F(CatalogueListTest, ChoicesSelectTheirEntriesInKeyOrder) {
  // "Alles" with key 5: manufacturer order, then name.
  ASSERT_EQ(ExportAll(5), 5);
  EXPECT_EQ(names(), (std::vector<std::string>{"Carat", "Delta", "alpha", "Boreal", "Bravo"}));
  // "A" to "B" on key 1: the names beginning with A or B (keys are upper case).
  ASSERT_EQ(ExportKeyRange(1, "A", "B"), 3);
  EXPECT_EQ(names(), (std::vector<std::string>{"alpha", "Boreal", "Bravo"}));
  // Reversed limits list nothing and leave no list file.
  EXPECT_EQ(ExportKeyRange(1, "C", "A"), 0);
  EXPECT_FALSE(fsys::exists(ListFilePath()));
}

TEST_F(CatalogueListTest, TextFileHasHeaderTabsAndCrLfAndReplacesTheListFile) {
  ASSERT_EQ(ExportKeyRange(1, "A", "B"), 3);
  const auto entries = ReadListFile(ListFilePath());
  ASSERT_TRUE(entries);
  EXPECT_EQ((*entries)[0].info, "IP65");
  EXPECT_EQ((*entries)[1].fileName, "long file name.ldt") << "the real name, not its alias";
  std::string error;
  const std::string txt = ListTextPath();
  EXPECT_EQ(txt, base + ".TXT");
  ASSERT_TRUE(WriteListText(ListFilePath(), txt, error)) << error;
  EXPECT_EQ(readFile(txt),
            "Hersteller\tLeuchtentyp\tLeuchtennummer\tDateiname\tFormat\r\n"
            "Mira\talpha\tN-alpha\ta.ldt\tEULUM-DAT\r\n"
            "Mira\tBoreal\tN-Boreal\tlong file name.ldt\tEULUM-DAT\r\n"
            "Zenit\tBravo\tN-Bravo\tb.ldt\tEULUM-DAT\r\n");
  EXPECT_FALSE(fsys::exists(ListFilePath()));
}

TEST_F(CatalogueListTest, AnUnwritableTextFileIsAnErrorAndLeavesNothingBehind) {
  ASSERT_EQ(ExportAll(1), 5);
  std::string error;
  const std::string txt = env.root() + "/missing-dir/LIST.TXT";
  EXPECT_FALSE(WriteListText(ListFilePath(), txt, error));
  EXPECT_NE(error.find(txt), std::string::npos);
  EXPECT_FALSE(fsys::exists(txt));
  EXPECT_TRUE(fsys::exists(ListFilePath())) << "the list stays for another try";
  // A list file cut short (a damaged file) gives the whole records only.
  fsys::resize_file(ListFilePath(), 2 * kCatalogueRecordSize + 100);
  EXPECT_EQ(ReadListFile(ListFilePath())->size(), 2u);
  EXPECT_FALSE(ReadListFile(env.root() + "/none.FIL"));
}

// The text list written during the walk: the same file as through the list
// file, no list file, the browser's key and entry kept.
TEST_F(CatalogueListTest, DirectTextExportMatchesTheListFileRoute) {
  ASSERT_EQ(ExportKeyRange(1, "A", "B"), 3);
  std::string error;
  const std::string viaList = env.root() + "/via-list.TXT";
  ASSERT_TRUE(WriteListText(ListFilePath(), viaList, error)) << error;

  IndexedTable& t = *Catalogue();
  t.SelectKey(5);
  std::string key;
  t.ResetKey();
  ASSERT_EQ(t.NextKey(key), 0);
  ASSERT_EQ(t.NextKey(key), 0);
  const std::int32_t current = t.CurrentRecordNumber();
  const std::string txt = ListTextPath();
  EXPECT_EQ(ExportListText(1, false, "A", "B", txt, error), 3) << error;
  EXPECT_EQ(readFile(txt), readFile(viaList));
  EXPECT_FALSE(fsys::exists(ListFilePath()));
  EXPECT_EQ(t.CurrentKeyNumber(), 5);
  EXPECT_EQ(t.CurrentRecordNumber(), current);

  // Nothing in range: no file written, the older list stays.
  EXPECT_EQ(ExportListText(1, false, "C", "A", txt, error), 0);
  EXPECT_EQ(readFile(txt), readFile(viaList));
  ASSERT_EQ(ExportListText(5, true, {}, {}, txt, error), 5);
  const std::string all = readFile(txt);
  EXPECT_EQ(all.find("Aurel\tCarat\t"), all.find("\r\n") + 2) << "manufacturer order";
}

TEST_F(CatalogueListTest, AFailedDirectTextExportKeepsTheOlderListWhole) {
  const std::string txt = ListTextPath();
  std::string error;
  ASSERT_EQ(ExportListText(1, false, "A", "B", txt, error), 3);
  const std::string older = readFile(txt);
  struct Fault {
    const char* what;
    int pf::FaultInjectingFileSystem::*at;
  };
  for (const Fault f : {Fault{"write", &pf::FaultInjectingFileSystem::failWriteAt},
                        Fault{"short write", &pf::FaultInjectingFileSystem::shortWriteAt},
                        Fault{"close", &pf::FaultInjectingFileSystem::failCloseAt},
                        Fault{"open", &pf::FaultInjectingFileSystem::failOpenAt}}) {
    SCOPED_TRACE(f.what);
    pf::FaultInjectingFileSystem faulty;
    pf::ScopedFileSystem guard(faulty);
    faulty.*f.at = 1;
    error.clear();
    EXPECT_EQ(ExportListText(1, true, {}, {}, txt, error), -1);
    EXPECT_NE(error.find(txt), std::string::npos);
    EXPECT_EQ(readFile(txt), older);
    EXPECT_FALSE(fsys::exists(txt + ".tmp~"));
  }
  EXPECT_EQ(ExportListText(1, true, {}, {}, env.root() + "/missing-dir/LIST.TXT", error), -1);
}

}  // namespace
}  // namespace kandelo
