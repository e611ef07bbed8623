#include <gtest/gtest.h>

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
