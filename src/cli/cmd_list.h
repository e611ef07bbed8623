// kandelo-cli catalogue export-list | print-list: the catalogue list of the
// filter dialog, as a ".TXT" file or printed into a PDF file.
#pragma once

#include <CLI/CLI.hpp>

namespace kandelo::cli {

// Adds export-list and print-list to the "catalogue" command.
void AddListCommands(CLI::App& catalogue, int& exitCode);

}  // namespace kandelo::cli
