#include <gtest/gtest.h>

#include <algorithm>

#include <nlohmann/json.hpp>

#include "cli/cli_support.h"
#include "platform/fileio.h"
#include "support/test_support.h"

using kandelo::test::RunCli;

TEST(CliSettings, FreshUserGetsDefaultsAndLanguagesWrittenBack) {
  kandelo::test::TempUserEnvironment env;
  auto r = RunCli("settings --json");
  ASSERT_EQ(r.exitCode, 0) << r.out;
  auto j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j["ProgDir"], env.dataDir());
  EXPECT_EQ(j["DbLangExt"], ".GER");
  EXPECT_EQ(j["UiLangExt"], ".ENG");
  EXPECT_TRUE(j["MsgTxtFile"].get<std::string>().ends_with("MSGTXT.GER"));
  EXPECT_EQ(j.size(), 49u);  // every field of the record
  EXPECT_EQ(j["UserLogo"], "");  // no company logo on a new installation
  for (const char* d : {"LUMDAT", "PICTS", "SKETCH", "PDATA", "TXT", "LANGUAGE", "GRAPHS/POLAR"})
    EXPECT_TRUE(kandelo::platform::fs().isDirectory(env.dataDir() + "/" + d)) << d;
  std::string store = kandelo::test::readFile(env.settingsFile());
  EXPECT_NE(store.find("LANG1=GERMAN"), std::string::npos);
  EXPECT_NE(store.find("GERMAN=GER"), std::string::npos);
}

TEST(CliSettings, SetWritesOneValueAndUsageErrorsExitWithTwo) {
  kandelo::test::TempUserEnvironment env;
  ASSERT_EQ(RunCli("settings set USER NAME 'Lichtbau Müller'").exitCode, 0);
  auto j = nlohmann::json::parse(RunCli("settings --json").out);
  EXPECT_EQ(j["UserName"], "Lichtbau Müller");
  EXPECT_EQ(RunCli("settings set USER 2>/dev/null").exitCode, 2);
  EXPECT_EQ(RunCli("no-such-command 2>/dev/null").exitCode, 2);
  EXPECT_EQ(RunCli("--version").exitCode, 0);
}

// Texts whose lines would break apart in the settings file, or be read back as
// another section or value, are refused whole: one line, exit 2, the file as
// it was (here: the catalogue still where it was).
TEST(CliSettings, TextsTheFileCannotHoldAreRefused) {
  kandelo::test::TempUserEnvironment env;
  ASSERT_EQ(RunCli("settings set LANGUAGES DBLANG 2").exitCode, 0);  // English
  const std::string lumDb = nlohmann::json::parse(RunCli("settings --json").out)["LumDb"];
  const std::string before = kandelo::test::readFile(env.settingsFile());
  struct Case {
    std::string section, value, text, reason;
  } cases[] = {
      {"USER", "NAME", "x\n[GLOBAL]\nLUMDB=/elsewhere/LUMDB", "line breaks"},
      {"USER", "NAME", "x\rLUMDB=/elsewhere", "line breaks"},
      {"A\nB", "NAME", "x", "line breaks"},
      {"USER", "NA\nME", "x", "line breaks"},
      {"A]B", "NAME", "x", "a section name"},
      {"[GLOBAL", "NAME", "x", "a section name"},
      {"", "NAME", "x", "a section name"},
      {"USER", "LUMDB=/elsewhere", "x", "a value name"},
      {"USER", "[GLOBAL]", "x", "a value name"},
      {"USER", "", "x", "a value name"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.section + " / " + c.value + " / " + c.text);
    auto q = [](const std::string& s) { return "\"$(printf '" + s + "')\""; };
    // printf turns the \n and \r of the case into the characters themselves.
    std::string esc[3] = {c.section, c.value, c.text};
    for (auto& e : esc)
      for (std::size_t at = 0; (at = e.find_first_of("\n\r", at)) != std::string::npos;)
        e.replace(at, 1, e[at] == '\n' ? "\\n" : "\\r");
    auto r = RunCli("settings set " + q(esc[0]) + " " + q(esc[1]) + " " + q(esc[2]) + " 2>&1");
    EXPECT_EQ(r.exitCode, 2) << r.out;
    EXPECT_EQ(r.out.rfind("kandelo-cli: " + c.reason, 0), 0u) << r.out;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << r.out;
    EXPECT_EQ(kandelo::test::readFile(env.settingsFile()), before);
  }
  EXPECT_EQ(nlohmann::json::parse(RunCli("settings --json").out)["LumDb"], lumDb);
  // Brackets and "=" inside a value are text like any other.
  ASSERT_EQ(RunCli("settings set USER NAME 'Licht [und] Bau = gut'").exitCode, 0);
  EXPECT_EQ(nlohmann::json::parse(RunCli("settings --json").out)["UserName"], "Licht [und] Bau = gut");
}
