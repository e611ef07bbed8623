// Every corpus file through the other formats and back, and damaged: cut short
// and with bytes flipped, through the format dispatch that probes every reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "photometry/format_io.h"
#include "photometry/lum32.h"
#include "support/test_support.h"

namespace kandelo {
namespace {

namespace fsys = std::filesystem;

std::vector<fsys::path> CorpusFiles(bool ldtOnly) {
  std::vector<fsys::path> out;
  for (const auto& e : fsys::recursive_directory_iterator(test::corpusPath(""))) {
    if (!e.is_regular_file()) continue;
    std::string ext = e.path().extension().string();
    for (auto& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext == ".ldt" || (!ldtOnly && (ext == ".ies" || ext == ".cib" || ext == ".tm14" || ext == ".ltl")))
      out.push_back(e.path());
  }
  return out;
}

TEST(CorpusRoundTrip, LdtThroughIesAndLum32KeepsFluxAndIntensities) {
  if (!test::corpusAvailable()) GTEST_SKIP() << "corpus not available";
  test::RecordingUi ui;
  ScopedUiServices scope(ui);
  test::TempDir dir;
  int files = 0;
  for (const auto& p : CorpusFiles(true)) {
    TLUM32 a;
    if (!LoadLuminaire(p.string(), a, LoadValues::AsRead).ok()) continue;  // the truncated sample; refused elsewhere
    ++files;
    a.CalcFlux();
    for (auto [format, ext] : {std::pair{fmtIes95, ".ies"}, std::pair{fmtLum32, ".l32"}}) {
      SCOPED_TRACE(p.string() + " via " + ext);
      ui.shown.clear();
      TLUM32 mid;
      ASSERT_TRUE(a.SaveAs(format, dir.file(std::string("mid") + ext)));
      const LoadResult midRead = LoadLuminaire(dir.file(std::string("mid") + ext), mid, LoadValues::AsRead);
      ASSERT_TRUE(midRead.ok());
      EXPECT_TRUE(midRead.messages.empty()) << midRead.messages.joined();
      ASSERT_TRUE(mid.SaveAs(fmtEulumdat, dir.file("back.ldt")));
      TLUM32 b;
      const LoadResult backRead = LoadLuminaire(dir.file("back.ldt"), b, LoadValues::AsRead);
      ASSERT_TRUE(backRead.ok());
      EXPECT_TRUE(backRead.messages.empty()) << backRead.messages.joined();
      EXPECT_TRUE(ui.shown.empty()) << ui.shown[0].text;
      b.CalcFlux();
      // EULUMDAT keeps 0.1 cd/klm; IES keeps 0.1 cd, at worst of the smallest lamp set.
      double lamps = a.LampSets[0].SetFlux;
      for (int k = 1; k < a.LampSetCount && k < kMaxLampSets; ++k) lamps = std::min<double>(lamps, a.LampSets[k].SetFlux);
      const double rounding = 0.06 + (format == fmtIes95 && lamps > 0 ? 50 / lamps : 0);
      // Tables not starting at 0° are written on a grid extended to 0°.
      if (a.GammaStart == 0) {
        EXPECT_NEAR(b.LumFlux, a.LumFlux, 1e-3 * a.LumFlux + 0.05);
      }
      for (int j = 1; j <= a.GammaCount; ++j)
        for (double c : {0.0, 33.0, 90.0, 200.0, 300.0}) {
          const double g = a.GammaAngle(j), want = a.Intensity(g, c);
          ASSERT_NEAR(b.Intensity(g, c), want, rounding + 1e-4 * want) << "γ " << g << " C " << c;
        }
    }
  }
  EXPECT_GT(files, 30);
}

// Cut points and flipped bytes are sampled (the headers densely, the tables
// at a stride) to keep the run short under the sanitizers.
TEST(CorpusRoundTrip, DamagedCorpusFilesNeverCrashAnyReader) {
  if (!test::corpusAvailable()) GTEST_SKIP() << "corpus not available";
  test::RecordingUi ui;
  ScopedUiServices scope(ui);
  test::TempDir dir;
  auto positions = [](std::size_t size) {
    std::vector<std::size_t> at;
    for (std::size_t n = 0; n < size; n += n < 400 ? 7 : 1 + size / 24) at.push_back(n);
    at.push_back(size - 1);
    return at;
  };
  for (const auto& p : CorpusFiles(false)) {
    SCOPED_TRACE(p.string());
    const std::string bytes = test::readFile(p.string());
    if (bytes.empty()) continue;
    // The extension stays so the dispatch tries its own reader first.
    const std::string path = dir.file("f" + p.extension().string());
    auto load = [&](const std::string& content) {
      test::writeFile(path, content);
      TLUM32 lum;
      if (!LoadLuminaire(path, lum, LoadValues::AsRead).ok()) return;
      lum.CalcFlux();
      lum.FindMaxIntensity();
      lum.CalcCieFluxCode();
      (void)lum.Intensity(45, 30);
      (void)lum.Intensity(120, 250);
    };
    for (std::size_t n : positions(bytes.size())) {
      load(bytes.substr(0, n));
      for (char bad : {'\0', '-', '9', '\n', '\xFF'}) {
        std::string damaged = bytes;
        damaged[n] = bad;
        load(damaged);
      }
    }
  }
}

}  // namespace
}  // namespace kandelo
