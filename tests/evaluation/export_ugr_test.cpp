// The export UGR table and the "CIBSE/2" lines of TM14 files.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "evaluation/export_ugr.h"
#include "evaluation/tm5.h"
#include "lum_fixture.h"
#include "support/test_support.h"

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

TEST(CibseExtension, LinesAndColumns) {
  auto lum = test::MakeLum(test::Lambert);
  lum->LumName = "Panel";
  lum->LumNumber = "P-1";
  TM5OBJ tm5;
  tm5.SetLuminaire(lum.get());
  tm5.StoreCibse();
  ComputeExportUgr(*lum);
  lum->CibseBz[8] = 255;
  auto lines = CibseExtensionLines(*lum);
  ASSERT_EQ(lines.size(), 5u + 11 + 38 + 2);
  EXPECT_EQ(lines[0], "CIBSE/2");
  EXPECT_EQ(lines[1], "Panel");
  EXPECT_EQ(lines[2], "P-1");
  EXPECT_EQ(lines[3].substr(0, 6), "0.000 ");
  EXPECT_EQ(lines[5].size(), 45u);  // 9 values of 5 characters
  char first[8];
  std::snprintf(first, sizeof first, "%5.2f", lum->CibseUF[0][0] / 100.0);
  EXPECT_EQ(lines[5].substr(0, 5), first);
  EXPECT_EQ(lines[15].substr(24), "N/A ");
  EXPECT_EQ(lines[16].size(), 25u);  // 5 UGR values of 5 characters
  EXPECT_EQ(lines[54], "1");
  EXPECT_EQ(lines[55], "  600  1  40 1.0 1.0   40  40");
}

}  // namespace
}  // namespace kandelo
