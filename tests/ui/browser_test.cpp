// The browser's table over a small catalogue, its incremental search and the
// navigator's repeat.
#include <QComboBox>
#include <QStyle>
#include <QStyleOption>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include "fake_backend.h"
#include "frame/settings.h"
#include "frame/startup.h"
#include "shell/msgbox.h"
#include "support/test_support.h"
#include "ui/base_form.h"
#include "ui/catalogue_model.h"
#include "ui/navigator.h"
#include "ui_tests.h"

namespace kandelo::test {

namespace {

class FakeTimer : public TRepeatTimer {
 public:
  void Start(int ms) override { armed.push_back(ms); running = true; }
  void Stop() override { running = false; }
  std::vector<int> armed;
  bool running = false;
};

}  // namespace

class BrowserTest : public QObject {
  Q_OBJECT
 private slots:
  void rowsUnderEachSortKey() {
    FakeBackend b;
    FillSample(b);
    TCatalogueModel m(b);
    const struct { int key; int row; QStringList cells; } cases[] = {
        {1, 1, {"Downlight 150", "DL-150", "DL150.LDT", "Lumen AG", "EULUM-DAT"}},
        {1, 5, {"Wallwasher", "WW-3", "WALL.CIB", "Lumen AG", "TM14"}},
        {2, 2, {"LB-1", "Leuchtband", "BAND.LDT", "Alpha", "EULUM-DAT"}},
        {3, 1, {"BAND.LDT", "Leuchtband", "LB-1", "Alpha", "EULUM-DAT"}},
        {4, 5, {"TM14", "Wallwasher", "WW-3", "WALL.CIB", "Lumen AG"}},
        {5, 5, {"Lumen AG", "Wallwasher", "WW-3", "WALL.CIB", "TM14"}},
    };
    for (const auto& c : cases) {
      m.Reload(c.key);
      QCOMPARE(m.rowCount(), 5);
      QStringList got;
      for (int col = 0; col < 5; ++col) got << m.data(m.index(c.row - 1, col), Qt::DisplayRole).toString();
      QCOMPARE(got, c.cells);
    }
    // Header numbers follow the column fields.
    m.SetHeaderTexts({"H1", "H2", "H3", "H4", "H5"});
    m.Reload(4);
    QStringList heads;
    for (int col = 0; col < 5; ++col) heads << m.headerData(col, Qt::Horizontal, Qt::DisplayRole).toString();
    QCOMPARE(heads, (QStringList{"H5", "H1", "H2", "H3", "H4"}));
  }

  void showingARowStepsFromTheLastOneWithoutCopying() {
    FakeBackend b;
    for (int i = 0; i < 500; ++i) b.Add("Name " + std::to_string(1000 + i), "N", "F.LDT", "M", "EULUM-DAT");
    TCatalogueModel m(b);
    m.Reload(1);
    b.steps = b.reads = 0;
    QCOMPARE(m.CellText(3, 0), std::string("Name 1002"));
    QCOMPARE(b.steps, 2);
    QCOMPARE(b.reads, 1);
    m.CellText(3, 1);  // the same row again: no step, no read
    QCOMPARE(b.steps, 2);
    QCOMPARE(b.reads, 1);
    m.CellText(2, 0);  // one row back: one step
    QCOMPARE(b.steps, 3);
    QCOMPARE(m.RowAt(500)->name, std::string("Name 1499"));
    QCOMPARE(b.reads, 3);
    QCOMPARE(m.RowOfRecord(42), 42);
    // Long texts are cut to 40 characters.
    b.rows[0].name = std::string(60, 'x');
    m.Reload(1);
    QCOMPARE(m.CellText(m.RowOfRecord(1), 0).size(), std::size_t(40));
  }

  void farJumpStepsFromTheNearestRememberedRow() {
    FakeBackend b;
    for (int i = 0; i < 1000; ++i) b.Add("Name " + std::to_string(10000 + i), "N", "F.LDT", "M", "EULUM-DAT");
    TCatalogueModel m(b);
    m.Reload(1);
    QCOMPARE(m.CellText(1000, 0), std::string("Name 10999"));  // once through, remembering rows on the way
    b.steps = 0;
    QCOMPARE(m.CellText(300, 0), std::string("Name 10299"));
    QVERIFY(b.steps <= 64);
    QCOMPARE(b.positions, 1);
    QCOMPARE(m.CellText(700, 0), std::string("Name 10699"));
    QCOMPARE(m.CellText(1, 0), std::string("Name 10000"));
    // An entry that is no longer there is stepped to instead.
    b.rows[255].name = "Name 10255x";
    QCOMPARE(m.CellText(1000, 0), std::string("Name 10999"));
    QCOMPARE(m.CellText(257, 0), std::string("Name 10256"));
  }

  void emptyCatalogueShowsOneEmptyRow() {
    FakeBackend b;
    TCatalogueModel m(b);
    m.Reload(9);  // an invalid key falls back to 1
    QCOMPARE(m.KeyNo(), 1);
    QCOMPARE(m.rowCount(), 1);
    QVERIFY(m.data(m.index(0, 0), Qt::DisplayRole).isNull());
    QVERIFY(!m.MoveTo(1));
  }

  void incrementalSearch() {
    FakeBackend b;
    FillSample(b);  // name order: Downlight, Leuchtband, Leuchte Eco, Uplight, Wallwasher
    TCatalogueModel m(b);
    m.Reload(1);
    TIncrementalSearch s;
    // Forward from row 1: L finds row 2, LEUCHTE finds row 3.
    QCOMPARE(s.Type('l', 1, m), 2);
    QCOMPARE(s.Direction(), 1);
    int row = 2;
    for (char c : std::string("euchte")) row = s.Type(c, row, m);
    QCOMPARE(row, 3);
    QCOMPARE(s.Text(), std::string("LEUCHTE"));
    // A letter that matches nothing clears the search.
    QCOMPARE(s.Type('x', row, m), 0);
    QVERIFY(s.Text().empty());
    // Backward from the last row when the text sorts before the current entry.
    QCOMPARE(s.Type('d', 5, m), 1);
    QCOMPARE(s.Direction(), -1);
    s.Clear();
    // The text is limited to 40 characters.
    for (int i = 0; i < 40; ++i) s.Type('d', 1, m);
    QVERIFY(s.Text().empty());
  }

  void navigatorRepeatsWhileHeld() {
    TNavigator nav;
    FakeTimer timer;
    nav.SetRepeatTimer(&timer);
    nav.SetCount(5);
    nav.SetPosition(1);
    QVERIFY(!nav.Button(nbPrior)->isEnabled());
    std::vector<int> clicks;
    connect(&nav, &TNavigator::Clicked, &nav, [&](int b) { clicks.push_back(b); });
    nav.ButtonPressed(nbNext);
    QCOMPARE(timer.armed, (std::vector<int>{400}));
    nav.RepeatTimerFired();
    nav.RepeatTimerFired();
    QCOMPARE(timer.armed, (std::vector<int>{400, 100, 100}));
    QCOMPARE(nav.Position(), 3);
    nav.RepeatTimerFired();
    nav.RepeatTimerFired();  // reaches 5: NEXT is disabled, the repeat ends
    QCOMPARE(nav.Position(), 5);
    nav.RepeatTimerFired();
    QCOMPARE(nav.Position(), 5);
    QVERIFY(!timer.running);
    QCOMPARE(clicks.size(), std::size_t(4));
    nav.ButtonReleased();
    // A press on a disabled button does not arm the timer.
    nav.ButtonPressed(nbNext);
    QCOMPARE(timer.armed.size(), std::size_t(4));
    // Keys: Right moves the focus, Space clicks the focused button.
    nav.show();
    nav.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&nav));
    nav.Button(nbFirst)->setFocus();
    QTest::keyClick(nav.Button(nbFirst), Qt::Key_Right);
    QVERIFY(nav.Button(nbPrior)->hasFocus());
    QTest::keyClick(nav.Button(nbPrior), Qt::Key_Space);
    QCOMPARE(nav.Position(), 4);
  }

  void browserStartsAtTheStoredPositionWhenValid() {
    TempUserEnvironment env;
    LoadSettings();
    FakeBackend b;
    FillSample(b);
    const struct { int key, row, wantKey, wantRow; } cases[] = {{3, 4, 3, 4}, {9, 57, 1, 1}};
    for (const auto& c : cases) {
      SaveBrowserPosition(c.key, c.row);
      TfBaseForm f(b);
      f.show();
      QCOMPARE(f.SortKey(), c.wantKey);
      QCOMPARE(f.ActiveRow(), c.wantRow);
      f.close();
      QCOMPARE(b.labels.back(), std::string());  // the version label is written on close
      std::int32_t key = 0, row = 0;
      LoadBrowserPosition(key, row);
      QCOMPARE(key, c.wantKey);
      QCOMPARE(row, c.wantRow);
    }
  }

  void deletingTheLastRowActivatesTheNewLastRow() {
    TempUserEnvironment env;
    LoadSettings();
    FakeBackend b;
    FillSample(b);
    RecordingUi rec;
    rec.answers = {mrYes};
    ScopedUiServices scoped(rec);
    TfBaseForm f(b);
    f.show();
    f.ActivateRow(5);
    f.DeleteCurrent();
    QCOMPARE(f.Model().Count(), 4);
    QCOMPARE(f.ActiveRow(), 4);
    // The new current entry is loaded at once; its file does not exist.
    QVERIFY(!f.LuminaireLoaded());
    QCOMPARE(rec.shown.size(), std::size_t(2));
    const std::string text = rec.shown[1].text;
    const std::string tail = " : UPL.LTL";
    QCOMPARE(rec.shown[1].type, MsgType::Error);
    QCOMPARE(text, tail);  // no "ORVMSG" file here: the key's text is empty
  }

  void changesOfOtherStationsAreShownOnTheSameRecord() {
    TempUserEnvironment env;
    LoadSettings();
    FakeBackend b;
    FillSample(b);
    TfBaseForm f(b);
    f.show();
    f.ActivateRow(3);
    const std::int32_t rec = f.Model().RowAt(3)->recNo;
    // Another station adds an entry that sorts first: shown after a few idle seconds.
    b.Add("Aaa first", "A-1", "AAA.LDT", "Alpha", "EULUM-DAT");
    b.changedElsewhere = true;
    QTRY_COMPARE_WITH_TIMEOUT(f.Model().Count(), 6, 6000);
    QCOMPARE(f.Model().RowAt(f.ActiveRow())->recNo, rec);
    QCOMPARE(f.ActiveRow(), 4);
    // And at once on the next move.
    b.Add("Aab second", "A-2", "AAB.LDT", "Alpha", "EULUM-DAT");
    b.changedElsewhere = true;
    f.ActivateRow(5);
    QTRY_COMPARE_WITH_TIMEOUT(f.Model().Count(), 7, 500);
  }

  void sortSelectorTakesEffectWhenItLosesTheFocus() {
    TempUserEnvironment env;
    LoadSettings();
    FakeBackend b;
    FillSample(b);
    TfBaseForm f(b);
    f.show();
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    auto* combo = f.findChild<QComboBox*>(QStringLiteral("KeyCombo"));
    combo->setFocus();
    combo->setCurrentIndex(2);
    QCOMPARE(f.SortKey(), 1);  // not before the selector loses the focus
    f.Table()->setFocus();
    QCOMPARE(f.SortKey(), 3);
    QCOMPARE(f.ActiveRow(), 1);
    QCOMPARE(f.Model().CellText(1, 0), std::string("BAND.LDT"));
  }

  void languageSwitchRelocalizesTheWindow() {
    TempUserEnvironment env;
    LoadSettings();
    InstallLanguageFiles();  // the shipped German, English and French files
    FakeBackend b;
    FillSample(b);
    TfBaseForm f(b);
    f.show();
    auto* quit = f.findChild<QToolButton*>(QStringLiteral("QuitBtn"));
    QCOMPARE(quit->text(), QStringLiteral("Beenden"));
    f.ApplyLanguages(2, 3);
    QCOMPARE(quit->text(), QStringLiteral("Exit"));
    QCOMPARE(f.windowTitle(), QStringLiteral("Kandelo - Luminaire database"));
    QCOMPARE(f.Model().headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Luminaire name"));
    QCOMPARE(Settings().DbLangExt, std::string(".ENG"));
    QCOMPARE(Settings().DestLangExt, std::string(".FRA"));
    QVERIFY(Settings().MsgTxtFile.size() > 10 &&
            Settings().MsgTxtFile.compare(Settings().MsgTxtFile.size() - 10, 10, "MSGTXT.ENG") == 0);
    // The choice is kept for the next start.
    LoadSettings();
    QCOMPARE(Settings().DbLang, 2);

    // The sort selector widens to its longest text in French too.
    f.ApplyLanguages(3, 3);
    auto* combo = f.findChild<QComboBox*>(QStringLiteral("KeyCombo"));
    QCOMPARE(combo->itemText(0), QString::fromUtf8("D\u00e9signation du luminaire"));
    auto textRoom = [combo] {
      QStyleOptionComboBox opt;
      opt.initFrom(combo);
      return combo->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, combo).width();
    };
    for (int i = 0; i < combo->count(); ++i)
      QTRY_VERIFY2(combo->fontMetrics().horizontalAdvance(combo->itemText(i)) <= textRoom(),
                   qPrintable(combo->itemText(i)));
  }

  void keysMoveAndTheDiagramFollowsWhenTheCursorRests() {
    TempUserEnvironment env;
    LoadSettings();
    InstallLanguageFiles();
    TempDir dir;
    writeFile(dir.file("BAND.LDT"), "x");  // row 2 (key 1) exists, row 1 does not
    FakeBackend b;
    FillSample(b);
    b.pathList = {dir.path()};
    RecordingUi rec;
    ScopedUiServices scoped(rec);
    TfBaseForm f(b);
    f.show();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QCOMPARE(f.LoadTimer().interval(), 500);
    QTRY_VERIFY(!f.LoadTimer().isActive());
    const int loads = b.loads;
    QTest::keyClick(f.Table(), Qt::Key_Down);
    QCOMPARE(f.ActiveRow(), 2);
    QVERIFY(f.LoadTimer().isActive());  // not loaded while the cursor moves
    QCOMPARE(b.loads, loads);
    QTRY_COMPARE(b.loads, loads + 1);
    QVERIFY(f.LuminaireLoaded());
    const struct { Qt::Key key; int row; } moves[] = {
        {Qt::Key_End, 5}, {Qt::Key_Up, 4}, {Qt::Key_Home, 1}, {Qt::Key_PageDown, 5}, {Qt::Key_PageUp, 1}};
    for (const auto& m : moves) {
      QTest::keyClick(f.Table(), m.key);
      QCOMPARE(f.ActiveRow(), m.row);
    }
    f.Navigator()->Button(nbLast)->click();
    QCOMPARE(f.ActiveRow(), 5);
    f.Navigator()->Button(nbFirst)->click();
    QCOMPARE(f.ActiveRow(), 1);
    // Delete asks first; "No" keeps the entry.
    rec.answers = {mrNo};
    QTest::keyClick(f.Table(), Qt::Key_Delete);
    QCOMPARE(f.Model().Count(), 5);
    QCOMPARE(rec.shown.back().type, MsgType::Confirmation);
    // Row 1's file is missing: the message speaks the current language.
    const struct { int lang; const char* text; } langs[] = {
        {1, "Datei nicht gefunden : DL150.LDT"}, {2, "File not found : DL150.LDT"}, {3, "Fichier introuvable : DL150.LDT"}};
    for (const auto& l : langs) {
      f.ApplyLanguages(l.lang, 1);
      f.LoadCurrentLuminaire();
      QCOMPARE(rec.shown.back().type, MsgType::Error);
      QCOMPARE(QString::fromStdString(rec.shown.back().text), QString::fromLatin1(l.text));
      QVERIFY(!f.LuminaireLoaded());
    }
  }

  void emptyCatalogueDisablesMovementAndOutputs() {
    TempUserEnvironment env;
    LoadSettings();
    FakeBackend b;
    TfBaseForm f(b);
    f.show();
    for (TNavigateBtn n : {nbFirst, nbPrior, nbNext, nbLast}) QVERIFY(!f.Navigator()->Button(n)->isEnabled());
    QVERIFY(!f.findChild<QToolButton*>(QStringLiteral("prtbtn"))->isEnabled());
    QVERIFY(!f.findChild<QToolButton*>(QStringLiteral("infobtn"))->isEnabled());
    QCOMPARE(f.Model().rowCount(), 1);
    f.LoadCurrentLuminaire();  // nothing to load, no message
    QCOMPARE(b.loads, 0);
  }

  void multiSelectListAndLeaving() {
    TempUserEnvironment env;
    LoadSettings();
    FakeBackend b;
    FillSample(b);
    RecordingUi rec;
    ScopedUiServices scoped(rec);
    TfBaseForm f(b);
    f.show();
    // Leaving with an empty list does not ask.
    f.EnterMultiSelect();
    QCOMPARE(rec.shown.size(), std::size_t(1));  // the "DM_MULTI" information
    QVERIFY(!f.Navigator()->IsButtonVisible(nbDelete));
    QVERIFY(f.LeaveMultiSelect());
    QCOMPARE(rec.shown.size(), std::size_t(1));
    QVERIFY(f.Navigator()->IsButtonVisible(nbDelete));
    QVERIFY(!f.Navigator()->IsButtonVisible(nbPost));
    // Insert adds the current entry once and moves on; the same entry is not added twice.
    f.EnterMultiSelect();
    f.ActivateRow(2);
    f.AddCurrentToList();
    QCOMPARE(f.ActiveRow(), 3);
    f.ActivateRow(2);
    f.AddCurrentToList();
    QCOMPARE(f.TempList()->topLevelItemCount(), 1);
    QCOMPARE(f.TempList()->topLevelItem(0)->text(0), QStringLiteral("BAND.LDT"));
    // With entries the question comes; anything but Yes stays in the mode.
    rec.answers = {mrNo};
    QVERIFY(!f.LeaveMultiSelect());
    QVERIFY(f.MultiSelect());
    rec.answers = {mrYes};
    QVERIFY(f.LeaveMultiSelect());
    QCOMPARE(f.TempList()->topLevelItemCount(), 0);
  }
};

KANDELO_UI_TEST(BrowserTest);

}  // namespace kandelo::test

#include "browser_test.moc"
