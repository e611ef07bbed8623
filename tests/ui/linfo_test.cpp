// The evaluation window: every tab draws for a rotational, a linear and an
// indirect luminaire; presets and user entries recompute; refused entries keep
// the old value; the clipboard, the metafile and the file export; the
// languages; the browser opens it.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QListWidget>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <cstring>

#include "evaluation/diagram_fixtures.h"
#include "fake_backend.h"
#include "frame/settings.h"
#include "frame/startup.h"
#include "frame/strutil.h"
#include "graphics/qt/drwwin_widget.h"
#include "support/test_support.h"
#include "texts/qstr.h"
#include "texts/text_controls.h"
#include "ui/base_form.h"
#include "ui/linfo_form.h"
#include "ui_tests.h"

namespace kandelo::test {

namespace {

void UseLanguage(int number, const char* ext) {
  TProgramSettings& s = Settings();
  s.DbLang = number;
  s.DbLangExt = ext;
  s.MsgTxtFile = AddBackslash(s.LangDir) + "MSGTXT" + ext;
  s.OrvMsgFile = AddBackslash(s.LangDir) + "ORVMSG" + ext;
  s.OrvTxtFile = AddBackslash(s.LangDir) + "ORVTXT" + ext;
}

TLUM32 WithLamp(TLUM32 lum, const char* name, bool area) {
  lum.LumName = name;
  lum.FileName = std::string("/tmp/") + name + ".ldt";
  lum.LampSetCount = 1;
  lum.LampSets[0].LampCount = 1;
  lum.LampSets[0].LampType = "T16";
  lum.LampSets[0].LampFlux = 3000;
  lum.LampSets[0].SetFlux = 3000;
  if (area) {
    lum.LumAreaLength = 1200;
    lum.LumAreaWidth = 150;
  }
  lum.CalcFlux();
  lum.FindMaxIntensity();
  return lum;
}

TLUM32 Rotational() { return WithLamp(Downlight(), "Downlight", true); }
// Wider across the luminaire (C 90) than along it (C 0): 24 planes × 37 angles.
TLUM32 Linear() {
  return WithLamp(MakeLuminaire([](double g, double c) {
                    return g <= 90 ? 1000 * CosDeg(g) * (0.6 + 0.4 * std::fabs(std::sin(c * kDegToRad))) : 20.0;
                  }),
                  "Linear", true);
}
TLUM32 Indirect() { return WithLamp(Uplight(), "Indirect", false); }

// Pixels that are not white in a rendering of the current drawing.
int InkOf(TLinfoForm& form) {
  const QImage img = form.RenderCurrent(QSize(400, 300));
  int ink = 0;
  for (int y = 0; y < img.height(); y += 2)
    for (int x = 0; x < img.width(); x += 2)
      if (img.pixel(x, y) != qRgb(255, 255, 255) && qAlpha(img.pixel(x, y)) != 0) ++ink;
  return ink;
}

struct TypeChoice {
  int tab;
  TRadioGroup* (TLinfoForm::*group)() const;
  int item;
  TEvaluationType type;
};
const TypeChoice kChoices[] = {
    {TLinfoForm::tabLvk, &TLinfoForm::LvkGroup, 0, etPolar},
    {TLinfoForm::tabLvk, &TLinfoForm::LvkGroup, 1, etCartesian},
    {TLinfoForm::tabGlare, &TLinfoForm::GlareGroup, 0, etUgr},
    {TLinfoForm::tabGlare, &TLinfoForm::GlareGroup, 1, etGlareCurves},
    {TLinfoForm::tabGlare, &TLinfoForm::GlareGroup, 2, etGlareTable},
    {TLinfoForm::tabUtf, &TLinfoForm::UtfGroup, 0, etUtfDin},
    {TLinfoForm::tabUtf, &TLinfoForm::UtfGroup, 1, etUtfTm5},
    {TLinfoForm::tabUtf, &TLinfoForm::UtfGroup, 2, etUtfNb},
    {TLinfoForm::tabIsolux, nullptr, 0, etIsolux},
    {TLinfoForm::tabCone, nullptr, 0, etCone},
    {TLinfoForm::tabCount, nullptr, 0, etCount},
    {TLinfoForm::tabFloor, nullptr, 0, etFloor},
};

void Choose(TLinfoForm& form, const TypeChoice& c) {
  form.SelectTab(c.tab);
  if (c.group) (form.*c.group)()->SetItemIndex(c.item);
}

// Types in a field as the user does and leaves it.
void Enter(QLineEdit* field, const QString& text) {
  field->setFocus();
  field->selectAll();
  QTest::keyClicks(field, text);
  QTest::keyClick(field, Qt::Key_Return);
}

class Session {
 public:
  Session() {
    LoadSettings();
    InstallLanguageFiles();
    UseLanguage(2, ".ENG");
  }
  TempUserEnvironment env;
};

}  // namespace

class LinfoTest : public QObject {
  Q_OBJECT
 private slots:
  void everyTabDrawsForRotationalLinearAndIndirect() {
    Session s;
    RecordingUi rec;
    ScopedUiServices scoped(rec);
    for (const TLUM32& lum : {Rotational(), Linear(), Indirect()}) {
      TLinfoForm form(TCatalogueRecord{}, lum, false);
      form.resize(900, 650);
      form.show();
      QVERIFY(QTest::qWaitForWindowExposed(&form));
      for (const TypeChoice& c : kChoices) {
        Choose(form, c);
        QCOMPARE(int(form.Type()), int(c.type));
        // Luminance types of the luminaire without a luminous area only say why.
        const int need = NeedsLuminance(c.type) && !form.EvalSet().luminance ? 20 : 200;
        QVERIFY2(InkOf(form) > need, (lum.LumName + " " + EvaluationTypeName(c.type)).c_str());
      }
      QVERIFY(rec.shown.empty());
    }
  }

  void theWindowOpensAsDescribed() {
    Session s;
    TCatalogueRecord rec;
    rec.SetShortNumber("LB-1");
    rec.SetLumName("Leuchtband");
    rec.SetLampCount(2);
    rec.SetLampType("T16 35W");
    TLinfoForm form(rec, Linear(), false);
    QCOMPARE(form.windowTitle(), QStringLiteral("Luminaire information : Linear"));
    QCOMPARE(form.Type(), etPolar);
    QCOMPARE(form.Tabs()->currentIndex(), 0);
    QVERIFY(!form.TrButton()->isVisibleTo(&form));
    QVERIFY(!form.GammaMaxField()->isVisibleTo(&form));
    QCOMPARE(form.GammaMaxField()->text(), QStringLiteral("180"));
    QCOMPARE(form.IsoluxFields()[0]->text(), QStringLiteral("10"));
    QCOMPARE(form.IsoluxFields()[2]->text(), QStringLiteral("3000"));
    QCOMPARE(form.DistanceList()->currentRow(), 0);
    bool headShown = false;
    for (QLabel* l : form.findChildren<QLabel*>())
      headShown = headShown || l->text() == QStringLiteral("LB-1 Leuchtband 2xT16 35W");
    QVERIFY(headShown);
    form.resize(800, 600);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.minimumSize(), QSize(800, 600));
    // The drawing fills 95 % of the drawing window in both directions.
    for (QSize size : {QSize(800, 600), QSize(1500, 1000)}) {
      form.resize(size);
      QTRY_COMPARE(form.DrawingWindow()->Layout().ClientSize().cx, form.DrawingWindow()->width());
      const TRect r = form.DrawingRect();
      const TSize d = form.DrawingWindow()->Layout().DrawingSize();
      QVERIFY(std::abs(r.left - d.cx / 40) <= 1 && std::abs(r.bottom - d.cy * 39 / 40) <= 1);
      const int twips = static_cast<int>(std::lround(1440.0 / form.DrawingWindow()->logicalDpiX()));
      QCOMPARE(d.cx, form.DrawingWindow()->width() * twips);
      QCOMPARE(d.cy, form.DrawingWindow()->height() * twips);
    }
  }

  void planeListStartsAndFollowsTheTicks() {
    Session s;
    TLinfoForm rot(TCatalogueRecord{}, Rotational(), false);
    QCOMPARE(rot.EvalSet().planes, std::vector<float>{0.0f});
    QCOMPARE(rot.PlaneList()->count(), 1);
    QCOMPARE(rot.PlaneList()->item(0)->checkState(), Qt::Checked);

    TLinfoForm lin(TCatalogueRecord{}, Linear(), false);
    QCOMPARE(lin.EvalSet().planes, (std::vector<float>{0.0f, 90.0f}));
    QListWidget* list = lin.PlaneList();
    QCOMPARE(list->count(), 12);  // pairs C 0/180 … C 165/345
    std::vector<int> ticked;
    for (int i = 0; i < list->count(); ++i)
      if (list->item(i)->checkState() == Qt::Checked) ticked.push_back(i);
    QCOMPARE(ticked, (std::vector<int>{0, 6}));
    list->item(6)->setCheckState(Qt::Unchecked);
    QCOMPARE(lin.EvalSet().planes, std::vector<float>{0.0f});
    list->item(3)->setCheckState(Qt::Checked);
    list->item(6)->setCheckState(Qt::Checked);
    QCOMPARE(lin.EvalSet().planes, (std::vector<float>{0.0f, 45.0f, 90.0f}));
    // Space toggles the current entry.
    lin.show();
    QVERIFY(QTest::qWaitForWindowExposed(&lin));
    list->setFocus();
    list->setCurrentRow(3);
    QTest::keyClick(list, Qt::Key_Space);
    QCOMPARE(lin.EvalSet().planes, (std::vector<float>{0.0f, 90.0f}));
  }

  void presetsAndUserEntriesRecompute() {
    Session s;
    RecordingUi rec;
    ScopedUiServices scoped(rec);
    TLinfoForm form(TCatalogueRecord{}, Linear(), false);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const TEvaluationSet& set = form.EvalSet();

    // Luminaire count: every height preset, then the user entry.
    form.SelectTab(TLinfoForm::tabCount);
    QComboBox* hp = form.CountHeightPreset();
    QCOMPARE(hp->count(), 4);
    QCOMPARE(hp->itemText(3), QStringLiteral("user-defined"));
    for (int p = 0; p < 3; ++p) {
      const auto before = set.tables.countResult;
      hp->setCurrentIndex(p);
      emit hp->activated(p);
      for (std::size_t i = 0; i < 3; ++i) {
        QCOMPARE(set.tables.count.Heights[i], kFloorHeightPresets[p][i]);
        QVERIFY(!form.CountHeights()[i]->isEnabled());
      }
      if (p > 0) QVERIFY(set.tables.countResult != before);
    }
    hp->setCurrentIndex(3);
    emit hp->activated(3);
    QVERIFY(form.CountHeights()[0]->isEnabled());
    auto before = set.tables.countResult;
    Enter(form.CountHeights()[0], QStringLiteral("3,5"));
    QCOMPARE(set.tables.count.Heights[0], 3.5f);
    QVERIFY(set.tables.countResult != before);
    hp->setCurrentIndex(0);
    emit hp->activated(0);  // a preset again overwrites the user's value
    QCOMPARE(form.CountHeights()[0]->text(), QStringLiteral("1.65"));

    QComboBox* ep = form.IlluminancePreset();
    for (int p = 1; p < 3; ++p) {
      before = set.tables.countResult;
      ep->setCurrentIndex(p);
      emit ep->activated(p);
      QCOMPARE(set.tables.count.Illuminances[2], kCountIlluminancePresets[p][2]);
      QVERIFY(set.tables.countResult != before);
    }
    ep->setCurrentIndex(3);
    emit ep->activated(3);
    before = set.tables.countResult;
    Enter(form.Illuminances()[1], QStringLiteral("750"));
    QCOMPARE(int(set.tables.count.Illuminances[1]), 750);
    QVERIFY(set.tables.countResult != before);
    before = set.tables.countResult;
    Enter(form.CountMaintenance(), QStringLiteral("0.5"));
    QVERIFY(set.tables.countResult != before);
    before = set.tables.countResult;
    form.AreaCombo()->setCurrentIndex(2);
    emit form.AreaCombo()->activated(2);
    QCOMPARE(set.tables.count.AreaSet, 2);
    QVERIFY(set.tables.countResult != before);
    before = set.tables.countResult;
    form.ReflectanceCombo()->setCurrentIndex(14);
    emit form.ReflectanceCombo()->activated(14);
    QVERIFY(set.tables.countResult != before);

    // Floor curves: height and section presets, user ends, emergency.
    form.SelectTab(TLinfoForm::tabFloor);
    QComboBox* fp = form.FloorHeightPreset();
    auto floorBefore = set.tables.floorResult;
    fp->setCurrentIndex(2);
    emit fp->activated(2);
    QCOMPARE(set.tables.floor.Heights[0], kFloorHeightPresets[2][0]);
    QVERIFY(set.tables.floorResult != floorBefore);
    fp->setCurrentIndex(3);
    emit fp->activated(3);
    floorBefore = set.tables.floorResult;
    Enter(form.FloorHeights()[2], QStringLiteral("8"));
    QCOMPARE(set.tables.floor.Heights[2], 8.0f);
    QVERIFY(set.tables.floorResult != floorBefore);
    QComboBox* dp = form.DistancePreset();
    QCOMPARE(dp->count(), 3);
    QVERIFY(!form.LeftField()->isEnabled());
    dp->setCurrentIndex(1);
    emit dp->activated(1);
    QCOMPARE(set.tables.floor.Left, -4.0f);
    QCOMPARE(form.RightField()->text(), QStringLiteral("12"));
    dp->setCurrentIndex(2);
    emit dp->activated(2);
    QVERIFY(form.LeftField()->isEnabled());
    floorBefore = set.tables.floorResult;
    Enter(form.LeftField(), QStringLiteral("-1"));
    Enter(form.RightField(), QStringLiteral("3"));
    QCOMPARE(set.tables.floor.Left, -1.0f);
    QCOMPARE(set.tables.floor.Right, 3.0f);
    QVERIFY(set.tables.floorResult != floorBefore);
    floorBefore = set.tables.floorResult;
    Enter(form.FloorMaintenance(), QStringLiteral("0.4"));
    QVERIFY(set.tables.floorResult != floorBefore);
    form.EmergencyCheck()->setChecked(true);
    QCOMPARE(int(set.tables.floor.Emergency), 1);

    // Isolux: the four fields on "show"; cone: the distance set; g-max.
    form.SelectTab(TLinfoForm::tabIsolux);
    form.IsoluxFields()[0]->setText(QStringLiteral("20"));
    form.IsoluxFields()[1]->setText(QStringLiteral("3"));
    form.IsoluxFields()[2]->setText(QStringLiteral("5000"));
    QCOMPARE(set.isolux.side, 10.0f);  // nothing before "show"
    QTest::mouseClick(form.ShowButton(), Qt::LeftButton);
    QCOMPARE(set.isolux.side, 20.0f);
    QCOMPARE(set.isolux.height, 3.0f);
    QCOMPARE(set.isolux.flux, 5000.0f);
    form.SelectTab(TLinfoForm::tabCone);
    form.DistanceList()->setCurrentRow(4);
    QCOMPARE(int(set.cone.distanceSet), 4);
    form.SelectTab(TLinfoForm::tabLvk);
    form.LvkGroup()->SetItemIndex(1);
    QVERIFY(form.GammaMaxField()->isVisible());
    Enter(form.GammaMaxField(), QStringLiteral("90"));
    QCOMPARE(set.gammaMax, 90.0);
    form.LvkGroup()->SetItemIndex(0);
    QVERIFY(!form.GammaMaxField()->isVisible());
    QVERIFY(rec.shown.empty());
  }

  // The isolux drawing follows its fields as soon as one is left, without
  // Show; a field still holding a value Show would refuse holds the others
  // back (all or none) and says nothing until Show.
  void theIsoluxDrawingFollowsItsFieldsAtOnce() {
    Session s;
    RecordingUi rec;
    ScopedUiServices scoped(rec);
    TLinfoForm form(TCatalogueRecord{}, Linear(), false);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const TEvaluationSet& set = form.EvalSet();
    form.SelectTab(TLinfoForm::tabIsolux);
    Enter(form.IsoluxFields()[0], QStringLiteral("12"));
    QCOMPARE(set.isolux.side, 12.0f);
    Enter(form.IsoluxFields()[1], QStringLiteral("3.5"));
    QCOMPARE(set.isolux.height, 3.5f);
    QVERIFY(rec.shown.empty());
    form.IsoluxFields()[2]->setText(QStringLiteral("-5"));
    Enter(form.IsoluxFields()[0], QStringLiteral("20"));
    QCOMPARE(set.isolux.side, 12.0f);
    QVERIFY(rec.shown.empty());
    // The field left is refused on its own like any other.
    form.IsoluxFields()[2]->setText(QStringLiteral("3000"));
    Enter(form.IsoluxFields()[1], QStringLiteral("-1"));
    QCOMPARE(form.IsoluxFields()[1]->text(), QStringLiteral("3.5"));
    QCOMPARE(rec.shown.size(), std::size_t(1));
    QCOMPARE(set.isolux.height, 3.5f);
  }

  void refusedEntriesKeepTheOldValue() {
    Session s;
    RecordingUi rec;
    ScopedUiServices scoped(rec);
    TLinfoForm form(TCatalogueRecord{}, Linear(), false);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const TEvaluationSet& set = form.EvalSet();
    form.SelectTab(TLinfoForm::tabCount);
    form.CountHeightPreset()->setCurrentIndex(3);
    emit form.CountHeightPreset()->activated(3);
    form.IlluminancePreset()->setCurrentIndex(3);
    emit form.IlluminancePreset()->activated(3);
    const struct {
      QLineEdit* field;
      const char* text;
    } cases[] = {
        {form.CountHeights()[0], "abc"},   {form.CountHeights()[0], "-2"},  {form.CountHeights()[0], "0"},
        {form.CountHeights()[0], "101"},   {form.CountHeights()[0], "1.5x"}, {form.Illuminances()[0], "0"},
        {form.Illuminances()[0], "70000"}, {form.Illuminances()[0], "12.5"}, {form.CountMaintenance(), "1.5"},
        {form.CountMaintenance(), "nan"},  {form.CountMaintenance(), "inf"},
    };
    const auto params = set.tables.count;
    const auto result = set.tables.countResult;
    for (const auto& c : cases) {
      const QString old = c.field->text();
      const std::size_t boxes = rec.shown.size();
      Enter(c.field, QString::fromLatin1(c.text));
      QCOMPARE(c.field->text(), old);
      QCOMPARE(rec.shown.size(), boxes + 1);
      QCOMPARE(rec.shown.back().type, MsgType::Error);
      QVERIFY2(rec.shown.back().text.find("Allowed are values from") != std::string::npos, rec.shown.back().text.c_str());
    }
    QVERIFY(set.tables.count.Heights == params.Heights);
    QVERIFY(set.tables.count.Illuminances == params.Illuminances);
    QCOMPARE(set.tables.count.Maintenance, params.Maintenance);
    QVERIFY(set.tables.countResult == result);

    // A section whose left end is not below its right end.
    form.SelectTab(TLinfoForm::tabFloor);
    form.DistancePreset()->setCurrentIndex(2);
    emit form.DistancePreset()->activated(2);
    Enter(form.LeftField(), QStringLiteral("6"));
    QCOMPARE(form.LeftField()->text(), QStringLiteral("-2"));
    QCOMPARE(set.tables.floor.Left, -2.0f);
    QVERIFY(rec.shown.back().text.find("left end") != std::string::npos);

    // Isolux: one bad field refuses all four.
    form.SelectTab(TLinfoForm::tabIsolux);
    form.IsoluxFields()[0]->setText(QStringLiteral("25"));
    form.IsoluxFields()[1]->setText(QStringLiteral("-1"));
    QTest::mouseClick(form.ShowButton(), Qt::LeftButton);
    QCOMPARE(set.isolux.side, 10.0f);
    QCOMPARE(set.isolux.height, 5.0f);
    QCOMPARE(form.IsoluxFields()[1]->text(), QStringLiteral("5"));
    form.IsoluxFields()[1]->setText(QStringLiteral("5"));
    form.IsoluxFields()[2]->setText(QStringLiteral("0"));
    QTest::mouseClick(form.ShowButton(), Qt::LeftButton);
    QCOMPARE(set.isolux.flux, 3000.0f);
  }

  void aLuminaireWithoutDataShowsEmptyFrames() {
    Session s;
    RecordingUi rec;
    ScopedUiServices scoped(rec);
    TLUM32 empty;
    empty.LumName = "Empty";
    TLinfoForm form(TCatalogueRecord{}, empty, false);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.PlaneList()->count(), 0);
    for (const TypeChoice& c : kChoices) {
      Choose(form, c);
      QCOMPARE(InkOf(form), 0);
      form.CopyToClipboard();
    }
  }

  void clipboardOffersMetafileSvgAndPng() {
    Session s;
    TLinfoForm form(TCatalogueRecord{}, Linear(), false);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.SelectTab(TLinfoForm::tabGlare);  // UGR
    QApplication::clipboard()->clear();
    QTest::keyClick(&form, Qt::Key_Insert, Qt::ControlModifier);
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    QVERIFY(mime);
    for (const char* type : {"image/x-wmf", "image/svg+xml", "image/png"})
      QVERIFY2(mime->hasFormat(QString::fromLatin1(type)), type);
    const QByteArray wmf = mime->data(QStringLiteral("image/x-wmf"));
    auto word = [&](int offset) {
      return static_cast<unsigned>(static_cast<unsigned char>(wmf[offset])) |
             static_cast<unsigned>(static_cast<unsigned char>(wmf[offset + 1])) << 8;
    };
    QCOMPARE(word(0) | word(2) << 16, 0x9AC6CDD7u);
    QCOMPARE(word(10), 6500u);
    QCOMPARE(word(12), 5851u);
    QCOMPARE(word(14), 1000u);
    const QImage png = qvariant_cast<QImage>(mime->imageData());
    QVERIFY(!png.isNull());
    int ink = 0;
    for (int y = 0; y < png.height(); y += 3)
      for (int x = 0; x < png.width(); x += 3) ink += png.pixel(x, y) != qRgb(255, 255, 255);
    QVERIFY(ink > 500);
    QVERIFY(mime->data(QStringLiteral("image/svg+xml")).contains("<svg"));
    // The metafile converts with an independent reader when one is installed.
    const QString wmf2svg = QStandardPaths::findExecutable(QStringLiteral("wmf2svg"));
    if (!wmf2svg.isEmpty()) {
      TempDir dir;
      writeFile(dir.file("clip.wmf"), std::string(wmf.constData(), static_cast<std::size_t>(wmf.size())));
      QProcess p;
      p.start(wmf2svg, {QString::fromStdString(dir.file("clip.wmf")), QStringLiteral("-o"),
                        QString::fromStdString(dir.file("clip.svg"))});
      QVERIFY(p.waitForFinished(60000));
      QCOMPARE(p.exitCode(), 0);
      QVERIFY(readFile(dir.file("clip.svg")).find("<svg") != std::string::npos);
    }
    // The other sizes by type.
    const struct { int tab; QSize size; } sizes[] = {
        {TLinfoForm::tabLvk, {4000, 4000}}, {TLinfoForm::tabUtf, {5201, 4000}}, {TLinfoForm::tabFloor, {7509, 4000}}};
    for (const auto& c : sizes) {
      form.SelectTab(c.tab);
      form.CopyButton()->click();
      const QByteArray w = QApplication::clipboard()->mimeData()->data(QStringLiteral("image/x-wmf"));
      QCOMPARE(QSize(static_cast<unsigned char>(w[10]) | static_cast<unsigned char>(w[11]) << 8,
                     static_cast<unsigned char>(w[12]) | static_cast<unsigned char>(w[13]) << 8),
               c.size);
    }
  }

  void metafileAndFileExports() {
    Session s;
    RecordingUi rec;
    ScopedUiServices scoped(rec);
    TempDir dir;
    Settings().PolarDir = dir.file("POLAR");
    Settings().UtfDinDir = dir.file("NOWHERE/DEEP/DIN");  // cannot be made: an error box
    TLinfoForm form(TCatalogueRecord{}, Linear(), false);
    const std::string wmf = form.WriteMetafile();
    QCOMPARE(wmf, dir.file("POLAR") + "/Linear.WMF");
    const std::string bytes = readFile(wmf);
    QVERIFY(bytes.size() > 1000);
    QCOMPARE(static_cast<unsigned char>(bytes[0]), static_cast<unsigned char>(0xD7));
    QCOMPARE(rec.shown.back().type, MsgType::Information);
    form.SelectTab(TLinfoForm::tabUtf);
    QCOMPARE(form.WriteMetafile(), std::string());
    QCOMPARE(rec.shown.back().type, MsgType::Error);
    QVERIFY(!FileExistsS(dir.file("NOWHERE/DEEP/DIN/Linear.WMF")));
  }

  void exportWritesPdfSvgAndPng() {
    Session s;
    struct ExportUi : RecordingUi {
      std::string name;
      int filter = 1;
      std::string title, offered;
      std::string chooseSaveFile(const std::string& t, const std::string&, const std::string& fileName,
                                 const std::string&, int& filterIndex) override {
        title = t;
        offered = fileName;
        filterIndex = filter;
        return name;
      }
    } ui;
    ScopedUiServices scoped(ui);
    TempDir dir;
    TLinfoForm form(TCatalogueRecord{}, Linear(), false);
    form.SelectTab(TLinfoForm::tabFloor);
    const struct { const char* name; int filter; const char* written; const char* magic; } cases[] = {
        {"a.pdf", 1, "a.pdf", "%PDF"}, {"b", 2, "b.svg", "<?xml"}, {"c", 3, "c.png", "\x89PNG"}};
    for (const auto& c : cases) {
      ui.name = dir.file(c.name);
      ui.filter = c.filter;
      QCOMPARE(form.ExportDrawing(), dir.file(c.written));
      QCOMPARE(readFile(dir.file(c.written)).substr(0, std::strlen(c.magic)), std::string(c.magic));
    }
    QCOMPARE(ui.offered, std::string("Linear.pdf"));
    QCOMPARE(ui.title, std::string("Export drawing"));
    ui.name = dir.file("missing-dir/x.png");
    QCOMPARE(form.ExportDrawing(), std::string());
    QCOMPARE(ui.shown.back().type, MsgType::Error);
    ui.name.clear();  // cancelled
    QCOMPARE(form.ExportDrawing(), std::string());
  }

  void speaksThreeLanguagesAndTranslates() {
    Session s;
    const struct { int number; const char* ext; const char* caption; const char* back; const char* user; } langs[] = {
        {1, ".GER", "Leuchten-Information", "Zur\u00fcck zur Datenbankansicht", "benutzerdefiniert"},
        {2, ".ENG", "Luminaire information", "Back to the catalogue", "user-defined"},
        {3, ".FRA", "Information sur le luminaire", "Retour au catalogue", "d\u00e9fini par l'utilisateur"}};
    for (const auto& l : langs) {
      UseLanguage(l.number, l.ext);
      TLinfoForm form(TCatalogueRecord{}, Rotational(), true);
      QCOMPARE(form.windowTitle(), QString::fromUtf8(l.caption) + QStringLiteral(" : Downlight"));
      QCOMPARE(form.findChild<QPushButton*>(QStringLiteral("BackBtn"))->text(), QString::fromUtf8(l.back));
      QCOMPARE(form.CountHeightPreset()->itemText(3), QString::fromUtf8(l.user));
      QVERIFY(form.TrButton()->isVisibleTo(&form));
    }
    // Ctrl+F7 turns translation mode on in a window opened without it.
    TLinfoForm form(TCatalogueRecord{}, Rotational(), false);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QVERIFY(!form.TrButton()->isVisible());
    QTest::keyClick(&form, Qt::Key_F7, Qt::ControlModifier);
    QVERIFY(form.TrButton()->isVisible());
  }

  void theBrowserOpensItForTheCurrentEntry() {
    Session s;
    TempDir dir;
    writeFile(dir.file("BAND.LDT"), "x");
    struct WithLuminaire : FakeBackend {
      TLUM32 lum = Linear();
      const TLUM32* Luminaire() const override { return luminaire.empty() ? nullptr : &lum; }
      bool ReadCatalogueRecord(std::int32_t recNo, TCatalogueRecord& rec) override {
        rec.Clear();
        rec.SetLumName("Leuchtband #" + std::to_string(recNo));
        return true;
      }
    } b;
    FillSample(b);
    b.pathList = {dir.path()};
    RecordingUi rec;
    ScopedUiServices scoped(rec);
    TfBaseForm f(b);
    f.show();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    auto* info = f.findChild<QToolButton*>(QStringLiteral("infobtn"));
    QVERIFY(info->isEnabled());
    f.ActivateRow(2);  // BAND.LDT
    QString title;
    int opened = 0;
    auto closeWhenOpen = [&] {
      QTimer::singleShot(0, [&] {
        if (auto* w = qobject_cast<TLinfoForm*>(QApplication::activeModalWidget())) {
          ++opened;
          title = w->windowTitle();
          w->reject();
        }
      });
    };
    closeWhenOpen();
    info->click();
    QCOMPARE(opened, 1);
    QCOMPARE(title, QStringLiteral("Luminaire information : Linear"));
    closeWhenOpen();
    QTest::keyClick(f.Table(), Qt::Key_Return);
    QCOMPARE(opened, 2);
    // A missing file is reported and no window opens.
    f.ActivateRow(1);
    closeWhenOpen();
    info->click();
    QCOMPARE(opened, 2);
    QCOMPARE(rec.shown.back().type, MsgType::Error);
  }
};

KANDELO_UI_TEST(LinfoTest);

}  // namespace kandelo::test

#include "linfo_test.moc"
