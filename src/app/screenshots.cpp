// kandelo-screenshots DIR: renders every window of the program in German,
// English and French into DIR as NAME-LANG.png, without a display (run it
// with QT_QPA_PLATFORM=offscreen). It works in a user environment of its own
// with the shipped sample luminaires, so the pictures never show, or touch,
// the settings and catalogue of the person who runs it.
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QMessageBox>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

#include "app/core_backend.h"
#include "database/btreebase.h"
#include "database/catalogue.h"
#include "frame/settings.h"
#include "frame/startup.h"
#include "frame/strutil.h"
#include "frame/ui_services.h"
#include "ui/base_form.h"
#include "ui/convert_dlg.h"
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
  QApplication::processEvents();
  const QString file = dir + QLatin1Char('/') + name + QLatin1Char('-') + QLatin1String(lang) + QStringLiteral(".png");
  const bool ok = w.grab().save(file);
  std::printf("%s %s\n", ok ? "wrote" : "FAILED", file.toLocal8Bit().constData());
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

}  // namespace

int main(int argc, char** argv) {
  QTemporaryDir home;
  if (!home.isValid()) return 1;
  for (const char* var : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
    ::setenv(var, (home.path() + QLatin1Char('/') + QLatin1String(var)).toLocal8Bit().constData(), 1);
  QApplication app(argc, argv);
  const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
  if (!QDir().mkpath(dir)) {
    std::fprintf(stderr, "cannot create %s\n", argv[1]);
    return 1;
  }
  SilentUi silent;
  ScopedUiServices scoped(silent);
  StartupSteps steps;
  steps.initEngine = [] { return InitDatabaseEngine(); };
  steps.openCatalogue = [] { return InitCatalogue(Settings().LumDb); };
  steps.closeCatalogue = [] { CloseCatalogue(); };
  steps.releaseEngine = [] { ReleaseDatabaseEngine(); };
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
      browser.resize(1600, 1000);
      ok = Save(browser, dir, QStringLiteral("browser"), lang) && ok;
      browser.resize(browser.minimumSizeHint());
      ok = Save(browser, dir, QStringLiteral("browser-min"), lang) && ok;
      auto about = browser.MakeAboutBox();
      ok = Save(*about, dir, QStringLiteral("about"), lang) && ok;
      auto help = browser.MakeHelpDialog();
      ok = Save(*help, dir, QStringLiteral("help"), lang) && ok;
      ConversionSettings conversion;
      conversion.DstDir = Settings().LumDir1;
      TConvertDlg convert(conversion, false, &browser);
      ok = Save(convert, dir, QStringLiteral("conversion"), lang) && ok;
      ok = SaveDatasheetShots(browser, backend, dir, lang) && ok;
    }
    browser.ApplyLanguages(1, 1);
  }
  ShutdownProgram(steps, state);
  return ok ? 0 : 1;
}
