// The printed catalogue list: landscape pages with a header row, one row per
// entry (two when it has an additional text line) and a "Seite n / m" footer,
// in printer dots with q = one twelfth of an inch.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "database/catalogue_list.h"
#include "graphics/device.h"

namespace kandelo {

constexpr int kListEntriesPerPage = 30;
// Rows below the header: the first row at 14 q, rows 2 q apart, the footer 2 q
// below the last row at 86 q at the latest.
constexpr int kListRowsPerPage = 36;

struct TListTexts {
  std::array<std::string, 5> headings{"Hersteller", "Leuchtentyp", "Leuchtennummer", "Dateiname", "Format"};
  std::string page = "Seite ";
};

// The headings and page text from section "LISTPRINT" of an "ORVMSG" file;
// the German texts where it has none.
TListTexts ListTextsFrom(const std::string& orvMsgFile);

// Entries per page, in order: at most 30 entries and 36 rows on a page.
std::vector<std::size_t> PaginateList(const std::vector<TListEntry>& entries);

// Draws the list on the device (MM_TEXT, printer dots) and calls newPage
// between pages; stops when it returns false. The number of pages drawn.
int DrawList(TDevice& dc, const std::vector<TListEntry>& entries, const TListTexts& texts,
             const std::function<bool()>& newPage);

}  // namespace kandelo
