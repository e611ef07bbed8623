#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "cli/cli_support.h"
#include "support/test_support.h"

namespace {

using kandelo::test::RunCli;

// A small rotationally symmetric EULUMDAT file: lamp flux, colour code and
// wattage as given, light output ratio 80 %.
std::string sampleLdt(const std::string& name, int flux = 6700, const std::string& colour = "840", int watt = 72) {
  std::string s = "Maker\r\n1\r\n1\r\n1\r\n0\r\n19\r\n5\r\nReport\r\n" + name +
                  "\r\nT-1\r\nt.ldt\r\ndate\r\n600\r\n600\r\n100\r\n500\r\n500\r\n0\r\n0\r\n0\r\n0\r\n"
                  "100\r\n80\r\n1\r\n0\r\n1\r\n2\r\nT8 36W\r\n" + std::to_string(flux) + "\r\n" + colour +
                  "\r\n80\r\n" + std::to_string(watt) + "\r\n";
  for (int i = 0; i < 10; ++i) s += "0.5\r\n";
  s += "0\r\n";
  for (int i = 0; i < 19; ++i) s += std::to_string(5 * i) + "\r\n";
  for (int i = 0; i < 19; ++i) s += std::to_string(300 - 15 * i) + "\r\n";
  return s;
}

// The summary line of a scan or an add; the error list lies in the program directory.
std::string counts(const kandelo::test::TempUserEnvironment& env, int added, int updated, int failed,
                   const std::string& tail = "") {
  return "added " + std::to_string(added) + ", updated " + std::to_string(updated) + ", failed " +
         std::to_string(failed) + " (listed in " + env.dataDir() + "/XX.DAT)" + tail + "\n";
}

TEST(CliCatalogue, ScanListCheckRebuild) {
  kandelo::test::TempUserEnvironment env;
  const std::string tree = env.root() + "/B\xC3\xBCro";  // file names are UTF-8 on disk
  std::filesystem::create_directories(tree + "/sub");
  kandelo::test::writeFile(tree + "/b.ldt", sampleLdt("Bravo"));
  kandelo::test::writeFile(tree + "/sub/Alpha downlight with a long file name.LDT", sampleLdt("Alpha"));

  auto scan = RunCli("catalogue scan '" + tree + "/sub/..'");  // kept as an absolute, plain path
  ASSERT_EQ(scan.exitCode, 0) << scan.out;
  EXPECT_EQ(scan.out, counts(env, 2, 0, 0));
  EXPECT_EQ(RunCli("catalogue scan '" + tree + "'").out, counts(env, 0, 2, 0));

  auto list = RunCli("catalogue list --key 1 --json");
  ASSERT_EQ(list.exitCode, 0);
  auto j = nlohmann::json::parse(list.out);
  ASSERT_EQ(j.size(), 2u);
  EXPECT_EQ(j[0]["name"], "Alpha");
  EXPECT_EQ(j[0]["path"], tree + "/sub/Alpha downlight with a long file name.LDT");
  EXPECT_EQ(j[0]["file"].get<std::string>().size(), 12u);
  EXPECT_EQ(j[1]["path"], tree + "/b.ldt");

  EXPECT_EQ(RunCli("catalogue check").exitCode, 0);
  EXPECT_EQ(RunCli("catalogue rebuild").out, "rebuilt: 2 records\nfigures: 2 computed, 0 files unreadable\n");
  std::filesystem::remove(tree + "/b.ldt");
  auto check = RunCli("catalogue check");
  EXPECT_EQ(check.exitCode, 1);
  EXPECT_NE(check.out.find("1 files missing"), std::string::npos) << check.out;

  EXPECT_EQ(RunCli("catalogue scan '" + tree + "/none' 2>/dev/null").exitCode, 1);
  EXPECT_EQ(RunCli("catalogue list --key 7 2>/dev/null").exitCode, 2);
}

// Queries over the figures of the entries: what matches, in which order, the
// figures in JSON, the fields, and a bad expression told with its column.
TEST(CliCatalogue, FindByFigures) {
  kandelo::test::TempUserEnvironment env;
  const std::string tree = env.root() + "/lum";
  std::filesystem::create_directories(tree);
  kandelo::test::writeFile(tree + "/a.ldt", sampleLdt("Alpha"));                     // 5390 lm, 4000 K, 72 W
  kandelo::test::writeFile(tree + "/b.ldt", sampleLdt("Bravo", 2000, "830", 20));   // 1610 lm, 3000 K
  kandelo::test::writeFile(tree + "/c.ldt", sampleLdt("Charlie", 4000, "865", 30)); // 3220 lm, 6500 K
  ASSERT_EQ(RunCli("catalogue scan '" + tree + "'").exitCode, 0);

  auto found = RunCli("catalogue find 'flux>=3000 and cct=4000K' 2>&1");
  ASSERT_EQ(found.exitCode, 0) << found.out;
  EXPECT_NE(found.out.find("Alpha"), std::string::npos) << found.out;
  EXPECT_EQ(found.out.find("Charlie"), std::string::npos) << found.out;
  EXPECT_NE(found.out.find("1 of 3"), std::string::npos) << found.out;

  auto json = RunCli("catalogue find 'flux>0 and efficacy>50' --sort -flux --limit 2 --json");
  ASSERT_EQ(json.exitCode, 0) << json.out;
  auto j = nlohmann::json::parse(json.out);
  ASSERT_EQ(j.size(), 2u);
  EXPECT_EQ(j[0]["name"], "Alpha");
  EXPECT_EQ(j[1]["name"], "Charlie");
  EXPECT_EQ(j[0]["path"], tree + "/a.ldt") << "the fields of catalogue list";
  // The intensities integrate to a light output ratio of 80.5 %.
  const double lor = j[0]["summary"]["lor"].get<double>();
  EXPECT_NEAR(lor, 80, 0.6);
  EXPECT_NEAR(j[0]["summary"]["flux"].get<double>(), 6700 * lor / 100, 0.01);
  EXPECT_EQ(j[0]["summary"]["cct"], 4000);
  EXPECT_EQ(j[0]["summary"]["cri"], 80);
  EXPECT_NEAR(j[1]["summary"]["efficacy"].get<double>(), 4000 * lor / 100 / 30, 0.01);
  EXPECT_TRUE(j[0]["summary"].contains("beam_c90"));
  EXPECT_TRUE(j[0]["summary"].contains("ugr_endwise"));

  EXPECT_EQ(nlohmann::json::parse(RunCli("catalogue find 'cct=6500 or name~brav' --json").out).size(), 2u);
  EXPECT_EQ(nlohmann::json::parse(RunCli("catalogue find 'watt>100' --json").out).size(), 0u);

  const struct {
    const char* args;
    const char* error;
  } bad[] = {
      {"'flux>=3000 and and cct=4000'", "error: column 16:"},
      {"'flux>=3000 and colour=4000'", "error: column 16:"},
      {"'flux>='", "error: column 7:"},
      {"'manufacturer>3'", "error: column 13:"},
      {"''", "error: column 1:"},
      {"'flux>0' --sort nope", "error: --sort: no field \"nope\""},
  };
  for (const auto& b : bad) {
    auto r = RunCli("catalogue find " + std::string(b.args) + " 2>&1");
    EXPECT_EQ(r.exitCode, 2) << b.args << ": " << r.out;
    EXPECT_EQ(r.out.rfind(b.error, 0), 0u) << b.args << ": " << r.out;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << "one line: " << r.out;
  }

  auto fields = RunCli("catalogue find --fields");
  ASSERT_EQ(fields.exitCode, 0);
  for (const char* f : {"flux ", "lamp_flux ", "beam_c0 ", "ugr ", "manufacturer ", "format ", "problems "})
    EXPECT_NE(fields.out.find(f), std::string::npos) << f;

  // The check reports the figures; after a file changed, one is out of date.
  auto check = RunCli("catalogue check");
  EXPECT_EQ(check.exitCode, 0);
  EXPECT_NE(check.out.find("figures: 3 sound, 0 missing"), std::string::npos) << check.out;
  kandelo::test::writeFile(tree + "/b.ldt", sampleLdt("Bravo", 2100, "830", 20));
  check = RunCli("catalogue check");
  EXPECT_NE(check.out.find("1 of files changed since"), std::string::npos) << check.out;
}

// Without a root the scan takes the luminaire directory LumDir2; files from
// elsewhere are added by copying them there, asking before one is replaced.
TEST(CliCatalogue, ScanOfTheLuminaireDirectoryAndAddWithTheOverwriteAnswer) {
  kandelo::test::TempUserEnvironment env;
  const std::string lumDir = env.root() + "/lum", outside = env.root() + "/outside";
  std::filesystem::create_directories(lumDir);
  std::filesystem::create_directories(outside);
  kandelo::test::writeFile(lumDir + "/in.ldt", sampleLdt("Inside"));
  ASSERT_EQ(RunCli("settings set GLOBAL LUMDIR2 '" + lumDir + "'").exitCode, 0);
  EXPECT_EQ(RunCli("catalogue scan").out, counts(env, 1, 0, 0));

  kandelo::test::writeFile(outside + "/new.ldt", sampleLdt("First"));
  EXPECT_EQ(RunCli("catalogue add '" + outside + "/new.ldt'").out, counts(env, 1, 0, 0));
  EXPECT_EQ(kandelo::test::readFile(lumDir + "/new.ldt"), sampleLdt("First")) << "copied into the luminaire directory";

  kandelo::test::writeFile(outside + "/new.ldt", sampleLdt("Second"));
  struct Case {
    const char* option;
    const char* nameAfter;
  };
  // "No" keeps the file there and its entry as it was; "yes" replaces both.
  for (auto c : {Case{"", "First"}, Case{"--overwrite no", "First"}, Case{"--overwrite yes", "Second"}}) {
    const bool yes = std::string(c.option) == "--overwrite yes";
    auto r = RunCli("catalogue add '" + outside + "/new.ldt' " + c.option + " 2>/dev/null");
    EXPECT_EQ(r.out, yes ? counts(env, 0, 1, 0) : counts(env, 0, 0, 0, ", kept 1")) << c.option;
    auto list = nlohmann::json::parse(RunCli("catalogue list --json").out);
    ASSERT_EQ(list.size(), 2u);
    const auto& entry = list[0]["path"] == lumDir + "/new.ldt" ? list[0] : list[1];
    EXPECT_EQ(entry["path"], lumDir + "/new.ldt");
    EXPECT_EQ(entry["name"], c.nameAfter) << c.option;
  }
  auto missing = RunCli("catalogue add '" + outside + "/none.ldt' 2>/dev/null");
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_EQ(missing.out, counts(env, 0, 0, 1));
  EXPECT_EQ(kandelo::test::readFile(env.dataDir() + "/XX.DAT"), outside + "/none.ldt\r\n");
  EXPECT_FALSE(std::filesystem::exists("XX.DAT")) << "nothing is left in the current directory";
  EXPECT_EQ(RunCli("catalogue add x.ldt --overwrite maybe 2>/dev/null").exitCode, 2);
}

}  // namespace
