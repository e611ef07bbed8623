#include <gtest/gtest.h>

#include "graphics/output_settings.h"

namespace kandelo {

TEST(OutputSettings, FreshRecordPrintsTheFirstPageWithTheInitialParameters) {
  const TOutputSettings s = InitialOutputSettings();
  EXPECT_EQ(s.OutputSet, 1u);
  for (int t = 0; t < kOutputTypeCount; ++t) EXPECT_EQ(s.Has(t), t == otMain) << t;
  ASSERT_TRUE(s.Planes);
  EXPECT_TRUE(s.Planes->empty());
  EXPECT_FLOAT_EQ(s.IsoSide, 10.0f);
  EXPECT_FLOAT_EQ(s.IsoHeight, 3.0f);
  EXPECT_EQ(s.CountIlluminances, (std::array<std::uint16_t, 3>{20, 50, 100}));
  EXPECT_EQ(s.CountHeights, (std::array<float, 3>{1.65f, 2.15f, 2.65f}));
  EXPECT_EQ(s.FloorSectionEnds, (std::array<float, 2>{-2.0f, 6.0f}));
  EXPECT_EQ(s.FloorLuminaireCount, 1);
  EXPECT_FLOAT_EQ(s.CountMaintenance, 0.8f);
  EXPECT_FLOAT_EQ(s.FloorMaintenance, 0.8f);
  EXPECT_EQ(s.Emergency, 0);
  EXPECT_STREQ(kOutputTypeKeys[otBbk], "OT_BBK");
  EXPECT_STREQ(kOutputTitleKeys[otGlDin], "HDSLR");
}

TEST(OutputSettings, CopyKeepsTheTargetsOwnPlaneList) {
  TOutputSettings edited = InitialOutputSettings();
  TOutputSettings owner = InitialOutputSettings();
  const auto ownerPlanes = owner.Planes;
  edited.Planes->assign({0.0f, 90.0f});
  edited.Set(otIso, true);
  edited.Set(99, true);  // out of range: ignored
  CopyOutputSettings(edited, owner);
  EXPECT_EQ(owner.Planes, ownerPlanes);
  EXPECT_EQ(*owner.Planes, (TPlaneList{0.0f, 90.0f}));
  EXPECT_TRUE(owner.Has(otIso));
  edited.Planes->clear();
  EXPECT_EQ(owner.Planes->size(), 2u);
}

}  // namespace kandelo
