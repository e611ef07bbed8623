// kandelo-cli new: an empty luminaire on the grid asked for, in each format,
// and the wizard's refusals before anything is written.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "cli/cli_support.h"
#include "support/test_support.h"

using kandelo::test::RunCli;

TEST(CliNew, WritesAnEmptyLuminaireOnTheGrid) {
  kandelo::test::TempUserEnvironment env;
  kandelo::test::TempDir dir;
  const struct {
    const char* args;
    const char* file;
    int symmetry, planes, gammas;
  } cases[] = {
      {"", "a.ldt", 0, 24, 19},
      {"--format l32 --symmetry 4 --c-step 7.5", "b.l32", 4, 13, 19},
      {"--format ies95 --symmetry 1 --gamma-step 2.5 --gamma-end 180", "c.ies", 1, 1, 73},
      {"--format tm14 --symmetry 2 --c-step 30 --gamma-end 87 --gamma-step 29", "d.cib", 2, 7, 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string out = dir.file(c.file);
    ASSERT_EQ(RunCli("new '" + out + "' --name 'Empty' " + c.args).exitCode, 0);
    const auto j = nlohmann::json::parse(RunCli("info --json '" + out + "'").out);
    EXPECT_EQ(j["symmetry"], c.symmetry);
    EXPECT_EQ(j["c_plane_count"], c.planes);
    EXPECT_EQ(j["gamma_count"], c.gammas);
    EXPECT_EQ(j["imax"], 0.0);
  }
}

TEST(CliNew, RefusesInvalidGridsAndExistingFiles) {
  kandelo::test::TempUserEnvironment env;
  kandelo::test::TempDir dir;
  const std::string out = dir.file("x.ldt");
  for (const char* args : {"--symmetry 4 --c-step 7", "--gamma-step 4", "--gamma-end 2 --gamma-step 5",
                           "--symmetry 5", "--gamma-start 90"}) {
    SCOPED_TRACE(args);
    const auto r = RunCli("new '" + out + "' " + args + " 2>&1");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(r.out.empty());
    EXPECT_FALSE(std::filesystem::exists(out));
  }
  kandelo::test::writeFile(out, "keep");
  EXPECT_EQ(RunCli("new '" + out + "' 2>/dev/null").exitCode, 1);
  EXPECT_EQ(kandelo::test::readFile(out), "keep");
  EXPECT_EQ(RunCli("new '" + out + "' --overwrite").exitCode, 0);
  EXPECT_NE(kandelo::test::readFile(out), "keep");
  EXPECT_EQ(RunCli("new '" + dir.file("missing/y.ldt") + "' 2>/dev/null").exitCode, 1);
}
