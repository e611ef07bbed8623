#include <gtest/gtest.h>

#include <cmath>

#include "graphics/geom3d.h"
#include "graphics/vecdata.h"
#include "graphics/vecobj.h"

namespace kandelo {
namespace {

TEST(DataBlockTest, SizesAndRefusedRequests) {
  tdata_sg one;
  ASSERT_TRUE(one.Allocate(9));
  EXPECT_EQ(one.Items().size(), 10u);
  EXPECT_EQ(one.HighIndex(), 9);
  EXPECT_EQ(one.HighRow(), 0);
  tarr_sg grid;
  ASSERT_TRUE(grid.Allocate2D(50, 50));
  EXPECT_EQ(grid.Items().size(), 51u * 51u);
  grid.Set(50, 50, 7);
  EXPECT_EQ(grid.Get(50, 50), 7);
  // Reallocating frees the old block; refused requests leave none.
  EXPECT_FALSE(grid.Allocate2D(-1, 3));
  EXPECT_FALSE(grid.HasBlock());
  EXPECT_FALSE(grid.Allocate2D(100000, 100000));
  EXPECT_FALSE(grid.HasBlock());
  EXPECT_EQ(grid.HighIndex(), 0);
  EXPECT_EQ(grid.Interpolate(1, 1), 0);
  float lo, hi;
  one.Fill(3);
  one.Bounds(lo, hi);
  EXPECT_EQ(lo, 3);
  EXPECT_EQ(hi, 3);
  // A clone is independent of its source.
  auto copy = one.Copy();
  one.Fill(5);
  EXPECT_EQ(static_cast<tdata_sg&>(*copy).Item(4), 3);
}

TEST(GridTest, InterpolateStatisticsAndTestPattern) {
  tarr_sg g;
  ASSERT_TRUE(g.Allocate2D(3, 2));
  g.FillTestPattern();  // 6i + 6j from 1
  EXPECT_EQ(g.Get(3, 2), 30);
  EXPECT_EQ(g.Get(0, 0), 0);  // the border stays
  EXPECT_FLOAT_EQ(g.Interpolate(1.5f, 1.25f), 6 * 1.25f + 6 * 1.5f);
  // At the highest column and row the missing neighbours are the value itself.
  EXPECT_FLOAT_EQ(g.Interpolate(2, 3), 30);
  EXPECT_FLOAT_EQ(g.Interpolate(1.5f, 3), 6 * 3 + 6 * 1.5f);
  // Outside the grid the edge value is used instead of reading beyond it.
  EXPECT_FLOAT_EQ(g.Interpolate(99, 99), 30);
  const TGridStats s = g.Statistics();
  EXPECT_EQ(s.min, 12);
  EXPECT_EQ(s.max, 30);
  EXPECT_FLOAT_EQ(s.mean, 21);
  EXPECT_FLOAT_EQ(s.minByMax, 0.4f);
  const TGridStats row = g.RowStatistics(1);
  EXPECT_EQ(row.min, 12);
  EXPECT_EQ(row.max, 24);
  // Masked: a cell is inside when bits (i, j) and (i − 1, j − 1) are set.
  tarr_sg_masked m;
  ASSERT_TRUE(m.Allocate2D(3, 2));
  m.FillTestPattern();
  m.CreateMask();
  m.SetMaskBit(3, 2, false);
  m.SetMaskBit(0, 0, false);
  EXPECT_FALSE(m.CellInside(3, 2));
  EXPECT_FALSE(m.CellInside(1, 1));
  EXPECT_TRUE(m.CellInside(2, 1));
  EXPECT_TRUE(m.MaskBit(-1, 0));  // outside the storage: set
  const TGridStats ms = m.Statistics();
  EXPECT_EQ(ms.min, 18);
  EXPECT_EQ(ms.max, 24);
  EXPECT_EQ(m.MaskedRowStatistics(2).max, 24);
  m.mask->active = false;
  EXPECT_EQ(m.Statistics().max, 30);
  // An empty grid has the starting values and ratios of 0.
  tarr_sg empty;
  const TGridStats es = empty.Statistics();
  EXPECT_EQ(es.min, 1000000);
  EXPECT_EQ(es.max, -1000000);
  EXPECT_EQ(es.minByMean, 0);
}

TEST(GridTest, NodeGridAndResample) {
  tarr_sg flat;
  ASSERT_TRUE(flat.Allocate2D(2, 2));
  for (int j = 1; j <= 2; ++j)
    for (int i = 1; i <= 2; ++i) flat.Set(i, j, 4);
  auto nodes = flat.NodeGrid(1, 1);
  for (float v : nodes->Items()) EXPECT_EQ(v, 4);

  // A steep edge: extrapolation below 0 becomes 0.
  tarr_sg steep;
  ASSERT_TRUE(steep.Allocate2D(2, 2));
  steep.Set(1, 1, 0);
  steep.Set(2, 1, 0);
  steep.Set(1, 2, 10);
  steep.Set(2, 2, 10);
  nodes = steep.NodeGrid(1, 1);
  EXPECT_EQ(nodes->Get(1, 1), 5);
  EXPECT_EQ(nodes->Get(1, 0), 0);   // 0 + 0 − 5 → 0
  EXPECT_EQ(nodes->Get(1, 2), 15);  // 10 + 10 − 5
  EXPECT_EQ(nodes->Get(0, 0), 0);

  // A 10 m × 5 m area of 50 × 50 cells resamples on 0.1 m: (100, 50). A
  // linear field comes through exactly, edges included.
  tarr_sg lin;
  ASSERT_TRUE(lin.Allocate2D(50, 50));
  const float cw = 0.2f, ch = 0.1f;
  for (int j = 1; j <= 50; ++j)
    for (int i = 1; i <= 50; ++i) lin.Set(i, j, 10 + 2 * (i - 0.5f) * cw + 3 * (j - 0.5f) * ch);
  int nx = 50, ny = 50;
  float cellH = ch, cellW = cw;
  auto out = lin.Resample(nx, ny, cellH, cellW, 5, 10);
  ASSERT_TRUE(out);
  EXPECT_EQ(nx, 100);
  EXPECT_EQ(ny, 50);
  EXPECT_EQ(out->HighIndex(), 100);
  EXPECT_EQ(out->HighRow(), 50);
  EXPECT_FLOAT_EQ(cellW, 0.1f);
  EXPECT_FLOAT_EQ(cellH, 0.1f);
  for (auto [i, j] : {std::pair{0, 0}, {100, 50}, {37, 12}, {0, 50}})
    EXPECT_NEAR(out->Get(i, j), 10 + 2 * i * 0.1f + 3 * j * 0.1f, 1e-3) << i << "," << j;

  // The masked version drops the nodes whose bit is clear.
  tarr_sg_masked masked;
  ASSERT_TRUE(masked.Allocate2D(2, 2));
  for (int j = 1; j <= 2; ++j)
    for (int i = 1; i <= 2; ++i) masked.Set(i, j, 4);
  masked.CreateMask();
  masked.SetMaskBit(0, 0, false);
  nx = ny = 2;
  cellH = cellW = 1;
  out = masked.Resample(nx, ny, cellH, cellW, 2, 2);
  ASSERT_TRUE(out);
  EXPECT_EQ(out->Get(0, 0), -10000000);
  EXPECT_EQ(out->Get(2, 2), 4);
}

TEST(GeometryTest, DirectionAngles) {
  struct Case {
    double x, y, z, gamma, c;
  };
  const Case cases[] = {
      {0, -1, 0, 0, 0}, {1, 0, 0, 90, 0}, {0, 0, 1, 90, 270}, {0, 0, -1, 90, 90},
      {-1, -1, 0, 45, 180}, {1, -1, -1, 54.7356, 45}, {1, 1, 0, 135, 0},
  };
  for (const Case& c : cases) {
    const TDirection d = DirectionAngles(c.x, c.y, c.z);
    EXPECT_NEAR(d.gamma, c.gamma, 1e-3) << c.x << " " << c.y << " " << c.z;
    EXPECT_NEAR(d.c, c.c, 1e-3) << c.x << " " << c.y << " " << c.z;
  }
  EXPECT_NEAR(DirectionAngles(0, 1, 0).gamma, 180, 1e-9);
}

TEST(GeometryTest, MatricesPosesAndInverse) {
  TMatrix4 m;
  AppendTransform(m, TTransformKind::Rotate, TAxis::Z, 90);
  TVector3 p = TransformPoint(m, {1, 0, 0});
  EXPECT_NEAR(p.x, 0, 1e-6);
  EXPECT_NEAR(p.y, 1, 1e-6);
  AppendTransform(m, TTransformKind::Translate, TAxis::X, 5);
  AppendTransform(m, TTransformKind::Scale, TAxis::Y, 2);
  p = TransformPoint(m, {1, 0, 0});
  EXPECT_NEAR(p.x, 5, 1e-5);
  EXPECT_NEAR(p.y, 2, 1e-5);
  TMatrix4 inv;
  ASSERT_TRUE(Inverse(m, inv));
  const TMatrix4 id = MatMul(m, inv);
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(id.m[static_cast<std::size_t>(i)], TMatrix4{}.m[static_cast<std::size_t>(i)], 1e-5);
  EXPECT_NEAR(Determinant(m), 2, 1e-5);
  TMatrix4 singular;
  singular.at(1, 1) = 0;
  EXPECT_FALSE(Inverse(singular, inv));
  EXPECT_TRUE(inv.IsIdentity());
  EXPECT_EQ(Transpose(Transpose(m)), m);
  // w = 0 counts as 0.001.
  TMatrix4 flat;
  flat.at(3, 3) = 0;
  EXPECT_EQ(ProjectPoint(flat, {1, 2, 0}), (TPoint{1000, 2000}));

  tline_3d line;
  ASSERT_TRUE(line.Allocate(1));
  line.SetPoint3(0, {1, 0, 0});
  line.SetPoint3(1, {0, 0, 2});
  line.MovePose({1, 1, 1}, {10, 20, 30}, {1, 1, 1}, {10, 20, 30});
  EXPECT_EQ(line.Item(0), (TVector3{1, 0, 0}));
  // From the origin, unturned, to (5, 0, 0) turned 90° about y.
  line.MovePose({0, 0, 0}, {0, 0, 0}, {5, 0, 0}, {0, 90, 0});
  EXPECT_NEAR(line.GetX(0), 5, 1e-5);
  EXPECT_NEAR(line.GetZ(0), -1, 1e-5);
  EXPECT_NEAR(line.GetX(1), 7, 1e-5);
  TBox3 box;
  ASSERT_TRUE(line.GetBox(box));
  EXPECT_NEAR(box.min.x, 5, 1e-5);
  EXPECT_NEAR(box.max.x, 7, 1e-5);
}

TEST(GeometryTest, CameraAndParallelView) {
  TCamera cam;
  cam.elevation = 90;
  CameraEye(cam);
  // Straight down: the horizontal offset becomes −0.001 so that the view has a horizontal axis.
  EXPECT_NEAR(cam.eye.x, -0.001, 1e-6);
  EXPECT_NEAR(cam.eye.y, cam.distance, 1e-4);
  const TCamera boxed = CameraFromBox({0, 0, 0}, {2, 0, 0}, TCamera{});
  EXPECT_EQ(boxed.target, (TVector3{1, 0, 0}));
  EXPECT_FLOAT_EQ(boxed.windowWidth, 2);
  EXPECT_FLOAT_EQ(boxed.distance, 2.2f);
  EXPECT_FLOAT_EQ(boxed.eyeDistance, 1.1f);

  // Looking down z at a 10 × 10 window onto the viewport 100..500 × 200..600.
  TCamera top;
  top.eye = {0, 0, 10};
  top.viewLeft = 100;
  top.viewTop = 200;
  top.viewRight = 500;
  top.viewBottom = 600;
  const TMatrix4 v = ViewMatrix(top);
  EXPECT_EQ(ProjectPoint(v, {0, 0, 0}), (TPoint{300, 400}));
  EXPECT_EQ(ProjectPoint(v, {-5, 5, 0}), (TPoint{100, 200}));
  EXPECT_EQ(ProjectPoint(v, {5, -5, 0}), (TPoint{500, 600}));
  // Perspective: nearer points lie further out.
  top.kind = 0;
  const TMatrix4 pv = ViewMatrix(top);
  EXPECT_GT(ProjectPoint(pv, {2, 0, 5}).x, ProjectPoint(pv, {2, 0, 0}).x);
  EXPECT_EQ(ProjectPoint(pv, {0, 0, 3}), (TPoint{300, 400}));
}

TEST(CollectionTest, RectanglesSortedValuesAndForwarding) {
  tsinglecoll values;
  values.AddValue(0);
  values.AddValue(-5);
  EXPECT_EQ(values.Count(), 0);
  for (float v : {3.0f, 1.0f, 2.0f, 7.0f, 5.0f, 4.0f}) values.AddValue(v);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(values.ValueAt(i), std::vector<float>({1, 2, 3, 4, 5, 7})[static_cast<std::size_t>(i)]);
  EXPECT_EQ(values.ValueAt(6), -1);
  EXPECT_EQ(values.ItemValue(-1), nullptr);
  values.Delete(10);  // ignored
  values.Delete(0);
  EXPECT_EQ(values.ValueAt(0), 2);

  trectcoll rects(100);
  TRect r;
  EXPECT_FALSE(rects.GetRect(r));
  EXPECT_EQ(r.left, 32000);
  EXPECT_FALSE(rects.Intersects({0, 0, 10, 10}));
  rects.AddRect({0, 0, 10, 10});
  rects.AddRect({20, 5, 20, 5});  // widened by one unit
  ASSERT_TRUE(rects.GetRect(r));
  EXPECT_EQ(r, (TRect{0, 0, 21, 10}));
  EXPECT_TRUE(rects.Intersects({10, 10, 12, 12}));
  EXPECT_FALSE(rects.Intersects({11, 11, 12, 12}));
  EXPECT_EQ(rects.RectOf(5), TRect{});

  trectcoll same(100.0005f), other(101);
  EXPECT_TRUE(same.CopyIfSameKey(rects));
  EXPECT_EQ(same.Count(), 2);
  EXPECT_FALSE(other.CopyIfSameKey(rects));
  EXPECT_EQ(other.Count(), 0);

  auto copy = rects.Copy();
  rects.Clear();
  EXPECT_EQ(copy->Count(), 2);
  EXPECT_EQ(static_cast<trectcoll&>(*copy).key, 100);

  // Matrices go to every member.
  tbasecoll lines;
  for (int k = 0; k < 2; ++k) {
    auto l = std::make_unique<tline_3d>();
    ASSERT_TRUE(l->Allocate(0));
    l->SetPoint3(0, {static_cast<float>(k), 0, 0});
    lines.AddOwned(std::move(l));
  }
  TMatrix4 shift;
  AppendTransform(shift, TTransformKind::Translate, TAxis::Y, 3);
  lines.ApplyMatrix(shift);
  TBox3 box;
  ASSERT_TRUE(lines.GetBox(box));
  EXPECT_EQ(box.min, (TVector3{0, 3, 0}));
  EXPECT_EQ(box.max, (TVector3{1, 3, 0}));
}

}  // namespace
}  // namespace kandelo
