#include "cli/cli_common.h"
#include "storage/indexed_table.h"
#include "database/catalogue.h"
#include "shell/msgbox.h"
#include "frame/settings.h"

namespace kandelo::cli {

StartupSteps CliStartupSteps() {
  StartupSteps steps;
  steps.initEngine = [] {
    const int err = InitDatabaseEngine();
    if (err) ShowError(EngineStartErrorText(err));
    return err;
  };
  steps.openCatalogue = [](std::string& fault) {
    WaitForCatalogue(Settings().LumDb);
    return InitCatalogue(Settings().LumDb, &fault, AskToRepair);
  };
  steps.closeCatalogue = [] { CloseCatalogue(); };
  steps.releaseEngine = [] {
    if (const int err = ReleaseDatabaseEngine()) ShowError(EngineStopErrorText(err));
  };
  return steps;
}

}  // namespace kandelo::cli
