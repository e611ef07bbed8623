#include <cstdio>
#include <iostream>
#include <optional>

#include "cli/cli_common.h"
#include "platform/text.h"

namespace kandelo::cli {

std::vector<CommandSetup>& Commands() {
  static std::vector<CommandSetup> commands;
  return commands;
}

namespace {
// Start-up done by a command; shut down at the end of main when the command
// did not, so that the catalogue and the engine never meet static destruction.
std::optional<StartupState>& Started() {
  static std::optional<StartupState> state;
  return state;
}
}  // namespace

StartupState StartCli() {
  StopCli();
  Started() = StartProgram(CliStartupSteps());
  return *Started();
}

void StopCli() {
  if (!Started()) return;
  StartupState state = *Started();
  state.catalogueReady = true;  // a command may have opened it later (rebuild); closing is harmless
  ShutdownProgram(CliStartupSteps(), state);
  Started().reset();
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "kandelo-cli: %s\n", ToUtf8(message).c_str());
  return kFailure;
}

std::string ToUtf8(const std::string& s) { return platform::cp1252ToUtf8(s); }
std::string FromUtf8(const std::string& s) { return platform::utf8ToCp1252(s); }

}  // namespace kandelo::cli

int main(int argc, char** argv) {
  using namespace kandelo::cli;
  CLI::App app{"Kandelo luminaire database, command line"};
  app.set_version_flag("--version", std::string("kandelo-cli ") + KANDELO_VERSION);
  app.require_subcommand(1);
  int exitCode = kOk;
  for (auto& setup : Commands()) setup(app, exitCode);
  try {
    app.parse(argc, argv);
  } catch (const CLI::Success& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    StopCli();
    return kUsage;
  }
  StopCli();
  return exitCode;
}
