// The record editor's rules: lamp rows into lamp sets, comment lines, the
// diameter rule of the dimensions, the page check, table units and cells.
#include <gtest/gtest.h>

#include "conversion/record_edit.h"
#include "photometry/lum32.h"

namespace kandelo {
namespace {

TLUM32 Grid(std::uint8_t planeSystem, std::uint8_t format) {
  TLUM32 lum;
  EXPECT_TRUE(lum.CreateNew("x", planeSystem, 0, 0, 4, 0, 90, 270, {}, 3, 0, 90, 180, {}));
  lum.FormatCode = format;
  return lum;
}

TEST(RecordEdit, FieldsIntoTheLuminaire) {
  TLUM32 lum = Grid(psCGamma, fmtLum32);
  lum.LampSets[0].ColourText = "840";
  TGeneralFields f = FieldsOfLuminaire(lum);
  // Row 1 empty, row 2 a lamp, row 3 with flux below 1 lm: one set from row 2.
  f.lamps[0] = {1, "", 1000, 10};
  f.lamps[1] = {2, "T16 28W", 5200, 62};
  f.lamps[2] = {1, "LED", 0.5, 1};
  f.commentLines = {"1", "2", "3", "4", "5", "6", "7"};
  f.length = 1200, f.width = 0, f.height = 80;
  f.areaLength = 1100, f.areaWidth = 150, f.areaHeight = 5;
  StoreFieldsInLuminaire(f, lum);
  ASSERT_EQ(lum.LampSetCount, 1);
  EXPECT_EQ(lum.LampSets[0].LampType, "T16 28W");
  EXPECT_EQ(lum.LampSets[0].LampCount, 2);
  EXPECT_FLOAT_EQ(lum.LampSets[0].LampFlux, 2600);
  EXPECT_EQ(lum.LampSets[0].SetWatt, 62);
  EXPECT_EQ(lum.LampSets[0].ColourText, "840");  // the set position keeps its colour
  EXPECT_EQ(lum.InfoText5, "5");                  // seven lines: the first five
  // A width of 0 makes the length a diameter; the luminous area has a width.
  EXPECT_EQ(lum.Diameter, 1200);
  EXPECT_EQ(lum.Length, 0);
  EXPECT_EQ(lum.LumAreaLength, 1100);
  EXPECT_EQ(lum.LumAreaDiameter, 0);
  EXPECT_EQ(lum.LumAreaHeight[3], 5);

  const TGeneralFields back = FieldsOfLuminaire(lum);
  EXPECT_EQ(back.length, 1200);
  EXPECT_EQ(back.width, 0);
  EXPECT_EQ(back.lamps[0].type, "T16 28W");
  EXPECT_EQ(back.lamps[1].type, "");
  EXPECT_EQ(back.commentLines.size(), 5u);
}

// Storing the fields as they were read changes nothing: not a long lamp type,
// four different luminous-area heights, a set without flux, the sets behind
// the three rows, nor the gaps of a comment; a changed row changes its set.
TEST(RecordEdit, UntouchedFieldsKeepTheirValues) {
  TLUM32 lum = Grid(psCGamma, fmtLum32);
  lum.LampSetCount = 5;
  for (int k = 0; k < 5; ++k) {
    lum.LampSets[static_cast<std::size_t>(k)].LampCount = 1;
    lum.LampSets[static_cast<std::size_t>(k)].LampType = "Set " + std::to_string(k + 1) + " with a rather long type";
    lum.LampSets[static_cast<std::size_t>(k)].SetFlux = 1000.25f * float(k);
  }
  lum.LumAreaHeight = {10, 11, 12, 13};
  lum.Length = 600, lum.Width = 300;
  lum.InfoText1 = "first";
  lum.InfoText3 = "third";
  const TLUM32 before = lum;
  StoreFieldsInLuminaire(FieldsOfLuminaire(lum), lum);
  EXPECT_EQ(lum.LampSetCount, 5);
  for (std::size_t k = 0; k < 5; ++k) {
    EXPECT_EQ(lum.LampSets[k].LampType, before.LampSets[k].LampType);
    EXPECT_EQ(lum.LampSets[k].SetFlux, before.LampSets[k].SetFlux);
  }
  EXPECT_EQ(lum.LumAreaHeight, before.LumAreaHeight);
  EXPECT_EQ(lum.InfoText2, "");
  EXPECT_EQ(lum.InfoText3, "third");

  TGeneralFields f = FieldsOfLuminaire(lum);
  f.lamps[1].flux = 2500;
  f.lumName = "Renamed";
  StoreFieldsInLuminaire(f, lum);
  EXPECT_EQ(lum.LumName, "Renamed");
  ASSERT_EQ(lum.LampSetCount, 5);
  EXPECT_EQ(lum.LampSets[1].SetFlux, 2500);
  EXPECT_EQ(lum.LampSets[0].SetFlux, 0);  // a set without flux stays as it was
  EXPECT_EQ(lum.LampSets[4].LampType, before.LampSets[4].LampType);
  EXPECT_EQ(lum.LumAreaHeight, before.LumAreaHeight);
}

TEST(RecordEdit, PageCheckInOrder) {
  TCatalogueRecord rec = NewEntryRecord();
  EXPECT_EQ(rec.GetI16(catoff::Value196), 230);
  EXPECT_EQ(CheckGeneralPage(rec), "DM_NOFILE");
  rec.SetFileNameField("A.LDT");
  EXPECT_EQ(CheckGeneralPage(rec), "DM_NOBEST");
  TGeneralFields f;
  f.lamps[0] = {1, "LED", 0.4, 1};
  RecordTakesFields(f, fmtEulumdat, rec);
  EXPECT_EQ(CheckGeneralPage(rec), "DM_NOLAMP");
  f.lamps[0].flux = 1000;
  RecordTakesFields(f, fmtEulumdat, rec);
  EXPECT_EQ(CheckGeneralPage(rec), "DM_NOLDIM");
  f.length = 600;
  RecordTakesFields(f, fmtEulumdat, rec);
  EXPECT_EQ(CheckGeneralPage(rec), "DM_NOLLDIM");
  f.areaLength = 580;
  f.lumNumber = "  NR 12  ";
  RecordTakesFields(f, fmtEulumdat, rec);
  EXPECT_EQ(CheckGeneralPage(rec), "");
  EXPECT_EQ(rec.ShortNumber(), "NR 12");
}

TEST(RecordEdit, TableUnitsAndCells) {
  TLUM32 lum = Grid(psCGamma, fmtLum32);
  EXPECT_FALSE(TableUnitAvailable(lum, TableUnit::Candela));
  EXPECT_EQ(TableUnitFactor(lum, TableUnit::Lux), 1.0);
  lum.MeasTotalFlux = 1000;
  lum.MeasDistance = 2;
  EXPECT_TRUE(TableUnitAvailable(lum, TableUnit::Lux));
  lum.SetValue(2, 2, 100);
  EXPECT_DOUBLE_EQ(lum.GetValue(2, 2) / TableUnitFactor(lum, TableUnit::Lux), 25.0);
  // Entered in cd: stored in cd/klm.
  EXPECT_FALSE(StoreTableValue(lum, 3, 2, 50, TableUnitFactor(lum, TableUnit::Candela)));
  EXPECT_FLOAT_EQ(lum.GetValue(3, 2), 50);
  // γ 0° and 180° are one direction for all planes.
  EXPECT_TRUE(StoreTableValue(lum, 2, 1, 300, 1));
  EXPECT_TRUE(StoreTableValue(lum, 1, 3, 7, 1));
  for (int k = 1; k <= 4; ++k) {
    EXPECT_FLOAT_EQ(lum.GetValue(k, 1), 300);
    EXPECT_FLOAT_EQ(lum.GetValue(k, 3), 7);
  }
  TLUM32 b = Grid(psBBeta, fmtLum32);
  EXPECT_FALSE(StoreTableValue(b, 2, 1, 300, 1));
  EXPECT_FLOAT_EQ(b.GetValue(1, 1), 0);
  EXPECT_FALSE(StoreTableValue(b, 5, 1, 1, 1));  // outside the table
}

}  // namespace
}  // namespace kandelo
