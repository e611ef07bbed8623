// Window localization through the "ORVTXT" files: export of the built-in texts
// on a first start, reading them back, and the key rules.
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include "fake_backend.h"
#include "frame/inifile.h"
#include "frame/settings.h"
#include "frame/strutil.h"
#include "support/test_support.h"
#include "texts/dialog_tool.h"
#include "texts/text_controls.h"
#include "ui/base_form.h"
#include "ui/navigator.h"
#include "ui_tests.h"

namespace kandelo::test {

// A window with one control of each kind the localizer knows.
class TSampleDlg : public QDialog {
  Q_OBJECT
 public:
  TSampleDlg() {
    setWindowTitle(QStringLiteral("Beispiel"));
    auto* l = new QVBoxLayout(this);
    ok = add<QPushButton>("OkBtn", QStringLiteral("&OK"), QStringLiteral("übernehmen"));
    speed = add<QToolButton>("SpeedButton1", QStringLiteral("Neu"), QStringLiteral("neue Datei"));
    check = add<QCheckBox>("CheckBox1", QStringLiteral("fett"), QString());
    label = new QLabel(QStringLiteral("Name"), this);
    label->setObjectName(QStringLiteral("Label1"));
    l->addWidget(label);
    group = new TRadioGroup(QStringLiteral("Einheit"), this);
    group->setObjectName(QStringLiteral("G"));
    for (const char* t : {"mm", "cm", "m"}) group->AddItem(QString::fromLatin1(t));
    l->addWidget(group);
    tabs = new QTabBar(this);
    tabs->setObjectName(QStringLiteral("TabSet1"));
    tabs->addTab(QStringLiteral("eins"));
    tabs->addTab(QStringLiteral("zwei"));
    l->addWidget(tabs);
    nav = new TNavigator(this);
    nav->setObjectName(QStringLiteral("Nav"));
    nav->SetHints({QStringLiteral("Anfang"), QStringLiteral("zurück")});
    l->addWidget(nav);
    menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("PopupMenu1"));
    menu->addAction(QStringLiteral("bearbeiten"))->setObjectName(QStringLiteral("Edit1"));
    menu->addSeparator();
    for (QWidget* w : std::initializer_list<QWidget*>{ok, speed, check}) l->addWidget(w);
  }
  template <typename T>
  T* add(const char* name, const QString& text, const QString& hint) {
    auto* w = new T(this);
    w->setObjectName(QString::fromLatin1(name));
    w->setText(text);
    w->setToolTip(hint);
    return w;
  }
  QPushButton* ok;
  QToolButton* speed;
  QCheckBox* check;
  QLabel* label;
  TRadioGroup* group;
  QTabBar* tabs;
  TNavigator* nav;
  QMenu* menu;
};

class LocalizationTest : public QObject {
  Q_OBJECT
 private slots:
  void exportWritesEveryKindUnderItsKey() {
    TempDir dir;
    const std::string file = dir.file("ORVTXT.GER");
    TSampleDlg dlg;
    LocalizeOrExport(&dlg, file);  // no file yet: export
    TBigInifile ini(file);
    const struct { const char* section; const char* key; const char* value; } expected[] = {
        {"TSampleDlg", "CAPTION", "Beispiel"},
        {"TSampleDlg", "OkBtn", "&OK"},
        {"TSampleDlg", "OkBtnHint", "\xFC" "bernehmen"},
        {"TSampleDlg", "SpeedButton1", "Neu"},
        {"TSampleDlg", "CheckBox1", "fett"},
        {"TSampleDlg", "Label1", "Name"},
        {"TSampleDlg", "G", "Einheit"},
        {"TSampleDlg", "G2", "m"},
        {"TSampleDlg", "TabSet11", "zwei"},
        {"TSampleDlg", "Nav1Hint", "zur\xFC" "ck"},
        {"PopupMenu1", "Edit1", "bearbeiten"},
    };
    for (const auto& e : expected)
      QCOMPARE(QString::fromStdString(ini.ReadString(e.section, e.key, "<missing>")),
               QString::fromStdString(e.value));
    // Empty hints and navigator hints are not written.
    QCOMPARE(QString::fromStdString(ini.ReadString("TSampleDlg", "CheckBox1Hint", "<missing>")),
             QStringLiteral("<missing>"));
    QCOMPARE(QString::fromStdString(ini.ReadString("TSampleDlg", "Nav5Hint", "<missing>")),
             QStringLiteral("<missing>"));
  }

  void keyRulesOnReading() {
    TempDir dir;
    const std::string file = dir.file("ORVTXT.ENG");
    writeFile(file,
              "[TSampleDlg]\r\nCAPTION=Sample\r\nOkBtn=XXXXX\r\nOkBtnHint=\r\nSpeedButton1=New\r\n"
              "G1=cm!\r\nTabSet10=one\r\nNav0Hint=First\r\nLabel1=\r\n[PopupMenu1]\r\nEdit1=edit\r\n");
    TSampleDlg dlg;
    LocalizeOrExport(&dlg, file);
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Sample"));
    QCOMPARE(dlg.ok->text(), QStringLiteral("&OK"));         // "XXXXX" keeps the built-in caption
    QCOMPARE(dlg.ok->toolTip(), QString());                   // present but empty: blanked
    QCOMPARE(dlg.speed->text(), QStringLiteral("New"));
    QCOMPARE(dlg.speed->toolTip(), QStringLiteral("neue Datei"));  // missing hint keeps the built-in
    QCOMPARE(dlg.check->text(), QStringLiteral("fett"));      // missing caption keeps the built-in
    QCOMPARE(dlg.label->text(), QString());
    QCOMPARE(dlg.group->Item(1), QStringLiteral("cm!"));
    QCOMPARE(dlg.tabs->tabText(0), QStringLiteral("one"));
    QCOMPARE(dlg.nav->Hints().at(0), QStringLiteral("First"));
    QCOMPARE(dlg.nav->Button(nbFirst)->toolTip(), QStringLiteral("First"));
    QCOMPARE(dlg.menu->actions().at(0)->text(), QStringLiteral("edit"));
    // Reading never writes.
    QCOMPARE(QString::fromStdString(readFile(file)).count(QStringLiteral("\r\n")), 11);
  }

  void browserExportsOnFirstStartAndReadsBackUnchanged() {
    TempUserEnvironment env;
    LoadSettings();
    FakeBackend backend;
    const std::string file = AddBackslash(Settings().LangDir) + "ORVTXT" + Settings().DbLangExt;
    QVERIFY(!FileExistsS(file));
    QString title, quitHint;
    {
      TfBaseForm first(backend);
      title = first.windowTitle();
      quitHint = first.findChild<QToolButton*>(QStringLiteral("QuitBtn"))->toolTip();
    }
    QVERIFY(FileExistsS(file));
    const std::string exported = readFile(file);
    TBigInifile ini(file);
    QCOMPARE(QString::fromStdString(ini.ReadString("TfBaseForm", "CAPTION", "")),
             QStringLiteral("Kandelo - Leuchtendatenbank"));
    QCOMPARE(QString::fromStdString(ini.ReadString("TfBaseForm", "DBNavigator0Hint", "")), QStringLiteral("Base"));
    QCOMPARE(QString::fromStdString(ini.ReadString("TfBaseForm", "DBNavigator5Hint", "<none>")),
             QStringLiteral("<none>"));

    TfBaseForm second(backend);
    QCOMPARE(second.windowTitle(), title);
    QCOMPARE(second.findChild<QToolButton*>(QStringLiteral("QuitBtn"))->toolTip(), quitHint);
    QCOMPARE(readFile(file), exported);
  }
};

KANDELO_UI_TEST(LocalizationTest);

}  // namespace kandelo::test

#include "localization_test.moc"
