// The browser as a user meets it: opening a row, messages that stay
// dismissed, the overwrite question in front, pictures that match their
// buttons, a window that fits any screen, sorting by a column, the keyboard,
// and a second start that hands its files over.
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <thread>

#include "fake_backend.h"
#include "shell/msgbox.h"
#include "frame/scan.h"
#include "frame/settings.h"
#include "frame/startup.h"
#include "frame/strutil.h"
#include "support/test_support.h"
#include "ui/base_form.h"
#include "ui/catalogue_model.h"
#include "ui/instance_link.h"
#include "ui/navigator.h"
#include "ui/qt_ui_services.h"
#include "ui_tests.h"

namespace kandelo::test {

namespace {

// English language files in a fresh user environment.
void EnglishSession() {
  LoadSettings();
  InstallLanguageFiles();
  TProgramSettings& s = Settings();
  s.DbLang = 2;
  s.DbLangExt = ".ENG";
  s.MsgTxtFile = AddBackslash(s.LangDir) + "MSGTXT.ENG";
  s.OrvMsgFile = AddBackslash(s.LangDir) + "ORVMSG.ENG";
}

int RowNamed(TfBaseForm& f, const std::string& name) {
  for (int r = 1; r <= f.Model().Count(); ++r)
    if (f.Model().RowAt(r)->name == name) return r;
  return 0;
}

}  // namespace

class BrowserUserTest : public QObject {
  Q_OBJECT
 private slots:
  void doubleClickAndEnterOpenTheLuminaireAndKeepTheWindow() {
    TempUserEnvironment env;
    LoadSettings();
    TempDir dir;
    writeFile(dir.file("BAND.LDT"), "x");
    FakeBackend b;
    FillSample(b);
    b.pathList = {dir.path()};
    RecordingUi rec;
    ScopedUiServices scoped(rec);
    TfBaseForm f(b);
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    f.ActivateRow(RowNamed(f, "Leuchtband"));
    const int loads = b.loads;
    emit f.Table()->doubleClicked(f.Model().index(f.ActiveRow() - 1, 1));
    QVERIFY(f.isVisible());
    QCOMPARE(b.loads, loads + 1);  // at once, not after the timer
    QVERIFY(f.LuminaireLoaded());
    QVERIFY(!f.LoadTimer().isActive());
    f.ActivateRow(RowNamed(f, "Uplight"));  // its file is missing
    QTest::keyClick(f.Table(), Qt::Key_Return);
    QVERIFY(f.isVisible());
    QCOMPARE(rec.shown.size(), std::size_t(1));
    QCOMPARE(rec.shown.back().type, MsgType::Error);
  }

  void aDismissedMessageStaysDismissedUntilTheUserMoves() {
    TempUserEnvironment env;
    LoadSettings();
    FakeBackend b;
    FillSample(b);
    RecordingUi rec;
    ScopedUiServices scoped(rec);
    TfBaseForm f(b);
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    f.ActivateRow(1);
    f.LoadCurrentLuminaire();
    QCOMPARE(rec.shown.size(), std::size_t(1));
    // The key that closed the box reaches the table and restarts the timer.
    for (int i = 0; i < 3; ++i) {
      QTest::keyRelease(f.Table(), Qt::Key_Return);
      QVERIFY(f.LoadTimer().isActive());
      QTRY_VERIFY(!f.LoadTimer().isActive());
      f.LoadCurrentLuminaire();
    }
    QCOMPARE(rec.shown.size(), std::size_t(1));
    // Moving away and back shows it again; so does asking for the row.
    QTest::keyClick(f.Table(), Qt::Key_Down);
    QTest::keyClick(f.Table(), Qt::Key_Up);
    QTRY_COMPARE(rec.shown.size(), std::size_t(2));
    f.OpenCurrent();
    QCOMPARE(rec.shown.size(), std::size_t(3));
  }

  void questionsComeInFrontOfTheWaitWindowInTheSessionLanguage() {
    TempUserEnvironment env;
    EnglishSession();
    QWidget main;
    main.show();
    main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    QtUiServices services;
    ScopedUiServices scoped(services);
    ui().beginWait("");
    QVERIFY(services.WaitWindow());
    QCOMPARE(services.WaitWindow()->windowTitle(), QStringLiteral("Please wait ..."));
    QVERIFY(services.WaitWindow()->isVisible());
    bool checked = false;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      QVERIFY(box);
      QCOMPARE(box->windowModality(), Qt::ApplicationModal);
      QVERIFY(!services.WaitWindow()->isVisible());
      QCOMPARE(box->windowTitle(), QStringLiteral("Confirmation"));
      checked = true;
      QTest::keyClick(box, Qt::Key_Escape);
    });
    const int answer = AskYesNoCancelAllL("The file a.ldt already exists.", Settings().MsgTxtFile);
    QVERIFY(checked);
    QCOMPARE(answer, int(mrCancel));
    QVERIFY(services.WaitWindow()->isVisible());
    ui().endWait();
    // Escape on a plain box with OK only, and its title in English.
    QString title;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      QVERIFY(box);
      title = box->windowTitle();
      QTest::keyClick(box, Qt::Key_Escape);
    });
    QCOMPARE(ShowError("DB creation error : 9908"), int(mrOk));
    QCOMPARE(title, QStringLiteral("Error"));
  }

  void navigatorPicturesMatchWhatTheButtonsDo() {
    TempUserEnvironment env;
    LoadSettings();
    FakeBackend b;
    TfBaseForm f(b);
    TNavigator plain;
    const struct { TNavigateBtn button; TNavGlyph glyph; const char* hint; } cases[] = {
        {nbCancel, TNavGlyph::List, "print a list of all or selected items"},
        {nbRefresh, TNavGlyph::Copy, "Copy"},
        {nbDelete, TNavGlyph::Standard, "Extract"}};
    for (const auto& c : cases) {
      QCOMPARE(f.Navigator()->Glyph(c.button), c.glyph);
      QCOMPARE(f.Navigator()->Button(c.button)->toolTip(), QString::fromLatin1(c.hint));
      const QImage mine = f.Navigator()->Button(c.button)->icon().pixmap(32, 32).toImage();
      const QImage standard = plain.Button(c.button)->icon().pixmap(32, 32).toImage();
      QCOMPARE(mine == standard, c.glyph == TNavGlyph::Standard);
    }
  }

  void theWindowFitsTheScreenAndKeepsItsColumnsAndProportions() {
    TempUserEnvironment env;
    LoadSettings();
    FakeBackend b;
    FillSample(b);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    // A position saved on a larger screen or another monitor.
    WriteSettingString("LDBSETTINGS", "WINPOS", "5000,4000,3000,2000");
    {
      TfBaseForm f(b);
      f.show();
      const QRect g = f.frameGeometry();
      QVERIFY2(screen.contains(g), qPrintable(QStringLiteral("%1,%2 %3x%4").arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height())));
      // The smallest size still shows every column without scrolling.
      QVERIFY(f.minimumSizeHint().width() <= 820);
      QVERIFY(f.minimumSizeHint().height() <= 580);
      f.resize(f.minimumSizeHint());
      QTRY_COMPARE(f.size(), f.minimumSizeHint());
      QCoreApplication::processEvents();
      QCOMPARE(f.Table()->horizontalScrollBar()->maximum(), 0);
      const int last = f.Table()->horizontalHeader()->sectionViewportPosition(4);
      QVERIFY(last > 0 && last < f.Table()->viewport()->width() - 40);
      // The splitter's share stays when the window grows.
      auto* splitter = f.findChild<QSplitter*>();
      splitter->setSizes({250, splitter->height() - 250});
      emit splitter->splitterMoved(250, 1);
      const double share = static_cast<double>(splitter->sizes()[0]) / (splitter->sizes()[0] + splitter->sizes()[1]);
      f.resize(f.width() + 100, f.height() + 300);
      QTRY_VERIFY(splitter->sizes()[0] > 250);
      const double after = static_cast<double>(splitter->sizes()[0]) / (splitter->sizes()[0] + splitter->sizes()[1]);
      QVERIFY(std::abs(after - share) < 0.03);
      f.close();
    }
    long long saved = 0;
    QVERIFY(ParseInt(ReadSettingString("LDBSETTINGS", "SPLITTER", ""), saved));
    QVERIFY(saved > 100 && saved < 900);
  }

  void aColumnHeaderSortsByItsKeyAndKeepsTheEntry() {
    TempUserEnvironment env;
    LoadSettings();
    FakeBackend b;
    FillSample(b);
    b.rows[3].diskName = "Wallwasher with a long file name.cib";  // WALL.CIB is its alias
    TfBaseForm f(b);
    f.show();
    f.ActivateRow(RowNamed(f, "Wallwasher"));
    // Key 1 shows name, number, file name, manufacturer, format.
    const struct { int column; int key; std::string first; } cases[] = {
        {2, 3, "Wallwasher with a long file name.cib"}, {1, 2, "WW-3"}, {4, 4, "TM14"}, {3, 5, "Lumen AG"}};
    for (const auto& c : cases) {
      f.SortByColumn(c.column);
      QCOMPARE(f.SortKey(), c.key);
      QCOMPARE(QString::fromStdString(f.Model().CellText(f.ActiveRow(), 0)), QString::fromStdString(c.first));
      QCOMPARE(f.Model().RowAt(f.ActiveRow())->name, std::string("Wallwasher"));
      f.ReloadTable(1);
      f.ActivateRow(RowNamed(f, "Wallwasher"));
    }
  }

  void keyboardCommands() {
    TempUserEnvironment env;
    LoadSettings();
    FakeBackend b;
    FillSample(b);
    TfBaseForm f(b);
    f.show();
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    f.Table()->setFocus();
    // Ctrl+F: the search field; the row follows the text, Escape ends it.
    QTest::keyClick(&f, Qt::Key_F, Qt::ControlModifier);
    auto* search = f.findChild<QLineEdit*>(QStringLiteral("SearchEdit"));
    QVERIFY(search->isVisible());
    QVERIFY(search->hasFocus());
    QTest::keyClicks(search, "wall");
    QCOMPARE(f.Model().RowAt(f.ActiveRow())->name, std::string("Wallwasher"));
    QTest::keyClick(search, Qt::Key_Escape);
    QVERIFY(!search->isVisible());
    QVERIFY(f.Table()->hasFocus());
    // F5 reads the catalogue again and stays on the entry.
    b.Add("Aaa first", "A-1", "AAA.LDT", "Zeta", "EULUM-DAT");
    QTest::keyClick(f.Table(), Qt::Key_F5);
    QCOMPARE(f.Model().Count(), 6);
    QCOMPARE(f.Model().RowAt(f.ActiveRow())->name, std::string("Wallwasher"));
    // Ctrl+Q quits.
    QTest::keyClick(f.Table(), Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(!f.isVisible());
  }

  void aboutAndTheSummaryAfterAddingFiles() {
    TempUserEnvironment env;
    EnglishSession();
    FakeBackend b;
    FillSample(b);
    RecordingUi rec;
    ScopedUiServices scoped(rec);
    TfBaseForm f(b);
    f.ApplyLanguages(2, 2);
    const QString about = f.AboutText();
    for (const QString& part : {QStringLiteral(KANDELO_VERSION), QString::fromStdString(Settings().ProgDir),
                                QString::fromStdString(env.settingsFile()), QStringLiteral("5 entries")})
      QVERIFY2(about.contains(part), qPrintable(part));
    b.addCounts.added = 2;
    b.addCounts.updated = 1;
    b.addCounts.failed = 1;
    f.AddAllBelowRootClicked();
    QCOMPARE(rec.shown.back().type, MsgType::Information);
    QCOMPARE(rec.shown.back().text, "2 added, 1 updated, 1 failed.\nThe files that failed are listed in " +
                                        ErrorListPath());
  }

  void aCatalogueThatIsNotOpenCannotBeFilledOrDeleted() {
    TempUserEnvironment env;
    LoadSettings();
    FakeBackend b;
    b.open = false;
    TfBaseForm f(b);
    f.show();
    for (const char* name : {"SpeedButton3", "SpeedButton4"})
      QVERIFY2(!f.findChild<QToolButton*>(QString::fromLatin1(name))->isEnabled(), name);
  }

  void aSecondStartHandsItsFilesToTheRunningWindow() {
    TempUserEnvironment env;
    LoadSettings();
    FakeBackend b;
    FillSample(b);
    RecordingUi rec;
    ScopedUiServices scoped(rec);
    TfBaseForm f(b);
    f.show();
    TempDir dir;
    const QString name = QString::fromStdString(dir.file("link"));
    TInstanceLink first(name);
    QCOMPARE(first.StartOrHandOver({}), TInstanceLink::Start::Listening);
    connect(&first, &TInstanceLink::FilesReceived, &f, &TfBaseForm::OpenFiles);
    // The second start runs elsewhere; this thread serves the first one.
    TInstanceLink::Start second = TInstanceLink::Start::Alone;
    std::thread start([&] {
      TInstanceLink link(name);
      second = link.StartOrHandOver({QStringLiteral("/photometry/new one.ldt")});
    });
    QTRY_COMPARE(b.handed.size(), std::size_t(1));
    start.join();
    QCOMPARE(second, TInstanceLink::Start::HandedOver);
    QCOMPARE(b.handed[0], std::string("/photometry/new one.ldt"));
    QCOMPARE(f.Model().Count(), 6);
    QCOMPARE(f.Model().RowAt(f.ActiveRow())->name, std::string("Handed new one.ldt"));
    // Without a running window nobody answers, and the next start listens.
    TInstanceLink lonely(QString::fromStdString(dir.file("other")));
    QVERIFY(!lonely.HandOver({}, 200));
  }
};

KANDELO_UI_TEST(BrowserUserTest);

}  // namespace kandelo::test

#include "browser_user_test.moc"
