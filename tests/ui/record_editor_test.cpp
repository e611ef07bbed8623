// The record editor: edit, cancel restoring the file byte for byte, OK
// writing the file and the record, the table cells, the coordinate page's
// question, a file changed by someone else, a failed write, and the browser
// storing what the editor returns.
#include <QApplication>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include "database/btreebase.h"
#include "fake_backend.h"
#include "frame/msgmanager.h"
#include "frame/settings.h"
#include "frame/startup.h"
#include "frame/strutil.h"
#include "photometry/ldt_fixture.h"
#include "platform/fileio.h"
#include "support/test_support.h"
#include "ui/base_form.h"
#include "ui/navigator.h"
#include "ui/record_editor.h"
#include "ui_tests.h"

namespace kandelo::test {

namespace {

namespace pf = kandelo::platform;

class EditingBackend : public FakeBackend {
 public:
  std::map<std::int32_t, TCatalogueRecord> records;
  std::vector<std::pair<std::int32_t, TCatalogueRecord>> stored;
  bool ReadCatalogueRecord(std::int32_t recNo, TCatalogueRecord& rec) override {
    const auto it = records.find(recNo);
    if (it == records.end()) return false;
    rec = it->second;
    return true;
  }
  std::int32_t StoreCatalogueRecord(std::int32_t recNo, const TCatalogueRecord& rec) override {
    stored.emplace_back(recNo, rec);
    return recNo > 0 ? recNo : 99;
  }
  std::int32_t PathIndexOf(const std::string& dir) override {
    for (std::size_t i = 0; i < pathList.size(); ++i)
      if (pathList[i] == AddBackslash(dir)) return static_cast<std::int32_t>(i);
    pathList.push_back(AddBackslash(dir));
    return static_cast<std::int32_t>(pathList.size() - 1);
  }
};

struct Fixture {
  TempUserEnvironment env;
  TempDir dir;
  EditingBackend backend;
  TCatalogueRecord rec;
  std::string file;
  Fixture() {
    LoadSettings();
    InstallLanguageFiles();
    TProgramSettings& s = Settings();
    s.DbLangExt = ".ENG";
    s.MsgTxtFile = AddBackslash(s.LangDir) + "MSGTXT.ENG";
    s.OrvMsgFile = AddBackslash(s.LangDir) + "ORVMSG.ENG";
    s.OrvTxtFile = AddBackslash(s.LangDir) + "ORVTXT.ENG";
    file = dir.file("A100.LDT");
    writeFile(file, MakeLdt(LdtSpec{}));
    backend.pathList = {AddBackslash(dir.path())};
    InitDatabaseEngine();  // the lamp table of the lamp selection
    SetCatalogueFileName(rec, "A100.LDT");
    rec.SetDirIndex(0);
  }
  ~Fixture() { ReleaseDatabaseEngine(); }
  std::string Message(const char* key) const {
    return TMsgManager(Settings().OrvMsgFile).GetText("DEFAULT MESSAGES", key);
  }
};

}  // namespace

class RecordEditorTest : public QObject {
  Q_OBJECT
 private slots:
  void cancelInEditModeRestoresTheFile() {
    Fixture f;
    RecordingUi rec;
    ScopedUiServices scoped(rec);
    const std::string before = readFile(f.file);
    Tdbedform editor(f.rec, EditMode::Edit, f.backend, false);
    QVERIFY(!editor.EditingLocked());
    QVERIFY(editor.ChangePage(2));
    editor.ApplySymmetry(1);
    QCOMPARE(int(editor.CoordinateCopy()->Symmetry), 1);
    rec.answers = {mrYes};  // apply the coordinate page: the file is written
    QVERIFY(editor.ChangePage(0));
    QCOMPARE(rec.texts().back(), f.Message("DM_APPLYLUM"));
    QVERIFY(readFile(f.file) != before);
    editor.CancelClicked();
    QCOMPARE(readFile(f.file), before);
  }

  void okWritesTheFileAndTheRecord() {
    Fixture f;
    RecordingUi rec;
    ScopedUiServices scoped(rec);
    Tdbedform editor(f.rec, EditMode::Edit, f.backend, false);
    editor.Field("LNameFld")->setText(QStringLiteral("Renamed luminaire"));
    editor.Field("LampTFld")->setText(QStringLiteral(""));  // row 1 empty, row 2 a lamp
    editor.Field("LmpNoFld2")->setText(QStringLiteral("2"));
    editor.Field("LampTFld2")->setText(QStringLiteral("T16"));
    editor.Field("FluxFld2")->setText(QStringLiteral("5000"));
    // The table: γ 0° of C-γ data is one direction for all planes.
    QVERIFY(editor.ChangePage(1));
    QAbstractItemModel* m = editor.Table()->model();
    QVERIFY(m->setData(m->index(0, 3), QStringLiteral("321"), Qt::EditRole));
    QCOMPARE(m->data(m->index(0, 0), Qt::DisplayRole).toString(), QStringLiteral("321.00"));
    QVERIFY(!m->setData(m->index(1, 3), QStringLiteral("-5"), Qt::EditRole));
    QVERIFY(editor.ChangePage(0));
    QVERIFY(editor.OkClicked());
    QVERIFY(rec.shown.empty());
    QCOMPARE(QString::fromStdString(editor.Record().LumName()), QStringLiteral("Renamed luminaire"));
    TLUM32 back;
    QVERIFY(back.LoadFromFile(f.file));
    QCOMPARE(QString::fromStdString(back.LumName), QStringLiteral("Renamed luminaire"));
    QCOMPARE(int(back.LampSetCount), 1);
    QCOMPARE(QString::fromStdString(back.LampSets[0].LampType), QStringLiteral("T16"));
    QCOMPARE(back.GetValue(1, 1), 321.0f);
  }

  void newEntryWithoutAFileStaysOpen() {
    Fixture f;
    RecordingUi rec;
    ScopedUiServices scoped(rec);
    Tdbedform editor(TCatalogueRecord{}, EditMode::New, f.backend, false);
    QVERIFY(editor.EditingLocked());
    QVERIFY(!editor.OkClicked());
    QCOMPARE(rec.texts().back(), f.Message("DM_NOFILE"));
    // Choosing the file unlocks editing and fills the record from it.
    QVERIFY(editor.ChooseFile(f.file));
    QVERIFY(!editor.EditingLocked());
    QCOMPARE(QString::fromStdString(editor.Record().LumName()), QStringLiteral("Leuchte A"));
  }

  void aFileChangedMeanwhileOrUnwritableIsNotOverwritten() {
    Fixture f;
    RecordingUi rec;
    ScopedUiServices scoped(rec);
    {
      Tdbedform editor(f.rec, EditMode::Copy, f.backend, false);
      writeFile(f.file, "changed by another program");
      rec.answers = {mrNo};
      QVERIFY(!editor.OkClicked());
      QCOMPARE(rec.texts().back().substr(0, f.Message("DM_CHANGED").size()), f.Message("DM_CHANGED"));
      QCOMPARE(readFile(f.file), std::string("changed by another program"));
    }
    writeFile(f.file, MakeLdt(LdtSpec{}));
    const std::string before = readFile(f.file);
    Tdbedform editor(f.rec, EditMode::Copy, f.backend, false);
    editor.Field("LNameFld")->setText(QStringLiteral("Never written"));
    {
      pf::FaultInjectingFileSystem faults;
      faults.crashAfterWrites = 1;
      pf::ScopedFileSystem guard(faults);
      QVERIFY(!editor.OkClicked());
    }
    QCOMPARE(rec.texts().back().substr(0, f.Message("DM_NOWRITE").size()), f.Message("DM_NOWRITE"));
    QCOMPARE(readFile(f.file), before);
  }

  void theBrowserStoresTheEditedRecord() {
    Fixture f;
    RecordingUi rec;
    ScopedUiServices scoped(rec);
    f.backend.Add("Leuchte A", "A-100", "A100.LDT", "Maker", "EULUM-DAT");
    f.backend.rows.back().dirIndex = 0;
    f.backend.records[1] = f.rec;
    TfBaseForm browser(f.backend);
    browser.ActivateRow(1);
    bool shown = false;
    QTimer::singleShot(0, [&] {
      auto* editor = qobject_cast<Tdbedform*>(QApplication::activeModalWidget());
      QVERIFY(editor);
      shown = true;
      editor->Field("LNumFld")->setText(QStringLiteral("NEW-NR"));
      QVERIFY(editor->OkClicked());
    });
    browser.EditEntry(1);
    QVERIFY(shown);
    QCOMPARE(f.backend.stored.size(), std::size_t(1));
    QCOMPARE(f.backend.stored[0].first, 1);
    QCOMPARE(QString::fromStdString(f.backend.stored[0].second.ShortNumber()), QStringLiteral("NEW-NR"));
  }
};

KANDELO_UI_TEST(RecordEditorTest);

}  // namespace kandelo::test

#include "record_editor_test.moc"
