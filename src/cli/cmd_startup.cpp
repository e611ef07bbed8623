// kandelo-cli startup: runs the program's start-up and shutdown without a window.
#include <cstdio>

#include "cli/cli_common.h"
#include "frame/settings.h"

namespace kandelo::cli {
namespace {

void Setup(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("startup", "Run the start-up sequence and report what is available");
  cmd->callback([&exitCode] {
    StartupState state = StartCli();
    const TProgramSettings& s = Settings();
    std::printf("Start-up done. Program directory: %s\n", ToUtf8(s.ProgDir).c_str());
    std::printf("Language files: %s\n", ToUtf8(s.LangDir).c_str());
    std::printf("Engine: %s, catalogue: %s\n", state.engineReady ? "ready" : "not available",
                state.catalogueReady ? "open" : "not available");
    StopCli();
    exitCode = kOk;
  });
}

KANDELO_COMMAND(Setup);

}  // namespace
}  // namespace kandelo::cli
