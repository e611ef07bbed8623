// kandelo-cli catalogue export-list / print-list and lamps list / add / delete.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "cli/cli_support.h"
#include "support/test_support.h"

namespace {

using kandelo::test::RunCli;

std::string sampleLdt(const std::string& maker, const std::string& name) {
  std::string s = maker + "\r\n1\r\n1\r\n1\r\n0\r\n19\r\n5\r\nReport\r\n" + name +
                  "\r\nT-1\r\nt.ldt\r\ndate\r\n600\r\n600\r\n100\r\n500\r\n500\r\n0\r\n0\r\n0\r\n0\r\n"
                  "100\r\n80\r\n1\r\n0\r\n1\r\n2\r\nT8 36W\r\n6700\r\n840\r\n80\r\n72\r\n";
  for (int i = 0; i < 10; ++i) s += "0.5\r\n";
  s += "0\r\n";
  for (int i = 0; i < 19; ++i) s += std::to_string(5 * i) + "\r\n";
  for (int i = 0; i < 19; ++i) s += std::to_string(300 - 15 * i) + "\r\n";
  return s;
}

TEST(CliList, ExportAndPrintTheListOfAKeyRange) {
  kandelo::test::TempUserEnvironment env;
  const std::string tree = env.root() + "/lum";
  std::filesystem::create_directories(tree);
  const char* rows[][2] = {{"Zenit", "Bravo"}, {"Mira", "alpha"}, {"Aurel", "Carat"}};
  for (auto& r : rows) kandelo::test::writeFile(tree + "/" + r[1] + ".ldt", sampleLdt(r[0], r[1]));
  ASSERT_EQ(RunCli("catalogue scan '" + tree + "'").exitCode, 0);

  const std::string txt = env.root() + "/list.txt";
  auto all = RunCli("catalogue export-list --key 5 -o '" + txt + "'");
  ASSERT_EQ(all.exitCode, 0) << all.out;
  EXPECT_EQ(all.out, "3\n");
  EXPECT_EQ(kandelo::test::readFile(txt),
            "Hersteller\tLeuchtentyp\tLeuchtennummer\tDateiname\tFormat\r\n"
            "Aurel\tCarat\tT-1\tCarat.ldt\tEULUM-DAT\r\n"
            "Mira\talpha\tT-1\talpha.ldt\tEULUM-DAT\r\n"
            "Zenit\tBravo\tT-1\tBravo.ldt\tEULUM-DAT\r\n");
  // Lower-case limits mean the upper-case keys.
  ASSERT_EQ(RunCli("catalogue export-list --from a --to b -o '" + txt + "'").out, "2\n");
  // Reversed limits: nothing, said, and the old list stays.
  auto reversed = RunCli("catalogue export-list --from C --to A -o '" + txt + "' 2>&1");
  EXPECT_EQ(reversed.exitCode, 1);
  EXPECT_NE(reversed.out.find("--from"), std::string::npos) << reversed.out;
  const std::string kept = kandelo::test::readFile(txt);
  EXPECT_EQ(std::count(kept.begin(), kept.end(), '\n'), 3);
  // A path that cannot be written: an error, no file.
  EXPECT_EQ(RunCli("catalogue export-list -o '" + env.root() + "/none/list.txt' 2>/dev/null").exitCode, 1);
  EXPECT_FALSE(std::filesystem::exists(env.root() + "/none"));
  EXPECT_EQ(RunCli("catalogue export-list --key 4 -o x.txt 2>/dev/null").exitCode, 2);

  const std::string pdf = env.root() + "/list.pdf";
  auto printed = RunCli("catalogue print-list -o '" + pdf + "'");
  ASSERT_EQ(printed.exitCode, 0) << printed.out;
  EXPECT_EQ(printed.out, "3 entries, 1 pages\n");
  EXPECT_EQ(kandelo::test::readFile(pdf).rfind("%PDF", 0), 0u);
  EXPECT_EQ(RunCli("catalogue print-list -o '" + env.root() + "/none/list.pdf' 2>/dev/null").exitCode, 1);
}

TEST(CliLamps, AddListAndDeleteWithTheirRefusals) {
  kandelo::test::TempUserEnvironment env;
  ASSERT_EQ(RunCli("lamps add 'Probe 36W' 36 3350 9").exitCode, 0);
  ASSERT_EQ(RunCli("lamps add 'Probe 36W' 58 5200").exitCode, 0) << "another wattage of the same type";
  auto dup = RunCli("lamps add 'Probe 36W' 36 3000 2>&1");
  EXPECT_EQ(dup.exitCode, 1);
  EXPECT_EQ(dup.out, "kandelo-cli: Lamp already exists !\n");
  EXPECT_EQ(RunCli("lamps add 'a lamp type longer than twenty' 36 3000 2>/dev/null").exitCode, 1);
  EXPECT_EQ(RunCli("lamps add X 40000 3000 2>/dev/null").exitCode, 1);

  auto list = RunCli("lamps list --json");
  ASSERT_EQ(list.exitCode, 0);
  auto j = nlohmann::json::parse(list.out);
  bool found36 = false, found58 = false;
  for (const auto& l : j) {
    if (l["type"] == "Probe 36W" && l["watt"] == 36) found36 = l["flux"] == 3350.0 && l["ballast"] == 9;
    if (l["type"] == "Probe 36W" && l["watt"] == 58) found58 = true;
  }
  EXPECT_TRUE(found36 && found58) << list.out;

  ASSERT_EQ(RunCli("lamps delete 'Probe 36W' 36").exitCode, 0);
  EXPECT_EQ(RunCli("lamps delete 'Probe 36W' 36 2>/dev/null").exitCode, 1);
  EXPECT_EQ(nlohmann::json::parse(RunCli("lamps list --json").out).size(), j.size() - 1);
}

// What the table cannot keep as given is refused, not stored changed: letters
// outside its character set, tabs and line breaks, a type that differs from
// a stored one only in case, a negative flux (also "-0").
TEST(CliLamps, WhatTheTableCannotKeepIsRefused) {
  kandelo::test::TempUserEnvironment env;
  ASSERT_EQ(RunCli("settings set LANGUAGES DBLANG 2").exitCode, 0);  // English
  ASSERT_EQ(RunCli("lamps add 'Probe Halide' 250 20000").exitCode, 0);
  const std::string before = RunCli("lamps list --json").out;
  struct Case {
    const char* type;  // a printf format: octal bytes, tab and line feed
    const char* numbers;
    const char* reason;
  } cases[] = {
      {"\\345\\205\\211\\345\\205\\211", "10 100", "the lamp type holds characters"},  // two CJK letters
      {"a\\tb", "10 100", "the lamp type holds characters"},
      {"a\\nb", "10 100", "the lamp type holds characters"},
      {"probe HALIDE", "250 20000", "Lamp already exists"},
      {"Probe", "10 -0", "the flux must lie"},
      {"Probe", "10 -5", "the flux must lie"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    auto r = RunCli(std::string("lamps add \"$(printf '") + c.type + "')\" " + c.numbers + " 2>&1");
    EXPECT_EQ(r.exitCode, 1) << r.out;
    EXPECT_EQ(r.out.rfind(std::string("kandelo-cli: ") + c.reason, 0), 0u) << r.out;
  }
  EXPECT_EQ(RunCli("lamps list --json").out, before);
  // Other letters of the table's character set are stored as they are.
  ASSERT_EQ(RunCli("lamps add 'Lampe \xC3\xA4\xC3\xB6' 10 100").exitCode, 0);
  EXPECT_NE(RunCli("lamps list --json").out.find("Lampe \xC3\xA4\xC3\xB6"), std::string::npos);
}

}  // namespace
