// The datasheet of the command line as a PDF file or a print job: the one
// place where the `datasheet` command needs the toolkit's print support.
#pragma once

#include <string>

#include "cli/print_target.h"
#include "datasheet/datasheet.h"

namespace kandelo::cli {

// Prints the datasheet to the target; the exit code, with a message on
// failure.
int WriteDatasheetPdf(TLUM32& lum, const TOutputSettings& settings, const TMsgManager& msg,
                      const TDatasheetOptions& options, const TPrintTarget& target);

}  // namespace kandelo::cli
