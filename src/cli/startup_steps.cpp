#include "cli/cli_common.h"
#include "database/btreebase.h"
#include "database/catalogue.h"
#include "frame/settings.h"

namespace kandelo::cli {

StartupSteps CliStartupSteps() {
  StartupSteps steps;
  steps.initEngine = [] { return InitDatabaseEngine(); };
  steps.openCatalogue = [](std::string& fault) {
    WaitForCatalogue(Settings().LumDb);
    return InitCatalogue(Settings().LumDb, &fault);
  };
  steps.closeCatalogue = [] { CloseCatalogue(); };
  steps.releaseEngine = [] { ReleaseDatabaseEngine(); };
  return steps;
}

}  // namespace kandelo::cli
