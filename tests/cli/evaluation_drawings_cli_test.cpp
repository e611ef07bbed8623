// kandelo-cli diagram with the evaluation kinds and the glare, floor-curve
// and luminaire-count parts of evaluate --json.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/cli_support.h"
#include "photometry/ldt_fixture.h"
#include "support/test_support.h"

using kandelo::test::RunCli;

namespace {

// Rotationally symmetric, I = 100·(7 − k) at γ 15·k (γ 0 … 90), 3000 lm.
std::string Fixture(const kandelo::test::TempDir& dir) {
  kandelo::test::LdtSpec s;
  s.isym = "1", s.planes = 1;
  s.value = [](int, int j) { return std::to_string(100 * (7 - j)); };
  const std::string path = dir.file("rot.ldt");
  kandelo::test::writeFile(path, kandelo::test::MakeLdt(s));
  return path;
}

}  // namespace

TEST(CliEvaluationDrawings, EvaluateJsonHasGlareFloorCurvesAndCount) {
  kandelo::test::TempUserEnvironment env;
  kandelo::test::TempDir dir;
  const auto r = RunCli("evaluate --json '" + Fixture(dir) + "'");
  ASSERT_EQ(r.exitCode, 0) << r.out;
  const auto j = nlohmann::json::parse(r.out);
  ASSERT_TRUE(j.contains("ugr"));  // the existing keys stay
  EXPECT_EQ(j["glare"]["profiles"]["c0"].size(), 161u);
  EXPECT_EQ(j["glare"]["profiles"]["c90"].size(), 161u);
  EXPECT_TRUE(j["glare"]["sided"]["c0"].is_boolean());
  ASSERT_FALSE(j["glare"]["limit_curves"].empty());
  for (const auto& c : j["glare"]["limit_curves"]) EXPECT_NE(c["illuminance"], 250);

  const auto& floor = j["floor_curves"];
  ASSERT_EQ(floor["curves"].size(), 3u);
  for (std::size_t h = 0; h < 3; ++h) {
    const auto& curve = floor["curves"][h];
    ASSERT_EQ(curve["points"].size(), 321u);
    // Below the luminaire (x = 0 at point 80): I(0°)·Φ/1000·MF / h².
    const double height = curve["height"];
    EXPECT_EQ(curve["points"][80][0], 0.0);
    EXPECT_NEAR(curve["points"][80][1].get<double>(), 700 * 3.0 * 0.8 / (height * height), 2e-3);
  }
  EXPECT_EQ(floor["scale"][0], 1.0);

  const auto& count = j["luminaire_count"]["rows"];
  ASSERT_EQ(count.size(), 9u);
  for (const auto& row : count) {
    ASSERT_EQ(row["rooms"].size(), 8u);
    for (const auto& room : row["rooms"]) {
      if (room["count"].is_null()) continue;
      const double n = room["count"];
      const int shown = room["shown"];
      EXPECT_GE(shown, n - 1e-3);
      EXPECT_LT(shown, n + 1);
    }
  }
}

TEST(CliEvaluationDrawings, EveryKindWritesAMetafileInEveryLanguage) {
  kandelo::test::TempUserEnvironment env;
  kandelo::test::TempDir dir;
  const std::string file = Fixture(dir);
  for (const char* kind : {"utf-din", "utf-tm5", "utf-nb", "ugr", "glare", "glare-table", "floor", "count"})
    for (const char* lang : {"ger", "eng", "fra"}) {
      SCOPED_TRACE(std::string(kind) + " " + lang);
      const std::string out = dir.file(std::string(kind) + lang + ".wmf");
      const auto r = RunCli("diagram '" + file + "' --kind " + kind + " --language " + lang + " -o '" + out + "' 2>&1");
      ASSERT_EQ(r.exitCode, 0) << r.out;
      const std::string wmf = kandelo::test::readFile(out);
      ASSERT_GT(wmf.size(), 1000u);
      EXPECT_EQ(wmf.substr(0, 4), std::string("\xD7\xCD\xC6\x9A", 4));
    }
}

TEST(CliEvaluationDrawings, ParametersOutOfRangeAreUsageErrors) {
  kandelo::test::TempUserEnvironment env;
  kandelo::test::TempDir dir;
  const std::string file = Fixture(dir);
  const std::string out = dir.file("x.wmf");
  for (const char* args : {"--maintenance 1.5", "--maintenance 0", "--heights 1,2", "--heights 0,2,3",
                           "--illuminances 20,50,0", "--area 4", "--reflectances 15", "--luminaires 0",
                           "--section 6,-2", "--height-preset 3", "--language xx", "--emergency --luminaires 101"}) {
    SCOPED_TRACE(args);
    const auto r = RunCli("diagram '" + file + "' --kind floor " + args + " -o '" + out + "' 2>&1");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << r.out;
  }
  // Valid parameters draw.
  EXPECT_EQ(RunCli("diagram '" + file + "' --kind floor --heights 2,3,4 --section -4,12 --emergency --luminaires 3 "
                   "--maintenance 0.67 -o '" + out + "'")
                .exitCode,
            0);
  EXPECT_EQ(RunCli("diagram '" + file + "' --kind count --illuminances 300,500,750 --area 3 --reflectances 14 -o '" +
                   out + "'")
                .exitCode,
            0);
}
