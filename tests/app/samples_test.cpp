#include <gtest/gtest.h>

#include "app/core_backend.h"
#include "storage/indexed_table.h"
#include "database/catalogue.h"
#include "frame/pathlist.h"
#include "photometry/format_io.h"
#include "photometry/lum32.h"
#include "frame/settings.h"
#include "frame/strutil.h"
#include "platform/resources.h"
#include "support/test_support.h"

namespace kandelo {

TEST(Samples, FirstStartTakesEveryShippedSampleIntoTheEmptyCatalogueOnce) {
  test::TempUserEnvironment env;
  test::RecordingUi rec;
  ScopedUiServices scoped(rec);
  LoadSettings();
  ASSERT_EQ(InitDatabaseEngine(), 0);
  ASSERT_TRUE(InitCatalogue(Settings().LumDb));
  const auto shipped = platform::EmbeddedFiles("samples/");
  ASSERT_GE(shipped.size(), 10u);
  {
    TPathList paths(PathListFileName());
    EXPECT_EQ(TakeSamplesIntoEmptyCatalogue(paths), static_cast<int>(shipped.size()));
    EXPECT_EQ(Catalogue()->RecordCount(), static_cast<std::int32_t>(shipped.size()));
    for (const auto& s : shipped)
      EXPECT_TRUE(FileExistsS(AddBackslash(Settings().LumDir2) + s.substr(8))) << s;
    EXPECT_TRUE(rec.shown.empty()) << rec.shown.front().text;  // every sample reads without a complaint
  }
  // Emptied later, the catalogue stays empty at the next start.
  ASSERT_TRUE(DeleteWholeCatalogue());
  TPathList paths(PathListFileName());
  EXPECT_EQ(TakeSamplesIntoEmptyCatalogue(paths), 0);
  EXPECT_EQ(Catalogue()->RecordCount(), 0);
  CloseCatalogue();
  ReleaseDatabaseEngine();
}

// The samples are closed-form distributions normalised to their light output
// ratio; read back, each keeps a plausible ratio and a maximum.
TEST(Samples, EverySampleReadsWithAPlausibleLightOutputRatio) {
  test::TempDir dir;
  for (const std::string& res : platform::EmbeddedFiles("samples/")) {
    const std::string path = dir.file(res.substr(8));
    test::writeFile(path, std::string(*platform::EmbeddedFile(res)));
    TLUM32 lum;
    ASSERT_TRUE(LoadLuminaire(path, lum, LoadValues::AsRead).ok()) << res;
    lum.CalcFlux();
    lum.FindMaxIntensity();
    EXPECT_GT(lum.LOR, 60.0f) << res;
    EXPECT_LE(lum.LOR, 100.0f) << res;
    EXPECT_GT(lum.Imax, 50.0f) << res;
    EXPECT_FALSE(lum.LumName.empty()) << res;
  }
}

}  // namespace kandelo
