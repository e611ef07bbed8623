// The one drawing entry of the list commands: the printed list as a PDF file.
// Kept apart so that the toolkit part of the command line stays in one place.
#pragma once

#include <string>
#include <vector>

#include "cli/print_target.h"
#include "database/catalogue_list.h"
#include "datasheet/list_print.h"

namespace kandelo::cli {

// Prints the list in landscape to the target. False with the reason in
// `error`.
bool WriteListPdf(const std::vector<TListEntry>& entries, const TListTexts& texts, const TPrintTarget& target,
                  std::string& error);

}  // namespace kandelo::cli
