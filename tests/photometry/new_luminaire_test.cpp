// The new-luminaire grid: symmetry presets, each field's check, and the empty
// file written in every format the command line offers, read back.
#include <gtest/gtest.h>

#include "photometry/format_io.h"
#include "photometry/lum32.h"
#include "photometry/new_luminaire.h"
#include "support/test_support.h"

namespace kandelo {
namespace {

TEST(NewLuminaireGrid, SymmetryPresetsGiveThePlanes) {
  struct Case {
    bool b;
    int choice;  // C symmetry, or B list entry
    int symmetry;
    double start, end;
    int planes;
  };
  const Case cases[] = {
      {false, 0, 0, 0, 345, 24}, {false, 1, 1, 0, 0, 1},   {false, 2, 2, 0, 180, 13},
      {false, 3, 3, 90, 270, 13}, {false, 4, 4, 0, 90, 7}, {true, 0, 0, 0, 360, 73},
      {true, 1, 2, -90, 90, 37},  {true, 2, 4, 0, 90, 19},
  };
  for (const Case& c : cases) {
    TNewLumGrid g = c.b ? DefaultBGrid() : DefaultCGrid();
    if (c.b) SetBSymmetryEntry(g, c.choice);
    else SetCSymmetry(g, c.choice);
    SCOPED_TRACE(testing::Message() << (c.b ? "B " : "C ") << c.choice);
    EXPECT_EQ(g.symmetry, c.symmetry);
    EXPECT_EQ(g.planeStart, c.start);
    EXPECT_EQ(g.planeEnd, c.end);
    EXPECT_EQ(PlaneCount(g), c.planes);
  }
  // Back from "rotationally symmetric", the step is 15 again; a step that
  // does not fit the new range is not kept.
  TNewLumGrid g = DefaultCGrid();
  SetCSymmetry(g, 1);
  SetCSymmetry(g, 0);
  EXPECT_EQ(g.planeStep, 15);
  EXPECT_EQ(SetPlaneStep(g, 24), "");
  SetCSymmetry(g, 4);
  EXPECT_EQ(g.planeStep, 15);
  EXPECT_EQ(AngleCount(DefaultCGrid()), 19);
}

TEST(NewLuminaireGrid, FieldChecks) {
  TNewLumGrid g = DefaultCGrid();
  SetCSymmetry(g, 4);
  EXPECT_EQ(SetPlaneStep(g, 7), "EM_INVCS");  // 70 does not divide 900
  EXPECT_EQ(g.planeStep, 15);
  EXPECT_EQ(SetPlaneStep(g, 7.5), "");
  EXPECT_EQ(PlaneCount(g), 13);
  EXPECT_EQ(SetPlaneStep(g, 0), "EM_INVCS");
  EXPECT_EQ(SetPlaneStep(g, 180), "EM_INVCS");  // larger than the range
  SetCSymmetry(g, 0);
  EXPECT_EQ(SetPlaneStep(g, 10), "");
  EXPECT_EQ(g.planeEnd, 350);

  // γ: end 85 keeps step 5, end 87 makes the step the whole range.
  EXPECT_EQ(SetAngleEnd(g, 85), "");
  EXPECT_EQ(g.angleStep, 5);
  EXPECT_EQ(SetAngleEnd(g, 87), "");
  EXPECT_EQ(g.angleStep, 87);
  EXPECT_EQ(AngleCount(g), 2);
  EXPECT_EQ(SetAngleEnd(g, 90), "");
  EXPECT_EQ(g.angleStep, 90);  // 87 does not divide 90
  EXPECT_EQ(SetAngleStep(g, 4), "EM_INVGS");
  EXPECT_EQ(g.angleStep, 90);
  EXPECT_EQ(SetAngleStep(g, 2.5), "");
  EXPECT_EQ(SetAngleEnd(g, 2), "EM_INVGE");  // not larger than the step
  EXPECT_EQ(SetAngleEnd(g, 181), "EM_INVGE");
  EXPECT_EQ(SetAngleStart(g, 90), "EM_INVG1");
  EXPECT_EQ(SetAngleStart(g, -5), "EM_INVG1");
  EXPECT_EQ(SetAngleStart(g, 10), "");
  EXPECT_EQ(SetAngleEnd(g, 5), "EM_INVG1");  // at or below the start: no range
  EXPECT_EQ(g.angleEnd, 90);
  EXPECT_EQ(SetAngleStart(g, 11), "");
  EXPECT_EQ(g.angleStep, 79);  // 2.5 no longer divides 79

  TNewLumGrid bad = DefaultCGrid();
  bad.symmetry = 5;  // the symmetry itself is named, not the plane step it would imply
  EXPECT_EQ(CheckNewLumGrid(bad), "EM_INVSYM");
  bad.bPlanes = true;
  bad.symmetry = 3;
  EXPECT_EQ(CheckNewLumGrid(bad), "EM_INVSYM");
  bad = DefaultCGrid();
  bad.angleStep = 7;
  EXPECT_EQ(CheckNewLumGrid(bad), "EM_INVGS");
  EXPECT_EQ(CheckNewLumGrid(DefaultCGrid()), "");
  EXPECT_EQ(CheckNewLumGrid(DefaultBGrid()), "");
  bad.angleStep = 5;
  bad.angleEnd = 200;
  EXPECT_EQ(CheckNewLumGrid(bad), "EM_INVGE");
}

// The empty luminaire in each format loads with the grid and symmetry chosen
// and all intensities 0.
TEST(NewLuminaireGrid, EmptyFileLoadsWithItsGrid) {
  test::TempDir dir;
  const struct {
    std::uint8_t format;
    const char* name;
  } formats[] = {{fmtEulumdat, "N.LDT"}, {fmtLum32, "N.L32"}, {fmtTm14, "N.CIB"}, {fmtIes95, "N.IES"}};
  for (const auto& f : formats) {
    SCOPED_TRACE(f.name);
    TNewLuminaire wanted;
    wanted.lumName = "Empty";
    wanted.manufacturer = "Maker";
    SetCSymmetry(wanted.grid, 2);
    ASSERT_EQ(SetPlaneStep(wanted.grid, 30), "");
    ASSERT_EQ(SetAngleStep(wanted.grid, 10), "");
    TLUM32 lum;
    ASSERT_TRUE(MakeNewLuminaire(wanted, dir.file(f.name), lum));
    ASSERT_TRUE(lum.Save(f.format));
    TLUM32 back;
    ASSERT_TRUE(LoadLuminaire(dir.file(f.name), back, LoadValues::AsRead).ok());
    EXPECT_EQ(back.Symmetry, 2);
    EXPECT_EQ(back.GammaCount, 10);
    EXPECT_FLOAT_EQ(back.Intensity(45, 30), 0);
    EXPECT_EQ(back.LumName.substr(0, 5), "Empty");
  }
}

}  // namespace
}  // namespace kandelo
