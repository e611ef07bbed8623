// The lamp table windows, the small editors, the settings dialog and the list
// printout: in three languages, with their OK and cancel rules.
#include <QApplication>
#include <QTextCursor>
#include <algorithm>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <filesystem>

#include "database/catalogue_list.h"
#include "storage/isam_errors.h"
#include "database/lamp_table.h"
#include "fake_backend.h"
#include "frame/settings.h"
#include "frame/startup.h"
#include "frame/strutil.h"
#include "photometry/lum32.h"
#include "platform/fileio.h"
#include "support/test_support.h"
#include "texts/qstr.h"
#include "texts/text_controls.h"
#include "ui/base_form.h"
#include "ui/lamp_windows.h"
#include "ui/list_dlg.h"
#include "ui/navigator.h"
#include "ui/orvset_form.h"
#include "ui/small_editors.h"
#include "ui/text_viewer.h"
#include "ui_tests.h"

namespace kandelo::test {

namespace {

namespace fsys = std::filesystem;

struct Language {
  int number;
  const char* ext;
  const char* lamps;     // titles of the windows
  const char* editor;
  const char* settings;
  const char* list;
  const char* exists;    // the duplicate lamp's message
};
const Language kLanguages[] = {
    {1, ".GER", "Lampendatenbank", "Lampeneditor", "Einstellungen", "Datenbankausdruck", "Lampe existiert bereits !"},
    {2, ".ENG", "Lamp database", "Lamp editor", "Settings", "Print catalogue list", "Lamp already exists !"},
    {3, ".FRA", "Base de lampes", "\u00c9diteur de lampe", "Param\u00e8tres", "Impression du catalogue",
     "La lampe existe d\u00e9j\u00e0 !"},
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

// Runs fn on the modal dialog of type D once it is shown.
template <class D>
void OnModal(std::function<void(D&)> fn) {
  QTimer::singleShot(0, [fn] {
    auto* dlg = qobject_cast<D*>(QApplication::activeModalWidget());
    QVERIFY(dlg);
    if (dlg) fn(*dlg);
  });
}

void Type(QLineEdit* f, const QString& text) {
  f->selectAll();
  f->del();
  QTest::keyClicks(f, text);
}

// The lamp table on a temporary path, opened and closed with the engine.
struct LampTableFixture {
  explicit LampTableFixture(const std::string& root) {
    InitDatabaseEngine();
    ok = OpenLampTable(root + "/DEFLAMPS");
  }
  ~LampTableFixture() {
    CloseLampTable();
    ReleaseDatabaseEngine();
  }
  bool ok = false;
};

// The fake catalogue exports its rows in key order as catalogue records.
class ListingBackend : public FakeBackend {
 public:
  std::string dir;
  std::vector<std::tuple<int, bool, std::string, std::string>> exports;
  std::int32_t ExportList(int k, bool all, const std::string& from, const std::string& to) override {
    exports.emplace_back(k, all, from, to);
    SelectKey(k);
    std::string data;
    std::int32_t n = 0;
    for (int i : order) {
      const CatalogueRow& r = rows[static_cast<std::size_t>(i)];
      const std::string key = KeyOf(r);
      if (!all && (key < from || key.substr(0, to.size()) > to)) continue;
      TCatalogueRecord rec;
      rec.SetLumName(r.name);
      rec.SetLumNumber(r.number);
      rec.SetFileNameField(r.fileName);
      rec.SetManufacturer(r.manufacturer);
      data.append(reinterpret_cast<const char*>(rec.data()), rec.bytes.size());
      ++n;
    }
    if (n > 0) writeFile(ListFile(), data);
    return n;
  }
  std::string ListFile() const override { return dir + "/LIST.FIL"; }
  std::string ListTextFile() const override { return dir + "/LIST.TXT"; }
  std::string label = "V1";
  std::string ReadVersionLabel() override { return label; }
};

// Answers the PDF save dialog of printing, the directory and the open dialog.
class PrintingUi : public RecordingUi {
 public:
  std::string saveAs, directory, openFile;
  std::string chooseOpenFile(const std::string&, const std::string&, const std::string&) override { return openFile; }
  std::string chooseSaveFile(const std::string&, const std::string&, const std::string&, const std::string&,
                             int&) override {
    return saveAs;
  }
  std::string chooseDirectory(const std::string&, const std::string&) override { return directory; }
};

}  // namespace

class SmallWindowsTest : public QObject {
  Q_OBJECT
 private slots:
  void lampWindowsAddRefuseDuplicatesAndDeleteInEveryLanguage() {
    for (const Language& l : kLanguages) {
      TempUserEnvironment env;
      Session(l);
      RecordingUi rec;
      ScopedUiServices scoped(rec);
      LampTableFixture table(env.root());
      QVERIFY(table.ok);
      {
        // An empty table shows only its header.
        TLampselForm form;
        QCOMPARE(form.windowTitle(), QString::fromUtf8(l.lamps));
        QCOMPARE(form.Table()->rowCount(), 0);
        QCOMPARE(form.ActiveRow(), 0);
        QVERIFY(!form.OkBtn()->isEnabled());
        QVERIFY(!form.Table()->horizontalHeader()->model()->headerData(0, Qt::Horizontal).toString().isEmpty());

        // INSERT: T8 36 W is added.
        OnModal<TLmpEdform>([&l](TLmpEdform& e) {
          QCOMPARE(e.windowTitle(), QString::fromUtf8(l.editor));
          Type(e.TypeField(), QStringLiteral("T8"));
          Type(e.WattField(), QStringLiteral("36"));
          Type(e.FluxField(), QStringLiteral("3350"));
          QTest::mouseClick(e.OkBtn(), Qt::LeftButton);
        });
        form.Navigator()->Click(nbInsert);
        QCOMPARE(form.Count(), 1);
        QCOMPARE(form.Table()->item(0, 1)->text(), QStringLiteral("3350.0 lm"));
        QCOMPARE(form.Table()->item(0, 2)->text(), QStringLiteral("36W"));

        // A twin that differs only in case, and letters the table cannot
        // keep, are refused as well.
        OnModal<TLmpEdform>([&l, &rec](TLmpEdform& e) {
          Type(e.TypeField(), QStringLiteral("t8"));
          Type(e.WattField(), QStringLiteral("36"));
          QTest::mouseClick(e.OkBtn(), Qt::LeftButton);
          QVERIFY(e.isVisible());
          QCOMPARE(Q(rec.shown.back().text), QString::fromUtf8(l.exists));
          e.TypeField()->setText(QString::fromUtf8("T8 \u5149"));  // typed keys are ASCII only
          QTest::mouseClick(e.OkBtn(), Qt::LeftButton);
          QVERIFY(e.isVisible());
          QCOMPARE(rec.shown.size(), std::size_t(2));
          QTest::mouseClick(e.AbortBtn(), Qt::LeftButton);
        });
        form.Navigator()->Click(nbInsert);
        QCOMPARE(form.Count(), 1);
        rec.shown.clear();

        // The same type and wattage again is refused and the editor stays
        // open; another wattage is then accepted.
        OnModal<TLmpEdform>([&l, &rec](TLmpEdform& e) {
          Type(e.TypeField(), QStringLiteral("T8"));
          Type(e.WattField(), QStringLiteral("36"));
          QTest::mouseClick(e.OkBtn(), Qt::LeftButton);
          QVERIFY(e.isVisible());
          QCOMPARE(rec.shown.size(), std::size_t(1));
          QCOMPARE(Q(rec.shown.back().text), QString::fromUtf8(l.exists));
          Type(e.WattField(), QStringLiteral("58"));
          QTest::mouseClick(e.OkBtn(), Qt::LeftButton);
        });
        form.Navigator()->Click(nbInsert);
        QCOMPARE(form.Count(), 2);
        QCOMPARE(form.ActiveRow(), 2);
        // A copy of the active row under another type.
        OnModal<TLmpEdform>([](TLmpEdform& e) {
          QCOMPARE(e.TypeField()->text(), QStringLiteral("T8"));
          QCOMPARE(e.WattField()->text(), QStringLiteral("58"));
          Type(e.TypeField(), QStringLiteral("A19"));
          QTest::mouseClick(e.OkBtn(), Qt::LeftButton);
        });
        form.Navigator()->Click(nbRefresh);
        QCOMPARE(form.Count(), 3);
        QCOMPARE(form.Table()->item(0, 0)->text(), QStringLiteral("A19"));  // key order
        QCOMPARE(form.ActiveRow(), 1);
        // Editing into another lamp's key is refused as well.
        OnModal<TLmpEdform>([&rec](TLmpEdform& e) {
          Type(e.TypeField(), QStringLiteral("T8"));
          QTest::mouseClick(e.OkBtn(), Qt::LeftButton);
          QCOMPARE(rec.shown.size(), std::size_t(2));
          QTest::mouseClick(e.AbortBtn(), Qt::LeftButton);
        });
        form.Navigator()->Click(nbEdit);
        QCOMPARE(form.Table()->item(0, 0)->text(), QStringLiteral("A19"));
        // Deleting the last row leaves the new last row active.
        form.ActivateRow(3);
        form.Navigator()->Click(nbDelete);
        QCOMPARE(form.Count(), 2);
        QCOMPARE(form.ActiveRow(), 2);
        QCOMPARE(LampTable()->RecordCount(), 2);
      }
      // SelectLamp hands the active row's lamp to the caller.
      OnModal<TLampselForm>([](TLampselForm& f) {
        f.ActivateRow(2);
        QTest::mouseClick(f.OkBtn(), Qt::LeftButton);
      });
      TLampRecord chosen;
      QVERIFY(SelectLamp(chosen));
      QCOMPARE(TrimBlanks(chosen.LampType()), std::string("T8"));
      QCOMPARE(int(chosen.Watt()), 36);
      OnModal<TLampselForm>([](TLampselForm& f) { QTest::mouseClick(f.AbortBtn(), Qt::LeftButton); });
      TLampRecord untouched;
      QVERIFY(!SelectLamp(untouched));
      QCOMPARE(untouched.LampType(), std::string());
    }
  }

  void lampEditorFieldsKeepWhatARecordHolds() {
    TempUserEnvironment env;
    Session(kLanguages[1]);
    TLampRecord lamp;
    TLmpEdform e(lamp, true, false);
    QCOMPARE(e.TypeField()->maxLength(), 20);
    Type(e.WattField(), QStringLiteral("99999"));
    QVERIFY2(!e.WattField()->hasAcceptableInput(), "the record's wattage is 16-bit");
    Type(e.FluxField(), QStringLiteral("12ab"));
    QCOMPARE(e.FluxField()->text(), QStringLiteral("12"));
  }

  void measurementDialogWritesBackOnlyItsFourFields() {
    for (const Language& l : kLanguages) {
      TempUserEnvironment env;
      Session(l);
      TLUM32 lum;
      lum.MeasVoltage = 230;
      lum.MeasCurrent = 0.5f;
      lum.CircuitWatts = 58;
      lum.MeasTemperature = 25;
      lum.LampQuantity = 2;
      lum.MeasLampName[0] = "T8 36W";
      lum.MeasLampFlux[0] = 3350;
      lum.MeasTotalFlux = 6700;
      lum.AuxReceiver = 1;
      const TLUM32 before = lum;
      OnModal<TMeasInfoDlg>([](TMeasInfoDlg& d) {
        QCOMPARE(d.VoltField()->text(), QStringLiteral("230.00"));
        QCOMPARE(d.LampNameField(0)->text(), QStringLiteral("T8 36W"));
        QVERIFY(d.AuxCheck()->isChecked());
        Type(d.VoltField(), QStringLiteral("2x2,5"));  // the mask drops the letter
        QCOMPARE(d.VoltField()->text(), QStringLiteral("22,5"));
        Type(d.CurrentField(), QStringLiteral("0.125"));
        Type(d.WattField(), QStringLiteral("61.5"));
        Type(d.TempField(), QStringLiteral("-5.5"));
        d.LampNameField(0)->setText(QStringLiteral("changed"));
        QTest::mouseClick(d.AbortBtn(), Qt::LeftButton);
      });
      QVERIFY(!EditMeasurementInfo(lum));
      QCOMPARE(lum.MeasVoltage, before.MeasVoltage);
      OnModal<TMeasInfoDlg>([](TMeasInfoDlg& d) {
        Type(d.VoltField(), QStringLiteral("22,5"));
        Type(d.CurrentField(), QStringLiteral("0.125"));
        Type(d.WattField(), QStringLiteral("61.5"));
        Type(d.TempField(), QStringLiteral("-5.5"));
        d.LampNameField(0)->setText(QStringLiteral("changed"));
        d.TotalFluxField()->setText(QStringLiteral("1"));
        QTest::mouseClick(d.OkBtn(), Qt::LeftButton);
      });
      QVERIFY(EditMeasurementInfo(lum));
      QCOMPARE(lum.MeasVoltage, 22.5f);
      QCOMPARE(lum.MeasCurrent, 0.125f);
      QCOMPARE(lum.CircuitWatts, 61.5f);
      QCOMPARE(lum.MeasTemperature, -5.5f);
      QCOMPARE(lum.MeasLampName[0], before.MeasLampName[0]);
      QCOMPARE(lum.MeasTotalFlux, before.MeasTotalFlux);
      QCOMPARE(lum.LampQuantity, before.LampQuantity);
    }
    struct Mask {
      const char* mask;
      const char* text;
      bool ok;
    };
    for (const Mask& m : {Mask{"###.#", "-12.5", true}, Mask{"###.#", "1234", false}, Mask{"###.#", "1.25", false},
                          Mask{"999", "255", true}, Mask{"999", "-1", false}, Mask{"######.#", "123456,7", true}})
      QCOMPARE(MaskAccepts(m.mask, QString::fromLatin1(m.text)), m.ok);
  }

  void versionEditorCutsToFiveAndAbortKeepsTheLabel() {
    TempUserEnvironment env;
    Session(kLanguages[0]);
    std::string label = "OLD";
    OnModal<TVersionDlg>([](TVersionDlg& d) {
      QCOMPARE(d.VersionField()->text(), QStringLiteral("OLD"));
      Type(d.VersionField(), QStringLiteral("2026-12"));
      QTest::mouseClick(d.AbortBtn(), Qt::LeftButton);
    });
    QVERIFY(!EditDatabaseVersion(label));
    QCOMPARE(label, std::string("OLD"));
    OnModal<TVersionDlg>([](TVersionDlg& d) {
      Type(d.VersionField(), QStringLiteral("2026-12"));
      QTest::mouseClick(d.OkBtn(), Qt::LeftButton);
    });
    QVERIFY(EditDatabaseVersion(label));
    QCOMPARE(label, std::string("2026-"));
  }

  void textViewerEditsUndoesAndSaves() {
    TempUserEnvironment env;
    Session(kLanguages[1]);
    RecordingUi rec;
    ScopedUiServices scoped(rec);
    const std::string file = env.root() + "/LUM.LDT";
    writeFile(file, "Maker\r\n1\r\n\xE9t\xE9\r\n");  // 1252 text with CR LF
    TTextViewer v(file);
    QCOMPARE(v.windowTitle(), Q(file));
    QVERIFY(v.Editor()->isReadOnly());
    QCOMPARE(v.Editor()->toPlainText(), QStringLiteral("Maker\n1\n\u00e9t\u00e9\n"));
    QCOMPARE(v.StatusLabel()->text(), QStringLiteral("R 1 / C 1"));
    QTest::mouseClick(v.EditBtn(), Qt::LeftButton);
    QVERIFY(!v.Editor()->isReadOnly());
    QTextCursor c = v.Editor()->textCursor();
    c.movePosition(QTextCursor::Down);
    c.movePosition(QTextCursor::EndOfLine);
    v.Editor()->setTextCursor(c);
    QTest::keyClicks(v.Editor(), QStringLiteral("0"));
    QCOMPARE(v.StatusLabel()->text(), QStringLiteral("R 2 / C 3"));
    // Undo: No keeps the change, Yes reloads the file.
    rec.answers = {mrNo};
    v.UndoChangesClick();
    QVERIFY(v.Editor()->toPlainText().contains(QStringLiteral("10")));
    rec.answers = {mrYes};
    v.UndoChangesClick();
    QVERIFY(!v.Editor()->document()->isModified());
    QCOMPARE(v.Editor()->toPlainText(), QStringLiteral("Maker\n1\n\u00e9t\u00e9\n"));
    // Save: the text goes back in its code page with its line ends.
    c = v.Editor()->textCursor();
    c.movePosition(QTextCursor::Start);
    c.movePosition(QTextCursor::Down);
    c.movePosition(QTextCursor::EndOfLine);
    v.Editor()->setTextCursor(c);
    QTest::keyClicks(v.Editor(), QStringLiteral("2"));
    rec.answers = {mrYes};
    v.SaveChangesClick();
    QVERIFY(v.Saved());
    QCOMPARE(readFile(file), std::string("Maker\r\n12\r\n\xE9t\xE9\r\n"));
    QCOMPARE(rec.shown.size(), std::size_t(3));
    QTest::mouseClick(v.ReadOnlyBtn(), Qt::LeftButton);
    QVERIFY(v.Editor()->isReadOnly());

    // A file that cannot be written keeps the old one and says so.
    TTextViewer missing(env.root() + "/none.ldt");
    QVERIFY(!missing.Loaded());
    QVERIFY(!missing.EditBtn()->isEnabled());
  }

  // A chosen folder whose name holds a line break cannot be kept in the
  // settings file: OK refuses it and the dialog stays open.
  void settingsDialogRefusesTextsTheFileCannotHold() {
    TempUserEnvironment env;
    Session(kLanguages[1]);
    PrintingUi ui;
    ScopedUiServices scoped(ui);
    TProgramSettings s = Settings();
    ui.directory = env.root() + "/da\nta";
    bool stayed = false;
    OnModal<TOrvsetForm>([&stayed](TOrvsetForm& f) {
      f.BitBtn3Click();
      QTest::mouseClick(f.OkBtn(), Qt::LeftButton);
      stayed = f.isVisible();
      QTest::mouseClick(f.CancelBtn(), Qt::LeftButton);
    });
    QVERIFY(!EditSettings(s, false));
    QVERIFY(stayed);
    QCOMPARE(ui.shown.size(), std::size_t(1));
    QVERIFY(ui.shown.back().text.rfind("line breaks", 0) == 0);
  }

  void settingsDialogEditsACopyInEveryLanguage() {
    for (const Language& l : kLanguages) {
      TempUserEnvironment env;
      Session(l);
      PrintingUi ui;
      ScopedUiServices scoped(ui);
      TProgramSettings s = Settings();
      s.IesExt = "IES";
      s.IesType = 1;
      s.ShowLor = true;
      s.UtilMode = 0;
      s.EpsDevice = "Gone";
      ui.directory = env.root() + "/data";
      OnModal<TOrvsetForm>([&l](TOrvsetForm& f) {
        QCOMPARE(f.windowTitle(), QString::fromUtf8(l.settings));
        QCOMPARE(f.Tabs()->count(), 4);
        QVERIFY(!f.TrBtn2()->isVisible());
        f.Tabs()->setCurrentIndex(2);
        QCOMPARE(f.Pages()->currentIndex(), 2);
        Type(f.ExtField(), QStringLiteral("LM6X"));
        f.LorCheck()->setChecked(false);
        f.IesFormatGroup()->SetItemIndex(2);
        f.BitBtn3Click();
        QTest::mouseClick(f.CancelBtn(), Qt::LeftButton);
      });
      QVERIFY(!EditSettings(s, false));
      QCOMPARE(s.IesExt, std::string("IES"));
      QCOMPARE(s.IesType, 1);
      QVERIFY(s.ShowLor);
      QCOMPARE(s.LumDir2, Settings().LumDir2);

      std::string started;
      OnModal<TOrvsetForm>([&ui, &started](TOrvsetForm& f) {
        Type(f.ExtField(), QStringLiteral("LM6X"));  // four typed, three kept
        QCOMPARE(f.ExtField()->text(), QStringLiteral("LM6"));
        Type(f.ExtField(), QStringLiteral("a.b"));   // outside the character set
        QCOMPARE(f.ExtField()->text(), QStringLiteral("ab"));
        Type(f.ExtField(), QStringLiteral("I_5"));
        f.LorCheck()->setChecked(false);
        f.IesFormatGroup()->SetItemIndex(2);
        f.MountingGroup()->SetItemIndex(1);
        f.BitBtn3Click();
        QCOMPARE(S(f.DataPathField()->text()), ui.directory);
        f.SetPrinterSetup([&started](const std::string& start) {
          started = start;
          return std::optional<std::string>("PDF Writer");
        });
        f.BitBtn4Click();
        QCOMPARE(f.DeviceField()->text(), QStringLiteral("PDF Writer"));
        // The company block of the datasheets.
        f.UserNameField()->setText(QString::fromUtf8("Lichtbau M\u00fcller"));  // typing knows no umlaut
        Type(f.UserAddrField(), QStringLiteral("1 Main Street"));
        ui.openFile = ui.directory + "/logo.png";
        f.LogoBtnClick();
        QTest::mouseClick(f.OkBtn(), Qt::LeftButton);
      });
      QVERIFY(EditSettings(s, false));
      QCOMPARE(s.IesExt, std::string("I_5"));
      QCOMPARE(s.IesType, 2);
      QVERIFY(!s.ShowLor);
      QCOMPARE(int(s.UtilMode), 1);
      QCOMPARE(s.LumDir2, ui.directory);
      QCOMPARE(s.EpsDevice, std::string("PDF Writer"));
      QCOMPARE(s.UserName, std::string("Lichtbau M\xFCller"));
      QCOMPARE(s.UserAddr, std::string("1 Main Street"));
      QCOMPARE(s.UserLogo, ui.directory + "/logo.png");
    }
    // A stored device that is not installed starts the set-up on the default printer.
    const QStringList installed{QStringLiteral("Office"), QStringLiteral("Plotter")};
    QCOMPARE(PrinterToStartWith("Plotter", installed, "Office"), std::string("Plotter"));
    QCOMPARE(PrinterToStartWith("Gone", installed, "Office"), std::string("Office"));
    QCOMPARE(PrinterToStartWith("plotter", installed, "Office"), std::string("Office"));
  }

  void browserOpensListSettingsAndVersionInEveryLanguage() {
    for (const Language& l : kLanguages) {
      TempUserEnvironment env;
      Session(l);
      PrintingUi ui;
      ScopedUiServices scoped(ui);
      ListingBackend b;
      b.dir = env.root();
      for (const char* n : {"Bravo", "alpha", "Carat", "Boreal"}) b.Add(n, "N", std::string(n) + ".LDT", "Maker", "EULUM-DAT");
      TfBaseForm f(b);
      f.show();
      f.ActivateRow(3);

      // "Alles", key 1, as text.
      OnModal<TListDlg>([&l](TListDlg& d) {
        QCOMPARE(d.windowTitle(), QString::fromUtf8(l.list));
        QVERIFY(!d.FromField()->isEnabled());
        QCOMPARE(d.KeyCombo()->count(), 4);
        d.TextCheck()->setChecked(true);
        QTest::mouseClick(d.OkBtn(), Qt::LeftButton);
      });
      f.Navigator()->Click(nbCancel);
      QCOMPARE(b.exports.back(), std::make_tuple(1, true, std::string(), std::string("Z")));  // trimmed
      const std::string txt = readFile(b.ListTextFile());
      QCOMPARE(std::count(txt.begin(), txt.end(), '\n'), 5L);
      QVERIFY(!fsys::exists(b.ListFile()));
      QCOMPARE(f.ActiveRow(), 3);
      QCOMPARE(f.SortKey(), 1);

      // Reversed limits: nothing listed, and the user is told.
      const std::size_t boxes = ui.shown.size();
      OnModal<TListDlg>([](TListDlg& d) {
        d.RangeGroup()->SetItemIndex(1);
        QVERIFY(d.FromField()->isEnabled());
        Type(d.FromField(), QStringLiteral("c"));
        Type(d.ToField(), QStringLiteral("a"));
        d.KeyCombo()->setCurrentIndex(3);
        QTest::mouseClick(d.OkBtn(), Qt::LeftButton);
      });
      f.Navigator()->Click(nbCancel);
      QCOMPARE(b.exports.back(), std::make_tuple(5, false, std::string("C"), std::string("A")));
      QCOMPARE(ui.shown.size(), boxes + 1);

      // "A" to "B" printed: no printer here, so a PDF file.
      ui.saveAs = env.root() + "/list.pdf";
      OnModal<TListDlg>([](TListDlg& d) {
        d.RangeGroup()->SetItemIndex(1);
        Type(d.FromField(), QStringLiteral("A"));
        Type(d.ToField(), QStringLiteral("B"));
        QTest::mouseClick(d.OkBtn(), Qt::LeftButton);
      });
      f.Navigator()->Click(nbCancel);
      QCOMPARE(std::get<2>(b.exports.back()), std::string("A"));
      QVERIFY(readFile(ui.saveAs).rfind("%PDF", 0) == 0);
      QVERIFY(!fsys::exists(b.ListFile()));

      // The settings dialog behind SpeedButton1.
      auto* setup = f.findChild<QToolButton*>(QStringLiteral("SpeedButton1"));
      QVERIFY(setup && setup->isEnabled());
      OnModal<TOrvsetForm>([](TOrvsetForm& d) { QTest::mouseClick(d.CancelBtn(), Qt::LeftButton); });
      QTest::mouseClick(setup, Qt::LeftButton);

      // The version label: shown, edited, written, and kept on close.
      QCOMPARE(f.VersionButton()->text(), QStringLiteral("V1"));
      OnModal<TVersionDlg>([](TVersionDlg& d) {
        Type(d.VersionField(), QStringLiteral("V2"));
        QTest::mouseClick(d.OkBtn(), Qt::LeftButton);
      });
      QTest::mouseClick(f.VersionButton(), Qt::LeftButton);
      QCOMPARE(b.labels.back(), std::string("V2"));
      QCOMPARE(f.VersionButton()->text(), QStringLiteral("V2"));
      f.close();
      QCOMPARE(b.labels.back(), std::string("V2"));
    }
  }
};

KANDELO_UI_TEST(SmallWindowsTest);

}  // namespace kandelo::test

#include "small_windows_test.moc"
