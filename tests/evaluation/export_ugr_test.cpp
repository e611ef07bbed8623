// The export UGR table of version-2 TM14 files.
#include <gtest/gtest.h>

#include <cmath>

#include "evaluation/export_ugr.h"
#include "lum_fixture.h"

namespace kandelo {
namespace {

TEST(ExportUgr, RotationalPanelIsAlikeBothWaysAndGrowsWithTheRoom) {
  auto lum = test::MakeLum(test::Lambert);
  ComputeExportUgr(*lum);
  for (int i = 0; i < 95; ++i) {
    EXPECT_TRUE(std::isfinite(lum->ExportUgr[std::size_t(i)]));
    EXPECT_NEAR(lum->ExportUgr[std::size_t(i)], lum->ExportUgr[std::size_t(95 + i)], 0.05) << i;
  }
  // 2H × 2H against 2H × 12H (deeper room, more luminaires in view).
  EXPECT_GT(lum->ExportUgr[5 * 5], lum->ExportUgr[0]);
  // Darker rooms (column 5, 30/30/20) glare more than light ones (column 1).
  EXPECT_GT(lum->ExportUgr[4], lum->ExportUgr[0]);
}

TEST(ExportUgr, DarkLuminaireLeavesZeros) {
  auto lum = test::MakeLum([](double, double) { return 0.0; });
  ComputeExportUgr(*lum);
  for (float v : lum->ExportUgr) EXPECT_EQ(v, 0.0f);
}

}  // namespace
}  // namespace kandelo
