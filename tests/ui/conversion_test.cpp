// Saving in another format from the browser's popup and the batch conversion
// of the multi-select list, with the conversion dialog, in three languages.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include "fake_backend.h"
#include "frame/msgmanager.h"
#include "frame/settings.h"
#include "frame/startup.h"
#include "frame/strutil.h"
#include "platform/fileio.h"
#include "support/test_support.h"
#include "texts/qstr.h"
#include "ui/base_form.h"
#include "ui/convert_dlg.h"
#include "ui/qt_ui_services.h"
#include "ui_tests.h"

namespace kandelo::test {

namespace {

namespace pf = kandelo::platform;

struct Language {
  int number;
  const char* ext;
  const char* dialogTitle;
  const char* saveTitle;
};
const Language kLanguages[] = {
    {1, ".GER", "Datei-Konvertierung", "Speichern unter"},
    {2, ".ENG", "File conversion", "Save as"},
    {3, ".FRA", "Conversion de fichiers", "Enregistrer sous"},
};

void Session(const Language& l) {
  LoadSettings();
  InstallLanguageFiles();
  TProgramSettings& s = Settings();
  s.DbLang = l.number;
  s.DbLangExt = l.ext;
  s.MsgTxtFile = AddBackslash(s.LangDir) + "MSGTXT" + l.ext;
  s.OrvMsgFile = AddBackslash(s.LangDir) + "ORVMSG" + l.ext;
  s.OrvTxtFile = AddBackslash(s.LangDir) + "ORVTXT" + l.ext;
}

// Reports a chosen kind of medium for the directories below a prefix.
class KindFileSystem : public pf::FaultInjectingFileSystem {
 public:
  std::map<std::string, pf::DriveKind> kinds;
  pf::DriveKind driveKind(const std::string& p) override {
    for (const auto& [prefix, kind] : kinds)
      if (p.rfind(prefix, 0) == 0) return kind;
    return FaultInjectingFileSystem::driveKind(p);
  }
};

// The file dialogs answer from a script; the boxes are recorded.
class ScriptedUi : public RecordingUi {
 public:
  std::string saveName;
  int saveFilter = 1;
  std::vector<std::string> saveTitles;
  std::string chooseSaveFile(const std::string& title, const std::string&, const std::string&,
                             const std::string& filter, int& filterIndex) override {
    saveTitles.push_back(title);
    filters.push_back(filter);
    filterIndex = saveFilter;
    return saveName;
  }
  std::vector<std::string> filters;
};

class ConvertingBackend : public FakeBackend {
 public:
  std::vector<std::pair<int, std::string>> saves;
  std::string written, saveError;
  std::vector<std::string> catalogued;
  std::vector<std::string> converted;
  ConversionSettings convertedWith;
  std::string SaveLuminaireAs(int filterIndex, const std::string& chosen, std::string& error) override {
    saves.emplace_back(filterIndex, chosen);
    error = saveError;
    return written;
  }
  std::int32_t CatalogueFileInPlace(const std::string& path) override {
    catalogued.push_back(path);
    Add("Saved", "S", path.substr(path.find_last_of('/') + 1), "Maker", "EULUM-DAT");
    return rows.back().recNo;
  }
  ConversionReport ConvertFiles(const std::vector<std::string>& paths, ConversionSettings& s,
                                const ConversionProgress&) override {
    converted = paths;
    convertedWith = s;
    ConversionReport r;
    r.written = static_cast<int>(paths.size());
    return r;
  }
};

// Runs fn on the conversion dialog once it is shown modally.
void OnDialog(std::function<void(TConvertDlg&)> fn) {
  QTimer::singleShot(0, [fn] {
    auto* dlg = qobject_cast<TConvertDlg*>(QApplication::activeModalWidget());
    QVERIFY(dlg);
    fn(*dlg);
  });
}

}  // namespace

class ConversionTest : public QObject {
  Q_OBJECT
 private slots:
  void theDialogEditsACopyInEveryLanguage() {
    for (const Language& l : kLanguages) {
      TempUserEnvironment env;
      Session(l);
      RecordingUi rec;
      ScopedUiServices scoped(rec);
      ConversionSettings s;
      s.DstDir = env.root();
      const ConversionSettings before = s;
      OnDialog([](TConvertDlg& d) {
        d.DstFmtCombo()->setCurrentIndex(2);
        emit d.DstFmtCombo()->activated(2);
        QCOMPARE(d.ExtField()->text(), QStringLiteral("CIB"));
        QTest::mouseClick(d.CancelBtn(), Qt::LeftButton);
      });
      QVERIFY(!EditConversionSettings(s, false));
      QCOMPARE(s.DstFormat, before.DstFormat);
      QCOMPARE(s.DstExt, before.DstExt);

      OnDialog([&l](TConvertDlg& d) {
        QCOMPARE(d.windowTitle(), QString::fromUtf8(l.dialogTitle));
        QVERIFY(!d.TrBtn2()->isVisible());
        QCOMPARE(d.DstFmtCombo()->count(), 7);
        d.DstFmtCombo()->setCurrentIndex(5);
        emit d.DstFmtCombo()->activated(5);
        d.ExtField()->clear();
        QTest::keyClicks(d.ExtField(), QStringLiteral("txtx"));
        d.AddCheck()->setChecked(true);
        QTest::mouseClick(d.OkBtn(), Qt::LeftButton);
      });
      QVERIFY(EditConversionSettings(s, false));
      QCOMPARE(s.DstFormat, 5);
      QCOMPARE(s.DstExt, std::string("txt"));
      QVERIFY(s.AddToCatalogue);
      QVERIFY(rec.shown.empty());
    }
  }

  void theMediumDecidesOverTheDirectoryAndAdding() {
    TempUserEnvironment env;
    Session(kLanguages[1]);
    RecordingUi rec;
    ScopedUiServices scoped(rec);
    for (const char* d : {"/fixed", "/cd", "/stick", "/net"}) pf::fs().makeDirectory(env.root() + d);
    KindFileSystem kinds;
    kinds.kinds[env.root() + "/cd"] = pf::DriveKind::ReadOnly;
    kinds.kinds[env.root() + "/stick"] = pf::DriveKind::Removable;
    kinds.kinds[env.root() + "/net"] = pf::DriveKind::Remote;
    pf::ScopedFileSystem guard(kinds);
    ConversionSettings s;
    s.DstDir = env.root() + "/fixed";
    s.AddToCatalogue = true;
    TConvertDlg d(s, true);
    QVERIFY(d.AddCheck()->isEnabled());
    QVERIFY(!d.ChooseDirectory(env.root() + "/cd"));
    QCOMPARE(rec.shown.size(), std::size_t(1));
    QCOMPARE(d.Settings().DstDir, env.root() + "/fixed");
    QCOMPARE(S(d.DirField()->text()), env.root() + "/fixed");
    for (const char* other : {"/stick", "/net"}) {
      QVERIFY(d.ChooseDirectory(env.root() + other));
      QVERIFY(!d.AddCheck()->isEnabled());
      QVERIFY(d.ChooseDirectory(env.root() + "/fixed"));
      QVERIFY(d.AddCheck()->isEnabled());
    }
    // A read-only directory typed into the field does not close the dialog.
    d.DirField()->setText(Q(env.root() + "/cd"));
    d.accept();
    QCOMPARE(d.result(), int(QDialog::Rejected));
    QCOMPARE(rec.shown.size(), std::size_t(2));
    // LTLI cannot be written: OK is refused.
    d.DirField()->setText(Q(env.root() + "/stick"));
    emit d.DstFmtCombo()->activated(6);
    d.accept();
    QCOMPARE(rec.shown.size(), std::size_t(3));
    emit d.DstFmtCombo()->activated(1);
    d.accept();
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QVERIFY(!d.Settings().AddToCatalogue);  // a removable medium is not catalogued
  }

  void saveAsWritesCataloguesAndCancelChangesNothing() {
    for (const Language& l : kLanguages) {
      TempUserEnvironment env;
      Session(l);
      TempDir dir;
      writeFile(dir.file("BAND.LDT"), "x");
      ConvertingBackend b;
      b.Add("Leuchtband", "LB-1", "BAND.LDT", "Alpha", "EULUM-DAT");
      b.pathList = {dir.path()};
      ScriptedUi ui;
      ScopedUiServices scoped(ui);
      TfBaseForm f(b);
      f.show();
      f.ActivateRow(1);
      f.LoadCurrentLuminaire(true);
      QVERIFY(f.LuminaireLoaded());
      // Cancelled: nothing written, nothing added.
      f.SaveAsClicked();
      QCOMPARE(ui.saveTitles.back(), S(QString::fromUtf8(l.saveTitle)));
      QVERIFY(b.saves.empty());
      QCOMPARE(f.Model().Count(), 1);
      // The filter lists the seven formats.
      QCOMPARE(std::count(ui.filters.back().begin(), ui.filters.back().end(), '|'), 13L);
      // A refused format: its message, nothing added.
      ui.saveName = dir.file("band.ltl");
      ui.saveFilter = 7;
      b.saveError = "LTLI files cannot be written";
      f.SaveAsClicked();
      QCOMPARE(b.saves.back(), std::make_pair(7, dir.file("band.ltl")));
      QCOMPARE(ui.shown.back().text, b.saveError);
      QVERIFY(b.catalogued.empty());
      // Written under a new name: catalogued and shown.
      ui.saveName = dir.file("band");
      ui.saveFilter = 3;
      b.saveError.clear();
      b.written = dir.file("band.CIB");
      f.SaveAsClicked();
      QCOMPARE(b.catalogued, std::vector<std::string>{dir.file("band.CIB")});
      QCOMPARE(f.Model().Count(), 2);
      QCOMPARE(f.Model().RowAt(f.ActiveRow())->fileName, std::string("band.CIB"));
    }
  }

  // The typed extension decides the format (no silent new name); a name that
  // must change is shown first; a copy outside the catalogued directories is
  // catalogued only when the user says so.
  void saveAsKeepsTheTypedNameAndAsksBeforeCataloguingACopy() {
    TempUserEnvironment env;
    Session(kLanguages[1]);
    TempDir dir, elsewhere;
    writeFile(dir.file("ROAD.LDT"), "x");
    ConvertingBackend b;
    b.Add("Road", "R-1", "ROAD.LDT", "Alpha", "EULUM-DAT");
    b.pathList = {dir.path()};
    ScriptedUi ui;
    ScopedUiServices scoped(ui);
    TfBaseForm f(b);
    f.ActivateRow(1);
    f.LoadCurrentLuminaire(true);
    QVERIFY(f.LuminaireLoaded());
    const TMsgManager msgs(Settings().OrvMsgFile);
    // An IES name under the EULUMDAT filter: written as IES under that name,
    // and outside the catalogue only after a yes.
    ui.saveName = elsewhere.file("road-saveas.ies");
    ui.saveFilter = 1;
    b.written = ui.saveName;
    ui.answers = {mrNo};
    f.SaveAsClicked();
    QCOMPARE(b.saves.back(), std::make_pair(6, ui.saveName));
    QCOMPARE(ui.shown.size(), std::size_t(1));
    QCOMPARE(ui.shown.back().text, msgs.GetText("CONVERSION", "CV_ADDCOPY") + "\n" + ui.saveName);
    QVERIFY(b.catalogued.empty());
    QCOMPARE(f.Model().Count(), 1);
    ui.answers = {mrYes};
    f.SaveAsClicked();
    QCOMPARE(b.catalogued, std::vector<std::string>{ui.saveName});
    QCOMPARE(f.Model().Count(), 2);
    // A name that gets the format's extension is shown before writing; no
    // writes nothing.
    f.ActivateRow(1);
    f.LoadCurrentLuminaire(true);
    QVERIFY(f.LuminaireLoaded());
    ui.shown.clear();
    ui.saveName = dir.file("road-2");
    ui.answers = {mrNo};
    f.SaveAsClicked();
    QCOMPARE(ui.shown.size(), std::size_t(1));
    QCOMPARE(ui.shown.back().text, msgs.GetText("CONVERSION", "CV_NEWNAME") + "\n" + dir.file("road-2.LDT"));
    QCOMPARE(b.saves.size(), std::size_t(2));
    // Written into a catalogued directory: catalogued without a question.
    ui.shown.clear();
    ui.saveName = dir.file("road-3.ldt");
    b.written = ui.saveName;
    f.SaveAsClicked();
    QCOMPARE(b.saves.back(), std::make_pair(1, ui.saveName));
    QVERIFY(ui.shown.empty());
    QCOMPARE(b.catalogued.back(), ui.saveName);
  }

  void theWaitWindowOfLongBatchesCanBeCancelled() {
    TempUserEnvironment env;
    Session(kLanguages[2]);
    QtUiServices services;
    services.beginWait("x");
    QVERIFY(!services.WaitWindow()->CancelButton()->isVisible());
    services.setWaitCancellable(true);
    QVERIFY(services.WaitWindow()->CancelButton()->isVisible());
    QCOMPARE(services.WaitWindow()->CancelButton()->text(), QStringLiteral("Annuler"));
    QVERIFY(!services.waitCancelled());
    QTest::mouseClick(services.WaitWindow()->CancelButton(), Qt::LeftButton);
    QVERIFY(services.waitCancelled());
    services.endWait();
    QVERIFY(!services.waitCancelled());
  }

  void fBtn1ConvertsTheListedFiles() {
    TempUserEnvironment env;
    Session(kLanguages[0]);
    ConvertingBackend b;
    b.Add("Leuchtband", "LB-1", "BAND.LDT", "Alpha", "EULUM-DAT");
    b.Add("Downlight", "DL-1", "DL.IES", "Alpha", "IES LM63/95");
    b.pathList = {"/lum/", "/other/"};
    b.rows[1].dirIndex = 1;
    RecordingUi rec;
    ScopedUiServices scoped(rec);
    TfBaseForm f(b);
    f.show();
    f.EnterMultiSelect();
    auto* fBtn1 = f.findChild<QToolButton*>(QStringLiteral("FBtn1"));
    QVERIFY(fBtn1);
    QVERIFY(!fBtn1->isEnabled());
    f.ActivateRow(1);
    f.AddCurrentToList();
    f.AddCurrentToList();
    QVERIFY(fBtn1->isEnabled());
    // Cancelled: nothing converted.
    OnDialog([](TConvertDlg& d) { d.reject(); });
    f.ConvertListClicked();
    QVERIFY(b.converted.empty());
    const std::string out = env.root();
    OnDialog([&out](TConvertDlg& d) {
      emit d.DstFmtCombo()->activated(0);
      d.DirField()->setText(Q(out));
      d.accept();
    });
    f.ConvertListClicked();
    std::vector<std::string> want = {"/lum/BAND.LDT", "/other/DL.IES"};
    std::sort(b.converted.begin(), b.converted.end());
    QCOMPARE(b.converted, want);
    QCOMPARE(b.convertedWith.DstDir, out);
    QCOMPARE(b.convertedWith.DstExt, std::string("L32"));
    QCOMPARE(f.Conversion().DstFormat, 0);  // kept for the next run
    QCOMPARE(rec.shown.back().type, MsgType::Information);
  }
};

KANDELO_UI_TEST(ConversionTest);

}  // namespace kandelo::test

#include "conversion_test.moc"
