#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "diagram_fixtures.h"
#include "evaluation/cone.h"
#include "evaluation/diagram_common.h"
#include "photometry/format_io.h"
#include "evaluation/isolux.h"
#include "evaluation/isolux_diagram.h"
#include "graphics/recording_device.h"
#include "lum_fixture.h"
#include "support/test_support.h"

namespace kandelo {
namespace {

const TRect kBox{0, 0, 4000, 4000};

// ---- half-value angle and cone ---------------------------------------------------

TEST(HalfValueAngleTest, ReferenceRules) {
  // I0 = Imax: half of Imax; cos γ = 0.5 at 60°.
  const TLUM32 cosine = test::Downlight();
  EXPECT_NEAR(HalfValueAngle(cosine, 0), 60.0, 0.15);
  // Batwing with I0 = 600 < Imax = 1000 at 30°: reference (600 + 2000)/3,
  // half = 433.3, reached on the outer flank (linear in 5° steps).
  const TLUM32 batwing = test::MakeLuminaire(
      [](double g, double) { return g <= 30 ? 600 + 400 * g / 30 : g <= 80 ? 1000 - 1000 * (g - 30) / 50 : 0.0; }, 15,
      true);
  ASSERT_NEAR(batwing.Imax, 1000, 1e-3);
  EXPECT_NEAR(HalfValueAngle(batwing, 0), 30 + 50 * (1 - 433.333 / 1000), 0.15);
  // A deep batwing (axis below half the reference) gets its flank, not 0°.
  const TLUM32 deep = test::MakeLuminaire(
      [](double g, double) { return g <= 40 ? 100 + 900 * g / 40 : g <= 80 ? 1000 - 1000 * (g - 40) / 40 : 0.0; }, 15,
      true);
  EXPECT_NEAR(HalfValueAngle(deep, 0), 40 + 40 * (1 - 350.0 / 1000), 0.15);
  // Never falling within 90°: 90°. No light downwards: 0°.
  const TLUM32 wide = test::MakeLuminaire([](double, double) { return 500.0; }, 15, true);
  EXPECT_EQ(HalfValueAngle(wide, 0), 90.0);
  EXPECT_EQ(HalfValueAngle(test::Uplight(), 0), 0.0);
}

TEST(ConeTest, DistanceSetsAndValues) {
  EXPECT_EQ(DistanceSetText(4, ','), "7,5 m");
  EXPECT_EQ(DistanceSetText(12), "100 m");
  EXPECT_EQ(FindDistanceSet(7.5), 4);
  EXPECT_EQ(FindDistanceSet(8), -1);

  // Lambertian cone: Φcone = π·I0·sin²α per klm, so Em = I0·cos²α·klm/d².
  const auto lum = test::MakeLum(test::Lambert);
  TConeRecord rec = MakeConeRecord(*lum, 4, 2000);
  EXPECT_EQ(rec.planeCount, 1);
  EXPECT_NEAR(rec.angleC0, 60.0, 0.15);
  const std::vector<TConeStep> steps = ComputeCone(*lum, rec);
  ASSERT_EQ(steps.size(), 3u);
  const double i0 = 1000 / M_PI, klm = 2.0;
  const double alpha = rec.angleC0 * M_PI / 180;
  for (std::size_t k = 0; k < 3; ++k) {
    const double d = 2.5 * double(k + 1);
    EXPECT_DOUBLE_EQ(steps[k].distance, d);
    EXPECT_NEAR(steps[k].axisIlluminance, i0 * klm / (d * d), 1e-3);
    EXPECT_NEAR(steps[k].diameter, 2 * d * std::tan(alpha), 1e-9);
    EXPECT_NEAR(steps[k].meanIlluminance, i0 * klm * std::pow(std::cos(alpha), 2) / (d * d), 0.01 * steps[k].meanIlluminance);
  }
  // A half-value angle of 90° leaves no cone to cut.
  rec.angleC0 = 90;
  EXPECT_FALSE(ComputeCone(*lum, rec)[0].hasCone);

  EXPECT_EQ(IlluminanceText(10.6), "11 lx");
  EXPECT_EQ(IlluminanceText(10.0), "10.0 lx");
  EXPECT_EQ(IlluminanceText(5.06), "5.1 lx");
  EXPECT_EQ(IlluminanceText(5.0), "5.00 lx");
}

TEST(ConeTest, FluxOfTheConeInEveryPlaneSystem) {
  // A uniform 100 cd/klm: 2π·100·(1 − cos α) in the cone.
  const double expected = 2 * M_PI * 100 * (1 - std::cos(30 * M_PI / 180));
  const TLUM32 cg = test::MakeLuminaire([](double, double) { return 100.0; }, 15, true);
  EXPECT_NEAR(ConeFlux(cg, 30), expected, 0.005 * expected);
  TLUM32 bb;
  ASSERT_TRUE(bb.CreateNew("bb.l32", psBBeta, symNone, 0, 13, -90, 15, 90, {}, 37, -90, 5, 90, {}));
  for (int i = 1; i <= 13; ++i)
    for (int j = 1; j <= 37; ++j) bb.SetValue(i, j, 100);
  bb.CalcFlux();
  bb.FindMaxIntensity();
  EXPECT_NEAR(ConeFlux(bb, 30), expected, 0.005 * expected);
  TConeRecord rec = MakeConeRecord(bb, 5, 1000);
  rec.angleC0 = 30;
  EXPECT_GT(ComputeCone(bb, rec)[0].meanIlluminance, 0);
}

TEST(ConeTest, DrawingShowsStepsAndSections) {
  const TLUM32 lum = test::Downlight();  // α = 60°
  TRecordingDevice dev(false);
  TStandaloneScope standalone;
  TConeRecord rec = MakeConeRecord(lum, 4, 1000);
  rec.angleC0 = 60;
  DrawCone(lum, dev, kBox, "", rec, kBox);
  const std::vector<std::string> texts = dev.Texts();
  for (const char* t : {"H : 2.5 m", "H : 5.0 m", "H : 7.5 m", "\xD8" "8.7 m", "\xD8" "17.3 m", "160 lx", "40 lx"})
    EXPECT_NE(std::find(texts.begin(), texts.end(), t), texts.end()) << t;
  EXPECT_EQ(texts.front().substr(0, 4), " 120");  // no language file: the key's text is empty
  // Frame 1000..3400 × 400..3700, p = 825: radii 1429, 2858 and 4287 units;
  // the last two are wider than the frame's 2400 and cut at its right side.
  // Half-ellipses from the axis into the frame.
  const int radii[3] = {1429, 2858, 4287};
  int sections = 0;
  for (const TDrawOp& op : dev.ops)
    if (op.kind == TDrawOp::Polygon && op.brush.color == 0x00FFFFu) {
      ASSERT_LT(sections, 3);
      const int k = sections++;
      int left = 1 << 30, right = -(1 << 30), top = 1 << 30, bottom = -(1 << 30);
      for (TPoint p : op.points) {
        left = std::min(left, p.x);
        right = std::max(right, p.x);
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
      }
      EXPECT_EQ(left, 1000);
      EXPECT_EQ(right, std::min(1000 + radii[k], 3400));
      EXPECT_EQ(top + bottom, 2 * (400 + 825 * (k + 1)));
      EXPECT_NEAR(bottom - top, 2 * std::min(radii[k], 2400) / 10.0, 1);
    }
  EXPECT_EQ(sections, 3);
}

// ---- isolux ------------------------------------------------------------------------

TEST(IsoluxLevelsTest, StartAndEnd) {
  struct Case {
    float min, max;
    std::vector<float> levels;
  };
  const Case cases[] = {
      {4, 250, {5, 7, 10, 15, 20, 25, 50, 100, 200}},
      {4, 350, {15, 20, 25, 50, 100, 200, 300}},
      {0.1f, 5000, {15, 20, 25, 50, 100, 200, 300, 500, 750, 1000, 1500, 2000}},
      {0.1f, 0.6f, {0.2f, 0.5f}},
      {0, 0, {}},
      {0, NAN, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(IsoluxLevels(c.min, c.max), c.levels) << c.min << " " << c.max;
}

TEST(IsoluxTest, CatmullRomSmoothingKeepsPointsAndEdges) {
  const std::vector<TIsoPoint> square = {{0, 0, 5}, {1, 0, 5}, {1, 1, 5}, {0, 1, 5}};
  // Segments longer than s get round(length/s) points, through the originals.
  std::vector<TIsoPoint> out = SmoothContour(square, 0.25f);
  ASSERT_EQ(out.size(), 16u);
  EXPECT_EQ(out[3].x, 1);
  EXPECT_EQ(out[3].y, 0);
  EXPECT_NEAR(out[1].y, -0.125, 1e-6);  // the closed curve bulges outwards, across its start too
  EXPECT_NEAR(out[13].x, -0.125, 1e-6);
  // Points on the grid's edge (flag 0) keep the segments between them straight.
  std::vector<TIsoPoint> edge = square;
  for (TIsoPoint& p : edge) p.flag = 0;
  out = SmoothContour(edge, 0.25f);
  ASSERT_EQ(out.size(), 4u);
  EXPECT_EQ(out[0].x, 1);
  // One end on the edge: that end stands in for its outer neighbour.
  edge = square;
  edge[0].flag = 0;
  out = SmoothContour(edge, 0.25f);
  ASSERT_EQ(out.size(), 16u);
  EXPECT_NEAR(out[1].y, -0.0625, 1e-6);
  // Segments not longer than s contribute their end point only.
  EXPECT_EQ(SmoothContour(square, 1.0f).size(), 4u);
}

double Radius(const TVector3& p) { return std::hypot(p.x, p.y); }

TEST(IsoluxTest, LambertianCirclesAndClosedFormExtremes) {
  // E = I0·cos⁴γ/h², I0 = 1000/π cd at 1000 lm; the window's default area.
  // The node grid extrapolates its corners linearly from the cells, which
  // is 0.4 % low here (and more under a lower luminaire).
  const auto lum = test::MakeLum(test::Lambert);
  const double a = 10, h = 5, i0 = 1000 / M_PI;
  const auto iso = ComputeIsolux(*lum, a, h, 1.0);
  ASSERT_TRUE(iso);
  auto closedForm = [&](double r) { return i0 / (h * h) * std::pow(h * h / (h * h + r * r), 2); };
  EXPECT_NEAR(iso->stats.max, closedForm(0), 0.005 * closedForm(0));
  EXPECT_NEAR(iso->stats.min, closedForm(a / std::sqrt(2.0)), 0.005 * closedForm(a / std::sqrt(2.0)));
  EXPECT_EQ(iso->levels, (std::vector<float>{3, 5, 7, 10}));

  const double cell = a / 48;
  std::map<float, int> perLevel;
  for (int i = 0; i < iso->lines.Count(); ++i) {
    const tisoline& line = *iso->lines.Line(i);
    ++perLevel[line.level];
    const double r = h * std::sqrt(std::sqrt(i0 / (h * h * line.level)) - 1);
    SCOPED_TRACE(line.level);
    ASSERT_GE(line.NumPoints(), 8);
    for (int k = 0; k < line.NumPoints(); ++k) {
      const TVector3& p = line.Item(k);
      const bool onBorder = std::max(std::fabs(p.x), std::fabs(p.y)) > a / 2 - 1e-3;
      if (!onBorder) {
        EXPECT_NEAR(Radius(p), r, cell) << k;
      }
      EXPECT_LE(std::max(std::fabs(p.x), std::fabs(p.y)), a / 2 + 1e-3);
    }
    // Closed: the last point is a neighbour of the first.
    const TVector3 &first = line.Item(0), &last = line.Item(line.NumPoints() - 1);
    EXPECT_LT(std::hypot(first.x - last.x, first.y - last.y), cell * 1.5);
  }
  for (float level : iso->levels) EXPECT_EQ(perLevel[level], 1) << level;
  // Larger lines first: the 3 lx circle is cut by the border, the 10 lx one is innermost.
  EXPECT_EQ(iso->lines.Line(0)->level, 3);
  EXPECT_EQ(iso->lines.Line(iso->lines.Count() - 1)->level, 10);
}

TEST(IsoluxTest, DrawingTextsScalesAndLabels) {
  auto lum = test::MakeLum(test::Lambert);
  lum->LumName = "Downlight";
  TIsoluxRecord rec;  // 10 m, 5 m, 1000 lm
  const TRect area = IsoluxDrawingArea(kBox);
  EXPECT_EQ(area, (TRect{520, 400, 520 + 3320, 400 + 3200}));
  {
    TRecordingDevice dev(false);
    TStandaloneScope standalone;
    DrawIsolux(*lum, dev, kBox, true, "", rec, false, kBox);
    const std::vector<std::string> texts = dev.Texts();
    for (const char* t : {"H = 5.0 m        1000 lm        E (lx)", "-5.0", "0.0", "5.0 m", "3.0", "10.0"})
      EXPECT_NE(std::find(texts.begin(), texts.end(), t), texts.end()) << t;
    EXPECT_EQ(std::find(texts.begin(), texts.end(), "Downlight"), texts.end());
    // White label boxes inside the frame, none overlapping another.
    std::vector<TRect> boxes;
    for (const TDrawOp& op : dev.ops)
      if (op.kind == TDrawOp::Rectangle && op.brush.color == 0xFFFFFFu && op.brush.style == gdi::BS_SOLID)
        boxes.push_back({op.points[0].x, op.points[0].y, op.points[1].x, op.points[1].y});
    EXPECT_GE(boxes.size(), 4u);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
      EXPECT_GE(boxes[i].left, area.left + 100);
      EXPECT_LE(boxes[i].bottom, area.bottom - 100);
      for (std::size_t k = i + 1; k < boxes.size(); ++k) EXPECT_FALSE(RectsIntersect(boxes[i], boxes[k])) << i << " " << k;
    }
    // The luminaire's 600 × 600 mm outline to scale at the centre.
    const int half = RoundEven(600 * 3320 / 10000.0 / 2);
    const TPoint centre{520 + (3320 - 14) / 2, 400 + (3200 - 14) / 2};
    bool outline = false;
    for (const TDrawOp& op : dev.ops)
      if (op.kind == TDrawOp::Rectangle && op.points[0] == TPoint{centre.x - half, centre.y - half}) outline = true;
    EXPECT_TRUE(outline);
  }
  for (bool datasheet : {false, true}) {
    TRecordingDevice dev(true);
    DrawIsolux(*lum, dev, kBox, true, "", rec, datasheet, kBox);
    const std::vector<std::string> texts = dev.Texts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), "H = 5.0 m        1000 lm        E (lx)"), texts.end());
    EXPECT_EQ(std::find(texts.begin(), texts.end(), "Downlight") != texts.end(), !datasheet);
  }
}

TEST(IsoluxTest, PlaneCoordinatesFollowTheCPlanes) {
  // Light towards C 90 only: the bright side is +y; C 0 (+x) and C 180 (−x) alike.
  const TLUM32 lum = test::MakeLuminaire(
      [](double g, double c) { return g <= 90 ? 1000 * std::max(0.0, std::sin(c * M_PI / 180)) : 0.0; });
  const auto iso = ComputeIsolux(lum, 10, 3, 1);
  ASSERT_TRUE(iso);
  // Cells (i, k) lie at x = (i − 0.5)·0.2 − 5, y = (k − 0.5)·0.2 − 5.
  EXPECT_GT(iso->grid.Get(25, 40), 10 * iso->grid.Get(25, 11));
  EXPECT_NEAR(iso->grid.Get(40, 40), iso->grid.Get(11, 40), 1e-3 * iso->grid.Get(40, 40));
  ASSERT_GT(iso->lines.Count(), 0);
  for (int i = 0; i < iso->lines.Count(); ++i) {
    const TBox3 box = iso->lines.Line(i)->Bounds();
    EXPECT_GT(box.max.y + box.min.y, 0);  // every line lies more on the +y side
  }
}

TEST(IsoluxTest, DegenerateLuminairesGiveNoLevels) {
  TLUM32 single;
  single.CreateNew("one.l32", psCGamma, symNone, 0, 1, 0, 0, 0, {}, 19, 0, 5, 90, {});
  for (int j = 1; j <= 19; ++j) single.SetValue(1, j, 100);
  single.CalcFlux();
  single.FindMaxIntensity();
  const TLUM32 zero = test::MakeLuminaire([](double, double) { return 0.0; });
  struct Case {
    const char* name;
    const TLUM32* lum;
  };
  const TLUM32 up = test::Uplight();
  for (const Case& c : {Case{"zero", &zero}, Case{"uplight", &up}, Case{"single plane", &single}}) {
    SCOPED_TRACE(c.name);
    const auto iso = ComputeIsolux(*c.lum, 10, 5, 1);
    ASSERT_TRUE(iso);
    EXPECT_TRUE(std::isfinite(iso->stats.min) && std::isfinite(iso->stats.max));
    if (c.lum != &single) {
      EXPECT_TRUE(iso->levels.empty());
    }
    TRecordingDevice dev(false);
    TStandaloneScope standalone;
    TIsoluxRecord rec;
    DrawIsolux(*c.lum, dev, kBox, true, "", rec, false, kBox);
    const TRect area = IsoluxDrawingArea(kBox);
    bool frame = false;
    for (const TDrawOp& op : dev.ops)
      if (op.kind == TDrawOp::Rectangle && op.points[0] == TPoint{area.left, area.top}) frame = true;
    EXPECT_TRUE(frame);
  }
}

TEST(IsoluxTest, RefusesBadParameters) {
  const TLUM32 lum = test::Downlight();
  std::string error;
  for (auto [side, height, flux] : {std::tuple{0.0, 5.0, 1.0}, {10.0, -1.0, 1.0}, {1e9, 5.0, 1.0}, {10.0, NAN, 1.0},
                                    {10.0, 5.0, -1.0}, {10.0, 5.0, INFINITY}}) {
    error.clear();
    EXPECT_FALSE(ComputeIsolux(lum, side, height, flux, &error));
    EXPECT_FALSE(error.empty());
  }
}

// Whether segment ab crosses segment cd (proper crossing).
bool Cross(const TVector3& a, const TVector3& b, const TVector3& c, const TVector3& d) {
  auto orient = [](const TVector3& p, const TVector3& q, const TVector3& r) {
    const double v = double(q.x - p.x) * (r.y - p.y) - double(q.y - p.y) * (r.x - p.x);
    return v > 1e-12 ? 1 : v < -1e-12 ? -1 : 0;
  };
  return orient(a, b, c) * orient(a, b, d) < 0 && orient(c, d, a) * orient(c, d, b) < 0;
}

TEST(IsoluxTest, AsymmetricCorpusLuminairesGiveClosedSeparateLines) {
  if (!test::corpusAvailable()) GTEST_SKIP() << "no corpus";
  for (const char* file : {"eulumdat-rs/EulumdatApp/EulumdatApp/Resources/Templates/road_luminaire.ldt",
                           "eulumdat-rs/EulumdatApp/EulumdatApp/Resources/Templates/"
                           "4058075580657_FL_MAX_LUM_900W_757_ASYM_50X110_WAL.ldt"}) {
    SCOPED_TRACE(file);
    TLUM32 lum;
    ASSERT_TRUE(LoadLuminaire(test::corpusPath(file), lum, LoadValues::AsRead).ok());
    lum.CalcFlux();
    lum.FindMaxIntensity();
    const auto iso = ComputeIsolux(lum, 20, 8, LampFluxOf(lum) / 1000);
    ASSERT_TRUE(iso);
    ASSERT_GE(iso->levels.size(), 3u);
    ASSERT_GE(iso->lines.Count(), 3);
    const double half = 10, cell = 20.0 / 48;
    // Bucket the segments on a coarse grid so that only near ones are compared.
    struct Seg {
      int line;
      TVector3 a, b;
    };
    std::map<std::pair<int, int>, std::vector<Seg>> buckets;
    for (int i = 0; i < iso->lines.Count(); ++i) {
      const tisoline& line = *iso->lines.Line(i);
      const int n = line.NumPoints();
      for (int k = 0; k < n; ++k) {
        const TVector3 &a = line.Item(k), &b = line.Item((k + 1) % n);
        EXPECT_LE(std::max(std::fabs(a.x), std::fabs(a.y)), half + 1e-3);
        EXPECT_LT(std::hypot(a.x - b.x, a.y - b.y), 2 * cell);  // closed, no jumps
        const int bx = int(std::floor((a.x + half) / 1.0)), by = int(std::floor((a.y + half) / 1.0));
        buckets[{bx, by}].push_back({i, a, b});
      }
    }
    int crossings = 0;
    for (const auto& [key, segs] : buckets)
      for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy) {
          auto it = buckets.find({key.first + dx, key.second + dy});
          if (it == buckets.end()) continue;
          for (const Seg& s : segs)
            for (const Seg& t : it->second)
              if (s.line < t.line && Cross(s.a, s.b, t.a, t.b)) ++crossings;
        }
    EXPECT_EQ(crossings, 0);
  }
}

}  // namespace
}  // namespace kandelo
