// The table-like evaluation drawings on a recording device: what each shows
// for the cases that matter, and that bad luminaires draw without NaN or
// coordinates out of range.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <regex>

#include "evaluation/diagram_common.h"
#include "evaluation/evaluation_picture.h"
#include "evaluation/glare_diagram.h"
#include "evaluation/quick_planning_diagram.h"
#include "evaluation/ugr_diagram.h"
#include "evaluation/utilization_diagram.h"
#include "graphics/recording_device.h"
#include "lum_fixture.h"
#include "photometry/lum32.h"

namespace kandelo {
namespace {

const std::string kEnglish = "resources/language/ORVMSG.ENG";
const TRect kGlareRect{0, 0, 6000, 3197};

std::unique_ptr<TRecordingDevice> Record(const std::function<void(TDevice&)>& draw) {
  auto dev = std::make_unique<TRecordingDevice>(false);
  TStandaloneScope standalone;
  draw(*dev);
  return dev;
}

bool HasText(const TRecordingDevice& dev, const std::string& text) {
  const auto texts = dev.Texts();
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// Polylines of n points drawn with a visible pen of width w.
int Polylines(const TRecordingDevice& dev, std::size_t n, int width) {
  int count = 0;
  for (const TDrawOp& op : dev.ops)
    if (op.kind == TDrawOp::Polyline && op.points.size() == n && op.pen.style != gdi::PS_NULL && op.pen.width == width)
      ++count;
  return count;
}

// A long luminaire (1500 × 60 mm) with luminous sides 30 mm high.
std::unique_ptr<TLUM32> LongSided() {
  auto lum = test::MakeLum([](double g, double c) { return g <= 90 ? 300 * test::CosD(g) * (1 + 0.2 * test::CosD(c)) : 0.0; }, false);
  lum->LumAreaLength = 1500;
  lum->LumAreaWidth = 60;
  lum->LumAreaHeight = {30, 30, 30, 30};
  return lum;
}

TEST(GlareCurvesDrawing, RotationalShowsOneProfileAndOneFamily) {
  auto lum = test::MakeLum(test::Lambert);
  const auto dev = Record([&](TDevice& dc) { DrawGlareCurves(*lum, dc, kGlareRect, true, kEnglish, false, kGlareRect); });
  const int lw = DiagramState().lineWidth;
  EXPECT_EQ(Polylines(*dev, 161, lw), 1);
  EXPECT_TRUE(HasText(*dev, " C0-C180"));
  EXPECT_FALSE(HasText(*dev, " C90-C270"));
  // Flat luminaire: only the family without luminous sides, all nine curves solid.
  EXPECT_TRUE(HasText(*dev, "Luminaires without luminous sides"));
  EXPECT_FALSE(HasText(*dev, "Luminaires with luminous sides"));
  EXPECT_EQ(Polylines(*dev, 4, 0), 9);
  // Luminance ticks: 1 … 10, 20, 30 kcd/m² without 7 and 9.
  for (const char* label : {"1", "2", "3", "4", "5", "6", "8", "10", "20", "30"}) EXPECT_TRUE(HasText(*dev, label)) << label;
  EXPECT_FALSE(HasText(*dev, "7"));
  EXPECT_FALSE(HasText(*dev, "9"));
}

TEST(GlareCurvesDrawing, LongSidedLuminaireDrawsBothFamiliesTheSidedOneDotted) {
  auto lum = LongSided();
  const auto dev = Record([&](TDevice& dc) { DrawGlareCurves(*lum, dc, kGlareRect, true, kEnglish, false, kGlareRect); });
  EXPECT_TRUE(HasText(*dev, " C90-C270"));
  EXPECT_TRUE(HasText(*dev, "Luminaires without luminous sides"));
  EXPECT_TRUE(HasText(*dev, "Luminaires with luminous sides"));
  // The first family solid (9 curves of 4 points), the sided one broken into dots.
  EXPECT_EQ(Polylines(*dev, 4, 0), 9);
  // Dots: short visible runs of two points, many a curve.
  EXPECT_GT(Polylines(*dev, 2, 0), 9 * 10);
}

// Profiles below the scale's 0.8 kcd/m² run along its left edge: the chart says so.
TEST(GlareCurvesDrawing, SaysWhenAProfileFallsBelowTheScale) {
  for (double flux : {1000.0, 500.0}) {
    auto lum = test::MakeLum(test::Lambert);  // 884 cd/m² at 1000 lm
    lum->LampSets[0].SetFlux = static_cast<float>(flux);
    const auto dev = Record([&](TDevice& dc) { DrawGlareCurves(*lum, dc, kGlareRect, true, kEnglish, false, kGlareRect); });
    EXPECT_EQ(HasText(*dev, "Below 0.8 kcd/m\xB2: at the left edge"), flux < 900) << flux;
  }
}

TEST(GlareTableDrawing, ShowsTheProfileValues) {
  auto lum = test::MakeLum(test::Lambert);
  const auto dev = Record([&](TDevice& dc) { DrawGlareTable(*lum, dc, kGlareRect, true, kEnglish, false, kGlareRect); });
  // Lambertian 1000 lm over 0.36 m²: 1000/π/0.36 cd/m² at every angle.
  EXPECT_TRUE(HasText(*dev, "884.2"));
  EXPECT_TRUE(HasText(*dev, "gamma"));
  EXPECT_TRUE(HasText(*dev, "C 270"));
  EXPECT_TRUE(HasText(*dev, "85\xB0"));
}

TEST(LuminaireCountDrawing, CountsRoundUpBeyondAThousandth) {
  auto lum = test::MakeLum(test::Lambert);
  TLuminaireCountParams p;
  TLuminaireCountResult r{};
  for (auto& h : r)
    for (auto& e : h) e.fill(kCountUndefined);
  r[0][0][0] = 12.0005f;
  r[0][0][1] = 12.002f;
  const TRect rect{0, 0, 5000, 3846};
  const auto dev = Record([&](TDevice& dc) { DrawLuminaireCount(*lum, dc, rect, true, kEnglish, p, r, false, rect); });
  EXPECT_TRUE(HasText(*dev, "12"));
  EXPECT_TRUE(HasText(*dev, "13"));
  EXPECT_TRUE(HasText(*dev, "-"));
  EXPECT_TRUE(HasText(*dev, "Number of luminaires in the room (reflectances 80/80/30)"));
  EXPECT_TRUE(HasText(*dev, "Maintenance factor : 0.8"));
}

TEST(FloorCurvesDrawing, ScaleEndsAndTheirLabels) {
  auto lum = test::MakeLum(test::Lambert);
  struct Case {
    bool emergency;
    float maximum;
    const char* bottom;
    const char* top;
  };
  const Case cases[] = {{true, 80, "0.1", "100"}, {true, 150, "0.1", "1000"}, {false, 1200, "1", "5000"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.maximum);
    TFloorCurveParams p;
    p.Emergency = c.emergency;
    p.Maximum = c.maximum;
    TFloorCurveResult r{};
    const auto dev = Record([&](TDevice& dc) { DrawFloorCurves(*lum, dc, kGlareRect, true, kEnglish, p, r, false, kGlareRect); });
    const auto texts = dev->Texts();
    for (const char* label : {c.bottom, "2", "5", "10", "100"}) EXPECT_TRUE(HasText(*dev, label)) << label;
    // Each scale value once, the upper end included, nothing above it.
    EXPECT_EQ(std::count(texts.begin(), texts.end(), std::string(c.top)), 1);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), std::string("100")), 1);
    EXPECT_FALSE(HasText(*dev, c.top == std::string("100") ? "1000" : "10000"));
    // Zero illuminances lie on the bottom line, inside the box.
    for (const TDrawOp& op : dev->ops)
      for (const TPoint& pt : op.points) {
        EXPECT_GE(pt.y, 0);
        EXPECT_LE(pt.y, kGlareRect.bottom);
      }
  }
}

TEST(UtilizationDrawings, MountingNoteAndNotApplicableCells) {
  auto lum = test::MakeLum(test::Lambert);
  const TRect rect{0, 0, 5000, 3846};
  RoomUtilTableT eta{};
  for (auto& row : eta) row.fill(0.5f);
  lum->LOR = 80;
  for (bool suspended : {false, true}) {
    const auto dev = Record([&](TDevice& dc) { DrawUtilizationDIN(*lum, eta, suspended, dc, rect, true, kEnglish, rect); });
    EXPECT_EQ(HasText(*dev, "Luminaires suspended"), suspended);
    EXPECT_EQ(HasText(*dev, "Luminaires surface-mounted on the ceiling"), !suspended);
    EXPECT_TRUE(HasText(*dev, "40"));  // 0.5 × 80 %
    EXPECT_TRUE(HasText(*dev, "Utilization factors / DIN"));
  }
  for (auto& row : lum->CibseUF) row.fill(255);
  lum->CibseBz.fill(255);
  lum->ShrNom = 2.5f;
  lum->ShrMax = 2.5f;
  const auto dev = Record([&](TDevice& dc) { DrawUtilizationTM5(*lum, dc, rect, true, kEnglish, rect); });
  int notApplicable = 0;
  for (const std::string& t : dev->Texts()) notApplicable += t == "N/A";
  EXPECT_EQ(notApplicable, 11 * 9);
  EXPECT_TRUE(HasText(*dev, "SHRnom : 2.50"));
  EXPECT_TRUE(HasText(*dev, "SHRmax : 2.500"));
}

TEST(UgrTableDrawing, ValuesCorrectedForTheLampFluxAndNoResultsDrawnEmpty) {
  auto lum = test::MakeLum(test::Lambert);
  UgrResultSet r;
  r.table.fill(20.0f);
  r.matchCross = {1, 7, 1.5f};
  const TRect rect{0, 0, 5000, 5556};
  auto count = [](const TRecordingDevice& dev, const std::string& text) {
    const auto texts = dev.Texts();
    return std::count(texts.begin(), texts.end(), text);
  };
  lum->LampSets[0].SetFlux = 1000;
  auto dev = Record([&](TDevice& dc) { DrawUgrTable(*lum, &r, dc, rect, true, kEnglish, false, rect); });
  EXPECT_EQ(count(*dev, "20.0"), 190);
  EXPECT_TRUE(HasText(*dev, "BK07"));
  EXPECT_TRUE(HasText(*dev, "1.5"));
  EXPECT_EQ(count(*dev, "----"), 2);  // no endwise match
  // 2000 lm: 8·lg 2 ≈ 2.4 higher everywhere.
  lum->LampSets[0].SetFlux = 2000;
  dev = Record([&](TDevice& dc) { DrawUgrTable(*lum, &r, dc, rect, true, kEnglish, false, rect); });
  EXPECT_EQ(count(*dev, "22.4"), 190);
  EXPECT_TRUE(HasText(*dev, "3.9"));
  EXPECT_TRUE(HasText(*dev, "UGR values corrected for the lamp flux  2000 lm"));
  // Without results: frame, headings and reflectances, no values.
  dev = Record([&](TDevice& dc) { DrawUgrTable(*lum, nullptr, dc, rect, true, kEnglish, false, rect); });
  EXPECT_EQ(count(*dev, "22.4"), 0);
  EXPECT_EQ(count(*dev, "----"), 4);
  EXPECT_TRUE(HasText(*dev, "Glare rating by the UGR method"));
}

// Luminaires the drawings must survive.
std::vector<std::pair<const char*, std::unique_ptr<TLUM32>>> BadLuminaires() {
  std::vector<std::pair<const char*, std::unique_ptr<TLUM32>>> list;
  auto noDims = test::MakeLum(test::Lambert);
  noDims->LumAreaLength = noDims->LumAreaWidth = 0;
  noDims->Length = noDims->Width = 0;
  list.emplace_back("no luminous dimensions", std::move(noDims));
  auto noFlux = test::MakeLum([](double, double) { return 0.0; });
  noFlux->LampSets[0].SetFlux = 0;
  list.emplace_back("zero flux", std::move(noFlux));
  list.emplace_back("single plane", test::MakeLum(test::Lambert, true));
  list.emplace_back("gamma up to 90", test::MakeLum(test::Lambert, false, 90));
  list.emplace_back("empty luminaire", std::make_unique<TLUM32>());
  return list;
}

TEST(EvaluationDrawings, BadLuminairesDrawWithoutNaNOrRunawayCoordinates) {
  const TEvalKind kinds[] = {TEvalKind::UtfDin, TEvalKind::UtfTm5, TEvalKind::UtfNb,      TEvalKind::Ugr,
                             TEvalKind::Glare,  TEvalKind::GlareTable, TEvalKind::Floor, TEvalKind::Count};
  // "nan" or "inf" as a word of its own, as a number formatter writes them.
  const std::regex kNotANumber("(^|[^a-z])(nan|inf)($|[^a-z])", std::regex::icase);
  for (auto& [name, lum] : BadLuminaires()) {
    for (TEvalKind kind : kinds) {
      SCOPED_TRACE(std::string(name) + " " + EvalKindName(kind));
      TEvalPicture picture;
      picture.kind = kind;
      picture.languageFile = kEnglish;
      PrepareEvaluation(*lum, picture);  // may fail; the drawing must not
      TRecordingDevice dev(false);
      DrawEvaluationStandalone(*lum, picture, dev, 800, 800);
      ASSERT_FALSE(dev.ops.empty());
      for (const TDrawOp& op : dev.ops) {
        for (const TPoint& pt : op.points) {
          ASSERT_LT(std::abs(pt.x), 100000);
          ASSERT_LT(std::abs(pt.y), 100000);
        }
        ASSERT_FALSE(std::regex_search(op.text, kNotANumber)) << op.text;
      }
    }
  }
}

}  // namespace
}  // namespace kandelo
