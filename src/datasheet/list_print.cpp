#include "datasheet/list_print.h"

#include <cmath>

#include "graphics/gdi_types.h"
#include "frame/msgmanager.h"
#include "graphics/simpledc.h"

namespace kandelo {

namespace {

int Round(double v) { return static_cast<int>(std::lround(v)); }

// A cell is cut to its column, so that a long text (a real file name of
// many characters) does not run into the next column.
std::string Fit(TSimpleDC& dc, std::string text, int width) {
  while (!text.empty() && dc.TextWidth(text) > width) text.pop_back();
  return text;
}

}  // namespace

TListTexts ListTextsFrom(const std::string& orvMsgFile) {
  TListTexts t;
  const TMsgManager msg(orvMsgFile);
  static const char* const kKeys[5] = {"LP_MAKER", "LP_NAME", "LP_NUMBER", "LP_FILE", "LP_FORMAT"};
  for (std::size_t i = 0; i < 5; ++i) {
    const std::string text = msg.GetText("LISTPRINT", kKeys[i]);
    if (!text.empty()) t.headings[i] = text;
  }
  const std::string page = msg.GetText("LISTPRINT", "LP_PAGE");
  if (!page.empty()) t.page = page + " ";
  return t;
}

std::vector<std::size_t> PaginateList(const std::vector<TListEntry>& entries) {
  // Thirty entries a page; an entry with a text line takes two rows, so a page
  // of such entries ends earlier, and the footer counts the pages really drawn.
  std::vector<std::size_t> pages;
  std::size_t onPage = 0;
  int rows = 0;
  for (const TListEntry& e : entries) {
    const int need = e.info.empty() ? 1 : 2;
    if (onPage == kListEntriesPerPage || rows + need > kListRowsPerPage) {
      pages.push_back(onPage);
      onPage = 0;
      rows = 0;
    }
    ++onPage;
    rows += need;
  }
  if (onPage > 0) pages.push_back(onPage);
  return pages;
}

int DrawList(TDevice& dc, const std::vector<TListEntry>& entries, const TListTexts& texts,
             const std::function<bool()>& newPage) {
  const std::vector<std::size_t> pages = PaginateList(entries);
  const int total = static_cast<int>(pages.size());
  const double q = dc.GetDeviceCaps(gdi::LOGPIXELSY) / 12.0;
  const double w = dc.GetDeviceCaps(gdi::HORZRES);
  int x[5];
  x[0] = Round(0.02 * w);
  const double steps[4] = {0.18, 0.18, 0.18, 0.08};
  for (int i = 0; i < 4; ++i) x[i + 1] = x[i] + Round(steps[i] * w);
  // Each column ends a little before the next one; the last one at the page's edge.
  int width[5];
  for (int i = 0; i < 4; ++i) width[i] = x[i + 1] - x[i] - Round(q / 2);
  width[4] = static_cast<int>(w) - x[4];
  std::size_t next = 0;
  for (int p = 0; p < total; ++p) {
    if (p > 0 && newPage && !newPage()) return p;
    // A new drawing context and font for each page.
    TSimpleDC sdc(dc, false);
    sdc.Font().SetName("Arial");
    sdc.Font().SetHeight(Round(q));
    sdc.SetBkMode(gdi::TRANSPARENT);
    for (int c = 0; c < 5; ++c) sdc.TextOut(x[c], Round(10 * q), texts.headings[static_cast<std::size_t>(c)]);
    double y = 14 * q;
    for (std::size_t i = 0; i < pages[static_cast<std::size_t>(p)]; ++i, ++next) {
      const TListEntry& e = entries[next];
      const std::string* cells[5] = {&e.manufacturer, &e.name, &e.number, &e.fileName, &e.format};
      for (int c = 0; c < 5; ++c) sdc.TextOut(x[c], Round(y), Fit(sdc, *cells[c], width[c]));
      int taken = 1;
      if (!e.info.empty()) {
        sdc.TextOut(x[1], Round(y + 1.5 * q), Fit(sdc, e.info, x[4] - x[1]));
        taken = 2;
      }
      y += 2 * q * taken;
    }
    const double footerY = p + 1 == total ? 86 * q : y;
    sdc.TextOut(x[0], Round(footerY), texts.page + std::to_string(p + 1) + " / " + std::to_string(total));
  }
  return total;
}

}  // namespace kandelo
