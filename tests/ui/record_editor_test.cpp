// The record editor: edit, cancel restoring the file byte for byte, OK
// writing the file and the record, the table cells, the coordinate page's
// question, a file changed by someone else, a failed write, and the browser
// storing what the editor returns.
#include <QApplication>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <set>

#include "storage/indexed_table.h"
#include "fake_backend.h"
#include "frame/msgmanager.h"
#include "frame/settings.h"
#include "frame/startup.h"
#include "frame/strutil.h"
#include "photometry/ldt_fixture.h"
#include "photometry/format_io.h"
#include "platform/fileio.h"
#include "platform/text.h"
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


// The lines of a text file, each with its CR when it has one.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    out.push_back(text.substr(pos, end - pos));
    pos = end + 1;
  }
  return out;
}

// Fixed at start, before a test changes the current directory.
const std::string kSamples = std::filesystem::absolute("resources/samples").lexically_normal().string();

// The files an edit is tried on: small made-up files, the shipped samples and,
// when present, every file of the corpus.
std::vector<std::string> EditedFiles(const std::string& dir) {
  namespace fsys = std::filesystem;
  std::vector<std::string> files;
  // An empty date/user line, four different luminous-area heights, a long
  // lamp type, a flux with decimals, low intensities with two decimals, CR LF.
  LdtSpec shape;
  shape.eol = "\r\n";
  shape.value = [](int p, int j) { return j == 0 ? "0.37" : std::to_string(p + j) + ".25"; };
  std::string ldt = MakeLdt(shape);
  ldt.replace(ldt.find("01.02.2020 / Prüfer"), std::strlen("01.02.2020 / Prüfer"), "");
  ldt.replace(ldt.find("T26 36W set 1"), std::strlen("T26 36W set 1"), "T26 36W set 1 with a type longer than twenty");
  ldt.replace(ldt.find("\r\n3000\r\n"), 8, "\r\n3000.5\r\n");
  writeFile(dir + "/MADE.LDT", ldt);
  files.push_back(dir + "/MADE.LDT");
  // A LUM32 file whose stored ratios are not what this program computes now.
  TLUM32 lum;
  if (LoadLuminaire(kSamples + "/HIGHBAY.LDT", lum, LoadValues::AsRead).ok()) {
    lum.CalcFlux();
    lum.LOR = 77.7f;
    lum.DFF = 0.5f;
    lum.FileName = dir + "/MADE.L32";
    lum.FormatCode = fmtLum32;
    lum.InfoText2 = "second comment line";
    if (WriteL32(lum, fmtLum32)) files.push_back(lum.FileName);
  }
  const std::size_t made = files.size();
  for (const auto& e : fsys::directory_iterator(kSamples)) files.push_back(e.path().string());
  if (corpusAvailable())
    for (const auto& e : fsys::recursive_directory_iterator(corpusPath("")))
      if (e.is_regular_file()) {
        const std::string ext = platform::upper1252(e.path().extension().string());
        if (ext == ".LDT" || ext == ".IES") files.push_back(e.path().string());
      }
  std::sort(files.begin() + static_cast<std::ptrdiff_t>(made), files.end());
  return files;
}
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
    QVERIFY(LoadLuminaire(f.file, back, LoadValues::AsRead).ok());
    QCOMPARE(QString::fromStdString(back.LumName), QStringLiteral("Renamed luminaire"));
    QCOMPARE(int(back.LampSetCount), 1);
    QCOMPARE(QString::fromStdString(back.LampSets[0].LampType), QStringLiteral("T16"));
    QCOMPARE(back.GetValue(1, 1), 321.0f);
  }

  // Open, change one field, OK: the file differs from the original only in
  // that field (and, for an intensity, in the ratios computed from them);
  // every other line of an EULUMDAT file and every other byte of a LUM32 file
  // is as read. Formats the editor does not edit stay byte for byte.
  void anEditChangesOnlyWhatWasTyped() {
    Fixture f;
    RecordingUi rec;
    ScopedUiServices scoped(rec);
    enum Edit { Number, Flux, Intensity };
    int edited = 0;
    for (const std::string& source : EditedFiles(f.dir.path())) {
      const std::string ext = platform::upper1252(source.substr(source.find_last_of('.')));
      const std::string original = readFile(source);
      for (Edit edit : {Number, Flux, Intensity}) {
        const std::string name = "E" + (ext == ".LTL" ? std::string(".001") : ext);
        const std::string file = f.dir.file(name);
        writeFile(file, original);
        TCatalogueRecord record;
        SetCatalogueFileName(record, name);
        record.SetDirIndex(0);
        rec.shown.clear();
        Tdbedform editor(record, EditMode::Edit, f.backend, false);
        const TLUM32* work = editor.Working();
        const QByteArray where = QByteArray::fromStdString(source + " edit " + std::to_string(edit));
        if (!work || !work->Valid) continue;
        const bool ldt = work->FormatCode == fmtEulumdat;
        if (editor.EditingLocked()) {
          QVERIFY2(editor.OkClicked() || !rec.shown.empty(), where.constData());
          QVERIFY2(readFile(file) == original, where.constData());
          break;
        }
        TLUM32 asRead;
        QVERIFY(LoadLuminaire(file, asRead, LoadValues::AsRead).ok());
        std::size_t changedLine = 0;
        int row = 0;
        if (edit == Number) {
          editor.Field("LNumFld")->setText(QStringLiteral("EDITED-7"));
          asRead.LumNumber = "EDITED-7";
          changedLine = 9;
        } else if (edit == Flux) {
          if (work->LampSetCount == 0 || TrimBlanks(work->LampSets[0].LampType).empty()) continue;
          editor.Field("FluxFld")->setText(QStringLiteral("12345"));
          asRead.LampSets[0].SetFlux = 12345;
          asRead.LampSets[0].LampFlux = 12345.0f / asRead.LampSets[0].LampCount;
          changedLine = 28;
        } else {
          if (!ldt || work->GammaCount < 2) continue;
          if (!editor.ChangePage(1)) continue;  // a file without dimensions cannot leave the page
          QAbstractItemModel* m = editor.Table()->model();
          row = work->GammaCount / 2;  // not γ 0° or 180°, which every plane shares
          QVERIFY2(m->setData(m->index(row, 0), QStringLiteral("4321.5"), Qt::EditRole), where.constData());
          QVERIFY(editor.ChangePage(0));
        }
        if (!editor.OkClicked()) {
          // Files without lamps or dimensions need more than one field typed.
          QVERIFY2(!rec.shown.empty(), where.constData());
          continue;
        }
        ++edited;
        const std::string written = readFile(file);
        if (!ldt) {
          asRead.FileName = f.dir.file("EXPECTED.L32");
          QVERIFY(WriteL32(asRead, fmtLum32));
          QVERIFY2(written == readFile(asRead.FileName), where.constData());
          continue;
        }
        const std::vector<std::string> before = Lines(original), after = Lines(written);
        QVERIFY2(before.size() == after.size(), where.constData());
        std::set<std::size_t> allowed;
        if (edit == Intensity) {
          const std::size_t drBase = 26 + 6 * std::size_t(std::stoi(before[25]));
          allowed = {21, 22};
          for (std::size_t k = 0; k < 10; ++k) allowed.insert(drBase + k);
          for (std::size_t k = drBase + 10; k < before.size(); ++k)
            if (before[k] != after[k]) {
              QVERIFY2(!changedLine, where.constData());  // one value line
              changedLine = k;
            }
          QVERIFY2(changedLine, where.constData());
          TLUM32 back;
          QVERIFY(LoadLuminaire(file, back, LoadValues::AsRead).ok());
          QCOMPARE(back.GetValue(1, row + 1), 4321.5f);
        }
        allowed.insert(changedLine);
        QVERIFY2(before[changedLine] != after[changedLine], where.constData());
        for (std::size_t k = 0; k < before.size(); ++k)
          if (!allowed.count(k)) QVERIFY2(before[k] == after[k], (where + " line " + QByteArray::number(qulonglong(k + 1))).constData());
      }
    }
    QVERIFY(edited >= 10);
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
