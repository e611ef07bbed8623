// The catalogue as a user reads it and picks from it: real file names
// wherever a name is shown (never the alias the record keeps), the texts the
// record cuts shown whole, and the multi-select list filled by Ctrl+click,
// Shift+click and the Insert key.
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>

#include "storage/indexed_table.h"
#include "fake_backend.h"
#include "frame/settings.h"
#include "frame/startup.h"
#include "frame/strutil.h"
#include "photometry/ldt_fixture.h"
#include "support/test_support.h"
#include "ui/base_form.h"
#include "ui/catalogue_model.h"
#include "ui/record_editor.h"
#include "ui_tests.h"

namespace kandelo::test {

namespace {

const std::string kLongFile = "eulumdat-ugr_sample_01.ldt";
// 52 and 38 characters: the record keeps 40 and 25 of them.
const std::string kLongName = "Recessed linear luminaire with microprism optics";
const std::string kLongMaker = "Lichtwerkstatt Nordhafen Leuchten GmbH";

void EnglishSession() {
  LoadSettings();
  InstallLanguageFiles();
  TProgramSettings& s = Settings();
  s.DbLang = 2;
  s.DbLangExt = ".ENG";
  s.MsgTxtFile = AddBackslash(s.LangDir) + "MSGTXT.ENG";
  s.OrvMsgFile = AddBackslash(s.LangDir) + "ORVMSG.ENG";
  s.OrvTxtFile = AddBackslash(s.LangDir) + "ORVTXT.ENG";
}

// A catalogue whose first entry has a long file name (kept under an alias)
// and texts the record cut; its file holds them whole.
class LongTextsBackend : public FakeBackend {
 public:
  int fileReads = 0;
  LongTextsBackend() {
    Add(kLongName.substr(0, 40), "N-1", "EU5208~1.LDT", kLongMaker.substr(0, 25), "EULUM-DAT");
    rows.back().diskName = kLongFile;
    FillSample(*this);
  }
  std::optional<LuminaireTexts> FileTexts(const std::string& path) override {
    ++fileReads;
    if (path.size() < kLongFile.size() || path.compare(path.size() - kLongFile.size(), kLongFile.size(), kLongFile) != 0)
      return std::nullopt;
    return LuminaireTexts{kLongName, "N-1", kLongMaker};
  }
  std::optional<LuminaireTexts> LoadedTexts() const override {
    if (luminaire.empty()) return std::nullopt;
    return LuminaireTexts{luminaire.find(kLongFile) != std::string::npos ? kLongName : std::string(), "", kLongMaker};
  }
};

int RowOfFile(TfBaseForm& f, const std::string& file) {
  for (int r = 1; r <= f.Model().Count(); ++r)
    if (f.Model().RowAt(r)->RealFileName() == file) return r;
  return 0;
}

// The column of a field (0 name, 1 number, 2 file, 3 manufacturer) under the current key.
int ColumnOf(TfBaseForm& f, int field) {
  for (int c = 0; c < TCatalogueModel::kColumns; ++c)
    if (TCatalogueModel::FieldOf(f.SortKey(), c) == field) return c;
  return -1;
}

QStringList ListedFiles(TfBaseForm& f) {
  QStringList files;
  for (int i = 0; i < f.TempList()->topLevelItemCount(); ++i) files << f.TempList()->topLevelItem(i)->text(0);
  return files;
}

QString FileAt(TfBaseForm& f, int row) { return QString::fromStdString(f.Model().RowAt(row)->RealFileName()); }

void ClickRow(TfBaseForm& f, int row, Qt::KeyboardModifiers modifiers) {
  const QModelIndex i = f.Model().index(row - 1, 1);
  f.Table()->scrollTo(i);
  QTest::mouseClick(f.Table()->viewport(), Qt::LeftButton, modifiers, f.Table()->visualRect(i).center());
}

}  // namespace

class CatalogueViewTest : public QObject {
  Q_OBJECT
 private slots:
  void realFileNamesInTheTableTheListAndTheEditor() {
    TempUserEnvironment env;
    EnglishSession();
    LongTextsBackend b;
    RecordingUi rec;
    ScopedUiServices scoped(rec);
    TfBaseForm f(b);
    f.show();
    const int row = RowOfFile(f, kLongFile);
    QVERIFY(row > 0);
    const QModelIndex file = f.Model().index(row - 1, ColumnOf(f, 2));
    QCOMPARE(file.data().toString(), QString::fromStdString(kLongFile));
    QCOMPARE(file.data(Qt::ToolTipRole).toString(), QString::fromStdString(kLongFile));
    f.EnterMultiSelect();
    f.ActivateRow(row);
    f.AddCurrentToList();
    QCOMPARE(ListedFiles(f), QStringList{QString::fromStdString(kLongFile)});

    // The record editor's file field: the record keeps the alias, the field
    // shows the file's name.
    TempDir dir;
    writeFile(dir.file(kLongFile), MakeLdt(LdtSpec{}));
    b.pathList = {AddBackslash(dir.path())};
    TCatalogueRecord r;
    QVERIFY(SetCatalogueFileName(r, kLongFile));
    r.SetDirIndex(0);
    QVERIFY(r.FileNameField() != kLongFile);
    InitDatabaseEngine();
    {
      Tdbedform editor(r, EditMode::Edit, b, false);
      QCOMPARE(editor.Field("LFileFld")->text(), QString::fromStdString(kLongFile));
      QCOMPARE(editor.Record().FileNameField(), r.FileNameField());
      editor.CancelClicked();
    }
    ReleaseDatabaseEngine();
  }

  void textsTheRecordCutAreShownWhole() {
    TempUserEnvironment env;
    EnglishSession();
    LongTextsBackend b;
    RecordingUi rec;
    ScopedUiServices scoped(rec);
    TfBaseForm f(b);
    f.show();
    const int row = RowOfFile(f, kLongFile);
    // The table shows what the record holds; the tooltip the whole text,
    // read from the file only where the record's field is full.
    const QModelIndex name = f.Model().index(row - 1, ColumnOf(f, 0));
    const QModelIndex maker = f.Model().index(row - 1, ColumnOf(f, 3));
    QCOMPARE(name.data().toString(), QString::fromStdString(kLongName.substr(0, 40)));
    QCOMPARE(name.data(Qt::ToolTipRole).toString(), QString::fromStdString(kLongName));
    QCOMPARE(maker.data(Qt::ToolTipRole).toString(), QString::fromStdString(kLongMaker));
    QCOMPARE(b.fileReads, 1);
    const int other = RowOfFile(f, "ECO.IES");
    QCOMPARE(f.Model().index(other - 1, ColumnOf(f, 0)).data(Qt::ToolTipRole).toString(), QStringLiteral("Leuchte Eco"));
    QCOMPARE(b.fileReads, 1);
    // A record whose text is not the start of its file's keeps its own.
    QCOMPARE(UncutText("Edited name", "Name in the file"), std::string("Edited name"));

    // The info pane shows the texts of the loaded file whole.
    TempDir dir;
    b.pathList = {AddBackslash(dir.path())};
    writeFile(dir.file(kLongFile), "x");
    f.ActivateRow(row);
    f.LoadCurrentLuminaire(true);
    QVERIFY(f.LuminaireLoaded());
    bool whole = false;
    for (QLabel* l : f.findChildren<QLabel*>())
      whole = whole || (l->text().contains(QString::fromStdString(kLongName)) &&
                        l->text().contains(QString::fromStdString(kLongMaker)));
    QVERIFY(whole);
  }

  void ctrlAndShiftClickFillTheListAsInAnyTable() {
    TempUserEnvironment env;
    EnglishSession();
    LongTextsBackend b;
    RecordingUi rec;
    ScopedUiServices scoped(rec);
    TfBaseForm f(b);
    f.resize(1000, 700);
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    // Outside multi-select mode a click with Ctrl lists nothing.
    ClickRow(f, 2, Qt::ControlModifier);
    QCOMPARE(f.TempList()->topLevelItemCount(), 0);
    f.EnterMultiSelect();

    ClickRow(f, 2, Qt::ControlModifier);
    ClickRow(f, 4, Qt::ControlModifier);
    QCOMPARE(ListedFiles(f), (QStringList{FileAt(f, 2), FileAt(f, 4)}));
    QCOMPARE(f.ActiveRow(), 4);
    // Ctrl+click on a listed entry takes it out again.
    ClickRow(f, 2, Qt::ControlModifier);
    QCOMPARE(ListedFiles(f), QStringList{FileAt(f, 4)});
    QCOMPARE(f.ActiveRow(), 2);
    // A plain click only moves.
    ClickRow(f, 5, Qt::NoModifier);
    QCOMPARE(f.ActiveRow(), 5);
    QCOMPARE(f.TempList()->topLevelItemCount(), 1);
    // Shift+click: every entry from the current row to the one clicked.
    ClickRow(f, 3, Qt::ShiftModifier);
    QCOMPARE(ListedFiles(f), (QStringList{FileAt(f, 4), FileAt(f, 5), FileAt(f, 3)}));
    QCOMPARE(f.ActiveRow(), 3);
    ClickRow(f, 1, Qt::NoModifier);
    QCOMPARE(f.ActiveRow(), 1);
    // Insert keeps its way: adds the current entry and moves to the next.
    QTest::keyClick(f.Table(), Qt::Key_Insert);
    QCOMPARE(f.TempList()->topLevelItemCount(), 4);
    QCOMPARE(f.ActiveRow(), 2);
    // Ctrl+Space toggles the current entry.
    QTest::keyClick(f.Table(), Qt::Key_Space, Qt::ControlModifier);
    QCOMPARE(f.TempList()->topLevelItemCount(), 5);
    // The table marks the listed entries (rows 1 to 5), and only them.
    QVERIFY(f.Model().index(4, 0).data(Qt::BackgroundRole).isValid());
    QVERIFY(!f.Model().index(5, 0).data(Qt::BackgroundRole).isValid());
    f.TempList()->clear();
    QTest::keyClick(f.Table(), Qt::Key_Space, Qt::ControlModifier);
    QTest::keyClick(f.Table(), Qt::Key_Space, Qt::ControlModifier);
    QCOMPARE(f.TempList()->topLevelItemCount(), 0);
    QVERIFY(!f.Model().index(1, 0).data(Qt::BackgroundRole).isValid());
  }
};

KANDELO_UI_TEST(CatalogueViewTest);

}  // namespace kandelo::test

#include "catalogue_view_test.moc"
