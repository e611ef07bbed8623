// The datasheet: page plan and order, page numbers and frame texts, the
// intensity table blocks, the UTE classification, and what a luminaire
// without data or a failing job prints.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <functional>
#include <memory>

#include "datasheet/datasheet.h"
#include "evaluation/diagram_common.h"
#include "evaluation/lum_fixture.h"
#include "frame/msgmanager.h"
#include "graphics/printer_page.h"
#include "graphics/recording_device.h"
#include "photometry/format_io.h"
#include "photometry/lum32.h"
#include "support/test_support.h"
#include "support/text_boxes.h"

namespace kandelo::test {
namespace {

// An A4 page at 600 dpi with a printing offset, recording what is drawn.
class PageDevice : public TRecordingDevice {
 public:
  int GetDeviceCaps(int index) const override {
    switch (index) {
      case gdi::LOGPIXELSX:
      case gdi::LOGPIXELSY: return 600;
      case gdi::HORZRES: return 4760;
      case gdi::VERTRES: return 6814;
      case gdi::PHYSICALOFFSETX:
      case gdi::PHYSICALOFFSETY: return 100;
      default: return 0;
    }
  }
};

class RecordingJob : public TPageJob {
 public:
  bool failBegin = false;
  int begins = 0, ends = 0, aborts = 0;
  std::vector<std::unique_ptr<PageDevice>> pages;
  TPageMargins margins;

  bool Begin() override {
    ++begins;
    if (failBegin) return false;
    pages.push_back(std::make_unique<PageDevice>());
    margins = PrintJobMargins(*pages.back());
    return true;
  }
  TRect BeginTwipsPage() override { return ApplyPageMargins(kandelo::BeginTwipsPage(Device()), margins); }
  void EndTwipsPage() override { kandelo::EndTwipsPage(Device()); }
  bool NewPage() override {
    pages.push_back(std::make_unique<PageDevice>());
    return true;
  }
  bool End() override {
    ++ends;
    return true;
  }
  void Abort() override { ++aborts; }
  TDevice& Device() override { return *pages.back(); }
  // Images drawn: the page (0-based), the box and the path.
  struct Image {
    std::size_t page;
    TRect box;
    std::string path;
  };
  std::vector<Image> images;
  bool DrawImageFile(const TRect& box, const std::string& pathUtf8) override {
    images.push_back({pages.size() - 1, box, pathUtf8});
    return true;
  }
  bool HasText(std::size_t page, const std::string& text) const { return pages[page]->FindText(text) != nullptr; }
};

std::string EnglishMessages() { return std::string(KANDELO_SOURCE_DIR) + "/resources/language/ORVMSG.ENG"; }

TOutputSettings Choose(std::initializer_list<int> kinds, std::vector<float> planes) {
  TOutputSettings s = InitialOutputSettings();
  s.OutputSet = 0;
  for (int k : kinds) s.Set(k, true);
  *s.Planes = std::move(planes);
  return s;
}

std::vector<float> Planes(int n) {
  std::vector<float> p;
  for (int i = 0; i < n; ++i) p.push_back(static_cast<float>(i * 15 % 360));
  return p;
}

std::vector<int> Kinds(const std::vector<TDatasheetPage>& pages) {
  std::vector<int> k;
  for (const auto& p : pages) k.push_back(p.kind);
  return k;
}

TEST(DatasheetPlan, PageCountsFollowTheSettings) {
  auto lum = MakeLum(Lambert, false);  // 24 planes × 181 γ
  struct Case {
    const char* what;
    std::vector<int> kinds;
    int planes;
    std::vector<int> expected;
  } cases[] = {
      {"first page only", {otMain}, 0, {otMain}},
      {"5 planes: one polar page", {otPolar}, 5, {otPolar}},
      {"24 planes: one page per kind", {otPolar, otKart}, 24, {otPolar, otKart}},
      {"25 planes: two pages per kind", {otPolar, otKart}, 25, {otPolar, otPolar, otKart, otKart}},
      {"an empty plane list skips both kinds", {otMain, otPolar, otKart}, 0, {otMain}},
      {"181 γ × 24 planes: 5 × 3 table pages", {otTable}, 0, std::vector<int>(15, otTable)},
      {"the print order", {otIso, otRtNb, otTable, otBbk, otCone, otMain, otGlUgr}, 1,
       {otMain, otCone, otBbk, otTable, otTable, otTable, otTable, otTable, otTable, otTable, otTable, otTable,
        otTable, otTable, otTable, otTable, otTable, otTable, otGlUgr, otRtNb, otIso}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const TOutputSettings s = Choose({}, Planes(c.planes));
    TOutputSettings chosen = s;
    for (int k : c.kinds) chosen.Set(k, true);
    EXPECT_EQ(Kinds(PlanDatasheet(*lum, chosen, true)), c.expected);
  }
  // The second diagram page of 25 planes carries the 25th plane alone.
  const auto pages = PlanDatasheet(*lum, Choose({otPolar}, Planes(25)), true);
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(pages[1].firstPlane, 24);
  EXPECT_EQ(pages[1].planeCount, 1);
}

TEST(DatasheetPlan, TableBlocksRunPlanesInsideGammas) {
  auto lum = MakeLum(Lambert, false, 72);  // 73 γ, 24 planes
  const auto pages = PlanDatasheet(*lum, Choose({otTable}, {}), true);
  ASSERT_EQ(pages.size(), 6u);
  const int expected[6][2] = {{1, 1}, {9, 1}, {17, 1}, {1, 38}, {9, 38}, {17, 38}};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(pages[i].firstPlane, expected[i][0]) << i;
    EXPECT_EQ(pages[i].firstGamma, expected[i][1]) << i;
  }
}

TEST(DatasheetPlan, WithoutLuminanceTheUgrAndGlarePagesAreDropped) {
  auto lum = MakeLum(Lambert);
  TOutputSettings all = Choose({}, {0});
  all.OutputSet = (1u << kOutputTypeCount) - 1;
  const auto with = Kinds(PlanDatasheet(*lum, all, true));
  const auto without = Kinds(PlanDatasheet(*lum, all, false));
  EXPECT_EQ(with.size(), without.size() + 2);
  EXPECT_EQ(std::count(without.begin(), without.end(), otGlUgr), 0);
  EXPECT_EQ(std::count(without.begin(), without.end(), otGlDin), 0);
}

TEST(Datasheet, PageNumbersRunOverAllKindsWithTheFrameTexts) {
  auto lum = MakeLum(Lambert, false);
  lum->LumName = "Downlight";
  lum->LumNumber = "DL-1";
  lum->SetFileName("/data/formula.ldt");
  TMsgManager msg(EnglishMessages());
  TDatasheetOptions options;
  options.userName = "Example Lighting";
  options.userAddr = "1 Main Street";
  options.userLogo = "/data/Logo \xC9" "clair.png";
  options.languageFile = EnglishMessages();
  RecordingJob job;
  const auto r = PrintDatasheet(*lum, nullptr, Choose({otMain, otPolar, otBbk}, Planes(5)), msg, job, options);
  ASSERT_EQ(r.status, TDatasheetStatus::Printed) << r.error;
  EXPECT_EQ(r.pages, 3);
  EXPECT_EQ(job.begins, 1);
  EXPECT_EQ(job.ends, 1);
  ASSERT_EQ(job.pages.size(), 3u);
  const char* titles[3] = {"Data sheet", "Luminous intensity distribution, polar",
                           "Floor illuminance curves of a single luminaire"};
  for (std::size_t n = 0; n < 3; ++n) {
    SCOPED_TRACE(n);
    const PageDevice& page = *job.pages[n];
    const TDrawOp* number = page.FindText("Page " + std::to_string(n + 1) + " / 3");
    const TDrawOp* name = page.FindText("Downlight / DL-1");
    const TDrawOp* title = page.FindText(titles[n]);
    const TDrawOp* company = page.FindText("Example Lighting");
    const TDrawOp* address = page.FindText("1 Main Street");
    ASSERT_TRUE(number && name && title && company && address);
    // Name above and title below the header line at 20 mm, right-aligned.
    EXPECT_EQ(name->points[0].y, MmToTwips(19));
    EXPECT_EQ(title->points[0].y, MmToTwips(21));
    EXPECT_EQ(name->textAlign, gdi::TA_RIGHT | gdi::TA_BOTTOM);
    EXPECT_EQ(name->points[0].x, number->points[0].x);
    // Company above, address and page number below the footer line.
    EXPECT_EQ(company->textAlign, gdi::TA_LEFT | gdi::TA_BOTTOM);
    EXPECT_LT(company->points[0].y, address->points[0].y);
    EXPECT_EQ(address->points[0].y, number->points[0].y);
    EXPECT_EQ(address->points[0].y - company->points[0].y, MmToTwips(2));
    EXPECT_LT(company->points[0].x, number->points[0].x);
    // The logo, top left above the header line, clear of the name.
    ASSERT_EQ(job.images.size(), 3u);
    const RecordingJob::Image& logo = job.images[n];
    EXPECT_EQ(logo.page, n);
    EXPECT_EQ(logo.path, "/data/Logo \xC3\x89" "clair.png");  // the settings' 1252 path as UTF-8
    EXPECT_LE(logo.box.bottom, MmToTwips(20));
    EXPECT_LT(logo.box.right, TextBoxOf(*name).left);
  }
  // The first page's rows and the two diagrams of five planes on the polar page.
  EXPECT_TRUE(job.HasText(0, "LiTG / DIN"));
  EXPECT_TRUE(job.HasText(0, "UTE"));
  EXPECT_TRUE(job.HasText(0, "formula.ldt"));
}

TEST(Datasheet, TablePageShowsEightPlanesOfThirtySevenAngles) {
  auto lum = MakeLum([](double g, double c) { return g <= 90 ? 100 + c + g / 100 : 0; }, false, 72);
  TMsgManager msg(EnglishMessages());
  RecordingJob job;
  const auto r = PrintDatasheet(*lum, nullptr, Choose({otTable}, {}), msg, job, TDatasheetOptions{});
  ASSERT_EQ(r.status, TDatasheetStatus::Printed) << r.error;
  ASSERT_EQ(job.pages.size(), 6u);
  // Page 2: planes 9 … 16 (C 120 … 225), γ 0 … 36.
  const PageDevice& p2 = *job.pages[1];
  EXPECT_TRUE(p2.FindText("C 120.0") || p2.FindText("C 120,0"));
  EXPECT_TRUE(p2.FindText("C 225.0") || p2.FindText("C 225,0"));
  EXPECT_FALSE(p2.FindText("C 105.0") || p2.FindText("C 105,0"));
  EXPECT_FALSE(p2.FindText("C 240.0") || p2.FindText("C 240,0"));
  EXPECT_TRUE(p2.FindText("220.36") || p2.FindText("220,36"));
  EXPECT_TRUE(p2.FindText("cd / klm"));
  // Page 5: the same planes from γ 37 on; the table ends at γ 72.
  const PageDevice& p5 = *job.pages[4];
  EXPECT_TRUE(p5.FindText("220.37") || p5.FindText("220,37"));
  EXPECT_TRUE(p5.FindText("325.72") || p5.FindText("325,72"));
  EXPECT_FALSE(p5.FindText("220.36") || p5.FindText("220,36"));
}

// Every page writes its numbers with the decimal separator of the
// document's language, whatever the machine's: "90,2 %" in German and French,
// "90.2 %" in English.
TEST(Datasheet, NumbersOnEveryPageFollowTheDocumentsLanguage) {
  const struct {
    const char* language;
    char sep, wrong;
  } languages[] = {{"ENG", '.', ','}, {"GER", ',', '.'}, {"FRA", ',', '.'}};
  for (const auto& l : languages) {
    SCOPED_TRACE(l.language);
    auto lum = MakeLum([](double g, double c) { return g <= 90 ? 400 * CosD(g) * (1.3 + 0.3 * CosD(c)) : 0.0; },
                       false);
    lum->CStep = 7.5f;  // the planes' labels get a decimal
    const std::string file = std::string(KANDELO_SOURCE_DIR) + "/resources/language/ORVMSG." + l.language;
    TMsgManager msg(file);
    TDatasheetOptions options;
    options.languageFile = file;
    RecordingJob job;
    TOutputSettings settings = Choose({otMain, otPolar, otKart, otCone, otSrt, otBbk, otTable, otGlUgr, otGlDin,
                                       otRtDin, otRtTm5, otRtNb, otIso},
                                      {0, 7.5f, 90});
    const auto r = PrintDatasheet(*lum, nullptr, settings, msg, job, options);
    ASSERT_EQ(r.status, TDatasheetStatus::Printed) << r.error;
    auto between = [](const std::string& t, char c) {
      for (std::size_t i = 1; i + 1 < t.size(); ++i)
        if (t[i] == c && std::isdigit(static_cast<unsigned char>(t[i - 1])) &&
            std::isdigit(static_cast<unsigned char>(t[i + 1])))
          return true;
      return false;
    };
    for (std::size_t n = 0; n < job.pages.size(); ++n) {
      SCOPED_TRACE("page " + std::to_string(n + 1));
      int right = 0;
      bool nb = false;
      for (const std::string& t : job.pages[n]->Texts()) {
        EXPECT_FALSE(between(t, l.wrong)) << t;
        right += between(t, l.sep) ? 1 : 0;
        nb |= t.size() > 5 && t.compare(t.size() - 5, 5, " / NB") == 0;
      }
      // The NB table holds whole numbers only.
      if (!nb) EXPECT_GT(right, 0);
    }
    // The light output ratio on the first page, as "…,… %" or "….… %".
    int percentages = 0;
    for (const std::string& t : job.pages[0]->Texts())
      percentages += t.size() > 4 && t.compare(t.size() - 2, 2, " %") == 0 && t[t.size() - 4] == l.sep ? 1 : 0;
    EXPECT_GE(percentages, 3);  // light output ratio, downward and upward shares
  }
}

TEST(Datasheet, NothingIsPrintedWithoutDataOrWhenTheJobFails) {
  TMsgManager msg(EnglishMessages());
  TLUM32 empty;
  RecordingJob job;
  EXPECT_EQ(PrintDatasheet(empty, nullptr, Choose({otMain}, {}), msg, job, {}).status, TDatasheetStatus::NoData);
  EXPECT_EQ(job.begins, 0);

  auto lum = MakeLum(Lambert);
  EXPECT_EQ(PrintDatasheet(*lum, nullptr, Choose({otPolar}, {}), msg, job, {}).status, TDatasheetStatus::NoPages);
  EXPECT_EQ(job.begins, 0);

  job.failBegin = true;
  EXPECT_EQ(PrintDatasheet(*lum, nullptr, Choose({otMain}, {}), msg, job, {}).status, TDatasheetStatus::JobFailed);
  EXPECT_EQ(job.ends, 0);
}

TEST(Datasheet, WithoutLuminousAreaTheTotalCountsOnlyPrintedPages) {
  auto lum = MakeLum(Lambert);
  lum->LumAreaLength = lum->LumAreaWidth = lum->LumAreaDiameter = 0;
  TMsgManager msg(EnglishMessages());
  RecordingJob job;
  const auto r = PrintDatasheet(*lum, nullptr, Choose({otMain, otGlUgr, otGlDin, otRtDin}, {0}), msg, job, {});
  ASSERT_EQ(r.status, TDatasheetStatus::Printed) << r.error;
  EXPECT_EQ(r.pages, 2);
  EXPECT_TRUE(job.HasText(1, "Page 2 / 2"));
}

// What a reader finds on every page of a real-looking datasheet: the file's
// own name, η beside the polar diagram, a long lamp type cut before the flux
// column, no step for unequal planes, and no text running into another.
TEST(Datasheet, EveryPageReadsWithoutOverlapsAndWithTheRealNames) {
  for (bool rotational : {true, false}) {
    SCOPED_TRACE(rotational ? "rotational" : "asymmetric");
    auto lum = MakeLum([](double g, double c) { return g <= 90 ? 400 * CosD(g) * (1.3 + 0.3 * CosD(c)) : 0.0; },
                       rotational);
    lum->LumName = "Road luminaire with a long name";
    lum->LumNumber = "RL-1";
    lum->SetFileName("/data/LLIA001477-01_road_luminaire.ldt");
    lum->LampSets[0].LampType = "LED module 4000 K, CRI 80, tilted in 45 degrees towards the road";
    if (!rotational) lum->GridFlags |= kCNotEquidistant;
    TMsgManager msg(EnglishMessages());
    TDatasheetOptions options;
    options.languageFile = EnglishMessages();
    options.showEta = true;
    RecordingJob job;
    TOutputSettings settings = Choose({otMain, otPolar, otKart, otTable, otBbk, otSrt}, Planes(5));
    const auto r = PrintDatasheet(*lum, nullptr, settings, msg, job, options);
    ASSERT_EQ(r.status, TDatasheetStatus::Printed) << r.error;
    EXPECT_TRUE(job.HasText(0, "LLIA001477-01_road_luminaire.ldt"));
    EXPECT_TRUE(job.images.empty());  // no logo set, none drawn
    bool eta = false;
    for (const TDrawOp& op : job.pages[0]->ops) eta |= op.utf8 && op.text.rfind("\xCE\xB7 = ", 0) == 0;
    EXPECT_TRUE(eta);
    if (!rotational) EXPECT_TRUE(job.HasText(0, "-"));  // no step for unequal planes
    bool countTitle = false;
    for (const auto& page : job.pages)
      countTitle |= page->FindText("Number of luminaires in the room (reflectances 80/80/30)") != nullptr;
    EXPECT_TRUE(countTitle);
    for (std::size_t n = 0; n < job.pages.size(); ++n) {
      SCOPED_TRACE("page " + std::to_string(n + 1));
      for (const std::string& pair : OverlappingTexts(TextBoxes(*job.pages[n]))) ADD_FAILURE() << "overlap: " << pair;
    }
    // The lamp type keeps its column.
    const TDrawOp* flux = job.pages[0]->FindText("1000 lm");
    ASSERT_TRUE(flux);
    for (const TDrawOp& op : job.pages[0]->ops)
      if (op.kind == TDrawOp::Text && op.text.rfind("LED module", 0) == 0) {
        EXPECT_NE(op.text, lum->LampSets[0].LampType);
        EXPECT_LE(TextBoxOf(op).right, flux->points[0].x);
      }
  }
}

// The text drawn right of a row label on the first page (the row's value).
std::string ValueBeside(const PageDevice& page, const std::string& label) {
  const TDrawOp* l = page.FindText(label);
  if (!l) return "<no " + label + ">";
  const TDrawOp* best = nullptr;
  for (const TDrawOp& op : page.ops)
    if (op.kind == TDrawOp::Text && op.points[0].y == l->points[0].y && op.points[0].x > l->points[0].x &&
        op.text != ":" && (!best || op.points[0].x < best->points[0].x))
      best = &op;
  return best ? best->text : "<nothing beside " + label + ">";
}

// The UGR page's value of the room 4H × 8H in reflectance column `column`
// (0 … 4 crosswise, 5 … 9 endwise).
std::string UgrPageValue(const PageDevice& page, int column) {
  // The room width "4H" stands left of the room lengths, in its group's first row.
  const TDrawOp* x4 = nullptr;
  for (const TDrawOp& op : page.ops)
    if (op.kind == TDrawOp::Text && op.text == "4H" && (!x4 || op.points[0].x < x4->points[0].x)) x4 = &op;
  if (!x4) return "<no 4H>";
  const TDrawOp* y8 = nullptr;
  for (const TDrawOp& op : page.ops)
    if (op.kind == TDrawOp::Text && op.text == "8H" && op.points[0].x > x4->points[0].x &&
        op.points[0].y >= x4->points[0].y && (!y8 || op.points[0].y < y8->points[0].y))
      y8 = &op;
  if (!y8) return "<no 8H>";
  std::vector<const TDrawOp*> row;
  for (const TDrawOp& op : page.ops)
    if (op.kind == TDrawOp::Text && op.points[0].y == y8->points[0].y && op.points[0].x > y8->points[0].x)
      row.push_back(&op);
  std::sort(row.begin(), row.end(), [](auto* a, auto* b) { return a->points[0].x < b->points[0].x; });
  return column < static_cast<int>(row.size()) ? row[static_cast<std::size_t>(column)]->text : "<short row>";
}

// What a published first page states: luminaire flux and efficacy, the
// lamps' colour data, the beam angles of both plane pairs, the nominal
// spacing-to-height ratio and the UGR of the standard room, the same as the
// UGR page prints it.
TEST(Datasheet, FirstPageStatesTheKeyFigures) {
  // A Lambertian spread over C0-C180, narrower towards C90 and C270 (cos³ γ).
  auto narrowAcross = [](double g, double c) {
    const double s = std::sin(c * M_PI / 180);
    return g <= 90 ? 1000 / M_PI * std::pow(CosD(g), 1 + 2 * s * s) : 0.0;
  };
  auto indirect = [](double g, double) { return g >= 90 ? -1000 / M_PI * CosD(g) : 0.0; };
  struct Case {
    const char* what;
    std::function<double(double, double)> f;
    bool rotational;
    const char *colour, *rendering;
    const char *flux, *efficacy, *beam0, *beam90;
    bool spacing, ugr;
  } cases[] = {
      // 1000 lm per klm from 2 × 1000 lm lamps on 80 W: 2000 lm, 25 lm/W; half of I0 at 60°.
      {"Lambertian", Lambert, true, "4000 K", "80", "2000 lm", "25.0 lm/W", "120.0 \xB0", "120.0 \xB0", true, true},
      // cos³ γ falls to half at 37.5°; ∫ dC / (2 + 2 sin² C) · 1000/π = 707 lm per klm.
      {"narrow across", narrowAcross, false, "", "0", "1414 lm", "17.7 lm/W", "120.0 \xB0", "75.0 \xB0", true, true},
      // Upward light only: no beam, no spacing, no glare from below.
      {"indirect", indirect, true, "830", "1B", "2000 lm", "25.0 lm/W", "-", "-", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto lum = MakeLum(c.f, c.rotational, 180);
    lum->LampSets[0].LampCount = 2;
    lum->LampSets[0].LampFlux = 1000;
    lum->LampSets[0].SetFlux = 2000;
    lum->LampSets[0].SetWatt = 80;
    lum->LampSets[0].ColourText = c.colour;
    lum->LampSets[0].RenderingText = c.rendering;
    TMsgManager msg(EnglishMessages());
    TDatasheetOptions options;
    options.languageFile = EnglishMessages();
    RecordingJob job;
    const auto r = PrintDatasheet(*lum, nullptr, Choose({otMain, otGlUgr}, {0}), msg, job, options);
    ASSERT_EQ(r.status, TDatasheetStatus::Printed) << r.error;
    const PageDevice& first = *job.pages[0];
    EXPECT_EQ(ValueBeside(first, "Luminaire flux"), c.flux);
    EXPECT_EQ(ValueBeside(first, "Luminaire efficacy"), c.efficacy);
    EXPECT_EQ(ValueBeside(first, "C0 - C180"), c.beam0);
    EXPECT_EQ(ValueBeside(first, "C90 - C270"), c.beam90);
    // The lamp row: count, type, flux, power, colour temperature, colour rendering.
    EXPECT_TRUE(first.FindText(*c.colour ? c.colour : "-"));
    EXPECT_TRUE(first.FindText(*c.rendering && std::string(c.rendering) != "0" ? c.rendering : "-"));
    const std::string shr = ValueBeside(first, "Spacing/height nominal");
    if (c.spacing) {
      const double v = std::stod(shr);
      EXPECT_TRUE(v >= 0.5 && v <= 3.0) << shr;
    } else {
      EXPECT_EQ(shr, "-");
    }
    const std::string cross = ValueBeside(first, "crosswise"), end = ValueBeside(first, "endwise");
    if (c.ugr) {
      ASSERT_EQ(job.pages.size(), 2u);
      EXPECT_EQ(cross, UgrPageValue(*job.pages[1], 0));
      EXPECT_EQ(end, UgrPageValue(*job.pages[1], 5));
      EXPECT_NE(cross, "-");
    } else {
      EXPECT_EQ(cross, "-");
      EXPECT_EQ(end, "-");
    }
    for (const std::string& pair : OverlappingTexts(TextBoxes(first))) ADD_FAILURE() << "overlap: " << pair;
  }
}

// A direct-indirect linear luminaire that two UTE classes fit: its
// classification ("0,67 A + 0,33 T / 0,67 B + 0,33 T") is too long for its
// cell beside the polar diagram and goes on a second row instead of being
// cut; nothing on the first page is cut or overlaps, in any language.
TEST(Datasheet, FirstPageOfARealLinearLuminaireCutsNoText) {
  if (!corpusAvailable()) GTEST_SKIP() << "no corpus";
  for (const char* language : {"GER", "ENG", "FRA"}) {
    SCOPED_TRACE(language);
    TLUM32 lum;
    ASSERT_TRUE(LoadLuminaire(corpusPath("gldf-rs/tests/data/Philips SP542P 0.9 DEMO.gldf/ldc/"
                                         "SP542P SRD L1480 U3 1 xLED66S_940 OC.ldt"),
                              lum, LoadValues::AsRead)
                    .ok());
    const std::string file = std::string(KANDELO_SOURCE_DIR) + "/resources/language/ORVMSG." + language;
    TMsgManager msg(file);
    TDatasheetOptions options;
    options.languageFile = file;
    RecordingJob job;
    const auto r = PrintDatasheet(lum, nullptr, Choose({otMain}, {0, 90}), msg, job, options);
    ASSERT_EQ(r.status, TDatasheetStatus::Printed) << r.error;
    const PageDevice& first = *job.pages[0];
    int classes = 0;
    for (const std::string& t : first.Texts()) {
      EXPECT_EQ(t.find('\x85'), std::string::npos) << "cut: " << t;
      classes += t.find(" T") != std::string::npos ? 1 : 0;
    }
    EXPECT_EQ(classes, 2);  // one class on each row
    for (const std::string& pair : OverlappingTexts(TextBoxes(first))) ADD_FAILURE() << "overlap: " << pair;
  }
}

TEST(DatasheetSketch, ScaleIsTheNextRoundNumberThatFits) {
  struct Case {
    double real, room, n;
  } cases[] = {
      {30, 60, 1},        // small parts are not enlarged
      {100, 60, 2},       // 1.67 → 2
      {1200, 50, 25},     // 24 → 25
      {1200, 60, 20},     // exactly 20
      {1480, 48, 40},     // 30.8 → 40, not 50
      {1480, 50, 30},     // 29.6 → 30
      {3500, 50, 75},     // 70 → 75
      {20000, 50, 400},   // exactly 400
      {22000, 50, 500},   // 440 → 500
      {90, 10, 10},       // 9 → 10
      {0, 50, 1},         // nothing to draw
  };
  for (const Case& c : cases) EXPECT_EQ(SketchScale(c.real, c.room), c.n) << c.real << " in " << c.room;
}

// A 1200 × 300 × 80 mm luminaire with a 1100 × 200 mm luminous area, to
// scale: the plan's outline is as long as 1200 mm at the printed scale, the
// luminous area lies inside it, and all of it stays in its box.
TEST(DatasheetSketch, OutlineAndLuminousAreaAreDrawnToTheStatedScale) {
  auto lum = MakeLum(Lambert);
  lum->Length = 1200, lum->Width = 300, lum->Height[0] = 80;
  lum->LumAreaLength = 1100, lum->LumAreaWidth = 200;
  TMsgManager msg(EnglishMessages());
  const TRect box{0, 0, MmToTwips(80), MmToTwips(57)};
  PageDevice dc;
  DrawDimensionSketch(*lum, dc, box, msg, '.');
  // 1200 mm into the 56 mm beside the view labels: 1:25.
  ASSERT_TRUE(dc.FindText("Scale 1:25"));
  std::vector<const TDrawOp*> rects;
  for (const TDrawOp& op : dc.ops)
    if (op.kind == TDrawOp::Rectangle) {
      rects.push_back(&op);
      for (const TPoint& p : op.points)
        EXPECT_TRUE(p.x >= box.left && p.x <= box.right && p.y >= box.top && p.y <= box.bottom);
    }
  ASSERT_EQ(rects.size(), 4u);  // elevation, plan, luminous area in plan and in elevation
  auto width = [](const TDrawOp* r) { return r->points[1].x - r->points[0].x; };
  auto height = [](const TDrawOp* r) { return r->points[1].y - r->points[0].y; };
  EXPECT_NEAR(width(rects[0]), MmToTwips(1200 / 25.0), 2);
  EXPECT_NEAR(height(rects[0]), MmToTwips(80 / 25.0), 2);
  EXPECT_NEAR(height(rects[1]), MmToTwips(300 / 25.0), 2);
  EXPECT_NEAR(width(rects[2]), MmToTwips(1100 / 25.0), 2);
  EXPECT_NEAR(height(rects[2]), MmToTwips(200 / 25.0), 2);
  EXPECT_GT(rects[2]->points[0].x, rects[1]->points[0].x);
  EXPECT_LT(rects[2]->points[1].y, rects[1]->points[1].y);
  EXPECT_EQ(rects[3]->points[1].y, rects[0]->points[1].y);  // the luminous strip on the elevation's bottom

  // A luminaire without dimensions gets no sketch at all.
  lum->Length = lum->Width = 0;
  PageDevice none;
  DrawDimensionSketch(*lum, none, box, msg, '.');
  EXPECT_TRUE(none.ops.empty());
}

TEST(DatasheetUte, ClassesOfKnownDistributions) {
  struct Case {
    const char* what;
    std::function<double(double, double)> f;
    std::string text;
  } cases[] = {
      // Lambertian: zone 1 holds sin²41.41° = 437.5 ‰ (E, F), zones 1 + 2 sin²60° = 750 ‰ (E only).
      {"Lambertian", Lambert, "1.00 E"},
      // A narrow beam puts nearly everything into zone 1: class A takes values above its range.
      {"narrow beam", [](double g, double) { return g <= 90 ? std::pow(CosD(g), 40) * 6500 : 0; }, "1.00 A"},
      // An upward Lambertian has no downward part: only the upward number.
      {"indirect", [](double g, double) { return g >= 90 ? -1000 / M_PI * CosD(g) : 0; }, "1.00 T"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto lum = MakeLum(c.f);
    TUteResult ute;
    ComputeUteClass(*lum, ute, '.');
    // The formula luminaires emit about 1000 lm per klm.
    EXPECT_EQ(ute.text, c.text);
  }
}

TEST(DatasheetUte, TextOfDirectIndirectClasses) {
  TUteResult ute;
  ute.count = 2;
  ute.classes = {3, 4};
  ute.down = 0.5f;
  ute.indirect = 1;
  ute.up = 0.25f;
  EXPECT_EQ(UteText(ute, ','), "0,50 C + 0,25 T / 0,50 D + 0,25 T");
  ute.indirect = 0;
  EXPECT_EQ(UteText(ute, '.'), "0.50 C / 0.50 D");
  ute.count = 0;
  EXPECT_EQ(UteText(ute, '.'), "");
}

TEST(DatasheetLayout, DiagramCellsStayInsideTheAreaWithoutOverlap) {
  const TRect area{1000, 2000, 11000, 16000};
  for (int m = 1; m <= 6; ++m) {
    SCOPED_TRACE(m);
    const auto cells = DiagramCells(area, m);
    ASSERT_EQ(static_cast<int>(cells.size()), m);
    for (std::size_t i = 0; i < cells.size(); ++i) {
      const TRect& a = cells[i];
      EXPECT_TRUE(a.left >= area.left && a.right <= area.right && a.top >= area.top && a.bottom <= area.bottom);
      for (std::size_t j = i + 1; j < cells.size(); ++j) {
        const TRect& b = cells[j];
        EXPECT_FALSE(a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom) << i << " " << j;
      }
    }
  }
}

TEST(DatasheetLayout, ListBlockShowsTheCatalogueSummary) {
  auto lum = MakeLum(Lambert);
  lum->LumName = "Panel";
  lum->LumNumber = "P-1";
  lum->LampSets[0].LampCount = 2;
  lum->LampSets[0].LampType = "T16";
  PageDevice dc;
  DrawListBlock(*lum, dc, {0, 0, 6000, 1800});
  for (const char* text : {"Serie", "Bezeichnung", "Panel", "2 x T16", "1000", "600", "Typ", "H\xF6he (mm)"})
    EXPECT_TRUE(dc.FindText(text)) << text;
  // Row 3 has no right half: "Bezeichnung" spans the block.
  EXPECT_EQ(dc.Texts().size(), 22u);
}

}  // namespace
}  // namespace kandelo::test
