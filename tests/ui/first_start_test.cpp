// The window as a new user meets it: the desktop's language, a tool bar with
// its labels, "delete all" apart from "add all", Qt's own dialogs in the same
// language, a maximized window that comes back maximized, a language dialog
// that says what its lists mean and a settings dialog without a made-up footer.
#include <QApplication>
#include <QDialogButtonBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "fake_backend.h"
#include "shell/msgbox.h"
#include "frame/settings.h"
#include "frame/startup.h"
#include "frame/strutil.h"
#include "support/test_support.h"
#include "texts/select_languages.h"
#include "ui/base_form.h"
#include "ui/orvset_form.h"
#include "ui/qt_translations.h"
#include "ui_tests.h"

namespace kandelo::test {

namespace {

struct Desktop {
  const char* lang;       // LANG of the session
  const char* language;   // the tool button "LangBtn"
  const char* cancel;     // Qt's own standard button
  const char* programLanguage;  // the first list of the language dialog
  const char* footerHint;       // the start of the settings dialog's hint
};
const Desktop kDesktops[] = {
    {"de_DE.UTF-8", "Sprache", "Abbrechen", "Sprache des Programms", "Name und Adresse stehen in der Fu\u00dfzeile jedes Datenblatts"},
    {"en_US.UTF-8", "Language", "Cancel", "Program language", "Name and address are printed in the footer of every datasheet"},
    {"fr_FR.UTF-8", "Langue", "Annuler", "Langue du programme", "Le nom et l'adresse figurent en pied de chaque fiche"},
};

// A first start on that desktop: settings and language files as the program's
// start-up leaves them.
void FirstStart(const Desktop& d) {
  setenv("LANG", d.lang, 1);
  StartProgram(StartupSteps{});
}

QString Labels(TfBaseForm& f) {
  QString out;
  for (QToolButton* b : f.findChildren<QToolButton*>())
    if (b->isVisible() && b->parentWidget() == f.findChild<QToolButton*>(QStringLiteral("LangBtn"))->parentWidget())
      out += b->objectName() + QLatin1Char('=') + QString::number(b->toolButtonStyle()) + QLatin1Char(' ');
  return out;
}

bool AllLabelled(TfBaseForm& f) {
  QWidget* row = f.findChild<QToolButton*>(QStringLiteral("LangBtn"))->parentWidget();
  for (QToolButton* b : row->findChildren<QToolButton*>())
    if (b->isVisible() && !b->text().isEmpty() && b->toolButtonStyle() == Qt::ToolButtonIconOnly) return false;
  return true;
}

QString StandardCancel() {
  QDialogButtonBox box(QDialogButtonBox::Cancel);
  return box.button(QDialogButtonBox::Cancel)->text();
}

}  // namespace

class FirstStartTest : public QObject {
  Q_OBJECT
 private slots:
  // The tests after each one expect Qt's built-in English.
  void cleanup() { UseQtTranslations(".ENG"); }

  void theFirstStartSpeaksTheDesktopsLanguageWithALabelledToolBar() {
    for (const Desktop& d : kDesktops) {
      TempUserEnvironment env;
      FirstStart(d);
      FakeBackend b;
      FillSample(b);
      for (int start = 1; start <= 2; ++start) {  // the first start and the one after it
        TfBaseForm f(b);
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        // The size the window takes on a common desktop (the offscreen
        // screen is narrower than that).
        f.resize(1100, 720);
        auto* lang = f.findChild<QToolButton*>(QStringLiteral("LangBtn"));
        QCOMPARE(lang->text(), QString::fromUtf8(d.language));
        QTRY_VERIFY2(AllLabelled(f), qPrintable(QString::fromLatin1(d.lang) + QStringLiteral(": ") + Labels(f)));
        // Qt's own texts follow the session's language.
        QCOMPARE(StandardCancel(), QString::fromUtf8(d.cancel));
        f.close();
      }
    }
  }

  void qtsOwnDialogsSwitchWithTheLanguage() {
    TempUserEnvironment env;
    FirstStart(kDesktops[0]);
    FakeBackend b;
    TfBaseForm f(b);
    QCOMPARE(StandardCancel(), QStringLiteral("Abbrechen"));
    QCOMPARE(QCoreApplication::translate("QPrintDialog", "Print"), QStringLiteral("Drucken"));
    for (int language : {3, 2, 1}) {
      f.ApplyLanguages(language, language);
      QCOMPARE(StandardCancel(), QString::fromUtf8(kDesktops[language == 1 ? 0 : language == 2 ? 1 : 2].cancel));
    }
  }

  void deleteAllStandsApartFromAddAllAndStillAsks() {
    TempUserEnvironment env;
    FirstStart(kDesktops[1]);
    FakeBackend b;
    FillSample(b);
    RecordingUi rec;
    ScopedUiServices scoped(rec);
    TfBaseForm f(b);
    f.show();
    auto* add = f.findChild<QToolButton*>(QStringLiteral("SpeedButton3"));
    auto* clear = f.findChild<QToolButton*>(QStringLiteral("SpeedButton4"));
    auto* row = qobject_cast<QHBoxLayout*>(add->parentWidget()->layout());
    QVERIFY(row);
    const int addAt = row->indexOf(add), clearAt = row->indexOf(clear);
    QVERIFY(addAt >= 0 && clearAt > addAt + 1);
    // A separator comes right before it (spacing items aside).
    int before = clearAt - 1;
    while (before > 0 && row->itemAt(before)->spacerItem()) --before;
    auto* separator = qobject_cast<QFrame*>(row->itemAt(before)->widget());
    QVERIFY(separator && separator->frameShape() == QFrame::VLine);
    // The question stays; "No" keeps the catalogue.
    rec.answers = {mrNo};
    QTest::mouseClick(clear, Qt::LeftButton);
    QCOMPARE(rec.shown.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(rec.shown[0].text).left(20), QStringLiteral("Do you really want t"));
    QCOMPARE(f.Model().Count(), 5);
  }

  void aMaximizedWindowComesBackMaximizedAndRestoresToItsPlace() {
    TempUserEnvironment env;
    FirstStart(kDesktops[1]);
    FakeBackend b;
    FillSample(b);
    QRect normal;
    {
      TfBaseForm f(b);
      f.show();
      f.resize(f.width(), f.height() - 60);
      QTRY_VERIFY(f.geometry() != normal);
      normal = f.geometry();
      f.showMaximized();
      QTRY_VERIFY(f.isMaximized());
      f.close();
    }
    {
      TfBaseForm f(b);
      QVERIFY(f.windowState() & Qt::WindowMaximized);
      f.show();
      QTRY_VERIFY(f.isMaximized());
      f.showNormal();
      QTRY_COMPARE(f.geometry().size(), normal.size());
      f.close();
    }
    TfBaseForm f(b);  // closed normal-sized: it stays so
    QVERIFY(!(f.windowState() & Qt::WindowMaximized));
  }

  void theLanguageDialogSaysWhichListIsTheProgramsLanguage() {
    for (const Desktop& d : kDesktops) {
      TempUserEnvironment env;
      FirstStart(d);
      Settings().OrvTxtFile = AddBackslash(Settings().LangDir) + "ORVTXT" + Settings().DbLangExt;
      TLangDlg dlg(Settings().DbLang, 1, false);
      auto* program = dlg.findChild<QLabel*>(QStringLiteral("ProgLangLbl"));
      QVERIFY2(program && program->text().startsWith(QString::fromUtf8(d.programLanguage)), d.lang);
      QCOMPARE(dlg.SourceList()->currentRow() + 1, Settings().DbLang);
    }
  }

  void aNewInstallationHasNoPrintFooterAndTheSettingsSayWhereToEnterOne() {
    for (const Desktop& d : kDesktops) {
      TempUserEnvironment env;
      FirstStart(d);
      Settings().OrvTxtFile = AddBackslash(Settings().LangDir) + "ORVTXT" + Settings().DbLangExt;
      TOrvsetForm dlg(Settings(), false);
      auto* name = dlg.findChild<QLineEdit*>(QStringLiteral("UserNameFld"));
      auto* addr = dlg.findChild<QLineEdit*>(QStringLiteral("UserAdFld"));
      auto* logo = dlg.findChild<QLineEdit*>(QStringLiteral("UserLogoFld"));
      QVERIFY(name && addr && logo);
      QCOMPARE(name->text(), QString());
      QCOMPARE(addr->text(), QString());
      QCOMPARE(logo->text(), QString());
      auto* hint = dlg.findChild<QLabel*>(QStringLiteral("FooterHint"));
      QVERIFY2(hint && hint->text().startsWith(QString::fromUtf8(d.footerHint)), d.lang);
    }
  }

  void theAboutBoxNamesTheLicenceAlsoAfterAnUpdate() {
    TempUserEnvironment env;
    FirstStart(kDesktops[1]);
    // The English messages of an older version, which knew no licence.
    test::writeFile(AddBackslash(Settings().LangDir) + "ORVMSG.ENG",
                    "[BROWSER]\r\nBR_LICENCE=Licence: all rights reserved\r\nBR_VERSION=Version\r\n");
    const StartupState state = StartProgram(StartupSteps{});
    QCOMPARE(state.languageFiles.updated, std::vector<std::string>{"ORVMSG.ENG"});
    FakeBackend b;
    TfBaseForm f(b);
    const QString about = f.AboutText();
    QVERIFY2(about.contains(QStringLiteral("Apache License 2.0")), qPrintable(about));
    QVERIFY2(!about.contains(QStringLiteral("rights reserved")), qPrintable(about));
  }
};

KANDELO_UI_TEST(FirstStartTest);

}  // namespace kandelo::test

#include "first_start_test.moc"
