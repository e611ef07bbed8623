#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "cli/cli_support.h"
#include "support/test_support.h"

namespace {

using kandelo::test::RunCli;

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
  EXPECT_EQ(RunCli("catalogue rebuild").out, "rebuilt: 2 records\n");
  std::filesystem::remove(tree + "/b.ldt");
  auto check = RunCli("catalogue check");
  EXPECT_EQ(check.exitCode, 1);
  EXPECT_NE(check.out.find("1 files missing"), std::string::npos) << check.out;

  EXPECT_EQ(RunCli("catalogue scan '" + tree + "/none' 2>/dev/null").exitCode, 1);
  EXPECT_EQ(RunCli("catalogue list --key 7 2>/dev/null").exitCode, 2);
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
