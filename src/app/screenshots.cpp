// kandelo-screenshots DIR: renders every window of the program in German,
// English and French into DIR as NAME-LANG.png, without a display (run it
// with QT_QPA_PLATFORM=offscreen). It works in a user environment of its own
// with the shipped sample luminaires, so the pictures never show, or touch,
// the settings and catalogue of the person who runs it.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QMessageBox>
#include <QTabBar>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

#include "app/core_backend.h"
#include "storage/indexed_table.h"
#include "database/catalogue.h"
#include "shell/msgbox.h"
#include "frame/settings.h"
#include "frame/startup.h"
#include "frame/strutil.h"
#include "shell/ui_services.h"
#include "texts/text_controls.h"
#include "ui/base_form.h"
#include "texts/msg_trans_dialog.h"
#include "ui/convert_dlg.h"
#include "ui/new_lum_wizard.h"
#include "ui/record_editor.h"
#include "ui/linfo_form.h"
// The list printout, lamp table windows, small editors and settings dialog.
#include "database/lamp_table.h"
#include "frame/pathlist.h"
#include "photometry/format_io.h"
#include "photometry/lum32.h"
#include "ui/lamp_windows.h"
#include "ui/list_dlg.h"
#include "ui/orvset_form.h"
#include "ui/small_editors.h"
#include "ui/text_viewer.h"
#include "graphics/qt/qt_page_job.h"
#include "ui/output_edit.h"

namespace {

using namespace kandelo;

// Answers every box with its first button, so nothing waits for a user.
class SilentUi : public UiServices {
 public:
  int showMessage(const MessageBox& box) override { return box.buttons.empty() ? mrOk : box.buttons.front().result; }
};

bool Save(QWidget& w, const QString& dir, const QString& name, const char* lang) {
  w.show();
  // A tool bar that puts its texts under the icons on the first show grows
  // in a later layout pass: the picture waits until the layouts are settled.
  for (int pass = 0; pass < 3; ++pass) {
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  }
  const QString file = dir + QLatin1Char('/') + name + QLatin1Char('-') + QLatin1String(lang) + QStringLiteral(".png");
  const bool ok = w.grab().save(file);
  std::printf("%s %s\n", ok ? "wrote" : "FAILED", file.toLocal8Bit().constData());
  return ok;
}

// The evaluation window of the browser's luminaire: every type at a large
// size and at the window's minimum size.
bool SaveEvaluations(CoreBrowserBackend& backend, TfBaseForm& browser, std::int32_t recNo, const QString& dir,
                     const char* lang) {
  const TLUM32* lum = backend.Luminaire();
  if (!lum) return false;
  TCatalogueRecord rec;
  if (recNo <= 0 || !backend.ReadCatalogueRecord(recNo, rec)) rec.Clear();
  TLinfoForm form(rec, *lum, false, &browser);
  struct Choice {
    int tab, item;
    TEvaluationType type;
  };
  const Choice choices[] = {{0, 0, etPolar},   {0, 1, etCartesian}, {1, 0, etUgr},         {1, 1, etGlareCurves},
                            {1, 2, etGlareTable}, {2, 0, etUtfDin}, {2, 1, etUtfTm5},      {2, 2, etUtfNb},
                            {3, 0, etIsolux},  {4, 0, etCone},      {5, 0, etCount},       {6, 0, etFloor}};
  bool ok = true;
  for (const Choice& c : choices) {
    form.SelectTab(c.tab);
    TRadioGroup* group = c.tab == 0 ? form.LvkGroup() : c.tab == 1 ? form.GlareGroup() : c.tab == 2 ? form.UtfGroup() : nullptr;
    if (group) group->SetItemIndex(c.item);
    const QString name = QStringLiteral("evaluation-") + QString::fromLatin1(EvaluationTypeName(c.type));
    form.resize(1400, 950);
    ok = Save(form, dir, name, lang) && ok;
    form.resize(form.minimumSize());
    ok = Save(form, dir, name + QStringLiteral("-min"), lang) && ok;
  }
  return ok;
}

// The windows of the list printout, the lamp table, the small editors and the
// settings, each with sample content.
bool SaveSmallWindows(QWidget& browser, const QString& dir, const char* lang) {
  bool ok = true;
  TListDlg list(false, &browser);
  ok = Save(list, dir, QStringLiteral("list-print"), lang) && ok;
  if (LampTable() || OpenLampTable(DefaultLampTablePath())) {
    TLampselForm lamps(&browser);
    lamps.ActivateRow(3);
    ok = Save(lamps, dir, QStringLiteral("lamps"), lang) && ok;
    TLmpEdform editor(lamps.ActiveLamp(), false, false, 0, &browser);
    ok = Save(editor, dir, QStringLiteral("lamp-editor"), lang) && ok;
  }
  TVersionDlg version("2026a", &browser);
  ok = Save(version, dir, QStringLiteral("version"), lang) && ok;
  // A sample luminaire with the measurement of a typical laboratory report.
  const std::string sample = AddBackslash(Settings().LumDir1) + "LINEA58.LDT";
  TLUM32 lum;
  LoadLuminaire(sample, lum, LoadValues::AsRead);
  lum.AuxReceiver = 1;
  lum.MeasTemperature = 25.0f;
  lum.MeasVoltage = 230.0f;
  lum.MeasCurrent = 0.285f;
  lum.CircuitWatts = 64.5f;
  lum.LampQuantity = 1;
  lum.MeasLampName[0] = "T8 58W/840";
  lum.MeasLampFlux[0] = 5200.0f;
  lum.MeasTotalFlux = 5200.0f;
  TMeasInfoDlg meas(lum, &browser);
  ok = Save(meas, dir, QStringLiteral("measurement"), lang) && ok;
  TTextViewer viewer(sample, &browser);
  viewer.resize(760, 520);
  ok = Save(viewer, dir, QStringLiteral("text-viewer"), lang) && ok;
  TProgramSettings shown = Settings();
  shown.EpsDevice = "Office-Laser";
  TOrvsetForm settings(shown, false, &browser);
  settings.Tabs()->setCurrentIndex(1);
  ok = Save(settings, dir, QStringLiteral("settings"), lang) && ok;
  return ok;
}

// The output selection on the polar entry, and the first pages of the
// current luminaire's datasheet with every page kind, rendered from its PDF.
bool SaveDatasheetShots(TfBaseForm& browser, BrowserBackend& backend, const QString& dir, const char* lang) {
  TOutputSettings settings = InitialOutputSettings();
  settings.OutputSet = (1u << kOutputTypeCount) - 1;
  *settings.Planes = {0, 90};
  TOutEditDlg outputs(settings, backend.OutputLuminaire(), false, &browser);
  outputs.OutList()->setCurrentRow(1);
  bool ok = Save(outputs, dir, QStringLiteral("output-selection"), lang);
  const QString pdf = dir + QStringLiteral("/datasheet-") + QLatin1String(lang) + QStringLiteral(".pdf");
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageSize(QPageSize(QPageSize::A4));
  TQtPageJob job(printer, pdf.toStdString());
  std::string error;
  if (backend.PrintLoadedDatasheet(0, settings, browser.Messages(), job, error) != PrintOutcome::Printed) {
    std::printf("FAILED datasheet %s %s\n", lang, error.c_str());
    return false;
  }
  for (int page = 1; page <= 4; ++page) {
    const QString png = dir + QStringLiteral("/datasheet-p%1-").arg(page) + QLatin1String(lang);
    const int rc = QProcess::execute(QStringLiteral("pdftoppm"),
                                     {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                                      QString::number(page), QStringLiteral("-r"), QStringLiteral("80"),
                                      QStringLiteral("-png"), QStringLiteral("-singlefile"), pdf, png});
    std::printf("%s %s.png\n", rc == 0 ? "wrote" : "FAILED", png.toLocal8Bit().constData());
    ok = rc == 0 && ok;
  }
  QFile::remove(pdf);
  return ok;
}


// The program's start-up steps with the catalogue of the user environment.
StartupSteps CatalogueSteps() {
  StartupSteps steps;
  steps.initEngine = [] {
    const int err = InitDatabaseEngine();
    if (err) ShowError(EngineStartErrorText(err));
    return err;
  };
  steps.openCatalogue = [](std::string& fault) { return InitCatalogue(Settings().LumDb, &fault, AskToRepair); };
  steps.closeCatalogue = [] { CloseCatalogue(); };
  steps.releaseEngine = [] {
    if (const int err = ReleaseDatabaseEngine()) ShowError(EngineStopErrorText(err));
  };
  return steps;
}

// "--first-start LANG DIR": the browser as a new user first meets it on a
// desktop of that language (the caller sets LANG), at the size and in the
// language the program chooses itself, as DIR/first-start-LANG.png.
int FirstStart(const char* lang, const QString& dir) {
  SilentUi silent;
  ScopedUiServices scoped(silent);
  const StartupSteps steps = CatalogueSteps();
  const StartupState state = StartProgram(steps);
  bool ok = false;
  {
    CoreBrowserBackend backend;
    Settings().OrvMsgFile = AddBackslash(Settings().LangDir) + "ORVMSG" + Settings().DbLangExt;
    TakeSamplesIntoEmptyCatalogue(backend.Paths());
    TfBaseForm browser(backend);
    browser.show();
    browser.LoadCurrentLuminaire(true);
    ok = Save(browser, dir, QStringLiteral("first-start"), lang);
  }
  ShutdownProgram(steps, state);
  return ok ? 0 : 1;
}

// Each desktop language in a process and user environment of its own, as a
// first start has them.
bool SaveFirstStarts(const QString& dir) {
  const struct {
    const char* lang;
    const char* locale;
  } desktops[] = {{"ger", "de_DE.UTF-8"}, {"eng", "en_US.UTF-8"}, {"fra", "fr_FR.UTF-8"}};
  // On a common desktop screen, not on the offscreen platform's small default one.
  QTemporaryDir config;
  const QString screen = config.path() + QStringLiteral("/screen.json");
  QFile json(screen);
  if (!config.isValid() || !json.open(QIODevice::WriteOnly) ||
      json.write("{\"screens\": [{\"name\": \"desktop\", \"x\": 0, \"y\": 0, \"width\": 1920, \"height\": 1080, "
                 "\"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": 1}]}") < 0)
    return false;
  json.close();
  bool ok = true;
  for (const auto& d : desktops) {
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen:configfile=") + screen);
    env.remove(QStringLiteral("LC_ALL"));
    env.remove(QStringLiteral("LC_MESSAGES"));
    env.insert(QStringLiteral("LANG"), QLatin1String(d.locale));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--first-start"), QLatin1String(d.lang), dir});
    ok = child.waitForFinished(120000) && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0 && ok;
  }
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  QTemporaryDir home;
  if (!home.isValid()) return 1;
  for (const char* var : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
    ::setenv(var, (home.path() + QLatin1Char('/') + QLatin1String(var)).toLocal8Bit().constData(), 1);
  QApplication app(argc, argv);
  if (argc == 4 && QByteArray(argv[1]) == "--first-start") return FirstStart(argv[2], QString::fromLocal8Bit(argv[3]));
  const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
  if (!QDir().mkpath(dir)) {
    std::fprintf(stderr, "cannot create %s\n", argv[1]);
    return 1;
  }
  SilentUi silent;
  ScopedUiServices scoped(silent);
  const StartupSteps steps = CatalogueSteps();
  const StartupState state = StartProgram(steps);
  bool ok = true;
  {
    CoreBrowserBackend backend;
    Settings().OrvMsgFile = AddBackslash(Settings().LangDir) + "ORVMSG" + Settings().DbLangExt;
    TakeSamplesIntoEmptyCatalogue(backend.Paths());
    TfBaseForm browser(backend);
    const char* const langs[3] = {"ger", "eng", "fra"};
    for (int l = 1; l <= 3; ++l) {
      const char* lang = langs[l - 1];
      browser.ApplyLanguages(l, l);
      browser.show();
      browser.ActivateRow(3);
      browser.LoadCurrentLuminaire(true);
      // The loaded luminaire's entry, for its evaluation window: the windows
      // shown before that walk the catalogue behind the table's back.
      const CatalogueRow* current = browser.Model().RowAt(browser.ActiveRow());
      const std::int32_t currentRecNo = current ? current->recNo : 0;
      browser.resize(1600, 1000);
      ok = Save(browser, dir, QStringLiteral("browser"), lang) && ok;
      browser.resize(browser.minimumSizeHint());
      ok = Save(browser, dir, QStringLiteral("browser-min"), lang) && ok;
      // The filter row at work: a flux range and a query.
      browser.resize(1600, 1000);
      browser.SetFilter(QStringLiteral("500;;;;;;;;;beam>30 and not format=tm14"));
      ok = Save(browser, dir, QStringLiteral("browser-filter"), lang) && ok;
      browser.SetFilter(QString());
      auto about = browser.MakeAboutBox();
      ok = Save(*about, dir, QStringLiteral("about"), lang) && ok;
      auto help = browser.MakeHelpDialog();
      ok = Save(*help, dir, QStringLiteral("help"), lang) && ok;
      ConversionSettings conversion;
      conversion.DstDir = Settings().LumDir1;
      TConvertDlg convert(conversion, false, &browser);
      ok = Save(convert, dir, QStringLiteral("conversion"), lang) && ok;
      // The record editor's three pages on a copy of a sample entry (a copy
      // writes nothing when it is cancelled).
      {
        std::string key;
        std::int32_t recNo = 0;
        backend.SelectKey(1);
        backend.ResetKey();
        TCatalogueRecord rec;
        // The first EULUMDAT entry: a format the editor edits.
        while (backend.NextKey(key, recNo) == 0)
          if (backend.ReadCatalogueRecord(recNo, rec) && rec.FormatCode() == 0) break;
        if (recNo > 0 && rec.FormatCode() == 0) {
          Tdbedform editor(rec, EditMode::Copy, backend, false, &browser);
          editor.resize(1100, 720);
          ok = Save(editor, dir, QStringLiteral("editor-general"), lang) && ok;
          editor.ChangePage(1);
          ok = Save(editor, dir, QStringLiteral("editor-intensities"), lang) && ok;
          editor.ChangePage(2);
          ok = Save(editor, dir, QStringLiteral("editor-coordinates"), lang) && ok;
        }
      }
      // The new-luminaire wizard: EULUMDAT on C planes, and LUM32 on B
      // planes with the measuring values.
      {
        TNLWIZ wizard(false, &browser);
        ok = Save(wizard, dir, QStringLiteral("wizard-grid"), lang) && ok;
        wizard.FormatCombo()->setCurrentIndex(0);
        emit wizard.FormatCombo()->activated(0);
        wizard.BPlaneRadio()->setChecked(true);
        wizard.BetaSymmCombo()->setCurrentIndex(1);
        emit wizard.BetaSymmCombo()->activated(1);
        wizard.LuxBox()->setChecked(true);
        ok = Save(wizard, dir, QStringLiteral("wizard-measurement"), lang) && ok;
      }
      // Translating this language's messages into the next one.
      const std::string destExt = l == 1 ? ".ENG" : l == 2 ? ".FRA" : ".GER";
      if (auto rows = LoadMessageTranslation(Settings().OrvMsgFile,
                                             AddBackslash(Settings().LangDir) + "ORVMSG" + destExt)) {
        TMsgTransDlg messages(std::move(*rows), AddBackslash(Settings().LangDir) + "ORVMSG" + destExt, &browser);
        ok = Save(messages, dir, QStringLiteral("message-translation"), lang) && ok;
      }
      ok = SaveEvaluations(backend, browser, currentRecNo, dir, lang) && ok;
      ok = SaveSmallWindows(browser, dir, lang) && ok;
      ok = SaveDatasheetShots(browser, backend, dir, lang) && ok;
    }
    browser.ApplyLanguages(1, 1);
    CloseLampTable();
  }
  ShutdownProgram(steps, state);
  ok = SaveFirstStarts(dir) && ok;
  return ok ? 0 : 1;
}
