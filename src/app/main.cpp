// kandelo: the program with its browser window.
#include <QApplication>

#include "app/core_backend.h"
#include "database/btreebase.h"
#include "database/catalogue.h"
#include "frame/settings.h"
#include "frame/startup.h"
#include "frame/strutil.h"
#include "ui/base_form.h"
#include "ui/qt_ui_services.h"

int main(int argc, char** argv) {
  using namespace kandelo;
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Kandelo"));
  QtUiServices services;
  ScopedUiServices scoped(services);

  // The same steps as the command line's start-up.
  StartupSteps steps;
  steps.initEngine = [] { return InitDatabaseEngine(); };
  steps.openCatalogue = [] { return InitCatalogue(Settings().LumDb); };
  steps.closeCatalogue = [] { CloseCatalogue(); };
  steps.releaseEngine = [] { ReleaseDatabaseEngine(); };
  const StartupState state = StartProgram(steps);

  int result = 0;
  {
    CoreBrowserBackend backend;
    Settings().OrvMsgFile = AddBackslash(Settings().LangDir) + "ORVMSG" + Settings().DbLangExt;
    TakeSamplesIntoEmptyCatalogue(backend.Paths());
    TfBaseForm browser(backend);
    browser.show();
    result = QApplication::exec();
  }
  ShutdownProgram(steps, state);
  return result;
}
