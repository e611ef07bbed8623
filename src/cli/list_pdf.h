// The one drawing entry of the list commands: the printed list as a PDF file.
// Kept apart so that the toolkit part of the command line stays in one place.
#pragma once

#include <string>
#include <vector>

#include "database/catalogue_list.h"
#include "graphics/list_print.h"

namespace kandelo::cli {

// Writes the list in landscape into the PDF file (under a temporary name,
// renamed on success). False with the reason in `error`.
bool WriteListPdf(const std::vector<TListEntry>& entries, const TListTexts& texts, const std::string& pdf,
                  std::string& error);

}  // namespace kandelo::cli
