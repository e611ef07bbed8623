#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/cli_support.h"
#include "photometry/ldt_fixture.h"
#include "support/test_support.h"

using kandelo::test::RunCli;

namespace {

// A rotationally symmetric file with I = 100·(7 − k) at γ 15·k.
std::string Fixture(const kandelo::test::TempDir& dir) {
  kandelo::test::LdtSpec s;
  s.isym = "1", s.planes = 1;
  s.value = [](int, int j) { return std::to_string(100 * (7 - j)); };
  std::string text = kandelo::test::MakeLdt(s);
  text.replace(text.find("Leuchte A"), 9, "Leuchte \xC4");  // 1252 text
  std::string path = dir.file("rot.ldt");
  kandelo::test::writeFile(path, text);
  return path;
}

}  // namespace

TEST(CliPhotometry, InfoPrintsTheLuminaireAsJson) {
  kandelo::test::TempUserEnvironment env;
  kandelo::test::TempDir dir;
  auto r = RunCli("info --json '" + Fixture(dir) + "'");
  ASSERT_EQ(r.exitCode, 0) << r.out;
  auto j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j["format_code"], 0);
  EXPECT_EQ(j["format"], "EULUM-DAT");
  EXPECT_EQ(j["symmetry"], 1);
  EXPECT_EQ(j["gamma_count"], 7);
  EXPECT_EQ(j["gamma_angles"].back(), 90.0);
  EXPECT_EQ(j["texts"]["name"], "Leuchte \u00C4");
  EXPECT_EQ(j["cie_flux_code"].size(), 5u);
  EXPECT_EQ(j["zonal_flux"].size(), 36u);
  EXPECT_EQ(j["lamp_sets"][0]["set_flux"], 3000.0);
  EXPECT_NEAR(j["dff"].get<double>(), 1.0, 1e-6);
  EXPECT_NEAR(j["lor"].get<double>() * 10, j["lum_flux"].get<double>(), 1e-3);
  EXPECT_EQ(j["imax"], 700.0);
}

TEST(CliPhotometry, IntensityAndConvert) {
  kandelo::test::TempUserEnvironment env;
  kandelo::test::TempDir dir;
  std::string file = Fixture(dir);
  auto r = RunCli("intensity '" + file + "' 0 0 7.5 200 95 0");
  ASSERT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "700.0000\n650.0000\n0.0000\n");
  EXPECT_EQ(RunCli("intensity '" + file + "' 10 2>/dev/null").exitCode, 2);
  EXPECT_EQ(RunCli("intensity '" + dir.file("none.ldt") + "' 0 0 2>/dev/null").exitCode, 1);

  std::string out = dir.file("rot.l32");
  ASSERT_EQ(RunCli("convert '" + file + "' --to l32 -o '" + out + "'").exitCode, 0);
  auto a = nlohmann::json::parse(RunCli("info --json '" + file + "'").out);
  auto b = nlohmann::json::parse(RunCli("info --json '" + out + "'").out);
  EXPECT_EQ(b["format"], "LUM32 (QVM)");
  EXPECT_EQ(b["lum_flux"], a["lum_flux"]);
  EXPECT_EQ(b["texts"], a["texts"]);
  EXPECT_EQ(RunCli("convert '" + file + "' --to xyz -o x 2>/dev/null").exitCode, 2);
}
