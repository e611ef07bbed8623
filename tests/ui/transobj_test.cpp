// Collecting a window's texts for translation and writing them back.
#include <QDialog>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QToolButton>
#include <QTableWidget>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "frame/settings.h"
#include "support/test_support.h"
#include "texts/text_controls.h"
#include "texts/trans_dialog.h"
#include "texts/transobj.h"
#include "ui/navigator.h"
#include "ui_tests.h"

namespace kandelo::test {

class TTransSample : public QDialog {
  Q_OBJECT
 public:
  TTransSample() {
    setWindowTitle(QStringLiteral("Fenster"));
    auto* l = new QVBoxLayout(this);
    auto button = [&](const char* name, const char* text, const char* hint) {
      auto* b = new QPushButton(QString::fromLatin1(text), this);
      b->setObjectName(QString::fromLatin1(name));
      b->setToolTip(QString::fromLatin1(hint));
      l->addWidget(b);
      return b;
    };
    ok = button("OkBtn", "ok", "");
    button("Dash1", "-", "");
    button("Dash2", "-", "a hint");
    hidden = button("Hidden", "hidden", "");
    SetTag(hidden, 2);
    group = new TRadioGroup(QStringLiteral("Gruppe"), this);
    group->setObjectName(QStringLiteral("G"));
    for (const char* t : {"a", "b", "c"}) group->AddItem(QString::fromLatin1(t));
    l->addWidget(group);
    nav = new TNavigator(this);
    nav->setObjectName(QStringLiteral("Nav"));
    nav->SetHints({QStringLiteral("first")});
    l->addWidget(nav);
    pages = new QTabWidget(this);
    pages->setObjectName(QStringLiteral("Pages"));
    pages->addTab(new QWidget, QStringLiteral("Seite 1"));
    pages->addTab(new QWidget, QString());
    l->addWidget(pages);
    list = new QTreeWidget(this);
    list->setHeaderLabels({QStringLiteral("file"), QStringLiteral("name")});
    list->header()->setObjectName(QStringLiteral("Hdr"));
    l->addWidget(list);
  }
  QPushButton* ok;
  QPushButton* hidden;
  TRadioGroup* group;
  TNavigator* nav;
  QTabWidget* pages;
  QTreeWidget* list;
};

class TransObjTest : public QObject {
  Q_OBJECT
 private slots:
  void collectsTheListableTexts() {
    TTransSample w;
    TTransList list;
    CollectTexts(&w, list);
    QStringList names;
    for (int i = 0; i < list.Count(); ++i) names << QString::fromStdString(list.Names(i));
    // Navigator hints: one entry per button of its hint list (11 buttons).
    QStringList expected = {QStringLiteral("TTransSample"), QStringLiteral("OkBtn"), QStringLiteral("Dash2"),
                            QStringLiteral("G"), QStringLiteral("G [1]"), QStringLiteral("G [2]"),
                            QStringLiteral("G [3]")};
    for (int i = 1; i <= kNavButtonCount; ++i) expected << QStringLiteral("Nav [%1]").arg(i);
    expected << QStringLiteral("Pages [1]") << QStringLiteral("Hdr [1]") << QStringLiteral("Hdr [2]");
    QCOMPARE(names, expected);

    const TTransObj& nav = list.Objects(list.IndexOf("Nav [1]"));
    QVERIFY(!nav.HasCaption);
    QVERIFY(nav.HasHint);
    QCOMPARE(nav.Hint, std::string("first"));
    QCOMPARE(list.Objects(list.IndexOf("G [3]")).ItemIndex, 2);
  }

  void menuItems() {
    QMenu menu;
    menu.addAction(QStringLiteral("Öffnen"))->setObjectName(QStringLiteral("Open1"));
    menu.addSeparator();
    QAction* fixed = menu.addAction(QStringLiteral("fest"));
    fixed->setObjectName(QStringLiteral("Fixed1"));
    SetTag(fixed, 1);
    TTransList list;
    CollectTexts(&menu, list);
    QCOMPARE(list.Count(), 2);  // the separator without hint is left out
    QCOMPARE(list.Names(0), std::string("Open1"));
    QCOMPARE(list.Objects(0).Caption, std::string("\xD6" "ffnen"));  // 1252 inside the list
    QVERIFY(!list.Objects(1).HasCaption && !list.Objects(1).HasHint);
  }

  void applyWritesBackIntoTheControls() {
    TTransSample w;
    TTransList list;
    CollectTexts(&w, list);
    auto set = [&](const char* name, const char* caption, const char* hint) {
      TTransObj& o = list.Objects(list.IndexOf(name));
      if (caption) o.Caption = caption;
      if (hint) o.Hint = hint;
    };
    set("TTransSample", "Window", nullptr);
    set("OkBtn", "Fine", "accept");
    set("G", "Group", nullptr);
    set("G [2]", "B\xE9", nullptr);
    set("Nav [1]", nullptr, "Start");
    set("Pages [1]", "Page 1", nullptr);
    set("Hdr [2]", "Name", nullptr);
    ApplyTexts(list);
    QCOMPARE(w.windowTitle(), QStringLiteral("Window"));
    QCOMPARE(w.ok->text(), QStringLiteral("Fine"));
    QCOMPARE(w.ok->toolTip(), QStringLiteral("accept"));
    QCOMPARE(w.group->title(), QStringLiteral("Group"));
    QCOMPARE(w.group->Item(1), QStringLiteral("Bé"));
    QCOMPARE(w.nav->Button(nbFirst)->toolTip(), QStringLiteral("Start"));
    QCOMPARE(w.pages->tabText(0), QStringLiteral("Page 1"));
    QCOMPARE(w.list->headerItem()->text(1), QStringLiteral("Name"));
  }

  void dialogStoresTheDestinationFile() {
    TempDir dir;
    const std::string src = dir.file("ORVTXT.GER"), dst = dir.file("ORVTXT.ENG");
    Settings().OrvTxtFile.clear();  // the dialog's own texts stay built-in
    TTransSample w;
    TTransDlg dlg(&w, src, dst);
    // No destination section yet: the destination column shows the source texts.
    const int row = dlg.DestList().IndexOf("OkBtn");
    QVERIFY(row >= 0);
    QCOMPARE(dlg.Table()->item(1, 1)->text(), QStringLiteral("ok"));
    // Navigator entries have no caption: read-only on the caption tab.
    const int navRow = 7;
    QCOMPARE(dlg.Table()->item(navRow, 2)->text(), QStringLiteral("Nav [1]"));
    QVERIFY(!(dlg.Table()->item(navRow, 1)->flags() & Qt::ItemIsEditable));
    dlg.Table()->item(1, 1)->setText(QStringLiteral("Okay"));
    dlg.Store();
    QCOMPARE(w.ok->text(), QStringLiteral("Okay"));
    QVERIFY(readFile(dst).find("OkBtn=Okay\r\n") != std::string::npos);
    // The hint tab shows the hints.
    dlg.Tabs()->setCurrentIndex(1);
    QCOMPARE(dlg.Table()->item(navRow, 1)->text(), QStringLiteral("first"));
  }

  void menuTranslationWritesTheMenuSection() {
    TempDir dir;
    const std::string src = dir.file("ORVTXT.GER"), dst = dir.file("ORVTXT.FRA");
    Settings().OrvTxtFile.clear();
    writeFile(dst, "[TTransSample]\r\nOkBtn=d'accord\r\n");
    TTransSample w;
    auto* menu = new QMenu(&w);
    menu->setObjectName(QStringLiteral("PopupMenu1"));
    menu->addAction(QStringLiteral("bearbeiten"))->setObjectName(QStringLiteral("Edit1"));
    TTransDlg dlg(&w, src, dst, nullptr, menu);
    QCOMPARE(dlg.Table()->rowCount(), 1);
    dlg.Table()->item(0, 1)->setText(QStringLiteral("modifier"));
    dlg.Store();
    QCOMPARE(menu->actions().at(0)->text(), QStringLiteral("modifier"));
    const std::string text = readFile(dst);
    QVERIFY(text.find("[PopupMenu1]\r\nEdit1=modifier\r\n") != std::string::npos);
    QVERIFY(text.find("OkBtn=d'accord") != std::string::npos);  // the window's section stays
  }
};

KANDELO_UI_TEST(TransObjTest);

}  // namespace kandelo::test

#include "transobj_test.moc"
