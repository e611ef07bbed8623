// kandelo-cli validate: the corpus's broken files are errors with codes and
// exit code 1, its quirks are warnings, clean files print nothing.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/cli_support.h"
#include "support/test_support.h"

namespace kandelo {
namespace {

using test::RunCli;

std::string Corpus(const std::string& relative) { return "'" + test::corpusPath(relative) + "'"; }

TEST(ValidateCli, BrokenFilesAreErrorsQuirksWarningsAndCleanFilesSilent) {
  if (!test::corpusAvailable()) GTEST_SKIP() << "corpus not available";
  const std::string clean = Corpus("eulumdat-ugr/data/input/sample_01.ldt") + " " +
                            Corpus("CU-calculations-based-on-IES-file/ies/1.IES");
  auto r = RunCli("validate " + clean);
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "");

  const std::string quirks = Corpus("photometric-viewer/tests/data/photometrics/ldt/no_symmetry.ldt") + " " +
                             Corpus("lidrs/src/io/ies/iesna2002_example_typec.ies");
  r = RunCli("validate " + quirks);
  EXPECT_EQ(r.exitCode, 0) << "warnings only";
  EXPECT_NE(r.out.find("no_symmetry.ldt:4: warning L03: Mc x Dc = 24 x 90.0 is not 360"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("iesna2002_example_typec.ies:1: warning I01: the version line \"IESNA: LM-63-2002\""),
            std::string::npos)
      << r.out;

  r = RunCli("validate --json " + clean + " " + Corpus("derived/sample_05_truncated.ldt") + " " +
             Corpus("gldf-rs/tests/data/lampsets.ies"));
  EXPECT_EQ(r.exitCode, 1);
  const auto all = nlohmann::json::parse(r.out);
  ASSERT_EQ(all.size(), 4u);
  EXPECT_EQ(all[0]["problems"].size(), 0u);
  EXPECT_EQ(all[0]["format"], "EULUM-DAT");
  auto has = [](const nlohmann::json& file, const std::string& code, int line) {
    for (const auto& p : file["problems"])
      if (p["code"] == code && p["severity"] == "error" && (line == 0 ? p["line"].is_null() : p["line"] == line))
        return true;
    return false;
  };
  EXPECT_TRUE(has(all[2], "R03", 0)) << all[2].dump();
  EXPECT_TRUE(has(all[2], "L04", 138)) << all[2].dump();
  EXPECT_TRUE(has(all[3], "R03", 0)) << all[3].dump();
  EXPECT_TRUE(has(all[3], "I08", 13)) << all[3].dump();
  EXPECT_GT(all[3]["errors"].get<int>(), 0);
}

TEST(ValidateCli, AMissingFileIsAnErrorAndNoFileAUsageError) {
  test::TempDir dir;
  auto r = RunCli("validate '" + dir.file("none.ldt") + "'");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, dir.file("none.ldt") + ": error R01: file not found\n");
  EXPECT_EQ(RunCli("validate 2>/dev/null").exitCode, 2);
}

}  // namespace
}  // namespace kandelo
