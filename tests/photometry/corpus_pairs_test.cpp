// The same luminaire in EULUMDAT and IES gives the same luminaire flux, and the
// absolute IES files give the lumens their laboratory summary reports.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "photometry/format_io.h"
#include "photometry/lum32.h"
#include "support/test_support.h"

namespace kandelo {
namespace {

// Luminaire flux in lm: the table is in cd per 1000 lm of lamp flux.
double LuminaireLumens(const TLUM32& lum) {
  double lamps = 0;
  for (int k = 0; k < lum.LampSetCount && k < kMaxLampSets; ++k) lamps += lum.LampSets[k].SetFlux;
  return lum.LumFlux * lamps / 1000.0;
}

double Load(const std::string& file, TLUM32& lum) {
  const LoadResult loaded = LoadLuminaire(test::corpusPath(file), lum);
  EXPECT_TRUE(loaded.ok()) << loaded.messages.joined();
  EXPECT_TRUE(loaded.messages.empty());
  return LuminaireLumens(lum);
}

TEST(CorpusPairs, BothFormatsOfALuminaireGiveTheSameFlux) {
  if (!test::corpusAvailable()) GTEST_SKIP() << "corpus not available";
  const std::string luxpy = "luxpy/testcode/iolid_data/";
  struct Case {
    std::string ldt, ies;
  } cases[] = {
      {luxpy + "Testlamp_Isym4_43cef5d76a391dd85c41d4d09d68600d.ldt",
       luxpy + "Testlamp_Isym4_43cef5d76a391dd85c41d4d09d68600d.ies"},
      {luxpy + "Testlamp_Isym4_43cef5d76a391dd85c41d4d09d68600d.ldt", "derived/Testlamp_Isym4_iesna91.ies"},
      {luxpy + "Testlamp_Isym2_theta180+_erco_33499000_1xqt32_230w.ldt",
       luxpy + "Testlamp_Isym2_theta180+_erco_33499000_1xqt32_230w.IES"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.ies);
    TLUM32 a, b;
    const double ldt = Load(c.ldt, a), ies = Load(c.ies, b);
    EXPECT_GT(ldt, 0);
    EXPECT_NEAR(ies, ldt, 0.01 * ldt);
    EXPECT_NEAR(b.LOR, a.LOR, 0.01 * a.LOR);
    EXPECT_NEAR(b.DFF, a.DFF, 0.01);
  }
}

// | file | method | symmetry | max h | equal | lab | electrical | toolbox lumen | …
std::vector<std::pair<std::string, double>> SummaryLumens() {
  std::vector<std::pair<std::string, double>> out;
  std::istringstream in(test::readFile(test::corpusPath("CU-calculations-based-on-IES-file/ies/ies_summary.md")));
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> cells;
    std::stringstream ss(line);
    for (std::string cell; std::getline(ss, cell, '|');) cells.push_back(cell);
    if (cells.size() < 9) continue;
    std::string name = cells[1];
    name.erase(0, name.find_first_not_of(' '));
    name.erase(name.find_last_not_of(' ') + 1);
    try {
      out.emplace_back(name, std::stod(cells[8]));
    } catch (...) {  // the header and ruler rows
    }
  }
  return out;
}

TEST(CorpusPairs, AbsoluteIesFilesGiveTheReportedLumens) {
  if (!test::corpusAvailable()) GTEST_SKIP() << "corpus not available";
  const auto summary = SummaryLumens();
  ASSERT_GE(summary.size(), 8u);
  for (const auto& [name, lumens] : summary) {
    SCOPED_TRACE(name);
    // The summary names the files in lower case, the folder holds "1.IES".
    std::string file = "CU-calculations-based-on-IES-file/ies/" + name;
    if (!std::filesystem::exists(test::corpusPath(file))) file = file.substr(0, file.size() - 3) + "IES";
    TLUM32 lum;
    EXPECT_NEAR(Load(file, lum), lumens, 0.02 * lumens);
    // Absolute photometry has no lamp: the light output ratio is 100 %.
    EXPECT_NEAR(lum.LOR, 100, 0.05);
  }
}

}  // namespace
}  // namespace kandelo
