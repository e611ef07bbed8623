// The browser's datasheets: the output selection edits the browser's record
// only on OK; printing the current luminaire and the batch of the
// multi-select list write real PDF files through the datasheet.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <filesystem>

#include "datasheet/datasheet.h"
#include "evaluation/lum_fixture.h"
#include "fake_backend.h"
#include "frame/settings.h"
#include "frame/startup.h"
#include "frame/strutil.h"
#include "graphics/page_job.h"
#include "support/test_support.h"
#include "texts/qstr.h"
#include "ui/base_form.h"
#include "ui/output_edit.h"
#include "ui_tests.h"

namespace kandelo::test {

namespace {

namespace fs = std::filesystem;

void Session(int number, const char* ext) {
  LoadSettings();
  InstallLanguageFiles();
  TProgramSettings& s = Settings();
  s.DbLang = number;
  s.DbLangExt = ext;
  s.MsgTxtFile = AddBackslash(s.LangDir) + "MSGTXT" + ext;
  s.OrvMsgFile = AddBackslash(s.LangDir) + "ORVMSG" + ext;
  s.OrvTxtFile = AddBackslash(s.LangDir) + "ORVTXT" + ext;
}

// The PDF dialog answers from a script.
class PdfAnswer : public RecordingUi {
 public:
  std::string file, folder;
  int asked = 0;
  std::vector<std::string> startFolders;  // where each file or folder choice began
  std::string chooseSaveFile(const std::string&, const std::string& dir, const std::string&, const std::string&,
                             int&) override {
    ++asked;
    startFolders.push_back(dir);
    return file;
  }
  std::string chooseDirectory(const std::string&, const std::string& dir) override {
    startFolders.push_back(dir);
    return folder;
  }
};

// What poppler's tools read from a PDF: its page count and its text; -1 and
// empty when the tools are not installed.
std::string RunTool(const char* tool, const QStringList& args) {
  if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) return {};
  QProcess p;
  p.start(QString::fromLatin1(tool), args);
  if (!p.waitForFinished(60000)) return {};
  return p.readAllStandardOutput().toStdString();
}
int PdfPages(const std::string& pdf) {
  const QString info = QString::fromStdString(RunTool("pdfinfo", {QString::fromStdString(pdf)}));
  const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
  return m.hasMatch() ? m.captured(1).toInt() : -1;
}
std::string PdfText(const std::string& pdf) { return RunTool("pdftotext", {QString::fromStdString(pdf), "-"}); }

std::vector<std::string> FilesIn(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Formula luminaires behind the fake catalogue, printed by the real datasheet.
class PrintingBackend : public FakeBackend {
 public:
  bool luminance = true;
  std::vector<std::string> printedPaths;
  int pages = 0;  // pages of all datasheets printed
  std::optional<TOutputLuminaire> OutputLuminaire() override {
    if (luminaire.empty()) return std::nullopt;
    TOutputLuminaire o;
    o.valid = true;
    o.luminance = luminance;
    o.setFlux = 1000;
    o.planePairs = {{"C90 / C270", 90.0f}, {"C0 / C180", 0.0f}};
    return o;
  }
  PrintOutcome PrintLoadedDatasheet(std::int32_t, const TOutputSettings& s, const TMsgManager& msg, TPageJob& job,
                                    std::string& error) override {
    return Print(luminaire, s, msg, job, error);
  }
  PrintOutcome PrintDatasheetOf(const std::string& path, std::int32_t, const TOutputSettings& s,
                                const TMsgManager& msg, TPageJob& job, std::string& error) override {
    return Print(path, s, msg, job, error);
  }

 private:
  PrintOutcome Print(const std::string& path, const TOutputSettings& s, const TMsgManager& msg, TPageJob& job,
                     std::string& error) {
    auto lum = MakeLum(Lambert, false);
    lum->LumName = fs::path(path).filename().string();
    const TDatasheetResult r = PrintDatasheet(*lum, nullptr, s, msg, job, DatasheetOptionsFromSettings());
    error = r.error;
    if (r.status != TDatasheetStatus::Printed) return PrintOutcome::JobFailed;
    printedPaths.push_back(path);
    pages += r.pages;
    return PrintOutcome::Printed;
  }
};

// Runs fn on the output selection once it is shown modally.
void OnOutputDialog(std::function<void(TOutEditDlg&)> fn) {
  QTimer::singleShot(0, [fn] {
    auto* dlg = qobject_cast<TOutEditDlg*>(QApplication::activeModalWidget());
    QVERIFY(dlg);
    fn(*dlg);
    // A failed check returns early: the dialog must not stay open.
    if (dlg->isVisible()) dlg->reject();
  });
}

QListWidgetItem* EntryOf(TOutEditDlg& d, int type) {
  for (int i = 0; i < d.OutList()->count(); ++i)
    if (d.OutList()->item(i)->data(Qt::UserRole).toInt() == type) return d.OutList()->item(i);
  return nullptr;
}

bool IsPdf(const std::string& path) { return readFile(path).rfind("%PDF", 0) == 0; }

// Catalogue entries whose files exist in the temporary directory.
void FillFiles(PrintingBackend& b, const std::string& dir, int n) {
  b.pathList = {dir};
  for (int i = 1; i <= n; ++i) {
    const std::string name = "LUM" + std::to_string(i) + ".LDT";
    b.Add("Luminaire " + std::to_string(100 + i), "N" + std::to_string(i), name, "Maker", "EULUM-DAT");
    writeFile(AddBackslash(dir) + name, "-");
  }
}

}  // namespace

class PrintTest : public QObject {
  Q_OBJECT
 private slots:
  void theOutputSelectionEditsACopyInEveryLanguage() {
    const struct {
      int number;
      const char* ext;
      const char* title;
    } languages[] = {{1, ".GER", "Ausgaben definieren"}, {2, ".ENG", "Define outputs"}, {3, ".FRA", "D\u00e9finir les sorties"}};
    for (const auto& l : languages) {
      TempUserEnvironment env;
      Session(l.number, l.ext);
      RecordingUi rec;
      ScopedUiServices scoped(rec);
      TOutputSettings s = InitialOutputSettings();
      s.Set(otGlUgr, true);
      *s.Planes = {45};
      // Cancel leaves everything as it was, whatever was ticked.
      OnOutputDialog([](TOutEditDlg& d) {
        EntryOf(d, otTable)->setCheckState(Qt::Checked);
        QTest::mouseClick(d.CancelBtn(), Qt::LeftButton);
      });
      QVERIFY(!EditOutputSettings(s, std::nullopt, false));
      QCOMPARE(s.OutputSet, std::uint16_t((1u << otMain) | (1u << otGlUgr)));
      QVERIFY(*s.Planes == TPlaneList{45});

      // Without luminance data UGR and glare are not offered, and an earlier
      // choice of them is dropped on OK; the planes become the ticked ones.
      TOutputLuminaire lum;
      lum.valid = true;
      lum.planePairs = {{"C90 / C270", 90.0f}, {"C0 / C180", 0.0f}, {"C30 / C210", 30.0f}};
      OnOutputDialog([&l](TOutEditDlg& d) {
        QCOMPARE(d.windowTitle(), QString::fromUtf8(l.title));
        QVERIFY(!d.TrBtn2()->isVisible());
        QCOMPARE(d.OutList()->count(), 11);
        QVERIFY(!EntryOf(d, otGlUgr) && !EntryOf(d, otGlDin));
        QCOMPARE(d.PageName(), QStringLiteral("blank"));
        d.OutList()->setCurrentItem(EntryOf(d, otKart));
        QCOMPARE(d.PageName(), QStringLiteral("Vorgabe"));
        // Sorted by angle, the first ticked.
        QCOMPARE(d.PlaneList()->item(0)->text(), QStringLiteral("C0 / C180"));
        QCOMPARE(d.PlaneList()->item(0)->checkState(), Qt::Checked);
        d.PlaneList()->item(2)->setCheckState(Qt::Checked);
        EntryOf(d, otKart)->setCheckState(Qt::Checked);
        d.OutList()->setCurrentItem(EntryOf(d, otSrt));
        QCOMPARE(d.PageName(), QStringLiteral("srted"));
        // A preset fills and locks the heights; the user entry unlocks them.
        QVERIFY(!d.CountHeightField(0)->isEnabled());
        d.CountHeightCombo()->setCurrentIndex(1);
        emit d.CountHeightCombo()->activated(1);
        QCOMPARE(d.CountHeightField(2)->text(), QStringLiteral("5.15"));
        d.CountHeightCombo()->setCurrentIndex(3);
        emit d.CountHeightCombo()->activated(3);
        QVERIFY(d.CountHeightField(0)->isEnabled());
        QTest::mouseClick(d.OkBtn(), Qt::LeftButton);
      });
      QVERIFY(EditOutputSettings(s, lum, false));
      QCOMPARE(s.OutputSet, std::uint16_t((1u << otMain) | (1u << otKart)));
      QVERIFY((*s.Planes == TPlaneList{0, 90}));
      QCOMPARE(s.CountHeightPreset, 3);
      QCOMPARE(s.CountHeights[2], 5.15f);
      QVERIFY(rec.shown.empty());
    }
  }

  void withoutALuminaireTheFixedPlanePairsAreOffered() {
    TempUserEnvironment env;
    Session(2, ".ENG");
    TOutEditDlg d(InitialOutputSettings(), std::nullopt, true);
    QVERIFY(!d.TrBtn2()->isHidden());
    QCOMPARE(d.OutList()->count(), 13);
    QCOMPARE(d.PlaneList()->count(), 11);
    QCOMPARE(d.PlaneList()->item(0)->text(), QStringLiteral("C0 / C180"));
    QCOMPARE(d.PlaneList()->item(10)->text(), QStringLiteral("C150 / C330"));
    QCOMPARE(d.PlaneList()->item(0)->checkState(), Qt::Checked);
    QCOMPARE(d.PlaneList()->item(1)->checkState(), Qt::Unchecked);
    d.accept();
    QVERIFY(*d.Buffer().Planes == TPlaneList{0});
  }

  // The planes of the polar and cartesian pages: what was chosen before stays
  // ticked; otherwise the luminaire's own planes, as the command line takes
  // them without --planes.
  void thePlaneChoiceIsKeptAndStartsFromTheLuminairesPlanes() {
    TempUserEnvironment env;
    Session(2, ".ENG");
    TOutputLuminaire asymmetric;
    asymmetric.valid = true;
    asymmetric.planePairs = {{"C0 / C180", 0.0f}, {"C30 / C210", 30.0f}, {"C90 / C270", 90.0f}};
    TOutputLuminaire rotational;
    rotational.valid = true;
    rotational.planePairs = {{"C0 / C180", 0.0f}};
    const struct {
      const char* what;
      TPlaneList before;
      const TOutputLuminaire* lum;
      TPlaneList ticked;
    } cases[] = {
        {"nothing chosen, asymmetric: C0 and C90", {}, &asymmetric, {0, 90}},
        {"nothing chosen, rotational: C0", {}, &rotational, {0}},
        {"an earlier choice stays", {30}, &asymmetric, {30}},
        {"an earlier choice the luminaire does not offer", {45}, &rotational, {0}},
        {"without a luminaire the earlier choice among the fixed pairs", {45, 120}, nullptr, {45, 120}},
    };
    for (const auto& c : cases) {
      TOutputSettings s = InitialOutputSettings();
      *s.Planes = c.before;
      TOutEditDlg d(s, c.lum ? std::optional<TOutputLuminaire>(*c.lum) : std::nullopt, false);
      d.accept();
      QVERIFY2(*d.Buffer().Planes == c.ticked, c.what);
    }
  }

  void printingTheCurrentLuminaireWritesAPdf() {
    TempUserEnvironment env;
    Session(2, ".ENG");
    PdfAnswer answer;
    ScopedUiServices scoped(answer);
    PrintingBackend b;
    FillFiles(b, env.root(), 3);
    TfBaseForm form(b);
    form.show();
    form.ActivateRow(2);

    // Cancelling the output selection prints nothing and asks for no file.
    OnOutputDialog([](TOutEditDlg& d) { QTest::mouseClick(d.CancelBtn(), Qt::LeftButton); });
    form.PrintCurrentClicked();
    QCOMPARE(answer.asked, 0);
    QVERIFY(b.printedPaths.empty());

    const std::string pdf = env.root() + "/out/LUM2.pdf";
    fs::create_directories(env.root() + "/out");
    answer.file = pdf;
    OnOutputDialog([](TOutEditDlg& d) {
      EntryOf(d, otPolar)->setCheckState(Qt::Checked);
      QTest::mouseClick(d.OkBtn(), Qt::LeftButton);
    });
    form.PrintCurrentClicked();
    QVERIFY(form.OutputSettings().Has(otPolar));
    QCOMPARE(b.printedPaths.size(), std::size_t(1));
    QVERIFY(IsPdf(pdf));
    QVERIFY(answer.shown.empty());

    // A folder that does not exist: a clear error and no file anywhere.
    answer.file = env.root() + "/missing/LUM2.pdf";
    OnOutputDialog([](TOutEditDlg& d) { QTest::mouseClick(d.OkBtn(), Qt::LeftButton); });
    form.PrintCurrentClicked();
    QCOMPARE(answer.shown.size(), std::size_t(1));
    QVERIFY(!fs::exists(env.root() + "/missing"));
  }

  void batchPrintingWritesOneDocumentUnderTheNameGiven() {
    TempUserEnvironment env;
    Session(2, ".ENG");
    PdfAnswer answer;
    ScopedUiServices scoped(answer);
    PrintingBackend b;
    FillFiles(b, env.root(), 3);
    TfBaseForm form(b);
    form.show();
    form.EnterMultiSelect();
    for (int row = 1; row <= 3; ++row) {
      form.ActivateRow(row);
      form.AddCurrentToList();
    }
    QVERIFY(!form.EachPdfCheck()->isChecked());
    const std::string sheets = env.root() + "/sheets";
    fs::create_directories(sheets);

    // Cancelling the file choice prints nothing and says nothing.
    const std::size_t before = answer.shown.size();
    form.PrintListClicked();
    QCOMPARE(answer.asked, 1);
    QVERIFY(b.printedPaths.empty());
    QCOMPARE(answer.shown.size(), before);

    answer.file = sheets + "/batch.pdf";
    form.PrintListClicked();
    QCOMPARE(b.printedPaths.size(), std::size_t(3));
    QCOMPARE(FilesIn(sheets), std::vector<std::string>{"batch.pdf"});
    QVERIFY(IsPdf(answer.file));
    // Every datasheet, each after the other, in the one file.
    if (const int pages = PdfPages(answer.file); pages >= 0) {
      QCOMPARE(pages, b.pages);
      const std::string text = PdfText(answer.file);
      std::size_t at = 0;
      for (const char* name : {"LUM1.LDT", "LUM2.LDT", "LUM3.LDT"}) {
        at = text.find(name, at);
        QVERIFY2(at != std::string::npos, name);
      }
    }
    // The summary names the file; the folder is kept for the next batch.
    QCOMPARE(answer.shown.back().type, MsgType::Information);
    QVERIFY2(answer.shown.back().text.find("3 datasheets printed") != std::string::npos, answer.shown.back().text.c_str());
    QVERIFY2(answer.shown.back().text.find(answer.file) != std::string::npos, answer.shown.back().text.c_str());
    QCOMPARE(ReadSettingString("LDBSETTINGS", "PRINTDIR", ""), sheets);
    answer.file.clear();
    form.PrintListClicked();
    QCOMPARE(answer.startFolders.back(), sheets);

    // A file that cannot be written: an error naming it, and no file.
    answer.file = env.root() + "/missing/batch.pdf";
    form.PrintListClicked();
    QCOMPARE(answer.shown.back().type, MsgType::Error);
    QVERIFY(answer.shown.back().text.find("0 datasheets printed") != std::string::npos);
    QVERIFY(answer.shown.back().text.find(answer.file) != std::string::npos);
    QVERIFY(!fs::exists(env.root() + "/missing"));
  }

  void batchPrintingOneFilePerLuminaireAsksForAFolder() {
    TempUserEnvironment env;
    Session(1, ".GER");
    PdfAnswer answer;
    ScopedUiServices scoped(answer);
    PrintingBackend b;
    FillFiles(b, env.root(), 10);
    const std::string sheets = env.root() + "/sheets";
    fs::create_directories(sheets);
    {
      TfBaseForm form(b);
      form.show();
      form.EnterMultiSelect();
      for (int row = 1; row <= 10; ++row) {
        form.ActivateRow(row);
        form.AddCurrentToList();
      }
      QCOMPARE(form.TempList()->topLevelItemCount(), 10);
      form.EachPdfCheck()->setChecked(true);
      // No folder chosen: nothing printed.
      form.PrintListClicked();
      QVERIFY(b.printedPaths.empty());
      answer.folder = sheets;
      form.PrintListClicked();
      QCOMPARE(answer.asked, 0);
      QCOMPARE(b.printedPaths.size(), std::size_t(10));
      QCOMPARE(FilesIn(sheets).size(), std::size_t(10));
      for (const std::string& name : FilesIn(sheets)) QVERIFY(IsPdf(sheets + "/" + name));
      QVERIFY(fs::exists(sheets + "/LUM7.pdf"));
      // The summary names the folder and the files written.
      const std::string& text = answer.shown.back().text;
      QCOMPARE(answer.shown.back().type, MsgType::Information);
      QVERIFY2(text.find(sheets) != std::string::npos && text.find("LUM7.pdf") != std::string::npos, text.c_str());
    }
    // The choice and the folder are kept for the next start.
    TfBaseForm again(b);
    QVERIFY(again.EachPdfCheck()->isChecked());
    again.EnterMultiSelect();
    again.ActivateRow(1);
    again.AddCurrentToList();
    answer.folder.clear();
    again.PrintListClicked();
    QCOMPARE(answer.startFolders.back(), sheets);
  }
};

KANDELO_UI_TEST(PrintTest);

}  // namespace kandelo::test

#include "print_test.moc"
