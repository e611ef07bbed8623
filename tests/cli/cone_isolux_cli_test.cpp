#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "cli/cli_support.h"
#include "photometry/ldt_fixture.h"
#include "support/test_support.h"

using kandelo::test::RunCli;

namespace {

// Rotationally symmetric, I = 100·(7 − k) at γ 15·k: half of I0 at 52.5°.
std::string Fixture(const kandelo::test::TempDir& dir) {
  kandelo::test::LdtSpec s;
  s.isym = "1", s.planes = 1;
  s.value = [](int, int j) { return std::to_string(100 * (7 - j)); };
  std::string path = dir.file("rot.ldt");
  kandelo::test::writeFile(path, kandelo::test::MakeLdt(s));
  return path;
}

// Symmetric to the C0-C180 plane: every plane like Fixture's but C 90 (and
// so C 270), which falls to half of its 700 cd/klm at 24.4°.
std::string Asymmetric(const kandelo::test::TempDir& dir) {
  kandelo::test::LdtSpec s;
  s.isym = "2", s.planes = 13;
  s.value = [](int p, int j) {
    const int c90[7] = {700, 600, 200, 0, 0, 0, 0};
    return std::to_string(p == 6 ? c90[j] : 100 * (7 - j));
  };
  std::string path = dir.file("asym.ldt");
  kandelo::test::writeFile(path, kandelo::test::MakeLdt(s));
  return path;
}

}  // namespace

// The beam angle of each plane pair: equal for a rotational luminaire, and
// for an asymmetric one C 90 - C 270 of its own (it used to repeat C 0).
TEST(CliConeIsolux, ConeJsonHasTheBeamAnglesOfBothPlanePairs) {
  kandelo::test::TempUserEnvironment env;
  kandelo::test::TempDir dir;
  struct Case {
    const char* what;
    std::string file;
    double c0c180, c90c270;
    bool secondCone;
  } cases[] = {
      {"rotational", Fixture(dir), 105, 105, false},
      {"asymmetric", Asymmetric(dir), 105, 48.8, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto r = RunCli("evaluate --json '" + c.file + "'");
    ASSERT_EQ(r.exitCode, 0) << r.out;
    const auto cone = nlohmann::json::parse(r.out)["cone"];
    EXPECT_NEAR(cone["beam_angles"]["c0_c180"].get<double>(), c.c0c180, 0.3);
    EXPECT_NEAR(cone["beam_angles"]["c90_c270"].get<double>(), c.c90c270, 0.3);
    const auto& first = cone["steps"][0];
    EXPECT_EQ(first.contains("diameter_c90"), c.secondCone);
    if (c.secondCone) {
      // 2.5 m × tan 24.4° on each side of the axis.
      EXPECT_NEAR(first["diameter_c90"].get<double>(), 5 * std::tan(c.c90c270 / 2 * M_PI / 180), 0.06);
      EXPECT_GT(first["mean_illuminance_c90"].get<double>(), first["mean_illuminance"].get<double>());
    }
  }
}

TEST(CliConeIsolux, EvaluateJsonHasAnglesConeAndContours) {
  kandelo::test::TempUserEnvironment env;
  kandelo::test::TempDir dir;
  const std::string file = Fixture(dir);
  auto r = RunCli("evaluate --json '" + file + "' --isolux-side 12 --isolux-height 4");
  ASSERT_EQ(r.exitCode, 0) << r.out;
  const auto j = nlohmann::json::parse(r.out);
  EXPECT_NEAR(j["half_value_angles"]["c0"].get<double>(), 52.5, 0.15);
  EXPECT_EQ(j["half_value_angles"]["c0"], j["half_value_angles"]["c90"]);
  const auto& steps = j["cone"]["steps"];
  ASSERT_EQ(steps.size(), 4u);  // "10 m": 2.5, 5, 7.5, 10
  EXPECT_EQ(steps[3]["distance"], 10.0);
  EXPECT_EQ(steps[0]["axis_illuminance"], 336.0);  // 700 cd/klm × 3 klm / 6.25 m²
  EXPECT_NEAR(steps[0]["diameter"].get<double>(), 5 * std::tan(j["half_value_angles"]["c0"].get<double>() * M_PI / 180), 0.06);
  const auto& iso = j["isolux"];
  EXPECT_EQ(iso["side"], 12.0);
  EXPECT_EQ(iso["height"], 4.0);
  // Below the luminaire 700 cd/klm × 3 klm / 16 m², less the falling
  // intensity across the node next to the axis.
  EXPECT_LT(iso["max"].get<double>(), 700 * 3 / 16.0);
  EXPECT_GT(iso["max"].get<double>(), 0.96 * 700 * 3 / 16.0);
  ASSERT_FALSE(iso["levels"].empty());
  ASSERT_EQ(iso["contours"].size(), iso["levels"].size());
  for (const auto& c : iso["contours"]) {
    ASSERT_GE(c["points"].size(), 4u);
    for (const auto& p : c["points"]) EXPECT_LE(std::max(std::fabs(p[0].get<double>()), std::fabs(p[1].get<double>())), 6.001);
  }
  // Parameters outside their range are refused with a message.
  r = RunCli("evaluate --json '" + file + "' --isolux-side 0 2>&1");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.out.find("between"), std::string::npos) << r.out;
}

TEST(CliConeIsolux, DiagramKinds) {
  kandelo::test::TempUserEnvironment env;
  kandelo::test::TempDir dir;
  const std::string file = Fixture(dir);
  for (const char* kind : {"cone", "isolux"}) {
    const std::string out = dir.file(std::string(kind) + ".wmf");
    auto r = RunCli(std::string("diagram '") + file + "' --kind " + kind + " --distances 7,5 --side 8 --height 3 -o '" + out + "'");
    EXPECT_EQ(r.exitCode, 0) << kind;
    EXPECT_GT(std::filesystem::file_size(out), 500u) << kind;
  }
  EXPECT_EQ(RunCli("diagram '" + file + "' --kind cone --distances 8 -o '" + dir.file("x.wmf") + "' 2>/dev/null").exitCode, 1);
  EXPECT_EQ(RunCli("diagram '" + file + "' --kind isolux --height -2 -o '" + dir.file("x.wmf") + "' 2>/dev/null").exitCode, 1);
  EXPECT_EQ(RunCli("diagram '" + file + "' --kind isolux --language xyz -o '" + dir.file("x.wmf") + "' 2>/dev/null").exitCode, 2);
  EXPECT_EQ(RunCli("diagram '" + file + "' --kind cone --language eng -o '" + dir.file("x.wmf") + "'").exitCode, 0);
}
