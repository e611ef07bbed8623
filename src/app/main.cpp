// kandelo: the program with its browser window.
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>
#include <cstdio>
#include <optional>

#include "app/core_backend.h"
#include "storage/indexed_table.h"
#include "database/catalogue.h"
#include "shell/msgbox.h"
#include "frame/msgmanager.h"
#include "frame/settings.h"
#include "frame/startup.h"
#include "frame/strutil.h"
#include "platform/program_fault.h"
#include "ui/base_form.h"
#include "ui/instance_link.h"
#include "ui/qt_ui_services.h"

namespace {

// The photometric files named on the command line, as absolute paths.
QStringList FileArguments(const QStringList& args) {
  QStringList files;
  for (int i = 1; i < args.size(); ++i)
    if (!args[i].startsWith(QLatin1Char('-'))) files << QFileInfo(args[i]).absoluteFilePath();
  return files;
}

// Another program may hold the catalogue for a moment (a command line run):
// wait a little for it before giving up. The holder's process number, 0 when
// the platform does not tell it.
std::optional<int> HolderAfterWaiting(const std::string& base) {
  QElapsedTimer waited;
  waited.start();
  std::optional<int> holder;
  while ((holder = kandelo::CatalogueHolderPid(base))) {
    if (waited.elapsed() > 3000) return holder;
    QThread::msleep(100);
  }
  return std::nullopt;
}

// Once after an update of the program: which language files got the texts
// they lacked, and which could not be written. Empty when nothing happened.
std::string LanguageUpdateText(const kandelo::LanguageFileUpdate& update) {
  using namespace kandelo;
  const TMsgManager msgs(AddBackslash(Settings().LangDir) + "ORVMSG" + Settings().DbLangExt);
  auto text = [&msgs](const char* key, const char* fallback) {
    const std::string t = msgs.GetText("BROWSER", key);
    return t.empty() ? std::string(fallback) : t;
  };
  auto names = [](const std::vector<std::string>& files) {
    std::string list;
    for (const std::string& f : files) list += (list.empty() ? "" : ", ") + f;
    return list;
  };
  std::string out;
  if (!update.updated.empty())
    out = text("BR_LANGUPDATED",
               "The language files received the new texts of this version; your own translations were kept:") +
          "\n" + names(update.updated);
  if (!update.failed.empty())
    out += (out.empty() ? "" : "\n\n") +
           text("BR_LANGFAILED",
                "These language files could not be completed; where they lack a text, the built-in one shows:") +
           "\n" + names(update.failed);
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace kandelo;
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Kandelo"));
  QtUiServices services;
  ScopedUiServices scoped(services);
  // A fault of the program itself (an index outside a table) goes to the
  // error stream as without a window, and into a box once the window's
  // thread is free: it may come from the loader thread or from a paint.
  platform::setProgramFaultHook([](const std::string& text) {
    std::fprintf(stderr, "kandelo: %s\n", text.c_str());
    QMetaObject::invokeMethod(qApp, [text] { ShowError(text); }, Qt::QueuedConnection);
  });
  // A change of a catalogue shared by several stations may wait for another
  // station's lock: the window goes on answering meanwhile.
  SetLockWaitHook([] { QApplication::processEvents(); });

  // A second start hands its files to the window that runs already and ends
  // without touching the settings or the catalogue.
  const QStringList files = FileArguments(QApplication::arguments());
  TInstanceLink link(TInstanceLink::DefaultName());
  // On a catalogue shared by several stations (network mode) a second start
  // is a station of its own and runs beside the first.
  LoadSettings();
  const bool station = SharedByStations(Settings().LumDb);
  if (!station && link.StartOrHandOver(files) == TInstanceLink::Start::HandedOver) return 0;

  // The same steps as the command line's start-up.
  StartupSteps steps;
  steps.initEngine = [] {
    const int err = InitDatabaseEngine();
    if (err) ShowError(EngineStartErrorText(err));
    return err;
  };
  std::optional<int> holder;
  steps.catalogueHeld = [&holder] { return (holder = HolderAfterWaiting(Settings().LumDb)).has_value(); };
  steps.openCatalogue = [](std::string& fault) { return InitCatalogue(Settings().LumDb, &fault, AskToRepair); };
  steps.closeCatalogue = [] { CloseCatalogue(); };
  steps.releaseEngine = [] {
    if (const int err = ReleaseDatabaseEngine()) ShowError(EngineStopErrorText(err));
  };
  const StartupState state = StartProgram(steps);
  for (const std::string& fault : state.faults) ShowError(fault);

  if (state.catalogueHeld) {
    // Held by a program that does not answer (a command line run, a window of
    // an older version): one message in the user's language, then the end,
    // leaving the settings as they are.
    const TMsgManager msgs(AddBackslash(Settings().LangDir) + "ORVMSG" + Settings().DbLangExt);
    std::string text = msgs.GetText("BROWSER", "BR_INUSE");
    if (text.empty()) text = "The luminaire catalogue is in use by another program. Kandelo ends.";
    text += "\n" + Settings().LumDb;
    if (holder && *holder > 0) {
      const std::string process = msgs.GetText("BROWSER", "BR_PROCESS");
      text += " (" + (process.empty() ? std::string("process") : process) + " " + std::to_string(*holder) + ")";
    }
    ShowErrorL(text, Settings().MsgTxtFile);
    ShutdownProgram(steps, state);
    return 1;
  }

  int result = 0;
  {
    CoreBrowserBackend backend;
    Settings().OrvMsgFile = AddBackslash(Settings().LangDir) + "ORVMSG" + Settings().DbLangExt;
    TakeSamplesIntoEmptyCatalogue(backend.Paths());
    TfBaseForm browser(backend);
    QObject::connect(&link, &TInstanceLink::FilesReceived, &browser, &TfBaseForm::OpenFiles);
    browser.show();
    if (const std::string text = LanguageUpdateText(state.languageFiles); !text.empty())
      QMetaObject::invokeMethod(&browser, [text] { ShowInfoL(text, Settings().MsgTxtFile); }, Qt::QueuedConnection);
    if (!files.isEmpty()) QMetaObject::invokeMethod(&browser, [&browser, &files] { browser.OpenFiles(files); },
                                                    Qt::QueuedConnection);
    result = QApplication::exec();
  }
  ShutdownProgram(steps, state);
  return result;
}
