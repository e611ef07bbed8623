#include "cli/cli_common.h"

namespace kandelo::cli {

// The engine and the catalogue join here as their layers arrive.
StartupSteps CliStartupSteps() { return StartupSteps{}; }

}  // namespace kandelo::cli
