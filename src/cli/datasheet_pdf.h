// The datasheet of the command line as a PDF file: the one place where the
// `datasheet` command needs the toolkit's print support.
#pragma once

#include <string>

#include "datasheet/datasheet.h"

namespace kandelo::cli {

// Prints the datasheet into OUTPUT (written under a temporary name and
// renamed when complete); the exit code, with a message on failure.
int WriteDatasheetPdf(TLUM32& lum, const TOutputSettings& settings, const TMsgManager& msg,
                      const TDatasheetOptions& options, const std::string& output);

}  // namespace kandelo::cli
