#include "database/lamp_table.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "frame/settings.h"
#include "frame/strutil.h"
#include "frame/startup.h"
#include "platform/resources.h"
#include "support/test_support.h"

namespace kandelo {
namespace {

namespace fsys = std::filesystem;
using test::readFile;
using test::writeFile;

class LampTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadSettings();
    ASSERT_EQ(InitDatabaseEngine(), 0);
    path = env.root() + "/DEFLAMPS";
  }
  void TearDown() override {
    CloseLampTable();
    ReleaseDatabaseEngine();
  }
  static int add(const std::string& type, std::int16_t watt, float flux = 1000) {
    TLampRecord& r = LampBuffer();
    r.Clear();
    r.SetLampType(type);
    r.SetWatt(watt);
    r.SetFlux(flux);
    return LampTable()->Add();
  }
  static std::vector<std::string> typesInKeyOrder(int key) {
    std::vector<std::string> out;
    IndexedTable& t = *LampTable();
    t.SelectKey(key);
    t.ResetKey();
    std::string k;
    while (t.NextKey(k) == 0) {
      t.RereadRecord();
      out.push_back(LampBuffer().LampType() + "/" + std::to_string(LampBuffer().Watt()));
    }
    return out;
  }

  test::TempUserEnvironment env;
  test::RecordingUi ui;
  ScopedUiServices uiGuard{ui};
  std::string path;
};

TEST_F(LampTableTest, CreatedWhenMissingWithTwoUniqueKeys) {
  ASSERT_TRUE(OpenLampTable(path));
  EXPECT_EQ(LampTable()->RecordCount(), 0);
  EXPECT_EQ(add("T8", 58), 0);
  EXPECT_EQ(add("T8", 36), 0);
  EXPECT_EQ(add("HIT", 70), 0);
  EXPECT_EQ(add("T8", 36, 3000), isam::kErrDuplicateKey);  // same type and wattage
  EXPECT_EQ(typesInKeyOrder(1), (std::vector<std::string>{"HIT/70", "T8/36", "T8/58"}));
  EXPECT_EQ(typesInKeyOrder(2), (std::vector<std::string>{"T8/36", "T8/58", "HIT/70"}));
  CloseLampTable();
  EXPECT_EQ(fsys::file_size(path + ".DAT"), 4u * 34);
  ASSERT_TRUE(OpenLampTable(path));
  EXPECT_EQ(LampTable()->RecordCount(), 3);
}

TEST_F(LampTableTest, RepairsLikeTheCatalogue) {
  ASSERT_TRUE(OpenLampTable(path));
  for (int w = 1; w <= 40; ++w) ASSERT_EQ(add("LED", static_cast<std::int16_t>(w)), 0);
  CloseLampTable();
  struct Damage {
    const char* what;
    std::function<void()> apply;
  } damages[] = {
      {"not closed properly", [&] { std::string d = readFile(path + ".DAT"); d[20] = 1; writeFile(path + ".DAT", d); }},
      {"index gone", [&] { fsys::remove(path + ".IDX"); }},
      {"index damaged", [&] {
         std::string i = readFile(path + ".IDX");
         for (std::size_t p = 0; p < i.size(); p += 5) i[p] = '\x7f';
         writeFile(path + ".IDX", i);
       }},
      {"index of another file", [&] {
         // An index whose entries no longer match the records: from a copy with fewer lamps.
         fsys::copy_file(path + ".DAT", path + "_OLD.DAT");
         ASSERT_TRUE(OpenLampTable(path));
         IndexedTable& t = *LampTable();
         t.SelectKey(1);
         t.ResetKey();
         std::string k;
         ASSERT_EQ(t.NextKey(k), 0);
         t.RereadRecord();
         ASSERT_EQ(t.Delete(), 0);
         CloseLampTable();
         fsys::copy_file(path + "_OLD.DAT", path + ".DAT", fsys::copy_options::overwrite_existing);
       }},
  };
  for (const auto& d : damages) {
    d.apply();
    ASSERT_TRUE(OpenLampTable(path)) << d.what;
    EXPECT_EQ(LampTable()->RecordCount(), 40) << d.what;
    for (int k = 1; k <= 2; ++k) {
      LampTable()->SelectKey(k);
      EXPECT_EQ(LampTable()->EntryCount(), 40) << d.what;
    }
    CloseLampTable();
  }
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(LampTableTest, ShippedTableIsInstalledOnceAndOpensClean) {
  ASSERT_TRUE(platform::EmbeddedFile("lamps/DEFLAMPS.DAT"));
  InstallDefaultLampTable();
  const std::string shipped = AddBackslash(Settings().ExtData) + "DEFLAMPS";
  ASSERT_TRUE(fsys::exists(shipped + ".DAT"));
  ASSERT_TRUE(OpenLampTable(shipped));
  EXPECT_GE(LampTable()->RecordCount(), 20);
  for (int k = 1; k <= 2; ++k) {
    LampTable()->SelectKey(k);
    EXPECT_EQ(LampTable()->EntryCount(), LampTable()->RecordCount());
  }
  EXPECT_EQ(add("My own lamp", 10), 0);
  CloseLampTable();
  InstallDefaultLampTable();  // present: left alone
  ASSERT_TRUE(OpenLampTable(shipped));
  TLampRecord probe;
  probe.SetLampType("My own lamp");
  probe.SetWatt(10);
  std::string key = LampKey(probe, 1);
  EXPECT_EQ(LampTable()->FindKey(key), 0);
}

}  // namespace
}  // namespace kandelo
