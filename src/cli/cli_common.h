// Shared pieces of the command-line program. Each command lives in its own
// cmd_*.cpp file and registers itself with KANDELO_COMMAND.
#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <string>
#include <vector>

#include "frame/startup.h"

namespace kandelo::cli {

// Exit codes: 0 success, 1 failure caused by the input, 2 usage error.
enum ExitCode { kOk = 0, kFailure = 1, kUsage = 2 };

// Adds a subcommand to the app; the callbacks store their exit code in `exitCode`.
using CommandSetup = std::function<void(CLI::App& app, int& exitCode)>;

std::vector<CommandSetup>& Commands();

struct RegisterCommand {
  explicit RegisterCommand(CommandSetup setup) { Commands().push_back(std::move(setup)); }
};

// The start-up of the program as the GUI runs it, with what the CLI links.
StartupSteps CliStartupSteps();
StartupState StartCli();
// Closes the catalogue and releases the engine after StartCli (main calls it
// at the end; a command may call it earlier).
void StopCli();

// Prints a one-line error (1252 text converted to UTF-8) and returns kFailure.
int Fail(const std::string& message);
// 1252 text of the core to UTF-8 for printing, and back for arguments.
std::string ToUtf8(const std::string& s);
std::string FromUtf8(const std::string& s);

}  // namespace kandelo::cli

#define KANDELO_CLI_CONCAT2(a, b) a##b
#define KANDELO_CLI_CONCAT(a, b) KANDELO_CLI_CONCAT2(a, b)
#define KANDELO_COMMAND(fn) \
  static ::kandelo::cli::RegisterCommand KANDELO_CLI_CONCAT(kRegister_, __LINE__)(fn)
