// What the evaluation window and the command line share: the entry ranges,
// the picture sizes, the drawing of a type and the opening computations.
#include <gtest/gtest.h>

#include "diagram_fixtures.h"
#include "evaluation/evaluation_types.h"
#include "frame/settings.h"
#include "graphics/recording_device.h"
#include "photometry/lum32.h"

namespace kandelo {
namespace {

TEST(EvaluationEntries, AcceptOnlyNumbersInRange) {
  const struct {
    const char* text;
    const TValueRange& range;
    bool accepted;
  } cases[] = {
      {"2.65", kHeightRange, true},   {" 2,65 ", kHeightRange, true},  {"0", kHeightRange, false},
      {"-1", kHeightRange, false},    {"100", kHeightRange, true},     {"100.01", kHeightRange, false},
      {"abc", kHeightRange, false},   {"", kHeightRange, false},       {"2.6.5", kHeightRange, false},
      {"nan", kHeightRange, false},   {"inf", kMaintenanceRange, false}, {"1", kMaintenanceRange, true},
      {"500", kIlluminanceRange, true}, {"12.5", kIlluminanceRange, false}, {"65536", kIlluminanceRange, false},
      {"-1000", kSectionRange, true}, {"0.009", kIsoluxLengthRange, false}, {"0", kFluxRange, false},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseUserValue(c.text, c.range).has_value(), c.accepted) << c.text;
  EXPECT_EQ(*ParseUserValue(" 2,5", kHeightRange), 2.5);
}

TEST(EvaluationTypes, NamesRoundTripAndPictureSizesFollowTheType) {
  for (TEvaluationType t : EvaluationTypes()) EXPECT_EQ(EvaluationTypeFromName(EvaluationTypeName(t)), t);
  EXPECT_FALSE(EvaluationTypeFromName("datasheet"));
  EXPECT_EQ(EvaluationPictureSize(etUgr), (TSize{6500, 5851}));
  EXPECT_EQ(EvaluationPictureSize(etCount), (TSize{5201, 4000}));
  EXPECT_EQ(EvaluationPictureSize(etFloor), (TSize{7509, 4000}));
  EXPECT_EQ(EvaluationPictureSize(etCone), (TSize{4000, 4000}));
  TProgramSettings s;
  s.PolarDir = "p";
  s.EDistrDir = "e";
  EXPECT_EQ(ExportDirectoryOf(s, etPolar), "p");
  EXPECT_EQ(ExportDirectoryOf(s, etFloor), "e");
}

TEST(EvaluationTypes, EveryTypeDrawsAndAnEmptyLuminaireDrawsNothing) {
  TLUM32 lum = test::Downlight();
  lum.LampSetCount = 1;
  lum.LampSets[0].SetFlux = 2000;
  lum.LumAreaDiameter = 200;
  TEvaluationSet set;
  InitEvaluationSet(lum, TProgramSettings{}, "", set);
  std::string error;
  EXPECT_TRUE(ComputeEvaluationSet(lum, set, &error)) << error;
  EXPECT_TRUE(set.luminance);
  EXPECT_EQ(set.planes, std::vector<float>{0.0f});
  EXPECT_EQ(set.isolux.flux, 2000.0f);
  for (TEvaluationType t : EvaluationTypes()) {
    TRecordingDevice dc;
    DrawEvaluationType(lum, set, t, dc, TRect{0, 0, 8000, 6000}, true);
    EXPECT_GT(dc.ops.size(), 10u) << EvaluationTypeName(t);
    EXPECT_FALSE(dc.FindText("no glare rating possible")) << EvaluationTypeName(t);
  }
  // Without a luminous area the luminance types only say so.
  lum.LumAreaDiameter = 0;
  ComputeEvaluationSet(lum, set);
  TRecordingDevice glare;
  DrawEvaluationType(lum, set, etUgr, glare, TRect{0, 0, 8000, 6000}, true);
  ASSERT_EQ(glare.ops.size(), 1u);
  EXPECT_EQ(glare.ops[0].points[0], (TPoint{100, 400}));

  TLUM32 empty;
  TEvaluationSet none;
  InitEvaluationSet(empty, TProgramSettings{}, "", none);
  EXPECT_TRUE(ComputeEvaluationSet(empty, none));
  for (TEvaluationType t : EvaluationTypes()) {
    TRecordingDevice dc;
    DrawEvaluationType(empty, none, t, dc, TRect{0, 0, 4000, 4000}, true);
    EXPECT_TRUE(dc.ops.empty()) << EvaluationTypeName(t);
  }
}

}  // namespace
}  // namespace kandelo
