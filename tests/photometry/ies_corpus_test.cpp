// Every IES, TM14 and LTLI file of the sample corpus: read without a crash,
// and the computed flux against the lumens the file (or its source) states.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <sstream>

#include "photometry/format_io.h"
#include "photometry/lum32.h"
#include "support/test_support.h"

namespace kandelo {
namespace {

namespace fsys = std::filesystem;

bool IsOurs(const fsys::path& p) {
  std::string ext = p.extension().string();
  for (auto& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return ext == ".IES" || ext == ".CIB" || ext == ".TM14" || ext == ".LTL";
}

// "[_ABSOLUTELUMENS]5834" in the file, 0 when absent.
double StatedLumens(const std::string& text) {
  const std::string key = "[_ABSOLUTELUMENS]";
  std::size_t p = text.find(key);
  if (p == std::string::npos) return 0.0;
  try {
    return std::stod(text.substr(p + key.size(), 20));
  } catch (...) {
    return 0.0;
  }
}

// The reference lumens of the files whose source published them in a table.
std::map<std::string, double> SummaryLumens() {
  std::map<std::string, double> out;
  std::istringstream in(test::readFile(test::corpusPath("CU-calculations-based-on-IES-file/ies/ies_summary.md")));
  std::string line;
  while (std::getline(in, line)) {
    std::vector<std::string> cells;
    std::stringstream ss(line);
    for (std::string cell; std::getline(ss, cell, '|');) cells.push_back(cell);
    // | file | method | symmetry | max h | equal | lab | electrical | toolbox lumen | …
    if (cells.size() < 9) continue;
    std::string name = cells[1];
    name.erase(0, name.find_first_not_of(' '));
    name.erase(name.find_last_not_of(' ') + 1);
    try {
      out[name] = std::stod(cells[8]);
    } catch (...) {
    }
  }
  return out;
}

TEST(IesCorpus, EveryFileReadsAndFluxMatchesStatedLumens) {
  if (!test::corpusAvailable()) GTEST_SKIP() << "corpus not available";
  const auto summary = SummaryLumens();
  int read = 0, compared = 0;
  for (const auto& e : fsys::recursive_directory_iterator(test::corpusPath(""))) {
    if (!e.is_regular_file() || !IsOurs(e.path())) continue;
    const std::string path = e.path().string();
    SCOPED_TRACE(path);
    TLUM32 lum;
    const LoadResult loaded = LoadLuminaire(path, lum);
    // A converter's broken output: all vertical angles equal.
    if (e.path().filename() == "lampsets.ies") {
      EXPECT_EQ(loaded.fault, LoadFault::Damaged);
      ASSERT_EQ(loaded.messages.items.size(), 1u);
      EXPECT_NE(loaded.messages.items[0].text.find("do not ascend"), std::string::npos);
      continue;
    }
    ASSERT_TRUE(loaded.ok());
    EXPECT_TRUE(loaded.messages.empty()) << loaded.messages.joined();
    ++read;
    EXPECT_GT(lum.LumFlux, 0);
    EXPECT_GT(lum.Imax, 0);

    double stated = StatedLumens(test::readFile(path));
    auto s = summary.find(e.path().filename().string());
    if (s == summary.end()) {
      std::string lower = e.path().filename().string();
      for (auto& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      s = summary.find(lower);
    }
    if (stated == 0 && s != summary.end() && e.path().parent_path().filename() == "ies") stated = s->second;
    // Absolute photometry: the luminaire's flux became the lamp flux, so the
    // LOR is 100 % and the lamp flux is the luminaire's stated lumens.
    const double luminaireFlux = lum.LumFlux * lum.LampSets[0].SetFlux / 1000;
    if (stated > 0 && std::fabs(lum.LOR - 100) < 1e-3) {
      ++compared;
      EXPECT_NEAR(luminaireFlux, stated, 0.02 * stated);
    }
  }
  EXPECT_GE(read, 20);
  EXPECT_GE(compared, 8);
}

TEST(IesCorpus, RelativeFilesGiveTheLightOutputRatioOfTheirPair) {
  if (!test::corpusAvailable()) GTEST_SKIP() << "corpus not available";
  test::RecordingUi ui;
  ScopedUiServices scope(ui);
  struct Case {
    const char* file;
    float lor;  // stated in the paired EULUMDAT file
  } cases[] = {
      {"luxpy/testcode/iolid_data/Testlamp_Isym4_43cef5d76a391dd85c41d4d09d68600d.ies", 75.04f},
      {"derived/Testlamp_Isym4_iesna91.ies", 75.04f},
      {"luxpy/testcode/iolid_data/Testlamp_Isym2_theta180+_erco_33499000_1xqt32_230w.IES", 41.0f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    TLUM32 lum;
    ASSERT_TRUE(LoadLuminaire(test::corpusPath(c.file), lum, LoadValues::AsRead).ok());
    lum.CalcFlux();
    EXPECT_NEAR(lum.LOR, c.lor, 0.01 * c.lor);
  }
}

}  // namespace
}  // namespace kandelo
