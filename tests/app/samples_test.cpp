#include <gtest/gtest.h>

#include "app/core_backend.h"
#include "database/btreebase.h"
#include "database/catalogue.h"
#include "frame/pathlist.h"
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

}  // namespace kandelo
