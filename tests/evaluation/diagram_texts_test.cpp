// What a reader sees of the evaluation drawings: over the drawing kinds and
// their parameters, no text runs into another or across a frame line, the
// labels say what they mean, and the intensity curves are the boldest lines
// drawn over the grid, on the screen as on paper.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <set>
#include <string>

#include "evaluation/cartesian_diagram.h"
#include "evaluation/cone.h"
#include "evaluation/diagram_common.h"
#include "evaluation/glare_diagram.h"
#include "evaluation/isolux_diagram.h"
#include "evaluation/polar_diagram.h"
#include "evaluation/quick_planning.h"
#include "evaluation/quick_planning_diagram.h"
#include "evaluation/utilization_diagram.h"
#include "frame/settings.h"
#include "frame/strutil.h"
#include "graphics/recording_device.h"
#include "lum_fixture.h"
#include "support/text_boxes.h"

namespace kandelo {
namespace {

const std::string kEnglish = "resources/language/ORVMSG.ENG";
const std::string kFrench = "resources/language/ORVMSG.FRA";
const std::string kGerman = "resources/language/ORVMSG.GER";

// A printer page of 600 dots an inch drawn in twips, as the datasheet does.
class TPrinterLike : public TRecordingDevice {
 public:
  TPrinterLike() : TRecordingDevice(true) {
    SetMapMode(gdi::MM_ANISOTROPIC);
    SetWindowExt(1440, 1440);
    SetViewportExt(600, 600);
  }
  int GetDeviceCaps(int index) const override {
    if (index == gdi::LOGPIXELSX || index == gdi::LOGPIXELSY) return 600;
    return TRecordingDevice::GetDeviceCaps(index);
  }
};

// A narrow downlight, a wide beam (half-value angle 62°), an asymmetric
// street light (more light towards C 0).
std::unique_ptr<TLUM32> Narrow() {
  return test::MakeLum([](double g, double) { return g <= 90 ? 3000 * std::pow(test::CosD(g), 20) : 0.0; });
}
// A spot: half of I0 at 6.7°, its isolux lines packed round the axis.
std::unique_ptr<TLUM32> Spot() {
  return test::MakeLum([](double g, double) { return g <= 90 ? 20000 * std::pow(test::CosD(g), 100) : 0.0; });
}
std::unique_ptr<TLUM32> Wide() {
  return test::MakeLum([](double g, double) { return g < 62 ? 400.0 : g < 90 ? 100.0 : 0.0; });
}
// A wide asymmetric beam: beam angles near 118° and 119°, the longest cone
// heading.
std::unique_ptr<TLUM32> WideAsymmetric() {
  return test::MakeLum(
      [](double g, double c) {
        const double s = std::sin(c * M_PI / 180);
        return g < 59.2 + 0.6 * s * s ? 400.0 : g < 90 ? 100.0 : 0.0;
      },
      false);
}
std::unique_ptr<TLUM32> Asymmetric() {
  return test::MakeLum(
      [](double g, double c) { return g <= 85 ? 300 * (1.2 + test::CosD(c)) * test::CosD(g / 2) : 0.0; }, false);
}

struct TDrawingCase {
  const char* name;
  std::function<std::unique_ptr<TLUM32>()> lum;
  std::function<void(const TLUM32&, TDevice&, const TRect&)> draw;
  double aspect = 1;  // width : height of the picture
};

void Polar(const TLUM32& lum, TDevice& dc, const TRect& r) {
  const std::vector<float> planes{0, 90, 45};
  DrawLVKPolar(lum, &planes, dc, true, kEnglish, true, true, r, r);
}
void Cartesian(const TLUM32& lum, TDevice& dc, const TRect& r) {
  const std::vector<float> planes{0, 90};
  DrawLVKCartesian(lum, &planes, dc, kEnglish, 0, r, r);
}
std::function<void(const TLUM32&, TDevice&, const TRect&)> Cone(int distanceSet, const std::string& language = kEnglish) {
  return [=](const TLUM32& lum, TDevice& dc, const TRect& r) {
    DrawCone(lum, dc, r, language, MakeConeRecord(lum, distanceSet, LampFluxOf(lum)), r);
  };
}
std::function<void(const TLUM32&, TDevice&, const TRect&)> Isolux(double side, double height = 5,
                                                                  bool datasheet = false,
                                                                  const std::string& language = kEnglish) {
  return [=](const TLUM32& lum, TDevice& dc, const TRect& r) {
    TIsoluxRecord rec;
    rec.side = static_cast<float>(side);
    rec.height = static_cast<float>(height);
    DrawIsolux(lum, dc, r, true, language, rec, datasheet, r);
  };
}
std::function<void(const TLUM32&, TDevice&, const TRect&)> Floor(float left, float right, bool emergency,
                                                                 const std::string& language = kEnglish) {
  return [=](const TLUM32& lum, TDevice& dc, const TRect& r) {
    TFloorCurveParams p;
    p.Left = left;
    p.Right = right;
    p.Emergency = emergency ? 1 : 0;
    TFloorCurveResult result{};
    ComputeFloorCurves(p, result, lum);
    DrawFloorCurves(lum, dc, r, true, language, p, result, false, r);
  };
}

void Glare(const TLUM32& lum, TDevice& dc, const TRect& r) { DrawGlareCurves(lum, dc, r, true, kEnglish, false, r); }
std::unique_ptr<TLUM32> DimPanel() {
  auto lum = test::MakeLum(test::Lambert);
  lum->LampSets[0].SetFlux = 500;
  return lum;
}

const TDrawingCase kCases[] = {
    {"glare below the scale", DimPanel, Glare, 6000.0 / 3197},
    {"glare asymmetric", Asymmetric, Glare, 6000.0 / 3197},
    {"polar narrow", Narrow, Polar},
    {"polar wide", Wide, Polar},
    {"polar asymmetric", Asymmetric, Polar},
    {"cartesian narrow", Narrow, Cartesian},
    {"cartesian asymmetric", Asymmetric, Cartesian},
    {"cone narrow 2 m", Narrow, Cone(0)},
    {"cone narrow 100 m", Narrow, Cone(12)},
    {"cone wide 2 m", Wide, Cone(0)},
    {"cone wide 10 m", Wide, Cone(5)},
    {"cone wide 100 m", Wide, Cone(12)},
    {"cone asymmetric 7.5 m", Asymmetric, Cone(4)},
    {"cone asymmetric French", Asymmetric, Cone(5, kFrench)},
    {"cone wide asymmetric English", WideAsymmetric, Cone(5)},
    {"cone wide asymmetric German", WideAsymmetric, Cone(5, kGerman)},
    {"cone wide asymmetric French", WideAsymmetric, Cone(5, kFrench)},
    {"isolux narrow", Narrow, Isolux(10)},
    {"isolux wide", Wide, Isolux(10)},
    {"isolux spot", Spot, Isolux(10)},
    {"isolux spot close up", Spot, Isolux(2, 3)},
    {"isolux spot on the datasheet", Spot, Isolux(6, 3, true)},
    {"isolux spot French", Spot, Isolux(10, 5, false, kFrench)},
    {"isolux spot German on the datasheet", Spot, Isolux(10, 5, true, kGerman)},
    {"floor section -0.5 to 6", Wide, Floor(-0.5f, 6, false), 7509.0 / 4000},
    {"floor section 5 to 6", Narrow, Floor(5, 6, false), 7509.0 / 4000},
    {"floor emergency French", Wide, Floor(-2, 6, true, kFrench), 7509.0 / 4000},
};

// Draws the case on the screen (a standalone picture) and on a printed page.
std::vector<std::pair<std::string, std::unique_ptr<TRecordingDevice>>> DrawEverywhere(const TDrawingCase& c,
                                                                                       TRect& screenRect,
                                                                                       TRect& pageRect) {
  std::vector<std::pair<std::string, std::unique_ptr<TRecordingDevice>>> out;
  const auto lum = c.lum();
  screenRect = {0, 0, static_cast<int>(std::lround(4000 * c.aspect)), 4000};
  {
    auto dev = std::make_unique<TRecordingDevice>(true);
    TStandaloneScope standalone;
    c.draw(*lum, *dev, screenRect);
    out.emplace_back("screen", std::move(dev));
  }
  // 100 × 100 mm on the page.
  pageRect = {1000, 1500, 1000 + static_cast<int>(std::lround(5669 * c.aspect)), 1500 + 5669};
  auto page = std::make_unique<TPrinterLike>();
  c.draw(*lum, *page, pageRect);
  out.emplace_back("page", std::move(page));
  return out;
}

TEST(DiagramTextsTest, NoTextRunsIntoAnotherOrAcrossAFrame) {
  for (const TDrawingCase& c : kCases) {
    TRect screen, page;
    for (auto& [where, dev] : DrawEverywhere(c, screen, page)) {
      SCOPED_TRACE(std::string(c.name) + " on the " + where);
      const std::vector<test::TTextBox> boxes = test::TextBoxes(*dev);
      ASSERT_FALSE(boxes.empty());
      for (const std::string& pair : test::OverlappingTexts(boxes)) ADD_FAILURE() << "overlap: " << pair;
      for (const TRect& frame : test::Frames(*dev))
        for (const std::string& text : test::TextsAcross(boxes, frame)) ADD_FAILURE() << "across a frame: " << text;
      const TRect& r = where == "screen" ? screen : page;
      const TRect sq = DiagramSquare(r);
      const double slack = 0.01 * sq.Width();
      for (const test::TTextBox& b : boxes) {
        EXPECT_TRUE(b.left >= r.left - slack && b.right <= r.right + slack && b.top >= r.top - slack &&
                    b.bottom <= r.bottom + slack)
            << "outside the drawing: " << b.text;
      }
    }
  }
}

// The grid's lines inside the frame and the curves over them: every curve
// segment comes after the last grid line and is at least twice as wide as
// the grid (whose width 0 means one device pixel); on paper the curves are
// wider than a hairline.
TEST(DiagramTextsTest, CurvesAreDrawnOverTheGridAndTwiceAsWide) {
  struct Kind {
    const char* name;
    void (*draw)(const TLUM32&, TDevice&, const TRect&);
  };
  for (const Kind& kind : {Kind{"polar", Polar}, Kind{"cartesian", Cartesian}}) {
    SCOPED_TRACE(kind.name);
    const auto lum = Asymmetric();
    TPrinterLike dev;
    const TRect r{1000, 1500, 1000 + 5669, 1500 + 5669};
    kind.draw(*lum, dev, r);
    const int curve = DiagramState().curveWidth;
    TPoint px[2] = {{0, 0}, {1, 0}};
    dev.DPtoLP(px, 2);
    const int pixel = std::max(1, px[1].x - px[0].x);
    // 0.3 mm in twips.
    EXPECT_GE(curve, 0.3 / 25.4 * 1440);
    int lastGrid = -1, firstCurve = -1, gridWidth = 0;
    const TRect sq = DiagramSquare(r);
    const TRect inner{sq.left + sq.Width() / 10, sq.top + sq.Height() / 10, sq.right - sq.Width() / 10,
                      sq.bottom - sq.Height() / 10};
    auto inside = [&](const TDrawOp& op) {
      for (TPoint p : op.points)
        if (p.x <= inner.left || p.x >= inner.right || p.y <= inner.top || p.y >= inner.bottom) return false;
      return true;
    };
    for (int i = 0; i < static_cast<int>(dev.ops.size()); ++i) {
      const TDrawOp& op = dev.ops[static_cast<std::size_t>(i)];
      if ((op.kind != TDrawOp::Line && op.kind != TDrawOp::Polyline) || op.pen.style == gdi::PS_NULL || !inside(op))
        continue;
      if (op.pen.width == curve) {
        if (firstCurve < 0) firstCurve = i;
      } else {
        lastGrid = i;
        gridWidth = std::max({gridWidth, op.pen.width, pixel});
      }
    }
    ASSERT_GE(firstCurve, 0);
    ASSERT_GE(lastGrid, 0);
    EXPECT_LT(lastGrid, firstCurve);
    EXPECT_GE(curve, 2 * gridWidth);
  }
}

// On paper the luminance profiles of the glare chart are its curves: at
// least 0.3 mm wide and twice as wide as its grid and limiting curves (they
// were two device pixels, a grey hairline at 600 dpi).
TEST(DiagramTextsTest, PrintedGlareProfilesAreTheBoldCurves) {
  const auto lum = Wide();  // rotational: one solid profile
  TPrinterLike dev;
  const TRect r{1000, 1500, 1000 + 10640, 1500 + 5669};
  DrawGlareCurves(*lum, dev, r, true, kEnglish, true, r);
  int profiles = 0, widestOther = 0;
  for (const TDrawOp& op : dev.ops) {
    if ((op.kind != TDrawOp::Line && op.kind != TDrawOp::Polyline) || op.pen.style == gdi::PS_NULL) continue;
    if (op.kind == TDrawOp::Polyline && op.points.size() > 100) {
      ++profiles;
      EXPECT_GE(op.pen.width, 0.3 / 25.4 * 1440);
    } else if (op.kind == TDrawOp::Line || op.points.size() == 4) {
      widestOther = std::max(widestOther, op.pen.width);  // grid and limiting curves
    }
  }
  EXPECT_GE(profiles, 1);
  for (const TDrawOp& op : dev.ops)
    if (op.kind == TDrawOp::Polyline && op.points.size() > 100) EXPECT_GE(op.pen.width, 2 * std::max(1, widestOther));
}

TEST(DiagramTextsTest, PrintedPolarDiagramShowsTheLightOutputRatio) {
  const auto lum = Narrow();
  TPrinterLike dev;
  const TRect r{1000, 1500, 6669, 7169};
  DrawLVKPolar(*lum, nullptr, dev, true, kEnglish, true, true, r, r);
  bool eta = false;
  for (const TDrawOp& op : dev.ops) eta |= op.utf8 && op.text.rfind("\xCE\xB7 = ", 0) == 0;
  EXPECT_TRUE(eta);
  EXPECT_TRUE(dev.FindText("I (cd/klm)"));
}

TEST(DiagramTextsTest, FloorSectionLabelsAreExactAndDistinct) {
  struct Section {
    float left, right;
    std::vector<std::string> labels;
  };
  const Section sections[] = {
      {-2, 6, {"-2", "-1", "0", "1", "2", "3", "4", "5", "6"}},
      {5, 6, {"5.000", "5.125", "5.250", "5.375", "5.500", "5.625", "5.750", "5.875", "6.000"}},
      {-0.5f, 6, {"-0.50", "0.31", "1.12", "1.94", "2.75", "3.56", "4.38", "5.19", "6.00"}},
      {0, 2, {"0.00", "0.25", "0.50", "0.75", "1.00", "1.25", "1.50", "1.75", "2.00"}},
  };
  const auto lum = Wide();
  for (const Section& s : sections) {
    SCOPED_TRACE(std::to_string(s.left) + " ... " + std::to_string(s.right));
    TRecordingDevice dev(true);
    TStandaloneScope standalone;
    Floor(s.left, s.right, false)(*lum, dev, TRect{0, 0, 7509, 4000});
    for (const std::string& label : s.labels) EXPECT_TRUE(dev.FindText(label)) << label;
  }
}

TEST(DiagramTextsTest, FloorCurvesStateTheMaintenanceFactorAndTheEmergencyScale) {
  const auto lum = Wide();
  for (bool emergency : {false, true}) {
    TRecordingDevice dev(true);
    TStandaloneScope standalone;
    Floor(-2, 6, emergency)(*lum, dev, TRect{0, 0, 7509, 4000});
    EXPECT_TRUE(dev.FindText("Maintenance factor 0.80"));
    EXPECT_EQ(dev.FindText("Emergency lighting") != nullptr, emergency);
    EXPECT_TRUE(dev.FindText("E (lx)"));
    // Three heights, each in its own pattern: solid, dashes, dots.
    const int cw = DiagramState().curveWidth;
    // Dash lengths along x of the curves' runs: dots (about one curve width)
    // and dashes (about six) both occur, besides the solid curve.
    int dots = 0, dashes = 0, solid = 0;
    for (const TDrawOp& op : dev.ops) {
      if (op.kind != TDrawOp::Polyline || op.pen.width != cw || op.pen.style == gdi::PS_NULL) continue;
      const int length = std::abs(op.points.back().x - op.points.front().x);
      if (length > 1000)
        ++solid;
      else if (length <= 3 * cw)
        ++dots;
      else if (length <= 9 * cw)
        ++dashes;
    }
    EXPECT_GE(solid, 1);
    EXPECT_GT(dots, 20);
    EXPECT_GT(dashes, 20);
  }
}

TEST(DiagramTextsTest, ConeStatesBothBeamAnglesAndTheLanguagesSeparator) {
  const auto lum = Asymmetric();
  TRecordingDevice dev(true);
  TStandaloneScope standalone;
  Cone(4)(*lum, dev, TRect{0, 0, 4000, 4000});
  const std::vector<std::string> texts = dev.Texts();
  ASSERT_GE(texts.size(), 2u);
  // The heading, on one line or two.
  const std::string heading = texts[0] + " " + texts[1];
  EXPECT_NE(heading.find("C0-C180 "), std::string::npos) << heading;
  EXPECT_NE(heading.find("C90-C270 "), std::string::npos) << heading;
  EXPECT_NE(BeamAngle(*lum, 0), 2 * HalfValueAngle(*lum, 0));
  EXPECT_TRUE(dev.FindText("H : 7.5 m"));

  const std::string saved = Settings().UiLangExt;
  Settings().UiLangExt = ".ENG";
  EXPECT_EQ(DistanceSetText(4), "7.5 m");
  Settings().UiLangExt = ".GER";
  EXPECT_EQ(DistanceSetText(4), "7,5 m");
  Settings().UiLangExt = ".FRA";
  EXPECT_EQ(DistanceSetText(4), "7,5 m");
  Settings().UiLangExt = saved;
}

// The heading of a wide asymmetric beam states both angles in full and
// keeps within the width of the frame below it, in every language; the
// other texts stand beside the frame, none reaches past the drawing.
TEST(DiagramTextsTest, ConeHeadingKeepsWithinTheFrameInEveryLanguage) {
  const auto lum = WideAsymmetric();
  for (const std::string& language : {kEnglish, kGerman, kFrench}) {
    const char sep = LanguageDecimalSeparator(language);
    TRect screen, page;
    for (auto& [where, dev] : DrawEverywhere({"cone", WideAsymmetric, Cone(5, language)}, screen, page)) {
      SCOPED_TRACE(language + " on the " + where);
      const std::vector<TRect> frames = test::Frames(*dev);
      ASSERT_FALSE(frames.empty());
      const TRect& fr = frames.front();
      std::string above;
      for (const test::TTextBox& b : test::TextBoxes(*dev)) {
        if (b.bottom > fr.top) continue;
        above += b.text + " ";
        EXPECT_GE(b.left, fr.left) << b.text;
        EXPECT_LE(b.right, fr.right) << b.text;
      }
      for (double c : {0.0, 90.0})
        EXPECT_NE(above.find(FormatFixed(BeamAngle(*lum, c), 1, sep) + "\xB0"), std::string::npos) << above;
      EXPECT_EQ(above.find('\x85'), std::string::npos) << above;  // nothing cut
    }
  }
}

// Wide beams: every distance gets its cross-section, cut at the frame.
TEST(DiagramTextsTest, ConeSectionsOfAWideBeamStayInTheFrame) {
  const auto lum = Wide();
  TRecordingDevice dev(true);
  TStandaloneScope standalone;
  Cone(12)(*lum, dev, TRect{0, 0, 4000, 4000});
  const std::vector<TRect> frames = test::Frames(dev);
  ASSERT_FALSE(frames.empty());
  int sections = 0;
  for (const TDrawOp& op : dev.ops) {
    if (op.kind != TDrawOp::Polygon || op.brush.color != 0x00FFFFu) continue;
    ++sections;
    for (TPoint p : op.points) {
      EXPECT_LE(p.x, frames.front().right);
      EXPECT_LE(p.y, frames.front().bottom);
    }
  }
  EXPECT_EQ(sections, 4);
}

// The contour lines end at the frame instead of running along it.
TEST(DiagramTextsTest, IsoluxLinesDoNotRunAlongTheFrame) {
  const auto lum = Wide();
  TRecordingDevice dev(true);
  TStandaloneScope standalone;
  Isolux(4)(*lum, dev, TRect{0, 0, 4000, 4000});
  const TRect area = IsoluxDrawingArea(TRect{0, 0, 4000, 4000});
  int alongFrame = 0, lines = 0;
  for (const TDrawOp& op : dev.ops) {
    if (op.kind != TDrawOp::Polyline || op.pen.style == gdi::PS_NULL) continue;
    ++lines;
    for (std::size_t i = 1; i < op.points.size(); ++i) {
      const TPoint a = op.points[i - 1], b = op.points[i];
      auto near = [](int v, int edge) { return std::abs(v - edge) <= 20; };
      if ((near(a.x, area.left) && near(b.x, area.left)) || (near(a.y, area.top) && near(b.y, area.top)) ||
          (near(a.x, area.right - 14) && near(b.x, area.right - 14)) ||
          (near(a.y, area.bottom - 14) && near(b.y, area.bottom - 14)))
        ++alongFrame;
    }
  }
  EXPECT_GT(lines, 0);
  EXPECT_EQ(alongFrame, 0);
  bool unit = false;
  for (const std::string& t : dev.Texts()) unit |= t.find("lx") != std::string::npos;
  EXPECT_TRUE(unit);
}

// A narrow beam packs its isolux lines closer than a label is high: a label
// (on its white ground) is left out where it would sit across a bundle of
// lines, and hides at most two neighbours besides its own line. Close up
// some lines keep their labels. Whatever the side, every level drawn can be
// read: from a label on its line, a smaller one, or the list of levels in a
// free corner of the area.
TEST(DiagramTextsTest, IsoluxLabelsOfANarrowBeamHideNoOtherLine) {
  const struct {
    const char* what;
    double side, height;
    bool labelled;
  } cases[] = {{"spot, 10 m", 10, 5, false}, {"spot, 2 m close up", 2, 3, true}, {"spot, 6 m", 6, 5, false}};
  const auto lum = Spot();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TRecordingDevice dev(true);
    TStandaloneScope standalone;
    Isolux(c.side, c.height)(*lum, dev, TRect{0, 0, 4000, 4000});
    // The words of the texts inside the area (not its scales).
    const TRect area = IsoluxDrawingArea(TRect{0, 0, 4000, 4000});
    std::set<std::string> words;
    for (const TDrawOp& op : dev.ops) {
      if (op.kind != TDrawOp::Text) continue;
      const test::TTextBox b = test::TextBoxOf(op);
      if (b.left < area.left || b.right > area.right || b.top < area.top || b.bottom > area.bottom) continue;
      std::size_t start = 0;
      while (start < op.text.size()) {
        const std::size_t end = std::min(op.text.find(' ', start), op.text.size());
        if (end > start) words.insert(op.text.substr(start, end - start));
        start = end + 1;
      }
    }
    const auto iso = ComputeIsolux(*lum, c.side, c.height, 1.0);
    ASSERT_TRUE(iso);
    ASSERT_GT(iso->lines.Count(), 5);
    for (int i = 0; i < iso->lines.Count(); ++i) {
      const std::string level = TrimBlanks(FormatFixed(iso->lines.Line(i)->level, 1));
      EXPECT_TRUE(words.count(level)) << "no label or legend entry for " << level << " lx";
    }
    std::vector<const TDrawOp*> lines, labels;
    for (const TDrawOp& op : dev.ops) {
      if (op.kind == TDrawOp::Polyline && op.pen.style != gdi::PS_NULL) lines.push_back(&op);
      if (op.kind == TDrawOp::Rectangle && op.brush.style == gdi::BS_SOLID && op.brush.color == 0xFFFFFFu)
        labels.push_back(&op);
    }
    if (c.labelled) EXPECT_FALSE(labels.empty());
    for (const TDrawOp* label : labels) {
      const TRect box{std::min(label->points[0].x, label->points[1].x), std::min(label->points[0].y, label->points[1].y),
                      std::max(label->points[0].x, label->points[1].x), std::max(label->points[0].y, label->points[1].y)};
      // A point strictly inside the box.
      auto within = [&](TPoint p) { return p.x > box.left && p.x < box.right && p.y > box.top && p.y < box.bottom; };
      int crossing = 0;
      for (const TDrawOp* line : lines)
        crossing += std::any_of(line->points.begin(), line->points.end(), within) ? 1 : 0;
      EXPECT_LE(crossing, 3) << "a label covers " << crossing << " lines";
    }
  }
}

// The luminaire count: its title names the reflectances plainly, and its
// right-aligned numbers keep clear of the cell line to their right.
TEST(DiagramTextsTest, CountNumbersKeepClearOfTheirCellLines) {
  const auto lum = Wide();
  TRecordingDevice dev(true);
  TStandaloneScope standalone;
  const TRect r{0, 0, 5201, 4000};
  TLuminaireCountParams params;
  TLuminaireCountResult result{};
  DrawLuminaireCount(*lum, dev, r, true, kEnglish, params, result, false, r);
  EXPECT_TRUE(dev.FindText("Number of luminaires in the room (reflectances 80/80/30)"));
  std::vector<int> verticals;
  for (const TDrawOp& op : dev.ops)
    if (op.kind == TDrawOp::Line && op.points[0].x == op.points[1].x) verticals.push_back(op.points[0].x);
  std::sort(verticals.begin(), verticals.end());
  int checked = 0;
  for (const TDrawOp& op : dev.ops) {
    if (op.kind != TDrawOp::Text || (op.textAlign & gdi::TA_CENTER) != gdi::TA_RIGHT) continue;
    const test::TTextBox box = test::TextBoxOf(op);
    const auto line = std::lower_bound(verticals.begin(), verticals.end(), static_cast<int>(box.right));
    if (line == verticals.end()) continue;
    ++checked;
    EXPECT_GE(*line - box.right, 0.35 * (box.bottom - box.top)) << op.text;
  }
  EXPECT_GT(checked, 30);
}

// The TM5 table speaks the document's language: its BZ row's name, the
// mark of a cell the method does not cover and the decimal separator of its
// room indices.
TEST(DiagramTextsTest, Tm5TableWritesInTheDocumentsLanguage) {
  const auto lum = Wide();
  lum->CibseUF[0][0] = 255;
  const struct {
    const std::string& language;
    const char *bz, *index, *notApplicable;
  } cases[] = {{kEnglish, "BZ class", "0.75", "N/A"},
               {kGerman, "BZ-Klasse", "0,75", "n. a."},
               {kFrench, "Classe BZ", "0,75", "s. o."}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.language);
    TRecordingDevice dev(true);
    TStandaloneScope standalone;
    const TRect r{0, 0, 5201, 4000};
    DrawUtilizationTM5(*lum, dev, r, true, c.language, r);
    EXPECT_TRUE(dev.FindText(c.bz));
    EXPECT_TRUE(dev.FindText(c.index));
    EXPECT_TRUE(dev.FindText(c.notApplicable));
  }
}

// The room indices of the DIN and NB tables stand in the middle of their
// rows, and the NB table has no empty row under its last.
TEST(DiagramTextsTest, UtilizationRowsHoldTheirTextsInTheMiddle) {
  const auto lum = Wide();
  for (bool nb : {false, true}) {
    SCOPED_TRACE(nb ? "NB" : "DIN");
    TRecordingDevice dev(true);
    TStandaloneScope standalone;
    const TRect r{0, 0, 5201, 4000};
    if (nb)
      DrawUtilizationNB(*lum, dev, r, true, kEnglish, r);
    else
      DrawUtilizationDIN(*lum, RoomUtilTableT{}, false, dev, r, true, kEnglish, r);
    std::vector<int> rows;  // y of the horizontal lines across the values and of the frame
    for (const TDrawOp& op : dev.ops) {
      if (op.kind == TDrawOp::Line && op.points[0].y == op.points[1].y && std::abs(op.points[1].x - op.points[0].x) > 2000)
        rows.push_back(op.points[0].y);
      if (op.kind == TDrawOp::Rectangle) rows.push_back(std::max(op.points[0].y, op.points[1].y));
    }
    std::sort(rows.begin(), rows.end());
    int last = 0;
    for (const char* k : {"0.6", "0.8", "1.0", "1.25", "1.5", "2.0", "2.5", "3.0", "4.0", "5.0"}) {
      const TDrawOp* op = dev.FindText(k);
      ASSERT_TRUE(op) << k;
      const test::TTextBox box = test::TextBoxOf(*op);
      const double centre = (box.top + box.bottom) / 2;
      const auto below = std::upper_bound(rows.begin(), rows.end(), static_cast<int>(centre));
      ASSERT_TRUE(below != rows.begin() && below != rows.end()) << k;
      const int top = *(below - 1), bottom = *below;
      EXPECT_NEAR(centre, (top + bottom) / 2.0, 0.12 * (bottom - top)) << k;
      last = bottom;
    }
    // Under the last row: the note's row (DIN) or the frame (NB).
    EXPECT_EQ(last == rows.back(), nb);
  }
}

}  // namespace
}  // namespace kandelo
