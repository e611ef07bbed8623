// Shared pieces of the command-line program. Each command lives in its own
// cmd_*.cpp file and registers itself with KANDELO_COMMAND.
#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <string>
#include <vector>

#include "frame/startup.h"
#include "photometry/format_io.h"
#include "photometry/lum32.h"
#include "platform/fileio.h"

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
// Opening the catalogue waits up to the --wait seconds (default 3) while
// another program holds it; when it stays unavailable for that or because
// its data file was lost, one line in the session's language says so.
StartupState StartCli();
void SetCatalogueWait(double seconds);
// The answer to the start-up's question whether to create or rebuild a
// catalogue whose data file was lost (mrNo unless the command is a rebuild).
void SetCatalogueQuestionAnswer(int answer);
// Waits while another process holds the catalogue on the base path.
void WaitForCatalogue(const std::string& base);
// kFailure, with "the catalogue is not available" unless StartCli has said why.
int CatalogueUnavailable();
// Closes the catalogue and releases the engine after StartCli (main calls it
// at the end; a command may call it earlier).
void StopCli();

// Prints a one-line error (1252 text converted to UTF-8) and returns kFailure.
int Fail(const std::string& message);
// A text of the command line's own messages ([COMMANDLINE] of the "ORVMSG"
// file) in the session's language (the database language of the settings);
// the English text when the file or the key is missing.
std::string SessionText(const std::string& key, const std::string& english);
// The same for a key of another section of that file.
std::string SessionText(const std::string& section, const std::string& key, const std::string& english);
// "NAME: reason" as one line in the session's language, and kFailure; the
// name is printed as the file system's bytes, the reason is a 1252 text.
int FailFile(const std::string& file, const std::string& reason);
// "NAME: cannot be written (the disk is full)" and kFailure; the name as the
// file system has it; the part in brackets only when the reason is known.
int FailWrite(const std::string& file, platform::WriteError why);
// The reason alone, in the session's language ("" when not known).
std::string WriteErrorText(platform::WriteError why);

// Loads a photometric file for a command (LoadLuminaire). On success the
// reader's messages are printed as warnings; on failure the one line says the
// file name and why (the reader's own words for a damaged file).
bool LoadForCommand(TLUM32& lum, const std::string& file, int& exitCode,
                    LoadValues values = LoadValues::Derived);
// 1252 text of the core to UTF-8 for printing, and back for arguments.
std::string ToUtf8(const std::string& s);
std::string FromUtf8(const std::string& s);

}  // namespace kandelo::cli

#define KANDELO_CLI_CONCAT2(a, b) a##b
#define KANDELO_CLI_CONCAT(a, b) KANDELO_CLI_CONCAT2(a, b)
#define KANDELO_COMMAND(fn) \
  static ::kandelo::cli::RegisterCommand KANDELO_CLI_CONCAT(kRegister_, __LINE__)(fn)
