// The catalogue list of the filter dialog: the entries a choice selects, in
// which order, and the ".TXT" file written from the list file.
#include "database/catalogue_list.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "database/catalogue.h"
#include "frame/settings.h"
#include "frame/startup.h"
#include "support/test_support.h"

namespace kandelo {
namespace {

namespace fsys = std::filesystem;
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
        {"Bravo", "Zenit", "b.ldt", ""},        {"alpha", "Mira", "a.ldt", "IP65"},
        {"Carat", "Aurel", "c.ies", ""},        {"Boreal", "Mira", "long file name.ldt", ""},
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

}  // namespace
}  // namespace kandelo
