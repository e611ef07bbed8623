// kandelo-cli datasheet: page counts of the PDF, and what bad input gives.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>

#include "cli/cli_support.h"
#include "photometry/ldt_fixture.h"
#include "support/test_support.h"

using kandelo::test::RunCli;

namespace {

// 24 planes C 0 … 345, γ 0 … 90 in 15° steps; a 1150 × 250 mm luminous area
// unless `withArea` is false.
std::string Fixture(const kandelo::test::TempDir& dir, bool withArea = true) {
  kandelo::test::LdtSpec s;
  s.isym = "0";
  s.planes = 24;
  s.value = [](int p, int j) { return std::to_string(j < 6 ? 300 - 40 * j + p : 0); };
  std::string text = kandelo::test::MakeLdt(s);
  if (!withArea) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    lines[15] = lines[16] = "0";
    text.clear();
    for (const auto& l : lines) text += l + "\n";
  }
  const std::string path = dir.file(withArea ? "area.ldt" : "noarea.ldt");
  kandelo::test::writeFile(path, text);
  return path;
}

// Pages of a PDF: its page objects.
int PdfPages(const std::string& path) {
  const std::string pdf = kandelo::test::readFile(path);
  if (pdf.rfind("%PDF", 0) != 0) return -1;
  const std::regex page("/Type\\s*/Page[^s]");
  return static_cast<int>(std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()));
}

}  // namespace

TEST(CliDatasheet, PageCountsFollowTheChoice) {
  kandelo::test::TempUserEnvironment env;
  kandelo::test::TempDir dir;
  const std::string lum = Fixture(dir), bare = Fixture(dir, false);
  std::string planes25;
  for (int i = 0; i < 25; ++i) planes25 += (i ? "," : "") + std::to_string(i * 14);
  const struct {
    std::string file, args;
    int pages;
  } cases[] = {
      {lum, "--pages main", 1},
      {lum, "--pages polar,cartesian --planes " + planes25, 4},
      {lum, "--pages main,polar,cartesian --planes none", 1},
      // 7 γ × 24 planes: three table pages.
      {lum, "--pages table", 3},
      // main, polar, cartesian (0 and 90), cone, count, floor, 3 tables, UGR, glare, 3 UTF, isolux.
      {lum, "--pages all --language fra", 15},
      {bare, "--pages all --language eng", 13},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    const std::string out = dir.file("sheet.pdf");
    const auto r = RunCli("datasheet '" + c.file + "' " + c.args + " -o '" + out + "' 2>&1");
    ASSERT_EQ(r.exitCode, 0) << r.out;
    EXPECT_EQ(PdfPages(out), c.pages);
  }
}

TEST(CliDatasheet, BadInputWritesNothing) {
  kandelo::test::TempUserEnvironment env;
  kandelo::test::TempDir dir;
  const std::string lum = Fixture(dir);
  // A directory that does not exist: exit 1 and no file.
  auto r = RunCli("datasheet '" + lum + "' -o '" + dir.file("missing/sheet.pdf") + "' 2>&1");
  EXPECT_EQ(r.exitCode, 1) << r.out;
  EXPECT_FALSE(std::filesystem::exists(dir.file("missing")));
  // A file that is no luminaire.
  kandelo::test::writeFile(dir.file("junk.ldt"), "not photometric data\n");
  r = RunCli("datasheet '" + dir.file("junk.ldt") + "' -o '" + dir.file("junk.pdf") + "' 2>&1");
  EXPECT_EQ(r.exitCode, 1) << r.out;
  EXPECT_FALSE(std::filesystem::exists(dir.file("junk.pdf")));
  // Usage errors.
  EXPECT_EQ(RunCli("datasheet '" + lum + "' --pages nonsense -o '" + dir.file("a.pdf") + "' 2>&1").exitCode, 2);
  EXPECT_EQ(RunCli("datasheet '" + lum + "' -o '" + dir.file("a.png") + "' 2>&1").exitCode, 2);
  EXPECT_EQ(RunCli("datasheet '" + lum + "' --planes 400 -o '" + dir.file("a.pdf") + "' 2>&1").exitCode, 2);
  EXPECT_FALSE(std::filesystem::exists(dir.file("a.pdf")));
  // Nothing of the temporary file stays behind.
  for (const auto& e : std::filesystem::directory_iterator(dir.path()))
    EXPECT_EQ(e.path().filename().string().find(".part"), std::string::npos) << e.path();
}

TEST(CliDatasheet, ThePdfNamesLuminaireCompanyAndProgram) {
  kandelo::test::TempUserEnvironment env;
  kandelo::test::TempDir dir;
  const std::string lum = Fixture(dir), out = dir.file("sheet.pdf");
  ASSERT_EQ(RunCli("settings set USER NAME 'Lichtwerk Süd GmbH'").exitCode, 0);
  const auto r = RunCli("datasheet '" + lum + "' --pages main --language eng -o '" + out + "' 2>&1");
  ASSERT_EQ(r.exitCode, 0) << r.out;
  const auto info = kandelo::test::RunShell("pdfinfo '" + out + "' 2>&1");
  if (info.exitCode == 127) GTEST_SKIP() << "pdfinfo is missing";
  using kandelo::test::ReportField;
  EXPECT_EQ(ReportField(info.out, "Title"), "Leuchte A A-100") << info.out;
  EXPECT_EQ(ReportField(info.out, "Author"), "Lichtwerk Süd GmbH");
  EXPECT_EQ(ReportField(info.out, "Subject"), "Data sheet");
  EXPECT_EQ(ReportField(info.out, "Creator").rfind("Kandelo ", 0), 0u);
  EXPECT_EQ(ReportField(info.out, "Pages"), "1");
}
